#include "Backend.h"

#include "odbc/OdbcBackend.h"
#include "sqlite/SqliteBackend.h"

namespace ado {

std::unique_ptr<Backend> createBackend(const ConnectionString &cs)
{
    if (cs.provider().trimmed().compare(QLatin1String("SQLite"), Qt::CaseInsensitive) == 0)
        return std::make_unique<SqliteBackend>();
    return createOdbcBackend(cs);
}

namespace {

// "a = 1 AND b IS NULL" over the key columns.
QString keyCondition(const Backend &backend, const QStringList &keyColumns, const Row &keyValues)
{
    QStringList terms;
    for (qsizetype i = 0; i < keyColumns.size(); ++i) {
        const QString name = backend.quoteIdentifier(keyColumns[i]);
        const platform::Variant &v = keyValues.at(size_t(i));
        terms << (v.isNull() || v.isEmpty() ? name + QStringLiteral(" IS NULL")
                                            : name + QStringLiteral(" = ") + backend.literal(v));
    }
    return terms.join(QStringLiteral(" AND "));
}

BackendError rowNotFound(const QString &table, long affected)
{
    BackendError e;
    e.number = errnum::GenericFailure;
    e.sqlState = QStringLiteral("HY000");
    e.description = affected == 0
        ? QStringLiteral("No se encuentra la fila a modificar en la tabla '%1': sus valores "
                         "cambiaron desde que se leyó.")
              .arg(table)
        : QStringLiteral("La fila de la tabla '%1' no se identifica de forma única (%2 filas).")
              .arg(table)
              .arg(affected);
    return e;
}

long runCount(Backend &backend, const QString &sql)
{
    std::vector<BackendError> warnings;
    return backend.execute(sql, 0, warnings).recordsAffected;
}

} // namespace

long Backend::insertRow(const QString &table, const QStringList &columns, const Row &values)
{
    QStringList names, literals;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        names << quoteIdentifier(columns[i]);
        literals << literal(values.at(size_t(i)));
    }
    return runCount(*this,
                    QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                        .arg(quoteIdentifier(table), names.join(QLatin1Char(',')), literals.join(QLatin1Char(','))));
}

long Backend::updateRow(const QString &table, const QStringList &columns, const Row &values,
                        const QStringList &keyColumns, const Row &keyValues)
{
    QStringList sets;
    for (qsizetype i = 0; i < columns.size(); ++i)
        sets << quoteIdentifier(columns[i]) + QStringLiteral(" = ") + literal(values.at(size_t(i)));
    const long n = runCount(
        *this,
        QStringLiteral("UPDATE %1 SET %2 WHERE %3")
            .arg(quoteIdentifier(table), sets.join(QLatin1Char(',')), keyCondition(*this, keyColumns, keyValues)));
    if (n != 1)
        throw BackendFailure(rowNotFound(table, n));
    return n;
}

long Backend::deleteRow(const QString &table, const QStringList &keyColumns, const Row &keyValues)
{
    const long n = runCount(*this,
                            QStringLiteral("DELETE FROM %1 WHERE %2")
                                .arg(quoteIdentifier(table), keyCondition(*this, keyColumns, keyValues)));
    if (n != 1)
        throw BackendFailure(rowNotFound(table, n));
    return n;
}

QStringList Backend::primaryKey(const QString &) { return {}; }

QString Backend::literal(const platform::Variant &value) const
{
    using K = platform::Variant::Kind;
    switch (value.kind()) {
    case K::Empty:
    case K::Null:
        return QStringLiteral("NULL");
    case K::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case K::Int:
        return QString::number(value.toInt64());
    case K::Double:
        return QString::number(value.toDouble(), 'g', 17);
    case K::DateTime:
        // ISO 8601 with "T": read the same way whatever the server's date format.
        return QLatin1Char('\'') + value.toDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"))
            + QLatin1Char('\'');
    case K::Bytes:
        return QStringLiteral("0x") + QString::fromLatin1(value.toBytes().toHex());
    case K::Text:
        break;
    }
    QString text = value.toString();
    text.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

} // namespace ado
