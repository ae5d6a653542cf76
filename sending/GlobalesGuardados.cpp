#include "GlobalesGuardados.h"

#include "core/Globals.h"
#include "core/SharedLookup.h"
#include "db/DB_Dll.h"

#include <tuple>

namespace envio {

namespace {

// Every global setting, as references, in one list: taking and restoring the copy walk it.
auto globales()
{
    using namespace ModGlobal;
    return std::tie(gCFondo, gCLetra, gClaveEstacion, gFlatToolbars, gParametroAdicional, gMenu, gUsuarioLogeado, gCaja,
                    gTimeOut, gCadenaODBC, gArchivoAyuda, gIdAcceso, gTablaConfiguracion, gMostrarStockenConsultas,
                    gTituloClientes, gTituloProveedores, gRutaDocTareas, gEXIGECLAVECONSULTALIKEARTICULOS,
                    gUsaConsultaLike, gCantidadDecimales, gUsaMultilesMonedas, gUsaFacturaProforma, gUSACCOSTO,
                    gUSA_STK_STOCK_UDKG, gUnidadNegocio, gUNIDADDEMEDIDA_M3, gUNIDADDEMEDIDA_BL, gUNIDADDEMEDIDA_KG,
                    gPERIODO, gRazonSocialPorUneg, gVALIDACODIGOBARRA, gModuloOrdenDeTrabajo, gV_ModificaCPrecio,
                    gC_ModificaCPrecio, gMADERERA, gMAD_TIRAS, gMAD_P2, gMAD_ML, gMAD_M2, gMAD_HOJAS, gMAD_ML_P2,
                    gMAD_M2_P2, gMAD_ML_M2, gCuentaCtroDist, gMaxDto, gMaxDtoProforma, gPideClave_StockNeg,
                    gPideClave_MarkUpBase, gPideClave_LimiteCredito, gSS_BloqueoActivo, gUTILIZARFECHADIA,
                    gAsignacionAutomaticaDeLoteING, gAsignacionAutomaticaDeLoteINGOP, gCONDIVAEMPRESA, gTop_Default,
                    gFormatoCodigoBarra, gDecimalesCodigoBarra, ::gSS_CONFIDENCIALIDAD);
}

using Valores = decltype(std::apply([](auto &...v) { return std::make_tuple(v...); }, globales()));

struct Consulta {
    QString gConnString;
    bool gUsarMascarasConsultas = false;
    QString gRutaMascaraConsultas;
};

} // namespace

struct GlobalesGuardados::Copia {
    Valores valores;
    Consulta consulta;
};

GlobalesGuardados::GlobalesGuardados()
    : m_copia(std::make_unique<Copia>(Copia{
        std::apply([](auto &...v) { return std::make_tuple(v...); }, globales()),
        Consulta{gConsulta().gConnString, gConsulta().gUsarMascarasConsultas, gConsulta().gRutaMascaraConsultas}}))
{}

GlobalesGuardados::~GlobalesGuardados() = default;

void GlobalesGuardados::restaurar() const
{
    globales() = m_copia->valores;
    SharedLookup &consulta = gConsulta();
    consulta.gConnString = m_copia->consulta.gConnString;
    consulta.gUsarMascarasConsultas = m_copia->consulta.gUsarMascarasConsultas;
    consulta.gRutaMascaraConsultas = m_copia->consulta.gRutaMascaraConsultas;
}

} // namespace envio
