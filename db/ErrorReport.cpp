#include "db/ErrorReport.h"

#include "platform/TextFile.h"
#include "platform/Variant.h"
#include "platform/ui/Operator.h"

#include <QFile>

namespace db {

QString ErrorReport::message(long number, const QString &description)
{
    return QStringLiteral("Ha ocurrido el Siguiente Error (") + QString::number(number).trimmed() + QStringLiteral(") ")
        + description.trimmed();
}

QString ErrorReport::title(const QString &source, const std::optional<QString> &routine, const QString &suffix)
{
    QString fragment = routine ? QStringLiteral(" - ") + *routine : QString();
    return source + fragment + suffix;
}

QString ErrorReport::answerWord(int answer)
{
    switch (answer) {
    case platform::vbRetry:
        return QStringLiteral("Reintentar");
    case platform::vbIgnore:
        return QStringLiteral("Ignorar");
    case platform::vbAbort:
        return QStringLiteral("Abortar");
    case platform::vbCancel:
        return QStringLiteral("Cancelar");
    case platform::vbYes:
        return QStringLiteral("Sí");
    case platform::vbNo:
        return QStringLiteral("No");
    default:
        return QString();
    }
}

namespace {

// One entry is one line: a line break inside a description (every PostgreSQL error
// detail has one) becomes a blank.
QString oneLine(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

} // namespace

QString ErrorReport::logLine(const QDateTime &when, const std::optional<QString> &routine, const QString &message,
                             int answer)
{
    QString fragment = routine ? QStringLiteral(" - ") + *routine : QString();
    return when.toString(platform::regional().shortDateFormat) + QLatin1Char(' ')
        + when.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(" Rutina: ") + oneLine(fragment.trimmed())
        + QStringLiteral(" Mensaje ") + oneLine(message.trimmed()) + QStringLiteral(" Respondió : ")
        + answerWord(answer);
}

bool ErrorReport::appendLine(const QString &path, const QString &line)
{
    if (path.isEmpty())
        return false;
    return platform::textfile::appendLines(path, {line}).ok();
}

int ErrorReport::report(const platform::RuntimeError &error, int buttons, const std::optional<QString> &routine,
                        const Options &options)
{
    if (options.createLogFirst && !options.logPath.isEmpty()) {
        QFile file(options.logPath);
        (void)file.open(QIODevice::Append); // only creates it; failure is ignored
    }
    if (error.Number() == 0)
        return 0;
    const QString text = message(error.Number(), error.Description());
    const int answer = platform::msgBox(text, buttons, title(error.Source(), routine, options.titleSuffix));
    appendLine(options.logPath, logLine(QDateTime::currentDateTime(), routine, text, answer));
    return answer;
}

} // namespace db
