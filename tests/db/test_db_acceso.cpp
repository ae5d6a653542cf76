// The connection dialog: registration, duplicate refusal, the list of BASES.TXT, the
// shortcut, and the form itself offscreen.
#include "db/FrmAccesoLogic.h"
#include "db/LBM_Bases.h"
#include "db/ui/frmAcceso.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "platform/suite/Funciones.h"
#include "platform/ui/Operator.h"
#include "tests/db/QtPrinters.h"
#include "tests/support/TestDatabase.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

QString enc(const QString &text) { return platform::suite::gFunciones().Codificar(text); }

class AccesoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        platform::setProgramFolder(m_dir.path());
        LBM_Common::resetEstadoBases();
        m_home = qgetenv("HOME");
        qputenv("HOME", m_dir.filePath(QStringLiteral("home")).toUtf8());
        qunsetenv("XDG_DESKTOP_DIR");
        m_operator = std::make_shared<platform::ScriptedOperator>(
            [](const QString &message) { ADD_FAILURE() << message.toStdString(); });
        m_scope = std::make_unique<platform::ScopedOperator>(m_operator);
    }
    void TearDown() override
    {
        qputenv("HOME", m_home);
        m_scope.reset();
        DB_Dll::setDialogoAcceso(nullptr);
        releaseSharedDatabases();
        LBM_Common::resetEstadoBases();
    }
    QString bases() const { return m_dir.filePath(QStringLiteral("BASES.TXT")); }
    QByteArray basesBytes() const
    {
        QFile file(bases());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString sqliteFile(const QString &name)
    {
        const QString path = m_dir.filePath(name);
        ado::Connection cnn;
        cnn.Open(testsupport::sqliteConnectionString(path));
        cnn.Close();
        return path;
    }
    void writeBases(const QStringList &lines) { ASSERT_TRUE(platform::textfile::writeLines(bases(), lines).ok()); }

    QTemporaryDir m_dir;
    QByteArray m_home;
    std::shared_ptr<platform::ScriptedOperator> m_operator;
    std::unique_ptr<platform::ScopedOperator> m_scope;
};

TEST_F(AccesoTest, ConnectionKey)
{
    EXPECT_EQ(FrmAccesoLogic::claveConexion(QStringLiteral(" ventas "), QStringLiteral("srv01\\sql2005:1500")),
              QStringLiteral("VENTAS / SRV01\\SQL2005"));
    EXPECT_EQ(FrmAccesoLogic::claveConexion(QStringLiteral("x"), QStringLiteral("srv")), QStringLiteral("X / SRV"));
    EXPECT_EQ(FrmAccesoLogic::plataformas().mid(0, 2),
              (QStringList{QStringLiteral("SQL Server"), QStringLiteral("ORACLE")}));
}

TEST_F(AccesoTest, RegistersATestedConnectionAndListsIt)
{
    const QString path = sqliteFile(QStringLiteral("empresa.sqlite"));
    FrmAccesoLogic logic;
    logic.TxtDbName = QLatin1Char(' ') + path + QLatin1Char(' ');
    logic.TxtServidor = QString();
    logic.TxtUserId = QStringLiteral(" ana ");
    logic.TxtUserPassword = QStringLiteral("clave");
    logic.CboPlataformaDB = 2;
    EXPECT_EQ(logic.CmdRegistrar(), FrmAccesoLogic::Registro::Registrado);
    const QString key = path.toUpper() + QStringLiteral(" / !");
    EXPECT_EQ(basesBytes(),
              platform::textfile::encode1252(key + QLatin1Char(',') + path + QStringLiteral(",ana,")
                                             + enc(QStringLiteral("clave")) + QStringLiteral(",!\r\n")));
    EXPECT_EQ(logic.lstBases(), QStringList{key});
    EXPECT_EQ(logic.listIndex(), 0);
    EXPECT_EQ(gDB().gCnn.State(), ado::adStateClosed) << "the test connection is closed again";
    EXPECT_TRUE(m_operator->asked().isEmpty());

    // The same connection again is refused and nothing is written.
    logic.TxtDbName = path;
    logic.TxtServidor = QStringLiteral("!");
    const QByteArray before = basesBytes();
    m_operator->expect(QStringLiteral("La conexion que intenta registrar ya existe "), platform::vbOK);
    EXPECT_EQ(logic.CmdRegistrar(), FrmAccesoLogic::Registro::YaExiste);
    EXPECT_EQ(m_operator->asked().at(0).title, QStringLiteral("Atencion"));
    EXPECT_EQ(m_operator->asked().at(0).style, platform::vbInformation);
    EXPECT_EQ(basesBytes(), before);
}

