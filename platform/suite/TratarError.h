#pragma once

#include "platform/RuntimeError.h"

#include <QString>

#include <functional>

namespace platform::suite {

// The suite library's error treatment: shows and logs the error and returns the
// operator's answer (4 retry, 5 go on, anything else leave). Start-up installs the
// program's central error routine as the handler; until then the error goes to the
// operator service with Abort/Retry/Ignore and to the logger.
int TratarError(const RuntimeError &error, const QString &mensaje, const QString &rutina);

using ErrorHandler = std::function<int(const RuntimeError &, const QString &mensaje, const QString &rutina)>;
void setErrorHandler(ErrorHandler handler);

} // namespace platform::suite
