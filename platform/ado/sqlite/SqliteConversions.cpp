#include "SqliteConversions.h"

#include "DateText.h"

#include <QDate>
#include <QString>

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace ado {

namespace {

// ------------------------------------------------------------------ errors

void fail(sqlite3_context *ctx, int native, const QString &message)
{
    const QByteArray text = QStringLiteral("vk%1: %2").arg(native).arg(message).toUtf8();
    sqlite3_result_error(ctx, text.constData(), int(text.size()));
}

QString columnOf(sqlite3_value *v)
{
    if (!v || sqlite3_value_type(v) != SQLITE_TEXT)
        return QString();
    return QStringLiteral(" (columna '%1')")
        .arg(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(v)), sqlite3_value_bytes(v)));
}

QString textOf(sqlite3_value *v)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(v)), sqlite3_value_bytes(v));
}

// ------------------------------------------------------------------ text helpers

std::string_view trimmed(sqlite3_value *v)
{
    const char *p = reinterpret_cast<const char *>(sqlite3_value_text(v));
    std::string_view s(p ? p : "", size_t(sqlite3_value_bytes(v)));
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

enum class Parsed { Ok, Bad, Overflow };

// [+-]digits as a 64-bit number.
Parsed parseWhole(std::string_view s, qint64 &out)
{
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty())
        return Parsed::Bad;
    __int128 value = 0;
    for (const char c : s) {
        if (c < '0' || c > '9')
            return Parsed::Bad;
        value = value * 10 + (c - '0');
        if (value > (__int128(1) << 64))
            value = __int128(1) << 64; // keeps reading digits; overflow below
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<qint64>::max() || value < std::numeric_limits<qint64>::min())
        return Parsed::Overflow;
    out = qint64(value);
    return Parsed::Ok;
}

// A decimal number as its digits: value = (negative ? -1 : 1) * digits * 10^-scale.
struct Decimal {
    bool negative = false;
    std::string digits; // without leading zeros (may be empty: zero)
    int scale = 0;
};

// [+-]digits[.digits] and, with `exponent`, e[+-]digits.
bool parseDecimal(std::string_view s, bool exponent, Decimal &d)
{
    d = Decimal{};
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        d.negative = s.front() == '-';
        s.remove_prefix(1);
    }
    bool any = false, point = false;
    size_t i = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c >= '0' && c <= '9') {
            any = true;
            if (!(d.digits.empty() && c == '0'))
                d.digits += c;
            if (point)
                ++d.scale;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!any)
        return false;
    if (i < s.size()) {
        if (!exponent || (s[i] != 'e' && s[i] != 'E'))
            return false;
        int e = 0;
        const char *begin = s.data() + i + 1;
        if (begin < s.data() + s.size() && *begin == '+')
            ++begin;
        const auto [end, ec] = std::from_chars(begin, s.data() + s.size(), e);
        if (ec != std::errc() || end != s.data() + s.size() || e > 400 || e < -400)
            return false;
        d.scale -= e;
    }
    if (d.scale < 0) {
        if (!d.digits.empty())
            d.digits.append(size_t(-d.scale), '0');
        d.scale = 0;
    }
    return true;
}

// The shortest decimal form that reads back as `x`.
Decimal decimalOf(double x)
{
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, x);
    Decimal d;
    parseDecimal(std::string_view(buffer, size_t(end - buffer)), true, d);
    return d;
}

// Rounds to `scale` decimals, half away from zero.
void roundTo(Decimal &d, int scale)
{
    if (d.scale <= scale)
        return;
    const int drop = d.scale - scale;
    if (drop > int(d.digits.size())) {
        d.digits.clear();
        d.scale = scale;
        return;
    }
    const bool up = d.digits[d.digits.size() - size_t(drop)] >= '5';
    d.digits.erase(d.digits.size() - size_t(drop)); // erase, not resize: GCC 12 warns a resize may grow
    d.scale = scale;
    if (!up)
        return;
    int k = int(d.digits.size()) - 1;
    for (; k >= 0 && d.digits[size_t(k)] == '9'; --k)
        d.digits[size_t(k)] = '0';
    if (k < 0)
        d.digits.insert(d.digits.begin(), '1');
    else
        ++d.digits[size_t(k)];
}

