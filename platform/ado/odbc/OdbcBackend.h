#pragma once

#include "platform/ado/Backend.h"

#include <memory>

namespace ado {

// SQL Server (FreeTDS), PostgreSQL (psqlODBC) and Oracle through unixODBC.
std::unique_ptr<Backend> createOdbcBackend(const ConnectionString &cs);

} // namespace ado
