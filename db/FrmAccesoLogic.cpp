#include "db/FrmAccesoLogic.h"

#include "db/LBM_Bases.h"
#include "db/SqlText.h"
#include "platform/Logger.h"
#include "platform/Paths.h"
#include "platform/suite/Funciones.h"
#include "platform/suite/TratarError.h"
#include "platform/ui/Operator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

using platform::RuntimeError;
using Plataforma = DB_Dll::Plataforma;

namespace {

void cerrarSinError(ado::Connection &cnn)
{
    try {
        if (cnn.State() == ado::adStateOpen)
            cnn.Close();
    } catch (const RuntimeError &) {
    }
}

int indicePlataforma(Plataforma p)
{
    switch (p) {
    case Plataforma::Oracle:
        return 1;
    case Plataforma::SQLite:
        return 2;
    case Plataforma::PostgreSQL:
        return 3;
    case Plataforma::SqlServer:
        break;
    }
    return 0;
}

// SQLite and PostgreSQL keep their whole server text ("!", "%host:port"): the port box
// is SQL Server's.
bool servidorCompleto(const QString &servidor)
{
    const Plataforma p = DB_Dll::plataformaDe(servidor);
    return p == Plataforma::SQLite || p == Plataforma::PostgreSQL;
}

// VB's Str: a leading blank for a number that is not negative.
QString vbStr(long number) { return number < 0 ? QString::number(number) : QLatin1Char(' ') + QString::number(number); }

// Errors the registration goes on after, as the original's handler does.
bool errorSeSigue(long number)
{
    return number == ado::errnum::ObjectClosed || number == -2147023840L || number == 1056 || number == 440
        || number == 20480;
}

} // namespace

QStringList FrmAccesoLogic::plataformas()
{
    return {QStringLiteral("SQL Server"), QStringLiteral("ORACLE"), QStringLiteral("SQLite"),
            QStringLiteral("PostgreSQL")};
}

QString FrmAccesoLogic::hint(const QString &controlName)
{
    if (controlName == QStringLiteral("TxtUserId"))
        return QStringLiteral("Ingrese el usuario");
    if (controlName == QStringLiteral("TxtDbName"))
        return QStringLiteral("ingrese el nombre de la base de datos");
    if (controlName == QStringLiteral("TxtServidor"))
        return QStringLiteral("ingrese el nombre del servidor e instancia");
    return QString();
}

QString FrmAccesoLogic::claveConexion(const QString &baseDatos, const QString &servidor)
{
    QString server = servidor.trimmed().toUpper();
    const qsizetype colon = server.indexOf(QLatin1Char(':'));
    if (colon >= 0)
        server = server.left(colon);
    return baseDatos.trimmed().toUpper() + QStringLiteral(" / ") + server;
}

void FrmAccesoLogic::cargar() { llenarlist(); }

void FrmAccesoLogic::llenarlist()
{
    const QString ruta = LBM_Common::rutaBasesPorDefecto();
    m_lista.clear();
    m_indice = -1;
    if (!QFileInfo::exists(ruta))
        return;
    for (;;) {
        platform::Result<QList<LBM_Common::RegistroBase>> registros = LBM_Common::leerRegistros(ruta);
        if (registros) {
            for (const LBM_Common::RegistroBase &r : registros.value()) {
                if (!r.nombre.trimmed().isEmpty())
                    m_lista << r.nombre;
            }
            break;
        }
        const RuntimeError error(62,
                                 QStringLiteral("No se pudo leer ") + ruta + QStringLiteral(": ") + registros.message(),
                                 QStringLiteral("frmAcceso"));
        const int answer = platform::suite::TratarError(error, QString(), QStringLiteral("FormLoad"));
        if (answer == platform::vbRetry)
            continue;
        if (answer != platform::vbIgnore)
            return;
        break;
    }
    if (!m_lista.isEmpty())
        seleccionar(0);
}

