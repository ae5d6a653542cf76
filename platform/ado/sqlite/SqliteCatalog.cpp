#include "SqliteCatalog.h"

#include <sqlite3.h>

namespace ado {

void SqliteCatalog::setDatabase(sqlite3 *db)
{
    m_db = db;
    m_tables.clear();
}

QList<CatalogColumn> SqliteCatalog::columns(const QString &table)
{
    const QString key = table.toLower();
    if (const auto it = m_tables.constFind(key); it != m_tables.constEnd())
        return *it;
    QList<CatalogColumn> out;
    if (!m_db)
        return out;
    const QByteArray sql =
        "PRAGMA table_info(\"" + QString(table).replace(u'"', QStringLiteral("\"\"")).toUtf8() + "\")";
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &stmt, nullptr) != SQLITE_OK)
        return out;
    while (sqlite3_step(stmt) == SQLITE_ROW)
        out.append(CatalogColumn{QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 1))),
                                 QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 2)))});
    sqlite3_finalize(stmt);
    if (!out.isEmpty()) // an unknown table may be created by another connection
        m_tables.insert(key, out);
    return out;
}

} // namespace ado
