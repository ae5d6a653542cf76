#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>

using namespace ado;
using platform::Variant;
using testsupport::DatabaseTest;

namespace {

class TypesTest : public DatabaseTest {};

struct TypeCase {
    const char *declared;
    DataType type;
    long size;
};

// Declared type (SQL Server's spelling) -> ADO type number and defined size.
const TypeCase kTypes[] = {
    {"CHAR(5)", adChar, 5},
    {"VARCHAR(30)", adVarChar, 30},
    {"NVARCHAR(40)", adVarWChar, 40},
    {"NCHAR(3)", adWChar, 3},
    {"TEXT", adLongVarChar, 2147483647},
    {"INT", adInteger, 4},
    {"INTEGER", adInteger, 4},
    {"SMALLINT", adSmallInt, 2},
    {"TINYINT", adUnsignedTinyInt, 1},
    {"BIGINT", adBigInt, 8},
    {"REAL", adSingle, 4},
    {"FLOAT", adDouble, 8},
    {"MONEY", adCurrency, 8},
    {"DECIMAL(18,4)", adNumeric, 19},
    {"NUMERIC(10,2)", adNumeric, 19},
    {"BIT", adBoolean, 2},
    {"DATETIME", adDBTimeStamp, 8},
    {"SMALLDATETIME", adDBTimeStamp, 8},
    {"DATE", adDBDate, 6},
    {"TIME", adDBTime, 6},
    {"IMAGE", adLongVarBinary, 2147483647},
    {"VARCHAR(MAX)", adLongVarChar, 2147483647},
    {"NVARCHAR(MAX)", adLongVarWChar, 1073741823},
    {"VARBINARY(MAX)", adLongVarBinary, 2147483647},
};

TEST_P(TypesTest, DeclaredTypesMapToAdoNumbersAndSizes)
{
    QStringList columns;
    for (size_t i = 0; i < std::size(kTypes); ++i)
        columns << QStringLiteral("C%1 %2").arg(i).arg(QString::fromLatin1(kTypes[i].declared));
    recreateTable(QStringLiteral("T_TIPOS"), columns.join(QStringLiteral(", ")));
    auto rs = cnn().Execute(QStringLiteral("SELECT * FROM T_TIPOS"));
    ASSERT_EQ(rs->fields().Count(), int(std::size(kTypes)));
    for (size_t i = 0; i < std::size(kTypes); ++i) {
        const Field f = rs->field(int(i));
        EXPECT_EQ(f.Type(), kTypes[i].type) << kTypes[i].declared;
        EXPECT_EQ(f.DefinedSize(), kTypes[i].size) << kTypes[i].declared;
    }
    const auto schema = cnn().Columns(QStringLiteral("T_TIPOS"));
    ASSERT_EQ(schema.size(), std::size(kTypes));
    for (size_t i = 0; i < std::size(kTypes); ++i) {
        EXPECT_EQ(schema[i].Type, kTypes[i].type) << "schema " << kTypes[i].declared;
        EXPECT_EQ(schema[i].DefinedSize, kTypes[i].size) << "schema " << kTypes[i].declared;
    }
}

TEST_P(TypesTest, ValuesComeBackTypedByTheDeclaredType)
{
    recreateTable(QStringLiteral("T_VAL"),
                  QStringLiteral("ID INT PRIMARY KEY, NOMBRE VARCHAR(20), PRECIO MONEY, PESO FLOAT, "
                                 "ACTIVO BIT, ALTA DATETIME, NADA VARCHAR(5)"));
    cnn().Execute(QStringLiteral("INSERT INTO T_VAL VALUES (7, 'Ñandú', 12.5, 0.25, 1, '31/12/20 10:30', NULL)"));
    auto rs = cnn().Execute(QStringLiteral("SELECT * FROM T_VAL"));
    using K = Variant::Kind;
    EXPECT_EQ(rs->value(QStringLiteral("ID")).kind(), K::Int);
    EXPECT_EQ(rs->value(QStringLiteral("ID")).toInt64(), 7);
    EXPECT_EQ(rs->value(QStringLiteral("NOMBRE")), Variant(QStringLiteral("Ñandú")));
    EXPECT_EQ(rs->value(QStringLiteral("PRECIO")).kind(), K::Double);
    EXPECT_DOUBLE_EQ(rs->value(QStringLiteral("PRECIO")).toDouble(), 12.5);
    EXPECT_DOUBLE_EQ(rs->value(QStringLiteral("PESO")).toDouble(), 0.25);
    EXPECT_EQ(rs->value(QStringLiteral("ACTIVO")).kind(), K::Bool);
    EXPECT_TRUE(rs->value(QStringLiteral("ACTIVO")).toBool());
    EXPECT_EQ(rs->value(QStringLiteral("ALTA")).kind(), K::DateTime);
    EXPECT_EQ(rs->value(QStringLiteral("ALTA")).toDateTime(), QDateTime(QDate(2020, 12, 31), QTime(10, 30)));
    EXPECT_TRUE(rs->value(QStringLiteral("NADA")).isNull());
}

TEST_P(TypesTest, ExpressionColumnsTakeTheirTypeFromTheirValue)
{
    recreateTable(QStringLiteral("T_EXP"), QStringLiteral("ID INT, FECHA DATETIME"));
    cnn().Execute(QStringLiteral("INSERT INTO T_EXP VALUES (1, '01/02/2021')"));
    cnn().Execute(QStringLiteral("INSERT INTO T_EXP VALUES (2, '31/12/2020')"));
    auto rs = cnn().Execute(QStringLiteral("SELECT COUNT(*) AS N, MAX(ID) AS MAYOR, 'abc' AS T, "
                                           "MAX(FECHA) AS ULTIMA FROM T_EXP"));
    EXPECT_TRUE(rs->field(QStringLiteral("N")).Type() == adInteger
                || rs->field(QStringLiteral("N")).Type() == adBigInt);
    EXPECT_EQ(rs->value(QStringLiteral("N")).toInt64(), 2);
    EXPECT_EQ(rs->value(QStringLiteral("MAYOR")).toInt64(), 2);
    EXPECT_TRUE(rs->field(QStringLiteral("T")).Type() == adVarChar
                || rs->field(QStringLiteral("T")).Type() == adLongVarChar);
    EXPECT_EQ(rs->value(QStringLiteral("T")).toString(), QStringLiteral("abc"));
    EXPECT_EQ(rs->value(QStringLiteral("ULTIMA")).toDateTime(), QDateTime(QDate(2021, 2, 1), QTime(0, 0)));
}

// Dates as the system writes them read back as the same date, day first.
TEST_P(TypesTest, DatesRoundTripDayFirst)
{
    recreateTable(QStringLiteral("T_FEC"), QStringLiteral("ID INT PRIMARY KEY, FECHA DATETIME, DIA DATE"));
    struct DateCase {
        const char *literal;
        QDateTime expected;
    };
    const DateCase cases[] = {
        {"31/12/2020", QDateTime(QDate(2020, 12, 31), QTime(0, 0))},
        {"01/02/2021", QDateTime(QDate(2021, 2, 1), QTime(0, 0))},
        {"31/12/20 10:30", QDateTime(QDate(2020, 12, 31), QTime(10, 30))},
        {"01/02/21", QDateTime(QDate(2021, 2, 1), QTime(0, 0))},
        {"2021-02-01 08:05:09", QDateTime(QDate(2021, 2, 1), QTime(8, 5, 9))},
    };
    int id = 0;
    for (const DateCase &c : cases)
        cnn().Execute(
            QStringLiteral("INSERT INTO T_FEC (ID, FECHA, DIA) VALUES (%1, '%2', '%3')")
                .arg(++id)
                .arg(QString::fromLatin1(c.literal), QString::fromLatin1(c.literal).section(QLatin1Char(' '), 0, 0)));
    auto rs = cnn().Execute(QStringLiteral("SELECT ID, FECHA, DIA FROM T_FEC ORDER BY ID"));
    for (const DateCase &c : cases) {
        ASSERT_FALSE(rs->EOF());
        EXPECT_EQ(rs->value(QStringLiteral("FECHA")).toDateTime(), c.expected) << c.literal;
        EXPECT_EQ(rs->value(QStringLiteral("DIA")).toDateTime().date(), c.expected.date()) << c.literal;
        rs->MoveNext();
    }
    // sorted by value, not by text
    rs = cnn().Execute(QStringLiteral("SELECT ID FROM T_FEC ORDER BY FECHA, ID"));
    QList<qint64> order;
    for (; !rs->EOF(); rs->MoveNext())
        order << rs->field(0).Value().toInt64();
    EXPECT_EQ(order, (QList<qint64>{1, 3, 2, 4, 5}));
    // updates are stored the same way (the stored form does not add to the count)
    long affected = 0;
    cnn().Execute(QStringLiteral("UPDATE T_FEC SET FECHA = '05/06/2022 07:08' WHERE ID = 1"), &affected);
    EXPECT_EQ(affected, 1);
    rs = cnn().Execute(QStringLiteral("SELECT FECHA FROM T_FEC WHERE ID = 1"));
    EXPECT_EQ(rs->field(0).Value().toDateTime(), QDateTime(QDate(2022, 6, 5), QTime(7, 8)));
}

// Compared with literals written the system's way, dates compare by value, not as text
// (on SQLite through the VKDATE collation the translator gives date columns).
TEST_P(TypesTest, DatesCompareWithLiteralsByValue)
{
    recreateTable(QStringLiteral("T_FEC"), QStringLiteral("ID INT PRIMARY KEY, FECHA DATETIME, DIA DATE"));
    const char *values[] = {"31/12/2020", "01/02/2021", "31/12/20 10:30", "01/02/21", "2021-02-01 08:05:09"};
    int id = 0;
    for (const char *v : values)
        cnn().Execute(QStringLiteral("INSERT INTO T_FEC (ID, FECHA, DIA) VALUES (%1, '%2', '%3')")
                          .arg(++id)
                          .arg(QString::fromLatin1(v), QString::fromLatin1(v).section(QLatin1Char(' '), 0, 0)));
    struct RangeCase {
        const char *condition;
        qint64 expected;
    };
    const RangeCase ranges[] = {
        {"FECHA >= '01/02/2021'", 3},    {"FECHA < '2021-01-01'", 2},
        {"FECHA = '31/12/20 10:30'", 1}, {"FECHA BETWEEN '31/12/2020' AND '01/02/2021'", 4},
        {"DIA = '01/02/2021'", 3},
    };
    for (const RangeCase &c : ranges) {
        auto rs = cnn().Execute(QStringLiteral("SELECT COUNT(*) FROM T_FEC WHERE ") + QString::fromLatin1(c.condition));
        EXPECT_EQ(rs->field(0).Value().toInt64(), c.expected) << c.condition;
    }
}

// SQL Server's default collation: case and trailing blanks do not count.
TEST_P(TypesTest, TextComparesIgnoringCaseAndTrailingBlanks)
{
    recreateTable(QStringLiteral("T_TXT"), QStringLiteral("ID INT PRIMARY KEY, NOMBRE VARCHAR(30)"));
    cnn().Execute(QStringLiteral("INSERT INTO T_TXT VALUES (1, 'Ñandú Azul')"));
    cnn().Execute(QStringLiteral("INSERT INTO T_TXT VALUES (2, 'abc  ')"));
    struct CompareCase {
        const char *condition;
        long expected;
    };
    const CompareCase cases[] = {
        {"NOMBRE = 'ñandú azul'", 1}, {"NOMBRE = 'ÑANDÚ AZUL'", 1}, {"NOMBRE = 'ABC'", 2},
        {"NOMBRE = 'abc   '", 2},     {"NOMBRE LIKE 'ñan%'", 1},    {"NOMBRE LIKE 'AB%'", 2},
        {"NOMBRE = 'nandu azul'", 0},
    };
    for (const CompareCase &c : cases) {
        auto rs = cnn().Execute(QStringLiteral("SELECT ID FROM T_TXT WHERE ") + QString::fromUtf8(c.condition));
        const long found = rs->EOF() ? 0 : long(rs->field(0).Value().toInt64());
        EXPECT_EQ(found, c.expected) << c.condition;
    }
}

IMAESTROS_DATABASE_TESTS(TypesTest);

} // namespace
