#include "MarcarTransmitidos.h"

#include "Enlace.h"
#include "ReglasEnvio.h"

#include "db/DB_Dll.h"
#include "platform/Logger.h"
#include "platform/ado/Recordset.h"

#include <optional>

namespace envio {

namespace {

// The tables stamped with one statement each, in order; "@ADMIN_" names the table itself.
const char *const kTablas[] = {
    "V_TA_UNIDAD",          "V_TA_RUBROS",    "V_TA_TIPOARTICULO",  "V_TA_POLITICAPRECIOS", "V_TA_PERCEPCION",
    "@ADMIN_V_TA_FAMILIAS", "V_MA_INSUMOS",   "V_MA_INSUMOSTAREAS", "V_TA_TARIFAFLETE",     "@ADMIN_MA_CUENTAS",
    "MA_CUENTASADIC",       "TA_ESTADOS",     "TA_PAISES",          "TA_TIPODOCUMENTO",     "TA_CONDIVA",
    "V_TA_CPRA_VTA",        "V_TA_CATEGORIA", "V_TA_VENDEDORES",    "V_TA_MOTIVOCPRA",      "V_TA_MOTIVOVTA",
    "@ADMIN_V_TA_DEPOSITO", "V_TA_TAREAS",    "V_TA_TECNICOS",      "V_MA_PRECIOSCAB",
};

const QString kSinEnviar = QStringLiteral(" WHERE (TRANSMISION = 0 OR TRANSMISION IS NULL)");

bool soloDigitos(const QString &texto)
{
    if (texto.isEmpty() || texto.size() > 9)
        return false;
    for (const QChar c : texto) {
        if (!c.isDigit() || c.unicode() > 127)
            return false;
    }
    return true;
}

// One statement; its failure is logged and the stamping goes on.
bool ejecutar(Sentencia &sentencia, const Valores &valores, Marcado &marcado)
{
    try {
        sentencia.ejecutar(valores);
        return true;
    } catch (const platform::RuntimeError &error) {
        ++marcado.fallidas;
        platform::logger().warning(
            QStringLiteral("No se marcó como enviada: %1 (%2)").arg(sentencia.texto(), error.Description()));
        return false;
    }
}

} // namespace

platform::Result<Marcado> MarcarTransmitidos(DB_Dll &db, const std::function<QString()> &numero, const QString &idLista,
                                             VistaEnvio &vista)
{
    Marcado marcado;
    auto leerNumero = [&]() -> std::optional<platform::Variant> {
        const QString texto = numero();
        if (!soloDigitos(texto))
            return std::nullopt;
        return platform::Variant(texto.toLongLong());
    };
    const auto sinNumero = [&] {
        return platform::Result<Marcado>::failure(
            QStringLiteral("El número de transmisión \"%1\" no es un número: no se marcó ninguna fila").arg(numero()));
    };
    vista.actualizando(QStringLiteral("Actualizando Transmisión "));
    for (const char *nombre : kTablas) {
        const auto n = leerNumero();
        if (!n)
            return sinNumero();
        Sentencia s(db.gCnn,
                    paraUsuario(db,
                                QStringLiteral("UPDATE ") + QLatin1String(nombre)
                                    + QStringLiteral(" SET TRANSMISION = ?") + kSinEnviar));
        if (ejecutar(s, {*n}, marcado))
            ++marcado.tablas;
        vista.atender();
    }

    vista.actualizando(QStringLiteral("Actualizando Transmisión de Artículos"));
    vista.atender();
    Sentencia articulos(db.gCnn, QStringLiteral("SELECT  IDARTICULO FROM V_MA_ARTICULOS") + kSinEnviar);
    const std::shared_ptr<ado::Recordset> ra = articulos.abrir({});
    Sentencia marcarArticulo(
        db.gCnn, QStringLiteral("UPDATE V_MA_ARTICULOS SET DESDETRIGGER = 1, TRANSMISION = ? WHERE idarticulo = ?"));
    const long totalArticulos = ra->RecordCount();
    for (long i = 1; !ra->EOF(); ra->MoveNext(), ++i) {
        vista.atender();
        vista.avance(double(i) * 100.0 / double(totalArticulos));
        vista.actualizando(
            QStringLiteral("Actualizando Transmisión de Artículos (%1 de %2)").arg(i).arg(totalArticulos));
        const auto n = leerNumero();
        if (!n)
            return sinNumero();
        if (ejecutar(marcarArticulo, {*n, ra->value(QStringLiteral("IDARTICULO"))}, marcado))
            ++marcado.articulos;
    }

    vista.actualizando(QStringLiteral("Actualizando Transmisión de Precios"));
    vista.atender();
    const bool conLista = !idLista.trimmed().isEmpty();
    Sentencia precios(db.gCnn,
                      QStringLiteral("SELECT  IDARTICULO, IDLISTA FROM V_MA_PRECIOS") + kSinEnviar
                          + (conLista ? QStringLiteral(" AND IDLISTA = ?") : QString()));
    const std::shared_ptr<ado::Recordset> rp =
        precios.abrir(conLista ? Valores{platform::Variant(listaAlineada(idLista))} : Valores{});
    Sentencia marcarPrecio(db.gCnn,
                           QStringLiteral("UPDATE V_MA_PRECIOS SET DESDETRIGGER = 1, TRANSMISION = ? "
                                          "WHERE idlista = ? and idarticulo = ?"));
    const long totalPrecios = rp->RecordCount();
    for (long i = 1; !rp->EOF(); rp->MoveNext(), ++i) {
        vista.atender();
        vista.avance(double(i) * 100.0 / double(totalPrecios));
        vista.actualizando(QStringLiteral("Actualizando Transmisión de Artículos (%1 de %2)").arg(i).arg(totalPrecios));
        const auto n = leerNumero();
        if (!n)
            return sinNumero();
        if (ejecutar(marcarPrecio, {*n, rp->value(QStringLiteral("IDLISTA")), rp->value(QStringLiteral("IDARTICULO"))},
                     marcado))
            ++marcado.precios;
    }
    return marcado;
}

} // namespace envio
