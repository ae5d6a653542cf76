#pragma once

#include <QDateTime>
#include <QString>

namespace ado {
class Recordset;
}

// Shared routines that read the main database.
namespace ModGlobal {

// True when the rate equals one of the configured VAT rates (PIVA, PIVAREC, PIVADIF,
// PIVADIF1, PIVADIF2), compared as currency amounts; a missing or blank key reads as 0
// (so a rate of 0 matches it). A value that is not a number raises RuntimeError(13).
bool EsTasaIva(float tasa);

// Finds an account of MA_CUENTAS by Codigo, then by CodigoOpcional (or the other way
// round when `porCodigoOpcional`). On a hit `codigo` receives the account's Codigo and
// `porCodigoOpcional` tells which column matched. `rs`, when given, stays open on it.
bool BuscarCuenta(QString &codigo, ado::Recordset *rs, bool soloLectura, bool &porCodigoOpcional);

// The server's date and time, read as a date. Without one: FECHAOPERHASTA when
// UTILIZARFECHADIA is set and it is a date, else the machine's date and time.
QDateTime FechaServidor();

// Names the description and code columns of a lookup table (empty when the table has no
// rule); with `consultar`, runs the lookup and leaves the chosen code in `columnaCodigo`.
void DefinicionConsulta(QString &tabla, QString &columnaDescripcion, QString &columnaCodigo, QString &columnaTercera,
                        bool consultar, const QString &condicion);

} // namespace ModGlobal
