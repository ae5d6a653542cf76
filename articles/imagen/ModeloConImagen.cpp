#include "ModeloConImagen.h"

#include "Imagen.h"
#include "Miniaturas.h"

#include "articles/ClienteHttp.h"
#include "articles/Pasos.h"
#include "articles/Rt_ImgThumbs.h"
#include "core/Configuracion.h"
#include "core/Rutinas.h"
#include "platform/Logger.h"
#include "platform/suite/CmdDlg.h"
#include "platform/suite/TratarError.h"
#include "platform/ui/Operator.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

namespace articles {

namespace {

using Rt_ImgThumbs::RutaLocal;

QImage imagenDelPortapapeles()
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return QImage();
    return QGuiApplication::clipboard()->image();
}

bool mismoArchivo(const QString &a, const QString &b)
{
    const QString archivo = QFileInfo(RutaLocal(a)).canonicalFilePath();
    return !archivo.isEmpty() && archivo == QFileInfo(RutaLocal(b)).canonicalFilePath();
}

// Writes a body into a file, making its folder when missing.
bool escribir(const QString &ruta, const QByteArray &cuerpo)
{
    QDir().mkpath(QFileInfo(ruta).absolutePath());
    QFile archivo(ruta);
    return archivo.open(QIODevice::WriteOnly | QIODevice::Truncate) && archivo.write(cuerpo) == cuerpo.size()
        && archivo.flush();
}

platform::RuntimeError falla(long numero, const QString &descripcion)
{
    return platform::RuntimeError(numero, descripcion, QStringLiteral("FrmArtAlta"));
}

} // namespace

ModeloConImagen::ModeloConImagen(QObject *parent) : FrmArtAltaModelo(parent), portapapeles(imagenDelPortapapeles) {}

QString ModeloConImagen::texto(const char *campo) const
{
    const int i = indiceCaja(QString::fromLatin1(campo));
    return i < 0 ? QString() : txtFields[i].Text;
}

void ModeloConImagen::ponerTexto(const char *campo, const QString &texto)
{
    const int i = indiceCaja(QString::fromLatin1(campo));
    if (i >= 0)
        txtFields[i].Text = texto;
}

void ModeloConImagen::mensaje(const QString &texto)
{
    lblMensaje = texto;
    emit imagenCambiada();
}

QString ModeloConImagen::archivoTemporal() const
{
    // a code that cannot name a file inside the folder is left out of the name
    const QString codigo = txtFields[0].Text.trimmed();
    return Rt_ImgThumbs::CarpetaImagenes(carpetaImagenes()) + QStringLiteral("TMP_")
        + (Rt_ImgThumbs::NombreDeArchivoValido(codigo) ? codigo : QString()) + QStringLiteral(".jpg");
}

// ---------------------------------------------------------------- the picture box

bool ModeloConImagen::hayImagen() const { return !PicLogo.Picture.isNull(); }

void ModeloConImagen::quitarImagen()
{
    PicLogo.Picture = QImage();
    PicLogo.archivo.clear();
    emit imagenCambiada();
}

void ModeloConImagen::AsignarFoto(const QString &Imagen)
{
    if (ModGlobal::ExisteArchivo(Imagen)) {
        const platform::Result<QImage> imagen = LeerImagen(RutaLocal(Imagen));
        if (imagen) {
            PicLogo.Picture = imagen.value();
            PicLogo.dibujo = QRectF(QPointF(0, 0), QSizeF(imagen.value().size()));
            PicLogo.archivo = Imagen;
            PicLogo.ToolTipText = Imagen;
        } else {
            platform::msgBox(imagen.message(), platform::vbCritical, QStringLiteral("Aviso al operador!!!"));
            quitarImagen();
        }
    } else {
        PicLogo.ToolTipText = QStringLiteral("No existe el archivo...");
    }
    emit imagenCambiada();
}

