#include "toolbar/IconStrip.h"

#include "platform/Paths.h"
#include "platform/suite/Ini.h"
#include "platform/suite/Sistema.h"

#include <QFileInfo>
#include <QImageReader>

namespace toolbar {

namespace {

platform::Result<QImage> readImage(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return platform::Result<QImage>::failure(QStringLiteral("No se encuentra el archivo %1").arg(path));
    if (info.size() > IconStrip::kMaxFileSize)
        return platform::Result<QImage>::failure(
            QStringLiteral("El archivo %1 es demasiado grande (%2 bytes)").arg(path).arg(info.size()));
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull())
        return platform::Result<QImage>::failure(
            QStringLiteral("No se puede leer la imagen %1: %2").arg(path, reader.errorString()));
    return image;
}

} // namespace

QString IconStrip::fileNameForStyle(const QString &styles)
{
    if (styles == u"1")
        return QStringLiteral("ABM2021B.bmp");
    if (styles == u"2")
        return QStringLiteral("ABM2021M.bmp");
    if (styles == u"3")
        return QStringLiteral("ABM2021V.bmp");
    if (styles == u"4")
        return QStringLiteral("ABM2021i.bmp");
    return QStringLiteral("ABM2021.bmp");
}

QString IconStrip::stationStyle()
{
    const QString section = platform::suite::gSistema().NombreUsuario().toUpper() + QStringLiteral("Styles");
    return platform::suite::gIni().LeerIni(QStringLiteral("qd000pr.ini"), section, QStringLiteral("Styles"),
                                           QStringLiteral("1"));
}

QString IconStrip::pathForStyle(const QString &folder, const QString &styles)
{
    return platform::findFileNoCase(folder, fileNameForStyle(styles));
}

platform::Result<QList<QImage>> IconStrip::load(const QString &path, int count)
{
    using R = platform::Result<QList<QImage>>;
    if (count <= 0)
        return R::failure(QStringLiteral("Cantidad de iconos no válida: %1").arg(count));
    const platform::Result<QImage> image = readImage(path);
    if (!image)
        return R::failure(image.message());
    const int width = image.value().width() / count;
    if (width <= 0)
        return R::failure(QStringLiteral("La imagen %1 tiene %2 píxeles de ancho; hacen falta %3 iconos")
                              .arg(path)
                              .arg(image.value().width())
                              .arg(count));
    QList<QImage> icons;
    for (int i = 0; i < count; ++i)
        icons.append(image.value().copy(i * width, 0, width, image.value().height()));
    return icons;
}

} // namespace toolbar