void FrmAccesoLogic::seleccionar(int index)
{
    m_indice = index >= 0 && index < m_lista.size() ? index : -1;
    AsignarDatosBase();
}

void FrmAccesoLogic::DatosBase(const QString &Nombre)
{
    const QString ruta = LBM_Common::rutaBasesPorDefecto();
    if (!QFileInfo::exists(ruta))
        return;
    platform::Result<QList<LBM_Common::RegistroBase>> registros = LBM_Common::leerRegistros(ruta);
    if (!registros) {
        const RuntimeError error(62,
                                 QStringLiteral("No se pudo leer ") + ruta + QStringLiteral(": ") + registros.message(),
                                 QStringLiteral("frmAcceso"));
        platform::suite::TratarError(error, QString(), QStringLiteral("DatosBase"));
        return;
    }
    for (const LBM_Common::RegistroBase &r : registros.value()) {
        if (r.nombre.trimmed() != Nombre.trimmed())
            continue;
        m_servidor = r.servidor;
        m_baseDatos = r.baseDatos;
        m_usuario = r.usuario;
        m_password = platform::suite::gFunciones().Decodificar(r.password);
        return;
    }
}

void FrmAccesoLogic::AsignarDatosBase()
{
    const QString nombre = m_indice >= 0 ? m_lista.at(m_indice).trimmed() : QString();
    DatosBase(nombre);
    QString servidor = m_servidor;
    const qsizetype colon = servidor.indexOf(QLatin1Char(':'));
    if (colon >= 0 && !servidorCompleto(servidor)) {
        m_puerto = servidor.mid(colon + 1);
        servidor = servidor.toUpper().trimmed();
        servidor = servidor.left(servidor.indexOf(QLatin1Char(':')));
    }
    TxtServidor = servidor;
    TxtUserId.clear();
    TxtUserPassword.clear();
    TxtDbName = m_baseDatos;
    TxtPuerto = m_puerto;
    CboPlataformaDB = indicePlataforma(DB_Dll::plataformaDe(servidor));
}

bool FrmAccesoLogic::ExisteBaseDeDatos(const QString &Servidor, const QString &BaseDatos, const QString &Usuario,
                                       const QString &Password, const QString &Proveedor)
{
    ado::Connection &cnn = gDB().gCnn;
    cerrarSinError(cnn);
    const QString cs = DB_Dll::plataformaDe(Servidor) == Plataforma::SqlServer
        ? QStringLiteral("PROVIDER=") + Proveedor + QStringLiteral(";Server=") + Servidor
            + QStringLiteral(";Database =") + BaseDatos + QStringLiteral(";UId=") + Usuario + QStringLiteral(";Pwd=")
            + Password + QLatin1Char(';')
        : DB_Dll::connStringPara(Servidor, BaseDatos, Usuario, Password);
    try {
        cnn.Open(cs, QString(), QString(), -1);
    } catch (const RuntimeError &e) {
        platform::logger().info(QStringLiteral("Conexion de prueba fallida: ") + e.Description());
        return false;
    }
    cerrarSinError(cnn);
    return true;
}

