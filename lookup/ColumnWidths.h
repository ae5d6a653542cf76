#pragma once

#include "platform/Result.h"

#include <QString>

#include <vector>

// The column-width file CONSULTASLEN.VKR of the program folder: one line per table, two
// quoted fields separated by a comma, the table name and its widths in twips each
// followed by "|" ("VT_MA_ARTICULOS","4215|1815|1200|"), Windows-1252 with CR LF.
namespace lookup::columnwidths {

// The width file (and its temporary twin CONSULTASLEN.AUX) in `folder`, whatever the case
// of their names; the upper-case name when none exists.
QString widthFile(const QString &folder);
QString auxFile(const QString &folder);

// The widths saved for `table` (any case), at most `columns` of them. Every line of the
// table is applied in file order, so a later line overrides an earlier one. Reading
// stops at the first width that does not read as a number or a line short of widths;
// what was read before stays. Nothing when the table has no line.
struct Saved {
    bool found = false;
    std::vector<double> widths;
};
Saved read(const QString &file, const QString &table, int columns);

// Rewrites the file with the line of `table` last, holding `widths`, and every other
// table's line unchanged in its order. The new file is written to `aux` first and then
// renamed over `file`, so a failure leaves the old file whole.
platform::Status write(const QString &file, const QString &aux, const QString &table,
                       const std::vector<double> &widths);

// One width as the file writes it: whole numbers plain, fractions with the regional
// decimal separator.
QString widthText(double twips);

} // namespace lookup::columnwidths
