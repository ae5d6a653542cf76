#pragma once

#include <QString>

#include <functional>

// The lookup object as start-up and the shared routines use it: where its queries
// run, where its query masks are, which column a lookup returns and what was chosen.
// The list itself is shown by the browser that the lookup subsystem installs with
// setBrowser; without one, every lookup returns nothing chosen.
class Lib_ClsCons3 {
public:
    // Shows the list for `sql` (a statement or a bare table/view name) and returns the
    // chosen row's value of CampoDevuelto, or "" when nothing was chosen.
    using Browser = std::function<QString(Lib_ClsCons3 &consulta, const QString &sql, const QString &condicion)>;
    static void setBrowser(Browser browser);

    QString gConnString;
    bool gUsarMascarasConsultas = false;
    QString gRutaMascaraConsultas;
    QString CampoDevuelto;
    QString ValorDevuelto;

    // Leaves the chosen value in ValorDevuelto ("" on cancel); never raises.
    void ConsultaSearch(const QString &sql, const QString &condicion = QString());
};

// The run's shared lookup object, created on first use.
Lib_ClsCons3 &gConsulta();
