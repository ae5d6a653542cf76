#include "db/DB_Dll.h"

#include "db/ErrorReport.h"
#include "db/SqlText.h"
#include "platform/Logger.h"
#include "platform/Paths.h"
#include "platform/ui/Operator.h"

#include <QFileInfo>

#include <cstdlib>

using db::sqltext::containsNoCase;
using platform::RuntimeError;

bool gSS_CONFIDENCIALIDAD = false;

namespace {

DB_Dll::DialogoAcceso &dialogHook()
{
    static DB_Dll::DialogoAcceso hook;
    return hook;
}

std::function<void()> &terminateHook()
{
    static std::function<void()> hook = [] { std::exit(EXIT_FAILURE); };
    return hook;
}

struct SharedInstances {
    std::unique_ptr<DB_Dll> db, estadisticas, consultas, auxiliar;
};

SharedInstances &shared()
{
    static SharedInstances instances;
    return instances;
}

DB_Dll &onFirstUse(std::unique_ptr<DB_Dll> &slot)
{
    if (!slot)
        slot = std::make_unique<DB_Dll>();
    return *slot;
}

const QString kOracleProvider = QStringLiteral("OraOLEDB.Oracle.1");
const QString CR = QStringLiteral("\r");
const QString CRLF = QStringLiteral("\r\n");

} // namespace

// The first entry (SQL Server) keeps the text as typed, so a marked server stays on its
// platform although the dialog always opens on that entry.
QString DB_Dll::marcaServidor(const QString &servidor, int plataforma)
{
    if (plataforma == 1)
        return servidor.contains(QLatin1Char('#')) ? servidor : QLatin1Char('#') + servidor;
    if (plataforma < 2)
        return servidor;
    QString bare = servidor.trimmed();
    while (!bare.isEmpty() && QStringLiteral("#!%").contains(bare.at(0)))
        bare.remove(0, 1);
    return (plataforma == 2 ? QStringLiteral("!") : QStringLiteral("%")) + bare;
}

namespace {

QString proveedorDe(int plataforma)
{
    switch (plataforma) {
    case 1:
        return kOracleProvider;
    case 2:
        return QStringLiteral("SQLite");
    case 3:
        return QStringLiteral("PostgreSQL");
    default:
        return QStringLiteral("SQLOLEDB");
    }
}

} // namespace

DB_Dll &gDB() { return onFirstUse(shared().db); }
DB_Dll &gEstadisticas() { return onFirstUse(shared().estadisticas); }
DB_Dll &gDBConsultas() { return onFirstUse(shared().consultas); }
DB_Dll &gDBAuxiliar() { return onFirstUse(shared().auxiliar); }

void releaseSharedDatabases()
{
    SharedInstances &s = shared();
    s.auxiliar.reset();
    s.consultas.reset();
    s.estadisticas.reset();
    s.db.reset();
}

void DB_Dll::setDialogoAcceso(DialogoAcceso dialog) { dialogHook() = std::move(dialog); }

void DB_Dll::setTerminarPrograma(std::function<void()> terminate) { terminateHook() = std::move(terminate); }

void DB_Dll::terminarPrograma()
{
    std::function<void()> terminate = terminateHook();
    if (terminate)
        terminate();
}

DB_Dll::DB_Dll() = default;

DB_Dll::~DB_Dll()
{
    if (gCnn.State() == ado::adStateOpen) {
        try {
            gCnn.Close();
        } catch (const RuntimeError &) {
        }
    }
}

void DB_Dll::cerrarConexion()
{
    if (gOpenFlag) {
        try {
            gCnn.Close();
        } catch (const RuntimeError &) {
        }
        gOpenFlag = false;
    }
}

void DB_Dll::reabrirCon(const Ajustes &ajustes)
{
    cerrarConexion();
    gServidor = ajustes.servidor;
    gDBName = ajustes.base;
    gUsuario = ajustes.usuario;
    gUserPassWord = ajustes.clave;
    OpenServerADODB(false, 3, ajustes.cadena, true, true);
}

bool DB_Dll::setStatementRollback(bool on)
{
    try {
        gCnn.setStatementRollback(on);
        return true;
    } catch (const RuntimeError &e) {
        platform::logger().warning(QStringLiteral("No se pudo cambiar el modo de las transacciones: ")
                                   + e.Description());
        return false;
    }
}

StatementRollbackOff::StatementRollbackOff(DB_Dll &db) : m_db(db)
{
    m_changed = db.gCnn.StatementRollback() && db.gCnn.State() == ado::adStateOpen && db.setStatementRollback(false);
}

StatementRollbackOff::~StatementRollbackOff()
{
    if (m_changed)
        m_db.setStatementRollback(true);
}

