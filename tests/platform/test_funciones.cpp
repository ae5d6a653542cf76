#include "platform/suite/Funciones.h"

#include <gtest/gtest.h>

using platform::suite::gFunciones;

TEST(Funciones, TextoAMonedaReadsRegionalNumbers)
{
    struct Case {
        const char *text;
        double value;
    } cases[] = {{"12,50", 12.5},
                 {"0,5", 0.5},
                 {"-3", -3},
                 {"1.234,5", 1234.5},
                 {"  7 ", 7},
                 {"1,23456", 1.2346},
                 {"", 0},
                 {"(2,5)", -2.5},
                 {"12.5", 12.5},
                 {"0.5", 0.5},
                 {"-3.25", -3.25},
                 {".5", 0.5},
                 {"1.234.567", 1234567},
                 {"1.234.567,5", 1234567.5},
                 {"$ 1.5", 1.5}};
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(gFunciones().TextoAMoneda(QString::fromLatin1(c.text)), c.value) << c.text;
    for (const char *bad : {"12a", "1,2,3", "1.2,3.4"})
        EXPECT_THROW(gFunciones().TextoAMoneda(QString::fromLatin1(bad)), platform::RuntimeError) << bad;
}

TEST(Funciones, TextHelpers)
{
    const auto &f = gFunciones();
    EXPECT_EQ(f.ContarPalabras(QStringLiteral("  SELECT  *\tFROM T ")), 4);
    EXPECT_EQ(f.ContarPalabras(QStringLiteral("   ")), 0);
    EXPECT_EQ(f.Reemplazar(QStringLiteral("1,5,0"), QStringLiteral(","), QStringLiteral(".")), QStringLiteral("1.5.0"));
    EXPECT_EQ(f.AlinearDerecha(QStringLiteral("12"), 5), QStringLiteral("   12"));
    EXPECT_EQ(f.AjustarLargo(QStringLiteral("abcdef"), 3), QStringLiteral("abc"));
    EXPECT_EQ(f.QuitarCaracteres(QStringLiteral("a'b\"c-"), QStringLiteral("'"), QStringLiteral("\"")),
              QStringLiteral("abc-"));
    EXPECT_EQ(f.NuloAVacio(platform::Variant::null()), QString());
    EXPECT_EQ(f.AgregarBarra(QStringLiteral("/tmp")), QStringLiteral("/tmp/"));
}

TEST(Funciones, CodificarRoundTripsAndIsSafeForCommaFiles)
{
    for (const char *text : {"", "sa", "clave, con coma", "ñandú€"}) {
        const QString plain = QString::fromUtf8(text);
        const QString stored = gFunciones().Codificar(plain);
        EXPECT_FALSE(stored.contains(QLatin1Char(',')));
        EXPECT_EQ(gFunciones().Decodificar(stored), plain);
    }
    EXPECT_NE(gFunciones().Codificar(QStringLiteral("sa")), QStringLiteral("sa"));
}
