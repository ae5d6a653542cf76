#include "EnvioParaRecepcion.h"

#include "EnvioDesdeEmpresa.h"
#include "FrmEnvioIMaestros.h"

#include "db/DB_Dll.h"

namespace envio {

EnvioParaRecepcion::EnvioParaRecepcion()
{
    const DB_Dll &db = gDB();
    m_servidor = db.gServidor;
    m_base = db.gDBName;
    m_usuario = db.gUsuario;
    m_clave = db.gUserPassWord;
    m_cadena = db.gConnString;
}

void EnvioParaRecepcion::reabrirPropia()
{
    DB_Dll &db = gDB();
    if (db.gOpenFlag) {
        try {
            db.gCnn.Close();
        } catch (const platform::RuntimeError &) {
        }
        db.gOpenFlag = false;
    }
    db.gServidor = m_servidor;
    db.gUsuario = m_usuario;
    db.gDBName = m_base;
    db.gUserPassWord = m_clave;
    db.OpenServerADODB(false, 3, m_cadena, true, true);
}

platform::Result<QString> EnvioParaRecepcion::enviar(const recepcion::PedidoEnvio &pedido)
{
    PedidoEnvio p;
    p.responsable = pedido.responsable;
    p.carpeta = pedido.carpeta;
    p.maestros = pedido.maestros;
    p.movimientos = pedido.movimientos;
    p.precios = pedido.precios;
    p.restaurarConexion = [this] { reabrirPropia(); };
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

void registrarParaRecepcion()
{
    recepcion::registrarEnvio([] { return std::make_unique<EnvioParaRecepcion>(); });
}

} // namespace envio
