#pragma once

#include "platform/Result.h"

#include <QString>
#include <QStringList>

namespace ado {
class Connection;
}

// The suite's database, kept once in SQL Server's dialect; the backends translate it.
namespace schema {

// The script text (the suite's script is imaestros.sql followed by sending.sql): from
// $IMAESTROS_SCHEMA/sqlserver/<file> when that variable is set,
// else the copy built into the program.
QString suiteScript();
QString statisticsScript();
// The engine's own part of the suite's database (writable views, the calendar procedure),
// chosen by the connection string's provider; empty where there is none (Oracle).
QString nativeScript(const QString &connectionString);
// The article form's additions (run after both), and the engine's own part of them.
QString articlesScript();
QString articlesNativeScript(const QString &connectionString);
// What the lookup browser alone writes (the shortage table).
QString lookupScript();
// The views the forms and the lookup read (synonym views, the lookup's VT_ views) and the
// tables only they name; run after the article form's additions.
QString viewsScript();

// The batches of a script: the text between lines that hold only "GO" (any case);
// blank batches are left out.
QStringList batches(const QString &script);

// Runs every batch on an open connection; stops at the first failure, whose message
// names the batch's first line and the engine's error.
platform::Status runScript(ado::Connection &connection, const QString &script);
// The shared script, then the engine's own part, then the article form's additions, then the
// views the forms and the lookup read.
platform::Status createSuiteDatabase(ado::Connection &connection);
platform::Status createStatisticsDatabase(ado::Connection &connection);

} // namespace schema
