#include "platform/ado/Command.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>

using namespace ado;
using testsupport::DatabaseTest;

namespace {

// Text compares as under SQL Server's default collation - case and trailing blanks do not
// count - whatever expression gives it; a character column compared with a bare number
// compares as a number.
class CompareTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (IsSkipped())
            return;
        recreateTable(QStringLiteral("T_CMP"),
                      QStringLiteral("ID INT PRIMARY KEY, NOMBRE VARCHAR(20), SUCURSAL CHAR(4), NUMERO CHAR(8), "
                                     "LETRA CHAR(1), TRANSMISION VARCHAR(10)"));
        recreateTable(QStringLiteral("T_CMP2"), QStringLiteral("NOMBRE VARCHAR(20)"));
        const char *rows[] = {
            "1, ' Abc  ', '0001', '00000012', 'A', '   7'",
            "2, 'abc', '0002', '00000013', 'B', '8'",
            "3, 'B', '0001', '00000014', 'a', '12'",
            "4, NULL, NULL, NULL, NULL, ' 0'",
        };
        for (const char *row : rows)
            cnn().Execute(QStringLiteral("INSERT INTO T_CMP VALUES (%1)").arg(QString::fromUtf8(row)));
        cnn().Execute(QStringLiteral("INSERT INTO T_CMP2 VALUES ('ABC')"));
        cnn().Execute(QStringLiteral("INSERT INTO T_CMP2 VALUES ('b  ')"));
    }
    QString scalar(const QString &sql) { return cnn().Execute(sql)->field(0).Value().toString(); }
};

TEST_P(CompareTest, ConditionsOnExpressionsAndNumbers)
{
    struct Case {
        const char *condition;
        int rows;
    };
    const Case cases[] = {
        {"NOMBRE = 'ABC  '", 1},
        {"LTRIM(NOMBRE) = 'abc'", 2},
        {"UPPER(NOMBRE) = ' ABC'", 1},
        {"RTRIM(NOMBRE) = 'ABC '", 1},
        {"LOWER(NOMBRE) <> 'b'", 2},
        {"SUCURSAL+NUMERO+LETRA = '000100000012a'", 1},
        {"ISNULL(NOMBRE, 'vacío') = 'VACÍO'", 1},
        {"SUBSTRING(NOMBRE, 2, 3) = 'ABC'", 1},
        {"LTRIM(NOMBRE) IN ('ABC', 'x')", 2},
        {"LTRIM(NOMBRE) > 'AZ'", 1},
        {"TRANSMISION = 7", 1},
        {"7 = TRANSMISION", 1},
        {"T_CMP.TRANSMISION = 7.0", 1},
        {"TRANSMISION > 7", 2},
        {"TRANSMISION <= -1", 0},
        {"TRANSMISION = '7'", 0}, // text against text: the leading blanks count
    };
    for (const Case &c : cases) {
        const QString sql = QStringLiteral("SELECT COUNT(*) FROM T_CMP WHERE ") + QString::fromUtf8(c.condition);
        try {
            EXPECT_EQ(scalar(sql).toInt(), c.rows) << c.condition;
        } catch (const Exception &e) {
            ADD_FAILURE() << c.condition << ": " << e.Description().toStdString();
        }
    }
}

TEST_P(CompareTest, JoinsGroupingOrderingAndAggregates)
{
    struct Case {
        const char *query;
        const char *result;
    };
    const Case cases[] = {
        {"SELECT COUNT(*) FROM T_CMP a INNER JOIN T_CMP2 b ON LTRIM(a.NOMBRE) = b.NOMBRE", "3"},
        {"SELECT COUNT(DISTINCT LTRIM(NOMBRE)) FROM T_CMP", "2"},
        {"SELECT COUNT(*) FROM (SELECT UPPER(LTRIM(NOMBRE)) AS U FROM T_CMP WHERE ID < 4 GROUP BY "
         "UPPER(LTRIM(NOMBRE))) X",
         "2"},
        {"SELECT COUNT(*) FROM (SELECT DISTINCT RTRIM(NOMBRE) + 'x' AS U FROM T_CMP WHERE ID > 1) X", "3"},
        {"SELECT MAX(LTRIM(NOMBRE)) FROM T_CMP", "B"},
        {"SELECT MIN(ISNULL(NOMBRE, 'zz')) FROM T_CMP WHERE ID > 1", "abc"},
        {"SELECT TOP 1 ID FROM T_CMP WHERE ID < 4 ORDER BY LTRIM(NOMBRE) DESC", "3"},
        {"SELECT TOP 1 ID FROM T_CMP2 a, T_CMP b WHERE b.NOMBRE = a.NOMBRE ORDER BY b.ID", "2"},
    };
    for (const Case &c : cases) {
        try {
            EXPECT_EQ(scalar(QString::fromUtf8(c.query)).trimmed(), QString::fromUtf8(c.result)) << c.query;
        } catch (const Exception &e) {
            ADD_FAILURE() << c.query << ": " << e.Description().toStdString();
        }
    }
}

// An UPDATE keyed on a character column with a bare number changes the row SQL Server changes.
TEST_P(CompareTest, UpdateKeyedOnTextAgainstANumber)
{
    long affected = 0;
    cnn().Execute(QStringLiteral("UPDATE T_CMP SET NOMBRE = 'siete' WHERE TRANSMISION = 7"), &affected);
    EXPECT_EQ(affected, 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT ID FROM T_CMP WHERE NOMBRE = 'SIETE'")), QStringLiteral("1"));
}

// As on SQL Server, a character value that is no number fails the comparison with a number.
TEST_P(CompareTest, TextThatIsNoNumberFailsAgainstANumber)
{
    cnn().Execute(QStringLiteral("INSERT INTO T_CMP (ID, TRANSMISION) VALUES (5, 'abc')"));
    EXPECT_THROW(scalar(QStringLiteral("SELECT COUNT(*) FROM T_CMP WHERE TRANSMISION = 7")), Exception);
    EXPECT_EQ(cnn().errors()[0].NativeError, 245);
    long affected = 0;
    cnn().Execute(QStringLiteral("UPDATE T_CMP SET NOMBRE = 'siete' WHERE TRANSMISION = 'abc' OR ID = 1"), &affected);
    EXPECT_EQ(affected, 2);
}

// Bound text compares as a literal does.
TEST_P(CompareTest, BoundTextFollowsTheCollation)
{
    Command cmd;
    cmd.setActiveConnection(&cnn());
    cmd.setCommandText(QStringLiteral("SELECT COUNT(*) FROM T_CMP WHERE LTRIM(NOMBRE) = ? OR LETRA = ?"));
    cmd.Parameters().Append(
        cmd.CreateParameter(QStringLiteral("n"), adVarChar, adParamInput, 20, QStringLiteral("ABC ")));
    cmd.Parameters().Append(cmd.CreateParameter(QStringLiteral("l"), adVarChar, adParamInput, 1, QStringLiteral("x")));
    EXPECT_EQ(cmd.Execute()->field(0).Value().toInt64(), 2);
}

IMAESTROS_DATABASE_TESTS(CompareTest);

} // namespace
