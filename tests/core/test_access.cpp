#include "SuiteDatabase.h"

#include "core/Acceso.h"
#include "core/Globals.h"
#include "core/Inicio.h"
#include "core/LineaComandos.h"
#include "core/MascaraConsulta.h"
#include "core/Rutinas.h"
#include "core/SharedLookup.h"
#include "db/DB_Dll.h"
#include "platform/Paths.h"
#include "platform/ado/Connection.h"
#include "platform/suite/Funciones.h"
#include "platform/suite/Sistema.h"
#include "schema/Schema.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include "QtPrint.h"

#include <gtest/gtest.h>

namespace {

using namespace ModGlobal;

const QRegularExpression kStamp(QStringLiteral("^\\d\\d/\\d\\d/\\d\\d \\d\\d:\\d\\d$"));

class AccessLogDb : public SuiteDatabaseTest {};

TEST_P(AccessLogDb, RowWrittenAtStartAndClosedAtTheEnd)
{
    ASSERT_TRUE(RegistrarAcceso(QString()));
    const std::int32_t first = gIdAcceso;
    EXPECT_GT(first, 0);
    EXPECT_EQ(count(QStringLiteral("Control_Acceso")), 1);
    const QString where = QStringLiteral(" FROM Control_Acceso WHERE Id = %1").arg(first);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Maquina") + where),
              platform::suite::gSistema().NombreMaquina().trimmed().toUpper());
    EXPECT_EQ(scalar(QStringLiteral("SELECT Usuario") + where), QStringLiteral("ANA"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT NombreUsuario") + where), QStringLiteral("ana"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Formulario") + where), platform::executableName().toUpper());
    EXPECT_TRUE(kStamp.match(scalar(QStringLiteral("SELECT Ingreso") + where)).hasMatch());
    EXPECT_EQ(scalar(QStringLiteral("SELECT EGRESO") + where), QStringLiteral("<null>"));

    // A second start in the same process writes a second row and names it.
    ASSERT_TRUE(RegistrarAcceso(QString()));
    EXPECT_GT(gIdAcceso, first);
    EXPECT_EQ(count(QStringLiteral("Control_Acceso")), 2);

    Finalizar();
    EXPECT_TRUE(kStamp.match(scalar(QStringLiteral("SELECT EGRESO FROM Control_Acceso WHERE Id = %1").arg(gIdAcceso)))
                    .hasMatch());
    EXPECT_EQ(scalar(QStringLiteral("SELECT EGRESO") + where), QStringLiteral("<null>"));
}

TEST_P(AccessLogDb, EachRunClosesTheRowItWrote)
{
    // Another run of the same program, user and machine in the same minute whose open row
    // has a higher Id than this run's: on SQLite its INSERT follows this run's at once (a
    // trigger), on PostgreSQL it was written before with a higher Id.
    const QString same = QStringLiteral("'%1', 'ANA', '%2', 'OTRA', '%3'")
                             .arg(platform::suite::gSistema().NombreMaquina().trimmed().toUpper(),
                                  platform::executableName().toUpper(), AhoraFechaHora());
    if (isSqlite())
        exec(QStringLiteral("CREATE TRIGGER otra_corrida AFTER INSERT ON Control_Acceso WHEN NEW.Tarea <> 'OTRA' "
                            "BEGIN INSERT INTO Control_Acceso (Maquina, Usuario, Formulario, Tarea, Ingreso) "
                            "VALUES (NEW.Maquina, NEW.Usuario, NEW.Formulario, 'OTRA', NEW.Ingreso); END"));
    else
        exec(QStringLiteral("INSERT INTO Control_Acceso (Id, Maquina, Usuario, Formulario, Tarea, Ingreso) "
                            "VALUES (100000, %1)")
                 .arg(same));
    ASSERT_TRUE(RegistrarAcceso(QString()));
    const QString other = scalar(QStringLiteral("SELECT Id FROM Control_Acceso WHERE Tarea = 'OTRA'"));
    ASSERT_GT(other.toLong(), gIdAcceso);
    EXPECT_TRUE(Finalizar());
    EXPECT_TRUE(kStamp.match(scalar(QStringLiteral("SELECT EGRESO FROM Control_Acceso WHERE Id = %1").arg(gIdAcceso)))
                    .hasMatch());
    EXPECT_EQ(scalar(QStringLiteral("SELECT EGRESO FROM Control_Acceso WHERE Id = %1").arg(other)),
              QStringLiteral("<null>"));
}

