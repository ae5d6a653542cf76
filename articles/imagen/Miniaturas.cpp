#include "Miniaturas.h"

#include "Imagen.h"

#include "articles/Rt_ImgThumbs.h"
#include "core/Rutinas.h"
#include "platform/Logger.h"
#include "platform/Paths.h"
#include "platform/suite/Funciones.h"
#include "platform/ui/Operator.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace Rt_ImgThumbs {

namespace {

using platform::suite::gFunciones;

QString carpetaMiniaturas(const QString &carpeta, int i) { return carpeta + QStringLiteral("thumbs%1").arg(i); }

// The source is already the stored copy: the same text, or the same file (a path is compared as
// the file system compares it, so letter case counts here).
bool esLaCopia(const QString &origen, const QString &nombre, const QString &destino)
{
    if (nombre == origen)
        return true;
    const QString archivo = QFileInfo(RutaLocal(origen.trimmed())).canonicalFilePath();
    return !archivo.isEmpty() && archivo == QFileInfo(destino).canonicalFilePath();
}

void crearCarpetas(const QString &carpeta)
{
    QStringList carpetas{carpeta};
    for (int i = 0; i < 5; ++i)
        carpetas << carpetaMiniaturas(carpeta, i);
    for (const QString &c : carpetas) {
        if (!ExisteCarpeta(c) && !CrearCarpeta(c))
            platform::logger().warning(QStringLiteral("GenerarMiniaturas: no se pudo crear la carpeta %1").arg(c));
    }
}

bool escribirMiniaturas(const QString &carpeta, const QString &copia, const QString &codigo)
{
    const platform::Result<QImage> imagen = articles::LeerImagen(copia);
    if (!imagen) {
        platform::logger().warning(QStringLiteral("GenerarMiniaturas: %1").arg(imagen.message()));
        return false;
    }
    QList<QSize> tamanos;
    for (const QSize &caja : TamanosMiniatura())
        tamanos << TamanoMiniatura(imagen.value().size(), caja);
    const QList<QImage> miniaturas = articles::ReducirPorArea(imagen.value(), tamanos);
    bool escritas = true;
    for (int i = 0; i < int(miniaturas.size()); ++i) {
        const QString archivo = carpetaMiniaturas(carpeta, i) + QLatin1Char('/') + codigo + QStringLiteral(".bmp");
        const platform::Status guardada = articles::GuardarImagen(miniaturas[i], archivo, "BMP");
        if (!guardada) {
            platform::logger().warning(QStringLiteral("GenerarMiniaturas: %1").arg(guardada.message()));
            escritas = false;
        }
    }
    return escritas;
}

int redondeo(float lado) { return std::max(1, int(std::nearbyint(lado))); }

} // namespace

QList<QSize> TamanosMiniatura()
{
    return {QSize(20, 24), QSize(60, 80), QSize(100, 120), QSize(200, 240), QSize(300, 360)};
}

QSize TamanoMiniatura(QSize imagen, QSize caja)
{
    float ancho = 0;
    float alto = 0;
    AjustarProporcion(float(imagen.width()), float(imagen.height()), float(caja.width()), float(caja.height()), ancho,
                      alto);
    return QSize(redondeo(ancho), redondeo(alto));
}

bool GenerarMiniaturas(const QString &carpeta, const QString &origenDado, const QString &codigo, std::int16_t numero,
                       QString &nombre)
{
    const QString origen = origenDado.trimmed();
    if (!NombreDeArchivoValido(codigo)) {
        platform::logger().warning(
            QStringLiteral("GenerarMiniaturas: el codigo \"%1\" no puede ser nombre de archivo; nada se escribio")
                .arg(codigo));
        return false;
    }
    QString carpetaOrigen, nombreOrigen, extension, archivoOrigen;
    gFunciones().DividirRuta(origen, carpetaOrigen, nombreOrigen, extension, archivoOrigen);
    QString archivo = codigo.trimmed();
    if (numero != 0)
        archivo += QLatin1Char('_') + QString::number(numero);
    archivo += QLatin1Char('.') + extension;
    nombre = UnirCarpeta(carpeta, archivo);
    const QString destino = CarpetaImagenes(carpeta);
    const QString copia = destino + archivo;
    const bool yaEsLaCopia = esLaCopia(origen, nombre, copia);
    crearCarpetas(destino);
    if (!yaEsLaCopia && !ModGlobal::CopiarArchivo(origen, copia)) {
        platform::msgBox(QStringLiteral("No se pudo cargar la imagen ") + origen + QStringLiteral("\r\nen ") + nombre,
                         platform::vbOKOnly);
        return false;
    }
    return escribirMiniaturas(destino, copia, codigo);
}

} // namespace Rt_ImgThumbs
