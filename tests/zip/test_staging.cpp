// Private folders of the extraction and the packing: what a killed run leaves is removed
// by the next run, what a run going on holds is never touched.
#include "ZipTestSupport.h"

#include "zip/ModZIP.h"
#include "zip/PrivateFolder.h"
#include "zip/StagedExtraction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <ctime>

#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

using ziptest::readFile;
using ziptest::writeFile;

namespace {

const QString Fixtures = QStringLiteral(IMAESTROS_FIXTURES "/zip/");

QStringList stagingFolders(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral(".imaestros-unzip-*")},
                                  QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Sets a folder's modification time `seconds` into the past.
void age(const QString &folder, int seconds)
{
    const timeval past{std::time(nullptr) - seconds, 0};
    const timeval times[2] = {past, past};
    ASSERT_EQ(::utimes(QFile::encodeName(folder).constData(), times), 0);
}

// A second process: starts an extraction into `target`, stages one entry, tells the test
// its staging folder through `ready`, then waits for one byte on `go`. With `killed` it
// is killed there; otherwise it commits and exits with 0 when its entry arrived whole.
pid_t startOtherRun(const QString &target, int ready, int go, bool killed)
{
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    int status = 1;
    {
        ziplayer::StagedExtraction staging(target);
        if (staging.prepare().ok()) {
            const QString staged = staging.stageFile(QStringLiteral("OTRO.DAT"));
            QFile file(staged);
            if (file.open(QIODevice::WriteOnly) && file.write("de la otra corrida\r\n") > 0) {
                file.close();
                const QByteArray folder = QFile::encodeName(QFileInfo(staged).path()) + '\n';
                (void)!::write(ready, folder.constData(), size_t(folder.size()));
                char byte = 0;
                (void)!::read(go, &byte, 1);
                if (killed)
                    ::raise(SIGKILL);
                status = staging.commit().ok() ? 0 : 2;
            }
        }
    }
    ::_exit(status);
}

QString readLine(int fd)
{
    QByteArray line;
    char c = 0;
    while (::read(fd, &c, 1) == 1 && c != '\n')
        line += c;
    return QFile::decodeName(line);
}

class ZipStaging : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_base.isValid());
        m_target = m_base.filePath(QStringLiteral("RECIBIR"));
        QDir().mkpath(m_target);
        ASSERT_EQ(::pipe(m_ready), 0);
        ASSERT_EQ(::pipe(m_go), 0);
    }
    void TearDown() override
    {
        for (int fd : {m_ready[0], m_ready[1], m_go[0], m_go[1]})
            ::close(fd);
    }

    int finish(pid_t pid)
    {
        (void)!::write(m_go[1], "x", 1);
        int status = 0;
        ::waitpid(pid, &status, 0);
        return status;
    }

    QTemporaryDir m_base;
    QString m_target;
    int m_ready[2] = {-1, -1};
    int m_go[2] = {-1, -1};
    ziptest::ScriptedScope m_operator;
};

TEST_F(ZipStaging, KilledRunsFolderIsRemovedByTheNextExtraction)
{
    const pid_t other = startOtherRun(m_target, m_ready[1], m_go[0], true);
    const QString left = readLine(m_ready[0]);
    const int status = finish(other);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_TRUE(QFileInfo(left).isDir()) << "the killed run leaves its staging folder";

    const platform::Status done = ModZIP::Descomprimir(Fixtures + QStringLiteral("windows_names.zip"), m_target);

    ASSERT_TRUE(done.ok()) << done.message().toStdString();
    EXPECT_FALSE(QFileInfo::exists(left));
    EXPECT_EQ(stagingFolders(m_target), QStringList());
    EXPECT_FALSE(QFileInfo::exists(m_target + QStringLiteral("/OTRO.DAT")));
}

TEST_F(ZipStaging, RunsAtOnceKeepEachOthersFolders)
{
    const pid_t other = startOtherRun(m_target, m_ready[1], m_go[0], false);
    const QString live = readLine(m_ready[0]);
    ASSERT_TRUE(QFileInfo(live).isDir());

    // This run extracts while the other one is half-way.
    const platform::Status done = ModZIP::Descomprimir(Fixtures + QStringLiteral("windows_names.zip"), m_target);
    ASSERT_TRUE(done.ok()) << done.message().toStdString();
    EXPECT_TRUE(QFileInfo(live).isDir());
    EXPECT_EQ(ziplayer::StagedExtraction::removeAbandonedStaging(m_target), QStringList());
    EXPECT_TRUE(QFileInfo(live).isDir());

    const int status = finish(other);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the other run's entry arrived whole";
    EXPECT_EQ(readFile(m_target + QStringLiteral("/OTRO.DAT")), QByteArray("de la otra corrida\r\n"));
    EXPECT_EQ(readFile(m_target + QStringLiteral("/CONTROLMA.DAT")), QByteArray("Trasmision\r\n"));
    EXPECT_EQ(stagingFolders(m_target), QStringList());
}

TEST_F(ZipStaging, OnlyOwnFoldersWithoutAHolderAreRemoved)
{
    const QString outside = m_base.filePath(QStringLiteral("fuera"));
    writeFile(outside + QStringLiteral("/propio.txt"), "no se borra\r\n");
    // A link named like a staging folder: never entered.
    ASSERT_TRUE(QFile::link(outside, m_target + QStringLiteral("/.imaestros-unzip-enlace")));
    // Folders without a lock file: an older version's (old) and one being created (new).
    const QString older = m_target + QStringLiteral("/.imaestros-unzip-viejo");
    const QString fresh = m_target + QStringLiteral("/.imaestros-unzip-nuevo");
    writeFile(older + QStringLiteral("/0"), QByteArray(1000, 'x'));
    writeFile(fresh + QStringLiteral("/0"), QByteArray(1000, 'x'));
    age(older, ziplayer::PrivateFolder::kGraceSeconds + 60);

    const QStringList removed = ziplayer::StagedExtraction::removeAbandonedStaging(m_target);

    EXPECT_EQ(removed, QStringList{older});
    EXPECT_EQ(readFile(outside + QStringLiteral("/propio.txt")), QByteArray("no se borra\r\n"));
    EXPECT_TRUE(QFileInfo(m_target + QStringLiteral("/.imaestros-unzip-enlace")).isSymLink());
    EXPECT_TRUE(QFileInfo(fresh).isDir());
}

TEST_F(ZipStaging, KilledPackingLeavesNothingForTheNextOne)
{
    // A packing killed half-way leaves its private folder beside the archive.
    const QString folder = m_base.filePath(QStringLiteral("ENVIAR"));
    QDir().mkpath(folder);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ziplayer::PrivateFolder left(folder, QStringLiteral(".imaestros-zip-"));
        QFile partial(left.filePath(QStringLiteral("Archivos.zip")));
        (void)partial.open(QIODevice::WriteOnly);
        ::raise(SIGKILL);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    const QStringList privateFolders =
        QDir(folder).entryList({QStringLiteral(".imaestros-zip-*")}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    ASSERT_EQ(privateFolders.size(), 1);

    writeFile(folder + QStringLiteral("/ControlMA.dat"), "Trasmision\r\n");
    const platform::Status packed = ModZIP::ComprimirMaestros(folder + QLatin1Char('/'), QStringLiteral("*.DAT"),
                                                              folder + QStringLiteral("/Archivos.zip"));

    ASSERT_TRUE(packed.ok()) << packed.message().toStdString();
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("Archivos.zip")});
}

} // namespace
