#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace ado {

// A LIKE pattern as SQL Server reads it (% any text, _ one character, [abc] [a-f] [^a] one
// character of a set, [%] a percent sign, no backslash escape, the ESCAPE character when one
// is given; a '[' without its ']' matches nothing; blanks ending the text need no match) in
// what PostgreSQL and an index can use. SQLite matches it itself (SqliteFunctions'
// LikePattern); PostgreSQL's set-up script has the same conversion as vk_likere() for
// patterns that are no literal.
class LikeTranslation {
public:
    // The text every match starts with (its letters in any case): the characters before the
    // first wildcard or set; empty when there is none or an escape character is given.
    static QString prefix(QStringView pattern, QChar escape = QChar());
    // The same pattern for PostgreSQL's ILIKE when that operator can say it (no set, no
    // escape, ending in %, so that blanks ending the text are matched anyway): backslashes
    // doubled, as ILIKE reads them as escapes.
    static std::optional<QString> postgresIlike(QStringView pattern, QChar escape = QChar());
    // The same pattern as a regular expression for PostgreSQL's ~* (case ignored there):
    // anchored, with the blanks ending the text allowed.
    static QString postgresRegex(QStringView pattern, QChar escape = QChar());
    // A character that every text starting with `prefix` sorts below once it is added to the
    // prefix, in the engine's text order (SQLite's VKTEXT compares code points; PostgreSQL's
    // ICU collation puts U+FFFF last).
    static QString highest(bool postgreSql);
};

} // namespace ado
