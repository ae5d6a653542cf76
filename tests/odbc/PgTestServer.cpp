#include "PgTestServer.h"

#include "tests/support/TestDatabase.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace pgtest {

QString connectionString() { return testsupport::postgresConnectionString(); }

QString controlCommand() { return qEnvironmentVariable("IMAESTROS_PG_CTL").trimmed(); }

std::unique_ptr<ado::Backend> openBackend(int timeoutSeconds)
{
    const ado::ConnectionString cs = ado::ConnectionString::parse(connectionString());
    auto backend = ado::createBackend(cs);
    backend->open(cs, QString(), QString(), timeoutSeconds);
    return backend;
}

ado::ResultSet run(ado::Backend &backend, const QString &sql, int timeoutSeconds)
{
    std::vector<ado::BackendError> warnings;
    try {
        return backend.execute(sql, timeoutSeconds, warnings);
    } catch (const ado::BackendFailure &f) {
        ADD_FAILURE() << sql.toStdString() << ": " << f.errors().front().description.toStdString();
        throw;
    }
}

ado::BackendError failureOf(ado::Backend &backend, const QString &sql, int timeoutSeconds)
{
    std::vector<ado::BackendError> warnings;
    try {
        backend.execute(sql, timeoutSeconds, warnings);
    } catch (const ado::BackendFailure &f) {
        return f.errors().front();
    }
    ADD_FAILURE() << "no error from: " << sql.toStdString();
    return {};
}

bool control(const QString &arguments)
{
    // Output goes to a file: a server started with our pipes open would hold them.
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.startCommand(controlCommand() + QLatin1Char(' ') + arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace pgtest
