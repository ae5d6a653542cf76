// Every statement that the forms and the lookups build runs on a fresh database of each engine,
// for an administrator and for a restricted user (whose statements name the synonym views):
// each object and column they name is there. A statement that fails reaches the operator, and
// the scripted operator fails the test on any question.

#include "tests/articles/ArticlesDatabase.h"

#include "articles/FrmArtAltaModelo.h"
#include "core/MascaraConsulta.h"
#include "core/RutinasDatos.h"
#include "core/SharedLookup.h"
#include "db/DB_Dll.h"
#include "lookup/Lib_ClsCons3.h"
#include "lookup/Lib_FrmCons3Logic.h"
#include "lookup/Lib_FrmCons3TreeLogic.h"
#include "lookup/LookupPresenter.h"
#include "platform/Paths.h"
#include "platform/ado/Backend.h"
#include "schema/Schema.h"
#include "sending/LectorPaginado.h"
#include "sending/ReglasEnvio.h"

#include "tests/core/QtPrint.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Form = articles::FrmArtAltaModelo;

// The operator of every lookup: searches the server for the first row's first letter in the
// first column (F5 in its box), then takes the first row.
class TakesTheFirstRow : public lookup::LookupPresenter {
public:
    int lists = 0;
    int trees = 0;
    int rows = 0;         // of the last list shown
    bool search = true;   // search on the server before choosing
    int searched = -1;    // rows that search found
    QString statement;    // the last list's statement
    QString searchedWith; // and the one of its search
    void showList(lookup::Lib_FrmCons3Logic &form) override
    {
        ++lists;
        statement = form.SQL;
        rows = form.ListView1().rows();
        searched = -1;
        if (search && rows > 0) {
            form.CmbSearch_Change(0, form.ListView1().cell(0, 0).trimmed().left(1));
            form.CmbSearch_KeyDown(0, 116, 0);
            searchedWith = form.SQL;
            searched = form.ListView1().rows();
        }
        form.selectRow(0);
        form.CmdAceptar_Click();
    }
    void showTree(lookup::Lib_FrmCons3TreeLogic &form) override
    {
        ++trees;
        form.CmdAceptar_Click();
    }
};

class FormStatements : public ArticlesDatabaseTest {
protected:
    void SetUp() override
    {
        ArticlesDatabaseTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        m_presenter = std::make_shared<TakesTheFirstRow>();
        lookup::Lib_ClsCons3::setPresenter(m_presenter);
        setLookupFactory([] { return std::make_unique<lookup::Lib_ClsCons3>(); });
        const QString masks = platform::joinPath(platform::programFolder(), QStringLiteral("consultas.vkr"));
        ModGlobal::GenerarMascaraConsultas(masks);
        gConsulta().gUsarMascarasConsultas = true;
        gConsulta().gRutaMascaraConsultas = masks;

        configurar(QStringLiteral("PIVA"), QStringLiteral("21"));
        cuenta(QStringLiteral("PROV1"), QStringLiteral("P1"), QStringLiteral("Almacen del Sur"), QStringLiteral("PR"));
        cuenta(QStringLiteral("CLI1"), QStringLiteral("C1"), QStringLiteral("Cliente Uno"), QStringLiteral("CL"));
        unidad(QStringLiteral("  UN"), QStringLiteral("Unidad"));
        rubro(QStringLiteral("  10"), QStringLiteral("Bebidas"));
        tipo(QStringLiteral("  20"), QStringLiteral("Marca A"));
        lista(QStringLiteral("1"), QStringLiteral("Lista A"));
        articulo(QStringLiteral("5"), QStringLiteral("779"), QStringLiteral("Agua"));
        for (const char *sql : {
                 "INSERT INTO V_TA_FAMILIAS (IdFamilia, Descripcion) VALUES ('01', 'Almacen')",
                 "UPDATE MA_ARTICULOS SET IdUnidad = '  UN', IdRubro = '  10', idTipo = '  20', IdFamilia = '01', "
                 "CuentaProveedor = 'PROV1'",
                 "INSERT INTO MA_CONTACTOS (Nombre_y_Apellido, Domicilio, Localidad, Telefono) "
                 "VALUES ('Ana Paz', 'Calle 1', 'Salta', '555')",
                 "INSERT INTO V_TA_VENDEDORES (IdVendedor, Nombre) VALUES ('   1', 'Vendedor A')",
                 "INSERT INTO V_TA_TECNICOS (IdTecnico, Nombre) VALUES ('   1', 'Tecnico A')",
                 "INSERT INTO V_MA_MANTENIMIENTOS (Codigo, Descripcion) VALUES ('   1', 'Mantenimiento A')",
                 "INSERT INTO V_TA_TAREAS (IdTarea, Descripcion) VALUES ('   1', 'Tarea A')",
                 "INSERT INTO V_TA_UNIDADNEGOCIO (Codigo, Descripcion) VALUES ('   1', 'Casa central')",
                 "INSERT INTO V_TA_DEPOSITO (IdDeposito, Descripcion) VALUES ('   1', 'Deposito A')",
                 "INSERT INTO TA_USUARIOS (Nombre, Sistema) VALUES ('ana', 'QD000PR')",
             })
            exec(QString::fromLatin1(sql));
    }
    void TearDown() override
    {
        lookup::Lib_ClsCons3::setPresenter({});
        releaseConsulta();
        setLookupFactory({});
        ArticlesDatabaseTest::TearDown();
    }
    // A lookup that must show a list with rows.
    void listed(const QString &what, const std::function<void()> &lookup)
    {
        SCOPED_TRACE(what.toStdString());
        const int before = m_presenter->lists;
        lookup();
        ASSERT_EQ(m_presenter->lists, before + 1) << "no list shown";
        EXPECT_GT(m_presenter->rows, 0) << m_presenter->statement.toStdString();
        if (m_presenter->search) {
            EXPECT_GT(m_presenter->searched, 0) << m_presenter->searchedWith.toStdString();
            EXPECT_NE(m_presenter->searchedWith, m_presenter->statement); // the search's statement ran
        }
    }
    void articleForm();
    std::shared_ptr<TakesTheFirstRow> m_presenter;
};

