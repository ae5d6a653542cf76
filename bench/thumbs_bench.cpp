// thumbs_bench: the article pictures' thumbnails against a plain QImage::scaled loop.
//
// Each picture is a 3000 x 2000 JPEG already stored in the picture folder, as the article
// form leaves it before asking for its thumbnails. Ours: Rt_ImgThumbs::GenerarMiniaturas
// (read the picture by its content, reduce it by area averaging into the five boxes, write
// five BMP files). Baseline, in the same run on the same files: read the picture, five
// QImage::scaled with Qt::SmoothTransformation to the same sizes, write the same five BMP
// files. Both sides are timed in alternating batches so that the machine's load falls on
// both alike. The bound: ours at least 0.7 of the baseline's pictures per second. The
// program prints its bound and exits non-zero when the figure misses it.
//
//     thumbs_bench [pictures] [distinct pictures]     (1000 and 8 by default)

#include "articles/Rt_ImgThumbs.h"
#include "articles/imagen/Miniaturas.h"
#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QImageReader>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr double kBound = 0.7;
constexpr int kBatch = 25;
const QSize kPicture(3000, 2000);

// A photograph-like picture: smooth gradients with some noise, so that the JPEG is of a
// realistic size and decoding costs what it costs.
QImage picture(int semilla)
{
    QImage imagen(kPicture, QImage::Format_RGB32);
    QRandomGenerator azar{quint32(semilla)};
    for (int y = 0; y < imagen.height(); ++y) {
        auto *fila = reinterpret_cast<QRgb *>(imagen.scanLine(y));
        for (int x = 0; x < imagen.width(); ++x) {
            const int ruido = int(azar.bounded(24));
            fila[x] = qRgb((x / 12 + semilla * 40 + ruido) & 0xFF, (y / 8 + ruido) & 0xFF, ((x + y) / 20) & 0xFF);
        }
    }
    return imagen;
}

bool ours(const QString &carpeta, const QString &codigo)
{
    QString nombre;
    return Rt_ImgThumbs::GenerarMiniaturas(QStringLiteral("img"), carpeta + codigo + QStringLiteral(".jpg"), codigo, 0,
                                           nombre);
}

bool baseline(const QString &carpeta, const QString &codigo)
{
    QImageReader lector(carpeta + codigo + QStringLiteral(".jpg"));
    lector.setDecideFormatFromContent(true);
    const QImage imagen = lector.read();
    if (imagen.isNull())
        return false;
    const QList<QSize> cajas = Rt_ImgThumbs::TamanosMiniatura();
    bool escritas = true;
    for (int i = 0; i < cajas.size(); ++i) {
        const QImage miniatura = imagen.scaled(Rt_ImgThumbs::TamanoMiniatura(imagen.size(), cajas[i]),
                                               Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        escritas = miniatura.save(carpeta + QStringLiteral("thumbs%1/").arg(i) + codigo + QStringLiteral(".bmp"), "BMP")
            && escritas;
    }
    return escritas;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int pictures = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int distinct = argc > 2 ? std::atoi(argv[2]) : 8;
    if (pictures <= 0 || distinct <= 0) {
        std::fprintf(stderr, "usage: thumbs_bench [pictures] [distinct pictures]\n");
        return 2;
    }
    QTemporaryDir home;
    platform::setProgramFolder(home.path());
    const QString carpeta = Rt_ImgThumbs::CarpetaImagenes(QStringLiteral("img"));
    QDir().mkpath(carpeta);
    for (int i = 0; i < distinct; ++i) {
        if (!picture(i).save(carpeta + QString::number(i) + QStringLiteral(".jpg"), "JPG", 90)) {
            std::fprintf(stderr, "thumbs_bench: cannot write the pictures in %s\n", qPrintable(carpeta));
            return 2;
        }
    }
    // a first round of each writes the folders and warms the caches
    if (!ours(carpeta, QStringLiteral("0")) || !baseline(carpeta, QStringLiteral("0"))) {
        std::fprintf(stderr, "thumbs_bench: the thumbnails cannot be written\n");
        return 2;
    }

    qint64 nsOurs = 0;
    qint64 nsBaseline = 0;
    bool ok = true;
    QElapsedTimer reloj;
    for (int desde = 0; desde < pictures; desde += kBatch) {
        const int hasta = std::min(pictures, desde + kBatch);
        reloj.start();
        for (int i = desde; i < hasta; ++i)
            ok = ours(carpeta, QString::number(i % distinct)) && ok;
        nsOurs += reloj.nsecsElapsed();
        reloj.start();
        for (int i = desde; i < hasta; ++i)
            ok = baseline(carpeta, QString::number(i % distinct)) && ok;
        nsBaseline += reloj.nsecsElapsed();
    }
    if (!ok) {
        std::fprintf(stderr, "thumbs_bench: a thumbnail was not written\n");
        return 2;
    }
    const double rateOurs = pictures / (double(nsOurs) / 1e9);
    const double rateBaseline = pictures / (double(nsBaseline) / 1e9);
    const double ratio = rateOurs / rateBaseline;
    std::printf("thumbnails of %d pictures of %dx%d (%d distinct JPEGs), five sizes each\n", pictures, kPicture.width(),
                kPicture.height(), distinct);
    std::printf("  ours (area averaging)        %8.1f pictures/s\n", rateOurs);
    std::printf("  QImage::scaled (smooth)      %8.1f pictures/s\n", rateBaseline);
    std::printf("  ratio %.2f (bound: at least %.2f) %s\n", ratio, kBound, ratio >= kBound ? "ok" : "MISSED");
    return ratio >= kBound ? 0 : 1;
}
