// The lookup windows driven offscreen: the list (type, F5, Enter hands back the value) and
// the tree, and the lookup object showing its window modally.
#include "LookupDatabase.h"

#include "lookup/Lib_FrmCons3Logic.h"
#include "lookup/Lib_FrmCons3TreeLogic.h"
#include "lookup/ui/Lib_FrmCons3.h"
#include "lookup/ui/Lib_FrmCons3Tree.h"
#include "lookup/ui/WidgetPresenter.h"

#include "core/SharedLookup.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "tests/core/QtPrint.h"

#include <gtest/gtest.h>

namespace {

using lookup::Lib_FrmCons3Logic;
using lookup::Lib_FrmCons3TreeLogic;
using lookup::ui::Lib_FrmCons3;
using lookup::ui::Lib_FrmCons3Tree;

QApplication &app()
{
    static int argc = 1;
    static char name[] = "test_lookup_forms";
    static char *argv[] = {name, nullptr};
    static auto *application = new QApplication(argc, argv);
    return *application;
}

class LookupWindows : public LookupDatabaseTest {
protected:
    void SetUp() override
    {
        app();
        LookupDatabaseTest::SetUp();
    }
    void TearDown() override
    {
        releaseConsulta();
        setLookupFactory({});
        LookupDatabaseTest::TearDown();
    }
};

TEST_P(LookupWindows, ListTypeNarrowAndAccept)
{
    Lib_FrmCons3Logic logic;
    logic.SQL = QStringLiteral("SELECT IdRubro, Descripcion FROM V_TA_RUBROS ORDER BY IdRubro");
    logic.CampoDevuelto = QStringLiteral("IdRubro");
    ASSERT_TRUE(logic.Form_Load());
    Lib_FrmCons3 window(logic);
    window.show();
    ASSERT_EQ(window.CmbSearch.size(), 2);
    EXPECT_EQ(window.CmbSearch[1]->x(), window.ListView1->header()->sectionPosition(1)); // the box stands on its column
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Consulta..."));

    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.CmbSearch[1]->setFocus();
    QTest::keyClicks(window.CmbSearch[1]->lineEdit(), QStringLiteral("tor"));
    EXPECT_EQ(logic.activeBox(), 1);
    EXPECT_EQ(logic.boxText(1), QStringLiteral("tor"));
    EXPECT_EQ(window.ListView1->currentIndex().row(), 3);

    QTest::keyClick(window.CmbSearch[1]->lineEdit(), Qt::Key_F5);
    EXPECT_EQ(logic.ListView1().rows(), 1);
    EXPECT_EQ(window.CmbSearch[1]->currentText(), QString());

    window.ListView1->setFocus();
    QTest::keyClick(window.ListView1, Qt::Key_X); // a letter goes to the search box, the list keeps its row
    EXPECT_EQ(window.CmbSearch[1]->currentText(), QStringLiteral("x"));
    EXPECT_TRUE(window.CmbSearch[1]->hasFocus());
    EXPECT_EQ(window.ListView1->currentIndex().row(), 0);
    QTest::keyClick(window.ListView1, Qt::Key_Return);
    EXPECT_TRUE(logic.hidden());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(logic.ValorDevuelto, QStringLiteral("12"));
    EXPECT_FALSE(logic.cancelled());
}

TEST_P(LookupWindows, ListEscapeCancels)
{
    Lib_FrmCons3Logic logic;
    logic.SQL = QStringLiteral("SELECT IdRubro, Descripcion FROM V_TA_RUBROS");
    ASSERT_TRUE(logic.Form_Load());
    Lib_FrmCons3 window(logic);
    window.show();
    QTest::keyClick(window.ListView1, Qt::Key_Escape);
    EXPECT_TRUE(logic.hidden());
    EXPECT_TRUE(logic.cancelled());
    EXPECT_FALSE(window.isVisible());
}

TEST_P(LookupWindows, TreeSearchAcceptAndCloseBox)
{
    exec(QStringLiteral("INSERT INTO V_TA_FAMILIAS VALUES ('1', 'Ferreteria')"));
    exec(QStringLiteral("INSERT INTO V_TA_FAMILIAS VALUES ('11', 'Tornillos')"));
    Lib_FrmCons3TreeLogic logic;
    logic.SQL = QStringLiteral("V_TA_FAMILIAS");
    logic.CampoDevuelto = QStringLiteral("IDFAMILIA");
    ASSERT_TRUE(logic.Form_Load());
    Lib_FrmCons3Tree window(logic);
    window.show();
    EXPECT_TRUE(window.TreeV->isExpanded(logic.TreeV().indexOf(0)));
    QTest::keyClicks(window.CmbSearch.first()->lineEdit(), QStringLiteral("TORN"));
    EXPECT_EQ(logic.TreeV().idOf(window.TreeV->currentIndex()), logic.TreeV().find(QStringLiteral("A11")));
    QTest::mouseClick(window.CmdAceptar, Qt::LeftButton);
    EXPECT_EQ(logic.ValorDevuelto, QStringLiteral("11"));
    EXPECT_FALSE(window.isVisible());

    Lib_FrmCons3TreeLogic closed;
    closed.SQL = QStringLiteral("V_TA_FAMILIAS");
    closed.CampoDevuelto = QStringLiteral("IDFAMILIA");
    ASSERT_TRUE(closed.Form_Load());
    Lib_FrmCons3Tree other(closed);
    other.show();
    other.close(); // the close box means cancel
    EXPECT_TRUE(closed.cancelled());
    EXPECT_TRUE(closed.ValorDevuelto.isEmpty());
}

TEST_P(LookupWindows, SharedLookupShowsTheModalWindow)
{
    lookup::ui::installDesktopLookup();
    QTimer driver;
    driver.setInterval(10);
    QObject::connect(&driver, &QTimer::timeout, [&driver] {
        auto *window = qobject_cast<Lib_FrmCons3 *>(QApplication::activeModalWidget());
        if (!window)
            return;
        driver.stop();
        QTest::keyClicks(window->CmbSearch[0]->lineEdit(), QStringLiteral("bul"));
        QTest::keyClick(window->ListView1, Qt::Key_Return);
    });
    driver.start();
    SharedLookup &consulta = gConsulta();
    consulta.CampoDevuelto = QStringLiteral("IdRubro");
    consulta.ConsultaSearch(QStringLiteral("select Descripcion, IdRubro from V_TA_RUBROS"));
    EXPECT_EQ(consulta.ValorDevuelto, QStringLiteral("   5"));
    EXPECT_FALSE(consulta.cancelled());
}

IMAESTROS_DATABASE_TESTS(LookupWindows);

} // namespace

