#pragma once

#include "Fields.h"
#include "platform/Variant.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace ado {

// Parsed "key=value;" connection string; keys are case-insensitive and trimmed
// ("Database =" and "Database=" are the same key).
class ConnectionString {
public:
    static ConnectionString parse(const QString &text); // raises Exception on a malformed text
    QString value(const QString &key) const;            // "" when absent
    bool has(const QString &key) const;
    QString provider() const { return value(QStringLiteral("Provider")); }
    const QList<QPair<QString, QString>> &items() const { return m_items; }

private:
    QList<QPair<QString, QString>> m_items;
};

using Row = std::vector<platform::Variant>;

// The result of one statement: a row set (possibly empty) or a count of affected rows.
struct ResultSet {
    bool hasRows = false; // the statement produced a row set (a SELECT)
    std::vector<ColumnInfo> columns;
    std::vector<Row> rows;
    long recordsAffected = -1;
};

// An error a backend reports, already mapped to SQL Server's native numbers.
struct BackendError {
    long number = errnum::CommandFailed;
    long nativeError = 0;
    QString sqlState;
    QString description;
};

// Thrown by a backend; Connection turns it into Errors entries and an Exception.
class BackendFailure : public std::exception {
public:
    explicit BackendFailure(std::vector<BackendError> errors) : m_errors(std::move(errors)) {}
    explicit BackendFailure(BackendError error) : m_errors{std::move(error)} {}
    const std::vector<BackendError> &errors() const { return m_errors; }
    const char *what() const noexcept override { return "backend failure"; }

private:
    std::vector<BackendError> m_errors;
};

// A value bound to a "?" marker of a prepared command, with the parameter's declared type
// (engines that type their markers use it for a Null).
struct BoundValue {
    platform::Variant value;
    DataType type = adVarWChar;
    long size = 0;
};
using BoundValues = std::vector<BoundValue>;
using BoundKinds = std::vector<BoundKind>; // per marker, in marker order

// A command text translated and prepared once, run again with new values. It stops being
// usable (valid() false) when its connection closes; the Command then prepares it anew.
class PreparedCommand {
public:
    virtual ~PreparedCommand() = default;
    virtual int parameterCount() const = 0; // the "?" markers of the text
    virtual bool valid() const = 0;
    // `values` holds one value per marker, in marker order. Fails like Backend::execute.
    virtual ResultSet execute(const BoundValues &values, int timeoutSeconds, std::vector<BackendError> &warnings) = 0;
};

struct SchemaColumn {
    QString Name;
    DataType Type = adVarChar;
    long DefinedSize = 0;
    bool Nullable = true;
    int Ordinal = 0;
};

// One database engine. Statements arrive in SQL Server's dialect; the backend
// translates what its engine needs. Every failure is thrown as BackendFailure.
class Backend {
public:
    virtual ~Backend() = default;
    virtual void open(const ConnectionString &cs, const QString &user, const QString &password, int timeoutSeconds) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // A batch may hold several statements; the last row set (or the summed count) is returned.
    // Warnings (e.g. nothing to report) go to `warnings` without failing the call.
    virtual ResultSet execute(const QString &sql, int timeoutSeconds, std::vector<BackendError> &warnings) = 0;
    // Prepares a command text with "?" markers (translated as execute() translates it),
    // for values of `kinds` (a missing or Unset entry: any value).
    virtual std::unique_ptr<PreparedCommand> prepare(const QString &sql, const BoundKinds &kinds) = 0;
    // The kind a value of `kind` is prepared for: kinds that translate alike on the engine
    // share one prepared command, so values of either do not compile the text again.
    virtual BoundKind preparedKind(BoundKind kind) const { return kind; }
    virtual void beginTransaction() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
    virtual bool inTransaction() const = 0;
    virtual void setIsolationLevel(int adoLevel) = 0;
    // See Connection::setStatementRollback; engines that always roll back a statement alone
    // ignore it. Before open() or on an open connection outside a transaction.
    virtual void setStatementRollback(bool) {}
    virtual void setDefaultDatabase(const QString &name) = 0;
    virtual QString defaultDatabase() const = 0;
    virtual QStringList tables() = 0;                                    // tables and views
    virtual std::vector<SchemaColumn> columns(const QString &table) = 0; // ordinal order
    virtual QString quoteIdentifier(const QString &name) const = 0;

    // Write-through of a recordset's edits to its base table. A row is identified by
    // `keyColumns` = `keyValues` (its primary key, or all its original values; a Null key
    // value matches NULL). Each returns the rows affected; updateRow and deleteRow throw
    // BackendFailure unless exactly one row matched. The defaults build statements with
    // escaped literals and run them through execute(); engines may override to bind values.
    virtual long insertRow(const QString &table, const QStringList &columns, const Row &values);
    virtual long updateRow(const QString &table, const QStringList &columns, const Row &values,
                           const QStringList &keyColumns, const Row &keyValues);
    virtual long deleteRow(const QString &table, const QStringList &keyColumns, const Row &keyValues);
    // Primary-key columns of a table; empty when unknown (rows are then identified by all values).
    virtual QStringList primaryKey(const QString &table);
    // A value as an SQL literal of this engine (text escaped, Null as NULL).
    virtual QString literal(const platform::Variant &value) const;
};

// Chooses the backend from the connection string's provider.
std::unique_ptr<Backend> createBackend(const ConnectionString &cs);

} // namespace ado
