#pragma once

#include <QList>
#include <QString>

namespace ModGlobal {

// One pending column of the statement being built: its name and its value already
// written as an SQL literal (or the bare word Null).
struct CampoValor {
    QString Campo;
    QString Valor;
};

// The pairs of the one statement under construction, shared by every caller.
extern QList<CampoValor> gCampos;
// The module's own statement list (the access log's).
extern QStringList gSentencias;

} // namespace ModGlobal