int wholeDigits(const Decimal &d)
{
    size_t lead = 0;
    while (lead < d.digits.size() && d.digits[lead] == '0')
        ++lead;
    return std::max(0, int(d.digits.size() - lead) - d.scale);
}

double toDouble(const Decimal &d)
{
    std::string text = d.negative ? "-" : "";
    text += d.digits.empty() ? "0" : d.digits;
    text += "e-" + std::to_string(d.scale);
    double x = 0;
    std::from_chars(text.data(), text.data() + text.size(), x);
    return x;
}

// ------------------------------------------------------------------ whole numbers and bit

struct WholeType {
    const char *name;
    qint64 min, max;
    int textOverflow;   // SQL Server's number for text that overflows
    int numberOverflow; // ... for a whole number that overflows
};

const WholeType kTinyint{"tinyint", 0, 255, 244, 220};
const WholeType kSmallint{"smallint", -32768, 32767, 244, 220};
const WholeType kInt{"int", std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max(), 248, 8115};
const WholeType kBigint{"bigint", std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max(), 8114, 8115};

void overflow(sqlite3_context *ctx, int native, const char *from, const char *to, const QString &value,
              sqlite3_value *column)
{
    if (native == 220)
        fail(ctx, 220,
             QStringLiteral("Error de desbordamiento aritmético para el tipo de datos %1, valor = %2.%3")
                 .arg(QLatin1String(to), value, columnOf(column)));
    else if (native == 8115)
        fail(ctx, 8115,
             QStringLiteral("Error de desbordamiento aritmético al convertir %1 al tipo de datos %2 "
                            "(valor %3).%4")
                 .arg(QLatin1String(from), QLatin1String(to), value, columnOf(column)));
    else
        fail(ctx, native,
             QStringLiteral("La conversión del valor varchar '%1' desbordó una columna %2.%3")
                 .arg(value, QLatin1String(to), columnOf(column)));
}

void typeClash(sqlite3_context *ctx, const char *to, sqlite3_value *column)
{
    fail(ctx, 206,
         QStringLiteral("Conflicto de tipos de operandos: varbinary es incompatible con %1.%2")
             .arg(QLatin1String(to), columnOf(column)));
}

void convertWhole(sqlite3_context *ctx, sqlite3_value *v, sqlite3_value *column, const WholeType &t)
{
    qint64 n = 0;
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        sqlite3_result_null(ctx);
        return;
    case SQLITE_INTEGER:
        n = sqlite3_value_int64(v);
        if (n < t.min || n > t.max)
            return overflow(ctx, t.numberOverflow, "expression", t.name, QString::number(n), column);
        break;
    case SQLITE_FLOAT: {
        const double x = std::trunc(sqlite3_value_double(v)); // SQL Server cuts decimals off
        if (!(x >= double(t.min) && x <= double(t.max)) || (t.max == kBigint.max && x >= 9.2233720368547758e18))
            return overflow(ctx, 8115, "numeric", t.name, QString::number(sqlite3_value_double(v), 'g', 17), column);
        n = qint64(x);
        break;
    }
    case SQLITE_TEXT: {
        const std::string_view s = trimmed(v);
        const Parsed p = s.empty() ? Parsed::Ok : parseWhole(s, n);
        if (p == Parsed::Bad) {
            if (&t == &kBigint)
                return fail(ctx, 8114,
                            QStringLiteral("Error al convertir el tipo de datos varchar a bigint "
                                           "(valor '%1').%2")
                                .arg(textOf(v), columnOf(column)));
            return fail(ctx, 245,
                        QStringLiteral("Error de conversión al convertir el valor varchar '%1' al tipo de "
                                       "datos %2.%3")
                            .arg(textOf(v), QLatin1String(t.name), columnOf(column)));
        }
        if (p == Parsed::Overflow || n < t.min || n > t.max)
            return overflow(ctx, t.textOverflow, "varchar", t.name, textOf(v), column);
        break;
    }
    default:
        return typeClash(ctx, t.name, column);
    }
    sqlite3_result_int64(ctx, n);
}

