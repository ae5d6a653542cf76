#pragma once

struct sqlite3;

namespace ado {

// What this system's SQL needs of an SQLite connection beyond the engine itself:
// - collation VKTEXT: text compares as SQL Server's default does, ignoring case (ASCII
//   and Latin-1 letters, so "Ñ" = "ñ" and "Á" = "á") and trailing blanks;
// - collation VKDATE: compares dates written in any form DateText reads, by their value;
// - vkdate(value [, table, column]): the stored form of a date, "yyyy-mm-dd hh:mm:ss";
//   other values pass unchanged; text that is no date fails naming table and column;
// - like(): LIKE without regard to case for Latin-1 letters as well as ASCII.
class SqliteFunctions {
public:
    static int registerAll(sqlite3 *db); // SQLITE_OK or the failing code
    // Exposed for tests and for ordering text in memory: <0, 0, >0.
    static int compareText(const char *a, int lengthA, const char *b, int lengthB);
};

} // namespace ado
