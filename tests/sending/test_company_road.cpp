// The reception from another company's database, end to end on two embedded databases: the
// reception form's road drives the sending form on the company's database and receives its
// package into the local one. Interrupted half-way from either form, each database keeps
// only its own changes.

#include "SendingDatabase.h"

#include "tests/core/QtPrint.h"

#include "reception/EnvioRemoto.h"
#include "reception/FormularioRecepcion.h"
#include "reception/RecepcionMaestros.h"
#include "reception/ui/FrmRecepcionIMaestros.h"
#include "sending/ui/EnvioDesdeEmpresa.h"
#include "sending/ui/EnvioParaRecepcion.h"
#include "sending/ui/FrmEnvioIMaestros.h"

#include "core/Acceso.h"
#include "core/Globals.h"
#include "core/Inicio.h"
#include "db/DB_Dll.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "platform/ado/Recordset.h"
#include "platform/suite/Funciones.h"
#include "toolbar/ui/UtilNet.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <functional>

namespace {

QApplication &app()
{
    static int argc = 1;
    static char name[] = "test_sending_company_road";
    static char *argv[] = {name, nullptr};
    static auto *application = new QApplication(argc, argv);
    return *application;
}

// Runs `accion` once, from the event loop, as soon as `condicion` holds: during the sending
// this is one of its turns of the event loop, where the operator's clicks arrive.
class AlLlegar {
public:
    AlLlegar(std::function<bool()> condicion, std::function<void()> accion)
    {
        QObject::connect(&m_reloj, &QTimer::timeout, [this, condicion, accion] {
            if (!condicion())
                return;
            m_reloj.stop();
            m_hecho = true;
            accion();
        });
        m_reloj.start(0);
    }
    bool hecho() const { return m_hecho; }

private:
    QTimer m_reloj;
    bool m_hecho = false;
};

// The sending form while it exports the second table of the company's package.
bool enLaSegundaTabla()
{
    FrmEnvioIMaestros *f = envio::formularioDeEnvio();
    return f && f->logica().corriendo()
        && f->lblActualizando->text().startsWith(QStringLiteral("Generando Archivo V_TA_RUBROS"));
}

class CaminoEmpresa : public ::testing::Test {
protected:
    void SetUp() override
    {
        app();
        ASSERT_TRUE(m_home.isValid());
        platform::setProgramFolder(m_home.path());
        m_operador = std::make_shared<platform::ScriptedOperator>(
            [](const QString &q) { ADD_FAILURE() << "unexpected question: " << q.toStdString(); });
        m_scope = std::make_unique<platform::ScopedOperator>(m_operador);
        ModGlobal::resetGlobals();
        FrmEnvioIMaestros::setTerminarPrograma([this] { ++m_finales; });
        FrmRecepcionIMaestros::setTerminarPrograma([this] { ++m_finales; });
        m_local = QDir(m_home.path()).filePath(QStringLiteral("local.db"));
        m_empresa = QDir(m_home.path()).filePath(QStringLiteral("empresa.db"));
        crear(m_local, QStringLiteral("Clientes del local"));
        crear(m_empresa, QStringLiteral("Clientes de la empresa"));
        ado::Connection empresa;
        empresa.Open(testsupport::sqliteConnectionString(m_empresa, false));
        pruebas::llenarMaestros(empresa);
        // The run's own start-up, on the local database.
        QString cadena;
        const platform::Status iniciado = ModGlobal::IniciarSistema(
            false, QStringLiteral("@Server=!;@DbName=%1;@Usuario=ana;@Password=").arg(m_local), cadena, 3);
        ASSERT_TRUE(iniciado.ok()) << iniciado.message().toStdString();
        m_filaLocal = ModGlobal::gIdAcceso;
        ASSERT_TRUE(
            platform::textfile::writeLines(
                QDir(m_home.path()).filePath(QStringLiteral("BASES.TXT")),
                {QStringLiteral("EMPRESA2,%1,ana,%2,!").arg(m_empresa, platform::suite::gFunciones().Codificar(""))})
                .ok());
        m_temporal = QDir(m_home.path()).filePath(QStringLiteral("temporal"));
        QDir().mkpath(m_temporal);
        qputenv("TEMP", m_temporal.toUtf8());
        envio::registrarParaRecepcion();
    }
    void TearDown() override
    {
        m_recepcion.reset();
        recepcion::registrarEnvio({});
        qunsetenv("TEMP");
        envio::liberarFormularioDeEnvio();
        FrmEnvioIMaestros::setTerminarPrograma(nullptr);
        FrmRecepcionIMaestros::setTerminarPrograma(nullptr);
        releaseSharedDatabases();
        m_scope.reset();
        EXPECT_EQ(m_operador->pending(), 0) << "expected questions were not asked";
        platform::setProgramFolder(QString());
    }

