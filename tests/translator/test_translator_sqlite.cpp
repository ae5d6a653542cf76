// The translations run on a real SQLite engine: what the translator writes
// must be accepted by it and mean what SQL Server meant.
#include "platform/ado/SqlTranslator.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using ado::Dialect;
using ado::SqlTranslator;
using ado::TranslatedStatement;

namespace {

// Stand-in for the backend's collation: no case, no trailing blanks.
int compareText(void *, int la, const void *a, int lb, const void *b)
{
    auto norm = [](const void *p, int n) {
        std::string s(static_cast<const char *>(p), size_t(n));
        while (!s.empty() && s.back() == ' ')
            s.pop_back();
        for (char &c : s)
            c = char(tolower(static_cast<unsigned char>(c)));
        return s;
    };
    return norm(a, la).compare(norm(b, lb));
}

class SqlTranslatorOnSqlite : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(sqlite3_open(":memory:", &m_db), SQLITE_OK);
        sqlite3_create_collation(m_db, "VKTEXT", SQLITE_UTF8, nullptr, compareText);
        // The backend's date collation is not under test here; any order will do.
        sqlite3_create_collation(m_db, "VKDATE", SQLITE_UTF8, nullptr, compareText);
        const std::string schema = run(
            "CREATE TABLE [dbo].[MV_TRANSMISIONES] ([ID] [int] IDENTITY(1,1) NOT NULL, [TIPO] [char](1) NOT NULL, "
            "[TRANSMISION] [char](4) NOT NULL, [LOG] [varchar](20) NULL, [FECHA] DATETIME NOT NULL DEFAULT getdate(), "
            "CONSTRAINT [PK_MV] PRIMARY KEY CLUSTERED ([TIPO] ASC, [TRANSMISION] ASC)) ON [PRIMARY]\nGO\n"
            "CREATE TABLE AUX_ERR (ID int IDENTITY(1,1) NOT NULL PRIMARY KEY, Descripcion nvarchar(10) NULL)");
        ASSERT_EQ(schema, "");
    }
    void TearDown() override { sqlite3_close(m_db); }

    // Runs a batch; returns the first error message, "" when all ran.
    std::string run(const std::string &batch)
    {
        for (const TranslatedStatement &s : SqlTranslator(Dialect::SQLite).translate(QString::fromStdString(batch))) {
            const std::string sql = s.kind == TranslatedStatement::Kind::Begin ? "BEGIN"
                : s.kind == TranslatedStatement::Kind::Commit                  ? "COMMIT"
                : s.kind == TranslatedStatement::Kind::Rollback                ? "ROLLBACK"
                                                                               : s.sql.toStdString();
            char *err = nullptr;
            if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
                std::string msg = err ? err : "?";
                sqlite3_free(err);
                return msg + " in: " + sql;
            }
        }
        return {};
    }

    // First column of every row of a one-statement query.
    std::vector<std::string> column(const std::string &query)
    {
        const auto out = SqlTranslator(Dialect::SQLite).translate(QString::fromStdString(query));
        EXPECT_EQ(out.size(), 1u);
        std::vector<std::string> v;
        sqlite3_stmt *st = nullptr;
        const QByteArray sql = out.value(0).sql.toUtf8();
        if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &st, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << sqlite3_errmsg(m_db) << " in: " << sql.constData();
            return v;
        }
        while (sqlite3_step(st) == SQLITE_ROW) {
            const unsigned char *t = sqlite3_column_text(st, 0);
            v.push_back(t ? reinterpret_cast<const char *>(t) : "NULL");
        }
        sqlite3_finalize(st);
        return v;
    }

    sqlite3 *m_db = nullptr;
};

using Rows = std::vector<std::string>;

