#include "TablaLocal.h"

#include "package/Format.h"

#include "db/DB_Dll.h"
#include "db/SqlText.h"
#include "platform/Decimal.h"
#include "platform/ado/Recordset.h"
#include "platform/ado/Types.h"

#include <QRegularExpression>

#include <charconv>
#include <cmath>

namespace recepcion {

namespace {

ClaseColumna claseDe(DB_Dll &db, long tipo)
{
    if (db.ADOText(tipo))
        return ClaseColumna::Texto;
    if (db.ADOBoolean(tipo))
        return ClaseColumna::Booleano;
    if (db.ADONumeric(tipo) || db.ADOCurrency(tipo))
        return ClaseColumna::Numero;
    if (db.adodate(tipo))
        return ClaseColumna::Fecha;
    return ClaseColumna::Otra;
}

QString sinPrefijoAdmin(QString tabla)
{
    static const QString prefijo = QStringLiteral("@ADMIN_");
    if (tabla.startsWith(prefijo, Qt::CaseInsensitive))
        tabla.remove(0, prefijo.size());
    return tabla.trimmed();
}

} // namespace

platform::Result<TablaLocal> TablaLocal::leer(DB_Dll &db, const QString &tabla)
{
    TablaLocal t;
    t.m_nombre = sinPrefijoAdmin(tabla);
    try {
        auto rs = db.gCnn.Execute(QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(t.m_nombre));
        ado::Fields fields = rs->fields();
        for (int i = 0; i < fields.Count(); ++i) {
            const ado::Field f = fields.Item(i);
            const long tipo = long(f.Type());
            const ClaseColumna clase = claseDe(db, tipo);
            const bool exacto = db.ADOCurrency(tipo) || tipo == ado::adNumeric || tipo == ado::adDecimal;
            t.m_columnas.push_back({f.Name(), tipo, clase == ClaseColumna::Texto ? f.DefinedSize() : 0, clase, exacto});
        }
    } catch (const platform::RuntimeError &e) {
        return platform::Result<TablaLocal>::failure(
            QStringLiteral("No se pueden leer las columnas de la tabla %1: %2").arg(t.m_nombre, e.Description()),
            int(e.Number()));
    }
    return t;
}

int TablaLocal::indice(const QString &nombre) const
{
    const QString buscado = nombre.trimmed();
    for (size_t i = 0; i < m_columnas.size(); ++i) {
        if (m_columnas[i].nombre.compare(buscado, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

namespace {

using Valor = platform::Result<platform::Variant>;

Valor texto(const ColumnaLocal &c, const QString &t, const QString &nombre)
{
    if (c.largo <= 0 || t.size() <= c.largo)
        return platform::Variant(t);
    if (QStringView(t).mid(c.largo).trimmed().isEmpty())
        return platform::Variant(t.left(c.largo));
    return Valor::failure(QStringLiteral("valor demasiado largo para la columna %1 (%2 caracteres, admite %3)")
                              .arg(nombre)
                              .arg(t.size())
                              .arg(c.largo));
}

// More significant digits than a double keeps: such an amount must not travel as one.
bool masCifrasQueUnDouble(const QString &t)
{
    int cifras = 0;
    bool significativa = false;
    for (const QChar c : t) {
        if (!c.isDigit())
            continue;
        significativa = significativa || c != QLatin1Char('0');
        cifras += significativa ? 1 : 0;
    }
    return cifras > 15;
}

// The amount's digits with a decimal point, as readNumber reads them ("1.234,5" is 1234.5).
QString textoExacto(const QString &t)
{
    QString s = t.trimmed();
    if (s.contains(QLatin1Char(',')) && s.contains(QLatin1Char('.')))
        s.remove(QLatin1Char('.'));
    s.replace(QLatin1Char(','), QLatin1Char('.'));
    const auto exacto = platform::Decimal::fromText(s);
    return exacto.ok() ? exacto.value().toString(QLatin1Char('.')) : s;
}

Valor numero(const ColumnaLocal &c, const QString &t, const QString &nombre)
{
    const std::optional<double> n = package::readNumber(t);
    if (!n)
        return Valor::failure(QStringLiteral("la columna %1 espera un número y el valor es \"%2\"").arg(nombre, t));
    // A money or decimal column keeps every digit the package sends; the database stores the
    // text exactly or refuses it as out of range, as SQL Server does.
    if (c.exacto && masCifrasQueUnDouble(t)) {
        // Only where the double does not hold the written value: "3,2100000000000004" stays a
        // double, and keeps the statement prepared for doubles
        char cifras[40];
        const auto fin = std::to_chars(cifras, cifras + sizeof cifras, *n, std::chars_format::fixed).ptr;
        const QString exacto = textoExacto(t);
        if (exacto != QLatin1String(cifras, fin - cifras))
            return platform::Variant(exacto);
    }
    if (*n == std::floor(*n) && std::fabs(*n) < 1e15)
        return platform::Variant(static_cast<long long>(*n));
    return platform::Variant(*n);
}

Valor booleano(const QString &t, const QString &nombre)
{
    const QString u = t.trimmed().toUpper();
    if (u == QLatin1String("TRUE") || u == QLatin1String("VERDADERO"))
        return platform::Variant(true);
    if (u == QLatin1String("FALSE") || u == QLatin1String("FALSO"))
        return platform::Variant(false);
    const std::optional<double> n = package::readNumber(t);
    if (!n)
        return Valor::failure(QStringLiteral("la columna %1 espera 0 o 1 y el valor es \"%2\"").arg(nombre, t));
    return platform::Variant(*n != 0);
}

Valor fecha(const QString &t, const QString &nombre)
{
    if (t.trimmed().isEmpty())
        return platform::Variant::null();
    const std::optional<QDateTime> d = package::readDate(t);
    if (!d)
        return Valor::failure(
            QStringLiteral("la columna %1 espera una fecha (dd/mm/aaaa) y el valor es \"%2\"").arg(nombre, t));
    return platform::Variant(*d);
}

} // namespace

platform::Result<platform::Variant> valorPara(const ColumnaLocal &c, const QString &t, const QString &nombre)
{
    const QString &n = nombre.isEmpty() ? c.nombre : nombre;
    if (package::isNull(t))
        return platform::Variant::null();
    switch (c.clase) {
    case ClaseColumna::Texto:
        return texto(c, t, n);
    case ClaseColumna::Numero:
        return numero(c, t, n);
    case ClaseColumna::Booleano:
        return booleano(t, n);
    case ClaseColumna::Fecha:
        return fecha(t, n);
    case ClaseColumna::Otra:
        break;
    }
    return platform::Variant(t);
}

QString nombreSql(const QString &columna)
{
    static const QRegularExpression palabra(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return palabra.match(columna).hasMatch() ? columna : QLatin1Char('[') + columna + QLatin1Char(']');
}

} // namespace recepcion
