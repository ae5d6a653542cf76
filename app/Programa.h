#pragma once

#include <QString>

// One run of the program: installs the operator and status services of the chosen mode,
// starts the system and closes it again. Returns the process exit status.
namespace Programa {

enum ExitStatus : int {
    kOk = 0,
    kSinConexion = 1,   // no database connection
    kInicioFallido = 2, // a start-up step failed
    kSinAcceso = 3,     // the access row could not be written
};

int run(const QString &commandText, bool unattended);

} // namespace Programa
