// The sending form: its boxes, checks, toolbar states and commands, the incomplete-sending
// warning; the form's widgets offscreen.

#include "SendingDatabase.h"

#include "tests/core/QtPrint.h"

#include "sending/FormularioEnvio.h"
#include "sending/ui/FrmEnvioIMaestros.h"

#include "core/Globals.h"
#include "db/DB_Dll.h"
#include "toolbar/ui/UtilNet.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>

namespace {

using envio::FormularioEnvio;

QApplication &app()
{
    static int argc = 1;
    static char name[] = "test_sending_form";
    static char *argv[] = {name, nullptr};
    static auto *application = new QApplication(argc, argv);
    return *application;
}

// Which toolbar buttons are enabled, as one text: N B R C P G X E (Nuevo ... Cerrar).
QString botones(const FormularioEnvio::Botones &b)
{
    QString t;
    for (auto [activo, letra] : {std::pair{b.Nuevo, 'N'},
                                 {b.Borrar, 'B'},
                                 {b.Reporte, 'R'},
                                 {b.Consulta, 'C'},
                                 {b.Planilla, 'P'},
                                 {b.Grabar, 'G'},
                                 {b.Cancelar, 'X'},
                                 {b.Cerrar, 'E'}})
        t += activo ? QChar::fromLatin1(letra) : QLatin1Char('-');
    return t;
}

class FormularioTest : public SendingDatabaseTest {
protected:
    void SetUp() override
    {
        SendingDatabaseTest::SetUp();
        if (IsSkipped())
            return;
        exec(
            QStringLiteral("INSERT INTO MV_TRANSMISIONES (TIPO, TRANSMISION, FECHA, HORA, Responsable_Envio, LOG, "
                           "FECHAFIN) VALUES ('M', 4, '2020-12-31', '10:00:00', 'Luis', 'V_TA_UNIDAD', '31/12/2020')"));
        exec(QStringLiteral("INSERT INTO MV_TRANSMISIONES (TIPO, TRANSMISION) VALUES ('N', 9)"));
    }
    FormularioEnvio &f()
    {
        if (!m_f) {
            m_f = std::make_unique<FormularioEnvio>(gDB());
            m_f->Inicializa();
        }
        return *m_f;
    }
    void TearDown() override
    {
        m_f.reset();
        SendingDatabaseTest::TearDown();
    }
    std::unique_ptr<FormularioEnvio> m_f;
};

TEST_P(FormularioTest, ANewTransmissionProposesTheNextSendingNumber)
{
    EXPECT_EQ(f().txtFields[0].texto, QStringLiteral("5")); // sendings are numbered apart from receptions
    EXPECT_EQ(botones(f().UtilNet1), QStringLiteral("-------E"));
    EXPECT_FALSE(f().txtFields[1].habilitada);
    EXPECT_FALSE(f().Frame2);
}

TEST_P(FormularioTest, AnUnknownNumberBecomesTheNextOneAndOpensTheDetails)
{
    ModGlobal::gUsuarioLogeado = QStringLiteral("ana");
    f().txtFields[0].texto = QStringLiteral("77");
    f().CampoValida(0);
    EXPECT_FALSE(f().HuboError());
    EXPECT_EQ(f().txtFields[0].texto, QStringLiteral("5"));
    EXPECT_EQ(botones(f().UtilNet1), QStringLiteral("-----GX-"));
    EXPECT_TRUE(f().Frame2);
    EXPECT_EQ(f().txtFields[1].texto, QStringLiteral("ana")); // the logged-in user, not editable
    EXPECT_FALSE(f().txtFields[1].habilitada);
    EXPECT_FALSE(f().txtFields[2].habilitada);
}

TEST_P(FormularioTest, AnExistingNumberShowsThatSendingUntilCancelled)
{
    f().txtFields[0].texto = QStringLiteral("4");
    f().CampoValida(0);
    EXPECT_TRUE(f().ModoConsulta);
    EXPECT_EQ(f().txtFields[1].texto, QStringLiteral("Luis"));
    EXPECT_EQ(botones(f().UtilNet1), QStringLiteral("------X-"));
    EXPECT_EQ(f().UtilNet1_click(QStringLiteral("cancelar")), FormularioEnvio::Accion::FocoNumero);
    EXPECT_FALSE(f().ModoConsulta);
    EXPECT_EQ(f().txtFields[0].texto, QStringLiteral("5"));
    EXPECT_EQ(botones(f().UtilNet1), QStringLiteral("-------E"));
}

TEST_P(FormularioTest, TheNumberMustBeDigitsAndTheResponsibleIsNeededToSend)
{
    for (const char *numero : {"", "4 OR 1=1", "1234567890"}) {
        operatorScript().expect(QStringLiteral(" Debe informar el Número de Transmisión!!!"), platform::vbOK);
        f().txtFields[0].texto = QString::fromLatin1(numero);
        f().CampoValida(0);
        EXPECT_TRUE(f().HuboError()) << numero;
        EXPECT_EQ(f().focoPedido(), 0);
    }
    f().txtFields[0].texto = QStringLiteral("5");
    f().CampoValida(1); // an empty responsible passes outside GRABAR
    EXPECT_FALSE(f().HuboError());
    bool avisado = false;
    f().setAlTerminarGrabar([&](bool hecho) { avisado = !hecho; });
    operatorScript().expect(QStringLiteral("Debe ingresar un Responsable de envío!!!"), platform::vbOK);
    EXPECT_EQ(f().UtilNet1_click(QStringLiteral("GRABAR")), FormularioEnvio::Accion::Nada);
    EXPECT_FALSE(f().PFinalizado);
    EXPECT_TRUE(avisado);
    EXPECT_EQ(count(QStringLiteral("MV_TRANSMISIONES")), 2);
}

TEST_P(FormularioTest, GrabarBuildsThePackageAndStartsOver)
{
    pruebas::llenarMaestros(cnn(), 1);
    f().Dir1_Change(carpeta(QStringLiteral("salida")));
    f().txtFields[1].texto = QStringLiteral("Ana");
    bool hecho = false;
    f().setAlTerminarGrabar([&](bool h) { hecho = h; });
    EXPECT_EQ(f().UtilNet1_click(QStringLiteral("GRABAR")), FormularioEnvio::Accion::FocoNumero);
    EXPECT_TRUE(hecho);
    EXPECT_TRUE(f().PFinalizado);
    EXPECT_EQ(f().txtFields[0].texto, QStringLiteral("6"));
    EXPECT_EQ(f().envio().RegistrosEnviados, 0);
    EXPECT_TRUE(QFile::exists(QDir(carpeta(QStringLiteral("salida"))).filePath(QStringLiteral("Archivos.zip"))));
    EXPECT_EQ(
        scalar(QStringLiteral("SELECT ubicacion_archivo FROM MV_TRANSMISIONES WHERE TIPO = 'M' AND TRANSMISION = 5")),
        QDir(carpeta(QStringLiteral("salida"))).filePath(QStringLiteral("*.dat")));
}

// Reported once per loading, without offering a cancellation that could undo nothing.
TEST_P(FormularioTest, AnIncompleteSendingIsReportedOnce)
{
    exec(QStringLiteral("INSERT INTO MV_TRANSMISIONES (TIPO, TRANSMISION, FECHA, HORA, Responsable_Envio, LOG) "
                        "VALUES ('M', 3, '2021-02-01', '08:00:00', 'Eva', 'V_TA_UNIDAD')"));
    exec(QStringLiteral("INSERT INTO MV_TRANSMISIONES (TIPO, TRANSMISION, FECHA, HORA, Responsable_Envio, LOG) "
                        "VALUES ('M', 2, '2005-09-27', '08:00:00', 'Viejo', 'V_TA_UNIDAD')"));
    operatorScript().expect(QStringLiteral("Se ha detectado una transmision incompleta!\r\n Numero: 3 Fecha: "
                                           "01/02/2021 08:00:00 Usuario:Eva"),
                            platform::vbOK);
    ASSERT_FALSE(f().cargar());
    f().activar();
    f().activar();
    const platform::Question &pregunta = operatorScript().asked().last();
    EXPECT_EQ(pregunta.style, platform::vbOKOnly | platform::vbCritical);
    EXPECT_EQ(pregunta.title, QStringLiteral("Atencion!"));
    EXPECT_FALSE(pregunta.text.contains(QStringLiteral("anular")));
}

TEST_P(FormularioTest, RetailTicksBothPriceOptions)
{
    exec(QStringLiteral("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES ('RETAIL', 'si')"));
    ASSERT_FALSE(f().cargar());
    EXPECT_TRUE(f().chkPrecios);
    EXPECT_TRUE(f().ChkListas);
}

IMAESTROS_DATABASE_TESTS(FormularioTest);

class FormularioVentana : public SendingDatabaseTest {};

TEST_P(FormularioVentana, TheNumberBoxTakesDigitsAndEnterOpensTheDetails)
{
    app();
    FrmEnvioIMaestros form;
    ASSERT_FALSE(form.Form_Load(false));
    form.show();
    auto *numero = form.findChildren<QLineEdit *>().value(0);
    ASSERT_NE(numero, nullptr);
    numero->setFocus();
    numero->clear();
    QTest::keyClicks(numero, QStringLiteral("8a;9"));
    EXPECT_EQ(numero->text(), QStringLiteral("89"));
    QTest::keyClick(numero, Qt::Key_Return);
    EXPECT_EQ(numero->text(), QStringLiteral("1"));
    EXPECT_TRUE(form.logica().UtilNet1.Grabar);
    // Esc reaches the toolbar from a box: Cancelar starts over.
    numero->setFocus();
    QTest::keyClick(numero, Qt::Key_Escape);
    EXPECT_FALSE(form.logica().UtilNet1.Grabar);
    EXPECT_TRUE(form.logica().UtilNet1.Cerrar);
}

IMAESTROS_DATABASE_TESTS(FormularioVentana);

} // namespace
