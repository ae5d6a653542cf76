#pragma once

#include "platform/RuntimeError.h"

#include <QDateTime>
#include <QString>

// How the article form writes its values into statements and runs them on the main
// connection.
namespace articles::sql {

// A text value as a quoted SQL literal, apostrophes doubled (DB_Dll::SQLValue with "'").
QString texto(const QString &valor);
// A date and time as an unambiguous literal ('yyyy-mm-ddThh:mm:ss'), whatever the
// regional settings.
QString fecha(const QDateTime &momento);
// A configured price class as the digits of a price column ("1" for a blank one or one that
// is not a number, which could not name a column).
QString clase(const QString &configurada);
// "C" when the program runs under the purchases program's name, else "V".
QString tipoLista();
// Runs one statement on the main connection. When the connection reports errors, the first
// one's description is shown (OK only) and the result is false.
bool ejecutarAvisando(const QString &sentencia);
// The main connection's first error as a run-time error of `rutina` (for a query that
// could not be opened).
platform::RuntimeError fallo(const QString &rutina);

} // namespace articles::sql
