#include "db/SqlText.h"

#include <cmath>

namespace db::sqltext {

namespace {
bool isNameChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }
} // namespace

bool containsNoCase(const QString &text, const QString &what) { return text.contains(what, Qt::CaseInsensitive); }

QString replaceNoCase(const QString &text, const QString &what, const QString &with)
{
    QString result = text;
    return result.replace(what, with, Qt::CaseInsensitive);
}

QString replaceWholeName(const QString &text, const QString &name, const QString &with)
{
    QString result;
    qsizetype from = 0;
    for (;;) {
        qsizetype at = text.indexOf(name, from, Qt::CaseInsensitive);
        if (at < 0)
            break;
        qsizetype end = at + name.size();
        bool startOk = at == 0 || !isNameChar(text.at(at - 1));
        bool endOk = end >= text.size() || !isNameChar(text.at(end));
        result += text.mid(from, at - from);
        result += (startOk && endOk) ? with : text.mid(at, name.size());
        from = end;
    }
    result += text.mid(from);
    return result;
}

QString rewriteOutsideLiterals(const QString &statement, const std::function<QString(const QString &)> &rewrite)
{
    QString result;
    qsizetype from = 0;
    while (from < statement.size()) {
        const qsizetype open = statement.indexOf(QLatin1Char('\''), from);
        if (open < 0)
            break;
        result += rewrite(statement.mid(from, open - from));
        // A doubled apostrophe inside the literal does not close it.
        qsizetype close = open + 1;
        for (;;) {
            close = statement.indexOf(QLatin1Char('\''), close);
            if (close < 0 || close + 1 >= statement.size() || statement.at(close + 1) != QLatin1Char('\''))
                break;
            close += 2;
        }
        const qsizetype end = close < 0 ? statement.size() : close + 1;
        result += statement.mid(open, end - open);
        from = end;
    }
    if (from < statement.size())
        result += rewrite(statement.mid(from));
    return result;
}

double leadingNumber(const QString &text)
{
    QString s;
    for (QChar c : text) {
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            s += c;
    }
    qsizetype i = 0;
    if (i < s.size() && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-')))
        ++i;
    qsizetype digits = 0;
    while (i < s.size() && s[i].isDigit()) {
        ++i;
        ++digits;
    }
    if (i < s.size() && s[i] == QLatin1Char('.')) {
        ++i;
        while (i < s.size() && s[i].isDigit()) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    qsizetype mantissaEnd = i;
    if (i < s.size() && (s[i] == QLatin1Char('E') || s[i] == QLatin1Char('e'))) {
        qsizetype j = i + 1;
        if (j < s.size() && (s[j] == QLatin1Char('+') || s[j] == QLatin1Char('-')))
            ++j;
        qsizetype expStart = j;
        while (j < s.size() && s[j].isDigit())
            ++j;
        if (j > expStart)
            mantissaEnd = j;
    }
    return s.left(mantissaEnd).toDouble();
}

QString plainNumber(double value)
{
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<long long>(value));
    QString text = QString::number(value, 'f', 10);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

QString escapeQuotes(const QString &text)
{
    QString result = text;
    return result.replace(QLatin1Char('\''), QStringLiteral("''"));
}

} // namespace db::sqltext
