// What the sending adds to the package format: the columns lines leave out, the values that
// cannot travel unchanged, and numbers that read back as written.

#include "tests/core/QtPrint.h"

#include "package/Format.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

TEST(PackageWriter, ColumnsLeftOutOfLinesAndFieldLists)
{
    for (const char *nombre : {"ID", "id", "Imagen", " IMAGEN "}) {
        EXPECT_TRUE(package::leftOutOfLine(QString::fromUtf8(nombre))) << nombre;
        EXPECT_TRUE(package::leftOutOfFieldList(QString::fromUtf8(nombre))) << nombre;
    }
    for (const char *nombre : {"Transmision", "RECEPCION"}) {
        EXPECT_TRUE(package::leftOutOfLine(QString::fromUtf8(nombre))) << nombre;
        EXPECT_FALSE(package::leftOutOfFieldList(QString::fromUtf8(nombre))) << nombre;
    }
    for (const char *nombre : {"IdArticulo", "IDENTIFICADOR", "TRANSMISIONES"})
        EXPECT_FALSE(package::leftOutOfLine(QString::fromUtf8(nombre))) << nombre;
}

TEST(PackageWriter, TextsThatCannotTravelUnchangedAreNamed)
{
    const struct {
        QString texto;
        const char *motivo; // part of the reason; "" when the text travels
    } casos[] = {
        {QStringLiteral("Ñandú O'Brien, 50%; -- ok"), ""},
        {QStringLiteral("nullo"), ""},
        {QString(), ""},
        {QStringLiteral("a\tb"), "tabulador"},
        {QStringLiteral("a\r\nb"), "salto de línea"},
        {QStringLiteral("a\nb"), "salto de línea"},
        {QStringLiteral("a") + QChar(7), "control 7"},
        {QStringLiteral("€ y ½"), ""},
        {QStringLiteral("日本"), "Windows-1252"},
        {QStringLiteral("NULL"), "NULL"},
        {QStringLiteral(" null "), "NULL"},
    };
    for (const auto &c : casos) {
        const QString motivo = package::unwritableText(c.texto);
        if (QByteArray(c.motivo).isEmpty())
            EXPECT_TRUE(motivo.isEmpty()) << c.texto.toStdString() << ": " << motivo.toStdString();
        else
            EXPECT_TRUE(motivo.contains(QString::fromUtf8(c.motivo)))
                << c.texto.toStdString() << ": " << motivo.toStdString();
    }
}

TEST(PackageWriter, NumbersReadBackAsWritten)
{
    const struct {
        double valor;
        const char *texto;
    } casos[] = {
        {0.333333, "0,333333"},   {1234.5678, "1234,5678"},         {-0.25, "-0,25"}, {7, "7"},
        {0.0000001, "0,0000001"}, {123456789012.0, "123456789012"}, {-0.0, "0"},      {0.1, "0,1"},
    };
    for (const auto &c : casos) {
        EXPECT_EQ(package::writeNumber(c.valor), QString::fromUtf8(c.texto)) << c.texto;
        EXPECT_EQ(package::readNumber(package::writeNumber(c.valor)), c.valor) << c.texto;
    }
}

// The process's locale never reaches a package: commas, day-first dates and no grouping.
TEST(PackageWriter, ValuesDoNotFollowTheProcessLocale)
{
    const QLocale antes;
    for (const QLocale::Language idioma : {QLocale::English, QLocale::German, QLocale::French}) {
        QLocale::setDefault(QLocale(idioma));
        EXPECT_EQ(package::writeValue(platform::Variant(1234567.5)), QStringLiteral("1234567,5"));
        EXPECT_EQ(package::writeValue(platform::Variant(QDateTime(QDate(2021, 2, 1), QTime(8, 5, 3)))),
                  QStringLiteral("01/02/2021 08:05:03"));
    }
    QLocale::setDefault(antes);
}

} // namespace
