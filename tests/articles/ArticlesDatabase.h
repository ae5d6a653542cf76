#pragma once

#include "tests/core/SuiteDatabase.h"

#include <QString>
#include <QTemporaryDir>

// The suite's database with gDB connected (SuiteDatabaseTest), the lookup tables emptied
// (a PostgreSQL database keeps them between the cases of one process), a program folder of its own and
// small helpers for the rows the article form reads.
class ArticlesDatabaseTest : public SuiteDatabaseTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // One TA_CONFIGURACION row (VALOR).
    void configurar(const QString &clave, const QString &valor);
    void cuenta(const QString &codigo, const QString &opcional, const QString &razonSocial, const QString &tipoVista);
    void unidad(const QString &codigo, const QString &descripcion);
    void rubro(const QString &codigo, const QString &descripcion);
    void tipo(const QString &codigo, const QString &descripcion);
    void lista(const QString &codigo, const QString &descripcion);
    void articulo(const QString &id, const QString &codigoBarra, const QString &descripcion);
    // The first row of a query as "a|b|c" ("<null>" for NULL); "" without a row.
    QString fila(const QString &sql);
    static QString pad(const QString &texto, int ancho) { return texto.rightJustified(ancho, QLatin1Char(' ')); }

private:
    QTemporaryDir m_home;
};
