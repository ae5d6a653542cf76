#include "toolbar/VbKeyCode.h"
#include "toolbar/ui/UtilNet.h"

#include "platform/Paths.h"
#include "platform/suite/Sistema.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using toolbar::Boton;
using toolbar::UtilNet;

namespace {

QApplication &app()
{
    static int argc = 1;
    static char name[] = "test_toolbar_widget";
    static char *argv[] = {name, nullptr};
    static auto *application = new QApplication(argc, argv);
    return *application;
}

// A form as the reception and sending forms host the bar: the bar on top, a box
// with the focus, every key that reaches the form forwarded to KeyAnalisis.
class HostForm : public QWidget {
public:
    HostForm()
    {
        auto *layout = new QVBoxLayout(this);
        UtilNet1 = new UtilNet(this);
        box = new QLineEdit(this);
        layout->addWidget(UtilNet1);
        layout->addWidget(box);
        connect(UtilNet1, &UtilNet::click, this, [this](const QString &word) { words.append(word); });
        resize(600, 300);
    }

    UtilNet *UtilNet1 = nullptr;
    QLineEdit *box = nullptr;
    QStringList words;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (UtilNet1->KeyAnalisis(toolbar::vbKeyCode(event->key())))
            event->accept();
        else
            QWidget::keyPressEvent(event);
    }
};

QToolButton *buttonOf(UtilNet *bar, Boton boton)
{
    return qobject_cast<QToolButton *>(bar->toolBar()->widgetForAction(bar->action(boton)));
}

// An eight-icon strip of our own, drawn here.
void writeStrip(const QString &path)
{
    QImage image(8 * 16, 16, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    ASSERT_TRUE(image.save(path, "BMP"));
}

class UtilNetWidget : public ::testing::Test {
protected:
    void SetUp() override
    {
        app();
        ASSERT_TRUE(m_folder.isValid());
        platform::setProgramFolder(m_folder.path());
    }
    void TearDown() override { platform::setProgramFolder(QString()); }

    QTemporaryDir m_folder;
};

} // namespace

TEST_F(UtilNetWidget, ClicksAndForwardedKeysReachTheFormAsWords)
{
    HostForm form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.box->setFocus();

    QToolButton *nuevo = buttonOf(form.UtilNet1, Boton::Nuevo);
    ASSERT_NE(nuevo, nullptr);
    QTest::mouseClick(nuevo, Qt::LeftButton);
    EXPECT_EQ(form.words, QStringList({"NUEVO"}));
    // Nuevo disables Borrar at once, and with it F10.
    EXPECT_FALSE(buttonOf(form.UtilNet1, Boton::Borrar)->isEnabled());
    QTest::keyClick(form.box, Qt::Key_F10);
    EXPECT_EQ(form.words, QStringList({"NUEVO"}));

    // Function keys pressed in the box reach the form and the bar.
    QTest::keyClick(form.box, Qt::Key_F2);
    QTest::keyClick(form.box, Qt::Key_F5);
    QTest::keyClick(form.box, Qt::Key_Escape);
    EXPECT_EQ(form.words, QStringList({"NUEVO", "GRABAR", "CONSULTAR", "CANCELAR"}));

    QTest::mouseClick(buttonOf(form.UtilNet1, Boton::Grabar), Qt::LeftButton);
    EXPECT_TRUE(buttonOf(form.UtilNet1, Boton::Borrar)->isEnabled());
    EXPECT_EQ(form.words.last(), QStringLiteral("GRABAR"));
}

TEST_F(UtilNetWidget, DisabledButtonsRaiseNothingAndEscapeFallsBackToCerrar)
{
    HostForm form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.UtilNet1->setGrabarEnabled(false);
    form.UtilNet1->setCancelarEnabled(false);

    EXPECT_FALSE(buttonOf(form.UtilNet1, Boton::Grabar)->isEnabled());
    QTest::mouseClick(buttonOf(form.UtilNet1, Boton::Grabar), Qt::LeftButton);
    QTest::keyClick(form.box, Qt::Key_F2);
    QTest::keyClick(form.box, Qt::Key_Escape);
    EXPECT_EQ(form.words, QStringList({"CERRAR"}));

    form.UtilNet1->setCerrarEnabled(false);
    QTest::keyClick(form.box, Qt::Key_Escape);
    EXPECT_EQ(form.words, QStringList({"CERRAR"}));
}

TEST_F(UtilNetWidget, ButtonsInOrderWithCaptionsIdsAndVisibility)
{
    UtilNet bar;
    const QList<QAction *> actions = bar.toolBar()->actions();
    ASSERT_EQ(actions.size(), 8);
    const int ids[] = {1, 2, 3, 6, 7, 8, 4, 5};
    const char *captions[] = {"Nuevo",      "Borrar",   " Reporte", " Consultar",
                              "  Planilla", "Cancelar", "Grabar",   "   Cerrar"};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(actions[i]->data().toInt(), ids[i]);
        EXPECT_EQ(actions[i]->text(), QString::fromLatin1(captions[i]));
    }
    QSignalSpy changes(&bar, &UtilNet::propertyChanged);
    bar.setconsultarVisible(false);
    EXPECT_FALSE(bar.action(Boton::Consulta)->isVisible());
    EXPECT_EQ(changes.size(), 1);
    EXPECT_EQ(changes.at(0).at(0).toString(), QStringLiteral("consultarVisible"));

    bar.setReporteEnabled(false);
    bar.ActualizarBotones();
    EXPECT_TRUE(bar.action(Boton::Consulta)->isVisible());
    EXPECT_TRUE(bar.action(Boton::Reporte)->isEnabled());
}

