#include "platform/ado/Recordset.h"
#include "platform/ado/Connection.h"
#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>

using namespace ado;
using platform::Variant;
using testsupport::DatabaseTest;

namespace {

long errorNumber(const std::function<void()> &call)
{
    try {
        call();
    } catch (const Exception &e) {
        return e.Number();
    }
    return 0;
}

class RecordsetTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (IsSkipped())
            return;
        recreateTable(QStringLiteral("T_REG"), QStringLiteral("ID INT PRIMARY KEY, NOMBRE VARCHAR(20), PRECIO FLOAT"));
        cnn().Execute(QStringLiteral("INSERT INTO T_REG VALUES (1, 'uno', 1.5);"
                                     "INSERT INTO T_REG VALUES (2, 'dos', 2.5);"
                                     "INSERT INTO T_REG VALUES (3, 'tres', NULL)"));
    }
    std::vector<QString> names()
    {
        std::vector<QString> out;
        auto rs = cnn().Execute(QStringLiteral("SELECT NOMBRE FROM T_REG ORDER BY ID"));
        for (; !rs->EOF(); rs->MoveNext())
            out.push_back(rs->field(0).Value().toString());
        return out;
    }
    std::unique_ptr<Recordset> openForChanges(const QString &sql)
    {
        auto rs = std::make_unique<Recordset>();
        rs->Open(sql, cnn(), adOpenDynamic, adLockOptimistic);
        return rs;
    }
};

TEST_P(RecordsetTest, NavigatesAFullyFetchedResult)
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM T_REG ORDER BY ID"), cnn());
    EXPECT_EQ(rs.RecordCount(), 3);
    EXPECT_FALSE(rs.BOF());
    EXPECT_FALSE(rs.EOF());
    EXPECT_EQ(rs.AbsolutePosition(), 1);
    rs.MoveNext();
    rs.MoveNext();
    EXPECT_EQ(rs.value(QStringLiteral("ID")).toInt64(), 3);
    rs.MoveNext();
    EXPECT_TRUE(rs.EOF());
    EXPECT_EQ(rs.AbsolutePosition(), -3);
    EXPECT_EQ(errorNumber([&] { rs.MoveNext(); }), errnum::BofOrEof);
    EXPECT_EQ(errorNumber([&] { rs.value(QStringLiteral("ID")); }), errnum::BofOrEof);
    rs.MovePrevious();
    EXPECT_EQ(rs.value(QStringLiteral("ID")).toInt64(), 3);
    rs.MoveFirst();
    rs.MovePrevious();
    EXPECT_TRUE(rs.BOF());
    EXPECT_EQ(errorNumber([&] { rs.MovePrevious(); }), errnum::BofOrEof);
    rs.MoveLast();
    EXPECT_EQ(rs.AbsolutePosition(), 3);
    rs.setAbsolutePosition(2);
    EXPECT_EQ(rs.value(QStringLiteral("nombre")).toString(), QStringLiteral("dos"));
    rs.Move(-1);
    EXPECT_EQ(rs.value(QStringLiteral("ID")).toInt64(), 1);
    rs.Close();
    EXPECT_EQ(rs.State(), adStateClosed);
    EXPECT_EQ(errorNumber([&] { rs.RecordCount(); }), errnum::ObjectClosed);
    EXPECT_EQ(errorNumber([&] { rs.Close(); }), errnum::ObjectClosed);
}

TEST_P(RecordsetTest, EmptyResultIsAtBothEnds)
{
    auto rs = cnn().Execute(QStringLiteral("SELECT * FROM T_REG WHERE ID = 99"));
    EXPECT_EQ(rs->State(), adStateOpen);
    EXPECT_TRUE(rs->BOF());
    EXPECT_TRUE(rs->EOF());
    EXPECT_EQ(rs->RecordCount(), 0);
    EXPECT_EQ(rs->fields().Count(), 3) << "columns are known without rows";
    EXPECT_EQ(errorNumber([&] { rs->MoveFirst(); }), errnum::BofOrEof);
    EXPECT_EQ(errorNumber([&] { rs->field(0).Value(); }), errnum::BofOrEof);
}

TEST_P(RecordsetTest, FieldsAreFoundByNameWithoutRegardToCaseFirstMatchWins)
{
    auto rs = cnn().Execute(QStringLiteral("SELECT ID, NOMBRE, PRECIO, ID * 10 AS id FROM T_REG WHERE ID = 2"));
    const Fields fields = rs->fields();
    EXPECT_EQ(fields.Count(), 4);
    EXPECT_EQ(fields.indexOf(QStringLiteral("Nombre")), 1);
    EXPECT_EQ(fields[QStringLiteral("id")].Value().toInt64(), 2) << "the first column named ID";
    EXPECT_EQ(fields[3].Value().toInt64(), 20);
    EXPECT_EQ(fields[1].Name().toUpper(), QStringLiteral("NOMBRE"));
    EXPECT_EQ(errorNumber([&] { fields[QStringLiteral("NO_ESTA")]; }), errnum::ItemNotFound);
    EXPECT_EQ(errorNumber([&] { fields[7]; }), errnum::ItemNotFound);
}

