#pragma once

#include "platform/Result.h"

#include <QString>

#include <chrono>
#include <functional>

namespace ado {
class Connection;
}

namespace db {

// One reception or sending at a time on a database: a sending never reads a reception half
// written, nor two receptions mix their groups. Whichever run comes second waits for the first
// to end, up to a bound, then gives up saying why. The embedded database is locked through a
// file beside it (held by the process: a killed run releases it); PostgreSQL through an
// advisory lock and SQL Server through an application lock, both of the run's session.
class BloqueoCorrida {
public:
    BloqueoCorrida() = default;
    ~BloqueoCorrida();
    BloqueoCorrida(const BloqueoCorrida &) = delete;
    BloqueoCorrida &operator=(const BloqueoCorrida &) = delete;

    // Takes the lock of the database `cnn` is open on. While another run holds it, the log and
    // `esperando` hear once what the run waits for, and the tries go on until `espera` has
    // passed; then it fails with a message that says so.
    [[nodiscard]] platform::Status tomar(ado::Connection &cnn, std::chrono::milliseconds espera,
                                         const std::function<void(const QString &)> &esperando = {});
    // Releases the lock (also on destruction).
    void soltar();

private:
    bool intentar(QString &problema);

    ado::Connection *m_cnn = nullptr;
    int m_motor = 0;
    QString m_archivo;
    int m_fd = -1;
    bool m_tomado = false;
};

} // namespace db
