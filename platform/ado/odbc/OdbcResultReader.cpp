#include "OdbcResultReader.h"

#include "OdbcHandle.h"
#include "OdbcTypeMap.h"
#include "platform/ado/LocalTime.h"

#include <QDateTime>
#include <QLocale>

#include <algorithm>
#include <cstring>
#include <memory>

namespace ado {

namespace {

using Fetch = OdbcColumnType::Fetch;
using platform::Variant;

QString stringAttribute(SQLHSTMT statement, int column, SQLUSMALLINT field)
{
    SQLWCHAR buffer[256] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLColAttributeW(statement, SQLUSMALLINT(column), field, buffer, SQLSMALLINT(sizeof(buffer)),
                                        &length, nullptr)))
        return QString();
    const qsizetype chars = std::min<qsizetype>(length / qsizetype(sizeof(SQLWCHAR)), 255);
    return fromOdbcText(buffer, chars);
}

// "-0012.3400" -> "-12.34": the digits that make the number, for comparing two renderings.
QByteArray plainDecimal(QByteArray text)
{
    text = text.trimmed();
    const bool negative = text.startsWith('-');
    if (negative || text.startsWith('+'))
        text.remove(0, 1);
    if (text.contains('.')) {
        while (text.endsWith('0'))
            text.chop(1);
        if (text.endsWith('.'))
            text.chop(1);
    }
    while (text.size() > 1 && text.startsWith('0') && text.at(1) != '.')
        text.remove(0, 1);
    if (text.isEmpty() || text == "0")
        return "0";
    return negative ? '-' + text : text;
}

// A decimal as the driver renders it: a double when the double reads back as every one of
// its digits, otherwise the exact text, since a double would round an amount of more than
// 15 significant digits (the money maximum among them).
Variant decimalValue(const QByteArray &driverText)
{
    const QByteArray exact = plainDecimal(driverText);
    bool ok = false;
    const double value = exact.toDouble(&ok);
    if (!ok)
        return Variant(QString::fromLatin1(exact));
    if (plainDecimal(QString::number(value, 'f', QLocale::FloatingPointShortest).toLatin1()) == exact)
        return Variant(value);
    return Variant(QString::fromLatin1(exact));
}

QTime timeOf(int hour, int minute, int second, SQLUINTEGER fractionNs)
{
    return QTime(hour, minute, second, int(fractionNs / 1000000));
}

} // namespace

bool OdbcResultReader::describe(std::vector<ColumnInfo> &columns)
{
    SQLSMALLINT count = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(m_statement, &count)))
        return false;
    for (int i = 1; i <= count; ++i) {
        SQLWCHAR name[512] = {};
        SQLSMALLINT nameLength = 0, sqlType = 0, scale = 0, nullable = 0;
        SQLULEN size = 0;
        if (!SQL_SUCCEEDED(SQLDescribeColW(m_statement, SQLUSMALLINT(i), name, SQLSMALLINT(std::size(name)),
                                           &nameLength, &sqlType, &size, &scale, &nullable)))
            return false;
        OdbcColumnDescription d{sqlType, stringAttribute(m_statement, i, SQL_DESC_TYPE_NAME), (long long)size, scale};
        ColumnInfo c;
        c.Name = fromOdbcText(name, std::min<qsizetype>(nameLength, qsizetype(std::size(name)) - 1));
        c.Nullable = nullable != SQL_NO_NULLS;
        c.BaseTable = stringAttribute(m_statement, i, SQL_DESC_BASE_TABLE_NAME);
        c.BaseColumn = stringAttribute(m_statement, i, SQL_DESC_BASE_COLUMN_NAME);
        std::optional<OdbcColumnType> declared;
        if (m_declared && !c.BaseTable.isEmpty() && !c.BaseColumn.isEmpty())
            declared = OdbcTypeMap::fromDeclared(m_declared(c.BaseTable, c.BaseColumn));
        const OdbcColumnType t = declared ? *declared : OdbcTypeMap::map(m_platform, d);
        c.Type = t.type;
        c.DefinedSize = t.definedSize;
        columns.push_back(c);
        m_fetch.push_back(int(t.fetch));
    }
    return true;
}

