// LIKE reads its pattern as SQL Server does, on every engine: one table of patterns, written
// as literals and bound as values.
#include "platform/ado/Command.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>

using namespace ado;
using testsupport::DatabaseTest;

namespace {

class LikeTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (IsSkipped())
            return;
        recreateTable(QStringLiteral("T_LIKE"), QStringLiteral("ID INT PRIMARY KEY, TXT VARCHAR(20)"));
        const char *values[] = {"abc", "ABC  ", "abd", "a%c", "a_c", "a[c", "a\\c", "xabcx", "Ñandú", "b", "a c", "ab"};
        int id = 0;
        for (const char *v : values)
            cnn().Execute(
                QStringLiteral("INSERT INTO T_LIKE (ID, TXT) VALUES (%1, '%2')").arg(++id).arg(QString::fromUtf8(v)));
    }

    QString ids(const QString &sql, const QString &bound = QString())
    {
        std::shared_ptr<Recordset> rs;
        Command command;
        if (bound.isNull()) {
            rs = cnn().Execute(sql);
        } else {
            command.setActiveConnection(&cnn());
            command.setCommandText(sql);
            command.Parameters().Append(
                command.CreateParameter(QStringLiteral("p"), adVarChar, adParamInput, 0, bound));
            rs = command.Execute();
        }
        QStringList out;
        for (; !rs->EOF(); rs->MoveNext())
            out << rs->field(0).Value().toString();
        return out.join(u',');
    }
};

struct LikeCase {
    const char *pattern;
    const char *ids; // the rows SQL Server finds, in ID order
};

// 1 abc, 2 "ABC  ", 3 abd, 4 a%c, 5 a_c, 6 a[c, 7 a\c, 8 xabcx, 9 Ñandú, 10 b, 11 "a c", 12 ab
const LikeCase kPatterns[] = {
    {"abc", "1,2"},                       // case ignored, blanks ending the text need no match
    {"abc%", "1,2"},                      // a fixed start
    {"abc ", "2"},                        // the pattern's own blank counts
    {"a_c", "1,2,4,5,6,7,11"},            // _ is any one character
    {"a[%]c", "4"},                       // [%] is a percent sign
    {"a[_]c", "5"},                       // [_] an underscore
    {"a[[]c", "6"},                       // [[] an opening bracket
    {"a\\c", "7"},                        // a backslash is no escape
    {"a\\%", "7"},                        // ... not even before %
    {"%b%", "1,2,3,8,10,12"},             // anywhere
    {"[a-b]%", "1,2,3,4,5,6,7,10,11,12"}, // a range, case ignored
    {"[^a]%", "8,9,10"},                  // not in the set
    {"[ab]", "10"},                       // one character of the set
    {"[-x]%", "8"},                       // a '-' first is itself
    {"ñand_", "9"},                       // Latin-1 letters ignore case too
    {"a[c", ""},                          // a '[' without its ']' matches nothing
    {"%[", ""},
    {"A_", "12"},
    {"%", "1,2,3,4,5,6,7,8,9,10,11,12"},
};

TEST_P(LikeTest, PatternsMatchAsOnSqlServer)
{
    for (const LikeCase &c : kPatterns) {
        const QString pattern = QString::fromUtf8(c.pattern);
        const QString literal = QString(pattern).replace(u'\'', QStringLiteral("''"));
        EXPECT_EQ(
            ids(QStringLiteral("SELECT ID FROM T_LIKE WHERE TXT LIKE '%1' ORDER BY ID").arg(literal)).toStdString(),
            c.ids)
            << "literal " << c.pattern;
        EXPECT_EQ(ids(QStringLiteral("SELECT ID FROM T_LIKE WHERE TXT LIKE ? ORDER BY ID"), pattern).toStdString(),
                  c.ids)
            << "bound " << c.pattern;
    }
}

TEST_P(LikeTest, NotLikeAndEscapeClause)
{
    EXPECT_EQ(ids(QStringLiteral("SELECT ID FROM T_LIKE WHERE TXT NOT LIKE 'a%' ORDER BY ID")).toStdString(), "8,9,10");
    EXPECT_EQ(ids(QStringLiteral("SELECT ID FROM T_LIKE WHERE NOT TXT LIKE 'a%' ORDER BY ID")).toStdString(), "8,9,10");
    EXPECT_EQ(ids(QStringLiteral("SELECT ID FROM T_LIKE WHERE TXT NOT LIKE '[^x]%' ORDER BY ID")).toStdString(), "8");
    EXPECT_EQ(ids(QStringLiteral("SELECT ID FROM T_LIKE WHERE TXT LIKE 'a!%c' ESCAPE '!' ORDER BY ID")).toStdString(),
              "4");
    EXPECT_EQ(
        ids(QStringLiteral("SELECT ID FROM T_LIKE WHERE TXT LIKE ? ESCAPE '!' ORDER BY ID"), QStringLiteral("a![c"))
            .toStdString(),
        "6");
    // a pattern built in the statement, and one compared within a longer condition
    EXPECT_EQ(ids(QStringLiteral("SELECT ID FROM T_LIKE WHERE ID > 1 AND TXT LIKE 'a' + '[%_]' + 'c' OR ID = 1 "
                                 "ORDER BY ID"))
                  .toStdString(),
              "1,4,5");
}

// SQL Server reads a number under LIKE as its text (the lookup searches a numeric first
// column so), in a table and through a view whose column type is an expression's.
TEST_P(LikeTest, NumbersMatchAsTheirText)
{
    recreateTable(QStringLiteral("T_LIKE_NUM"), QStringLiteral("ID INT PRIMARY KEY, BAJA INT, MONTO DECIMAL(10,2)"));
    for (const char *row : {"(1, 0, 10.5)", "(2, 1, 100)", "(3, 10, 7)"})
        cnn().Execute(QStringLiteral("INSERT INTO T_LIKE_NUM VALUES ") + QString::fromUtf8(row));
    try {
        cnn().Execute(QStringLiteral("DROP VIEW V_LIKE_NUM")); // left by an earlier run
    } catch (...) {
    }
    cnn().Execute(QStringLiteral("CREATE VIEW V_LIKE_NUM AS SELECT ID, CASE WHEN BAJA = 0 THEN 0 ELSE 1 END AS "
                                 "DADA FROM T_LIKE_NUM"));
    EXPECT_EQ(ids(QStringLiteral("SELECT ID FROM T_LIKE_NUM WHERE BAJA LIKE '1%' ORDER BY ID")).toStdString(), "2,3");
    EXPECT_EQ(
        ids(QStringLiteral("SELECT ID FROM T_LIKE_NUM WHERE ID LIKE ? ORDER BY ID"), QStringLiteral("2")).toStdString(),
        "2");
    EXPECT_EQ(ids(QStringLiteral("SELECT ID FROM T_LIKE_NUM WHERE MONTO LIKE '10%' ORDER BY ID")).toStdString(), "1,2");
    EXPECT_EQ(ids(QStringLiteral("SELECT ID FROM V_LIKE_NUM WHERE DADA LIKE '0%' ORDER BY ID")).toStdString(), "1");
    cnn().Execute(QStringLiteral("DROP VIEW V_LIKE_NUM"));
}

IMAESTROS_DATABASE_TESTS(LikeTest);

} // namespace
