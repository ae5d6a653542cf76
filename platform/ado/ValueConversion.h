#pragma once

#include "Types.h"

#include <QString>

namespace ado {

// What a value written to a column goes through on its way in, chosen by the column's
// declared type in SQL Server's words ("INT", "DECIMAL(18,4)", "VARCHAR(20)"): a call of
// the engine's conversion function of that type (registered on SQLite, created by the
// PostgreSQL set-up script), which converts the value as SQL Server would or refuses it
// with SQL Server's error number:
//   vk_int / vk_smallint / vk_tinyint / vk_bigint / vk_bit (value, column)
//   vk_float / vk_real / vk_money / vk_smallmoney (value, column)
//   vk_decimal (value, precision, scale, column)
//   vk_datetime / vk_smalldatetime / vk_date (value, column)
//   vk_char (value, width, column): blanks beyond the width are dropped
// A text column compared with a bare number compares as a number: vk_num(column, number).
class ValueConversion {
public:
    // `value` wrapped in its conversion; `value` unchanged when the type needs none.
    static QString wrap(const QString &declared, const QString &column, const QString &value);
    // Whether a value of `kind` (bound, so its type is known) needs the conversion to be written
    // to a column of `declared` type: no when the engine stores it as SQL Server would and
    // refuses what SQL Server refuses with the same number by itself (an int into a bigint;
    // on PostgreSQL also an int into an int, a number into a decimal(p,s), a date into a
    // datetime). Unset: yes.
    static bool needsConversion(const QString &declared, BoundKind kind, bool postgreSql);
    // A character type (CHAR, VARCHAR, NCHAR, NVARCHAR, TEXT, NTEXT, with or without size).
    static bool isText(const QString &declared);
    // A number's text ("12.5", "-0.10", "1e3") that the nearest double reads back digit for
    // digit: false for "123456789012345.6789", which a double would round.
    static bool exactAsDouble(QStringView number);
};

} // namespace ado
