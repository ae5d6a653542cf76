#pragma once

#include "Errors.h"
#include "Fields.h"
#include "Types.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace ado {

class Backend;
class Recordset;
struct SchemaColumn;

// ADO Connection. Every failing call fills Errors with exactly that call's
// errors and raises an Exception (the run-time error of the caller's handler).
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Provider=SQLite;Data Source=<file> | Provider=SQLOLEDB;... | Provider=OraOLEDB.Oracle.1;...
    // | Provider=PostgreSQL;... (see README). Raises errnum::ObjectOpen when already open.
    void Open(const QString &connectionString = QString(), const QString &user = QString(),
              const QString &password = QString(), long options = -1);
    void Close(); // raises errnum::ObjectClosed when not open
    ObjectState State() const;

    QString ConnectionString() const { return m_connectionString; }
    void setConnectionString(const QString &text) { m_connectionString = text; }
    int CommandTimeout() const { return m_commandTimeout; }
    void setCommandTimeout(int seconds) { m_commandTimeout = seconds; }
    int ConnectionTimeout() const { return m_connectionTimeout; }
    void setConnectionTimeout(int seconds) { m_connectionTimeout = seconds; }
    int CursorLocation() const { return m_cursorLocation; }
    void setCursorLocation(int location) { m_cursorLocation = location; }
    int IsolationLevel() const { return m_isolationLevel; }
    void setIsolationLevel(int level);
    // Whether a statement that fails inside a transaction rolls back alone, leaving the
    // transaction to go on (true, the default: SQL Server's way). False asks for the engine's
    // fastest road for many statements in one transaction, for callers that roll back the
    // whole transaction when a statement fails: on PostgreSQL statements are then prepared on
    // the server and none is wrapped in a savepoint, and after a failure every statement fails
    // (native 3930) until the caller rolls back. SQLite and SQL Server always roll back the
    // statement alone. Kept across Close and Open; changing it on an open PostgreSQL
    // connection opens it again (not inside a transaction: raises).
    bool StatementRollback() const { return m_statementRollback; }
    void setStatementRollback(bool on);
    QString DefaultDatabase() const;
    void setDefaultDatabase(const QString &name);

    // Runs a statement or batch. Returns the last row set (closed recordset when none).
    std::shared_ptr<Recordset> Execute(const QString &commandText, long *recordsAffected = nullptr, long options = -1);
    long BeginTrans();
    void CommitTrans();
    void RollbackTrans();

    Errors &errors() { return m_errors; }
    const Errors &errors() const { return m_errors; }

    // Schema: table and view names; columns of one table in ordinal order.
    QStringList Tables();
    std::vector<SchemaColumn> Columns(const QString &table);

    // The backend, for Recordset; callers never reach engine handles.
    Backend *backend() const { return m_backend.get(); }

    // Runs `sql` on the backend with Errors bookkeeping (used by Recordset.Open).
    struct RawResult;
    std::shared_ptr<Recordset> run(const QString &sql, long *recordsAffected);

private:
    void requireOpen(const char *what) const;
    [[noreturn]] void raiseFromBackend(const std::exception_ptr &failure, const QString &source);

    std::unique_ptr<Backend> m_backend;
    QString m_connectionString;
    int m_commandTimeout = 30;
    int m_connectionTimeout = 15;
    int m_cursorLocation = adUseServer;
    int m_isolationLevel = adXactReadCommitted;
    bool m_statementRollback = true;
    Errors m_errors;
};

} // namespace ado
