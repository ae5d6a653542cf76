#include "BloqueoCorrida.h"

#include "platform/Logger.h"
#include "platform/RuntimeError.h"
#include "platform/ado/Backend.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace db {

namespace {

enum Motor { kSinBloqueo, kSQLite, kPostgreSQL, kSqlServer };

// The same number on every station: the lock is the database's, not the program's.
constexpr long long kClavePostgreSQL = 1229799749; // "IMAE"
const QString kRecursoSqlServer = QStringLiteral("imaestros_corrida");

Motor motorDe(const ado::ConnectionString &cs)
{
    const QString proveedor = cs.provider().trimmed();
    if (proveedor.compare(QLatin1String("SQLite"), Qt::CaseInsensitive) == 0)
        return kSQLite;
    if (proveedor.compare(QLatin1String("PostgreSQL"), Qt::CaseInsensitive) == 0)
        return kPostgreSQL;
    if (proveedor.startsWith(QLatin1String("OraOLEDB"), Qt::CaseInsensitive)
        || proveedor.startsWith(QLatin1String("MSDAORA"), Qt::CaseInsensitive))
        return kSinBloqueo;
    return kSqlServer;
}

long long entero(ado::Connection &cnn, const QString &sql)
{
    const auto rs = cnn.Execute(sql);
    return rs->EOF() ? -1 : rs->field(0).Value().toInt64();
}

} // namespace

BloqueoCorrida::~BloqueoCorrida() { soltar(); }

bool BloqueoCorrida::intentar(QString &problema)
{
    switch (Motor(m_motor)) {
    case kSinBloqueo:
        return true;
    case kSQLite:
        if (m_fd < 0) {
            m_fd = ::open(QFile::encodeName(m_archivo).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
            if (m_fd < 0) {
                problema = QStringLiteral("No se puede abrir el archivo de bloqueo \"%1\": %2")
                               .arg(m_archivo, QString::fromLocal8Bit(std::strerror(errno)));
                return false;
            }
        }
        return ::flock(m_fd, LOCK_EX | LOCK_NB) == 0;
    case kPostgreSQL:
        return entero(
                   *m_cnn,
                   QStringLiteral("SELECT CASE WHEN pg_try_advisory_lock(%1) THEN 1 ELSE 0 END").arg(kClavePostgreSQL))
            == 1;
    case kSqlServer:
        return entero(*m_cnn,
                      QStringLiteral("DECLARE @r int; EXEC @r = sp_getapplock @Resource = '%1', "
                                     "@LockMode = 'Exclusive', @LockOwner = 'Session', @LockTimeout = 0; "
                                     "SELECT @r")
                          .arg(kRecursoSqlServer))
            >= 0;
    }
    return true;
}

platform::Status BloqueoCorrida::tomar(ado::Connection &cnn, std::chrono::milliseconds espera,
                                       const std::function<void(const QString &)> &esperando)
{
    soltar();
    m_cnn = &cnn;
    const ado::ConnectionString cs = ado::ConnectionString::parse(cnn.ConnectionString());
    m_motor = motorDe(cs);
    m_archivo = cs.value(QStringLiteral("Data Source")) + QStringLiteral(".imaestros-corrida");
    const auto fin = std::chrono::steady_clock::now() + espera;
    bool avisado = false;
    for (;;) {
        QString problema;
        try {
            if (intentar(problema)) {
                m_tomado = true;
                return {};
            }
        } catch (const platform::RuntimeError &e) {
            problema = QStringLiteral("No se pudo tomar el bloqueo de la base de datos: ") + e.Description();
        }
        if (!problema.isEmpty())
            return platform::Status::failure(problema);
        if (!avisado) {
            const QString aviso = QStringLiteral("Otra recepción o envío de maestros está usando la base de datos: se "
                                                 "espera a que termine (hasta %1 s)")
                                      .arg(std::chrono::duration_cast<std::chrono::seconds>(espera).count());
            platform::logger().warning(aviso);
            if (esperando)
                esperando(aviso);
        }
        avisado = true;
        if (std::chrono::steady_clock::now() >= fin)
            return platform::Status::failure(
                QStringLiteral("Otra recepción o envío de maestros sigue usando la base de datos después de %1 s de "
                               "espera: no se hizo nada")
                    .arg(std::chrono::duration_cast<std::chrono::seconds>(espera).count()));
        QCoreApplication::processEvents();
        QThread::msleep(100);
    }
}

void BloqueoCorrida::soltar()
{
    if (m_tomado && m_cnn) {
        try {
            if (m_motor == kPostgreSQL)
                m_cnn->Execute(QStringLiteral("SELECT pg_advisory_unlock(%1)").arg(kClavePostgreSQL));
            else if (m_motor == kSqlServer)
                m_cnn->Execute(QStringLiteral("EXEC sp_releaseapplock @Resource = '%1', @LockOwner = 'Session'")
                                   .arg(kRecursoSqlServer));
        } catch (const platform::RuntimeError &) {
            // a session that is gone took its lock with it
        }
    }
    if (m_fd >= 0)
        ::close(m_fd); // releases the file's lock
    m_fd = -1;
    m_tomado = false;
}

} // namespace db
