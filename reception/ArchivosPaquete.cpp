#include "ArchivosPaquete.h"

#include "platform/Paths.h"

#include <QFileInfo>

namespace recepcion {

void ArchivosPaquete::limitarA(const QStringList &nombres)
{
    m_limitado = true;
    m_nombres.clear();
    for (const QString &n : nombres) {
        if (!n.contains(QLatin1Char('/')) && !n.contains(QLatin1Char('\\')))
            m_nombres.insert(n.toUpper());
    }
}

QString ArchivosPaquete::ruta(const QString &nombre) const
{
    if (m_limitado && !m_nombres.contains(nombre.toUpper()))
        return QString();
    const QString path = platform::findFileNoCase(m_carpeta, nombre);
    return QFileInfo(path).isFile() ? path : QString();
}

QString ArchivosPaquete::rutaNueva(const QString &nombre) const { return platform::findFileNoCase(m_carpeta, nombre); }

} // namespace recepcion
