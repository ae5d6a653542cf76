#include "platform/ado/Connection.h"
#include "platform/ado/Backend.h"
#include "platform/ado/Command.h"
#include "platform/ado/Recordset.h"
#include "tests/support/TestDatabase.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace ado;
using testsupport::DatabaseTest;

namespace {

long scalar(Connection &cnn, const QString &sql)
{
    auto rs = cnn.Execute(sql);
    return long(rs->field(0).Value().toInt64());
}

// ---- connection strings ------------------------------------------------------------------

struct ParseCase {
    const char *text;
    const char *key;
    const char *expected;
};

TEST(ConnectionString, ReadsKeysWithoutRegardToCaseOrBlanks)
{
    const ParseCase cases[] = {
        {"Provider=SQLite;Data Source=/tmp/a.db", "data source", "/tmp/a.db"},
        {"PROVIDER=SQLOLEDB;Server=srv;Database =VK;UId=sa;Pwd=x;", "Database", "VK"},
        {" provider = SQLite ; data source = /tmp/b c.db ; ", "Data Source", "/tmp/b c.db"},
        {"Provider=X;Pwd=\"a;b\"\"c\";Server=s", "PWD", "a;b\"c"},
        {"Provider=X;Pwd={x;y}", "pwd", "x;y"},
        {"Provider=X;Extended=", "extended", ""},
        {"Provider=X", "Server", ""},
    };
    for (const ParseCase &c : cases) {
        const auto cs = ConnectionString::parse(QString::fromUtf8(c.text));
        EXPECT_EQ(cs.value(QString::fromUtf8(c.key)), QString::fromUtf8(c.expected)) << c.text;
    }
}

TEST(ConnectionString, MalformedTextIsAClearError)
{
    struct Case {
        const char *text;
        const char *shown; // the text as the message quotes it: passwords hidden
    } cases[] = {{"Provider", "Provider"},
                 {"Provider=SQLite;Data Source", "Provider=SQLite;Data Source"},
                 {"=SQLite", "=SQLite"},
                 {"Pwd=\"open;Server=x", "Pwd=***;Server=x"},
                 {"Server=x;PASSWORD = 'secreto'b", "Server=x;PASSWORD =***"}};
    for (const Case &c : cases) {
        try {
            ConnectionString::parse(QString::fromUtf8(c.text));
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const Exception &e) {
            EXPECT_TRUE(e.Description().contains(QString::fromUtf8(c.shown))) << e.Description().toStdString();
            EXPECT_FALSE(e.Description().contains(QStringLiteral("secreto"))) << e.Description().toStdString();
        }
    }
}

// ---- opening -----------------------------------------------------------------------------

TEST(ConnectionOpen, MissingFileIsAnErrorNamingThePath)
{
    const QString path = testsupport::freshSqliteFile();
    Connection cnn;
    try {
        cnn.Open(testsupport::sqliteConnectionString(path, false));
        FAIL() << "opened a missing file";
    } catch (const Exception &e) {
        EXPECT_EQ(e.Number(), errnum::GenericFailure);
        EXPECT_TRUE(e.Description().contains(path)) << e.Description().toStdString();
    }
    EXPECT_EQ(cnn.State(), adStateClosed);
    ASSERT_EQ(cnn.errors().Count(), 1);
    EXPECT_TRUE(cnn.errors()[0].Description.contains(path));
    EXPECT_FALSE(QFile::exists(path)) << "a failed open must not create the file";
}

TEST(ConnectionOpen, ModeCreateCreatesTheFile)
{
    const QString path = testsupport::freshSqliteFile();
    Connection cnn;
    cnn.Open(testsupport::sqliteConnectionString(path, true));
    EXPECT_EQ(cnn.State(), adStateOpen);
    EXPECT_TRUE(QFile::exists(path));
    cnn.Close();
    cnn.Open(testsupport::sqliteConnectionString(path, false)); // now it exists
    EXPECT_EQ(cnn.State(), adStateOpen);
}

TEST(ConnectionOpen, BadConnectionStringsRaiseWithoutOpening)
{
    const QString notADatabase = testsupport::freshSqliteFile();
    {
        QFile f(notADatabase);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("esto no es una base de datos, sino un texto bastante largo para la cabecera\n");
    }
    const QString cases[] = {
        QStringLiteral("Provider=SQLite;Data Source"), // no "="
        QStringLiteral("Provider=SQLite;Mode=Create"), // no file named
        QStringLiteral("Provider=SQLite;Data Source=") + notADatabase,
    };
    for (const QString &text : cases) {
        Connection cnn;
        EXPECT_THROW(cnn.Open(text), Exception) << text.toStdString();
        EXPECT_EQ(cnn.State(), adStateClosed);
        EXPECT_EQ(cnn.errors().Count(), 1) << text.toStdString();
    }
    Connection cnn;
    try {
        cnn.Open(cases[2]);
    } catch (const Exception &e) {
        EXPECT_TRUE(e.Description().contains(notADatabase)) << e.Description().toStdString();
    }
}

TEST(ConnectionOpen, MisuseRaisesAdoNumbers)
{
    Connection cnn;
    auto number = [](auto &&call) {
        try {
            call();
        } catch (const Exception &e) {
            return e.Number();
        }
        return 0L;
    };
    EXPECT_EQ(number([&] { cnn.Execute(QStringLiteral("SELECT 1")); }), errnum::ConnectionClosed);
    EXPECT_EQ(number([&] { cnn.BeginTrans(); }), errnum::ConnectionClosed);
    EXPECT_EQ(number([&] { cnn.Close(); }), errnum::ObjectClosed);
    cnn.Open(testsupport::sqliteConnectionString(testsupport::freshSqliteFile()));
    EXPECT_EQ(number([&] { cnn.Open(); }), errnum::ObjectOpen);
    EXPECT_EQ(cnn.State(), adStateOpen);
}

// ---- every engine ------------------------------------------------------------------------

class ConnectionTest : public DatabaseTest {};

TEST_P(ConnectionTest, ErrorsHoldExactlyTheLastCallsErrors)
{
    recreateTable(QStringLiteral("T_ERR"), QStringLiteral("ID INT PRIMARY KEY"));
    cnn().Execute(QStringLiteral("INSERT INTO T_ERR VALUES (1)"));
    EXPECT_EQ(cnn().errors().Count(), 0);

    EXPECT_THROW(cnn().Execute(QStringLiteral("SELECT * FROM NO_EXISTE_TABLA")), Exception);
    ASSERT_EQ(cnn().errors().Count(), 1);
    EXPECT_EQ(cnn().errors()[0].NativeError, native::InvalidObject);

    cnn().Execute(QStringLiteral("SELECT * FROM T_ERR"));
    EXPECT_EQ(cnn().errors().Count(), 0) << "a successful call clears the errors";

    EXPECT_THROW(cnn().Execute(QStringLiteral("INSERT INTO T_ERR VALUES (1)")), Exception);
    ASSERT_EQ(cnn().errors().Count(), 1);
    EXPECT_EQ(cnn().errors()[0].NativeError, native::DuplicateKey);
    cnn().errors().Clear();
    EXPECT_EQ(cnn().errors().Count(), 0);
}

TEST_P(ConnectionTest, UnknownStatementIsAnEngineErrorNotACrash)
{
    try {
        cnn().Execute(QStringLiteral("ESTO NO ES SQL"));
        FAIL();
    } catch (const Exception &e) {
        EXPECT_EQ(e.Number(), errnum::CommandFailed);
    }
    ASSERT_GE(cnn().errors().Count(), 1);
    EXPECT_EQ(cnn().errors()[0].NativeError, native::SyntaxError);
    EXPECT_FALSE(cnn().errors()[0].Description.isEmpty());
    EXPECT_EQ(cnn().State(), adStateOpen);
    EXPECT_EQ(scalar(cnn(), QStringLiteral("SELECT 1")), 1) << "the connection stays usable";
}

TEST_P(ConnectionTest, ExecuteReturnsCountsAndClosedRecordsetForActions)
{
    recreateTable(QStringLiteral("T_CNT"), QStringLiteral("ID INT PRIMARY KEY, N INT"));
    long affected = 0;
    auto rs = cnn().Execute(QStringLiteral("INSERT INTO T_CNT (ID, N) VALUES (1, 10)"), &affected);
    EXPECT_EQ(affected, 1);
    EXPECT_EQ(rs->State(), adStateClosed);
    cnn().Execute(QStringLiteral("INSERT INTO T_CNT (ID, N) VALUES (2, 10)"));
    cnn().Execute(QStringLiteral("INSERT INTO T_CNT (ID, N) VALUES (3, 20)"));
    cnn().Execute(QStringLiteral("UPDATE T_CNT SET N = 11 WHERE N = 10"), &affected);
    EXPECT_EQ(affected, 2);
    cnn().Execute(QStringLiteral("DELETE FROM T_CNT WHERE ID = 99"), &affected);
    EXPECT_EQ(affected, 0);
    rs = cnn().Execute(QStringLiteral("SELECT * FROM T_CNT"), &affected);
    EXPECT_EQ(rs->State(), adStateOpen);
    EXPECT_EQ(rs->RecordCount(), 3);
}

TEST_P(ConnectionTest, TransactionsSpanExecuteCalls)
{
    recreateTable(QStringLiteral("T_TRX"), QStringLiteral("ID INT PRIMARY KEY"));
    cnn().Execute(QStringLiteral("BEGIN TRANSACTION"));
    cnn().Execute(QStringLiteral("INSERT INTO T_TRX VALUES (1)"));
    cnn().Execute(QStringLiteral("ROLLBACK TRANSACTION"));
    EXPECT_EQ(scalar(cnn(), QStringLiteral("SELECT COUNT(*) FROM T_TRX")), 0);

    cnn().Execute(QStringLiteral("BEGIN TRANSACTION"));
    cnn().Execute(QStringLiteral("INSERT INTO T_TRX VALUES (2)"));
    cnn().Execute(QStringLiteral("COMMIT TRANSACTION"));

    Connection other; // a second connection sees only committed rows
    other.Open(QString(connectionString()).replace(QStringLiteral("Mode=Create;"), QString()));
    EXPECT_EQ(scalar(other, QStringLiteral("SELECT COUNT(*) FROM T_TRX")), 1);
}

TEST_P(ConnectionTest, FailedStatementKeepsTheTransaction)
{
    // As on SQL Server: the failing statement is undone, the transaction goes on.
    recreateTable(QStringLiteral("T_TRF"), QStringLiteral("ID INT PRIMARY KEY"));
    cnn().Execute(QStringLiteral("BEGIN TRANSACTION"));
    cnn().Execute(QStringLiteral("INSERT INTO T_TRF VALUES (1)"));
    EXPECT_THROW(cnn().Execute(QStringLiteral("INSERT INTO T_TRF VALUES (1)")), Exception);
    cnn().Execute(QStringLiteral("INSERT INTO T_TRF VALUES (2)"));
    cnn().Execute(QStringLiteral("COMMIT TRANSACTION"));
    EXPECT_EQ(scalar(cnn(), QStringLiteral("SELECT COUNT(*) FROM T_TRF")), 2);
}

// Without statement rollback (the reception's and the sending's road): commands are prepared on
// the server and a failed statement fails the transaction until the caller rolls it back, which
// undoes the whole transaction; the connection then serves the next one. On SQLite a statement
// always rolls back alone.
TEST_P(ConnectionTest, WithoutStatementRollbackTheCallerRollsBackTheTransaction)
{
    recreateTable(QStringLiteral("T_BULK"), QStringLiteral("ID INT PRIMARY KEY, N VARCHAR(10)"));
    cnn().setStatementRollback(false);
    EXPECT_FALSE(cnn().StatementRollback());
    Command insert;
    insert.setActiveConnection(&cnn());
    insert.setCommandText(QStringLiteral("INSERT INTO T_BULK (ID, N) VALUES (?, ?)"));
    insert.Parameters().Append(insert.CreateParameter(QStringLiteral("id"), adInteger));
    insert.Parameters().Append(insert.CreateParameter(QStringLiteral("n"), adVarChar));
    auto put = [&](int id) {
        insert.Parameters()[0].setValue(id);
        insert.Parameters()[1].setValue(QStringLiteral("n%1").arg(id));
        insert.Execute();
    };
    cnn().BeginTrans();
    put(1);
    EXPECT_THROW(put(1), Exception);
    EXPECT_EQ(cnn().errors()[0].NativeError, native::DuplicateKey);
    if (isSqlite()) {
        put(2); // the failed statement was undone alone
    } else {
        EXPECT_THROW(put(2), Exception) << "the failed transaction takes nothing but its rollback";
        EXPECT_EQ(cnn().errors()[0].NativeError, 3930);
        cnn().RollbackTrans();
        EXPECT_GT(scalar(cnn(), QStringLiteral("SELECT COUNT(*) FROM pg_prepared_statements")), 0)
            << "the command is prepared on the server";
    }
    if (cnn().backend()->inTransaction())
        cnn().RollbackTrans();
    EXPECT_EQ(scalar(cnn(), QStringLiteral("SELECT COUNT(*) FROM T_BULK")), 0) << "nothing of the transaction stays";
    cnn().BeginTrans();
    put(3);
    EXPECT_THROW(cnn().setStatementRollback(true), Exception) << "not inside a transaction";
    cnn().CommitTrans();
    // a commit after a failure commits nothing of the transaction, and says so (PostgreSQL)
    cnn().BeginTrans();
    put(6);
    EXPECT_THROW(put(6), Exception);
    if (isSqlite()) {
        cnn().RollbackTrans();
    } else {
        EXPECT_THROW(cnn().CommitTrans(), Exception);
        EXPECT_EQ(cnn().errors()[0].NativeError, 3930);
    }
    EXPECT_EQ(scalar(cnn(), QStringLiteral("SELECT SUM(ID) FROM T_BULK")), 3);

    // back to the default, the connection keeps a failed statement's transaction going
    cnn().setStatementRollback(true);
    cnn().BeginTrans();
    put(4);
    EXPECT_THROW(put(4), Exception);
    put(5);
    cnn().CommitTrans();
    EXPECT_EQ(scalar(cnn(), QStringLiteral("SELECT SUM(ID) FROM T_BULK")), 12);
    if (!isSqlite()) {
        EXPECT_EQ(scalar(cnn(), QStringLiteral("SELECT COUNT(*) FROM pg_prepared_statements")), 0);
    }
}

TEST_P(ConnectionTest, TransactionApi)
{
    recreateTable(QStringLiteral("T_API"), QStringLiteral("ID INT PRIMARY KEY"));
    cnn().BeginTrans();
    cnn().Execute(QStringLiteral("INSERT INTO T_API VALUES (1)"));
    cnn().RollbackTrans();
    cnn().BeginTrans();
    cnn().Execute(QStringLiteral("INSERT INTO T_API VALUES (2)"));
    cnn().CommitTrans();
    EXPECT_EQ(scalar(cnn(), QStringLiteral("SELECT SUM(ID) FROM T_API")), 2);
    EXPECT_THROW(cnn().CommitTrans(), Exception) << "no transaction is open";
    EXPECT_EQ(cnn().errors().Count(), 1);
}

TEST_P(ConnectionTest, NestedTransactionsCountAsOnSqlServer)
{
    // COMMIT ends only the outermost level; ROLLBACK undoes every level.
    recreateTable(QStringLiteral("T_NEST"), QStringLiteral("ID INT PRIMARY KEY"));
    cnn().Execute(QStringLiteral("BEGIN TRANSACTION"));
    cnn().Execute(QStringLiteral("BEGIN TRANSACTION"));
    cnn().Execute(QStringLiteral("INSERT INTO T_NEST VALUES (1)"));
    cnn().Execute(QStringLiteral("COMMIT TRANSACTION"));
    cnn().Execute(QStringLiteral("ROLLBACK TRANSACTION"));
    EXPECT_EQ(scalar(cnn(), QStringLiteral("SELECT COUNT(*) FROM T_NEST")), 0);
    EXPECT_THROW(cnn().Execute(QStringLiteral("COMMIT TRANSACTION")), Exception);
    EXPECT_EQ(cnn().errors()[0].NativeError, 3902);
}

TEST_P(ConnectionTest, BatchReturnsLastRowSetOrSummedCount)
{
    recreateTable(QStringLiteral("T_BAT"), QStringLiteral("ID INT PRIMARY KEY, NOMBRE VARCHAR(20)"));
    long affected = 0;
    cnn().Execute(QStringLiteral("INSERT INTO T_BAT VALUES (1, 'a');\r\nINSERT INTO T_BAT VALUES (2, 'b');"
                                 "\r\nINSERT INTO T_BAT VALUES (3, 'c')"),
                  &affected);
    EXPECT_EQ(affected, 3);
    auto rs = cnn().Execute(QStringLiteral("UPDATE T_BAT SET NOMBRE = 'x' WHERE ID = 1;\r\n"
                                           "SELECT NOMBRE FROM T_BAT WHERE ID = 1"));
    ASSERT_EQ(rs->State(), adStateOpen);
    EXPECT_EQ(rs->field(0).Value().toString(), QStringLiteral("x"));
    // a failing statement stops the batch and reports its own error
    EXPECT_THROW(cnn().Execute(QStringLiteral("INSERT INTO T_BAT VALUES (4, 'd');\r\n"
                                              "INSERT INTO T_BAT VALUES (1, 'dup')")),
                 Exception);
    EXPECT_EQ(cnn().errors()[0].NativeError, native::DuplicateKey);
}

TEST_P(ConnectionTest, SchemaListsTablesAndColumnsInOrder)
{
    recreateTable(QStringLiteral("T_SCH"),
                  QStringLiteral("ZETA INT NOT NULL, ALFA VARCHAR(12), MEDIO DATETIME, PRIMARY KEY (ZETA)"));
    const QStringList tables = cnn().Tables();
    EXPECT_TRUE(tables.contains(QStringLiteral("T_SCH"), Qt::CaseInsensitive)) << tables.join(u',').toStdString();
    const auto columns = cnn().Columns(QStringLiteral("T_SCH"));
    ASSERT_EQ(columns.size(), 3u);
    EXPECT_EQ(columns[0].Name.toUpper(), QStringLiteral("ZETA"));
    EXPECT_EQ(columns[0].Type, adInteger);
    EXPECT_FALSE(columns[0].Nullable);
    EXPECT_EQ(columns[1].Name.toUpper(), QStringLiteral("ALFA"));
    EXPECT_EQ(columns[1].Type, adVarChar);
    EXPECT_EQ(columns[1].DefinedSize, 12);
    EXPECT_TRUE(columns[1].Nullable);
    EXPECT_EQ(columns[2].Type, adDBTimeStamp);
    EXPECT_EQ(columns[2].Ordinal, 3);
    EXPECT_TRUE(cnn().Columns(QStringLiteral("NO_EXISTE_TABLA")).empty());
}

IMAESTROS_DATABASE_TESTS(ConnectionTest);

} // namespace
