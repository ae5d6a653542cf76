#pragma once

#include "OdbcConnectionString.h"
#include "platform/ado/Backend.h"
#include "platform/ado/SqlTranslator.h"

#include <QHash>
#include <functional>
#include <memory>
#include <optional>

namespace ado {

class OdbcHandle;
class SqlTranslator;
struct OdbcDiagnostic;

// SQL Server (FreeTDS), PostgreSQL (psqlODBC) and Oracle through unixODBC.
std::unique_ptr<Backend> createOdbcBackend(const ConnectionString &cs);

// One ODBC connection. SQL Server and Oracle receive the system's SQL unchanged;
// PostgreSQL gets it through SqlTranslator, with the transaction words of a batch
// turned into the connection's own transaction calls. Failures are thrown as
// BackendFailure with SQL Server's native numbers (see OdbcErrorMap).
class OdbcBackend : public Backend {
public:
    explicit OdbcBackend(OdbcPlatform platform);
    ~OdbcBackend() override;

    void open(const ConnectionString &cs, const QString &user, const QString &password, int timeoutSeconds) override;
    void close() override;
    bool isOpen() const override;
    ResultSet execute(const QString &sql, int timeoutSeconds, std::vector<BackendError> &warnings) override;
    std::unique_ptr<PreparedCommand> prepare(const QString &sql, const BoundKinds &kinds) override;
    void beginTransaction() override;
    void commit() override;
    void rollback() override;
    bool inTransaction() const override { return m_transactionDepth > 0; }
    void setIsolationLevel(int adoLevel) override;
    void setStatementRollback(bool on) override;
    void setDefaultDatabase(const QString &name) override;
    QString defaultDatabase() const override { return m_defaultDatabase; }
    QStringList tables() override;
    std::vector<SchemaColumn> columns(const QString &table) override;
    QString quoteIdentifier(const QString &name) const override;
    QStringList primaryKey(const QString &table) override;
    QString literal(const platform::Variant &value) const override;
    long updateRow(const QString &table, const QStringList &columns, const Row &values, const QStringList &keyColumns,
                   const Row &keyValues) override;
    long deleteRow(const QString &table, const QStringList &keyColumns, const Row &keyValues) override;

    OdbcPlatform platform() const { return m_platform; }

private:
    friend class OdbcCommand;
    // After a statement ran: definitions make the remembered column types stale.
    void noteStatement(const QString &sql);
    // Runs a change that must touch exactly one row so that, when it is refused, it is undone.
    long changeOneRow(const std::function<long()> &change);
    void connect(int timeoutSeconds);
    void prepareSession(int timeoutSeconds);
    void runStatement(const QString &sql, int timeoutSeconds, ResultSet &result, std::vector<BackendError> &warnings);
    void collectResults(OdbcHandle &statement, ResultSet &result, std::vector<BackendError> &warnings);
    void setAutocommit(bool on);
    void endTransaction(bool commitIt);
    void applyIsolationLevel();
    std::unique_ptr<OdbcHandle> newStatement(int timeoutSeconds); // -1: the last time-out
    std::vector<SchemaColumn> readColumns(const QString &table);
    void addWarnings(const OdbcHandle &handle, std::vector<BackendError> &warnings) const;
    [[noreturn]] void fail(const OdbcHandle &handle, const QString &context);
    [[noreturn]] void failConnect(const std::vector<OdbcDiagnostic> &diagnostics);
    [[noreturn]] void failClosed() const;
    void requireLiveTransaction() const;
    bool connectionDead() const;
    struct DeclaredTable {
        QList<CatalogColumn> columns;   // in table order
        QHash<QString, QString> byName; // lower-case column name -> declared type
    };
    QString declaredType(const QString &table, const QString &column);
    const DeclaredTable &declaredTable(const QString &table);
    DeclaredTable readDeclaredTypes(const QString &table);

    // The translator's view of the declared types (PostgreSQL with the set-up's conversions).
    class Catalog : public ColumnCatalog {
    public:
        explicit Catalog(OdbcBackend &backend) : m_backend(backend) {}
        QList<CatalogColumn> columns(const QString &table) override;

    private:
        OdbcBackend &m_backend;
    };

    OdbcPlatform m_platform;
    OdbcTarget m_target;
    QString m_connectionText; // the ADO connection string, for reconnecting to another database
    QString m_user;
    QString m_password;
    int m_loginTimeout = 15;
    std::unique_ptr<OdbcHandle> m_env;
    std::unique_ptr<OdbcHandle> m_dbc;
    std::shared_ptr<int> m_lifetime; // expires when the connection closes (prepared commands hold it weakly)
    std::unique_ptr<SqlTranslator> m_translator; // PostgreSQL only
    int m_transactionDepth = 0;
    int m_isolationLevel = 4096;
    bool m_statementRollback = true;
    // Without statement rollback a failed statement failed its transaction (psqlODBC rolls it
    // back at once): nothing else runs in its name until the caller's rollback.
    bool m_transactionFailed = false;
    ConnectionString m_connection; // what open() was given, to open it again
    int m_lastTimeout = 0;         // seconds, of the last statement (-1 to newStatement: keep it)
    QString m_defaultDatabase;
    // PostgreSQL: the SQL Server type each column was created with, per table (lower case);
    // forgotten after any DDL.
    QHash<QString, DeclaredTable> m_declaredTypes;
    Catalog m_catalog{*this};
};

} // namespace ado