TEST_P(AccessLogDb, ExitTimeThatCannotBeWrittenIsReported)
{
    ASSERT_TRUE(RegistrarAcceso(QString()));
    exec(QStringLiteral("DELETE FROM Control_Acceso"));
    EXPECT_FALSE(RegistrarEgreso()) << "a row that is gone was not closed";
    exec(QStringLiteral("DROP TABLE Control_Acceso"));
    operatorScript().expect(QString(), platform::vbOK); // the failed UPDATE is shown
    EXPECT_FALSE(Finalizar());
}

TEST_P(AccessLogDb, TaskNameComesFromTheUsersRights)
{
    exec(QStringLiteral("INSERT INTO TA_MENU (Clave, Nombre, Proceso) VALUES ('T1', 'Recepcion', 'XX_RECEPCION.EXE')"));
    exec(QStringLiteral("INSERT INTO TA_TAREAS (Usuario, Tarea) VALUES ('ana', 'T1')"));
    gUsuarioLogeado = QStringLiteral("ana");
    ASSERT_TRUE(RegistrarAcceso(QStringLiteral("XX_RECEPCION")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Tarea FROM Control_Acceso WHERE Id = %1").arg(gIdAcceso)),
              QStringLiteral("RECEPCION"));
    ASSERT_TRUE(RegistrarAcceso(QStringLiteral("OTRO")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Tarea FROM Control_Acceso WHERE Id = %1").arg(gIdAcceso)), QString());

    // Without rights, a user named as the database (any case) or the supervisor gets the
    // program's name as the task.
    const QString program = platform::executableName().toUpper();
    const QString savedDatabase = gDB().gDBName;
    gDB().gDBName = QStringLiteral("ANA");
    ASSERT_TRUE(RegistrarAcceso(QStringLiteral("OTRO")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Tarea FROM Control_Acceso WHERE Id = %1").arg(gIdAcceso)), program);
    gDB().gDBName = savedDatabase;
    gDB().gUsuario = QStringLiteral("Supervisor Velkoro MC");
    ASSERT_TRUE(RegistrarAcceso(QStringLiteral("OTRO")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Tarea FROM Control_Acceso WHERE Id = %1").arg(gIdAcceso)), program);
}

TEST_P(AccessLogDb, ExitWithoutRowChangesNothing)
{
    exec(QStringLiteral("INSERT INTO Control_Acceso (Maquina) VALUES ('OTRA')"));
    gIdAcceso = 0;
    EXPECT_TRUE(RegistrarEgreso());
    EXPECT_EQ(scalar(QStringLiteral("SELECT EGRESO FROM Control_Acceso")), QStringLiteral("<null>"));
}

TEST_P(AccessLogDb, MissingTableReportsFailure)
{
    exec(QStringLiteral("DROP TABLE Control_Acceso"));
    operatorScript().expect(QString(), platform::vbOK); // the runner shows the failed INSERT
    gIdAcceso = 0;
    EXPECT_FALSE(RegistrarAcceso(QString()));
    EXPECT_EQ(gIdAcceso, 0);
    EXPECT_EQ(count(QStringLiteral("AUX_ERR")), 1);
}

IMAESTROS_DATABASE_TESTS(AccessLogDb);

// Start-up on an embedded database in a program folder of its own.
class StartUp : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::setProgramFolder(m_dir.path());
        m_db = m_dir.filePath(QStringLiteral("suite.db"));
        create(m_db, schema::createSuiteDatabase);
        resetGlobals();
        m_operator = std::make_shared<platform::ScriptedOperator>(
            [](const QString &q) { ADD_FAILURE() << "unexpected question: " << q.toStdString(); });
        m_scope = std::make_unique<platform::ScopedOperator>(m_operator);
    }
    void TearDown() override
    {
        releaseSharedDatabases();
        m_scope.reset();
        platform::setProgramFolder(QString());
    }
    static void create(const QString &file, platform::Status (*make)(ado::Connection &))
    {
        ado::Connection cnn;
        cnn.Open(QStringLiteral("Provider=SQLite;Data Source=%1;Mode=Create").arg(file));
        ASSERT_TRUE(make(cnn).ok());
        cnn.Close();
    }
    platform::Status start(const QString &extra = QString())
    {
        QString connection;
        return IniciarSistema(
            false, QStringLiteral("@Server=!; @DbName=%1; @Usuario=ana; @Password=; @Caja=3%2").arg(m_db, extra),
            connection, 3);
    }
    // Starts a script of the program folder through MenuExes; the command line it got.
    LineaComandos launched(const QString &parametro)
    {
        const QString out = m_dir.filePath(QStringLiteral("args.txt"));
        QFile::remove(out);
        const QString script = m_dir.filePath(QStringLiteral("otro.sh"));
        QFile file(script);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > '%1.tmp' && mv '%1.tmp' '%1'\n").arg(out).toUtf8());
        file.close();
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        std::int64_t pid = 0;
        EXPECT_TRUE(MenuExes(QStringLiteral("SHELL:OTRO.SH"), parametro, pid));
        EXPECT_GT(pid, 0);
        for (int i = 0; i < 200 && !QFile::exists(out); ++i)
            QThread::msleep(25);
        QFile result(out);
        EXPECT_TRUE(result.open(QIODevice::ReadOnly));
        return LineaComandos::parse(QString::fromUtf8(result.readAll()));
    }
    QTemporaryDir m_dir;
    QString m_db;
    std::shared_ptr<platform::ScriptedOperator> m_operator;
    std::unique_ptr<platform::ScopedOperator> m_scope;
};

TEST_F(StartUp, ConnectsPreparesAndRecordsTheRun)
{
    const platform::Status status = start(QStringLiteral("; @ParametroAdicional=AUTO"));
    ASSERT_TRUE(status.ok()) << status.message().toStdString();
    EXPECT_TRUE(gDB().gOpenFlag);
    EXPECT_GT(gIdAcceso, 0);
    EXPECT_EQ(gParametroAdicional, QStringLiteral("AUTO"));
    EXPECT_EQ(gCaja, QStringLiteral("3"));
    EXPECT_EQ(gUsuarioLogeado, QStringLiteral("ana"));
    EXPECT_EQ(gTimeOut, 360); // no statistics database beside the main one
    EXPECT_EQ(gDB().gCnn.CommandTimeout(), 360);
    EXPECT_EQ(gDB().gCnn.IsolationLevel(), 256);
    EXPECT_EQ(gTop_Default, QStringLiteral("1000"));
    EXPECT_EQ(gCadenaODBC, QStringLiteral("DSN=%1; UID=ana; PWD=").arg(m_db));
    const QString masks = QDir(m_dir.path()).filePath(QStringLiteral("consultas.vkr"));
    EXPECT_EQ(gConsulta().gRutaMascaraConsultas, masks);
    EXPECT_TRUE(gConsulta().gUsarMascarasConsultas);
    EXPECT_EQ(gConsulta().gConnString, gDB().gConnString);
    QTemporaryDir generated;
    const QString fresh = generated.filePath(QStringLiteral("consultas.vkr"));
    ModGlobal::GenerarMascaraConsultas(fresh);
    QFile written(masks), expected(fresh);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly) && expected.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), expected.readAll()) << "a new installation gets the generated masks";
    Finalizar();
}

TEST_F(StartUp, ExistingMaskFileIsLeftAlone)
{
    // Found whatever the case of its name, and used as it is when it holds whole records.
    const QByteArray own = ModGlobal::MascaraConsulta{QStringLiteral("PROPIA"), QStringLiteral("V_PROPIA"),
                                                      QStringLiteral("|A|"), QString()}
                               .toRecord();
    for (const char *name : {"consultas.vkr", "CONSULTAS.VKR"}) {
        const QString masks = QDir(m_dir.path()).filePath(QString::fromLatin1(name));
        {
            QFile file(masks);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(own);
        }
        ASSERT_TRUE(start().ok());
        QFile kept(masks);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), own) << name;
        EXPECT_EQ(gConsulta().gRutaMascaraConsultas, masks);
        EXPECT_EQ(QDir(m_dir.path()).entryList({QStringLiteral("*.vkr")}, QDir::Files).size(), 1);
        releaseSharedDatabases();
        QFile::remove(masks);
    }
}

