#pragma once

#include "EstadoEnvio.h"
#include "ListaMarcas.h"
#include "ReglasEnvio.h"

#include "platform/RuntimeError.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>

class DB_Dll;
class QTemporaryDir;

namespace db {
class BloqueoCorrida;
}

namespace envio {

// The sending of master data (the sending form's run): the control file, the transmission's
// row of type 'M' in MV_TRANSMISIONES, one table file per table, the package Archivos.zip,
// and the stamping of every row sent.
//
// The package is built fresh in a private folder inside the package folder and moved into
// place whole, so an older archive or table file there is never added to or sent again.
// The export reads the database as of one moment, in one transaction (Instantanea) that
// also holds the row's LOG, the stamps and the completion of the row (rows sent, end time),
// written only after the package has been delivered: a run that fails stamps nothing,
// leaves no package of its own, and its row stays incomplete (LOG set, no FECHAFIN) once a
// table was exported.
class EnvioMaestros {
public:
    explicit EnvioMaestros(DB_Dll &db);
    ~EnvioMaestros();

    // Form-level state of the sending form.
    QString TablasEnviadas;     // comma list of the tables exported in the current sending
    long RegistrosEnviados = 0; // rows written since the form's last initialisation
    bool HuboError = false;     // the last run failed
    // How long a sending waits for a reception (or another sending) of the database to end.
    std::chrono::milliseconds esperaCorrida = std::chrono::minutes(15);
    bool SinDatos = false; // the last run found no row to send and kept the package there

    void setVista(VistaEnvio *vista);
    // Asks the interactive run in progress to stop at its next row (the operator closes the
    // form). It ends failed, with nothing stamped (stamps being written are rolled back) and
    // no package of its own; its row stays incomplete.
    void interrumpir() { m_interrumpir = true; }
    // The last interactive run was asked to stop.
    bool interrumpido() const { return m_interrumpir; }
    // Rows read per query (a test makes pages small).
    void setTamanoPagina(int filas) { m_tamanoPagina = filas; }

    struct Datos {
        QString numero;            // the transmission number: digits
        QString responsable;       // the person responsible
        QString carpeta;           // the package folder
        QString idLista;           // the price list; blank: every list
        bool precios = false;      // "Transmitir Precios del Maestro"
        bool retransmitir = false; // "Retransmitir": every row, none stamped
        bool correo = false;       // "Enviar Correo Electrónico (E-Mail)"
        QString unidadNegocio;
    };
    // The interactive sending of the 27 tables. A failed step goes to the operator: Retry
    // runs it again, any other answer leaves the run (HuboError set). When it finds no row
    // to send and the folder holds a package, the operator decides whether to replace it; on
    // No the run ends there (HuboError and SinDatos set) and its row is cancelled.
    ResumenEnvio EnviarMaestros(const Datos &datos);
    // The unattended sending: into C:\ENVIAR (never created), numbered after the highest
    // transmission of any type, every row of the 27 tables and of B_CODIGOS and B_ALIAS
    // where the database has them, none stamped. Never waits for an answer.
    ResumenEnvio GeneraAutomatica();

    // The tables of a sending, in package order; the unattended one adds B_CODIGOS and
    // B_ALIAS when the database has them.
    QStringList tablasDelEnvio(bool automatica);
    // The package folder of the unattended sending.
    static QString carpetaAutomatica();

private:
    struct Corrida;
    class Vigia;
    bool hayPaqueteAnterior(const Corrida &corrida) const;
    bool reemplazarSinFilas(Corrida &corrida);
    bool paso(Corrida &corrida, const std::function<void()> &accion);
    // Takes the database for the export (db::BloqueoCorrida): a sending never reads a
    // reception half written. False, the run failed and said why, when another run kept it.
    bool tomarBase(db::BloqueoCorrida &bloqueo, Corrida &corrida);
    ResumenEnvio terminar(Corrida &corrida);
    void escribirControl(Corrida &corrida, const QStringList &tablas);
    QStringList camposDe(const QString &tabla);
    void agregarFila(Corrida &corrida, const QString &ubicacion);
    void exportar(Corrida &corrida, const QString &tabla);
    void anotarTabla(Corrida &corrida, const QString &tabla);
    void empaquetar(Corrida &corrida);
    void marcarEnviados(Corrida &corrida);
    bool exportarPaquete(Corrida &corrida, const QStringList &tablas,
                         const std::function<void(const QString &)> &mostrar);
    void retirarPaquete(Corrida &corrida);
    void anotarIncompleta(Corrida &corrida);
    void avisarOmitidas(const Corrida &corrida);
    QString numeroAutomatico();

    DB_Dll &m_db;
    VistaEnvio m_vistaNula;
    std::unique_ptr<Vigia> m_vigia; // the run's view: the form's, and the interruption's check
    VistaEnvio *m_vista = nullptr;
    bool m_interrumpir = false;
    int m_tamanoPagina = 2000;
};

} // namespace envio