TEST_F(AccesoTest, DuplicateIsFoundWithoutThePort)
{
    writeBases(
        {QStringLiteral("VENTAS / SRV01,VENTAS,sa,") + enc(QStringLiteral("x")) + QStringLiteral(",SRV01:1433")});
    FrmAccesoLogic logic;
    logic.TxtDbName = QStringLiteral("ventas");
    logic.TxtServidor = QStringLiteral("srv01:1500");
    m_operator->expect(QStringLiteral("ya existe"), platform::vbOK);
    EXPECT_EQ(logic.CmdRegistrar(), FrmAccesoLogic::Registro::YaExiste);
}

TEST_F(AccesoTest, MissingSqliteFileIsNamedNotBlamedOnThePassword)
{
    FrmAccesoLogic logic;
    logic.TxtDbName = m_dir.filePath(QStringLiteral("falta/base.sqlite"));
    logic.CboPlataformaDB = 2;
    m_operator->expect(QStringLiteral("No existe el archivo de base de datos ") + logic.TxtDbName, platform::vbOK);
    EXPECT_EQ(logic.CmdRegistrar(), FrmAccesoLogic::Registro::SinConexion);
    EXPECT_EQ(m_operator->asked().size(), 1);
    EXPECT_FALSE(QFile::exists(bases()));

    // Accepting the dialog on it: the connection's own question names the file too.
    DB_Dll &db = gDB();
    db.gServidor = QStringLiteral("!");
    db.gDBName = logic.TxtDbName;
    m_operator->expect(QStringLiteral("No existe el archivo de base de datos ") + logic.TxtDbName, platform::vbNo);
    db.OpenServerADODB(false, ado::adUseClient, QString(), false, true);
    EXPECT_FALSE(db.gOpenFlag);
    EXPECT_FALSE(m_operator->asked().last().text.contains(QStringLiteral("contraseña")));
}

TEST_F(AccesoTest, UnreachableConnectionIsNotRegistered)
{
    FrmAccesoLogic logic;
    logic.TxtDbName = QStringLiteral("ventas");
    logic.TxtServidor = QStringLiteral("127.0.0.1:1"); // nothing listens there
    logic.CboPlataformaDB = 3;
    m_operator->expect(QStringLiteral("Desea Intentarlo Nuevamente"), platform::vbNo);
    m_operator->expect(QStringLiteral("NO SE PUDO CONECTAR AL SERVIDOR 127.0.0.1:1 VERIFIQUE EL NOMBRE DE USUARIO Y "
                                      "PASSWORD INGRESADO"),
                       platform::vbOK);
    EXPECT_EQ(logic.CmdRegistrar(), FrmAccesoLogic::Registro::SinConexion);
    EXPECT_EQ(m_operator->pending(), 0);
    EXPECT_EQ(m_operator->asked().last().title, QStringLiteral("AVISO AL OPERADOR"));
    EXPECT_FALSE(QFile::exists(bases()));
    EXPECT_FALSE(gDB().gOpenFlag);
}

TEST_F(AccesoTest, TextsTheFileCannotHoldAreRefusedBeforeTesting)
{
    const QString path = sqliteFile(QStringLiteral("con,coma.sqlite"));
    FrmAccesoLogic logic;
    logic.TxtDbName = path;
    logic.TxtUserId = QStringLiteral("ana");
    logic.CboPlataformaDB = 2;
    m_operator->expect(QStringLiteral("no puede contener \",\""), platform::vbOK);
    EXPECT_EQ(logic.CmdRegistrar(), FrmAccesoLogic::Registro::Rechazado);
    logic.TxtDbName = sqliteFile(QStringLiteral("bien.sqlite"));
    logic.TxtUserId = QStringLiteral("Андрей");
    m_operator->expect(QStringLiteral("\"А\" (U+0410)"), platform::vbOK);
    EXPECT_EQ(logic.CmdRegistrar(), FrmAccesoLogic::Registro::Rechazado);
    EXPECT_EQ(m_operator->pending(), 0);
    EXPECT_FALSE(QFile::exists(bases())) << "nothing written, nothing to be listed wrongly later";
}