TEST_F(StartUp, UnwritableMaskFileIsReportedAndStartUpGoesOn)
{
    const QByteArray savedTemp = qgetenv("TEMP"), savedTmp = qgetenv("TMP");
    qputenv("TEMP", "x");
    qputenv("TMP", m_dir.path().toLocal8Bit());
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("consultas.vkr"))); // not a file
    m_operator->expect(QStringLiteral("consultas.vkr"), platform::vbRetry);
    m_operator->expect(QStringLiteral("consultas.vkr"), platform::vbAbort);
    const platform::Status status = start();
    qputenv("TEMP", savedTemp);
    qputenv("TMP", savedTmp);
    ASSERT_TRUE(status.ok()) << status.message().toStdString();
    EXPECT_EQ(m_operator->asked().size(), 2);
    EXPECT_TRUE(m_operator->asked().at(0).title.contains(QStringLiteral("IniciarSistema")));
    EXPECT_GT(gIdAcceso, 0);
    EXPECT_EQ(gTop_Default, QStringLiteral("1000")); // the settings were still loaded
}

TEST_F(StartUp, StatisticsDatabaseGivesTheTimeOut)
{
    const QString stats = m_dir.filePath(QStringLiteral("VK_ESTADISTICAS.db"));
    create(stats, schema::createStatisticsDatabase);
    {
        ado::Connection cnn;
        cnn.Open(QStringLiteral("Provider=SQLite;Data Source=%1").arg(stats));
        cnn.Execute(QStringLiteral("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES ('TimeOut', '90')"));
        cnn.Close();
    }
    ASSERT_TRUE(start().ok());
    EXPECT_EQ(gTimeOut, 90);
    EXPECT_EQ(gDB().gCnn.CommandTimeout(), 90);
}

