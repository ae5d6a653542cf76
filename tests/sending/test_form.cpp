// The sending form: its boxes, checks, toolbar states and commands, the incomplete-sending
// warning; the form's widgets offscreen.

#include "SendingDatabase.h"

#include "tests/core/QtPrint.h"

#include "sending/FormularioEnvio.h"
#include "sending/ui/FrmEnvioIMaestros.h"

#include "core/Acceso.h"
#include "core/Globals.h"
#include "core/SharedLookup.h"
#include "db/DB_Dll.h"
#include "toolbar/ui/UtilNet.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

#include <functional>

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

// The form says how the sending ended and keeps the list of the tables sent in view.
TEST_P(FormularioTest, GrabarBuildsThePackageSaysSoAndStartsOver)
{
    pruebas::llenarMaestros(cnn(), 1);
    f().Dir1_Change(carpeta(QStringLiteral("salida")));
    f().txtFields[1].texto = QStringLiteral("Ana");
    bool hecho = false;
    f().setAlTerminarGrabar([&](bool h) { hecho = h; });
    const QString zip = QDir(carpeta(QStringLiteral("salida"))).filePath(QStringLiteral("Archivos.zip"));
    operatorScript().expect(QStringLiteral("Envío finalizado\r\n\r\nTransmisión N°: 5\r\nTablas enviadas: 27\r\n"
                                           "Registros enviados: 27\r\nPaquete: ")
                                + zip,
                            platform::vbOK);
    EXPECT_EQ(f().UtilNet1_click(QStringLiteral("GRABAR")), FormularioEnvio::Accion::FocoNumero);
    EXPECT_TRUE(hecho);
    EXPECT_TRUE(f().PFinalizado);
    EXPECT_EQ(f().txtFields[0].texto, QStringLiteral("6"));
    EXPECT_EQ(f().envio().RegistrosEnviados, 0);
    EXPECT_TRUE(f().txtLog.startsWith(QStringLiteral("TABLAS TRANSMITIDAS")));
    EXPECT_TRUE(f().txtLog.contains(QStringLiteral("V_MA_PRECIOS")));
    EXPECT_TRUE(QFile::exists(zip));
    EXPECT_EQ(
        scalar(QStringLiteral("SELECT ubicacion_archivo FROM MV_TRANSMISIONES WHERE TIPO = 'M' AND TRANSMISION = 5")),
        QDir(carpeta(QStringLiteral("salida"))).filePath(QStringLiteral("*.dat")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT registros_enviados FROM MV_TRANSMISIONES WHERE TIPO = 'M' AND "
                                    "TRANSMISION = 5")),
              QStringLiteral("27"));
    // Cancelar starts over: the list goes.
    f().UtilNet1_click(QStringLiteral("CANCELAR"));
    EXPECT_EQ(f().txtLog, QString());
}

