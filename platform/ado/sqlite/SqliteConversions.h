#pragma once

struct sqlite3;

namespace ado {

// The value conversions the translator wraps around values written to typed columns
// (see ValueConversion), as SQL functions of the embedded engine. Each converts its
// value as SQL Server converts it into that type, or fails with SQL Server's native
// number in front of the message ("vk245: ..."), which SqliteErrorMap reports as the
// native error:
// - whole numbers (int, smallint, tinyint, bigint): decimals are cut off, text must be a
//   whole number ('' is 0) - 245, overflow 220 / 8115 / 244 / 248;
// - bit: any non-zero number is 1, 'true'/'false' as words;
// - float, real: text must be a number - 8114;
// - decimal(p,s), money, smallmoney: rounded to the scale, half away from zero, from the
//   value's shortest decimal form (12.345 rounds as written) - 8114 / 235, overflow 8115
//   (money from -922337203685477.5808 to 922337203685477.5807, as SQL Server's). Stored
//   digit for digit: whole values as integers, others as the double that reads back as
//   exactly those digits; a value no double holds (more than 15 significant digits, as a
//   rule) is refused with 8115 rather than rounded;
// - datetime, smalldatetime, date: the text forms DateText reads ('' is 1900-01-01),
//   numbers as days from 1900-01-01 - 241 / 242, overflow 8115; stored as DateText's
//   normalised text;
// - char(n): blanks beyond the width are dropped; other excess is left for the length
//   check (8152);
// - vk_num(text, number): a character column compared with a bare number is read as a
//   number of that number's type - 245 / 8114.
// Also sum(), total() and avg() add decimal numbers exactly: the sum of 0.1 and 0.2 is 0.3.
class SqliteConversions {
public:
    static int registerAll(sqlite3 *db); // SQLITE_OK or the failing code
};

} // namespace ado
