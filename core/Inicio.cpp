#include "Inicio.h"

#include "Acceso.h"
#include "Configuracion.h"
#include "Globals.h"
#include "LineaComandos.h"
#include "MascaraConsulta.h"
#include "MostrarError.h"
#include "Rutinas.h"
#include "SharedLookup.h"
#include "db/DB_Dll.h"
#include "db/SqlText.h"
#include "platform/Logger.h"
#include "platform/Paths.h"
#include "platform/suite/Aplicacion.h"
#include "platform/suite/Funciones.h"
#include "platform/suite/Ini.h"
#include "platform/suite/Sistema.h"
#include "platform/suite/TratarError.h"
#include "platform/ui/Operator.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

#include <cmath>
#include <functional>
#include <limits>

namespace ModGlobal {

namespace {

using platform::logger;

const QString kEstadisticas = QStringLiteral("VK_ESTADISTICAS");
const QString kIni = QStringLiteral("QD000PR.INI");
constexpr int kClaveEstacionMax = 50;

QString &processCommandLine()
{
    static QString text;
    return text;
}

// The server text of the command line as given ("#", instance and port included).
QString &commandLineServer()
{
    static QString text;
    return text;
}

platform::Status &settingsOutcome()
{
    static platform::Status outcome;
    return outcome;
}

QString programFolderWithSlash() { return platform::joinPath(platform::programFolder(), QString()); }

// Runs one start-up step; a raised error goes to the central error routine: Retry runs
// the step again, Ignore goes on, anything else leaves start-up.
bool runStep(const char *step, const std::function<void()> &action)
{
    for (;;) {
        try {
            action();
            return true;
        } catch (const platform::RuntimeError &error) {
            logger().error(QStringLiteral("Inicio (%1): (%2) %3")
                               .arg(QString::fromLatin1(step))
                               .arg(error.Number())
                               .arg(error.Description()));
            const int answer = MostrarError(error, 18, QStringLiteral("IniciarSistema"));
            if (answer == platform::vbRetry)
                continue;
            return answer == platform::vbIgnore;
        }
    }
}

QString stationCommandText()
{
    auto &ini = platform::suite::gIni();
    auto &f = platform::suite::gFunciones();
    const QString section = platform::suite::gSistema().NombreMaquina().toUpper() + QLatin1Char('|')
        + platform::suite::gSistema().NombreUsuario().toUpper() + QStringLiteral("BaseDeDatos");
    QString server = ini.LeerIni(kIni, section, QStringLiteral("Servidor"), QString());
    QString database = ini.LeerIni(kIni, section, QStringLiteral("DbName"), QString());
    QString user =
        f.Decodificar(ini.LeerIni(kIni, section, QStringLiteral("Usuario"), f.Codificar(QStringLiteral("Velkoro"))));
    QString password = f.Decodificar(
        ini.LeerIni(kIni, section, QStringLiteral("UserPassWord"), f.Codificar(QStringLiteral("brusqel"))));
    for (QString *text : {&server, &database, &user, &password})
        text->remove(QLatin1Char('|'));
    return QStringLiteral("@server=") + server + QStringLiteral("; @dbname= ") + database
        + QStringLiteral("; @usuario= ") + user + QStringLiteral("; @Password= ") + password
        + QStringLiteral("; @ParametroAdicional=; @Caja=1;qemo@");
}

void stationSettings()
{
    QString key = platform::suite::gSistema().NombreMaquina().toUpper() + QLatin1Char('|')
        + platform::suite::gSistema().NombreUsuario().toUpper();
    if (key.trimmed().size() > kClaveEstacionMax)
        key = key.left(kClaveEstacionMax);
    gClaveEstacion = key;
    gFlatToolbars = db::sqltext::leadingNumber(
        platform::suite::gIni().LeerIni(kIni, gClaveEstacion, QStringLiteral("FlatToolbars"), QStringLiteral("1")));
}

bool isOwnMark(const QString &server)
{
    const auto kind = DB_Dll::plataformaDe(server);
    return kind == DB_Dll::Plataforma::SQLite || kind == DB_Dll::Plataforma::PostgreSQL;
}

// The server gDB connects to for a command-line server text: without the leading Oracle
// mark, and without instance and port unless it is one of our own marks (SQLite file,
// PostgreSQL host:port), whose port and folders must survive.
QString connectedServer(const QString &given)
{
    QString server = given;
    if (server.startsWith(QLatin1Char('#')))
        server.remove(0, 1);
    return isOwnMark(server) ? server : ServidorSinPuerto(server);
}

// Parses the command text and hands server, database, user and password to gDB.
void takeCommandLine(const QString &text, QString &cadenaConexion)
{
    const LineaComandos line = LineaComandos::parse(text);
    gParametroAdicional = line.ParametroAdicional;
    gMenu = line.Menu;
    gUsuarioLogeado = line.UsuarioLogeado;
    gCaja = line.Caja;
    commandLineServer() = line.Server;
    if (line.Server.startsWith(QLatin1Char('#')) && cadenaConexion.isEmpty())
        cadenaConexion = QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=") + line.DbName
            + QStringLiteral(";User Id=") + line.Usuario + QStringLiteral(";Password=") + line.Password
            + QLatin1Char(';');
    DB_Dll &db = gDB();
    db.gUsuario = line.Usuario;
    db.gDBName = line.DbName;
    db.gUserPassWord = line.Password;
    db.gServidor = connectedServer(line.Server);
}

// The server text another program of the suite is started with: the command line's
// while the main connection still uses that server, so the Oracle mark, the instance and
// the port reach it; else the connection's own, marked "#" when it is an Oracle one.
QString serverForOtherPrograms()
{
    const DB_Dll &db = gDB();
    const QString given = commandLineServer();
    if (!given.isEmpty() && connectedServer(given) == db.gServidor)
        return given;
    QString server = db.gServidor;
    if (db::sqltext::containsNoCase(db.gConnString, QStringLiteral("ORACLE")) && !server.contains(QLatin1Char('#')))
        server.prepend(QLatin1Char('#'));
    return server;
}

bool usesDefaultDatabase() { return !isOwnMark(gDB().gServidor); }

void prepareLookup()
{
    DB_Dll &db = gDB();
    gCadenaODBC = QStringLiteral("DSN=") + db.gDBName + QStringLiteral("; UID=") + db.gUsuario
        + QStringLiteral("; PWD=") + db.gUserPassWord;
    platform::suite::gAplicacion().RutaAplicacion(programFolderWithSlash());
    if (usesDefaultDatabase())
        db.gCnn.setDefaultDatabase(db.gDBName);
    SharedLookup &consulta = gConsulta();
    consulta.gConnString = db.gConnString;
    consulta.gUsarMascarasConsultas = true;
    // An existing file of that name in another case is the one to use (and keep).
    consulta.gRutaMascaraConsultas =
        platform::findFileNoCase(platform::programFolder(), QStringLiteral("consultas.vkr"));
}

// A missing, empty or damaged mask file (a full disk cut it short) is written again, whole.
// A file that cannot be written is reported; whatever the answer but Retry, the lookup
// then works without masks and start-up goes on.
void ensureQueryMasks()
{
    const QString path = gConsulta().gRutaMascaraConsultas;
    if (MascarasEnBuenEstado(path))
        return;
    const bool existed = QFileInfo::exists(path);
    for (;;) {
        try {
            RehacerMascaraConsultas(path);
            if (existed)
                logger().warning(QStringLiteral("El archivo de máscaras de consulta %1 estaba vacío o dañado; "
                                                "se escribió de nuevo")
                                     .arg(path));
            else
                logger().info(QStringLiteral("Se creó el archivo de máscaras de consulta %1").arg(path));
            return;
        } catch (const platform::RuntimeError &error) {
            logger().warning(QStringLiteral("%1; las consultas no tendrán máscaras").arg(error.Description()));
            if (MostrarError(error, 18, QStringLiteral("IniciarSistema")) != platform::vbRetry)
                return;
        }
    }
}

QString statisticsDatabaseFor(const DB_Dll &main)
{
    if (DB_Dll::plataformaDe(main.gServidor) != DB_Dll::Plataforma::SQLite)
        return kEstadisticas;
    // Embedded: the statistics database is the file VK_ESTADISTICAS.db beside the main one.
    const QString mainFile = platform::fromWindowsPath(main.gDBName);
    return platform::joinPath(QFileInfo(mainFile).absolutePath(), kEstadisticas + QStringLiteral(".db"));
}

std::int16_t timeOutFromStatistics()
{
    const double value = std::nearbyint(db::sqltext::leadingNumber(CfgVK(QStringLiteral("TimeOut"))));
    if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max()) {
        logger().warning(QStringLiteral("TimeOut de la base de estadísticas fuera de rango; se usa 360"));
        return 360;
    }
    return std::int16_t(value);
}

} // namespace

