#pragma once

#include <QString>

namespace articles {

// The code of a lookup value named by its description, created when the description is
// new. `tabla` names the kind (compared ignoring case, and used as the table name):
// "v_ta_tipoarticulo", "v_ta_rubros", "v_ta_Unidad" (four-character codes numbered by
// prefix; rubros and units right-justified to 4), "v_ta_familias" (levels separated by the
// character 255, two digits per level, each level looked up under its own parent), "Color"
// and "Talle" (rows of TA_CONFIGURACION, codes right-justified to 25) and "Sexo" (one letter,
// no database). The description loses its apostrophes, double quotes and commas; the
// caller's variable keeps the cleaned text (for families the last level, trimmed).
//
// Returns the stored code of an existing value, or the new code. Returns "" and writes
// nothing for a blank description (except "Sexo", where it gives "F") and for another kind;
// returns "" after a message to the operator when no code is free in the range or the
// insert failed. A failed lookup raises platform::RuntimeError to the caller.
QString ElCodigo(const QString &tabla, QString &descripcion);

// The letter of a sex or side description: M, F (also for a blank one), D, I, or U.
QString LetraDeSexo(const QString &descripcion);

} // namespace articles
