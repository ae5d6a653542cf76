// The reception form's window, offscreen, worked as an operator works it: keys and clicks on
// the real widgets. A reception from start to end; the focus after Enter; a stored reception
// consulted and left; and a reception interrupted half-way with Esc, with Cerrar and with the
// close box.

#include "PaqueteDePrueba.h"
#include "ReceptionDatabase.h"
#include "tests/core/QtPrint.h"

#include "reception/ui/FrmRecepcionIMaestros.h"

#include "core/Acceso.h"
#include "core/Globals.h"
#include "db/DB_Dll.h"
#include "platform/suite/CmdDlg.h"
#include "toolbar/ui/UtilNet.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <functional>

namespace {

QApplication &app()
{
    static int argc = 1;
    static char name[] = "test_reception_window";
    static char *argv[] = {name, nullptr};
    static auto *application = new QApplication(argc, argv);
    return *application;
}

QWidget *boton(FrmRecepcionIMaestros &form, toolbar::Boton b)
{
    return form.UtilNet1->toolBar()->widgetForAction(form.UtilNet1->action(b));
}

// Runs `accion` once, from the event loop, as soon as `condicion` holds: during a run this is
// one of the run's turns of the event loop, where the operator's keys and clicks arrive.
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

class ReceptionWindow : public ReceptionDatabaseTest {
protected:
    void SetUp() override
    {
        app();
        ReceptionDatabaseTest::SetUp();
        FrmRecepcionIMaestros::setTerminarPrograma([this] { ++m_finales; });
    }
    void TearDown() override
    {
        FrmRecepcionIMaestros::setTerminarPrograma(nullptr);
        platform::suite::CmdDlg::setChooser({});
        ReceptionDatabaseTest::TearDown();
    }
    // Loads the form and shows it as the program does, active, the number box focused.
    void mostrar(FrmRecepcionIMaestros &form)
    {
        form.cargar();
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }
    QString zip() const { return QDir(home()).filePath(QStringLiteral("paquete.zip")); }
    // Two tables of three rows each.
    void escribirPaquete()
    {
        PaqueteDePrueba p;
        p.tabla("V_TA_UNIDAD", {"IdUnidad", "Descripcion", "RECEPCION", "TRANSMISION"},
                {fila({"   1", "Unidad"}), fila({"   2", "Caja"}), fila({"   3", "Docena"})});
        p.tabla("V_TA_RUBROS", {"IdRubro", "Descripcion", "RECEPCION", "TRANSMISION"},
                {fila({"   1", "Almacen"}), fila({"   2", "Bebidas"}), fila({"   3", "Limpieza"})});
        ASSERT_TRUE(p.escribir(zip()).ok());
    }
    // Number confirmed, person typed, package path typed: ready for Grabar.
    void llenar(FrmRecepcionIMaestros &form)
    {
        QTest::keyClick(form.txtFields[0], Qt::Key_Return);
        QTest::keyClicks(form.txtFields[1], QStringLiteral("Ana"));
        QTest::keyClick(form.txtFields[1], Qt::Key_Return);
        QTest::keyClicks(form.txtFields[2], zip());
    }
    int m_finales = 0;
};

TEST_P(ReceptionWindow, GrabarReceivesThePickedPackage)
{
    const QString zip = QDir(home()).filePath(QStringLiteral("elegido.zip"));
    PaqueteDePrueba p;
    p.tabla("V_TA_UNIDAD", {"IdUnidad", "Descripcion", "RECEPCION", "TRANSMISION"},
            {fila({"   1", "Unidad"}), fila({"   2", "Caja"})});
    ASSERT_TRUE(p.escribir(zip).ok());
    platform::suite::CmdDlg::setChooser(
        [&](const QString &, const QString &) -> std::optional<QString> { return zip; });

    FrmRecepcionIMaestros form(gDB());
    mostrar(form);
    EXPECT_EQ(form.txtFields[0]->text(), QStringLiteral("1"));
    EXPECT_FALSE(form.UtilNet1->GrabarEnabled());

    QTest::keyClick(form.txtFields[0], Qt::Key_Return);
    EXPECT_TRUE(form.UtilNet1->GrabarEnabled());
    EXPECT_TRUE(form.txtFields[1]->isEnabled());
    QTest::keyClicks(form.txtFields[1], QStringLiteral("Ana"));
    form.txtFields[2]->setFocus();
    QTest::mouseClick(form.CmdBuscar, Qt::LeftButton);
    EXPECT_EQ(form.txtFields[2]->text(), zip);

    operatorScript().expect("Finalizado", platform::vbOK);
    QTest::mouseClick(boton(form, toolbar::Boton::Grabar), Qt::LeftButton);
    EXPECT_EQ(count("V_TA_UNIDAD"), 2);
    EXPECT_EQ(scalar("SELECT responsable_recepcion FROM MV_TRANSMISIONES"), QStringLiteral("Ana"));
    EXPECT_EQ(form.lblInserts->text(), QStringLiteral("Inserciones: 2"));
    const platform::Question &fin = operatorScript().asked().last();
    EXPECT_EQ(fin.title, QStringLiteral("Recepción de Maestros"));
    EXPECT_TRUE(fin.text.contains(QStringLiteral("2 insertados"))) << fin.text.toStdString();
    // Ready for the next reception.
    EXPECT_EQ(form.txtFields[0]->text(), QStringLiteral("2"));
    EXPECT_TRUE(form.UtilNet1->CerrarEnabled());
    EXPECT_EQ(m_finales, 0);
}

// Enter on the number goes to the first box the operator can change; a logged-in user is
// shown in the locked person's box, which looks locked.
TEST_P(ReceptionWindow, EnterMovesToTheFirstBoxTheOperatorCanChange)
{
    FrmRecepcionIMaestros form(gDB());
    mostrar(form);
    QTest::keyClick(form.txtFields[0], Qt::Key_Return);
    EXPECT_TRUE(form.txtFields[1]->hasFocus());
    QTest::keyClicks(form.txtFields[1], QStringLiteral("Ana"));
    QTest::keyClick(form.txtFields[1], Qt::Key_Return);
    EXPECT_TRUE(form.txtFields[2]->hasFocus());
    EXPECT_EQ(form.txtFields[1]->text(), QStringLiteral("Ana"));

    QTest::keyClick(form.txtFields[2], Qt::Key_Escape); // Cancelar
    EXPECT_TRUE(form.txtFields[0]->hasFocus());
    EXPECT_EQ(form.txtFields[1]->text(), QString());
    ModGlobal::gUsuarioLogeado = QStringLiteral("ana");
    QTest::keyClick(form.txtFields[0], Qt::Key_Return);
    EXPECT_EQ(form.txtFields[1]->text(), QStringLiteral("ana"));
    EXPECT_FALSE(form.txtFields[1]->isEnabled());
    const QPalette &paleta = form.txtFields[1]->palette();
    EXPECT_EQ(paleta.color(QPalette::Disabled, QPalette::Base),
              QApplication::palette().color(QPalette::Disabled, QPalette::Base));
    EXPECT_TRUE(form.txtFields[2]->hasFocus());
    QTest::keyClick(form.txtFields[2], Qt::Key_Space);
    EXPECT_FALSE(form.ChkSoloAltas->isChecked());
    EXPECT_EQ(form.txtFields[2]->text(), QStringLiteral(" "));
}

TEST_P(ReceptionWindow, AStoredReceptionShowsItsValuesAndCancelarProposesTheNextNumber)
{
    exec("INSERT INTO MV_TRANSMISIONES (TIPO, TRANSMISION, responsable_recepcion, ubicacion_archivo) "
         "VALUES ('N', 3, 'Bea', '/datos/Archivos.zip')");
    FrmRecepcionIMaestros form(gDB());
    mostrar(form);
    EXPECT_EQ(form.txtFields[0]->text(), QStringLiteral("4"));
    EXPECT_EQ(form.txtFields[0]->selectedText(), QStringLiteral("4"));
    EXPECT_TRUE(form.txtFields[0]->hasFocus());
    QTest::keyClicks(form.txtFields[0], QStringLiteral("3")); // replaces the selected number
    EXPECT_EQ(form.txtFields[0]->text(), QStringLiteral("3"));
    QTest::keyClick(form.txtFields[0], Qt::Key_Return);
    EXPECT_EQ(form.txtFields[0]->text(), QStringLiteral("3"));
    EXPECT_EQ(form.txtFields[1]->text(), QStringLiteral("Bea"));
    EXPECT_EQ(form.txtFields[2]->text(), QStringLiteral("/datos/Archivos.zip"));
    EXPECT_TRUE(form.UtilNet1->CancelarEnabled());
    EXPECT_FALSE(form.UtilNet1->CerrarEnabled() || form.UtilNet1->GrabarEnabled());

    QTest::keyClick(&form, Qt::Key_Escape); // Cancelar
    EXPECT_EQ(form.txtFields[0]->text(), QStringLiteral("4"));
    EXPECT_EQ(form.txtFields[1]->text(), QString());
    EXPECT_TRUE(form.txtFields[0]->hasFocus());
    QTest::keyClick(form.txtFields[0], Qt::Key_Return); // a new reception, not the consult again
    EXPECT_TRUE(form.UtilNet1->GrabarEnabled());
    EXPECT_TRUE(form.txtFields[1]->isEnabled());
}

// While a package loads, the form offers only the interruption; the bar moves with the rows.
TEST_P(ReceptionWindow, DuringTheRunOnlyTheInterruptionIsOffered)
{
    escribirPaquete();
    FrmRecepcionIMaestros form(gDB());
    mostrar(form);
    llenar(form);
    bool cerrado = true, bloqueada = false;
    int barra = -1;
    AlLlegar primeraFila(
        [&] { return form.lblActualizando->text() == QStringLiteral("Actualizando V_TA_UNIDAD : 1 registros"); },
        [&] {
            bloqueada = !form.txtFields[0]->isEnabled() && !form.txtFields[2]->isEnabled()
                && !form.ChkSoloAltas->isEnabled() && !form.optZIP->isEnabled() && !form.UtilNet1->GrabarEnabled()
                && !form.UtilNet1->CancelarEnabled() && form.UtilNet1->CerrarEnabled();
            barra = form.PBImportar->value();
            QTest::keyClick(&form, Qt::Key_F2);     // no second run
            QTest::keyClick(&form, Qt::Key_Escape); // Cerrar: the question, answered No
            cerrado = !form.isVisible();
        });
    operatorScript().expect("¿Desea interrumpir la recepción", platform::vbNo);
    operatorScript().expect("Finalizado", platform::vbOK);
    QTest::mouseClick(boton(form, toolbar::Boton::Grabar), Qt::LeftButton);
    ASSERT_TRUE(primeraFila.hecho());
    EXPECT_TRUE(bloqueada);
    EXPECT_FALSE(cerrado);
    // One line of three read: the bar stands inside the first of its 29 tables.
    EXPECT_GT(barra, 0);
    EXPECT_LT(barra, form.PBImportar->maximum() / 29);
    const platform::Question &pregunta = operatorScript().asked()[0];
    EXPECT_EQ(pregunta.style, platform::vbYesNo | platform::vbQuestion | platform::vbDefaultButton2);
    // The run went on to its end.
    EXPECT_EQ(count("V_TA_UNIDAD"), 3);
    EXPECT_EQ(count("V_TA_RUBROS"), 3);
    EXPECT_EQ(count("MV_TRANSMISIONES"), 1);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(m_finales, 0);
}

// Yes to the question: the run stops at its next row, its open group rolled back, and is
// recorded as interrupted; then the form closes and the run's access row gets its exit time.
TEST_P(ReceptionWindow, InterruptingARunStopsItRecordsItAndCloses)
{
    enum class Forma { Esc, Cerrar, CasillaCerrar };
    struct Caso {
        const char *nombre;
        Forma forma;
        bool trasPrimeraTabla; // else at the first row, its group still open
    };
    const Caso casos[] = {
        {"Esc at the first row", Forma::Esc, false},
        {"Cerrar at the first row", Forma::Cerrar, false},
        {"close box at the first row", Forma::CasillaCerrar, false},
        {"Esc after the first table", Forma::Esc, true},
        {"close box after the first table", Forma::CasillaCerrar, true},
    };
    escribirPaquete();
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.nombre);
        for (const char *tabla : {"V_TA_UNIDAD", "V_TA_RUBROS", "MV_TRANSMISIONES", "Control_Acceso"})
            exec(QStringLiteral("DELETE FROM %1").arg(QString::fromLatin1(tabla)));
        DB_Dll &db = gDB(); // the last case's closing released it
        db.gUsuario = QStringLiteral("ana");
        db.OpenServerADODB(false, 3, connectionString(), false, false);
        ASSERT_TRUE(db.gOpenFlag);
        ASSERT_TRUE(ModGlobal::RegistrarAcceso(QString()));
        m_finales = 0;

