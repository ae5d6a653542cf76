// Execute and Command on SQLite over generated and mutated statements and values: every
// failure is an ado::Exception with SQL Server's number, nothing hangs, and the connection
// stays usable.
#include "FuzzInput.h"
#include "platform/ado/Command.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "tests/support/TestDatabase.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <set>

using namespace ado;

namespace {

const QString kTable = QStringLiteral("ID INT PRIMARY KEY, TXT VARCHAR(12), N INT, M MONEY, F DATETIME, "
                                      "D DECIMAL(10,2), B BIT");

std::string describe(const QString &sql)
{
    QString shown = sql.left(300);
    shown.replace(QChar(0), QStringLiteral("\\0"));
    return shown.toStdString();
}

class FuzzExecute : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_cnn.Open(testsupport::sqliteConnectionString(testsupport::freshSqliteFile()));
        m_cnn.setCommandTimeout(2); // a runaway statement is stopped, and then reported
        restore();
    }
    // The tables as the statements expect them, whatever the last ones did.
    void restore()
    {
        while (true) {
            try {
                m_cnn.RollbackTrans();
            } catch (const Exception &) {
                break;
            }
        }
        const QStringList tables = m_cnn.Tables();
        if (!tables.contains(QStringLiteral("T_FZ"), Qt::CaseInsensitive)) {
            m_cnn.Execute(QStringLiteral("CREATE TABLE T_FZ (%1)").arg(kTable));
            for (int id = 1; id <= 5; ++id)
                m_cnn.Execute(
                    QStringLiteral("INSERT INTO T_FZ VALUES (%1, '   %1', %1, 0.1, '0%1/02/2021', 1.5, 1)").arg(id));
        }
        if (!tables.contains(QStringLiteral("T_FZ2"), Qt::CaseInsensitive))
            m_cnn.Execute(QStringLiteral("CREATE TABLE T_FZ2 (SUCURSAL CHAR(4), NUMERO CHAR(8), LETRA CHAR(1))"));
    }
    // Runs `run`; a failure must be an ado::Exception that left its errors, and the
    // connection must still answer afterwards.
    template <typename F> void expectClean(const std::string &what, F &&run)
    {
        QElapsedTimer clock;
        clock.start();
        try {
            run();
        } catch (const Exception &e) {
            EXPECT_GE(m_cnn.errors().Count(), 1) << what;
            EXPECT_FALSE(e.Description().isEmpty()) << what;
        } catch (const std::exception &e) {
            ADD_FAILURE() << what << ": " << e.what();
        }
        EXPECT_LT(clock.elapsed(), 10000) << what << ": hung";
        EXPECT_EQ(m_cnn.Execute(QStringLiteral("SELECT 1 AS X"))->field(0).Value().toInt64(), 1) << what;
    }
    Connection m_cnn;
};

TEST_F(FuzzExecute, StatementsFailCleanly)
{
    const quint64 seed = fuzz::FuzzInput::seedFromEnvironment();
    const int cases = fuzz::FuzzInput::casesFromEnvironment(4000);
    fuzz::FuzzInput input(seed);
    for (int k = 0; k < cases; ++k) {
        const QString sql = input.statement();
        expectClean("seed " + std::to_string(seed) + ", case " + std::to_string(k) + ": " + describe(sql), [&] {
            auto rs = m_cnn.Execute(sql);
            if (rs->State() == adStateOpen)
                for (; !rs->EOF(); rs->MoveNext())
                    for (int i = 0; i < rs->fields().Count(); ++i)
                        rs->field(i).Value();
        });
        if (HasFatalFailure())
            return;
        if (k % 100 == 99)
            restore();
    }
}

TEST_F(FuzzExecute, BoundValuesConvertOrFailWithSqlServerNumbers)
{
    const quint64 seed = fuzz::FuzzInput::seedFromEnvironment() + 1;
    const int cases = fuzz::FuzzInput::casesFromEnvironment(4000);
    fuzz::FuzzInput input(seed);
    const std::set<long> conversions{0, 206, 220, 235, 241, 242, 244, 245, 248, 515, 2627, 8114, 8115, 8152};
    Command insert, select;
    insert.setActiveConnection(&m_cnn);
    insert.setCommandText(QStringLiteral("INSERT INTO T_FZ (ID, TXT, N, M, F, D, B) VALUES (?, ?, ?, ?, ?, ?, ?)"));
    select.setActiveConnection(&m_cnn);
    select.setCommandText(QStringLiteral("SELECT COUNT(*) FROM T_FZ WHERE TXT = ? OR N = ? OR F < ? OR M > ?"));
    for (int i = 0; i < 7; ++i)
        insert.Parameters().Append(insert.CreateParameter(QStringLiteral("p%1").arg(i), adVarChar));
    for (int i = 0; i < 4; ++i)
        select.Parameters().Append(select.CreateParameter(QStringLiteral("q%1").arg(i), adVarChar));
    for (int k = 0; k < cases; ++k) {
        Command &cmd = k % 2 ? select : insert;
        QStringList shown;
        for (int i = 0; i < cmd.Parameters().Count(); ++i) {
            const platform::Variant v = input.value();
            cmd.Parameters()[i].setValue(v);
            shown << describe(v.toString()).substr(0, 40).c_str();
        }
        const std::string what = "seed " + std::to_string(seed) + ", case " + std::to_string(k) + ": "
            + shown.join(QStringLiteral(" | ")).toStdString();
        expectClean(what, [&] {
            try {
                cmd.Execute();
            } catch (const Exception &) {
                EXPECT_TRUE(conversions.count(m_cnn.errors()[0].NativeError))
                    << what << ": " << m_cnn.errors()[0].NativeError << " "
                    << m_cnn.errors()[0].Description.toStdString();
                throw;
            }
        });
        if (HasFatalFailure())
            return;
    }
}

} // namespace
