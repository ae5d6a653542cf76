#include "TestDatabase.h"

#include "platform/ado/Backend.h"
#include "platform/ado/Recordset.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <atomic>
#include <cstdio>
#include <stdexcept>

namespace testsupport {

namespace {

QString sharedPostgresConnectionString() { return qEnvironmentVariable("IMAESTROS_PG_CONNSTR").trimmed(); }

QString withDatabase(const QString &connectionString, const QString &database)
{
    static const QRegularExpression item(QStringLiteral("(^|;)\\s*Database\\s*=[^;]*"),
                                         QRegularExpression::CaseInsensitiveOption);
    QString result = connectionString;
    return result.replace(item, QStringLiteral("\\1Database=") + database);
}

ado::ResultSet runSql(ado::Backend &backend, const QString &sql)
{
    std::vector<ado::BackendError> warnings;
    return backend.execute(sql, 60, warnings);
}

// This process's PostgreSQL database: cloned from the template on first use, dropped when
// the process's tests have run (a crashed process leaves its copy to the throwaway cluster).
class PrivatePostgres : public ::testing::Environment {
public:
    QString connectionString()
    {
        if (m_connectionString.isEmpty())
            create();
        return m_connectionString;
    }
    void TearDown() override
    {
        if (m_name.isEmpty())
            return;
        try {
            try {
                dropDatabase();
            } catch (const ado::BackendFailure &) {
                openMaintenance(); // a test restarted the server under it
                dropDatabase();
            }
        } catch (const ado::BackendFailure &f) {
            std::fprintf(stderr, "test database %s not dropped: %s\n", qPrintable(m_name),
                         qPrintable(f.errors().front().description));
        }
        m_maintenance.reset();
        m_name.clear();
        m_connectionString.clear();
    }

private:
    void dropDatabase()
    {
        // Connections the tests' shared objects still hold end first.
        runSql(*m_maintenance,
               QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = %1")
                   .arg(m_maintenance->literal(platform::Variant(m_name))));
        runSql(*m_maintenance, QStringLiteral("DROP DATABASE %1").arg(m_maintenance->quoteIdentifier(m_name)));
    }

    // Kept open from the creation to the drop: one server process less per test.
    void openMaintenance()
    {
        const ado::ConnectionString cs =
            ado::ConnectionString::parse(withDatabase(sharedPostgresConnectionString(), QStringLiteral("postgres")));
        m_maintenance = ado::createBackend(cs);
        m_maintenance->open(cs, QString(), QString(), 30);
    }

    QString templateName() const
    {
        const QString named = qEnvironmentVariable("IMAESTROS_PG_TEMPLATE").trimmed();
        return named.isEmpty()
            ? ado::ConnectionString::parse(sharedPostgresConnectionString()).value(QStringLiteral("Database"))
            : named;
    }

    void create()
    {
        const QString shared = sharedPostgresConnectionString();
        const QString from = templateName();
        const QString name = QStringLiteral("imaestros_p%1_%2")
                                 .arg(QCoreApplication::applicationPid())
                                 .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        try {
            openMaintenance();
            const QString createSql =
                QStringLiteral("CREATE DATABASE %1 TEMPLATE %2")
                    .arg(m_maintenance->quoteIdentifier(name), m_maintenance->quoteIdentifier(from));
            try {
                // Copying the files costs the server less than logging each page (PostgreSQL 15 on).
                runSql(*m_maintenance, createSql + QStringLiteral(" STRATEGY FILE_COPY"));
            } catch (const ado::BackendFailure &) {
                runSql(*m_maintenance, createSql);
            }
            m_name = name;
            copySettings(*m_maintenance, from, name);
        } catch (const ado::BackendFailure &f) {
            throw std::runtime_error(QStringLiteral("cannot create the test database %1 from the template %2: %3")
                                         .arg(name, from, f.errors().front().description)
                                         .toStdString());
        }
        m_connectionString = withDatabase(shared, name);
    }

