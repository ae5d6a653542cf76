#pragma once

// The runs whose first form is the sending form (after start-up).
namespace Programa {

// The unattended sending: builds the package, prints its one-line summary on standard
// output and returns kOk, or kEnvioFallido when it failed or left rows or tables unsent.
int envioAutomatico();
// The sending form on the desktop, until it is closed (which ends the program).
int envioEnEscritorio();

} // namespace Programa
