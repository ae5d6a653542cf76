#include "Instantanea.h"

#include "platform/RuntimeError.h"
#include "platform/ado/Backend.h"
#include "platform/ado/Connection.h"

namespace envio {

Motor motorDe(const ado::Connection &cnn)
{
    const QString proveedor = ado::ConnectionString::parse(cnn.ConnectionString()).provider().trimmed();
    if (proveedor.compare(QLatin1String("SQLite"), Qt::CaseInsensitive) == 0)
        return Motor::SQLite;
    if (proveedor.compare(QLatin1String("PostgreSQL"), Qt::CaseInsensitive) == 0)
        return Motor::PostgreSQL;
    if (proveedor.startsWith(QLatin1String("OraOLEDB"), Qt::CaseInsensitive)
        || proveedor.startsWith(QLatin1String("MSDAORA"), Qt::CaseInsensitive))
        return Motor::Oracle;
    return Motor::SqlServer;
}

Instantanea::Instantanea(ado::Connection &cnn) : m_cnn(cnn), m_motor(motorDe(cnn))
{
    m_cnn.BeginTrans(); // SQLite: BEGIN IMMEDIATE
    m_abierta = true;
    try {
        switch (m_motor) {
        case Motor::PostgreSQL:
            m_cnn.Execute(QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ"));
            break;
        case Motor::SqlServer:
        case Motor::Oracle:
            m_cnn.Execute(QStringLiteral("SET TRANSACTION ISOLATION LEVEL SERIALIZABLE"));
            break;
        case Motor::SQLite:
            break;
        }
    } catch (...) {
        deshacer();
        throw;
    }
}

Instantanea::~Instantanea() { deshacer(); }

void Instantanea::confirmar()
{
    if (!m_abierta)
        return;
    m_abierta = false;
    try {
        m_cnn.CommitTrans();
    } catch (...) {
        try {
            m_cnn.RollbackTrans();
        } catch (const platform::RuntimeError &) {
            // the commit's own failure is the one reported
        }
        restablecerNivel();
        throw;
    }
    restablecerNivel();
}

void Instantanea::deshacer()
{
    if (!m_abierta)
        return;
    m_abierta = false;
    try {
        m_cnn.RollbackTrans();
    } catch (const platform::RuntimeError &) {
        // already ended by the engine, or the connection is gone
    }
    restablecerNivel();
}

// SQL Server keeps a SET TRANSACTION for the session: the connection's own level returns.
void Instantanea::restablecerNivel()
{
    if (m_motor != Motor::SqlServer)
        return;
    try {
        m_cnn.Execute(m_cnn.IsolationLevel() == ado::adXactReadUncommitted
                          ? QStringLiteral("SET TRANSACTION ISOLATION LEVEL READ UNCOMMITTED")
                          : QStringLiteral("SET TRANSACTION ISOLATION LEVEL READ COMMITTED"));
    } catch (const platform::RuntimeError &) {
        // a lost connection is reported by the next statement
    }
}

bool Instantanea::esConflicto(const ado::Connection &cnn)
{
    const ado::Errors &errores = cnn.errors();
    for (int i = 0; i < errores.Count(); ++i) {
        const ado::Error &e = errores.Item(i);
        // serialization failure (PostgreSQL, SQL Server's deadlock victim), snapshot update
        // conflict (SQL Server), "cannot serialize access" (Oracle)
        if (e.SQLState == QLatin1String("40001") || e.NativeError == 1205 || e.NativeError == 3960
            || e.NativeError == 8177)
            return true;
    }
    return false;
}

} // namespace envio
