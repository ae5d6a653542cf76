#include "SqliteFunctions.h"

#include "DateText.h"
#include "SqliteConversions.h"

#include <QString>

#include <sqlite3.h>

#include <cstdint>
#include <cstring>

namespace ado {

namespace {

// Decodes one UTF-8 sequence at p (p < end); malformed bytes are taken one by one.
unsigned decode(const unsigned char *&p, const unsigned char *end)
{
    const unsigned c = *p++;
    if (c < 0x80)
        return c;
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    unsigned cp = c & (0x3F >> extra);
    while (extra-- > 0 && p < end && (*p & 0xC0) == 0x80)
        cp = (cp << 6) | (*p++ & 0x3F);
    return cp;
}

unsigned fold(unsigned cp)
{
    if (cp >= 'A' && cp <= 'Z')
        return cp + 32;
    if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7)
        return cp + 32;
    return cp;
}

int trimmedLength(const char *s, int n)
{
    while (n > 0 && s[n - 1] == ' ')
        --n;
    return n;
}

int collateText(void *, int na, const void *a, int nb, const void *b)
{
    return SqliteFunctions::compareText(static_cast<const char *>(a), na, static_cast<const char *>(b), nb);
}

// "yyyy-mm-dd hh:mm:ss[.fff]" as vkdate() stores it: compares as it stands.
bool isStoredForm(const char *s, int n)
{
    return (n == 19 || n == 23) && s[4] == '-' && s[7] == '-' && s[10] == ' ' && s[13] == ':' && s[16] == ':';
}

int collateDate(void *, int na, const void *a, int nb, const void *b)
{
    if (isStoredForm(static_cast<const char *>(a), na) && isStoredForm(static_cast<const char *>(b), nb)) {
        const int r = std::memcmp(a, b, size_t(std::min(na, nb)));
        return r != 0 ? r : na - nb;
    }
    const auto pa = DateText::parse(static_cast<const char *>(a), na);
    const auto pb = DateText::parse(static_cast<const char *>(b), nb);
    if (pa && pb) {
        const QByteArray x = DateText::normalised(*pa), y = DateText::normalised(*pb);
        return std::strcmp(x.constData(), y.constData());
    }
    if (pa || pb) // dates sort before other text
        return pa ? -1 : 1;
    const int r = std::memcmp(a, b, size_t(std::min(na, nb)));
    return r != 0 ? r : na - nb;
}

void vkdate(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    sqlite3_value *v = argv[0];
    if (sqlite3_value_type(v) != SQLITE_TEXT) {
        sqlite3_result_value(ctx, v);
        return;
    }
    const char *text = reinterpret_cast<const char *>(sqlite3_value_text(v));
    const int n = sqlite3_value_bytes(v);
    if (trimmedLength(text, n) == 0) { // SQL Server reads '' as its zero date
        sqlite3_result_text(ctx, "1900-01-01 00:00:00", -1, SQLITE_STATIC);
        return;
    }
    const auto parts = DateText::parse(text, n);
    if (!parts) {
        QString where;
        if (argc >= 3)
            where = QStringLiteral(" (tabla '%1', columna '%2')")
                        .arg(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[1]))),
                             QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[2]))));
        const QByteArray msg = QStringLiteral("vkdate: Error de conversión al convertir la cadena '%1' "
                                              "en fecha y hora%2.")
                                   .arg(QString::fromUtf8(text, n), where)
                                   .toUtf8();
        sqlite3_result_error(ctx, msg.constData(), int(msg.size()));
        return;
    }
    const QByteArray iso = DateText::normalised(*parts);
    sqlite3_result_text(ctx, iso.constData(), int(iso.size()), SQLITE_TRANSIENT);
}

} // namespace

// ------------------------------------------------------------------ LIKE as SQL Server's

LikePattern LikePattern::parse(const unsigned char *p, const unsigned char *pe, unsigned escape)
{
    LikePattern out;
    while (p < pe) {
        unsigned c = decode(p, pe);
        Token t;
        if (escape && c == escape && p < pe) {
            t.kind = Token::Literal;
            t.code = fold(decode(p, pe));
        } else if (c == '%') {
            if (!out.tokens.empty() && out.tokens.back().kind == Token::Any)
                continue;
            t.kind = Token::Any;
        } else if (c == '_') {
            t.kind = Token::One;
        } else if (c == '[') {
            // a set up to the next ']'; without one the pattern matches nothing, as on SQL Server
            const unsigned char *q = p;
            bool closed = false;
            t.kind = Token::Set;
            if (q < pe && *q == '^') {
                t.negated = true;
                ++q;
            }
            std::vector<unsigned> members;
            while (q < pe) {
                unsigned m = decode(q, pe);
                if (m == ']') {
                    closed = true;
                    break;
                }
                if (escape && m == escape && q < pe)
                    m = decode(q, pe);
                members.push_back(m);
            }
            if (!closed) {
                out.never = true;
                return out;
            }
            p = q;
            // a-f is a range; a '-' first or last is itself
            for (size_t k = 0; k < members.size(); ++k) {
                if (k + 2 < members.size() && members[k + 1] == '-') {
                    t.ranges.push_back({fold(members[k]), fold(members[k + 2])});
                    k += 2;
                } else {
                    t.ranges.push_back({fold(members[k]), fold(members[k])});
                }
            }
        } else {
            t.kind = Token::Literal;
            t.code = fold(c);
        }
        out.tokens.push_back(std::move(t));
    }
    return out;
}

