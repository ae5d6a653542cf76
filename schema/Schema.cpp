#include "Schema.h"

#include "platform/TextFile.h"
#include "platform/ado/Backend.h"
#include "platform/ado/Connection.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace schema {

namespace {

QString loadScript(const QString &name, const QString &engine = QStringLiteral("sqlserver"))
{
    const QString relative = engine + QLatin1Char('/') + name;
    const QString folder = qEnvironmentVariable("IMAESTROS_SCHEMA");
    const QString path = folder.isEmpty() ? QStringLiteral(":/schema/") + relative : QDir(folder).filePath(relative);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

QString firstLine(const QString &batch)
{
    for (const QString &line : batch.split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty() && !line.trimmed().startsWith(QStringLiteral("--")))
            return line.trimmed();
    }
    return QString();
}

// The engine's own script of that name, chosen by the connection string's provider.
QString engineScript(const QString &name, const QString &connectionString)
{
    const QString provider = ado::ConnectionString::parse(connectionString).provider().trimmed();
    if (provider.compare(QLatin1String("SQLite"), Qt::CaseInsensitive) == 0)
        return loadScript(name, QStringLiteral("sqlite"));
    if (provider.compare(QLatin1String("PostgreSQL"), Qt::CaseInsensitive) == 0)
        return loadScript(name, QStringLiteral("postgresql"));
    if (provider.startsWith(QLatin1String("SQLOLEDB"), Qt::CaseInsensitive))
        return loadScript(name, QStringLiteral("sqlserver"));
    return QString();
}

} // namespace

QString suiteScript()
{
    return loadScript(QStringLiteral("imaestros.sql")) + QStringLiteral("\nGO\n")
        + loadScript(QStringLiteral("sending.sql"));
}
QString statisticsScript() { return loadScript(QStringLiteral("vk_estadisticas.sql")); }

QString nativeScript(const QString &connectionString)
{
    return engineScript(QStringLiteral("native.sql"), connectionString);
}

QString articlesScript() { return loadScript(QStringLiteral("articles.sql")); }

QString lookupScript() { return loadScript(QStringLiteral("lookup.sql")); }

QString viewsScript() { return loadScript(QStringLiteral("views.sql")); }

QString articlesNativeScript(const QString &connectionString)
{
    return engineScript(QStringLiteral("articles_native.sql"), connectionString);
}

QStringList batches(const QString &script)
{
    static const QRegularExpression go(QStringLiteral("^\\s*GO\\s*$"),
                                       QRegularExpression::CaseInsensitiveOption | QRegularExpression::MultilineOption);
    QStringList result;
    for (const QString &part : script.split(go)) {
        QString code;
        for (const QString &line : part.split(QLatin1Char('\n'))) {
            if (!line.trimmed().startsWith(QStringLiteral("--")))
                code += line + QLatin1Char('\n');
        }
        if (!code.trimmed().isEmpty())
            result << code.trimmed();
    }
    return result;
}

platform::Status runScript(ado::Connection &connection, const QString &script)
{
    const QStringList parts = batches(script);
    if (parts.isEmpty())
        return platform::Status::failure(QStringLiteral("El script del esquema está vacío o no se encontró"));
    for (const QString &batch : parts) {
        try {
            connection.Execute(batch);
        } catch (const platform::RuntimeError &error) {
            return platform::Status::failure(
                QStringLiteral("Esquema: falló \"%1\": %2").arg(firstLine(batch), error.Description()),
                int(error.Number()));
        }
    }
    return {};
}

platform::Status createSuiteDatabase(ado::Connection &connection)
{
    // Each part in the suite's dialect, then the engine's own part of it (triggers, procedures).
    const QString cnn = connection.ConnectionString();
    const QStringList scripts{suiteScript(), nativeScript(cnn), articlesScript(), articlesNativeScript(cnn),
                              viewsScript(), lookupScript()};
    for (const QString &script : scripts) {
        if (script.isEmpty())
            continue;
        if (platform::Status status = runScript(connection, script); !status.ok())
            return status;
    }
    return {};
}

platform::Status createStatisticsDatabase(ado::Connection &connection)
{
    return runScript(connection, statisticsScript());
}

} // namespace schema
