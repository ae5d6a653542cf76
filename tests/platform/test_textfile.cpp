#include "platform/TextFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace platform;

// /dev/full takes the open and refuses every byte, as a full disk does. Only the device
// itself will do: a file of that name must not be written.
static bool fullDeviceHere()
{
    struct stat info {};
    return ::stat("/dev/full", &info) == 0 && S_ISCHR(info.st_mode);
}

TEST(TextFile, WritesWindows1252WithCrLf)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.txt"));
    ASSERT_TRUE(textfile::writeLines(path, {QStringLiteral("Año €5"), QStringLiteral("ñandú")}).ok());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(),
              QByteArray("A\xF1o \x80"
                         "5\r\n\xF1"
                         "and\xFA\r\n"));
}

TEST(TextFile, ReadsCrLfAndLfAlike)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("b.txt"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("uno\r\ndos\n\xE1rbol\r\n");
    f.close();
    auto lines = textfile::readLines(path);
    ASSERT_TRUE(lines.ok());
    EXPECT_EQ(lines.value(), (QStringList{QStringLiteral("uno"), QStringLiteral("dos"), QStringLiteral("árbol")}));
}

TEST(TextFile, AppendCreatesAndExtends)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("c.log"));
    ASSERT_TRUE(textfile::appendLines(path, {QStringLiteral("1")}).ok());
    ASSERT_TRUE(textfile::appendLines(path, {QStringLiteral("2")}).ok());
    EXPECT_EQ(textfile::readLines(path).value(), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
}

TEST(TextFile, AppendToAFullDiskFails)
{
    if (!fullDeviceHere())
        GTEST_SKIP() << "/dev/full is not the full device here";
    const Status written = textfile::appendLines(QStringLiteral("/dev/full"), {QStringLiteral("una línea")});
    ASSERT_FALSE(written.ok());
    EXPECT_TRUE(written.message().contains(QStringLiteral("/dev/full"))) << written.message().toStdString();
}

TEST(TextFile, ErrorsNameTheFile)
{
    auto missing = textfile::readLines(QStringLiteral("/nonexistent/x.txt"));
    ASSERT_FALSE(missing.ok());
    EXPECT_TRUE(missing.message().contains(QStringLiteral("/nonexistent/x.txt")));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.txt"));
    ASSERT_TRUE(textfile::writeLines(path, {QString(100, QLatin1Char('x'))}).ok());
    auto tooBig = textfile::readAll(path, 10);
    ASSERT_FALSE(tooBig.ok());
    EXPECT_TRUE(tooBig.message().contains(path));

    EXPECT_FALSE(textfile::writeLines(QStringLiteral("/nonexistent/dir/y.txt"), {}).ok());
}

TEST(TextFile, UnmappableCharactersBecomeQuestionMarks)
{
    EXPECT_EQ(textfile::encode1252(QStringLiteral("a\u4E2Db")), QByteArray("a?b"));
    EXPECT_EQ(textfile::decode1252(textfile::encode1252(QStringLiteral("“Ñ”…"))), QStringLiteral("“Ñ”…"));
}

TEST(TextFile, FirstCharacterOutsideWindows1252)
{
    using platform::textfile::firstOutside1252;
    EXPECT_EQ(firstOutside1252(QStringLiteral("Año € “x” Œ")), QString());
    EXPECT_EQ(firstOutside1252(QStringLiteral("Ана")), QStringLiteral("А"));
    EXPECT_EQ(firstOutside1252(QStringLiteral("ok ✓ x")), QStringLiteral("✓"));
    EXPECT_EQ(firstOutside1252(QStringLiteral("a😀b")), QStringLiteral("😀")); // the whole pair
}
