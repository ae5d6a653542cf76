#pragma once

#include "tests/support/TestDatabase.h"

#include "platform/ui/Operator.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

// A test database holding the whole suite schema (every object of the shared script is
// dropped first, so a PostgreSQL database the process's earlier cases used starts clean),
// with gDB connected to it, a scripted operator that fails the test on an unexpected
// question, and a program folder of its own.
class ReceptionDatabaseTest : public testsupport::DatabaseTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs a statement on the fixture's own connection (not through gDB).
    void exec(const QString &sql);
    // The first column of the first row as text; "<null>" for NULL, "" without a row.
    QString scalar(const QString &sql);
    long count(const QString &table);
    platform::ScriptedOperator &operatorScript() { return *m_operator; }
    // The program folder of this test (IMAESTROS_HOME-like; removed afterwards).
    QString home() const { return m_home.path(); }

private:
    std::shared_ptr<platform::ScriptedOperator> m_operator;
    std::unique_ptr<platform::ScopedOperator> m_scope;
    QTemporaryDir m_home;
};
