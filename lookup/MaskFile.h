#pragma once

#include "core/MascaraConsulta.h"

#include <QString>

namespace lookup {

// The query mask of a view, looked up in the query-mask file.
struct MaskLookup {
    enum class Outcome { Found, NotFound, NoFile, Damaged };
    Outcome outcome = Outcome::NotFound;
    ModGlobal::MascaraConsulta mask; // Found and Damaged
    QString file;                    // the file read (its real name, whatever the case)
    int record = 0;                  // 1-based number of the record found
    QString problem;                 // Damaged: what is wrong with the record
};

// Reads the file record by record from the first and takes the first record whose view
// field, cleared of NUL and character 255 and trimmed, equals `view` trimmed (any case).
// The file is found whatever the case of its name. A found record whose columns or
// condition cannot stand in a statement (control characters, unclosed quotes or
// parentheses, a ";" or a comment outside a literal) comes back Damaged.
MaskLookup findMask(const QString &path, const QString &view);

// What makes a piece of SQL taken from a file unfit to be pasted into a statement; ""
// when it is fit.
QString fragmentProblem(const QString &text);

} // namespace lookup
