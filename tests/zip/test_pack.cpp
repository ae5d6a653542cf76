// Packing of packages: Info-ZIP's unzip program as the peer that checks them.
#include "ZipTestSupport.h"

#include "zip/ArchiveReader.h"
#include "zip/ModZIP.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace ModZIP;
using ziptest::readFile;
using ziptest::snapshot;
using ziptest::writeFile;

namespace {

// The name the sending writes for a listed file: "ControlMA.dat", "<TABLE>.dat".
QString sendingName(const QString &listed)
{
    if (listed == QLatin1String("CONTROLMA.DAT"))
        return QStringLiteral("ControlMA.dat");
    return listed.chopped(4) + QStringLiteral(".dat");
}

class ZipPacking : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_base.isValid());
        m_folder = m_base.filePath(QStringLiteral("ENVIAR"));
        m_archive = m_folder + QStringLiteral("/Archivos.zip");
        QDir().mkpath(m_folder);
    }

    // Writes the listed files (all but `leaveOut`) as the sending names them.
    QMap<QString, QByteArray> writePackageFiles(const QStringList &leaveOut = {})
    {
        QMap<QString, QByteArray> written;
        for (const QString &listed : masterFileNames()) {
            if (leaveOut.contains(listed))
                continue;
            const QByteArray bytes = listed.toLatin1() + "\tdatos\t\r\n";
            writeFile(m_folder + QLatin1Char('/') + sendingName(listed), bytes);
            written.insert(listed, bytes);
        }
        return written;
    }

    // Names in the archive, in stored order, as `unzip -l` shows them.
    QStringList unzipNames(const QString &archive)
    {
        QString output;
        EXPECT_EQ(ziptest::run(ziptest::program(QStringLiteral("unzip")), {QStringLiteral("-l"), archive},
                               m_base.path(), &output),
                  0)
            << output.toStdString();
        const QStringList blocks = output.split(QRegularExpression(QStringLiteral("\n-{4,}[ -]*\n")));
        if (blocks.size() < 3)
            return {};
        QStringList names;
        for (const QString &line : blocks[1].split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            names.append(line.section(QLatin1Char(' '), -1));
        return names;
    }

    bool unzipTestPasses(const QString &archive)
    {
        QString output;
        const int code = ziptest::run(ziptest::program(QStringLiteral("unzip")), {QStringLiteral("-t"), archive},
                                      m_base.path(), &output);
        EXPECT_EQ(code, 0) << output.toStdString();
        return code == 0;
    }

    QTemporaryDir m_base;
    QString m_folder;
    QString m_archive;
    ziptest::ScriptedScope m_operator; // any question not scripted fails the test
};

TEST_F(ZipPacking, UnzipFindsTheThirtyNamesInOrderWithoutFolders)
{
    ZIPTEST_REQUIRE("unzip");
    writePackageFiles();
    writeFile(m_folder + QStringLiteral("/OTRO.DAT"), "no va en el paquete\r\n");

    const platform::Status done = ComprimirMaestros(m_folder + QLatin1Char('/'), QStringLiteral("*.DAT"), m_archive);

    ASSERT_TRUE(done.ok()) << done.message().toStdString();
    EXPECT_TRUE(unzipTestPasses(m_archive));
    EXPECT_EQ(unzipNames(m_archive), masterFileNames());
    QString verbose;
    ziptest::run(ziptest::program(QStringLiteral("unzip")), {QStringLiteral("-v"), m_archive}, m_base.path(), &verbose);
    EXPECT_EQ(verbose.count(QStringLiteral("Defl:X")), 30) << verbose.toStdString(); // maximum compression
    // Every packed file left the folder; a file not in the list stayed.
    const QStringList left = QDir(m_folder).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(left, (QStringList{QStringLiteral("Archivos.zip"), QStringLiteral("OTRO.DAT")}));
}

TEST_F(ZipPacking, SkipsMissingFilesAndTakesWindowsPaths)
{
    ZIPTEST_REQUIRE("unzip");
    writePackageFiles({QStringLiteral("B_ALIAS.DAT"), QStringLiteral("B_CODIGOS.DAT")});
    qputenv("IMAESTROS_ROOT", m_base.path().toLocal8Bit());
    const platform::Status done = ComprimirMaestros(QStringLiteral("C:\\ENVIAR\\"), QStringLiteral("*.DAT"),
                                                    QStringLiteral("C:\\ENVIAR\\Archivos.zip"));
    qunsetenv("IMAESTROS_ROOT");

    ASSERT_TRUE(done.ok()) << done.message().toStdString();
    EXPECT_EQ(unzipNames(m_archive), masterFileNames().mid(0, 28));
}