TEST_F(SqlTranslatorOnSqlite, SchemaWritesAndReadsBack)
{
    ASSERT_EQ(run("SET NOCOUNT ON\nBEGIN TRANSACTION \r\r"
                  "INSERT INTO MV_TRANSMISIONES (TIPO,TRANSMISION,LOG) VALUES ('M','   7',N'a')\r"
                  "INSERT INTO MV_TRANSMISIONES (TIPO,TRANSMISION,LOG) VALUES ('N','   1','b')\r\nCOMMIT TRANSACTION"),
              "");
    EXPECT_EQ(column("SELECT @@IDENTITY"), (Rows{"2"}));
    EXPECT_EQ(column("SELECT ID FROM MV_TRANSMISIONES with(nolock) ORDER BY ID"), (Rows{"1", "2"}));
    EXPECT_EQ(column("SELECT COUNT(*) FROM MV_TRANSMISIONES WHERE FECHA IS NULL"), (Rows{"0"}));
    EXPECT_EQ(column("SELECT TOP 1  TRANSMISION FROM dbo.MV_TRANSMISIONES with(nolock)  WHERE TIPO = 'm'"),
              (Rows{"   7"}));
    EXPECT_EQ(column("SELECT [TIPO] + '-' + LTRIM(TRANSMISION) FROM MV_TRANSMISIONES ORDER BY ID"),
              (Rows{"M-7", "N-1"}));
}

TEST_F(SqlTranslatorOnSqlite, IdentityKeyAutoIncrements)
{
    ASSERT_EQ(run("INSERT INTO AUX_ERR (Descripcion) VALUES ('x'); INSERT INTO AUX_ERR (Descripcion) VALUES ('y')"),
              "");
    EXPECT_EQ(column("SELECT SCOPE_IDENTITY()"), (Rows{"2"}));
}

TEST_F(SqlTranslatorOnSqlite, TooLongTextFailsWithTheLengthCheck)
{
    const std::string err = run("INSERT INTO AUX_ERR (Descripcion) VALUES ('12345678901')");
    EXPECT_NE(err.find("vklen_Descripcion"), std::string::npos) << err;
    EXPECT_EQ(run("INSERT INTO AUX_ERR (Descripcion) VALUES ('1234567890')"), "");
}

TEST_F(SqlTranslatorOnSqlite, GuardedInsertRunsOnce)
{
    const std::string guarded = "IF NOT EXISTS (SELECT * FROM MV_TRANSMISIONES WHERE TIPO = 'M' AND TRANSMISION = "
                                "'   9') INSERT INTO MV_TRANSMISIONES (TIPO,TRANSMISION) VALUES ('M','   9')";
    ASSERT_EQ(run(guarded), "");
    ASSERT_EQ(run(guarded), "");
    EXPECT_EQ(column("SELECT COUNT(*) FROM MV_TRANSMISIONES"), (Rows{"1"}));
}

TEST_F(SqlTranslatorOnSqlite, DeleteAndUpdateInSqlServerForm)
{
    ASSERT_EQ(run("INSERT INTO MV_TRANSMISIONES (TIPO,TRANSMISION) VALUES ('M','   7');"
                  "INSERT INTO MV_TRANSMISIONES (TIPO,TRANSMISION) VALUES ('M','   8')"),
              "");
    ASSERT_EQ(run("UPDATE MV_TRANSMISIONES SET LOG='A,B' FROM MV_TRANSMISIONES WHERE TRANSMISION='   7' AND TIPO='M'"),
              "");
    EXPECT_EQ(column("SELECT ISNULL(LOG, '-') FROM MV_TRANSMISIONES ORDER BY TRANSMISION"), (Rows{"A,B", "-"}));
    ASSERT_EQ(run("DELETE MV_TRANSMISIONES WHERE TRANSMISION = '   8'"), "");
    EXPECT_EQ(column("SELECT COUNT(*) FROM MV_TRANSMISIONES"), (Rows{"1"}));
}

TEST_F(SqlTranslatorOnSqlite, StringFunctionsKeepSqlServerMeaning)
{
    EXPECT_EQ(column("SELECT LEN('ab  ')"), (Rows{"2"}));
    EXPECT_EQ(column("SELECT CHARINDEX('B', 'abcabc')"), (Rows{"2"}));
    EXPECT_EQ(column("SELECT CHARINDEX('b', 'abcabc', 3)"), (Rows{"5"}));
    EXPECT_EQ(column("SELECT CHARINDEX('z', 'abcabc', 3)"), (Rows{"0"}));
    EXPECT_EQ(column("SELECT SUBSTRING('abcdef', 2, 3)"), (Rows{"bcd"}));
    EXPECT_EQ(column("SELECT CONVERT(VARCHAR(10), '2020-12-31', 103)"), (Rows{"31/12/2020"}));
    EXPECT_EQ(column("SELECT 'TOP 5 with(nolock)' + N'x'"), (Rows{"TOP 5 with(nolock)x"}));
}

} // namespace
