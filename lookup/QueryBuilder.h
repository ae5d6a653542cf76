#pragma once

#include "lookup/MaskFile.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace lookup {

// What a lookup is asked for (ConsultaSearch's text arguments).
struct QueryRequest {
    QString SQL;               // a complete statement, or a bare table or view name
    QString CampoBusqueda;     // column searched and ordered by; chosen when empty
    QString Where;             // extra condition
    QString SentenciaOpcional; // statement used instead of the column discovery
};

// Where the builder gets what it does not know itself.
struct QueryEnvironment {
    int rowLimit = 1000;
    bool useMasks = false;
    std::function<MaskLookup(const QString &view)> mask;
    // The field names of `table` in order; nothing when it could not be read (already reported).
    std::function<std::optional<QStringList>(const QString &table)> columns;
};

struct QueryResult {
    enum class Outcome {
        Ready,          // `statement` is the statement to list
        NoSearchColumn, // the mask names one column (or none) and no search column was given
        Failed,         // nothing to list; `problem` says why ("" when already reported)
    };
    Outcome outcome = Outcome::Ready;
    QString statement;
    QString CampoBusqueda; // as rewritten
    QString Where;         // as rewritten (wrapped in parentheses)
    QString problem;
};

// The row limit from the configuration text of "TopConsArt": its leading number, rounded;
// 1000 when that is 0 or less.
int rowLimitFrom(const QString &topConsArt);

// The statement of a lookup: a complete statement keeps its text (the caller's condition
// merged into its WHERE, before GROUP BY / ORDER BY); a bare name takes its mask or, without
// one, its own columns, with the row limit and the ordering by the search column.
QueryResult buildQuery(const QueryRequest &request, const QueryEnvironment &environment);

} // namespace lookup