TEST_F(StartUp, ZeroTimeOutIsRecordedAndReplaced)
{
    const QString stats = m_dir.filePath(QStringLiteral("VK_ESTADISTICAS.db"));
    create(stats, schema::createStatisticsDatabase);
    ASSERT_TRUE(start().ok());
    EXPECT_EQ(gTimeOut, 360);
    ado::Connection cnn;
    cnn.Open(QStringLiteral("Provider=SQLite;Data Source=%1").arg(stats));
    auto rs = cnn.Execute(QStringLiteral("SELECT VALOR, Grupo FROM TA_CONFIGURACION WHERE CLAVE = 'TIMEOUT'"));
    ASSERT_FALSE(rs->BOF());
    EXPECT_EQ(rs->value(QStringLiteral("VALOR")).toString(), QStringLiteral("0"));
    EXPECT_EQ(rs->value(QStringLiteral("Grupo")).toString(), QStringLiteral("BaseDeDatos"));
    cnn.Close();
}

TEST_F(StartUp, NoUserAsksForTheDialogAndEndsWithoutConnection)
{
    QString connection;
    const platform::Status status =
        IniciarSistema(false, QStringLiteral("@Server=!; @DbName=%1").arg(m_db), connection, 3);
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.code(), kSinConexion);
    EXPECT_FALSE(gDB().gOpenFlag);
}