// With nothing left to send, a package already in the folder is replaced only on Yes; on No
// it stays as it was, the sending's row is cancelled and the form takes the next number.
TEST_P(FormularioTest, NothingToSendAsksBeforeReplacingThePackage)
{
    const QString salida = carpeta(QStringLiteral("salida"));
    const QString zip = QDir(salida).filePath(QStringLiteral("Archivos.zip"));
    f().Dir1_Change(salida);
    f().txtFields[1].texto = QStringLiteral("Ana");
    // No package there yet: it is made, without rows, and the closing message says so.
    operatorScript().expect(QStringLiteral("No había registros para enviar"), platform::vbOK);
    EXPECT_EQ(f().UtilNet1_click(QStringLiteral("GRABAR")), FormularioEnvio::Accion::FocoNumero);
    ASSERT_TRUE(QFile::exists(zip));

    // The real package, then a second Grabar with nothing left to send.
    pruebas::llenarMaestros(cnn(), 1);
    f().txtFields[1].texto = QStringLiteral("Ana");
    operatorScript().expect(QStringLiteral("Registros enviados: 27"), platform::vbOK);
    f().UtilNet1_click(QStringLiteral("GRABAR"));
    QFile real(zip);
    ASSERT_TRUE(real.open(QIODevice::ReadOnly));
    const QByteArray contenido = real.readAll();
    real.close();
    f().txtFields[1].texto = QStringLiteral("Ana");
    operatorScript().expect(QStringLiteral("No hay registros para enviar.\r\n¿Desea reemplazar el paquete ") + zip,
                            platform::vbNo);
    bool hecho = true;
    f().setAlTerminarGrabar([&](bool h) { hecho = h; });
    EXPECT_EQ(f().UtilNet1_click(QStringLiteral("GRABAR")), FormularioEnvio::Accion::FocoNumero);
    EXPECT_FALSE(hecho);
    EXPECT_EQ(operatorScript().asked().last().style,
              platform::vbYesNo | platform::vbExclamation | platform::vbDefaultButton2);
    ASSERT_TRUE(real.open(QIODevice::ReadOnly));
    EXPECT_EQ(real.readAll(), contenido);
    real.close();
    EXPECT_EQ(
        count(QStringLiteral("MV_TRANSMISIONES"), QStringLiteral("TIPO = 'M' AND TRANSMISION = 7 AND ANULADO = 1")), 1);
    EXPECT_EQ(f().txtFields[0].texto, QStringLiteral("8"));

    // Yes replaces it.
    f().txtFields[1].texto = QStringLiteral("Ana");
    operatorScript().expect(QStringLiteral("No hay registros para enviar."), platform::vbYes);
    operatorScript().expect(QStringLiteral("No había registros para enviar"), platform::vbOK);
    EXPECT_EQ(f().UtilNet1_click(QStringLiteral("GRABAR")), FormularioEnvio::Accion::FocoNumero);
    EXPECT_TRUE(hecho);
    ASSERT_TRUE(real.open(QIODevice::ReadOnly));
    EXPECT_NE(real.readAll(), contenido);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM MV_TRANSMISIONES WHERE TIPO = 'M' AND TRANSMISION = 8 AND "
                                    "FECHAFIN IS NOT NULL")),
              QStringLiteral("1"));
}

// Reported once per loading with Yes and No: No leaves it, Yes marks it cancelled, after which
// it is not reported again.
TEST_P(FormularioTest, AnIncompleteSendingIsReportedOnceAndCancelledOnYes)
{
    exec(QStringLiteral("INSERT INTO MV_TRANSMISIONES (TIPO, TRANSMISION, FECHA, HORA, Responsable_Envio, LOG) "
                        "VALUES ('M', 3, '2021-02-01', '08:00:00', 'Eva', 'V_TA_UNIDAD')"));
    exec(QStringLiteral("INSERT INTO MV_TRANSMISIONES (TIPO, TRANSMISION, FECHA, HORA, Responsable_Envio, LOG) "
                        "VALUES ('M', 2, '2005-09-27', '08:00:00', 'Viejo', 'V_TA_UNIDAD')"));
    const QString aviso = QStringLiteral("Se ha detectado una transmision incompleta!\r\n Numero: 3 Fecha: "
                                         "01/02/2021 08:00:00 Usuario:Eva\r\n-Desea anular los registros incompletos?");
    for (const int respuesta : {platform::vbNo, platform::vbYes}) {
        operatorScript().expect(aviso, respuesta);
        FormularioEnvio formulario(gDB());
        ASSERT_FALSE(formulario.cargar());
        formulario.activar();
        formulario.activar();
        const platform::Question &pregunta = operatorScript().asked().last();
        EXPECT_EQ(pregunta.style, platform::vbYesNo | platform::vbCritical);
        EXPECT_EQ(pregunta.title, QStringLiteral("Atencion!"));
        EXPECT_EQ(count(QStringLiteral("MV_TRANSMISIONES"), QStringLiteral("TRANSMISION = 3 AND ANULADO = 1")),
                  respuesta == platform::vbYes ? 1 : 0);
    }
    FormularioEnvio despues(gDB()); // nothing to report any more
    ASSERT_FALSE(despues.cargar());
    despues.activar();
    EXPECT_EQ(operatorScript().asked().size(), 2);
    EXPECT_EQ(count(QStringLiteral("MV_TRANSMISIONES"), QStringLiteral("ANULADO = 1")), 1);
}

