#include "ProgramRun.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

namespace apptest {

namespace {
constexpr int kTimeoutMs = 60000;
}

Outcome run(const QString &program, const QStringList &arguments, const QMap<QString, QString> &environment,
            const QString &workingFolder)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    for (auto it = environment.cbegin(); it != environment.cend(); ++it) {
        if (it.value().isNull())
            env.remove(it.key());
        else
            env.insert(it.key(), it.value());
    }
    QProcess process;
    process.setProcessEnvironment(env);
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(workingFolder);
    process.start(program, arguments);
    Outcome outcome;
    if (!process.waitForFinished(kTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        outcome.err = QStringLiteral("(did not end within a minute)");
        return outcome;
    }
    outcome.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    outcome.err = QString::fromLocal8Bit(process.readAllStandardError());
    outcome.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return outcome;
}

int occurrences(const QString &text, const QString &needle) { return int(text.count(needle)); }

QStringList repeatedLines(const QString &text)
{
    static const QRegularExpression stamp(
        QStringLiteral("^\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d (INFO|AVISO|ERROR) "));
    QStringList seen;
    QStringList repeated;
    for (QString line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        line.remove(stamp);
        if (seen.contains(line) && !repeated.contains(line))
            repeated << line;
        seen << line;
    }
    return repeated;
}

} // namespace apptest
