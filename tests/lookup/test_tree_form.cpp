// The tree form's logic on a real database: the family and generic builders, the search,
// the F5 filter, the spreading of checks and the acceptance with its table look-ups.
#include "LookupDatabase.h"

#include "lookup/Lib_ClsCons3.h"
#include "lookup/Lib_FrmCons3TreeLogic.h"

#include "platform/ui/Operator.h"

#include "tests/core/QtPrint.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using lookup::Lib_FrmCons3TreeLogic;

const QString kCentres = QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_CCOSTO ORDER BY CODIGO");

class TreeForm : public LookupDatabaseTest {
protected:
    void family(const char *code, const char *description)
    {
        exec(QStringLiteral("INSERT INTO V_TA_FAMILIAS VALUES ('%1', '%2')")
                 .arg(QString::fromUtf8(code), QString::fromUtf8(description)));
    }
    void centre(const char *code, const char *description)
    {
        exec(QStringLiteral("INSERT INTO TA_CCOSTO VALUES ('%1', '%2')")
                 .arg(QString::fromUtf8(code),
                      QString::fromUtf8(description).replace(QLatin1Char('\''), QStringLiteral("''"))));
    }
    std::unique_ptr<Lib_FrmCons3TreeLogic> load(const QString &sql, const QString &campo = QString(),
                                                bool checks = false)
    {
        auto form = std::make_unique<Lib_FrmCons3TreeLogic>();
        form->SQL = sql;
        form->CampoDevuelto = campo;
        form->CheckBoxes = checks;
        EXPECT_TRUE(form->Form_Load()) << sql.toStdString();
        return form;
    }
    // Every node as "key<parent key", in the order of addition.
    static QStringList shape(const Lib_FrmCons3TreeLogic &form)
    {
        QStringList nodes;
        const lookup::LookupTreeModel &tree = form.TreeV();
        for (int id = 0; id < tree.count(); ++id) {
            const int parent = tree.node(id).parent;
            nodes << tree.node(id).key + QLatin1Char('<') + (parent < 0 ? QString() : tree.node(parent).key);
        }
        return nodes;
    }
    int node(const Lib_FrmCons3TreeLogic &form, const char *key) { return form.TreeV().find(QString::fromUtf8(key)); }
};

TEST_P(TreeForm, FamiliesHangUnderTheirParents)
{
    auto empty = load(QStringLiteral("v_ta_familias"));
    EXPECT_EQ(shape(*empty), QStringList{"A<"});
    EXPECT_EQ(empty->TreeV().node(0).text, QStringLiteral("Consulta..."));

    for (const auto &[code, description] : {std::pair{"1", "Ferreteria"},
                                            {"11", "Tornillos"},
                                            {"111", "Tornillos 8"},
                                            {"12", "Clavos"},
                                            {"2", "Pintureria"}})
        family(code, description);
    auto form = load(QStringLiteral("select * from V_TA_FAMILIAS"));
    EXPECT_EQ(form->SQL, Lib_FrmCons3TreeLogic::familyStatement());
    EXPECT_EQ(shape(*form), (QStringList{"A<", "A1<A", "A11<A1", "A111<A11", "A12<A1", "A2<A"}));
    EXPECT_EQ(form->TreeV().node(node(*form, "A111")).text, QStringLiteral("111 - Tornillos 8"));
}

TEST_P(TreeForm, GenericTreeHangsCodesUnderTheLongestCodeTheyExtend)
{
    for (const auto &[code, description] : {std::pair{"01", "Ventas"},
                                            {"0102", "Mostrador"},
                                            {"03", "Compras"},
                                            {"0304", "Importadas"},
                                            {"0501", "Sin padre"}})
        centre(code, description);
    auto form = load(kCentres);
    EXPECT_EQ(shape(*form), (QStringList{"A<", "A01<A", "A0102<A01", "A03<A", "A0304<A03", "A0501<A"}));

    // A repeated code cannot be added twice: the operator may leave it out and go on.
    operatorScript().expect(QStringLiteral("La clave no es única"), platform::vbIgnore);
    operatorScript().expect(QStringLiteral("La clave no es única"), platform::vbAbort);
    auto twice = load(QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_CCOSTO UNION ALL SELECT CODIGO, DESCRIPCION "
                                     "FROM TA_CCOSTO WHERE CODIGO < '04' ORDER BY 1"));
    EXPECT_EQ(twice->TreeV().count(), 3); // root, 01 and 0102; the build ends at the second repeat
}

