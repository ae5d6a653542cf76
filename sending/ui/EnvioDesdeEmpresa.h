#pragma once

#include <QString>

#include <functional>

class FrmEnvioIMaestros;

// The sending form's part of the reception from another company's database. The reception
// form has connected the shared DB_Dll to the company's database; this drives the sending
// form there and waits, on the event loop, for its outcome.
namespace envio {

struct PedidoEnvio {
    QString responsable;   // the reception form's responsible person
    QString carpeta;       // the folder the package is built in
    bool maestros = false; // the reception form's check boxes of the same names
    bool movimientos = false;
    bool precios = false;
    // Reopens the run's own connection; the sending form calls it when the operator closes
    // it during the road, so that the program ends on its own database.
    std::function<void()> restaurarConexion;
};

struct EntregaEnvio {
    bool hecho = false; // the sending built its package (PFinalizado)
    QString archivo;    // the package: the folder followed by "Archivos.zip"
    QString motivo;     // why there is none (empty when the form's checks stopped it)
};

// Loads the sending form on its first use (its start-up then runs on the company's database:
// that company's settings and one access row there), fills it, shows it without blocking,
// runs its GRABAR and waits until that ends, succeeded or failed. The form is hidden again.
// Afterwards the company's access row has its exit time (written on the company's
// database), and the run's own settings and access row are back in the global settings.
EntregaEnvio EnviarDesdeEmpresa(const PedidoEnvio &pedido);

// The form of the road, once loaded; nullptr before.
FrmEnvioIMaestros *formularioDeEnvio();
// Releases the form (before the application object goes).
void liberarFormularioDeEnvio();

} // namespace envio
