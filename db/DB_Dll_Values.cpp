// DB_Dll: SQL literals and the column-type classes.
#include "db/DB_Dll.h"

#include "db/SqlText.h"
#include "platform/suite/Funciones.h"

#include <algorithm>
#include <initializer_list>

namespace {

bool oneOf(long type, std::initializer_list<long> accepted)
{
    return std::find(accepted.begin(), accepted.end(), type) != accepted.end();
}

} // namespace

QString DB_Dll::SQLValue(const platform::Variant &value, const QString &kind) const
{
    const bool number = kind == QStringLiteral("@");
    if (value.isNull())
        return number ? QStringLiteral("0") : QStringLiteral("NULL");
    if (number)
        return platform::suite::gFunciones().LiteralMoneda(value.toString());
    if (kind == QStringLiteral("'"))
        return QLatin1Char('\'') + db::sqltext::escapeQuotes(value.toString()) + QLatin1Char('\'');
    return value.toString();
}

bool DB_Dll::adodate(long type) const { return oneOf(type, {7, 64, 133, 134, 135, 137}); }

bool DB_Dll::ADOText(long type) const { return oneOf(type, {8, 129, 130, 200, 201, 202, 203}); }

bool DB_Dll::ADONumeric(long type) const { return oneOf(type, {2, 3, 4, 5, 14, 16, 17, 18, 19, 20, 21, 131}); }

bool DB_Dll::ADOCurrency(long type) const { return type == 6; }

bool DB_Dll::ADOBoolean(long type) const { return type == 11; }

QString DB_Dll::ADOComilla(long type) const { return adodate(type) || ADOText(type) ? QStringLiteral("'") : QString(); }