// Each failed sending leaves its row incomplete: they are reported in one question, and Yes
// cancels each of them, and no completed sending.
TEST_P(FormularioTest, IncompleteSendingsAreReportedTogetherAndCancelledAtOnce)
{
    for (const char *fila : {"('M', 3, '2021-02-01', '08:00:00', 'Eva', 'V_TA_UNIDAD', NULL)",
                             "('M', 6, '2021-02-02', '09:00:00', 'Eva', 'V_TA_UNIDAD', NULL)",
                             "('M', 7, '2021-02-02', '09:30:00', 'Eva', 'V_TA_UNIDAD', NULL)",
                             "('M', 8, '2021-02-02', '10:00:00', 'Eva', 'V_TA_UNIDAD', '02/02/2021 10:05')"})
        exec(QStringLiteral("INSERT INTO MV_TRANSMISIONES (TIPO, TRANSMISION, FECHA, HORA, Responsable_Envio, LOG, "
                            "FECHAFIN) VALUES ")
             + QLatin1String(fila));
    operatorScript().expect(QStringLiteral("Se han detectado 3 transmisiones incompletas!\r\n Numero: 3 Fecha: "
                                           "01/02/2021 08:00:00 Usuario:Eva\r\n Numero: 6 Fecha: 02/02/2021 "
                                           "09:00:00 Usuario:Eva\r\n Numero: 7 Fecha: 02/02/2021 09:30:00 "
                                           "Usuario:Eva\r\n-Desea anular los registros incompletos?"),
                            platform::vbYes);
    FormularioEnvio formulario(gDB());
    ASSERT_FALSE(formulario.cargar());
    formulario.activar();
    EXPECT_EQ(operatorScript().asked().size(), 1);
    EXPECT_EQ(count(QStringLiteral("MV_TRANSMISIONES"), QStringLiteral("ANULADO = 1")), 3);
    EXPECT_EQ(count(QStringLiteral("MV_TRANSMISIONES"), QStringLiteral("FECHAFIN IS NOT NULL AND ANULADO = 1")), 0);
}

// A failed sending says so where the run showed its progress: what failed, and that nothing
// was packed or stamped; the bar goes back to the start.
TEST_P(FormularioTest, AFailedSendingSaysSoOnTheForm)
{
    struct Vista : envio::VistaEnvio {
        QString texto;
        double porcentaje = -1;
        void actualizando(const QString &t) override { texto = t; }
        void avance(double p) override { porcentaje = p; }
    } vista;
    f().setVista(&vista);
    pruebas::llenarMaestros(cnn(), 1);
    f().Dir1_Change(QDir(home()).filePath(QStringLiteral("no-existe")));
    f().txtFields[1].texto = QStringLiteral("Ana");
    operatorScript().expect(QStringLiteral("No se puede escribir el paquete"), platform::vbAbort);
    EXPECT_EQ(f().UtilNet1_click(QStringLiteral("GRABAR")), FormularioEnvio::Accion::Nada);
    EXPECT_TRUE(f().HuboError());
    EXPECT_EQ(f().txtFields[0].texto, QStringLiteral("5")); // the number stays for another try
    EXPECT_TRUE(vista.texto.startsWith(QStringLiteral("Envío fallido: No se puede escribir el paquete")))
        << vista.texto.toStdString();
    EXPECT_TRUE(vista.texto.endsWith(QStringLiteral("No se generó el paquete ni se marcó ninguna fila como enviada.")))
        << vista.texto.toStdString();
    EXPECT_EQ(vista.porcentaje, 0);
    EXPECT_EQ(count(QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("TRANSMISION = 5")), 0);
    f().setVista(nullptr);
}

// On the desktop the folder list starts at the unattended sending's ENVIAR folder.
TEST_P(FormularioTest, TheFolderListStartsAtTheSendingFolder)
{
    ASSERT_FALSE(f().cargar());
    EXPECT_EQ(f().Dir1, QDir(home()).filePath(QStringLiteral("ENVIAR")));
    EXPECT_TRUE(QFileInfo(f().Dir1).isDir());
}