void setLineaDeComandosDelProceso(const QString &texto) { processCommandLine() = texto; }

QString lineaDeComandosDelProceso()
{
    if (processCommandLine().isEmpty() && QCoreApplication::instance()) {
        QStringList arguments = QCoreApplication::arguments();
        if (!arguments.isEmpty())
            arguments.removeFirst();
        return LineaComandos::fromArguments(arguments);
    }
    return processCommandLine();
}

platform::Status ConfiguracionDelInicio() { return settingsOutcome(); }

QString ServidorSinPuerto(const QString &servidor)
{
    QString result = servidor;
    const qsizetype slash = result.indexOf(QLatin1Char('/'));
    if (slash >= 0)
        result = result.mid(slash + 1);
    const qsizetype colon = result.indexOf(QLatin1Char(':'));
    if (colon >= 0)
        result = result.left(colon);
    return result;
}

void AbrirEstadisticas()
{
    gTimeOut = 360;
    DB_Dll &main = gDB();
    DB_Dll &stats = gEstadisticas();
    stats.cerrarConexion();
    stats.gProveedor = main.pSQLOLEDB();
    stats.gServidor = main.gServidor;
    stats.gDBName = statisticsDatabaseFor(main);
    stats.gUsuario = kEstadisticas;
    stats.gUserPassWord = QStringLiteral("KX_MOLINETEROSA");
    if (DB_Dll::plataformaDe(main.gServidor) == DB_Dll::Plataforma::SQLite && !QFileInfo::exists(stats.gDBName)) {
        logger().info(QStringLiteral("No hay base de estadísticas (%1); TimeOut 360").arg(stats.gDBName));
        return;
    }
    stats.OpenServerADODB(false, 3, QString(), true, false);
    if (!stats.gOpenFlag) {
        logger().info(QStringLiteral("No se pudo abrir la base de estadísticas; TimeOut 360"));
        return;
    }
    if (!isOwnMark(stats.gServidor)) {
        try {
            stats.gCnn.setDefaultDatabase(kEstadisticas);
        } catch (const platform::RuntimeError &) {
        }
    }
    gTimeOut = timeOutFromStatistics();
    if (gTimeOut == 0) {
        GrabaCfgVK(QStringLiteral("TimeOut"), platform::Variant(int(gTimeOut)), QString(), false,
                   QStringLiteral("BaseDeDatos"), true);
        gTimeOut = 360;
    }
}

