#pragma once

#include "EstadoEnvio.h"

#include "platform/Result.h"

#include <QString>

#include <functional>

class DB_Dll;

namespace envio {

// Stamps every unsent row (TRANSMISION 0 or Null) of the master tables with a transmission
// number at once: the lookup tables and the price-list headers with one UPDATE each, the
// articles and the prices row by row, which also sets their DESDETRIGGER. `numero` is read
// again before every statement (the form's box); it must be digits, or nothing is stamped.
// `idLista` limits the prices to one list. A statement that fails is logged and the stamping
// goes on. Returns the rows stamped, or a failure when the number is not a number.
struct Marcado {
    long tablas = 0;
    long articulos = 0;
    long precios = 0;
    long fallidas = 0;
};
platform::Result<Marcado> MarcarTransmitidos(DB_Dll &db, const std::function<QString()> &numero, const QString &idLista,
                                             VistaEnvio &vista);

} // namespace envio
