#include "Programa.h"

#include "core/Acceso.h"
#include "core/Inicio.h"
#include "platform/Logger.h"
#include "platform/Paths.h"
#include "platform/suite/Estado.h"
#include "platform/ui/Operator.h"
#include "platform/ui/widgets/EstadoVentana.h"
#include "platform/ui/widgets/QtDialogOperator.h"
#include "platform/ui/widgets/QtFileChooser.h"

#include <QDebug>

#ifdef IMAESTROS_HAS_DB_UI
#include "db/ui/frmAcceso.h"
#endif

namespace Programa {

namespace {

// Both modes keep the program's log (what start-up fell back on, and why).
void installLog()
{
    platform::logger().setFile(platform::joinPath(platform::programFolder(), QStringLiteral("imaestros.log")));
}

void installUnattended()
{
    platform::setOperatorService(std::make_shared<platform::UnattendedOperator>());
    platform::logger().addSink([](platform::Logger::Level level, const QString &message) {
        if (level != platform::Logger::Level::Info)
            qWarning().noquote() << message;
    });
}

void installDesktop()
{
    platform::setOperatorService(std::make_shared<platform::QtDialogOperator>());
    platform::suite::setEstadoFactory([] { return std::make_unique<platform::EstadoVentana>(); });
    platform::installQtFileChooser();
#ifdef IMAESTROS_HAS_DB_UI
    frmAcceso::instalar();
#endif
}

int exitStatusFor(const platform::Status &status)
{
    switch (status.code()) {
    case ModGlobal::kSinConexion:
        return kSinConexion;
    case ModGlobal::kSinAcceso:
        return kSinAcceso;
    default:
        return kInicioFallido;
    }
}

} // namespace

int run(const QString &commandText, bool unattended)
{
    installLog();
    if (unattended)
        installUnattended();
    else
        installDesktop();
    ModGlobal::setLineaDeComandosDelProceso(commandText);
    QString connectionString;
    const platform::Status started = ModGlobal::IniciarSistema(false, QString(), connectionString, 3);
    if (!started.ok()) {
        platform::logger().error(QStringLiteral("Inicio fallido: %1").arg(started.message()));
        if (started.code() != ModGlobal::kSinConexion)
            ModGlobal::Finalizar();
        return exitStatusFor(started);
    }
    platform::logger().info(QStringLiteral("Sistema iniciado"));
    ModGlobal::Finalizar();
    return kOk;
}

} // namespace Programa
