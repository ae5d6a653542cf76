#pragma once

#include <QString>
#include <QStringList>

// One run of the program: installs the operator and status services of the chosen mode,
// starts the system and closes it again. Returns the process exit status.
namespace Programa {

enum ExitStatus : int {
    kOk = 0,
    kSinConexion = 1,      // no database connection
    kInicioFallido = 2,    // a start-up step failed
    kSinAcceso = 3,        // the access row could not be written
    kSinEgreso = 4,        // the access row's exit time could not be written
    kSinConfiguracion = 5, // the settings could not be read; the run went on with defaults
    kSinPantalla = 6,      // the desktop mode was asked for and there is no display
    kSinCarpeta = 7,       // the program folder (or its log) cannot be written
    // The unattended reception (C:\RECIBIR\Archivos.zip under IMAESTROS_ROOT):
    kConRechazos = 8,       // it ended, and rows were rejected (see Errores.TXT)
    kSinPaquete = 9,        // Archivos.zip is missing, damaged or could not be extracted
    kOtroOrigen = 10,       // the package names another origin database: nothing imported
    kSinControl = 11,       // the package has no control file
    kRecepcionFallida = 12, // the database failed under the reception
    kEnvioFallido = 13,     // the unattended sending failed, or left rows or tables unsent
    kFaltanTablas = 14,     // the reception's package lacks data files its control file names
    kSinInforme = 15,       // the reception ended, but Errores.TXT could not be written whole
    kBaseOcupada = 16,      // another reception or sending kept the database past the wait
    kUsoIncorrecto = 64,    // an option the program does not know
};

// What the process arguments ask for.
struct Pedido {
    enum class Accion { Ejecutar, Ayuda, Version, OpcionDesconocida };
    Accion accion = Accion::Ejecutar;
    QString comando;    // the suite's command line (Ejecutar)
    bool envio = false; // --envio: the sending form is the first form
    QString opcion;     // the unknown option
};
Pedido leerArgumentos(const QStringList &arguments);
// Prints the usage, the version or the unknown option; returns the exit status.
int atender(const Pedido &pedido);

// Creates the program folder when missing and opens the log in it; on failure says so on
// standard error and returns kSinCarpeta, else kOk.
int prepararCarpeta();
// True when a desktop can be shown: QT_QPA_PLATFORM names a platform, or DISPLAY or
// WAYLAND_DISPLAY is set.
bool hayPantalla();
// Says on standard error and in the log that the desktop needs a display; returns kSinPantalla.
int sinPantalla(const QString &detalle);
// While a graphical application object is being created, a fatal message of Qt (a display
// that cannot be reached) ends the process with kSinPantalla, logged, instead of aborting.
void vigilarPantalla(bool activo);

int run(const QString &commandText, bool unattended);
// The run whose first form is the sending form: with "AUTO" the unattended sending (a
// one-line summary on standard output), else the form on the desktop.
int runEnvio(const QString &commandText, bool unattended);

// After start-up: the unattended reception (prints its one-line summary on standard output
// and returns its exit status, kOk when complete without rejected rows) or the reception
// form (shown until the operator closes it; closing it ends the run).
int recepcionAutomatica();
int formularioRecepcion();

} // namespace Programa
