#pragma once

#include <QList>
#include <QString>

// What differs from table to table in the import: how a row's key is found (the columns,
// text or number, right-aligned or as read), which road a row takes, and which columns of
// a row are written and with which value. Names compare without regard to case.
namespace recepcion {

enum class Camino {
    Busqueda,       // looked up by its key, then inserted or updated
    LoteAsientos,   // MV_ASIENTOS: rows of one entry written together in a transaction
    BorradoAsiento, // V_MV_CPTEACCIONES: deletes the matching accounting row
};

struct TerminoClave {
    QString columna;
    bool texto = true; // a text term; else a number term
    int ancho = 0;     // right-aligned to this width with leading blanks; 0: as read (trimmed)
    QString siNulo;    // the value used when the field reads null (empty: none)
};

struct ReglaTabla {
    QString tabla;
    QString objetoBusqueda; // where the key is looked up ("@ADMIN_" asks for the table itself)
    QList<TerminoClave> claves;
    Camino camino = Camino::Busqueda;
    bool saltaClaveVacia = false; // a row whose key is blank is passed over
};

// The table's key rule; nullptr for a table without one (its lines are read and counted,
// nothing is written): B_CODIGOS and B_ALIAS among them.
const ReglaTabla *reglaTabla(const QString &tabla);

// ma_cuentas, ma_cuentasadic, ma_cuentassuc, mv_asientos, mv_asientosccosto.
bool esTablaContable(const QString &tabla);
// The 27 price columns of the articles (Costo, Precio1..8, Dto1..9, ...).
bool esColumnaPrecio(const QString &columna);

// What a column of a row writes.
struct DecisionColumna {
    bool tomar = false;     // false: the column is not in the statement
    bool recepcion = false; // takes the reception's number
    QString valor;          // the field's text (possibly changed by the rule)
};

// What the column rule decides from the table and the column's name alone: resolved once per
// table, so that a row only looks at its field's value to pass over a Null.
struct ReglaDeColumna {
    enum class Tipo {
        Recepcion,    // the reception's number
        Fija,         // always `fija`, whatever the line holds (DESDETRIGGER)
        Omitir,       // never in the statement (a price column without the prices flag)
        Siempre,      // the field's text, also when it reads NULL
        NuloVacio,    // the field's text, a NULL written as the empty text
        SiNoNulo,     // the field's text; passed over when it reads NULL
        Equivalencia, // "0" or "1" as they are, anything else "0" (PideEquivalencia)
    };
    Tipo tipo = Tipo::SiNoNulo;
    QString fija;
};

// `precios` is the prices flag of the control file (always set for tables other than
// V_MA_ARTICULOS).
ReglaDeColumna reglaDeColumna(const QString &tabla, const QString &columna, bool precios);
// What the rule makes of a field holding `valor`.
DecisionColumna decidir(const ReglaDeColumna &regla, const QString &valor);

// The column rule for header column `columna` whose field holds `valor`.
DecisionColumna reglaColumna(const QString &tabla, const QString &columna, const QString &valor, bool precios);

} // namespace recepcion