FrmAccesoLogic::Registro FrmAccesoLogic::CmdRegistrar()
{
    // SQLite and PostgreSQL are keyed by their marked server text, whatever the box held.
    const QString clave = claveConexion(TxtDbName, CboPlataformaDB >= 2 ? servidorConMarca() : TxtServidor);
    m_servidor.clear();
    DatosBase(clave);
    if (!m_servidor.trimmed().isEmpty()) {
        platform::msgBox(QStringLiteral("La conexion que intenta registrar ya existe "), platform::vbInformation,
                         QStringLiteral("Atencion"));
        return Registro::YaExiste;
    }
    double puerto = 0;
    try {
        puerto = platform::suite::gFunciones().TextoAMoneda(TxtPuerto);
    } catch (const RuntimeError &) {
        puerto = 0; // an unreadable port counts as none
    }
    m_puerto = puerto == 0 ? QStringLiteral("1433") : db::sqltext::plainNumber(puerto);
    TxtServidor = TxtServidor.trimmed();
    TxtUserId = TxtUserId.trimmed();
    TxtUserPassword = TxtUserPassword.trimmed();
    TxtDbName = TxtDbName.trimmed();

    const QString servidor = servidorConMarca();
    if (const platform::Status valid = LBM_Common::validarRegistro(clave, TxtDbName, TxtUserId, servidor); !valid) {
        platform::msgBox(valid.message(), platform::vbExclamation, QStringLiteral("Atencion"));
        return Registro::Rechazado;
    }
    // An embedded database has no server, user or password that could be wrong.
    if (const QString missing = DB_Dll::archivoSqliteFaltante(servidor, TxtDbName); !missing.isEmpty()) {
        platform::msgBox(QStringLiteral("No existe el archivo de base de datos ") + missing, platform::vbInformation,
                         QStringLiteral("AVISO AL OPERADOR"));
        return Registro::SinConexion;
    }
    // A SQLite database is a file path, whose case matters.
    const QString base = DB_Dll::plataformaDe(servidor) == Plataforma::SQLite ? TxtDbName : TxtDbName.toUpper();
    const bool probada = ExisteBaseDeDatos(servidor, base, TxtUserId, TxtUserPassword, QStringLiteral("SQLOLEDB"));
    if (!probada && !abrePrincipal(servidor)) {
        platform::msgBox(QStringLiteral("NO SE PUDO CONECTAR AL SERVIDOR ") + TxtServidor
                             + QStringLiteral(" VERIFIQUE EL NOMBRE DE USUARIO Y PASSWORD INGRESADO"),
                         platform::vbInformation, QStringLiteral("AVISO AL OPERADOR"));
        return Registro::SinConexion;
    }
    const bool registrada = registrar(clave, servidor);
    registrarOdbc();
    cerrarSinError(gDB().gCnn);
    llenarlist();
    return registrada ? Registro::Registrado : Registro::Fallo;
}

// The fallback of a failed test: the main connection object opens with the boxes' values
// (showing its own connection error with retry). True when it opened.
bool FrmAccesoLogic::abrePrincipal(const QString &servidor)
{
    DB_Dll &db = gDB();
    if (db.gOpenFlag)
        cerrarSinError(db.gCnn);
    db.gServidor = servidor;
    db.gUsuario = TxtUserId;
    db.gUserPassWord = TxtUserPassword;
    db.gDBName = TxtDbName;
    db.OpenServerADODB(false, ado::adUseClient, QString(), true, true);
    return db.gOpenFlag;
}

QString FrmAccesoLogic::servidorConMarca() const { return DB_Dll::marcaServidor(TxtServidor, CboPlataformaDB); }

// Appends the record; a failure is shown as the original's handler does.
bool FrmAccesoLogic::registrar(const QString &clave, const QString &servidor)
{
    LBM_Common::EstadoBases &estado = LBM_Common::estadoBases();
    const QString puertoModulo = estado.puerto;
    const bool completo = servidorCompleto(servidor);
    if (completo)
        estado.puerto.clear();
    try {
        if (completo)
            LBM_Common::RegistrarBase(clave, TxtDbName, TxtUserId, TxtUserPassword, servidor, QString(), 0);
        else
            LBM_Common::RegistrarBase(clave, TxtDbName, TxtUserId, TxtUserPassword, TxtServidor, QString(),
                                      CboPlataformaDB == 1 && !TxtServidor.contains(QLatin1Char('#')));
        estado.puerto = puertoModulo;
        return true;
    } catch (const RuntimeError &e) {
        estado.puerto = puertoModulo;
        if (!errorSeSigue(e.Number()))
            platform::msgBox(QStringLiteral("SQL Server start failed.  \rSQL-DMO error:  ") + vbStr(e.Number())
                             + QLatin1Char(' ') + e.Description());
        return false;
    }
}

