#include "SuiteObjects.h"

#include "Schema.h"

#include "platform/ado/Connection.h"

#include <QList>
#include <QPair>
#include <QRegularExpression>
#include <QSet>

namespace schema {

namespace {

// (kind, name) of every CREATE TABLE / CREATE VIEW of a script, in script order.
QList<QPair<QString, QString>> createdObjects(const QString &script)
{
    static const QRegularExpression created(QStringLiteral("CREATE\\s+(TABLE|VIEW)\\s+([A-Za-z_0-9]+)"),
                                            QRegularExpression::CaseInsensitiveOption);
    QList<QPair<QString, QString>> objects;
    auto it = created.globalMatch(script);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        objects.append({m.captured(1).toUpper(), m.captured(2)});
    }
    return objects;
}

bool dropQuietly(ado::Connection &cnn, const QString &statement)
{
    try {
        cnn.Execute(statement);
        return true;
    } catch (const platform::RuntimeError &) {
        return false; // not there
    }
}

} // namespace

void dropSuiteObjects(ado::Connection &connection)
{
    const QString cs = connection.ConnectionString();
    const auto objects = createdObjects(viewsScript()) + createdObjects(articlesNativeScript(cs))
        + createdObjects(articlesScript()) + createdObjects(nativeScript(cs)) + createdObjects(suiteScript())
        + createdObjects(lookupScript());
    // One look at what is there instead of a failed statement per missing object: a new
    // database has none of them.
    QSet<QString> present;
    for (const QString &name : connection.Tables())
        present.insert(name.toUpper());
    const auto there = [&](const QString &name) { return present.contains(name.toUpper()); };
    for (const auto &[kind, name] : objects) {
        // a test may have put a table of its own where the scripts make a view
        if (kind == QLatin1String("VIEW") && there(name)
            && !dropQuietly(connection, QStringLiteral("DROP VIEW ") + name))
            dropQuietly(connection, QStringLiteral("DROP TABLE ") + name);
    }
    for (qsizetype i = objects.size() - 1; i >= 0; --i) {
        if (objects[i].first == QLatin1String("TABLE") && there(objects[i].second))
            dropQuietly(connection, QStringLiteral("DROP TABLE ") + objects[i].second);
    }
}

} // namespace schema
