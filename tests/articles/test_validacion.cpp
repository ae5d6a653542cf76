// Field validation of the article form, per data field, over the suite's database.

#include "FormaArticulo.h"

#include "tests/core/QtPrint.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using articles::Control;
using Form = articles::FrmArtAltaModelo;

class FieldValidation : public ArticleFormTest {
protected:
    void SetUp() override
    {
        ArticleFormTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        configurar(QStringLiteral("PIVA"), QStringLiteral("21"));
        configurar(QStringLiteral("PIVAREC"), QStringLiteral("10,5"));
        cuenta(QStringLiteral("PROV1"), QStringLiteral("P1"), QStringLiteral("Proveedor Uno"), QStringLiteral("PR"));
        cuenta(QStringLiteral("PROV2"), QStringLiteral("P2"), QStringLiteral("Proveedor Dos"), QStringLiteral("pr"));
        cuenta(QStringLiteral("CLI1"), QStringLiteral("C1"), QStringLiteral("Cliente"), QStringLiteral("CL"));
        cuenta(QStringLiteral("NULO"), QStringLiteral("N1"), QStringLiteral("Sin tipo"), QString());
        cuenta(QStringLiteral("OTRO"), QStringLiteral("O1"), QStringLiteral("Otro"), QStringLiteral("XX"));
        unidad(QStringLiteral("  UN"), QStringLiteral("Unidad"));
        rubro(QStringLiteral("  10"), QStringLiteral("Bebidas"));
        tipo(QStringLiteral("  20"), QStringLiteral("Marca X"));
        cargar();
    }
};

struct Caso {
    const char *nombre;
    int caja;
    const char *valor;
    const char *mensaje; // a fragment of the message shown, or nullptr for none
    int respuesta;
    bool error;
    std::function<void(FieldValidation &, Form &)> comprobar;
};

TEST_P(FieldValidation, Table)
{
    const auto foco = [](Control::Tipo tipo, int indice) { return Control{tipo, indice}; };
    const Caso casos[] = {
        {"blank rate", Form::kTasaIVA, "", nullptr, 0, false, nullptr},
        {"rate 0 is not checked", Form::kTasaIVA, "0", nullptr, 0, false, nullptr},
        {"rate below 0", Form::kTasaIVA, "-1", "Mayor o Igual a 0 y menor o igual a 100", 1, true, nullptr},
        {"rate above 100", Form::kTasaIVA, "101", "Mayor o Igual a 0 y menor o igual a 100", 1, true, nullptr},
        {"rate 100 is not configured", Form::kTasaIVA, "100", "no habilitada en configuración", 1, true, nullptr},
        {"the general rate", Form::kTasaIVA, "21", nullptr, 0, false, nullptr},
        {"another configured rate", Form::kTasaIVA, "10,5", nullptr, 0, false, nullptr},
        {"a rate typed with a point", Form::kTasaIVA, "10.5", nullptr, 0, false, nullptr},
        // an amount that is not one is told in the form's words; the box keeps the focus
        {"a rate that is not a number", Form::kTasaIVA, "abc", "Alicuota de IVA debe ser un número", 1, true,
         [&foco](FieldValidation &t, Form &) {
             EXPECT_EQ(t.ultimoFoco(), foco(Control::Tipo::txtFields, Form::kTasaIVA));
         }},
        {"a cost that is not a number", Form::kCosto, "12 pesos", "Costo debe ser un número, por ejemplo 1.234,56", 1,
         true, nullptr},
        {"a price that is not a number", Form::kPrecio, "1,2,3", "Precio de venta debe ser un número", 1, true,
         nullptr},
        {"a markup that is not a number", Form::kUtl_P1, "x", "Utilidad debe ser un número", 1, true, nullptr},
        {"an amount too large", Form::kCosto, "99999999999999999", "Costo: el importe es demasiado grande", 1, true,
         nullptr},
        {"a known unit shows its description", Form::kIdUnidad, "UN", nullptr, 0, false,
         [](FieldValidation &, Form &f) {
             EXPECT_EQ(f.lblDesc[2].Caption, QStringLiteral("Unidad"));
             EXPECT_EQ(f.TxtDesc[2].Text, QStringLiteral("Unidad"));
         }},
        {"an unknown unit asks for its description", Form::kIdUnidad, "ZZ", nullptr, 0, false,
         [&foco](FieldValidation &t, Form &f) {
             EXPECT_EQ(t.ultimoFoco(), foco(Control::Tipo::TxtDesc, 2));
             EXPECT_EQ(f.TxtDesc[2].Text, QString());
         }},
        {"an empty unit is never found", Form::kIdUnidad, "", nullptr, 0, false,
         [&foco](FieldValidation &t, Form &) { EXPECT_EQ(t.ultimoFoco(), foco(Control::Tipo::TxtDesc, 2)); }},
        {"a known category", Form::kIdRubro, "10", nullptr, 0, false,
         [](FieldValidation &, Form &f) { EXPECT_EQ(f.TxtDesc[0].Text, QStringLiteral("Bebidas")); }},
        {"a known brand", Form::kIdTipo, "20", nullptr, 0, false,
         [](FieldValidation &, Form &f) { EXPECT_EQ(f.TxtDesc[1].Text, QStringLiteral("Marca X")); }},
        {"an unknown account", Form::kCuentaProveedor, "NOPE", "El Codigo Ingresado es inexistente!!!", 1, true,
         nullptr},
        {"a supplier by its optional code", Form::kCuentaProveedor, "P1", nullptr, 0, false,
         [&foco](FieldValidation &t, Form &f) {
             EXPECT_EQ(f.txtFields[Form::kCuentaProveedor].Text, QStringLiteral("PROV1"));
             EXPECT_EQ(f.lblDesc[4].Caption, QStringLiteral("Proveedor Uno"));
             EXPECT_EQ(t.ultimoFoco(), foco(Control::Tipo::txtFields, Form::kCuentaProveedor));
         }},
        {"a supplier kind in lower case", Form::kCuentaProveedor, "PROV2", nullptr, 0, false, nullptr},
        {"a customer account is accepted", Form::kCuentaProveedor, "CLI1", nullptr, 0, false, nullptr},
        {"an account without a kind", Form::kCuentaProveedor, "NULO", "no Corresponde a un Proveedor ", 1, true,
         [](FieldValidation &, Form &f) {
             EXPECT_EQ(f.txtFields[Form::kCuentaProveedor].Text, QStringLiteral("NULO"));
         }},
        {"an account of another kind", Form::kCuentaProveedor, "O1", "no Corresponde a un Proveedor ", 1, true,
         nullptr},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.nombre);
        form().Inicializa();
        const int pases = pasesDeFoco();
        if (c.mensaje)
            operatorScript().expect(QString::fromUtf8(c.mensaje), c.respuesta);
        confirmar(c.caja, QString::fromUtf8(c.valor));
        EXPECT_EQ(form().error(), c.error);
        EXPECT_EQ(operatorScript().pending(), 0);
        // the focus moves on unless the check failed or sent it to a description box
        const bool aDescripcion = !focos() ? false : ultimoFoco().tipo == Control::Tipo::TxtDesc;
        EXPECT_EQ(pasesDeFoco() - pases, c.error || aDescripcion ? 0 : 1);
        if (c.comprobar)
            c.comprobar(*this, form());
        if (c.error) {
            EXPECT_EQ(operatorScript().asked().last().title, QStringLiteral("Aviso al operador..."));
        }
    }
}