template <const WholeType &T> void wholeFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    convertWhole(ctx, argv[0], argc > 1 ? argv[1] : nullptr, T);
}

void bitFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    sqlite3_value *v = argv[0];
    sqlite3_value *column = argc > 1 ? argv[1] : nullptr;
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        return sqlite3_result_null(ctx);
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return sqlite3_result_int(ctx, sqlite3_value_double(v) != 0.0 ? 1 : 0);
    case SQLITE_TEXT: {
        const std::string_view s = trimmed(v);
        const QString word = QString::fromUtf8(s.data(), qsizetype(s.size()));
        if (word.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return sqlite3_result_int(ctx, 1);
        if (word.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 || s.empty())
            return sqlite3_result_int(ctx, 0);
        qint64 n = 0;
        const Parsed p = parseWhole(s, n);
        if (p == Parsed::Bad)
            return fail(ctx, 245,
                        QStringLiteral("Error de conversión al convertir el valor varchar '%1' al tipo de "
                                       "datos bit.%2")
                            .arg(textOf(v), columnOf(column)));
        return sqlite3_result_int(ctx, p == Parsed::Overflow || n != 0 ? 1 : 0);
    }
    default:
        return typeClash(ctx, "bit", column);
    }
}

// ------------------------------------------------------------------ float and decimal

void floatFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    sqlite3_value *v = argv[0];
    sqlite3_value *column = argc > 1 ? argv[1] : nullptr;
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        return sqlite3_result_null(ctx);
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return sqlite3_result_double(ctx, sqlite3_value_double(v));
    case SQLITE_TEXT: {
        const std::string_view s = trimmed(v);
        Decimal d;
        if (s.empty())
            return sqlite3_result_double(ctx, 0.0);
        if (!parseDecimal(s, true, d))
            return fail(ctx, 8114,
                        QStringLiteral("Error al convertir el tipo de datos varchar a float (valor '%1').%2")
                            .arg(textOf(v), columnOf(column)));
        const double x = toDouble(d);
        if (std::isinf(x))
            return overflow(ctx, 8115, "varchar", "float", textOf(v), column);
        return sqlite3_result_double(ctx, x);
    }
    default:
        return typeClash(ctx, "float", column);
    }
}

struct DecimalType {
    const char *name;
    int precision, scale;
    const char *lowest, *highest; // money's range; null for a decimal (its precision bounds it)
};
// Whether d lies outside a money type's range.
bool outsideRange(const Decimal &d, const DecimalType &t);

// Trailing zeros of the fraction dropped, and no negative zero: one form per value.
void normalise(Decimal &d)
{
    while (d.scale > 0 && !d.digits.empty() && d.digits.back() == '0') {
        d.digits.pop_back();
        --d.scale;
    }
    if (d.scale > 0 && d.digits.empty())
        d.scale = 0;
    d.negative = d.negative && !d.digits.empty();
}

// Compares two decimals by value.
int compare(Decimal a, Decimal b)
{
    normalise(a);
    normalise(b);
    if (a.negative != b.negative)
        return a.negative ? -1 : 1;
    const int sign = a.negative ? -1 : 1;
    const int wholeA = int(a.digits.size()) - a.scale, wholeB = int(b.digits.size()) - b.scale;
    if (a.digits.empty() || b.digits.empty())
        return sign * (int(!a.digits.empty()) - int(!b.digits.empty()));
    if (wholeA != wholeB)
        return sign * (wholeA < wholeB ? -1 : 1);
    const int r = a.digits.compare(b.digits); // same whole length: digit strings compare as numbers
    return sign * (r < 0 ? -1 : r > 0 ? 1 : 0);
}

Decimal decimalText(const char *text)
{
    Decimal d;
    parseDecimal(text, false, d);
    return d;
}

