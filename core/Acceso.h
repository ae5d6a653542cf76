#pragma once

#include <QString>

// The access log: one Control_Acceso row per run, closed with its exit time.
namespace ModGlobal {

// Writes this run's row (process name "" = this program) and keeps its Id in gIdAcceso.
// Returns whether the row was written; nothing is shown here (the transaction runner
// shows a failed INSERT).
bool RegistrarAcceso(const QString &proceso);
// Writes the exit time into the row gIdAcceso when it has none yet; returns whether the
// statement ran (a failure is shown in a plain message box).
bool RegistrarEgreso();
// RegistrarEgreso, then releases the shared objects. Does not end the program.
void Finalizar();

} // namespace ModGlobal
