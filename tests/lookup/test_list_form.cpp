// The list form's logic on a real database: loading, colours, checks, keys, sorting,
// quantities, acceptance, the server-side search and the commands.
#include "LookupDatabase.h"

#include "lookup/Lib_FrmCons3Logic.h"

#include "platform/Paths.h"
#include "platform/ui/Operator.h"
#include "schema/Schema.h"

#include "db/DB_Dll.h"
#include "platform/ado/Recordset.h"

#include <QDateTime>
#include <QFile>

#include "tests/core/QtPrint.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <memory>
#include <optional>

namespace {

// SQLite's clock is its VFS's: while this is alive, connections opened take the default
// VFS with its time moved three days ahead, so the server's clock and the program's differ.
constexpr sqlite3_int64 kShiftMs = 3LL * 24 * 3600 * 1000;
sqlite3_vfs *g_baseVfs = nullptr;
sqlite3_vfs g_shiftedVfs;

int shiftedTime(sqlite3_vfs *, sqlite3_int64 *now)
{
    const int rc = g_baseVfs->xCurrentTimeInt64(g_baseVfs, now);
    *now += kShiftMs;
    return rc;
}

int shiftedJulianTime(sqlite3_vfs *, double *now)
{
    const int rc = g_baseVfs->xCurrentTime(g_baseVfs, now);
    *now += double(kShiftMs) / 86400000.0;
    return rc;
}

struct ShiftedSqliteClock {
    ShiftedSqliteClock()
    {
        g_baseVfs = sqlite3_vfs_find(nullptr);
        g_shiftedVfs = *g_baseVfs;
        g_shiftedVfs.zName = "imaestros_shifted_clock";
        g_shiftedVfs.xCurrentTimeInt64 = shiftedTime;
        g_shiftedVfs.xCurrentTime = shiftedJulianTime;
        sqlite3_vfs_register(&g_shiftedVfs, 1);
    }
    ~ShiftedSqliteClock()
    {
        sqlite3_vfs_unregister(&g_shiftedVfs);
        sqlite3_vfs_register(g_baseVfs, 1);
    }
};

QDateTime firstDate(ado::Connection &cnn, const QString &sql)
{
    return cnn.Execute(sql)->field(0).Value().toDateTime();
}

using lookup::Lib_FrmCons3Logic;

const QString kRubros = QStringLiteral("SELECT IdRubro, Descripcion FROM V_TA_RUBROS ORDER BY IdRubro");

class ListForm : public LookupDatabaseTest {
protected:
    std::unique_ptr<Lib_FrmCons3Logic> load(const QString &sql,
                                            const std::function<void(Lib_FrmCons3Logic &)> &setup = {})
    {
        auto form = std::make_unique<Lib_FrmCons3Logic>();
        form->SQL = sql;
        if (setup)
            setup(*form);
        EXPECT_TRUE(form->Form_Load()) << sql.toStdString();
        return form;
    }
    static QStringList column(const Lib_FrmCons3Logic &form, int c)
    {
        QStringList texts;
        for (int i = 0; i < form.ListView1().rows(); ++i)
            texts << form.ListView1().cell(i, c);
        return texts;
    }
    static QStringList checkedIds(const Lib_FrmCons3Logic &form)
    {
        QStringList ids;
        for (int i = 0; i < form.ListView1().rows(); ++i) {
            if (form.ListView1().isChecked(i))
                ids << form.ListView1().cell(i, 0);
        }
        return ids;
    }
    void article(const char *id, const char *description, const char *reorder, const char *stock,
                 const char *quantity = "NULL", int suspended = 0)
    {
        exec(QStringLiteral("INSERT INTO VT_MA_ARTICULOS (IDARTICULO, DESCRIPCION, PRECIO1, PUNTOPEDIDO, Stock, "
                            "SUSPENDIDO, Cantidad) VALUES ('%1', '%2', 10, %3, %4, %5, %6)")
                 .arg(QString::fromUtf8(id).rightJustified(25),
                      QString::fromUtf8(description).replace(QLatin1Char('\''), QStringLiteral("''")),
                      QString::fromUtf8(reorder), QString::fromUtf8(stock))
                 .arg(suspended)
                 .arg(QString::fromUtf8(quantity)));
    }
};

TEST_P(ListForm, LoadsColumnsRowsAndWidths)
{
    auto form = load(kRubros);
    ASSERT_EQ(form->ListView1().columns(), 2);
    // PostgreSQL gives unquoted names in lower case: names compare without regard to case
    EXPECT_EQ(form->ListView1().column(0).caption.toUpper(), QStringLiteral("IDRUBRO"));
    EXPECT_EQ(form->ListView1().column(1).caption.toUpper(), QStringLiteral("DESCRIPCION"));
    EXPECT_EQ(form->ListView1().column(0).width, 4 * 120);
    EXPECT_EQ(form->ListView1().column(1).width, 60 * 120);
    // the first column is trimmed, the others are shown as they come; Null reads as ""
    EXPECT_EQ(column(*form, 0), (QStringList{"1", "2", "5", "12", "15", "20"}));
    EXPECT_EQ(column(*form, 1), (QStringList{"Arandelas", "Tuercas", "Bulones", "Tornillos", "O'Brien", ""}));
    EXPECT_EQ(form->tableName(), QStringLiteral("V_TA_RUBROS"));
    EXPECT_EQ(form->boxField(1).toUpper(), QStringLiteral("DESCRIPCION"));
    EXPECT_FALSE(form->articleFlag());
    EXPECT_EQ(form->SQL, kRubros + QLatin1Char(' '));

    auto empty = load(QString());
    EXPECT_EQ(empty->ListView1().columns(), 0);
    EXPECT_EQ(empty->ListView1().rows(), 0);
    EXPECT_EQ(empty->boxCount(), 1);
    auto single = load(QStringLiteral("select Descripcion from V_TA_RUBROS where Activo = 0"));
    EXPECT_EQ(single->ListView1().columns(), 1);
    EXPECT_EQ(column(*single, 0), QStringList{"Bulones"});
}

TEST_P(ListForm, ArticleCaptionsAndWidening)
{
    recreateTable(QStringLiteral("STK_MA_ARTICULOS"),
                  QStringLiteral("IDARTICULO varchar(25), DESCRIPCION varchar(200), PRECIO3 numeric(18,4), "
                                 "PRECIO9 numeric(18,4)"));
    config(QStringLiteral("NOM_PCLASE3"), QStringLiteral("Mayorista"));
    auto stock = load(QStringLiteral("SELECT IDARTICULO, DESCRIPCION, PRECIO3, PRECIO9 FROM STK_MA_ARTICULOS"),
                      [](Lib_FrmCons3Logic &f) { f.ValoresDefault = QStringLiteral("@10"); });
    const QStringList captions = {stock->ListView1().column(0).caption, stock->ListView1().column(1).caption,
                                  stock->ListView1().column(2).caption, stock->ListView1().column(3).caption};
    EXPECT_EQ(captions.join(QLatin1Char('|')).toUpper(), QStringLiteral("IDARTICULO|DESCRIPCION|MAYORISTA|PRECIO9"));
    EXPECT_EQ(captions.at(2), QStringLiteral("Mayorista"));
    EXPECT_EQ(stock->ListView1().column(1).width, 60 * 120); // no widening under these captions
    EXPECT_EQ(stock->ListView1().column(2).width, 12 * 120);
    exec(QStringLiteral("DELETE FROM TA_CONFIGURACION WHERE CLAVE = 'NOM_PCLASE3'"));
    auto missing = load(QStringLiteral("SELECT PRECIO3 FROM STK_MA_ARTICULOS"));
    EXPECT_EQ(missing->ListView1().column(0).caption, QStringLiteral(" "));

    auto wide = load(QStringLiteral("SELECT IDARTICULO, DESCRIPCION, PRECIO1 FROM VT_MA_ARTICULOS"),
                     [](Lib_FrmCons3Logic &f) { f.ValoresDefault = QStringLiteral("@10"); });
    EXPECT_EQ(wide->ListView1().column(0).width, 35 * 120);
    EXPECT_EQ(wide->ListView1().column(1).width, 70 * 120);
    EXPECT_EQ(wide->ListView1().column(2).width, 22 * 120);
    EXPECT_EQ(wide->ListView1().column(2).caption.toUpper(), QStringLiteral("PRECIO1"));
}

TEST_P(ListForm, StockColoursAndNullValues)
{
    article("A1", "cero y cinco", "0", "5");
    article("A2", "doce sobre diez", "10", "12");
    article("A3", "tres bajo diez", "10", "3");
    article("A4", "igual", "10", "10");
    article("A5", "nada", "0", "0");
    article("A6", "sin punto", "NULL", "5");
    article("A7", "sin stock", "5", "NULL");
    const QString sql =
        QStringLiteral("SELECT IDARTICULO, DESCRIPCION, PUNTOPEDIDO, Stock FROM VT_MA_ARTICULOS ORDER BY IDARTICULO");
    auto setup = [](Lib_FrmCons3Logic &f) {
        f.MuestraStock = QStringLiteral("si");
        f.StkNivel1 = QStringLiteral("255");
        f.StkNivel2 = QStringLiteral("65280");
        f.StkNivel3 = QStringLiteral("16711680");
        f.StkNivel4 = QStringLiteral("12632256");
    };
    auto form = load(sql, setup);
    ASSERT_EQ(form->ListView1().rows(), 7); // no row is left out because of its values
    const int expected[] = {255, 65280, 16711680, 12632256, 12632256, 255, 16711680};
    for (int i = 0; i < 7; ++i) {
        const QVariant colour =
            form->ListView1().data(form->ListView1().index(i, 1), lookup::LookupListModel::ColourRole);
        EXPECT_EQ(colour.toInt(), expected[i]) << i;
    }
    auto plain = load(sql, [&](Lib_FrmCons3Logic &f) {
        setup(f);
        f.MuestraStock = QStringLiteral("NO");
    });
    EXPECT_FALSE(
        plain->ListView1().data(plain->ListView1().index(0, 0), lookup::LookupListModel::ColourRole).isValid());
    auto oneColumn = load(QStringLiteral("SELECT IDARTICULO FROM VT_MA_ARTICULOS"), setup);
    EXPECT_FALSE(
        oneColumn->ListView1().data(oneColumn->ListView1().index(0, 0), lookup::LookupListModel::ColourRole).isValid());
}

TEST_P(ListForm, DefaultValuesCheckRowsByOccurrence)
{
    exec(QStringLiteral("INSERT INTO V_TA_RUBROS VALUES ('  30', '', 1)")); // a blank description
    struct Case {
        const char *campo, *defaults;
        bool checks;
        QStringList checked;
    };
    const Case cases[] = {
        {"idrubro", "12,15", true, {"1", "2", "5", "12", "15"}},
        {"idrubro", "12,15", false, {}},
        {"descripcion", "Tuercas", true, {"2", "30"}}, // a blank occurs in every text
        {"descripcion", "", true, {}},                 // an empty list checks nothing
        {"descripcion", "   ", true, {}},
    };
    for (const Case &c : cases) {
        auto form = load(kRubros, [&](Lib_FrmCons3Logic &f) {
            f.CheckBoxes = c.checks;
            f.CampoDevuelto = QString::fromUtf8(c.campo);
            f.ValoresDefault = QString::fromUtf8(c.defaults);
        });
        EXPECT_EQ(checkedIds(*form), c.checked) << c.campo << " [" << c.defaults << "]";
    }
}

TEST_P(ListForm, FirstScreenAtOnceAndEveryRowFromItsOwnConnection)
{
    auto setup = [](Lib_FrmCons3Logic &f) {
        f.firstScreenRows = 2;
        f.CheckBoxes = true;
        f.CampoDevuelto = QStringLiteral("IdRubro");
        f.ValoresDefault = QStringLiteral("20");
    };
    auto form = load(kRubros, setup);
    EXPECT_EQ(column(*form, 0), (QStringList{"1", "2"})); // the first screen alone
    ASSERT_TRUE(form->loading());
    EXPECT_EQ(form->SQL, kRubros + QLatin1Char(' ')); // the statement is the whole one
    form->selectRow(1);
    form->ListView1().setChecked(0, true); // the operator works on it meanwhile
    form->ListView1().setCell(1, 1, QStringLiteral("cambiada"));
    form->waitForRows();
    EXPECT_FALSE(form->loading());
    EXPECT_EQ(column(*form, 0), (QStringList{"1", "2", "5", "12", "15", "20"}));
    EXPECT_EQ(form->selectedRow(), 1);
    EXPECT_EQ(form->ListView1().cell(1, 1), QStringLiteral("cambiada"));
    EXPECT_EQ(checkedIds(*form), (QStringList{"1", "2", "20"})); // the operator's and the defaults' ("2" in "20")

    // the search, the sorting, "&Marcar" and accepting checks see every row
    const std::function<void(Lib_FrmCons3Logic &)> waits[] = {
        [](Lib_FrmCons3Logic &f) {
            f.CmbSearch_Change(1, QStringLiteral("o'b"));
            EXPECT_EQ(f.selectedRow(), 4);
        },
        [](Lib_FrmCons3Logic &f) {
            f.ListView1_ColumnClick(0);
            EXPECT_EQ(f.ListView1().cell(0, 0), QStringLiteral("5"));
        },
        [](Lib_FrmCons3Logic &f) {
            f.CmdTodos_Click();
            EXPECT_EQ(checkedIds(f), (QStringList{"1", "5", "12", "15"}));
        },
        [](Lib_FrmCons3Logic &f) {
            f.CmdAceptar_Click();
            EXPECT_EQ(f.Valores, (QStringList{"2", "20"}));
        },
    };
    for (const auto &operation : waits) {
        auto other = load(kRubros, setup);
        ASSERT_TRUE(other->loading());
        operation(*other);
        EXPECT_FALSE(other->loading());
        EXPECT_EQ(other->ListView1().rows(), 6);
    }

    // a list sorted here, whose statement and storage give another order: its first screen
    // is the top of the whole list, which stays where it is, as does the row chosen, when the
    // rest comes
    auto sorted = load(QStringLiteral("SELECT Descripcion, IdRubro FROM V_TA_RUBROS WHERE Descripcion IS NOT NULL "
                                      "ORDER BY Descripcion DESC"),
                       [](Lib_FrmCons3Logic &f) {
                           f.firstScreenRows = 2;
                           f.OrdenarPorLwv = true;
                       });
    EXPECT_EQ(column(*sorted, 0), (QStringList{"Arandelas", "Bulones"}));
    EXPECT_EQ(sorted->selectedRow(), 0);
    sorted->selectRow(1);
    sorted->waitForRows();
    EXPECT_EQ(column(*sorted, 0), (QStringList{"Arandelas", "Bulones", "O'Brien", "Tornillos", "Tuercas"}));
    EXPECT_EQ(sorted->selectedRow(), 1);
    // ties on the first column are broken by the others, alike in both reads
    auto ties = load(QStringLiteral("SELECT Activo, IdRubro FROM V_TA_RUBROS"), [](Lib_FrmCons3Logic &f) {
        f.firstScreenRows = 2;
        f.OrdenarPorLwv = true;
    });
    EXPECT_EQ(column(*ties, 1), (QStringList{"   5", "   1"}));
    ties->waitForRows();
    EXPECT_EQ(column(*ties, 1), (QStringList{"   5", "   1", "   2", "  12", "  15", "  20"}));

    // rows the lookup object unchecks before showing the list stay unchecked when they come
    auto unchecked = load(kRubros, setup);
    unchecked->uncheckAll();
    unchecked->waitForRows();
    EXPECT_TRUE(checkedIds(*unchecked).isEmpty());
    // a screen that holds every row needs nothing more
    auto small = load(kRubros, [&](Lib_FrmCons3Logic &f) {
        setup(f);
        f.firstScreenRows = 10;
    });
    EXPECT_FALSE(small->loading());
    EXPECT_EQ(small->ListView1().rows(), 6);
}

TEST_P(ListForm, RowsOnlyTheWindowsConnectionSeesAreReadThere)
{
    // a table of the window's session: the second connection cannot read it
    gDB().gCnn.Execute(QStringLiteral("CREATE TEMP TABLE TMP_RUBROS (IdRubro varchar(4), Descripcion varchar(60))"));
    for (const char *row : {"'1', 'uno'", "'2', 'dos'", "'3', 'tres'"})
        gDB().gCnn.Execute(QStringLiteral("INSERT INTO TMP_RUBROS VALUES (%1)").arg(QString::fromLatin1(row)));
    auto temporary = load(QStringLiteral("SELECT IdRubro, Descripcion FROM TMP_RUBROS ORDER BY IdRubro"),
                          [](Lib_FrmCons3Logic &f) { f.firstScreenRows = 2; });
    temporary->waitForRows();
    EXPECT_EQ(column(*temporary, 1), (QStringList{"uno", "dos", "tres"}));

    // rows written in a transaction of the window's connection, not yet committed
    gDB().gCnn.BeginTrans();
    gDB().gCnn.Execute(QStringLiteral("INSERT INTO V_TA_RUBROS VALUES ('  40', 'Pendiente', 1)"));
    auto pending = load(kRubros, [](Lib_FrmCons3Logic &f) { f.firstScreenRows = 2; });
    EXPECT_FALSE(pending->loading());
    EXPECT_EQ(pending->ListView1().rows(), 7);
    gDB().gCnn.RollbackTrans();
}

TEST_P(ListForm, KeysInTheListReachTheSearchBox)
{
    auto form = load(kRubros);
    int focusMoves = 0;
    QObject::connect(form.get(), &Lib_FrmCons3Logic::focusToBox, form.get(), [&](int) { ++focusMoves; });
    form->CmbSearch_GotFocus(1);
    struct Step {
        int key;
        const char *typed;
        const char *box;
        int selected;
    };
    const Step steps[] = {
        {84, "t", "t", 1},   // Tuercas
        {79, "o", "to", 3},  // Tornillos
        {8, "", "t", 1},     // Backspace deletes
        {32, " ", "t ", 1},  // Space types a blank when rows carry no checks
        {117, "", "t ", 1},  // F6 types nothing
        {97, "1", "t 1", 1}, // keypad 1: no row matches, the selection stays
        {8, "", "t ", 1},
    };
    int moves = 0;
    for (const Step &step : steps) {
        form->ListView1_KeyDown(step.key, 0, QString::fromUtf8(step.typed));
        EXPECT_EQ(form->boxText(1).toStdString(), step.box) << step.key;
        EXPECT_EQ(form->selectedRow(), step.selected) << step.key;
        EXPECT_EQ(focusMoves, ++moves) << step.key;
    }
    form->CmbSearch_Change(1, QStringLiteral("   "));
    EXPECT_EQ(form->selectedRow(), 0); // only blanks: the first row
    form->CmbSearch_GotFocus(0);
    form->ListView1_KeyDown(49, 0, QStringLiteral("1"));
    form->ListView1_KeyDown(53, 0, QStringLiteral("5"));
    EXPECT_EQ(form->boxText(0), QStringLiteral("15"));
    EXPECT_EQ(form->selectedRow(), 4);
    form->ListView1_KeyDown(36, 0, QString()); // Home: the list's own
    EXPECT_EQ(form->boxText(0), QStringLiteral("15"));

    auto checks = load(kRubros, [](Lib_FrmCons3Logic &f) { f.CheckBoxes = true; });
    checks->selectRow(2);
    checks->ListView1_KeyDown(32, 0, QStringLiteral(" "));
    EXPECT_EQ(checkedIds(*checks), QStringList{"5"});
    EXPECT_EQ(checks->boxText(0), QString()); // Space types nothing there
    checks->ListView1_KeyDown(32, 0, QStringLiteral(" "));
    EXPECT_TRUE(checkedIds(*checks).isEmpty());
}

TEST_P(ListForm, EnterInASearchBoxAcceptsTheSelectedRow)
{
    auto form = load(kRubros, [](Lib_FrmCons3Logic &f) { f.CampoDevuelto = QStringLiteral("IdRubro"); });
    form->CmbSearch_Change(1, QStringLiteral("tue"));
    form->CmbSearch_KeyDown(1, 13, 0);
    EXPECT_TRUE(form->hidden());
    EXPECT_FALSE(form->cancelled());
    EXPECT_EQ(form->ValorDevuelto, QStringLiteral("2"));
}

TEST_P(ListForm, SortingByHeaderFlipsTheOrderEveryClick)
{
    auto form = load(kRubros);
    form->selectRow(3); // Tornillos
    form->ListView1_ColumnClick(0);
    EXPECT_EQ(column(*form, 0), (QStringList{"5", "20", "2", "15", "12", "1"}));
    EXPECT_EQ(form->ListView1().cell(form->selectedRow(), 1), QStringLiteral("Tornillos"));
    form->ListView1_ColumnClick(0);
    EXPECT_EQ(column(*form, 0), (QStringList{"1", "12", "15", "2", "20", "5"}));
    form->ListView1_ColumnClick(1);
    EXPECT_EQ(column(*form, 1), (QStringList{"Tuercas", "Tornillos", "O'Brien", "Bulones", "Arandelas", ""}));
    form->CmbSearch_Change(1, QStringLiteral("t"));
    EXPECT_EQ(form->selectedRow(), 0); // the first match in the sorted order

    auto sorted = load(QStringLiteral("SELECT Descripcion, IdRubro FROM V_TA_RUBROS WHERE Descripcion IS NOT NULL"),
                       [](Lib_FrmCons3Logic &f) { f.OrdenarPorLwv = true; });
    EXPECT_EQ(column(*sorted, 0), (QStringList{"Arandelas", "Bulones", "O'Brien", "Tornillos", "Tuercas"}));
}

TEST_P(ListForm, QuantitiesInOneNumberFormat)
{
    article("A1", "uno", "0", "0", "'2,5'");
    article("A2", "dos", "0", "0", "'1'");
    article("A3", "tres", "0", "0", "NULL");
    auto form =
        load(QStringLiteral("SELECT IDARTICULO, DESCRIPCION, Cantidad FROM VT_MA_ARTICULOS ORDER BY IDARTICULO"),
             [](Lib_FrmCons3Logic &f) {
                 f.CheckBoxes = true;
                 f.UsaCantidades = true;
             });
    struct Step {
        int row, key, shift;
        const char *answer; // for Shift+Insert
        const char *quantity;
        bool checked;
    };
    const Step steps[] = {
        {0, 45, 0, nullptr, "3,5", true},   {1, 46, 0, nullptr, "0,00", false}, {1, 46, 0, nullptr, "0,00", false},
        {2, 45, 1, "4,25", "4,25", true},   {0, 45, 1, "", "3,5", true},        {1, 45, 1, "abc", "0,00", false},
        {1, 45, 2, nullptr, "0,00", false}, // Ctrl+Insert: not a quantity key
    };
    for (const Step &step : steps) {
        if (step.answer)
            operatorScript().expect(QStringLiteral("Ingrese la Cantidad"), platform::vbOK,
                                    QString::fromUtf8(step.answer));
        form->selectRow(step.row);
        form->ListView1_KeyDown(step.key, step.shift, QString());
        EXPECT_EQ(form->ListView1().cell(step.row, 2).toStdString(), step.quantity) << step.row << "/" << step.key;
        EXPECT_EQ(form->ListView1().isChecked(step.row), step.checked) << step.row << "/" << step.key;
    }
    EXPECT_EQ(operatorScript().asked().at(1).defaultText, QStringLiteral("3,5")); // the current quantity is offered

    form->UsaCantidades = false;
    form->selectRow(0);
    form->ListView1_KeyDown(45, 0, QString());
    EXPECT_EQ(form->ListView1().cell(0, 2), QStringLiteral("3,5"));

    auto noColumn = load(kRubros, [](Lib_FrmCons3Logic &f) { f.UsaCantidades = true; });
    noColumn->selectRow(0);
    operatorScript().expect(QStringLiteral("No existe la columna Cantidad"), platform::vbAbort);
    noColumn->ListView1_KeyDown(45, 0, QString());
}

TEST_P(ListForm, AcceptanceHandsBackTheChosenValues)
{
    struct Case {
        const char *name;
        bool checks;
        const char *campo;
        QStringList returned;
        int selected;
        QList<int> checked;
        const char *value;
        QStringList valores;
        bool cancelled;
    };
    const Case cases[] = {
        {"one row", false, "IdRubro", {}, 3, {}, "12", {}, false},
        {"returned columns",
         false,
         "",
         {"descripcion", "NO_EXISTE", " IDRUBRO "},
         3,
         {},
         "12",
         {"Tornillos", "Tornillos", "12"},
         false},
        {"unknown column", false, "NO_EXISTE", {}, 3, {}, "", {}, false},
        {"no selection", false, "IdRubro", {}, -1, {}, "", {}, true},
        {"checked rows", true, "Descripcion", {}, -1, {4, 1}, "", {"Tuercas", "O'Brien"}, false},
        {"checks, first column", true, "", {}, -1, {0}, "", {"1"}, false},
        {"checks, none", true, "Descripcion", {}, -1, {}, "", {}, false},
    };
    for (const Case &c : cases) {
        auto form = load(kRubros, [&](Lib_FrmCons3Logic &f) {
            f.CheckBoxes = c.checks;
            f.CampoDevuelto = QString::fromUtf8(c.campo);
            if (!c.returned.isEmpty())
                f.CmpsDevueltos = c.returned;
        });
        form->selectRow(c.selected);
        for (const int row : c.checked)
            form->ListView1().setChecked(row, true);
        form->ListView1_KeyDown(13, 0, QString());
        EXPECT_TRUE(form->hidden()) << c.name;
        EXPECT_EQ(form->ValorDevuelto.toStdString(), c.value) << c.name;
        EXPECT_EQ(form->Valores, c.valores) << c.name;
        EXPECT_EQ(form->cancelled(), c.cancelled) << c.name;
        if (c.checks && !*c.campo) {
            EXPECT_EQ(form->CampoDevuelto.toUpper(), QStringLiteral("IDRUBRO")) << c.name;
        }
    }
    auto cancelled = load(kRubros, [](Lib_FrmCons3Logic &f) { f.CmpsDevueltos = QStringList{"IdRubro"}; });
    cancelled->selectRow(1);
    cancelled->CmdCancelar_Click();
    EXPECT_TRUE(cancelled->hidden());
    EXPECT_TRUE(cancelled->cancelled());
    EXPECT_TRUE(cancelled->ValorDevuelto.isEmpty());
    EXPECT_FALSE(cancelled->CmpsDevueltos.has_value());
}

TEST_P(ListForm, ServerSearchAddsEscapedConditionsThatAccumulate)
{
    auto form = load(kRubros);
    form->CmbSearch_Change(1, QStringLiteral("tor*"));
    form->CmbSearch_KeyDown(1, 116, 0);
    EXPECT_EQ(form->SQL.toUpper(),
              QStringLiteral("SELECT IDRUBRO, DESCRIPCION FROM V_TA_RUBROS  WHERE DESCRIPCION LIKE "
                             "'TOR%%' ORDER BY IDRUBRO "));
    EXPECT_EQ(column(*form, 1), QStringList{"Tornillos"});
    EXPECT_EQ(form->boxText(1), QString());
    form->CmdNueva_Click();
    EXPECT_EQ(form->ListView1().rows(), 6);

    auto like = load(kRubros, [](Lib_FrmCons3Logic &f) { f.CfgUsaConsultaLIKE = true; });
    like->CmbSearch_Change(1, QStringLiteral("o'b"));
    like->CmbSearch_KeyDown(1, 116, 0);
    EXPECT_EQ(column(*like, 1), QStringList{"O'Brien"});
    like->CmdNueva_Click();
    like->CmbSearch_Change(1, QStringLiteral("r s"));
    like->CmbSearch_KeyDown(1, 116, 0);
    EXPECT_EQ(column(*like, 1), (QStringList{"Arandelas", "Tuercas", "Tornillos"}));
    like->CmbSearch_Change(0, QStringLiteral("1"));
    like->CmbSearch_KeyDown(0, 116, 0); // a second search narrows the first
    EXPECT_EQ(column(*like, 0), (QStringList{"1", "12"}));
    EXPECT_EQ(like->SQL.toUpper(),
              QStringLiteral("SELECT IDRUBRO, DESCRIPCION FROM V_TA_RUBROS  WHERE (DESCRIPCION "
                             "LIKE '%R%S%') AND IDRUBRO LIKE '%1%' ORDER BY IDRUBRO "));
    like->CmdNueva_Click();
    like->CmbSearch_KeyDown(1, 116, 0); // an empty box keeps every row with a value
    EXPECT_EQ(like->ListView1().rows(), 5);

    auto grouped = load(QStringLiteral("SELECT Descripcion, COUNT(*) AS N FROM V_TA_RUBROS WHERE Activo = 0 OR "
                                       "Activo = 1 GROUP BY Descripcion ORDER BY Descripcion"),
                        [](Lib_FrmCons3Logic &f) { f.CfgUsaConsultaLIKE = true; });
    grouped->CmbSearch_Change(0, QStringLiteral("tor"));
    grouped->CmbSearch_KeyDown(0, 116, 0);
    EXPECT_EQ(column(*grouped, 0), QStringList{"Tornillos"});
    EXPECT_EQ(column(*grouped, 1), QStringList{"1"});
}

TEST_P(ListForm, ArticleSearchAsTheLookupObjectBuildsIt)
{
    article("A1", "tornillo de 8", "0", "0");
    article("A2", "tornillo de 10", "0", "0");
    article("A3", "tornillo 8 suspendido", "0", "0", "NULL", 1);
    auto form = load(QStringLiteral("SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE "
                                    "SUSPENDIDO = 0 ORDER BY DESCRIPCION"),
                     [](Lib_FrmCons3Logic &f) { f.CfgUsaConsultaLIKE = true; });
    form->CmbSearch_Change(0, QStringLiteral("tornillo 8"));
    form->CmbSearch_KeyDown(0, 116, 0);
    EXPECT_EQ(form->SQL,
              QStringLiteral("SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  "
                             "WHERE (SUSPENDIDO = 0) and %1 like '%tornillo%8%' ORDER BY DESCRIPCION ")
                  .arg(form->boxField(0)));
    EXPECT_EQ(form->boxField(0).toUpper(), QStringLiteral("DESCRIPCION"));
    EXPECT_EQ(column(*form, 0), QStringList{"tornillo de 8"});
}

TEST_P(ListForm, RefusedSearchKeepsTheList)
{
    auto form = load(QStringLiteral("SELECT IdRubro AS [Codigo Rubro], Descripcion FROM V_TA_RUBROS"));
    const QString before = form->SQL;
    form->CmbSearch_Change(0, QStringLiteral("1"));
    operatorScript().expect(QStringLiteral("Ha ocurrido el Siguiente Error"), platform::vbAbort);
    form->CmbSearch_KeyDown(0, 116, 0);
    EXPECT_EQ(form->SQL, before);
    EXPECT_EQ(form->ListView1().rows(), 6);
}

TEST_P(ListForm, ShortageReportTakesTheServerTimeAndEscapesTheText)
{
    // the table as the embedded database's script makes it
    exec(QStringLiteral("DROP TABLE V_MV_FALTANTES"));
    QFile script(QStringLiteral(IMAESTROS_SCHEMA "/sqlserver/lookup.sql"));
    ASSERT_TRUE(script.open(QIODevice::ReadOnly));
    const platform::Status created = schema::runScript(cnn(), QString::fromUtf8(script.readAll()));
    ASSERT_TRUE(created.ok()) << created.message().toStdString();
    article("A1", "Tornillo O'Brien", "0", "0");
    // The server's clock stands apart from the program's: the report must take the server's.
    std::optional<ShiftedSqliteClock> shifted;
    if (isSqlite()) {
        shifted.emplace();
        releaseSharedDatabases();
        gDB().gUsuario = QStringLiteral("ana");
        gDB().OpenServerADODB(false, 3, connectionString(), false, false);
        ASSERT_TRUE(gDB().gOpenFlag);
    } else {
        const int here = QDateTime::currentDateTime().offsetFromUtc() / 3600;
        const int there = here >= 0 ? here - 8 : here + 8; // "Etc/GMT+5" is five hours behind UTC
        gDB().gCnn.Execute(QStringLiteral("SET TIME ZONE 'Etc/GMT%1%2'")
                               .arg(there > 0 ? QStringLiteral("-") : QStringLiteral("+"))
                               .arg(std::abs(there)));
    }
    const QString sql = QStringLiteral("SELECT DESCRIPCION, IDARTICULO FROM VT_MA_ARTICULOS ORDER BY IDARTICULO");
    auto form = load(sql);
    ASSERT_TRUE(form->articleFlag());
    form->selectRow(-1);
    int key = 123;
    form->Form_KeyDown(key, 0); // nothing selected: nothing to report
    EXPECT_EQ(key, 0);
    form->selectRow(0);
    operatorScript().expect(
        QStringLiteral("Desea informar el articulo A1 Tornillo O'Brien\r\ncomo un faltante de stock?"), platform::vbNo);
    key = 123;
    form->Form_KeyDown(key, 0);
    EXPECT_EQ(count(QStringLiteral("V_MV_FALTANTES")), 0);
    operatorScript().expect(QStringLiteral("Desea informar el articulo A1"), platform::vbYes);
    key = 123;
    form->Form_KeyDown(key, 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT IdArticulo FROM V_MV_FALTANTES")), QStringLiteral("A1").rightJustified(25));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Descripcion FROM V_MV_FALTANTES")), QStringLiteral("Tornillo O'Brien"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Usuario FROM V_MV_FALTANTES")), QStringLiteral("ana"));
    const QDateTime reported = firstDate(cnn(), QStringLiteral("SELECT FechaHora FROM V_MV_FALTANTES"));
    const QDateTime server = firstDate(gDB().gCnn, QStringLiteral("SELECT getDate()"));
    ASSERT_TRUE(reported.isValid() && server.isValid());
    EXPECT_LT(std::abs(reported.secsTo(server)), 600) << reported.toString(Qt::ISODate).toStdString();
    EXPECT_GT(std::abs(reported.secsTo(QDateTime::currentDateTime())), 4 * 3600);

    auto noCode = load(QStringLiteral("SELECT DESCRIPCION FROM VT_MA_ARTICULOS"));
    noCode->selectRow(0);
    key = 123;
    noCode->Form_KeyDown(key, 0); // no code column: nothing asked, no blank code stored
    EXPECT_EQ(count(QStringLiteral("V_MV_FALTANTES")), 1);
    auto other = load(kRubros);
    other->selectRow(0);
    key = 123;
    other->Form_KeyDown(key, 0);
    EXPECT_EQ(key, 123); // not an article lookup: the key goes on
}

TEST_P(ListForm, MarcarInvertsEveryCheck)
{
    auto form = load(kRubros, [](Lib_FrmCons3Logic &f) { f.CheckBoxes = true; });
    form->ListView1().setChecked(0, true);
    form->ListView1().setChecked(3, true);
    form->CmdTodos_Click();
    EXPECT_EQ(checkedIds(*form), (QStringList{"2", "5", "15", "20"}));
}

TEST_P(ListForm, SavedWidthsAreReadAtLoadAndWrittenWhenAsked)
{
    const QString file = platform::joinPath(home(), QStringLiteral("CONSULTASLEN.VKR"));
    auto unsaved = load(kRubros);
    unsaved->Form_Unload();
    EXPECT_FALSE(QFile::exists(file)); // GrabarCfg is off: the file is never written

    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("\"v_ta_rubros\",\"999|\"\r\n\"VT_MA_ARTICULOS\",\"111|222|\"\r\n");
    }
    auto form = load(kRubros, [](Lib_FrmCons3Logic &f) { f.GrabarCfg = true; });
    EXPECT_EQ(form->ListView1().column(0).width, 999);
    EXPECT_EQ(form->ListView1().column(1).width, 60 * 120); // short line: the rest keep theirs
    form->ListView1().setColumnWidth(1, 1234);
    form->Form_Unload();
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("\"VT_MA_ARTICULOS\",\"111|222|\"\r\n\"V_TA_RUBROS\",\"999|1234|\"\r\n"));

    recreateTable(QStringLiteral("STK_MA_ARTICULOS"),
                  QStringLiteral("IDARTICULO varchar(25), DESCRIPCION varchar(200)"));
    auto stock = load(QStringLiteral("SELECT IDARTICULO, DESCRIPCION FROM Stk_ma_articulos"));
    EXPECT_EQ(stock->tableName(), QStringLiteral("VT_MA_ARTICULOS")); // shares the article view's widths
    EXPECT_EQ(stock->ListView1().column(1).width, 222);
}

TEST(ListFormCommands, RegistrationProgramByTable)
{
    const std::tuple<const char *, const char *, const char *> cases[] = {
        {"V_TA_RUBROS", "tablas", "V_TA_RUBROS"}, {"v_ta_unidad", "tablas", "v_ta_unidad"},
        {"VT_CLIENTES", "clientes", "1"},         {"vt_proveedores", "clientes", "0"},
        {"V_TA_Tecnicos", "tecnicos", ""},        {"V_TA_VENDEDORES", "vendedores", ""},
        {"V_MA_ARTICULOS", "articulos", ""},      {"VT_MA_ARTICULOS", "articulos", ""},
        {"MA_CUENTAS", "tablas", "MA_CUENTAS"},
    };
    for (const auto &[table, program, parameter] : cases) {
        const auto [p, q] = Lib_FrmCons3Logic::registrationProgram(QString::fromUtf8(table));
        EXPECT_EQ(p.toStdString(), program) << table;
        EXPECT_EQ(q.toStdString(), parameter) << table;
    }
}

IMAESTROS_DATABASE_TESTS(ListForm);

} // namespace
