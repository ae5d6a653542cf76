#include "SuiteObjects.h"

#include "Schema.h"

#include "platform/ado/Connection.h"

#include <QList>
#include <QPair>
#include <QRegularExpression>

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

void dropQuietly(ado::Connection &cnn, const QString &statement)
{
    try {
        cnn.Execute(statement);
    } catch (const platform::RuntimeError &) {
        // not there
    }
}

} // namespace

void dropSuiteObjects(ado::Connection &connection)
{
    const QString cs = connection.ConnectionString();
    const auto objects = createdObjects(articlesNativeScript(cs)) + createdObjects(articlesScript())
        + createdObjects(nativeScript(cs)) + createdObjects(suiteScript()) + createdObjects(lookupScript());
    for (const auto &[kind, name] : objects) {
        if (kind == QLatin1String("VIEW"))
            dropQuietly(connection, QStringLiteral("DROP VIEW ") + name);
    }
    for (qsizetype i = objects.size() - 1; i >= 0; --i) {
        if (objects[i].first == QLatin1String("TABLE"))
            dropQuietly(connection, QStringLiteral("DROP TABLE ") + objects[i].second);
    }
}

} // namespace schema
