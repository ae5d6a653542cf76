#include "Programa.h"

#include "Envio.h"

#include "core/Acceso.h"
#include "core/Inicio.h"
#include "core/LineaComandos.h"
#include "platform/Logger.h"
#include "platform/Paths.h"
#include "platform/suite/Estado.h"
#include "platform/ui/Operator.h"
#include "platform/ui/widgets/EstadoVentana.h"
#include "platform/ui/widgets/QtDialogOperator.h"
#include "platform/ui/widgets/QtFileChooser.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>

#ifdef IMAESTROS_HAS_DB_UI
#include "db/ui/frmAcceso.h"
#endif
#ifdef IMAESTROS_HAS_LOOKUP_UI
#include "lookup/ui/WidgetPresenter.h"
#endif
#ifdef IMAESTROS_HAS_ARTICLES_UI
#include "articles/ui/Anfitrion.h"
#endif

#ifndef IMAESTROS_VERSION
#define IMAESTROS_VERSION "0"
#endif

namespace Programa {

namespace {

const char kUso[] = "uso: imaestros ['@Server=<servidor>;@DbName=<base>;@Usuario=<usuario>;@Password=<clave>;"
                    "@ParametroAdicional=AUTO']\n"
                    "     imaestros --envio [linea de comandos]   (el envio de maestros como primer formulario)\n"
                    "     imaestros --help | --version\n"
                    "\n"
                    "Mantiene la base de datos de la suite al dia con los datos maestros recibidos en paquetes.\n"
                    "La linea de comandos es la de la suite: elementos \"@Clave=valor\" separados por \";\" (entre\n"
                    "comillas simples en un shell), o uno por palabra. Claves: @Server, @DbName, @Usuario,\n"
                    "@Password, @ParametroAdicional, @Menu, @UsuarioLogeado, @Caja. Con @ParametroAdicional=AUTO\n"
                    "corre sin ventanas; si no, es el programa de escritorio y necesita una pantalla.\n"
                    "Servidor \"!\": base SQLite (@DbName es el archivo); \"%host:puerto\": PostgreSQL;\n"
                    "\"#\": Oracle; otro: SQL Server.\n"
                    "\n"
                    "Carpeta del programa: IMAESTROS_HOME, o la del ejecutable (instalado: ~/.local/share/imaestros).\n"
                    "Registro: imaestros.log en esa carpeta; errores ante el operador: VKERR.LOG.\n"
                    "\n"
                    "Estado de salida:\n"
                    "  0  conecto, cargo la configuracion y registro y cerro su acceso en Control_Acceso\n"
                    "  1  no pudo conectarse a la base de datos\n"
                    "  2  fallo un paso del inicio\n"
                    "  3  no pudo registrar su acceso\n"
                    "  4  no pudo registrar la hora de salida de su acceso\n"
                    "  5  no pudo leer la configuracion (siguio con los valores por omision)\n"
                    "  6  modo de escritorio sin pantalla (DISPLAY, WAYLAND_DISPLAY o QT_QPA_PLATFORM)\n"
                    "  7  la carpeta del programa o su registro no se pueden escribir\n"
                    "  Con AUTO, la recepcion de C:\\RECIBIR\\Archivos.zip (bajo IMAESTROS_ROOT, o la carpeta\n"
                    "  del programa), cuyo resumen se imprime en una linea:\n"
                    "  8  termino, con registros rechazados (ver Errores.TXT)\n"
                    "  9  falta Archivos.zip, no es un archivo comun, no se puede leer, esta danado o no se pudo\n"
                    "     descomprimir (el resumen dice cual)\n"
                    " 10  el paquete viene de otra base de datos de origen: no se importo nada\n"
                    " 11  el paquete no trae su archivo de control\n"
                    " 12  fallo la base de datos durante la recepcion\n"
                    " 13  --envio con AUTO: el envio fallo, o dejo filas o tablas sin enviar\n"
                    " 14  recepcion con AUTO: faltan archivos de datos de tablas que nombra el archivo de control\n"
                    " 15  recepcion con AUTO: termino, pero Errores.TXT no se pudo escribir entero (disco lleno)\n"
                    " 16  otra recepcion o envio siguio usando la base de datos pasada la espera: no se hizo nada\n"
                    " 64  opcion desconocida\n";

void toStderr(const QString &text) { std::fprintf(stderr, "imaestros: %s\n", qPrintable(text)); }

// Both modes keep the program's log (what start-up fell back on, and why); warnings and
// errors also reach standard error, once, from the logger itself.
void installUnattended() { platform::setOperatorService(std::make_shared<platform::UnattendedOperator>()); }

void installDesktop()
{
    platform::setOperatorService(std::make_shared<platform::QtDialogOperator>());
    platform::suite::setEstadoFactory([] { return std::make_unique<platform::EstadoVentana>(); });
    platform::installQtFileChooser();
#ifdef IMAESTROS_HAS_DB_UI
    frmAcceso::instalar();
#endif
#ifdef IMAESTROS_HAS_LOOKUP_UI
    lookup::ui::installDesktopLookup();
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

bool &watchingDisplay()
{
    static bool watching = false;
    return watching;
}

QtMessageHandler &previousHandler()
{
    static QtMessageHandler handler = nullptr;
    return handler;
}

void displayGuard(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtFatalMsg && watchingDisplay())
        std::_Exit(sinPantalla(message));
    if (previousHandler())
        previousHandler()(type, context, message);
}

} // namespace

Pedido leerArgumentos(const QStringList &arguments)
{
    Pedido pedido;
    for (const QString &argument : arguments) {
        if (argument == u"--help" || argument == u"-h") {
            pedido.accion = Pedido::Accion::Ayuda;
            return pedido;
        }
        if (argument == u"--envio") {
            pedido.envio = true;
            continue;
        }
        if (argument == u"--version") {
            pedido.accion = Pedido::Accion::Version;
            return pedido;
        }
        if (argument.startsWith(u"--") && pedido.opcion.isEmpty())
            pedido.opcion = argument;
    }
    if (!pedido.opcion.isEmpty()) {
        pedido.accion = Pedido::Accion::OpcionDesconocida;
        return pedido;
    }
    pedido.comando = ModGlobal::LineaComandos::fromArguments(arguments);
    return pedido;
}

int atender(const Pedido &pedido)
{
    switch (pedido.accion) {
    case Pedido::Accion::Ayuda:
        std::fputs(kUso, stdout);
        return kOk;
    case Pedido::Accion::Version:
        std::printf("imaestros %s\n", IMAESTROS_VERSION);
        return kOk;
    case Pedido::Accion::OpcionDesconocida:
        toStderr(QStringLiteral("opción desconocida \"%1\"").arg(pedido.opcion));
        std::fputs(kUso, stderr);
        return kUsoIncorrecto;
    case Pedido::Accion::Ejecutar:
        break;
    }
    return kOk;
}

int prepararCarpeta()
{
    const QString folder = platform::programFolder();
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder)) {
        toStderr(QStringLiteral("no se puede crear la carpeta del programa %1 (IMAESTROS_HOME)").arg(folder));
        return kSinCarpeta;
    }
    const platform::Status opened =
        platform::logger().setFile(platform::joinPath(folder, QStringLiteral("imaestros.log")));
    if (!opened.ok()) {
        toStderr(
            QStringLiteral("%1; la carpeta del programa (IMAESTROS_HOME) debe poder escribirse").arg(opened.message()));
        return kSinCarpeta;
    }
    return kOk;
}

