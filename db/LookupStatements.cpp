#include "db/LookupStatements.h"

#include "db/SqlText.h"

namespace db {

namespace {
const long kText = 8;
const long kDate = 7;
// Text keys are escaped so that an apostrophe cannot end the literal early.
QString quoted(const QString &value) { return sqltext::escapeQuotes(value); }
} // namespace

bool LookupStatements::isNumericType(long keyType) { return keyType == 3 || keyType == 5 || keyType == 4; }

QString LookupStatements::numericKey(const QString &value)
{
    return sqltext::plainNumber(sqltext::leadingNumber(value));
}

// " " when the condition brings its own WHERE, else " WHERE ".
QString LookupStatements::whereJoin(const QString &condition)
{
    return sqltext::containsNoCase(condition, QStringLiteral(" WHERE ")) ? QStringLiteral(" ")
                                                                         : QStringLiteral(" WHERE ");
}

QString LookupStatements::maximo(const QString &table, const QString &column, const QString &condition)
{
    QString s = QStringLiteral("SELECT MAX(") + column + QStringLiteral(") AS MAYOR FROM ") + table;
    if (!condition.trimmed().isEmpty())
        s += QStringLiteral(" WHERE ") + condition.trimmed();
    return s;
}

QString LookupStatements::minimo(const QString &table, const QString &column, const QString &condition)
{
    QString s = QStringLiteral("SELECT MIN(") + column + QStringLiteral(") AS MENOR FROM ") + table
        + QStringLiteral("  with(nolock) ");
    if (!condition.trimmed().isEmpty())
        s += QStringLiteral(" WHERE ") + condition.trimmed();
    return s;
}

QString LookupStatements::ultimoCodigo(const QString &table, const QString &column, const QString &condition)
{
    QString s = QStringLiteral("SELECT MAX(") + column + QStringLiteral(") AS MAYOR FROM ") + table;
    if (!condition.trimmed().isEmpty())
        s += QStringLiteral(" WHERE ") + condition;
    return s;
}

QString LookupStatements::existe(const QString &table, const QString &value, const QString &column, long keyType,
                                 const QString &condition)
{
    const QString prefix = QStringLiteral("SELECT TOP 1 * FROM ") + table;
    if (!condition.isEmpty())
        return prefix + QStringLiteral(" with(nolock) ") + whereJoin(condition) + condition;
    const QString where = QStringLiteral(" with(nolock)  WHERE ") + column;
    if (keyType == kText)
        return QStringLiteral("SELECT TOP 1  * FROM ") + table + QStringLiteral(" with(nolock)  WHERE LTRIM(RTRIM(")
            + column + QStringLiteral(")) ='") + quoted(value.trimmed()) + QLatin1Char('\'');
    if (keyType == kDate)
        return prefix + where + QStringLiteral(" = ") + value.trimmed() + QLatin1Char(' ');
    if (isNumericType(keyType))
        return prefix + where + QStringLiteral(" = ") + numericKey(value);
    return prefix + where + QStringLiteral(" = ") + value;
}

QString LookupStatements::existeST(const QString &table, const QString &value, const QString &column, long keyType,
                                   const QString &condition)
{
    const QString prefix = QStringLiteral("SELECT * FROM ") + table;
    if (!condition.isEmpty())
        return prefix + QStringLiteral(" with(nolock)  ") + whereJoin(condition) + condition;
    const QString where = QStringLiteral(" with(nolock)   WHERE ") + column;
    if (keyType == kText)
        return prefix + where + QStringLiteral(" ='") + quoted(value) + QLatin1Char('\'');
    if (keyType == kDate)
        return prefix + where + QStringLiteral(" = ") + value.trimmed() + QLatin1Char(' ');
    if (isNumericType(keyType))
        return prefix + where + QStringLiteral(" = ") + numericKey(value);
    return prefix + where + QStringLiteral(" = ") + value;
}

QString LookupStatements::datosTabla(const QString &table, const QString &value, const QString &column, long keyType,
                                     const QString &condition, bool trimmed)
{
    const QString extra = condition.trimmed().isEmpty() ? QString() : QStringLiteral(" AND ") + condition;
    QString s = QStringLiteral("SELECT TOP 1 * FROM ") + table;
    const QString where = QStringLiteral(" with(nolock)  WHERE ");
    if (keyType == kText && trimmed)
        s += where + QStringLiteral("LTRIM(RTRIM(") + column + QStringLiteral(")) ='") + quoted(value.trimmed())
            + QStringLiteral("' ") + extra;
    else if (keyType == kText)
        s += where + column + QStringLiteral(" ='") + quoted(value) + QStringLiteral("' ") + extra;
    else if (keyType == kDate)
        s += where + column + QStringLiteral(" = #") + value.trimmed() + QStringLiteral("# ") + extra;
    else if (isNumericType(keyType))
        s += where + column + QStringLiteral(" = ") + numericKey(value) + extra;
    else
        s += where + column + QStringLiteral(" = ") + value + extra;
    return s;
}

QString LookupStatements::sinCodigosCero(const QString &condition)
{
    const QString rule = QStringLiteral("substring(ltrim(idarticulo),1,1)<>'0'");
    if (condition.trimmed().isEmpty())
        return QLatin1Char(' ') + rule;
    return condition + QStringLiteral(" and ") + rule;
}

} // namespace db
