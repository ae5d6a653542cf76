// Registration and update of articles through the form's model, with the stored rows
// checked, on every engine.

#include "FormaArticulo.h"

#include "articles/Sql.h"
#include "platform/Paths.h"

#include "tests/core/QtPrint.h"

#include <QDate>

#include <gtest/gtest.h>

namespace {

using Form = articles::FrmArtAltaModelo;

class SaveArticle : public ArticleFormTest {
protected:
    void SetUp() override
    {
        ArticleFormTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        configurar(QStringLiteral("PIVA"), QStringLiteral("21"));
        cuenta(QStringLiteral("PROV1"), QStringLiteral("P1"), QStringLiteral("Proveedor Uno"), QStringLiteral("PR"));
        cuenta(QStringLiteral("OTRO"), QStringLiteral("O1"), QStringLiteral("Otro"), QStringLiteral("XX"));
        unidad(QStringLiteral("  UN"), QStringLiteral("Unidad"));
        lista(QStringLiteral("1"), QStringLiteral("Mayorista"));
    }
    // A new article as an operator types it.
    void llenar(const QString &codigo, const QString &descripcion, const QString &costo, const QString &precio)
    {
        form().txtFields[Form::kCodigo].Text = codigo;
        form().txtFields[Form::kDescripcion].Text = descripcion;
        form().txtFields[Form::kCosto].Text = costo;
        form().txtFields[Form::kPrecio].Text = precio;
    }
    QString articulos() { return QString::number(count(QStringLiteral("MA_ARTICULOS"))); }
    // Nothing was written: no article, price or lookup row.
    void nadaGrabado()
    {
        EXPECT_EQ(count(QStringLiteral("MA_ARTICULOS")), 0);
        EXPECT_EQ(count(QStringLiteral("MA_PRECIOS")), 0);
        EXPECT_EQ(count(QStringLiteral("V_TA_RUBROS")) + count(QStringLiteral("V_TA_TIPOARTICULO")), 0);
        EXPECT_EQ(count(QStringLiteral("V_TA_UNIDAD")), 1);
        EXPECT_FALSE(form().pAceptar);
        EXPECT_TRUE(form().error());
        EXPECT_EQ(ocultado(), 0); // the form stays, with what was typed
        EXPECT_FALSE(caja(Form::kDescripcion).isEmpty());
    }
};

TEST_P(SaveArticle, ANewArticleIsStoredAsTyped)
{
    cargar();
    form().pIdLista = QStringLiteral("1");
    llenar(QStringLiteral("7790001000012"), QStringLiteral("Dulce de leche D'ONOFRIO ñandú"),
           QStringLiteral("1.234,56"), QStringLiteral("1500.5"));
    form().txtFields[Form::kIdUnidad].Text = QStringLiteral("UN");
    form().TxtDesc[0].Text = QStringLiteral("Lácteos");     // a category by its description
    form().TxtDesc[1].Text = QStringLiteral("Marca D'Oro"); // a brand by its description
    form().txtFields[Form::kCuentaProveedor].Text = QStringLiteral("PROV1");
    form().txtFields[Form::kCodigoArtProveedor].Text = QStringLiteral("AB'1");
    form().CmdAlta_Click();

    ASSERT_FALSE(form().error());
    EXPECT_TRUE(form().pAceptar);
    EXPECT_EQ(ocultado(), 1);
    const QString id = pad(QStringLiteral("1"), 25);
    EXPECT_EQ(form().CodArtNuevo, id);
    EXPECT_EQ(
        fila(QStringLiteral("SELECT CodigoBarra, Descripcion, IdUnidad, idRubro, idTipo, Costo, Precio1, "
                            "CuentaProveedor, CodigoArtProveedor, Exento FROM V_MA_ARTICULOS WHERE IdArticulo = '%1'")
                 .arg(id)),
        QStringList({pad(QStringLiteral("7790001000012"), 25), QStringLiteral("Dulce de leche D'ONOFRIO ñandú"),
                     QStringLiteral("  UN"), QStringLiteral("1000"), QStringLiteral("1000"), QStringLiteral("1234,56"),
                     QStringLiteral("1500,5"), QStringLiteral("PROV1"), pad(QStringLiteral("AB'1"), 25),
                     QStringLiteral("Falso")})
            .join(QLatin1Char('|')));
    const QString alta = scalar(QStringLiteral("SELECT FhAlta FROM V_MA_ARTICULOS"));
    EXPECT_TRUE(alta.startsWith(QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")))) << alta.toStdString();
    EXPECT_EQ(scalar(QStringLiteral("SELECT FhUltimoCosto FROM V_MA_ARTICULOS")).left(10), alta.left(10));
    EXPECT_EQ(fila(QStringLiteral("SELECT Descripcion FROM V_TA_RUBROS WHERE IdRubro = '1000'")),
              QStringLiteral("Lácteos"));
    EXPECT_EQ(fila(QStringLiteral("SELECT Descripcion FROM V_TA_TIPOARTICULO WHERE IdTipo = '1000'")),
              QStringLiteral("Marca DOro"));
    EXPECT_EQ(fila(QStringLiteral("SELECT IdLista, Nombre, ConIVA, Precio1, Precio2, TipoLista FROM V_MA_PRECIOS "
                                  "WHERE IdArticulo = '%1'")
                       .arg(id)),
              QStringLiteral("   1|Dulce de leche D'ONOFRIO ñandú|Verdadero|1500,5|0|V"));
    // ready for the next entry
    EXPECT_EQ(caja(Form::kCodigo), QString());
    EXPECT_EQ(caja(Form::kTasaIVA), QStringLiteral("21"));
    EXPECT_FALSE(form().grabando());
}

TEST_P(SaveArticle, NewCodesContinueTheNumberedOnes)
{
    struct Case {
        const char *nombre;
        QStringList existentes; // stored IdArticulo values, as stored
        const char *nuevo;
    } cases[] = {
        {"zero-filled",
         {pad(QStringLiteral("0099"), 25), QStringLiteral("A100"), pad(QStringLiteral("1e5"), 25)},
         "0100"},
        {"none numbered yet", {QStringLiteral("ABC")}, "1"},
        {"24 digits and a blank", {pad(QStringLiteral("999999999999999999999998"), 25)}, "999999999999999999999999"},
        {"taken by a code that is not right-justified: searched on",
         {pad(QStringLiteral("5"), 25), QStringLiteral("6"), QStringLiteral("7")},
         "8"},
        {"searched on into 25 digits, without loss",
         {pad(QStringLiteral("999999999999999999999999"), 25), QStringLiteral("1000000000000000000000000")},
         "1000000000000000000000001"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.nombre);
        exec(QStringLiteral("DELETE FROM MA_ARTICULOS"));
        int n = 0;
        for (const QString &existente : c.existentes)
            exec(QStringLiteral("INSERT INTO MA_ARTICULOS (IdArticulo, CodigoBarra) VALUES ('%1', 'X%2')")
                     .arg(existente)
                     .arg(++n));
        cargar();
        llenar(QString(), QStringLiteral("Nuevo"), QStringLiteral("1"), QStringLiteral("2"));
        form().CmdAlta_Click();
        EXPECT_FALSE(form().error());
        EXPECT_EQ(form().CodArtNuevo, pad(QString::fromLatin1(c.nuevo), 25));
        EXPECT_EQ(count(QStringLiteral("MA_ARTICULOS")), c.existentes.size() + 1);
    }
}

TEST_P(SaveArticle, ANewCodeTakenAsABarCodeSavesNothing)
{
    // The next number is free as a code but another article carries it as its bar code.
    exec(QStringLiteral("INSERT INTO MA_ARTICULOS (IdArticulo, CodigoBarra) VALUES ('%1', 'X1')")
             .arg(pad(QStringLiteral("5"), 25)));
    exec(QStringLiteral("INSERT INTO MA_ARTICULOS (IdArticulo, CodigoBarra) VALUES ('A', '%1')")
             .arg(pad(QStringLiteral("6"), 25)));
    cargar();
    llenar(QString(), QStringLiteral("Nuevo"), QStringLiteral("1"), QStringLiteral("2"));
    operatorScript().expect(QStringLiteral("Error al obtener el nuevo codigo"), platform::vbOK);
    form().CmdAlta_Click();
    EXPECT_EQ(operatorScript().pending(), 0);
    EXPECT_TRUE(form().error());
    EXPECT_FALSE(form().pAceptar);
    EXPECT_EQ(count(QStringLiteral("MA_ARTICULOS")), 2);
    EXPECT_EQ(count(QStringLiteral("MA_PRECIOS")), 0);
    EXPECT_EQ(ocultado(), 0);
}

TEST_P(SaveArticle, BadInputSavesNothing)
{
    struct Case {
        const char *nombre;
        int caja;
        const char *valor;
        const char *mensaje;
        int respuesta;
    } cases[] = {
        {"a price that is not a number", Form::kPrecio, "doce", "Precio de venta debe ser un número", platform::vbOK},
        {"a cost that is not a number", Form::kCosto, "1,2,3", "Costo debe ser un número", platform::vbOK},
        {"a rate out of range", Form::kTasaIVA, "150", "Alicuota de IVA debe ser Mayor o Igual a 0", platform::vbOK},
        {"a rate not configured", Form::kTasaIVA, "7", "Alicuota de IVA no habilitada", platform::vbOK},
        {"an unknown unit", Form::kIdUnidad, "ZZ", "El Codigo Ingresado es inexistente!!!", platform::vbOK},
        {"an unknown account", Form::kCuentaProveedor, "NADIE", "El Codigo Ingresado es inexistente!!!",
         platform::vbOK},
        {"an account that is not a supplier", Form::kCuentaProveedor, "OTRO", "no Corresponde a un Proveedor",
         platform::vbOK},
        {"no description", Form::kDescripcion, "  ", "Debe informar la descripción", platform::vbOK},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.nombre);
        cargar();
        form().pIdLista = QStringLiteral("1");
        llenar(QStringLiteral("779"), QStringLiteral("Algo"), QStringLiteral("10"), QStringLiteral("12"));
        form().TxtDesc[0].Text = QStringLiteral("Rubro nuevo");
        form().txtFields[c.caja].Text = QString::fromUtf8(c.valor);
        operatorScript().expect(QString::fromUtf8(c.mensaje), c.respuesta);
        form().CmdAlta_Click();
        EXPECT_EQ(operatorScript().pending(), 0);
        if (c.caja == Form::kDescripcion)
            form().txtFields[Form::kDescripcion].Text = QStringLiteral("x"); // nadaGrabado() looks for the typing
        nadaGrabado();
        EXPECT_FALSE(form().grabando()); // prices recalculate again
    }
}

TEST_P(SaveArticle, AnExistingBarCodeUpdatesTheArticleAndItsPrice)
{
    articulo(QStringLiteral("12"), QStringLiteral("7790001"), QStringLiteral("Agua"));
    exec(QStringLiteral("UPDATE MA_ARTICULOS SET IdUnidad = '  UN', Costo = 80, Precio1 = 100"));
    exec(QStringLiteral("INSERT INTO MA_PRECIOS (IdLista, IdArticulo, Precio1) VALUES ('   1', '%1', 100)")
             .arg(pad(QStringLiteral("12"), 25)));
    cargar();
    form().pIdLista = QStringLiteral("1");
    confirmar(Form::kCodigo, QStringLiteral("7790001"));
    ASSERT_TRUE(form().articuloExistente());
    form().txtFields[Form::kDescripcion].Text = QStringLiteral("Agua D'Oro sin gas");
    form().txtFields[Form::kPrecio].Text = QStringLiteral("99,9");
    form().txtFields[Form::kTasaIVA].Text = QStringLiteral("21");
    form().TxtDesc[0].Text = QStringLiteral("Bebidas");
    form().CmdAlta_Click();

    ASSERT_FALSE(form().error());
    EXPECT_TRUE(form().pAceptar);
    EXPECT_EQ(count(QStringLiteral("MA_ARTICULOS")), 1);
    EXPECT_EQ(fila(QStringLiteral("SELECT Descripcion, Precio1, Costo, Tasaiva, IdUnidad, IdRubro, DesdeTrigger FROM "
                                  "V_MA_ARTICULOS")),
              QStringLiteral("Agua D'Oro sin gas|99,9|80|21|  UN|1000|Falso"));
    EXPECT_EQ(fila(QStringLiteral("SELECT Precio1, IdMoneda FROM V_MA_PRECIOS")), QStringLiteral("99,9|   1"));
    EXPECT_EQ(fila(QStringLiteral("SELECT Descripcion FROM V_TA_RUBROS WHERE IdRubro = '1000'")),
              QStringLiteral("Bebidas"));
}

TEST_P(SaveArticle, AnUpdateWritesAMissingPriceRowOfItsPaddedList)
{
    articulo(QStringLiteral("12"), QStringLiteral("7790001"), QStringLiteral("Agua"));
    cargar();
    form().pIdLista = QStringLiteral("1");
    confirmar(Form::kCodigo, QStringLiteral("7790001"));
    form().txtFields[Form::kCosto].Text = QStringLiteral("50");
    form().txtFields[Form::kPrecio].Text = QStringLiteral("75,25");
    form().CmdAlta_Click();
    ASSERT_FALSE(form().error());
    EXPECT_EQ(fila(QStringLiteral("SELECT IdLista, Nombre, Costo, Precio1, IdMoneda, TipoLista, DescripcionArticulo "
                                  "FROM V_MA_PRECIOS")),
              QStringLiteral("   1|Mayorista|50|75,25|   1|V|Agua"));
}

TEST_P(SaveArticle, AutomaticBarCodeComesFromTheRowNumber)
{
    configurar(QStringLiteral("CodigoBarraAutomatico"), QStringLiteral("SI"));
    articulo(QStringLiteral("12"), QStringLiteral("7790001"), QStringLiteral("Agua"));
    const QString numero = scalar(QStringLiteral("SELECT Id FROM V_MA_ARTICULOS"));
    ASSERT_FALSE(numero.isEmpty());
    cargar();
    confirmar(Form::kCodigo, QStringLiteral("7790001"));
    form().CmdAlta_Click();
    ASSERT_FALSE(form().error());
    EXPECT_EQ(scalar(QStringLiteral("SELECT CodigoBarra FROM V_MA_ARTICULOS")), pad(numero, 25));
}

TEST_P(SaveArticle, RetailAndPurchasesProgram)
{
    configurar(QStringLiteral("RETAIL"), QStringLiteral("SI"));
    configurar(QStringLiteral("ClasePrecioListaProv"), QStringLiteral("3"));
    configurar(QStringLiteral("ClasePrecioVenta"), QStringLiteral("2"));
    articles::gProgramaCompras = platform::executableName().toUpper();
    cargar();
    EXPECT_FALSE(form().txtFields[Form::kPrecio].Visible);
    EXPECT_EQ(form().Label11Caption, QStringLiteral("Precio (Modificar Lista)"));
    form().pIdLista = QStringLiteral("2");
    llenar(QString(), QStringLiteral("Compra"), QStringLiteral(" 40 "), QStringLiteral("60"));
    form().CmdAlta_Click();
    ASSERT_FALSE(form().error());
    EXPECT_EQ(fila(QStringLiteral("SELECT Costo, Precio2, Precio3 FROM V_MA_ARTICULOS")), QStringLiteral("40|60|40"));
    EXPECT_EQ(fila(QStringLiteral("SELECT IdLista, Precio2 FROM V_MA_PRECIOS")), QStringLiteral("   2|60"));
    // the row is written as a purchase list (the view shows the type of the list's header)
    EXPECT_EQ(articles::sql::tipoLista(), QStringLiteral("C"));
    articles::gProgramaCompras = QStringLiteral("otro programa");
    EXPECT_EQ(articles::sql::tipoLista(), QStringLiteral("V"));
}

TEST_P(SaveArticle, ANewArticleSavedByUpdateTakesSharedEquivalences)
{
    exec(QStringLiteral("INSERT INTO S_TA_EQUIV (IdArticulo, IdUnidad, IdUnidad_Equiv, Coeficiente, ParaTodos) "
                        "VALUES ('%1', '  UN', '  CJ', 12, 1)")
             .arg(pad(QStringLiteral("OTRO"), 25)));
    exec(QStringLiteral("INSERT INTO S_TA_EQUIV (IdArticulo, IdUnidad, IdUnidad_Equiv, Coeficiente, ParaTodos) "
                        "VALUES ('%1', '  UN', '  PK', 6, 0)")
             .arg(pad(QStringLiteral("OTRO"), 25)));
    cargar();
    form().pIdLista = QStringLiteral("1");
    form().txtFields[Form::kIdArticulo].Text = QStringLiteral("77");
    llenar(QStringLiteral("77"), QStringLiteral("Caja"), QStringLiteral("5"), QStringLiteral("9"));
    form().TxtDesc[2].Text = QStringLiteral("Unidad");
    form().setArticuloNuevo(true);
    form().setArticuloExistente(false);
    form().ActualizarDatos();
    ASSERT_FALSE(form().error());
    EXPECT_EQ(fila(QStringLiteral("SELECT IdArticulo, IdUnidad, Descripcion FROM V_MA_ARTICULOS")),
              pad(QStringLiteral("77"), 25) + QStringLiteral("|  UN|Caja"));
    EXPECT_EQ(
        fila(QStringLiteral("SELECT IdUnidad_Equiv, Coeficiente, ParaTodos FROM S_TA_EQUIV WHERE IdArticulo = '%1'")
                 .arg(pad(QStringLiteral("77"), 25))),
        QStringLiteral("  CJ|12|Verdadero"));
    EXPECT_EQ(fila(QStringLiteral("SELECT IdLista, Nombre, Precio1 FROM V_MA_PRECIOS")),
              QStringLiteral("   1|Mayorista|9"));
}

TEST_P(SaveArticle, AFailedUpdateKeepsTheFormAndReportsIt)
{
    articulo(QStringLiteral("12"), QStringLiteral("7790001"), QStringLiteral("Agua"));
    cargar();
    confirmar(Form::kCodigo, QStringLiteral("7790001"));
    form().txtFields[Form::kDescripcion].Text = QString(101, QLatin1Char('x')); // longer than the column
    operatorScript().expect(QStringLiteral("8152"), platform::vbOK);
    form().CmdAlta_Click();
    EXPECT_TRUE(form().error());
    EXPECT_FALSE(form().pAceptar);
    EXPECT_EQ(ocultado(), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Descripcion FROM V_MA_ARTICULOS")), QStringLiteral("Agua"));
    EXPECT_EQ(caja(Form::kDescripcion).size(), 101);
}

// A new bar code confirmed, then a stored one typed over it and F2 at once: the save works
// on the stored article the box names, with what the form shows; no price row of nobody's.
TEST_P(SaveArticle, F2SavesTheArticleTheBarCodeNamesNow)
{
    articulo(QStringLiteral("12"), QStringLiteral("7790001"), QStringLiteral("Agua"));
    cargar();
    form().pIdLista = QStringLiteral("1");
    confirmar(Form::kCodigo, QStringLiteral("7790999"));
    ASSERT_TRUE(form().articuloNuevo());
    form().txtFields[Form::kDescripcion].Text = QStringLiteral("Agua mineral");
    form().txtFields[Form::kPrecio].Text = QStringLiteral("55");
    form().txtFields_Change(Form::kCodigo, QStringLiteral("7790001")); // typed, no Enter
    form().CmdAlta_Click();

    ASSERT_FALSE(form().error());
    EXPECT_TRUE(form().pAceptar);
    EXPECT_EQ(count(QStringLiteral("MA_ARTICULOS")), 1);
    EXPECT_EQ(fila(QStringLiteral("SELECT IdArticulo, Descripcion, Precio1 FROM V_MA_ARTICULOS")),
              pad(QStringLiteral("12"), 25) + QStringLiteral("|Agua mineral|55"));
    EXPECT_EQ(fila(QStringLiteral("SELECT IdArticulo, Precio1 FROM V_MA_PRECIOS")),
              pad(QStringLiteral("12"), 25) + QStringLiteral("|55"));
    EXPECT_EQ(count(QStringLiteral("MA_PRECIOS")), 1);
}

// An update whose article code is blank or names no stored article changes no row: it is a
// failed save, told as such, and the form keeps what was typed.
TEST_P(SaveArticle, AnUpdateOfNoStoredArticleIsAFailure)
{
    const struct {
        const char *nombre;
        const char *id;
        const char *mensaje;
    } casos[] = {
        {"blank code", "  ", "Falta el código del artículo a modificar"},
        {"unknown code", "999", "El artículo 999 no existe en la base"},
    };
    articulo(QStringLiteral("12"), QStringLiteral("7790001"), QStringLiteral("Agua"));
    cargar();
    form().pIdLista = QStringLiteral("1");
    for (const auto &c : casos) {
        SCOPED_TRACE(c.nombre);
        confirmar(Form::kCodigo, QStringLiteral("7790001"));
        ASSERT_TRUE(form().articuloExistente());
        form().txtFields[Form::kIdArticulo].Text = QString::fromLatin1(c.id);
        form().txtFields[Form::kDescripcion].Text = QStringLiteral("Otra cosa");
        operatorScript().expect(QString::fromUtf8(c.mensaje), platform::vbOK);
        form().ActualizarDatos();
        EXPECT_TRUE(form().error());
        EXPECT_EQ(fila(QStringLiteral("SELECT Descripcion FROM V_MA_ARTICULOS")), QStringLiteral("Agua"));
        EXPECT_EQ(count(QStringLiteral("MA_PRECIOS")), 0);
        EXPECT_EQ(caja(Form::kDescripcion), QStringLiteral("Otra cosa"));
        EXPECT_EQ(ultimoFoco(), (articles::Control{articles::Control::Tipo::txtFields, Form::kIdArticulo}));
    }
}

// Another bar code is another article: nothing of the one shown before passes on to it.
TEST_P(SaveArticle, ANewBarCodeStartsFromAClearForm)
{
    articulo(QStringLiteral("12"), QStringLiteral("7790001"), QStringLiteral("Agua"));
    exec(QStringLiteral("UPDATE MA_ARTICULOS SET IdUnidad = '  UN', Costo = 80, Precio1 = 100, Tasaiva = 10.5, "
                        "Exento = 1, CuentaProveedor = 'PROV1', CodigoArtProveedor = '%1'")
             .arg(pad(QStringLiteral("P-77"), 25)));
    configurar(QStringLiteral("PIVAREC"), QStringLiteral("10.5"));
    cargar();
    form().pIdLista = QStringLiteral("1");
    confirmar(Form::kCodigo, QStringLiteral("7790001"));
    ASSERT_EQ(caja(Form::kCuentaProveedor), QStringLiteral("PROV1"));
    ASSERT_EQ(caja(Form::kTasaIVA), QStringLiteral("10,5"));
    form().txtFields[Form::kUtl_P1].Text = QStringLiteral("25");
    form().ChkExento = articles::Marca::Checked;

    confirmar(Form::kCodigo, QStringLiteral("7790002"));
    ASSERT_TRUE(form().articuloNuevo());
    for (int i = 0; i < form().txtFields.size(); ++i) {
        if (i == Form::kCodigo)
            EXPECT_EQ(caja(i), QStringLiteral("7790002"));
        else if (i == Form::kTasaIVA)
            EXPECT_EQ(caja(i), QStringLiteral("21")); // back to the configured rate
        else
            EXPECT_EQ(caja(i), QString()) << form().txtFields[i].DataField.toStdString();
    }
    for (const articles::CajaTexto &d : form().TxtDesc)
        EXPECT_EQ(d.Text, QString());
    EXPECT_EQ(form().lblDesc[4].Caption, QStringLiteral("..."));
    EXPECT_EQ(form().ChkExento, articles::Marca::Unchecked);
    EXPECT_EQ(form().costoRecordado(), articles::Importe());
    EXPECT_EQ(form().precioRecordado(), articles::Importe());

    form().txtFields[Form::kDescripcion].Text = QStringLiteral("Soda");
    form().CmdAlta_Click();
    ASSERT_FALSE(form().error());
    EXPECT_EQ(fila(QStringLiteral("SELECT Descripcion, CuentaProveedor, CodigoArtProveedor, Costo, Precio1, Tasaiva "
                                  "FROM V_MA_ARTICULOS WHERE CodigoBarra = '%1'")
                       .arg(pad(QStringLiteral("7790002"), 25))),
              QStringLiteral("Soda||") + pad(QString(), 25) + QStringLiteral("|0|0|<null>"));
}

IMAESTROS_DATABASE_TESTS(SaveArticle);

} // namespace
