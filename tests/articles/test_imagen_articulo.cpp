// The article picture on the form's model: a stored article's picture, the download by bar
// code from an image server on 127.0.0.1, pasting, choosing a file, removing, and saving.

#include "AplicacionQt.h"
#include "ArticlesDatabase.h"
#include "ServidorHttp.h"

#include "articles/Rt_ImgThumbs.h"
#include "articles/imagen/Imagen.h"
#include "articles/imagen/Miniaturas.h"
#include "articles/imagen/ModeloConImagen.h"
#include "platform/Paths.h"
#include "platform/suite/CmdDlg.h"

#include "tests/core/QtPrint.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>

#include <gtest/gtest.h>

#include <optional>

namespace {

using Form = articles::FrmArtAltaModelo;
using Respuesta = ServidorHttp::Respuesta;

QByteArray png(QSize tamano)
{
    QImage imagen(tamano, QImage::Format_ARGB32);
    imagen.fill(QColor(0, 128, 0, 200));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    imagen.save(&buffer, "PNG");
    return bytes;
}

class ArticlePicture : public ArticlesDatabaseTest {
protected:
    void SetUp() override
    {
        aplicacionQt();
        ArticlesDatabaseTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        configurar(QStringLiteral("PIVA"), QStringLiteral("21"));
        configurar(QStringLiteral("RutaImagenes"), QStringLiteral("img\\"));
    }
    void TearDown() override
    {
        platform::suite::CmdDlg::setChooser(nullptr);
        m_form.reset();
        ArticlesDatabaseTest::TearDown();
    }
    articles::ModeloConImagen &form()
    {
        if (!m_form) {
            m_form = std::make_unique<articles::ModeloConImagen>();
            m_form->Form_Load();
        }
        return *m_form;
    }
    void confirmar(int caja, const QString &valor)
    {
        form().txtFields_GotFocus(caja);
        form().txtFields_Change(caja, valor);
        form().txtFields_KeyDown(caja, 13);
    }
    QString caja(int indice) { return form().txtFields[indice].Text; }
    // The program folder's picture folder ("img\" in the settings) and a file in it.
    QString carpeta() const { return platform::programFolder() + QStringLiteral("/img/"); }
    QString foto(const QString &ruta, QSize tamano, const char *formato = "JPG")
    {
        QDir().mkpath(QFileInfo(ruta).absolutePath());
        QImage imagen(tamano, QImage::Format_RGB32);
        imagen.fill(Qt::darkCyan);
        EXPECT_TRUE(imagen.save(ruta, formato));
        return ruta;
    }
    static QByteArray inicio(const QString &ruta, int bytes)
    {
        QFile f(ruta);
        return f.open(QIODevice::ReadOnly) ? f.read(bytes) : QByteArray();
    }
    QStringList temporales() const { return QDir(carpeta()).entryList({QStringLiteral("TMP_*")}, QDir::Files); }