TEST_F(AccesoTest, TestConnectionReportsTheRealOutcome)
{
    const QString good = sqliteFile(QStringLiteral("ok.sqlite"));
    FrmAccesoLogic logic;
    // gDB claims to be open while its connection is closed: the test must not care.
    gDB().gOpenFlag = true;
    EXPECT_TRUE(logic.ExisteBaseDeDatos(QStringLiteral("!"), good, QString(), QString(), QStringLiteral("SQLOLEDB")));
    EXPECT_EQ(gDB().gCnn.State(), ado::adStateClosed);
    EXPECT_FALSE(logic.ExisteBaseDeDatos(QStringLiteral("!"), good + QStringLiteral(".no"), QString(), QString(),
                                         QStringLiteral("SQLOLEDB")));
    EXPECT_EQ(gDB().gCnn.State(), ado::adStateClosed);
}

TEST_F(AccesoTest, ListShowsTheRecordsAndSelectionFillsTheBoxes)
{
    writeBases({QStringLiteral("VENTAS / SRV01,VENTAS,sa,") + enc(QStringLiteral("x")) + QStringLiteral(",srv01:1500"),
                QStringLiteral(" ,X,u,p,Y"), QStringLiteral("ROTA,B"),
                QStringLiteral("PG / %PGHOST,stock,u,") + enc(QStringLiteral("y")) + QStringLiteral(",%pghost:54329"),
                QStringLiteral("SIN PUERTO,compras,u,") + enc(QStringLiteral("z")) + QStringLiteral(",srv02")});
    FrmAccesoLogic logic;
    logic.cargar();
    EXPECT_EQ(
        logic.lstBases(),
        (QStringList{QStringLiteral("VENTAS / SRV01"), QStringLiteral("PG / %PGHOST"), QStringLiteral("SIN PUERTO")}));
    EXPECT_EQ(logic.listIndex(), 0);
    EXPECT_EQ(logic.TxtServidor, QStringLiteral("SRV01"));
    EXPECT_EQ(logic.TxtPuerto, QStringLiteral("1500"));
    EXPECT_EQ(logic.TxtDbName, QStringLiteral("VENTAS"));
    EXPECT_EQ(logic.TxtUserId, QString()) << "user and password are always typed";
    EXPECT_EQ(logic.TxtUserPassword, QString());
    EXPECT_EQ(logic.CboPlataformaDB, 0);
    logic.seleccionar(1);
    EXPECT_EQ(logic.TxtServidor, QStringLiteral("%pghost:54329"));
    EXPECT_EQ(logic.CboPlataformaDB, 3);
    logic.seleccionar(2);
    EXPECT_EQ(logic.TxtServidor, QStringLiteral("srv02"));
    EXPECT_EQ(logic.TxtPuerto, QStringLiteral("1500")) << "a record without port leaves the port box";
}

TEST_F(AccesoTest, MissingFileGivesAnEmptyList)
{
    FrmAccesoLogic logic;
    logic.cargar();
    EXPECT_TRUE(logic.lstBases().isEmpty());
    EXPECT_EQ(logic.listIndex(), -1);
}

TEST_F(AccesoTest, UnreadableFileIsReportedAndTheListStaysEmpty)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("BASES.TXT"))); // exists, cannot be read
    m_operator->expect(QStringLiteral("BASES.TXT"), platform::vbRetry);
    m_operator->expect(QStringLiteral("BASES.TXT"), platform::vbAbort);
    FrmAccesoLogic logic;
    logic.cargar();
    EXPECT_EQ(m_operator->pending(), 0) << "retry reads again, abort leaves";
    EXPECT_TRUE(logic.lstBases().isEmpty());
    EXPECT_EQ(logic.listIndex(), -1);
}

