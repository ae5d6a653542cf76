#include "Logger.h"

#include "TextFile.h"

#include <QDateTime>
#include <QFile>

#include <cstdio>

namespace platform {

Logger &Logger::instance()
{
    static Logger logger;
    return logger;
}

static const char *levelName(Logger::Level level)
{
    switch (level) {
    case Logger::Level::Info:
        return "INFO";
    case Logger::Level::Warning:
        return "AVISO";
    case Logger::Level::Error:
        return "ERROR";
    }
    return "";
}

void Logger::log(Level level, const QString &message)
{
    const QString line = QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) + QLatin1Char(' ')
        + QLatin1String(levelName(level)) + QLatin1Char(' ') + message;
    if (level != Level::Info)
        std::fprintf(stderr, "%s\n", qPrintable(line));
    appendToFile(line);
    for (const auto &sink : m_sinks)
        sink.second(level, message);
}

void Logger::appendToFile(const QString &line)
{
    if (m_file.isEmpty())
        return;
    const Status written = textfile::appendLines(m_file, {line});
    if (!written.ok() && !m_fileFailing)
        std::fprintf(stderr, "%s\n",
                     qPrintable(QStringLiteral("No se puede escribir el registro %1: %2; los avisos "
                                               "siguen solo en esta salida")
                                    .arg(m_file, written.message())));
    m_fileFailing = !written.ok();
}

Status Logger::setFile(const QString &path)
{
    m_file = path;
    m_fileFailing = false;
    if (path.isEmpty())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::Append))
        return Status::failure(QStringLiteral("No se puede escribir el registro %1: %2").arg(path, file.errorString()));
    return {};
}

int Logger::addSink(Sink sink)
{
    m_sinks.emplace_back(m_nextToken, std::move(sink));
    return m_nextToken++;
}

void Logger::removeSink(int token)
{
    std::erase_if(m_sinks, [token](const auto &entry) { return entry.first == token; });
}

} // namespace platform