#include "platform/ui/widgets/ControlesVisuales.h"

#include <QCheckBox>
#include <QVBoxLayout>

namespace {

TEST(SuiteControls, KeyFilterClearingLoadingAndFocus)
{
    app();
    QWidget form;
    auto *code = new QLineEdit(&form);
    auto *amount = new QLineEdit(&form);
    auto *name = new QLineEdit(&form);
    auto *flag = new QCheckBox(&form);
    auto *layout = new QVBoxLayout(&form);
    for (QWidget *w : std::initializer_list<QWidget *>{code, amount, name, flag})
        layout->addWidget(w);
    code->setProperty("DataField", QStringLiteral("IdArticulo"));
    amount->setProperty("DataField", QStringLiteral("Precio"));
    amount->setProperty("Filtro", QStringLiteral("numero"));
    name->setProperty("Filtro", QStringLiteral("mayusculas"));

    const std::tuple<QWidget *, char, QChar> keys[] = {
        {amount, '7', QLatin1Char('7')},   {amount, '.', QLatin1Char(',')}, {amount, 'a', QChar()},
        {amount, '\b', QLatin1Char('\b')}, {name, 'a', QLatin1Char('A')},   {code, 'a', QLatin1Char('a')},
    };
    for (const auto &[control, typed, expected] : keys) {
        QChar key = QLatin1Char(typed);
        platform::controles::FiltrarTecla(control, key);
        EXPECT_EQ(key, expected) << typed;
    }

    platform::controles::CargarCampos({code, amount, name}, [](const QString &field) -> std::optional<QString> {
        if (field.compare(QStringLiteral("idarticulo"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("A1");
        return std::nullopt;
    });
    EXPECT_EQ(code->text(), QStringLiteral("A1"));
    amount->setText(QStringLiteral("12"));
    flag->setChecked(true);
    platform::controles::LimpiarControles(&form);
    EXPECT_TRUE(code->text().isEmpty());
    EXPECT_TRUE(amount->text().isEmpty());
    EXPECT_FALSE(flag->isChecked());

    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    code->setFocus();
    platform::controles::PasarFoco(13);
    EXPECT_TRUE(amount->hasFocus());
    platform::controles::PasarFoco(38);
    EXPECT_TRUE(code->hasFocus());
    code->setText(QStringLiteral("abc"));
    platform::controles::PrepararControl(code);
    EXPECT_EQ(code->selectedText(), QStringLiteral("abc"));
    form.resize(100000, 100000);
    platform::controles::AjustarFormulario(&form, true);
    EXPECT_LE(form.frameGeometry().width(), form.screen()->availableGeometry().width());
}

} // namespace
