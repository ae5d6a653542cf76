#pragma once

#include "platform/ScriptValue.h"

#include <QString>

#include <functional>

// A tree as one line, for comparing reads: {key:value,...} [item,...] "text" 1.5
// true false null empty; the Empty root reads "none".
QString treeText(const platform::ScriptValue &root);

// Levels of nested containers, following the last member of each (walked without recursion).
int nestingDepth(const platform::ScriptValue &root);

// The number of the platform::RuntimeError that f raises, 0 when it raises none.
long raisedNumber(const std::function<void()> &f);
