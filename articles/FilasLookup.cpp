#include "FilasLookup.h"

#include "Sql.h"

namespace articles {

void EscribirFilaLookup(int i, const QString &codigo, const QString &descripcionNueva, const QString &descripcion)
{
    const QString tabla = QString::fromLatin1(kTablasLookup[i].consulta);
    const QString columna = QString::fromLatin1(kTablasLookup[i].columna);
    const QString clave = sql::texto(codigo);
    const QString existe =
        QStringLiteral("exists(select %1 from %2 where %1 = %3) \r\n ").arg(columna.toLower(), tabla, clave);
    sql::ejecutarAvisando(QStringLiteral("if not ") + existe + QStringLiteral("insert into ") + tabla
                          + QStringLiteral(" (") + columna + QStringLiteral(", descripcion) values (") + clave
                          + QLatin1Char(',') + sql::texto(descripcionNueva) + QLatin1Char(')'));
    sql::ejecutarAvisando(QStringLiteral("if ") + existe + QStringLiteral("update ") + tabla
                          + QStringLiteral(" set descripcion = ") + sql::texto(descripcion) + QStringLiteral(" where ")
                          + columna + QStringLiteral(" = ") + clave);
}

} // namespace articles
