// Amounts: how text becomes an amount, products and the plain text form.

#include "articles/Importe.h"
#include "platform/suite/Funciones.h"

#include <gtest/gtest.h>

namespace {

using articles::Importe;

constexpr std::int64_t k = Importe::kEscala;

TEST(Importe, TextReadsAsTheSuitesCurrency)
{
    struct Case {
        const char *texto;
        std::int64_t diezmilesimos;
    } cases[] = {
        {"1.234,56", 12345600}, // regional: comma decimal, point groups
        {"1234.56", 12345600},  // a lone point is the decimal mark
        {"1234,56", 12345600},
        {"12.5", 125000},
        {"1.234.567", 1234567 * k}, // two points: grouping
        {"1.234.567,5", 12345675000},
        {"  7 ", 7 * k},
        {"", 0},
        {"-3,25", -32500},
        {"(2,5)", -25000},
        {"$ 1.5", 15000},
        {",5", 5000},
        {"1,23456", 12346}, // beyond four decimals: rounded
        {"0,00005", 0},     // a tie goes to the even count
        {"0,00015", 2},
        {"0,000051", 1},
        {"922337203685477,5807", std::numeric_limits<std::int64_t>::max()},
        {"9999999999999999999999,12345", -1}, // fits nowhere
    };
    for (const Case &c : cases) {
        const std::optional<Importe> leido = Importe::leer(QString::fromLatin1(c.texto));
        if (c.diezmilesimos == -1) {
            EXPECT_FALSE(leido) << c.texto;
            continue;
        }
        ASSERT_TRUE(leido) << c.texto;
        EXPECT_EQ(leido->diezmilesimos(), c.diezmilesimos) << c.texto;
    }
}

TEST(Importe, TextThatIsNotANumberIsRefusedWithTheTypeError)
{
    for (const char *malo : {"12a", "1,2,3", "1.2,3.4", "abc", "-", "1 2", "12%"}) {
        EXPECT_FALSE(Importe::leer(QString::fromLatin1(malo))) << malo;
        try {
            Importe::desdeTexto(QString::fromLatin1(malo));
            ADD_FAILURE() << malo;
        } catch (const platform::RuntimeError &e) {
            EXPECT_EQ(e.Number(), 13) << malo;
        }
    }
    try {
        Importe::desdeTexto(QStringLiteral("99999999999999999999"));
        ADD_FAILURE();
    } catch (const platform::RuntimeError &e) {
        EXPECT_EQ(e.Number(), 6);
    }
}

// The one reading rule is the suite's: the shared currency routine reads the same numbers.
TEST(Importe, ReadsWhatTheSharedCurrencyRoutineReads)
{
    for (const char *texto : {"1.234,56", "1234.56", "0,5", "-12.75", "1.234.567", "(3,1416)", "$ 10", "7"}) {
        const double compartido = platform::suite::gFunciones().TextoAMoneda(QString::fromLatin1(texto));
        EXPECT_EQ(Importe::desdeTexto(QString::fromLatin1(texto)).diezmilesimos(), std::llround(compartido * k))
            << texto;
    }
}

TEST(Importe, PlainTextAndSqlForms)
{
    struct Case {
        std::int64_t diezmilesimos;
        const char *texto;
        const char *sql;
    } cases[] = {{1573000, "157,3", "157.3"}, {300000, "30", "30"}, {-5000, "-0,5", "-0.5"},
                 {1, "0,0001", "0.0001"},     {0, "0", "0"},        {12345678, "1234,5678", "1234.5678"}};
    for (const Case &c : cases) {
        const Importe importe = Importe::desdeDiezmilesimos(c.diezmilesimos);
        EXPECT_EQ(importe.texto(), QString::fromLatin1(c.texto));
        EXPECT_EQ(importe.textoSql(), QString::fromLatin1(c.sql));
        EXPECT_EQ(Importe::desdeTexto(importe.texto()), importe) << c.texto;
    }
}

TEST(Importe, ProductsAndDoublesRoundToFourDecimalsTiesToEven)
{
    const auto de = [](const char *t) { return Importe::desdeTexto(QString::fromLatin1(t)); };
    EXPECT_EQ(de("30").por(de("100")), de("3000"));
    EXPECT_EQ(de("0,0001").por(de("0,5")), de("0"));      // 0.00005: tie, even
    EXPECT_EQ(de("0,0003").por(de("0,5")), de("0,0002")); // 0.00015: tie, even
    EXPECT_EQ(de("-0,0003").por(de("0,5")), de("-0,0002"));
    EXPECT_EQ(de("1,2345").por(de("1,1")), de("1,358")); // 1.35795 -> 1.358 (round up)
    EXPECT_EQ(Importe::desdeDoble(130.0 * 1.21), de("157,3"));
    EXPECT_THROW(Importe::desdeDoble(1e300), platform::RuntimeError);
    EXPECT_THROW(Importe::desdeDoble(1.0 / 0.0), platform::RuntimeError);
    const Importe maximo = Importe::desdeDiezmilesimos(std::numeric_limits<std::int64_t>::max());
    EXPECT_THROW(maximo + de("0,0001"), platform::RuntimeError);
    EXPECT_THROW(maximo.por(de("2")), platform::RuntimeError);
}

} // namespace
