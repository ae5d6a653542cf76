#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace articles {

// Limits of one request: the connection (name lookup, connect, TLS and sending the request)
// must be made within `conexionMs` and the whole reply must arrive within `totalMs`; a body
// longer than `maxBytes` is refused.
struct LimitesHttp {
    int conexionMs = 5000;
    int totalMs = 20000;
    qint64 maxBytes = 32 * 1024 * 1024;
};

LimitesHttp limitesHttp();
// Changes the limits of every later request (tests use short ones).
void setLimitesHttp(const LimitesHttp &limites);

// The body of a reply and the type its server gave it.
struct RespuestaHttp {
    QByteArray cuerpo;
    QString tipo; // Content-Type, "" when not given
};

// GET of an http or https address, synchronous for the caller: it waits in a local event
// loop that takes no user input (the windows repaint, the operator cannot act) and always
// returns within the limits. A reply counts only with a 2xx status; anything else fails with
// a message saying why: no connection, a time-out, the HTTP status, a body too long.
platform::Result<RespuestaHttp> ObtenerHttp(const QUrl &direccion);

// The address made of `base` followed directly by `codigo` trimmed and percent-encoded (a bar
// code may hold any character, "/" and "?" included) and `sufijo`.
QUrl DireccionConCodigo(const QString &base, const QString &codigo, const QString &sufijo = QString());

// The body as text: the charset the reply names, UTF-8 when it names none or an unknown one.
QString TextoDeRespuesta(const RespuestaHttp &respuesta);

} // namespace articles
