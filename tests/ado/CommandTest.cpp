#include "platform/ado/Command.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>

using namespace ado;
using platform::Variant;
using testsupport::DatabaseTest;

namespace {

class CommandTest : public DatabaseTest {
protected:
    // A command on cnn() with one input parameter per value.
    std::unique_ptr<Command> command(const QString &text, const std::vector<std::pair<DataTypeEnum, Variant>> &values)
    {
        auto cmd = std::make_unique<Command>();
        cmd->setActiveConnection(&cnn());
        cmd->setCommandText(text);
        int n = 0;
        for (const auto &[type, value] : values)
            cmd->Parameters().Append(
                cmd->CreateParameter(QStringLiteral("p%1").arg(++n), type, adParamInput, 0, value));
        return cmd;
    }
    qint64 count(const QString &condition)
    {
        return cnn()
            .Execute(QStringLiteral("SELECT COUNT(*) FROM T_CMD WHERE ") + condition)
            ->field(0)
            .Value()
            .toInt64();
    }
};

// Every kind of value written through a parameter reads back as it was bound.
TEST_P(CommandTest, ValuesRoundTripThroughParameters)
{
    recreateTable(QStringLiteral("T_CMD"),
                  QStringLiteral("ID INT PRIMARY KEY, TXT VARCHAR(20), LARGO TEXT, N INT, B BIGINT, P MONEY, "
                                 "F FLOAT, D DECIMAL(18,4), ACTIVO BIT, ALTA DATETIME, IMG IMAGE"));
    const QString longText = QString(QStringLiteral("ñandú ")).repeated(3000); // beyond any short-text buffer
    const QByteArray bytes("\x00\x01\xff"
                           "abc",
                           6);
    const QDateTime when(QDate(2020, 12, 31), QTime(23, 59, 58));
    auto insert = command(QStringLiteral("INSERT INTO T_CMD (ID, TXT, LARGO, N, B, P, F, D, ACTIVO, ALTA, IMG) "
                                         "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                          {{adInteger, 1},
                           {adVarChar, QStringLiteral("O'Brien -- ?")},
                           {adLongVarChar, longText},
                           {adInteger, -7},
                           {adBigInt, 9007199254740993LL},
                           {adCurrency, 1234.5678},
                           {adDouble, 0.25},
                           {adNumeric, 12.5},
                           {adBoolean, true},
                           {adDBTimeStamp, when},
                           {adLongVarBinary, bytes}});
    long affected = 0;
    insert->Execute(&affected);
    EXPECT_EQ(affected, 1);
    // the same command again, every value Null
    insert->Parameters()[0].setValue(2);
    for (int i = 1; i < insert->Parameters().Count(); ++i)
        insert->Parameters()[i].setValue(Variant::null());
    insert->Execute(&affected);
    EXPECT_EQ(affected, 1);

    auto rs = cnn().Execute(QStringLiteral("SELECT * FROM T_CMD ORDER BY ID"));
    EXPECT_EQ(rs->value(QStringLiteral("TXT")).toString(), QStringLiteral("O'Brien -- ?"));
    EXPECT_EQ(rs->value(QStringLiteral("LARGO")).toString(), longText);
    EXPECT_EQ(rs->value(QStringLiteral("N")).toInt64(), -7);
    EXPECT_EQ(rs->value(QStringLiteral("B")).toInt64(), 9007199254740993LL);
    EXPECT_DOUBLE_EQ(rs->value(QStringLiteral("P")).toDouble(), 1234.5678);
    EXPECT_DOUBLE_EQ(rs->value(QStringLiteral("F")).toDouble(), 0.25);
    EXPECT_DOUBLE_EQ(rs->value(QStringLiteral("D")).toDouble(), 12.5);
    EXPECT_TRUE(rs->value(QStringLiteral("ACTIVO")).toBool());
    EXPECT_EQ(rs->value(QStringLiteral("ALTA")).toDateTime(), when);
    EXPECT_EQ(rs->value(QStringLiteral("IMG")).toBytes(), bytes);
    rs->MoveNext();
    for (const char *name : {"TXT", "LARGO", "N", "B", "P", "F", "D", "ACTIVO", "ALTA", "IMG"})
        EXPECT_TRUE(rs->value(QString::fromLatin1(name)).isNull()) << name;
}

// Prepared once, the command runs again with each new set of values; a SELECT returns rows.
TEST_P(CommandTest, RunsAgainWithNewValues)
{
    recreateTable(QStringLiteral("T_CMD"), QStringLiteral("ID INT PRIMARY KEY, NOMBRE VARCHAR(20)"));
    auto insert = command(QStringLiteral("INSERT INTO T_CMD (ID, NOMBRE) VALUES (?, ?)"),
                          {{adInteger, Variant()}, {adVarChar, Variant()}});
    for (int id = 1; id <= 5; ++id) {
        insert->Parameters()[0].setValue(id);
        insert->Parameters()[1].setValue(QStringLiteral("n%1").arg(id));
        insert->Execute();
    }
    auto update = command(QStringLiteral("UPDATE T_CMD SET NOMBRE = ? WHERE ID > ?"),
                          {{adVarChar, QStringLiteral("grande")}, {adInteger, 3}});
    long affected = 0;
    update->Execute(&affected);
    EXPECT_EQ(affected, 2);
    auto select = command(QStringLiteral("SELECT ID FROM T_CMD WHERE NOMBRE = ? ORDER BY ID"),
                          {{adVarChar, QStringLiteral("GRANDE")}});
    auto rs = select->Execute();
    ASSERT_EQ(rs->RecordCount(), 2);
    EXPECT_EQ(rs->field(0).Value().toInt64(), 4);
    select->Parameters()[0].setValue(QStringLiteral("n2"));
    rs = select->Execute();
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->field(0).Value().toInt64(), 2);
    select->Parameters()[0].setValue(QStringLiteral("x' OR '1'='1"));
    EXPECT_EQ(select->Execute()->RecordCount(), 0) << "a value never becomes SQL";
}

