#include "lookup/LookupRows.h"

#include <cstring>

namespace lookup {

namespace {

void appendUtf16AsUtf8(std::string &out, QStringView text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = text[i].unicode();
        if (c < 0x80) {
            out.push_back(char(c));
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < n && text[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(char16_t(c), text[++i].unicode());
        else if (QChar::isSurrogate(c))
            c = 0xFFFD; // a lone surrogate cannot be encoded
        if (c < 0x800) {
            out.push_back(char(0xC0 | (c >> 6)));
        } else if (c < 0x10000) {
            out.push_back(char(0xE0 | (c >> 12)));
            out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        } else {
            out.push_back(char(0xF0 | (c >> 18)));
            out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        }
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

char foldAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c; }

constexpr std::uint64_t kEachByte = 0x0101010101010101ULL;
constexpr std::uint64_t kHighBits = 0x80 * kEachByte;

std::uint64_t load8(const char *p)
{
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Eight ASCII bytes with their capital letters made small, all at once.
std::uint64_t foldAscii8(std::uint64_t v)
{
    const std::uint64_t low = v & (0x7F * kEachByte);
    const std::uint64_t fromA = low + (0x80 - 'A') * kEachByte;     // high bit where byte >= 'A'
    const std::uint64_t pastZ = low + (0x80 - 'Z' - 1) * kEachByte; // high bit where byte > 'Z'
    const std::uint64_t capital = fromA & ~pastZ & ~v & kHighBits;
    return v | (capital >> 2);
}

QString decode(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

} // namespace

void LookupRows::reset(int columns) { m_columns.assign(std::size_t(columns), Column{}); }

void LookupRows::reserve(std::size_t rows)
{
    for (Column &column : m_columns)
        column.ends.reserve(rows);
}

void LookupRows::append(int column, QStringView text)
{
    Column &c = m_columns[std::size_t(column)];
    appendUtf16AsUtf8(c.bytes, text);
    c.ends.push_back(std::uint32_t(c.bytes.size()));
}

void LookupRows::squeeze()
{
    for (Column &c : m_columns) {
        c.bytes.shrink_to_fit();
        c.ends.shrink_to_fit();
    }
}

void LookupRows::appendUtf8(int column, const char *data, std::size_t size)
{
    Column &c = m_columns[std::size_t(column)];
    c.bytes.append(data, size);
    c.ends.push_back(std::uint32_t(c.bytes.size()));
}

std::string_view LookupRows::utf8(int row, int column) const
{
    const Column &c = m_columns[std::size_t(column)];
    const std::uint32_t begin = row == 0 ? 0 : c.ends[std::size_t(row) - 1];
    return std::string_view(c.bytes).substr(begin, c.ends[std::size_t(row)] - begin);
}

LookupRows::ColumnView LookupRows::column(int column) const
{
    const Column &c = m_columns[std::size_t(column)];
    return ColumnView{c.bytes.data(), c.ends.data()};
}

QString LookupRows::text(int row, int column) const { return decode(utf8(row, column)); }

std::size_t LookupRows::textBytes() const
{
    std::size_t total = 0;
    for (const Column &c : m_columns)
        total += c.bytes.size();
    return total;
}

std::size_t LookupRows::memoryBytes() const
{
    std::size_t total = sizeof(*this) + m_columns.capacity() * sizeof(Column);
    for (const Column &c : m_columns)
        total += c.bytes.capacity() + c.ends.capacity() * sizeof(std::uint32_t);
    return total;
}

namespace folded {

bool startsWith(std::string_view cell, std::string_view prefix)
{
    while (!cell.empty() && isBlank(cell.front()))
        cell.remove_prefix(1);
    // Blanks at the end count only when the prefix reaches them.
    if (prefix.size() > cell.size())
        return false;
    std::size_t i = 0;
    while (i + 8 <= prefix.size()) {
        const std::uint64_t c = load8(cell.data() + i);
        const std::uint64_t p = load8(prefix.data() + i);
        if ((c | p) & kHighBits)
            break; // beyond ASCII: byte by byte below
        if (foldAscii8(c) != p)
            return false;
        i += 8;
    }
    for (; i < prefix.size(); ++i) {
        if (i >= cell.size())
            return false;
        const char c = cell[i];
        const char p = prefix[i];
        if ((c & 0x80) || (p & 0x80))
            break; // beyond ASCII: fold the rest properly
        if (foldAscii(c) != p)
            return false;
    }
    if (i == prefix.size())
        return true;
    return decode(cell.substr(i)).toCaseFolded().startsWith(decode(prefix.substr(i)));
}

int compare(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char x = a[i];
        const char y = b[i];
        if ((x & 0x80) || (y & 0x80))
            return decode(a.substr(i)).compare(decode(b.substr(i)), Qt::CaseInsensitive);
        const char fx = foldAscii(x);
        const char fy = foldAscii(y);
        if (fx != fy)
            return fx < fy ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace folded

} // namespace lookup
