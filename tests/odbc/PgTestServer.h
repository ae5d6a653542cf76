#pragma once

#include "platform/ado/Backend.h"

#include <QString>
#include <memory>

// The throwaway server of scripts/pg-cluster.sh: IMAESTROS_PG_CONNSTR holds its ADO
// connection string, IMAESTROS_PG_CTL its pg_ctl command. Tests skip when unset.
// connectionString() names this process's own database (testsupport::postgresConnectionString).
namespace pgtest {

QString connectionString(); // "" when no server is configured
QString controlCommand();   // "" when unset
std::unique_ptr<ado::Backend> openBackend(int timeoutSeconds = 10);
ado::ResultSet run(ado::Backend &backend, const QString &sql, int timeoutSeconds = 10);
// The first error of running `sql` (fails the test when it succeeds).
ado::BackendError failureOf(ado::Backend &backend, const QString &sql, int timeoutSeconds = 10);
// Runs "<pg_ctl> <arguments>" and waits for it; true on success.
bool control(const QString &arguments);

} // namespace pgtest

#define SKIP_WITHOUT_PG()                                                                                              \
    do {                                                                                                               \
        if (pgtest::connectionString().isEmpty())                                                                      \
            GTEST_SKIP() << "IMAESTROS_PG_CONNSTR is not set: no PostgreSQL server "                                   \
                            "(run through scripts/pg-cluster.sh run ...)";                                             \
    } while (false)