// The translation may move a marker (the condition of IF NOT EXISTS goes last); its value goes with it.
TEST_P(CommandTest, MarkersKeepTheirValuesThroughTranslation)
{
    recreateTable(QStringLiteral("T_CMD"), QStringLiteral("ID INT PRIMARY KEY, NOMBRE VARCHAR(20)"));
    auto guarded = command(QStringLiteral("IF NOT EXISTS (SELECT * FROM T_CMD WHERE ID = ?) "
                                          "INSERT INTO T_CMD (ID, NOMBRE) VALUES (?, ?)"),
                           {{adInteger, 1}, {adInteger, 1}, {adVarChar, QStringLiteral("uno")}});
    guarded->Execute();
    guarded->Parameters()[2].setValue(QStringLiteral("otro"));
    guarded->Execute(); // the row is there: nothing happens
    EXPECT_EQ(count(QStringLiteral("NOMBRE = 'uno'")), 1);
    EXPECT_EQ(count(QStringLiteral("1 = 1")), 1);
    auto top = command(QStringLiteral("SELECT TOP 1 NOMBRE FROM T_CMD with(nolock) WHERE ID = ? AND NOMBRE <> '?'"),
                       {{adInteger, 1}});
    EXPECT_EQ(top->Execute()->field(0).Value().toString(), QStringLiteral("uno"));
}

// Failures fill the connection's Errors with the same numbers as the literal statement.
TEST_P(CommandTest, FailuresReportLikeLiteralStatements)
{
    recreateTable(QStringLiteral("T_CMD"), QStringLiteral("ID INT PRIMARY KEY, NOMBRE VARCHAR(5) NOT NULL"));
    auto insert = command(QStringLiteral("INSERT INTO T_CMD (ID, NOMBRE) VALUES (?, ?)"),
                          {{adInteger, 1}, {adVarChar, QStringLiteral("uno")}});
    insert->Execute();
    struct Case {
        const char *name;
        Variant id, nombre;
        long number, native;
    };
    const Case cases[] = {
        {"duplicate key", 1, QStringLiteral("dos"), errnum::IntegrityViolation, native::DuplicateKey},
        {"null", 2, Variant::null(), errnum::IntegrityViolation, native::NullNotAllowed},
        {"too long", 3, QStringLiteral("seis l"), errnum::CommandFailed, native::StringTruncated},
    };
    for (const Case &c : cases) {
        insert->Parameters()[0].setValue(c.id);
        insert->Parameters()[1].setValue(c.nombre);
        try {
            insert->Execute();
            ADD_FAILURE() << c.name << ": no error";
        } catch (const Exception &e) {
            EXPECT_EQ(e.Number(), c.number) << c.name;
            ASSERT_GE(cnn().errors().Count(), 1) << c.name;
            EXPECT_EQ(cnn().errors()[0].NativeError, c.native) << c.name;
        }
    }
    // the command still works afterwards, and so does the connection
    insert->Parameters()[0].setValue(4);
    insert->Parameters()[1].setValue(QStringLiteral("bien"));
    insert->Execute();
    EXPECT_EQ(cnn().errors().Count(), 0);
    EXPECT_EQ(count(QStringLiteral("1 = 1")), 2);
}