TEST_P(FormularioTest, RetailTicksBothPriceOptions)
{
    exec(QStringLiteral("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES ('RETAIL', 'si')"));
    ASSERT_FALSE(f().cargar());
    EXPECT_TRUE(f().chkPrecios);
    EXPECT_TRUE(f().ChkListas);
}

// A lookup that chooses the second list offered.
class ConsultaFija : public SharedLookup {
public:
    void ConsultaSearch(const QString &SQL, QStringList *, const QString &, QString *, QString *, const QString &, bool,
                        const QString &) override
    {
        sentencias() << SQL;
        ValorDevuelto = QStringLiteral("   2");
    }
    static QStringList &sentencias()
    {
        static QStringList s;
        return s;
    }
};

TEST_P(FormularioTest, TheListBoxOffersThePriceListsAndTakesTheChoice)
{
    ConsultaFija::sentencias().clear();
    setLookupFactory([] { return std::make_unique<ConsultaFija>(); });
    f().IndiceActual = FormularioEnvio::kTransmision;
    EXPECT_EQ(f().ConsultarCampo(), FormularioEnvio::Accion::Nada); // the number box offers no lookup
    f().IndiceActual = FormularioEnvio::kLista;
    EXPECT_EQ(f().UtilNet1_click(QStringLiteral("CONSULTAR")), FormularioEnvio::Accion::PasarFoco);
    EXPECT_EQ(f().txtFields[FormularioEnvio::kLista].texto, QStringLiteral("2"));
    EXPECT_EQ(ConsultaFija::sentencias(),
              QStringList{QStringLiteral("select DESCRIPCION,IDLISTA from V_MA_PRECIOSCAB ")});
    EXPECT_TRUE(gConsulta().gRutaMascaraConsultas.endsWith(QStringLiteral("CONSULTAS.VKR")));
    setLookupFactory(nullptr);
    releaseConsulta();
}

IMAESTROS_DATABASE_TESTS(FormularioTest);

// Runs `accion` once, from the event loop, as soon as `condicion` holds: during a sending
// this is one of the run's turns of the event loop, where the operator's keys and clicks
// arrive.
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

// The sending form's window, offscreen, worked with keys and clicks; closing it ends the
// program (counted here).
class FormularioVentana : public SendingDatabaseTest {
protected:
    void SetUp() override
    {
        app();
        SendingDatabaseTest::SetUp();
        FrmEnvioIMaestros::setTerminarPrograma([this] { ++m_finales; });
    }
    void TearDown() override
    {
        FrmEnvioIMaestros::setTerminarPrograma(nullptr);
        SendingDatabaseTest::TearDown();
    }
    void mostrar(FrmEnvioIMaestros &form)
    {
        ASSERT_FALSE(form.Form_Load(false));
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }
    // The number confirmed and the person typed, as the operator does before Grabar.
    void llenar(FrmEnvioIMaestros &form)
    {
        QTest::keyClick(form.txtFields[0], Qt::Key_Return);
        QTest::keyClicks(form.txtFields[1], QStringLiteral("Ana"));
    }
    QWidget *boton(FrmEnvioIMaestros &form, toolbar::Boton b)
    {
        return form.UtilNet1->toolBar()->widgetForAction(form.UtilNet1->action(b));
    }
    QString paquete() const { return QDir(home()).filePath(QStringLiteral("ENVIAR/Archivos.zip")); }
    long sellados()
    {
        return count(QStringLiteral("V_TA_UNIDAD"), QStringLiteral("TRANSMISION <> 0"))
            + count(QStringLiteral("MA_ARTICULOS"), QStringLiteral("TRANSMISION <> 0"));
    }
    int m_finales = 0;
};