// A rounded value as the engine stores it: whole numbers as 64-bit integers, others as the
// double that reads back as exactly those digits. False when no such value exists: the
// embedded engine cannot hold it, and storing a neighbour would change the amount.
bool storeExactly(sqlite3_context *ctx, Decimal d)
{
    normalise(d);
    if (d.scale == 0 && d.digits.size() <= 18) {
        qint64 n = 0;
        for (const char c : d.digits)
            n = n * 10 + (c - '0');
        sqlite3_result_int64(ctx, d.negative ? -n : n);
        return true;
    }
    const double x = toDouble(d);
    Decimal back = decimalOf(x);
    normalise(back);
    if (!std::isfinite(x) || back.digits != d.digits || back.scale != d.scale || back.negative != d.negative)
        return false;
    sqlite3_result_double(ctx, x);
    return true;
}

// The whole digits any value of `t` may have: one less than its highest amount has, for money,
// so that no range check is needed below them.
int wholeDigitsTaken(const DecimalType &t)
{
    return t.highest ? int(std::strchr(t.highest, '.') - t.highest) - 1 : t.precision - t.scale;
}

int digitsOf(qint64 n)
{
    quint64 u = n < 0 ? 0 - quint64(n) : quint64(n);
    int digits = 0;
    for (; u > 0; u /= 10)
        ++digits;
    return digits;
}

// Most amounts come as doubles with no more decimals than the type keeps, well inside its
// range: they are stored as they are, without building their digits one by one. False for
// any other value, which takes the full conversion below.
bool storeAsItComes(sqlite3_context *ctx, double x, const DecimalType &t)
{
    if (!(std::fabs(x) < 1e15))
        return false;
    char buffer[64];
    const std::to_chars_result written = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed);
    if (written.ec != std::errc())
        return false;
    const char *whole = buffer + (buffer[0] == '-' ? 1 : 0);
    const char *last = written.ptr;
    const char *point = std::find(whole, last, '.');
    const int decimals = point == last ? 0 : int(last - point - 1);
    if (decimals > t.scale)
        return false;
    while (whole < point && *whole == '0')
        ++whole;
    if (point - whole > wholeDigitsTaken(t))
        return false;
    if (decimals == 0)
        sqlite3_result_int64(ctx, qint64(x)); // whole numbers are held as integers
    else
        sqlite3_result_double(ctx, x);
    return true;
}

// A value rounded to `t` and stored digit for digit, or refused (8115) when it is beyond the
// type's range or beyond what the engine can hold exactly.
void convertDecimal(sqlite3_context *ctx, sqlite3_value *v, sqlite3_value *column, const DecimalType &t)
{
    Decimal d;
    const char *from = "numeric";
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        return sqlite3_result_null(ctx);
    case SQLITE_INTEGER:
        if (const qint64 n = sqlite3_value_int64(v); digitsOf(n) <= std::min(wholeDigitsTaken(t), 18))
            return sqlite3_result_int64(ctx, n);
        parseDecimal(std::to_string(sqlite3_value_int64(v)), false, d);
        from = "int";
        break;
    case SQLITE_FLOAT: {
        const double x = sqlite3_value_double(v);
        if (storeAsItComes(ctx, x, t))
            return;
        if (!std::isfinite(x))
            return overflow(ctx, 8115, "float", t.name, QString::number(x), column);
        d = decimalOf(x);
        break;
    }
    case SQLITE_TEXT: {
        const std::string_view s = trimmed(v);
        const bool money = t.highest != nullptr;
        from = "varchar";
        if (s.empty() && money)
            return sqlite3_result_int64(ctx, 0);
        if (!parseDecimal(s, false, d)) {
            if (money)
                return fail(ctx, 235,
                            QStringLiteral("No se puede convertir un valor char a money. El valor char "
                                           "tiene una sintaxis incorrecta (valor '%1').%2")
                                .arg(textOf(v), columnOf(column)));
            return fail(ctx, 8114,
                        QStringLiteral("Error al convertir el tipo de datos varchar a numeric (valor "
                                       "'%1').%2")
                            .arg(textOf(v), columnOf(column)));
        }
        break;
    }
    default:
        return typeClash(ctx, t.name, column);
    }
    // the value as a message shows it: written only for a value refused
    const auto shown = [&] {
        return sqlite3_value_type(v) == SQLITE_TEXT   ? textOf(v)
            : sqlite3_value_type(v) == SQLITE_INTEGER ? QString::number(sqlite3_value_int64(v))
                                                      : QString::number(sqlite3_value_double(v), 'g', 17);
    };
    roundTo(d, t.scale);
    const bool beyond = t.highest ? outsideRange(d, t) : wholeDigits(d) > t.precision - t.scale;
    if (beyond)
        return overflow(ctx, 8115, from, t.name, shown(), column);
    if (!storeExactly(ctx, d))
        fail(ctx, 8115,
             QStringLiteral("Error de desbordamiento aritmético al convertir %1 al tipo de datos %2 (valor %3): "
                            "la base de datos incorporada guarda a lo sumo 15 cifras significativas exactas y "
                            "este valor no cabe sin redondearlo.%4")
                 .arg(QLatin1String(from), QLatin1String(t.name), shown(), columnOf(column)));
}

