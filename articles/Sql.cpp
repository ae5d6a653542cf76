#include "Sql.h"

#include "FrmArtAltaModelo.h"

#include "db/DB_Dll.h"
#include "platform/Logger.h"
#include "platform/Paths.h"
#include "platform/ui/Operator.h"

namespace articles::sql {

QString texto(const QString &valor) { return gDB().SQLValue(platform::Variant(valor), QStringLiteral("'")); }

QString fecha(const QDateTime &momento)
{
    return QLatin1Char('\'') + momento.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + QLatin1Char('\'');
}

QString clase(const QString &configurada)
{
    const QString t = configurada.trimmed();
    if (t.isEmpty())
        return QStringLiteral("1");
    for (const QChar c : t) {
        if (!c.isDigit()) {
            platform::logger().warning(QStringLiteral("Clase de precio \"%1\" no es un número: se usa 1").arg(t));
            return QStringLiteral("1");
        }
    }
    return t;
}

QString tipoLista()
{
    const bool compras =
        !gProgramaCompras.isEmpty() && platform::executableName().compare(gProgramaCompras, Qt::CaseInsensitive) == 0;
    return compras ? QStringLiteral("C") : QStringLiteral("V");
}

bool ejecutarAvisando(const QString &sentencia)
{
    const bool ok = gDB().EjecutaConsultaSQL(sentencia);
    const ado::Errors &errors = gDB().gCnn.errors();
    if (ok && errors.isEmpty())
        return true;
    platform::msgBox(errors.isEmpty() ? sentencia : errors.Item(0).Description, platform::vbOKOnly);
    return false;
}

platform::RuntimeError fallo(const QString &rutina)
{
    const ado::Errors &errors = gDB().gCnn.errors();
    if (errors.isEmpty())
        return platform::RuntimeError(-1, QStringLiteral("No se pudo leer la base de datos"), rutina);
    return platform::RuntimeError(errors.Item(0).Number, errors.Item(0).Description, rutina);
}

} // namespace articles::sql