platform::Status IniciarSistema(bool permitirIni, const QString &comando, QString &cadenaConexion, long ubicacionCursor)
{
    platform::suite::setErrorHandler([](const platform::RuntimeError &error, const QString &, const QString &rutina) {
        return int(MostrarError(error, 18, rutina));
    });
    gArchivoAyuda = platform::joinPath(platform::programFolder(), QStringLiteral("htmlhelp/mirkolaplus.chm"));
    gCLetra = 0;
    gCFondo = 0xFFFFFF;
    QString text = comando.isEmpty() ? lineaDeComandosDelProceso() : comando;
    if (text.trimmed().isEmpty() && permitirIni && !runStep("QD000PR.INI", [&] { text = stationCommandText(); }))
        return platform::Status::failure(QStringLiteral("No se pudo leer QD000PR.INI"), kPasoFallido);
    if (!runStep("estación", stationSettings))
        return platform::Status::failure(QStringLiteral("No se pudo leer la configuración de la estación"),
                                         kPasoFallido);

    DB_Dll &db = gDB();
    if (!db.gOpenFlag) {
        takeCommandLine(text, cadenaConexion);
        const bool ask = db.gServidor.trimmed().isEmpty() || db.gUsuario.trimmed().isEmpty();
        db.OpenServerADODB(ask, ubicacionCursor, cadenaConexion, true, true);
        if (!db.gOpenFlag) {
            // why it failed (a busy database, a refused login) reaches the log and the exit message
            const QString reason =
                db.gCnn.errors().isEmpty() ? QString() : QStringLiteral(": ") + db.gCnn.errors()[0].Description;
            logger().error(QStringLiteral("No se pudo abrir la conexión principal; el programa termina") + reason);
            return platform::Status::failure(QStringLiteral("Sin conexión con la base de datos") + reason,
                                             kSinConexion);
        }
        AbrirEstadisticas();
        gUsuarioLogeado = db.gUsuario;
        const bool settingsOk = runStep("conexión", [&] {
            db.gCnn.setCommandTimeout(gTimeOut);
            db.gCnn.setIsolationLevel(ado::adXactReadUncommitted);
        });
        if (!settingsOk)
            return platform::Status::failure(QStringLiteral("No se pudo preparar la conexión"), kPasoFallido);
    }
    settingsOutcome() = platform::Status::failure(
        QStringLiteral("No se cargó la configuración: la conexión no nombra una base de datos"));
    if (!db.gDBName.isEmpty()) {
        const bool prepared = runStep("consultas", [] {
            prepareLookup();
            ensureQueryMasks();
            if (usesDefaultDatabase())
                gDB().gCnn.setDefaultDatabase(gDB().gDBName);
            settingsOutcome() = CargarConfiguracion(programFolderWithSlash());
        });
        if (!prepared)
            return platform::Status::failure(QStringLiteral("No se pudo cargar la configuración"), kPasoFallido);
    }
    if (!RegistrarAcceso(QString()))
        return platform::Status::failure(QStringLiteral("No se pudo registrar el acceso en Control_Acceso"),
                                         kSinAcceso);
    return {};
}

