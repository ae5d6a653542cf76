#pragma once

#include <QString>

// The access log: one Control_Acceso row per run, closed with its exit time.
namespace ModGlobal {

// Writes this run's row (process name "" = this program) and keeps its Id in gIdAcceso.
// Returns whether the row was written; nothing is shown here (the transaction runner
// shows a failed INSERT).
bool RegistrarAcceso(const QString &proceso);
// Writes the exit time into the row gIdAcceso when it has none yet; returns whether it
// was written (true with no row, gIdAcceso 0). A failed statement is shown in a plain
// message box; a row that is gone or already closed is logged.
bool RegistrarEgreso();
// RegistrarEgreso, then releases the shared objects. Does not end the program. Returns
// whether the exit time was written.
bool Finalizar();

} // namespace ModGlobal