        auto form = std::make_unique<FrmRecepcionIMaestros>(db);
        mostrar(*form);
        llenar(*form);
        const QString momento = caso.trasPrimeraTabla ? QStringLiteral("Actualizando V_TA_UNIDAD : 3 registros")
                                                      : QStringLiteral("Actualizando V_TA_UNIDAD : 1 registros");
        FrmRecepcionIMaestros *f = form.get();
        AlLlegar interrumpir([&] { return f->lblActualizando->text() == momento; },
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
        operatorScript().expect("¿Desea interrumpir la recepción", platform::vbYes);
        QTest::mouseClick(boton(*form, toolbar::Boton::Grabar), Qt::LeftButton);
        ASSERT_TRUE(interrumpir.hecho());

        EXPECT_EQ(m_finales, 1);
        EXPECT_FALSE(form->isVisible());
        const long filas = caso.trasPrimeraTabla ? 3 : 0;
        EXPECT_EQ(count("V_TA_UNIDAD"), filas);
        EXPECT_EQ(count("V_TA_RUBROS"), 0);
        EXPECT_EQ(scalar("SELECT registros_recibidos FROM MV_TRANSMISIONES WHERE TIPO = 'N'"), QString::number(filas));
        EXPECT_TRUE(scalar("SELECT LOG FROM MV_TRANSMISIONES WHERE TIPO = 'N'")
                        .startsWith(QStringLiteral("Interrumpida por el operador")));
        EXPECT_EQ(scalar("SELECT COUNT(*) FROM Control_Acceso WHERE EGRESO IS NOT NULL"), QStringLiteral("1"));
        form.reset();
    }
}

IMAESTROS_DATABASE_TESTS(ReceptionWindow);

} // namespace
