#pragma once

#include <QString>

// The one number format of the quantity column: written with the regional decimal
// separator and no grouping, and read back the same way, so that a quantity written by
// one key reads as the same number at the next.
namespace lookup::quantities {

// The leading number of the text (blanks skipped, optional sign, the regional decimal
// separator, or a point when the text holds no regional separator); 0 when none.
double read(const QString &text);
// The value with exactly `decimals` decimals ("########0.00" for 2).
QString write(double value, int decimals);

} // namespace lookup::quantities
