// Driver diagnostics and column descriptions as the system sees them (no server needed).
#include "platform/ado/odbc/OdbcErrorMap.h"
#include "platform/ado/odbc/OdbcTypeMap.h"

#include <gtest/gtest.h>
#include <sql.h>
#include <sqlext.h>

using namespace ado;
using Phase = OdbcErrorMap::Phase;

TEST(OdbcErrorMap, PostgreSqlStatesBecomeSqlServerNumbers)
{
    struct Case {
        const char *state;
        long native;
        long number;
    } cases[] = {
        {"23505", 2627, errnum::IntegrityViolation},
        {"23503", 547, errnum::IntegrityViolation},
        {"23514", 547, errnum::IntegrityViolation},
        {"23502", 515, errnum::IntegrityViolation},
        {"22001", 8152, errnum::CommandFailed},
        {"42P01", 208, errnum::CommandFailed},
        {"42P07", 2714, errnum::CommandFailed},
        {"42601", 102, errnum::CommandFailed},
        {"57014", 0, errnum::Timeout},
        {"42703", 207, errnum::CommandFailed},
        {"22P02", 245, errnum::CommandFailed},
        {"40P01", 1205, errnum::CommandFailed},
        {"XX000", 0, errnum::CommandFailed},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.state);
        const BackendError e = OdbcErrorMap::map(
            OdbcPlatform::PostgreSQL, Phase::Executing,
            {QString::fromLatin1(c.state), 7, QStringLiteral("ERROR: x;\nError while executing the query")});
        EXPECT_EQ(e.nativeError, c.native);
        EXPECT_EQ(e.number, c.number);
        EXPECT_EQ(e.sqlState.toStdString(), c.state);
        EXPECT_EQ(e.description.toStdString(), "x");
    }
}

TEST(OdbcErrorMap, SqlServerNativeNumbersPassThrough)
{
    const BackendError e =
        OdbcErrorMap::map(OdbcPlatform::SqlServer, Phase::Executing,
                          {QStringLiteral("23000"), 2627, QStringLiteral("Violation of PRIMARY KEY")});
    EXPECT_EQ(e.nativeError, 2627);
    EXPECT_EQ(e.number, errnum::IntegrityViolation);
    const BackendError timeout = OdbcErrorMap::map(OdbcPlatform::SqlServer, Phase::Executing,
                                                   {QStringLiteral("HYT00"), 0, QStringLiteral("timeout")});
    EXPECT_EQ(timeout.number, errnum::Timeout);
}

TEST(OdbcErrorMap, LostConnectionReadsAsGenericFailure10054)
{
    const OdbcDiagnostic lost[] = {
        {QStringLiteral("08S01"), 0, QStringLiteral("communication link failure")},
        {QStringLiteral("57P01"), 0, QStringLiteral("FATAL: terminating connection due to administrator command")},
        {QStringLiteral("HY000"), 0, QStringLiteral("server closed the connection unexpectedly")},
        {QStringLiteral("08S01"), 20006, QStringLiteral("Write to the server failed")},
    };
    for (const OdbcDiagnostic &d : lost) {
        SCOPED_TRACE(d.message.toStdString());
        for (OdbcPlatform p : {OdbcPlatform::PostgreSQL, OdbcPlatform::SqlServer}) {
            const BackendError e = OdbcErrorMap::map(p, Phase::Executing, d);
            EXPECT_EQ(e.number, errnum::GenericFailure);
            EXPECT_EQ(e.nativeError, native::CommunicationLink);
        }
    }
    EXPECT_FALSE(OdbcErrorMap::isConnectionLost({QStringLiteral("23505"), 0, QStringLiteral("duplicate key")}));
}

TEST(OdbcErrorMap, FailedConnectsNameTheirCause)
{
    auto connect = [](const char *message) {
        return OdbcErrorMap::map(OdbcPlatform::PostgreSQL, Phase::Connecting,
                                 {QStringLiteral("08001"), 101, QString::fromLatin1(message)});
    };
    EXPECT_EQ(connect("FATAL:  password authentication failed for user \"u\"").nativeError, 18456);
    EXPECT_EQ(connect("FATAL:  database \"x\" does not exist").nativeError, 4060);
    EXPECT_EQ(connect("Connection refused").nativeError, 17);
    EXPECT_EQ(connect("Connection refused").number, errnum::GenericFailure);
}

