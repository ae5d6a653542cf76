#pragma once

#include "ArchivosPaquete.h"
#include "ErroresRecepcion.h"
#include "EstadoRecepcion.h"
#include "ImportadorTabla.h"

#include <QString>

#include <QStringList>
#include <chrono>

#include <functional>
#include <vector>

class DB_Dll;

namespace ado {
class Recordset;
}

namespace db {
class BloqueoCorrida;
}

namespace recepcion {

// The program's title, as its message boxes show it: the caption of its start-up form.
QString tituloAplicacion();

// How a reception ended.
enum class FinRecepcion {
    Completa,        // every table of the way was read (rejected rows are in Errores.TXT)
    Rechazada,       // the operator declined a package of another origin: nothing imported
    SinControl,      // the package has no control file
    Incompleta,      // the control file names tables whose data files the package lacks
    PaqueteIlegible, // the package is missing, damaged or could not be extracted
    Detenida,        // the operator asked to stop
    Fallida,         // the database failed and the run was left
    Terminar,        // the calendar question: the program ends
    Ocupada,         // another reception or sending kept the database past the wait: nothing imported
};

struct ResumenRecepcion {
    FinRecepcion fin = FinRecepcion::Completa;
    QString motivo;  // what went wrong, for the operator and the log
    int tablas = 0;  // tables imported
    long leidos = 0; // data lines read
    long inserciones = 0;
    long modificaciones = 0;
    long rechazados = 0;
    double segundos = 0;
    QString archivoErrores;      // Errores.TXT of the run
    QString informeFallido;      // why Errores.TXT does not hold every rejected row ("" when it does)
    QString carpeta;             // the package folder
    QStringList tablasFaltantes; // named by the control file, without their data file
    // Tables read and written nowhere, for they have no key (B_CODIGOS, B_ALIAS).
    struct TablaSinClave {
        QString tabla;
        long lineas = 0;
    };
    std::vector<TablaSinClave> sinClave;
    // One line: tables, rows inserted, updated and rejected, seconds.
    QString linea() const;
};

// The reception of one package (the reception form's run): interactive, from a ZIP file the
// operator names, into a dated archive folder, recorded in MV_TRANSMISIONES; or unattended,
// from C:\RECIBIR\Archivos.zip, importing the articles, equivalences and prices only.
class RecepcionMaestros {
public:
    explicit RecepcionMaestros(DB_Dll &db);

    EstadoRecepcion estado;
    QString Separador = QStringLiteral("\t");
    // How long a run waits for another reception or sending of the database to end.
    std::chrono::milliseconds esperaCorrida = std::chrono::minutes(15);

    void setVista(VistaRecepcion *vista);
    // Shows Errores.TXT without waiting (the desktop opens it); unset: only the message.
    void setMostrarErrores(std::function<void(const QString &ruta)> mostrar);

    struct Datos {
        QString numero;      // the reception number (digits)
        QString responsable; // trimmed
        QString ubicacion;   // the ZIP file, trimmed
        bool soloAltas = false;
    };
    // The interactive reception; the row of type 'N' is added on `rsTabla` (the form's
    // recordset on MV_TRANSMISIONES) when the run was complete.
    ResumenRecepcion RecibirMaestros(const Datos &datos, ado::Recordset &rsTabla);
    // The unattended reception: only what the current Archivos.zip holds; never waits.
    // Its rows get the reception number 0 (it records no reception of its own).
    ResumenRecepcion GeneraAutomatica();

    // The origin database that the package in `carpeta` names: line 7 of CONTROL.DAT,
    // as read; "" when the file is missing or shorter.
    static QString BaseTransmitida(const QString &carpeta);
    // The dated archive folder (program folder, E-MAILS, RECEPCION, date, time), made level
    // by level; a level that exists is used as it is.
    static platform::Result<QString> CarpetaArchivo(const QDateTime &ahora);
    // The tables each way imports, B_CODIGOS and B_ALIAS included (the run takes those only
    // when the local database has them).
    static QStringList tablasInteractivas();
    static QStringList tablasAutomaticas();

private:
    bool abrirPaquete(const QString &zip, const QString &carpeta, ResumenRecepcion &resumen);
    bool origenAceptado();
    // Takes the database for the run (db::BloqueoCorrida); false, with the summary's reason, when
    // another run kept it past the wait.
    bool tomarBase(db::BloqueoCorrida &bloqueo, ResumenRecepcion &r);
    void importarTablas(const QStringList &tablas, bool automatica, ContextoImportacion &ctx, ResumenRecepcion &r);
    static void anotarSinClave(const QString &tabla, long lineas, ResumenRecepcion &r);
    bool agregarFila(const Datos &datos, ado::Recordset &rsTabla, ResumenRecepcion &resumen);
    void terminar(ResumenRecepcion &r, qint64 inicio);

    DB_Dll &m_db;
    VistaRecepcion m_vistaNula;
    VistaRecepcion *m_vista = &m_vistaNula;
    std::function<void(const QString &)> m_mostrarErrores;
    ArchivosPaquete m_paquete;
    ErroresRecepcion m_errores;
    QString m_origen;
};

} // namespace recepcion