const DecimalType kMoney{"money", 19, 4, "-922337203685477.5808", "922337203685477.5807"};
const DecimalType kSmallmoney{"smallmoney", 10, 4, "-214748.3648", "214748.3647"};

bool outsideRange(const Decimal &d, const DecimalType &t)
{
    // the two money ranges read once, not at every value
    static const Decimal money[] = {decimalText(kMoney.lowest), decimalText(kMoney.highest)};
    static const Decimal smallmoney[] = {decimalText(kSmallmoney.lowest), decimalText(kSmallmoney.highest)};
    const Decimal *range = &t == &kMoney ? money : &t == &kSmallmoney ? smallmoney : nullptr;
    if (!range)
        return compare(d, decimalText(t.highest)) > 0 || compare(d, decimalText(t.lowest)) < 0;
    return compare(d, range[1]) > 0 || compare(d, range[0]) < 0;
}

template <const DecimalType &T> void moneyFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    convertDecimal(ctx, argv[0], argc > 1 ? argv[1] : nullptr, T);
}

// vk_decimal(value, precision, scale, column)
void decimalFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    const int precision = std::clamp(sqlite3_value_int(argv[1]), 1, 38);
    const DecimalType t{"numeric", precision, std::clamp(sqlite3_value_int(argv[2]), 0, precision), nullptr, nullptr};
    convertDecimal(ctx, argv[0], argc > 3 ? argv[3] : nullptr, t);
}

// ------------------------------------------------------------------ dates

enum class DateKind { DateTime, SmallDateTime, Date };

void resultDate(sqlite3_context *ctx, DateText::Parts p)
{
    const QByteArray text = DateText::normalised(p);
    sqlite3_result_text(ctx, text.constData(), int(text.size()), SQLITE_TRANSIENT);
}

const char *dateTypeName(DateKind kind)
{
    return kind == DateKind::Date ? "date" : kind == DateKind::SmallDateTime ? "smalldatetime" : "datetime";
}

bool inRange(DateKind kind, const QDate &date)
{
    switch (kind) {
    case DateKind::DateTime:
        return date >= QDate(1753, 1, 1) && date <= QDate(9999, 12, 31);
    case DateKind::SmallDateTime:
        return date >= QDate(1900, 1, 1) && date <= QDate(2079, 6, 6);
    case DateKind::Date:
        return date.isValid();
    }
    return false;
}

// The parts of a day and a time of day in milliseconds (0 to a day), by arithmetic alone: no
// local-time QDateTime is built per value (the C library would look at the zone file each time).
DateText::Parts partsOf(const QDate &date, qint64 ms)
{
    const QDate day = ms >= 86400000 ? date.addDays(1) : date;
    ms %= 86400000;
    return DateText::Parts{day.year(),           day.month(),         day.day(),      int(ms / 3600000),
                           int(ms / 60000 % 60), int(ms / 1000 % 60), int(ms % 1000), true};
}

