#pragma once

#include "platform/ado/Backend.h"

#include <QString>

namespace ado {

enum class OdbcPlatform { SqlServer, PostgreSQL, Oracle };

// What an ADO connection string becomes for unixODBC's SQLDriverConnect.
struct OdbcTarget {
    OdbcPlatform platform = OdbcPlatform::SqlServer;
    QString driver;           // driver name from odbcinst.ini, or a driver library path
    QString driverSetting;    // environment variable that chooses the driver
    QString connectionString; // "DRIVER={...};SERVER=...;..."
    // For messages: what the connection tried to reach.
    QString server;
    QString port;
    QString database;
    QString user;

    QString describe() const; // "servidor X, puerto N, base Y, usuario U, controlador ODBC \"D\""
};

// Converts the system's connection strings (Provider=SQLOLEDB / OraOLEDB.Oracle.1 /
// PostgreSQL) into ODBC ones. The ODBC driver of each platform is a setting: the
// environment variables IMAESTROS_ODBC_SQLSERVER (default "FreeTDS"),
// IMAESTROS_ODBC_POSTGRESQL ("PostgreSQL Unicode") and IMAESTROS_ODBC_ORACLE ("Oracle").
class OdbcConnectionString {
public:
    // `user`/`password` (Connection.Open's arguments) win over UId/Pwd when not empty.
    // `statementRollback` false (psqlODBC): statements prepared on the server and no savepoint
    // around each statement of a transaction (see Connection::setStatementRollback).
    // Throws BackendFailure for a provider that is not served over ODBC.
    static OdbcTarget convert(const ConnectionString &cs, const QString &user, const QString &password,
                              int timeoutSeconds, bool statementRollback = true);
    static bool handles(const QString &provider);
    static QString driverFor(OdbcPlatform platform);
    static QString driverSettingFor(OdbcPlatform platform);
    // An ODBC attribute value, braced when it holds a character ODBC treats specially.
    static QString quoteValue(const QString &value);
};

} // namespace ado