// Reads a long value piece by piece with SQLGetData into `append`. `terminator` is the room
// the driver keeps for a closing NUL (character data only). False on a driver error.
template <typename Append>
bool readPieces(SQLHSTMT statement, int column, SQLSMALLINT cType, SQLLEN terminator, bool &isNull, Append append)
{
    alignas(SQLWCHAR) char buffer[8192];
    const SQLLEN room = SQLLEN(sizeof(buffer)) - terminator;
    isNull = false;
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = SQLGetData(statement, SQLUSMALLINT(column), cType, buffer, sizeof(buffer), &indicator);
        if (rc == SQL_NO_DATA)
            return true;
        if (!SQL_SUCCEEDED(rc))
            return false;
        if (indicator == SQL_NULL_DATA) {
            isNull = true;
            return true;
        }
        append(buffer, indicator == SQL_NO_TOTAL || indicator > room ? room : indicator);
        if (rc == SQL_SUCCESS)
            return true;
    }
}

bool OdbcResultReader::fetchText(int column, Variant &value)
{
    QString text;
    bool isNull = false;
    const bool ok = readPieces(
        m_statement, column, SQL_C_WCHAR, SQLLEN(sizeof(SQLWCHAR)), isNull, [&](const char *piece, SQLLEN bytes) {
            text +=
                fromOdbcText(reinterpret_cast<const SQLWCHAR *>(piece), qsizetype(bytes) / qsizetype(sizeof(SQLWCHAR)));
        });
    if (ok)
        value = isNull ? Variant::null() : Variant(text);
    return ok;
}

bool OdbcResultReader::fetchBinary(int column, Variant &value)
{
    QByteArray bytes;
    bool isNull = false;
    const bool ok = readPieces(m_statement, column, SQL_C_BINARY, 0, isNull,
                               [&](const char *piece, SQLLEN size) { bytes.append(piece, qsizetype(size)); });
    if (ok)
        value = isNull ? Variant::null() : Variant(bytes);
    return ok;
}

bool OdbcResultReader::fetchValue(int column, Variant &value)
{
    SQLLEN indicator = 0;
    auto get = [&](SQLSMALLINT cType, void *target, SQLLEN size) {
        return SQL_SUCCEEDED(SQLGetData(m_statement, SQLUSMALLINT(column), cType, target, size, &indicator));
    };
    auto isNull = [&] { return indicator == SQL_NULL_DATA; };
    switch (Fetch(m_fetch[column - 1])) {
    case Fetch::Text:
        return fetchText(column, value);
    case Fetch::Binary:
        return fetchBinary(column, value);
    case Fetch::Integer: {
        SQLBIGINT v = 0;
        if (!get(SQL_C_SBIGINT, &v, sizeof(v)))
            return false;
        value = isNull() ? Variant::null() : Variant((long long)v);
        return true;
    }
    case Fetch::Double: {
        double v = 0;
        if (!get(SQL_C_DOUBLE, &v, sizeof(v)))
            return false;
        value = isNull() ? Variant::null() : Variant(v);
        return true;
    }
    case Fetch::Decimal: {
        // As text: the driver's own rendering keeps every digit.
        char v[80] = {};
        if (!get(SQL_C_CHAR, v, sizeof(v)))
            return false;
        value = isNull() ? Variant::null() : decimalValue(QByteArray(v));
        return true;
    }
    case Fetch::Bit: {
        // As a number: a bit kept in a smallint may hold VB's True (-1).
        SQLBIGINT v = 0;
        if (!get(SQL_C_SBIGINT, &v, sizeof(v)))
            return false;
        value = isNull() ? Variant::null() : Variant(v != 0);
        return true;
    }
    case Fetch::Timestamp: {
        SQL_TIMESTAMP_STRUCT v{};
        if (!get(SQL_C_TYPE_TIMESTAMP, &v, sizeof(v)))
            return false;
        value = isNull()
            ? Variant::null()
            : Variant(localDateTime(QDate(v.year, v.month, v.day), timeOf(v.hour, v.minute, v.second, v.fraction)));
        return true;
    }
    case Fetch::Date: {
        SQL_DATE_STRUCT v{};
        if (!get(SQL_C_TYPE_DATE, &v, sizeof(v)))
            return false;
        value = isNull() ? Variant::null() : Variant(localDateTime(QDate(v.year, v.month, v.day)));
        return true;
    }
    case Fetch::Time: {
        SQL_TIME_STRUCT v{};
        if (!get(SQL_C_TYPE_TIME, &v, sizeof(v)))
            return false;
        // A time alone reads as VB does: on day zero, 30/12/1899.
        value = isNull() ? Variant::null()
                         : Variant(localDateTime(QDate(1899, 12, 30), timeOf(v.hour, v.minute, v.second, 0)));
        return true;
    }
    }
    return false;
}

