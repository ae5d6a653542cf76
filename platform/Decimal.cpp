#include "Decimal.h"

#include "platform/StandardErrors.h"

#include <charconv>
#include <cstdint>

namespace platform {

using u128 = unsigned __int128;

namespace {

constexpr u128 kMax96 = (u128(1) << 96) - 1;
constexpr int kMaxDigits = 29; // 10^29 > 2^96: no kept mantissa needs more
constexpr std::int64_t kExponentCap = 1'000'000'000'000;

// A number's digits as read: up to 29 significant digits kept, the rest summed up
// by the first dropped digit and whether any later one is not zero.
struct Scan {
    u128 mantissa = 0;
    int kept = 0;
    std::int64_t dropped = 0;
    int roundDigit = 0;
    bool sticky = false;
    std::int64_t fractionDigits = 0;
    std::int64_t exponent = 0;
    bool negative = false;
    bool anyDigit = false;
};

bool isDigit(QChar c) { return c.unicode() >= u'0' && c.unicode() <= u'9'; }

void addDigit(Scan &s, int d)
{
    s.anyDigit = true;
    if (s.kept == 0 && d == 0)
        return; // leading zero
    if (s.kept < kMaxDigits) {
        s.mantissa = s.mantissa * 10 + unsigned(d);
        ++s.kept;
        return;
    }
    if (s.dropped == 0)
        s.roundDigit = d;
    else
        s.sticky = s.sticky || d != 0;
    ++s.dropped;
}

qsizetype scanDigits(QStringView t, qsizetype i, Scan &s, bool fraction)
{
    for (; i < t.size() && isDigit(t[i]); ++i) {
        addDigit(s, t[i].unicode() - u'0');
        if (fraction)
            ++s.fractionDigits;
    }
    return i;
}

qsizetype scanExponent(QStringView t, qsizetype i, Scan &s)
{
    bool negative = false;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
        negative = t[i++] == u'-';
    if (i == t.size() || !isDigit(t[i]))
        return -1;
    std::int64_t value = 0;
    for (; i < t.size() && isDigit(t[i]); ++i) {
        if (value < kExponentCap)
            value = value * 10 + (t[i].unicode() - u'0');
    }
    s.exponent = negative ? -value : value;
    return i;
}

// Sign, digits, optional fraction, optional exponent, and nothing else.
bool scan(QStringView t, Scan &s)
{
    qsizetype i = 0;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
        s.negative = t[i++] == u'-';
    i = scanDigits(t, i, s, false);
    if (i < t.size() && t[i] == u'.')
        i = scanDigits(t, i + 1, s, true);
    if (!s.anyDigit)
        return false;
    if (i < t.size() && (t[i] == u'e' || t[i] == u'E'))
        i = scanExponent(t, i + 1, s);
    return i == t.size();
}

// Mantissa with a pending rounding (the first dropped digit and a sticky flag).
struct Rounding {
    u128 mantissa;
    std::int64_t scale;
    int roundDigit;
    bool sticky;

    void dropDigit()
    {
        sticky = sticky || roundDigit != 0;
        roundDigit = int(mantissa % 10);
        mantissa /= 10;
        --scale;
    }
    void roundHalfEven()
    {
        if (roundDigit > 5 || (roundDigit == 5 && (sticky || (mantissa & 1) != 0)))
            ++mantissa;
        roundDigit = 0;
        sticky = false;
    }
};

// Brings the scale down to 28 and the mantissa under 96 bits; false on overflow.
bool fit(Rounding &r)
{
    while (r.scale > Decimal::MaxScale) {
        if (r.mantissa == 0) {
            r.sticky = r.sticky || r.roundDigit != 0;
            r.roundDigit = 0;
            r.scale = Decimal::MaxScale;
            break;
        }
        r.dropDigit();
    }
    while (r.mantissa > kMax96 && r.scale > 0)
        r.dropDigit();
    r.roundHalfEven();
    if (r.mantissa > kMax96 && r.scale > 0) {
        r.dropDigit(); // a carry past 2^96 - 1
        r.roundHalfEven();
    }
    return r.mantissa <= kMax96;
}

template <typename T> Result<T> failure(errors::Number number)
{
    return Result<T>::failure(errors::description(number), number);
}

} // namespace

struct DecimalAccess {
    static u128 mantissa(const Decimal &d) { return (u128(d.m_high) << 64) | d.m_low; }
    static Decimal make(u128 mantissa, int scale, bool negative)
    {
        Decimal d;
        d.m_low = std::uint64_t(mantissa);
        d.m_high = std::uint32_t(mantissa >> 64);
        d.m_scale = std::uint8_t(scale);
        d.m_negative = negative && mantissa != 0;
        return d;
    }
    // Mantissa and scale without trailing zeros.
    static std::pair<u128, int> normalised(const Decimal &d)
    {
        u128 m = mantissa(d);
        int scale = d.m_scale;
        while (scale > 0 && m % 10 == 0) {
            m /= 10;
            --scale;
        }
        return {m, scale};
    }
};

Result<Decimal> Decimal::fromText(QStringView text)
{
    Scan s;
    if (!scan(text, s))
        return failure<Decimal>(errors::TypeMismatch);
    if (s.kept == 0)
        return Decimal();
    const std::int64_t power = s.exponent - s.fractionDigits + s.dropped;
    if (power > 0) {
        if (s.dropped > 0 || power > kMaxDigits)
            return failure<Decimal>(errors::Overflow);
        u128 m = s.mantissa;
        for (std::int64_t i = 0; i < power; ++i) {
            m *= 10;
            if (m > kMax96)
                return failure<Decimal>(errors::Overflow);
        }
        return DecimalAccess::make(m, 0, s.negative);
    }
    Rounding r{s.mantissa, -power, s.roundDigit, s.sticky};
    if (!fit(r))
        return failure<Decimal>(errors::Overflow);
    return DecimalAccess::make(r.mantissa, int(r.scale), s.negative);
}

QString Decimal::toString(QChar decimalSeparator) const
{
    auto [m, scale] = DecimalAccess::normalised(*this);
    char digits[40];
    int n = 0;
    do {
        digits[n++] = char('0' + int(m % 10));
        m /= 10;
    } while (m != 0 || n <= scale);
    QString out;
    out.reserve(n + 2);
    if (m_negative)
        out += QLatin1Char('-');
    for (int i = n - 1; i >= 0; --i) {
        if (i == scale - 1)
            out += decimalSeparator;
        out += QLatin1Char(digits[i]);
    }
    return out;
}

double Decimal::toDouble() const
{
    const QByteArray text = toString(QLatin1Char('.')).toLatin1();
    double value = 0.0;
    std::from_chars(text.constData(), text.constData() + text.size(), value);
    return value;
}

bool Decimal::operator==(const Decimal &other) const
{
    return m_negative == other.m_negative && DecimalAccess::normalised(*this) == DecimalAccess::normalised(other);
}

} // namespace platform