TEST_P(RecordsetTest, AddNewUpdateAndCancelWriteThrough)
{
    auto rs = openForChanges(QStringLiteral("SELECT * FROM T_REG ORDER BY ID"));
    rs->AddNew();
    rs->field(QStringLiteral("ID")).setValue(4);
    rs->field(QStringLiteral("NOMBRE")).setValue(QStringLiteral("cuatro"));
    rs->Update();
    EXPECT_EQ(rs->RecordCount(), 4);
    EXPECT_EQ(rs->value(QStringLiteral("NOMBRE")).toString(), QStringLiteral("cuatro")) << "the new row is current";

    rs->MoveFirst();
    rs->field(QStringLiteral("NOMBRE")).setValue(QStringLiteral("UNO"));
    rs->Update();
    rs->MoveNext();
    rs->field(QStringLiteral("NOMBRE")).setValue(QStringLiteral("no se guarda"));
    rs->CancelUpdate();
    EXPECT_EQ(rs->value(QStringLiteral("NOMBRE")).toString(), QStringLiteral("dos"));
    rs->field(QStringLiteral("PRECIO")).setValue(9.25);
    rs->MoveNext(); // leaving an edited row saves it
    EXPECT_EQ(names(),
              (std::vector<QString>{QStringLiteral("UNO"), QStringLiteral("dos"), QStringLiteral("tres"),
                                    QStringLiteral("cuatro")}));
    auto check = cnn().Execute(QStringLiteral("SELECT PRECIO FROM T_REG WHERE ID = 2"));
    EXPECT_DOUBLE_EQ(check->field(0).Value().toDouble(), 9.25);
}

TEST_P(RecordsetTest, MovingOffANewRowSavesIt)
{
    auto rs = openForChanges(QStringLiteral("SELECT * FROM T_REG WHERE ID > 100"));
    ASSERT_TRUE(rs->EOF());
    rs->AddNew();
    rs->field(QStringLiteral("ID")).setValue(101);
    rs->field(QStringLiteral("NOMBRE")).setValue(QStringLiteral("nuevo"));
    EXPECT_TRUE(rs->value(QStringLiteral("PRECIO")).isNull()) << "an unset field of a new row is Null";
    rs->MoveNext();
    EXPECT_TRUE(rs->EOF());
    EXPECT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(names().back(), QStringLiteral("nuevo"));
}

TEST_P(RecordsetTest, DeleteInALoopRemovesEveryRow)
{
    auto rs = openForChanges(QStringLiteral("SELECT * FROM T_REG WHERE ID >= 2 ORDER BY ID"));
    while (!rs->EOF()) {
        rs->Delete();
        EXPECT_EQ(errorNumber([&] { rs->field(0).Value(); }), errnum::BofOrEof) << "the deleted row stays current";
        rs->MoveNext();
    }
    EXPECT_EQ(rs->RecordCount(), 0);
    EXPECT_EQ(names(), std::vector<QString>{QStringLiteral("uno")});
}

TEST_P(RecordsetTest, RowWithoutKeyIsFoundByItsValues)
{
    recreateTable(QStringLiteral("T_SINCLAVE"), QStringLiteral("A INT, B VARCHAR(10)"));
    cnn().Execute(QStringLiteral("INSERT INTO T_SINCLAVE VALUES (1, 'x');INSERT INTO T_SINCLAVE VALUES (1, NULL)"));
    auto rs = openForChanges(QStringLiteral("SELECT A, B, A * 2 AS DOBLE FROM T_SINCLAVE WHERE B IS NULL"));
    rs->field(QStringLiteral("B")).setValue(QStringLiteral("y"));
    rs->Update();
    auto check = cnn().Execute(QStringLiteral("SELECT COUNT(*) FROM T_SINCLAVE WHERE B = 'y'"));
    EXPECT_EQ(check->field(0).Value().toInt64(), 1);
}

TEST_P(RecordsetTest, ReadOnlyAndFailedEditsRaise)
{
    auto ro = cnn().Execute(QStringLiteral("SELECT * FROM T_REG"));
    EXPECT_EQ(errorNumber([&] { ro->field(1).setValue(QStringLiteral("x")); }), 3251);
    EXPECT_EQ(errorNumber([&] { ro->AddNew(); }), 3251);

    auto rs = openForChanges(QStringLiteral("SELECT * FROM T_REG ORDER BY ID"));
    rs->AddNew();
    rs->field(QStringLiteral("ID")).setValue(1); // duplicate key
    EXPECT_EQ(errorNumber([&] { rs->Update(); }), errnum::IntegrityViolation);
    EXPECT_EQ(cnn().errors()[0].NativeError, native::DuplicateKey);
    EXPECT_TRUE(rs->editing()) << "the failed row stays pending";
    rs->CancelUpdate();
    EXPECT_EQ(rs->RecordCount(), 3);

    // a row deleted behind the recordset's back cannot be updated
    cnn().Execute(QStringLiteral("DELETE FROM T_REG WHERE ID = 1"));
    rs->MoveFirst();
    rs->field(QStringLiteral("NOMBRE")).setValue(QStringLiteral("perdido"));
    EXPECT_NE(errorNumber([&] { rs->Update(); }), 0);
    rs->CancelUpdate();
}

IMAESTROS_DATABASE_TESTS(RecordsetTest);

} // namespace
