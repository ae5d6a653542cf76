#include "db/OracleDialect.h"

#include "db/SqlText.h"
#include "platform/RuntimeError.h"
#include "platform/suite/Funciones.h"

#include <QRegularExpression>

namespace db {

using sqltext::containsNoCase;
using sqltext::replaceNoCase;

namespace {

// VB's Trim: blanks only, tabs and line feeds stay.
QString vbTrim(const QString &text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text.at(start) == QLatin1Char(' '))
        ++start;
    while (end > start && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(start, end - start);
}

[[noreturn]] void invalidArgument()
{
    throw platform::RuntimeError(5, QStringLiteral("Invalid procedure call or argument"), QStringLiteral("DB_Dll"));
}

const QStringList &batchKeywords()
{
    static const QStringList keywords = {
        QStringLiteral("INSERT "),         QStringLiteral("DELETE "),  QStringLiteral("UPDATE "),
        QStringLiteral("CREATE "),         QStringLiteral("DROP "),    QStringLiteral("ALTER "),
        QStringLiteral("SET TRANSACTION"), QStringLiteral("COMMIT"),   QStringLiteral("ROLLBACK"),
        QStringLiteral("IF NOT EXIST"),    QStringLiteral("IF EXIST"), QStringLiteral("GRANT ")};
    return keywords;
}

// Smallest position at or after `from` where any keyword starts; -1 when none.
qsizetype nextKeyword(const QString &text, qsizetype from)
{
    qsizetype best = -1;
    for (const QString &keyword : batchKeywords()) {
        qsizetype at = text.indexOf(keyword, from, Qt::CaseInsensitive);
        if (at >= 0 && (best < 0 || at < best))
            best = at;
    }
    return best;
}

int fullYear(const QString &digits)
{
    int year = digits.toInt();
    if (digits.size() <= 2)
        year += year < 30 ? 2000 : 1900; // VB's two-digit year window
    return year;
}

} // namespace

QString OracleDialect::rewrite(const QString &statement)
{
    if (platform::suite::gFunciones().ContarPalabras(statement) < 2) {
        if (statement.compare(QStringLiteral("LEN"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("LENGTH");
        return statement;
    }
    QString w = statement;
    if (containsNoCase(w, QStringLiteral("top ")))
        w = topToRownum(w);
    w = lengthFunction(w);
    w.replace(QLatin1Char('['), QLatin1Char('"')).replace(QLatin1Char(']'), QLatin1Char('"'));
    w = dateLiterals(w);
    w = replaceNoCase(w, QStringLiteral("Charindex"), QStringLiteral("InStr"));
    w = replaceNoCase(w, QStringLiteral("CONVERT(NVARCHAR,"), QStringLiteral("TO_CHAR("));
    w = replaceNoCase(w, QStringLiteral("CONVERT(INT,"), QStringLiteral("TO_NUMBER("));
    w = emptyStrings(w);
    w = style103(w);
    w = replaceNoCase(w, QStringLiteral("SUBSTRING("), QStringLiteral("SUBSTR("));
    return replaceNoCase(w, QStringLiteral("ISNULL("), QStringLiteral("NVL("));
}

QString OracleDialect::topToRownum(const QString &s)
{
    const qsizetype p = s.indexOf(QStringLiteral("top"), 0, Qt::CaseInsensitive);
    const QString head = s.left(p);
    const QString rest = vbTrim(s.mid(p + 3));
    const qsizetype blank = rest.indexOf(QLatin1Char(' '));
    if (blank < 0)
        invalidArgument();
    const QString n = rest.left(blank);
    QString body = rest.mid(blank + 1);

    const qsizetype group = s.indexOf(QStringLiteral(" GROUP BY "), 0, Qt::CaseInsensitive);
    const QString groupTail = group >= 0 ? s.mid(group) : QString();
    QString orderTail;
    const qsizetype order = s.indexOf(QStringLiteral("ORDER BY "), 0, Qt::CaseInsensitive);
    if (group < 0 && order >= 0)
        orderTail = s.mid(order);
    const QString condition = containsNoCase(s, QStringLiteral(" WHERE ")) ? QStringLiteral(" AND ROWNUM <= ") + n
                                                                           : QStringLiteral(" WHERE ROWNUM <= ") + n;
    if (!vbTrim(groupTail).isEmpty())
        body = replaceNoCase(body, vbTrim(groupTail), QStringLiteral(" "));
    if (!vbTrim(orderTail).isEmpty())
        body = replaceNoCase(body, vbTrim(orderTail), QStringLiteral(" "));
    const QString sp = QStringLiteral(" ");
    return head + sp + body + sp + condition + sp + groupTail + sp + orderTail;
}

QString OracleDialect::lengthFunction(const QString &s)
{
    QString w = s;
    for (int blanks = 0; blanks <= 4; ++blanks) {
        const QString pattern = QStringLiteral(" LEN") + QString(blanks, QLatin1Char(' ')) + QLatin1Char('(');
        w = replaceNoCase(w, pattern, QStringLiteral(" LENGTH("));
    }
    return w;
}

QString OracleDialect::dateLiterals(const QString &s)
{
    QString copy = s;
    qsizetype from = 0;
    for (;;) {
        const qsizetype open = s.indexOf(QLatin1Char('\''), from);
        if (open < 0)
            break;
        const qsizetype close = s.indexOf(QLatin1Char('\''), open + 1);
        if (close < 0)
            invalidArgument();
        const QString literal = s.mid(open + 1, close - open - 1);
        if (const auto date = parseDate(literal)) {
            const QString wrapped = QStringLiteral("TO_DATE('") + date->toString(QStringLiteral("dd/MM/yyyy"))
                + QStringLiteral("','DD/MM/YYYY')");
            copy = replaceNoCase(copy, QLatin1Char('\'') + literal + QLatin1Char('\''), wrapped);
        }
        from = close + 1;
    }
    while (containsNoCase(copy, QStringLiteral("TO_DATE(TO_DATE("))) {
        copy = replaceNoCase(copy, QStringLiteral("TO_DATE(TO_DATE("), QStringLiteral("TO_DATE("));
        copy = replaceNoCase(copy, QStringLiteral("'DD/MM/YYYY'),'DD/MM/YYYY')"), QStringLiteral("'DD/MM/YYYY')"));
    }
    return copy;
}

QString OracleDialect::emptyStrings(const QString &s)
{
    QString w = s;
    for (const QString &pattern : {QStringLiteral("= ''"), QStringLiteral("=''")}) {
        const qsizetype where = w.indexOf(QStringLiteral("WHERE "), 0, Qt::CaseInsensitive);
        if (where < 0)
            return w;
        w = w.left(where) + replaceNoCase(w.mid(where), pattern, QStringLiteral(" IS NULL "));
    }
    return w;
}

QString OracleDialect::style103(const QString &s)
{
    QString w = s;
    qsizetype k = w.indexOf(QStringLiteral("103"));
    while (k >= 0) {
        const qsizetype paren = w.lastIndexOf(QLatin1Char('('), k);
        if (paren >= 7 && w.mid(paren - 7, 8).compare(QStringLiteral("TO_CHAR("), Qt::CaseInsensitive) == 0)
            w.replace(k, 3, QStringLiteral("'DD/MM/YYYY'"));
        k = w.indexOf(QStringLiteral("103"), k + 3);
    }
    return w;
}

bool OracleDialect::isDropped(const QString &statement)
{
    return containsNoCase(statement, QStringLiteral("SET NOCOUNT"))
        || containsNoCase(statement, QStringLiteral("IF NOT EXIST"));
}

QString OracleDialect::normalizeBatch(const QString &batch)
{
    const QString crlf = QStringLiteral("\r\n");
    const QString blank = QStringLiteral(" ");
    QString w = batch;
    w = replaceNoCase(w, QStringLiteral("SET NOCOUNT ON"), QString());
    w = replaceNoCase(w, QStringLiteral("SET NOCOUNT OFF"), QString());
    w = replaceNoCase(w, QStringLiteral(" GO "), blank);
    w = replaceNoCase(w, crlf + QStringLiteral("GO "), blank);
    w = replaceNoCase(w, crlf + QStringLiteral("GO "), blank);
    w = replaceNoCase(w, crlf + QStringLiteral("GO") + crlf, blank);
    w.replace(QLatin1Char('\r'), QLatin1Char(' '));
    w = replaceNoCase(w, QStringLiteral("BEGIN TRANSACTION"), QStringLiteral("SET TRANSACTION"));
    w = replaceNoCase(w, QStringLiteral("BEGIN TRANS"), QStringLiteral("SET TRANSACTION"));
    w = replaceNoCase(w, QStringLiteral("COMMIT TRANSACTION"), QStringLiteral("COMMIT"));
    w = replaceNoCase(w, QStringLiteral("COMMIT TRANS"), QStringLiteral("COMMIT"));
    w = replaceNoCase(w, QStringLiteral("ROLLBACK TRANSACTION"), QStringLiteral("ROLLBACK"));
    return replaceNoCase(w, QStringLiteral("ROLLBACK TRANS"), QStringLiteral("ROLLBACK"));
}

QStringList OracleDialect::splitBatch(const QString &batch)
{
    QStringList statements;
    QString rest = normalizeBatch(batch);
    for (;;) {
        const qsizetype start = nextKeyword(rest, 0);
        if (start < 0)
            break;
        qsizetype end = nextKeyword(rest, start + 1);
        if (end < 0)
            end = rest.size();
        // Line feeds survive the normalisation; trimming them too lets a transaction word
        // on a line of its own be recognised.
        statements << rest.mid(start, end - start).trimmed();
        rest = rest.mid(end);
    }
    return statements;
}

std::optional<QDate> OracleDialect::parseDate(const QString &text)
{
    static const QString time = QStringLiteral("(?:\\s+\\d{1,2}:\\d{2}(?::\\d{2})?)?$");
    static const QRegularExpression dayFirst(QStringLiteral("^(\\d{1,2})[/.-](\\d{1,2})[/.-](\\d{4}|\\d{2})") + time);
    static const QRegularExpression yearFirst(QStringLiteral("^(\\d{4})[/.-](\\d{1,2})[/.-](\\d{1,2})") + time);
    const QString t = text.trimmed();
    QDate date;
    if (auto m = dayFirst.match(t); m.hasMatch())
        date = QDate(fullYear(m.captured(3)), m.captured(2).toInt(), m.captured(1).toInt());
    else if (auto y = yearFirst.match(t); y.hasMatch())
        date = QDate(y.captured(1).toInt(), y.captured(2).toInt(), y.captured(3).toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}

} // namespace db
