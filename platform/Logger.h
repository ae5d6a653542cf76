#pragma once

#include "Result.h"

#include <QString>

#include <functional>

namespace platform {

// The one logger: every diagnostic below the forms goes here. Warnings and errors are
// written once to standard error; every line also goes to the log file when one is set.
// A log file that cannot be written is said on standard error (once until it works
// again), never dropped in silence.
class Logger {
public:
    enum class Level { Info, Warning, Error };
    using Sink = std::function<void(Level, const QString &)>;

    static Logger &instance();
    void log(Level level, const QString &message);
    void info(const QString &message) { log(Level::Info, message); }
    void warning(const QString &message) { log(Level::Warning, message); }
    void error(const QString &message) { log(Level::Error, message); }
    // Also appends every line to this file (empty: none). Fails, naming the file and the
    // reason, when it cannot be opened for appending; the file is kept set either way.
    Status setFile(const QString &path);
    QString file() const { return m_file; }
    // Extra receiver (tests, status window); returns a token for removeSink.
    int addSink(Sink sink);
    void removeSink(int token);

private:
    Logger() = default;
    void appendToFile(const QString &line);

    QString m_file;
    bool m_fileFailing = false;
    std::vector<std::pair<int, Sink>> m_sinks;
    int m_nextToken = 1;
};

inline Logger &logger() { return Logger::instance(); }

} // namespace platform