TEST_P(TreeForm, SearchFindsCodesAndDescriptionsInOrderOfAddition)
{
    for (const auto &[code, description] : {std::pair{"01", "Ventas"}, {"0102", "Mostrador"}, {"03", "Compras"}})
        centre(code, description);
    auto form = load(kCentres);
    const std::pair<const char *, const char *> cases[] = {
        {"mos", "A0102"}, {"VEN", "A01"}, {"01", "A01"}, {"0102", "A0102"}, {"", "A"}, {"x", "A"}, {"Consulta", "A"}};
    for (const auto &[text, key] : cases) {
        form->CmbSearch_Change(0, QString::fromUtf8(text));
        EXPECT_EQ(form->TreeV().node(form->selectedNode()).key.toStdString(), key) << text;
    }
}

TEST_P(TreeForm, FilterNarrowsTheStatementSafely)
{
    for (const auto &[code, description] : {std::pair{"01", "Ventas"}, {"0102", "Mostrador"}, {"03", "D'Angelo"}})
        centre(code, description);
    auto form = load(QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_CCOSTO WHERE CODIGO <> '99' ORDER BY CODIGO"));
    form->CmbSearch_Change(0, QStringLiteral("ostra"));
    form->CmbSearch_KeyDown(0, 116, 0);
    EXPECT_EQ(form->SQL,
              QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_CCOSTO WHERE (CODIGO <> '99') and "
                             "Descripcion like '%ostra%' ORDER BY CODIGO"));
    EXPECT_EQ(shape(*form), (QStringList{"A<", "A0102<A"}));
    EXPECT_EQ(form->boxText(), QString());
    auto quoted = load(kCentres);
    quoted->CmbSearch_Change(0, QStringLiteral("d'a"));
    quoted->CmbSearch_KeyDown(0, 116, 0);
    EXPECT_EQ(shape(*quoted), (QStringList{"A<", "A03<A"}));

    family("1", "Ferreteria");
    family("2", "Pintureria");
    auto families = load(QStringLiteral("V_TA_FAMILIAS"));
    families->CmbSearch_Change(0, QStringLiteral("pint"));
    families->CmbSearch_KeyDown(0, 116, 0);
    EXPECT_EQ(families->TreeV().count(), 3); // the family tree shows every family again

    recreateTable(QStringLiteral("TA_SIN_DESCRIPCION"), QStringLiteral("CODIGO varchar(10)"));
    exec(QStringLiteral("INSERT INTO TA_SIN_DESCRIPCION VALUES ('1')"));
    auto refused = load(QStringLiteral("SELECT CODIGO, CODIGO FROM TA_SIN_DESCRIPCION"));
    operatorScript().expect(QStringLiteral("Ha ocurrido el Siguiente Error"), platform::vbAbort);
    refused->CmbSearch_KeyDown(0, 116, 0);
    EXPECT_EQ(refused->SQL, QStringLiteral("SELECT CODIGO, CODIGO FROM TA_SIN_DESCRIPCION"));
    EXPECT_EQ(shape(*refused), (QStringList{"A<", "A1<A"}));
}

TEST_P(TreeForm, ChecksSpreadToEveryDescendant)
{
    const char *chain[] = {"1", "12", "123", "1234", "12345", "123456", "1234567", "12345678", "123456789"};
    for (const char *code : chain)
        centre(code, "nivel");
    centre("2", "otro");
    auto form = load(kCentres, QStringLiteral("CODIGO"), true);
    form->TreeV().setData(form->TreeV().indexOf(node(*form, "A1")), Qt::Checked, Qt::CheckStateRole);
    form->TreeV_NodeCheck(node(*form, "A1"), true);
    for (const char *code : chain)
        EXPECT_TRUE(form->TreeV().node(node(*form, (std::string("A") + code).c_str())).checked) << code;
    EXPECT_FALSE(form->TreeV().node(node(*form, "A2")).checked);
    EXPECT_FALSE(form->TreeV().node(0).checked);
    form->TreeV().setChecked(node(*form, "A12"), false);
    form->TreeV_NodeCheck(node(*form, "A12"), false);
    EXPECT_TRUE(form->TreeV().node(node(*form, "A1")).checked);
    EXPECT_FALSE(form->TreeV().node(node(*form, "A123456789")).checked);
}

