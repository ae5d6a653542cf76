#pragma once

#include "platform/Result.h"

#include <QString>

#include <functional>
#include <memory>

// The road "receive from another company's database": the reception form connects to the
// company's database and has the sending build a package there. The sending is another
// subsystem; it registers itself here, so that the reception never links it.
namespace recepcion {

// What the reception hands to the sending (the sending form's boxes and options).
struct PedidoEnvio {
    QString responsable;      // the sending form's Responsable_Envio
    QString carpeta;          // the package folder (the temporary folder)
    bool precios = false;     // chkPrecios
    bool movimientos = false; // ChkMovimientos
    bool maestros = false;    // ChkMaestros
};

// The sending as the reception drives it. Called on the company's connection (the shared
// gDB), from the interface thread; the implementation keeps the event loop running while it
// works and returns only when the package is built or the sending failed.
class EnvioMaestros {
public:
    virtual ~EnvioMaestros() = default;
    // The path of the Archivos.zip built in pedido.carpeta, or why there is none.
    virtual platform::Result<QString> enviar(const PedidoEnvio &pedido) = 0;
    // Hides the sending form again.
    virtual void ocultar() {}
    // Asks the sending in progress to stop at its next row; enviar() then returns its failure.
    virtual void interrumpir() {}
};

// The sending of this program, created on first use by the factory the program registers;
// nullptr while none is registered (the road then says the sending is not available).
void registrarEnvio(std::function<std::unique_ptr<EnvioMaestros>()> fabrica);
EnvioMaestros *envioRegistrado();

} // namespace recepcion