bool hayPantalla()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

int sinPantalla(const QString &detalle)
{
    QString message = QStringLiteral("El programa de escritorio necesita una pantalla y no hay ninguna");
    if (!detalle.isEmpty())
        message += QStringLiteral(" (") + detalle.trimmed() + QLatin1Char(')');
    message += QStringLiteral("; para correr sin ventanas use @ParametroAdicional=AUTO");
    platform::logger().error(message);
    return kSinPantalla;
}

void vigilarPantalla(bool activo)
{
    watchingDisplay() = activo;
    if (activo)
        previousHandler() = qInstallMessageHandler(displayGuard);
    else
        qInstallMessageHandler(previousHandler());
}

int run(const QString &commandText, bool unattended)
{
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
            (void)ModGlobal::Finalizar();
        return exitStatusFor(started);
    }
    int status = kOk;
    const platform::Status settings = ModGlobal::ConfiguracionDelInicio();
    if (!settings.ok()) {
        platform::logger().error(settings.message());
        status = kSinConfiguracion;
    }
#ifdef IMAESTROS_HAS_ARTICLES_UI
    // "@Menu=FrmArtAlta": the article form, as a host of the suite opens it, instead of the reception.
    if (!unattended && articles::ui::PedidoAlta::pedido(commandText)) {
        std::fputs(
            qPrintable(articles::ui::MostrarAltaArticulos(articles::ui::PedidoAlta::desdeLinea(commandText)).texto()),
            stdout);
        const bool closedArticles = ModGlobal::Finalizar();
        return !closedArticles && status == kOk ? kSinEgreso : status;
    }
#endif
    if (!unattended) {
        const int closing = formularioRecepcion(); // closing the form closed the access row
        return status != kOk ? status : closing;
    }
    // What the reception says comes first; a complete one leaves start-up's status.
    const int reception = recepcionAutomatica();
    if (reception != kOk)
        status = reception;
    const bool closed = ModGlobal::Finalizar();
    if (!closed && status == kOk)
        status = kSinEgreso;
    platform::logger().info(
        QStringLiteral("Fin: configuración %1, acceso %2, estado de salida %3")
            .arg(settings.ok() ? QStringLiteral("cargada") : QStringLiteral("NO cargada"),
                 closed ? QStringLiteral("registrado y cerrado") : QStringLiteral("registrado, SIN hora de salida"))
            .arg(status));
    return status;
}

// Start-up as run() does it, then the sending form's run instead of the closing of the access
// row: the unattended sending closes it afterwards, the desktop form when it is closed.
int runEnvio(const QString &commandText, bool unattended)
{
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
            (void)ModGlobal::Finalizar();
        return exitStatusFor(started);
    }
    if (!unattended)
        return envioEnEscritorio();
    int status = envioAutomatico();
    if (!ModGlobal::Finalizar() && status == kOk)
        status = kSinEgreso;
    platform::logger().info(QStringLiteral("Fin del envío desatendido: estado de salida %1").arg(status));
    return status;
}

} // namespace Programa
