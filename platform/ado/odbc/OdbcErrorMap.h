#pragma once

#include "OdbcConnectionString.h"
#include "platform/ado/Backend.h"

#include <QString>

namespace ado {

// One diagnostic record as the driver reports it.
struct OdbcDiagnostic {
    QString sqlState;
    long nativeError = 0;
    QString message;
};

// Turns driver diagnostics into the errors the system tests: SQL Server's native
// numbers (passed through from SQL Server, mapped from PostgreSQL's SQLSTATE) and the
// ADO error numbers. A lost connection always reads as GenericFailure / 10054.
class OdbcErrorMap {
public:
    enum class Phase { Connecting, Executing };

    static BackendError map(OdbcPlatform platform, Phase phase, const OdbcDiagnostic &diagnostic);
    // SQL Server's number for a PostgreSQL SQLSTATE; 0 when it has none.
    static long nativeForPostgreSqlState(const QString &sqlState);
    // The diagnostic says the link to the server is gone (not a refused statement).
    static bool isConnectionLost(const OdbcDiagnostic &diagnostic);
};

} // namespace ado
