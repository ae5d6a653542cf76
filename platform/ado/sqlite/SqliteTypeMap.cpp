#include "SqliteTypeMap.h"

#include <QHash>
#include <QMutex>

#include <cstring>

namespace ado {

namespace {

constexpr long kLongText = 2147483647;

struct Entry {
    const char *name;
    DataType type;
    long size;  // size when no "(n)" is given
    bool sized; // "(n)" sets the size
    ValueClass value;
};

// SQL Server's names as the schema scripts write them.
const Entry kTypes[] = {
    {"CHAR", adChar, 1, true, ValueClass::Text},
    {"CHARACTER", adChar, 1, true, ValueClass::Text},
    {"VARCHAR", adVarChar, 8000, true, ValueClass::Text},
    {"NCHAR", adWChar, 1, true, ValueClass::Text},
    {"NVARCHAR", adVarWChar, 4000, true, ValueClass::Text},
    {"TEXT", adLongVarChar, kLongText, false, ValueClass::Text},
    {"NTEXT", adLongVarWChar, kLongText / 2, false, ValueClass::Text},
    {"INT", adInteger, 4, false, ValueClass::Int},
    {"INTEGER", adInteger, 4, false, ValueClass::Int},
    {"SMALLINT", adSmallInt, 2, false, ValueClass::Int},
    {"TINYINT", adUnsignedTinyInt, 1, false, ValueClass::Int},
    {"BIGINT", adBigInt, 8, false, ValueClass::Int},
    {"REAL", adSingle, 4, false, ValueClass::Double},
    {"FLOAT", adDouble, 8, false, ValueClass::Double},
    {"DOUBLE", adDouble, 8, false, ValueClass::Double},
    {"MONEY", adCurrency, 8, false, ValueClass::Double},
    {"SMALLMONEY", adCurrency, 8, false, ValueClass::Double},
    {"DECIMAL", adNumeric, 19, false, ValueClass::Double},
    {"NUMERIC", adNumeric, 19, false, ValueClass::Double},
    {"BIT", adBoolean, 2, false, ValueClass::Bool},
    {"BOOLEAN", adBoolean, 2, false, ValueClass::Bool},
    {"DATETIME", adDBTimeStamp, 8, false, ValueClass::Date},
    {"SMALLDATETIME", adDBTimeStamp, 8, false, ValueClass::Date},
    {"DATETIME2", adDBTimeStamp, 8, false, ValueClass::Date},
    {"TIMESTAMP", adDBTimeStamp, 8, false, ValueClass::Date},
    {"DATE", adDBDate, 6, false, ValueClass::Date},
    {"TIME", adDBTime, 6, false, ValueClass::Time},
    {"BLOB", adLongVarBinary, kLongText, false, ValueClass::Bytes},
    {"IMAGE", adLongVarBinary, kLongText, false, ValueClass::Bytes},
    {"VARBINARY", adLongVarBinary, kLongText, false, ValueClass::Bytes},
    {"BINARY", adBinary, 1, true, ValueClass::Bytes},
};

// "NVARCHAR ( 30 )" -> base "NVARCHAR", size 30 (or -1 for none / MAX).
SqliteColumnType lookup(const QByteArray &declared)
{
    const QByteArray text = declared.trimmed().toUpper();
    const qsizetype paren = text.indexOf('(');
    QByteArray base = (paren < 0 ? text : text.left(paren)).trimmed();
    base = base.split(' ').value(0); // "VARCHAR COLLATE" never reaches here, but "DOUBLE PRECISION" does
    long size = -1;
    bool isMax = false;
    if (paren >= 0) {
        const QByteArray inner = text.mid(paren + 1, text.indexOf(')', paren) - paren - 1).trimmed();
        isMax = inner == "MAX";
        bool ok = false;
        size = inner.split(',').value(0).trimmed().toLong(&ok);
        if (!ok)
            size = -1;
    }
    for (const Entry &e : kTypes) {
        if (base != e.name)
            continue;
        SqliteColumnType t{e.type, e.size, e.value};
        if (e.sized && size > 0)
            t.definedSize = size;
        if (isMax && e.sized) { // VARCHAR(MAX) and friends are long text (national: in 2-byte characters)
            const bool national = e.type == adVarWChar || e.type == adWChar;
            t = {national ? adLongVarWChar : adLongVarChar, national ? kLongText / 2 : kLongText, ValueClass::Text};
        }
        return t;
    }
    return {};
}

} // namespace

SqliteColumnType SqliteTypeMap::fromDeclared(const char *declared)
{
    if (!declared || !*declared)
        return {};
    // Few distinct declarations exist; remember them (called per result column).
    static QHash<QByteArray, SqliteColumnType> cache;
    static QMutex mutex;
    const QByteArray key = QByteArray::fromRawData(declared, qsizetype(std::strlen(declared)));
    QMutexLocker lock(&mutex);
    auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return *it;
    const SqliteColumnType t = lookup(QByteArray(declared));
    cache.insert(QByteArray(declared), t);
    return t;
}

} // namespace ado
