#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>

using namespace ado;
using testsupport::DatabaseTest;

namespace {

class ErrorsTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (IsSkipped())
            return;
        recreateTable(QStringLiteral("T_RUBRO"), QStringLiteral("ID INT PRIMARY KEY"));
        recreateTable(QStringLiteral("T_ARTICULO"),
                      QStringLiteral("ID INT PRIMARY KEY, NOMBRE VARCHAR(10) NOT NULL, "
                                     "RUBRO INT REFERENCES T_RUBRO(ID), CANTIDAD INT CHECK (CANTIDAD >= 0)"));
        cnn().Execute(QStringLiteral("INSERT INTO T_RUBRO VALUES (1)"));
        cnn().Execute(QStringLiteral("INSERT INTO T_ARTICULO VALUES (1, 'uno', 1, 5)"));
    }
};

struct ErrorCase {
    const char *name;
    const char *statement;
    long number;                 // ADO number
    long native;                 // SQL Server's number
    QStringList mentions;        // names the description must hold (any case)
    bool namedEverywhere = true; // false: only SQLite names them (PostgreSQL's text does not)
};

// SQLite and PostgreSQL errors are reported with the numbers SQL Server gives.
TEST_P(ErrorsTest, EngineErrorsMapToSqlServerNumbers)
{
    const ErrorCase cases[] = {
        {"duplicate key",
         "INSERT INTO T_ARTICULO VALUES (1, 'otro', 1, 1)",
         errnum::IntegrityViolation,
         native::DuplicateKey,
         {QStringLiteral("T_ARTICULO")}},
        {"foreign key",
         "INSERT INTO T_ARTICULO VALUES (2, 'dos', 99, 1)",
         errnum::IntegrityViolation,
         native::ConstraintConflict,
         {QStringLiteral("T_ARTICULO")}},
        {"foreign key on delete", "DELETE FROM T_RUBRO", errnum::IntegrityViolation, native::ConstraintConflict, {}},
        {"check",
         "UPDATE T_ARTICULO SET CANTIDAD = -1 WHERE ID = 1",
         errnum::IntegrityViolation,
         native::ConstraintConflict,
         {QStringLiteral("T_ARTICULO")}},
        {"not null",
         "INSERT INTO T_ARTICULO (ID, NOMBRE) VALUES (3, NULL)",
         errnum::IntegrityViolation,
         native::NullNotAllowed,
         {QStringLiteral("T_ARTICULO"), QStringLiteral("NOMBRE")}},
        {"truncation",
         "INSERT INTO T_ARTICULO VALUES (4, 'demasiado largo', 1, 1)",
         errnum::CommandFailed,
         native::StringTruncated,
         {QStringLiteral("T_ARTICULO"), QStringLiteral("NOMBRE")},
         false},
        {"missing table",
         "SELECT * FROM T_NO_EXISTE",
         errnum::CommandFailed,
         native::InvalidObject,
         {QStringLiteral("T_NO_EXISTE")}},
        {"existing table",
         "CREATE TABLE T_RUBRO (ID INT)",
         errnum::CommandFailed,
         native::AlreadyExists,
         {QStringLiteral("T_RUBRO")}},
        {"syntax", "SELEC * FROM T_RUBRO", errnum::CommandFailed, native::SyntaxError, {}},
        {"unterminated type", "CREATE TABLE T_X (A varchar(", errnum::CommandFailed, native::SyntaxError, {}},
    };
    for (const ErrorCase &c : cases) {
        SCOPED_TRACE(c.name);
        try {
            cnn().Execute(QString::fromUtf8(c.statement));
            ADD_FAILURE() << "no error";
            continue;
        } catch (const Exception &e) {
            EXPECT_EQ(e.Number(), c.number);
            ASSERT_GE(cnn().errors().Count(), 1);
            const Error &first = cnn().errors()[0];
            EXPECT_EQ(first.NativeError, c.native) << first.Description.toStdString();
            EXPECT_EQ(first.Number, c.number);
            EXPECT_FALSE(first.SQLState.isEmpty());
            EXPECT_EQ(e.Description(), first.Description);
            for (const QString &name : c.namedEverywhere || isSqlite() ? c.mentions : QStringList())
                EXPECT_TRUE(first.Description.contains(name, Qt::CaseInsensitive))
                    << first.Description.toStdString() << " should name " << name.toStdString();
        }
    }
    // none of them changed the table
    auto rs = cnn().Execute(QStringLiteral("SELECT COUNT(*) FROM T_ARTICULO"));
    EXPECT_EQ(rs->field(0).Value().toInt64(), 1);
}

IMAESTROS_DATABASE_TESTS(ErrorsTest);

} // namespace