DB_Dll::Plataforma DB_Dll::plataformaDe(const QString &servidor)
{
    if (servidor.contains(QLatin1Char('#')))
        return Plataforma::Oracle;
    const QString t = servidor.trimmed();
    if (t.startsWith(QLatin1Char('!')))
        return Plataforma::SQLite;
    if (t.startsWith(QLatin1Char('%')))
        return Plataforma::PostgreSQL;
    return Plataforma::SqlServer;
}

QString DB_Dll::construyeConnString() const
{
    return connStringPara(gServidor, gDBName, gUsuario, gUserPassWord, gExtended);
}

QString DB_Dll::connStringPara(const QString &servidor, const QString &dbName, const QString &usuario,
                               const QString &password, const QString &extended)
{
    switch (plataformaDe(servidor)) {
    case Plataforma::Oracle:
        return QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=") + dbName + QStringLiteral(";User Id=")
            + usuario + QStringLiteral(";Password=") + password + QLatin1Char(';');
    case Plataforma::SQLite:
        return QStringLiteral("Provider=SQLite;Data Source=") + dbName + QLatin1Char(';');
    case Plataforma::PostgreSQL: {
        const QString hostPort = servidor.trimmed().mid(1).trimmed();
        const qsizetype colon = hostPort.indexOf(QLatin1Char(':'));
        const QString host = colon < 0 ? hostPort : hostPort.left(colon).trimmed();
        QString port = colon < 0 ? QString() : hostPort.mid(colon + 1).trimmed();
        if (port.isEmpty())
            port = QStringLiteral("5432");
        return QStringLiteral("Provider=PostgreSQL;Server=") + host + QStringLiteral(";Port=") + port
            + QStringLiteral(";Database=") + dbName + QStringLiteral(";UId=") + usuario + QStringLiteral(";Pwd=")
            + password + QLatin1Char(';');
    }
    case Plataforma::SqlServer:
        break;
    }
    return QStringLiteral("PROVIDER=SQLOLEDB") + QLatin1Char(';') + QStringLiteral("Server=") + servidor
        + QLatin1Char(';') + QStringLiteral("Database =") + dbName + QLatin1Char(';') + QStringLiteral("UId=") + usuario
        + QLatin1Char(';') + QStringLiteral("Pwd=") + password + QLatin1Char(';') + extended;
}

// Shows the connection dialog with the current values; false when it was cancelled.
bool DB_Dll::abrirConDialogo()
{
    DatosAcceso datos{gDBName, gServidor, gUsuario, gUserPassWord, 0};
    const DialogoAcceso &dialog = dialogHook();
    const bool aceptar = dialog ? dialog(datos) : false;
    gOpenFlag = aceptar;
    if (!aceptar)
        return false;
    gDBName = datos.dbName;
    gUsuario = datos.usuario;
    gUserPassWord = datos.password;
    gServidor = marcaServidor(datos.servidor, datos.plataforma);
    gProveedor = proveedorDe(datos.plataforma);
    return true;
}

// The connection-error question; true when the operator wants to try again.
QString DB_Dll::archivoSqliteFaltante(const QString &servidor, const QString &dbName)
{
    if (plataformaDe(servidor) != Plataforma::SQLite)
        return QString();
    const QString path = dbName.trimmed();
    return QFileInfo(path).isFile() ? QString() : path;
}

namespace {

// The kinds of failed open the question tells apart.
enum class FalloApertura { Sesion, Ocupada, Servidor, Otro };

FalloApertura falloApertura(const ado::Error &e, DB_Dll::Plataforma plataforma)
{
    // SQL Server's lock time-out: the embedded file is held by another process.
    if (e.NativeError == 1222)
        return FalloApertura::Ocupada;
    // Login failed, cannot open the database the login asked for; SQL states 28xxx.
    const bool login = e.NativeError == 18456 || e.NativeError == 18452 || e.NativeError == 4060
        || e.SQLState.startsWith(QLatin1String("28"));
    if (login && plataforma != DB_Dll::Plataforma::SQLite)
        return FalloApertura::Sesion;
    // No server answers there ("does not exist or access denied").
    if (e.NativeError == 17 || e.SQLState == QLatin1String("08001"))
        return plataforma == DB_Dll::Plataforma::SQLite ? FalloApertura::Otro : FalloApertura::Servidor;
    return FalloApertura::Otro;
}

} // namespace

