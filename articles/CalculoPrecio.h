#pragma once

#include "Importe.h"

#include <QString>

#include <optional>

namespace articles {

// What the price calculation reads from the article form at each call: the texts of the
// boxes, the exempt box and the form's with-tax flag.
struct DatosPrecio {
    QString campo;               // data-field name of the box that changed ("Costo", "Precio", "Utl_P1")
    bool cambioUtilidad = false; // the markup changed
    QString costo;
    QString precio;
    QString tasa;        // the "TasaIVA" box
    QString tasaGeneral; // the configured "PIVA", used when the box gives 0
    QString utilidad;    // the markup percentage ("Utl_P1")
    bool exento = false; // the exempt box is checked or greyed
    bool conIva = false; // prices include the tax (MaestroArticuloConIva)
};

// What the calculation changes on the form; a member without a value is left alone.
struct PrecioCalculado {
    std::optional<QString> precio;          // new text of the "Precio" box
    std::optional<Importe> precioRecordado; // new remembered Precio (unrounded)
    std::optional<QString> utilidad;        // new text of the "Utl_P1" box
    QString aviso;                          // why a box kept its value: the result does not fit in an amount
};

// Keeps price, markup and cost consistent. A new markup or a new cost (or cambioUtilidad)
// gives a new price: cost plus markup percent, times (rate / 100 + 1) when the tax applies
// (not exempt and conIva), shown with the configured decimals; a markup that is not above 0
// changes nothing. A new price ("Precio", or "Utl_P1" without cambioUtilidad) gives a new
// markup: the price without tax over the cost, minus 100, rounded to the configured
// decimals; "0" when the price is not above the cost. A box that is not a number reads as 0;
// a division by a cost of 0 gives the markup 0. A price or markup that does not fit in an
// amount leaves its box (and the remembered price) as it was, and `aviso` says why. Pure:
// reads only its arguments and the configured number of decimals.
PrecioCalculado CalcularPrecio(const DatosPrecio &datos);

} // namespace articles
