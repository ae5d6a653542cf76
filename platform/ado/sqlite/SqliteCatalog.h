#pragma once

#include "platform/ado/SqlTranslator.h"

#include <QHash>

struct sqlite3;

namespace ado {

// The columns of the embedded database's tables and views for the translator, read once
// per table (PRAGMA table_info) and forgotten when a definition runs on the connection.
class SqliteCatalog : public ColumnCatalog {
public:
    void setDatabase(sqlite3 *db);
    QList<CatalogColumn> columns(const QString &table) override;
    void clear() { m_tables.clear(); }

private:
    sqlite3 *m_db = nullptr;
    QHash<QString, QList<CatalogColumn>> m_tables; // by lower-case name
};

} // namespace ado
