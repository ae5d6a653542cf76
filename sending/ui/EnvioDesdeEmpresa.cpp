#include "EnvioDesdeEmpresa.h"

#include "FrmEnvioIMaestros.h"

#include "sending/GlobalesGuardados.h"

#include "core/Acceso.h"
#include "platform/suite/Funciones.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <memory>

namespace envio {

namespace {

std::unique_ptr<FrmEnvioIMaestros> &formulario()
{
    static std::unique_ptr<FrmEnvioIMaestros> f;
    return f;
}

// While the road runs on the company's database: the run's own settings to put back, and
// whether the company's access row (written by the form's loading) is still open.
struct Camino {
    GlobalesGuardados locales;
    bool filaDeEmpresa = false;

    // The company's access row gets its exit time there; the run's own settings come back.
    void volver()
    {
        if (filaDeEmpresa)
            (void)ModGlobal::RegistrarEgreso();
        filaDeEmpresa = false;
        locales.restaurar();
    }
};

void llenar(FrmEnvioIMaestros &f, const PedidoEnvio &pedido)
{
    f.setPFinalizado(false);
    f.logica().setAvisarFin(false); // the reception goes on and says how it ended
    f.setResponsable(pedido.responsable);
    f.setCarpeta(pedido.carpeta);
    f.setOpciones(false, pedido.maestros, pedido.movimientos, pedido.precios);
}

// GRABAR runs from the event loop; the wait ends with its outcome, or with the program.
bool grabarYEsperar(FrmEnvioIMaestros &f)
{
    QEventLoop espera;
    bool terminado = false;
    bool hecho = false;
    const QMetaObject::Connection conexion =
        QObject::connect(&f, &FrmEnvioIMaestros::envioTerminado, &espera, [&](bool resultado) {
            terminado = true;
            hecho = resultado;
            espera.quit();
        });
    const QMetaObject::Connection cierre =
        QObject::connect(&f, &FrmEnvioIMaestros::descargado, &espera, &QEventLoop::quit);
    // The incomplete-sending question is answered before the sending starts, never over it.
    f.Form_Activate();
    if (f.cerrado()) {
        QObject::disconnect(conexion);
        QObject::disconnect(cierre);
        return false;
    }
    QTimer::singleShot(0, &f, [&f] {
        if (!f.cerrado())
            f.UtilNet1_click(QStringLiteral("GRABAR"));
    });
    espera.exec();
    QObject::disconnect(conexion);
    QObject::disconnect(cierre);
    return terminado && hecho;
}

} // namespace

FrmEnvioIMaestros *formularioDeEnvio() { return formulario().get(); }

void liberarFormularioDeEnvio() { formulario().reset(); }

EntregaEnvio EnviarDesdeEmpresa(const PedidoEnvio &pedido)
{
    Camino camino;
    if (!formulario()) {
        formulario() = std::make_unique<FrmEnvioIMaestros>();
        camino.filaDeEmpresa = true;
        (void)formulario()->Form_Load(true);
    }
    FrmEnvioIMaestros &f = *formulario();
    // Closing the form now ends the program: on the run's own database, with the run's own
    // access row closed there; the waiting reception form returns from this call first.
    f.setAlTerminar([&camino, restaurar = pedido.restaurarConexion] {
        camino.volver();
        if (restaurar)
            restaurar();
        (void)ModGlobal::RegistrarEgreso();
    });
    llenar(f, pedido);
    f.show();
    EntregaEnvio entrega;
    entrega.hecho = grabarYEsperar(f);
    if (!entrega.hecho)
        entrega.motivo =
            f.cerrado() ? QStringLiteral("Se cerró el envío de maestros") : f.logica().ultimoEnvio().motivo;
    entrega.archivo = platform::suite::gFunciones().AgregarBarra(f.carpeta()) + QStringLiteral("Archivos.zip");
    f.setAlTerminar(nullptr);
    f.hide();
    camino.volver();
    return entrega;
}

} // namespace envio
