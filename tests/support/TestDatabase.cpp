#include "TestDatabase.h"

#include "platform/ado/Recordset.h"

#include <QTemporaryDir>

#include <atomic>

namespace testsupport {

std::vector<TestDatabase> testDatabases()
{
    const QString pg = qEnvironmentVariable("IMAESTROS_PG_CONNSTR").trimmed();
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
    return database.engine == Engine::SQLite ? sqliteConnectionString(freshSqliteFile()) : database.connectionString;
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
