#include "Sistema.h"

#include "platform/Logger.h"
#include "platform/Paths.h"

#include <QProcess>
#include <QStringList>
#include <QSysInfo>

#include <memory>

namespace platform::suite {

QString Sistema::NombreMaquina() const { return QSysInfo::machineHostName(); }

QString Sistema::NombreUsuario() const
{
    for (const char *name : {"USER", "LOGNAME", "USERNAME"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty())
            return value;
    }
    return QString();
}

QString Sistema::CarpetaTemporal() const
{
    QString folder = tempFolder();
    while (folder.size() > 1 && (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\'))))
        folder.chop(1);
    return folder;
}

bool Sistema::EjecutarShell(long, const QString &, const QString &archivo, const QString &parametros, const QString &,
                            int) const
{
    QString target = archivo.trimmed();
    if (target.size() >= 2 && target.startsWith(QLatin1Char('"')) && target.endsWith(QLatin1Char('"')))
        target = target.mid(1, target.size() - 2);
    QStringList arguments{fromWindowsPath(target)};
    if (!parametros.trimmed().isEmpty())
        arguments << parametros.trimmed();
    const bool started = QProcess::startDetached(QStringLiteral("xdg-open"), arguments);
    if (!started)
        logger().warning(QStringLiteral("No se pudo abrir %1 con xdg-open").arg(target));
    return started;
}

namespace {
std::unique_ptr<Sistema> &instance()
{
    static std::unique_ptr<Sistema> object;
    return object;
}
} // namespace

Sistema &gSistema()
{
    if (!instance())
        instance() = std::make_unique<Sistema>();
    return *instance();
}

void releaseSistema() { instance().reset(); }

} // namespace platform::suite
