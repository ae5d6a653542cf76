#pragma once

#include "lookup/LookupListModel.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

namespace ado {
class Recordset;
}

namespace lookup {

// What the loading needs to turn a statement's records into rows of the list.
struct RowReading {
    bool articulos = false;  // stock levels from PUNTOPEDIDO and Stock
    bool checkBoxes = false; // rows whose CampoDevuelto value occurs in ValoresDefault start checked
    QString campoDevuelto;
    QString valoresDefault;
};

// Adds every record from the recordset's position to its end as a row of `content` (its
// columns already set): the first column trimmed, the others as the list shows them, Null
// as "". Stops early, leaving the rows read so far, when `stop` becomes true.
void readRows(ado::Recordset &rs, const RowReading &reading, LookupListModel::Content &content,
              const std::atomic<bool> *stop = nullptr);

// The whole of a list's statement read on a connection of its own, in a worker of Qt's
// thread pool, while the window shows its first screen. The connection is opened like
// the window's (same connection string, isolation level, time-out and database), so the
// statement reads the same rows; the window's connection is never touched off its thread.
// The owner hears of the end through `finished`, called on the owner's thread; destroying
// this object drops the rows (a read under way stops at its next row).
class BackgroundRows {
public:
    struct Request {
        QString connectionString;
        int isolationLevel = 0;
        int commandTimeout = 30;
        QString defaultDatabase; // "" leaves the connection's own
        QString statement;       // as the database class would send it
        int columns = 0;
        RowReading reading;
    };

    BackgroundRows(Request request, QObject *owner, std::function<void()> finished);
    ~BackgroundRows();
    BackgroundRows(const BackgroundRows &) = delete;
    BackgroundRows &operator=(const BackgroundRows &) = delete;

    bool finished() const;
    // Blocks until the read has ended.
    void wait();
    // After the end: whether every row was read, the rows, and what failed otherwise.
    bool ok() const;
    LookupListModel::Content takeRows();
    QString problem() const;

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};

} // namespace lookup
