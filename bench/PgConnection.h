#pragma once
// A libpq connection for the benchmarks' PostgreSQL peers (COPY and plain statements).

#include "platform/ado/Backend.h"

#include <QByteArray>
#include <QString>

#include <libpq-fe.h>

#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

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

    // The columns of a table or a view, by name and type.
    struct Column {
        QString name;
        Oid type = 0;
    };
    std::vector<Column> columns(const QString &source)
    {
        PGresult *r = PQexec(m_conn, ("SELECT * FROM " + source + " LIMIT 0").toUtf8().constData());
        if (PQresultStatus(r) != PGRES_TUPLES_OK) {
            PQclear(r);
            throw std::runtime_error("PostgreSQL: no columns for " + source.toStdString());
        }
        std::vector<Column> result;
        for (int i = 0; i < PQnfields(r); ++i)
            result.push_back(Column{QString::fromUtf8(PQfname(r, i)), PQftype(r, i)});
        PQclear(r);
        return result;
    }

    // COPY ... FROM STDIN: `chunk` fills the next piece of data and returns false when done.
    void copyIn(const QString &sql, const std::function<bool(QByteArray &)> &chunk)
    {
        start(sql, PGRES_COPY_IN);
        QByteArray data;
        while (chunk(data)) {
            if (PQputCopyData(m_conn, data.constData(), int(data.size())) != 1)
                throw std::runtime_error(std::string("COPY: ") + PQerrorMessage(m_conn));
            data.clear();
        }
        if (PQputCopyEnd(m_conn, nullptr) != 1)
            throw std::runtime_error(std::string("COPY: ") + PQerrorMessage(m_conn));
        finish(sql);
    }

protected:
    void start(const QString &sql, ExecStatusType expected)
    {
        PGresult *r = PQexec(m_conn, sql.toUtf8().constData());
        const bool ok = PQresultStatus(r) == expected;
        const std::string error = PQresultErrorMessage(r);
        PQclear(r);
        if (!ok)
            throw std::runtime_error("PostgreSQL: " + error + " (" + sql.toStdString() + ")");
    }
    void finish(const QString &sql)
    {
        while (PGresult *r = PQgetResult(m_conn)) {
            const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
            const std::string error = PQresultErrorMessage(r);
            PQclear(r);
            if (!ok)
                throw std::runtime_error("PostgreSQL: " + error + " (" + sql.toStdString() + ")");
        }
    }
    PGconn *m_conn = nullptr;
};

} // namespace bench
