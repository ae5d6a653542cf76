#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "tests/support/TestDatabase.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace ado;
using testsupport::DatabaseTest;

namespace {

class LockTest : public DatabaseTest {};

// A statement with CommandTimeout 0 waits for a lock as long as it takes, as ADO does;
// with a time-out it gives up after it.
TEST_P(LockTest, CommandTimeoutZeroWaitsForTheLock)
{
    recreateTable(QStringLiteral("T_LOCK"), QStringLiteral("ID INT PRIMARY KEY, N INT"));
    cnn().Execute(QStringLiteral("INSERT INTO T_LOCK VALUES (1, 0)"));
    Connection other;
    other.Open(connectionString());
    cnn().BeginTrans();
    cnn().Execute(QStringLiteral("UPDATE T_LOCK SET N = 1 WHERE ID = 1"));

    other.setCommandTimeout(1);
    QElapsedTimer clock;
    clock.start();
    EXPECT_THROW(other.Execute(QStringLiteral("UPDATE T_LOCK SET N = 2 WHERE ID = 1")), Exception);
    EXPECT_EQ(other.errors()[0].Number, errnum::Timeout);
    EXPECT_GE(clock.elapsed(), 900);

    other.setCommandTimeout(0);
    std::atomic<bool> done{false};
    QString failure;
    std::thread waiter([&] {
        try {
            other.Execute(QStringLiteral("UPDATE T_LOCK SET N = 3 WHERE ID = 1"));
        } catch (const Exception &e) {
            failure = e.Description();
        }
        done = true;
    });
    QThread::msleep(1500); // longer than any default wait of the engine
    EXPECT_FALSE(done) << "did not wait: " << failure.toStdString();
    cnn().CommitTrans();
    waiter.join();
    EXPECT_TRUE(failure.isEmpty()) << failure.toStdString();
    EXPECT_EQ(cnn().Execute(QStringLiteral("SELECT N FROM T_LOCK"))->field(0).Value().toInt64(), 3);
}

IMAESTROS_DATABASE_TESTS(LockTest);

// ---- two processes on one embedded database ----

constexpr int kRowsPerWriter = 150;

// Run by the processes the test below starts (it skips otherwise): opens the database
// named by IMAESTROS_LOCK_FILE at the moment IMAESTROS_LOCK_START (ms since the epoch)
// and writes kRowsPerWriter rows, each in a transaction that reads and then writes.
TEST(LockWriter, WritesItsRows)
{
    const QString path = qEnvironmentVariable("IMAESTROS_LOCK_FILE");
    if (path.isEmpty())
        GTEST_SKIP() << "started by TwoProcesses.BothWriteTheSameEmbeddedDatabase";
    const int writer = qEnvironmentVariableIntValue("IMAESTROS_LOCK_WRITER");
    const qint64 start = qEnvironmentVariable("IMAESTROS_LOCK_START").toLongLong();
    while (QDateTime::currentMSecsSinceEpoch() < start)
        QThread::usleep(200);
    Connection cnn;
    cnn.Open(testsupport::sqliteConnectionString(path, false));
    for (int i = 0; i < kRowsPerWriter; ++i) {
        const int id = writer * 100000 + i;
        cnn.Execute(QStringLiteral("BEGIN TRANSACTION"));
        cnn.Execute(QStringLiteral("SELECT COUNT(*) FROM T_RUN WHERE WRITER = %1").arg(writer));
        cnn.Execute(QStringLiteral("INSERT INTO T_RUN (ID, WRITER) VALUES (%1, %2)").arg(id).arg(writer));
        cnn.Execute(QStringLiteral("COMMIT TRANSACTION"));
        cnn.Execute(QStringLiteral("UPDATE T_RUN SET N = %1 WHERE ID = %2").arg(i).arg(id));
    }
}

QString selfPath() { return QFile::symLinkTarget(QStringLiteral("/proc/self/exe")); }

TEST(TwoProcesses, BothWriteTheSameEmbeddedDatabase)
{
    const QString path = testsupport::freshSqliteFile();
    {
        Connection cnn;
        cnn.Open(testsupport::sqliteConnectionString(path));
        cnn.Execute(QStringLiteral("CREATE TABLE T_RUN (ID INT PRIMARY KEY, WRITER INT, N INT)"));
    }
    const QString start = QString::number(QDateTime::currentMSecsSinceEpoch() + 700);
    QProcess writers[2];
    for (int w = 0; w < 2; ++w) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("IMAESTROS_LOCK_FILE"), path);
        env.insert(QStringLiteral("IMAESTROS_LOCK_WRITER"), QString::number(w + 1));
        env.insert(QStringLiteral("IMAESTROS_LOCK_START"), start);
        writers[w].setProcessEnvironment(env);
        writers[w].setProcessChannelMode(QProcess::MergedChannels);
        writers[w].start(selfPath(), {QStringLiteral("--gtest_filter=LockWriter.WritesItsRows")});
    }
    for (QProcess &p : writers) {
        ASSERT_TRUE(p.waitForFinished(120000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAll().toStdString();
    }
    Connection cnn;
    cnn.Open(testsupport::sqliteConnectionString(path, false));
    EXPECT_EQ(cnn.Execute(QStringLiteral("SELECT COUNT(*) FROM T_RUN WHERE N IS NOT NULL"))->field(0).Value().toInt64(),
              2 * kRowsPerWriter);
}

} // namespace
