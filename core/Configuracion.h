#pragma once

#include "platform/Result.h"
#include "platform/Variant.h"

#include <QString>
#include <QStringList>

// The configuration table (key/value rows) and the global settings loaded from it.
namespace ModGlobal {

// VALOR of the key on the main connection ("" when it is not open, " " when the key is
// absent; "THEME" absent or blank gives "1"). `valorAux` receives VALORAUX when a row
// was read. A failure goes to the central error routine: Ignore goes on with the next
// step of the read (what was read so far is kept), any other answer gives "".
QString Cfg(const QString &clave, QString *valorAux = nullptr);
// The same on the statistics connection.
QString CfgVK(const QString &clave, QString *valorAux = nullptr);
// Inserts or overwrites one key on the statistics connection; failures are ignored
// (logged).
void GrabaCfgVK(const QString &clave, const platform::Variant &valor, const QString &valorAux, bool politicaNegocio,
                const QString &grupo, bool recortar);
// Loads every cached global setting (see Globals.h); a setting whose value cannot be
// read keeps its previous value and the log says so. Returns a failure naming the first
// key that could not be read from the table (a missing table, a lost connection), so
// the caller can tell the settings were not loaded.
[[nodiscard]] platform::Status CargarConfiguracion(const QString &carpetaPrograma);

// Executable names of the suite's sales programs (CantidadDecimalesVentas applies to
// them). Empty by default.
extern QStringList gProgramasDeVenta;

} // namespace ModGlobal
