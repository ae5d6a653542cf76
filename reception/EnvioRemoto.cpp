#include "EnvioRemoto.h"

namespace recepcion {

namespace {

struct Registro {
    std::function<std::unique_ptr<EnvioMaestros>()> fabrica;
    std::unique_ptr<EnvioMaestros> envio;
};

Registro &registro()
{
    static Registro r;
    return r;
}

} // namespace

void registrarEnvio(std::function<std::unique_ptr<EnvioMaestros>()> fabrica)
{
    registro().envio.reset();
    registro().fabrica = std::move(fabrica);
}

EnvioMaestros *envioRegistrado()
{
    Registro &r = registro();
    if (!r.envio && r.fabrica)
        r.envio = r.fabrica(); // loaded once per run, as the sending form is
    return r.envio.get();
}

} // namespace recepcion
