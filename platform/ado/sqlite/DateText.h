#pragma once

#include <QByteArray>
#include <QDateTime>

#include <optional>

namespace ado {

// Dates as the system writes them into statements: "dd/mm/yy hh:mm", "dd/mm/yy",
// "dd/mm/yyyy" (day first, never month first; "/", "-" or "." between the parts),
// ISO "yyyy-mm-dd[ hh:mm[:ss[.fff]]]" (also with "T"), "yyyymmdd" and a bare "hh:mm[:ss]".
// Two-digit years below 50 are 20yy, others 19yy (SQL Server's cut-off).
class DateText {
public:
    struct Parts {
        int year = 1900, month = 1, day = 1, hour = 0, minute = 0, second = 0, msec = 0;
        bool hasDate = false;
    };
    // nullopt when the text is not one of the forms above or names no real date.
    static std::optional<Parts> parse(const char *text, qsizetype length);
    static std::optional<QDateTime> toDateTime(const char *text, qsizetype length);
    // "yyyy-mm-dd hh:mm:ss" (".fff" when there are milliseconds): sorts and compares as text.
    static QByteArray normalised(const Parts &parts);
    // The same text written to `out` (room for kNormalisedMax bytes); returns its length.
    static constexpr int kNormalisedMax = 32;
    static int writeNormalised(const Parts &parts, char *out);
};

} // namespace ado
