#include "OdbcErrorMap.h"

#include "platform/ado/Types.h"

namespace ado {

namespace {

// SQL Server's "does not exist or access denied", "login failed" and "cannot open database".
constexpr long NativeServerUnreachable = 17;
constexpr long NativeLoginFailed = 18456;
constexpr long NativeCannotOpenDatabase = 4060;

// psqlODBC reports every failed connect as 08001; the server's text tells which part failed.
long postgreSqlConnectNative(const QString &message)
{
    if (message.contains(QLatin1String("authentication failed"), Qt::CaseInsensitive)
        || (message.contains(QLatin1String("role \""), Qt::CaseInsensitive)
            && message.contains(QLatin1String("does not exist"), Qt::CaseInsensitive)))
        return NativeLoginFailed;
    if (message.contains(QLatin1String("database \""), Qt::CaseInsensitive)
        && message.contains(QLatin1String("does not exist"), Qt::CaseInsensitive))
        return NativeCannotOpenDatabase;
    return NativeServerUnreachable;
}

// "ERROR: text;\nError while executing the query" -> "text" (psqlODBC adds its own context).
QString cleanPostgreSqlMessage(QString message)
{
    const qsizetype tail = message.lastIndexOf(QLatin1String(";\n"));
    if (tail > 0)
        message.truncate(tail);
    for (const char *prefix : {"ERROR:", "FATAL:"})
        if (message.startsWith(QLatin1String(prefix)))
            message = message.mid(qsizetype(qstrlen(prefix))).trimmed();
    return message.trimmed();
}

bool isTimeout(const QString &state)
{
    // 57014: PostgreSQL's statement_timeout / cancel.
    return state == QLatin1String("HYT00") || state == QLatin1String("HYT01") || state == QLatin1String("57014");
}

long numberFor(const QString &state)
{
    if (isTimeout(state))
        return errnum::Timeout;
    if (state.startsWith(QLatin1String("23")))
        return errnum::IntegrityViolation;
    if (state.startsWith(QLatin1String("08")) || state.startsWith(QLatin1String("28"))
        || state.startsWith(QLatin1String("IM")))
        return errnum::GenericFailure;
    return errnum::CommandFailed;
}

} // namespace

long OdbcErrorMap::nativeForPostgreSqlState(const QString &sqlState)
{
    static const struct {
        const char *state;
        long native;
    } table[] = {
        {"23505", native::DuplicateKey},
        {"23503", native::ConstraintConflict},
        {"23514", native::ConstraintConflict},
        {"23502", native::NullNotAllowed},
        {"22001", native::StringTruncated},
        {"42P01", native::InvalidObject},
        {"42P07", native::AlreadyExists},
        {"42601", native::SyntaxError},
        {"28000", NativeLoginFailed},
        {"28P01", NativeLoginFailed},
        // Less frequent ones, with SQL Server's number for the same fault.
        {"42703", 207},  // invalid column name
        {"42702", 209},  // ambiguous column name
        {"42883", 195},  // unknown function
        {"42501", 229},  // permission denied
        {"22P02", 245},  // conversion failed
        {"22007", 241},  // invalid date or time
        {"22008", 242},  // date out of range
        {"22003", 8115}, // arithmetic overflow
        {"22012", 8134}, // divide by zero
        {"40P01", 1205}, // deadlock victim
        {"25P02", 3930}, // the transaction failed: only its rollback is taken
        {"55P03", 1222}, // lock request time-out
        {"3D000", 911},  // database does not exist
    };
    for (const auto &row : table)
        if (sqlState == QLatin1String(row.state))
            return row.native;
    return 0;
}

bool OdbcErrorMap::isConnectionLost(const OdbcDiagnostic &d)
{
    // 57P01..57P03: the server shut down or restarts under the session.
    if (d.sqlState.startsWith(QLatin1String("08")) || d.sqlState.startsWith(QLatin1String("57P")))
        return true;
    static const char *const phrases[] = {
        "server closed the connection",
        "no connection to the server",
        "connection not open",
        "could not send",
        "could not receive",
        "connection is dead",
        "communication link",
        "broken pipe",
        "connection reset",
        "terminating connection",
        "write to the server failed",
        "read from the server failed",
        "ssl syscall error",
    };
    for (const char *phrase : phrases)
        if (d.message.contains(QLatin1String(phrase), Qt::CaseInsensitive))
            return true;
    return false;
}

BackendError OdbcErrorMap::map(OdbcPlatform platform, Phase phase, const OdbcDiagnostic &d)
{
    BackendError e;
    e.sqlState = d.sqlState;
    e.description = platform == OdbcPlatform::PostgreSQL ? cleanPostgreSqlMessage(d.message) : d.message;
    e.number = numberFor(d.sqlState);
    e.nativeError = platform == OdbcPlatform::PostgreSQL ? nativeForPostgreSqlState(d.sqlState) : d.nativeError;
    // The set-up's value conversions raise SQL Server's number as the state: "V0245" is 245.
    if (platform == OdbcPlatform::PostgreSQL && d.sqlState.size() == 5 && d.sqlState.startsWith(u'V')) {
        bool ok = false;
        const long native = d.sqlState.mid(1).toLong(&ok);
        if (ok) {
            e.nativeError = native;
            e.number = errnum::CommandFailed;
            e.sqlState = native == 241                                              ? QStringLiteral("22007")
                : native == 242                                                     ? QStringLiteral("22008")
                : native == 220 || native == 8115 || native == 244 || native == 248 ? QStringLiteral("22003")
                                                                                    : QStringLiteral("22018");
        }
    }
    // Text lengths are kept by CHECK constraints named vklen_<column> (see SqlTranslator).
    if (platform == OdbcPlatform::PostgreSQL && d.sqlState == QLatin1String("23514")
        && d.message.contains(QLatin1String("\"vklen_"))) {
        e.nativeError = native::StringTruncated;
        e.number = errnum::CommandFailed;
    }
    if (isConnectionLost(d)) {
        e.number = errnum::GenericFailure;
        if (phase == Phase::Executing) {
            e.nativeError = native::CommunicationLink;
            e.sqlState = QStringLiteral("08S01");
        } else if (platform == OdbcPlatform::PostgreSQL) {
            e.nativeError = postgreSqlConnectNative(d.message);
        }
    }
    return e;
}

} // namespace ado
