#pragma once

#include "ArticlesDatabase.h"

#include "articles/FrmArtAltaModelo.h"

#include <QList>

#include <memory>

// The article form's model on the suite's database, loaded, with its focus requests and
// hide requests recorded.
class ArticleFormTest : public ArticlesDatabaseTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Loads the form (after the test has written its configuration rows).
    void cargar();
    articles::FrmArtAltaModelo &form() { return *m_form; }
    // Types a value into a box and confirms it with Enter.
    void confirmar(int caja, const QString &valor);

public: // for the checks of table-driven cases
    articles::Control ultimoFoco() const { return m_focos.isEmpty() ? articles::Control{} : m_focos.last(); }
    int focos() const { return int(m_focos.size()); }
    int ocultado() const { return m_ocultado; }
    int pasesDeFoco() const { return m_pases; }
    QString caja(int indice) const { return m_form->txtFields[indice].Text; }

private:
    std::unique_ptr<articles::FrmArtAltaModelo> m_form;
    QList<articles::Control> m_focos;
    int m_ocultado = 0;
    int m_pases = 0;
};
