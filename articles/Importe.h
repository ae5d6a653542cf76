#pragma once

#include <QString>

#include <compare>
#include <cstdint>
#include <optional>

namespace articles {

// An amount of the article form (price, cost, markup, tax rate): a fixed-point number with
// four decimal places, held as a signed 64-bit count of ten-thousandths. Never a binary
// double: doubles only appear as intermediate results of divisions, and become amounts
// again by rounding to the nearest ten-thousandth, ties to even.
//
// Text becomes an amount in one way only (leer / desdeTexto), the suite's currency rule:
// - blanks around the text are ignored; an empty text is 0;
// - a sign ("-" or "+"), a leading "$" and parentheses for a negative amount are accepted;
// - the regional decimal separator (a comma under the default settings) is the decimal mark
//   and the other one of "." and "," groups thousands and is ignored before the decimal
//   mark: "1.234,56" is 1234.56;
// - except that a point standing as the only separator of the text, once, is the decimal
//   mark: "1234.56" and "12.5" read 1234.56 and 12.5 ("1.234.567" is 1234567);
// - digits beyond the fourth decimal are rounded, ties to even ("0,00005" is 0);
// - anything else (letters, a second decimal mark, a grouping mark after it) is not a number.
// This is the rule of gFunciones.TextoAMoneda; the amount is read exactly, without a double.
class Importe {
public:
    static constexpr std::int64_t kEscala = 10000;

    constexpr Importe() = default;
    static constexpr Importe desdeDiezmilesimos(std::int64_t cuenta) { return Importe(cuenta); }
    static Importe desdeEntero(std::int64_t unidades);

    // nullopt when the text is not a number or does not fit.
    static std::optional<Importe> leer(const QString &texto);
    // As leer; raises platform::RuntimeError 13 ("No coinciden los tipos") when the text is
    // not a number and 6 ("Desbordamiento") when it does not fit.
    static Importe desdeTexto(const QString &texto);
    // A double result rounded to the nearest ten-thousandth, ties to even; raises
    // RuntimeError 6 when it does not fit and 11 when it is not a number (a division by 0).
    static Importe desdeDoble(double valor);

    std::int64_t diezmilesimos() const { return m_cuenta; }
    double aDoble() const;
    // Plain text: no thousands separators, the regional decimal separator, no trailing
    // zeros ("157,3", "-0,5", "30").
    QString texto() const;
    // "." as decimal mark, no grouping, no trailing zeros: the form of a SQL literal.
    QString textoSql() const;

    // Sums and products raise RuntimeError 6 on overflow; a product is rounded to four
    // decimals, ties to even.
    Importe operator+(Importe otro) const;
    Importe operator-(Importe otro) const;
    Importe por(Importe otro) const;

    friend constexpr auto operator<=>(Importe a, Importe b) = default;

private:
    constexpr explicit Importe(std::int64_t cuenta) : m_cuenta(cuenta) {}
    std::int64_t m_cuenta = 0;
};

} // namespace articles
