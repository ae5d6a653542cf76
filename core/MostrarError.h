#pragma once

#include "platform/RuntimeError.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace ModGlobal {

// The central error routine: shows the error with `botones` (default abort/retry/ignore
// with the critical icon), appends one line to VKERR.LOG and returns the operator's
// answer (4 retry, 5 go on, 3 abort, ...). Error number 0 shows nothing and returns 0.
// Failures of the log are ignored.
std::int16_t MostrarError(const platform::RuntimeError &error, int botones = 18,
                          const std::optional<QString> &rutina = std::nullopt);

// The log file of MostrarError: TMP's folder when TEMP is set (that is how the suite
// chooses it), else the temporary folder; file VKERR.LOG.
QString RutaLogErrores();

} // namespace ModGlobal
