#pragma once

#include "SqliteCatalog.h"
#include "StatementCache.h"
#include "TranslationCache.h"
#include "platform/ado/Backend.h"
#include "platform/ado/SqlTranslator.h"

#include <QString>

#include <chrono>
#include <functional>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace ado {

// The embedded engine: "Provider=SQLite;Data Source=<file>[;Mode=Create]".
// A missing file is an error naming it unless Mode=Create. Statements arrive in SQL
// Server's dialect and pass through SqlTranslator, which reads the tables' columns from
// SqliteCatalog: every value written to a typed column goes through its conversion
// (SqliteConversions), so the file holds what SQL Server would hold - dates as
// "yyyy-mm-dd hh:mm:ss", which reads back as the same date and sorts correctly - or the
// statement fails with SQL Server's number. Text compares as SQL Server's default
// (VKTEXT, SqliteFunctions). Statements of one shape compile once (TranslationCache,
// StatementCache). Every statement waits for a locked file up to its time-out (0: without
// limit); transactions take the write lock when they begin. Foreign keys are enforced.
class SqliteBackend : public Backend {
public:
    SqliteBackend();
    ~SqliteBackend() override;

    void open(const ConnectionString &cs, const QString &user, const QString &password, int timeoutSeconds) override;
    void close() override;
    bool isOpen() const override { return m_db != nullptr; }
    ResultSet execute(const QString &sql, int timeoutSeconds, std::vector<BackendError> &warnings) override;
    std::unique_ptr<PreparedCommand> prepare(const QString &sql, const BoundKinds &kinds) override;
    // A whole number goes where a double goes: through the column's conversion (a bigint's
    // takes it unchanged), or bare into a floating column.
    BoundKind preparedKind(BoundKind kind) const override { return kind == BoundKind::Int ? BoundKind::Double : kind; }
    void beginTransaction() override;
    void commit() override;
    void rollback() override;
    bool inTransaction() const override;
    void setIsolationLevel(int adoLevel) override;
    void setDefaultDatabase(const QString &name) override;
    QString defaultDatabase() const override;
    QStringList tables() override;
    std::vector<SchemaColumn> columns(const QString &table) override;
    QString quoteIdentifier(const QString &name) const override;

    long insertRow(const QString &table, const QStringList &columns, const Row &values) override;
    long updateRow(const QString &table, const QStringList &columns, const Row &values, const QStringList &keyColumns,
                   const Row &keyValues) override;
    long deleteRow(const QString &table, const QStringList &keyColumns, const Row &keyValues) override;
    QStringList primaryKey(const QString &table) override;

    // A value bound as the engine stores it (dates in their stored text form). With `keep`, a
    // text or a date is written there and bound without a copy: the caller keeps it unchanged
    // until the parameter is bound again or the statement is finalised.
    static void bind(sqlite3_stmt *stmt, int index, const platform::Variant &value, std::string *keep = nullptr);

private:
    friend int sqliteProgress(void *self);
    friend class SqliteCommand;
    using Kind = TranslatedStatement::Kind;
    // Runs `count` translated steps under the time-out; `run` runs the i-th one of kind Statement.
    ResultSet runSteps(int timeoutSeconds, int count, const std::function<Kind(int)> &kindOf,
                       const std::function<void(int, ResultSet &, long &)> &run);
    void requireOpen() const;
    [[noreturn]] void fail(const QByteArray &sql) const;
    void exec(const char *sql);
    // Runs a statement without values, compiled on its first use and kept in `stmt`.
    void execKept(sqlite3_stmt *&stmt, const char *sql);
    static void checkNoNul(const QByteArray &sql);
    static void classify(PreparedStatement &ps);
    void runText(const QByteArray &sql, ResultSet &result, long &affected);
    bool runShaped(const QByteArray &sql, const std::vector<QStringView> &literals, ResultSet &result, long &affected);
    void runPrepared(PreparedStatement &ps, ResultSet &result, long &affected);
    void describe(PreparedStatement &ps) const;
    void fetchRows(PreparedStatement &ps, ResultSet &result);
    void afterStatement(const PreparedStatement &ps);
    void syncTransactionState();
    void setDeadline(int timeoutSeconds);
    long runBound(const QString &sql, const Row &values);
    long changeOneRow(const QString &table, const QString &sql, const Row &values);

    sqlite3 *m_db = nullptr;
    std::shared_ptr<int> m_lifetime; // expires when the connection closes (prepared commands hold it weakly)
    quint64 m_schemaGeneration = 0;  // counts definitions run on this connection
    QString m_path;
    QString m_defaultDatabase;
    SqliteCatalog m_catalog;
    TranslationCache m_translator{Dialect::SQLite};
    StatementCache m_cache;
    // Each group of a long import opens and ends a transaction: not compiled every time.
    sqlite3_stmt *m_begin = nullptr;
    sqlite3_stmt *m_commit = nullptr;
    int m_tranCount = 0;
    bool m_engineEndedTransaction = false; // an error rolled back; the next ROLLBACK is quiet
    int m_busyTimeoutSeconds = -1;
    std::chrono::steady_clock::time_point m_deadline{};
    bool m_hasDeadline = false;
};

} // namespace ado
