#pragma once

#include "platform/Result.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>

// The registered connections of BASES.TXT (program folder): one record per line,
// Windows-1252 with CR LF, five fields "name,database,user,encoded password,server".
// The file is only appended to.
namespace LBM_Common {

struct RegistroBase {
    QString nombre;
    QString baseDatos;
    QString usuario;
    QString password; // encoded as stored
    QString servidor;
};

// Module state, alive for the whole run.
struct EstadoBases {
    QString ruta; // empty until first use
    QString puerto = QStringLiteral("1433");
    QString servidorBase; // set by FijarBase
    QString fechaBase;    // set by FijarBase
    QString servidor;     // the four results of LeerBase
    QString baseDatos;
    QString usuario;
    QString password; // decoded
};
EstadoBases &estadoBases();
void resetEstadoBases();

// BASES.TXT in the program folder (found without regard to case).
QString rutaBasesPorDefecto();

// Whether the texts can stand in a record: a "," or a line break would split it (and the
// reader would skip it), a character outside Windows-1252 would be stored as "?". The
// failure names the field and the character. The password is stored encoded and needs
// no check.
platform::Status validarRegistro(const QString &nombre, const QString &baseDatos, const QString &usuario,
                                 const QString &servidor, const QString &instancia = QString());

// Appends one record: the server gets "#" in front when `oracle` is non-zero, then
// "/instance:port" or ":port" (nothing when the port is empty); the password is stored
// encoded. Raises platform::RuntimeError(5) with validarRegistro's message for texts a
// record cannot hold, and naming the file when it cannot be written.
void RegistrarBase(const QString &nombre, const QString &baseDatos, const QString &usuario, const QString &password,
                   const QString &servidor, const QString &instancia, int oracle);

// Finds the record named `buscado` (trimmed, any case) and keeps its server, database,
// user and decoded password in the module state (cleared when none matches). The caller's
// arguments get the matching record's fields; without a match they hold the last
// well-formed record read, so compare `nombre` with the name asked for. Missing file:
// nothing changes, false. An unreadable file raises platform::RuntimeError naming it.
bool LeerBase(const QString &buscado, QString &nombre, QString &baseDatos, QString &usuario,
              QString &passwordCodificado, QString &servidor, const QString &archivo = QString());

// Sets the module's port from "server:port" (1433 without one) and returns the server to
// connect to; for "server/instance" it keeps the part before "/" with FijarBase and
// returns that part.
QString SepararServidor(QString &servidor, const QString &sinUso = QString());

// Keeps the server part and the working date (the server's date) in the module.
void FijarBase(const QString &sinUso, const QString &servidorParte);
// Where FijarBase takes the server's date from (start-up installs ModGlobal.FechaServidor);
// unset: the machine's date.
void setFechaServidor(std::function<QDateTime()> fechaServidor);

// Every well-formed record of the file, in file order. A line that does not split into
// five fields is skipped and the reason logged. A missing file gives an empty list.
platform::Result<QList<RegistroBase>> leerRegistros(const QString &ruta);

} // namespace LBM_Common
