// The lookup object end to end: statements from masks, columns and callers, the hand-back
// of the choice, the cancelled result of every failure, the pickers, and the wiring of the
// shared object that the start-up and the forms use.
#include "LookupDatabase.h"

#include "lookup/Lib_ClsCons3.h"
#include "lookup/Lib_FrmCons3Logic.h"

#include "core/MascaraConsulta.h"
#include "core/RutinasDatos.h"
#include "core/SharedLookup.h"
#include "db/DB_Dll.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "platform/ui/Operator.h"

#include <QFile>

#include "tests/core/QtPrint.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using lookup::Lib_ClsCons3;
using lookup::Lib_FrmCons3Logic;

class LookupObject : public LookupDatabaseTest {
protected:
    void SetUp() override
    {
        LookupDatabaseTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        m_presenter = std::make_shared<ScriptedPresenter>();
        Lib_ClsCons3::setPresenter(m_presenter);
        m_masks = platform::joinPath(home(), QStringLiteral("consultas.vkr"));
        ModGlobal::GenerarMascaraConsultas(m_masks);
        for (const char *row :
             {"'  A1', 'tornillo', 0, 5, 1", "'  A2', 'arandela', 0, 3, 0", "'  A3', 'tuerca', 0, 7, 0"})
            exec(QStringLiteral("INSERT INTO VT_MA_ARTICULOS (IDARTICULO, DESCRIPCION, PUNTOPEDIDO, Stock, "
                                "SUSPENDIDO) VALUES (%1)")
                     .arg(QString::fromLatin1(row)));
    }
    void TearDown() override
    {
        Lib_ClsCons3::setPresenter({});
        releaseConsulta();
        setLookupFactory({});
        LookupDatabaseTest::TearDown();
    }
    std::unique_ptr<Lib_ClsCons3> object()
    {
        auto consulta = std::make_unique<Lib_ClsCons3>();
        consulta->gUsarMascarasConsultas = true;
        consulta->gRutaMascaraConsultas = m_masks;
        return consulta;
    }
    // The presenter picks the row whose first column begins with `text` and accepts.
    void choose(const QString &text)
    {
        m_presenter->list = [text](Lib_FrmCons3Logic &form) {
            form.CmbSearch_Change(0, text);
            form.CmdAceptar_Click();
        };
    }
    std::shared_ptr<ScriptedPresenter> m_presenter;
    QString m_masks;
};

TEST_P(LookupObject, MaskedArticleLookupHandsBackTheChosenCode)
{
    auto consulta = object();
    QString shown;
    int rows = 0;
    bool ordered = true;
    m_presenter->list = [&](Lib_FrmCons3Logic &form) {
        shown = form.SQL;
        rows = form.ListView1().rows();
        ordered = form.OrdenarPorLwv;
        form.CmbSearch_Change(0, QStringLiteral("TUE"));
        form.CmdAceptar_Click();
    };
    consulta->CampoDevuelto = QStringLiteral("IDARTICULO");
    QString campo;
    QString where;
    consulta->ConsultaSearch(QStringLiteral("V_MA_ARTICULOS"), nullptr, QString(), &campo, &where);
    EXPECT_EQ(shown,
              QStringLiteral("SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE "
                             "SUSPENDIDO = 0 ORDER BY DESCRIPCION "));
    EXPECT_EQ(rows, 2); // the suspended article is left out
    EXPECT_FALSE(ordered);
    EXPECT_EQ(consulta->ValorDevuelto, QStringLiteral("  A3")); // as the list shows it
    EXPECT_FALSE(consulta->cancelled());
    EXPECT_EQ(campo, QStringLiteral("DESCRIPCION"));
    EXPECT_TRUE(consulta->CampoDevuelto.isEmpty()); // set again before every lookup
    EXPECT_EQ(consulta->gConnString, gDB().gConnString);
}

TEST_P(LookupObject, RowLimitInitialSearchAndReturnedColumns)
{
    config(QStringLiteral("TopConsArt"), QStringLiteral("1"));
    auto consulta = object();
    int rows = 0;
    m_presenter->list = [&](Lib_FrmCons3Logic &form) {
        rows = form.ListView1().rows();
        form.CmdAceptar_Click(); // the initial search text has selected the row
    };
    QStringList returned = {QStringLiteral("IDARTICULO"), QStringLiteral("DESCRIPCION")};
    consulta->ConsultaSearch(QStringLiteral("V_MA_ARTICULOS"), &returned, QStringLiteral("ara"));
    EXPECT_EQ(rows, 1);
    EXPECT_EQ(consulta->Valores, (QStringList{"  A2", "arandela"}));
    EXPECT_EQ(consulta->ValorDevuelto, QStringLiteral("arandela")); // no CampoDevuelto: the last returned column
    EXPECT_TRUE(returned.isEmpty());
}

