#pragma once

#include "platform/ScriptValue.h"

#include <QString>

#include <functional>

// The JSON reader: a lenient reader of JSON text into a tree of Dictionary
// (objects, members in reading order, keys case-sensitive), 1-based Collection
// (arrays), texts, Decimal numbers, Booleans, Null and Empty. It takes single as well
// as double quotes, keys without quotes, comments, parentheses as blanks and missing
// commas, and keeps reading after most faults: the caller gets what could be read and
// a readable error text. Reads run one at a time; the error text belongs to the module.
namespace JSON {

// Reads the object or array that starts the text (after blanks and comments). Returns
// its Dictionary or Collection, or Empty when the text starts with anything else (the
// error text is then "Invalid JSON") or the read failed altogether.
platform::ScriptValue Analizar(const QString &text);

// The error text of the last read: one line per fault, each ending in CR LF, except
// "Invalid JSON", which stands alone; empty when the read found nothing wrong.
QString ErroresParser();

// What the last read left after its root object or array, from the first character that
// is not a blank or part of a comment ("" when nothing follows). The reader itself ignores
// such text; a caller that wants exactly one document checks it.
QString TrailingText();

namespace detail {
// Runs a read with the module's error text cleared; a failure that escapes the read
// leaves its description as a line of the error text and no object.
platform::ScriptValue guardedRead(const std::function<platform::ScriptValue(QString &errors)> &read);
} // namespace detail

} // namespace JSON
