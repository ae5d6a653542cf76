// The reception form's logic without a window: the proposed number, the detail and the
// toolbar, the field checks, GRABAR and what it says afterwards, and the road from another
// company's database.

#include "PaqueteDePrueba.h"
#include "ReceptionDatabase.h"
#include "tests/core/QtPrint.h"

#include "reception/EnvioRemoto.h"
#include "reception/FormularioRecepcion.h"

#include "core/Globals.h"
#include "db/DB_Dll.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "platform/suite/CmdDlg.h"
#include "platform/suite/Funciones.h"
#include "schema/Schema.h"

#include <QDir>
#include <QFileInfo>

namespace {

using recepcion::FormularioRecepcion;
using recepcion::kResponsable;
using recepcion::kTransmision;
using recepcion::kUbicacion;

PaqueteDePrueba paquete(const QString &descripcion = QStringLiteral("Unidad"))
{
    PaqueteDePrueba p;
    p.tabla("V_TA_UNIDAD", {"IdUnidad", "Descripcion", "RECEPCION", "TRANSMISION"}, {fila({"   1", descripcion})});
    return p;
}

class ReceptionForm : public ReceptionDatabaseTest {
protected:
    void SetUp() override
    {
        ReceptionDatabaseTest::SetUp();
        if (IsSkipped())
            return;
        m_form = std::make_unique<FormularioRecepcion>(gDB());
    }
    void TearDown() override
    {
        m_form.reset();
        recepcion::registrarEnvio({});
        platform::suite::CmdDlg::setChooser({});
        ReceptionDatabaseTest::TearDown();
    }
    FormularioRecepcion &form() { return *m_form; }
    QString zip() const { return QDir(home()).filePath(QStringLiteral("paquete.zip")); }
    // Types a number into box 0 and confirms it.
    void confirmar(const QString &numero)
    {
        form().txtFields[kTransmision].texto = numero;
        form().txtFields_KeyDown(kTransmision, 13);
    }
    std::unique_ptr<FormularioRecepcion> m_form;
};

TEST_P(ReceptionForm, ANewReceptionProposesTheNextNumberWithTheDetailOff)
{
    form().Form_Load();
    EXPECT_EQ(form().txtFields[kTransmision].texto, QStringLiteral("1"));
    exec("INSERT INTO MV_TRANSMISIONES (TIPO, TRANSMISION, responsable_recepcion) VALUES ('N', 3, 'Bea')");
    exec("INSERT INTO MV_TRANSMISIONES (TIPO, TRANSMISION) VALUES ('M', 9)");
    form().Inicializa();
    EXPECT_EQ(form().txtFields[kTransmision].texto, QStringLiteral("4"));
    const recepcion::BotonesBarra &b = form().UtilNet1;
    EXPECT_TRUE(b.cerrar);
    EXPECT_FALSE(b.grabar || b.cancelar || b.nuevo || b.consultar);
    EXPECT_FALSE(form().txtFields[kResponsable].habilitada);
    EXPECT_FALSE(form().optZIPEnabled);

    // A number not stored yet opens the detail (the next free number comes back).
    ModGlobal::gUsuarioLogeado = QStringLiteral("ana");
    confirmar(QStringLiteral("7"));
    EXPECT_EQ(form().txtFields[kTransmision].texto, QStringLiteral("4"));
    EXPECT_TRUE(form().UtilNet1.grabar && form().UtilNet1.cancelar);
    EXPECT_FALSE(form().UtilNet1.cerrar);
    EXPECT_EQ(form().txtFields[kResponsable].texto, QStringLiteral("ana"));
    EXPECT_FALSE(form().txtFields[kResponsable].habilitada);
    EXPECT_TRUE(form().txtFields[kUbicacion].habilitada);

    // A stored number shows that reception, detail off, Cancelar on.
    confirmar(QStringLiteral("3"));
    EXPECT_TRUE(form().ModoConsulta);
    EXPECT_EQ(form().txtFields[kResponsable].texto, QStringLiteral("Bea"));
    EXPECT_FALSE(form().UtilNet1.cerrar);
    EXPECT_TRUE(form().UtilNet1.cancelar);
    form().UtilNet1_click(QStringLiteral("cancelar"));
    EXPECT_FALSE(form().ModoConsulta);
    EXPECT_EQ(form().txtFields[kTransmision].texto, QStringLiteral("4"));
    for (const char *nada : {"NUEVO", "BORRAR", "PLANILLA", "REPORTE"})
        form().UtilNet1_click(QString::fromLatin1(nada));
    EXPECT_EQ(form().txtFields[kTransmision].texto, QStringLiteral("4"));
}

TEST_P(ReceptionForm, TheNumberBoxTakesDigitsOnly)
{
    form().Form_Load();
    EXPECT_EQ(form().txtFields_KeyPress(kTransmision, 'a'), 0);
    EXPECT_EQ(form().txtFields_KeyPress(kTransmision, '\''), 0);
    EXPECT_EQ(form().txtFields_KeyPress(kTransmision, '7'), '7');
    EXPECT_EQ(form().txtFields_KeyPress(kTransmision, 27), 27);
    EXPECT_EQ(form().txtFields_KeyPress(kResponsable, 'a'), 'a');
    operatorScript().expect("El Número de Recepción debe tener sólo dígitos!!!", platform::vbOK);
    confirmar(QStringLiteral("1 OR 1=1"));
    EXPECT_TRUE(form().estado().ProcesoCancelado);
    operatorScript().expect(" Debe informar el Número de Recepción!!!", platform::vbOK);
    confirmar(QString());
}

TEST_P(ReceptionForm, GrabarChecksTheBoxesAndSaysFinalizadoOnlyAfterACompleteRun)
{
    form().Form_Load();
    confirmar(QStringLiteral("1"));
    operatorScript().expect("Debe ingresar un Responsable de envío!!!", platform::vbOK);
    form().UtilNet1_click(QStringLiteral("GRABAR"));
    EXPECT_EQ(count("MV_TRANSMISIONES"), 0);

    confirmar(QStringLiteral("1"));
    form().txtFields[kResponsable].texto = QStringLiteral("Ana");
    form().txtFields[kUbicacion].texto = QDir(home()).filePath(QStringLiteral("no-esta.zip"));
    operatorScript().expect("Ruta o nombre de archivo inexistente!!!", platform::vbOK);
    form().UtilNet1_click(QStringLiteral("GRABAR"));

    ASSERT_TRUE(paquete().escribir(zip()).ok());
    confirmar(QStringLiteral("1"));
    form().txtFields[kResponsable].texto = QStringLiteral("Ana");
    form().txtFields[kUbicacion].texto = zip();
    operatorScript().expect("Finalizado", platform::vbOK);
    form().UtilNet1_click(QStringLiteral("GRABAR"));
    EXPECT_EQ(count("V_TA_UNIDAD"), 1);
    EXPECT_EQ(form().txtFields[kTransmision].texto, QStringLiteral("2"));
    EXPECT_TRUE(form().UtilNet1.cerrar);

    // Declined: the operator is told so, not "Finalizado".
    exec("UPDATE MV_TRANSMISIONES SET DbOrigen = 'CENTRAL'");
    PaqueteDePrueba otro = paquete();
    otro.origen(QStringLiteral("SUCURSAL"));
    ASSERT_TRUE(otro.escribir(zip()).ok());
    confirmar(QStringLiteral("2"));
    form().txtFields[kResponsable].texto = QStringLiteral("Ana");
    form().txtFields[kUbicacion].texto = zip();
    operatorScript().expect("ATENCION!", platform::vbNo);
    operatorScript().expect("Recepción cancelada (otra base de datos de origen)", platform::vbOK);
    form().UtilNet1_click(QStringLiteral("GRABAR"));
    EXPECT_EQ(count("MV_TRANSMISIONES"), 1);
}

TEST_P(ReceptionForm, GrabarRefusesTheNumberOfAStoredReception)
{
    exec("INSERT INTO MV_TRANSMISIONES (TIPO, TRANSMISION) VALUES ('N', 1)");
    ASSERT_TRUE(paquete().escribir(zip()).ok());
    form().Form_Load();
    confirmar(QStringLiteral("2"));
    form().txtFields[kTransmision].texto = QStringLiteral("1"); // the box stays editable
    form().txtFields[kResponsable].texto = QStringLiteral("Ana");
    form().txtFields[kUbicacion].texto = zip();
    operatorScript().expect("Ya existe la recepción N° 1", platform::vbOK);
    form().UtilNet1_click(QStringLiteral("GRABAR"));
    EXPECT_EQ(count("V_TA_UNIDAD"), 0);
    EXPECT_EQ(count("MV_TRANSMISIONES"), 1);
}

TEST_P(ReceptionForm, ThePathBoxLookupPicksAZipFile)
{
    form().Form_Load();
    confirmar(QStringLiteral("1"));
    QString filtro;
    platform::suite::CmdDlg::setChooser([&](const QString &, const QString &f) -> std::optional<QString> {
        filtro = f;
        return QStringLiteral("/datos/Archivos.zip");
    });
    form().txtFields_GotFocus(kUbicacion);
    EXPECT_TRUE(form().UtilNet1.consultar);
    form().txtFields_MouseDown(kUbicacion, 2);
    EXPECT_EQ(form().txtFields[kUbicacion].texto, QStringLiteral("/datos/Archivos.zip"));
    EXPECT_TRUE(filtro.contains(QStringLiteral("*.ZIP")));
    // The right button on a box without a lookup does nothing.
    form().txtFields_MouseDown(kResponsable, 2);
    EXPECT_EQ(form().txtFields[kResponsable].texto, QString());
}

// A sending that builds its package from the database it finds connected.
class EnvioDePrueba : public recepcion::EnvioMaestros {
public:
    explicit EnvioDePrueba(QString esperada) : m_esperada(std::move(esperada)) {}
    platform::Result<QString> enviar(const recepcion::PedidoEnvio &pedido) override
    {
        conectadaA = gDB().gDBName;
        responsable = pedido.responsable;
        precios = pedido.precios;
        const QString zip = QDir(pedido.carpeta).filePath(QStringLiteral("Archivos.zip"));
        if (!paquete(QStringLiteral("Desde la empresa")).escribir(zip).ok())
            return platform::Result<QString>::failure(QStringLiteral("no se pudo armar el paquete"));
        return zip;
    }
    QString conectadaA, responsable;
    bool precios = false;

private:
    QString m_esperada;
};

TEST_P(ReceptionForm, ReceivesFromAnotherCompanysDatabaseAndComesBack)
{
    const QString empresa = QDir(home()).filePath(QStringLiteral("empresa.db"));
    {
        ado::Connection cnn;
        cnn.Open(QStringLiteral("Provider=SQLite;Data Source=%1;Mode=Create").arg(empresa));
        ASSERT_TRUE(schema::createSuiteDatabase(cnn).ok());
    }
    ASSERT_TRUE(platform::textfile::writeLines(
                    QDir(home()).filePath(QStringLiteral("BASES.TXT")),
                    {QStringLiteral("EMPRESA2,%1,ana,%2,!").arg(empresa, platform::suite::gFunciones().Codificar(""))})
                    .ok());
    qputenv("TEMP", home().toUtf8());
    form().Form_Load();
    EXPECT_EQ(form().CmbEmpresasItems, (QStringList{QString(), QStringLiteral("EMPRESA2")}));
    confirmar(QStringLiteral("1"));
    form().txtFields[kResponsable].texto = QStringLiteral("Ana");
    form().optDB_Click();
    form().chkPrecios = true;

    // No company chosen, or a name BASES.TXT does not hold.
    for (const QString &nombre : {QString(), QStringLiteral("OTRA")}) {
        form().CmbEmpresasTexto = nombre;
        operatorScript().expect("Debe seleccionar una empresa...", platform::vbOK);
        form().UtilNet1_click(QStringLiteral("GRABAR"));
    }
    // Without a sending in this program the road says so and keeps the connection.
    form().CmbEmpresasTexto = QStringLiteral("empresa2");
    operatorScript().expect("no está disponible", platform::vbOK);
    form().UtilNet1_click(QStringLiteral("GRABAR"));

    auto *envio = new EnvioDePrueba(empresa);
    recepcion::registrarEnvio([envio] { return std::unique_ptr<recepcion::EnvioMaestros>(envio); });
    confirmar(QStringLiteral("1"));
    form().txtFields[kResponsable].texto = QStringLiteral("Ana");
    operatorScript().expect("Finalizado", platform::vbOK);
    form().UtilNet1_click(QStringLiteral("GRABAR"));
    EXPECT_EQ(envio->conectadaA, empresa);
    EXPECT_EQ(envio->responsable, QStringLiteral("Ana"));
    EXPECT_TRUE(envio->precios);
    // Back on the local database, where the package was received.
    EXPECT_TRUE(gDB().gOpenFlag);
    EXPECT_EQ(gDB().gConnString, connectionString());
    EXPECT_EQ(scalar("SELECT Descripcion FROM V_TA_UNIDAD"), QStringLiteral("Desde la empresa"));
    // Built in a folder of the run's own in TEMP, gone with the run.
    const QString ubicacion = scalar("SELECT ubicacion_archivo FROM MV_TRANSMISIONES");
    EXPECT_TRUE(ubicacion.startsWith(QDir(home()).filePath(QStringLiteral("imaestros-camino-"))))
        << ubicacion.toStdString();
    EXPECT_TRUE(ubicacion.endsWith(QStringLiteral("/Archivos.zip"))) << ubicacion.toStdString();
    EXPECT_FALSE(QFileInfo::exists(ubicacion));
    qunsetenv("TEMP");
}

IMAESTROS_DATABASE_TESTS(ReceptionForm);

} // namespace
