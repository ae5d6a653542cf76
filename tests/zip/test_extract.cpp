// Extraction of packages: Info-ZIP's zip program as the peer that writes them.
#include "ZipTestSupport.h"

#include "zip/ModZIP.h"
#include "zip/Unzip32.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace ModZIP;
using ziptest::readFile;
using ziptest::snapshot;
using ziptest::writeFile;

namespace {

const QString Fixtures = QStringLiteral(IMAESTROS_FIXTURES "/zip/");

class ZipExtraction : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_base.isValid());
        state().passwordRefused = 0;
    }
    void TearDown() override { state().passwordRefused = 0; }

    QString path(const QString &relative) const { return m_base.filePath(relative); }

    // A package made by Info-ZIP's zip from the sample table files (plus a subfolder).
    QString peerPackage(const QStringList &extraArguments = {})
    {
        const QString source = path(QStringLiteral("origen"));
        for (auto [name, bytes] : ziptest::sampleTableFiles().asKeyValueRange())
            writeFile(source + QLatin1Char('/') + name, bytes);
        writeFile(source + QStringLiteral("/SUB/INNER.DAT"), "interior\r\n");
        const QString archive = path(QStringLiteral("Archivos.zip"));
        QString output;
        const int code = ziptest::run(ziptest::program(QStringLiteral("zip")),
                                      QStringList{QStringLiteral("-9"), QStringLiteral("-r"), QStringLiteral("-q")}
                                          + extraArguments + QStringList{archive, QStringLiteral(".")},
                                      source, &output);
        EXPECT_EQ(code, 0) << output.toStdString();
        return archive;
    }

    QTemporaryDir m_base;
    ziptest::ScriptedScope m_operator; // any question not scripted fails the test
};

TEST_F(ZipExtraction, PeerPackageArrivesByteForByteReplacingFilesInAnyCase)
{
    ZIPTEST_REQUIRE("zip");
    const QString archive = peerPackage();
    const QString target = path(QStringLiteral("RECIBIR"));
    writeFile(target + QStringLiteral("/controlma.dat"), "viejo\r\n");
    writeFile(target + QStringLiteral("/V_TA_UNIDAD.dat"), "viejo\r\n");
    writeFile(target + QStringLiteral("/OTRO.TXT"), "no se toca\r\n");

    const platform::Status done = Descomprimir(archive, target);

    ASSERT_TRUE(done.ok()) << done.message().toStdString();
    QMap<QString, QByteArray> expected = ziptest::sampleTableFiles();
    expected.insert(QStringLiteral("controlma.dat"), expected.take(QStringLiteral("ControlMA.dat")));
    expected.insert(QStringLiteral("SUB/"), QByteArray());
    expected.insert(QStringLiteral("SUB/INNER.DAT"), "interior\r\n");
    expected.insert(QStringLiteral("OTRO.TXT"), "no se toca\r\n");
    EXPECT_EQ(snapshot(target), expected);
}

TEST_F(ZipExtraction, FailuresNameTheArchiveAndLeaveTheFolderAsItWas)
{
    ZIPTEST_REQUIRE("zip");
    const QByteArray good = readFile(peerPackage());
    ASSERT_GT(good.size(), 1000);
    QByteArray flipped = good;
    for (qsizetype i = good.size() / 2; i < good.size() / 2 + 16; ++i)
        flipped[i] = char(~flipped[i]);
    const struct {
        const char *name;
        QByteArray bytes; // null: no file at all
    } cases[] = {
        {"missing", QByteArray()},
        {"empty file", QByteArray("")},
        {"not a zip", QByteArray("Trasmision\r\n17\r\n")},
        {"truncated to half", good.left(good.size() / 2)},
        {"end record cut", good.left(good.size() - 10)},
        {"damaged data", flipped},
    };
    int n = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString archive = path(QStringLiteral("caso%1.zip").arg(++n));
        if (!c.bytes.isNull())
            writeFile(archive, c.bytes);
        const QString target = path(QStringLiteral("RECIBIR%1").arg(n));
        writeFile(target + QStringLiteral("/CONTROLMA.DAT"), "anterior\r\n");
        const auto before = snapshot(target);

        const platform::Status done = Descomprimir(archive, target);

        EXPECT_FALSE(done.ok());
        EXPECT_NE(done.code(), 0);
        EXPECT_TRUE(done.message().contains(archive)) << done.message().toStdString();
        EXPECT_EQ(snapshot(target), before);
    }
}

