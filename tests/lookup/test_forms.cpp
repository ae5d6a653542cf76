// The lookup windows driven offscreen: the list (type, F5, Enter hands back the value) and
// the tree, and the lookup object showing its window modally.
#include "LookupDatabase.h"

#include "lookup/Lib_FrmCons3Logic.h"
#include "lookup/Lib_FrmCons3TreeLogic.h"
#include "lookup/ui/Lib_FrmCons3.h"
#include "lookup/ui/Lib_FrmCons3Tree.h"
#include "lookup/ui/WidgetPresenter.h"

#include "core/SharedLookup.h"
#include "db/DB_Dll.h"
#include "platform/Paths.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
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

// Where the list opens: over the window that called it (the title bar's room aside).
void expectOver(const QWidget &window, const QWidget &caller)
{
    const QPoint offset = window.geometry().center() - caller.geometry().center();
    EXPECT_LE(offset.manhattanLength(), 60)
        << "list at " << window.x() << "," << window.y() << ", caller at " << caller.x() << "," << caller.y();
}

TEST_P(LookupWindows, ListOpensOverItsCaller)
{
    QWidget caller;
    caller.setGeometry(150, 120, 500, 380);
    caller.show();
    Lib_FrmCons3Logic logic;
    logic.SQL = QStringLiteral("SELECT IdRubro, Descripcion FROM V_TA_RUBROS");
    ASSERT_TRUE(logic.Form_Load());
    Lib_FrmCons3 window(logic, &caller);
    window.show();
    expectOver(window, caller);
    // the bar that moves the boxes stands in sight, between the list and the buttons
    const int listBottom = window.ListView1->mapTo(&window, QPoint(0, window.ListView1->height())).y();
    EXPECT_GE(window.HScroll1->y(), listBottom);
    EXPECT_LE(window.HScroll1->geometry().bottom(), window.Frame1->y());
}

TEST_P(LookupWindows, EnterInTheSearchBoxAcceptsTheSelectedRow)
{
    Lib_FrmCons3Logic logic;
    logic.SQL = QStringLiteral("SELECT IdRubro, Descripcion FROM V_TA_RUBROS ORDER BY IdRubro");
    logic.CampoDevuelto = QStringLiteral("IdRubro");
    ASSERT_TRUE(logic.Form_Load());
    Lib_FrmCons3 window(logic);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.CmbSearch[1]->setFocus();
    QTest::keyClicks(window.CmbSearch[1]->lineEdit(), QStringLiteral("bul"));
    QTest::keyClick(window.CmbSearch[1]->lineEdit(), Qt::Key_Return);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(logic.cancelled());
    EXPECT_EQ(logic.ValorDevuelto, QStringLiteral("5"));
}

TEST_P(LookupWindows, ColumnsShowTheirCodesAndHeadersWhole)
{
    recreateTable(QStringLiteral("V_TA_UNIDAD"),
                  QStringLiteral("IdUnidad varchar(2) NOT NULL PRIMARY KEY, Descripcion varchar(60) NULL"));
    for (const char *row : {"'12', 'Kilogramo'", "'99', 'Litro'", "'7', 'Metro'"})
        exec(QStringLiteral("INSERT INTO V_TA_UNIDAD VALUES (%1)").arg(QString::fromLatin1(row)));
    releaseSharedDatabases(); // gDB reads the new table's columns
    gDB().OpenServerADODB(false, 3, connectionString(), false, false);
    const QString sql = QStringLiteral("SELECT IdUnidad, Descripcion FROM V_TA_UNIDAD ORDER BY IdUnidad");

    Lib_FrmCons3Logic logic;
    logic.SQL = sql;
    ASSERT_TRUE(logic.Form_Load());
    Lib_FrmCons3 window(logic);
    window.show();
    QHeaderView *header = window.ListView1->header();
    EXPECT_EQ(header->model()->headerData(0, Qt::Horizontal).toString().toUpper(), QStringLiteral("IDUNIDAD"));
    EXPECT_GE(header->sectionSize(0), header->sectionSizeHint(0)); // "IdUnidad", not "IdUn"
    for (int row = 0; row < logic.ListView1().rows(); ++row) {
        for (int column = 0; column < 2; ++column) {
            const QModelIndex index = logic.ListView1().index(row, column);
            EXPECT_GE(header->sectionSize(column), window.ListView1->sizeHintForIndex(index).width())
                << "\"" << logic.ListView1().cell(row, column).toStdString() << "\" shows as \"...\"";
        }
    }
    EXPECT_EQ(window.CmbSearch[1]->x(), header->sectionPosition(1)); // the boxes follow the wider columns

    // the width file has the last word
    QFile widths(platform::joinPath(home(), QStringLiteral("CONSULTASLEN.VKR")));
    ASSERT_TRUE(widths.open(QIODevice::WriteOnly));
    widths.write("\"V_TA_UNIDAD\",\"600|\"\r\n");
    widths.close();
    Lib_FrmCons3Logic saved;
    saved.SQL = sql;
    ASSERT_TRUE(saved.Form_Load());
    Lib_FrmCons3 savedWindow(saved);
    savedWindow.show();
    EXPECT_EQ(savedWindow.ListView1->header()->sectionSize(0), 40); // 600 twips, narrower than its header
    EXPECT_LT(savedWindow.ListView1->header()->sectionSize(0), savedWindow.ListView1->header()->sectionSizeHint(0));
    EXPECT_GE(savedWindow.ListView1->header()->sectionSize(1), savedWindow.ListView1->header()->sectionSizeHint(1));
}

