#pragma once

#include "platform/Result.h"

#include <QString>
#include <QStringList>

#include <cstdint>

class DB_Dll;

// The cancellation of a transmission of movements (type 'T'): the stamp of every row that
// carries its number is reset to 0 in a fixed list of tables, its rows of
// AUX_MV_APLICACION_TR are deleted, and its row of MV_TRANSMISIONES is marked cancelled.
namespace AnulaTrans {

// The tables whose stamps a cancellation resets, in order.
const QStringList &tablasAnuladas();

// Whether the routine acts on transmissions of this type ("T", in any case).
bool anulaTipo(const QString &tipo);

// Cancels transmission `numero` of type `tipo`; any type but "T" does nothing. Each row is
// addressed by its key (the table-key catalogue; the first column when it gives none) and
// by the transmission's own number, so that no other row is touched; a Null key value is
// matched with IS NULL. The transmission is marked cancelled only when every step
// succeeded; otherwise the failure is reported and it stays as it was, to be cancelled
// again. Progress shows in the status window, whose stop request ends the run at once.
// The result says whether it was cancelled (or had nothing to do).
platform::Status AnularTransmision(std::int32_t numero, const QString &tipo, DB_Dll &db);
platform::Status AnularTransmision(std::int32_t numero, const QString &tipo);

} // namespace AnulaTrans