// The article form, from a stored article to a new one: its lookups by code, its descriptions,
// the supplier, F5 in every box that has one, and both saves.
void FormStatements::articleForm()
{
    Form form;
    form.Form_Load();
    form.pIdLista = QStringLiteral("1");
    const auto confirmar = [&form](int caja, const QString &valor) {
        form.txtFields_GotFocus(caja);
        form.txtFields_Change(caja, valor);
        form.txtFields_KeyDown(caja, 13);
    };
    confirmar(Form::kCodigo, QStringLiteral("779"));
    ASSERT_TRUE(form.articuloExistente());
    EXPECT_EQ(form.TxtDesc[0].Text, QStringLiteral("Bebidas"));
    EXPECT_EQ(form.lblDesc[3].Caption, QStringLiteral("Almacen"));
    EXPECT_EQ(form.lblDesc[4].Caption, QStringLiteral("Almacen del Sur"));
    confirmar(Form::kCuentaProveedor, QStringLiteral("P1"));
    EXPECT_FALSE(form.error());
    confirmar(Form::kCodigoArtProveedor, QStringLiteral("X-1"));
    for (int caja = 0; caja < form.txtFields.size(); ++caja) {
        if (form.txtFields[caja].Tag.trimmed().isEmpty())
            continue;
        listed(QStringLiteral("F5 in ") + form.txtFields[caja].DataField, [&] {
            form.txtFields_GotFocus(caja);
            form.CmdConsultar_Click();
        });
        EXPECT_FALSE(form.txtFields[caja].Text.trimmed().isEmpty()) << caja;
    }
    form.txtFields[Form::kIdArticulo].Text = QStringLiteral("5");
    form.txtFields[Form::kDescripcion].Text = QStringLiteral("Agua con gas");
    form.CmdAlta_Click();
    EXPECT_FALSE(form.error());
    EXPECT_EQ(scalar(QStringLiteral("SELECT Descripcion FROM V_MA_ARTICULOS WHERE CodigoBarra = '%1'")
                         .arg(pad(QStringLiteral("779"), 25))),
              QStringLiteral("Agua con gas"));

    confirmar(Form::kCodigo, QStringLiteral("780"));
    ASSERT_TRUE(form.articuloNuevo());
    form.txtFields[Form::kDescripcion].Text = QStringLiteral("Soda");
    form.TxtDesc[0].Text = QStringLiteral("Gaseosas");
    form.CmdAlta_Click();
    EXPECT_FALSE(form.error());
    EXPECT_EQ(count(QStringLiteral("MA_ARTICULOS")), 2);
}