TEST_F(UtilNetWidget, LaysOutAlongTheLongerSide)
{
    // Placed by the form: along the top, and as a square (vertical, down the side).
    QWidget form;
    form.resize(600, 400);
    auto *top = new UtilNet(&form);
    top->setGeometry(0, 0, 600, 50);
    auto *side = new UtilNet(&form);
    side->setGeometry(0, 60, 80, 80);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(top->toolBar()->orientation(), Qt::Horizontal);
    EXPECT_EQ(side->size(), QSize(80, 80));
    EXPECT_EQ(side->toolBar()->orientation(), Qt::Vertical);
}

TEST_F(UtilNetWidget, PicturesFollowTheStyleAndFallBackToTheDesktops)
{
    UtilNet bar; // default style "1": no ABM2021B.bmp in the folder
    EXPECT_FALSE(bar.iconsFromStrip());
    EXPECT_EQ(bar.toolBar()->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    EXPECT_FALSE(bar.action(Boton::Nuevo)->icon().isNull());

    writeStrip(m_folder.filePath("abm2021v.bmp"));
    bar.setStyleValue("3");
    EXPECT_TRUE(bar.iconsFromStrip());
    const QImage fromStrip = bar.action(Boton::Cerrar)->icon().pixmap(16, 16).toImage();
    EXPECT_EQ(fromStrip.pixelColor(8, 8), QColor(Qt::darkCyan));
    EXPECT_EQ(bar.toolBar()->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    bar.setConTitulo(false);
    EXPECT_EQ(bar.toolBar()->toolButtonStyle(), Qt::ToolButtonIconOnly);

    // An unreadable strip under another style: the desktop's pictures again, no crash.
    QFile broken(m_folder.filePath("ABM2021.bmp"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();
    bar.setStyleValue(" 3");
    EXPECT_FALSE(bar.iconsFromStrip());
    EXPECT_FALSE(bar.action(Boton::Cerrar)->icon().isNull());
    EXPECT_NE(bar.action(Boton::Cerrar)->icon().pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::darkCyan));
}

TEST_F(UtilNetWidget, WithoutTheSuitesBitmapsEveryButtonHasAPictureAndTheBarKeepsItsHeight)
{
    // As on Linux: the program folder holds none of the suite's ABM2021*.bmp.
    HostForm form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    for (const toolbar::UtilNetButton &button : toolbar::utilNetButtons()) {
        QToolButton *widget = buttonOf(form.UtilNet1, button.boton);
        ASSERT_NE(widget, nullptr);
        EXPECT_FALSE(widget->icon().isNull()) << button.word.toString().toStdString();
        EXPECT_FALSE(widget->icon().pixmap(widget->iconSize()).isNull()) << button.word.toString().toStdString();
        EXPECT_EQ(widget->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        EXPECT_EQ(widget->text(), button.caption.trimmed().toString()); // the caption stays under the picture
    }
    const int height = form.UtilNet1->height();
    EXPECT_EQ(height, form.UtilNet1->sizeHint().height());

    form.resize(1200, 900);
    QTest::qWait(50);
    QApplication::processEvents();
    EXPECT_EQ(form.height(), 900);
    EXPECT_EQ(form.UtilNet1->height(), height) << "the band must not grow with the window";
    EXPECT_EQ(form.UtilNet1->toolBar()->height(), form.UtilNet1->toolBar()->sizeHint().height());
}

TEST_F(UtilNetWidget, StyleComesFromTheUsersSectionOfTheStationFile)
{
    writeStrip(m_folder.filePath("ABM2021M.bmp"));
    const QString section = platform::suite::gSistema().NombreUsuario().toUpper() + QStringLiteral("Styles");
    QFile ini(m_folder.filePath("QD000PR.INI"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(QStringLiteral("[OTROStyles]\r\nStyles=3\r\n[%1]\r\nStyles=2\r\n").arg(section).toUtf8());
    ini.close();

    UtilNet bar;
    EXPECT_EQ(bar.styleValue(), QStringLiteral("2"));
    EXPECT_TRUE(bar.iconsFromStrip());

    bar.setStyleValue(QStringLiteral("4")); // the host's value, until the control starts over
    EXPECT_FALSE(bar.iconsFromStrip());
    bar.ActualizarBotones();
    EXPECT_EQ(bar.styleValue(), QStringLiteral("2"));
    EXPECT_TRUE(bar.iconsFromStrip());
}
