// The callbacks of the module, called as the libraries call them.
#include "ZipTestSupport.h"

#include "zip/ModZIP.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace ModZIP;

namespace {

ziplayer::ListedEntry entry(const char *name, uint32_t size, int year, int month, int day, int hour, int minute)
{
    ziplayer::ListedEntry e;
    e.fileName = name;
    e.size = size;
    e.year = int16_t(year);
    e.month = int16_t(month);
    e.day = int16_t(day);
    e.hour = int16_t(hour);
    e.minute = int16_t(minute);
    return e;
}

// The listing's last line, without CR LF.
QString lastListingLine()
{
    const QStringList lines = state().listingText.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString() : lines.last();
}

class ZipListingCallback : public testing::Test {
protected:
    void SetUp() override
    {
        state().listingText.clear();
        state().listingCounter = 1;
    }
};

TEST_F(ZipListingCallback, LaysOutNameSizeDateAndTimeInFixedColumns)
{
    RecibeListadoUnzip(entry("CONTROLMA.DAT", 1234, 2024, 3, 5, 9, 7));
    const QString line = lastListingLine();
    ASSERT_EQ(line.size(), 80);
    EXPECT_EQ(line.mid(0, 50), QStringLiteral("CONTROLMA.DAT").leftJustified(50));
    EXPECT_EQ(line.mid(50, 7), QStringLiteral("   1234"));
    EXPECT_EQ(line.mid(59, 8), QStringLiteral("03/05/24"));
    EXPECT_EQ(line.mid(69, 5), QStringLiteral(" 9:07"));
    EXPECT_EQ(line.mid(57, 2) + line.mid(67, 2) + line.mid(74), QString(10, QLatin1Char(' ')));
    EXPECT_EQ(state().listingCounter, 2);
}

TEST_F(ZipListingCallback, CutsLongNamesAndSizes)
{
    const QByteArray longName(60, 'N');
    RecibeListadoUnzip(entry(longName.constData(), 12345678, 2009, 12, 31, 14, 30));
    QString line = lastListingLine();
    EXPECT_EQ(line.mid(0, 50), QString(50, QLatin1Char('N')));
    EXPECT_EQ(line.mid(50, 7), QStringLiteral("2345678")); // the first digit is lost
    EXPECT_EQ(line.mid(59, 8), QStringLiteral("12/31/09"));
    EXPECT_EQ(line.mid(69, 5), QStringLiteral("14:30"));

    RecibeListadoUnzip(entry("VACIO.DAT", 0, 2024, 1, 1, 0, 0));
    line = lastListingLine();
    EXPECT_EQ(line.mid(50, 7), QStringLiteral("      0"));
}

TEST_F(ZipListingCallback, WritesTheHeaderOnlyWhenTheCounterIsZero)
{
    state().listingText = QStringLiteral("old\r\n");
    state().listingCounter = 0;
    RecibeListadoUnzip(entry("A.DAT", 1, 2024, 1, 1, 10, 0));
    const QStringList lines = state().listingText.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Filename:")));
    EXPECT_EQ(lines[0].mid(52, 4), QStringLiteral("Size"));
    EXPECT_EQ(lines[0].mid(61, 4), QStringLiteral("Date"));
    EXPECT_EQ(lines[0].mid(70, 4), QStringLiteral("Time"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("A.DAT")));
}

TEST(ZipTextCallbacks, AppendTheLibraryTextUpToTheFirstNulAndNeverPastTheSize)
{
    state().messageText = QStringLiteral("antes ");
    const char text[] = "extrayendo\0basura";
    EXPECT_EQ(RecibeTextoUnzip(text, sizeof text - 1), 0);
    const char unterminated[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(RecibeTextoUnzip(unterminated, 2), 0);
    EXPECT_EQ(state().messageText, QStringLiteral("antes extrayendoab"));
    EXPECT_EQ(RecibeTextoZip("  agregando: X.DAT\n", 19), 0);
}

TEST(ZipReplaceCallback, MapsTheOperatorsAnswer)
{
    const struct {
        int answer;
        int expected;
    } cases[] = {{platform::vbYes, ziplayer::IDM_REPLACE_YES},
                 {platform::vbNo, ziplayer::IDM_REPLACE_NO},
                 {platform::vbCancel, ziplayer::IDM_REPLACE_NONE}};
    for (const auto &c : cases) {
        ziptest::ScriptedScope op;
        op.script->expect(QStringLiteral("Overwrite SUB/A.DAT?"), c.answer);
        EXPECT_EQ(ConfirmaReemplazo("SUB/A.DAT"), c.expected);
        ASSERT_EQ(op.script->asked().size(), 1);
        EXPECT_EQ(op.script->asked()[0].title, QStringLiteral("VBUnZip32 - File Already Exists!"));
        EXPECT_EQ(op.script->asked()[0].style, platform::vbYesNoCancel | platform::vbExclamation);
    }
}

TEST(ZipReplaceCallback, CutsTheNameAt256Bytes)
{
    const QByteArray name(300, 'x');
    ziptest::ScriptedScope op;
    op.script->expect(QString(), platform::vbNo);
    ConfirmaReemplazo(name.constData());
    ASSERT_EQ(op.script->asked().size(), 1);
    EXPECT_EQ(op.script->asked()[0].text,
              QStringLiteral("Overwrite ") + QString(256, QLatin1Char('x')) + QLatin1Char('?'));
}

TEST(ZipPasswordCallbacks, UnzipCopiesTheAnswerAndStopsAskingOnceLeftBlank)
{
    state().passwordRefused = 0;
    char buffer[8];
    std::memset(buffer, 'z', sizeof buffer);
    {
        ziptest::ScriptedScope op;
        op.script->expect(QStringLiteral("Please Enter The Password!"), platform::vbOK, QStringLiteral("clave-larga"));
        EXPECT_EQ(PideClaveUnzip(buffer, int(sizeof buffer), "", ""), ziplayer::PasswordGiven);
        EXPECT_STREQ(buffer, "clave-l"); // size - 1 characters and a NUL
    }
    {
        ziptest::ScriptedScope op;
        op.script->expect(QStringLiteral("Please Enter The Password!"), platform::vbCancel, QString());
        EXPECT_EQ(PideClaveUnzip(buffer, int(sizeof buffer), "", ""), ziplayer::PasswordNone);
        EXPECT_EQ(state().passwordRefused, 1);
        // No question any more for the rest of the run.
        EXPECT_EQ(PideClaveUnzip(buffer, int(sizeof buffer), "", ""), ziplayer::PasswordNone);
        EXPECT_EQ(op.script->asked().size(), 1);
    }
    state().passwordRefused = 0;
}

TEST(ZipPasswordCallbacks, ZipAsksEveryTime)
{
    char buffer[16];
    ziptest::ScriptedScope op;
    op.script->expect(QStringLiteral("Por Favor ingrese el PassWord!!!"), platform::vbCancel, QString());
    op.script->expect(QStringLiteral("Por Favor ingrese el PassWord!!!"), platform::vbOK, QStringLiteral("secreto"));
    EXPECT_EQ(PideClaveZip(buffer, int(sizeof buffer), "", ""), ziplayer::PasswordNone);
    EXPECT_EQ(PideClaveZip(buffer, int(sizeof buffer), "", ""), ziplayer::PasswordGiven);
    EXPECT_STREQ(buffer, "secreto");
}

TEST(ZipCommentCallback, GivesAnEmptyComment)
{
    char buffer[ziplayer::ZipCommentBufferSize];
    std::memset(buffer, 'c', sizeof buffer);
    EXPECT_EQ(PideComentarioZip(buffer), buffer);
    EXPECT_EQ(buffer[0], '\0');
}

} // namespace
