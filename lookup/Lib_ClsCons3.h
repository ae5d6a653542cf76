#pragma once

#include "lookup/LookupPresenter.h"

#include "core/SharedLookup.h"
#include "platform/Variant.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace lookup {

class Lib_FrmCons3Logic;

// The lookup object: the one entry point through which a form lets the operator pick a
// row of a table or view. Set the options, call ConsultaSearch with a complete statement
// or a bare table/view name, then read ValorDevuelto (and Valores, Cantidades for multiple
// choice). A name takes its query mask (gRutaMascaraConsultas) or, without one, its own
// columns. Each lookup shows a new form through the installed presenter and ends with
// CampoDevuelto empty and Checks false. A lookup that cannot run (damaged mask, missing
// view, statement refused) tells the operator what failed and ends cancelled: ValorDevuelto
// empty, Valores and Cantidades empty, cancelled() true. Nothing here raises.
class Lib_ClsCons3 : public SharedLookup {
public:
    // Reads its configuration (stock colours and levels, like search) once, now.
    Lib_ClsCons3();
    ~Lib_ClsCons3() override;

    // ---- public variables (gConnString, gRutaMascaraConsultas, gUsarMascarasConsultas,
    // CampoDevuelto and ValorDevuelto are inherited) ----
    platform::Variant StkNivel1;
    platform::Variant StkNivel2;
    platform::Variant StkNivel3;
    platform::Variant StkNivel4;
    QString MuestraStock;
    QStringList CmpsDevueltos;
    QStringList Valores;
    QStringList Cantidades;
    bool Checks = false;
    bool UsaCantidades = false;

    void ConsultaSearch(const QString &SQL, QStringList *CmpsDevueltos = nullptr, const QString &Clave = QString(),
                        QString *CampoBusqueda = nullptr, QString *Where = nullptr,
                        const QString &SentenciaOpcional = QString(), bool TreeView = false,
                        const QString &ValoresDefault = QString()) override;

    // One text of the options, chosen by the operator ("" when cancelled).
    QString MenuOpciones(const QString &Titulo, const QStringList &Opc);
    // Options whose first character is "1" start checked; the checked texts (without that
    // character) are left in Valores. Returns "".
    QString CheckOpciones(const QString &Titulo, const QStringList &Opc);
    // One line of a text file, chosen by the operator ("" when cancelled or missing).
    QString ConsultaDesdeArchivo(const QString &Titulo, const QString &QueArchivo);

    bool likeSearch() const { return m_like; }

    // Who shows the forms (every object of the process); NoDisplayPresenter by default.
    static void setPresenter(std::shared_ptr<LookupPresenter> presenter);
    static LookupPresenter &presenter();

private:
    void configureList(Lib_FrmCons3Logic &form, const QString &statement, const QString &Clave,
                       const QString &CampoBusqueda, const QString &ValoresDefault, QStringList *CmpsDevueltos);
    void showList(const QString &statement, const QString &Clave, const QString &CampoBusqueda,
                  const QString &ValoresDefault, QStringList *CmpsDevueltos);
    void showTree(const QString &statement);
    void endCancelled();
    QString pick(const QString &Titulo, const QStringList &rows, bool checks, const QList<bool> &checked);

    bool m_like = false;
};

// Makes Lib_ClsCons3 the program's shared lookup object (gConsulta) and `presenter` the one
// that shows its forms.
void installLookup(std::shared_ptr<LookupPresenter> presenter);

} // namespace lookup
