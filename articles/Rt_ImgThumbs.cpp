#include "Rt_ImgThumbs.h"

#include "platform/Paths.h"
#include "platform/suite/Funciones.h"

#include <QDir>
#include <QFileInfo>

namespace Rt_ImgThumbs {

namespace {

using platform::suite::gFunciones;

bool esAbsoluta(const QString &ruta)
{
    return ruta.startsWith(QLatin1Char('/')) || ruta.startsWith(QLatin1String("\\\\"))
        || (ruta.size() >= 2 && ruta[1] == QLatin1Char(':'));
}

QString carpetaDelPrograma() { return gFunciones().AgregarBarra(platform::programFolder()); }

} // namespace

QString RutaCompleta(const QString &ruta)
{
    if (ruta.size() <= 2)
        return QString();
    const qsizetype punto = ruta.indexOf(QLatin1Char('.'));
    const bool carpeta = punto <= 0;
    if (esAbsoluta(ruta))
        return carpeta ? gFunciones().AgregarBarra(ruta) : ruta;
    return carpeta ? carpetaDelPrograma() + gFunciones().AgregarBarra(ruta) : carpetaDelPrograma() + ruta;
}

bool ExisteCarpeta(const QString &carpeta) { return QFileInfo(RutaLocal(carpeta)).isDir(); }

bool CrearCarpeta(const QString &carpeta) { return QDir().mkpath(RutaLocal(carpeta)); }

QString CarpetaImagenes(const QString &configurada)
{
    const QString carpeta = configurada.trimmed();
    if (carpeta.isEmpty())
        return RutaLocal(carpetaDelPrograma());
    if (esAbsoluta(carpeta))
        return RutaLocal(gFunciones().AgregarBarra(carpeta));
    return RutaLocal(carpetaDelPrograma() + gFunciones().AgregarBarra(carpeta));
}

QString UnirCarpeta(const QString &configurada, const QString &nombre)
{
    return configurada.isEmpty() ? nombre : gFunciones().AgregarBarra(configurada) + nombre;
}

QString RutaLocal(const QString &ruta) { return platform::fromWindowsPath(ruta); }

bool NombreDeArchivoValido(const QString &codigo)
{
    const QString nombre = codigo.trimmed();
    if (nombre.isEmpty() || nombre == QLatin1String(".") || nombre == QLatin1String(".."))
        return false;
    static const QString prohibidos = QStringLiteral("/\\:*?\"<>|");
    for (const QChar c : nombre) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || prohibidos.contains(c))
            return false;
    }
    return true;
}

void AjustarProporcion(float ancho, float alto, float anchoCaja, float altoCaja, float &anchoFinal, float &altoFinal)
{
    // Each reduction brings one side to its box; a few rounds settle any single-precision
    // remainder.
    for (int vuelta = 0; vuelta < 8; ++vuelta) {
        const bool anchoExcede = ancho > anchoCaja;
        const bool altoExcede = alto > altoCaja;
        if (anchoExcede && altoExcede && ancho < alto)
            ReducirProporcional(alto, ancho, alto - altoCaja);
        else if (anchoExcede)
            ReducirProporcional(ancho, alto, ancho - anchoCaja);
        else if (altoExcede)
            ReducirProporcional(alto, ancho, alto - altoCaja);
        else
            break;
    }
    anchoFinal = std::min(ancho, anchoCaja);
    altoFinal = std::min(alto, altoCaja);
}

void ReducirProporcional(float &a, float &b, float d)
{
    const float porcentaje = a > 0 ? b * 100.0f / a : 0.0f;
    a = a - d;
    b = a * porcentaje / 100.0f;
}

} // namespace Rt_ImgThumbs
