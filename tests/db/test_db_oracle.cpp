// Oracle rewriting and batch splitting, as tables of cases.
#include "db/DB_Dll.h"
#include "db/OracleDialect.h"
#include "tests/db/QtPrinters.h"

#include <gtest/gtest.h>

using db::OracleDialect;

namespace {

struct RewriteCase {
    const char *name;
    const char *input;
    const char *expected;
};

const RewriteCase kRewrites[] = {
    {"TopWithWhereAndOrder", "SELECT TOP 1 * FROM T WHERE A = 1 ORDER BY B",
     "SELECT  * FROM T WHERE A = 1    AND ROWNUM <= 1  ORDER BY B"},
    {"TopWithoutWhere", "SELECT TOP 5 A FROM T", "SELECT  A FROM T  WHERE ROWNUM <= 5  "},
    {"TopGroupCarriesOrder", "SELECT TOP 3 A, COUNT(*) FROM T GROUP BY A ORDER BY A",
     "SELECT  A, COUNT(*) FROM T    WHERE ROWNUM <= 3  GROUP BY A ORDER BY A "},
    {"TopInsideAName", "SELECT STOP FROM T WHERE X=1", "SELECT S T WHERE X=1  AND ROWNUM <= FROM  "},
    {"OneWordLen", "len", "LENGTH"},
    {"OneWordOther", "SUBSTRING(", "SUBSTRING("},
    {"LenWithBlanks", "SELECT LEN  (A) FROM T", "SELECT LENGTH(A) FROM T"},
    {"LenAfterParenthesisKept", "SELECT MAX(LEN(A)) FROM T", "SELECT MAX(LEN(A)) FROM T"},
    {"QuotedNames", "SELECT [COL] FROM T", "SELECT \"COL\" FROM T"},
    {"DateLiteral", "SELECT * FROM T WHERE F = '31/12/2020'",
     "SELECT * FROM T WHERE F = TO_DATE('31/12/2020','DD/MM/YYYY')"},
    {"DateLiteralTwice", "SELECT * FROM T WHERE F = '1/2/2021' OR G = '1/2/2021'",
     "SELECT * FROM T WHERE F = TO_DATE('01/02/2021','DD/MM/YYYY') OR G = "
     "TO_DATE('01/02/2021','DD/MM/YYYY')"},
    {"DateAlreadyWrapped", "SELECT * FROM T WHERE F = TO_DATE('31/12/2020','DD/MM/YYYY')",
     "SELECT * FROM T WHERE F = TO_DATE('31/12/2020','DD/MM/YYYY')"},
    {"NotADate", "SELECT * FROM T WHERE N = 'ABC'", "SELECT * FROM T WHERE N = 'ABC'"},
    {"Charindex", "SELECT CHARINDEX('a',B) FROM T", "SELECT InStr('a',B) FROM T"},
    {"ConvertStyle103", "SELECT CONVERT(NVARCHAR,F,103) FROM T", "SELECT TO_CHAR(F,'DD/MM/YYYY') FROM T"},
    {"ConvertInt", "SELECT CONVERT(INT,F) FROM T", "SELECT TO_NUMBER(F) FROM T"},
    {"ToCharStyle103", "SELECT TO_CHAR(F, 103) FROM T", "SELECT TO_CHAR(F, 'DD/MM/YYYY') FROM T"},
    {"Other103Kept", "SELECT MAX(F, 103) FROM T", "SELECT MAX(F, 103) FROM T"},
    {"EmptyStringAfterWhere", "SELECT A FROM T WHERE X = ''", "SELECT A FROM T WHERE X  IS NULL "},
    {"EmptyStringBeforeWhereKept", "UPDATE T SET A='' WHERE B=''", "UPDATE T SET A='' WHERE B IS NULL "},
    {"Substring", "SELECT SUBSTRING(A,1,2) FROM T", "SELECT SUBSTR(A,1,2) FROM T"},
    {"IsNull", "SELECT ISNULL(A,0) FROM T", "SELECT NVL(A,0) FROM T"},
};

class RewriteTest : public ::testing::TestWithParam<RewriteCase> {};

TEST_P(RewriteTest, GivesTheOracleText)
{
    EXPECT_EQ(OracleDialect::rewrite(QString::fromUtf8(GetParam().input)).toStdString(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rules, RewriteTest, ::testing::ValuesIn(kRewrites),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(OracleRewrite, MalformedTextRaisesInvalidArgument)
{
    for (const char *text : {"SELECT A, TOP 5", "SELECT 'A FROM T"}) {
        try {
            OracleDialect::rewrite(QString::fromUtf8(text));
            ADD_FAILURE() << text << " did not raise";
        } catch (const platform::RuntimeError &e) {
            EXPECT_EQ(e.Number(), 5) << text;
        }
    }
}

TEST(OracleRewrite, OnlyOnAnOracleConnection)
{
    DB_Dll db;
    db.gConnString = QStringLiteral("PROVIDER=SQLOLEDB;Server=S;");
    EXPECT_EQ(db.ORACLE_Dicc(QStringLiteral("LEN")), QStringLiteral("LEN"));
    EXPECT_EQ(db.ORACLE_Dicc(QStringLiteral("SELECT ISNULL(A,0) FROM T")), QStringLiteral("SELECT ISNULL(A,0) FROM T"));
    db.gConnString = QStringLiteral("Provider=oraoledb.oracle.1;Data Source=XE;");
    EXPECT_EQ(db.ORACLE_Dicc(QStringLiteral("LEN")), QStringLiteral("LENGTH"));
}

TEST(OracleRewrite, LimpiaSentenciaEmptiesStatementsWithoutOracleMeaning)
{
    struct Case {
        QString input;
        bool dropped;
    };
    const Case cases[] = {{QStringLiteral("SET NOCOUNT ON"), true},
                          {QStringLiteral("if not exists (select 1 from T) insert into T values (1)"), true},
                          {QStringLiteral("IF EXISTS (SELECT 1 FROM T) DELETE FROM T"), false},
                          {QStringLiteral("INSERT INTO T VALUES (1)"), false}};
    for (const Case &c : cases) {
        QString statement = c.input;
        const QString result = DB_Dll::LimpiaSentenciaOracle(statement);
        EXPECT_EQ(result.isEmpty(), c.dropped) << c.input.toStdString();
        EXPECT_EQ(statement, result) << "the caller's variable follows the result";
    }
}

struct SplitCase {
    const char *name;
    const char *batch;
    std::vector<const char *> statements;
};

const SplitCase kSplits[] = {
    {"NoKeyword", "SELECT * FROM T", {}},
    {"ExecOnly", "EXEC VK_CREACALENDARIO 2020", {}},
    {"GoAndTransactionWords",
     "BEGIN TRANSACTION\r\nINSERT INTO A VALUES (1)\r\nGO\r\nUPDATE B SET X = 1\r\nCOMMIT TRANSACTION",
     {"SET TRANSACTION", "INSERT INTO A VALUES (1)", "UPDATE B SET X = 1", "COMMIT"}},
    {"RollbackTrans", "BEGIN TRANS DELETE FROM A ROLLBACK TRANS", {"SET TRANSACTION", "DELETE FROM A", "ROLLBACK"}},
    {"NoCountRemoved", "SET NOCOUNT ON INSERT INTO T VALUES (1) SET NOCOUNT OFF", {"INSERT INTO T VALUES (1)"}},
    {"BeginTranWithoutS", "BEGIN TRAN INSERT INTO T VALUES (1)", {"INSERT INTO T VALUES (1)"}},
    {"IfNotExistsCutOut",
     "IF NOT EXISTS (SELECT 1 FROM T) INSERT INTO T VALUES (1)",
     {"IF NOT EXISTS (SELECT 1 FROM T)", "INSERT INTO T VALUES (1)"}},
    {"SelectStaysWithStatementBefore",
     "DELETE FROM T SELECT 1 GRANT SELECT ON T TO X",
     {"DELETE FROM T SELECT 1", "GRANT SELECT ON T TO X"}},
    {"KeywordInsideLiteral", "INSERT INTO T VALUES ('UPDATE X')", {"INSERT INTO T VALUES ('", "UPDATE X')"}},
};

class SplitTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTest, CutsAtTheKeywords)
{
    QStringList expected;
    for (const char *s : GetParam().statements)
        expected << QString::fromUtf8(s);
    EXPECT_EQ(OracleDialect::splitBatch(QString::fromUtf8(GetParam().batch)).join(QLatin1Char('|')).toStdString(),
              expected.join(QLatin1Char('|')).toStdString());
}

INSTANTIATE_TEST_SUITE_P(Batches, SplitTest, ::testing::ValuesIn(kSplits),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(OracleDates, ParsesDayFirstAndIsoDatesOnly)
{
    EXPECT_EQ(OracleDialect::parseDate(QStringLiteral("31/12/2020")), QDate(2020, 12, 31));
    EXPECT_EQ(OracleDialect::parseDate(QStringLiteral("1-2-21")), QDate(2021, 2, 1));
    EXPECT_EQ(OracleDialect::parseDate(QStringLiteral("2021-02-01 10:30")), QDate(2021, 2, 1));
    EXPECT_FALSE(OracleDialect::parseDate(QStringLiteral("31/02/2020")));
    EXPECT_FALSE(OracleDialect::parseDate(QStringLiteral("DD/MM/YYYY")));
    EXPECT_FALSE(OracleDialect::parseDate(QStringLiteral("")));
}

} // namespace
