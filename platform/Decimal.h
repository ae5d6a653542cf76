#pragma once

#include "platform/Result.h"

#include <QString>
#include <QStringView>

#include <cstdint>

namespace platform {

// The platform's scaled decimal: a 96-bit whole number, a sign and a scale of 0 to
// 28 decimal places. Values stay exact (0.1 is 0.1, not a binary fraction).
class Decimal {
public:
    static constexpr int MaxScale = 28;

    Decimal() = default; // zero

    // Reads an optional sign, digits with an optional fraction after ".", and an optional
    // exponent ("e" or "E", optional sign, digits), whatever the regional settings say.
    // Digits past the 28th decimal place, or past what 96 bits hold, are rounded half
    // to even. Fails with Type mismatch (13) when the text is not such a number and with
    // Overflow (6) when its whole part needs more than 96 bits.
    [[nodiscard]] static Result<Decimal> fromText(QStringView text);

    // Plain digits with the given separator: no grouping, no exponent, no trailing zeros.
    QString toString(QChar decimalSeparator) const;
    // The nearest double.
    double toDouble() const;

    bool isZero() const { return m_low == 0 && m_high == 0; }
    bool isNegative() const { return m_negative; }
    int scale() const { return m_scale; }

    // By value: 1.50 equals 1.5.
    bool operator==(const Decimal &other) const;

private:
    std::uint64_t m_low = 0;
    std::uint32_t m_high = 0;
    std::uint8_t m_scale = 0;
    bool m_negative = false;

    friend struct DecimalAccess;
};

} // namespace platform