// Rounds to the precision of the type: smalldatetime to the minute, date to the day.
DateText::Parts fitted(DateKind kind, DateText::Parts p)
{
    const QDate date(p.year, p.month, p.day);
    const qint64 minutes = (p.hour * 60 + p.minute) * qint64(60000);
    if (kind == DateKind::SmallDateTime) {
        const int ms = p.second * 1000 + p.msec;
        return partsOf(date, minutes + (ms >= 29999 ? 60000 : 0));
    }
    if (kind == DateKind::Date)
        return partsOf(date, 0);
    return p;
}

void convertDate(sqlite3_context *ctx, sqlite3_value *v, sqlite3_value *column, DateKind kind)
{
    const char *name = dateTypeName(kind);
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        return sqlite3_result_null(ctx);
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: {
        if (kind == DateKind::Date)
            return fail(ctx, 206,
                        QStringLiteral("Conflicto de tipos de operandos: int es incompatible con date.%1")
                            .arg(columnOf(column)));
        // days from 1900-01-01, as SQL Server reads a number as a date
        const double days = sqlite3_value_double(v);
        const double whole = std::floor(days);
        const QDate date = std::fabs(whole) < 4e6 ? QDate(1900, 1, 1).addDays(qint64(whole)) : QDate();
        if (!inRange(kind, date))
            return overflow(ctx, 8115, "expression", name, QString::number(days, 'g', 17), column);
        return resultDate(ctx, fitted(kind, partsOf(date, qint64(std::llround((days - whole) * 86400000.0)))));
    }
    case SQLITE_TEXT: {
        const char *text = reinterpret_cast<const char *>(sqlite3_value_text(v));
        const int n = sqlite3_value_bytes(v);
        if (trimmed(v).empty()) // SQL Server reads '' as its zero date
            return resultDate(ctx, DateText::Parts{1900, 1, 1, 0, 0, 0, 0, true});
        const auto parts = DateText::parse(text, n);
        if (!parts)
            return fail(ctx, 241,
                        QStringLiteral("Error de conversión al convertir una fecha u hora a partir de una "
                                       "cadena de caracteres (valor '%1').%2")
                            .arg(textOf(v), columnOf(column)));
        if (!inRange(kind, QDate(parts->year, parts->month, parts->day)))
            return fail(ctx, 242,
                        QStringLiteral("La conversión del tipo de datos varchar en %1 produjo un valor "
                                       "fuera de intervalo (valor '%2').%3")
                            .arg(QLatin1String(name), textOf(v), columnOf(column)));
        return resultDate(ctx, fitted(kind, *parts));
    }
    default:
        return typeClash(ctx, name, column);
    }
}

template <DateKind K> void dateFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    convertDate(ctx, argv[0], argc > 1 ? argv[1] : nullptr, K);
}

// ------------------------------------------------------------------ text and comparisons

// vk_char(value, width, column): blanks beyond the width are dropped.
void charFunction(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    sqlite3_value *v = argv[0];
    const qint64 width = sqlite3_value_int64(argv[1]);
    if (sqlite3_value_type(v) != SQLITE_TEXT || width <= 0 || sqlite3_value_bytes(v) <= width)
        return sqlite3_result_value(ctx, v);
    const unsigned char *s = sqlite3_value_text(v);
    const int n = sqlite3_value_bytes(v);
    int cut = 0;
    for (qint64 chars = 0; cut < n; ++cut) { // the byte where character number `width` ends
        if ((s[cut] & 0xC0) != 0x80 && chars++ == width)
            break;
    }
    for (int i = cut; i < n; ++i)
        if (s[i] != ' ')
            return sqlite3_result_value(ctx, v); // a real excess: the length check refuses it
    sqlite3_result_text(ctx, reinterpret_cast<const char *>(s), cut, SQLITE_TRANSIENT);
}

