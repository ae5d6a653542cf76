#pragma once

#include "Types.h"

#include <QList>
#include <QString>

#include <vector>

namespace ado {

enum class Dialect { SQLite, PostgreSQL };

// One statement of a batch after translation.
struct TranslatedStatement {
    enum class Kind { Statement, Begin, Commit, Rollback };
    Kind kind = Kind::Statement;
    QString sql; // empty for the transaction kinds
};

// One column of a table as the translator needs it: its name and its type in SQL Server's
// words ("INT", "VARCHAR(20)").
struct CatalogColumn {
    QString name;
    QString declared;
};

// The columns of the tables the statements name, in table order. The engine's backend
// answers from what it remembers of each table and forgets a table when a definition runs.
class ColumnCatalog {
public:
    virtual ~ColumnCatalog() = default;
    // Empty when no such table (or view) is known.
    virtual QList<CatalogColumn> columns(const QString &table) = 0;
};

// Rewrites the SQL Server dialect the system writes into the engine's own.
// Tokenised (string literals, [names] and comments are never rewritten by
// accident); a construct it does not know passes through unchanged so that the
// engine's own error reaches the caller. Text a function or a concatenation gives
// compares as text columns do (SQLite: COLLATE VKTEXT; PostgreSQL: as BPCHAR, under
// the collation of its column), so case and trailing blanks never count.
class SqlTranslator {
public:
    // With a catalog, values written to typed columns go through ValueConversion and a text
    // column compared with a bare number compares as a number; without one they are left
    // to the engine.
    explicit SqlTranslator(Dialect dialect, ColumnCatalog *catalog = nullptr) : m_dialect(dialect), m_catalog(catalog)
    {}
    void setCatalog(ColumnCatalog *catalog) { m_catalog = catalog; }
    // Splits a batch (";", GO lines) into statements and translates each one. `kinds`: what the
    // values of a command's markers ("@vkp<n>", see ParameterMarkers) are, n from 1.
    QList<TranslatedStatement> translate(const QString &batch, const std::vector<BoundKind> *kinds = nullptr) const;
    Dialect dialect() const { return m_dialect; }

private:
    Dialect m_dialect;
    ColumnCatalog *m_catalog = nullptr;
};

} // namespace ado
