#pragma once

#include "platform/Result.h"
#include "platform/Variant.h"

#include <QString>

#include <vector>

class DB_Dll;

namespace recepcion {

// How a column's value is checked and written.
enum class ClaseColumna { Texto, Numero, Booleano, Fecha, Otra };

struct ColumnaLocal {
    QString nombre; // as the database reports it
    long tipo = 0;  // ADO type number
    long largo = 0; // characters of a text column (0: unknown)
    ClaseColumna clase = ClaseColumna::Otra;
    bool exacto = false; // money or decimal: an amount is stored digit for digit
};

// The columns of one local table or view, read once per table import.
class TablaLocal {
public:
    // Reads the columns of `tabla` (a "@ADMIN_" prefix is dropped). Fails naming the table
    // when the database cannot read it.
    static platform::Result<TablaLocal> leer(DB_Dll &db, const QString &tabla);

    int indice(const QString &nombre) const; // -1 when the table has no such column
    const ColumnaLocal &columna(int i) const { return m_columnas.at(size_t(i)); }
    int cantidad() const { return int(m_columnas.size()); }
    const QString &nombre() const { return m_nombre; }

private:
    QString m_nombre;
    std::vector<ColumnaLocal> m_columnas;
};

// The value to store in column `c` for a field's text, or why the column cannot take it:
// "NULL" (any case) is Null; text is kept as it came (blanks past the column's width are
// dropped, anything else longer is refused); numbers take a decimal comma or point (an
// amount with more digits than a double holds goes to a money or decimal column as its
// exact text, for the database to store or refuse); Boolean
// columns take 0/1 (any number) or TRUE/FALSE/VERDADERO/FALSO; dates are day first
// (d/m/yyyy with an optional time), a blank date is Null. Reasons name the column as
// `nombre` (the package's spelling), or as the database does when it is empty.
platform::Result<platform::Variant> valorPara(const ColumnaLocal &c, const QString &texto,
                                              const QString &nombre = QString());

// A column name as a statement writes it: in square brackets when it is not a plain word.
QString nombreSql(const QString &columna);

} // namespace recepcion
