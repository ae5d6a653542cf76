#pragma once

#include "articles/ClienteHttp.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>

class QTcpSocket;

// A small HTTP server on 127.0.0.1 (a port of the system's choice) for the tests: it answers
// each path with the reply set for it (404 otherwise), after an optional delay, and records
// the request targets exactly as they arrived. It works in the test's thread, so it answers
// while a synchronous request waits in its local event loop.
class ServidorHttp : public QObject {
public:
    struct Respuesta {
        int estado = 200;
        QByteArray cuerpo;
        QByteArray tipo = "application/json; charset=utf-8";
        int demoraMs = 0;
    };

    ServidorHttp();
    void responder(const QByteArray &ruta, const Respuesta &respuesta);
    // "http://127.0.0.1:<port>" followed by `ruta`.
    QString direccion(const QString &ruta = QString()) const;
    const QList<QByteArray> &pedidos() const { return m_pedidos; }
    // An address on which nobody listens: a request to it is refused.
    static QString direccionCerrada(const QString &ruta = QString());

private:
    void atender(QTcpSocket *conexion);
    void contestar(QTcpSocket *conexion, const QByteArray &ruta);

    QTcpServer m_servidor;
    QHash<QByteArray, Respuesta> m_respuestas;
    QList<QByteArray> m_pedidos;
};

// Short request limits for the life of a scope, so that a slow server is given up quickly.
class LimitesCortos {
public:
    explicit LimitesCortos(int totalMs = 400) : m_antes(articles::limitesHttp())
    {
        articles::setLimitesHttp({1000, totalMs, 64 * 1024});
    }
    ~LimitesCortos() { articles::setLimitesHttp(m_antes); }

private:
    articles::LimitesHttp m_antes;
};