TEST_F(StartUp, OracleServerMarkGivesTheOracleConnectionString)
{
    // Nothing answers as an Oracle server here: whatever the connection asks is answered
    // as the unattended mode would, and the run ends without a connection.
    platform::ScopedOperator unattended(std::make_shared<platform::UnattendedOperator>());
    QString connection;
    const platform::Status status = IniciarSistema(
        false, QStringLiteral("@Server=#ORA1:1521; @DbName=VENTAS; @Usuario=ana; @Password=p=1"), connection, 3);
    EXPECT_EQ(status.code(), kSinConexion);
    EXPECT_EQ(gDB().gServidor, QStringLiteral("ORA1"));
    EXPECT_EQ(connection, QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=VENTAS;User Id=ana;Password=p=1;"));

    // A connection string given by the caller is kept.
    releaseSharedDatabases();
    connection = QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=OTRA;");
    (void)IniciarSistema(false, QStringLiteral("@Server=#ORA1; @DbName=VENTAS; @Usuario=ana"), connection, 3);
    EXPECT_EQ(connection, QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=OTRA;"));
}

TEST_F(StartUp, StationKeyIsCutToFiftyCharacters)
{
    const QByteArray savedUser = qgetenv("USER");
    qputenv("USER", QByteArray(60, 'u'));
    const platform::Status status = start();
    qputenv("USER", savedUser);
    ASSERT_TRUE(status.ok()) << status.message().toStdString();
    EXPECT_EQ(gClaveEstacion.size(), 50);
    EXPECT_TRUE(gClaveEstacion.startsWith(platform::suite::gSistema().NombreMaquina().toUpper() + QLatin1Char('|')));
    EXPECT_TRUE(gClaveEstacion.endsWith(QLatin1Char('U')));
}

TEST_F(StartUp, SecondStartOnTheOpenConnectionWritesAnotherRow)
{
    ASSERT_TRUE(start().ok());
    const std::int32_t first = gIdAcceso;
    QString connection;
    // The command line is not read again: a different one changes nothing.
    ASSERT_TRUE(
        IniciarSistema(false, QStringLiteral("@Server=!; @DbName=/nowhere.db; @Usuario=otro"), connection, 3).ok());
    EXPECT_GT(gIdAcceso, first);
    EXPECT_EQ(gDB().gDBName, m_db);
    EXPECT_EQ(gCaja, QStringLiteral("3"));
}

TEST_F(StartUp, StationFileGivesTheConnectionWhenAllowed)
{
    auto &f = platform::suite::gFunciones();
    const QString section = platform::suite::gSistema().NombreMaquina().toUpper() + QLatin1Char('|')
        + platform::suite::gSistema().NombreUsuario().toUpper() + QStringLiteral("BaseDeDatos");
    {
        QFile ini(QDir(m_dir.path()).filePath(QStringLiteral("QD000PR.INI")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[%1]\r\nServidor=!\r\nDbName=%2\r\nUsuario=%3\r\nUserPassWord=%4\r\n")
                      .arg(section, m_db, f.Codificar(QStringLiteral("ana")), f.Codificar(QString()))
                      .toUtf8());
    }
    setLineaDeComandosDelProceso(QString());
    QString connection;
    const platform::Status status = IniciarSistema(true, QString(), connection, 3);
    ASSERT_TRUE(status.ok()) << status.message().toStdString();
    EXPECT_EQ(gDB().gUsuario, QStringLiteral("ana"));
    EXPECT_EQ(gCaja, QStringLiteral("1"));
    EXPECT_GT(gIdAcceso, 0);
}

TEST_F(StartUp, MenuExesLaunchesWithTheStandardLine)
{
    ASSERT_TRUE(start().ok());
    const LineaComandos line = launched(QStringLiteral("X=1"));
    EXPECT_EQ(line.Server, QStringLiteral("!"));
    EXPECT_EQ(line.DbName, m_db);
    EXPECT_EQ(line.Usuario, QStringLiteral("ana"));
    EXPECT_EQ(line.ParametroAdicional, QStringLiteral("X=1"));
    EXPECT_EQ(line.Caja, QStringLiteral("3"));

    std::int64_t pid = 0;
    m_operator->expect(QStringLiteral("Opcion no Implementada!"), platform::vbOK);
    EXPECT_FALSE(MenuExes(QStringLiteral("NO_EXISTE"), QString(), pid));
    EXPECT_EQ(m_operator->asked().last().title, QStringLiteral("Atención"));
}

TEST_F(StartUp, MenuExesPassesTheOracleMarkInstanceAndPort)
{
    // No Oracle server here: the start fails (answered No), the run's settings stay.
    m_operator->expect(QString(), platform::vbNo);
    QString connection;
    EXPECT_FALSE(
        IniciarSistema(false, QStringLiteral("@Server=#SRV1/ORCL:1521;@DbName=XE;@Usuario=ana"), connection, 3).ok());
    EXPECT_EQ(launched(QString()).Server, QStringLiteral("#SRV1/ORCL:1521"));

    // A server chosen later (the connection dialog) is passed with the mark of its platform.
    gDB().gServidor = QStringLiteral("ORA2");
    EXPECT_EQ(launched(QString()).Server, QStringLiteral("#ORA2"));
}

} // namespace
