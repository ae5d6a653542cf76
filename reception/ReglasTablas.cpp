#include "ReglasTablas.h"

#include "package/Format.h"

#include <QHash>
#include <QStringList>

namespace recepcion {

namespace {

TerminoClave texto(const char *columna, int ancho = 0)
{
    return TerminoClave{QString::fromLatin1(columna), true, ancho, QString()};
}

TerminoClave numero(const char *columna, const char *siNulo = "")
{
    return TerminoClave{QString::fromLatin1(columna), false, 0, QString::fromLatin1(siNulo)};
}

ReglaTabla regla(const char *tabla, QList<TerminoClave> claves, const char *objeto = nullptr)
{
    ReglaTabla r;
    r.tabla = QString::fromLatin1(tabla);
    r.objetoBusqueda = objeto ? QString::fromLatin1(objeto) : r.tabla;
    r.claves = std::move(claves);
    return r;
}

QList<TerminoClave> clavesAsiento()
{
    return {texto("CUENTA"),          numero("SECUENCIA"), numero("MES_OPERATIVO"),
            numero("NUMERO ASIENTO"), texto("PERIODO"),    texto("TIPO_REG", 4)};
}

QList<ReglaTabla> construirReglas()
{
    QList<ReglaTabla> reglas = {
        regla("V_TA_UNIDAD", {texto("IDUNIDAD", 4)}),
        regla("V_TA_RUBROS", {texto("IDRUBRO", 4)}),
        regla("V_TA_TIPOARTICULO", {texto("IDTIPO", 4)}),
        regla("V_TA_POLITICAPRECIOS", {texto("CODIGO", 4)}),
        regla("V_TA_PERCEPCION", {texto("IDPERCEPCION", 4)}),
        regla("V_TA_FAMILIAS", {texto("IDFAMILIA")}, "@ADMIN_V_TA_FAMILIAS"),
        regla("V_TA_TARIFAFLETE", {texto("IDTARIFAFLETE", 4)}),
        regla("TA_ESTADOS", {texto("CODIGO", 4)}),
        regla("TA_PAISES", {texto("CODIGO", 4)}),
        regla("TA_TIPODOCUMENTO", {texto("CODIGO", 4)}),
        regla("TA_CONDIVA", {texto("CODIGO", 4)}),
        regla("V_TA_CPRA_VTA", {texto("IDCond_Cpra_Vta", 4)}),
        regla("V_TA_CATEGORIA", {texto("IDCATEGORIA", 4)}),
        regla("V_TA_VENDEDORES", {texto("IDVENDEDOR", 4)}),
        regla("V_TA_MOTIVOCPRA", {texto("IDMOTIVOCPRA", 4)}),
        regla("V_TA_MOTIVOVTA", {texto("IDMOTIVOVTA", 4)}),
        regla("V_TA_DEPOSITO", {texto("IDDEPOSITO", 4)}, "@ADMIN_V_TA_DEPOSITO"),
        regla("V_TA_TECNICOS", {texto("IDTECNICO", 4)}),
        regla("MA_CUENTAS", {texto("CODIGO")}),
        regla("MA_CUENTASADIC", {texto("CODIGO")}),
        regla("V_TA_TAREAS", {texto("IDTAREA", 4)}),
        regla("V_MA_INSUMOS", {texto("IDARTICULO", 25), texto("IDARTICULOINSUMO", 25)}),
        regla("V_MA_INSUMOSTAREAS", {texto("IDARTICULO", 25), texto("IDTAREA", 4)}),
        regla("V_MA_ARTICULOS", {texto("IDARTICULO", 25)}),
        regla("S_TA_EQUIV", {texto("IDARTICULO", 25), texto("IDUNIDAD", 4), texto("IDUNIDAD_EQUIV", 4)}),
        regla("V_MA_PRECIOSCAB", {texto("IDLISTA", 4)}),
        regla("V_MA_PRECIOS", {texto("IDLISTA", 4), texto("IDARTICULO", 25)}),
        regla("MV_ASIENTOS", clavesAsiento()),
        regla("MV_ASIENTOSCCOSTO", clavesAsiento() + QList<TerminoClave>{texto("CCOSTO")}),
        regla("MA_CUENTASSUC", {texto("CODIGO"), numero("SUCURSAL")}),
        regla("V_TA_BANCOS", {texto("IDBANCO", 4)}),
        regla("TA_COMPROBANTES", {texto("CODIGO", 4), numero("TALONARIO", "1")}),
        regla("V_TA_CPTE", {texto("CODIGO", 4), numero("TALONARIO", "1")}),
        regla("TA_CONFIGURACION", {texto("CLAVE")}),
        regla("MV_EJERCICIOS", {texto("PERIODO")}),
        regla("TA_CCOSTO", {texto("CODIGO", 4)}),
        regla("MV_APLICACION",
              {texto("CUENTA"), texto("TC"), texto("SUCURSAL"), texto("NUMERO"), texto("LETRA"), texto("TCO_ORIGEN"),
               texto("SUCURSAL_ORIGEN"), texto("NUMERO_ORIGEN"), texto("LETRA_ORIGEN"), numero("IMPORTE")}),
        // Its key terms are built from the line's own fields (ImportadorAsientos).
        regla("V_MV_CPTEACCIONES", {}, "MV_ASIENTOS"),
    };
    for (ReglaTabla &r : reglas) {
        if (r.tabla == QLatin1String("MV_ASIENTOS"))
            r.camino = Camino::LoteAsientos;
        else if (r.tabla == QLatin1String("V_MV_CPTEACCIONES"))
            r.camino = Camino::BorradoAsiento;
        r.saltaClaveVacia = r.tabla == QLatin1String("V_MA_ARTICULOS") || r.tabla == QLatin1String("V_MA_PRECIOS");
    }
    return reglas;
}

bool enLista(const QString &nombre, const QStringList &lista)
{
    return lista.contains(nombre.trimmed(), Qt::CaseInsensitive);
}

} // namespace

const ReglaTabla *reglaTabla(const QString &tabla)
{
    static const QList<ReglaTabla> reglas = construirReglas();
    for (const ReglaTabla &r : reglas) {
        if (r.tabla.compare(tabla.trimmed(), Qt::CaseInsensitive) == 0)
            return &r;
    }
    return nullptr;
}

bool esTablaContable(const QString &tabla)
{
    static const QStringList contables = {QStringLiteral("ma_cuentas"), QStringLiteral("ma_cuentasadic"),
                                          QStringLiteral("ma_cuentassuc"), QStringLiteral("mv_asientos"),
                                          QStringLiteral("mv_asientosccosto")};
    return enLista(tabla, contables);
}

bool esColumnaPrecio(const QString &columna)
{
    static const QStringList precios = [] {
        QStringList l = {
            QStringLiteral("Costo"),    QStringLiteral("Impuestos"),      QStringLiteral("PoliticaPrecios"),
            QStringLiteral("Tasaiva"),  QStringLiteral("ActualizaCosto"), QStringLiteral("CostoInsumos"),
            QStringLiteral("Utilidad"), QStringLiteral("Rec1"),           QStringLiteral("Rec2"),
            QStringLiteral("Rec3")};
        for (int i = 1; i <= 8; ++i)
            l << QStringLiteral("Precio%1").arg(i);
        for (int i = 1; i <= 9; ++i)
            l << QStringLiteral("Dto%1").arg(i);
        return l;
    }();
    return enLista(columna, precios);
}

namespace {

using Tipo = ReglaDeColumna::Tipo;

ReglaDeColumna regla(Tipo tipo, const QString &fija = QString()) { return ReglaDeColumna{tipo, fija}; }

bool esRecepcion(const QString &columna)
{
    return columna.compare(QLatin1String("RECEPCION"), Qt::CaseInsensitive) == 0;
}

ReglaDeColumna reglaContable(const QString &columna)
{
    static const QStringList siempre = {QStringLiteral("codigo"), QStringLiteral("cuenta"), QStringLiteral("Periodo"),
                                        QStringLiteral("Moneda"), QStringLiteral("Tipo_Reg")};
    if (enLista(columna, siempre))
        return regla(Tipo::Siempre);
    if (columna.compare(QLatin1String("Descripcion"), Qt::CaseInsensitive) == 0)
        return regla(Tipo::NuloVacio);
    if (esRecepcion(columna))
        return regla(Tipo::Recepcion);
    return regla(Tipo::SiNoNulo);
}

ReglaDeColumna reglaGeneral(const QString &columna, bool precios)
{
    static const QStringList siempre = {QStringLiteral("codigo"),        QStringLiteral("cuenta"),
                                        QStringLiteral("Periodo"),       QStringLiteral("Moneda"),
                                        QStringLiteral("Tipo_Reg"),      QStringLiteral("SUCURSAL_ORIGEN"),
                                        QStringLiteral("NUMERO_ORIGEN"), QStringLiteral("LETRA_ORIGEN"),
                                        QStringLiteral("IDFAMILIA"),     QStringLiteral("CUENTAPROVEEDOR")};
    if (esRecepcion(columna))
        return regla(Tipo::Recepcion);
    if (columna.compare(QLatin1String("DESDETRIGGER"), Qt::CaseInsensitive) == 0)
        return regla(Tipo::Fija, QStringLiteral("1"));
    if (esColumnaPrecio(columna))
        return regla(precios ? Tipo::SiNoNulo : Tipo::Omitir);
    if (enLista(columna, siempre))
        return regla(Tipo::Siempre);
    if (columna.compare(QLatin1String("PideEquivalencia"), Qt::CaseInsensitive) == 0)
        return regla(Tipo::Equivalencia);
    return regla(Tipo::SiNoNulo);
}

} // namespace

ReglaDeColumna reglaDeColumna(const QString &tabla, const QString &columna, bool precios)
{
    return esTablaContable(tabla) ? reglaContable(columna) : reglaGeneral(columna, precios);
}

DecisionColumna decidir(const ReglaDeColumna &regla, const QString &valor)
{
    switch (regla.tipo) {
    case Tipo::Recepcion:
        return DecisionColumna{true, true, QString()};
    case Tipo::Fija:
        return DecisionColumna{true, false, regla.fija};
    case Tipo::Omitir:
        return DecisionColumna{};
    case Tipo::Siempre:
        return DecisionColumna{true, false, valor};
    case Tipo::NuloVacio:
        return DecisionColumna{true, false, package::isNull(valor) ? QString() : valor};
    case Tipo::SiNoNulo:
        break;
    case Tipo::Equivalencia:
        return DecisionColumna{
            true, false, valor == QLatin1String("0") || valor == QLatin1String("1") ? valor : QStringLiteral("0")};
    }
    return package::isNull(valor) ? DecisionColumna{} : DecisionColumna{true, false, valor};
}

DecisionColumna reglaColumna(const QString &tabla, const QString &columna, const QString &valor, bool precios)
{
    return decidir(reglaDeColumna(tabla, columna, precios), valor);
}

} // namespace recepcion
