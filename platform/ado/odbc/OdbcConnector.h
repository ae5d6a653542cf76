#pragma once

#include "OdbcHandle.h"

#include <QString>
#include <vector>

namespace ado {

// SQLDriverConnect with a deadline. Some drivers stretch their login time-out (FreeTDS
// asks for a named instance's port for up to 16 s whatever it is told), so the connect
// runs on a worker thread; past the deadline the caller gets `timedOut` and the worker,
// left behind, frees its handles once the driver returns.
class OdbcConnector {
public:
    struct Outcome {
        bool connected = false;
        bool timedOut = false;
        OdbcHandle env;
        OdbcHandle dbc;
        std::vector<OdbcDiagnostic> diagnostics; // why it failed
    };

    // `timeoutSeconds` <= 0 waits as long as the driver does.
    static Outcome connect(const QString &connectionString, int timeoutSeconds);
};

} // namespace ado
