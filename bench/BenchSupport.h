#pragma once
// What the database benchmarks share: their figures, the suite's schema on a fresh
// database, the process's peak memory and a thin hold of libsqlite3 statements.

#include "platform/ado/Connection.h"
#include "schema/Schema.h"

#include <QString>
#include <QStringList>

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

// The database benchmarks' command line: [--check] [--rounds N] [--pg-articles N] [articles]
// [prices per article]. A check runs one round unless told otherwise.
struct Options {
    bool check = false;
    int rounds = 3;
    int articles = 100000;
    int prices = 5;
    int pgArticles = 0; // 0: the SQLite phase's, at most 20,000
};

inline Options parseOptions(const QStringList &args)
{
    Options o;
    bool roundsGiven = false;
    QStringList sizes;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        const auto next = [&]() -> int {
            if (i + 1 >= args.size())
                throw std::runtime_error("missing value after " + a.toStdString());
            return args[++i].toInt();
        };
        if (a == u"--check") {
            o.check = true;
        } else if (a == u"--rounds") {
            o.rounds = next();
            roundsGiven = true;
        } else if (a == u"--pg-articles") {
            o.pgArticles = next();
        } else if (a.startsWith(u'-')) {
            throw std::runtime_error("unknown option " + a.toStdString());
        } else {
            sizes << a;
        }
    }
    if (!sizes.isEmpty())
        o.articles = sizes[0].toInt();
    if (sizes.size() > 1)
        o.prices = sizes[1].toInt();
    if (o.check && !roundsGiven)
        o.rounds = 1;
    if (o.articles < 1 || o.prices < 1 || o.rounds < 1)
        throw std::runtime_error("sizes and rounds must be positive");
    return o;
}

// How a figure reads against its bound. A check run does not enforce the bounds (a loaded CI
// machine says nothing of speed), so there a miss is information, not a failure.
inline const char *verdict(bool met, bool checkRun)
{
    return met ? "ok" : checkRun ? "(info: under the bound, not enforced in a check run)" : "MISSED";
}

} // namespace bench
