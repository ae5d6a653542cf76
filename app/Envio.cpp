#include "Envio.h"

#include "Programa.h"

#include "sending/FormularioEnvio.h"
#include "sending/ui/FrmEnvioIMaestros.h"

#include "db/DB_Dll.h"
#include "platform/Logger.h"

#include <QApplication>

#include <cstdio>

namespace Programa {

int envioAutomatico()
{
    envio::FormularioEnvio formulario(gDB());
    const std::optional<envio::ResumenEnvio> resumen = formulario.cargar();
    if (!resumen)
        return kEnvioFallido; // not an unattended run
    const bool completo = resumen->ok && resumen->omitidas.isEmpty() && resumen->avisos.isEmpty();
    const QString linea = resumen->ok ? resumen->linea() : QStringLiteral("falló: ") + resumen->motivo;
    std::printf("imaestros: envío %s\n", qPrintable(linea));
    std::fflush(stdout);
    return completo ? kOk : kEnvioFallido;
}

int envioEnEscritorio()
{
    FrmEnvioIMaestros formulario;
    (void)formulario.Form_Load(false); // start-up already ran on this connection
    formulario.show();
    return QApplication::exec();
}

} // namespace Programa
