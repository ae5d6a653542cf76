#include "zip/EntryName.h"

#include <gtest/gtest.h>

using namespace ziplayer;

namespace {

struct PathCase {
    const char *name;
    const char *expected; // nullptr: refused
};

class ZipSafeRelativePath : public testing::TestWithParam<PathCase> {};

TEST_P(ZipSafeRelativePath, KeepsNamesInsideTheTargetAndRefusesTheRest)
{
    const PathCase c = GetParam();
    const std::optional<QString> path = entryname::safeRelativePath(QString::fromUtf8(c.name));
    if (!c.expected) {
        EXPECT_FALSE(path.has_value()) << c.name << " -> " << path.value_or(QString()).toStdString();
    } else {
        ASSERT_TRUE(path.has_value()) << c.name;
        EXPECT_EQ(path->toStdString(), c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, ZipSafeRelativePath,
    testing::Values(PathCase{"CONTROLMA.DAT", "CONTROLMA.DAT"}, PathCase{"SUB/INNER.DAT", "SUB/INNER.DAT"},
                    PathCase{"SUB\\INNER.DAT", "SUB/INNER.DAT"}, PathCase{"./SUB//A.DAT", "SUB/A.DAT"},
                    PathCase{"SUB/", "SUB"}, PathCase{"./", ""}, PathCase{"..x/y..", "..x/y.."}, PathCase{"...", "..."},
                    PathCase{"../evil.txt", nullptr}, PathCase{"..\\evil.txt", nullptr},
                    PathCase{"SUB/../../evil.txt", nullptr}, PathCase{"SUB/../A.DAT", nullptr}, PathCase{"..", nullptr},
                    PathCase{"/etc/passwd", nullptr}, PathCase{"\\evil.txt", nullptr},
                    PathCase{"C:\\evil.txt", nullptr}, PathCase{"c:evil.txt", nullptr}),
    [](const testing::TestParamInfo<PathCase> &info) { return "case" + std::to_string(info.index); });

TEST(ZipEntryNameEncoding, ReadsWindows1252AndUtf8Names)
{
    EXPECT_EQ(entryname::decode(QByteArray("A\xd1O.DAT")), QStringLiteral("A\u00d1O.DAT"));
    EXPECT_EQ(entryname::decode(QByteArray("A\xc3\x91O.DAT")), QStringLiteral("A\u00d1O.DAT"));
    EXPECT_EQ(entryname::decode(QByteArray("CONTROLMA.DAT")), QStringLiteral("CONTROLMA.DAT"));
}

TEST(ZipEntryNameEncoding, WritesWindows1252WhenItFitsElseUtf8)
{
    bool utf8 = true;
    EXPECT_EQ(entryname::encode(QStringLiteral("A\u00d1O.DAT"), utf8), QByteArray("A\xd1O.DAT"));
    EXPECT_FALSE(utf8);
    EXPECT_EQ(entryname::encode(QStringLiteral("\u4e2d.DAT"), utf8), QByteArray("\xe4\xb8\xad.DAT"));
    EXPECT_TRUE(utf8);
}

} // namespace
