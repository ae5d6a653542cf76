#pragma once

#include "tests/support/TestDatabase.h"

#include "platform/Variant.h"
#include "platform/ui/Operator.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <vector>

class DB_Dll;

namespace pruebas {

// Drops every table and view of the suite's scripts (views first), then creates the suite's
// database, so that a PostgreSQL database that earlier cases of the process used starts clean.
void crearBaseSuite(ado::Connection &cnn);

// The master tables of a package as they are written: the views of the articles and prices
// are filled through their base tables.
QString tablaBase(const QString &tabla);

// Fills every table of the package with `filas` rows of varied values: accents, apostrophes
// and commas in texts, decimals, dates with and without a time of day, NULL, Booleans; keys
// right-aligned where the reception aligns them. Row i of a table is the same on every call.
void llenarMaestros(ado::Connection &cnn, int filas = 3);

// The rows of a table (or view) ordered by its columns, one line of text per row with every
// column a data line carries but DESDETRIGGER: what must survive a transmission.
QStringList filasComparables(ado::Connection &cnn, const QString &tabla);

// The first column of the first row as text; "<null>" for NULL, "" without a row.
QString escalar(ado::Connection &cnn, const QString &sql);

// Opens a DB_Dll of its own on a connection string (the second database of a test).
std::unique_ptr<DB_Dll> abrirDB(const QString &connectionString);

} // namespace pruebas

// A test database holding the whole suite schema, with gDB connected to it, a scripted
// operator that fails the test on an unexpected question, and a program folder of its own.
class SendingDatabaseTest : public testsupport::DatabaseTest {
protected:
    void SetUp() override;
    void TearDown() override;

    void exec(const QString &sql);
    QString scalar(const QString &sql);
    long count(const QString &tabla, const QString &condicion = QString());
    platform::ScriptedOperator &operatorScript() { return *m_operator; }
    QString home() const { return m_home.path(); }
    // A folder under the program folder, created empty.
    QString carpeta(const QString &nombre);

private:
    std::shared_ptr<platform::ScriptedOperator> m_operator;
    std::unique_ptr<platform::ScopedOperator> m_scope;
    QTemporaryDir m_home;
};
