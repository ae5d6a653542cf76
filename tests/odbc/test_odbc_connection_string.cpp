// The system's connection strings as unixODBC receives them, and the driver settings.
#include "platform/ado/odbc/OdbcBackend.h"
#include "platform/ado/odbc/OdbcConnectionString.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace ado;

namespace {

// Clears the driver settings for the test and restores them afterwards.
class DriverSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char *name : kNames) {
            const char *value = std::getenv(name);
            m_saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
            unsetenv(name);
        }
    }
    void TearDown() override
    {
        for (const auto &[name, value] : m_saved) {
            if (value)
                setenv(name, value->c_str(), 1);
            else
                unsetenv(name);
        }
    }
    static constexpr const char *kNames[] = {"IMAESTROS_ODBC_SQLSERVER", "IMAESTROS_ODBC_POSTGRESQL",
                                             "IMAESTROS_ODBC_ORACLE"};

private:
    std::vector<std::pair<const char *, std::optional<std::string>>> m_saved;
};

OdbcTarget convert(const char *text, const QString &user = {}, const QString &password = {}, int timeout = 0)
{
    return OdbcConnectionString::convert(ConnectionString::parse(QString::fromUtf8(text)), user, password, timeout);
}

} // namespace

TEST_F(DriverSettings, ConvertsEachPlatformsConnectionString)
{
    struct Case {
        const char *name;
        const char *ado;
        OdbcPlatform platform;
        const char *odbc;
    } cases[] = {
        {"sql server as the system builds it (blank before =)",
         "PROVIDER=SQLOLEDB;Server=SRV01;Database =VK_DB;UId=sa;Pwd=clave;", OdbcPlatform::SqlServer,
         "DRIVER={FreeTDS};SERVER=SRV01;DATABASE=VK_DB;UID=sa;PWD=clave;TDS_Version=7.3;"
         "ClientCharset=UTF-8;"},
        {"named instance and port", "Provider=SQLOLEDB;Server=srv\\SQLEXPRESS,1500;Database=db;UId=u;Pwd=p;",
         OdbcPlatform::SqlServer,
         "DRIVER={FreeTDS};SERVER=srv\\SQLEXPRESS;PORT=1500;DATABASE=db;UID=u;PWD=p;TDS_Version=7."
         "3;ClientCharset=UTF-8;"},
        {"slash instance, colon port", "Provider=SQLOLEDB.1;Server=srv/INST:1433;Database=db;UId=u;Pwd=p;",
         OdbcPlatform::SqlServer,
         "DRIVER={FreeTDS};SERVER=srv\\INST;PORT=1433;DATABASE=db;UID=u;PWD=p;TDS_Version=7.3;"
         "ClientCharset=UTF-8;"},
        {"local server, password with ;", "Provider=SQLOLEDB;Server=(local);Database=db;UId=u;Pwd=\"a;b}c\";",
         OdbcPlatform::SqlServer,
         "DRIVER={FreeTDS};SERVER=localhost;DATABASE=db;UID=u;PWD={a;b}}c};TDS_Version=7.3;"
         "ClientCharset=UTF-8;"},
        {"oracle", "Provider=OraOLEDB.Oracle.1;Data Source=XE;User Id=SCOTT;Password=tiger;", OdbcPlatform::Oracle,
         "DRIVER={Oracle};DBQ=XE;UID=SCOTT;PWD=tiger;"},
        {"postgresql on a socket folder",
         "Provider=PostgreSQL;Server=/tmp/pg/socket;Port=54329;Database=vk;UId=u;Pwd=p;", OdbcPlatform::PostgreSQL,
         "DRIVER={PostgreSQL "
         "Unicode};SERVER=/tmp/pg/socket;PORT=54329;DATABASE=vk;UID=u;PWD=p;BoolsAsChar=0;"
         "UseDeclareFetch=0;UseServerSidePrepare=0;TextAsLongVarchar=1;UnknownsAsLongVarchar=1;"
         "Protocol=7.4-2;CommLog=0;Debug=0;"
         "pqopt={keepalives_idle=30 keepalives_interval=5 keepalives_count=3};"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const OdbcTarget t = convert(c.ado);
        EXPECT_EQ(t.platform, c.platform);
        EXPECT_EQ(t.connectionString.toStdString(), c.odbc);
    }
}

TEST_F(DriverSettings, PostgreSqlServerTextMayCarryThePort)
{
    const OdbcTarget t = convert("Provider=PostgreSQL;Server=db1:5433;Database=vk;UId=u;Pwd=p;");
    EXPECT_TRUE(t.connectionString.contains(QLatin1String("SERVER=db1;PORT=5433;")))
        << t.connectionString.toStdString();
    EXPECT_TRUE(convert("Provider=PostgreSQL;Server=/run/pg:x;Database=vk;UId=u;Pwd=p;")
                    .connectionString.contains(QLatin1String("SERVER=/run/pg:x;")));
}

TEST_F(DriverSettings, OpenArgumentsWinAndTimeoutReachesLibpq)
{
    const OdbcTarget t = convert("Provider=PostgreSQL;Server=db.example;Port=5432;Database=vk;UId=u;Pwd=p;",
                                 QStringLiteral("otro"), QStringLiteral("secreto"), 7);
    EXPECT_TRUE(t.connectionString.contains(QLatin1String("UID=otro;PWD=secreto;")));
    EXPECT_TRUE(t.connectionString.contains(QLatin1String("pqopt={connect_timeout=7 keepalives_idle=30")));
    EXPECT_EQ(t.describe().toStdString(),
              "servidor db.example, puerto 5432, base vk, usuario "
              "otro, controlador ODBC \"PostgreSQL Unicode\"");
}

TEST_F(DriverSettings, WithoutStatementRollbackPsqlOdbcPreparesOnTheServer)
{
    const OdbcTarget t = OdbcConnectionString::convert(
        ConnectionString::parse(QStringLiteral("Provider=PostgreSQL;Server=h;Database=d;UId=u;Pwd=p;")), {}, {}, 0,
        false);
    EXPECT_TRUE(t.connectionString.contains(QLatin1String("UseServerSidePrepare=1;")));
    EXPECT_TRUE(t.connectionString.contains(QLatin1String("Protocol=7.4-1;")));
}

TEST_F(DriverSettings, DriverNamesComeFromTheEnvironment)
{
    setenv("IMAESTROS_ODBC_SQLSERVER", "ODBC Driver 18 for SQL Server", 1);
    setenv("IMAESTROS_ODBC_POSTGRESQL", "/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so", 1);
    setenv("IMAESTROS_ODBC_ORACLE", "Oracle 21 ODBC driver", 1);
    EXPECT_TRUE(convert("Provider=SQLOLEDB;Server=s;Database=d;UId=u;Pwd=p;")
                    .connectionString.startsWith(QLatin1String("DRIVER={ODBC Driver 18 for SQL Server};")));
    EXPECT_TRUE(
        convert("Provider=PostgreSQL;Server=h;Database=d;UId=u;Pwd=p;")
            .connectionString.startsWith(QLatin1String("DRIVER={/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so};")));
    const OdbcTarget oracle = convert("Provider=OraOLEDB.Oracle.1;Data Source=XE;User Id=u;Password=p;");
    EXPECT_EQ(oracle.driver.toStdString(), "Oracle 21 ODBC driver");
    EXPECT_EQ(oracle.driverSetting.toStdString(), "IMAESTROS_ODBC_ORACLE");
}

TEST_F(DriverSettings, RefusesProvidersThatAreNotOdbc)
{
    EXPECT_FALSE(OdbcConnectionString::handles(QStringLiteral("Microsoft.Jet.OLEDB.4.0")));
    EXPECT_TRUE(OdbcConnectionString::handles(QStringLiteral("sqloledb")));
    try {
        convert("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=c:\\x.mdb;");
        FAIL() << "no error";
    } catch (const BackendFailure &f) {
        EXPECT_EQ(f.errors().front().number, errnum::GenericFailure);
        EXPECT_TRUE(f.errors().front().description.contains(QLatin1String("Microsoft.Jet.OLEDB.4.0")));
    }
}

TEST(OdbcValueQuoting, BracesOnlyWhatOdbcWouldMisread)
{
    EXPECT_EQ(OdbcConnectionString::quoteValue(QStringLiteral("simple")).toStdString(), "simple");
    EXPECT_EQ(OdbcConnectionString::quoteValue(QStringLiteral("a;b")).toStdString(), "{a;b}");
    EXPECT_EQ(OdbcConnectionString::quoteValue(QStringLiteral("a}b")).toStdString(), "{a}}b}");
    EXPECT_EQ(OdbcConnectionString::quoteValue(QStringLiteral(" lead")).toStdString(), "{ lead}");
}

// Values a recordset edit writes as literals: SQL Server keeps characters outside its code
// page only in N'...' text.
TEST(OdbcLiteral, TextKeepsEveryCharacterOnEachServer)
{
    const platform::Variant text(QStringLiteral("O'Brien Ωμέγα\r\n"));
    const auto literalFor = [&](const char *provider) {
        const auto backend = createOdbcBackend(
            ConnectionString::parse(QStringLiteral("Provider=%1;Data Source=x").arg(QLatin1String(provider))));
        return backend->literal(text).toStdString();
    };
    EXPECT_EQ(literalFor("SQLOLEDB"), "N'O''Brien Ωμέγα\r\n'");
    EXPECT_EQ(literalFor("PostgreSQL"), "'O''Brien Ωμέγα\r\n'");
}