// The connection-error question; true when the operator wants to try again. The advice on
// user and password is given for a failed login only: a busy database says so instead.
bool DB_Dll::preguntaErrorConexion()
{
    const ado::Error &e = gCnn.errors().Item(0);
    const QString retry = QStringLiteral(" - Desea Intentarlo Nuevamente??? ");
    // An embedded database has no user or password to check: a missing file is named.
    const QString missing = archivoSqliteFaltante(gServidor, gDBName);
    QString text;
    if (!missing.isEmpty()) {
        text = QStringLiteral(" No existe el archivo de base de datos ") + missing + CRLF + CRLF + retry;
    } else {
        text = QStringLiteral(" Estado de Sql: ") + e.SQLState + CR + QStringLiteral("Numero de Error: ")
            + QString::number(e.Number) + CR + QStringLiteral("Descripcion: ") + e.Description + CR
            + QStringLiteral("Codigo Nativo: ") + QString::number(e.NativeError) + CR + CRLF
            + QStringLiteral("Nombre de Proceso: ") + platform::executableName() + CR + CRLF + CRLF;
        const QString servidor = QStringLiteral("Verifique el nombre del servidor, quizas necesite agregarle el "
                                                "nombre de la instancia, por ejemplo : ")
            + gDB().gServidor + QStringLiteral("\\MIRKOLA");
        switch (falloApertura(e, plataformaDe(gServidor))) {
        case FalloApertura::Sesion:
            text += QStringLiteral("1. Verifique el Usuario, contraseña y base de datos") + CRLF + QStringLiteral("2. ")
                + servidor + CRLF + QStringLiteral("3. Verifique si el inicio de sesion para el usuario ")
                + gDB().gUsuario + QStringLiteral(" existe") + CRLF + CRLF + CRLF;
            break;
        case FalloApertura::Ocupada:
            text += QStringLiteral("La base de datos esta ocupada: otro proceso la tiene bloqueada. Espere a que "
                                   "ese proceso termine y vuelva a intentarlo.")
                + CRLF + CRLF + CRLF;
            break;
        case FalloApertura::Servidor:
            text += QStringLiteral("1. ") + servidor + CRLF + CRLF + CRLF;
            break;
        case FalloApertura::Otro:
            text += CRLF;
            break;
        }
        text += retry;
    }
    return platform::msgBox(text, platform::vbYesNo | platform::vbCritical,
                            QStringLiteral(" Error de Conexion a Base de Datos"))
        == platform::vbYes;
}

void DB_Dll::OpenServerADODB(bool PideParametrosSQL, long lCursor, const QString &ConnString, bool ValidaAdmin,
                             bool MuestraError)
{
    gOpenFlag = true;
    if (gProveedor.isEmpty())
        gProveedor = pSQLOLEDB();
    gConnString = ConnString.trimmed().isEmpty() ? construyeConnString() : ConnString;
    if (PideParametrosSQL) {
        if (!abrirConDialogo())
            return;
        gConnString = construyeConnString();
    }
    gCnn.setCursorLocation(int(lCursor));
    gOpenFlag = abreConexion(MuestraError);
    if (gOpenFlag)
        validaAdministrador(ValidaAdmin, MuestraError);
}

// Opens gCnn on gConnString: an object already open is closed and opened once more;
// with MuestraError the operator may correct the values and try again.
bool DB_Dll::abreConexion(bool MuestraError)
{
    bool closedOnce = false;
    for (;;) {
        try {
            gCnn.Open(gConnString, QString(), QString(), -1);
            return true;
        } catch (const RuntimeError &e) {
            platform::logger().warning(QStringLiteral("No se pudo abrir la conexion: ") + e.Description());
            if (e.Number() == ado::errnum::ObjectOpen && !closedOnce) {
                closedOnce = true;
                try {
                    gCnn.Close();
                } catch (const RuntimeError &) {
                }
                continue;
            }
            if (MuestraError && !gCnn.errors().isEmpty()) {
                if (!preguntaErrorConexion())
                    return false;
                gCnn.errors().Clear();
                if (!abrirConDialogo())
                    return false;
                gConnString = construyeConnString();
                continue;
            }
            if (MuestraError)
                platform::msgBox(e.Description());
            return false;
        }
    }
}

void DB_Dll::validaAdministrador(bool ValidaAdmin, bool MuestraError)
{
    if (!ValidaAdmin) {
        gEsAdmin = true;
        return;
    }
    if (gDBName.trimmed().isEmpty())
        return;
    // SQLite's database name is its file path, not a catalog that can be chosen.
    if (plataformaDe(gServidor) != Plataforma::SQLite) {
        try {
            gCnn.setDefaultDatabase(gDBName);
        } catch (const RuntimeError &e) {
            platform::logger().warning(QStringLiteral("DefaultDatabase ") + gDBName + QStringLiteral(": ")
                                       + e.Description());
        }
    }
    // The table is looked up on this instance's own connection, the one just opened.
    if (!ExisteTablaDB(QStringLiteral("TA_USUARIOS")))
        return;
    if (!MuestraError) {
        gEsAdmin = true;
        return;
    }
    const platform::Variant valor = DatosTabla(QStringLiteral("ta_usuarios"), gUsuario, QStringLiteral("Administrador"),
                                               QStringLiteral("nombre"), 8, QString(), true);
    gEsAdmin = db::sqltext::leadingNumber(valor.toString()) == 1;
}

