#include "SqliteFunctions.h"

#include "DateText.h"
#include "SqliteConversions.h"

#include <QString>

#include <sqlite3.h>

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

// LIKE with % and _, case folded as VKTEXT folds; `escape` 0 for none.
bool likeMatch(const unsigned char *p, const unsigned char *pe, const unsigned char *s, const unsigned char *se,
               unsigned escape)
{
    while (p < pe) {
        unsigned pc = decode(p, pe);
        if (pc == '%') {
            while (p < pe && (*p == '%'))
                ++p;
            if (p == pe)
                return true;
            for (const unsigned char *t = s; t <= se;) {
                if (likeMatch(p, pe, t, se, escape))
                    return true;
                if (t == se)
                    break;
                decode(t, se);
            }
            return false;
        }
        if (s >= se)
            return false;
        const unsigned sc = decode(s, se);
        if (pc == '_')
            continue;
        if (escape && pc == escape && p < pe)
            pc = decode(p, pe);
        if (fold(pc) != fold(sc))
            return false;
    }
    return s == se;
}

void like(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    // like(pattern, text [, escape])
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
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
    const int pn = sqlite3_value_bytes(argv[0]);
    const unsigned char *s = sqlite3_value_text(argv[1]);
    const int sn = sqlite3_value_bytes(argv[1]);
    sqlite3_result_int(ctx, likeMatch(p, p + pn, s, s + sn, escape) ? 1 : 0);
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
