#include "Aplicacion.h"

#include <memory>

namespace platform::suite {

namespace {
std::unique_ptr<Aplicacion> &instance()
{
    static std::unique_ptr<Aplicacion> object;
    return object;
}
} // namespace

Aplicacion &gAplicacion()
{
    if (!instance())
        instance() = std::make_unique<Aplicacion>();
    return *instance();
}

void releaseAplicacion() { instance().reset(); }

} // namespace platform::suite
