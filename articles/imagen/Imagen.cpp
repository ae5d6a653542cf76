#include "Imagen.h"

#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

namespace articles {

namespace {

// The source pixels that make one pixel of a reduction along one side, with the weights of
// the first and the last (the ones between weigh a whole pixel). Weights are counted in
// 1/destino of a pixel so that they are exact: a reduced pixel gathers `origen` of them.
struct Tramo {
    int desde = 0;
    int hasta = 0;
    std::int64_t primero = 0;
    std::int64_t ultimo = 0;
};

std::vector<Tramo> tramos(int origen, int destino)
{
    std::vector<Tramo> t(static_cast<std::size_t>(destino));
    for (int o = 0; o < destino; ++o) {
        const std::int64_t a = std::int64_t(o) * origen;     // start, in 1/destino
        const std::int64_t b = std::int64_t(o + 1) * origen; // end, in 1/destino
        Tramo &tramo = t[std::size_t(o)];
        tramo.desde = int(a / destino);
        tramo.hasta = int((b - 1) / destino);
        if (tramo.desde == tramo.hasta) {
            tramo.primero = tramo.ultimo = b - a;
        } else {
            tramo.primero = std::int64_t(tramo.desde + 1) * destino - a;
            tramo.ultimo = b - std::int64_t(tramo.hasta) * destino;
        }
    }
    return t;
}

// Where each colour lies among the four bytes of a 32-bit pixel in memory.
constexpr int kAzul = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 0 : 3;
constexpr int kVerde = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 1 : 2;
constexpr int kRojo = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 2 : 1;

// One reduction in progress, fed the picture's rows in order. The rows wholly inside a reduced
// row weigh alike, so their sum is read off the running sum of all the rows above (kept by the
// caller, once for every size): only the first and the last row of a reduced row are weighed
// here. Integer arithmetic throughout, so that the means are exact.
class Reduccion {
public:
    Reduccion(int ancho, int alto, QSize tamano)
        : m_columnas(tramos(ancho, tamano.width())), m_filas(tramos(alto, tamano.height())),
          m_resultado(tamano, QImage::Format_RGB32), m_vertical(std::size_t(ancho) * 4),
          m_primera(std::size_t(ancho) * 4), m_inicio(std::size_t(ancho) * 4),
          m_area(std::uint64_t(ancho) * std::uint64_t(alto))
    {}

    // Picture row `y` (the 4 bytes of each pixel) and the running sum of the rows above it.
    void agregar(int y, const uchar *fila, const std::uint32_t *arriba)
    {
        while (m_fila < int(m_filas.size())) {
            const Tramo &t = m_filas[std::size_t(m_fila)];
            if (y == t.hasta) {
                terminar(t, fila, arriba);
                continue; // the next reduced row may start on this same row
            }
            if (y == t.desde)
                empezar(t, fila, arriba);
            break;
        }
    }

    QImage resultado() const { return m_resultado; }

private:
    void empezar(const Tramo &t, const uchar *fila, const std::uint32_t *arriba)
    {
        const auto peso = std::uint64_t(t.primero);
        for (std::size_t k = 0; k < m_primera.size(); ++k) {
            m_primera[k] = peso * fila[k];
            m_inicio[k] = arriba[k] + fila[k];
        }
    }

    // The running sum may wrap around: the difference of two of its values is still exact for
    // fewer than 16 million rows in one reduced row.
    void terminar(const Tramo &t, const uchar *fila, const std::uint32_t *arriba)
    {
        if (t.desde == t.hasta) {
            for (std::size_t k = 0; k < m_vertical.size(); ++k)
                m_vertical[k] = std::uint64_t(t.primero) * fila[k];
        } else {
            const auto ultimo = std::uint64_t(t.ultimo);
            const auto entero = std::uint64_t(m_resultado.height()); // the weight of a whole row
            for (std::size_t k = 0; k < m_vertical.size(); ++k) {
                const std::uint32_t entre = arriba[k] - m_inicio[k]; // the rows between the first and the last
                m_vertical[k] = m_primera[k] + ultimo * fila[k] + entero * entre;
            }
        }
        escribirFila();
    }

    void escribirFila()
    {
        auto *salida = reinterpret_cast<QRgb *>(m_resultado.scanLine(m_fila));
        const auto entero = std::uint64_t(m_resultado.width()); // the weight of a whole column
        for (int x = 0; x < m_resultado.width(); ++x) {
            const Tramo &t = m_columnas[std::size_t(x)];
            const std::uint64_t *primera = &m_vertical[std::size_t(t.desde) * 4];
            const std::uint64_t *ultima = &m_vertical[std::size_t(t.hasta) * 4];
            std::uint64_t canal[4];
            std::uint64_t entre[4] = {0, 0, 0, 0};
            for (const std::uint64_t *v = primera + 4; v < ultima; v += 4) {
                for (int c = 0; c < 4; ++c)
                    entre[c] += v[c];
            }
            for (int c = 0; c < 4; ++c) {
                canal[c] = std::uint64_t(t.primero) * primera[c] + entero * entre[c];
                if (t.hasta != t.desde)
                    canal[c] += std::uint64_t(t.ultimo) * ultima[c];
            }
            const auto valor = [&](int c) { return int((canal[c] + m_area / 2) / m_area); };
            salida[x] = qRgb(valor(kRojo), valor(kVerde), valor(kAzul));
        }
        ++m_fila;
    }

