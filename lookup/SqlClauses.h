#pragma once

#include <QString>

// Reading and extending the SELECT statements that the lookup lists. Keywords are found
// at the statement's top level only: never inside literals, quoted or bracketed names,
// comments or parentheses (a sub-query keeps its own WHERE and ORDER BY).
namespace lookup::sqlclauses {

// A statement cut at its top-level WHERE and at its first top-level GROUP BY or ORDER BY.
struct Parts {
    QString head;      // everything before the WHERE keyword (before the closing clause without one)
    QString keyword;   // the WHERE keyword as written; empty when there is none
    QString condition; // the text between WHERE and the closing clause, as written
    QString closing;   // from GROUP BY or ORDER BY to the end; empty when there is none
    bool hasWhere() const { return !keyword.isEmpty(); }
};
Parts split(const QString &sql);

// Position of the first top-level occurrence of `keyword` (a word, or two words such as
// "ORDER BY" matched with any blanks between), ignoring case; -1 when none.
qsizetype findTopLevel(const QString &sql, const QString &keyword, qsizetype from = 0);

// The words joining a condition to a statement.
struct Joiners {
    QString where; // put in front of the condition when the statement has no WHERE
    QString conj;  // joins the existing condition, in parentheses, to the new one
};
inline Joiners lowerJoiners() { return {QStringLiteral(" where "), QStringLiteral(" and ")}; }
inline Joiners upperJoiners() { return {QStringLiteral(" WHERE "), QStringLiteral(" AND ")}; }

// Adds `condition` to the statement's WHERE, before its GROUP BY / ORDER BY: an existing
// condition is put in parentheses first, so that an OR in it cannot swallow the new one.
// The result ends with a blank and the closing clause.
QString addCondition(const QString &sql, const QString &condition, const Joiners &joiners);

// The name after the top-level FROM (up to the next blank); the first "from" anywhere when
// the top level has none; "" when there is no FROM.
QString tableName(const QString &sql);

// The statement limited to its first `rows` rows, for a first screen read ahead of the
// rest: "TOP rows" after SELECT (and DISTINCT or ALL), or a larger TOP lowered to it. Empty
// when the statement cannot be limited that way (not a single plain SELECT, a TOP in
// parentheses, PERCENT or WITH TIES, a set operator, INTO) or already reads no more rows.
QString limitRows(const QString &sql, int rows);

// The statement with its rows ordered first by the column at `ordinal` (1 for the first of
// the select list), ascending or not, then by every other of its `columns` columns (ties
// broken alike by every read): put in front of an ORDER BY it has, or added at its end.
// Empty when the statement is not a single plain SELECT (as for limitRows).
QString orderedFirstBy(const QString &sql, int ordinal, bool ascending, int columns = 0);

// The number of columns a plain SELECT lists (its top-level items before FROM); 0 when that
// cannot be told from the text ("*", no FROM, not a SELECT).
int selectListSize(const QString &sql);

// True when `name` can stand as a table, view or column name in a statement: letters,
// digits, "_", "@", "#", "$", dots between parts, and bracketed parts.
bool isPlainName(const QString &name);

} // namespace lookup::sqlclauses
