#include "Connection.h"

#include "Backend.h"
#include "ErrorScope.h"
#include "Recordset.h"

namespace ado {

namespace {

[[noreturn]] void raise(long number, const QString &description)
{
    throw Exception(number, description, QStringLiteral("ADODB.Connection"));
}

} // namespace

Connection::Connection() = default;

Connection::~Connection()
{
    if (m_backend)
        m_backend->close();
}

void Connection::Open(const QString &connectionString, const QString &user, const QString &password, long)
{
    guardedCall(m_errors, QStringLiteral("ADODB.Connection"), [&] {
        if (State() == adStateOpen)
            raise(errnum::ObjectOpen, QStringLiteral("No se permite la operación si el objeto está abierto."));
        if (!connectionString.isEmpty())
            m_connectionString = connectionString;
        const ado::ConnectionString parsed = ado::ConnectionString::parse(m_connectionString);
        std::unique_ptr<Backend> backend = createBackend(parsed);
        backend->setStatementRollback(m_statementRollback);
        backend->open(parsed, user, password, m_connectionTimeout);
        if (m_isolationLevel != adXactReadCommitted)
            backend->setIsolationLevel(m_isolationLevel);
        m_backend = std::move(backend);
    });
}

void Connection::Close()
{
    guardedCall(m_errors, QStringLiteral("ADODB.Connection"), [&] {
        if (State() != adStateOpen)
            raise(errnum::ObjectClosed, QStringLiteral("No se permite la operación si el objeto está cerrado."));
        m_backend->close();
        m_backend.reset();
    });
}

ObjectState Connection::State() const { return m_backend && m_backend->isOpen() ? adStateOpen : adStateClosed; }

void Connection::requireOpen(const char *what) const
{
    if (State() != adStateOpen)
        raise(errnum::ConnectionClosed,
              QStringLiteral("No se puede usar la conexión para %1: está cerrada o no es válida en este contexto.")
                  .arg(QLatin1String(what)));
}

void Connection::raiseFromBackend(const std::exception_ptr &failure, const QString &source)
{
    guardedCall(m_errors, source, [&] { std::rethrow_exception(failure); });
    throw Exception(errnum::GenericFailure, QStringLiteral("Error no especificado"), source);
}

void Connection::setIsolationLevel(int level)
{
    m_isolationLevel = level;
    if (State() == adStateOpen)
        guardedCall(m_errors, QStringLiteral("ADODB.Connection"), [&] { m_backend->setIsolationLevel(level); });
}

void Connection::setStatementRollback(bool on)
{
    guardedCall(m_errors, QStringLiteral("ADODB.Connection"), [&] {
        if (State() == adStateOpen && on != m_statementRollback && m_backend->inTransaction())
            raise(errnum::CommandFailed,
                  QStringLiteral("No se puede cambiar el modo de reversión de las "
                                 "instrucciones dentro de una transacción."));
        if (State() == adStateOpen)
            m_backend->setStatementRollback(on);
        m_statementRollback = on;
    });
}

QString Connection::DefaultDatabase() const
{
    return State() == adStateOpen ? m_backend->defaultDatabase() : QString();
}

void Connection::setDefaultDatabase(const QString &name)
{
    guardedCall(m_errors, QStringLiteral("ADODB.Connection"), [&] {
        requireOpen("DefaultDatabase");
        m_backend->setDefaultDatabase(name);
    });
}

std::shared_ptr<Recordset> Connection::Execute(const QString &commandText, long *recordsAffected, long)
{
    return run(commandText, recordsAffected);
}

std::shared_ptr<Recordset> Connection::run(const QString &sql, long *recordsAffected)
{
    return guardedCall(m_errors, QStringLiteral("ADODB.Connection"), [&] {
        requireOpen("Execute");
        std::vector<BackendError> warnings;
        ResultSet result = m_backend->execute(sql, m_commandTimeout, warnings);
        for (const BackendError &w : warnings)
            m_errors.Add(Error{w.number, w.nativeError, w.sqlState, w.description, QStringLiteral("ADODB.Connection")});
        if (recordsAffected)
            *recordsAffected = result.recordsAffected;
        auto rs = std::make_shared<Recordset>();
        rs->attach(std::move(result), this, sql);
        return rs;
    });
}

long Connection::BeginTrans()
{
    return guardedCall(m_errors, QStringLiteral("ADODB.Connection"), [&] {
        requireOpen("BeginTrans");
        m_backend->beginTransaction();
        return 1L;
    });
}

void Connection::CommitTrans()
{
    guardedCall(m_errors, QStringLiteral("ADODB.Connection"), [&] {
        requireOpen("CommitTrans");
        m_backend->commit();
    });
}

void Connection::RollbackTrans()
{
    guardedCall(m_errors, QStringLiteral("ADODB.Connection"), [&] {
        requireOpen("RollbackTrans");
        m_backend->rollback();
    });
}

QStringList Connection::Tables()
{
    return guardedCall(m_errors, QStringLiteral("ADODB.Connection"), [&] {
        requireOpen("OpenSchema");
        return m_backend->tables();
    });
}

std::vector<SchemaColumn> Connection::Columns(const QString &table)
{
    return guardedCall(m_errors, QStringLiteral("ADODB.Connection"), [&] {
        requireOpen("OpenSchema");
        return m_backend->columns(table);
    });
}

} // namespace ado
