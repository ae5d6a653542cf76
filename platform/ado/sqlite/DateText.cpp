#include "DateText.h"

#include "platform/ado/LocalTime.h"

#include <algorithm>
#include <cstdio>

namespace ado {

namespace {

struct Scanner {
    const char *p;
    const char *end;
    bool atEnd() const { return p >= end; }
    bool isDigit() const { return p < end && *p >= '0' && *p <= '9'; }
    // Reads 1..maxDigits digits; returns the count read.
    int number(int maxDigits, int &value)
    {
        int n = 0;
        value = 0;
        while (n < maxDigits && isDigit()) {
            value = value * 10 + (*p++ - '0');
            ++n;
        }
        return n;
    }
    bool accept(char c)
    {
        if (p < end && *p == c) {
            ++p;
            return true;
        }
        return false;
    }
    void skipBlanks()
    {
        while (p < end && (*p == ' ' || *p == '\t'))
            ++p;
    }
};

bool isDateSeparator(char c) { return c == '/' || c == '-' || c == '.'; }

// hh:mm[:ss[.fff]]
bool parseTime(Scanner &s, DateText::Parts &parts)
{
    if (s.number(2, parts.hour) == 0 || !s.accept(':') || s.number(2, parts.minute) != 2)
        return false;
    if (s.accept(':')) {
        if (s.number(2, parts.second) != 2)
            return false;
        if (s.accept('.')) {
            int digits = s.number(3, parts.msec);
            while (digits++ < 3)
                parts.msec *= 10;
            int ignored = 0;
            s.number(9, ignored); // finer than milliseconds
        }
    }
    return parts.hour < 24 && parts.minute < 60 && parts.second < 60;
}

bool parseDate(Scanner &s, DateText::Parts &parts)
{
    int first = 0;
    const int firstDigits = s.number(8, first);
    if (firstDigits == 8) { // yyyymmdd
        parts.year = first / 10000;
        parts.month = first / 100 % 100;
        parts.day = first % 100;
        return true;
    }
    if (firstDigits == 0 || firstDigits == 3 || firstDigits > 4 || s.atEnd() || !isDateSeparator(*s.p))
        return false;
    const char sep = *s.p++;
    int second = 0, third = 0;
    if (s.number(2, second) == 0 || !s.accept(sep))
        return false;
    const int thirdDigits = s.number(4, third);
    if (firstDigits == 4) { // yyyy-mm-dd
        if (thirdDigits == 0 || thirdDigits > 2)
            return false;
        parts.year = first, parts.month = second, parts.day = third;
        return true;
    }
    if (thirdDigits != 2 && thirdDigits != 4)
        return false;
    parts.day = first, parts.month = second;
    parts.year = thirdDigits == 4 ? third : (third < 50 ? 2000 + third : 1900 + third);
    return true;
}

} // namespace

std::optional<DateText::Parts> DateText::parse(const char *text, qsizetype length)
{
    Scanner s{text, text + length};
    Parts parts;
    s.skipBlanks();
    const char *start = s.p;
    int probe = 0;
    const int lead = s.number(8, probe);
    const bool timeOnly = lead > 0 && lead <= 2 && s.p < s.end && *s.p == ':';
    s.p = start;
    if (timeOnly) {
        if (!parseTime(s, parts))
            return std::nullopt;
    } else {
        if (!parseDate(s, parts) || !QDate::isValid(parts.year, parts.month, parts.day))
            return std::nullopt;
        parts.hasDate = true;
        const char *beforeTime = s.p;
        if (s.accept('T') || s.accept(' ')) {
            s.skipBlanks();
            if (!s.atEnd() && !parseTime(s, parts))
                return std::nullopt;
        }
        if (s.p == beforeTime)
            s.skipBlanks();
    }
    s.skipBlanks();
    if (!s.atEnd())
        return std::nullopt;
    return parts;
}

std::optional<QDateTime> DateText::toDateTime(const char *text, qsizetype length)
{
    const auto parts = parse(text, length);
    if (!parts)
        return std::nullopt;
    const QDate date = parts->hasDate ? QDate(parts->year, parts->month, parts->day) : QDate(1899, 12, 30);
    return localDateTime(date, QTime(parts->hour, parts->minute, parts->second, parts->msec));
}

QByteArray DateText::normalised(const Parts &parts)
{
    char buffer[kNormalisedMax];
    return QByteArray(buffer, writeNormalised(parts, buffer));
}

int DateText::writeNormalised(const Parts &parts, char *out)
{
    const auto within = [](int value, int limit) { return value >= 0 && value < limit; };
    if (!within(parts.year, 10000) || !within(parts.month, 100) || !within(parts.day, 100) || !within(parts.hour, 100)
        || !within(parts.minute, 100) || !within(parts.second, 100)
        || !within(parts.msec, 1000)) { // no date the engine takes: written as printf would
        int n = std::snprintf(out, kNormalisedMax, "%04d-%02d-%02d %02d:%02d:%02d", parts.year, parts.month, parts.day,
                              parts.hour, parts.minute, parts.second);
        n = std::min(n, kNormalisedMax - 1);
        if (parts.msec != 0)
            n += std::snprintf(out + n, size_t(kNormalisedMax - n), ".%03d", parts.msec);
        return std::min(n, kNormalisedMax - 1);
    }
    char *o = out;
    const auto digits = [&o](int value, int width) {
        for (int i = width - 1; i >= 0; --i, value /= 10)
            o[i] = char('0' + value % 10);
        o += width;
    };
    digits(parts.year, 4);
    *o++ = '-';
    digits(parts.month, 2);
    *o++ = '-';
    digits(parts.day, 2);
    *o++ = ' ';
    digits(parts.hour, 2);
    *o++ = ':';
    digits(parts.minute, 2);
    *o++ = ':';
    digits(parts.second, 2);
    if (parts.msec != 0) {
        *o++ = '.';
        digits(parts.msec, 3);
    }
    return int(o - out);
}

} // namespace ado