TEST_P(FieldValidation, SupplierArticleCodeWarnsOnlyForANewArticle)
{
    articulo(QStringLiteral("7"), QStringLiteral("7790"), QStringLiteral("Agua"));
    exec(QStringLiteral("UPDATE MA_ARTICULOS SET CuentaProveedor = 'PROV1', CodigoArtProveedor = '%1'")
             .arg(pad(QStringLiteral("A-1"), 25)));
    form().txtFields[Form::kCuentaProveedor].Text = QStringLiteral("PROV1");
    form().setArticuloExistente(false);
    operatorScript().expect(QStringLiteral("El Codigo Ingresado para ese proveedor ya existe!!!\r\nEs solo un aviso"),
                            platform::vbOK);
    confirmar(Form::kCodigoArtProveedor, QStringLiteral("A-1"));
    EXPECT_FALSE(form().error());
    EXPECT_EQ(operatorScript().asked().last().title, QStringLiteral("Atencion"));
    form().setArticuloExistente(true);
    confirmar(Form::kCodigoArtProveedor, QStringLiteral("A-1")); // no question this time
    confirmar(Form::kCodigoArtProveedor, QStringLiteral("B-2"));
    EXPECT_EQ(caja(Form::kCodigoArtProveedor), QStringLiteral("B-2"));
}

TEST_P(FieldValidation, CostPriceAndMarkupRecalculate)
{
    form().txtFields[Form::kUtl_P1].Text = QStringLiteral("30");
    confirmar(Form::kCosto, QStringLiteral("100"));
    EXPECT_EQ(caja(Form::kPrecio), QStringLiteral("130,00")); // no with-tax flag
    form().txtFields[Form::kPrecio].Text = QStringLiteral("x");
    confirmar(Form::kCosto, QStringLiteral("100")); // same cost: no recalculation
    EXPECT_EQ(caja(Form::kPrecio), QStringLiteral("x"));
    confirmar(Form::kCosto, QStringLiteral("200"));
    EXPECT_EQ(caja(Form::kPrecio), QStringLiteral("260,00"));
    confirmar(Form::kUtl_P1, QStringLiteral("50"));
    EXPECT_EQ(caja(Form::kPrecio), QStringLiteral("300,00"));
    confirmar(Form::kPrecio, QStringLiteral("250"));
    EXPECT_EQ(caja(Form::kUtl_P1), QStringLiteral("25"));
    EXPECT_EQ(form().precioRecordado(), articles::Importe::desdeEntero(250));
}

