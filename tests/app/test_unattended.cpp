// Runs the real program unattended on a fresh embedded database, as cron would.

#include "ProgramRun.h"

#include "core/MascaraConsulta.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The query masks a new installation gets, as the program generates them.
QByteArray generatedMasks()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("consultas.vkr"));
    ModGlobal::GenerarMascaraConsultas(path);
    return contents(path);
}

class UnattendedRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_db = m_dir.filePath(QStringLiteral("suite.db"));
        const apptest::Outcome init = apptest::run(QStringLiteral(IMAESTROS_DBINIT), {m_db});
        ASSERT_EQ(init.status, 0) << init.err.toStdString();
        // The package the unattended run receives (C:\RECIBIR\ lives in the program folder).
        ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("RECIBIR")));
        const apptest::Outcome sample = apptest::run(QStringLiteral(IMAESTROS_SAMPLE),
                                                     {m_dir.filePath(QStringLiteral("RECIBIR/Archivos.zip")),
                                                      QStringLiteral("--articles"), QStringLiteral("3")});
        ASSERT_EQ(sample.status, 0) << sample.err.toStdString();
    }
    int run(const QStringList &arguments)
    {
        m_last = apptest::run(QStringLiteral(IMAESTROS_BIN), arguments,
                              {{QStringLiteral("IMAESTROS_HOME"), m_dir.path()},
                               {QStringLiteral("TMP"), m_dir.path()},
                               {QStringLiteral("TEMP"), m_dir.path()}});
        return m_last.status;
    }
    int run(const QString &commandLine) { return run(QStringList{commandLine}); }
    QString auto_(const QString &user = QStringLiteral("operador")) const
    {
        return QStringLiteral("@Server=!;@DbName=%1;@Usuario=%2;@Password=;@ParametroAdicional=AUTO").arg(m_db, user);
    }
    void exec(const QString &sql)
    {
        ado::Connection cnn;
        cnn.Open(QStringLiteral("Provider=SQLite;Data Source=%1").arg(m_db));
        cnn.Execute(sql);
        cnn.Close();
    }
    QString accessRows(QString *exitTime = nullptr)
    {
        ado::Connection cnn;
        cnn.Open(QStringLiteral("Provider=SQLite;Data Source=%1").arg(m_db));
        auto rs = cnn.Execute(QStringLiteral("SELECT COUNT(*) AS N, MAX(EGRESO) AS E FROM Control_Acceso"));
        const QString rows = rs->value(QStringLiteral("N")).toString();
        if (exitTime)
            *exitTime = rs->value(QStringLiteral("E")).toString();
        cnn.Close();
        return rows;
    }
    QString log() const
    {
        QFile file(m_dir.filePath(QStringLiteral("imaestros.log")));
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
    }
    std::string diagnostics() const { return (m_last.err + QStringLiteral("\n--- log:\n") + log()).toStdString(); }

    QTemporaryDir m_dir;
    QString m_db;
    apptest::Outcome m_last;
};

TEST_F(UnattendedRun, StartsRecordsTheRunAndEndsWithSuccess)
{
    EXPECT_EQ(run(auto_()), 0) << diagnostics();
    QString exitTime;
    EXPECT_EQ(accessRows(&exitTime), QStringLiteral("1"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d/\\d\\d/\\d\\d \\d\\d:\\d\\d$")).match(exitTime).hasMatch())
        << exitTime.toStdString();
    EXPECT_EQ(contents(m_dir.filePath(QStringLiteral("consultas.vkr"))), generatedMasks());
    EXPECT_TRUE(log().contains(QStringLiteral("configuración cargada"))) << diagnostics();
    EXPECT_TRUE(m_last.err.isEmpty()) << diagnostics();
}

TEST_F(UnattendedRun, AnEmptyMaskFileLeftByAFullDiskIsWrittenAgain)
{
    QFile empty(m_dir.filePath(QStringLiteral("consultas.vkr")));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    EXPECT_EQ(run(auto_()), 0) << diagnostics();
    EXPECT_EQ(contents(m_dir.filePath(QStringLiteral("consultas.vkr"))), generatedMasks());
    EXPECT_EQ(apptest::occurrences(m_last.err, QStringLiteral("consultas.vkr")), 1) << diagnostics();
}

TEST_F(UnattendedRun, ItemsGivenAsSeparateWordsAsCronPassesThem)
{
    EXPECT_EQ(run({QStringLiteral("@Server=!"), QStringLiteral("@DbName=") + m_db, QStringLiteral("@Usuario=operador"),
                   QStringLiteral("@ParametroAdicional=AUTO")}),
              0)
        << diagnostics();
    EXPECT_EQ(accessRows(), QStringLiteral("1"));
}

TEST_F(UnattendedRun, MissingDatabaseEndsWithFailure)
{
    const QString none = m_dir.filePath(QStringLiteral("none.db"));
    EXPECT_EQ(run(QStringLiteral("@Server=!;@DbName=%1;@Usuario=operador;@ParametroAdicional=AUTO").arg(none)), 1)
        << diagnostics();
    EXPECT_FALSE(QFile::exists(none));
}

TEST_F(UnattendedRun, MissingUserEndsWithFailureWithoutWaiting)
{
    EXPECT_EQ(run(QStringLiteral("@Server=!;@DbName=%1;@ParametroAdicional=auto").arg(m_db)), 1) << diagnostics();
    EXPECT_EQ(accessRows(), QStringLiteral("0"));
}

TEST_F(UnattendedRun, MissingAccessTableEndsWithFailureSaidOnce)
{
    exec(QStringLiteral("DROP TABLE Control_Acceso"));
    EXPECT_EQ(run(auto_()), 3) << diagnostics();
    EXPECT_EQ(apptest::occurrences(m_last.err, QStringLiteral("ERROR No se pudo registrar el acceso:")), 1)
        << diagnostics();
    EXPECT_TRUE(apptest::repeatedLines(m_last.err).isEmpty())
        << "said twice: " << apptest::repeatedLines(m_last.err).join(u'\n').toStdString();
}

TEST_F(UnattendedRun, MissingSettingsTableIsTheExitStatusAndTheSummary)
{
    exec(QStringLiteral("DROP TABLE TA_CONFIGURACION"));
    EXPECT_EQ(run(auto_()), 5) << diagnostics();
    EXPECT_TRUE(log().contains(QStringLiteral("configuración NO cargada"))) << diagnostics();
    QString exitTime;
    EXPECT_EQ(accessRows(&exitTime), QStringLiteral("1"));
    EXPECT_FALSE(exitTime.isEmpty()) << "the run still records and closes its access row";
}

TEST_F(UnattendedRun, ExitTimeThatCannotBeWrittenIsTheExitStatus)
{
    exec(QStringLiteral("CREATE TRIGGER sin_egreso BEFORE UPDATE ON Control_Acceso "
                        "BEGIN SELECT RAISE(ABORT, 'Control_Acceso es de solo lectura'); END"));
    EXPECT_EQ(run(auto_()), 4) << diagnostics();
    EXPECT_TRUE(log().contains(QStringLiteral("SIN hora de salida"))) << diagnostics();
}

} // namespace
