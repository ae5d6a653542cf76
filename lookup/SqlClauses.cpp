#include "lookup/SqlClauses.h"

#include <QStringList>

namespace lookup::sqlclauses {

namespace {

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('@') || c == QLatin1Char('#')
        || c == QLatin1Char('$');
}

// End (exclusive) of the literal, quoted name, bracketed name or comment starting at i;
// i itself when nothing of the kind starts there.
qsizetype skipQuoted(const QString &sql, qsizetype i)
{
    const qsizetype n = sql.size();
    const QChar c = sql.at(i);
    auto closeAt = [&](QChar close) {
        for (qsizetype j = i + 1; j < n; ++j) {
            if (sql.at(j) != close)
                continue;
            if (close == QLatin1Char('\'') && j + 1 < n && sql.at(j + 1) == close) {
                ++j; // a doubled apostrophe stays inside the literal
                continue;
            }
            return j + 1;
        }
        return n;
    };
    if (c == QLatin1Char('\'') || c == QLatin1Char('"'))
        return closeAt(c);
    if (c == QLatin1Char('['))
        return closeAt(QLatin1Char(']'));
    if (c == QLatin1Char('-') && i + 1 < n && sql.at(i + 1) == QLatin1Char('-')) {
        const qsizetype end = sql.indexOf(QLatin1Char('\n'), i);
        return end < 0 ? n : end + 1;
    }
    if (c == QLatin1Char('/') && i + 1 < n && sql.at(i + 1) == QLatin1Char('*')) {
        const qsizetype end = sql.indexOf(QStringLiteral("*/"), i + 2);
        return end < 0 ? n : end + 2;
    }
    return i;
}

// Length of the keyword's words matched at i (any blanks between them), or 0.
qsizetype matchWords(const QString &sql, qsizetype i, const QStringList &words)
{
    if (i > 0 && isNameChar(sql.at(i - 1)))
        return 0;
    qsizetype at = i;
    for (int w = 0; w < words.size(); ++w) {
        if (w > 0) {
            const qsizetype blanks = at;
            while (at < sql.size() && sql.at(at).isSpace())
                ++at;
            if (at == blanks)
                return 0;
        }
        if (QStringView(sql).mid(at).startsWith(words[w], Qt::CaseInsensitive) == false)
            return 0;
        at += words[w].size();
    }
    if (at < sql.size() && isNameChar(sql.at(at)))
        return 0;
    return at - i;
}

// True when the text holds a ";" outside literals, names and comments with more than
// blanks after it: a second statement.
bool holdsSecondStatement(const QString &sql)
{
    for (qsizetype i = 0; i < sql.size();) {
        const qsizetype skipped = skipQuoted(sql, i);
        if (skipped != i) {
            i = skipped;
            continue;
        }
        if (sql.at(i) == QLatin1Char(';'))
            return !sql.mid(i + 1).trimmed().isEmpty();
        ++i;
    }
    return false;
}

// Where the select list of a single plain SELECT starts (past the keyword and its blanks);
// -1 for anything else: another statement, a second statement, a set operator, INTO.
qsizetype plainSelectList(const QString &sql);

} // namespace

qsizetype findTopLevel(const QString &sql, const QString &keyword, qsizetype from)
{
    const QStringList words = keyword.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    int depth = 0;
    for (qsizetype i = 0; i < sql.size();) {
        const qsizetype skipped = skipQuoted(sql, i);
        if (skipped != i) {
            i = skipped;
            continue;
        }
        const QChar c = sql.at(i);
        if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')') && depth > 0)
            --depth;
        else if (depth == 0 && i >= from && matchWords(sql, i, words) > 0)
            return i;
        ++i;
    }
    return -1;
}

Parts split(const QString &sql)
{
    const qsizetype where = findTopLevel(sql, QStringLiteral("WHERE"));
    const qsizetype after = where < 0 ? 0 : where + 5;
    qsizetype closing = -1;
    for (const QString &clause : {QStringLiteral("GROUP BY"), QStringLiteral("ORDER BY")}) {
        const qsizetype at = findTopLevel(sql, clause, after);
        if (at >= 0 && (closing < 0 || at < closing))
            closing = at;
    }
    const qsizetype end = closing < 0 ? sql.size() : closing;
    Parts parts;
    parts.head = sql.left(where >= 0 ? where : end);
    if (where >= 0) {
        parts.keyword = sql.mid(where, 5);
        parts.condition = sql.mid(after, end - after);
    }
    if (closing >= 0)
        parts.closing = sql.mid(closing);
    return parts;
}

QString addCondition(const QString &sql, const QString &condition, const Joiners &joiners)
{
    const Parts parts = split(sql);
    QString result = parts.head;
    if (!parts.hasWhere())
        result += joiners.where;
    else if (parts.condition.trimmed().isEmpty())
        result += parts.keyword + QLatin1Char(' ');
    else
        result += parts.keyword + QStringLiteral(" (") + parts.condition.trimmed() + QLatin1Char(')') + joiners.conj;
    return result + condition.trimmed() + QLatin1Char(' ') + parts.closing;
}

