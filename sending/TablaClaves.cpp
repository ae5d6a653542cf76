#include "TablaClaves.h"

#include <QHash>
#include <QStringList>

namespace ModGruposEmp {

namespace {

// A name the naming rule serves: "ID" and the name without its prefix, one final "S"
// removed unless `conLetraFinal`; `fijas`, when given, instead of the rule.
struct Nombrada {
    const char *nombre;
    QStringList fijas = {};
    bool conLetraFinal = false;
};

const Nombrada kNombradas[] = {
    // Lookup tables of the sales side.
    {"V_TA_Cajas", {"IDCajas"}},
    {"V_TA_Bancos"},
    {"V_TA_MotivoVta"},
    {"V_TA_MotivoCpra"},
    {"V_TA_Deposito"},
    {"V_TA_Tecnicos"},
    {"V_TA_Tareas"},
    {"V_TA_Unidad"},
    {"V_TA_TipoArticulo", {"IDTIPO"}},
    {"V_TA_Rubros"},
    {"V_TA_MotivoStock"},
    {"V_TA_CPRA_VTA", {"IDCOND_CPRA_VTA"}},
    {"V_TA_CATEGORIA"},
    {"V_TA_DESTINO"},
    {"V_TA_ORIGEN"},
    {"V_MA_ARTICULOS"},
    {"MA_ARTICULOS", {"IDARTICULO", "DESCRIPCION"}},
    {"TA_Categoria"},
    {"TA_Deposito"},
    {"TA_MotivoStock"},
    {"TA_TipoArticulo", {"IDTIPO"}},
    {"TA_Rubros"},
    // Personnel tables.
    {"P_TA_NIVELESTUDIO"},
    {"P_TA_CONOCIMIENTOS"},
    {"P_TA_Categorizacion"},
    {"P_TA_CentroMedico"},
    {"P_TA_FormasDePago"},
    {"P_MA_Empresas"},
    {"P_TA_ZONARESIDENCIA"},
    {"P_TA_ObraSocial"},
    {"P_TA_MotivoEgreso"},
    {"P_TA_Grupos"},
    {"P_TA_EstadoBusqueda"},
    {"P_TA_Areas", {}, true},
    {"P_TA_IDIOMAS"},
    {"P_TA_TITULOs"},
    {"P_TA_ESTADOPOSTULANTE"},
    {"P_TA_Parentesco"},
    {"P_TA_EstadoCivil"},
    {"P_TA_Funciones", {}, true},
};

struct Exacta {
    const char *nombre;
    QStringList claves;
};

const Exacta kExactas[] = {
    {"V_TA_CategoriaArticulo", {"IdCategoria"}},
    {"V_TA_PERCEPCION", {"IDPERCEPCION"}},
    {"V_TA_RETENCIONES", {"IDRETENCION"}},
    {"V_ta_PoliticaPrecios", {"codigo"}},
    {"V_TA_TarifaFlete", {"IdTarifaFlete"}},
    {"V_TA_UnidadNegocio", {"Codigo"}},
    {"V_TA_FAMILIAS", {"IdFamilia"}},
    {"V_TA_FAMILIAS_USUARIOS", {"GrupoUser", "IdFamilia"}},
    {"V_TA_INTERODBC", {"Proveedor"}},
    {"V_TA_Cpte", {"CODIGO", "TALONARIO"}},
    {"v_ta_input_compras", {"IdMotivoCpra", "CondIva"}},
    {"v_ta_input_ventas", {"IdMotivoVta", "CondIva"}},
    {"v_ta_colores", {"Color"}},
    {"v_ta_ctrl_chequeras", {"idbanco", "Serie", "Talonario"}},
    {"v_ta_cuentascomision", {"id"}},
    {"v_ta_vendedores", {"idvendedor"}},
    {"v_ta_vendedorescm", {"idvendedor"}},
    {"v_ta_interfaces", {"nombre"}},
    {"V_TA_Interfaces_Detalle", {"INTERFACE", "NOMBRE_CAMPO"}},
    {"V_TA_Interfaces_asignacionCampos", {"INTERFACE", "CAMPO_ORIGEN", "CAMPO_TABLA", "TABLA_ORIGEN", "CAMPO"}},
    {"V_TA_Interfaces_EquiSueldo", {"TIPO", "SECUENCIA"}},
    {"V_TA_Interfaces_Equivalencia", {"INTERFACE", "CAMPO_ORIGEN", "CAMPO"}},
    {"V_TA_INTERFACES_FILTROS", {"NOMBRE_INTERFACE", "CAMPO"}},
    {"s_ta_equiv", {"IDARTICULO", "IDUNIDAD", "IDUNIDAD_EQUIV"}},
    {"V_MA_ARTCATREL", {"IDARTICULO", "IDCATEGORIA"}},
    {"V_MA_INSUMOS", {"IDARTICULO", "IDARTICULOINSUMO"}},
    // Keyed as the reception keys it: without a row here every stamp would reach the
    // whole table.
    {"V_MA_INSUMOSTAREAS", {"IDARTICULO", "IDTAREA"}},
    {"V_MA_PRECIOS", {"IDLISTA", "TipoLista", "IDARTICULO"}},
    {"V_MA_PRECIOSCAB", {"IDLISTA", "TIPOLISTA"}},
    {"AC_VENTASDIARIA", {"UNEGOCIO", "FECHA", "IDARTICULO"}},
    {"AC_VENTASMES", {"UNEGOCIO", "FECHA", "IDARTICULO"}},
    {"ta_cai", {"cuenta", "cai", "vencimiento", "tc", "Sucursal", "Letra"}},
    {"TA_Cpte", {"CODIGO", "DESCRIPCION"}},
    {"TA_USUARIOS", {"NOMBRE", "GRUPO"}},
    {"TA_REPORTES", {"NOMBRE"}},
    {"MA_MODELOS", {"TIPO_REG", "NOMBRE", "SECUENCIA"}},
    {"MA_CHOFERES", {"CODIGO", "NOMBRES"}},
    {"MA_DESTINATARIOS", {"CODIGO", "NOMBRE"}},
    {"MA_VEHICULOS", {"PATENTE", "MODELO"}},
    {"MA_CONTACTOS", {"NOMBRE_Y_APELLIDO"}},
    {"MA_CUENTASCCOSTO", {"CODIGO", "CCOSTO"}},
    {"MA_CUENTASCCOSTO_UNEG", {"CODIGO", "CCOSTO", "UNEGOCIO"}},
    {"MA_CUENTAS_CCDIST", {"ID"}},
    {"MV_EJERCICIOS", {"PERIODO"}},
    {"MV_APLICACION",
     {"CUENTA", "TC", "SUCURSAL", "NUMERO", "LETRA", "TCO_ORIGEN", "IDCOMPROBANTE_ORIGEN", "IDCOMPROBANTE_PRINT"}},
    {"MV_ASIENTOS", {"CUENTA", "SECUENCIA", "TC", "SUCURSAL", "NUMERO", "LETRA", "[NUMERO ASIENTO]", "MES_OPERATIVO"}},
    {"MV_ASIENTOSCCOSTO",
     {"PERIODO", "MES_OPERATIVO", "[NUMERO ASIENTO]", "CUENTA", "SECUENCIA", "CCOSTO", "TIPO_REG"}},
    {"V_MV_STATUS", {"TC", "IDCOMPROBANTE", "IDTAREA", "FECHAHORA"}},
    {"V_MV_CPTE", {"TC", "IDCOMPROBANTE", "IDCOMPLEMENTO"}},
    {"V_MV_CPTE_ELECTRONICOS", {"TC", "IDCOMPROBANTE", "IDREQUERIMIENTO"}},
    {"V_MV_CPTE_OBSERV", {"TC", "IDCOMPROBANTE", "IDCOMPLEMENTO", "SECUENCIA"}},
    {"V_MV_CPTEACCIONES", {"TC", "IDCOMPROBANTE", "IDCOMPLEMENTO", "TIPO_ACCION", "FECHAHORA", "SYSTEMUSER"}},
    {"V_MV_CPTEDOC", {"TC", "IDCOMPROBANTE", "IDCOMPLEMENTO", "DOCUMENTO"}},
    {"V_MV_CPTEENCOMISION", {"TC", "IDCOMPROBANTE", "IDCOMPLEMENTO", "CUENTA", "IMPORTE"}},
    {"V_MV_CPTEINSUMOS", {"TC", "IDCOMPROBANTE", "IDCOMPLEMENTO", "IDARTICULO", "SECUENCIA"}},
    {"V_MV_CPTETAREAS", {"TC", "IDCOMPROBANTE", "IDCOMPLEMENTO", "IDTAREA", "SECUENCIA"}},
    {"V_MV_CPTETERCEROS", {"TC", "IDCOMPROBANTE", "IDCOMPLEMENTO", "CUENTA", "DETALLE"}},
    {"V_MV_STOCK", {"TC", "IDCOMPROBANTE", "IDCOMPLEMENTO", "SECUENCIA", "IDARTICULO"}},
    {"V_MV_COMANDA", {"COMANDA", "IDCOMPROBANTE", "IDCOMPROBANTEG"}},
    {"V_MV_PRECIOSHIS", {"FECHAHORA", "IDARTICULO", "USUARIO"}},
    {"C_MV_CPTE", {"TC", "IDCOMPROBANTE", "CUENTA"}},
    {"C_MV_CPTE_OBSERV", {"TC", "IDCOMPROBANTE", "CUENTA", "TIPO_OBS"}},
    {"C_MV_CPTEINSUMOS", {"TC", "IDCOMPROBANTE", "CUENTA", "IDARTICULO", "CANTIDAD"}},
    {"C_MV_CPTETAREAS", {"TC", "IDCOMPROBANTE", "CUENTA", "IDTAREA", "HORAS"}},
    {"P_SINDICATOS", {"IdSindicato"}},
    {"P_MA_Clientes", {"IDCLIENTE"}},
    {"P_MA_FAMILIAR", {"IDEMPRESA", "LEGAJO", "APELLIDO", "NOMBRE"}},
    {"P_MA_LEGAJOS", {"IDEMPRESA", "LEGAJO"}},
    {"P_MV_CTROLHORARIOS", {"IDEMPRESA", "LEGAJO", "FECHAOPERATIVA"}},
    {"P_MV_LIQUIDACIONES", {"EMPRESA", "NRO_LiQ", "LEGAJO", "PRIORIDAD", "CONCEPTO"}},
    {"P_MV_LIQUIDACIONESCAB", {"EMPRESA", "NRO_LiQ", "LEGAJO"}},
};

// Names of the "TA_" prefix with keys of their own (the rest take CODIGO).
const Exacta kPrefijoTA[] = {
    {"ta_configuracion", {"Clave"}},
    {"ta_cotizacion", {"FECHA_HORA"}},
    {"ta_config_form", {"Formulario", "Usuario", "TipoObjeto", "Nombre"}},
    {"TA_CONFIG_IMP_CPTE", {"tc", "letra", "usuario"}},
    {"TA_LOGOS", {"IDLOGO"}},
    {"ta_cuentasiva", {"CFI_IVARI"}},
    {"ta_menu", {"Menu", "Clave"}},
    {"TA_RANGOS_DATOS_ADIC", {"DESCRIPCION"}},
    {"TA_TAREAS", {"USUARIO", "SISTEMA", "TAREA"}},
    {"TA_VISTAS", {"Nombre", "Campo", "TipoVista"}},
    {"TA_MONEDAS_BILLETE", {"CUENTA", "DENOMINACION"}},
};

// "MA_CUE..." names with keys of their own (the rest take CODIGO).
const Exacta kCuentas[] = {
    {"MA_CUENTAS_USUARIOS", {"GrupoUser", "Cuenta"}}, {"MA_CUENTAS", {"codigo"}},
    {"MA_CUENTASSUC", {"CODIGO", "SUCURSAL"}},        {"MA_CUENTAS_AUTOCPTES", {"CUENTA", "SUCURSALCUENTA"}},
    {"MA_CUENTAS_SALDOS", {"CUENTA", "IDVENDEDOR"}},
};

// Other "MA_" names with keys of their own (the rest take Codigo).
const Exacta kOtrosMA[] = {
    {"MA_ClavePIN", {"CUENTA", "MOTIVO", "FECHASOLICITUD"}},
    {"MA_SUBDIARIOSCOMPROBANTES", {"SUBDIARIO", "TC"}},
    {"MA_CALENDARIO", {"FECHA"}},
    {"MA_CASH_CONTROL", {"ID"}},
    {"MA_CASH-DETALLE", {"ID"}},
    {"MA_CASH_PROYECTADO", {"ID"}},
    {"MA_CASH_CTAS_PRINCIPALES", {"ID"}},
    {"MA_CASH-GRUPO", {"CODIGO_CASH"}},
};

template <size_t N> QHash<QString, QStringList> indice(const Exacta (&filas)[N])
{
    QHash<QString, QStringList> mapa;
    for (const Exacta &fila : filas)
        mapa.insert(QString::fromLatin1(fila.nombre).toUpper(), fila.claves);
    return mapa;
}

std::optional<QStringList> buscar(const QHash<QString, QStringList> &mapa, const QString &nombre)
{
    const auto it = mapa.constFind(nombre.toUpper());
    if (it == mapa.constEnd())
        return std::nullopt;
    return *it;
}

QString porReglaDeNombre(const QString &nombre, bool conLetraFinal)
{
    static const QStringList largos = {QStringLiteral("V_TA_"), QStringLiteral("V_MA_"), QStringLiteral("P_TA_"),
                                       QStringLiteral("P_MA_")};
    qsizetype corte = 0;
    for (const QString &prefijo : largos) {
        if (nombre.startsWith(prefijo, Qt::CaseInsensitive))
            corte = 5;
    }
    if (corte == 0
        && (nombre.startsWith(QLatin1String("TA_"), Qt::CaseInsensitive)
            || nombre.startsWith(QLatin1String("MA_"), Qt::CaseInsensitive)))
        corte = 3;
    QString parte = nombre.mid(corte);
    if (!conLetraFinal && parte.endsWith(QLatin1Char('S'), Qt::CaseInsensitive))
        parte.chop(1);
    return QStringLiteral("ID") + parte;
}

std::optional<QStringList> porNombreExacto(const QString &nombre)
{
    static const QHash<QString, QStringList> exactas = indice(kExactas);
    if (auto claves = buscar(exactas, nombre))
        return claves;
    for (const Nombrada &fila : kNombradas) {
        if (nombre.compare(QLatin1String(fila.nombre), Qt::CaseInsensitive) != 0)
            continue;
        if (!fila.fijas.isEmpty())
            return fila.fijas;
        return QStringList{porReglaDeNombre(nombre, fila.conLetraFinal)};
    }
    return std::nullopt;
}

QStringList porPrefijoMA(const QString &nombre)
{
    static const QHash<QString, QStringList> cuentas = indice(kCuentas);
    static const QHash<QString, QStringList> otros = indice(kOtrosMA);
    const QString seis = nombre.left(6).toUpper();
    if (seis == u"MA_PRO" || seis == u"MA_VEN" || seis == u"MA_TRA" || seis == u"MA_AGE")
        return {QStringLiteral("Codigo"), QStringLiteral("Razon_Social")};
    if (seis == u"MA_CLI")
        return {QStringLiteral("Codigo"), QStringLiteral("Codigo_sucursal")};
    if (seis == u"MA_CON")
        return {QStringLiteral("id")};
    if (seis == u"MA_CUE")
        return buscar(cuentas, nombre).value_or(QStringList{QStringLiteral("CODIGO")});
    if (seis == u"MA_EST")
        return {QStringLiteral("ID")};
    return buscar(otros, nombre).value_or(QStringList{QStringLiteral("Codigo")});
}

QStringList porPrefijo(const QString &nombre)
{
    static const QHash<QString, QStringList> prefijoTA = indice(kPrefijoTA);
    const QString tres = nombre.left(3).toUpper();
    if (tres == u"TA_")
        return buscar(prefijoTA, nombre).value_or(QStringList{QStringLiteral("CODIGO")});
    if (tres == u"MA_")
        return porPrefijoMA(nombre);
    const QString seis = nombre.left(6).toUpper();
    if (tres == u"[MA")
        return seis == u"[MA_CA" ? QStringList{QStringLiteral("Codigo"), QStringLiteral("nombre")} : QStringList();
    if (tres == u"MV_") {
        if (seis == u"MV_PRO")
            return {QStringLiteral("ID"), QStringLiteral("ASUNTO")};
        if (seis == u"MV_AGE")
            return {QStringLiteral("ID")};
    }
    return {};
}

} // namespace

Claves claves(const QString &tabla)
{
    QString nombre = tabla;
    nombre.remove(QStringLiteral("@ADMIN_"), Qt::CaseInsensitive);
    const QStringList lista = porNombreExacto(nombre).value_or(porPrefijo(nombre));
    Claves resultado;
    for (size_t i = 0; i < resultado.size() && qsizetype(i) < lista.size(); ++i)
        resultado[i] = lista[qsizetype(i)];
    return resultado;
}

void TablaClaves(const QString &tabla, QString &clave1, QString &clave2, QString &clave3, QString &clave4,
                 QString &clave5, QString &clave6, QString &clave7, QString &clave8)
{
    const Claves c = claves(tabla);
    clave1 = c[0];
    clave2 = c[1];
    clave3 = c[2];
    clave4 = c[3];
    clave5 = c[4];
    clave6 = c[5];
    clave7 = c[6];
    clave8 = c[7];
}

} // namespace ModGruposEmp
