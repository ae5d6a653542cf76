#pragma once

#include <QString>

namespace ado {
class Connection;
}

namespace envio {

// The engine a connection reaches, for the few statements of the sending that differ.
enum class Motor { SQLite, PostgreSQL, SqlServer, Oracle };
Motor motorDe(const ado::Connection &cnn);

// One transaction over a sending's export, its package and its stamps: every read sees the
// database as of one moment, so a package never holds half of a reception, and the stamps
// written at its end are those of the rows read.
// - SQLite takes the write lock at the start: a transaction that only read cannot write once
//   another connection has committed (SQLITE_BUSY_SNAPSHOT), and in rollback-journal mode a
//   writer waiting for its commit and a reader wanting to write block each other. Writers
//   wait meanwhile (up to their time-out); readers are not held up.
// - PostgreSQL reads one snapshot (REPEATABLE READ); a stamp of a row that another
//   transaction changed after it fails with a serialization error, and the whole sending
//   with it: the operator sends again.
// - SQL Server reads SERIALIZABLE (range locks up to the end) and Oracle SERIALIZABLE (its
//   snapshot); the session's own level is set again afterwards.
// The transaction is rolled back when the object goes without confirmar().
class Instantanea {
public:
    explicit Instantanea(ado::Connection &cnn);
    ~Instantanea();
    Instantanea(const Instantanea &) = delete;
    Instantanea &operator=(const Instantanea &) = delete;

    // Commits. Raises the connection's RuntimeError; the transaction is then rolled back.
    void confirmar();
    // Rolls back now (failures ignored: the transaction may already be gone).
    void deshacer();

    // Whether a failure of the transaction means that the database changed under it
    // (a serialization failure, an update conflict, a deadlock victim).
    static bool esConflicto(const ado::Connection &cnn);

private:
    void restablecerNivel();

    ado::Connection &m_cnn;
    Motor m_motor;
    bool m_abierta = false;
};

} // namespace envio