    // A clone does not take the template's own settings (its DateStyle among them).
    static void copySettings(ado::Backend &backend, const QString &from, const QString &to)
    {
        const ado::ResultSet settings = runSql(backend,
                                               QStringLiteral("SELECT unnest(s.setconfig) FROM pg_db_role_setting s "
                                                              "JOIN pg_database d ON d.oid = s.setdatabase "
                                                              "WHERE s.setrole = 0 AND d.datname = %1")
                                                   .arg(backend.literal(platform::Variant(from))));
        for (const ado::Row &row : settings.rows) {
            const QString setting = row.at(0).toString();
            const qsizetype eq = setting.indexOf(QLatin1Char('='));
            runSql(backend,
                   QStringLiteral("ALTER DATABASE %1 SET %2 = %3")
                       .arg(backend.quoteIdentifier(to), setting.left(eq),
                            backend.literal(platform::Variant(setting.mid(eq + 1)))));
        }
    }

    std::unique_ptr<ado::Backend> m_maintenance;
    QString m_name;
    QString m_connectionString;
};

PrivatePostgres &privatePostgres()
{
    static PrivatePostgres *const environment = [] {
        auto *created = new PrivatePostgres;
        ::testing::AddGlobalTestEnvironment(created); // gtest owns it and runs its TearDown
        return created;
    }();
    return *environment;
}

// Registered before the tests run, so that its TearDown comes after them.
[[maybe_unused]] const PrivatePostgres &registered = privatePostgres();

} // namespace

QString postgresConnectionString()
{
    return sharedPostgresConnectionString().isEmpty() ? QString() : privatePostgres().connectionString();
}

std::vector<TestDatabase> testDatabases()
{
    const QString pg = sharedPostgresConnectionString();
    return {TestDatabase{QStringLiteral("SQLite"), QString(), Engine::SQLite},
            TestDatabase{QStringLiteral("PostgreSQL"), pg, Engine::PostgreSQL}};
}

void PrintTo(const TestDatabase &database, std::ostream *out) { *out << database.name.toStdString(); }

QString freshSqliteFile()
{
    static QTemporaryDir folder; // removed with its files when the process ends
    static std::atomic<int> counter{0};
    return folder.filePath(QStringLiteral("test%1.sqlite").arg(++counter));
}

QString sqliteConnectionString(const QString &path, bool create)
{
    return QStringLiteral("Provider=SQLite;Data Source=%1;%2")
        .arg(path, create ? QStringLiteral("Mode=Create;") : QString());
}

QString connectionStringForTest(const TestDatabase &database)
{
    return database.engine == Engine::SQLite ? sqliteConnectionString(freshSqliteFile()) : postgresConnectionString();
}

void recreateTable(ado::Connection &cnn, const QString &name, const QString &columns)
{
    // The suite's schema makes views of some names and views over some tables: a view of that
    // name goes too, and on PostgreSQL so do the views that read the table (SQLite lets them
    // wait for the new one; the next test makes the schema again).
    const bool postgresql = cnn.ConnectionString().contains(QStringLiteral("Provider=PostgreSQL"), Qt::CaseInsensitive);
    for (const QString &drop :
         {QStringLiteral("DROP VIEW ") + name,
          QStringLiteral("DROP TABLE ") + name + (postgresql ? QStringLiteral(" CASCADE") : QString())}) {
        try {
            cnn.Execute(drop);
        } catch (const ado::Exception &) {
            // not there yet
        }
    }
    cnn.Execute(QStringLiteral("CREATE TABLE %1 (%2)").arg(name, columns));
}

std::string testDatabaseName(const ::testing::TestParamInfo<TestDatabase> &info)
{
    return info.param.name.toStdString();
}

void DatabaseTest::SetUp()
{
    if (!GetParam().available())
        GTEST_SKIP() << "PostgreSQL not available (set IMAESTROS_PG_CONNSTR)";
    m_connectionString = connectionStringForTest(GetParam());
    m_cnn = std::make_unique<ado::Connection>();
    m_cnn->Open(m_connectionString);
}

void DatabaseTest::TearDown()
{
    if (m_cnn && m_cnn->State() == ado::adStateOpen)
        m_cnn->Close();
    m_cnn.reset();
}

} // namespace testsupport
