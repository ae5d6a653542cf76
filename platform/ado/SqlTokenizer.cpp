#include "SqlTokenizer.h"

namespace ado {

namespace {

bool isWordStart(QChar c) { return c.isLetter() || c == u'_' || c == u'#'; }

bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'#' || c == u'$'; }

// Index just past a literal or name closed by `close`, where a doubled close
// character stands for itself ('it''s', [a]]b]).
qsizetype skipQuoted(QStringView s, qsizetype i, QChar close)
{
    for (++i; i < s.size(); ++i) {
        if (s[i] != close)
            continue;
        if (i + 1 < s.size() && s[i + 1] == close) {
            ++i;
            continue;
        }
        return i + 1;
    }
    return s.size();
}

qsizetype skipBlockComment(QStringView s, qsizetype i)
{
    int depth = 0;
    while (i < s.size()) {
        if (s.mid(i).startsWith(u"/*")) {
            ++depth;
            i += 2;
        } else if (s.mid(i).startsWith(u"*/")) {
            i += 2;
            if (--depth == 0)
                return i;
        } else {
            ++i;
        }
    }
    return i;
}

qsizetype skipNumber(QStringView s, qsizetype i)
{
    while (i < s.size() && (s[i].isDigit() || s[i] == u'.'))
        ++i;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < s.size() && (s[j] == u'+' || s[j] == u'-'))
            ++j;
        if (j < s.size() && s[j].isDigit()) {
            i = j;
            while (i < s.size() && s[i].isDigit())
                ++i;
        }
    }
    return i;
}

qsizetype symbolLength(QStringView s, qsizetype i)
{
    if (i + 1 >= s.size())
        return 1;
    const char16_t a = s[i].unicode();
    const char16_t b = s[i + 1].unicode();
    const bool two = (a == u'<' && (b == u'>' || b == u'=')) || (a == u'>' && b == u'=')
        || (a == u'!' && (b == u'=' || b == u'<' || b == u'>')) || (a == u'|' && b == u'|') || (a == u':' && b == u':');
    return two ? 2 : 1;
}

} // namespace

std::vector<SqlToken> SqlTokenizer::tokenize(QStringView s)
{
    std::vector<SqlToken> tokens;
    tokens.reserve(s.size() / 3 + 4);
    qsizetype i = 0;
    while (i < s.size()) {
        SqlToken t;
        t.pos = i;
        const QChar c = s[i];
        qsizetype end = i + 1;
        if (c.isSpace()) {
            t.type = SqlToken::Type::Space;
            while (end < s.size() && s[end].isSpace())
                ++end;
        } else if (c == u'-' && i + 1 < s.size() && s[i + 1] == u'-') {
            t.type = SqlToken::Type::Comment;
            while (end < s.size() && s[end] != u'\n' && s[end] != u'\r')
                ++end;
        } else if (c == u'/' && i + 1 < s.size() && s[i + 1] == u'*') {
            t.type = SqlToken::Type::Comment;
            end = skipBlockComment(s, i);
        } else if (c == u'\'') {
            t.type = SqlToken::Type::String;
            end = skipQuoted(s, i, u'\'');
        } else if ((c == u'N' || c == u'n') && i + 1 < s.size() && s[i + 1] == u'\'') {
            t.type = SqlToken::Type::String;
            t.national = true;
            end = skipQuoted(s, i + 1, u'\'');
        } else if (c == u'[') {
            t.type = SqlToken::Type::QuotedName;
            end = skipQuoted(s, i, u']');
        } else if (c == u'"') {
            t.type = SqlToken::Type::QuotedName;
            end = skipQuoted(s, i, u'"');
        } else if (c.isDigit() || (c == u'.' && i + 1 < s.size() && s[i + 1].isDigit())) {
            t.type = SqlToken::Type::Number;
            end = skipNumber(s, i);
        } else if (isWordStart(c)) {
            t.type = SqlToken::Type::Word;
            while (end < s.size() && isWordChar(s[end]))
                ++end;
        } else if (c == u'@') {
            t.type = SqlToken::Type::Variable;
            while (end < s.size() && (isWordChar(s[end]) || s[end] == u'@'))
                ++end;
        } else {
            t.type = SqlToken::Type::Symbol;
            end = i + symbolLength(s, i);
        }
        t.len = end - i;
        if (t.type == SqlToken::Type::Space || t.type == SqlToken::Type::Comment) {
            const QStringView body = s.mid(i, t.len);
            t.newline = body.contains(u'\n') || body.contains(u'\r');
        }
        tokens.push_back(t);
        i = end;
    }
    return tokens;
}

} // namespace ado