TEST_P(LookupObject, ChecksStartClearAndComeBackAsValores)
{
    auto consulta = object();
    bool anyChecked = true;
    m_presenter->list = [&](Lib_FrmCons3Logic &form) {
        anyChecked = false;
        for (int i = 0; i < form.ListView1().rows(); ++i)
            anyChecked = anyChecked || form.ListView1().isChecked(i);
        form.CmdTodos_Click();
        form.CmdAceptar_Click();
    };
    consulta->Checks = true;
    consulta->CampoDevuelto = QStringLiteral("IDARTICULO");
    consulta->ConsultaSearch(QStringLiteral("SELECT DESCRIPCION, IDARTICULO FROM VT_MA_ARTICULOS WHERE SUSPENDIDO = 0"),
                             nullptr, QString(), nullptr, nullptr, QString(), false, QStringLiteral("A2,A3"));
    EXPECT_FALSE(anyChecked);
    EXPECT_EQ(consulta->Valores, (QStringList{"  A2", "  A3"})); // sorted by the list: arandela, tuerca
    EXPECT_FALSE(consulta->Checks);
    EXPECT_TRUE(consulta->Cantidades.isEmpty());
}

TEST_P(LookupObject, CancelledLookupHandsBackEmptyResults)
{
    auto consulta = object();
    consulta->ValorDevuelto = QStringLiteral("antes");
    consulta->Valores = QStringList{QStringLiteral("antes")};
    m_presenter->list = [](Lib_FrmCons3Logic &form) { form.CmdCancelar_Click(); };
    QStringList returned = {QStringLiteral("IDARTICULO")};
    consulta->ConsultaSearch(QStringLiteral("V_MA_ARTICULOS"), &returned);
    EXPECT_TRUE(consulta->cancelled());
    EXPECT_TRUE(consulta->ValorDevuelto.isEmpty());
    EXPECT_TRUE(consulta->Valores.isEmpty());
    EXPECT_TRUE(returned.isEmpty());

    m_presenter->list = {}; // a window closed without an answer cancels too
    consulta->ConsultaSearch(QStringLiteral("V_MA_ARTICULOS"));
    EXPECT_TRUE(consulta->cancelled());

    Lib_ClsCons3::setPresenter({}); // no display: nothing is shown, nothing chosen
    consulta->ConsultaSearch(QStringLiteral("V_MA_ARTICULOS"));
    EXPECT_TRUE(consulta->cancelled());
    EXPECT_EQ(m_presenter->shown, 2);
}

TEST_P(LookupObject, BadInputIsNamedAndCancels)
{
    // A damaged mask, a mask naming a missing view, a refused statement, a name that is
    // not one, a mask that names no search column: a message each, no form, a cancelled result.
    QFile file(m_masks);
    ASSERT_TRUE(file.open(QIODevice::Append));
    QByteArray damaged = ModGlobal::MascaraConsulta{QStringLiteral("X"), QStringLiteral("V_DANADA"),
                                                    QStringLiteral("|A|B|"), QStringLiteral("X = 'abc")}
                             .toRecord();
    file.write(damaged);
    file.write(ModGlobal::MascaraConsulta{QStringLiteral("X"), QStringLiteral("V_NO_EXISTE"), QStringLiteral("|A|B|"),
                                          QString()}
                   .toRecord());
    file.write(
        ModGlobal::MascaraConsulta{QStringLiteral("X"), QStringLiteral("V_UNA"), QStringLiteral("|A|"), QString()}
            .toRecord());
    file.close();
    struct Case {
        const char *sql, *message;
    };
    const Case cases[] = {
        {"V_DANADA", "La máscara de consulta de V_DANADA (registro 12 de"},
        {"V_NO_EXISTE", "Ha ocurrido el Siguiente Error"},
        {"SELECT NADA FROM TABLA_QUE_NO_EXISTE", "Ha ocurrido el Siguiente Error"},
        {"OTRA_QUE_NO_EXISTE", "Ha ocurrido el Siguiente Error"},
        {"V_TA_RUBROS WHERE 1=1; DROP TABLE V_TA_RUBROS", "no es el nombre de una tabla o vista"},
        {"V_UNA", "Debe configurar la consulta para esta tabla"},
    };
    auto consulta = object();
    for (const Case &c : cases) {
        consulta->ValorDevuelto = QStringLiteral("antes");
        operatorScript().expect(QString::fromUtf8(c.message), platform::vbAbort);
        consulta->ConsultaSearch(QString::fromUtf8(c.sql));
        EXPECT_TRUE(consulta->cancelled()) << c.sql;
        EXPECT_TRUE(consulta->ValorDevuelto.isEmpty()) << c.sql;
    }
    EXPECT_EQ(m_presenter->shown, 0);
    EXPECT_EQ(count(QStringLiteral("V_TA_RUBROS")), 6);
}

