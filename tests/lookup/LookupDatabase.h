#pragma once

#include "tests/core/SuiteDatabase.h"

#include "lookup/LookupPresenter.h"

#include <QString>
#include <QTemporaryDir>

#include <functional>

namespace lookup {
class Lib_FrmCons3Logic;
class Lib_FrmCons3TreeLogic;
} // namespace lookup

// The suite's database with the tables the lookups of these tests read (rubros, articles
// with stock and prices, shortages, families, positions, cost centres), gDB connected to it,
// a scripted operator and a program folder of its own.
class LookupDatabaseTest : public SuiteDatabaseTest {
protected:
    void SetUp() override;
    void TearDown() override;
    void config(const QString &key, const QString &value);
    QString home() const { return m_home.path(); }

private:
    QTemporaryDir m_home;
};

// Drives the forms of a lookup as the operator would, from the test.
class ScriptedPresenter : public lookup::LookupPresenter {
public:
    std::function<void(lookup::Lib_FrmCons3Logic &)> list;
    std::function<void(lookup::Lib_FrmCons3TreeLogic &)> tree;
    int shown = 0;
    void showList(lookup::Lib_FrmCons3Logic &form) override;
    void showTree(lookup::Lib_FrmCons3TreeLogic &form) override;
};
