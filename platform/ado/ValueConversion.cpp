#include "ValueConversion.h"

#include <QStringList>

#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

namespace ado {

namespace {

struct Declared {
    QString base;      // upper case, without the size
    QStringList sizes; // what the parentheses hold
};

Declared parse(const QString &declared)
{
    Declared d;
    const QString text = declared.trimmed().toUpper();
    const qsizetype open = text.indexOf(u'(');
    d.base = (open < 0 ? text : text.left(open)).trimmed().section(u' ', 0, 0);
    if (open >= 0) {
        const qsizetype close = text.indexOf(u')', open);
        for (const QString &s : text.mid(open + 1, close < 0 ? -1 : close - open - 1).split(u','))
            d.sizes << s.trimmed();
    }
    return d;
}

QString quoted(const QString &text) { return u'\'' + QString(text).replace(u'\'', QStringLiteral("''")) + u'\''; }

int number(const QStringList &sizes, int index, int fallback)
{
    bool ok = false;
    const int n = sizes.value(index).toInt(&ok);
    return ok ? n : fallback;
}

// A number's digits without leading or trailing zeros, and the power of ten of the first one:
// "0.0120" and "1.2e-2" both give {"12", -2}. False when the text is no number.
bool significand(std::string_view text, std::string &digits, long &exponent)
{
    digits.clear();
    long point = 0; // digits before the decimal point, leading zeros included
    bool seenPoint = false, any = false;
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            any = true;
            if (digits.empty() && c == '0') {
                if (seenPoint)
                    --point;
                continue;
            }
            digits += c;
            if (!seenPoint)
                ++point;
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
    }
    if (!any)
        return false;
    if (i < text.size()) {
        if (text[i] != 'e' && text[i] != 'E')
            return false;
        long e = 0;
        const char *begin = text.data() + i + 1;
        if (begin < text.data() + text.size() && *begin == '+')
            ++begin;
        const auto [end, ec] = std::from_chars(begin, text.data() + text.size(), e);
        if (ec != std::errc() || end != text.data() + text.size())
            return false;
        point += e;
    }
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
    exponent = digits.empty() ? 0 : point - 1;
    return true;
}

} // namespace

bool ValueConversion::exactAsDouble(QStringView number)
{
    const std::string text = number.trimmed().toString().toStdString();
    std::string digits, back;
    long exponent = 0, backExponent = 0;
    if (!significand(text, digits, exponent))
        return false;
    double x = 0;
    const char *begin = text.data() + (!text.empty() && text[0] == '+' ? 1 : 0);
    if (std::from_chars(begin, text.data() + text.size(), x).ec != std::errc() || !std::isfinite(x))
        return false;
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, x);
    return ec == std::errc() && significand(std::string_view(buffer, size_t(end - buffer)), back, backExponent)
        && back == digits && (digits.empty() || backExponent == exponent);
}

bool ValueConversion::isText(const QString &declared)
{
    static const QStringList names{QStringLiteral("CHAR"),     QStringLiteral("VARCHAR"), QStringLiteral("NCHAR"),
                                   QStringLiteral("NVARCHAR"), QStringLiteral("TEXT"),    QStringLiteral("NTEXT"),
                                   QStringLiteral("CHARACTER")};
    return names.contains(parse(declared).base);
}

bool ValueConversion::needsConversion(const QString &declared, BoundKind kind, bool postgreSql)
{
    const Declared d = parse(declared);
    auto is = [&](std::initializer_list<const char *> names) {
        for (const char *name : names)
            if (d.base == QLatin1String(name))
                return true;
        return false;
    };
    const bool floating = is({"FLOAT", "REAL", "DOUBLE"});
    // PostgreSQL's numeric(p,s) rounds half away from zero and refuses an overflow (8115) as
    // SQL Server does; a DECIMAL without its precision is PostgreSQL's unbounded numeric.
    const bool sizedDecimal = is({"DECIMAL", "NUMERIC"}) && !d.sizes.isEmpty();
    switch (kind) {
    case BoundKind::Int:
        return !(is({"BIGINT"}) || floating || (postgreSql && (is({"INT", "INTEGER"}) || sizedDecimal)));
    case BoundKind::Double:
        return !(floating || (postgreSql && sizedDecimal));
    case BoundKind::Text:
        return !(is({"TEXT", "NTEXT"}) || (isText(declared) && d.sizes.isEmpty()));
    case BoundKind::Date:
        // PostgreSQL's timestamp and date hold years SQL Server's datetime and date refuse.
        return !(postgreSql && is({"DATETIME2"}));
    case BoundKind::Bool:
        return !is({"BIT"});
    case BoundKind::Bytes:
    case BoundKind::Unset:
        break;
    }
    return true;
}

QString ValueConversion::wrap(const QString &declared, const QString &column, const QString &value)
{
    const Declared d = parse(declared);
    const QString col = quoted(column);
    static const QStringList simple{
        QStringLiteral("INT"),      QStringLiteral("SMALLINT"),      QStringLiteral("TINYINT"),
        QStringLiteral("BIGINT"),   QStringLiteral("BIT"),           QStringLiteral("FLOAT"),
        QStringLiteral("REAL"),     QStringLiteral("MONEY"),         QStringLiteral("SMALLMONEY"),
        QStringLiteral("DATETIME"), QStringLiteral("SMALLDATETIME"), QStringLiteral("DATE")};
    QString base = d.base;
    if (base == QLatin1String("INTEGER"))
        base = QStringLiteral("INT");
    else if (base == QLatin1String("DATETIME2"))
        base = QStringLiteral("DATETIME");
    else if (base == QLatin1String("DOUBLE"))
        base = QStringLiteral("FLOAT");
    if (simple.contains(base))
        return QStringLiteral("vk_%1(%2, %3)").arg(base.toLower(), value, col);
    if (base == QLatin1String("DECIMAL") || base == QLatin1String("NUMERIC"))
        return QStringLiteral("vk_decimal(%1, %2, %3, %4)")
            .arg(value)
            .arg(number(d.sizes, 0, 18))
            .arg(number(d.sizes, 1, 0))
            .arg(col);
    const bool sizedText = base == QLatin1String("CHAR") || base == QLatin1String("VARCHAR")
        || base == QLatin1String("NCHAR") || base == QLatin1String("NVARCHAR") || base == QLatin1String("CHARACTER");
    if (sizedText && number(d.sizes, 0, 0) > 0)
        return QStringLiteral("vk_char(%1, %2, %3)").arg(value).arg(number(d.sizes, 0, 0)).arg(col);
    return value;
}

} // namespace ado