TEST_P(TreeForm, AcceptanceLooksTheCodesUp)
{
    centre(" 07", "En centros");
    centre("09", "Solo centros");
    exec(QStringLiteral("INSERT INTO MA_CUENTAS (Codigo, Descripcion) VALUES ('07', 'En cuentas')"));
    exec(QStringLiteral("INSERT INTO MA_CUENTAS (Codigo, Descripcion) VALUES ('08', 'Solo cuentas')"));
    exec(QStringLiteral("INSERT INTO MA_POSICIONES VALUES ('P1', 'Uno')"));
    family("1", "Ferreteria");

    auto centres = load(kCentres, QStringLiteral("codigo"));
    centres->selectNode(node(*centres, "A 07"));
    centres->CmdAceptar_Click();
    EXPECT_EQ(centres->ValorDevuelto, QStringLiteral(" 07")); // the cost centre wins over the account
    auto accounts =
        load(QStringLiteral("SELECT Codigo, Descripcion FROM MA_CUENTAS ORDER BY Codigo"), QStringLiteral("CODIGO"));
    accounts->selectNode(node(*accounts, "A08"));
    accounts->CmdAceptar_Click();
    EXPECT_EQ(accounts->ValorDevuelto, QStringLiteral("08"));
    EXPECT_FALSE(accounts->cancelled());

    auto families = load(QStringLiteral("V_TA_FAMILIAS"), QStringLiteral("IDFAMILIA"));
    families->selectNode(node(*families, "A1"));
    families->CmdAceptar_Click();
    EXPECT_EQ(families->ValorDevuelto, QStringLiteral("1"));

    auto rootOnly = load(QStringLiteral("V_TA_FAMILIAS"), QStringLiteral("IDFAMILIA"));
    rootOnly->selectNode(0);
    rootOnly->CmdAceptar_Click();
    EXPECT_TRUE(rootOnly->cancelled()); // the root is no row: no choice
    EXPECT_TRUE(rootOnly->ValorDevuelto.isEmpty());

    auto positions = load(QStringLiteral("SELECT IDPOSICION, DESCRIPCION FROM MA_POSICIONES UNION ALL SELECT 'P9', "
                                         "'Ninguna' FROM MA_POSICIONES"),
                          QStringLiteral("IDPOSICION"), true);
    for (int id = 0; id < positions->TreeV().count(); ++id)
        positions->TreeV().setChecked(id, true);
    positions->CmdAceptar_Click();
    EXPECT_EQ(positions->Valores, QStringList{"P1"}); // P9 has no row; the root adds nothing

    auto checkedFamilies = load(QStringLiteral("V_TA_FAMILIAS"), QStringLiteral("IDFAMILIA"), true);
    for (int id = 0; id < checkedFamilies->TreeV().count(); ++id)
        checkedFamilies->TreeV().setChecked(id, true);
    checkedFamilies->CmdAceptar_Click();
    EXPECT_EQ(checkedFamilies->Valores, QStringList{"1"});

    auto cancelled = load(kCentres, QStringLiteral("CODIGO"));
    cancelled->closeRequested();
    EXPECT_TRUE(cancelled->cancelled());
    EXPECT_TRUE(cancelled->hidden());
    EXPECT_TRUE(cancelled->Valores.isEmpty());
}

TEST_P(TreeForm, LookupObjectShowsTheTree)
{
    family("1", "Ferreteria");
    family("11", "Tornillos");
    auto presenter = std::make_shared<ScriptedPresenter>();
    presenter->tree = [](Lib_FrmCons3TreeLogic &form) {
        form.CmbSearch_Change(0, QStringLiteral("torn"));
        form.TreeV_DblClick();
    };
    lookup::Lib_ClsCons3::setPresenter(presenter);
    lookup::Lib_ClsCons3 consulta;
    consulta.CampoDevuelto = QStringLiteral("IDFAMILIA");
    consulta.Checks = false;
    consulta.ConsultaSearch(QStringLiteral("SELECT IdFamilia, Descripcion FROM V_TA_FAMILIAS"), nullptr, QString(),
                            nullptr, nullptr, QString(), true);
    EXPECT_EQ(consulta.ValorDevuelto, QStringLiteral("11"));
    EXPECT_FALSE(consulta.cancelled());
    EXPECT_TRUE(consulta.CampoDevuelto.isEmpty());

    presenter->tree = {}; // closed without an answer
    consulta.CampoDevuelto = QStringLiteral("IDFAMILIA");
    consulta.ConsultaSearch(QStringLiteral("V_TA_FAMILIAS"), nullptr, QString(), nullptr, nullptr,
                            QStringLiteral("SELECT IdFamilia, Descripcion FROM V_TA_FAMILIAS"), true);
    EXPECT_TRUE(consulta.cancelled());
    EXPECT_TRUE(consulta.ValorDevuelto.isEmpty());
    lookup::Lib_ClsCons3::setPresenter({});
}

IMAESTROS_DATABASE_TESTS(TreeForm);

} // namespace
