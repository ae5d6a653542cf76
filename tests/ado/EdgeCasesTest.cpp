#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>

using namespace ado;
using platform::Variant;
using testsupport::DatabaseTest;

namespace {

// Values that break naive quoting or encoding.
const QString kAwkward[] = {
    QStringLiteral("O'Brien ''dos'' y 'tres'"),
    QStringLiteral("Ωμέγα Łódź €ñ 漢字"),
    QStringLiteral("línea 1\r\nlínea 2\r\n"),
};

class EdgeCasesTest : public DatabaseTest {
protected:
    std::unique_ptr<Recordset> openForChanges(const QString &sql)
    {
        auto rs = std::make_unique<Recordset>();
        rs->Open(sql, cnn(), adOpenDynamic, adLockOptimistic);
        return rs;
    }
    QString textOf(const QString &sql) { return cnn().Execute(sql)->field(0).Value().toString(); }
};

// Written through a recordset (the write-through builds its own statement), text comes back
// unchanged, both as a new value and as the identity of a row in a table without a key.
TEST_P(EdgeCasesTest, RecordsetEditsKeepAwkwardText)
{
    recreateTable(QStringLiteral("T_TXT"), QStringLiteral("ID INT PRIMARY KEY, NOMBRE NVARCHAR(60)"));
    recreateTable(QStringLiteral("T_SINCLAVE"), QStringLiteral("NOMBRE NVARCHAR(60), N INT"));
    int id = 0;
    for (const QString &text : kAwkward) {
        SCOPED_TRACE(text.toStdString());
        ++id;
        auto rs = openForChanges(QStringLiteral("SELECT * FROM T_TXT"));
        rs->AddNew();
        rs->field(QStringLiteral("ID")).setValue(id);
        rs->field(QStringLiteral("NOMBRE")).setValue(text);
        rs->Update();
        EXPECT_EQ(textOf(QStringLiteral("SELECT NOMBRE FROM T_TXT WHERE ID = %1").arg(id)), text);

        rs = openForChanges(QStringLiteral("SELECT * FROM T_TXT WHERE ID = %1").arg(id));
        rs->field(QStringLiteral("NOMBRE")).setValue(text + QStringLiteral("'x"));
        rs->Update();
        EXPECT_EQ(textOf(QStringLiteral("SELECT NOMBRE FROM T_TXT WHERE ID = %1").arg(id)),
                  text + QStringLiteral("'x"));

        auto plain = openForChanges(QStringLiteral("SELECT * FROM T_SINCLAVE"));
        plain->AddNew();
        plain->field(QStringLiteral("NOMBRE")).setValue(text);
        plain->field(QStringLiteral("N")).setValue(id);
        plain->Update();
        plain = openForChanges(QStringLiteral("SELECT * FROM T_SINCLAVE WHERE N = %1").arg(id));
        plain->field(QStringLiteral("N")).setValue(id + 100);
        ASSERT_NO_THROW(plain->Update());
        EXPECT_EQ(textOf(QStringLiteral("SELECT NOMBRE FROM T_SINCLAVE WHERE N = %1").arg(id + 100)), text);
        plain->Delete();
        EXPECT_EQ(cnn().Execute(QStringLiteral("SELECT COUNT(*) FROM T_SINCLAVE"))->field(0).Value().toInt64(), 0);
    }
}

// Dates at the day/month boundaries written through a recordset read back as the same day.
TEST_P(EdgeCasesTest, RecordsetDatesAtBoundariesRoundTrip)
{
    recreateTable(QStringLiteral("T_FEC"), QStringLiteral("ID INT PRIMARY KEY, FECHA DATETIME"));
    const QDateTime dates[] = {QDateTime(QDate(2020, 12, 31), QTime(23, 59, 59)),
                               QDateTime(QDate(2021, 2, 1), QTime(0, 0, 0)),
                               QDateTime(QDate(2021, 1, 12), QTime(8, 5, 0))};
    int id = 0;
    for (const QDateTime &dt : dates) {
        ++id;
        auto rs = openForChanges(QStringLiteral("SELECT * FROM T_FEC"));
        rs->AddNew();
        rs->field(QStringLiteral("ID")).setValue(id);
        rs->field(QStringLiteral("FECHA")).setValue(dt);
        rs->Update();
        rs = openForChanges(QStringLiteral("SELECT * FROM T_FEC WHERE ID = %1").arg(id));
        EXPECT_EQ(rs->field(QStringLiteral("FECHA")).Value().toDateTime(), dt);
        rs->field(QStringLiteral("FECHA")).setValue(dt.addDays(1));
        rs->Update();
        auto back = cnn().Execute(QStringLiteral("SELECT FECHA FROM T_FEC WHERE ID = %1").arg(id));
        EXPECT_EQ(back->field(0).Value().toDateTime(), dt.addDays(1));
    }
}

// A Null in every column type is written and read back as Null.
TEST_P(EdgeCasesTest, NullsInEveryColumnType)
{
    recreateTable(QStringLiteral("T_NUL"),
                  QStringLiteral("ID INT PRIMARY KEY, C CHAR(5), V VARCHAR(10), NV NVARCHAR(10), T TEXT, "
                                 "S SMALLINT, B BIGINT, R REAL, F FLOAT, M MONEY, D DECIMAL(10,2), "
                                 "BT BIT, DT DATETIME"));
    cnn().Execute(QStringLiteral("INSERT INTO T_NUL (ID) VALUES (1)"));
    auto rs = openForChanges(QStringLiteral("SELECT * FROM T_NUL"));
    rs->AddNew();
    rs->field(0).setValue(2);
    for (int i = 1; i < 13; ++i)
        rs->field(i).setValue(Variant::null());
    rs->Update();
    rs = openForChanges(QStringLiteral("SELECT * FROM T_NUL ORDER BY ID"));
    ASSERT_EQ(rs->RecordCount(), 2);
    for (; !rs->EOF(); rs->MoveNext())
        for (int i = 1; i < 13; ++i)
            EXPECT_TRUE(rs->field(i).Value().isNull()) << rs->field(i).Name().toStdString();
    // Edited rows with Nulls are still found again (no key: every value identifies it).
    rs->MoveFirst();
    rs->field(QStringLiteral("V")).setValue(QStringLiteral("x"));
    EXPECT_NO_THROW(rs->Update());
}

// Blank statements, a closed connection and calls at BOF/EOF give errors, never a crash.
TEST_P(EdgeCasesTest, BadCallsRaiseClearErrors)
{
    for (const QString &blank : {QString(), QStringLiteral("  \r\n "), QStringLiteral("-- nada")}) {
        try {
            cnn().Execute(blank);
        } catch (const Exception &) {
        }
    }
    auto rs = cnn().Execute(QStringLiteral("SELECT 1 AS X WHERE 1 = 0"));
    EXPECT_TRUE(rs->BOF() && rs->EOF());
    EXPECT_THROW(rs->MoveNext(), Exception);
    EXPECT_THROW(rs->field(0).Value(), Exception);
    EXPECT_THROW(rs->Delete(), Exception);

    EXPECT_THROW(cnn().Execute(QStringLiteral("SELECT * FROM NO_EXISTE_TABLA")), Exception);
    EXPECT_EQ(cnn().errors().Count(), 1);
    cnn().Execute(QStringLiteral("SELECT 1"));
    EXPECT_EQ(cnn().errors().Count(), 0);

    cnn().Close();
    EXPECT_THROW(cnn().Execute(QStringLiteral("SELECT 1")), Exception);
    EXPECT_EQ(cnn().errors().Count(), 1);
    EXPECT_THROW(cnn().BeginTrans(), Exception);
    EXPECT_THROW(cnn().Close(), Exception);
    cnn().Open(connectionString());
    EXPECT_EQ(cnn().Execute(QStringLiteral("SELECT 1"))->field(0).Value().toInt64(), 1);
}

// A recordset edit outside a transaction leaves none open: a transaction begun right after
// it really rolls back.
TEST_P(EdgeCasesTest, TransactionAfterRecordsetEditRollsBack)
{
    recreateTable(QStringLiteral("T_TRN"), QStringLiteral("ID INT PRIMARY KEY, NOMBRE VARCHAR(20)"));
    cnn().Execute(QStringLiteral("INSERT INTO T_TRN VALUES (1, 'uno')"));
    for (const bool viaText : {false, true}) {
        SCOPED_TRACE(viaText ? "BEGIN TRAN text" : "BeginTrans");
        auto rs = openForChanges(QStringLiteral("SELECT * FROM T_TRN WHERE ID = 1"));
        rs->field(QStringLiteral("NOMBRE")).setValue(viaText ? QStringLiteral("b") : QStringLiteral("a"));
        rs->Update();
        if (viaText)
            cnn().Execute(QStringLiteral("BEGIN TRAN"));
        else
            cnn().BeginTrans();
        cnn().Execute(QStringLiteral("INSERT INTO T_TRN VALUES (2, 'dos')"));
        if (viaText)
            cnn().Execute(QStringLiteral("ROLLBACK TRAN"));
        else
            cnn().RollbackTrans();
        EXPECT_EQ(cnn().Execute(QStringLiteral("SELECT COUNT(*) FROM T_TRN"))->field(0).Value().toInt64(), 1);
        cnn().Execute(QStringLiteral("DELETE FROM T_TRN WHERE ID = 2"));
    }
    // Inside a transaction the edit is undone with it.
    cnn().BeginTrans();
    auto rs = openForChanges(QStringLiteral("SELECT * FROM T_TRN WHERE ID = 1"));
    rs->field(QStringLiteral("NOMBRE")).setValue(QStringLiteral("cambiado"));
    rs->Update();
    rs->Delete();
    cnn().RollbackTrans();
    EXPECT_EQ(textOf(QStringLiteral("SELECT NOMBRE FROM T_TRN WHERE ID = 1")), QStringLiteral("b"));
    EXPECT_THROW(cnn().RollbackTrans(), Exception);
}

// An edit that would touch more than one row (a table without a key holding two equal rows)
// is refused and changes nothing, inside a transaction or not.
TEST_P(EdgeCasesTest, AmbiguousRowEditChangesNothing)
{
    recreateTable(QStringLiteral("T_DUP"), QStringLiteral("NOMBRE VARCHAR(20), N INT"));
    cnn().Execute(QStringLiteral("INSERT INTO T_DUP VALUES ('igual', 1); INSERT INTO T_DUP VALUES ('igual', 1)"));
    const auto count = [&](const QString &where) {
        return cnn().Execute(QStringLiteral("SELECT COUNT(*) FROM T_DUP WHERE ") + where)->field(0).Value().toInt64();
    };
    for (const bool inTransaction : {false, true}) {
        SCOPED_TRACE(inTransaction ? "in a transaction" : "no transaction");
        if (inTransaction)
            cnn().BeginTrans();
        auto rs = openForChanges(QStringLiteral("SELECT * FROM T_DUP"));
        rs->field(QStringLiteral("N")).setValue(2);
        EXPECT_THROW(rs->Update(), Exception);
        EXPECT_EQ(count(QStringLiteral("N = 1")), 2);
        rs->CancelUpdate();
        EXPECT_THROW(rs->Delete(), Exception);
        EXPECT_EQ(count(QStringLiteral("N = 1")), 2);
        if (inTransaction) {
            cnn().Execute(QStringLiteral("INSERT INTO T_DUP VALUES ('otro', 3)"));
            cnn().CommitTrans();
            EXPECT_EQ(count(QStringLiteral("N = 3")), 1);
        }
    }
}

// A NUL character inside a statement (text pasted from a binary file) never hangs; on
// SQLite, which would drop what follows it, it is an error.
TEST_P(EdgeCasesTest, NulCharacterInABatchEnds)
{
    const QString nul(QChar(0));
    for (const QString &sql : {QStringLiteral("SELECT 1 AS X") + nul + QStringLiteral("x"),
                               QStringLiteral("SELECT 1 AS X; SELECT 2 AS X") + nul + QStringLiteral("x"),
                               QStringLiteral("SELECT 1 AS X; SELECT 2 AS X;") + nul}) {
        try {
            cnn().Execute(sql);
            EXPECT_FALSE(isSqlite()) << "accepted";
        } catch (const Exception &) {
            EXPECT_EQ(cnn().errors().Count(), 1);
        }
    }
    EXPECT_EQ(cnn().Execute(QStringLiteral("SELECT 3 AS X"))->field(0).Value().toInt64(), 3);
}

// A computed column named like the key is not the key: the edit reaches the row it was read
// from, not the row whose key equals the computed value.
TEST_P(EdgeCasesTest, ComputedColumnNamedLikeTheKeyIsNotTheKey)
{
    recreateTable(QStringLiteral("T_CLV"), QStringLiteral("ID INT PRIMARY KEY, NOMBRE VARCHAR(20)"));
    cnn().Execute(QStringLiteral("INSERT INTO T_CLV VALUES (1, 'uno'); INSERT INTO T_CLV VALUES (2, 'dos')"));
    auto rs = openForChanges(QStringLiteral("SELECT ID * 2 AS ID, NOMBRE FROM T_CLV WHERE ID = 1"));
    rs->field(QStringLiteral("NOMBRE")).setValue(QStringLiteral("cambiado"));
    try {
        rs->Update();
    } catch (const Exception &) {
        // refusing is fine too; changing the wrong row is not
    }
    EXPECT_EQ(textOf(QStringLiteral("SELECT NOMBRE FROM T_CLV WHERE ID = 2")), QStringLiteral("dos"));
}

IMAESTROS_DATABASE_TESTS(EdgeCasesTest);

} // namespace
