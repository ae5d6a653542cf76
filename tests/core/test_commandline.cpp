#include "core/Inicio.h"
#include "core/LineaComandos.h"

#include "QtPrint.h"

#include <gtest/gtest.h>

using ModGlobal::LineaComandos;

namespace {

struct Case {
    const char *name;
    const char *text;
    const char *key;
    const char *expected;
};

class CommandLineKeys : public ::testing::TestWithParam<Case> {};

TEST_P(CommandLineKeys, ValueOfKey)
{
    const Case &c = GetParam();
    const QString missing = QStringLiteral("<missing>");
    EXPECT_EQ(ModGlobal::ValorDeClave(QString::fromUtf8(c.text), QString::fromUtf8(c.key), missing),
              QString::fromUtf8(c.expected));
}

const Case kCases[] = {
    {"SuiteLaunchLine", "@server=SRV1; @dbname= EMPRESA; @usuario= ANA; @Password= x1", "@DbName", "EMPRESA"},
    {"KeyIgnoresCase", "@SERVER=SRV1", "@Server", "SRV1"},
    {"MissingKey", "@server=SRV1", "@Menu", "<missing>"},
    {"EmptyValue", "@ParametroAdicional=; @Caja=1", "@ParametroAdicional", ""},
    // A key is matched whole: "@Usuario" is not found inside "@UsuarioLogeado".
    {"WholeKeyNotPrefix", "@UsuarioLogeado=PEDRO; @Usuario=ANA", "@Usuario", "ANA"},
    {"WholeKeyLongerKey", "@UsuarioLogeado=PEDRO; @Usuario=ANA", "@UsuarioLogeado", "PEDRO"},
    {"PrefixKeyAbsent", "@UsuarioLogeado=PEDRO", "@Usuario", "<missing>"},
    // The last item runs to the end of the text, whatever its length.
    {"LastItemSixDigits", "@server=S; @Caja=123456", "@Caja", "123456"},
    {"LastItemTwoDigits", "@server=S; @Caja=12", "@Caja", "12"},
    // "=" inside a value is kept; only the one after the key goes.
    {"PasswordWithEquals", "@Password=a=b==c; @Caja=1", "@Password", "a=b==c"},
    {"ValueTrimmed", "@Server=   SRV2   ;@Caja=1", "@Server", "SRV2"},
    {"FirstOccurrenceWins", "@Menu=A; @Menu=B", "@Menu", "A"},
    {"ItemWithoutEquals", "qemo@; @Menu=X", "@Menu", "X"},
    {"SqliteFile", "@Server=!; @DbName=/data/suite db.db; @Usuario=ana", "@DbName", "/data/suite db.db"},
};

INSTANTIATE_TEST_SUITE_P(Table, CommandLineKeys, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case> &info) { return std::string(info.param.name); });

TEST(CommandLine, ParsesEveryItemWithDefaults)
{
    const LineaComandos line = LineaComandos::parse(
        QStringLiteral("@server=SRV; @dbname= DB; @usuario= ANA; @Password= p=1; @ParametroAdicional=auto; "
                       "@UsuarioLogeado=ANA2"));
    EXPECT_EQ(line.Server, QStringLiteral("SRV"));
    EXPECT_EQ(line.DbName, QStringLiteral("DB"));
    EXPECT_EQ(line.Usuario, QStringLiteral("ANA"));
    EXPECT_EQ(line.Password, QStringLiteral("p=1"));
    EXPECT_EQ(line.UsuarioLogeado, QStringLiteral("ANA2"));
    EXPECT_EQ(line.Menu, QString());
    EXPECT_EQ(line.Caja, QStringLiteral("1"));
    EXPECT_TRUE(line.unattended());
}

