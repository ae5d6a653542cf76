// The program as a Linux process: its options, a missing display, a folder it cannot
// write. Each case runs the real executable.

#include "ProgramRun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using apptest::Outcome;

const QString kProgram = QStringLiteral(IMAESTROS_BIN);
const QString kDbInit = QStringLiteral(IMAESTROS_DBINIT);

class ProgramProcess : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QMap<QString, QString> home() const { return {{QStringLiteral("IMAESTROS_HOME"), m_dir.path()}}; }
    QString log() const
    {
        QFile file(m_dir.filePath(QStringLiteral("imaestros.log")));
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
    }
    QTemporaryDir m_dir;
};

TEST_F(ProgramProcess, OptionsPrintAndEndWithoutTouchingAnything)
{
    struct Case {
        QString program;
        QStringList arguments;
        int status;
        const char *shown; // on standard output for status 0, else on standard error
    } cases[] = {
        {kProgram, {QStringLiteral("--help")}, 0, "Estado de salida"},
        {kProgram, {QStringLiteral("-h")}, 0, "uso: imaestros"},
        {kProgram, {QStringLiteral("--version")}, 0, "imaestros 0."},
        {kProgram, {QStringLiteral("--sin-esto")}, 64, "--sin-esto"},
        {kDbInit, {QStringLiteral("--help")}, 0, "uso: imaestros-dbinit"},
        {kDbInit, {QStringLiteral("-x")}, 2, "uso: imaestros-dbinit"},
        {kDbInit, {}, 2, "uso: imaestros-dbinit"},
    };
    for (const Case &c : cases) {
        const QString what = c.program.section(QLatin1Char('/'), -1) + QLatin1Char(' ') + c.arguments.join(u' ');
        const Outcome outcome = apptest::run(c.program, c.arguments, home(), m_dir.path());
        EXPECT_EQ(outcome.status, c.status) << what.toStdString() << ": " << outcome.err.toStdString();
        EXPECT_TRUE((c.status == 0 ? outcome.out : outcome.err).contains(QString::fromUtf8(c.shown)))
            << what.toStdString();
    }
    EXPECT_TRUE(QDir(m_dir.path()).isEmpty()) << "no option creates a file (nor a database named like an option)";
}

TEST_F(ProgramProcess, DesktopWithoutDisplaySaysSoAndNeverAborts)
{
    // As cron starts it: no display variables at all; then with a display that is not there.
    const QMap<QString, QString> unreachable{{QStringLiteral("IMAESTROS_HOME"), m_dir.path()},
                                             {QStringLiteral("DISPLAY"), QStringLiteral(":97")}};
    for (const auto &environment : {home(), unreachable}) {
        const Outcome outcome =
            apptest::run(kProgram, {QStringLiteral("@Server=!;@DbName=x.db;@Usuario=u")}, environment);
        EXPECT_EQ(outcome.status, 6) << outcome.err.toStdString();
        EXPECT_EQ(apptest::occurrences(outcome.err, QStringLiteral("necesita una pantalla")), 1)
            << outcome.err.toStdString();
        EXPECT_TRUE(outcome.err.contains(QStringLiteral("@ParametroAdicional=AUTO"))) << outcome.err.toStdString();
    }
    EXPECT_EQ(apptest::occurrences(log(), QStringLiteral("necesita una pantalla")), 2) << log().toStdString();
}

TEST_F(ProgramProcess, FolderThatCannotBeWrittenIsSaidAndEndsTheRun)
{
    QFile plain(m_dir.filePath(QStringLiteral("archivo")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("casa/imaestros.log"))); // the log's name is a folder
    const QString autoLine = QStringLiteral("@Server=!;@DbName=x.db;@Usuario=u;@ParametroAdicional=AUTO");
    for (const QString &folder :
         {m_dir.filePath(QStringLiteral("archivo/sub")), m_dir.filePath(QStringLiteral("casa"))}) {
        const Outcome outcome = apptest::run(kProgram, {autoLine}, {{QStringLiteral("IMAESTROS_HOME"), folder}});
        EXPECT_EQ(outcome.status, 7) << folder.toStdString() << ": " << outcome.err.toStdString();
        EXPECT_EQ(apptest::occurrences(outcome.err, QStringLiteral("IMAESTROS_HOME")), 1) << outcome.err.toStdString();
    }
}

TEST_F(ProgramProcess, MissingProgramFolderIsCreated)
{
    const QString folder = m_dir.filePath(QStringLiteral("nueva/casa"));
    const Outcome outcome =
        apptest::run(kProgram, {QStringLiteral("@Server=!;@DbName=none.db;@Usuario=u;@ParametroAdicional=AUTO")},
                     {{QStringLiteral("IMAESTROS_HOME"), folder}});
    EXPECT_EQ(outcome.status, 1) << outcome.err.toStdString(); // no database there, but the log is kept
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/imaestros.log")));
}

} // namespace