void DB_Dll::ReintentaConectar()
{
    gOpenFlag = false;
    const int configured = gCnn.CommandTimeout();
    gCnn.setCommandTimeout(5);
    // Each step as the original's error handler treats it: 3704 goes on, a generic failure
    // gives up silently, anything else is asked about (4 retry, 5 next step, else leave).
    auto step = [this](const std::function<void()> &action) {
        for (;;) {
            try {
                action();
                return true;
            } catch (const RuntimeError &e) {
                if (e.Number() == ado::errnum::ObjectClosed)
                    return true;
                gOpenFlag = false;
                if (e.Number() == ado::errnum::GenericFailure)
                    return false;
                const int answer = TratamientoErrores(e, 18, QStringLiteral("AbrirRecordset"));
                if (answer == platform::vbRetry)
                    continue;
                return answer == platform::vbIgnore;
            }
        }
    };
    if (step([this] { gCnn.Close(); })
        && step([this] { gCnn.Open(gCnn.ConnectionString(), gDB().gUsuario, gDB().gUserPassWord, -1); })) {
        // An ignored failure must not count as a connection.
        gOpenFlag = gCnn.State() == ado::adStateOpen;
    }
    gCnn.setCommandTimeout(configured);
}

// The Access connection string: ConnString when given, else built from the texts.
QString DB_Dll::cadenaLocal(const QString &ConnString, const QString &CadenaID, const QString &CadenaPWD) const
{
    if (!ConnString.isEmpty())
        return ConnString;
    QString cs = QStringLiteral("PROVIDER=") + gProveedor + QLatin1Char(';') + QStringLiteral("Data Source =") + gDBName
        + QLatin1Char(';');
    if (!CadenaID.isEmpty())
        cs += CadenaID + QLatin1Char('=') + gUsuario + QLatin1Char(';');
    if (!CadenaPWD.isEmpty())
        cs += CadenaPWD + QLatin1Char('=') + gUserPassWord + QLatin1Char(';');
    return cs + gExtended;
}

void DB_Dll::OpenLocalADODB(const QString &ConnString, const QString &CadenaID, const QString &CadenaPWD)
{
    QString passwordPart;
    bool passwordTried = false;
    for (;;) {
        if (gDBName.trimmed().isEmpty()) {
            CmdDlg.Titulo = QStringLiteral("Buscar Base de Datos");
            CmdDlg.Filtro = QStringLiteral("Base de Datos de Microsoft Access |*.MDB");
            CmdDlg.MostrarAbrir();
            if (CmdDlg.Cancelado())
                return;
            gDBName = CmdDlg.NombreArchivo();
        }
        const QString cs = cadenaLocal(ConnString, CadenaID, CadenaPWD) + passwordPart;
        try {
            gCnn.Open(cs, QString(), QString(), -1);
            gConnString = cs;
            gOpenFlag = true;
            return;
        } catch (const RuntimeError &e) {
            const long n = e.Number();
            if (n == 3024 || n == 3051 || n == 3044) {
                gDBName.clear(); // the file is asked again
                continue;
            }
            if (n == 3031 && !passwordTried) {
                // The stored password first, then one asked of the operator.
                passwordTried = true;
                QString pwd = gUserPassWord;
                if (pwd.isEmpty())
                    pwd = platform::inputBox(QStringLiteral("ingrese el password:"), QStringLiteral("Password Access"));
                if (pwd.isEmpty())
                    return;
                passwordPart = QStringLiteral(" Jet OLEDB:Database Password=") + pwd + QLatin1Char(';');
                continue;
            }
            platform::msgBox(QString::number(n) + QStringLiteral("  ") + e.Description(), platform::vbCritical);
            gOpenFlag = false;
            return;
        }
    }
}

int DB_Dll::TratamientoErrores(const RuntimeError &error, int buttons, const std::optional<QString> &routine)
{
    db::ErrorReport::Options options;
    options.titleSuffix = QStringLiteral(" Aviso al operador!!! - 5 ");
    options.logPath =
        gLogErr.isEmpty() ? platform::joinPath(platform::programFolder(), QStringLiteral("VKERR.LOG")) : gLogErr;
    try {
        return db::ErrorReport::report(error, buttons, routine, options);
    } catch (const std::exception &) {
        return 0; // nothing inside the error routine may fail its caller
    }
}
