#pragma once

#include <QString>

#include <functional>

namespace platform {

// The one logger: every diagnostic below the forms goes here. The desktop may
// show it; the unattended mode also writes it to a file.
class Logger {
public:
    enum class Level { Info, Warning, Error };
    using Sink = std::function<void(Level, const QString &)>;

    static Logger &instance();
    void log(Level level, const QString &message);
    void info(const QString &message) { log(Level::Info, message); }
    void warning(const QString &message) { log(Level::Warning, message); }
    void error(const QString &message) { log(Level::Error, message); }
    // Also appends every line to this file (empty: none).
    void setFile(const QString &path);
    // Extra receiver (tests, status window); returns a token for removeSink.
    int addSink(Sink sink);
    void removeSink(int token);

private:
    Logger() = default;
    QString m_file;
    std::vector<std::pair<int, Sink>> m_sinks;
    int m_nextToken = 1;
};

inline Logger &logger() { return Logger::instance(); }

} // namespace platform
