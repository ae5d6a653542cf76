#pragma once

#include "platform/ado/Backend.h"

#include <QByteArray>

namespace ado {

// Turns an SQLite failure into the error SQL Server would have reported: its native
// number (2627, 547, 515, 8152, 208, 2714, 207, 102...), an ADO number, an SQL state and a
// Spanish description that names the table and column where SQLite gives them.
class SqliteErrorMap {
public:
    // `extendedCode` from sqlite3_extended_errcode, `message` from sqlite3_errmsg,
    // `statement` the SQL that failed (to name the table SQLite does not name).
    static BackendError map(int extendedCode, const QString &message, const QByteArray &statement);
    // Error of a failed sqlite3_open (the path is named). A file another process kept
    // locked for the whole wait (`waitedSeconds`) is reported as busy: SQL Server's lock
    // time-out, 1222.
    static BackendError openFailure(const QString &path, const QString &message, int extendedCode = 0,
                                    int waitedSeconds = 0);
};

} // namespace ado
