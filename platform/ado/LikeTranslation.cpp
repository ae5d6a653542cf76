#include "LikeTranslation.h"

#include <QStringList>

#include <vector>

namespace ado {

namespace {

// One element of a pattern.
struct Element {
    enum Kind { Literal, One, Any, Set, Never } kind = Literal;
    QString text;         // Literal: the character (a surrogate pair stays whole)
    QStringList members;  // Set: its characters, with "-" between the ends of a range
    bool negated = false; // Set: [^...]
};

// The next character of `p` from `i` (a surrogate pair as one).
QString nextChar(QStringView p, qsizetype &i)
{
    const qsizetype n = (p[i].isHighSurrogate() && i + 1 < p.size()) ? 2 : 1;
    const QString c = p.mid(i, n).toString();
    i += n;
    return c;
}

std::vector<Element> elements(QStringView p, QChar escape)
{
    std::vector<Element> out;
    const QString esc = escape.isNull() ? QString() : QString(escape);
    qsizetype i = 0;
    while (i < p.size()) {
        const QString c = nextChar(p, i);
        Element e;
        if (!esc.isEmpty() && c == esc && i < p.size()) {
            e.text = nextChar(p, i);
        } else if (c == u"%") {
            if (!out.empty() && out.back().kind == Element::Any)
                continue;
            e.kind = Element::Any;
        } else if (c == u"_") {
            e.kind = Element::One;
        } else if (c == u"[") {
            e.kind = Element::Set;
            qsizetype q = i;
            if (q < p.size() && p[q] == u'^') {
                e.negated = true;
                ++q;
            }
            bool closed = false;
            while (q < p.size()) {
                QString m = nextChar(p, q);
                if (m == u"]") {
                    closed = true;
                    break;
                }
                if (!esc.isEmpty() && m == esc && q < p.size())
                    m = nextChar(p, q);
                e.members << m;
            }
            if (!closed) {
                out.assign(1, Element{Element::Never, {}, {}, false});
                return out;
            }
            i = q;
        } else {
            e.text = c;
        }
        out.push_back(std::move(e));
    }
    return out;
}

// A character for a regular expression, outside or inside a bracket expression.
QString regexChar(const QString &c, bool inSet)
{
    static const QString outside = QStringLiteral("\\^$.|?*+()[]{}");
    static const QString inside = QStringLiteral("\\^-[]");
    return (c.size() == 1 && (inSet ? inside : outside).contains(c[0])) ? QStringLiteral("\\") + c : c;
}

QString regexSet(const Element &e)
{
    if (e.members.isEmpty())
        return e.negated ? QStringLiteral(".") : QString();
    QString out = e.negated ? QStringLiteral("[^") : QStringLiteral("[");
    for (qsizetype k = 0; k < e.members.size(); ++k) {
        if (k + 2 < e.members.size() && e.members[k + 1] == u"-") { // a-f
            out += regexChar(e.members[k], true) + u'-' + regexChar(e.members[k + 2], true);
            k += 2;
        } else {
            out += regexChar(e.members[k], true);
        }
    }
    return out + u']';
}

} // namespace

QString LikeTranslation::prefix(QStringView pattern, QChar escape)
{
    if (!escape.isNull())
        return QString();
    QString out;
    for (const Element &e : elements(pattern, escape)) {
        if (e.kind != Element::Literal)
            break;
        out += e.text;
    }
    return out;
}

std::optional<QString> LikeTranslation::postgresIlike(QStringView pattern, QChar escape)
{
    if (!escape.isNull())
        return std::nullopt;
    const std::vector<Element> es = elements(pattern, escape);
    if (es.empty() || es.back().kind != Element::Any)
        return std::nullopt;
    QString out;
    for (const Element &e : es) {
        switch (e.kind) {
        case Element::Literal:
            out += e.text == u"\\" ? QStringLiteral("\\\\") : e.text;
            break;
        case Element::One:
            out += u'_';
            break;
        case Element::Any:
            out += u'%';
            break;
        case Element::Set:
        case Element::Never:
            return std::nullopt;
        }
    }
    return out;
}

QString LikeTranslation::postgresRegex(QStringView pattern, QChar escape)
{
    QString out = QStringLiteral("^");
    for (const Element &e : elements(pattern, escape)) {
        switch (e.kind) {
        case Element::Literal:
            out += regexChar(e.text, false);
            break;
        case Element::One:
            out += u'.';
            break;
        case Element::Any:
            out += QStringLiteral(".*");
            break;
        case Element::Set: {
            const QString set = regexSet(e);
            if (set.isEmpty()) // an empty set: no character is one of it
                return QStringLiteral("a^");
            out += set;
            break;
        }
        case Element::Never:
            return QStringLiteral("a^"); // an anchor after a character: never matches
        }
    }
    return out + QStringLiteral(" *$");
}

QString LikeTranslation::highest(bool postgreSql)
{
    return postgreSql ? QString(QChar(0xFFFF)) : QString::fromUcs4(U"\U0010FFFF");
}

} // namespace ado
