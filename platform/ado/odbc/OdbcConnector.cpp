#include "OdbcConnector.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace ado {

namespace {

// What the caller and the worker share; the last one to leave frees it.
struct Attempt {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool abandoned = false;
    bool connected = false;
    OdbcHandle env;
    OdbcHandle dbc;
    std::vector<OdbcDiagnostic> diagnostics;
    QString connectionString;
};

// Time the driver gets beyond the time-out to report its own, more precise, error.
constexpr auto Grace = std::chrono::milliseconds(500);

void work(const std::shared_ptr<Attempt> &attempt)
{
    SQLWCHAR out[1024];
    SQLSMALLINT outLength = 0;
    const SQLRETURN rc = SQLDriverConnectW(attempt->dbc.get(), nullptr, odbcText(attempt->connectionString), SQL_NTS,
                                           out, SQLSMALLINT(std::size(out)), &outLength, SQL_DRIVER_NOPROMPT);
    std::lock_guard lock(attempt->mutex);
    attempt->connected = SQL_SUCCEEDED(rc);
    if (!attempt->connected)
        attempt->diagnostics = attempt->dbc.diagnostics();
    attempt->done = true;
    if (attempt->abandoned) {
        if (attempt->connected)
            SQLDisconnect(attempt->dbc.get());
        attempt->dbc.reset();
        attempt->env.reset();
    }
    attempt->finished.notify_all();
}

} // namespace

OdbcConnector::Outcome OdbcConnector::connect(const QString &connectionString, int timeoutSeconds)
{
    Outcome outcome;
    auto attempt = std::make_shared<Attempt>();
    attempt->connectionString = connectionString;
    if (!attempt->env.allocate(SQL_HANDLE_ENV, SQL_NULL_HANDLE)) {
        outcome.diagnostics.push_back(
            {QStringLiteral("HY001"), 0, QStringLiteral("No se pudo iniciar el administrador ODBC (unixODBC).")});
        return outcome;
    }
    SQLSetEnvAttr(attempt->env.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    if (!attempt->dbc.allocate(SQL_HANDLE_DBC, attempt->env.get())) {
        outcome.diagnostics = attempt->env.diagnostics();
        return outcome;
    }
    if (timeoutSeconds > 0) {
        const auto seconds = reinterpret_cast<SQLPOINTER>(SQLULEN(timeoutSeconds));
        SQLSetConnectAttr(attempt->dbc.get(), SQL_ATTR_LOGIN_TIMEOUT, seconds, 0);
        SQLSetConnectAttr(attempt->dbc.get(), SQL_ATTR_CONNECTION_TIMEOUT, seconds, 0);
    }
    std::thread(work, attempt).detach();

    std::unique_lock lock(attempt->mutex);
    if (timeoutSeconds > 0) {
        const auto deadline = std::chrono::seconds(timeoutSeconds) + Grace;
        if (!attempt->finished.wait_for(lock, deadline, [&] { return attempt->done; })) {
            attempt->abandoned = true;
            outcome.timedOut = true;
            return outcome;
        }
    } else {
        attempt->finished.wait(lock, [&] { return attempt->done; });
    }
    outcome.connected = attempt->connected;
    outcome.diagnostics = std::move(attempt->diagnostics);
    outcome.dbc = std::move(attempt->dbc);
    outcome.env = std::move(attempt->env);
    return outcome;
}

} // namespace ado
