#pragma once

#include "platform/Result.h"

#include <QString>

#include <cstdint>

// Start-up of the program and the launching of the suite's other programs.
namespace ModGlobal {

// Failure codes of IniciarSistema.
enum CodigoInicio : int {
    kSinConexion = 1, // the main connection could not be opened (the program must end)
    kPasoFallido = 2, // a start-up step failed and the operator chose to leave
    kSinAcceso = 3,   // the access row could not be written
};

// Reads the command line (`comando`, else the process's; with `permitirIni` and an empty
// line, the station file QD000PR.INI), opens the main and statistics connections, loads
// the configuration, prepares the lookup object and writes the access row. On an already
// open connection only the station settings, lookup, configuration and access row are
// done again. Returns a failure (code CodigoInicio) instead of ending the program.
platform::Status IniciarSistema(bool permitirIni, const QString &comando, QString &cadenaConexion,
                                long ubicacionCursor);

// Whether the last IniciarSistema loaded every setting from the configuration table; a
// failure says why not (no database name, a missing table...). Start-up goes on either
// way, with the settings that could not be read at their defaults.
platform::Status ConfiguracionDelInicio();

// Opens the statistics database on the main server and reads its time-out into gTimeOut
// (360 when missing, zero or out of range). Never fails.
void AbrirEstadisticas();

// The server text without an instance prefix ("A/B" gives "B") and without ":port".
QString ServidorSinPuerto(const QString &servidor);

// The process's own command line (its arguments joined by blanks); the program sets it
// once at start (tests may too).
void setLineaDeComandosDelProceso(const QString &texto);
QString lineaDeComandosDelProceso();

// Starts another program of the suite from the program folder with the standard command
// line (the main connection's settings, `parametro` as "@ParametroAdicional", the user and
// the till). "SHELL:" in front names the program's file. Never waits; `proceso` receives
// the process id. When nothing was started the operator is told. Returns whether it started.
bool MenuExes(const QString &programa, const QString &parametro, std::int64_t &proceso);

} // namespace ModGlobal
