#include "ElCodigo.h"

#include "Numeracion.h"
#include "Sql.h"

#include "db/DB_Dll.h"
#include "platform/suite/Funciones.h"
#include "platform/ui/Operator.h"

#include <QStringList>

namespace articles {

namespace {

using platform::suite::gFunciones;

constexpr long kTexto = 8;
constexpr int kLargoLookup = 4;
constexpr int kLargoConfiguracion = 25;
const QChar kSeparadorNiveles(0xFF);

bool es(const QString &tabla, const char *nombre)
{
    return tabla.compare(QLatin1String(nombre), Qt::CaseInsensitive) == 0;
}

QString literal(const QString &texto) { return sql::texto(texto); }

// The statement's one value as a Variant (Null when the column is Null); nullopt when the
// query gave no row. A query that could not run raises, with the provider's description.
std::optional<platform::Variant> unValor(const QString &sentencia, const QString &columna)
{
    ado::Recordset rs;
    if (!gDB().AbrirRecordset(sentencia, rs, nullptr, ado::adOpenForwardOnly, ado::adLockReadOnly, -1, true))
        throw sql::fallo(QStringLiteral("ElCodigo"));
    std::optional<platform::Variant> valor;
    if (!rs.EOF())
        valor = rs.value(columna);
    gDB().CierraRecordset(rs);
    return valor;
}

// Runs an insert; a failure is shown (the first provider error, OK only) and gives false.
bool insertar(const QString &sentencia) { return sql::ejecutarAvisando(sentencia); }

void sinCodigosLibres(const QString &tabla, const QString &descripcion)
{
    platform::msgBox(
        QStringLiteral("No quedan códigos libres en %1: no se puede crear \"%2\".").arg(tabla, descripcion),
        platform::vbCritical | platform::vbOKOnly, QStringLiteral("Aviso al operador..."));
}

// A found row's key, as stored.
QString existente(const QString &tabla, const QString &descripcion, const QString &columna, const QString &condicion)
{
    ado::Recordset rs;
    rs.setLockType(ado::adLockReadOnly);
    QString codigo;
    if (gDB().ExisteEnTablaST(tabla, descripcion, QStringLiteral("descripcion"), &rs, kTexto, condicion, false))
        codigo = gFunciones().NuloAVacio(rs.value(columna));
    gDB().CierraRecordset(rs);
    return codigo;
}

QString tipoRubroUnidad(const QString &tabla, const QString &descripcion, const QString &columna, bool justificar)
{
    const QString hallado = existente(tabla, descripcion, columna, QString());
    if (!hallado.isEmpty())
        return hallado;
    QString codigo = CodigoPorPrefijo([&](QChar prefijo) {
        return unValor(QStringLiteral("SELECT MAX(%1) AS Maximo From %2 WHERE (SUBSTRING(%1, 1, 1) = %3) ")
                           .arg(columna, tabla, literal(prefijo)),
                       QStringLiteral("Maximo"));
    });
    if (codigo.isEmpty()) {
        sinCodigosLibres(tabla, descripcion);
        return QString();
    }
    if (justificar)
        codigo = gFunciones().AlinearDerecha(codigo, kLargoLookup);
    const bool ok = insertar(QStringLiteral("insert into %1(%2,descripcion) values(%3,%4)")
                                 .arg(tabla, columna.toLower(), literal(codigo), literal(descripcion)));
    return ok ? codigo : QString();
}

QString nuevaFamilia(const QString &tabla, const QString &padre, int largo)
{
    const QString columna = QStringLiteral("Idfamilia");
    const QString nivel = QStringLiteral("LEN(LTRIM(RTRIM(") + columna + QStringLiteral("))) = ")
        + QString::number(largo) + QLatin1Char(' ');
    QString condicion = QStringLiteral(" WHERE ") + nivel;
    if (!padre.isEmpty())
        condicion = QStringLiteral(" WHERE substring(idfamilia,1,") + QString::number(padre.size())
            + QStringLiteral(") = ") + literal(padre) + QStringLiteral(" and ") + nivel;
    const std::optional<platform::Variant> maximo = unValor(
        QStringLiteral("SELECT MAX(%1) AS Maximo From %2").arg(columna, tabla) + condicion, QStringLiteral("Maximo"));
    return maximo ? CodigoDeFamilia(padre, largo, *maximo).trimmed() : QString();
}

QString familias(const QString &tabla, QString &descripcion)
{
    const QStringList niveles = descripcion.split(kSeparadorNiveles);
    QString codigo;
    QString padre;
    for (qsizetype i = 0; i < niveles.size(); ++i) {
        descripcion = niveles[i].trimmed();
        if (descripcion.isEmpty())
            continue;
        const int largo = int(2 * (i + 1));
        QString condicion = QStringLiteral(" where Descripcion = ") + literal(descripcion)
            + QStringLiteral(" and len(ltrim(rtrim(idfamilia))) = ") + QString::number(largo);
        // a level is found only under its own parent
        if (!padre.isEmpty())
            condicion += QStringLiteral(" and substring(idfamilia,1,") + QString::number(padre.size())
                + QStringLiteral(") = ") + literal(padre);
        codigo = existente(tabla, descripcion, QStringLiteral("IdFamilia"), condicion).trimmed();
        if (codigo.isEmpty()) {
            codigo = nuevaFamilia(tabla, padre, largo);
            if (codigo.isEmpty()) {
                sinCodigosLibres(tabla, descripcion);
                return QString();
            }
            if (!insertar(QStringLiteral("insert into %1(idfamilia,descripcion) values(%2,%3)")
                              .arg(tabla, literal(codigo), literal(descripcion))))
                return QString();
        }
        padre = codigo;
    }
    return codigo;
}

QString colorTalle(const QString &tabla, const QString &descripcion, bool esColor)
{
    const QString recortada = descripcion.trimmed();
    if (recortada.isEmpty())
        return QString();
    const QString clave = esColor ? QStringLiteral("COLOR_ART_") : QStringLiteral("TALLE_ART_");
    const std::optional<platform::Variant> hallado =
        unValor(QStringLiteral("SELECT * FROM TA_CONFIGURACION WHERE VALOR = %1 AND CLAVE LIKE '%2%'")
                    .arg(literal(recortada), clave),
                QStringLiteral("Descripcion"));
    if (hallado)
        return gFunciones().NuloAVacio(*hallado);
    const std::optional<platform::Variant> maximo =
        unValor(QStringLiteral("SELECT MAX(DESCRIPCION) AS Maximo From TA_CONFIGURACION WHERE CLAVE LIKE %1 ")
                    .arg(literal(tabla + QStringLiteral("_ART_%"))),
                QStringLiteral("Maximo"));
    QString numero = QStringLiteral("1");
    if (maximo && !maximo->isNull()) {
        const std::optional<QString> siguiente = SumarUno(maximo->toString().mid(1));
        if (!siguiente)
            throw platform::RuntimeError(13, QStringLiteral("No coinciden los tipos: '%1'").arg(maximo->toString()));
        numero = QString::number(siguiente->toLongLong());
    }
    const QString codigo = gFunciones().AlinearDerecha(numero, kLargoConfiguracion);
    const QString valor = esColor ? descripcion : recortada;
    const bool ok =
        insertar(QStringLiteral("insert into TA_CONFIGURACION(Grupo,Clave,Valor,Descripcion) values('DATOS',%1,%2,%3)")
                     .arg(literal(clave + recortada), literal(valor), literal(codigo)));
    return ok ? codigo : QString();
}

} // namespace

QString LetraDeSexo(const QString &descripcion)
{
    const QString d = descripcion.trimmed().toUpper();
    const auto una = [&d](std::initializer_list<const char *> palabras) {
        for (const char *p : palabras) {
            if (d == QLatin1String(p))
                return true;
        }
        return false;
    };
    if (una({"M", "MASCULINO", "MAN", "MEN"}))
        return QStringLiteral("M");
    if (una({"F", "FEMENINO", "FEMALE", ""}))
        return QStringLiteral("F");
    if (una({"D", "DERECHO", "DERECHA"}))
        return QStringLiteral("D");
    if (una({"I", "IZQUIERDO", "IZQUIERDA"}))
        return QStringLiteral("I");
    return QStringLiteral("U");
}

QString ElCodigo(const QString &tabla, QString &descripcion)
{
    descripcion =
        gFunciones().QuitarCaracteres(descripcion, QStringLiteral("'"), QStringLiteral("\""), QStringLiteral(","));
    const bool enBlanco = descripcion.trimmed().isEmpty();
    if (es(tabla, "v_ta_tipoarticulo"))
        return enBlanco ? QString() : tipoRubroUnidad(tabla, descripcion, QStringLiteral("IdTipo"), false);
    if (es(tabla, "v_ta_rubros"))
        return enBlanco ? QString() : tipoRubroUnidad(tabla, descripcion, QStringLiteral("IdRubro"), true);
    if (es(tabla, "v_ta_familias"))
        return familias(tabla, descripcion);
    if (es(tabla, "v_ta_Unidad"))
        return enBlanco ? QString() : tipoRubroUnidad(tabla, descripcion, QStringLiteral("IdUnidad"), true);
    if (es(tabla, "Color"))
        return colorTalle(tabla, descripcion, true);
    if (es(tabla, "Talle"))
        return colorTalle(tabla, descripcion, false);
    if (es(tabla, "Sexo"))
        return LetraDeSexo(descripcion);
    return QString();
}

} // namespace articles
