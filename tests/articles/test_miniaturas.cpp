// Thumbnails and picture paths: area averaging on pictures of extreme shapes, the fitted sizes,
// the folders and the files written.

#include "AplicacionQt.h"

#include "articles/Rt_ImgThumbs.h"
#include "articles/imagen/Imagen.h"
#include "articles/imagen/Miniaturas.h"
#include "articles/imagen/ModeloConImagen.h"
#include "platform/Paths.h"
#include "platform/ui/Operator.h"

#include "tests/core/QtPrint.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

using articles::ReducirPorArea;

QImage rellena(int ancho, int alto, const std::function<QRgb(int, int)> &color)
{
    QImage imagen(ancho, alto, QImage::Format_RGB32);
    for (int y = 0; y < alto; ++y)
        for (int x = 0; x < ancho; ++x)
            imagen.setPixel(x, y, color(x, y));
    return imagen;
}

const QRgb kBlanco = qRgb(255, 255, 255);
const QRgb kNegro = qRgb(0, 0, 0);

// The mean of each channel over the exact area each reduced pixel covers (slow and plain).
QImage reduccionDeReferencia(const QImage &imagen, QSize tamano)
{
    const double ex = double(imagen.width()) / tamano.width();
    const double ey = double(imagen.height()) / tamano.height();
    QImage r(tamano, QImage::Format_RGB32);
    for (int y = 0; y < tamano.height(); ++y) {
        for (int x = 0; x < tamano.width(); ++x) {
            double suma[3] = {0, 0, 0};
            for (int j = int(y * ey); j < std::min(imagen.height(), int(std::ceil((y + 1) * ey))); ++j) {
                const double wy = std::min((y + 1) * ey, j + 1.0) - std::max(y * ey, double(j));
                for (int i = int(x * ex); i < std::min(imagen.width(), int(std::ceil((x + 1) * ex))); ++i) {
                    const double w = wy * (std::min((x + 1) * ex, i + 1.0) - std::max(x * ex, double(i)));
                    const QRgb p = imagen.pixel(i, j);
                    suma[0] += w * qRed(p);
                    suma[1] += w * qGreen(p);
                    suma[2] += w * qBlue(p);
                }
            }
            const auto canal = [&](int c) { return int(std::lround(suma[c] / (ex * ey))); };
            r.setPixel(x, y, qRgb(canal(0), canal(1), canal(2)));
        }
    }
    return r;
}