// vk_num(column value, number): the value read as a number of the number's type.
void numFunction(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    sqlite3_value *v = argv[0];
    if (sqlite3_value_type(v) != SQLITE_TEXT)
        return sqlite3_result_value(ctx, v);
    const std::string_view s = trimmed(v);
    if (sqlite3_value_type(argv[1]) == SQLITE_INTEGER) {
        qint64 n = 0;
        const Parsed p = s.empty() ? Parsed::Ok : parseWhole(s, n);
        if (p != Parsed::Ok)
            return fail(ctx, p == Parsed::Bad ? 245 : 248,
                        QStringLiteral("Error de conversión al convertir el valor varchar '%1' al tipo de datos int.")
                            .arg(textOf(v)));
        return sqlite3_result_int64(ctx, n);
    }
    Decimal d;
    if (!parseDecimal(s, false, d))
        return fail(
            ctx, 8114,
            QStringLiteral("Error al convertir el tipo de datos varchar a numeric (valor '%1').").arg(textOf(v)));
    sqlite3_result_double(ctx, toDouble(d));
}

// ------------------------------------------------------------------ exact sums

// Adds decimal numbers exactly (as whole numbers of 10^-scale) while every value has a
// short decimal form; falls back to compensated floating point otherwise.
struct ExactSum {
    __int128 units = 0; // sum in 10^-scale
    int scale = 0;
    bool anyReal = false, inexact = false; // zero-filled by the engine: every field starts at 0
    double sum = 0, compensation = 0;      // Neumaier's sum, for the inexact case
    qint64 count = 0;
};

constexpr int kMaxScale = 12;
const __int128 kUnitsLimit = __int128(1) << 120;

__int128 power10(int n)
{
    __int128 p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

void addFloat(ExactSum &s, double x)
{
    const double t = s.sum + x;
    s.compensation += std::fabs(s.sum) >= std::fabs(x) ? (s.sum - t) + x : (x - t) + s.sum;
    s.sum = t;
}

void addExact(ExactSum &s, const Decimal &d)
{
    if (s.inexact)
        return;
    if (d.scale > kMaxScale || d.digits.size() > 30) {
        s.inexact = true;
        return;
    }
    if (d.scale > s.scale) {
        s.units *= power10(d.scale - s.scale);
        s.scale = d.scale;
    }
    __int128 v = 0;
    for (const char c : d.digits)
        v = v * 10 + (c - '0');
    v *= power10(s.scale - d.scale);
    s.units += d.negative ? -v : v;
    if (s.units > kUnitsLimit || s.units < -kUnitsLimit)
        s.inexact = true;
}

// The sum of this aggregate call; nullptr when `create` is false and no row came. The
// engine's memory is aligned for 8 bytes only: the 16-byte sum is placed within it.
ExactSum *sumOf(sqlite3_context *ctx, bool create)
{
    void *raw = sqlite3_aggregate_context(ctx, create ? int(sizeof(ExactSum) + alignof(ExactSum)) : 0);
    if (!raw)
        return nullptr;
    const auto address = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (address + alignof(ExactSum) - 1) & ~std::uintptr_t(alignof(ExactSum) - 1);
    return reinterpret_cast<ExactSum *>(aligned);
}

void sumStep(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    ExactSum *s = sumOf(ctx, true);
    if (!s)
        return sqlite3_result_error_nomem(ctx);
    const int type = sqlite3_value_numeric_type(argv[0]);
    if (type == SQLITE_NULL)
        return;
    ++s->count;
    if (type == SQLITE_INTEGER) {
        const qint64 n = sqlite3_value_int64(argv[0]);
        addFloat(*s, double(n));
        Decimal d;
        parseDecimal(std::to_string(n), false, d);
        addExact(*s, d);
        return;
    }
    const double x = type == SQLITE_FLOAT ? sqlite3_value_double(argv[0]) : 0.0;
    s->anyReal = true;
    addFloat(*s, x);
    if (std::isfinite(x))
        addExact(*s, decimalOf(x));
    else
        s->inexact = true;
}

void sumInverse(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    ExactSum *s = sumOf(ctx, true);
    if (!s || sqlite3_value_numeric_type(argv[0]) == SQLITE_NULL)
        return;
    --s->count;
    const int type = sqlite3_value_numeric_type(argv[0]);
    const double x = sqlite3_value_double(argv[0]);
    addFloat(*s, -x);
    Decimal d = type == SQLITE_INTEGER ? Decimal{} : decimalOf(x);
    if (type == SQLITE_INTEGER)
        parseDecimal(std::to_string(sqlite3_value_int64(argv[0])), false, d);
    d.negative = !d.negative;
    addExact(*s, d);
}

double exactValue(const ExactSum &s)
{
    if (s.inexact)
        return s.sum + s.compensation;
    __int128 u = s.units < 0 ? -s.units : s.units;
    std::string digits;
    do {
        digits.insert(digits.begin(), char('0' + int(u % 10)));
        u /= 10;
    } while (u > 0);
    return toDouble(Decimal{s.units < 0, digits, s.scale});
}

void sumResult(sqlite3_context *ctx, bool total, bool average)
{
    ExactSum *s = sumOf(ctx, false);
    if (!s || s->count == 0) {
        if (total)
            sqlite3_result_double(ctx, 0.0);
        else
            sqlite3_result_null(ctx);
        return;
    }
    if (average)
        return sqlite3_result_double(ctx, exactValue(*s) / double(s->count));
    if (!s->anyReal && !total) {
        if (s->units > std::numeric_limits<qint64>::max() || s->units < std::numeric_limits<qint64>::min()
            || s->inexact)
            return sqlite3_result_error(ctx, "integer overflow", -1);
        return sqlite3_result_int64(ctx, qint64(s->units));
    }
    sqlite3_result_double(ctx, exactValue(*s));
}

void sumFinal(sqlite3_context *ctx) { sumResult(ctx, false, false); }
void totalFinal(sqlite3_context *ctx) { sumResult(ctx, true, false); }
void avgFinal(sqlite3_context *ctx) { sumResult(ctx, false, true); }

int registerSum(sqlite3 *db, const char *name, void (*final)(sqlite3_context *))
{
    return sqlite3_create_window_function(db, name, 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, sumStep, final,
                                          final, sumInverse, nullptr);
}

} // namespace

