// Runs the real program unattended on a fresh embedded database.

#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr int kTimeoutMs = 60000;

class UnattendedRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_db = m_dir.filePath(QStringLiteral("suite.db"));
        QProcess init;
        init.start(QStringLiteral(IMAESTROS_DBINIT), {m_db});
        ASSERT_TRUE(init.waitForFinished(kTimeoutMs));
        ASSERT_EQ(init.exitCode(), 0) << init.readAllStandardError().toStdString();
    }
    int run(const QString &commandLine)
    {
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("IMAESTROS_HOME"), m_dir.path());
        env.insert(QStringLiteral("TMP"), m_dir.path());
        env.insert(QStringLiteral("TEMP"), m_dir.path());
        env.remove(QStringLiteral("DISPLAY"));
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(IMAESTROS_BIN), {commandLine});
        EXPECT_TRUE(program.waitForFinished(kTimeoutMs)) << "the unattended run must never wait";
        m_stderr = QString::fromLocal8Bit(program.readAllStandardError());
        return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    }
    QString accessRows(QString *exitTime = nullptr)
    {
        ado::Connection cnn;
        cnn.Open(QStringLiteral("Provider=SQLite;Data Source=%1").arg(m_db));
        auto rs = cnn.Execute(
            QStringLiteral("SELECT COUNT(*) AS N, MAX(EGRESO) AS E, MAX(Formulario) AS F FROM Control_Acceso"));
        const QString rows = rs->value(QStringLiteral("N")).toString();
        if (exitTime)
            *exitTime = rs->value(QStringLiteral("E")).toString();
        cnn.Close();
        return rows;
    }
    QTemporaryDir m_dir;
    QString m_db;
    QString m_stderr;
};

TEST_F(UnattendedRun, StartsRecordsTheRunAndEndsWithSuccess)
{
    const int status =
        run(QStringLiteral("@Server=!;@DbName=%1;@Usuario=operador;@Password=;@ParametroAdicional=AUTO").arg(m_db));
    EXPECT_EQ(status, 0) << m_stderr.toStdString();
    QString exitTime;
    EXPECT_EQ(accessRows(&exitTime), QStringLiteral("1"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d/\\d\\d/\\d\\d \\d\\d:\\d\\d$")).match(exitTime).hasMatch())
        << exitTime.toStdString();
    EXPECT_EQ(QFile(m_dir.filePath(QStringLiteral("consultas.vkr"))).size(), 13222);
    EXPECT_TRUE(QFile::exists(m_dir.filePath(QStringLiteral("imaestros.log"))));
}

TEST_F(UnattendedRun, MissingDatabaseEndsWithFailure)
{
    const int status = run(QStringLiteral("@Server=!;@DbName=%1;@Usuario=operador;@ParametroAdicional=AUTO")
                               .arg(m_dir.filePath(QStringLiteral("none.db"))));
    EXPECT_EQ(status, 1) << m_stderr.toStdString();
    EXPECT_FALSE(QFile::exists(m_dir.filePath(QStringLiteral("none.db"))));
}

TEST_F(UnattendedRun, MissingUserEndsWithFailureWithoutWaiting)
{
    EXPECT_EQ(run(QStringLiteral("@Server=!;@DbName=%1;@ParametroAdicional=auto").arg(m_db)), 1);
    EXPECT_EQ(accessRows(), QStringLiteral("0"));
}

TEST_F(UnattendedRun, MissingAccessTableEndsWithFailure)
{
    {
        ado::Connection cnn;
        cnn.Open(QStringLiteral("Provider=SQLite;Data Source=%1").arg(m_db));
        cnn.Execute(QStringLiteral("DROP TABLE Control_Acceso"));
        cnn.Close();
    }
    EXPECT_EQ(run(QStringLiteral("@Server=!;@DbName=%1;@Usuario=operador;@ParametroAdicional=AUTO").arg(m_db)), 3);
}

} // namespace