TEST_P(CommandTest, ParametersMustMatchTheMarkers)
{
    recreateTable(QStringLiteral("T_CMD"), QStringLiteral("ID INT PRIMARY KEY, NOMBRE VARCHAR(20)"));
    struct Case {
        const char *text;
        int parameters;
    };
    const Case cases[] = {
        {"INSERT INTO T_CMD (ID, NOMBRE) VALUES (?, ?)", 1},
        {"INSERT INTO T_CMD (ID, NOMBRE) VALUES (?, '?')", 2}, // a "?" in a literal is no marker
        {"SELECT * FROM T_CMD -- ?\nWHERE ID = ?", 0},
    };
    for (const Case &c : cases) {
        std::vector<std::pair<DataTypeEnum, Variant>> values(size_t(c.parameters), {adInteger, Variant(1)});
        auto cmd = command(QString::fromLatin1(c.text), values);
        try {
            cmd->Execute();
            ADD_FAILURE() << c.text << ": ran";
        } catch (const Exception &e) {
            EXPECT_EQ(e.Number(), errnum::ParameterMissing) << c.text;
            EXPECT_EQ(cnn().errors().Count(), 1) << c.text;
        }
    }
    auto output = command(QStringLiteral("SELECT ? AS X"), {{adInteger, 1}});
    output->Parameters()[0].setDirection(adParamOutput);
    EXPECT_THROW(output->Execute(), Exception);
}

// A command outlives a closed connection: it raises while closed and prepares anew once reopened.
TEST_P(CommandTest, FollowsItsConnectionThroughCloseAndOpen)
{
    recreateTable(QStringLiteral("T_CMD"), QStringLiteral("ID INT PRIMARY KEY, NOMBRE VARCHAR(20)"));
    auto insert = command(QStringLiteral("INSERT INTO T_CMD (ID, NOMBRE) VALUES (?, 'x')"), {{adInteger, 1}});
    insert->Execute();
    cnn().Close();
    try {
        insert->Parameters()[0].setValue(2);
        insert->Execute();
        ADD_FAILURE() << "ran on a closed connection";
    } catch (const Exception &e) {
        EXPECT_EQ(e.Number(), errnum::ConnectionClosed);
    }
    cnn().Open(connectionString());
    insert->Execute();
    EXPECT_EQ(count(QStringLiteral("1 = 1")), 2);
    // a definition between two runs: the command sees the new column
    cnn().Execute(QStringLiteral("ALTER TABLE T_CMD ADD EXTRA INT"));
    insert->setCommandText(QStringLiteral("INSERT INTO T_CMD (ID, NOMBRE, EXTRA) VALUES (?, 'y', 5)"));
    insert->Parameters()[0].setValue(3);
    insert->Execute();
    EXPECT_EQ(count(QStringLiteral("EXTRA = 5")), 1);
    Command orphan;
    EXPECT_THROW(orphan.Execute(), Exception);
}

// Transaction words in a command text act on the connection's transaction.
TEST_P(CommandTest, TransactionWordsInTheText)
{
    recreateTable(QStringLiteral("T_CMD"), QStringLiteral("ID INT PRIMARY KEY, NOMBRE VARCHAR(20)"));
    auto batch = command(QStringLiteral("BEGIN TRANSACTION\nINSERT INTO T_CMD (ID, NOMBRE) VALUES (?, ?)\n"
                                        "ROLLBACK TRANSACTION"),
                         {{adInteger, 1}, {adVarChar, QStringLiteral("uno")}});
    batch->Execute();
    EXPECT_EQ(count(QStringLiteral("1 = 1")), 0);
    batch->setCommandText(QStringLiteral("BEGIN TRANSACTION; INSERT INTO T_CMD (ID, NOMBRE) VALUES (?, ?); "
                                         "COMMIT TRANSACTION"));
    batch->Execute();
    EXPECT_EQ(count(QStringLiteral("1 = 1")), 1);
}

IMAESTROS_DATABASE_TESTS(CommandTest);

} // namespace
