#include "toolbar/IconStrip.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QFile>
#include <QTemporaryDir>

using toolbar::IconStrip;

namespace {

// A strip of `count` solid squares, colour i*20 in red, saved as a BMP.
QString writeStrip(const QString &path, int count, int size = 4)
{
    QImage image(count * size, size, QImage::Format_RGB32);
    for (int i = 0; i < count; ++i) {
        for (int x = 0; x < size; ++x) {
            for (int y = 0; y < size; ++y)
                image.setPixelColor(i * size + x, y, QColor(i * 20, 0, 0));
        }
    }
    EXPECT_TRUE(image.save(path, "BMP"));
    return path;
}

} // namespace

TEST(IconStrip, StyleValuePicksTheStripExactly)
{
    const std::pair<const char *, const char *> cases[] = {
        {"1", "ABM2021B.bmp"}, {"2", "ABM2021M.bmp"}, {"3", "ABM2021V.bmp"}, {"4", "ABM2021i.bmp"},
        {" 2", "ABM2021.bmp"}, {"2 ", "ABM2021.bmp"}, {"0", "ABM2021.bmp"},  {"5", "ABM2021.bmp"},
        {"", "ABM2021.bmp"},   {"01", "ABM2021.bmp"}};
    for (const auto &[styles, file] : cases)
        EXPECT_EQ(IconStrip::fileNameForStyle(QString::fromLatin1(styles)), QString::fromLatin1(file))
            << '"' << styles << '"';
}

TEST(IconStrip, FindsTheStripWithoutRegardToCase)
{
    QTemporaryDir dir;
    writeStrip(dir.filePath("abm2021I.BMP"), 8);
    const QString path = IconStrip::pathForStyle(dir.path(), "4");
    EXPECT_EQ(path, dir.filePath("abm2021I.BMP"));
    EXPECT_TRUE(IconStrip::load(path, 8).ok());
}

TEST(IconStrip, CutsTheStripInButtonOrder)
{
    QTemporaryDir dir;
    const QString path = writeStrip(dir.filePath("ABM2021B.bmp"), 8, 5);
    const auto icons = IconStrip::load(path, 8);
    ASSERT_TRUE(icons.ok()) << icons.message().toStdString();
    ASSERT_EQ(icons.value().size(), 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(icons.value().at(i).size(), QSize(5, 5));
        EXPECT_EQ(QColor(icons.value().at(i).pixel(2, 2)).red(), i * 20) << i;
    }
}

TEST(IconStrip, BadFilesFailNamingTheFile)
{
    QTemporaryDir dir;
    const QString garbage = dir.filePath("garbage.bmp");
    QFile file(garbage);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("BM this is not a bitmap");
    file.close();
    const QString narrow = writeStrip(dir.filePath("narrow.bmp"), 1, 7); // 7 pixels for 8 icons
    const QString empty = dir.filePath("empty.bmp");
    QFile(empty).open(QIODevice::WriteOnly);

    for (const QString &path : {dir.filePath("missing.bmp"), garbage, narrow, empty, dir.path()}) {
        const auto icons = IconStrip::load(path, 8);
        EXPECT_FALSE(icons.ok()) << path.toStdString();
        EXPECT_TRUE(icons.message().contains(path)) << icons.message().toStdString();
    }
}

TEST(IconStrip, RefusesAnOversizedFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("huge.bmp");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(IconStrip::kMaxFileSize + 1));
    file.close();
    const auto icons = IconStrip::load(path, 8);
    EXPECT_FALSE(icons.ok());
}
