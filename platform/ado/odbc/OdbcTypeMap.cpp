#include "OdbcTypeMap.h"

#include "platform/ado/sqlite/SqliteTypeMap.h"

#include <limits>
#include <sql.h>
#include <sqlext.h>

namespace ado {

namespace {

using Fetch = OdbcColumnType::Fetch;

constexpr long LongSize = std::numeric_limits<int>::max(); // ADO's size of long data

long clampSize(long long size)
{
    if (size <= 0 || size > LongSize)
        return LongSize;
    return long(size);
}

OdbcColumnType text(DataType type, long long size)
{
    if (type == adLongVarChar)
        return {type, LongSize, Fetch::Text};
    if (type == adLongVarWChar)
        return {type, LongSize / 2, Fetch::Text};
    return {type, clampSize(size), Fetch::Text};
}

// The Unicode psqlODBC driver reports every text column as a wide type; PostgreSQL
// has no national types, so the engine's own type name decides.
bool postgreSqlText(const OdbcColumnDescription &c, OdbcColumnType &out)
{
    const QString name = c.typeName.toLower();
    if (name == QLatin1String("bpchar") || name == QLatin1String("char"))
        out = text(adChar, c.size);
    else if (name == QLatin1String("varchar"))
        out = c.size > 0 && c.size < LongSize ? text(adVarChar, c.size) : text(adLongVarChar, 0);
    else if (name == QLatin1String("text") || name == QLatin1String("citext"))
        out = text(adLongVarChar, 0);
    else
        return false;
    return true;
}

OdbcColumnType textColumn(OdbcPlatform platform, const OdbcColumnDescription &c)
{
    OdbcColumnType out;
    if (platform == OdbcPlatform::PostgreSQL && postgreSqlText(c, out))
        return out;
    switch (c.sqlType) {
    case SQL_CHAR:
        return text(adChar, c.size);
    case SQL_WCHAR:
        return text(platform == OdbcPlatform::PostgreSQL ? adChar : adWChar, c.size);
    case SQL_VARCHAR:
        return text(adVarChar, c.size);
    case SQL_WVARCHAR:
        return text(platform == OdbcPlatform::PostgreSQL ? adVarChar : adVarWChar, c.size);
    case SQL_LONGVARCHAR:
        return text(adLongVarChar, c.size);
    default: // SQL_WLONGVARCHAR
        return text(platform == OdbcPlatform::PostgreSQL ? adLongVarChar : adLongVarWChar, c.size);
    }
}

bool isMoney(OdbcPlatform platform, const OdbcColumnDescription &c)
{
    const QString name = c.typeName.toLower();
    if (name == QLatin1String("money") || name == QLatin1String("smallmoney"))
        return true;
    // PostgreSQL keeps MONEY / SMALLMONEY as numeric(19,4) / (10,4): its money type formats by
    // locale.
    return platform == OdbcPlatform::PostgreSQL && c.scale == 4 && (c.size == 19 || c.size == 10);
}

OdbcColumnType numericColumn(OdbcPlatform platform, const OdbcColumnDescription &c)
{
    switch (c.sqlType) {
    case SQL_INTEGER:
        return {adInteger, 4, Fetch::Integer};
    case SQL_SMALLINT:
        return {adSmallInt, 2, Fetch::Integer};
    case SQL_TINYINT:
        return {adUnsignedTinyInt, 1, Fetch::Integer};
    case SQL_BIGINT:
        return {adBigInt, 8, Fetch::Integer};
    case SQL_REAL:
        return {adSingle, 4, Fetch::Double};
    case SQL_FLOAT:
    case SQL_DOUBLE:
        return {adDouble, 8, Fetch::Double};
    case SQL_BIT:
        return {adBoolean, 2, Fetch::Bit};
    default: // SQL_DECIMAL, SQL_NUMERIC
        if (isMoney(platform, c))
            return {adCurrency, 8, Fetch::Decimal};
        return {adNumeric, 19, Fetch::Decimal};
    }
}

} // namespace

OdbcColumnType OdbcTypeMap::map(OdbcPlatform platform, const OdbcColumnDescription &c)
{
    switch (c.sqlType) {
    case SQL_CHAR:
    case SQL_WCHAR:
    case SQL_VARCHAR:
    case SQL_WVARCHAR:
    case SQL_LONGVARCHAR:
    case SQL_WLONGVARCHAR:
        return textColumn(platform, c);
    case SQL_INTEGER:
    case SQL_SMALLINT:
    case SQL_TINYINT:
    case SQL_BIGINT:
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_BIT:
    case SQL_DECIMAL:
    case SQL_NUMERIC:
        return numericColumn(platform, c);
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
        return {adDBTimeStamp, 8, Fetch::Timestamp};
    case SQL_TYPE_DATE:
    case SQL_DATE:
        return {adDBDate, 6, Fetch::Date};
    case SQL_TYPE_TIME:
    case SQL_TIME:
    case -154: // SQL Server's time(n) (SQL_SS_TIME2)
        return {adDBTime, 6, Fetch::Time};
    case SQL_BINARY:
        return {adBinary, clampSize(c.size), Fetch::Binary};
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY:
        return {adLongVarBinary, LongSize, Fetch::Binary};
    default: // GUIDs, intervals, XML and the like read as text
        return text(adVarWChar, c.size);
    }
}

std::optional<OdbcColumnType> OdbcTypeMap::fromDeclared(const QString &declared)
{
    if (declared.trimmed().isEmpty())
        return std::nullopt;
    const SqliteColumnType t = SqliteTypeMap::fromDeclared(declared.toUtf8().constData());
    OdbcColumnType out{t.type, t.definedSize, Fetch::Text};
    switch (t.valueClass) {
    case ValueClass::Dynamic:
        return std::nullopt;
    case ValueClass::Int:
        out.fetch = Fetch::Integer;
        break;
    case ValueClass::Double:
        out.fetch = t.type == adCurrency || t.type == adNumeric || t.type == adDecimal ? Fetch::Decimal : Fetch::Double;
        break;
    case ValueClass::Bool:
        out.fetch = Fetch::Bit;
        break;
    case ValueClass::Text:
        out.fetch = Fetch::Text;
        break;
    case ValueClass::Date:
        out.fetch = t.type == adDBDate ? Fetch::Date : Fetch::Timestamp;
        break;
    case ValueClass::Time:
        out.fetch = Fetch::Time;
        break;
    case ValueClass::Bytes:
        out.fetch = Fetch::Binary;
        break;
    }
    return out;
}

} // namespace ado
