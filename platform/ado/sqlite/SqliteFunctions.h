#pragma once

#include <utility>
#include <vector>

struct sqlite3;

namespace ado {

// What this system's SQL needs of an SQLite connection beyond the engine itself:
// - collation VKTEXT: text compares as SQL Server's default does, ignoring case (ASCII
//   and Latin-1 letters, so "Ñ" = "ñ" and "Á" = "á") and trailing blanks;
// - collation VKDATE: compares dates written in any form DateText reads, by their value;
// - vkdate(value [, table, column]): the stored form of a date, "yyyy-mm-dd hh:mm:ss";
//   other values pass unchanged; text that is no date fails naming table and column;
// - like(): LIKE as SQL Server's (LikePattern).
class SqliteFunctions {
public:
    static int registerAll(sqlite3 *db); // SQLITE_OK or the failing code
    // Exposed for tests and for ordering text in memory: <0, 0, >0.
    static int compareText(const char *a, int lengthA, const char *b, int lengthB);
};

// A LIKE pattern as SQL Server reads it: % any text, _ one character, [abc] [a-f] [^a] one
// character of (or not of) a set ([%] is a percent sign; a '[' without its ']' matches
// nothing), no backslash escape, the ESCAPE character when one is given. Letters compare
// as VKTEXT compares them (case folded for ASCII and Latin-1), and blanks at the end of the
// text need no match in the pattern ('abc  ' is LIKE 'abc'); the pattern's own blanks count.
class LikePattern {
public:
    // UTF-8 pattern; `escape` 0 for none.
    static LikePattern parse(const unsigned char *pattern, const unsigned char *end, unsigned escape);
    bool match(const unsigned char *text, const unsigned char *end) const;

private:
    struct Token {
        enum Kind { Literal, One, Any, Set } kind = Literal;
        unsigned code = 0;                                 // Literal, folded
        std::vector<std::pair<unsigned, unsigned>> ranges; // Set, folded
        bool negated = false;
        bool matches(unsigned folded) const;
    };
    std::vector<Token> tokens;
    bool never = false;
};

} // namespace ado