TEST_P(FormularioVentana, TheNumberBoxTakesDigitsAndEnterOpensTheDetails)
{
    FrmEnvioIMaestros form;
    mostrar(form);
    QLineEdit *numero = form.txtFields[0];
    EXPECT_TRUE(numero->hasFocus());
    numero->clear();
    QTest::keyClicks(numero, QStringLiteral("8a;9"));
    EXPECT_EQ(numero->text(), QStringLiteral("89"));
    QTest::keyClick(numero, Qt::Key_Return);
    EXPECT_EQ(numero->text(), QStringLiteral("1"));
    EXPECT_TRUE(form.logica().UtilNet1.Grabar);
    EXPECT_TRUE(form.txtFields[1]->hasFocus()); // the next box the operator can change
    // Esc reaches the toolbar from a box: Cancelar starts over.
    QTest::keyClick(form.txtFields[1], Qt::Key_Escape);
    EXPECT_FALSE(form.logica().UtilNet1.Grabar);
    EXPECT_TRUE(form.logica().UtilNet1.Cerrar);
    EXPECT_TRUE(numero->hasFocus());
    // A logged-in user fills the person's box, locked: the focus goes on to the list box.
    ModGlobal::gUsuarioLogeado = QStringLiteral("ana");
    QTest::keyClick(numero, Qt::Key_Return);
    EXPECT_EQ(form.txtFields[1]->text(), QStringLiteral("ana"));
    EXPECT_FALSE(form.txtFields[1]->isEnabled());
    EXPECT_TRUE(form.txtFields[3]->hasFocus());
}

// While a sending runs the form offers only its interruption: the boxes and options are
// locked, Grabar and Cancelar do nothing, and the count stored at the end is the real one.
TEST_P(FormularioVentana, ASendingLocksTheFormUntilItEnds)
{
    pruebas::llenarMaestros(cnn(), 2);
    FrmEnvioIMaestros form;
    mostrar(form);
    llenar(form);
    bool bloqueada = false;
    AlLlegar enRubros(
        [&] { return form.lblActualizando->text().startsWith(QStringLiteral("Generando Archivo V_TA_RUBROS")); },
        [&] {
            bloqueada = !form.txtFields[0]->isEnabled() && !form.txtFields[1]->isEnabled()
                && !form.txtFields[3]->isEnabled() && !form.Frame2->isEnabled() && !form.Dir1->isEnabled()
                && !form.UtilNet1->GrabarEnabled() && !form.UtilNet1->CancelarEnabled()
                && form.UtilNet1->CerrarEnabled();
            QTest::keyClick(&form, Qt::Key_F2);
            QTest::mouseClick(boton(form, toolbar::Boton::Cancelar), Qt::LeftButton);
            QTest::keyClick(form.txtFields[0], Qt::Key_Return);
            QTest::keyClick(&form, Qt::Key_Escape); // Cerrar: the question, answered No
        });
    operatorScript().expect(QStringLiteral("¿Desea interrumpir el envío"), platform::vbNo);
    operatorScript().expect(QStringLiteral("Envío finalizado"), platform::vbOK);
    QTest::mouseClick(boton(form, toolbar::Boton::Grabar), Qt::LeftButton);
    ASSERT_TRUE(enRubros.hecho());
    EXPECT_TRUE(bloqueada);
    EXPECT_EQ(operatorScript().asked()[0].style, platform::vbYesNo | platform::vbQuestion | platform::vbDefaultButton2);
    const long filas = form.logica().ultimoEnvio().filas;
    EXPECT_GT(filas, 27);
    EXPECT_EQ(scalar(QStringLiteral("SELECT registros_enviados FROM MV_TRANSMISIONES WHERE TRANSMISION = 1")),
              QString::number(filas));
    EXPECT_EQ(count(QStringLiteral("MV_TRANSMISIONES")), 1);
    EXPECT_TRUE(QFile::exists(paquete()));
    EXPECT_EQ(form.txtFields[0]->text(), QStringLiteral("2"));
    EXPECT_TRUE(form.txtFields[0]->isEnabled());
    EXPECT_TRUE(form.txtLog->toPlainText().contains(QStringLiteral("V_MA_PRECIOS")));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(m_finales, 0);
}

