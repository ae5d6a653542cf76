#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// Runs one of the project's programs as a real process, the way cron or a shell would.
namespace apptest {

struct Outcome {
    int status = -1; // exit status; -1 when the process crashed or did not end
    QString out;
    QString err;
};

// The environment of the test process with these changes: a value sets a variable, a
// null QString removes it. DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM are removed
// unless the changes set them, so no run can reach a desktop by accident.
Outcome run(const QString &program, const QStringList &arguments, const QMap<QString, QString> &environment = {},
            const QString &workingFolder = QString());

// How many times `needle` appears in `text`.
int occurrences(const QString &text, const QString &needle);
// The lines that appear more than once in the text, compared without the logger's time
// stamp and level.
QStringList repeatedLines(const QString &text);

} // namespace apptest
