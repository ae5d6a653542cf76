#include "OdbcBackend.h"

namespace ado {

std::unique_ptr<Backend> createOdbcBackend(const ConnectionString &cs)
{
    throw BackendFailure(BackendError{errnum::GenericFailure, 0, QStringLiteral("IM002"),
                                      QStringLiteral("Proveedor no disponible: ") + cs.provider()});
}

} // namespace ado
