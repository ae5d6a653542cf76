// The program's main job, after start-up: the reception of master data.

#include "Programa.h"

#include "core/Rutinas.h"
#include "db/DB_Dll.h"
#include "reception/RecepcionMaestros.h"
#include "reception/ui/FrmRecepcionIMaestros.h"
#include "sending/ui/EnvioDesdeEmpresa.h"
#include "sending/ui/EnvioParaRecepcion.h"

#include <QApplication>

#include <cstdio>

namespace Programa {

namespace {

int statusFor(const recepcion::ResumenRecepcion &r)
{
    switch (r.fin) {
    case recepcion::FinRecepcion::Completa:
        if (!r.informeFallido.isEmpty())
            return kSinInforme;
        return r.rechazados > 0 ? kConRechazos : kOk;
    case recepcion::FinRecepcion::PaqueteIlegible:
        return kSinPaquete;
    case recepcion::FinRecepcion::Rechazada:
        return kOtroOrigen;
    case recepcion::FinRecepcion::SinControl:
        return kSinControl;
    case recepcion::FinRecepcion::Incompleta:
        return kFaltanTablas;
    case recepcion::FinRecepcion::Ocupada:
        return kBaseOcupada;
    case recepcion::FinRecepcion::Detenida:
    case recepcion::FinRecepcion::Fallida:
    case recepcion::FinRecepcion::Terminar:
        break;
    }
    return kRecepcionFallida;
}

} // namespace

int recepcionAutomatica()
{
    recepcion::RecepcionMaestros recepcion(gDB());
    const recepcion::ResumenRecepcion r = recepcion.GeneraAutomatica();
    std::printf("%s\n", qPrintable(r.linea()));
    std::fflush(stdout);
    return statusFor(r);
}

int formularioRecepcion()
{
    FrmRecepcionIMaestros form(gDB());
    form.logica().setMostrarErrores([](const QString &ruta) { ModGlobal::AbrirDocumento(ruta, true); });
    // The road from another company's database drives this program's sending form.
    envio::registrarParaRecepcion();
    form.cargar();
    form.show();
    const int status = QApplication::exec();
    recepcion::registrarEnvio(nullptr);
    envio::liberarFormularioDeEnvio();
    return status;
}

} // namespace Programa
