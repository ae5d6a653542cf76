// The program's entry point: reads the arguments, checks that its folder can be written
// and, for the desktop, that there is a display, all before any widget exists; then
// creates the application object of the chosen mode, gives it Qt's own texts in Spanish
// and runs start-up.

#include "Programa.h"
#include "Traducciones.h"

#include "core/LineaComandos.h"

#include <QApplication>
#include <QCoreApplication>

#include <memory>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const Programa::Pedido pedido = Programa::leerArgumentos(arguments);
    if (pedido.accion != Programa::Pedido::Accion::Ejecutar)
        return Programa::atender(pedido);
    const bool unattended = ModGlobal::LineaComandos::parse(pedido.comando).unattended();
    if (const int status = Programa::prepararCarpeta(); status != Programa::kOk)
        return status;
    if (!unattended && !Programa::hayPantalla())
        return Programa::sinPantalla(QString());

    std::unique_ptr<QCoreApplication> app;
    if (unattended) {
        app = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        Programa::vigilarPantalla(true);
        app = std::make_unique<QApplication>(argc, argv);
        Programa::vigilarPantalla(false);
    }
    Programa::instalarTraducciones(*app);
    if (pedido.envio)
        return Programa::runEnvio(pedido.comando, unattended);
    return Programa::run(pedido.comando, unattended);
}