TEST(OdbcTypeMap, ColumnsReadAsTheSqliteBackendReportsThem)
{
    struct Case {
        const char *name;
        OdbcPlatform platform;
        OdbcColumnDescription column;
        DataType type;
        long size;
    } cases[] = {
        {"pg char(5)", OdbcPlatform::PostgreSQL, {SQL_WCHAR, QStringLiteral("bpchar"), 5, 0}, adChar, 5},
        {"pg varchar(30)", OdbcPlatform::PostgreSQL, {SQL_WVARCHAR, QStringLiteral("varchar"), 30, 0}, adVarChar, 30},
        {"pg text",
         OdbcPlatform::PostgreSQL,
         {SQL_WLONGVARCHAR, QStringLiteral("text"), 8190, 0},
         adLongVarChar,
         2147483647},
        {"pg money kept as numeric(19,4)",
         OdbcPlatform::PostgreSQL,
         {SQL_NUMERIC, QStringLiteral("numeric"), 19, 4},
         adCurrency,
         8},
        {"pg numeric(10,2)", OdbcPlatform::PostgreSQL, {SQL_NUMERIC, QStringLiteral("numeric"), 10, 2}, adNumeric, 19},
        {"pg bytea",
         OdbcPlatform::PostgreSQL,
         {SQL_LONGVARBINARY, QStringLiteral("bytea"), 255, 0},
         adLongVarBinary,
         2147483647},
        {"ss nvarchar(40)", OdbcPlatform::SqlServer, {SQL_WVARCHAR, QStringLiteral("nvarchar"), 40, 0}, adVarWChar, 40},
        {"ss money", OdbcPlatform::SqlServer, {SQL_DECIMAL, QStringLiteral("money"), 19, 4}, adCurrency, 8},
        {"ss numeric(19,4) stays numeric",
         OdbcPlatform::SqlServer,
         {SQL_NUMERIC, QStringLiteral("numeric"), 19, 4},
         adNumeric,
         19},
        {"ss tinyint", OdbcPlatform::SqlServer, {SQL_TINYINT, QStringLiteral("tinyint"), 3, 0}, adUnsignedTinyInt, 1},
        {"ss bit", OdbcPlatform::SqlServer, {SQL_BIT, QStringLiteral("bit"), 1, 0}, adBoolean, 2},
        {"ss datetime",
         OdbcPlatform::SqlServer,
         {SQL_TYPE_TIMESTAMP, QStringLiteral("datetime"), 23, 3},
         adDBTimeStamp,
         8},
        {"ss date", OdbcPlatform::SqlServer, {SQL_TYPE_DATE, QStringLiteral("date"), 10, 0}, adDBDate, 6},
        {"int", OdbcPlatform::SqlServer, {SQL_INTEGER, QStringLiteral("int"), 10, 0}, adInteger, 4},
        {"smallint", OdbcPlatform::SqlServer, {SQL_SMALLINT, QStringLiteral("smallint"), 5, 0}, adSmallInt, 2},
        {"bigint", OdbcPlatform::SqlServer, {SQL_BIGINT, QStringLiteral("bigint"), 19, 0}, adBigInt, 8},
        {"real", OdbcPlatform::SqlServer, {SQL_REAL, QStringLiteral("real"), 24, 0}, adSingle, 4},
        {"float", OdbcPlatform::SqlServer, {SQL_FLOAT, QStringLiteral("float"), 53, 0}, adDouble, 8},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const OdbcColumnType t = OdbcTypeMap::map(c.platform, c.column);
        EXPECT_EQ(t.type, c.type);
        EXPECT_EQ(t.definedSize, c.size);
    }
}

// PostgreSQL columns carry their SQL Server declaration; it decides type, size and value kind.
TEST(OdbcTypeMap, DeclaredSqlServerTypesWin)
{
    using Fetch = OdbcColumnType::Fetch;
    struct Case {
        const char *declared;
        DataType type;
        long size;
        Fetch fetch;
    } cases[] = {
        {"NVARCHAR(40)", adVarWChar, 40, Fetch::Text},
        {"VARCHAR(MAX)", adLongVarChar, 2147483647, Fetch::Text},
        {"BIT", adBoolean, 2, Fetch::Bit},
        {"TINYINT", adUnsignedTinyInt, 1, Fetch::Integer},
        {"MONEY", adCurrency, 8, Fetch::Decimal},
        {"DECIMAL(10,2)", adNumeric, 19, Fetch::Decimal},
        {"FLOAT", adDouble, 8, Fetch::Double},
        {"DATE", adDBDate, 6, Fetch::Date},
        {"DATETIME", adDBTimeStamp, 8, Fetch::Timestamp},
        {"VARBINARY(MAX)", adLongVarBinary, 2147483647, Fetch::Binary},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.declared);
        const auto t = OdbcTypeMap::fromDeclared(QString::fromLatin1(c.declared));
        ASSERT_TRUE(t.has_value());
        EXPECT_EQ(t->type, c.type);
        EXPECT_EQ(t->definedSize, c.size);
        EXPECT_EQ(t->fetch, c.fetch);
    }
    EXPECT_FALSE(OdbcTypeMap::fromDeclared(QString()).has_value());
    EXPECT_FALSE(OdbcTypeMap::fromDeclared(QStringLiteral("GEOGRAPHY")).has_value());
}
