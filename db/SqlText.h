#pragma once

#include <QString>

#include <functional>

// Small text routines the database class builds its statements with.
namespace db::sqltext {

bool containsNoCase(const QString &text, const QString &what);
// Replaces every occurrence, ignoring case.
QString replaceNoCase(const QString &text, const QString &what, const QString &with);
// Replaces `name` (ignoring case) wherever it stands as a whole name: not preceded or
// followed by a letter, digit or "_". Returns the rewritten text.
QString replaceWholeName(const QString &text, const QString &name, const QString &with);
// Applies `rewrite` to each part of a statement that lies outside its quoted text
// literals ('...', with '' inside); the literals are kept as they are. An unclosed
// literal runs to the end.
QString rewriteOutsideLiterals(const QString &statement, const std::function<QString(const QString &)> &rewrite);
// The leading number of a text as VB's Val reads it (blanks ignored, "." decimal
// point); 0 when the text does not begin with a number.
double leadingNumber(const QString &text);
// A number as plain text: "." decimal point, no grouping, no trailing zeros.
QString plainNumber(double value);
// Doubles every apostrophe so the text can stand inside a quoted literal.
QString escapeQuotes(const QString &text);

} // namespace db::sqltext
