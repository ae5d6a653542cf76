// A connection lost under AbrirRecordset: the PostgreSQL server is stopped and started
// under the open connection with the command in IMAESTROS_PG_CTL.
#include "db/DB_Dll.h"
#include "platform/ado/Recordset.h"
#include "platform/ui/Operator.h"
#include "tests/db/QtPrinters.h"
#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace {

bool serverCommand(const char *action)
{
    const QByteArray ctl = qgetenv("IMAESTROS_PG_CTL");
    const QByteArray command = ctl + " " + action + " -w -t 60 >/dev/null 2>&1";
    return std::system(command.constData()) == 0;
}

// Answers each question with a step of the test.
class ActingOperator : public platform::OperatorService {
public:
    std::function<int(const platform::Question &)> onAsk;
    QList<platform::Question> asked;
    platform::Reply ask(const platform::Question &question) override
    {
        asked << question;
        return {onAsk ? onAsk(question) : platform::vbCancel, QString()};
    }
};

class ReconnectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("IMAESTROS_PG_CONNSTR") || qEnvironmentVariableIsEmpty("IMAESTROS_PG_CTL"))
            GTEST_SKIP() << "PostgreSQL server control not available (set IMAESTROS_PG_CONNSTR and IMAESTROS_PG_CTL)";
        m_connstr = testsupport::postgresConnectionString();
        m_operator = std::make_shared<ActingOperator>();
        m_scope = std::make_unique<platform::ScopedOperator>(m_operator);
        DB_Dll &db = gDB();
        db.gServidor = QStringLiteral("%pg");
        db.OpenServerADODB(false, ado::adUseClient, m_connstr, false, false);
        ASSERT_TRUE(db.gOpenFlag);
        db.gCnn.setCommandTimeout(17);
    }
    void TearDown() override
    {
        DB_Dll::setTerminarPrograma(nullptr);
        m_scope.reset();
        releaseSharedDatabases();
        if (!m_connstr.isEmpty() && !qEnvironmentVariableIsEmpty("IMAESTROS_PG_CTL"))
            serverCommand("start"); // leave the server running for the next tests
    }
    QString m_connstr;
    std::shared_ptr<ActingOperator> m_operator;
    std::unique_ptr<platform::ScopedOperator> m_scope;
};

TEST_F(ReconnectTest, ServerBackAgainReconnectsWithoutAsking)
{
    ASSERT_TRUE(serverCommand("stop -m fast"));
    ASSERT_TRUE(serverCommand("start"));
    ado::Recordset rs;
    EXPECT_TRUE(gDB().AbrirRecordset(QStringLiteral("SELECT 1 AS UNO"), rs));
    EXPECT_EQ(rs.value(QStringLiteral("UNO")).toInt64(), 1);
    EXPECT_TRUE(gDB().gOpenFlag);
    EXPECT_TRUE(m_operator->asked.isEmpty());
    EXPECT_EQ(gDB().gCnn.CommandTimeout(), 17) << "the configured time-out is restored";
}

TEST_F(ReconnectTest, ServerDownAsksAndYesTriesAgain)
{
    ASSERT_TRUE(serverCommand("stop -m fast"));
    m_operator->onAsk = [](const platform::Question &) {
        EXPECT_TRUE(serverCommand("start"));
        return int(platform::vbYes);
    };
    gDB().gDBName = QStringLiteral("imaestros_test");
    ado::Recordset rs;
    EXPECT_TRUE(gDB().AbrirRecordset(QStringLiteral("SELECT 1 AS UNO"), rs));
    ASSERT_EQ(m_operator->asked.size(), 1);
    const platform::Question &q = m_operator->asked.at(0);
    EXPECT_EQ(q.title, QStringLiteral("AVISO AL OPERADOR"));
    EXPECT_EQ(q.style, 20);
    EXPECT_TRUE(q.text.contains(QStringLiteral("Se perdio la conexion con la base de datos imaestros_test")));
    EXPECT_TRUE(q.text.contains(QStringLiteral("Elija NO para cerrar la aplicacion")));
}

TEST_F(ReconnectTest, ServerDownAndNoEndsTheProgram)
{
    ASSERT_TRUE(serverCommand("stop -m fast"));
    int ended = 0;
    DB_Dll::setTerminarPrograma([&] { ++ended; });
    m_operator->onAsk = [](const platform::Question &) { return int(platform::vbNo); };
    ado::Recordset rs;
    EXPECT_FALSE(gDB().AbrirRecordset(QStringLiteral("SELECT 1 AS UNO"), rs));
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(gDB().gOpenFlag);
    EXPECT_EQ(rs.State(), ado::adStateClosed);
    EXPECT_EQ(m_operator->asked.size(), 1);
}

} // namespace
