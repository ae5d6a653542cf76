#pragma once

#include "SqliteTypeMap.h"
#include "platform/ado/Fields.h"

#include <QByteArray>
#include <QHash>

#include <list>
#include <vector>

struct sqlite3_stmt;

namespace ado {

// A prepared statement with what is known of its result columns.
struct PreparedStatement {
    sqlite3_stmt *stmt = nullptr;
    bool described = false;
    std::vector<ColumnInfo> columns;
    std::vector<ValueClass> classes;
    bool changesRows = false;   // INSERT, UPDATE, DELETE: counts affected rows
    bool changesSchema = false; // CREATE, ALTER, DROP
};

// Prepared statements kept by their text, least recently used dropped first, so that a
// statement the system runs again is not compiled again.
class StatementCache {
public:
    explicit StatementCache(int capacity = 64) : m_capacity(capacity) {}
    ~StatementCache() { clear(); }
    StatementCache(const StatementCache &) = delete;
    StatementCache &operator=(const StatementCache &) = delete;

    PreparedStatement *find(const QByteArray &sql);
    // Takes ownership of `statement`; may finalize the least recently used one.
    PreparedStatement *insert(const QByteArray &sql, PreparedStatement statement);
    void clear(); // finalizes every statement (schema changes, close)

private:
    struct Slot {
        QByteArray sql;
        PreparedStatement statement;
    };
    int m_capacity;
    std::list<Slot> m_order; // most recently used first
    QHash<QByteArray, std::list<Slot>::iterator> m_index;
};

} // namespace ado