    void crear(const QString &archivo, const QString &titulo)
    {
        ado::Connection cnn;
        cnn.Open(testsupport::sqliteConnectionString(archivo));
        pruebas::crearBaseSuite(cnn);
        cnn.Execute(
            QStringLiteral("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES ('TituloClientes', '%1')").arg(titulo));
    }
    QString escalar(const QString &archivo, const QString &sql)
    {
        ado::Connection cnn;
        cnn.Open(testsupport::sqliteConnectionString(archivo, false));
        return pruebas::escalar(cnn, sql);
    }
    // The reception form, on the local database, receiving from the company's one.
    recepcion::FormularioRecepcion &recepcion()
    {
        if (!m_recepcion) {
            m_recepcion = std::make_unique<recepcion::FormularioRecepcion>(gDB());
            m_recepcion->Form_Load();
            m_recepcion->txtFields[recepcion::kTransmision].texto = QStringLiteral("1");
            m_recepcion->txtFields_KeyDown(recepcion::kTransmision, 13);
            m_recepcion->txtFields[recepcion::kResponsable].texto = QStringLiteral("Recepcionista");
            m_recepcion->optDB_Click();
            m_recepcion->chkPrecios = true;
            m_recepcion->CmbEmpresasTexto = QStringLiteral("EMPRESA2");
        }
        return *m_recepcion;
    }
    QString filaLocalCerrada()
    {
        return escalar(m_local,
                       QStringLiteral("SELECT COUNT(*) FROM Control_Acceso WHERE EGRESO IS NOT NULL AND Id = %1")
                           .arg(m_filaLocal));
    }
    // After an interrupted road: the company's sending is recorded there as incomplete, after
    // its first table, with nothing stamped; the local database holds nothing of it; every
    // access row is closed, each on its own database; no package is left.
    void cadaBaseConLoSuyo()
    {
        EXPECT_EQ(escalar(m_empresa,
                          QStringLiteral("SELECT LOG FROM MV_TRANSMISIONES WHERE TIPO = 'M' AND "
                                         "FECHAFIN IS NULL")),
                  QStringLiteral("V_TA_UNIDAD"));
        EXPECT_EQ(escalar(m_empresa, QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE TRANSMISION <> 0")),
                  QStringLiteral("0"));
        EXPECT_EQ(escalar(m_empresa, QStringLiteral("SELECT COUNT(*) FROM Control_Acceso WHERE EGRESO IS NULL")),
                  QStringLiteral("0"));
        EXPECT_EQ(escalar(m_local, QStringLiteral("SELECT COUNT(*) FROM MV_TRANSMISIONES")), QStringLiteral("0"));
        EXPECT_EQ(escalar(m_local, QStringLiteral("SELECT COUNT(*) FROM V_TA_UNIDAD")), QStringLiteral("0"));
        EXPECT_EQ(filaLocalCerrada(), QStringLiteral("1"));
        EXPECT_FALSE(QFile::exists(QDir(m_temporal).filePath(QStringLiteral("Archivos.zip"))));
    }

    QTemporaryDir m_home;
    std::shared_ptr<platform::ScriptedOperator> m_operador;
    std::unique_ptr<platform::ScopedOperator> m_scope;
    QString m_local, m_empresa, m_temporal;
    std::unique_ptr<recepcion::FormularioRecepcion> m_recepcion;
    std::int32_t m_filaLocal = 0;
    int m_finales = 0;
};

TEST_F(CaminoEmpresa, TheCompanysPackageIsBuiltThereAndReceivedHere)
{
    m_operador->expect(QStringLiteral("Finalizado"), platform::vbOK);
    recepcion().UtilNet1_click(QStringLiteral("GRABAR"));
    ASSERT_NE(envio::formularioDeEnvio(), nullptr);
    EXPECT_FALSE(envio::formularioDeEnvio()->isVisible());
    // The package was built in a folder of the run's own, gone with the run.
    EXPECT_EQ(QDir(m_temporal).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());

    // The company's side: its rows stamped, its sending recorded, its access row closed.
    EXPECT_EQ(escalar(m_empresa, QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE TRANSMISION = 1")),
              QStringLiteral("3"));
    EXPECT_EQ(escalar(m_empresa,
                      QStringLiteral("SELECT COUNT(*) FROM MV_TRANSMISIONES WHERE TIPO = 'M' AND "
                                     "FECHAFIN IS NOT NULL")),
              QStringLiteral("1"));
    EXPECT_EQ(escalar(m_empresa, QStringLiteral("SELECT COUNT(*) FROM Control_Acceso WHERE EGRESO IS NULL")),
              QStringLiteral("0"));
    // The local side: the package received, no company setting left, the run's own access row.
    EXPECT_EQ(gDB().gDBName, m_local);
    EXPECT_EQ(escalar(m_local, QStringLiteral("SELECT Descripcion FROM V_TA_UNIDAD WHERE IdUnidad = '  K1'")),
              QStringLiteral("Ñandú O'Brien, acción"));
    EXPECT_EQ(escalar(m_local, QStringLiteral("SELECT COUNT(*) FROM V_MA_PRECIOS")), QStringLiteral("3"));
    EXPECT_EQ(ModGlobal::gTituloClientes, QStringLiteral("Clientes del local"));
    EXPECT_EQ(ModGlobal::gIdAcceso, m_filaLocal);

    // The end of the run closes the local access row, on the local database.
    m_recepcion.reset();
    envio::liberarFormularioDeEnvio();
    EXPECT_TRUE(ModGlobal::Finalizar());
    EXPECT_EQ(filaLocalCerrada(), QStringLiteral("1"));
}

// A temporary folder that cannot hold the road's package stops the road before anything is
// sent, saying which folder.
TEST_F(CaminoEmpresa, ATemporaryFolderThatCannotHoldThePackageStopsTheRoad)
{
    const QString noExiste = QDir(m_home.path()).filePath(QStringLiteral("no_existe"));
    qputenv("TEMP", noExiste.toUtf8());
    m_operador->expect(noExiste, platform::vbOK);
    recepcion().UtilNet1_click(QStringLiteral("GRABAR"));
    EXPECT_TRUE(envio::formularioDeEnvio() == nullptr || !envio::formularioDeEnvio()->isVisible());
    EXPECT_EQ(escalar(m_empresa, QStringLiteral("SELECT COUNT(*) FROM MV_TRANSMISIONES")), QStringLiteral("0"));
    EXPECT_EQ(escalar(m_empresa, QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE TRANSMISION <> 0")),
              QStringLiteral("0"));
    EXPECT_EQ(escalar(m_local, QStringLiteral("SELECT COUNT(*) FROM V_TA_UNIDAD")), QStringLiteral("0"));
    EXPECT_EQ(gDB().gDBName, m_local);
    EXPECT_EQ(ModGlobal::gTituloClientes, QStringLiteral("Clientes del local"));
    EXPECT_EQ(ModGlobal::gIdAcceso, m_filaLocal);
}

// Closing the sending form during the road ends the program on the run's own database.
TEST_F(CaminoEmpresa, ClosingTheFormDuringTheRoadEndsTheRunOnItsOwnDatabase)
{
    QTimer::singleShot(0, [] {
        if (FrmEnvioIMaestros *f = envio::formularioDeEnvio())
            f->close();
    });
    m_operador->expect(QStringLiteral("Se cerró el envío de maestros"), platform::vbOK);
    recepcion().UtilNet1_click(QStringLiteral("GRABAR"));
    EXPECT_EQ(m_finales, 1);
    EXPECT_EQ(gDB().gDBName, m_local);
    EXPECT_EQ(ModGlobal::gIdAcceso, m_filaLocal);
    EXPECT_EQ(filaLocalCerrada(), QStringLiteral("1"));
    EXPECT_EQ(escalar(m_empresa, QStringLiteral("SELECT COUNT(*) FROM Control_Acceso WHERE EGRESO IS NULL")),
              QStringLiteral("0"));
}

// Closing the sending form while it sends: asked first, it stops the sending, and only then
// puts the run's own connection back and ends the program there.
TEST_F(CaminoEmpresa, ClosingTheSendingFormMidSendingStopsItBeforeGoingBack)
{
    AlLlegar cerrar(enLaSegundaTabla, [] { envio::formularioDeEnvio()->close(); });
    m_operador->expect(QStringLiteral("¿Desea interrumpir el envío"), platform::vbYes);
    m_operador->expect(QStringLiteral("Se cerró el envío de maestros"), platform::vbOK);
    recepcion().UtilNet1_click(QStringLiteral("GRABAR"));
    ASSERT_TRUE(cerrar.hecho());
    EXPECT_EQ(m_finales, 1);
    EXPECT_EQ(gDB().gDBName, m_local);
    EXPECT_EQ(ModGlobal::gIdAcceso, m_filaLocal);
    cadaBaseConLoSuyo();
}

// The reception window's close box while it waits for the company's package: the sending
// stops first, the connection goes back to the run's own database, then the program ends.
TEST_F(CaminoEmpresa, ClosingTheReceptionWindowDuringTheRoadStopsTheSendingFirst)
{
    FrmRecepcionIMaestros form(gDB());
    form.cargar();
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(form.txtFields[0], Qt::Key_Return);
    QTest::keyClicks(form.txtFields[1], QStringLiteral("Recepcionista"));
    QTest::mouseClick(form.optDB, Qt::LeftButton);
    QTest::keyClicks(form.CmbEmpresas->lineEdit(), QStringLiteral("EMPRESA2"));
    bool bloqueada = false;
    AlLlegar cerrar(enLaSegundaTabla, [&] {
        bloqueada = !form.txtFields[0]->isEnabled() && !form.FrmDb->isEnabled() && !form.UtilNet1->GrabarEnabled()
            && form.UtilNet1->CerrarEnabled();
        form.close();
    });
    m_operador->expect(QStringLiteral("¿Desea interrumpir la recepción"), platform::vbYes);
    QTest::mouseClick(form.UtilNet1->toolBar()->widgetForAction(form.UtilNet1->action(toolbar::Boton::Grabar)),
                      Qt::LeftButton);
    ASSERT_TRUE(cerrar.hecho());
    EXPECT_TRUE(bloqueada);
    EXPECT_EQ(m_finales, 1);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(envio::formularioDeEnvio()->isVisible());
    cadaBaseConLoSuyo();
}

// An operator service that, like a modal dialog, lets the event loop run while a question is
// open, and notes how many sendings the company's database holds at that moment.
class OperadorModal : public platform::ScriptedOperator {
public:
    OperadorModal(QString empresa, std::function<QString(const QString &, const QString &)> escalar)
        : platform::ScriptedOperator(
            [](const QString &q) { ADD_FAILURE() << "unexpected question: " << q.toStdString(); }),
          m_empresa(std::move(empresa)), m_escalar(std::move(escalar))
    {}
    platform::Reply ask(const platform::Question &q) override
    {
        QCoreApplication::processEvents();
        if (q.text.contains(QStringLiteral("transmision incompleta")))
            envios = m_escalar(m_empresa, QStringLiteral("SELECT COUNT(*) FROM MV_TRANSMISIONES WHERE TIPO = 'M'"));
        return platform::ScriptedOperator::ask(q);
    }
    QString envios;

private:
    QString m_empresa;
    std::function<QString(const QString &, const QString &)> m_escalar;
};

// The company's incomplete sending is reported when the sending form first shows, and
// answered before its sending starts; Yes cancels it there.
TEST_F(CaminoEmpresa, TheCompanysIncompleteSendingIsAnsweredBeforeTheSendingStarts)
{
    {
        ado::Connection empresa;
        empresa.Open(testsupport::sqliteConnectionString(m_empresa, false));
        empresa.Execute(QStringLiteral("INSERT INTO MV_TRANSMISIONES (TIPO, TRANSMISION, FECHA, HORA, "
                                       "Responsable_Envio, LOG) VALUES ('M', 7, '2021-02-01', '08:00:00', 'Eva', "
                                       "'V_TA_UNIDAD')"));
    }
    auto modal = std::make_shared<OperadorModal>(
        m_empresa, [this](const QString &archivo, const QString &sql) { return escalar(archivo, sql); });
    platform::ScopedOperator alcance(modal);
    modal->expect(QStringLiteral("Se ha detectado una transmision incompleta!"), platform::vbYes);
    modal->expect(QStringLiteral("Finalizado"), platform::vbOK);
    recepcion().UtilNet1_click(QStringLiteral("GRABAR"));
    EXPECT_EQ(modal->envios, QStringLiteral("1")); // only the incomplete one: no sending under the question
    EXPECT_EQ(modal->pending(), 0);
    EXPECT_EQ(escalar(m_empresa,
                      QStringLiteral("SELECT COUNT(*) FROM MV_TRANSMISIONES WHERE TRANSMISION = 7 AND "
                                     "ANULADO = 1")),
              QStringLiteral("1"));
    EXPECT_EQ(escalar(m_local, QStringLiteral("SELECT COUNT(*) FROM V_MA_PRECIOS")), QStringLiteral("3"));
}

} // namespace