// Yes to the question: the sending stops at its next row (its stamps, when it is writing
// them, rolled back), leaves no package and no stamp, its row incomplete; then the form
// closes and the run's access row gets its exit time.
TEST_P(FormularioVentana, InterruptingASendingStopsItAndCloses)
{
    enum class Forma { Esc, Cerrar, CasillaCerrar };
    struct Caso {
        const char *nombre;
        Forma forma;
        const char *momento; // the progress caption the interruption waits for; none: the packing
        const char *log;     // the tables the row lists; none: all of them
    };
    const Caso casos[] = {
        {"Esc in the second table", Forma::Esc, "Generando Archivo V_TA_RUBROS", "V_TA_UNIDAD"},
        {"Cerrar in the second table", Forma::Cerrar, "Generando Archivo V_TA_RUBROS", "V_TA_UNIDAD"},
        {"close box in the second table", Forma::CasillaCerrar, "Generando Archivo V_TA_RUBROS", "V_TA_UNIDAD"},
        {"close box while stamping", Forma::CasillaCerrar, "Actualizando Transmisión", nullptr},
        {"Esc while packing a retransmission (nothing to stamp after it)", Forma::Esc, nullptr, nullptr},
    };
    // The package is packed in a folder of its own inside the private one.
    const auto empaquetando = [this] {
        const QDir enviar(QDir(home()).filePath(QStringLiteral("ENVIAR")));
        for (const QString &privada : enviar.entryList({QStringLiteral(".imaestros-envio-*")},
                                                       QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)) {
            if (QDir(enviar.filePath(privada)).exists(QStringLiteral("zip")))
                return true;
        }
        return false;
    };
    pruebas::llenarMaestros(cnn(), 2);
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.nombre);
        exec(QStringLiteral("DELETE FROM MV_TRANSMISIONES"));
        exec(QStringLiteral("DELETE FROM Control_Acceso"));
        DB_Dll &db = gDB(); // the last case's closing released it
        db.gUsuario = QStringLiteral("ana");
        db.OpenServerADODB(false, 3, connectionString(), false, false);
        ASSERT_TRUE(db.gOpenFlag);
        ASSERT_TRUE(ModGlobal::RegistrarAcceso(QString()));
        m_finales = 0;

        auto form = std::make_unique<FrmEnvioIMaestros>();
        mostrar(*form);
        llenar(*form);
        if (!caso.momento)
            QTest::mouseClick(form->ChkMovimientos, Qt::LeftButton, {}, QPoint(5, form->ChkMovimientos->height() / 2));
        FrmEnvioIMaestros *f = form.get();
        AlLlegar interrumpir(
            [&] {
                return caso.momento ? f->lblActualizando->text().startsWith(QString::fromUtf8(caso.momento))
                                    : empaquetando();
            },
            [&] {
                switch (caso.forma) {
                case Forma::Esc:
                    QTest::keyClick(f, Qt::Key_Escape);
                    break;
                case Forma::Cerrar:
                    QTest::mouseClick(boton(*f, toolbar::Boton::Cerrar), Qt::LeftButton);
                    break;
                case Forma::CasillaCerrar:
                    f->close();
                    break;
                }
            });
        operatorScript().expect(QStringLiteral("¿Desea interrumpir el envío"), platform::vbYes);
        QTest::mouseClick(boton(*form, toolbar::Boton::Grabar), Qt::LeftButton);
        ASSERT_TRUE(interrumpir.hecho());

        EXPECT_EQ(m_finales, 1);
        EXPECT_FALSE(form->isVisible());
        EXPECT_EQ(sellados(), 0);
        EXPECT_FALSE(QFile::exists(paquete()));
        EXPECT_EQ(QDir(QDir(home()).filePath(QStringLiteral("ENVIAR")))
                      .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList());
        EXPECT_EQ(scalar(QStringLiteral("SELECT FECHAFIN FROM MV_TRANSMISIONES WHERE TIPO = 'M'")),
                  QStringLiteral("<null>"));
        const QString log = scalar(QStringLiteral("SELECT LOG FROM MV_TRANSMISIONES WHERE TIPO = 'M'"));
        if (caso.log)
            EXPECT_EQ(log, QString::fromLatin1(caso.log));
        else
            EXPECT_TRUE(log.endsWith(QStringLiteral("V_MA_PRECIOS"))) << log.toStdString();
        EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Control_Acceso WHERE EGRESO IS NOT NULL")),
                  QStringLiteral("1"));
        form.reset();
    }
}

IMAESTROS_DATABASE_TESTS(FormularioVentana);

} // namespace
