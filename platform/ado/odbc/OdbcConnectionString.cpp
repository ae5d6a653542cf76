#include "OdbcConnectionString.h"

#include "platform/ado/Types.h"

#include <QRegularExpression>

namespace ado {

namespace {

// First non-empty value among the key's aliases (ADO accepts several spellings).
QString firstOf(const ConnectionString &cs, std::initializer_list<const char *> keys)
{
    for (const char *key : keys) {
        const QString value = cs.value(QString::fromLatin1(key)).trimmed();
        if (!value.isEmpty())
            return value;
    }
    return QString();
}

QString pair(const char *key, const QString &value)
{
    return QString::fromLatin1(key) + QLatin1Char('=') + OdbcConnectionString::quoteValue(value) + QLatin1Char(';');
}

QString driverPair(const QString &driver)
{
    // A driver name or library path always goes braced: names hold blanks.
    QString escaped = driver;
    escaped.replace(QLatin1Char('}'), QStringLiteral("}}"));
    return QStringLiteral("DRIVER={") + escaped + QStringLiteral("};");
}

struct Credentials {
    QString user;
    QString password;
};

Credentials credentials(const ConnectionString &cs, const QString &user, const QString &password)
{
    Credentials c;
    c.user = user.isEmpty() ? firstOf(cs, {"UId", "User Id", "User", "UserName"}) : user;
    c.password = password.isEmpty() ? cs.value(QStringLiteral("Pwd")) : password;
    if (password.isEmpty() && c.password.isEmpty())
        c.password = cs.value(QStringLiteral("Password"));
    return c;
}

// "srv", "srv\inst", "srv/inst", "srv,1433", "srv:1433", "srv\inst,1433".
void splitSqlServer(const QString &text, QString &host, QString &instance, QString &port)
{
    static const QRegularExpression portSuffix(QStringLiteral("^(.*)[,:](\\d+)$"));
    QString rest = text.trimmed();
    const auto match = portSuffix.match(rest);
    if (match.hasMatch()) {
        rest = match.captured(1).trimmed();
        port = match.captured(2);
    }
    const qsizetype slash = rest.indexOf(QRegularExpression(QStringLiteral("[\\\\/]")));
    if (slash >= 0) {
        instance = rest.mid(slash + 1).trimmed();
        rest = rest.left(slash).trimmed();
    }
    host = rest;
    if (host == QLatin1String(".") || host.compare(QLatin1String("(local)"), Qt::CaseInsensitive) == 0)
        host = QStringLiteral("localhost");
}

// A target for the platform with its user and configured driver.
OdbcTarget startTarget(OdbcPlatform platform, const Credentials &cred)
{
    OdbcTarget t;
    t.platform = platform;
    t.user = cred.user;
    t.driver = OdbcConnectionString::driverFor(platform);
    t.driverSetting = OdbcConnectionString::driverSettingFor(platform);
    return t;
}

OdbcTarget sqlServer(const ConnectionString &cs, const Credentials &cred)
{
    OdbcTarget t = startTarget(OdbcPlatform::SqlServer, cred);
    QString host, instance;
    splitSqlServer(firstOf(cs, {"Server", "Data Source", "Address", "Addr"}), host, instance, t.port);
    t.server = instance.isEmpty() ? host : host + QLatin1Char('\\') + instance;
    t.database = firstOf(cs, {"Database", "Initial Catalog"});
    // FreeTDS finds a named instance through the browser service when no port is given.
    t.connectionString = driverPair(t.driver) + pair("SERVER", t.server);
    if (!t.port.isEmpty())
        t.connectionString += pair("PORT", t.port);
    if (!t.database.isEmpty())
        t.connectionString += pair("DATABASE", t.database);
    t.connectionString +=
        pair("UID", cred.user) + pair("PWD", cred.password) + QStringLiteral("TDS_Version=7.3;ClientCharset=UTF-8;");
    return t;
}

OdbcTarget oracle(const ConnectionString &cs, const Credentials &cred)
{
    OdbcTarget t = startTarget(OdbcPlatform::Oracle, cred);
    t.server = firstOf(cs, {"Data Source", "Server", "DBQ"});
    t.database = t.server;
    t.connectionString =
        driverPair(t.driver) + pair("DBQ", t.server) + pair("UID", cred.user) + pair("PWD", cred.password);
    return t;
}

OdbcTarget postgreSql(const ConnectionString &cs, const Credentials &cred, int timeoutSeconds, bool statementRollback)
{
    OdbcTarget t = startTarget(OdbcPlatform::PostgreSQL, cred);
    t.server = firstOf(cs, {"Server", "Host", "Data Source"});
    t.port = firstOf(cs, {"Port"});
    // "host:port" or "host,port" in the server text, when no Port is given
    static const QRegularExpression portSuffix(QStringLiteral("^([^/].*)[,:](\\d+)$"));
    const auto match = portSuffix.match(t.server);
    if (t.port.isEmpty() && match.hasMatch()) {
        t.server = match.captured(1).trimmed();
        t.port = match.captured(2);
    }
    t.database = firstOf(cs, {"Database", "Initial Catalog"});
    t.connectionString = driverPair(t.driver) + pair("SERVER", t.server);
    if (!t.port.isEmpty())
        t.connectionString += pair("PORT", t.port);
    t.connectionString += pair("DATABASE", t.database) + pair("UID", cred.user) + pair("PWD", cred.password);
    // Booleans as SQL_BIT, no cursor emulation (every result is fetched whole), a failed
    // statement inside a transaction rolls back alone (as on SQL Server; the driver wraps
    // each statement in a savepoint), and the connect time-out handed to libpq, which the
    // driver's login time-out does not reach. No communication log files (Debian registers
    // the driver with CommLog=1). Without statement rollback: statements prepared on the
    // server, and a failed statement fails the whole transaction.
    t.connectionString += QStringLiteral("BoolsAsChar=0;UseDeclareFetch=0;UseServerSidePrepare=%1;"
                                         "TextAsLongVarchar=1;UnknownsAsLongVarchar=1;Protocol=7.4-%2;"
                                         "CommLog=0;Debug=0;")
                              .arg(statementRollback ? 0 : 1)
                              .arg(statementRollback ? 2 : 1);
    // Keep-alives notice a server that vanished without closing the socket.
    QString libpq = QStringLiteral("keepalives_idle=30 keepalives_interval=5 keepalives_count=3");
    if (timeoutSeconds > 0)
        libpq = QStringLiteral("connect_timeout=%1 ").arg(std::max(timeoutSeconds, 2)) + libpq;
    t.connectionString += QStringLiteral("pqopt={%1};").arg(libpq);
    return t;
}

bool isOracle(const QString &provider)
{
    return provider.startsWith(QLatin1String("OraOLEDB"), Qt::CaseInsensitive)
        || provider.startsWith(QLatin1String("MSDAORA"), Qt::CaseInsensitive);
}

bool isSqlServer(const QString &provider)
{
    static const char *const names[] = {"SQLOLEDB", "SQLNCLI", "MSOLEDBSQL", "SQL Server"};
    for (const char *name : names)
        if (provider.startsWith(QString::fromLatin1(name), Qt::CaseInsensitive))
            return true;
    return false;
}

bool isPostgreSql(const QString &provider)
{
    return provider.compare(QLatin1String("PostgreSQL"), Qt::CaseInsensitive) == 0;
}

} // namespace

QString OdbcTarget::describe() const
{
    QStringList parts;
    if (!server.isEmpty())
        parts << QStringLiteral("servidor %1").arg(server);
    if (!port.isEmpty())
        parts << QStringLiteral("puerto %1").arg(port);
    if (!database.isEmpty() && database != server)
        parts << QStringLiteral("base %1").arg(database);
    parts << QStringLiteral("usuario %1").arg(user.isEmpty() ? QStringLiteral("(vacío)") : user);
    parts << QStringLiteral("controlador ODBC \"%1\"").arg(driver);
    return parts.join(QStringLiteral(", "));
}

bool OdbcConnectionString::handles(const QString &provider)
{
    const QString p = provider.trimmed();
    return isSqlServer(p) || isOracle(p) || isPostgreSql(p);
}

OdbcTarget OdbcConnectionString::convert(const ConnectionString &cs, const QString &user, const QString &password,
                                         int timeoutSeconds, bool statementRollback)
{
    const QString provider = cs.provider().trimmed();
    const Credentials cred = credentials(cs, user, password);
    if (isOracle(provider))
        return oracle(cs, cred);
    if (isPostgreSql(provider))
        return postgreSql(cs, cred, timeoutSeconds, statementRollback);
    if (isSqlServer(provider))
        return sqlServer(cs, cred);
    throw BackendFailure(BackendError{errnum::GenericFailure, 0, QStringLiteral("IM002"),
                                      QStringLiteral("Proveedor no disponible: \"%1\"").arg(provider)});
}

namespace {
struct DriverSetting {
    const char *variable;
    const char *defaultDriver;
};

DriverSetting driverSetting(OdbcPlatform platform)
{
    switch (platform) {
    case OdbcPlatform::SqlServer:
        return {"IMAESTROS_ODBC_SQLSERVER", "FreeTDS"};
    case OdbcPlatform::PostgreSQL:
        return {"IMAESTROS_ODBC_POSTGRESQL", "PostgreSQL Unicode"};
    case OdbcPlatform::Oracle:
        return {"IMAESTROS_ODBC_ORACLE", "Oracle"};
    }
    return {"", ""};
}
} // namespace

QString OdbcConnectionString::driverSettingFor(OdbcPlatform platform)
{
    return QString::fromLatin1(driverSetting(platform).variable);
}

QString OdbcConnectionString::driverFor(OdbcPlatform platform)
{
    const DriverSetting setting = driverSetting(platform);
    const QString fromEnv = qEnvironmentVariable(setting.variable).trimmed();
    return fromEnv.isEmpty() ? QString::fromLatin1(setting.defaultDriver) : fromEnv;
}

QString OdbcConnectionString::quoteValue(const QString &value)
{
    static const QRegularExpression special(QStringLiteral("[;{}=\\[\\]()?*!@,]|^\\s|\\s$"));
    if (!value.contains(special))
        return value;
    QString escaped = value;
    escaped.replace(QLatin1Char('}'), QStringLiteral("}}"));
    return QLatin1Char('{') + escaped + QLatin1Char('}');
}

} // namespace ado
