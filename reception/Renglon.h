#pragma once

#include <QString>

class DB_Dll;

// The row-parsing operations of the reception form, on lines whose fields are separated by
// a separator text (TAB in every use), found without regard to case. The import itself
// splits each line once (package::readLine); these keep the form's own rules for callers
// that take one field at a time.
namespace recepcion {

// Number of fields. A separator after the last field starts no further field; each field
// after a separator is counted with the blanks in front of it taken off. "" counts as 1.
short ExtraeTotPos(const QString &entrada, const QString &separador);
// The field at the 1-based position, untrimmed; "" beyond the last field or below 1.
QString ExtraeCadena3(const QString &entrada, long item, const QString &separador);
// The 1-based position of the first field equal to `item` (fields trimmed, any case); when
// none matches, the number of fields.
short ExtraePosicion(const QString &entrada, const QString &item, const QString &separador);
// The local table's columns in their order, separated by ",", without the four names given
// (any case), each in square brackets when `corchetes`; `tipos` receives their ADO type
// numbers separated by ",". "" when the database lacks the table.
QString VerificaCampos(const QString &tabla, DB_Dll &db, const QStringList &excluidos, bool corchetes, QString &tipos);

} // namespace recepcion