int SqliteConversions::registerAll(sqlite3 *db)
{
    using Fn = void (*)(sqlite3_context *, int, sqlite3_value **);
    const struct {
        const char *name;
        int args;
        Fn fn;
    } functions[] = {
        {"vk_int", 2, wholeFunction<kInt>},
        {"vk_smallint", 2, wholeFunction<kSmallint>},
        {"vk_tinyint", 2, wholeFunction<kTinyint>},
        {"vk_bigint", 2, wholeFunction<kBigint>},
        {"vk_bit", 2, bitFunction},
        {"vk_float", 2, floatFunction},
        {"vk_real", 2, floatFunction},
        {"vk_money", 2, moneyFunction<kMoney>},
        {"vk_smallmoney", 2, moneyFunction<kSmallmoney>},
        {"vk_decimal", 4, decimalFunction},
        {"vk_datetime", 2, dateFunction<DateKind::DateTime>},
        {"vk_smalldatetime", 2, dateFunction<DateKind::SmallDateTime>},
        {"vk_date", 2, dateFunction<DateKind::Date>},
        {"vk_char", 3, charFunction},
        {"vk_num", 2, numFunction},
    };
    for (const auto &f : functions) {
        const int rc = sqlite3_create_function(db, f.name, f.args, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, f.fn,
                                               nullptr, nullptr);
        if (rc != SQLITE_OK)
            return rc;
    }
    int rc = registerSum(db, "sum", sumFinal);
    if (rc == SQLITE_OK)
        rc = registerSum(db, "total", totalFinal);
    if (rc == SQLITE_OK)
        rc = registerSum(db, "avg", avgFinal);
    return rc;
}

} // namespace ado
