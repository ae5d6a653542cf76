#include "EnvioParaRecepcion.h"

#include "EnvioDesdeEmpresa.h"
#include "FrmEnvioIMaestros.h"

#include "db/DB_Dll.h"

namespace envio {

EnvioParaRecepcion::EnvioParaRecepcion() : m_propia(gDB().ajustesDeConexion()) {}

platform::Result<QString> EnvioParaRecepcion::enviar(const recepcion::PedidoEnvio &pedido)
{
    PedidoEnvio p;
    p.responsable = pedido.responsable;
    p.carpeta = pedido.carpeta;
    p.maestros = pedido.maestros;
    p.movimientos = pedido.movimientos;
    p.precios = pedido.precios;
    p.restaurarConexion = [this] { gDB().reabrirCon(m_propia); };
    const EntregaEnvio entrega = EnviarDesdeEmpresa(p);
    if (entrega.hecho)
        return entrega.archivo;
    return platform::Result<QString>::failure(
        entrega.motivo.isEmpty() ? QStringLiteral("No se generó el paquete en la base de la empresa") : entrega.motivo);
}

void EnvioParaRecepcion::ocultar()
{
    if (FrmEnvioIMaestros *f = formularioDeEnvio())
        f->hide();
}

void EnvioParaRecepcion::interrumpir()
{
    if (FrmEnvioIMaestros *f = formularioDeEnvio())
        f->logica().interrumpir();
}

void registrarParaRecepcion()
{
    recepcion::registrarEnvio([] { return std::make_unique<EnvioParaRecepcion>(); });
}

} // namespace envio
