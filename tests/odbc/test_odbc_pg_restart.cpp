// The server stops and comes back under an open connection (runs alone: it takes the
// shared test server down for a moment).
#include "PgTestServer.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace ado;

TEST(PgRestart, LostServerReadsAsGenericFailureAndCloseOpenRecovers)
{
    SKIP_WITHOUT_PG();
    if (pgtest::controlCommand().isEmpty())
        GTEST_SKIP() << "IMAESTROS_PG_CTL is not set";
    Connection cn;
    cn.setCommandTimeout(5);
    cn.Open(pgtest::connectionString());
    cn.Execute(QStringLiteral("SELECT 1"));

    ASSERT_TRUE(pgtest::control(QStringLiteral("-m fast -w stop")));
    QElapsedTimer clock;
    clock.start();
    try {
        cn.Execute(QStringLiteral("SELECT 1"));
        ADD_FAILURE() << "no error while the server is down";
    } catch (const Exception &e) {
        EXPECT_EQ(e.Number(), errnum::GenericFailure);
        ASSERT_GE(cn.errors().Count(), 1);
        EXPECT_EQ(cn.errors()[0].NativeError, native::CommunicationLink);
        EXPECT_EQ(cn.errors()[0].Number, errnum::GenericFailure);
    }
    EXPECT_LT(clock.elapsed(), 6000);
    // Reopening while the server is down fails with an error, within the time-out.
    cn.Close();
    cn.setConnectionTimeout(3);
    EXPECT_THROW(cn.Open(pgtest::connectionString()), Exception);

    ASSERT_TRUE(pgtest::control(QStringLiteral("-w start")));
    if (cn.State() == adStateOpen)
        cn.Close();
    cn.Open(pgtest::connectionString());
    EXPECT_EQ(cn.Execute(QStringLiteral("SELECT 2"))->field(0).Value().toInt64(), 2);
}
