// imaestros-dbinit <file.db>: creates a fresh embedded database with the suite's schema,
// and the statistics database VK_ESTADISTICAS.db beside it when that one is missing.

#include "Schema.h"

#include "platform/ado/Connection.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace {

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

bool createDatabase(const QString &file, platform::Status (*create)(ado::Connection &))
{
    ado::Connection connection;
    try {
        connection.Open(QStringLiteral("Provider=SQLite;Data Source=%1;Mode=Create").arg(file));
    } catch (const platform::RuntimeError &error) {
        err() << "imaestros-dbinit: no se puede crear " << file << ": " << error.Description() << Qt::endl;
        return false;
    }
    const platform::Status status = create(connection);
    connection.Close();
    if (!status.ok()) {
        err() << "imaestros-dbinit: " << file << ": " << status.message() << Qt::endl;
        return false;
    }
    return true;
}

const char kUso[] = "uso: imaestros-dbinit <archivo.db>\n"
                    "     imaestros-dbinit --help\n"
                    "\n"
                    "Crea una base SQLite nueva con el esquema de la suite en <archivo.db>, y la base de\n"
                    "estadisticas VK_ESTADISTICAS.db junto a ella cuando falta. Un archivo que ya existe\n"
                    "no se modifica. Estado de salida: 0 creada, 1 no se pudo crear, 2 uso incorrecto.\n";

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        QTextStream(stdout) << kUso;
        return 0;
    }
    // A name that starts with "-" is a mistaken option, never a database to create.
    if (arguments.size() != 2 || arguments.at(1).startsWith(QLatin1Char('-'))) {
        err() << kUso;
        return 2;
    }
    const QFileInfo target(arguments.at(1));
    if (target.exists()) {
        err() << "imaestros-dbinit: " << target.filePath() << " ya existe; no se modifica" << Qt::endl;
        return 1;
    }
    if (!createDatabase(target.absoluteFilePath(), schema::createSuiteDatabase)) {
        QFile::remove(target.absoluteFilePath());
        return 1;
    }
    const QString statistics = target.absoluteDir().filePath(QStringLiteral("VK_ESTADISTICAS.db"));
    if (!QFileInfo::exists(statistics) && !createDatabase(statistics, schema::createStatisticsDatabase)) {
        QFile::remove(statistics);
        return 1;
    }
    return 0;
}