bool LikePattern::Token::matches(unsigned folded) const
{
    switch (kind) {
    case Literal:
        return folded == code;
    case One:
        return true;
    case Set: {
        bool in = false;
        for (const auto &r : ranges)
            in = in || (folded >= r.first && folded <= r.second);
        return in != negated;
    }
    case Any:
        break;
    }
    return false;
}

// The pattern over the whole text, trailing blanks of the text left over allowed; one
// backtracking point (the last %), so the time is the product of the lengths at worst.
bool LikePattern::match(const unsigned char *s, const unsigned char *se) const
{
    if (never)
        return false;
    thread_local std::vector<unsigned> text;
    text.clear();
    while (s < se)
        text.push_back(fold(decode(s, se)));
    size_t used = text.size(); // the text ends in blanks from here on
    while (used > 0 && text[used - 1] == ' ')
        --used;
    size_t i = 0, j = 0, star = SIZE_MAX, starJ = 0;
    const size_t m = tokens.size();
    for (;;) {
        if (i == m && j >= used)
            return true;
        if (i < m && tokens[i].kind == Token::Any) {
            star = i++;
            starJ = j;
            continue;
        }
        if (i < m && j < text.size() && tokens[i].matches(text[j])) {
            ++i;
            ++j;
            continue;
        }
        if (star == SIZE_MAX || starJ >= text.size())
            return false;
        i = star + 1;
        j = ++starJ;
    }
}

namespace {

// like(pattern, text [, escape]): what "text LIKE pattern [ESCAPE escape]" calls. The parsed
// pattern is kept with the statement while the pattern stays the same.
void like(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const unsigned char *s = sqlite3_value_text(argv[1]);
    const unsigned char *se = s + sqlite3_value_bytes(argv[1]);
    // kept only while the pattern (and the escape) stay the same
    if (const auto *kept = static_cast<const LikePattern *>(sqlite3_get_auxdata(ctx, 0));
        kept && (argc < 3 || sqlite3_get_auxdata(ctx, 2))) {
        sqlite3_result_int(ctx, kept->match(s, se) ? 1 : 0);
        return;
    }
    unsigned escape = 0;
    if (argc == 3) {
        const unsigned char *e = sqlite3_value_text(argv[2]);
        const int n = sqlite3_value_bytes(argv[2]);
        if (n > 0)
            escape = decode(e, e + n);
    }
    const unsigned char *p = sqlite3_value_text(argv[0]);
    auto *pattern = new LikePattern(LikePattern::parse(p, p + sqlite3_value_bytes(argv[0]), escape));
    sqlite3_result_int(ctx, pattern->match(s, se) ? 1 : 0);
    if (argc == 3)
        sqlite3_set_auxdata(ctx, 2, ctx, nullptr); // a mark that the escape did not change
    sqlite3_set_auxdata(ctx, 0, pattern, [](void *q) { delete static_cast<LikePattern *>(q); });
}

} // namespace

int SqliteFunctions::compareText(const char *a, int na, const char *b, int nb)
{
    const auto *pa = reinterpret_cast<const unsigned char *>(a);
    const auto *pb = reinterpret_cast<const unsigned char *>(b);
    const unsigned char *ea = pa + trimmedLength(a, na);
    const unsigned char *eb = pb + trimmedLength(b, nb);
    while (pa < ea && pb < eb) {
        unsigned ca, cb;
        if (*pa < 0x80 && *pb < 0x80) {
            ca = fold(*pa++);
            cb = fold(*pb++);
        } else {
            ca = fold(decode(pa, ea));
            cb = fold(decode(pb, eb));
        }
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return (pa < ea) - (pb < eb);
}

int SqliteFunctions::registerAll(sqlite3 *db)
{
    const int text = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    int rc = sqlite3_create_collation(db, "VKTEXT", SQLITE_UTF8, nullptr, collateText);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_collation(db, "VKDATE", SQLITE_UTF8, nullptr, collateDate);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function(db, "vkdate", 1, text, nullptr, vkdate, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function(db, "vkdate", 3, text, nullptr, vkdate, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function(db, "like", 2, text, nullptr, like, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function(db, "like", 3, text, nullptr, like, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = SqliteConversions::registerAll(db);
    return rc;
}

} // namespace ado
