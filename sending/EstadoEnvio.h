#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What a sending shows while it works and what it reports at the end.
namespace envio {

// The sending form's progress controls. The form draws on its labels, progress picture and
// log box; the unattended run and the tests ignore the calls or record them.
class VistaEnvio {
public:
    virtual ~VistaEnvio() = default;
    virtual void actualizando(const QString &texto) { Q_UNUSED(texto) } // lblActualizando
    virtual void avance(double porcentaje) { Q_UNUSED(porcentaje) }     // pbexportar
    virtual void registro(const QString &texto) { Q_UNUSED(texto) }     // txtLog, the whole text
    // Lets the windows take their pending events (the run is on the interface thread).
    virtual void atender() {}
};

// A row that was left out of the package because one of its values cannot travel unchanged.
// It is not stamped: it stays unsent until its value is corrected.
struct FilaOmitida {
    QString tabla;
    QString clave;   // "COLUMNA=valor, ..." of the row's key
    QString columna; // the column whose value cannot travel
    QString motivo;
    QString texto() const;
};

struct ResumenEnvio {
    bool ok = false;
    QString motivo;    // what went wrong, for the operator and the log
    QString numero;    // the transmission number
    int tablas = 0;    // table files written
    long filas = 0;    // rows written
    long marcadas = 0; // rows stamped as sent
    QString archivo;   // the package, when it was delivered
    QList<FilaOmitida> omitidas;
    QStringList avisos; // tables whose rows could not be stamped (no key), statements that failed
    double segundos = 0;
    // One line: tables, rows, stamped rows, seconds and the package.
    QString linea() const;
};

} // namespace envio