void FrmAccesoLogic::registrarOdbc()
{
    const QString odbc = platform::findFileNoCase(platform::programFolder(), QStringLiteral("ODBC.exe"));
    if (!QFileInfo(odbc).isFile())
        return;
    const QString argumento =
        QStringLiteral("Server=") + TxtServidor + QStringLiteral(";DB=") + gDB().gDBName + QLatin1Char(';');
    if (!QProcess::startDetached(odbc, {argumento}))
        platform::logger().warning(QStringLiteral("No se pudo iniciar ") + odbc);
}

namespace {

// One argument of a desktop entry's Exec key: quoted, with the characters the quoting
// reserves escaped, then written as the file's string value ("\\" doubled, "%" doubled).
QString execArgument(const QString &argument)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        if (c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            quoted += c;
    }
    quoted += QLatin1Char('"');
    return quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('%'), QStringLiteral("%%"));
}

// The user's desktop folder as XDG names it (user-dirs.dirs, or the variable when a
// session exports it), ~/Desktop when none is named.
QString desktopFolder()
{
    const QString exported = qEnvironmentVariable("XDG_DESKTOP_DIR");
    if (!exported.isEmpty())
        return exported;
    const QString named = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    return named.isEmpty() ? QDir::homePath() + QStringLiteral("/Desktop") : named;
}

} // namespace

QString FrmAccesoLogic::lineaDeComando() const
{
    return QStringLiteral("@Server=") + servidorConMarca().trimmed() + QStringLiteral(";@DbName=") + TxtDbName.trimmed()
        + QStringLiteral(";@Usuario=") + TxtUserId.trimmed();
}

platform::Status FrmAccesoLogic::CmdLineaComando()
{
    const QString escritorio = desktopFolder();
    if (!QDir().mkpath(escritorio))
        return platform::Status::failure(QStringLiteral("No se pudo crear la carpeta ") + escritorio);
    const QString ruta = platform::joinPath(escritorio, QStringLiteral("Timer Tareas.desktop"));
    const QString contenido = QStringLiteral("[Desktop Entry]\nType=Application\nName=Timer Tareas\n"
                                             "Exec=%1 %2\nIcon=imaestros\nTerminal=false\n")
                                  .arg(execArgument(platform::executablePath()), execArgument(lineaDeComando()));
    QSaveFile file(ruta);
    if (!file.open(QIODevice::WriteOnly) || file.write(contenido.toUtf8()) < 0 || !file.commit())
        return platform::Status::failure(QStringLiteral("No se pudo escribir ") + ruta + QStringLiteral(": ")
                                         + file.errorString());
    QFile::setPermissions(ruta, QFile::permissions(ruta) | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    return {};
}

bool FrmAccesoLogic::EjecutarCmdRegDB(const QString &Archivo, QString &ErrDevuelto)
{
    QStringList partes = QProcess::splitCommand(Archivo);
    QProcess proceso;
    if (!partes.isEmpty()) {
        const QString programa = partes.takeFirst();
        proceso.start(programa, partes);
    }
    if (proceso.state() == QProcess::NotRunning || !proceso.waitForStarted()) {
        ErrDevuelto = QStringLiteral("Error al ejecutar el comando");
        return false;
    }
    // The interface keeps answering while the command runs.
    while (proceso.state() != QProcess::NotRunning) {
        proceso.waitForFinished(50);
        QCoreApplication::processEvents();
    }
    return true;
}

DB_Dll::DatosAcceso FrmAccesoLogic::datos() const
{
    return {TxtDbName, TxtServidor, TxtUserId, TxtUserPassword, CboPlataformaDB};
}

void FrmAccesoLogic::asignar(const DB_Dll::DatosAcceso &datos)
{
    TxtDbName = datos.dbName;
    TxtServidor = datos.servidor;
    TxtUserId = datos.usuario;
    TxtUserPassword = datos.password;
    CboPlataformaDB = 0;
}
