#include "MostrarError.h"

#include "db/ErrorReport.h"
#include "platform/Paths.h"
#include "platform/suite/Sistema.h"

namespace ModGlobal {

QString RutaLogErrores()
{
    QString folder;
    if (!qEnvironmentVariable("TEMP").isEmpty())
        folder = qEnvironmentVariable("TMP");
    folder = folder.trimmed();
    if (folder.isEmpty())
        folder = platform::suite::gSistema().CarpetaTemporal();
    return platform::joinPath(platform::fromWindowsPath(folder), QStringLiteral("VKERR.LOG"));
}

std::int16_t MostrarError(const platform::RuntimeError &error, int botones, const std::optional<QString> &rutina)
{
    db::ErrorReport::Options options;
    options.titleSuffix = QStringLiteral(" Aviso al operador!!! - 2 ");
    options.logPath = RutaLogErrores();
    options.createLogFirst = true;
    return std::int16_t(db::ErrorReport::report(error, botones, rutina, options));
}

} // namespace ModGlobal
