#include "ReglasEnvio.h"

#include "TablaClaves.h"

#include "platform/suite/Funciones.h"

namespace envio {

namespace {

bool es(const QString &tabla, std::initializer_list<const char *> nombres)
{
    for (const char *nombre : nombres) {
        if (tabla.compare(QLatin1String(nombre), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

const QString kSinEnviar = QStringLiteral("(TRANSMISION=0 OR TRANSMISION IS NULL)");
const QString kSinBloqueo = QStringLiteral(" with(nolock)");

// Catalogue positions 1 to 6 that are filled, as the catalogue writes them.
QStringList clavesCatalogo(const QString &tabla, const QString &alias = QString())
{
    QStringList claves;
    const ModGruposEmp::Claves c = ModGruposEmp::claves(tabla);
    for (size_t i = 0; i < 6; ++i) {
        if (!c[i].isEmpty())
            claves << (alias.isEmpty() ? c[i] : alias + QLatin1Char('.') + c[i]);
    }
    return claves;
}

QStringList sinCorchetes(const QStringList &claves)
{
    QStringList campos;
    for (QString clave : claves)
        campos << clave.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
    return campos;
}

// The articles or equivalences of one price list: every row that has a price in it.
ConsultaTabla unionConPrecios(const QString &tabla, const OpcionesExportacion &o)
{
    ConsultaTabla c;
    c.origen = tabla + QLatin1Char(' ') + tabla + kSinBloqueo + QStringLiteral(" INNER JOIN V_MA_Precios ON ") + tabla
        + QStringLiteral(".IDARTICULO = V_MA_Precios.IdArticulo");
    c.condiciones << QStringLiteral("IDLISTA = ?");
    c.valores.push_back(listaAlineada(o.idLista));
    c.claves = clavesCatalogo(tabla, tabla);
    return c;
}

ConsultaTabla asientos(const QString &tabla, const OpcionesExportacion &o)
{
    ConsultaTabla c;
    c.origen = tabla + kSinBloqueo;
    c.condiciones << (o.retransmitir ? QStringLiteral("(TRANSMISION<>0 OR TRANSMISION=0 OR TRANSMISION IS NULL)")
                                     : kSinEnviar);
    if (!o.unidadNegocio.trimmed().isEmpty()) {
        c.condiciones << QStringLiteral("LTRIM(UNEGOCIO) = ?");
        c.valores.push_back(o.unidadNegocio.trimmed());
    }
    // The reception takes an entry's lines together: they travel in this order.
    c.claves =
        QStringList{QStringLiteral("PERIODO"),          QStringLiteral("TIPO_REG"),  QStringLiteral("MES_OPERATIVO"),
                    QStringLiteral("[NUMERO ASIENTO]"), QStringLiteral("SECUENCIA"), QStringLiteral("CUENTA")};
    return c;
}

} // namespace

QString listaAlineada(const QString &idLista)
{
    return platform::suite::gFunciones().AlinearDerecha(idLista.trimmed(), 4);
}

QString origenDeCampos(const QString &tabla)
{
    const QString t = tabla.trimmed();
    if (es(t, {"V_TA_DEPOSITO", "V_TA_FAMILIAS", "MA_CUENTAS"}))
        return QStringLiteral("@ADMIN_") + t;
    return t;
}

ConsultaTabla consultaPara(const QString &tabla, const OpcionesExportacion &o)
{
    const QString t = tabla.trimmed();
    const bool conLista = !o.idLista.trimmed().isEmpty();
    if (es(t, {"MV_ASIENTOS", "MV_ASIENTOSCCOSTO"}))
        return asientos(t, o);
    if (conLista && es(t, {"V_MA_ARTICULOS", "S_TA_EQUIV"}))
        return unionConPrecios(t, o);
    ConsultaTabla c;
    c.origen = origenDeCampos(t) + (es(t, {"V_MV_CPTEACCIONES"}) ? QString() : kSinBloqueo);
    if (!o.retransmitir)
        c.condiciones << kSinEnviar;
    c.claves = clavesCatalogo(t);
    if (es(t, {"TA_CONFIGURACION"}))
        c.condiciones << QStringLiteral("CLAVE LIKE '%DIGITOS%'");
    else if (es(t, {"V_MV_CPTEACCIONES"}))
        c.condiciones << QStringLiteral("TIPO_ACCION='B'");
    else if (es(t, {"MV_APLICACION"})) {
        c.condiciones << QStringLiteral("LTRIM(UNEGOCIO) = ?");
        c.valores.push_back(o.unidadNegocio.trimmed());
    } else if (conLista && es(t, {"V_MA_PRECIOSCAB", "V_MA_PRECIOS"})) {
        c.condiciones << QStringLiteral("IDLISTA = ?");
        c.valores.push_back(listaAlineada(o.idLista));
    }
    return c;
}

ReglaMarca reglaMarca(const QString &tabla, bool filaConId)
{
    const QString t = tabla.trimmed();
    ReglaMarca r;
    r.asignaciones = QStringLiteral("TRANSMISION = ?");
    if (es(t,
           {"V_MV_STOCK", "V_MV_CPTE", "V_MV_CPTE_OBSERV", "V_MV_CPTEDOC", "V_MV_CPTEENCOMISION", "V_MV_CPTEINSUMOS",
            "V_MV_CPTETAREAS", "V_MV_CPTETERCEROS", "C_MV_CPTE", "C_MV_CPTE_OBSERV", "C_MV_CPTEINSUMOS",
            "C_MV_CPTETAREAS", "V_MV_CPTEACCIONES", "MV_APLICACION", "S_TA_EQUIV"}))
        r.claves = filaConId ? QStringList{QStringLiteral("ID")} : clavesCatalogo(t);
    else if (es(t, {"MA_CUENTAS"}))
        r.claves = QStringList{QStringLiteral("CODIGO")};
    else if (es(t, {"MV_ASIENTOS", "MV_ASIENTOSCCOSTO"})) {
        r.claves = QStringList{QStringLiteral("CUENTA"),        QStringLiteral("SECUENCIA"),
                               QStringLiteral("MES_OPERATIVO"), QStringLiteral("[NUMERO ASIENTO]"),
                               QStringLiteral("PERIODO"),       QStringLiteral("TIPO_REG")};
        if (es(t, {"MV_ASIENTOSCCOSTO"}))
            r.claves << QStringLiteral("CCOSTO");
    } else if (es(t, {"B_ALIAS"})) {
        if (filaConId)
            r.claves = QStringList{QStringLiteral("ID")};
    } else {
        r.claves = clavesCatalogo(t);
        if (es(t, {"V_MA_ARTICULOS"}))
            r.asignaciones = QStringLiteral("DESDETRIGGER = 1, TRANSMISION = ?");
    }
    r.campos = sinCorchetes(r.claves);
    return r;
}

} // namespace envio