TEST(CommandLine, UnattendedOnlyForAuto)
{
    EXPECT_TRUE(LineaComandos::parse(QStringLiteral("@ParametroAdicional=AUTO")).unattended());
    EXPECT_TRUE(LineaComandos::parse(QStringLiteral("@ParametroAdicional= Auto ;@Caja=2")).unattended());
    EXPECT_FALSE(LineaComandos::parse(QStringLiteral("@ParametroAdicional=AUTOMATICO")).unattended());
    EXPECT_FALSE(LineaComandos::parse(QStringLiteral("@Menu=AUTO")).unattended());
    EXPECT_FALSE(LineaComandos::parse(QString()).unattended());
}

TEST(CommandLine, ArgumentsSplitByTheShellAreJoined)
{
    struct Case {
        const char *name;
        QStringList arguments;
        const char *server, *database, *user, *extra;
    } cases[] = {
        {"items ended by ;",
         {QStringLiteral("@Server=SRV;"), QStringLiteral("@DbName=DB;"), QStringLiteral("@Usuario=ANA")},
         "SRV",
         "DB",
         "ANA",
         ""},
        {"one item per word, as cron passes them",
         {QStringLiteral("@Server=!"), QStringLiteral("@DbName=/d/s.db"), QStringLiteral("@Usuario=ANA"),
          QStringLiteral("@ParametroAdicional=AUTO")},
         "!",
         "/d/s.db",
         "ANA",
         "AUTO"},
        {"values in words of their own",
         {QStringLiteral("@server=SRV;"), QStringLiteral("@dbname="), QStringLiteral("DB;"),
          QStringLiteral("@usuario="), QStringLiteral("ANA"), QStringLiteral("@ParametroAdicional=AUTO")},
         "SRV",
         "DB",
         "ANA",
         "AUTO"},
        {"one quoted word",
         {QStringLiteral("@Server=S;@DbName=D;@Usuario=U;@ParametroAdicional=auto")},
         "S",
         "D",
         "U",
         "auto"},
    };
    for (const Case &c : cases) {
        const LineaComandos line = LineaComandos::parse(LineaComandos::fromArguments(c.arguments));
        EXPECT_EQ(line.Server, QString::fromUtf8(c.server)) << c.name;
        EXPECT_EQ(line.DbName, QString::fromUtf8(c.database)) << c.name;
        EXPECT_EQ(line.Usuario, QString::fromUtf8(c.user)) << c.name;
        EXPECT_EQ(line.ParametroAdicional, QString::fromUtf8(c.extra)) << c.name;
    }
}

TEST(CommandLine, StandardLineRoundTrips)
{
    LineaComandos line;
    line.Server = QStringLiteral("SRV");
    line.DbName = QStringLiteral("DB");
    line.Usuario = QStringLiteral("ANA");
    line.Password = QStringLiteral("a=b");
    line.ParametroAdicional = QStringLiteral("X");
    line.UsuarioLogeado = QStringLiteral("PEDRO");
    line.Caja = QStringLiteral("7");
    const LineaComandos back = LineaComandos::parse(line.toText());
    EXPECT_EQ(back.Server, line.Server);
    EXPECT_EQ(back.DbName, line.DbName);
    EXPECT_EQ(back.Usuario, line.Usuario);
    EXPECT_EQ(back.Password, line.Password);
    EXPECT_EQ(back.ParametroAdicional, line.ParametroAdicional);
    EXPECT_EQ(back.UsuarioLogeado, line.UsuarioLogeado);
    EXPECT_EQ(back.Caja, line.Caja);
}

TEST(ServidorSinPuerto, StripsInstancePrefixAndPort)
{
    EXPECT_EQ(ModGlobal::ServidorSinPuerto(QStringLiteral("SRV:1433")), QStringLiteral("SRV"));
    EXPECT_EQ(ModGlobal::ServidorSinPuerto(QStringLiteral("A/B:1500")), QStringLiteral("B"));
    EXPECT_EQ(ModGlobal::ServidorSinPuerto(QStringLiteral("SRV")), QStringLiteral("SRV"));
    EXPECT_EQ(ModGlobal::ServidorSinPuerto(QStringLiteral("A/B")), QStringLiteral("B"));
    EXPECT_EQ(ModGlobal::ServidorSinPuerto(QString()), QString());
}

} // namespace