TEST_P(LookupObject, ColumnsOfATableWithoutMask)
{
    auto consulta = object();
    consulta->gUsarMascarasConsultas = false;
    QString shown;
    m_presenter->list = [&](Lib_FrmCons3Logic &form) {
        shown = form.SQL;
        form.CmbSearch_Change(1, QStringLiteral("tor"));
        form.CmdAceptar_Click();
    };
    consulta->CampoDevuelto = QStringLiteral("IdRubro");
    QString where = QStringLiteral("Activo = 1");
    consulta->ConsultaSearch(QStringLiteral("V_TA_RUBROS"), nullptr, QString(), nullptr, &where);
    EXPECT_EQ(shown.toUpper(),
              QStringLiteral("SELECT TOP 1000 ACTIVO,DESCRIPCION,IDRUBRO FROM V_TA_RUBROS WHERE   (ACTIVO = 1)  ORDER "
                             "BY DESCRIPCION "));
    EXPECT_EQ(consulta->ValorDevuelto, QStringLiteral("  12"));
    EXPECT_EQ(where, QStringLiteral(" (Activo = 1) "));
}

TEST_P(LookupObject, SharedObjectServesDefinicionConsulta)
{
    lookup::installLookup(m_presenter);
    gConsulta().gConnString = gDB().gConnString;
    choose(QStringLiteral("torn"));
    QString table = QStringLiteral("V_TA_RUBROS"), description, code, third;
    ModGlobal::DefinicionConsulta(table, description, code, third, true, QStringLiteral("where Activo = 1"));
    EXPECT_EQ(code, QStringLiteral("  12"));
    auto *object = dynamic_cast<Lib_ClsCons3 *>(&gConsulta());
    ASSERT_NE(object, nullptr);
    EXPECT_FALSE(object->cancelled());
}

TEST_P(LookupObject, OptionPickers)
{
    auto consulta = object();
    m_presenter->list = [](Lib_FrmCons3Logic &form) {
        EXPECT_EQ(form.Caption, QStringLiteral("Colores"));
        EXPECT_FALSE(form.CmdNuevaVisible);
        EXPECT_EQ(form.ListView1().columns(), 1);
        EXPECT_EQ(form.preferredWidth, 120 * 7); // the title is the longest
        form.CmbSearch_Change(0, QStringLiteral("ro"));
        form.CmbSearch_KeyDown(0, 116, 0); // F5: a picker has no statement to narrow
        EXPECT_TRUE(form.SQL.isEmpty());
        EXPECT_EQ(form.ListView1().rows(), 2);
        EXPECT_EQ(form.boxText(0), QStringLiteral("ro"));
        form.CmdAceptar_Click();
    };
    EXPECT_EQ(consulta->MenuOpciones(QStringLiteral("Colores"), {QStringLiteral("Verde"), QStringLiteral("Rojo")}),
              QStringLiteral("Rojo"));
    m_presenter->list = [](Lib_FrmCons3Logic &form) {
        QStringList rows;
        for (int i = 0; i < form.ListView1().rows(); ++i)
            rows << form.ListView1().cell(i, 0) + (form.ListView1().isChecked(i) ? QStringLiteral("*") : QString());
        EXPECT_EQ(rows, (QStringList{"Amarillo", "Azul*", "Verde"}));
        EXPECT_EQ(form.preferredWidth, 120 * 9); // "xAmarillo", its state character counted
        form.ListView1().setChecked(2, true);
        form.CmdAceptar_Click();
    };
    EXPECT_EQ(consulta->CheckOpciones(QStringLiteral("Colores"),
                                      {QStringLiteral("1Azul"), QStringLiteral("0Verde"), QStringLiteral("xAmarillo")}),
              QString());
    EXPECT_EQ(consulta->Valores, (QStringList{"Azul", "Verde"}));

    const QString lines = platform::joinPath(home(), QStringLiteral("lineas.txt"));
    ASSERT_TRUE(platform::textfile::writeLines(lines, {QStringLiteral("uno"), QString(), QStringLiteral("dos")}).ok());
    m_presenter->list = [](Lib_FrmCons3Logic &form) {
        EXPECT_EQ(form.ListView1().rows(), 3);
        form.CmbSearch_Change(0, QStringLiteral("d"));
        form.CmdAceptar_Click();
    };
    EXPECT_EQ(consulta->ConsultaDesdeArchivo(QStringLiteral("Líneas"), QLatin1Char('"') + lines + QLatin1Char('"')),
              QStringLiteral("dos"));
    operatorScript().expect(QStringLiteral("No existe el archivo /no/hay que desea consultar consulta "),
                            platform::vbOK);
    EXPECT_EQ(consulta->ConsultaDesdeArchivo(QStringLiteral("Líneas"), QStringLiteral("/no/hay")), QString());
    m_presenter->list = [](Lib_FrmCons3Logic &form) { form.CmdAceptar_Click(); };
    EXPECT_EQ(consulta->MenuOpciones(QStringLiteral("Nada"), {}), QString());
}

IMAESTROS_DATABASE_TESTS(LookupObject);

} // namespace
