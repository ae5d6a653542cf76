#pragma once
// What the database benchmarks share: their figures, the suite's schema on a fresh
// database, the process's peak memory and a thin hold of libsqlite3 statements.

#include "platform/ado/Connection.h"
#include "schema/Schema.h"

#include <QString>

#include <sqlite3.h>
#include <sys/resource.h>

#include <stdexcept>
#include <string>

namespace bench {

struct Figure {
    long rows = 0;
    double seconds = 0;
    double perSecond() const { return seconds > 0 ? double(rows) / seconds : 0; }
};

// The peak resident memory of this process so far.
inline double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// A database of the suite's schema, created through the ado layer as the program does.
inline void createSuiteDatabase(const QString &connectionString)
{
    ado::Connection cnn;
    cnn.Open(connectionString);
    const platform::Status made = schema::createSuiteDatabase(cnn);
    if (!made.ok())
        throw std::runtime_error(made.message().toStdString());
    cnn.Close();
}

inline void check(int rc, sqlite3 *db, const char *what)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

struct Statement {
    sqlite3_stmt *stmt = nullptr;
    Statement() = default;
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    ~Statement() { sqlite3_finalize(stmt); }
};

} // namespace bench