namespace {

constexpr size_t kBlockRows = 1000;             // rows a fetch brings at most
constexpr size_t kBlockBytes = size_t(8) << 20; // ... and bytes of bound arrays at most
constexpr long kLongestBoundText = 4000;        // longer text is read value by value

// Puts the statement back as a single-row cursor with nothing bound, as it is reused.
struct BlockCursor {
    SQLHSTMT statement;
    ~BlockCursor()
    {
        SQLFreeStmt(statement, SQL_UNBIND);
        SQLSetStmtAttr(statement, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(SQLULEN(1)), 0);
        SQLSetStmtAttr(statement, SQL_ATTR_ROWS_FETCHED_PTR, nullptr, 0);
        SQLSetStmtAttr(statement, SQL_ATTR_ROW_STATUS_PTR, nullptr, 0);
    }
};

} // namespace

// A column read into an array: `width` bytes per row.
struct OdbcResultReader::BoundColumn {
    Fetch fetch = Fetch::Text;
    SQLSMALLINT cType = SQL_C_WCHAR;
    SQLLEN width = 0;
    // Left uninitialised: the driver fills the rows it fetches and only those are read, so a
    // one-row answer touches one row of the block, not megabytes of zeroes.
    std::unique_ptr<char[]> data;
    std::unique_ptr<SQLLEN[]> indicators;
};

bool OdbcResultReader::bindable(const ColumnInfo &column, int fetch, BoundColumn &bound) const
{
    bound.fetch = Fetch(fetch);
    switch (bound.fetch) {
    case Fetch::Integer:
    case Fetch::Bit:
        bound.cType = SQL_C_SBIGINT, bound.width = sizeof(SQLBIGINT);
        return true;
    case Fetch::Double:
        bound.cType = SQL_C_DOUBLE, bound.width = sizeof(double);
        return true;
    case Fetch::Decimal:
        bound.cType = SQL_C_CHAR, bound.width = 80; // as value by value
        return true;
    case Fetch::Timestamp:
        bound.cType = SQL_C_TYPE_TIMESTAMP, bound.width = sizeof(SQL_TIMESTAMP_STRUCT);
        return true;
    case Fetch::Date:
        bound.cType = SQL_C_TYPE_DATE, bound.width = sizeof(SQL_DATE_STRUCT);
        return true;
    case Fetch::Time:
        bound.cType = SQL_C_TYPE_TIME, bound.width = sizeof(SQL_TIME_STRUCT);
        return true;
    case Fetch::Text:
        if (column.DefinedSize <= 0 || column.DefinedSize > kLongestBoundText)
            return false;
        // a character outside the BMP takes two units; one more for the closing NUL
        bound.cType = SQL_C_WCHAR, bound.width = SQLLEN(2 * column.DefinedSize + 1) * SQLLEN(sizeof(SQLWCHAR));
        return true;
    case Fetch::Binary:
        break;
    }
    return false;
}

// A text longer than its column said: read whole, value by value, from its row of the block.
bool OdbcResultReader::rereadLong(size_t row, int column, Variant &value)
{
    if (!SQL_SUCCEEDED(SQLSetPos(m_statement, SQLSETPOSIROW(row + 1), SQL_POSITION, SQL_LOCK_NO_CHANGE)))
        return false;
    return fetchText(column, value);
}

