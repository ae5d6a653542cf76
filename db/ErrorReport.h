#pragma once

#include "platform/RuntimeError.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace db {

// The operator's error dialog and its VKERR.LOG line, shared by the database class's
// TratamientoErrores and the program's central error routine. Each caller gives its
// own title suffix and log file.
class ErrorReport {
public:
    struct Options {
        QString titleSuffix;         // e.g. " Aviso al operador!!! - 5 "
        QString logPath;             // file the line is appended to
        bool createLogFirst = false; // create the log file before asking (also for error 0)
    };

    // "Ha ocurrido el Siguiente Error (<number>) <description>" (number and description trimmed).
    static QString message(long number, const QString &description);
    // Source + (" - " + routine when given) + suffix.
    static QString title(const QString &source, const std::optional<QString> &routine, const QString &suffix);
    // 4 "Reintentar", 5 "Ignorar", 3 "Abortar", 2 "Cancelar", 6 "Sí", 7 "No", else "".
    static QString answerWord(int answer);
    // "<date> <time> Rutina: <routine part> Mensaje <message> Respondió : <word>", always
    // one line: line breaks in the routine or the message become blanks.
    static QString logLine(const QDateTime &when, const std::optional<QString> &routine, const QString &message,
                           int answer);
    // Appends one line in Windows-1252 with CR LF; failures are ignored (returns false).
    static bool appendLine(const QString &path, const QString &line);

    // Error 0: returns 0 without asking or logging. Otherwise asks the operator with
    // `buttons`, appends the log line and returns the answer.
    static int report(const platform::RuntimeError &error, int buttons, const std::optional<QString> &routine,
                      const Options &options);
};

} // namespace db
