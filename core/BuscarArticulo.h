#pragma once

#include <QString>

#include <cstdint>

namespace ado {
class Recordset;
}

namespace ModGlobal {

// What a typed or scanned code carries besides the article: quantity, amount, batch.
struct ArticuloBuscado {
    QString descripcion;
    QString unidadBase;
    double cantidad = 1;
    double importe = 0;
    QString lote;
};

// Finds one article of V_MA_ARTICULOS from a typed or scanned code: quantity prefix
// ("3*code"), batch ("lotAcode" when batches are assigned automatically), sign and check
// prefix, configured bar-code layouts; then by identifier, bar codes, the supplier's
// price list and the supplier's article code. `codigo` receives the code finally looked
// up (the article's IdArticulo after a bar-code or supplier hit). `rs`, when given, is
// left open on the article. `porCodigoBarra` is forced to 0 for codes of 3 characters or
// fewer. `avisoUnidadNegocio`: 0 warns about another business unit, 1 turns into 2.
bool BuscarArticulo(QString &codigo, ado::Recordset *rs, bool modoApertura, std::int16_t &porCodigoBarra,
                    ArticuloBuscado &resultado, const QString &cuentaProveedor, const QString &lista,
                    const QString &tipoComprobante, std::int16_t &avisoUnidadNegocio);

} // namespace ModGlobal
