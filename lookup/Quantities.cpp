#include "lookup/Quantities.h"

#include "platform/Variant.h"

namespace lookup::quantities {

double read(const QString &text)
{
    const QChar regional = platform::regional().decimalSeparator;
    const QChar decimal = text.contains(regional) ? regional : QLatin1Char('.');
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    QString number;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
        number += text.at(i++);
    bool digits = false;
    bool seenDecimal = false;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isDigit() && c.unicode() < 0x80) {
            number += c;
            digits = true;
        } else if (c == decimal && !seenDecimal) {
            number += QLatin1Char('.');
            seenDecimal = true;
        } else {
            break;
        }
    }
    return digits ? number.toDouble() : 0.0;
}

QString write(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    if (text.startsWith(QLatin1Char('-')) && QString::number(-value, 'f', decimals).toDouble() == 0.0)
        text.remove(0, 1); // no "-0,00"
    return text.replace(QLatin1Char('.'), platform::regional().decimalSeparator);
}

} // namespace lookup::quantities
