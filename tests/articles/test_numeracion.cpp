// How new codes are numbered: article codes and the four-character lookup codes.

#include "articles/Numeracion.h"
#include "platform/RuntimeError.h"

#include "tests/core/QtPrint.h"

#include <QMap>

#include <gtest/gtest.h>

namespace {

using articles::CodigoDeFamilia;
using articles::CodigoPorPrefijo;
using articles::SumarUno;
using platform::Variant;

TEST(Numbering, DecimalTextPlusOne)
{
    struct Case {
        const char *numero;
        const char *siguiente; // nullptr: not a number
    } cases[] = {
        {"1", "2"},
        {"0099", "0100"}, // the width of a zero-filled code is kept
        {"999", "1000"},
        {"  41 ", "42"},
        {"9999999999999999999999998", "9999999999999999999999999"}, // 25 digits, exactly
        {"1234567890123456789012345", "1234567890123456789012346"},
        {"9999999999999999999999999", "10000000000000000000000000"},
        {"", nullptr},
        {"12a", nullptr},
        {"1e5", nullptr},
        {"-3", nullptr},
    };
    for (const auto &c : cases) {
        const std::optional<QString> r = SumarUno(QString::fromLatin1(c.numero));
        if (!c.siguiente)
            EXPECT_FALSE(r) << c.numero;
        else
            EXPECT_EQ(r.value_or(QStringLiteral("<none>")), QString::fromLatin1(c.siguiente)) << c.numero;
    }
}

// A table's highest code per prefix, as the database would answer (missing: Null).
articles::MaximoDePrefijo maxima(const QMap<QChar, QString> &porPrefijo, QList<QChar> *preguntados = nullptr)
{
    return [porPrefijo, preguntados](QChar prefijo) -> std::optional<Variant> {
        if (preguntados)
            preguntados->append(prefijo);
        if (!porPrefijo.contains(prefijo))
            return Variant::null();
        return Variant(porPrefijo.value(prefijo));
    };
}

// Every prefix full: the blank one at 999, digits at n999, letters at x999.
QMap<QChar, QString> todoLleno()
{
    QMap<QChar, QString> m{{QLatin1Char(' '), QStringLiteral(" 999")}};
    for (char d = '1'; d <= '9'; ++d)
        m.insert(QLatin1Char(d), QString(QLatin1Char(d)) + QStringLiteral("999"));
    for (char l = 'A'; l <= 'Z'; ++l)
        m.insert(QLatin1Char(l), QString(QLatin1Char(l)) + QStringLiteral("999"));
    for (char l = 'a'; l <= 'z'; ++l)
        m.insert(QLatin1Char(l), QString(QLatin1Char(l)) + QStringLiteral("999"));
    return m;
}

TEST(Numbering, FourCharacterCodesByPrefix)
{
    QMap<QChar, QString> digitsFull = todoLleno();
    for (char l = 'A'; l <= 'Z'; ++l)
        digitsFull.remove(QLatin1Char(l));
    for (char l = 'a'; l <= 'z'; ++l)
        digitsFull.remove(QLatin1Char(l));
    QMap<QChar, QString> upperFull = todoLleno();
    for (char l = 'a'; l <= 'z'; ++l)
        upperFull.remove(QLatin1Char(l));
    QMap<QChar, QString> upperFullLowerStarted = upperFull;
    upperFullLowerStarted.insert(QLatin1Char('a'), QStringLiteral("a041"));

    struct Case {
        const char *nombre;
        QMap<QChar, QString> maximos;
        const char *codigo;
    } cases[] = {
        {"empty table: the blank prefix is not started", {}, "1000"},
        {"the next digit code", {{QLatin1Char('1'), QStringLiteral("1000")}}, "1001"},
        {"the blank prefix is continued", {{QLatin1Char(' '), QStringLiteral(" 998")}}, " 999"},
        {"a short blank code gets three digits", {{QLatin1Char(' '), QStringLiteral("   5")}}, " 006"},
        {"after blank 999 the digit codes", {{QLatin1Char(' '), QStringLiteral(" 999")}}, "1000"},
        {"1999 is followed by 2000",
         {{QLatin1Char(' '), QStringLiteral(" 999")}, {QLatin1Char('1'), QStringLiteral("1999")}},
         "2000"},
        {"the next digit continues its own codes",
         {{QLatin1Char('1'), QStringLiteral("1999")}, {QLatin1Char('2'), QStringLiteral("2050")}},
         "2051"},
        {"9999 is followed by the letters", digitsFull, "A001"},
        {"A999 is followed by B001",
         [&] {
             QMap<QChar, QString> m = digitsFull;
             m.insert(QLatin1Char('A'), QStringLiteral("A999"));
             return m;
         }(),
         "B001"},
        {"upper case full: lower case next", upperFull, "a001"},
        {"lower case continued", upperFullLowerStarted, "a042"},
        {"every prefix full", todoLleno(), ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CodigoPorPrefijo(maxima(c.maximos)), QString::fromLatin1(c.codigo)) << c.nombre;
}

TEST(Numbering, PrefixesAreAskedInOrderUntilOneHasRoom)
{
    QList<QChar> preguntados;
    CodigoPorPrefijo(
        maxima({{QLatin1Char(' '), QStringLiteral(" 999")}, {QLatin1Char('1'), QStringLiteral("1999")}}, &preguntados));
    EXPECT_EQ(preguntados, (QList<QChar>{QLatin1Char(' '), QLatin1Char('1'), QLatin1Char('2')}));
}

TEST(Numbering, AStoredCodeThatIsNotANumberIsATypeError)
{
    try {
        CodigoPorPrefijo(maxima({{QLatin1Char('1'), QStringLiteral("1X")}}));
        ADD_FAILURE();
    } catch (const platform::RuntimeError &e) {
        EXPECT_EQ(e.Number(), 13);
    }
}

TEST(Numbering, FamilyLevels)
{
    struct Case {
        const char *padre;
        int largo;
        Variant maximo;
        const char *codigo;
    } cases[] = {
        {"", 2, Variant::null(), "01"},
        {"", 2, Variant(QStringLiteral("05")), "06"},
        {"", 4, Variant::null(), "0001"},
        {"", 2, Variant(QStringLiteral("99")), ""}, // level full
        {"01", 4, Variant::null(), "0101"},
        {"01", 4, Variant(QStringLiteral("0101")), "0102"},
        {"01", 4, Variant(QStringLiteral("0199")), ""},
        {"0102", 6, Variant(QStringLiteral("010209 ")), "010210"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CodigoDeFamilia(QString::fromLatin1(c.padre), c.largo, c.maximo), QString::fromLatin1(c.codigo))
            << c.padre << " " << c.largo;
}

} // namespace