class ZipUnsafeEntry : public ZipExtraction, public testing::WithParamInterface<const char *> {};

TEST_P(ZipUnsafeEntry, IsRefusedAndNothingIsWritten)
{
    const QString target = path(QStringLiteral("a/b/RECIBIR"));
    QDir().mkpath(target);
    QFile::remove(QStringLiteral("/tmp/imaestros-zip-evil.txt"));
    const auto before = snapshot(m_base.path());

    const platform::Status done = Descomprimir(Fixtures + QString::fromLatin1(GetParam()), target);

    EXPECT_FALSE(done.ok());
    EXPECT_TRUE(done.message().contains(QStringLiteral("evil.txt"))) << done.message().toStdString();
    EXPECT_EQ(snapshot(m_base.path()), before);
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/tmp/imaestros-zip-evil.txt")));
}

INSTANTIATE_TEST_SUITE_P(Fixtures, ZipUnsafeEntry,
                         testing::Values("unsafe_dotdot.zip", "unsafe_dotdot_backslash.zip", "unsafe_nested.zip",
                                         "unsafe_absolute.zip", "unsafe_drive.zip"),
                         [](const testing::TestParamInfo<const char *> &info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

TEST_F(ZipExtraction, LinkInTheTargetCannotLeadOutside)
{
    ZIPTEST_REQUIRE("zip");
    const QString archive = peerPackage();
    const QString outside = path(QStringLiteral("fuera"));
    const QString target = path(QStringLiteral("RECIBIR"));
    QDir().mkpath(outside);
    QDir().mkpath(target);
    ASSERT_TRUE(QFile::link(outside, target + QStringLiteral("/sub")));
    const auto before = snapshot(target);

    const platform::Status done = Descomprimir(archive, target);

    EXPECT_FALSE(done.ok());
    EXPECT_TRUE(snapshot(outside).isEmpty());
    EXPECT_EQ(snapshot(target), before);
}

TEST_F(ZipExtraction, TwoEntriesForOneFileAreRefusedNamingBoth)
{
    // The same name, names that differ only in case, "/" against "\\": each would let the
    // later copy silently replace the earlier one.
    const struct {
        const char *fixture;
        const char *first;
        const char *second;
    } cases[] = {
        {"dup_exact.zip", "V_MA_ARTICULOS.DAT", "V_MA_ARTICULOS.DAT"},
        {"dup_case.zip", "V_MA_ARTICULOS.DAT", "v_ma_articulos.dat"},
        {"dup_separator.zip", "DATOS/PRECIOS.DAT", "datos\\Precios.dat"},
    };
    for (const auto &c : cases) {
        const QString target = path(QStringLiteral("RECIBIR-") + QString::fromLatin1(c.fixture));
        writeFile(target + QStringLiteral("/V_MA_ARTICULOS.DAT"), "anterior\r\n");
        const auto before = snapshot(target);

        const platform::Status done = Descomprimir(Fixtures + QString::fromLatin1(c.fixture), target);

        EXPECT_FALSE(done.ok()) << c.fixture;
        EXPECT_EQ(done.code(), ziplayer::PK_BADERR) << c.fixture;
        const QString quoted =
            QStringLiteral("\"%1\" y \"%2\"").arg(QString::fromLatin1(c.first), QString::fromLatin1(c.second));
        EXPECT_TRUE(done.message().contains(quoted)) << done.message().toStdString();
        EXPECT_EQ(snapshot(target), before) << c.fixture;
    }
}

TEST_F(ZipExtraction, EntriesMeetingWithoutTheirFoldersAreRefused)
{
    // "A/PRECIOS.DAT" and "B/precios.dat" are two files, unless the folder names are dropped.
    const QString target = path(QStringLiteral("RECIBIR"));
    ziplayer::UnzipOptions options;
    options.overwriteAll = 1;
    options.recreateFolders = 1;
    options.archivePath = Fixtures + QStringLiteral("dup_folders.zip");
    options.extractFolder = target + QStringLiteral("/con");
    ziplayer::UnzipCallbacks callbacks;
    EXPECT_EQ(ziplayer::Unzip32::windll_unzip({}, {}, options, callbacks), ziplayer::PK_OK);

    options.recreateFolders = 0;
    options.extractFolder = target + QStringLiteral("/sin");
    EXPECT_EQ(ziplayer::Unzip32::windll_unzip({}, {}, options, callbacks), ziplayer::PK_BADERR);
    EXPECT_FALSE(QFileInfo::exists(options.extractFolder));
}

TEST_F(ZipExtraction, PlantedLinksAreReplacedNeverWrittenThrough)
{
    ZIPTEST_REQUIRE("zip");
    const QString archive = peerPackage();
    const QString outside = path(QStringLiteral("fuera"));
    const QString target = path(QStringLiteral("RECIBIR"));
    writeFile(outside + QStringLiteral("/victima.txt"), "no se toca\r\n");
    QDir().mkpath(target);
    // One link to an existing file, one to a file that does not exist yet.
    ASSERT_TRUE(QFile::link(outside + QStringLiteral("/victima.txt"), target + QStringLiteral("/ControlMA.dat")));
    ASSERT_TRUE(QFile::link(outside + QStringLiteral("/nuevo.txt"), target + QStringLiteral("/v_ta_unidad.DAT")));

    const platform::Status done = Descomprimir(archive, target);

    ASSERT_TRUE(done.ok()) << done.message().toStdString();
    EXPECT_EQ(snapshot(outside), (QMap<QString, QByteArray>{{QStringLiteral("victima.txt"), "no se toca\r\n"}}));
    const auto tables = ziptest::sampleTableFiles();
    for (const QString &name : {QStringLiteral("ControlMA.dat"), QStringLiteral("v_ta_unidad.DAT")}) {
        const QFileInfo placed(target + QLatin1Char('/') + name);
        EXPECT_FALSE(placed.isSymLink()) << name.toStdString();
        EXPECT_TRUE(placed.isFile()) << name.toStdString();
    }
    EXPECT_EQ(readFile(target + QStringLiteral("/ControlMA.dat")), tables.value(QStringLiteral("ControlMA.dat")));
    EXPECT_EQ(readFile(target + QStringLiteral("/v_ta_unidad.DAT")), tables.value(QStringLiteral("V_TA_UNIDAD.dat")));
}

TEST_F(ZipExtraction, FileWhereTheArchiveHasAFolderStopsBeforeAnyWrite)
{
    ZIPTEST_REQUIRE("zip");
    const QString archive = peerPackage();
    const QString target = path(QStringLiteral("RECIBIR"));
    writeFile(target + QStringLiteral("/Sub"), "un archivo, no una carpeta\r\n");
    const auto before = snapshot(target);

    const platform::Status done = Descomprimir(archive, target);

    EXPECT_FALSE(done.ok());
    EXPECT_TRUE(done.message().contains(QStringLiteral("Sub"))) << done.message().toStdString();
    EXPECT_EQ(snapshot(target), before);
}

TEST_F(ZipExtraction, NameThatIsBothFileAndFolderLeavesTheTargetAsItWas)
{
    // AAA.DAT would arrive first and replace the old one; ZZZ and ZZZ/x cannot both be placed.
    const QString target = path(QStringLiteral("RECIBIR"));
    writeFile(target + QStringLiteral("/AAA.DAT"), "anterior\r\n");
    const auto before = snapshot(target);

    const platform::Status done = Descomprimir(Fixtures + QStringLiteral("file_and_folder.zip"), target);

    EXPECT_FALSE(done.ok());
    EXPECT_TRUE(done.message().contains(QStringLiteral("ZZZ"))) << done.message().toStdString();
    EXPECT_EQ(snapshot(target), before);
}

TEST_F(ZipExtraction, ArchiveTooBigForTheLimitOrTheDiskIsRefusedBeforeAnyWrite)
{
    ZIPTEST_REQUIRE("zip");
    const QString archive = peerPackage(); // a few kilobytes expanded
    const QString target = path(QStringLiteral("RECIBIR"));
    writeFile(target + QStringLiteral("/CONTROLMA.DAT"), "anterior\r\n");
    const auto before = snapshot(target);
    ziplayer::UnzipOptions options;
    options.recreateFolders = 1;
    options.overwriteAll = 1;
    options.archivePath = archive;
    options.extractFolder = target;
    options.maxExpandedSize = 100;
    ziplayer::UnzipCallbacks callbacks;

    EXPECT_EQ(ziplayer::Unzip32::windll_unzip({}, {}, options, callbacks), ziplayer::PK_DISK);
    EXPECT_EQ(snapshot(target), before);
    EXPECT_EQ(snapshot(m_base.path()).keys().filter(QStringLiteral(".imaestros-unzip")), QStringList())
        << "no staging folder is left behind";

    options.maxExpandedSize = ziplayer::kMaxExpandedSize;
    EXPECT_EQ(ziplayer::Unzip32::windll_unzip({}, {}, options, callbacks), ziplayer::PK_OK);
}

TEST(ZipExpansion, LimitAndFreeSpaceAreCheckedFromTheDeclaredSizes)
{
    const QString archive = QStringLiteral("/r/Archivos.zip");
    const struct {
        const char *name;
        uint64_t total;
        uint64_t limit;
        qint64 available;
        bool ok;
        const char *says;
    } cases[] = {
        {"fits", 1000, 2000, 5000, true, ""},
        {"exactly the limit", 2000, 2000, 5000, true, ""},
        {"over the limit", 2001, 2000, 1 << 30, false, "límite"},
        {"over the free space", 3000, 1 << 20, 2999, false, "libres"},
        {"free space unknown", 3000, 1 << 20, -1, true, ""},
    };
    for (const auto &c : cases) {
        const platform::Status status =
            ziplayer::Unzip32::checkExpansion(c.total, c.limit, c.available, archive, QStringLiteral("/r"));
        EXPECT_EQ(status.ok(), c.ok) << c.name;
        if (!c.ok) {
            EXPECT_EQ(status.code(), ziplayer::PK_DISK) << c.name;
            EXPECT_TRUE(status.message().contains(archive)) << c.name;
            EXPECT_TRUE(status.message().contains(QString::fromUtf8(c.says))) << status.message().toStdString();
        }
    }
}

TEST_F(ZipExtraction, EntryThatInflatesBeyondItsDeclaredSizeIsRefused)
{
    const QString target = path(QStringLiteral("RECIBIR"));
    QDir().mkpath(target);

    const platform::Status done = Descomprimir(Fixtures + QStringLiteral("size_lie.zip"), target);

    EXPECT_FALSE(done.ok());
    EXPECT_TRUE(done.message().contains(QStringLiteral("GRANDE.DAT"))) << done.message().toStdString();
    EXPECT_TRUE(snapshot(target).isEmpty());
}

TEST_F(ZipExtraction, ReadsWindowsNamesAndBackslashSeparators)
{
    const QString target = path(QStringLiteral("RECIBIR"));
    const platform::Status done = Descomprimir(Fixtures + QStringLiteral("windows_names.zip"), target);
    ASSERT_TRUE(done.ok()) << done.message().toStdString();
    EXPECT_EQ(readFile(target + QStringLiteral("/DATOS/A\u00d1O.DAT")), QByteArray("A\xf1o\tDescripci\xf3n\t\r\n"));
}

TEST_F(ZipExtraction, TakesWindowsPathsBelowTheRoot)
{
    qputenv("IMAESTROS_ROOT", m_base.path().toLocal8Bit());
    QDir().mkpath(path(QStringLiteral("RECIBIR")));
    QFile::copy(Fixtures + QStringLiteral("windows_names.zip"), path(QStringLiteral("RECIBIR/Archivos.zip")));
    const platform::Status done =
        Descomprimir(QStringLiteral("C:\\RECIBIR\\Archivos.zip"), QStringLiteral("C:\\RECIBIR\\"));
    qunsetenv("IMAESTROS_ROOT");
    ASSERT_TRUE(done.ok()) << done.message().toStdString();
    EXPECT_EQ(readFile(path(QStringLiteral("RECIBIR/CONTROLMA.DAT"))), QByteArray("Trasmision\r\n"));
}

TEST_F(ZipExtraction, MessageTextHoldsOnlyTheLastExtraction)
{
    EXPECT_FALSE(Descomprimir(path(QStringLiteral("no-existe.zip")), path(QStringLiteral("R"))).ok());
    EXPECT_TRUE(state().messageText.contains(QStringLiteral("no-existe.zip")));
    EXPECT_TRUE(Descomprimir(Fixtures + QStringLiteral("windows_names.zip"), path(QStringLiteral("R"))).ok());
    EXPECT_FALSE(state().messageText.contains(QStringLiteral("no-existe.zip")));
    EXPECT_TRUE(state().messageText.contains(QStringLiteral("CONTROLMA.DAT")));
}

TEST_F(ZipExtraction, PasswordIsAskedOnceAndAWrongOneWritesNothing)
{
    ZIPTEST_REQUIRE("zip");
    const QString archive = peerPackage({QStringLiteral("-P"), QStringLiteral("secreto")});
    const QString target = path(QStringLiteral("RECIBIR"));
    QDir().mkpath(target);

    m_operator.script->expect(QStringLiteral("Please Enter The Password!"), platform::vbOK, QStringLiteral("otra"));
    const platform::Status wrong = Descomprimir(archive, target);
    EXPECT_FALSE(wrong.ok());
    EXPECT_TRUE(snapshot(target).isEmpty());

    m_operator.script->expect(QStringLiteral("Please Enter The Password!"), platform::vbOK, QStringLiteral("secreto"));
    const platform::Status right = Descomprimir(archive, target);
    ASSERT_TRUE(right.ok()) << right.message().toStdString();
    EXPECT_EQ(readFile(target + QStringLiteral("/V_MA_ARTICULOS.dat")),
              ziptest::sampleTableFiles().value(QStringLiteral("V_MA_ARTICULOS.dat")));
    EXPECT_EQ(m_operator.script->asked().size(), 2); // one question per extraction, not per entry
}

TEST_F(ZipExtraction, BlankPasswordStopsEveryLaterPrompt)
{
    ZIPTEST_REQUIRE("zip");
    const QString archive = peerPackage({QStringLiteral("-P"), QStringLiteral("secreto")});
    const QString target = path(QStringLiteral("RECIBIR"));
    m_operator.script->expect(QStringLiteral("Please Enter The Password!"), platform::vbCancel, QString());
    const platform::Status first = Descomprimir(archive, target);
    const platform::Status second = Descomprimir(archive, target);
    EXPECT_FALSE(first.ok());
    EXPECT_FALSE(second.ok());
    EXPECT_EQ(second.code(), ziplayer::IZ_BADPWD);
    EXPECT_EQ(m_operator.script->asked().size(), 1);
}

TEST_F(ZipExtraction, LayerPromptsBeforeOverwritingWhenAskedTo)
{
    const QString target = path(QStringLiteral("RECIBIR"));
    writeFile(target + QStringLiteral("/CONTROLMA.DAT"), "anterior\r\n");
    ziplayer::UnzipOptions options;
    options.promptToOverwrite = 1;
    options.recreateFolders = 1;
    options.archivePath = Fixtures + QStringLiteral("windows_names.zip");
    options.extractFolder = target;
    ziplayer::UnzipCallbacks callbacks;
    callbacks.replace = ConfirmaReemplazo;

    m_operator.script->expect(QStringLiteral("Overwrite CONTROLMA.DAT?"), platform::vbNo);
    EXPECT_EQ(ziplayer::Unzip32::windll_unzip({}, {}, options, callbacks), ziplayer::PK_OK);
    EXPECT_EQ(readFile(target + QStringLiteral("/CONTROLMA.DAT")), QByteArray("anterior\r\n"));
    EXPECT_TRUE(QFileInfo::exists(target + QStringLiteral("/DATOS/A\u00d1O.DAT")));

    m_operator.script->expect(QStringLiteral("Overwrite CONTROLMA.DAT?"), platform::vbYes);
    m_operator.script->expect(QStringLiteral("Overwrite DATOS/A\u00d1O.DAT?"), platform::vbNo);
    EXPECT_EQ(ziplayer::Unzip32::windll_unzip({}, {}, options, callbacks), ziplayer::PK_OK);
    EXPECT_EQ(readFile(target + QStringLiteral("/CONTROLMA.DAT")), QByteArray("Trasmision\r\n"));
}

TEST_F(ZipExtraction, LayerListsEntriesThroughTheListingCallback)
{
    state().listingText.clear();
    state().listingCounter = 0;
    ziplayer::UnzipOptions options;
    options.listOnly = 1;
    options.archivePath = Fixtures + QStringLiteral("windows_names.zip");
    ziplayer::UnzipCallbacks callbacks;
    callbacks.message = RecibeListadoUnzip;

    EXPECT_EQ(ziplayer::Unzip32::windll_unzip({}, {}, options, callbacks), ziplayer::PK_OK);

    const QStringList lines = state().listingText.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("CONTROLMA.DAT ")));
    EXPECT_EQ(lines[1].mid(50, 7), QStringLiteral("     12"));
    EXPECT_EQ(lines[1].mid(59, 8), QStringLiteral("03/05/24"));
    EXPECT_EQ(lines[1].mid(69, 5), QStringLiteral(" 9:07"));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("DATOS\\A\u00d1O.DAT")));
    EXPECT_EQ(callbacks.numMembers, 2u);
}

} // namespace
