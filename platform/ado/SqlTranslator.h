#pragma once

#include <QList>
#include <QString>

namespace ado {

enum class Dialect { SQLite, PostgreSQL };

// One statement of a batch after translation.
struct TranslatedStatement {
    enum class Kind { Statement, Begin, Commit, Rollback };
    Kind kind = Kind::Statement;
    QString sql; // empty for the transaction kinds
};

// Rewrites the SQL Server dialect the system writes into the engine's own.
// Tokenised (string literals, [names] and comments are never rewritten by
// accident); a construct it does not know passes through unchanged so that the
// engine's own error reaches the caller.
class SqlTranslator {
public:
    explicit SqlTranslator(Dialect dialect) : m_dialect(dialect) {}
    // Splits a batch (";", GO lines) into statements and translates each one.
    QList<TranslatedStatement> translate(const QString &batch) const;
    Dialect dialect() const { return m_dialect; }

private:
    Dialect m_dialect;
};

} // namespace ado
