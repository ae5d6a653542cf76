#include "ServidorHttp.h"

#include "AplicacionQt.h"

#include <QTcpSocket>
#include <QTimer>

#include <memory>

ServidorHttp::ServidorHttp()
{
    aplicacionQt(); // the listening socket needs the application's event dispatcher
    m_servidor.listen(QHostAddress::LocalHost, 0);
    connect(&m_servidor, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *conexion = m_servidor.nextPendingConnection())
            atender(conexion);
    });
}

void ServidorHttp::responder(const QByteArray &ruta, const Respuesta &respuesta) { m_respuestas[ruta] = respuesta; }

QString ServidorHttp::direccion(const QString &ruta) const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_servidor.serverPort()) + ruta;
}

QString ServidorHttp::direccionCerrada(const QString &ruta)
{
    QTcpServer libre;
    libre.listen(QHostAddress::LocalHost, 0);
    const quint16 puerto = libre.serverPort();
    libre.close();
    return QStringLiteral("http://127.0.0.1:%1").arg(puerto) + ruta;
}

void ServidorHttp::atender(QTcpSocket *conexion)
{
    connect(conexion, &QTcpSocket::disconnected, conexion, &QObject::deleteLater);
    auto recibido = std::make_shared<QByteArray>();
    connect(conexion, &QTcpSocket::readyRead, conexion, [this, conexion, recibido] {
        const bool completo = recibido->contains("\r\n\r\n");
        recibido->append(conexion->readAll());
        if (completo || !recibido->contains("\r\n\r\n"))
            return;
        // "GET <target> HTTP/1.1"
        const QList<QByteArray> linea = recibido->left(recibido->indexOf("\r\n")).split(' ');
        const QByteArray ruta = linea.size() > 1 ? linea[1] : QByteArray();
        m_pedidos << ruta;
        const int demora = m_respuestas.value(ruta).demoraMs;
        if (demora > 0)
            QTimer::singleShot(demora, conexion, [this, conexion, ruta] { contestar(conexion, ruta); });
        else
            contestar(conexion, ruta);
    });
}

void ServidorHttp::contestar(QTcpSocket *conexion, const QByteArray &ruta)
{
    const auto hallada = m_respuestas.constFind(ruta);
    const Respuesta respuesta =
        hallada != m_respuestas.constEnd() ? *hallada : Respuesta{404, "<html>No encontrado</html>", "text/html", 0};
    QByteArray texto = "HTTP/1.1 " + QByteArray::number(respuesta.estado) + " Respuesta\r\n";
    texto += "Content-Type: " + respuesta.tipo + "\r\n";
    texto += "Content-Length: " + QByteArray::number(respuesta.cuerpo.size()) + "\r\n";
    texto += "Connection: close\r\n\r\n";
    conexion->write(texto + respuesta.cuerpo);
    conexion->disconnectFromHost();
}