void ModeloConImagen::Escalar_Imagen(const QImage &Img1, CajaImagen &Destino)
{
    if (Img1.isNull())
        return;
    float ancho = 0;
    float alto = 0;
    Rt_ImgThumbs::AjustarProporcion(float(Img1.width()), float(Img1.height()), float(Destino.tamano.width()),
                                    float(Destino.tamano.height()), ancho, alto);
    Destino.Picture = Img1;
    Destino.archivo.clear();
    Destino.dibujo = QRectF((Destino.tamano.width() - ancho) / 2, (Destino.tamano.height() - alto) / 2, ancho, alto);
}

// ---------------------------------------------------------------- commands

void ModeloConImagen::CmdBuscar1_Click()
{
    platform::suite::CmdDlg dialogo;
    dialogo.Filtro = QStringLiteral("Archivos de Imagenes|*.Bmp;*.Wmf;*.Jpg;*.Gif;*.ico");
    dialogo.Titulo = QStringLiteral("Buscar Archivos");
    dialogo.IndiceFiltro = 1;
    dialogo.Indicador = true;
    dialogo.MostrarAbrir();
    const QString nombre = dialogo.NombreArchivo();
    if (nombre.isEmpty())
        return;
    ponerTexto("RutaImagen", nombre.trimmed());
    AsignarFoto(nombre.trimmed()); // Windows ignores blanks around a file name; here they would be part of it
}

void ModeloConImagen::CmdPegar_Click()
{
    QString temporal;
    const Manejador manejar = [](const platform::RuntimeError &error) {
        return respuestaDe(platform::suite::TratarError(error, QString(), QStringLiteral("CmdPegar_Click")));
    };
    PasoAPaso({[&] {
                   imglogo = portapapeles ? portapapeles() : QImage();
                   if (!imglogo.isNull())
                       return true;
                   platform::msgBox(QStringLiteral("No hay ninguna imagen en el portapapeles para pegar."),
                                    platform::vbInformation, QStringLiteral("Aviso al operador!!!"));
                   return false;
               },
               [&] {
                   temporal = archivoTemporal();
                   return true;
               },
               [&] {
                   // the picture is written in its own format (a bitmap), whatever the extension;
                   // a camera's picture is first brought to the size an article keeps
                   QDir().mkpath(QFileInfo(temporal).absolutePath());
                   const platform::Status guardada = GuardarImagen(SobreBlanco(Reducida(imglogo)), temporal, "BMP");
                   if (!guardada)
                       throw falla(75, guardada.message());
                   return true;
               },
               [&] {
                   ponerTexto("RutaImagen", temporal);
                   return true;
               },
               [&] {
                   const platform::Result<QImage> leida = LeerImagen(temporal);
                   if (leida) {
                       imglogo = leida.value();
                       return true;
                   }
                   // told in the form's words, naming the file; nothing of it stays
                   platform::msgBox(leida.message(), platform::vbCritical, QStringLiteral("Aviso al operador!!!"));
                   QFile::remove(temporal);
                   ponerTexto("RutaImagen", QString());
                   imglogo = QImage();
                   return false;
               },
               [&] {
                   Escalar_Imagen(imglogo, PicLogo);
                   emit imagenCambiada();
                   return true;
               }},
              manejar);
}

void ModeloConImagen::CmdQuitar1_Click()
{
    imglogo = QImage();
    quitarImagen();
    ponerTexto("RutaImagen", QString());
}

// ---------------------------------------------------------------- the download by bar code