TEST_F(AccesoTest, UnwritableFileIsShownAndNotReportedAsRegistered)
{
    const QString path = sqliteFile(QStringLiteral("sin-escribir.sqlite"));
    LBM_Common::estadoBases().ruta = m_dir.filePath(QStringLiteral("no/hay/BASES.TXT"));
    FrmAccesoLogic logic;
    logic.TxtDbName = path;
    logic.CboPlataformaDB = 2;
    m_operator->expect(QStringLiteral("SQL Server start failed.  \rSQL-DMO error:   75 No se pudo escribir"),
                       platform::vbOK);
    EXPECT_EQ(logic.CmdRegistrar(), FrmAccesoLogic::Registro::Fallo);
    EXPECT_EQ(m_operator->pending(), 0);
    EXPECT_TRUE(logic.lstBases().isEmpty());
}

TEST_F(AccesoTest, DesktopLauncherStartsThisProgramWithTheChosenLine)
{
    FrmAccesoLogic logic;
    logic.TxtDbName = QStringLiteral("/datos/mi empresa$1/suite.db");
    logic.TxtUserId = QStringLiteral("ana");
    logic.TxtUserPassword = QStringLiteral("secreta");
    logic.CboPlataformaDB = 2;
    // The desktop folder as XDG names it for the user.
    const QString config = m_dir.filePath(QStringLiteral("config"));
    ASSERT_TRUE(QDir().mkpath(config));
    ASSERT_TRUE(platform::textfile::writeLines(config + QStringLiteral("/user-dirs.dirs"),
                                               {QStringLiteral("XDG_DESKTOP_DIR=\"$HOME/Escritorio\"")})
                    .ok());
    qputenv("XDG_CONFIG_HOME", config.toUtf8());
    ASSERT_TRUE(logic.CmdLineaComando().ok());
    ASSERT_TRUE(logic.CmdLineaComando().ok()) << "an existing launcher is replaced";
    qunsetenv("XDG_CONFIG_HOME");
    QFile file(m_dir.filePath(QStringLiteral("home/Escritorio/Timer Tareas.desktop")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.startsWith(QStringLiteral("[Desktop Entry]\n")));
    // Quoted arguments, "$" escaped for the launcher and its backslash doubled for the file.
    EXPECT_TRUE(text.contains(QStringLiteral("\nExec=\"") + platform::executablePath()
                              + QStringLiteral("\" \"@Server=!;@DbName=/datos/mi empresa\\\\$1/suite.db;"
                                               "@Usuario=ana\"\n")))
        << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("secreta"))) << "no password in a readable file";
    EXPECT_TRUE(QFileInfo(file).isExecutable());
}

TEST_F(AccesoTest, CommandRunnerWaitsAndReportsAFailedStart)
{
    FrmAccesoLogic logic;
    QString error;
    EXPECT_TRUE(logic.EjecutarCmdRegDB(QStringLiteral("true"), error));
    EXPECT_FALSE(logic.EjecutarCmdRegDB(QStringLiteral("/no/such/program"), error));
    EXPECT_EQ(error, QStringLiteral("Error al ejecutar el comando"));
}

// ---- the form offscreen ------------------------------------------------------------------

class FormTest : public AccesoTest {
protected:
    static void SetUpTestSuite()
    {
        if (!qApp) {
            static int argc = 1;
            static char name[] = "test_db_acceso";
            static char *argv[] = {name, nullptr};
            new QApplication(argc, argv);
        }
    }
};

TEST_F(FormTest, HintsArePlaceholdersNotValues)
{
    frmAcceso form;
    form.cargar();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Control de Acceso"));
    EXPECT_EQ(form.TxtDbName->placeholderText(), QStringLiteral("ingrese el nombre de la base de datos"));
    EXPECT_EQ(form.TxtServidor->placeholderText(), QStringLiteral("ingrese el nombre del servidor e instancia"));
    EXPECT_EQ(form.TxtUserId->placeholderText(), QStringLiteral("Ingrese el usuario"));
    EXPECT_EQ(form.TxtUserPassword->placeholderText(), QString());
    form.bcAceptar->click();
    EXPECT_TRUE(form.Aceptar());
    const DB_Dll::DatosAcceso datos = form.datos();
    EXPECT_EQ(datos.dbName, QString());
    EXPECT_EQ(datos.servidor, QString());
    EXPECT_EQ(datos.usuario, QString());
}

