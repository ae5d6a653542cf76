#pragma once

#include "platform/Result.h"

#include <QString>

// Builds a sample transmission package, as the sending would write it, for every table of
// the package (the 27 master tables, B_CODIGOS and B_ALIAS): the field lists are those of
// the suite's schema, the values are generated (right-aligned codes, descriptions with
// accents and apostrophes, decimal commas, day-first dates with and without a time, NULLs),
// V_MA_PRECIOS.DAT begins with a withdrawn-price line, and every file is Windows-1252 with
// CR LF. The same options give the same package.
namespace samplepackage {

struct Options {
    int articles = 200;                           // rows of V_MA_ARTICULOS
    int pricesPerArticle = 5;                     // price lists, each pricing every article
    int rowsPerSmallTable = 12;                   // rows of each lookup table
    int seed = 1;                                 // varies the generated values
    QString database = QStringLiteral("MUESTRA"); // line 5 of the control file
    QString origin;                               // when not empty, a CONTROL.DAT naming this origin database
};

// Writes `archive` (an existing file is replaced). The files are written in a private
// folder and packed from there.
[[nodiscard]] platform::Status generate(const QString &archive, const Options &options);

// Writes the package's files (control file, data files, CONTROL.DAT when asked) into
// `folder` without packing them.
[[nodiscard]] platform::Status writeFiles(const QString &folder, const Options &options);

} // namespace samplepackage