void ModeloConImagen::DescargarImagen()
{
    mensaje(QStringLiteral("Descargando imagen..."));
    QString base = ModGlobal::Cfg(QStringLiteral("WSImagenes")).trimmed();
    if (base.isEmpty()) {
        mensaje(QStringLiteral("NO ESTA CONFIGURADO EL SERVIDOR DE IMAGENES"));
        return;
    }
    QString codigo = texto("Codigo");
    if (codigo.trimmed().isEmpty())
        codigo = platform::inputBox(QStringLiteral("Ingrese el codigo de barras"), QStringLiteral("Codigo de Barra"));
    codigo = codigo.trimmed();
    if (codigo.isEmpty()) {
        mensaje(QStringLiteral("para descargar la imagen debe informar el codigo de barras..."));
        return;
    }
    ponerTexto("Codigo", codigo);
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    const QUrl direccion = DireccionConCodigo(base, codigo, QStringLiteral(".png"));
    emit esperaPedida(true);
    mensaje(QStringLiteral("Descargando imagen..."));
    const QString temporal = archivoTemporal();
    const platform::Result<RespuestaHttp> respuesta = ObtenerHttp(direccion);
    bool escrita = false;
    if (!respuesta)
        platform::logger().info(QStringLiteral("DescargarImagen: %1").arg(respuesta.message()));
    else
        escrita = escribir(temporal, respuesta.value().cuerpo);
    emit esperaPedida(false);
    mostrarDescargada(codigo, temporal, escrita);
}

// Only a file that reads as a picture counts; the temporary file never stays behind.
void ModeloConImagen::mostrarDescargada(const QString &codigo, const QString &temporal, bool escrita)
{
    platform::Result<QImage> imagen = platform::Result<QImage>::failure(QString());
    if (escrita)
        imagen = LeerImagen(temporal);
    QFile::remove(temporal);
    if (!imagen) {
        if (escrita)
            platform::logger().info(QStringLiteral("DescargarImagen: %1").arg(imagen.message()));
        mensaje(QStringLiteral("No se encontro la imagen para el Codigo ") + codigo);
        return;
    }
    PicLogo.Picture = imagen.value();
    PicLogo.dibujo = QRectF(QPointF(0, 0), QSizeF(imagen.value().size()));
    PicLogo.archivo.clear();
    mensaje(QStringLiteral("Imagen descargada con exito..."));
}

// ---------------------------------------------------------------- a stored article's picture

// The bar code's two pictures, then the article's own saved picture and the path stored with it.
void ModeloConImagen::mostrarImagenDelArticulo()
{
    const QString carpeta = Rt_ImgThumbs::CarpetaImagenes(carpetaImagenes());
    const QString codigo = texto("Codigo").trimmed();
    const QString id = texto("IdArticulo").trimmed();
    QStringList candidatos;
    if (Rt_ImgThumbs::NombreDeArchivoValido(codigo))
        candidatos << carpeta + codigo + QStringLiteral(".bmp") << carpeta + codigo + QStringLiteral(".jpg");
    if (Rt_ImgThumbs::NombreDeArchivoValido(id))
        candidatos << carpeta + id + QStringLiteral(".jpg");
    if (!texto("RutaImagen").trimmed().isEmpty())
        candidatos << texto("RutaImagen").trimmed();
    for (const QString &candidato : std::as_const(candidatos)) {
        if (ModGlobal::ExisteArchivoSinComillas(candidato)) {
            AsignarFoto(candidato);
            ponerTexto("RutaImagen", candidato);
            return;
        }
    }
}

bool ModeloConImagen::guardarImagen(const QString &ruta)
{
    // the picture read from that very file is kept as it is, not encoded once more
    if (!PicLogo.archivo.isEmpty() && mismoArchivo(PicLogo.archivo, ruta))
        return true;
    const QString local = RutaLocal(ruta);
    QDir().mkpath(QFileInfo(local).absolutePath());
    const platform::Status guardada = GuardarImagen(SobreBlanco(PicLogo.Picture), local, "JPG");
    if (!guardada)
        platform::logger().warning(QStringLiteral("FrmArtAlta: %1").arg(guardada.message()));
    return guardada.ok();
}

void ModeloConImagen::GenerarMiniaturas(const QString &carpeta, const QString &origen, const QString &codigo)
{
    QString nombre;
    if (!Rt_ImgThumbs::GenerarMiniaturas(carpeta, origen, codigo, 0, nombre))
        platform::logger().warning(
            QStringLiteral("FrmArtAlta: las miniaturas de %1 no se escribieron todas").arg(codigo));
}

} // namespace articles
