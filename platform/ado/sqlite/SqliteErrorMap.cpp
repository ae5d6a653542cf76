#include "SqliteErrorMap.h"

#include <QRegularExpression>

#include <sqlite3.h>

namespace ado {

namespace {

BackendError make(long number, long native, const char *state, const QString &description)
{
    return BackendError{number, native, QString::fromLatin1(state), description};
}

// The table an INSERT, UPDATE or DELETE statement writes to.
QString targetTable(const QByteArray &statement)
{
    static const QRegularExpression re(
        QStringLiteral(
            R"(^\s*(?:INSERT\s+(?:OR\s+\w+\s+)?INTO|UPDATE(?:\s+OR\s+\w+)?|DELETE\s+FROM|REPLACE\s+INTO)\s+([\[\]"`\w.]+))"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(QString::fromUtf8(statement));
    if (!m.hasMatch())
        return QString();
    QString name = m.captured(1);
    name.remove(QLatin1Char('[')).remove(QLatin1Char(']')).remove(QLatin1Char('"')).remove(QLatin1Char('`'));
    return name.section(QLatin1Char('.'), -1);
}

// "T.col, T.col2" -> table "T", columns "col, col2".
void splitColumns(const QString &list, QString &table, QString &columns)
{
    QStringList names;
    for (const QString &item : list.split(QLatin1Char(','))) {
        const QString t = item.trimmed();
        table = t.section(QLatin1Char('.'), 0, 0);
        names << t.section(QLatin1Char('.'), 1);
    }
    columns = names.join(QStringLiteral(", "));
}

BackendError constraint(int code, const QString &msg, const QByteArray &statement)
{
    QString table, columns;
    const QString detail = msg.section(QLatin1Char(':'), 1).trimmed();
    switch (code) {
    case SQLITE_CONSTRAINT_PRIMARYKEY:
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_ROWID:
        splitColumns(detail, table, columns);
        return make(
            errnum::IntegrityViolation, native::DuplicateKey, "23000",
            QStringLiteral("Infracción de la restricción %1 en la tabla '%2' (columnas: %3). "
                           "No se puede insertar una clave duplicada en el objeto '%2'.")
                .arg(code == SQLITE_CONSTRAINT_UNIQUE ? QStringLiteral("UNIQUE KEY") : QStringLiteral("PRIMARY KEY"),
                     table, columns));
    case SQLITE_CONSTRAINT_NOTNULL:
        splitColumns(detail, table, columns);
        return make(errnum::IntegrityViolation, native::NullNotAllowed, "23000",
                    QStringLiteral("No se puede insertar el valor NULL en la columna '%1', tabla '%2'; "
                                   "la columna no admite valores NULL.")
                        .arg(columns, table));
    case SQLITE_CONSTRAINT_CHECK:
        if (detail.startsWith(QLatin1String("vklen_"), Qt::CaseInsensitive))
            return make(errnum::CommandFailed, native::StringTruncated, "22001",
                        QStringLiteral("Los datos de cadena o binarios se truncarían en la tabla '%1', "
                                       "columna '%2'.")
                            .arg(targetTable(statement), detail.mid(6)));
        return make(errnum::IntegrityViolation, native::ConstraintConflict, "23000",
                    QStringLiteral("La instrucción está en conflicto con la restricción CHECK '%1'. "
                                   "El conflicto ha aparecido en la tabla '%2'.")
                        .arg(detail, targetTable(statement)));
    case SQLITE_CONSTRAINT_FOREIGNKEY:
        return make(errnum::IntegrityViolation, native::ConstraintConflict, "23000",
                    QStringLiteral("La instrucción está en conflicto con una restricción FOREIGN KEY. "
                                   "El conflicto ha aparecido en la tabla '%1'.")
                        .arg(targetTable(statement)));
    default:
        return make(errnum::IntegrityViolation, native::ConstraintConflict, "23000", msg);
    }
}

QString quotedAfter(const QString &msg, const QString &prefix) { return msg.mid(prefix.size()).trimmed(); }

BackendError statementError(const QString &msg)
{
    static const QString noTable = QStringLiteral("no such table:");
    static const QString noColumn = QStringLiteral("no such column:");
    static const QRegularExpression exists(QStringLiteral(R"(^(?:table|index|view|trigger)\s+(\S+)\s+already exists)"));
    static const QRegularExpression near(QStringLiteral(R"re(near "(.*)": syntax error)re"));
    if (msg.startsWith(noTable))
        return make(errnum::CommandFailed, native::InvalidObject, "42S02",
                    QStringLiteral("El nombre de objeto '%1' no es válido.").arg(quotedAfter(msg, noTable)));
    if (msg.startsWith(noColumn))
        return make(errnum::CommandFailed, 207, "42S22",
                    QStringLiteral("El nombre de columna '%1' no es válido.").arg(quotedAfter(msg, noColumn)));
    if (const auto m = exists.match(msg); m.hasMatch())
        return make(errnum::CommandFailed, native::AlreadyExists, "42S01",
                    QStringLiteral("Ya hay un objeto con el nombre '%1' en la base de datos.")
                        .arg(m.captured(1).remove(QLatin1Char('"'))));
    if (const auto m = near.match(msg); m.hasMatch())
        return make(errnum::CommandFailed, native::SyntaxError, "42000",
                    QStringLiteral("Sintaxis incorrecta cerca de '%1'.").arg(m.captured(1)));
    if (msg.startsWith(QLatin1String("vkdate:")))
        return make(errnum::CommandFailed, 241, "22007", msg.mid(7).trimmed());
    static const QRegularExpression conversion(QStringLiteral(R"(^vk(\d+): )"));
    if (const auto m = conversion.match(msg); m.hasMatch()) { // SqliteConversions: "vk<native>: text"
        const long native = m.captured(1).toLong();
        const char *state = native == 241                                       ? "22007"
            : native == 242                                                     ? "22008"
            : native == 220 || native == 8115 || native == 244 || native == 248 ? "22003"
                                                                                : "22018";
        return make(errnum::CommandFailed, native, state, msg.mid(m.capturedLength()));
    }
    return make(errnum::CommandFailed, native::SyntaxError, "42000", msg);
}

} // namespace

BackendError SqliteErrorMap::map(int extendedCode, const QString &message, const QByteArray &statement)
{
    switch (extendedCode & 0xff) {
    case SQLITE_CONSTRAINT:
        return constraint(extendedCode, message, statement);
    case SQLITE_ERROR:
        return statementError(message);
    case SQLITE_INTERRUPT:
        return make(errnum::Timeout, 0, "HYT00", QStringLiteral("Se agotó el tiempo de espera de la consulta."));
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return make(errnum::Timeout, 1222, "HYT00",
                    QStringLiteral("Se agotó el tiempo de espera del bloqueo: %1").arg(message));
    case SQLITE_TOOBIG:
        return make(errnum::CommandFailed, native::StringTruncated, "22001", message);
    case SQLITE_MISMATCH:
    case SQLITE_RANGE:
        return make(errnum::CommandFailed, 245, "22018", message);
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return make(errnum::CommandFailed, 229, "42000", message);
    default: // I/O, corruption, full disk: the connection is no longer usable
        return make(errnum::GenericFailure, native::CommunicationLink, "08S01", message);
    }
}

BackendError SqliteErrorMap::openFailure(const QString &path, const QString &message, int extendedCode,
                                         int waitedSeconds)
{
    if ((extendedCode & 0xff) == SQLITE_BUSY || (extendedCode & 0xff) == SQLITE_LOCKED)
        return make(errnum::Timeout, 1222, "HYT00",
                    QStringLiteral("La base de datos '%1' está ocupada: otro proceso la tiene bloqueada y no la "
                                   "liberó en %2 s (%3).")
                        .arg(path)
                        .arg(waitedSeconds)
                        .arg(message));
    return make(errnum::GenericFailure, 4060, "08001",
                QStringLiteral("No se puede abrir la base de datos '%1': %2").arg(path, message));
}

} // namespace ado