// A markup that takes the price out of the amounts' range keeps the price the box had, and
// the operator is told why.
TEST_P(FieldValidation, APriceOutOfRangeKeepsThePreviousPrice)
{
    form().txtFields[Form::kUtl_P1].Text = QStringLiteral("30");
    confirmar(Form::kCosto, QStringLiteral("100"));
    ASSERT_EQ(caja(Form::kPrecio), QStringLiteral("130,00"));
    operatorScript().expect(QStringLiteral("El precio calculado no entra en el importe máximo admitido"), 1);
    confirmar(Form::kCosto, QStringLiteral("900.000.000.000.000"));
    EXPECT_EQ(caja(Form::kPrecio), QStringLiteral("130,00"));
    EXPECT_EQ(form().precioRecordado(), articles::Importe::desdeEntero(130));
}

TEST_P(FieldValidation, PricesIncludeTheTaxWhenConfigured)
{
    configurar(QStringLiteral("MaestroArticuloConIva"), QStringLiteral("si"));
    form().Inicializa();
    EXPECT_TRUE(form().lblPreciosIvaVisible);
    form().txtFields[Form::kUtl_P1].Text = QStringLiteral("30");
    confirmar(Form::kCosto, QStringLiteral("100"));
    EXPECT_EQ(caja(Form::kPrecio), QStringLiteral("157,30"));
    form().ChkExento = articles::Marca::Grayed; // greyed counts as exempt
    confirmar(Form::kUtl_P1, QStringLiteral("30"));
    EXPECT_EQ(caja(Form::kPrecio), QStringLiteral("130,00"));
}

TEST_P(FieldValidation, ABarCodeLoadsTheArticleOrStartsANewOne)
{
    articulo(QStringLiteral("12"), QStringLiteral("7790001"), QStringLiteral("Agua D'Oro"));
    exec(QStringLiteral("UPDATE MA_ARTICULOS SET IdUnidad = '  UN', IdRubro = '  10', idTipo = '  20', Costo = 80, "
                        "Precio1 = 100, Tasaiva = 10.5"));
    confirmar(Form::kCodigo, QStringLiteral("7790001"));
    EXPECT_TRUE(form().articuloExistente());
    EXPECT_FALSE(form().articuloNuevo());
    EXPECT_EQ(caja(Form::kIdArticulo), pad(QStringLiteral("12"), 25));
    EXPECT_EQ(caja(Form::kDescripcion), QStringLiteral("Agua D'Oro"));
    EXPECT_EQ(caja(Form::kPrecio), QStringLiteral("100"));
    EXPECT_EQ(caja(Form::kTasaIVA), QStringLiteral("10,5"));
    EXPECT_EQ(caja(Form::kUtl_P1), QStringLiteral("25"));
    EXPECT_EQ(form().CodArtNuevo, pad(QStringLiteral("12"), 25));
    EXPECT_EQ(form().TxtDesc[0].Text, QStringLiteral("Bebidas"));
    EXPECT_EQ(form().TxtDesc[1].Text, QStringLiteral("Marca X"));
    EXPECT_EQ(form().TxtDesc[2].Text, QStringLiteral("Unidad"));
    EXPECT_EQ(form().LblProceso, QStringLiteral("EL PRODUCTO YA EXISTE EN LA BASE DE DATOS"));

    // A code that is not found: nothing of the article shown before is kept.
    confirmar(Form::kCodigo, QStringLiteral("7790002"));
    EXPECT_TRUE(form().articuloNuevo());
    EXPECT_FALSE(form().articuloExistente());
    for (const int i : {Form::kIdArticulo, Form::kDescripcion, Form::kIdUnidad, Form::kIdRubro, Form::kIdTipo})
        EXPECT_EQ(caja(i), QString()) << i;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(form().TxtDesc[i].Text, QString()) << i;
        EXPECT_EQ(form().lblDesc[i].Caption, QString()) << i;
    }
    EXPECT_TRUE(form().LblProceso.startsWith(QStringLiteral("NO ESTA CONFIGURADO EL WEB SERVICE DE ARTICULOS")));

    confirmar(Form::kCodigo, QStringLiteral("   "));
    EXPECT_TRUE(form().articuloNuevo());
}

IMAESTROS_DATABASE_TESTS(FieldValidation);

} // namespace