TEST_F(ZipPacking, StartsAFreshArchiveForEachPackage)
{
    ZIPTEST_REQUIRE("unzip");
    QFile::copy(QStringLiteral(IMAESTROS_FIXTURES "/zip/windows_names.zip"),
                m_folder + QStringLiteral("/ARCHIVOS.ZIP"));
    writePackageFiles({QStringLiteral("CONTROLMA.DAT")});

    const platform::Status done = ComprimirMaestros(m_folder, QStringLiteral("*.DAT"), m_archive);

    ASSERT_TRUE(done.ok()) << done.message().toStdString();
    EXPECT_EQ(unzipNames(m_archive), masterFileNames().mid(1));
    EXPECT_EQ(QDir(m_folder).entryList(QDir::Files), QStringList{QStringLiteral("Archivos.zip")});
}

TEST_F(ZipPacking, RoundTripsThroughExtractionByteForByte)
{
    const QMap<QString, QByteArray> files = ziptest::sampleTableFiles();
    for (auto [name, bytes] : files.asKeyValueRange())
        writeFile(m_folder + QLatin1Char('/') + name, bytes);
    ASSERT_TRUE(ComprimirMaestros(m_folder, QStringLiteral("*.DAT"), m_archive).ok());
    const QString target = m_base.filePath(QStringLiteral("RECIBIR"));

    const platform::Status done = Descomprimir(m_archive, target);

    ASSERT_TRUE(done.ok()) << done.message().toStdString();
    QMap<QString, QByteArray> expected;
    for (auto [name, bytes] : files.asKeyValueRange())
        expected.insert(name.toUpper().chopped(4) + QStringLiteral(".DAT"), bytes);
    EXPECT_EQ(snapshot(target), expected);
}

// Every file written for the package is either still in the folder or in the archive.
void expectNothingLost(const QMap<QString, QByteArray> &written, const QString &folder, const QString &archive)
{
    QTemporaryDir extracted;
    if (QFileInfo::exists(archive)) {
        ASSERT_TRUE(Descomprimir(archive, extracted.path()).ok());
    }
    for (auto [listed, bytes] : written.asKeyValueRange()) {
        const QString inFolder = platform::findFileNoCase(folder, listed);
        const QString inArchive = extracted.filePath(listed);
        const bool kept = QFileInfo(inFolder).isFile() && readFile(inFolder) == bytes;
        const bool packed = QFileInfo(inArchive).isFile() && readFile(inArchive) == bytes;
        EXPECT_NE(kept, packed) << listed.toStdString() << (kept ? " kept and packed" : " lost");
    }
}

TEST_F(ZipPacking, FileThatCannotBePackedGoesToTheOperator_Ignore)
{
    ZIPTEST_REQUIRE("unzip");
    const QMap<QString, QByteArray> written = writePackageFiles({QStringLiteral("V_TA_RUBROS.DAT")});
    QDir().mkpath(m_folder + QStringLiteral("/V_TA_RUBROS.DAT")); // a folder where a file belongs
    m_operator.script->expect(QStringLiteral("V_TA_RUBROS.DAT"), platform::vbIgnore);

    const platform::Status done = ComprimirMaestros(m_folder, QStringLiteral("*.DAT"), m_archive);

    EXPECT_FALSE(done.ok());
    EXPECT_TRUE(done.message().contains(QStringLiteral("V_TA_RUBROS.DAT"))) << done.message().toStdString();
    ASSERT_EQ(m_operator.script->asked().size(), 1);
    EXPECT_EQ(m_operator.script->asked()[0].style & 0xF, int(platform::vbAbortRetryIgnore));
    QStringList expected = masterFileNames();
    expected.removeOne(QStringLiteral("V_TA_RUBROS.DAT"));
    EXPECT_EQ(unzipNames(m_archive), expected);
    expectNothingLost(written, m_folder, m_archive);
}

TEST_F(ZipPacking, FileThatCannotBePackedGoesToTheOperator_RetryThenAbort)
{
    const QMap<QString, QByteArray> written = writePackageFiles({QStringLiteral("V_TA_RUBROS.DAT")});
    QDir().mkpath(m_folder + QStringLiteral("/V_TA_RUBROS.DAT"));
    m_operator.script->expect(QStringLiteral("V_TA_RUBROS.DAT"), platform::vbRetry);
    m_operator.script->expect(QStringLiteral("V_TA_RUBROS.DAT"), platform::vbAbort);

    const platform::Status done = ComprimirMaestros(m_folder, QStringLiteral("*.DAT"), m_archive);

    EXPECT_FALSE(done.ok());
    EXPECT_EQ(m_operator.script->asked().size(), 2);
    // Files after the failing one were never touched.
    EXPECT_TRUE(QFileInfo::exists(m_folder + QStringLiteral("/B_CODIGOS.dat")));
    expectNothingLost(written, m_folder, m_archive);
}

