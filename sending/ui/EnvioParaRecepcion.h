#pragma once

#include "db/DB_Dll.h"
#include "reception/EnvioRemoto.h"

#include <QString>

// The sending as the reception form drives it on its road from another company's database.
namespace envio {

class EnvioParaRecepcion : public recepcion::EnvioMaestros {
public:
    // Keeps the connection settings gDB holds now: the run's own database, which the road
    // reopens when the operator closes the sending form while the reception waits.
    EnvioParaRecepcion();

    platform::Result<QString> enviar(const recepcion::PedidoEnvio &pedido) override;
    void ocultar() override;
    void interrumpir() override;

private:
    DB_Dll::Ajustes m_propia;
};

// Registers this program's sending for the reception form's road; call it while gDB holds
// the run's own connection, after start-up.
void registrarParaRecepcion();

} // namespace envio
