// imaestros-dbinit <file.db> [CLAVE=VALOR ...]: creates a fresh embedded database with the
// suite's schema (and the given configuration rows), and the statistics database
// VK_ESTADISTICAS.db beside it when that one is missing.

#include "Schema.h"

#include "platform/ado/Command.h"
#include "platform/ado/Connection.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QPair>
#include <QTextStream>

#include <functional>

namespace {

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

using Rows = QList<QPair<QString, QString>>;

// Opens the file (creating it with `crear`) and runs `work` on it; false after saying why.
bool onDatabase(const QString &file, bool crear, const std::function<platform::Status(ado::Connection &)> &work)
{
    ado::Connection connection;
    try {
        connection.Open(QStringLiteral("Provider=SQLite;Data Source=%1%2")
                            .arg(file, crear ? QStringLiteral(";Mode=Create") : QString()));
    } catch (const platform::RuntimeError &error) {
        err() << "imaestros-dbinit: no se puede " << (crear ? "crear " : "abrir ") << file << ": "
              << error.Description() << Qt::endl;
        return false;
    }
    const platform::Status status = work(connection);
    connection.Close();
    if (!status.ok()) {
        err() << "imaestros-dbinit: " << file << ": " << status.message() << Qt::endl;
        return false;
    }
    return true;
}

const char kUso[] = "uso: imaestros-dbinit <archivo.db> [CLAVE=VALOR ...]\n"
                    "     imaestros-dbinit --configurar <archivo.db> CLAVE=VALOR ...\n"
                    "     imaestros-dbinit --help\n"
                    "\n"
                    "Crea una base SQLite nueva con el esquema de la suite en <archivo.db>, y la base de\n"
                    "estadisticas VK_ESTADISTICAS.db junto a ella cuando falta. Cada CLAVE=VALOR es una\n"
                    "fila de TA_CONFIGURACION de la base nueva (por ejemplo PIVA=21 PIVAREC=10.5). Un\n"
                    "archivo que ya existe no se modifica, salvo con --configurar, que solo escribe\n"
                    "esas filas (nuevas o reemplazando el VALOR de la CLAVE) en una base existente.\n"
                    "Estado de salida: 0 hecho, 1 no se pudo, 2 uso incorrecto.\n";

void bind(ado::Command &command, const QString &name, const QString &value, long size)
{
    command.Parameters().Append(
        command.CreateParameter(name, ado::adVarChar, ado::adParamInput, size, platform::Variant(value)));
}

// The configuration rows of the command line, bound as parameters: a key already there takes
// the new value.
platform::Status configure(ado::Connection &connection, const Rows &rows)
{
    for (const auto &[clave, valor] : rows) {
        try {
            ado::Command update;
            update.setActiveConnection(&connection);
            update.setCommandText(QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = ? WHERE CLAVE = ?"));
            bind(update, QStringLiteral("valor"), valor, 255);
            bind(update, QStringLiteral("clave"), clave, 100);
            long changed = 0;
            update.Execute(&changed);
            if (changed > 0)
                continue;
            ado::Command insert;
            insert.setActiveConnection(&connection);
            insert.setCommandText(QStringLiteral("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES (?, ?)"));
            bind(insert, QStringLiteral("clave"), clave, 100);
            bind(insert, QStringLiteral("valor"), valor, 255);
            insert.Execute();
        } catch (const platform::RuntimeError &error) {
            return platform::Status::failure(
                QStringLiteral("no se pudo guardar %1: %2").arg(clave, error.Description()));
        }
    }
    return {};
}

// CLAVE=VALOR items; false after saying which one is not.
bool readRows(const QStringList &items, Rows &rows)
{
    for (const QString &item : items) {
        const qsizetype equals = item.indexOf(QLatin1Char('='));
        if (equals <= 0) {
            err() << "imaestros-dbinit: " << item << " no es CLAVE=VALOR" << Qt::endl << kUso;
            return false;
        }
        rows.append({item.left(equals), item.mid(equals + 1)});
    }
    return true;
}

int configureExisting(const QStringList &arguments)
{
    Rows rows;
    if (arguments.size() < 4 || arguments.at(2).startsWith(QLatin1Char('-'))) {
        err() << kUso;
        return 2;
    }
    if (!readRows(arguments.mid(3), rows))
        return 2;
    const QFileInfo target(arguments.at(2));
    if (!target.isFile()) {
        err() << "imaestros-dbinit: " << target.filePath() << " no existe" << Qt::endl;
        return 1;
    }
    const auto work = [&rows](ado::Connection &connection) { return configure(connection, rows); };
    return onDatabase(target.absoluteFilePath(), false, work) ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        QTextStream(stdout) << kUso;
        return 0;
    }
    if (arguments.size() >= 2 && arguments.at(1) == QLatin1String("--configurar"))
        return configureExisting(arguments);
    // A name that starts with "-" is a mistaken option, never a database to create.
    if (arguments.size() < 2 || arguments.at(1).startsWith(QLatin1Char('-'))) {
        err() << kUso;
        return 2;
    }
    Rows rows;
    if (!readRows(arguments.mid(2), rows))
        return 2;
    const QFileInfo target(arguments.at(1));
    if (target.exists()) {
        err() << "imaestros-dbinit: " << target.filePath() << " ya existe; no se modifica" << Qt::endl;
        return 1;
    }
    const auto suite = [&rows](ado::Connection &connection) {
        platform::Status status = schema::createSuiteDatabase(connection);
        return status.ok() ? configure(connection, rows) : status;
    };
    if (!onDatabase(target.absoluteFilePath(), true, suite)) {
        QFile::remove(target.absoluteFilePath());
        return 1;
    }
    const QString statistics = target.absoluteDir().filePath(QStringLiteral("VK_ESTADISTICAS.db"));
    if (!QFileInfo::exists(statistics) && !onDatabase(statistics, true, schema::createStatisticsDatabase)) {
        QFile::remove(statistics);
        return 1;
    }
    return 0;
}
