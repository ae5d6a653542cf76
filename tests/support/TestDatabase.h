#pragma once

#include "platform/ado/Connection.h"

#include <QString>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// The databases the tests of the data-access code run on.
//
// Use: derive a parameterised fixture from testsupport::DatabaseTest, write TEST_P cases
// that use cnn() (an open ado::Connection), and instantiate the suite once:
//
//     class ClienteTest : public testsupport::DatabaseTest {};
//     TEST_P(ClienteTest, Inserta) {
//         recreateTable("CLIENTES", "ID INT PRIMARY KEY, NOMBRE VARCHAR(30)");
//         cnn().Execute("INSERT INTO CLIENTES VALUES (1, 'A')");
//     }
//     IMAESTROS_DATABASE_TESTS(ClienteTest);
//
// Every case then runs on:
// - SQLite, always, on a fresh temporary file per test (the folder is removed at exit);
// - PostgreSQL, when the environment variable IMAESTROS_PG_CONNSTR holds an ado connection
//   string ("Provider=PostgreSQL;Server=/tmp/sock;Port=54329;Database=imaestros_test;
//   UId=imaestros;Pwd=x;"); otherwise those instances are skipped with
//   "PostgreSQL not available (set IMAESTROS_PG_CONNSTR)". Each test process gets a database
//   of its own on that server, cloned from a template (IMAESTROS_PG_TEMPLATE, or the database
//   the string names) on first use and dropped when its tests end, so that tests run in
//   parallel and none sees another's tables. The role needs the CREATEDB right.
// Statements are written in SQL Server's dialect, as the system writes them.
namespace testsupport {

enum class Engine { SQLite, PostgreSQL };

struct TestDatabase {
    QString name;             // "SQLite", "PostgreSQL": also the test-name suffix
    QString connectionString; // empty for SQLite: each test gets its own file
    Engine engine = Engine::SQLite;
    bool available() const { return engine == Engine::SQLite || !connectionString.isEmpty(); }
};

// Prints the database's name in test listings instead of its bytes.
void PrintTo(const TestDatabase &database, std::ostream *out);

// SQLite first, then PostgreSQL (always listed, so its skip shows in the test report).
std::vector<TestDatabase> testDatabases();

// A path in a temporary folder that lives until the process ends; no file there yet.
QString freshSqliteFile();
// "Provider=SQLite;Data Source=<path>[;Mode=Create]".
QString sqliteConnectionString(const QString &path, bool create = true);
// The connection string one test uses: a fresh SQLite file, or this process's PostgreSQL
// database.
QString connectionStringForTest(const TestDatabase &database);

// This process's PostgreSQL database (see above): its connection string, "" when
// IMAESTROS_PG_CONNSTR is unset. Fails the test (and throws) when it cannot be created.
QString postgresConnectionString();

// Runs "DROP TABLE <name>" (a missing table is fine), then "CREATE TABLE <name> (<columns>)".
void recreateTable(ado::Connection &cnn, const QString &name, const QString &columns);

// Name generator for INSTANTIATE_TEST_SUITE_P.
std::string testDatabaseName(const ::testing::TestParamInfo<TestDatabase> &info);

// Fixture: skips unavailable databases, opens cnn() before each test, closes it after.
class DatabaseTest : public ::testing::TestWithParam<TestDatabase> {
protected:
    void SetUp() override;
    void TearDown() override;
    ado::Connection &cnn() { return *m_cnn; }
    const TestDatabase &database() const { return GetParam(); }
    bool isSqlite() const { return GetParam().engine == Engine::SQLite; }
    const QString &connectionString() const { return m_connectionString; }
    void recreateTable(const QString &name, const QString &columns)
    {
        testsupport::recreateTable(*m_cnn, name, columns);
    }

private:
    std::unique_ptr<ado::Connection> m_cnn;
    QString m_connectionString;
};

} // namespace testsupport

#define IMAESTROS_DATABASE_TESTS(Suite)                                                                                \
    INSTANTIATE_TEST_SUITE_P(Engines, Suite, ::testing::ValuesIn(::testsupport::testDatabases()),                      \
                             ::testsupport::testDatabaseName)
