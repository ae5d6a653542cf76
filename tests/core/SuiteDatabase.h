#pragma once

#include "tests/support/TestDatabase.h"

#include "platform/ui/Operator.h"

#include <QString>

#include <memory>

// A test database holding the suite's schema, with the shared gDB connected to it and a
// scripted operator that fails the test on any unexpected question.
class SuiteDatabaseTest : public testsupport::DatabaseTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // Runs a statement on the fixture's own connection (not through gDB).
    void exec(const QString &sql);
    // The first column of the first row of a query on the fixture's connection
    // (an empty text when no row).
    QString scalar(const QString &sql);
    long count(const QString &table);
    platform::ScriptedOperator &operatorScript() { return *m_operator; }

private:
    std::shared_ptr<platform::ScriptedOperator> m_operator;
    std::unique_ptr<platform::ScopedOperator> m_scope;
};
