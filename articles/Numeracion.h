#pragma once

#include "platform/Variant.h"

#include <QString>

#include <functional>
#include <optional>

// How new codes are numbered: article codes, the four-character lookup codes and the
// family levels. Pure: the database answers come in through a callback.
namespace articles {

// A whole number written in decimal digits, plus one, as decimal text: leading zeros keep
// the width ("0099" gives "0100"), any number of digits is exact ("9999999999999999999999998"
// gives "9999999999999999999999999"). Surrounding blanks are ignored. nullopt when the text
// is not made of digits only.
std::optional<QString> SumarUno(const QString &numero);

// The highest stored code of one prefix (a blank, a digit or a letter): nullopt when the
// query gave no row, a Null Variant when no code has that prefix yet.
using MaximoDePrefijo = std::function<std::optional<platform::Variant>(QChar prefijo)>;

// A new four-character code continuing the highest code of the first prefix that still has
// room, prefixes tried in the order blank, "1".."9", "A".."Z", "a".."z": a blank and three
// digits (only continued, never started), a four-digit number whose first digit is the
// prefix (1000 is the first), or a letter and three digits (A001 is the first). "" when every
// prefix is full. Raises platform::RuntimeError 13 when a stored code is not a number after
// its prefix.
QString CodigoPorPrefijo(const MaximoDePrefijo &maximo);

// The code of a new family at level length `largo` (2 per level): under a parent, the parent
// followed by the next two-digit number (01 first); without one, the next number of `largo`
// digits (01 at level 1). `maximo` is the highest stored code of that level (Null when none).
// "" when the level is full (the next number would need more digits). Raises 13 when the
// stored code is not a number.
QString CodigoDeFamilia(const QString &padre, int largo, const platform::Variant &maximo);

} // namespace articles