TEST_P(FormStatements, EveryStatementFindsWhatItNames)
{
    for (const bool restringido : {false, true}) {
        SCOPED_TRACE(restringido ? "restricted user" : "administrator");
        gDB().gEsAdmin = !restringido;
        // the lookups of the default query masks, and the same names without masks
        for (const bool conMascaras : {true, false}) {
            gConsulta().gUsarMascarasConsultas = conMascaras;
            for (const ModGlobal::MascaraConsulta &m : ModGlobal::mascarasPorOmision()) {
                listed(m.Vista.trimmed() + (conMascaras ? QString() : QStringLiteral(" (no mask)")),
                       [&] { gConsulta().ConsultaSearch(m.Vista.trimmed()); });
            }
        }
        gConsulta().gUsarMascarasConsultas = true;
        // the reception's and the sending's lookups
        listed(QStringLiteral("responsible person"), [] {
            gConsulta().CampoDevuelto = QStringLiteral("NOMBRE");
            gConsulta().ConsultaSearch(
                QStringLiteral("SELECT NOMBRE,SISTEMA  FROM TA_USUARIOS WHERE SISTEMA = 'QD000PR' ORDER BY NOMBRE "));
        });
        listed(QStringLiteral("price list"), [] {
            QString tabla = QStringLiteral("V_MA_PRECIOSCAB"), descripcion, codigo, tercera;
            ModGlobal::DefinicionConsulta(tabla, descripcion, codigo, tercera, true, QString());
            EXPECT_EQ(codigo.trimmed(), QStringLiteral("1"));
        });
        // the families' tree
        const int trees = m_presenter->trees;
        gConsulta().CampoDevuelto = QStringLiteral("IDFAMILIA");
        gConsulta().ConsultaSearch(QStringLiteral("v_ta_familias"), nullptr, QString(), nullptr, nullptr, QString(),
                                   true);
        EXPECT_EQ(m_presenter->trees, trees + 1);
        articleForm();
        exec(QStringLiteral("DELETE FROM MA_PRECIOS WHERE IdArticulo IN (SELECT IdArticulo FROM MA_ARTICULOS "
                            "WHERE CodigoBarra = '%1')")
                 .arg(pad(QStringLiteral("780"), 25)));
        exec(QStringLiteral("DELETE FROM MA_ARTICULOS WHERE CodigoBarra = '%1'").arg(pad(QStringLiteral("780"), 25)));
    }
}

// A sending for one business unit reads the accounting tables by their unit.
TEST_P(FormStatements, TheSendingOfABusinessUnitFindsItsColumn)
{
    exec(QStringLiteral("INSERT INTO MV_APLICACION (CUENTA, TC, SUCURSAL, NUMERO, LETRA, TCO_ORIGEN, SUCURSAL_ORIGEN, "
                        "NUMERO_ORIGEN, LETRA_ORIGEN, IMPORTE, UNEGOCIO) VALUES ('C1', 'FC', '0001', '00000001', 'A', "
                        "'RC', '0001', '00000002', 'A', 10, '   2')"));
    envio::OpcionesExportacion opciones;
    opciones.numero = QStringLiteral("7");
    opciones.unidadNegocio = QStringLiteral(" 2 ");
    for (const char *tabla : {"MV_ASIENTOS", "MV_ASIENTOSCCOSTO", "MV_APLICACION"}) {
        SCOPED_TRACE(tabla);
        envio::LectorPaginado lector(gDB(), envio::consultaPara(QString::fromLatin1(tabla), opciones));
        EXPECT_NO_THROW(EXPECT_EQ(lector.cantidad(), QLatin1String(tabla) == QLatin1String("MV_APLICACION") ? 1 : 0));
    }
}

// The synonym views stand in for their tables with every column the tables have, on every
// engine the schema is built for (SQL Server's script is the one the others translate).
TEST_P(FormStatements, EverySynonymViewAndLookupViewExists)
{
    const struct {
        const char *view;
        const char *table; // whose columns the view shows, or nullptr
    } views[] = {
        {"SS_MA_CUENTAS", "MA_CUENTAS"},
        {"SS_V_TA_DEPOSITO", "V_TA_DEPOSITO"},
        {"SS_MV_ASIENTOS", "MV_ASIENTOS"},
        {"SS_V_TA_FAMILIAS", "V_TA_FAMILIAS"},
        {"SS_V_TA_CAJAS", "V_TA_CAJAS"},
        {"SS_AC_CUENTASDIARIO", "AC_CUENTASDIARIO"},
        {"SS_AC_CUENTAS_DIARIO_CCOSTO", "AC_CUENTASDIARIO_CCOSTO"},
        {"VT_MA_ARTICULOS", "V_MA_ARTICULOS"},
        {"VT_PROVEEDORES", nullptr},
        {"VT_CLIENTES", nullptr},
    };
    const QString sqlserver = schema::viewsScript();
    for (const auto &v : views) {
        const QString view = QString::fromLatin1(v.view);
        SCOPED_TRACE(v.view);
        EXPECT_TRUE(sqlserver.contains(QStringLiteral("CREATE VIEW ") + view + QLatin1Char(' ')));
        QStringList columnas;
        for (const auto &c : cnn().Columns(view))
            columnas << c.Name.toUpper();
        if (v.table) {
            QStringList esperadas;
            for (const auto &c : cnn().Columns(QString::fromLatin1(v.table)))
                esperadas << c.Name.toUpper();
            EXPECT_EQ(columnas, esperadas);
        } else {
            for (const char *c : {"CODIGO", "RAZON_SOCIAL", "DADA_DE_BAJA"})
                EXPECT_TRUE(columnas.contains(QString::fromLatin1(c))) << c;
        }
    }
}

IMAESTROS_DATABASE_TESTS(FormStatements);

} // namespace