    std::vector<Tramo> m_columnas;
    std::vector<Tramo> m_filas;
    QImage m_resultado;
    std::vector<std::uint64_t> m_vertical; // the reduced row's weighted sum, by picture column
    std::vector<std::uint64_t> m_primera;  // its first picture row, weighed
    std::vector<std::uint32_t> m_inicio;   // the running sum after that first row
    std::uint64_t m_area;                  // picture width x height: the unit of the weights
    int m_fila = 0;
};

} // namespace

QSize TamanoGuardado(QSize tamano)
{
    const qint64 pixeles = qint64(tamano.width()) * tamano.height();
    if (pixeles <= kMaximoPixeles)
        return tamano;
    const double factor = std::sqrt(double(kMaximoPixeles) / double(pixeles));
    return QSize(std::max(1, int(tamano.width() * factor)), std::max(1, int(tamano.height() * factor)));
}

QImage Reducida(const QImage &imagen)
{
    const QSize tamano = TamanoGuardado(imagen.size());
    return tamano == imagen.size() ? imagen : imagen.scaled(tamano, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

platform::Result<QImage> LeerImagen(const QString &ruta)
{
    // Qt's own bound (128 MB) refuses a camera's picture; formats that are decoded whole
    // before they are reduced need room for it.
    if (QImageReader::allocationLimit() < kLimiteDecodificacionMB)
        QImageReader::setAllocationLimit(kLimiteDecodificacionMB);
    QImageReader lector(ruta);
    lector.setDecideFormatFromContent(true);
    const QSize tamano = lector.size();
    if (tamano.isValid() && TamanoGuardado(tamano) != tamano)
        lector.setScaledSize(TamanoGuardado(tamano));
    QImage imagen = lector.read();
    if (imagen.isNull()) {
        const QString motivo = tamano.isValid()
                && qint64(tamano.width()) * tamano.height() * 4 > qint64(kLimiteDecodificacionMB) * 1024 * 1024
            ? QStringLiteral("la imagen de %1 x %2 pixeles es demasiado grande")
                  .arg(tamano.width())
                  .arg(tamano.height())
            : lector.errorString();
        return platform::Result<QImage>::failure(QStringLiteral("No se puede leer la imagen %1: %2").arg(ruta, motivo),
                                                 481);
    }
    return imagen;
}

QImage SobreBlanco(const QImage &imagen)
{
    if (!imagen.hasAlphaChannel())
        return imagen.convertToFormat(QImage::Format_RGB32);
    QImage blanco(imagen.size(), QImage::Format_RGB32);
    blanco.fill(Qt::white);
    QPainter pintor(&blanco);
    pintor.drawImage(0, 0, imagen);
    return blanco;
}

platform::Status GuardarImagen(const QImage &imagen, const QString &ruta, const char *formato)
{
    QSaveFile archivo(ruta);
    QImageWriter escritor(&archivo, formato);
    if (qstrcmp(formato, "JPG") == 0)
        escritor.setQuality(90);
    if (!archivo.open(QIODevice::WriteOnly) || !escritor.write(imagen) || !archivo.commit())
        return platform::Status::failure(
            QStringLiteral("No se pudo escribir la imagen %1: %2")
                .arg(ruta,
                     escritor.error() != QImageWriter::UnknownError ? escritor.errorString() : archivo.errorString()));
    return {};
}

QList<QImage> ReducirPorArea(const QImage &imagen, const QList<QSize> &tamanos)
{
    const QImage origen = SobreBlanco(imagen);
    const int ancho = origen.width();
    const int alto = origen.height();
    std::vector<std::unique_ptr<Reduccion>> reducciones;
    for (const QSize &t : tamanos) {
        const bool reduce = t.width() <= ancho && t.height() <= alto && !t.isEmpty();
        reducciones.push_back(reduce ? std::make_unique<Reduccion>(ancho, alto, t) : nullptr);
    }
    std::vector<std::uint32_t> arriba(std::size_t(ancho) * 4, 0); // the sum of the rows read, by column
    for (int y = 0; y < alto; ++y) {
        const uchar *fila = origen.constScanLine(y);
        for (const auto &r : reducciones) {
            if (r)
                r->agregar(y, fila, arriba.data());
        }
        std::uint32_t *__restrict suma = arriba.data();
        for (std::size_t k = 0; k < arriba.size(); ++k)
            suma[k] += fila[k];
    }
    QList<QImage> resultado;
    for (qsizetype i = 0; i < tamanos.size(); ++i) {
        const auto &r = reducciones[std::size_t(i)];
        resultado << (r ? r->resultado() : origen.scaled(tamanos[i], Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    return resultado;
}

} // namespace articles
