#include "ClienteHttp.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTimer>

#include <algorithm>

namespace articles {

namespace {

LimitesHttp &limites()
{
    static LimitesHttp vigentes;
    return vigentes;
}

using Fallo = platform::Result<RespuestaHttp>;

// Waits for the reply within the limits; returns why it was cut short, or "".
QString esperar(QNetworkReply &respuesta, const LimitesHttp &l)
{
    QString motivo;
    const auto cortar = [&](const QString &porque) {
        if (motivo.isEmpty())
            motivo = porque;
        respuesta.abort();
    };
    QTimer conexion;
    conexion.setSingleShot(true);
    QObject::connect(&conexion, &QTimer::timeout, &respuesta,
                     [&] { cortar(QStringLiteral("sin conexión después de %1 ms").arg(l.conexionMs)); });
    QObject::connect(&respuesta, &QNetworkReply::requestSent, &conexion, &QTimer::stop);
    QTimer total;
    total.setSingleShot(true);
    QObject::connect(&total, &QTimer::timeout, &respuesta,
                     [&] { cortar(QStringLiteral("sin respuesta completa después de %1 ms").arg(l.totalMs)); });
    QObject::connect(&respuesta, &QNetworkReply::downloadProgress, &respuesta, [&](qint64 recibidos, qint64 largo) {
        if (recibidos > l.maxBytes || largo > l.maxBytes)
            cortar(QStringLiteral("respuesta de más de %1 bytes").arg(l.maxBytes));
    });
    QEventLoop bucle;
    QObject::connect(&respuesta, &QNetworkReply::finished, &bucle, &QEventLoop::quit);
    conexion.start(std::min(l.conexionMs, l.totalMs));
    total.start(l.totalMs);
    if (!respuesta.isFinished())
        bucle.exec(QEventLoop::ExcludeUserInputEvents);
    return motivo;
}

} // namespace

LimitesHttp limitesHttp() { return limites(); }

void setLimitesHttp(const LimitesHttp &nuevos) { limites() = nuevos; }

platform::Result<RespuestaHttp> ObtenerHttp(const QUrl &direccion)
{
    const QString texto = direccion.toDisplayString();
    const QString esquema = direccion.scheme().toLower();
    if (!direccion.isValid() || (esquema != QLatin1String("http") && esquema != QLatin1String("https")))
        return Fallo::failure(QStringLiteral("%1: no es una dirección http").arg(texto));
    if (!QCoreApplication::instance())
        return Fallo::failure(QStringLiteral("%1: el programa no tiene bucle de eventos").arg(texto));
    QNetworkAccessManager red;
    QNetworkRequest pedido(direccion);
    pedido.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply *respuesta = red.get(pedido); // owned by `red`
    const QString corte = esperar(*respuesta, limites());
    if (!corte.isEmpty())
        return Fallo::failure(QStringLiteral("%1: %2").arg(texto, corte));
    const QVariant estado = respuesta->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!estado.isValid())
        return Fallo::failure(QStringLiteral("%1: %2").arg(texto, respuesta->errorString()));
    if (estado.toInt() < 200 || estado.toInt() > 299)
        return Fallo::failure(QStringLiteral("%1: HTTP %2").arg(texto).arg(estado.toInt()), estado.toInt());
    if (respuesta->error() != QNetworkReply::NoError)
        return Fallo::failure(QStringLiteral("%1: %2").arg(texto, respuesta->errorString()));
    return RespuestaHttp{respuesta->readAll(), respuesta->header(QNetworkRequest::ContentTypeHeader).toString()};
}

QUrl DireccionConCodigo(const QString &base, const QString &codigo, const QString &sufijo)
{
    const QString codificado = QString::fromLatin1(QUrl::toPercentEncoding(codigo.trimmed()));
    return QUrl(base.trimmed() + codificado + sufijo, QUrl::TolerantMode);
}

QString TextoDeRespuesta(const RespuestaHttp &respuesta)
{
    static const QRegularExpression charset(QStringLiteral("charset\\s*=\\s*\"?([^\";\\s]+)"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = charset.match(respuesta.tipo);
    if (m.hasMatch()) {
        QStringDecoder decodificador(m.captured(1).toLatin1().constData());
        if (decodificador.isValid())
            return decodificador.decode(respuesta.cuerpo);
    }
    return QString::fromUtf8(respuesta.cuerpo);
}

} // namespace articles