// The largest difference of one channel between two pictures of the same size.
int diferencia(const QImage &a, const QImage &b)
{
    int mayor = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            mayor = std::max(
                {mayor, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return mayor;
}

class Thumbnails : public ::testing::Test {
protected:
    void SetUp() override { aplicacionQt(); }
};

// Nearest-pixel sampling would give black or white here; area averaging gives the mean.
TEST_F(Thumbnails, ExtremeShapesAreReducedByAreaAveraging)
{
    const auto franjas = [](int cada) { return [cada](int x, int) { return x % cada ? kNegro : kBlanco; }; };
    const struct {
        const char *nombre;
        QImage imagen;
        QSize tamano;
        QList<QRgb> esperados; // row by row
    } casos[] = {
        {"1000x1 stripes",
         rellena(1000, 1, franjas(2)),
         QSize(4, 1),
         {qRgb(128, 128, 128), qRgb(128, 128, 128), qRgb(128, 128, 128), qRgb(128, 128, 128)}},
        {"400000x1 stripes", rellena(400000, 1, franjas(2)), QSize(2, 1), {qRgb(128, 128, 128), qRgb(128, 128, 128)}},
        {"40000x1 halves",
         rellena(40000, 1, [](int x, int) { return x < 20000 ? kBlanco : kNegro; }),
         QSize(3, 1),
         {kBlanco, qRgb(128, 128, 128), kNegro}},
        {"20x24000 halves",
         rellena(20, 24000, [](int, int y) { return y < 12000 ? kBlanco : qRgb(0, 0, 255); }),
         QSize(1, 3),
         {kBlanco, qRgb(128, 128, 255), qRgb(0, 0, 255)}},
        {"1.5 pixels a pixel",
         rellena(6, 2, franjas(3)),
         QSize(4, 1),
         {qRgb(170, 170, 170), kNegro, qRgb(170, 170, 170), kNegro}},
        {"three colours",
         rellena(3, 1, [](int x, int) { return qRgb(x == 0 ? 255 : 0, x == 1 ? 255 : 0, x == 2 ? 255 : 0); }),
         QSize(1, 1),
         {qRgb(85, 85, 85)}},
    };
    for (const auto &caso : casos) {
        SCOPED_TRACE(caso.nombre);
        const QImage r = ReducirPorArea(caso.imagen, {caso.tamano}).value(0);
        ASSERT_EQ(r.size(), caso.tamano);
        for (int i = 0; i < caso.esperados.size(); ++i) {
            const QRgb p = r.pixel(i % caso.tamano.width(), i / caso.tamano.width());
            const QRgb e = caso.esperados[i];
            EXPECT_NEAR(qRed(p), qRed(e), 1) << i;
            EXPECT_NEAR(qGreen(p), qGreen(e), 1) << i;
            EXPECT_NEAR(qBlue(p), qBlue(e), 1) << i;
        }
    }
}

TEST_F(Thumbnails, EverySizeMatchesTheExactMeanOfItsArea)
{
    QRandomGenerator azar(16);
    const QImage ruido = rellena(301, 203, [&](int, int) { return azar.generate() | 0xFF000000u; });
    const QList<QSize> tamanos = {QSize(300, 200), QSize(100, 67), QSize(7, 5), QSize(1, 1), QSize(301, 1)};
    const QList<QImage> reducidas = ReducirPorArea(ruido, tamanos);
    ASSERT_EQ(reducidas.size(), tamanos.size());
    for (int i = 0; i < tamanos.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_LE(diferencia(reducidas[i], reduccionDeReferencia(ruido, tamanos[i])), 1);
    }
}

TEST_F(Thumbnails, TransparentPartsBecomeWhite)
{
    QImage imagen(2, 1, QImage::Format_ARGB32);
    imagen.setPixel(0, 0, qRgba(0, 0, 0, 255));
    imagen.setPixel(1, 0, qRgba(0, 0, 0, 0));
    const QImage r = ReducirPorArea(imagen, {QSize(1, 1)}).value(0);
    EXPECT_NEAR(qRed(r.pixel(0, 0)), 128, 1);
    EXPECT_FALSE(r.hasAlphaChannel());
}

TEST_F(Thumbnails, SizesFitTheBoxesAndAreNeverZero)
{
    const struct {
        QSize imagen;
        QList<QSize> esperados;
    } casos[] = {
        {QSize(640, 480), {QSize(20, 15), QSize(60, 45), QSize(100, 75), QSize(200, 150), QSize(300, 225)}},
        {QSize(3000, 2000), {QSize(20, 13), QSize(60, 40), QSize(100, 67), QSize(200, 133), QSize(300, 200)}},
        {QSize(10, 10), {QSize(10, 10), QSize(10, 10), QSize(10, 10), QSize(10, 10), QSize(10, 10)}},
        {QSize(100000, 3), {QSize(20, 1), QSize(60, 1), QSize(100, 1), QSize(200, 1), QSize(300, 1)}},
        {QSize(1, 5000), {QSize(1, 24), QSize(1, 80), QSize(1, 120), QSize(1, 240), QSize(1, 360)}},
        {QSize(2000, 2000), {QSize(20, 20), QSize(60, 60), QSize(100, 100), QSize(200, 200), QSize(300, 300)}},
    };
    for (const auto &caso : casos) {
        QList<QSize> tamanos;
        for (const QSize &caja : Rt_ImgThumbs::TamanosMiniatura())
            tamanos << Rt_ImgThumbs::TamanoMiniatura(caso.imagen, caja);
        EXPECT_EQ(tamanos, caso.esperados) << caso.imagen.width() << "x" << caso.imagen.height();
    }
}

TEST_F(Thumbnails, APictureIsFittedAndCentredInItsBox)
{
    const struct {
        QSize imagen, caja;
        QRectF dibujo;
    } casos[] = {
        {QSize(3000, 1000), QSize(1500, 1500), QRectF(0, 500, 1500, 500)},
        {QSize(2000, 2000), QSize(1000, 1500), QRectF(0, 250, 1000, 1000)},
        {QSize(1000, 3000), QSize(1500, 1500), QRectF(500, 0, 500, 1500)},
        {QSize(100, 50), QSize(200, 200), QRectF(50, 75, 100, 50)},
    };
    for (const auto &caso : casos) {
        articles::CajaImagen caja;
        caja.tamano = caso.caja;
        QImage imagen(caso.imagen, QImage::Format_RGB32);
        imagen.fill(Qt::red);
        articles::ModeloConImagen::Escalar_Imagen(imagen, caja);
        EXPECT_EQ(caja.Picture.size(), caso.imagen);
        EXPECT_NEAR(caja.dibujo.x(), caso.dibujo.x(), 0.01);
        EXPECT_NEAR(caja.dibujo.y(), caso.dibujo.y(), 0.01);
        EXPECT_NEAR(caja.dibujo.width(), caso.dibujo.width(), 0.01);
        EXPECT_NEAR(caja.dibujo.height(), caso.dibujo.height(), 0.01);
    }
}

// ---------------------------------------------------------------- folders and files

class ThumbnailFiles : public Thumbnails {
protected:
    void SetUp() override
    {
        Thumbnails::SetUp();
        ASSERT_TRUE(m_programa.isValid() && m_fuera.isValid());
        platform::setProgramFolder(m_programa.path());
    }
    void TearDown() override
    {
        platform::setProgramFolder(QString());
        EXPECT_EQ(m_operador->pending(), 0);
    }
    QString programa(const QString &ruta) const { return m_programa.path() + QLatin1Char('/') + ruta; }
    // A picture file outside the program folder.
    QString foto(const QString &nombre, QSize tamano, const char *formato)
    {
        QImage imagen(tamano, QImage::Format_RGB32);
        imagen.fill(qRgb(200, 10, 10));
        const QString ruta = m_fuera.path() + QLatin1Char('/') + nombre;
        EXPECT_TRUE(imagen.save(ruta, formato));
        return ruta;
    }
    static QByteArray contenido(const QString &ruta)
    {
        QFile f(ruta);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The size of each thumbnail written, by content ("" where none is a BMP).
    QStringList miniaturas(const QString &carpeta, const QString &codigo) const
    {
        QStringList tamanos;
        for (int i = 0; i < 5; ++i) {
            const QString archivo =
                programa(carpeta + QStringLiteral("thumbs%1/").arg(i) + codigo + QStringLiteral(".bmp"));
            const QImage m(archivo);
            tamanos << (m.isNull() || QImageReader::imageFormat(archivo) != "bmp"
                            ? QString()
                            : QStringLiteral("%1x%2").arg(m.width()).arg(m.height()));
        }
        return tamanos;
    }

    QTemporaryDir m_programa;
    QTemporaryDir m_fuera;
    std::shared_ptr<platform::ScriptedOperator> m_operador = std::make_shared<platform::ScriptedOperator>(
        [](const QString &pregunta) { ADD_FAILURE() << "unexpected question: " << pregunta.toStdString(); });
    platform::ScopedOperator m_alcance{m_operador};
};

const QStringList kDe640x480 = {QStringLiteral("20x15"), QStringLiteral("60x45"), QStringLiteral("100x75"),
                                QStringLiteral("200x150"), QStringLiteral("300x225")};

TEST_F(ThumbnailFiles, ThePictureIsCopiedUnderTheCodeWithItsFiveThumbnails)
{
    const QString origen = foto(QStringLiteral("foto.jpg"), QSize(640, 480), "JPG");
    for (const char *carpeta : {"img\\", "img", "img/"}) {
        SCOPED_TRACE(carpeta);
        QDir(programa(QStringLiteral("img"))).removeRecursively();
        QString nombre;
        EXPECT_TRUE(
            Rt_ImgThumbs::GenerarMiniaturas(QString::fromLatin1(carpeta), origen, QStringLiteral("123"), 0, nombre));
        EXPECT_EQ(nombre,
                  QStringLiteral("img") + (QString::fromLatin1(carpeta).endsWith(u'\\') ? u'\\' : u'/')
                      + QStringLiteral("123.jpg"));
        EXPECT_EQ(contenido(programa(QStringLiteral("img/123.jpg"))), contenido(origen));
        EXPECT_EQ(miniaturas(QStringLiteral("img/"), QStringLiteral("123")), kDe640x480);
    }
}

TEST_F(ThumbnailFiles, APictureNumberNamesTheCopyButNotTheThumbnails)
{
    const QString origen = foto(QStringLiteral("foto.png"), QSize(640, 480), "PNG");
    QString nombre;
    EXPECT_TRUE(Rt_ImgThumbs::GenerarMiniaturas(QStringLiteral("img\\"), origen, QStringLiteral("123"), 2, nombre));
    EXPECT_EQ(nombre, QStringLiteral("img\\123_2.png"));
    EXPECT_TRUE(QFile::exists(programa(QStringLiteral("img/123_2.png"))));
    EXPECT_EQ(miniaturas(QStringLiteral("img/"), QStringLiteral("123")), kDe640x480);
}

// The stored copy named with blanks around it or another spelling of its folder is not copied
// onto itself (which would empty it); its thumbnails are written.
TEST_F(ThumbnailFiles, TheStoredCopyItselfIsNotCopiedAgain)
{
    QDir().mkpath(programa(QStringLiteral("img")));
    QImage imagen(64, 48, QImage::Format_RGB32);
    imagen.fill(Qt::blue);
    ASSERT_TRUE(imagen.save(programa(QStringLiteral("img/123.jpg")), "JPG"));
    const QByteArray antes = contenido(programa(QStringLiteral("img/123.jpg")));
    for (const QString &origen : {QStringLiteral("  ") + programa(QStringLiteral("img/123.jpg")) + QStringLiteral(" "),
                                  programa(QStringLiteral("img//./123.jpg")), QStringLiteral("img/123.jpg")}) {
        SCOPED_TRACE(origen.toStdString());
        QDir(programa(QStringLiteral("img/thumbs0"))).removeRecursively();
        QString nombre;
        EXPECT_TRUE(Rt_ImgThumbs::GenerarMiniaturas(QStringLiteral("img"), origen, QStringLiteral("123"), 0, nombre));
        EXPECT_EQ(contenido(programa(QStringLiteral("img/123.jpg"))), antes);
        EXPECT_EQ(miniaturas(QStringLiteral("img/"), QStringLiteral("123")).first(), QStringLiteral("20x15"));
    }
}

TEST_F(ThumbnailFiles, AFileNamedJpgHoldingABitmapIsReadByItsContent)
{
    const QString origen = foto(QStringLiteral("pegada.jpg"), QSize(640, 480), "BMP");
    ASSERT_TRUE(contenido(origen).startsWith("BM"));
    QString nombre;
    EXPECT_TRUE(Rt_ImgThumbs::GenerarMiniaturas(QString(), origen, QStringLiteral("7"), 0, nombre));
    EXPECT_EQ(nombre, QStringLiteral("7.jpg")); // no folder set: the program folder itself
    EXPECT_EQ(miniaturas(QString(), QStringLiteral("7")), kDe640x480);
}

TEST(PictureFiles, EveryKindIsReadByItsContentWhateverItsName)
{
    aplicacionQt();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A 1x1 GIF: Qt writes no GIF, so its bytes are given.
    const QByteArray gif = QByteArray::fromHex("47494638396101000100800000ffffff00000021f90401000000002c000000"
                                               "00010001000002024401003b");
    auto escrita = [&](const QString &nombre, const QByteArray &bytes) {
        QFile f(dir.filePath(nombre));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        return f.fileName();
    };
    auto codificada = [](const char *formato) {
        QImage imagen(3, 2, QImage::Format_RGB32);
        imagen.fill(Qt::red);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        imagen.save(&buffer, formato);
        return bytes;
    };
    const struct {
        const char *nombre;
        QByteArray bytes;
        QSize tamano;
    } casos[] = {
        {"gif.jpg", gif, QSize(1, 1)},
        {"bmp.png", codificada("BMP"), QSize(3, 2)},
        {"jpeg.gif", codificada("JPG"), QSize(3, 2)},
        {"png.bmp", codificada("PNG"), QSize(3, 2)},
    };
    for (const auto &caso : casos) {
        SCOPED_TRACE(caso.nombre);
        const platform::Result<QImage> leida =
            articles::LeerImagen(escrita(QString::fromLatin1(caso.nombre), caso.bytes));
        ASSERT_TRUE(leida.ok()) << leida.message().toStdString();
        EXPECT_EQ(leida.value().size(), caso.tamano);
    }
    const QString texto = escrita(QStringLiteral("texto.jpg"), "no es una imagen");
    const platform::Result<QImage> fallida = articles::LeerImagen(texto);
    EXPECT_FALSE(fallida.ok());
    EXPECT_TRUE(fallida.message().contains(texto));
}

TEST_F(ThumbnailFiles, FailuresMakeTheResultFalse)
{
    // a missing source: the folders are made, the operator told, nothing else written
    QString nombre;
    m_operador->expect(QStringLiteral("No se pudo cargar la imagen ") + m_fuera.path()
                           + QStringLiteral("/no.jpg\r\nen "
                                            "img/5.jpg"),
                       platform::vbOK);
    EXPECT_FALSE(Rt_ImgThumbs::GenerarMiniaturas(QStringLiteral("img/"), m_fuera.path() + QStringLiteral("/no.jpg"),
                                                 QStringLiteral("5"), 0, nombre));
    EXPECT_TRUE(QFileInfo(programa(QStringLiteral("img/thumbs4"))).isDir());
    EXPECT_EQ(miniaturas(QStringLiteral("img/"), QStringLiteral("5")), QStringList(5, QString()));

    // a source that is no picture
    const QString texto = m_fuera.path() + QStringLiteral("/texto.jpg");
    QFile f(texto);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("no es una imagen") > 0);
    f.close();
    EXPECT_FALSE(Rt_ImgThumbs::GenerarMiniaturas(QStringLiteral("img/"), texto, QStringLiteral("6"), 0, nombre));
    EXPECT_EQ(miniaturas(QStringLiteral("img/"), QStringLiteral("6")), QStringList(5, QString()));

    // a thumbnail that cannot be written: its folder is a file
    QDir(programa(QStringLiteral("img/thumbs2"))).removeRecursively();
    QFile estorbo(programa(QStringLiteral("img/thumbs2")));
    ASSERT_TRUE(estorbo.open(QIODevice::WriteOnly));
    estorbo.close();
    EXPECT_FALSE(Rt_ImgThumbs::GenerarMiniaturas(
        QStringLiteral("img/"), foto(QStringLiteral("a.jpg"), QSize(640, 480), "JPG"), QStringLiteral("7"), 0, nombre));
    QStringList esperadas = kDe640x480;
    esperadas[2].clear();
    EXPECT_EQ(miniaturas(QStringLiteral("img/"), QStringLiteral("7")), esperadas);
}

// An article's code goes into the picture's file names only when it names a file inside the
// folder: never a path that leads out of it.
TEST_F(ThumbnailFiles, ACodeThatIsNoFileNameWritesNothing)
{
    const struct {
        const char *codigo;
        bool valido;
    } casos[] = {
        {"  12", true},   {"A-1.5", true}, {"a..b", true},  {"Ñandú 2", true}, {"../fuera", false}, {"..", false},
        {".", false},     {"a/b", false},  {"a\\b", false}, {"C:x", false},    {"x*", false},       {"x?", false},
        {"\"x\"", false}, {"<x>", false},  {"x|y", false},  {"x\ty", false},   {"   ", false},
    };
    for (const auto &caso : casos)
        EXPECT_EQ(Rt_ImgThumbs::NombreDeArchivoValido(QString::fromUtf8(caso.codigo)), caso.valido) << caso.codigo;

    const QString origen = foto(QStringLiteral("foto.jpg"), QSize(64, 48), "JPG");
    for (const char *codigo : {"../../fuera", "..\\..\\fuera", "/tmp/fuera"}) {
        QString nombre;
        EXPECT_FALSE(
            Rt_ImgThumbs::GenerarMiniaturas(QStringLiteral("img/"), origen, QString::fromLatin1(codigo), 0, nombre))
            << codigo;
    }
    EXPECT_FALSE(QFile::exists(m_programa.path() + QStringLiteral("/../fuera.jpg")));
    EXPECT_FALSE(QFile::exists(programa(QStringLiteral("fuera.bmp"))));
    EXPECT_FALSE(QFile::exists(programa(QStringLiteral("img/fuera.bmp"))));
    EXPECT_FALSE(QFile::exists(QStringLiteral("/tmp/fuera.jpg")));
}

TEST_F(ThumbnailFiles, PathsResolveAgainstTheProgramFolder)
{
    const QString p = m_programa.path();
    const struct {
        QString ruta, esperada;
    } casos[] = {
        {QStringLiteral("img"), p + QStringLiteral("/img/")},
        {QStringLiteral("img\\"), p + QStringLiteral("/img\\")},
        {QStringLiteral("D:\\fotos"), QStringLiteral("D:\\fotos/")},
        {QStringLiteral("\\\\srv\\fotos"), QStringLiteral("\\\\srv\\fotos/")},
        {QStringLiteral("/srv/fotos"), QStringLiteral("/srv/fotos/")},
        {QStringLiteral("img\\1.jpg"), p + QStringLiteral("/img\\1.jpg")},
        {QStringLiteral("D:\\1.jpg"), QStringLiteral("D:\\1.jpg")},
        {QStringLiteral(".img"), p + QStringLiteral("/.img/")},
        {QStringLiteral("ab"), QString()},
    };
    for (const auto &caso : casos)
        EXPECT_EQ(Rt_ImgThumbs::RutaCompleta(caso.ruta), caso.esperada) << caso.ruta.toStdString();

    const struct {
        QString configurada, carpeta;
    } carpetas[] = {
        {QStringLiteral("img\\"), p + QStringLiteral("/img/")},
        {QStringLiteral("img"), p + QStringLiteral("/img/")},
        {QStringLiteral(" img/ "), p + QStringLiteral("/img/")},
        {QString(), p + QStringLiteral("/")},
        {QStringLiteral("f"), p + QStringLiteral("/f/")},
        {QStringLiteral("/srv/fotos"), QStringLiteral("/srv/fotos/")},
    };
    for (const auto &caso : carpetas)
        EXPECT_EQ(Rt_ImgThumbs::CarpetaImagenes(caso.configurada), caso.carpeta) << caso.configurada.toStdString();
}

} // namespace
