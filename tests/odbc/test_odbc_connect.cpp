// Opening connections that cannot succeed: each fails in time with a message that says
// what it tried (no database server needed).
#include "platform/ado/Backend.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace ado;

namespace {

BackendError openFailure(const char *text, int timeoutSeconds, qint64 &elapsedMs)
{
    const ConnectionString cs = ConnectionString::parse(QString::fromUtf8(text));
    auto backend = createBackend(cs);
    QElapsedTimer clock;
    clock.start();
    try {
        backend->open(cs, QString(), QString(), timeoutSeconds);
    } catch (const BackendFailure &f) {
        elapsedMs = clock.elapsed();
        EXPECT_FALSE(backend->isOpen());
        return f.errors().front();
    }
    ADD_FAILURE() << "opened: " << text;
    return {};
}

} // namespace

// FreeTDS asks the browser service of a named instance for its port for up to 16 s,
// whatever its login time-out says; the open still ends within the time-out.
TEST(OdbcConnect, UnreachableNamedInstanceEndsWithinTheTimeout)
{
    qint64 elapsed = 0;
    const BackendError e =
        openFailure("Provider=SQLOLEDB;Server=10.255.255.1\\MIRKOLA;Database =VK;UId=sa;Pwd=x;", 2, elapsed);
    EXPECT_LT(elapsed, 3500);
    EXPECT_EQ(e.number, errnum::GenericFailure);
    EXPECT_TRUE(e.description.contains(QLatin1String("10.255.255.1\\MIRKOLA"))) << e.description.toStdString();
}

TEST(OdbcConnect, SqlServerRefusedNamesServerPortAndDriver)
{
    qint64 elapsed = 0;
    const BackendError e = openFailure("Provider=SQLOLEDB;Server=127.0.0.1,1;Database =VK;UId=sa;Pwd=x;", 3, elapsed);
    EXPECT_EQ(e.number, errnum::GenericFailure);
    for (const char *part : {"servidor 127.0.0.1", "puerto 1", "usuario sa", "controlador ODBC \""})
        EXPECT_TRUE(e.description.contains(QLatin1String(part))) << part << " in " << e.description.toStdString();
}

TEST(OdbcConnect, MissingOracleDriverIsNamed)
{
    qputenv("IMAESTROS_ODBC_ORACLE", "Oracle sin instalar");
    qint64 elapsed = 0;
    const BackendError e =
        openFailure("Provider=OraOLEDB.Oracle.1;Data Source=XE;User Id=SCOTT;Password=tiger;", 3, elapsed);
    qunsetenv("IMAESTROS_ODBC_ORACLE");
    EXPECT_EQ(e.number, errnum::GenericFailure);
    EXPECT_EQ(e.sqlState.toStdString(), "IM002");
    EXPECT_TRUE(e.description.contains(QLatin1String("\"Oracle sin instalar\""))) << e.description.toStdString();
    EXPECT_TRUE(e.description.contains(QLatin1String("IMAESTROS_ODBC_ORACLE")));
}
