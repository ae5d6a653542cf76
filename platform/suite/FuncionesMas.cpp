#include "Funciones.h"

#include <cmath>

namespace platform::suite {

namespace {

RuntimeError unreadable(const QString &text)
{
    return RuntimeError(13, QStringLiteral("No coinciden los tipos: '%1'").arg(text));
}

} // namespace

double Funciones::TextoADoble(const QString &text) const
{
    const QChar decimal = regional().decimalSeparator;
    const QChar grouping = decimal == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(',');
    QString t = text.trimmed();
    if (t.isEmpty())
        return 0.0;
    t.remove(grouping);
    t.replace(decimal, QLatin1Char('.'));
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        throw unreadable(text);
    return value;
}

std::int64_t Funciones::TextoAEntero(const QString &text) const
{
    const double value = std::nearbyint(TextoADoble(text));
    if (std::fabs(value) > 9.2e18)
        throw RuntimeError(6, QStringLiteral("Desbordamiento: '%1'").arg(text));
    return std::int64_t(value);
}

void Funciones::DividirRuta(const QString &ruta, QString &carpeta, QString &nombre, QString &extension,
                            QString &archivo) const
{
    const qsizetype slash = std::max(ruta.lastIndexOf(QLatin1Char('/')), ruta.lastIndexOf(QLatin1Char('\\')));
    carpeta = ruta.left(slash + 1);
    archivo = ruta.mid(slash + 1);
    const qsizetype dot = archivo.lastIndexOf(QLatin1Char('.'));
    nombre = dot < 0 ? archivo : archivo.left(dot);
    extension = dot < 0 ? QString() : archivo.mid(dot + 1);
}

} // namespace platform::suite
