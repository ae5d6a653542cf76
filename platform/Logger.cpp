#include "Logger.h"

#include "TextFile.h"

#include <QDateTime>

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
    if (!m_file.isEmpty())
        (void)textfile::appendLines(m_file, {line});
    for (const auto &sink : m_sinks)
        sink.second(level, message);
}

void Logger::setFile(const QString &path) { m_file = path; }

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