TEST_P(LookupWindows, RestOfTheRowsArrivesWhileTheWindowIsUp)
{
    Lib_FrmCons3Logic logic;
    logic.SQL = QStringLiteral("SELECT IdRubro, Descripcion FROM V_TA_RUBROS ORDER BY IdRubro");
    logic.firstScreenRows = 2;
    ASSERT_TRUE(logic.Form_Load());
    Lib_FrmCons3 window(logic);
    window.show();
    EXPECT_EQ(window.Label1->text(), QStringLiteral("CONSULTA (cargando...)"));
    EXPECT_EQ(window.ListView1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff); // its reach is not known yet
    EXPECT_EQ(window.ListView1->model()->rowCount(), 2);
    window.ListView1->setCurrentIndex(logic.ListView1().index(1, 0));      // the operator moves meanwhile
    EXPECT_TRUE(QTest::qWaitFor([&] { return !logic.loading(); }, 10000)); // the event loop brings it
    EXPECT_EQ(window.Label1->text(), QStringLiteral("CONSULTA"));
    EXPECT_EQ(window.ListView1->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    EXPECT_EQ(window.ListView1->model()->rowCount(), 6);
    EXPECT_EQ(window.ListView1->currentIndex().row(), 1);
    EXPECT_EQ(logic.selectedRow(), 1);
}

TEST_P(LookupWindows, FirstScreenFillsTheListJust)
{
    for (int i = 100; i < 160; ++i)
        exec(QStringLiteral("INSERT INTO V_TA_RUBROS VALUES ('%1', 'Rubro %1', 1)").arg(i));
    Lib_FrmCons3Logic logic;
    logic.SQL = QStringLiteral("SELECT IdRubro, Descripcion FROM V_TA_RUBROS ORDER BY IdRubro");
    ASSERT_TRUE(logic.Form_Load());
    Lib_FrmCons3 window(logic);
    window.show();
    const int rowHeight = window.ListView1->sizeHintForRow(0);
    ASSERT_GT(rowHeight, 0);
    const int visible = (window.ListView1->viewport()->height() + rowHeight - 1) / rowHeight;
    EXPECT_GE(Lib_FrmCons3::rowsOnFirstScreen(), visible);
    EXPECT_LE(Lib_FrmCons3::rowsOnFirstScreen(), visible + 2);
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

TEST_P(LookupWindows, EscapeInTheSearchBoxLeavesTheCallingBoxAsItWas)
{
    lookup::ui::installDesktopLookup();
    // A calling form as the program's forms call a lookup: F5 on its box, and the box takes
    // only a value the operator chose.
    QWidget caller;
    caller.setGeometry(120, 100, 520, 400);
    auto *box = new QLineEdit(QStringLiteral("  12"), &caller);
    caller.show();
    caller.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&caller));
    box->setFocus();
    bool seen = false;
    QTimer driver;
    driver.setInterval(10);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        auto *window = qobject_cast<Lib_FrmCons3 *>(QApplication::activeModalWidget());
        if (!window)
            return;
        driver.stop();
        seen = true;
        expectOver(*window, caller);
        QTest::keyClicks(window->CmbSearch[0]->lineEdit(), QStringLiteral("tu"));
        QTest::keyClick(window->CmbSearch[0]->lineEdit(), Qt::Key_Escape);
    });
    driver.start();
    SharedLookup &consulta = gConsulta();
    consulta.CampoDevuelto = QStringLiteral("IdRubro");
    consulta.ConsultaSearch(QStringLiteral("select Descripcion, IdRubro from V_TA_RUBROS"));
    ASSERT_TRUE(seen);
    EXPECT_TRUE(consulta.cancelled());
    EXPECT_TRUE(consulta.ValorDevuelto.isEmpty());
    if (!consulta.cancelled())
        box->setText(consulta.ValorDevuelto);
    EXPECT_EQ(box->text(), QStringLiteral("  12"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
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
