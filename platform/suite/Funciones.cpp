#include "Funciones.h"

#include <cmath>

namespace platform::suite {

Funciones &gFunciones()
{
    static Funciones instance;
    return instance;
}

QString Funciones::AgregarBarra(const QString &folder) const
{
    // Our folders use "/"; a folder already ending in either separator is kept.
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')))
        return folder;
    return folder + QLatin1Char('/');
}

QString Funciones::NuloAVacio(const Variant &value) const
{
    return (value.isNull() || value.isEmpty()) ? QString() : value.toString();
}

namespace {

struct Separators {
    QChar decimal;
    QChar grouping;
};

// The regional separators, except that a point standing as the only separator of the
// text is its decimal mark: received numbers ("12.5") come with a point.
Separators separatorsOf(const QString &number)
{
    const QChar decimal = regional().decimalSeparator;
    const QChar point = QLatin1Char('.');
    if (decimal != point && !number.contains(decimal) && number.count(point) == 1)
        return {point, QChar()};
    return {decimal, decimal == QLatin1Char(',') ? point : QLatin1Char(',')};
}

} // namespace

namespace {

struct PlainAmount {
    bool negative = false;
    QString digits; // "1234.5": digits with at most one '.'
};

// The amount text as sign and plain digits, read as TextoAMoneda reads it.
PlainAmount plainAmount(const QString &text)
{
    PlainAmount out;
    QString t = text.trimmed();
    if (t.isEmpty()) {
        out.digits = QStringLiteral("0");
        return out;
    }
    if (t.startsWith(QLatin1Char('(')) && t.endsWith(QLatin1Char(')'))) {
        out.negative = true;
        t = t.mid(1, t.size() - 2).trimmed();
    }
    if (t.startsWith(QLatin1Char('$')))
        t = t.mid(1).trimmed();
    if (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) {
        out.negative = out.negative != (t[0] == QLatin1Char('-'));
        t = t.mid(1).trimmed();
    }
    const auto [decimal, grouping] = separatorsOf(t);
    bool seenDecimal = false;
    bool seenDigit = false;
    for (const QChar c : t) {
        if (c.isDigit() && c.unicode() < 128) {
            out.digits += c;
            seenDigit = true;
        } else if (c == grouping && !seenDecimal)
            continue;
        else if (c == decimal && !seenDecimal) {
            out.digits += QLatin1Char('.');
            seenDecimal = true;
        } else
            throw RuntimeError(13, QStringLiteral("No coinciden los tipos: '%1'").arg(text));
    }
    if (!seenDigit)
        throw RuntimeError(13, QStringLiteral("No coinciden los tipos: '%1'").arg(text));
    return out;
}

} // namespace

double Funciones::TextoAMoneda(const QString &text) const
{
    const PlainAmount amount = plainAmount(text);
    bool ok = false;
    const double value = amount.digits.toDouble(&ok);
    if (!ok)
        throw RuntimeError(13, QStringLiteral("No coinciden los tipos: '%1'").arg(text));
    // Currency keeps four decimal places.
    const double rounded = std::round(value * 10000.0) / 10000.0;
    return amount.negative ? -rounded : rounded;
}

QString Funciones::LiteralMoneda(const QString &text) const
{
    const PlainAmount amount = plainAmount(text);
    const qsizetype point = amount.digits.indexOf(QLatin1Char('.'));
    QString whole = point < 0 ? amount.digits : amount.digits.left(point);
    QString fraction = point < 0 ? QString() : amount.digits.mid(point + 1);
    // Four decimals, the fifth rounding half away from zero as TextoAMoneda does.
    const bool roundUp = fraction.size() > 4 && fraction[4] >= QLatin1Char('5');
    fraction = fraction.left(4).leftJustified(4, QLatin1Char('0'));
    QString digits = whole + fraction;
    if (roundUp) {
        qsizetype i = digits.size() - 1;
        while (i >= 0 && digits[i] == QLatin1Char('9'))
            digits[i--] = QLatin1Char('0');
        if (i < 0)
            digits.prepend(QLatin1Char('1'));
        else
            digits[i] = QChar(digits[i].unicode() + 1);
    }
    whole = digits.left(digits.size() - 4);
    fraction = digits.right(4);
    while (whole.size() > 1 && whole.startsWith(QLatin1Char('0')))
        whole.remove(0, 1);
    if (whole.isEmpty())
        whole = QStringLiteral("0");
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    QString literal = fraction.isEmpty() ? whole : whole + QLatin1Char('.') + fraction;
    if (amount.negative && literal != QStringLiteral("0"))
        literal.prepend(QLatin1Char('-'));
    return literal;
}

QString Funciones::AlinearDerecha(const QString &text, int width) const
{
    return text.size() >= width ? text : text.rightJustified(width, QLatin1Char(' '));
}

QString Funciones::AjustarLargo(const QString &text, int maximum) const
{
    return maximum < 0 ? text : text.left(maximum);
}

QString Funciones::QuitarCaracteres(const QString &text, const QString &c1, const QString &c2, const QString &c3) const
{
    QString out = text;
    for (const QString &c : {c1, c2, c3}) {
        if (!c.isEmpty())
            out.remove(c);
    }
    return out;
}

QString Funciones::Reemplazar(const QString &text, const QString &find, const QString &replacement) const
{
    if (find.isEmpty())
        return text;
    QString out = text;
    return out.replace(find, replacement);
}

int Funciones::ContarPalabras(const QString &text) const
{
    int words = 0;
    bool inWord = false;
    for (const QChar c : text) {
        const bool blank = c.isSpace();
        if (!blank && !inWord)
            ++words;
        inWord = !blank;
    }
    return words;
}

namespace {
// The stored form only has to hide the text from a casual look and survive a
// comma-separated text file: hexadecimal of the bytes mixed with a rolling key.
constexpr unsigned char kKey[] = {0x5A, 0x13, 0xC7, 0x2E, 0x91, 0x64, 0xB8, 0x0F};
} // namespace

QString Funciones::Codificar(const QString &text) const
{
    QByteArray bytes = text.toUtf8();
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(static_cast<unsigned char>(bytes[i]) ^ kKey[i % sizeof kKey] ^ (i * 31));
    return QString::fromLatin1(bytes.toHex().toUpper());
}

QString Funciones::Decodificar(const QString &text) const
{
    QByteArray bytes = QByteArray::fromHex(text.trimmed().toLatin1());
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(static_cast<unsigned char>(bytes[i]) ^ kKey[i % sizeof kKey] ^ (i * 31));
    return QString::fromUtf8(bytes);
}

} // namespace platform::suite
