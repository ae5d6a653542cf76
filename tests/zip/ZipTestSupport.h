#pragma once

#include "platform/ui/Operator.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>

namespace ziptest {

// Full path of an installed program, empty when missing.
QString program(const QString &name);
// Runs a program; returns its exit code (-1 when it could not run) and its output.
int run(const QString &program, const QStringList &arguments, const QString &workingFolder, QString *output = nullptr);

void writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);
// Every file below the folder: relative path -> bytes; folders as "path/" -> empty.
QMap<QString, QByteArray> snapshot(const QString &folder);

// Table files as the sending writes them (Windows-1252, TAB after each value, CR LF).
QMap<QString, QByteArray> sampleTableFiles();

// A scripted operator for one test; an unexpected question fails the test.
struct ScriptedScope {
    ScriptedScope();
    std::shared_ptr<platform::ScriptedOperator> script;
    platform::ScopedOperator scope;
};

} // namespace ziptest

// Skips the test when a peer program is missing.
#define ZIPTEST_REQUIRE(name)                                                                                          \
    if (ziptest::program(QStringLiteral(name)).isEmpty())                                                              \
    GTEST_SKIP() << "the program " name " is not installed; peer test skipped"