    ServidorHttp m_servidor;

private:
    LimitesCortos m_limites{1000};
    std::unique_ptr<articles::ModeloConImagen> m_form;
};

// Each candidate is tried in turn: the bar code's .bmp and .jpg, the article's own saved
// picture and the path stored with the article; the first that exists is shown.
TEST_P(ArticlePicture, AStoredArticleShowsTheFirstPictureFound)
{
    const QString guardada = platform::programFolder() + QStringLiteral("/otras/foto.png");
    const struct {
        const char *nombre;
        QStringList archivos; // written, each with its own size
        QString mostrada;     // "" when none
    } casos[] = {
        {"bar code bmp first", {"779.bmp", "779.jpg", "5.jpg", "otras"}, QStringLiteral("779.bmp")},
        {"bar code jpg", {"779.jpg", "5.jpg", "otras"}, QStringLiteral("779.jpg")},
        {"the article's own", {"5.jpg", "otras"}, QStringLiteral("5.jpg")},
        {"the stored path", {"otras"}, guardada},
        {"none", {}, QString()},
    };
    articulo(QStringLiteral("5"), QStringLiteral("779"), QStringLiteral("Yerba"));
    exec(QStringLiteral("UPDATE V_MA_ARTICULOS SET RutaImagen = '%1'").arg(guardada));
    for (const auto &caso : casos) {
        SCOPED_TRACE(caso.nombre);
        QDir(carpeta()).removeRecursively();
        QFile::remove(guardada);
        QMap<QString, QSize> tamanos;
        int lado = 10;
        for (const QString &archivo : caso.archivos) {
            const QString ruta = archivo == QLatin1String("otras") ? guardada : carpeta() + archivo;
            tamanos[ruta] = QSize(++lado, 7);
            foto(ruta, tamanos[ruta], ruta.endsWith(QLatin1String(".bmp")) ? "BMP" : nullptr);
        }
        const QString esperada =
            caso.mostrada.isEmpty() || caso.mostrada.startsWith(u'/') ? caso.mostrada : carpeta() + caso.mostrada;
        form().AsignarFoto(foto(platform::programFolder() + QStringLiteral("/antes.png"), QSize(3, 3)));
        form().Inicializa();
        form().AsignarFoto(platform::programFolder() + QStringLiteral("/antes.png")); // shown before: kept when none
        confirmar(Form::kCodigo, QStringLiteral("779"));
        EXPECT_EQ(caja(Form::kDescripcion), QStringLiteral("Yerba"));
        if (esperada.isEmpty()) {
            EXPECT_EQ(form().PicLogo.Picture.size(), QSize(3, 3));
            EXPECT_EQ(caja(Form::kRutaImagen), guardada); // as stored with the article
            continue;
        }
        EXPECT_EQ(form().PicLogo.Picture.size(), tamanos.value(esperada));
        EXPECT_EQ(form().PicLogo.ToolTipText, esperada);
        EXPECT_EQ(caja(Form::kRutaImagen), esperada);
    }
    EXPECT_EQ(operatorScript().asked().size(), 0);
}

TEST_P(ArticlePicture, APictureFileThatCannotBeReadIsReportedAndTheBoxEmptied)
{
    form().AsignarFoto(foto(carpeta() + QStringLiteral("buena.png"), QSize(4, 4), "PNG"));
    QFile mala(carpeta() + QStringLiteral("mala.jpg"));
    ASSERT_TRUE(mala.open(QIODevice::WriteOnly) && mala.write("no es una imagen") > 0);
    mala.close();
    operatorScript().expect(QStringLiteral("mala.jpg"), platform::vbOK);
    form().AsignarFoto(mala.fileName());
    EXPECT_TRUE(form().PicLogo.Picture.isNull());
    ASSERT_EQ(operatorScript().asked().size(), 1);
    EXPECT_EQ(operatorScript().asked()[0].title, QStringLiteral("Aviso al operador!!!"));
    EXPECT_EQ(operatorScript().asked()[0].style, platform::vbCritical);

    form().AsignarFoto(foto(carpeta() + QStringLiteral("buena.png"), QSize(4, 4), "PNG"));
    form().AsignarFoto(carpeta() + QStringLiteral("no-existe.jpg"));
    EXPECT_EQ(form().PicLogo.Picture.size(), QSize(4, 4)); // kept
    EXPECT_EQ(form().PicLogo.ToolTipText, QStringLiteral("No existe el archivo..."));
}

struct Descarga {
    const char *nombre;
    Respuesta respuesta;
    QSize tamano; // empty: no picture
    QString mensaje;
};

// A new bar code is confirmed with no picture shown: the picture is asked of the image server.
TEST_P(ArticlePicture, ANewBarCodeDownloadsItsPictureWhenItIsAPicture)
{
    configurar(QStringLiteral("WSImagenes"), m_servidor.direccion(QStringLiteral("/UPC")));
    const Descarga casos[] = {
        {"a PNG",
         {200, png(QSize(30, 20)), "image/png"},
         QSize(30, 20),
         QStringLiteral("Imagen descargada con exito...")},
        {"404",
         {404, "<html>no</html>", "text/html"},
         QSize(),
         QStringLiteral("No se encontro la imagen para el Codigo 779")},
        {"not a picture",
         {200, "<html>Buscando...</html>", "image/png"},
         QSize(),
         QStringLiteral("No se encontro la imagen para el Codigo 779")},
        {"too slow",
         {200, png(QSize(5, 5)), "image/png", 3000},
         QSize(),
         QStringLiteral("No se encontro la imagen para el Codigo 779")},
    };
    for (const Descarga &caso : casos) {
        SCOPED_TRACE(caso.nombre);
        m_servidor.responder("/UPC/779.png", caso.respuesta);
        form().Inicializa();
        confirmar(Form::kCodigo, QStringLiteral("779"));
        EXPECT_EQ(m_servidor.pedidos().last(), QByteArray("/UPC/779.png"));
        EXPECT_EQ(form().lblMensaje, caso.mensaje);
        EXPECT_EQ(form().PicLogo.Picture.size(), caso.tamano.isEmpty() ? QSize(0, 0) : caso.tamano);
        EXPECT_EQ(caja(Form::kRutaImagen), QString());
        EXPECT_EQ(temporales(), QStringList()); // never left behind
    }
}

TEST_P(ArticlePicture, WithoutABarCodeTheDownloadAsksForOne)
{
    configurar(QStringLiteral("WSImagenes"), m_servidor.direccion(QStringLiteral("/UPC/")));
    m_servidor.responder("/UPC/77%209%2F1.png", {200, png(QSize(6, 6)), "image/png"});
    operatorScript().expect(QStringLiteral("Ingrese el codigo de barras"), platform::vbCancel, QString());
    form().DescargarImagen();
    EXPECT_EQ(form().lblMensaje, QStringLiteral("para descargar la imagen debe informar el codigo de barras..."));
    EXPECT_TRUE(m_servidor.pedidos().isEmpty());

    operatorScript().expect(QStringLiteral("Ingrese el codigo de barras"), platform::vbOK, QStringLiteral(" 77 9/1 "));
    form().DescargarImagen();
    EXPECT_EQ(caja(Form::kCodigo), QStringLiteral("77 9/1"));
    EXPECT_EQ(m_servidor.pedidos(), QList<QByteArray>{"/UPC/77%209%2F1.png"});
    EXPECT_EQ(form().PicLogo.Picture.size(), QSize(6, 6));
}

TEST_P(ArticlePicture, WithoutAnImageServerNothingIsAsked)
{
    form().DescargarImagen();
    EXPECT_EQ(form().lblMensaje, QStringLiteral("NO ESTA CONFIGURADO EL SERVIDOR DE IMAGENES"));
    EXPECT_EQ(operatorScript().asked().size(), 0);
}

// A pasted picture is kept as a bitmap in the article's temporary file and drawn fitted into
// the box; saving the article stores it as a JPEG under the article's code, with thumbnails.
TEST_P(ArticlePicture, APastedPictureIsSavedWithTheArticle)
{
    form().portapapeles = [] { return QImage(); };
    operatorScript().expect(QStringLiteral("No hay ninguna imagen en el portapapeles"), platform::vbOK);
    form().CmdPegar_Click();
    EXPECT_TRUE(form().PicLogo.Picture.isNull());
    EXPECT_EQ(operatorScript().asked().last().title, QStringLiteral("Aviso al operador!!!"));

    form().portapapeles = [] {
        QImage imagen(400, 100, QImage::Format_RGB32);
        imagen.fill(Qt::yellow);
        return imagen;
    };
    form().CmdPegar_Click();
    const QString temporal = carpeta() + QStringLiteral("TMP_.jpg");
    EXPECT_EQ(caja(Form::kRutaImagen), temporal);
    EXPECT_EQ(inicio(temporal, 2), QByteArray("BM")); // the bitmap, whatever the extension
    EXPECT_EQ(form().PicLogo.dibujo, QRectF(0, 75, 200, 50));

    form().txtFields[Form::kCodigo].Text = QStringLiteral("7790009");
    form().txtFields[Form::kDescripcion].Text = QStringLiteral("Con foto");
    form().CmdAlta_Click();
    ASSERT_FALSE(form().error());
    const QString guardada = carpeta() + QStringLiteral("1.jpg");
    EXPECT_EQ(scalar(QStringLiteral("SELECT RutaImagen FROM V_MA_ARTICULOS")), guardada);
    EXPECT_EQ(inicio(guardada, 3), QByteArray("\xFF\xD8\xFF")); // a real JPEG
    EXPECT_EQ(QImage(guardada).size(), QSize(400, 100));
    for (const auto &[n, tamano] : {std::pair{0, QSize(20, 5)}, std::pair{4, QSize(300, 75)}}) {
        const QString miniatura = carpeta() + QStringLiteral("thumbs%1/1.bmp").arg(n);
        EXPECT_EQ(QImageReader::imageFormat(miniatura), QByteArray("bmp"));
        EXPECT_EQ(QImage(miniatura).size(), tamano);
    }
}

TEST_P(ArticlePicture, AChosenFileIsShownAndQuitarRemovesThePicture)
{
    const QString elegida = foto(platform::programFolder() + QStringLiteral("/elegida.gif"), QSize(8, 9), "PNG");
    std::optional<QString> respuesta;
    platform::suite::CmdDlg::setChooser([&](const QString &titulo, const QString &filtro) {
        EXPECT_EQ(titulo, QStringLiteral("Buscar Archivos"));
        EXPECT_EQ(filtro, QStringLiteral("Archivos de Imagenes|*.Bmp;*.Wmf;*.Jpg;*.Gif;*.ico"));
        return respuesta;
    });
    form().CmdBuscar1_Click(); // cancelled
    EXPECT_TRUE(form().PicLogo.Picture.isNull());
    respuesta = elegida + QStringLiteral(" ");
    form().CmdBuscar1_Click();
    EXPECT_EQ(caja(Form::kRutaImagen), elegida);
    EXPECT_EQ(form().PicLogo.Picture.size(), QSize(8, 9)); // a PNG named .gif: read by its content

    form().CmdQuitar1_Click();
    EXPECT_TRUE(form().PicLogo.Picture.isNull());
    EXPECT_TRUE(form().imglogo.isNull());
    EXPECT_EQ(caja(Form::kRutaImagen), QString());
    EXPECT_TRUE(QFile::exists(elegida)); // the file stays
}

// A camera's picture (50 megapixels, above Qt's own decoding bound) chosen or pasted is kept
// reduced, stored with the article and thumbnailed.
TEST_P(ArticlePicture, ACameraPictureIsStoredAndThumbnailed)
{
    const QSize camara(8660, 5773);
    const QSize guardado = articles::TamanoGuardado(camara);
    ASSERT_LT(qint64(guardado.width()) * guardado.height(), qint64(camara.width()) * camara.height());
    EXPECT_NEAR(double(guardado.width()) / guardado.height(), double(camara.width()) / camara.height(), 0.001);
    const QString elegida = foto(platform::programFolder() + QStringLiteral("/DSC0001.JPG"), camara);
    platform::suite::CmdDlg::setChooser([&](const QString &, const QString &) { return std::optional(elegida); });
    for (const bool pegada : {false, true}) {
        SCOPED_TRACE(pegada ? "pasted" : "chosen");
        QDir(carpeta()).removeRecursively();
        form().Inicializa();
        if (pegada) {
            form().portapapeles = [camara] {
                QImage imagen(camara, QImage::Format_RGB32);
                imagen.fill(Qt::darkCyan);
                return imagen;
            };
            form().CmdPegar_Click();
        } else {
            form().CmdBuscar1_Click();
        }
        ASSERT_EQ(form().PicLogo.Picture.size(), guardado);
        form().txtFields[Form::kCodigo].Text = pegada ? QStringLiteral("7790002") : QStringLiteral("7790001");
        form().txtFields[Form::kDescripcion].Text = QStringLiteral("Con foto de camara");
        form().CmdAlta_Click();
        ASSERT_FALSE(form().error());
        const QString id = form().CodArtNuevo.trimmed();
        EXPECT_EQ(QImageReader(carpeta() + id + QStringLiteral(".jpg")).size(), guardado);
        for (int n = 0; n < 5; ++n) {
            const QString miniatura = carpeta() + QStringLiteral("thumbs%1/%2.bmp").arg(n).arg(id);
            const QSize tamano = QImageReader(miniatura).size();
            EXPECT_TRUE(tamano.isValid()) << miniatura.toStdString();
            EXPECT_EQ(tamano, Rt_ImgThumbs::TamanoMiniatura(guardado, Rt_ImgThumbs::TamanosMiniatura()[n]));
        }
    }
    EXPECT_EQ(operatorScript().asked().size(), 0);
}

// A picture that cannot be decoded even so is refused with a message naming its file.
TEST_P(ArticlePicture, APictureTooLargeToDecodeIsRefusedByName)
{
    // a PNG whose header announces 30000 x 30000 pixels: 3.6 GB once decoded
    const auto crc = [](const QByteArray &datos) {
        quint32 c = 0xFFFFFFFFu;
        for (const char b : datos) {
            c ^= quint8(b);
            for (int k = 0; k < 8; ++k)
                c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
        }
        return ~c;
    };
    const auto grande = [](quint32 valor) {
        return QByteArray(1, char(valor >> 24)) + char(valor >> 16) + char(valor >> 8) + char(valor);
    };
    const auto bloque = [&](const char *tipo, const QByteArray &datos) {
        const QByteArray cuerpo = QByteArray(tipo) + datos;
        return grande(quint32(datos.size())) + cuerpo + grande(crc(cuerpo));
    };
    const QByteArray png = QByteArray("\x89PNG\r\n\x1a\n", 8)
        + bloque("IHDR", grande(30000) + grande(30000) + QByteArray("\x08\x06\x00\x00\x00", 5))
        + bloque("IDAT", qCompress(QByteArray(16, '\0')).mid(4)) + bloque("IEND", QByteArray());
    const QString ruta = platform::programFolder() + QStringLiteral("/enorme.png");
    QFile archivo(ruta);
    ASSERT_TRUE(archivo.open(QIODevice::WriteOnly) && archivo.write(png) == png.size());
    archivo.close();
    operatorScript().expect(QStringLiteral("No se puede leer la imagen ") + ruta
                                + QStringLiteral(": la imagen de "
                                                 "30000 x 30000"),
                            platform::vbOK);
    form().AsignarFoto(ruta);
    EXPECT_TRUE(form().PicLogo.Picture.isNull());
}

// The picture of the article shown before is no picture of the next bar code's article.
TEST_P(ArticlePicture, AnotherBarCodeDropsThePictureShownBefore)
{
    articulo(QStringLiteral("5"), QStringLiteral("779"), QStringLiteral("Yerba"));
    foto(carpeta() + QStringLiteral("779.jpg"), QSize(12, 9));
    confirmar(Form::kCodigo, QStringLiteral("779"));
    ASSERT_EQ(form().PicLogo.Picture.size(), QSize(12, 9));
    confirmar(Form::kCodigo, QStringLiteral("780"));
    EXPECT_TRUE(form().PicLogo.Picture.isNull());
    EXPECT_EQ(caja(Form::kRutaImagen), QString());
}

// A stored article whose code holds a path keeps its row but never a picture file outside the
// picture folder; the operator is told why its picture is not kept.
TEST_P(ArticlePicture, AnArticleCodeThatIsNoFileNameKeepsThePictureOut)
{
    QDir(platform::programFolder()).mkpath(QStringLiteral("sub"));
    articulo(QStringLiteral("../../fuera"), QStringLiteral("779"), QStringLiteral("Yerba"));
    confirmar(Form::kCodigo, QStringLiteral("779"));
    ASSERT_EQ(caja(Form::kIdArticulo).trimmed(), QStringLiteral("../../fuera"));
    form().portapapeles = [] {
        QImage imagen(40, 30, QImage::Format_RGB32);
        imagen.fill(Qt::red);
        return imagen;
    };
    form().CmdPegar_Click();
    EXPECT_EQ(caja(Form::kRutaImagen), carpeta() + QStringLiteral("TMP_.jpg")); // the code left out
    form().txtFields[Form::kDescripcion].Text = QStringLiteral("Yerba con foto");
    operatorScript().expect(QStringLiteral("La imagen no se guarda: el código de artículo \"../../fuera\""),
                            platform::vbOK);
    form().CmdAlta_Click();
    ASSERT_FALSE(form().error());
    EXPECT_EQ(scalar(QStringLiteral("SELECT Descripcion FROM V_MA_ARTICULOS")), QStringLiteral("Yerba con foto"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT RutaImagen FROM V_MA_ARTICULOS")), QString());
    const QDir programa(platform::programFolder());
    for (const QString &fuera : {programa.absoluteFilePath(QStringLiteral("../fuera.jpg")),
                                 programa.absoluteFilePath(QStringLiteral("fuera.jpg")),
                                 programa.absoluteFilePath(QStringLiteral("fuera.bmp"))})
        EXPECT_FALSE(QFile::exists(fuera)) << fuera.toStdString();
}

IMAESTROS_DATABASE_TESTS(ArticlePicture);

} // namespace
