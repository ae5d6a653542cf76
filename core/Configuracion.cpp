#include "Configuracion.h"

#include "Globals.h"
#include "MostrarError.h"
#include "db/DB_Dll.h"
#include "db/SqlText.h"
#include "platform/Logger.h"
#include "platform/Paths.h"
#include "platform/suite/Funciones.h"

#include "platform/ui/Operator.h"

#include <cmath>
#include <functional>
#include <limits>
#include <optional>

namespace ModGlobal {

QStringList gProgramasDeVenta;

namespace {

using platform::logger;

QString configurationTable()
{
    if (gTablaConfiguracion.trimmed().isEmpty())
        gTablaConfiguracion = QStringLiteral("TA_CONFIGURACION");
    return gTablaConfiguracion;
}

// Failed reads of the main connection's keys since the last CargarConfiguracion.
int &failedReads()
{
    static int count = 0;
    return count;
}
QString &firstFailure()
{
    static QString text;
    return text;
}

void noteFailure(const DB_Dll &db, const QString &clave, const QString &why)
{
    if (&db != &gDB())
        return;
    if (failedReads()++ == 0)
        firstFailure() = QStringLiteral("%1: %2").arg(clave.trimmed(), why);
}

enum class Outcome { Done, Ignored, Leave };

// One statement of a read under its handler: a raised error goes to the central error
// routine; Ignore goes on with the next statement, any other answer leaves the read.
Outcome guarded(const std::function<void()> &statement, const QString &rutina, QString &why)
{
    try {
        statement();
        return Outcome::Done;
    } catch (const platform::RuntimeError &error) {
        if (why.isEmpty())
            why = error.Description();
        return MostrarError(error, 18, rutina) == platform::vbIgnore ? Outcome::Ignored : Outcome::Leave;
    }
}

QString keyStatement(const QString &clave)
{
    QString statement = QStringLiteral("SELECT VALOR, valoraux FROM ") + configurationTable()
        + QStringLiteral(" with(nolock)  WHERE CLAVE = '") + db::sqltext::escapeQuotes(clave.trimmed())
        + QLatin1Char('\'');
    const QString key = clave.trimmed();
    if (key.compare(QStringLiteral("[FECHA HASTA]"), Qt::CaseInsensitive) == 0
        || key.compare(QStringLiteral("[FECHA DESDE]"), Qt::CaseInsensitive) == 0)
        statement = statement.toUpper();
    return statement;
}

QString readKey(DB_Dll &db, const QString &clave, QString *valorAux, const QString &rutina)
{
    ado::Recordset rs;
    // A failed open is reported by AbrirRecordset itself and leaves the recordset closed,
    // so the row test below raises and reaches this routine's handler.
    QString why;
    if (!db.AbrirRecordset(keyStatement(clave), rs, nullptr, ado::adOpenForwardOnly, ado::adLockReadOnly, -1, true)
        && !db.gCnn.errors().isEmpty())
        why = db.gCnn.errors()[0].Description; // the reason, not the closed recordset that follows
    QString result;
    bool failed = false;
    auto step = [&](const std::function<void()> &statement) {
        const Outcome outcome = guarded(statement, rutina, why);
        failed = failed || outcome != Outcome::Done;
        return outcome;
    };
    bool noRow = false;
    Outcome outcome = step([&] { noRow = rs.BOF(); });
    if (outcome == Outcome::Done && noRow) {
        result = QStringLiteral(" ");
        if (valorAux)
            valorAux->clear();
    } else if (outcome == Outcome::Done) {
        outcome = step([&] { result = platform::suite::gFunciones().NuloAVacio(rs.value(QStringLiteral("Valor"))); });
        if (outcome != Outcome::Leave)
            outcome = step([&] {
                const QString aux = platform::suite::gFunciones().NuloAVacio(rs.value(QStringLiteral("ValorAux")));
                if (valorAux)
                    *valorAux = aux;
            });
    }
    db.CierraRecordset(rs);
    if (failed)
        noteFailure(db, clave, why);
    if (outcome == Outcome::Leave)
        return QString();
    if (clave.compare(QStringLiteral("THEME"), Qt::CaseInsensitive) == 0 && result.trimmed().isEmpty())
        result = QStringLiteral("1");
    return result;
}

// Reading rules of the cached settings.
bool si(const QString &v) { return v.compare(QStringLiteral("SI"), Qt::CaseInsensitive) == 0; }
bool siTrim(const QString &v) { return si(v.trimmed()); }
bool noTrue(const QString &v)
{
    return !v.trimmed().isEmpty() && v.compare(QStringLiteral("NO"), Qt::CaseInsensitive) != 0;
}
bool notNo(const QString &v) { return v.trimmed().compare(QStringLiteral("NO"), Qt::CaseInsensitive) != 0; }

// VB's CInt: halves to even; nothing when out of the 16-bit range.
std::optional<std::int16_t> toInt16(double value)
{
    const double rounded = std::nearbyint(value);
    if (rounded < std::numeric_limits<std::int16_t>::min() || rounded > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return std::int16_t(rounded);
}

std::optional<double> money(const QString &v)
{
    if (v.trimmed().isEmpty())
        return 0.0;
    try {
        return platform::suite::gFunciones().TextoAMoneda(v.trimmed());
    } catch (const platform::RuntimeError &) {
        return std::nullopt;
    }
}

void keepPrevious(const QString &clave, const QString &valor)
{
    logger().warning(
        QStringLiteral("Configuración: el valor \"%1\" de %2 no es válido; se mantiene el anterior").arg(valor, clave));
}

void readInteger(const char *clave, std::int16_t &target)
{
    const QString key = QString::fromLatin1(clave);
    const QString value = Cfg(key);
    if (const auto number = toInt16(db::sqltext::leadingNumber(value)))
        target = *number;
    else
        keepPrevious(key, value);
}

void readMoney(const char *clave, double &target)
{
    const QString key = QString::fromLatin1(clave);
    const QString value = Cfg(key);
    if (const auto amount = money(value))
        target = *amount;
    else
        keepPrevious(key, value);
}

void readColour(const char *clave, std::int32_t &target)
{
    const QString key = QString::fromLatin1(clave);
    const QString value = Cfg(key);
    const auto amount = money(value);
    if (!amount || std::fabs(*amount) > double(std::numeric_limits<std::int32_t>::max())) {
        keepPrevious(key, value);
        return;
    }
    target = std::int32_t(std::nearbyint(*amount));
}

QString textTrim(const char *clave) { return Cfg(QString::fromLatin1(clave)).trimmed(); }

bool isSalesProgram()
{
    const QString exe = platform::executableName();
    for (const QString &name : gProgramasDeVenta) {
        if (name.compare(exe, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void loadUser()
{
    DB_Dll &db = gDB();
    const QString statement = QStringLiteral("Select * from ta_usuarios  with(nolock)  where Nombre = '")
        + db::sqltext::escapeQuotes(gUsuarioLogeado) + QLatin1Char('\'');
    ado::Recordset rs;
    try {
        if (db.AbrirRecordset(statement, rs, nullptr, ado::adOpenForwardOnly, ado::adLockReadOnly, -1, true)
            && !rs.BOF()) {
            gUnidadNegocio = platform::suite::gFunciones().NuloAVacio(rs.value(QStringLiteral("UNegocio")));
            if (gUsaFacturaProforma)
                gUsaFacturaProforma = rs.value(QStringLiteral("verproforma")).toBool();
        } else {
            logger().info(
                QStringLiteral("Configuración: el usuario \"%1\" no está en ta_usuarios").arg(gUsuarioLogeado));
        }
    } catch (const platform::RuntimeError &error) {
        logger().warning(QStringLiteral("Configuración: no se pudo leer ta_usuarios: %1").arg(error.Description()));
    }
    db.CierraRecordset(rs);
    if (gUnidadNegocio.isEmpty())
        gUnidadNegocio = QStringLiteral("   1");
}

void loadFlagsAndTexts(const QString &carpetaPrograma)
{
    gMostrarStockenConsultas =
        si(platform::suite::gFunciones().NuloAVacio(Cfg(QStringLiteral("MostrarStockenConsultas"))));
    gTituloClientes = textTrim("TituloClientes");
    gTituloProveedores = textTrim("TituloProveedores");
    gRutaDocTareas = platform::joinPath(carpetaPrograma, QStringLiteral("VKDOCTareas.vkr"));
    gEXIGECLAVECONSULTALIKEARTICULOS = si(Cfg(QStringLiteral("EXIGECLAVECONSULTALIKEARTICULOS")));
    gUsaConsultaLike = si(Cfg(QStringLiteral("UsaConsultaLike")));
    gCantidadDecimales = Cfg(QStringLiteral("CantidadDecimales"));
    if (isSalesProgram()) {
        const QString sales = Cfg(QStringLiteral("CantidadDecimalesVentas"));
        const auto decimals = toInt16(db::sqltext::leadingNumber(sales));
        if (decimals && *decimals > 0)
            gCantidadDecimales = sales;
    }
    gSS_CONFIDENCIALIDAD = si(Cfg(QStringLiteral("SS_CONFIDENCIALIDAD")));
    gUsaMultilesMonedas = si(Cfg(QStringLiteral("UsaMultilesMonedas")));
    gUsaFacturaProforma = si(Cfg(QStringLiteral("UsaFacturaProforma")));
    gUSACCOSTO = si(Cfg(QStringLiteral("USACCOSTO")));
    gUSA_STK_STOCK_UDKG = si(Cfg(QStringLiteral("USA_STK_STOCK_UDKG")));
}

void loadUnitsAndColours()
{
    gUNIDADDEMEDIDA_M3 = textTrim("UNIDADDEMEDIDA_M3");
    gUNIDADDEMEDIDA_BL = textTrim("UNIDADDEMEDIDA_BL");
    gUNIDADDEMEDIDA_KG = textTrim("UNIDADDEMEDIDA_KG");
    readInteger("PERIODO", gPERIODO);
    gRazonSocialPorUneg = siTrim(Cfg(QStringLiteral("RazonSocialPorUneg")));
    gVALIDACODIGOBARRA = siTrim(Cfg(QStringLiteral("VALIDACODIGOBARRA")));
    readColour("CFondo", gCFondo);
    if (gCFondo == 0)
        gCFondo = 0xFFFF00;
    readColour("CLetra", gCLetra);
}

void loadBusinessRules()
{
    gModuloOrdenDeTrabajo = notNo(Cfg(QStringLiteral("ModuloOrdenDeTrabajo")));
    gV_ModificaCPrecio = noTrue(Cfg(QStringLiteral("V_ModificaCPrecio")));
    gC_ModificaCPrecio = noTrue(Cfg(QStringLiteral("C_ModificaCPrecio")));
    gMADERERA = noTrue(Cfg(QStringLiteral("MADERERA")));
    gMAD_TIRAS = textTrim("MAD_TIRAS");
    gMAD_P2 = textTrim("MAD_P2");
    gMAD_ML = textTrim("MAD_ML");
    gMAD_M2 = textTrim("MAD_M2");
    gMAD_HOJAS = textTrim("MAD_HOJAS");
    gMAD_ML_P2 = textTrim("MAD_ML_P2");
    gMAD_M2_P2 = textTrim("MAD_M2_P2");
    gMAD_ML_M2 = textTrim("MAD_ML_M2");
    gCuentaCtroDist = textTrim("CuentaCtroDist");
    readMoney("MaxDto", gMaxDto);
    readMoney("MaxDtoProforma", gMaxDtoProforma);
    gPideClave_StockNeg = noTrue(Cfg(QStringLiteral("PideClave_StockNeg")));
    gPideClave_MarkUpBase = noTrue(Cfg(QStringLiteral("PideClave_MarkUpBase")));
    gPideClave_LimiteCredito = noTrue(Cfg(QStringLiteral("PideClave_LimiteCredito")));
    gSS_BloqueoActivo = si(Cfg(QStringLiteral("SS_BloqueoActivo")));
    gUTILIZARFECHADIA = si(Cfg(QStringLiteral("UTILIZARFECHADIA")));
    gAsignacionAutomaticaDeLoteING = si(Cfg(QStringLiteral("AsignacionAutomaticaDeLoteING")));
    gAsignacionAutomaticaDeLoteINGOP = si(Cfg(QStringLiteral("AsignacionAutomaticaDeLoteINGOP")));
}

void loadTaxAndTop()
{
    readInteger("CONDIVAEMPRESA", gCONDIVAEMPRESA);
    if (gCONDIVAEMPRESA == 0)
        readInteger("CONDIVA", gCONDIVAEMPRESA);
    if (gCONDIVAEMPRESA == 0)
        gCONDIVAEMPRESA = 1;
    gTop_Default = Cfg(QStringLiteral("Top_Default"));
    if (gTop_Default.trimmed().isEmpty())
        gTop_Default = QStringLiteral("1000");
}

} // namespace

QString Cfg(const QString &clave, QString *valorAux)
{
    DB_Dll &db = gDB();
    if (!db.gOpenFlag)
        return QString();
    return readKey(db, clave, valorAux, QStringLiteral("Cfg"));
}

QString CfgVK(const QString &clave, QString *valorAux)
{
    return readKey(gEstadisticas(), clave, valorAux, QStringLiteral("CfgVK"));
}

void GrabaCfgVK(const QString &clave, const platform::Variant &valor, const QString &valorAux, bool politicaNegocio,
                const QString &grupo, bool recortar)
{
    DB_Dll &db = gEstadisticas();
    const QString statement = QStringLiteral("SELECT * FROM ") + configurationTable()
        + QStringLiteral(" with(nolock)  WHERE CLAVE = '") + db::sqltext::escapeQuotes(clave) + QLatin1Char('\'');
    ado::Recordset rs;
    try {
        if (!db.AbrirRecordset(statement, rs, &db.gCnn, ado::adOpenDynamic, ado::adLockOptimistic, -1, true)) {
            logger().warning(QStringLiteral("No se pudo grabar la clave %1 en la base de estadísticas").arg(clave));
            return;
        }
        if (rs.BOF())
            rs.AddNew();
        else
            rs.MoveFirst();
        rs.field(QStringLiteral("Grupo")).setValue(grupo);
        rs.field(QStringLiteral("Clave")).setValue(clave.trimmed().toUpper());
        rs.field(QStringLiteral("Valor")).setValue(recortar ? valor.toString().trimmed() : valor.toString());
        rs.field(QStringLiteral("PoliticaNegocio")).setValue(politicaNegocio);
        if (!valorAux.isEmpty())
            rs.field(QStringLiteral("ValorAux")).setValue(valorAux.trimmed());
        rs.Update();
    } catch (const platform::RuntimeError &error) {
        logger().warning(QStringLiteral("No se pudo grabar la clave %1 en la base de estadísticas: %2")
                             .arg(clave, error.Description()));
    }
    db.CierraRecordset(rs);
}

platform::Status CargarConfiguracion(const QString &carpetaPrograma)
{
    failedReads() = 0;
    firstFailure().clear();
    gTablaConfiguracion = QStringLiteral("ta_configuracion");
    loadFlagsAndTexts(carpetaPrograma);
    loadUser();
    loadUnitsAndColours();
    loadBusinessRules();
    loadTaxAndTop();
    if (failedReads() == 0)
        return {};
    return platform::Status::failure(QStringLiteral("No se pudo leer la configuración (%1 claves sin leer; la primera, "
                                                    "%2); esas claves toman su valor por omisión")
                                         .arg(failedReads())
                                         .arg(firstFailure()));
}

} // namespace ModGlobal
