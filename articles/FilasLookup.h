#pragma once

#include <QString>

// The unit, type and category rows an article names, written before the article itself.
namespace articles {

// The three lookup tables in the order a save treats them: the table ElCodigo is given,
// the table its statements name, the key column and the data field of the code box (and of
// its description box and label).
struct TablaLookup {
    const char *tabla;
    const char *consulta;
    const char *columna;
    const char *campo;
};
inline constexpr TablaLookup kTablasLookup[3] = {
    {"v_ta_rubros", "v_ta_rubros", "idrubro", "idRubro"},
    {"V_TA_TipoArticulo", "v_ta_TipoArticulo", "idTipo", "idTipo"},
    {"v_ta_unidad", "v_ta_unidad", "idunidad", "idunidad"},
};

// For table i: inserts the row of `codigo` with `descripcionNueva` when it is missing, then
// gives an existing row `descripcion`. Both statements run whatever the values hold; a
// failure is shown (the first provider error) and the next statement runs.
void EscribirFilaLookup(int i, const QString &codigo, const QString &descripcionNueva, const QString &descripcion);

} // namespace articles
