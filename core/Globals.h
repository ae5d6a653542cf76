#pragma once

#include <QString>

#include <cstdint>

// Global settings of the run: set at start-up and by the configuration loader, read
// everywhere afterwards on the one interface thread.
namespace ModGlobal {

// Start-up.
extern std::int32_t gCFondo;
extern std::int32_t gCLetra;
extern QString gClaveEstacion;
extern double gFlatToolbars;
extern QString gParametroAdicional;
extern QString gMenu;
extern QString gUsuarioLogeado;
extern QString gCaja;
extern std::int16_t gTimeOut;
extern QString gCadenaODBC;
extern QString gArchivoAyuda;

// Access log.
extern std::int32_t gIdAcceso;

// Configuration table.
extern QString gTablaConfiguracion;
extern bool gMostrarStockenConsultas;
extern QString gTituloClientes;
extern QString gTituloProveedores;
extern QString gRutaDocTareas;
extern bool gEXIGECLAVECONSULTALIKEARTICULOS;
extern bool gUsaConsultaLike;
extern QString gCantidadDecimales;
extern bool gUsaMultilesMonedas;
extern bool gUsaFacturaProforma;
extern bool gUSACCOSTO;
extern bool gUSA_STK_STOCK_UDKG;
extern QString gUnidadNegocio;
extern QString gUNIDADDEMEDIDA_M3;
extern QString gUNIDADDEMEDIDA_BL;
extern QString gUNIDADDEMEDIDA_KG;
extern std::int16_t gPERIODO;
extern bool gRazonSocialPorUneg;
extern bool gVALIDACODIGOBARRA;
extern bool gModuloOrdenDeTrabajo;
extern bool gV_ModificaCPrecio;
extern bool gC_ModificaCPrecio;
extern bool gMADERERA;
extern QString gMAD_TIRAS;
extern QString gMAD_P2;
extern QString gMAD_ML;
extern QString gMAD_M2;
extern QString gMAD_HOJAS;
extern QString gMAD_ML_P2;
extern QString gMAD_M2_P2;
extern QString gMAD_ML_M2;
extern QString gCuentaCtroDist;
extern double gMaxDto;
extern double gMaxDtoProforma;
extern bool gPideClave_StockNeg;
extern bool gPideClave_MarkUpBase;
extern bool gPideClave_LimiteCredito;
extern bool gSS_BloqueoActivo;
extern bool gUTILIZARFECHADIA;
extern bool gAsignacionAutomaticaDeLoteING;
extern bool gAsignacionAutomaticaDeLoteINGOP;
extern std::int16_t gCONDIVAEMPRESA;
extern QString gTop_Default;

// Article lookup: bar-code layout and its decimals (nothing assigns them by default).
extern QString gFormatoCodigoBarra;
extern QString gDecimalesCodigoBarra;

// Restores every global to its value at program start (tests, a second run).
void resetGlobals();

} // namespace ModGlobal
