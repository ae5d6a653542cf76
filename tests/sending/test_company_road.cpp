// The reception from another company's database, end to end on two embedded databases:
// the sending form driven on the company's database, the package received into the local one.

#include "SendingDatabase.h"

#include "tests/core/QtPrint.h"

#include "reception/RecepcionMaestros.h"
#include "sending/ui/EnvioDesdeEmpresa.h"
#include "sending/ui/FrmEnvioIMaestros.h"

#include "core/Acceso.h"
#include "core/Globals.h"
#include "core/Inicio.h"
#include "db/DB_Dll.h"
#include "platform/Paths.h"
#include "platform/ado/Recordset.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

namespace {

QApplication &app()
{
    static int argc = 1;
    static char name[] = "test_sending_company_road";
    static char *argv[] = {name, nullptr};
    static auto *application = new QApplication(argc, argv);
    return *application;
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
    }
    void TearDown() override
    {
        envio::liberarFormularioDeEnvio();
        FrmEnvioIMaestros::setTerminarPrograma(nullptr);
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
    // What the reception form does around the sending: the company's connection, then back.
    void conectar(const QString &archivo)
    {
        DB_Dll &db = gDB();
        db.gCnn.Close();
        db.gOpenFlag = false;
        db.gServidor = QStringLiteral("!");
        db.gDBName = archivo;
        db.OpenServerADODB(false, 3, QString(), true, true);
        ASSERT_TRUE(db.gOpenFlag);
    }
    QString escalar(const QString &archivo, const QString &sql)
    {
        ado::Connection cnn;
        cnn.Open(testsupport::sqliteConnectionString(archivo, false));
        return pruebas::escalar(cnn, sql);
    }
    envio::PedidoEnvio pedido(const QString &carpeta)
    {
        envio::PedidoEnvio p;
        p.responsable = QStringLiteral("Recepcionista");
        p.carpeta = carpeta;
        p.precios = true;
        p.restaurarConexion = [this] { conectar(m_local); };
        return p;
    }

    QTemporaryDir m_home;
    std::shared_ptr<platform::ScriptedOperator> m_operador;
    std::unique_ptr<platform::ScopedOperator> m_scope;
    QString m_local, m_empresa;
    std::int32_t m_filaLocal = 0;
    int m_finales = 0;
};

TEST_F(CaminoEmpresa, TheCompanysPackageIsBuiltThereAndReceivedHere)
{
    const QString carpeta = QDir(m_home.path()).filePath(QStringLiteral("temporal"));
    QDir().mkpath(carpeta);
    conectar(m_empresa);
    const envio::EntregaEnvio entrega = envio::EnviarDesdeEmpresa(pedido(carpeta));
    ASSERT_TRUE(entrega.hecho);
    EXPECT_EQ(entrega.archivo, QDir(carpeta).filePath(QStringLiteral("Archivos.zip")));
    EXPECT_TRUE(QFile::exists(entrega.archivo));
    ASSERT_NE(envio::formularioDeEnvio(), nullptr);
    EXPECT_FALSE(envio::formularioDeEnvio()->isVisible());

    // The company's side: its rows stamped, its sending recorded, its access row closed.
    EXPECT_EQ(escalar(m_empresa, QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE TRANSMISION = 1")),
              QStringLiteral("3"));
    EXPECT_EQ(escalar(m_empresa,
                      QStringLiteral("SELECT COUNT(*) FROM MV_TRANSMISIONES WHERE TIPO = 'M' AND "
                                     "FECHAFIN IS NOT NULL")),
              QStringLiteral("1"));
    EXPECT_EQ(escalar(m_empresa, QStringLiteral("SELECT COUNT(*) FROM Control_Acceso WHERE EGRESO IS NOT NULL")),
              QStringLiteral("1"));
    // No company setting is left in the run's settings.
    EXPECT_EQ(ModGlobal::gTituloClientes, QStringLiteral("Clientes del local"));
    EXPECT_EQ(ModGlobal::gIdAcceso, m_filaLocal);

    conectar(m_local);
    ado::Recordset rsTabla;
    gDB().AbrirRecordset(QStringLiteral("SELECT * FROM MV_TRANSMISIONES"), rsTabla, &gDB().gCnn, ado::adOpenDynamic,
                         ado::adLockOptimistic, -1, true);
    recepcion::RecepcionMaestros recepcion(gDB());
    const recepcion::ResumenRecepcion r =
        recepcion.RecibirMaestros({QStringLiteral("1"), QStringLiteral("Ana"), entrega.archivo, false}, rsTabla);
    gDB().CierraRecordset(rsTabla);
    ASSERT_EQ(r.fin, recepcion::FinRecepcion::Completa) << r.motivo.toStdString();
    EXPECT_EQ(r.inserciones, 81);
    EXPECT_EQ(escalar(m_local, QStringLiteral("SELECT Descripcion FROM V_TA_UNIDAD WHERE IdUnidad = '  K1'")),
              QStringLiteral("Ñandú O'Brien, acción"));

    // The end of the run closes the local access row, on the local database.
    envio::liberarFormularioDeEnvio();
    EXPECT_TRUE(ModGlobal::Finalizar());
    EXPECT_EQ(escalar(m_local,
                      QStringLiteral("SELECT COUNT(*) FROM Control_Acceso WHERE EGRESO IS NOT NULL AND Id = %1")
                          .arg(m_filaLocal)),
              QStringLiteral("1"));
}

// A sending that fails gives the waiting reception its outcome at once.
TEST_F(CaminoEmpresa, AFailedSendingEndsTheWaitWithoutAPackage)
{
    conectar(m_empresa);
    m_operador->expect(QStringLiteral("No se puede escribir el paquete"), platform::vbAbort);
    const envio::EntregaEnvio entrega =
        envio::EnviarDesdeEmpresa(pedido(QDir(m_home.path()).filePath(QStringLiteral("no_existe"))));
    EXPECT_FALSE(entrega.hecho);
    EXPECT_FALSE(envio::formularioDeEnvio()->isVisible());
    EXPECT_EQ(escalar(m_empresa, QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE TRANSMISION <> 0")),
              QStringLiteral("0"));
    EXPECT_EQ(ModGlobal::gTituloClientes, QStringLiteral("Clientes del local"));
    EXPECT_EQ(ModGlobal::gIdAcceso, m_filaLocal);
}

// Closing the sending form during the road ends the program on the run's own database.
TEST_F(CaminoEmpresa, ClosingTheFormDuringTheRoadEndsTheRunOnItsOwnDatabase)
{
    const QString carpeta = QDir(m_home.path()).filePath(QStringLiteral("temporal"));
    QDir().mkpath(carpeta);
    conectar(m_empresa);
    // The operator closes the form as soon as it shows.
    QTimer::singleShot(0, [] {
        if (FrmEnvioIMaestros *f = envio::formularioDeEnvio())
            f->close();
    });
    EXPECT_FALSE(envio::EnviarDesdeEmpresa(pedido(carpeta)).hecho);
    EXPECT_EQ(m_finales, 1);
    EXPECT_EQ(escalar(m_local,
                      QStringLiteral("SELECT COUNT(*) FROM Control_Acceso WHERE EGRESO IS NOT NULL AND Id = %1")
                          .arg(m_filaLocal)),
              QStringLiteral("1"));
    EXPECT_EQ(escalar(m_empresa, QStringLiteral("SELECT COUNT(*) FROM Control_Acceso WHERE EGRESO IS NULL")),
              QStringLiteral("0"));
}

} // namespace
