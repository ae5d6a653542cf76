#pragma once
// A libpq connection for the benchmarks' PostgreSQL peers (COPY and plain statements).

#include "platform/ado/Backend.h"

#include <QString>

#include <libpq-fe.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace bench {

// Connected to the database an ado connection string names.
class PgConnection {
public:
    explicit PgConnection(const QString &adoConnectionString)
    {
        const ado::ConnectionString cs = ado::ConnectionString::parse(adoConnectionString);
        const auto item = [](const char *key, const QString &value) {
            QString v = value;
            v.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\''), QStringLiteral("\\'"));
            return QString::fromLatin1(key) + QStringLiteral("='") + v + QStringLiteral("' ");
        };
        QString info = item("host", cs.value(QStringLiteral("Server")))
            + item("dbname", cs.value(QStringLiteral("Database"))) + item("user", cs.value(QStringLiteral("UId")))
            + item("password", cs.value(QStringLiteral("Pwd")));
        if (!cs.value(QStringLiteral("Port")).isEmpty())
            info += item("port", cs.value(QStringLiteral("Port")));
        m_conn = PQconnectdb(info.toUtf8().constData());
        if (PQstatus(m_conn) != CONNECTION_OK) {
            const std::string error = PQerrorMessage(m_conn);
            PQfinish(m_conn);
            throw std::runtime_error("libpq: " + error);
        }
        exec(QStringLiteral("SET client_encoding = 'UTF8'"));
    }
    ~PgConnection() { PQfinish(m_conn); }
    PgConnection(const PgConnection &) = delete;
    PgConnection &operator=(const PgConnection &) = delete;

    // Runs a statement; returns the rows it affected.
    long exec(const QString &sql)
    {
        PGresult *r = PQexec(m_conn, sql.toUtf8().constData());
        const ExecStatusType status = PQresultStatus(r);
        const long affected = std::atol(PQcmdTuples(r));
        const std::string error = PQresultErrorMessage(r);
        PQclear(r);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
            throw std::runtime_error("PostgreSQL: " + error + " (" + sql.toStdString() + ")");
        return affected;
    }

protected:
    PGconn *m_conn = nullptr;
};

} // namespace bench
