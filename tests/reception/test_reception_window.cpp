// The reception form's window, offscreen: a number confirmed with Enter, a responsible
// person typed, the package picked with the "..." button, and GRABAR from the toolbar.

#include "PaqueteDePrueba.h"
#include "ReceptionDatabase.h"
#include "tests/core/QtPrint.h"

#include "reception/ui/FrmRecepcionIMaestros.h"

#include "db/DB_Dll.h"
#include "platform/suite/CmdDlg.h"
#include "toolbar/ui/UtilNet.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

QApplication &app()
{
    static int argc = 1;
    static char name[] = "test_reception_window";
    static char *argv[] = {name, nullptr};
    static auto *application = new QApplication(argc, argv);
    return *application;
}

class ReceptionWindow : public ReceptionDatabaseTest {
protected:
    void TearDown() override
    {
        platform::suite::CmdDlg::setChooser({});
        ReceptionDatabaseTest::TearDown();
    }
};

TEST_P(ReceptionWindow, GrabarReceivesThePickedPackage)
{
    app();
    const QString zip = QDir(home()).filePath(QStringLiteral("elegido.zip"));
    PaqueteDePrueba p;
    p.tabla("V_TA_UNIDAD", {"IdUnidad", "Descripcion", "RECEPCION", "TRANSMISION"},
            {fila({"   1", "Unidad"}), fila({"   2", "Caja"})});
    ASSERT_TRUE(p.escribir(zip).ok());
    platform::suite::CmdDlg::setChooser(
        [&](const QString &, const QString &) -> std::optional<QString> { return zip; });

    FrmRecepcionIMaestros form(gDB());
    form.cargar();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(form.txtFields[0]->text(), QStringLiteral("1"));
    EXPECT_FALSE(form.UtilNet1->GrabarEnabled());

    form.txtFields[0]->setFocus();
    QTest::keyClick(form.txtFields[0], Qt::Key_Return);
    EXPECT_TRUE(form.UtilNet1->GrabarEnabled());
    EXPECT_TRUE(form.txtFields[1]->isEnabled());
    QTest::keyClicks(form.txtFields[1], QStringLiteral("Ana"));
    form.txtFields[2]->setFocus();
    QTest::mouseClick(form.CmdBuscar, Qt::LeftButton);
    EXPECT_EQ(form.txtFields[2]->text(), zip);

    operatorScript().expect("Finalizado", platform::vbOK);
    form.UtilNet1->action(toolbar::Boton::Grabar)->trigger();
    EXPECT_EQ(count("V_TA_UNIDAD"), 2);
    EXPECT_EQ(scalar("SELECT responsable_recepcion FROM MV_TRANSMISIONES"), QStringLiteral("Ana"));
    EXPECT_EQ(form.lblInserts->text(), QStringLiteral("Inserciones: 2"));
    // Ready for the next reception.
    EXPECT_EQ(form.txtFields[0]->text(), QStringLiteral("2"));
    EXPECT_TRUE(form.UtilNet1->CerrarEnabled());
}

IMAESTROS_DATABASE_TESTS(ReceptionWindow);

} // namespace
