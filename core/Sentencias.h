#pragma once

#include "CampoValor.h"

#include "platform/RuntimeError.h"
#include "platform/Variant.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace ado {
class Recordset;
}

// Builds INSERT/UPDATE statements column by column and runs a list of them as one
// transaction on the main connection.
namespace ModGlobal {

// Appends one pair to gCampos (primero: starts it anew). A value "NULL" in any case
// becomes the bare word Null; any other value is written by gDB().SQLValue with `tipo`
// ("'" quoted text, apostrophes doubled; "@" number).
void AgregarCampo(const QString &campo, const QString &valor, const QString &tipo, bool primero);

// Chooses the literal kind from the recordset field's type and appends the pair.
// `campo` loses its "[" and "]". Raises when the recordset has no such field, and
// RuntimeError(3421) for a date column whose non-blank text is not a day-first date
// (a blank one is written as Null).
void CargarCampo(ado::Recordset &rs, QString &campo, const QString &valorTexto, bool primero);

// Builds one INSERT (or UPDATE with `condicion`, " WHERE " put in front when it lacks
// the keyword; the caller's text changes) from `pares` and appends it to `sentencias`
// followed by one empty element. Unless `mantenerPares`, the pairs are emptied.
void ArmarSentencia(QList<CampoValor> &pares, QStringList &sentencias, const QString &tabla, bool actualizar,
                    QString &condicion, bool mantenerPares);

// Runs the non-blank statements of the list in one transaction on gDB. Outcome in the
// out arguments: `fallo` True when any statement failed (then everything is rolled
// back, never committed), `errorNativo` the first error's native number (0 when none),
// `script` the script text, `textoError` the error lines. A failure writes an AUX_ERR
// row and, when `mostrarMensaje` and the text is not blank, shows "Aviso al Operador!".
// Tolerated 2627/547 only keep the message from the operator.
void GActualizarDatoScript(const QStringList &sentencias, bool &fallo, std::int32_t &errorNativo,
                           bool ignorarDuplicados, bool ignorarClavesForaneas, QString &script, QString &textoError,
                           bool mostrarMensaje);

// Writes one AUX_ERR row; every failure is ignored.
void RegistrarErrorAux(const QString &script, QString &proceso, std::int32_t errorNativo, const QString &textoError);

// The operator's message for a failed save; returns MostrarError's answer (4, 5 or 3)
// when it was asked, else 0.
std::int16_t ErroresActualizacion(const platform::RuntimeError &error, const QString &campo);

// The statement rewritten for Oracle when the main connection is an Oracle one.
QString AdaptarSQL(const QString &sentencia);

} // namespace ModGlobal