TEST_F(ZipPacking, ArchiveThatCannotBeWrittenKeepsEverySource)
{
    const QMap<QString, QByteArray> written = writePackageFiles();
    const QString archive = m_base.filePath(QStringLiteral("no-existe/Archivos.zip"));
    m_operator.script->expect(QStringLiteral("CONTROLMA.DAT"), platform::vbAbort);

    const platform::Status done = ComprimirMaestros(m_folder, QStringLiteral("*.DAT"), archive);

    EXPECT_FALSE(done.ok());
    EXPECT_FALSE(QFileInfo::exists(archive));
    expectNothingLost(written, m_folder, archive);
}

// The entry names of an archive, in stored order.
QStringList entryNames(const QString &archive)
{
    ziplayer::ArchiveReader reader;
    if (!reader.open(archive).ok())
        return {QStringLiteral("<unreadable>")};
    QStringList names;
    for (const ziplayer::ArchiveEntry &entry : reader.entries())
        names.append(entry.name);
    return names;
}

// One call of the compression library adding one file, as ModZIP makes it.
int packOneFile(const QString &archive, const QString &file)
{
    ziplayer::Zip32 library;
    ziplayer::ZipOptions options;
    options.level = '9';
    options.dropFolderNames = 1;
    EXPECT_EQ(library.ZpInit({}), ziplayer::ZE_OK);
    EXPECT_EQ(library.ZpSetOptions(options), ziplayer::ZE_OK);
    return library.ZpArchive(1, archive, {file});
}

TEST_F(ZipPacking, AddsToAPlainArchiveButNeverThroughALink)
{
    const QString outside = m_base.filePath(QStringLiteral("fuera"));
    const QString table = m_folder + QStringLiteral("/V_TA_UNIDAD.dat");
    writeFile(table, "UN\tUnidad\t\r\n");

    // A plain archive of ours is added to.
    ASSERT_EQ(packOneFile(m_archive, table), ziplayer::ZE_OK);
    writeFile(m_folder + QStringLiteral("/ControlMA.dat"), "Trasmision\r\n");
    ASSERT_EQ(packOneFile(m_archive, m_folder + QStringLiteral("/ControlMA.dat")), ziplayer::ZE_OK);
    EXPECT_EQ(entryNames(m_archive), (QStringList{QStringLiteral("V_TA_UNIDAD.dat"), QStringLiteral("ControlMA.dat")}));

    // Links planted at the archive's name: to another archive, to a text file, to nothing.
    QDir().mkpath(outside);
    QFile::copy(QStringLiteral(IMAESTROS_FIXTURES "/zip/windows_names.zip"), outside + QStringLiteral("/ajeno.zip"));
    writeFile(outside + QStringLiteral("/victima.txt"), "no se toca\r\n");
    const auto before = snapshot(outside);
    for (const QString &pointee :
         {QStringLiteral("ajeno.zip"), QStringLiteral("victima.txt"), QStringLiteral("nuevo.zip")}) {
        ASSERT_TRUE(QFile::remove(m_archive));
        ASSERT_TRUE(QFile::link(outside + QLatin1Char('/') + pointee, m_archive));

        EXPECT_EQ(packOneFile(m_archive, table), ziplayer::ZE_OK) << pointee.toStdString();

        EXPECT_FALSE(QFileInfo(m_archive).isSymLink()) << pointee.toStdString();
        EXPECT_EQ(entryNames(m_archive), QStringList{QStringLiteral("V_TA_UNIDAD.dat")}) << pointee.toStdString();
        EXPECT_EQ(snapshot(outside), before) << pointee.toStdString();
    }
    // Nothing of the work is left beside the archive.
    EXPECT_EQ(QDir(m_folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{QStringLiteral("Archivos.zip"), QStringLiteral("ControlMA.dat"),
                           QStringLiteral("V_TA_UNIDAD.dat")}));
}

TEST_F(ZipPacking, NothingToPackIsAFailure)
{
    writeFile(m_folder + QStringLiteral("/OTRO.DAT"), "x");
    const platform::Status done = ComprimirMaestros(m_folder, QStringLiteral("*.DAT"), m_archive);
    EXPECT_FALSE(done.ok());
    EXPECT_EQ(done.code(), ziplayer::ZE_NONE);
    EXPECT_TRUE(done.message().contains(m_folder)) << done.message().toStdString();
    EXPECT_FALSE(QFileInfo::exists(m_archive));
}

} // namespace
