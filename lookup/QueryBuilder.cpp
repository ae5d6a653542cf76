#include "lookup/QueryBuilder.h"

#include "lookup/SqlClauses.h"

#include "db/SqlText.h"

#include <cmath>

namespace lookup {

namespace {

bool sameName(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// A caller may write the condition with its keyword; the statement adds its own.
QString withoutWhereKeyword(const QString &where)
{
    const QString trimmed = where.trimmed();
    if (trimmed.size() > 5 && trimmed.startsWith(QStringLiteral("WHERE"), Qt::CaseInsensitive)
        && trimmed.at(5).isSpace())
        return trimmed.mid(6);
    return where;
}

// Step one of every lookup: a condition longer than one character that does not open with
// a parenthesis is put in one.
QString wrapped(const QString &where)
{
    if (where.trimmed().size() > 1 && !where.startsWith(QLatin1Char('(')))
        return QStringLiteral(" (") + where + QStringLiteral(") ");
    return where;
}

QString limited(int n, const QString &columns, const QString &source)
{
    return QStringLiteral("SELECT TOP ") + QString::number(n) + QLatin1Char(' ') + columns + QStringLiteral(" FROM ")
        + source;
}

QString ordered(const QString &statement, const QString &campo)
{
    return campo.trimmed().isEmpty() ? statement : statement + QStringLiteral(" ORDER BY ") + campo;
}

QueryResult completeStatement(const QueryRequest &request, QueryResult result)
{
    QString sql = request.SQL;
    if (sql.contains(QStringLiteral("V_MA_ARTICULOS"), Qt::CaseInsensitive))
        sql = db::sqltext::replaceNoCase(sql, QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("VT_MA_ARTICULOS"));
    if (!result.Where.trimmed().isEmpty())
        sql = sqlclauses::addCondition(sql, result.Where, sqlclauses::upperJoiners());
    result.statement = sql;
    return result;
}

struct Discovered {
    QString columns;
    QString campo;
};

// Walks the fields in order; each one taken goes in FRONT of the list, so the list ends
// up in the reverse of the table's order.
Discovered discover(const QString &table, const QStringList &fields, QString campo)
{
    const bool keepsIds =
        sameName(table, QStringLiteral("v_mv_mutuales")) || sameName(table, QStringLiteral("V_MV_TROPA_STOCK"));
    QString list;
    for (const QString &field : fields) {
        const QString up = field.toUpper();
        const bool id = up == QStringLiteral("ID") || up == QStringLiteral("FECHAHORA_MODIFICACION")
            || up == QStringLiteral("FECHAHORA_GRABACION");
        const bool described =
            up == QStringLiteral("DESCRIPCION") || up == QStringLiteral("NOMBRE") || up == QStringLiteral("DETALLE");
        if (id && !keepsIds)
            continue;
        if (id || described || list.trimmed().isEmpty())
            campo = field;
        list = field + QLatin1Char(',') + list;
    }
    return {list, campo};
}

QueryResult withoutMask(const QueryRequest &request, const QueryEnvironment &environment, QueryResult result)
{
    if (!request.SentenciaOpcional.isEmpty()) {
        result.statement = request.SentenciaOpcional;
        return result;
    }
    const QString table = request.SQL.trimmed();
    QString columns;
    if (sameName(table, QStringLiteral("V_TA_DEPOSITO"))) {
        columns = QStringLiteral("Descripcion,IdDeposito,UnidadNegocio,");
        result.CampoBusqueda = QStringLiteral("IDDEPOSITO");
    } else {
        if (!sqlclauses::isPlainName(table)) {
            result.outcome = QueryResult::Outcome::Failed;
            result.problem =
                QStringLiteral("No se puede consultar \"%1\": no es el nombre de una tabla o vista").arg(table);
            return result;
        }
        const std::optional<QStringList> fields = environment.columns(table);
        if (!fields) {
            result.outcome = QueryResult::Outcome::Failed;
            return result;
        }
        const Discovered found = discover(table, *fields, result.CampoBusqueda);
        columns = found.columns;
        result.CampoBusqueda = found.campo;
    }
    columns = columns.trimmed().isEmpty() ? QStringLiteral(" * ") : columns.chopped(1);
    const QString w = QLatin1Char(' ') + result.Where;
    QString statement = limited(environment.rowLimit, columns, table);
    if (!w.trimmed().isEmpty())
        statement += QStringLiteral(" WHERE ");
    result.statement = ordered(statement + w, result.CampoBusqueda);
    return result;
}

QString maskColumns(const QString &field)
{
    QString columns = field;
    columns = columns.replace(QLatin1Char('|'), QLatin1Char(',')).trimmed();
    if (columns.startsWith(QLatin1Char(',')))
        columns.remove(0, 1);
    if (columns.endsWith(QLatin1Char(',')))
        columns.chop(1);
    return columns.isEmpty() ? QStringLiteral("*") : columns;
}

QueryResult fromMask(const MaskLookup &found, QueryResult result, int n)
{
    QString view = found.mask.Vista;
    const QString columns = maskColumns(found.mask.Columnas);
    if (result.CampoBusqueda.isEmpty()) {
        if (!columns.contains(QLatin1Char(','))) {
            result.outcome = QueryResult::Outcome::NoSearchColumn;
            return result;
        }
        result.CampoBusqueda = columns.left(columns.indexOf(QLatin1Char(',')));
    }
    QString w = found.mask.Condicion;
    if (w.isEmpty() && !result.Where.trimmed().isEmpty())
        w = result.Where;
    if ((sameName(view, QStringLiteral("VT_PROVEEDORES")) || sameName(view, QStringLiteral("VT_CLIENTES")))
        && w.isEmpty())
        w = QStringLiteral("Dada_De_Baja = 0");
    if (sameName(view, QStringLiteral("V_MA_ARTICULOS"))) {
        view = QStringLiteral("VT_MA_ARTICULOS");
        if (w.isEmpty())
            w = QStringLiteral("SUSPENDIDO = 0");
    }
    const bool searched = !result.CampoBusqueda.trimmed().isEmpty();
    QString statement =
        limited(n, columns, view) + (searched ? QStringLiteral("  with(nolock) ") : QStringLiteral(" with(nolock) "));
    if (!w.trimmed().isEmpty())
        statement += QStringLiteral(" WHERE ");
    result.statement = ordered(statement + w, result.CampoBusqueda);
    return result;
}

} // namespace

int rowLimitFrom(const QString &topConsArt)
{
    const double n = std::nearbyint(db::sqltext::leadingNumber(topConsArt));
    return n <= 0 || n > 2147483647.0 ? 1000 : int(n);
}

QueryResult buildQuery(const QueryRequest &request, const QueryEnvironment &environment)
{
    QueryResult result;
    result.CampoBusqueda = request.CampoBusqueda;
    result.Where = wrapped(withoutWhereKeyword(request.Where));
    if (request.SQL.contains(QStringLiteral("SELECT"), Qt::CaseInsensitive))
        return completeStatement(request, result);
    if (environment.useMasks) {
        const MaskLookup found = environment.mask(request.SQL);
        if (found.outcome == MaskLookup::Outcome::Damaged) {
            result.outcome = QueryResult::Outcome::Failed;
            result.problem = QStringLiteral("La máscara de consulta de %1 (registro %2 de %3) está dañada: %4")
                                 .arg(request.SQL.trimmed())
                                 .arg(found.record)
                                 .arg(found.file, found.problem);
            return result;
        }
        if (found.outcome == MaskLookup::Outcome::Found)
            return fromMask(found, result, environment.rowLimit);
    }
    return withoutMask(request, environment, result);
}

} // namespace lookup