QString tableName(const QString &sql)
{
    qsizetype from = findTopLevel(sql, QStringLiteral("FROM"));
    if (from < 0)
        from = sql.indexOf(QStringLiteral("from"), 0, Qt::CaseInsensitive);
    if (from < 0)
        return QString();
    qsizetype start = from + 4;
    while (start < sql.size() && sql.at(start).isSpace())
        ++start;
    qsizetype end = start;
    while (end < sql.size() && !sql.at(end).isSpace())
        ++end;
    return sql.mid(start, end - start).trimmed();
}

namespace {

qsizetype skipBlanks(const QString &sql, qsizetype at)
{
    while (at < sql.size() && sql.at(at).isSpace())
        ++at;
    return at;
}

qsizetype plainSelectList(const QString &sql)
{
    const qsizetype at = skipBlanks(sql, 0);
    const qsizetype select = matchWords(sql, at, {QStringLiteral("SELECT")});
    if (select == 0 || holdsSecondStatement(sql))
        return -1;
    for (const char *other : {"UNION", "EXCEPT", "INTERSECT", "INTO"}) {
        if (findTopLevel(sql, QString::fromLatin1(other)) >= 0)
            return -1;
    }
    return skipBlanks(sql, at + select);
}

} // namespace

QString limitRows(const QString &sql, int rows)
{
    if (rows <= 0)
        return QString();
    const auto skipBlanks = [&](qsizetype at) { return sqlclauses::skipBlanks(sql, at); };
    const auto word = [&](qsizetype at, const char *w) {
        return matchWords(sql, at, QStringList{QString::fromLatin1(w)});
    };
    qsizetype at = plainSelectList(sql);
    if (at < 0)
        return QString();
    for (const char *quantifier : {"DISTINCT", "ALL"}) {
        if (const qsizetype n = word(at, quantifier)) {
            at = skipBlanks(at + n);
            break;
        }
    }
    const QString limit = QString::number(rows);
    const qsizetype top = word(at, "TOP");
    if (top == 0)
        return sql.left(at) + QStringLiteral("TOP ") + limit + QLatin1Char(' ') + sql.mid(at);
    const qsizetype digits = skipBlanks(at + top);
    qsizetype end = digits;
    while (end < sql.size() && sql.at(end).isDigit())
        ++end;
    if (end == digits || (end < sql.size() && isNameChar(sql.at(end))))
        return QString(); // TOP (n), TOP @n: left as written
    const qsizetype next = skipBlanks(end);
    if (word(next, "PERCENT") || matchWords(sql, next, {QStringLiteral("WITH"), QStringLiteral("TIES")}))
        return QString();
    bool ok = false;
    const qlonglong given = QStringView(sql).mid(digits, end - digits).toLongLong(&ok);
    if (ok && given <= rows)
        return QString(); // it reads no more than a screen anyway
    return sql.left(digits) + limit + sql.mid(end);
}

int selectListSize(const QString &sql)
{
    const qsizetype at = plainSelectList(sql);
    const qsizetype from = at < 0 ? -1 : findTopLevel(sql, QStringLiteral("FROM"));
    if (from < 0)
        return 0;
    int items = 1;
    int depth = 0;
    bool star = false;
    QString item;
    const auto endItem = [&] {
        star = star || item.trimmed().endsWith(QLatin1Char('*'));
        item.clear();
    };
    for (qsizetype i = at; i < from;) {
        const qsizetype skipped = skipQuoted(sql, i);
        if (skipped != i) {
            item += sql.mid(i, skipped - i);
            i = skipped;
            continue;
        }
        const QChar c = sql.at(i++);
        if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')') && depth > 0)
            --depth;
        if (c == QLatin1Char(',') && depth == 0) {
            ++items;
            endItem();
        } else {
            item += c;
        }
    }
    endItem();
    return star ? 0 : items;
}

QString orderedFirstBy(const QString &sql, int ordinal, bool ascending, int columns)
{
    if (ordinal < 1 || plainSelectList(sql) < 0)
        return QString();
    QString key = QString::number(ordinal) + (ascending ? QString() : QStringLiteral(" DESC"));
    for (int other = 1; other <= columns; ++other) {
        if (other != ordinal)
            key += QStringLiteral(", ") + QString::number(other);
    }
    const qsizetype order = findTopLevel(sql, QStringLiteral("ORDER BY"));
    if (order < 0)
        return sql.trimmed() + QStringLiteral(" ORDER BY ") + key + QLatin1Char(' ');
    const qsizetype terms = order + matchWords(sql, order, {QStringLiteral("ORDER"), QStringLiteral("BY")});
    return sql.left(terms) + QLatin1Char(' ') + key + QLatin1Char(',') + sql.mid(terms);
}

bool isPlainName(const QString &name)
{
    if (name.isEmpty())
        return false;
    for (const QString &part : name.split(QLatin1Char('.'))) {
        if (part.startsWith(QLatin1Char('[')) && part.endsWith(QLatin1Char(']')) && part.size() > 2) {
            if (part.mid(1, part.size() - 2).contains(QLatin1Char(']')))
                return false;
            continue;
        }
        if (part.isEmpty())
            return false;
        for (const QChar c : part) {
            if (!isNameChar(c))
                return false;
        }
    }
    return true;
}

} // namespace lookup::sqlclauses