bool MenuExes(const QString &programa, const QString &parametro, std::int64_t &proceso)
{
    QString name = programa.trimmed();
    if (name.startsWith(QStringLiteral("SHELL:"), Qt::CaseInsensitive))
        name = name.mid(6).trimmed();
    const QString folder = platform::programFolder();
    const QString path = name.isEmpty() ? QString() : platform::findFileNoCase(folder, platform::fromWindowsPath(name));
    DB_Dll &db = gDB();
    LineaComandos line;
    line.Server = serverForOtherPrograms();
    line.DbName = db.gDBName;
    line.Usuario = db.gUsuario;
    line.Password = db.gUserPassWord;
    line.ParametroAdicional = parametro;
    line.UsuarioLogeado = gUsuarioLogeado;
    line.Caja = gCaja;
    qint64 pid = 0;
    if (!path.isEmpty() && QFileInfo(path).isExecutable()
        && QProcess::startDetached(path, {line.toText()}, folder, &pid)) {
        proceso = pid;
        return true;
    }
    logger().warning(QStringLiteral("MenuExes: no se pudo iniciar \"%1\"").arg(programa));
    platform::msgBox(QStringLiteral("Opcion no Implementada!") + QChar(13)
                         + QStringLiteral("Comuniquese con su proveedor de sistemas"),
                     platform::vbCritical, QStringLiteral("Atención"));
    return false;
}

} // namespace ModGlobal