TEST_F(FormTest, EmbeddedDatabaseHasNoServerOrPort)
{
    frmAcceso form;
    form.cargar();
    EXPECT_TRUE(form.TxtServidor->isEnabled());
    form.CboPlataformaDB->setCurrentIndex(2);
    EXPECT_FALSE(form.TxtServidor->isEnabled());
    EXPECT_FALSE(form.TxtPuerto->isEnabled());
    form.CboPlataformaDB->setCurrentIndex(0);
    EXPECT_TRUE(form.TxtServidor->isEnabled());
    EXPECT_TRUE(form.TxtPuerto->isEnabled());
}

TEST_F(FormTest, ListSelectionAndCancel)
{
    writeBases({QStringLiteral("A / S1,dbA,u,") + enc(QStringLiteral("x")) + QStringLiteral(",s1:1500"),
                QStringLiteral("B / S2,dbB,u,") + enc(QStringLiteral("x")) + QStringLiteral(",s2")});
    frmAcceso form;
    form.cargar();
    ASSERT_EQ(form.lstBases->model()->rowCount(), 2);
    EXPECT_EQ(form.TxtServidor->text(), QStringLiteral("S1"));
    EXPECT_EQ(form.TxtPuerto->text(), QStringLiteral("1500"));
    form.lstBases->setCurrentIndex(form.lstBases->model()->index(1, 0));
    EXPECT_EQ(form.TxtServidor->text(), QStringLiteral("s2"));
    EXPECT_EQ(form.TxtDbName->text(), QStringLiteral("dbB"));
    form.bcCancelar->click();
    EXPECT_FALSE(form.Aceptar());
}

TEST_F(FormTest, RegistrarButtonWritesAndListsTheConnection)
{
    const QString path = sqliteFile(QStringLiteral("registrada.sqlite"));
    frmAcceso form;
    form.cargar();
    ASSERT_EQ(form.lstBases->model()->rowCount(), 0);
    form.CboPlataformaDB->setCurrentIndex(2);
    form.TxtDbName->setText(path);
    form.TxtUserId->setText(QStringLiteral("ana"));
    form.CmdRegistrar->click();
    const QString key = path.toUpper() + QStringLiteral(" / !");
    ASSERT_EQ(form.lstBases->model()->rowCount(), 1);
    EXPECT_EQ(form.lstBases->model()->index(0, 0).data().toString(), key);
    EXPECT_EQ(form.lstBases->currentIndex().row(), 0);
    EXPECT_EQ(form.TxtDbName->text(), path) << "the new record is shown";
    EXPECT_TRUE(basesBytes().startsWith(platform::textfile::encode1252(key + QLatin1Char(','))));

    // The same again is refused through the operator and the file keeps one line.
    m_operator->expect(QStringLiteral("La conexion que intenta registrar ya existe "), platform::vbOK);
    form.CmdRegistrar->click();
    EXPECT_EQ(m_operator->pending(), 0);
    EXPECT_EQ(basesBytes().count('\n'), 1);
    EXPECT_FALSE(form.Aceptar()) << "registering leaves the dialog open";
}

TEST_F(FormTest, OpenServerShowsTheDialogAndUsesItsAnswer)
{
    const QString path = sqliteFile(QStringLiteral("dialogo.sqlite"));
    frmAcceso::instalar();
    QTimer::singleShot(0, [path] {
        auto *dialog = qobject_cast<frmAcceso *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->TxtUserId->text(), QStringLiteral("previo"));
        EXPECT_EQ(dialog->CboPlataformaDB->currentIndex(), 0);
        dialog->CboPlataformaDB->setCurrentIndex(2);
        dialog->TxtDbName->setText(path);
        dialog->TxtUserId->setText(QStringLiteral("ana"));
        dialog->bcAceptar->click();
    });
    DB_Dll &db = gDB();
    db.gUsuario = QStringLiteral("previo");
    db.OpenServerADODB(true, ado::adUseClient, QString(), false, false);
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_EQ(db.gServidor, QStringLiteral("!"));
    EXPECT_EQ(db.gUsuario, QStringLiteral("ana"));
    EXPECT_EQ(db.gCnn.State(), ado::adStateOpen);
}

} // namespace