bool OdbcResultReader::cellValue(BoundColumn &c, size_t row, int columnNumber, Variant &value)
{
    const SQLLEN indicator = c.indicators[row];
    if (indicator == SQL_NULL_DATA) {
        value = Variant::null();
        return true;
    }
    const char *cell = c.data.get() + size_t(c.width) * row;
    switch (c.fetch) {
    case Fetch::Integer: {
        SQLBIGINT v;
        std::memcpy(&v, cell, sizeof v);
        value = Variant((long long)v);
        return true;
    }
    case Fetch::Bit: {
        SQLBIGINT v;
        std::memcpy(&v, cell, sizeof v);
        value = Variant(v != 0);
        return true;
    }
    case Fetch::Double: {
        double v;
        std::memcpy(&v, cell, sizeof v);
        value = Variant(v);
        return true;
    }
    case Fetch::Decimal:
        value = decimalValue(QByteArray(cell, qstrnlen(cell, size_t(c.width))));
        return true;
    case Fetch::Timestamp: {
        SQL_TIMESTAMP_STRUCT v;
        std::memcpy(&v, cell, sizeof v);
        value = Variant(localDateTime(QDate(v.year, v.month, v.day), timeOf(v.hour, v.minute, v.second, v.fraction)));
        return true;
    }
    case Fetch::Date: {
        SQL_DATE_STRUCT v;
        std::memcpy(&v, cell, sizeof v);
        value = Variant(localDateTime(QDate(v.year, v.month, v.day)));
        return true;
    }
    case Fetch::Time: {
        SQL_TIME_STRUCT v;
        std::memcpy(&v, cell, sizeof v);
        value = Variant(localDateTime(QDate(1899, 12, 30), timeOf(v.hour, v.minute, v.second, 0)));
        return true;
    }
    case Fetch::Text: {
        const SQLLEN room = c.width - SQLLEN(sizeof(SQLWCHAR));
        if (indicator == SQL_NO_TOTAL || indicator > room)
            return rereadLong(row, columnNumber, value);
        value = Variant(fromOdbcText(reinterpret_cast<const SQLWCHAR *>(cell), qsizetype(indicator) / 2));
        return true;
    }
    case Fetch::Binary:
        break;
    }
    return false;
}

// Value by value: one SQLGetData per value.
bool OdbcResultReader::readRows(ResultSet &out)
{
    for (;;) {
        const SQLRETURN rc = SQLFetch(m_statement);
        if (rc == SQL_NO_DATA)
            return true;
        if (!SQL_SUCCEEDED(rc))
            return false;
        Row row(out.columns.size());
        for (int i = 1; i <= int(out.columns.size()); ++i)
            if (!fetchValue(i, row[i - 1]))
                return false;
        out.rows.push_back(std::move(row));
    }
}

// Block by block into bound arrays, column-wise; false to read value by value when a column
// cannot be bound or the driver takes no row array.
bool OdbcResultReader::readBlocks(ResultSet &out)
{
    const size_t n = out.columns.size();
    std::vector<BoundColumn> columns(n);
    size_t rowBytes = 0;
    for (size_t i = 0; i < n; ++i) {
        if (!bindable(out.columns[i], m_fetch[i], columns[i]))
            return readRows(out);
        rowBytes += size_t(columns[i].width) + sizeof(SQLLEN);
    }
    const size_t rows = std::clamp<size_t>(kBlockBytes / std::max<size_t>(rowBytes, 1), 1, kBlockRows);
    BlockCursor restore{m_statement};
    SQLULEN fetched = 0;
    std::vector<SQLUSMALLINT> status(rows);
    if (!SQL_SUCCEEDED(SQLSetStmtAttr(m_statement, SQL_ATTR_ROW_BIND_TYPE,
                                      reinterpret_cast<SQLPOINTER>(SQLULEN(SQL_BIND_BY_COLUMN)), 0))
        || !SQL_SUCCEEDED(
            SQLSetStmtAttr(m_statement, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(SQLULEN(rows)), 0)))
        return readRows(out);
    SQLSetStmtAttr(m_statement, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0);
    SQLSetStmtAttr(m_statement, SQL_ATTR_ROW_STATUS_PTR, status.data(), 0);
    for (size_t i = 0; i < n; ++i) {
        BoundColumn &c = columns[i];
        c.data = std::make_unique_for_overwrite<char[]>(size_t(c.width) * rows);
        c.indicators = std::make_unique_for_overwrite<SQLLEN[]>(rows);
        if (!SQL_SUCCEEDED(
                SQLBindCol(m_statement, SQLUSMALLINT(i + 1), c.cType, c.data.get(), c.width, c.indicators.get())))
            return false;
    }
    for (;;) {
        const SQLRETURN rc = SQLFetch(m_statement);
        if (rc == SQL_NO_DATA)
            return true;
        if (!SQL_SUCCEEDED(rc))
            return false;
        for (size_t r = 0; r < size_t(fetched); ++r) {
            if (status[r] == SQL_ROW_NOROW)
                continue;
            if (status[r] == SQL_ROW_ERROR)
                return false;
            Row row(n);
            for (size_t i = 0; i < n; ++i)
                if (!cellValue(columns[i], r, int(i) + 1, row[i]))
                    return false;
            out.rows.push_back(std::move(row));
        }
    }
}

bool OdbcResultReader::read(ResultSet &out)
{
    out.hasRows = true;
    out.columns.clear();
    out.rows.clear();
    m_fetch.clear();
    if (!describe(out.columns))
        return false;
    return readBlocks(out);
}

} // namespace ado
