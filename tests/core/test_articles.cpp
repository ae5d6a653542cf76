#include "SuiteDatabase.h"

#include "core/BuscarArticulo.h"
#include "core/Configuracion.h"
#include "core/Globals.h"
#include "platform/Paths.h"
#include "platform/suite/Funciones.h"
#include "platform/ui/Operator.h"

#include "QtPrint.h"

#include <gtest/gtest.h>

namespace {

using namespace ModGlobal;

QString pad(const char *code) { return platform::suite::gFunciones().AlinearDerecha(QString::fromUtf8(code), 25); }

class ArticleLookupDb : public SuiteDatabaseTest {
protected:
    void SetUp() override
    {
        SuiteDatabaseTest::SetUp();
        if (IsSkipped())
            return;
        article("ABC", "Tornillo", "UN", "7790001000012", "CB2", "CAJ");
        article("7790001", "Arandela", "UN", "", "", "");
        article("012345678901", "Tuerca", "UN", "", "", "");
        article("12345", "Queso", "KG", "", "", "");
        article("54321", "Pan", "UN", "", "", "");
        exec(QStringLiteral(
                 "UPDATE MA_ARTICULOS SET CodigoArtProveedor = '%1', CuentaProveedor = 'PROV1' WHERE IdArticulo = '%2'")
                 .arg(pad("P-77"), pad("54321")));
        exec(QStringLiteral("INSERT INTO MA_PRECIOSCAB (IdLista, TipoLista) VALUES ('   7', 'C')"));
        exec(QStringLiteral(
                 "INSERT INTO MA_PRECIOS (IdLista, IdArticulo, IdArticuloProveedor) VALUES ('   7', '%1', '%2')")
                 .arg(pad("ABC"), pad("PROV-ABC")));
    }
    void TearDown() override
    {
        gFormatoCodigoBarra.clear();
        gDecimalesCodigoBarra.clear();
        SuiteDatabaseTest::TearDown();
    }
    void article(const char *id, const char *name, const char *unit, const char *barCode, const char *barCode2,
                 const char *unit2)
    {
        exec(QStringLiteral(
                 "INSERT INTO MA_ARTICULOS (IdArticulo, Descripcion, IdUnidad, CodigoBarra, CodigoBarra2, UMCB2) "
                 "VALUES ('%1', '%2', '%3', %4, %5, %6)")
                 .arg(pad(id), QString::fromUtf8(name), QString::fromUtf8(unit),
                      *barCode ? QLatin1Char('\'') + pad(barCode) + QLatin1Char('\'') : QStringLiteral("NULL"),
                      *barCode2 ? QLatin1Char('\'') + pad(barCode2) + QLatin1Char('\'') : QStringLiteral("NULL"),
                      *unit2 ? QStringLiteral("'%1'").arg(QString::fromUtf8(unit2)) : QStringLiteral("NULL")));
    }
    bool find(QString &code, ArticuloBuscado &out, std::int16_t byBarCode = 0, const QString &account = QString(),
              const QString &list = QString())
    {
        std::int16_t warning = 1;
        return BuscarArticulo(code, nullptr, true, byBarCode, out, account, list, QString(), warning);
    }
};

TEST_P(ArticleLookupDb, ByIdentifierAndBarCodes)
{
    ArticuloBuscado out;
    QString code = QStringLiteral("ABC");
    ASSERT_TRUE(find(code, out));
    EXPECT_EQ(out.descripcion, QStringLiteral("Tornillo"));
    EXPECT_EQ(out.unidadBase, QStringLiteral("UN"));
    EXPECT_EQ(out.cantidad, 1);

    code = QStringLiteral("7790001000012"); // no layout: the 13 digits are looked up whole
    ASSERT_TRUE(find(code, out, 1));
    EXPECT_EQ(code.trimmed(), QStringLiteral("ABC"));

    code = QStringLiteral("CB2"); // a further bar code
    ASSERT_TRUE(find(code, out));
    EXPECT_EQ(code.trimmed(), QStringLiteral("ABC"));
    EXPECT_EQ(out.descripcion, QStringLiteral("Tornillo"));

    code = QStringLiteral("NADA");
    EXPECT_FALSE(find(code, out));
}

TEST_P(ArticleLookupDb, QuantityPrefixAndSign)
{
    ArticuloBuscado out;
    QString code = QStringLiteral("3*7790001");
    ASSERT_TRUE(find(code, out));
    EXPECT_EQ(code.trimmed(), QStringLiteral("7790001"));
    EXPECT_EQ(out.cantidad, 3);
    EXPECT_EQ(out.descripcion, QStringLiteral("Arandela"));

    code = QStringLiteral("0*7790001"); // a zero quantity leaves the code as typed
    EXPECT_FALSE(find(code, out));

    code = QStringLiteral("-012345678901");
    ASSERT_TRUE(find(code, out));
    EXPECT_EQ(out.descripcion, QStringLiteral("Tuerca"));
    EXPECT_EQ(out.cantidad, -1);
}

TEST_P(ArticleLookupDb, BlankCodeIsNeverFound)
{
    ArticuloBuscado out;
    out.descripcion = QStringLiteral("keep");
    for (const char *blank : {"", "   "}) {
        QString code = QString::fromUtf8(blank);
        EXPECT_FALSE(find(code, out));
    }
    EXPECT_EQ(out.descripcion, QStringLiteral("keep"));
}

TEST_P(ArticleLookupDb, SupplierPriceListAndSupplierCode)
{
    ArticuloBuscado out;
    QString code = QStringLiteral("PROV-ABC");
    ASSERT_TRUE(find(code, out, 0, QStringLiteral("PROV1"), QStringLiteral("7")));
    EXPECT_EQ(code.trimmed(), QStringLiteral("ABC"));

    code = QStringLiteral("P-77");
    ASSERT_TRUE(find(code, out, 0, QStringLiteral(" PROV1 ")));
    EXPECT_EQ(code.trimmed(), QStringLiteral("54321"));
    EXPECT_EQ(out.descripcion, QStringLiteral("Pan"));

    code = QStringLiteral("P-77");
    EXPECT_FALSE(find(code, out, 0, QStringLiteral("OTRO")));
}

TEST_P(ArticleLookupDb, WeighedLayoutCarriesTheQuantity)
{
    gFormatoCodigoBarra = QStringLiteral("0CCCCCQQQQQ");
    gDecimalesCodigoBarra = QStringLiteral("3");
    gUNIDADDEMEDIDA_KG = QStringLiteral("KG");
    ArticuloBuscado out;
    QString code = QStringLiteral("0012345015007");
    ASSERT_TRUE(find(code, out));
    EXPECT_EQ(out.descripcion, QStringLiteral("Queso"));
    EXPECT_DOUBLE_EQ(out.cantidad, 1.5);

    code = QStringLiteral("0054321015007"); // not sold by weight: the quantity is the sign
    ASSERT_TRUE(find(code, out));
    EXPECT_EQ(out.descripcion, QStringLiteral("Pan"));
    EXPECT_EQ(out.cantidad, 1);
    gUNIDADDEMEDIDA_KG.clear();
}

TEST_P(ArticleLookupDb, PricedLayoutAndBatch)
{
    gFormatoCodigoBarra = QStringLiteral("CCCCCPPPPPP");
    gDecimalesCodigoBarra = QStringLiteral("2");
    ArticuloBuscado out;
    QString code = QStringLiteral("12345001234");
    ASSERT_TRUE(find(code, out));
    EXPECT_EQ(out.descripcion, QStringLiteral("Queso"));
    EXPECT_DOUBLE_EQ(out.importe, 12.34);
    EXPECT_EQ(out.cantidad, 1);
    gFormatoCodigoBarra.clear();
    gDecimalesCodigoBarra.clear();

    // A batch in front of an "A" only when batches are assigned automatically.
    code = QStringLiteral("15A7790001");
    EXPECT_FALSE(find(code, out));
    gAsignacionAutomaticaDeLoteING = true;
    code = QStringLiteral("15A7790001");
    ASSERT_TRUE(find(code, out));
    EXPECT_EQ(out.lote, QStringLiteral("15"));
    EXPECT_EQ(out.descripcion, QStringLiteral("Arandela"));
    code = QStringLiteral("A7790001");
    ASSERT_TRUE(find(code, out));
    EXPECT_EQ(out.lote, QString());
    gAsignacionAutomaticaDeLoteING = false;
}

TEST_P(ArticleLookupDb, ArticleOfAnotherBusinessUnitIsWarnedAbout)
{
    gProgramasDeVenta = {platform::executableName()};
    gRazonSocialPorUneg = true;
    gUnidadNegocio = QStringLiteral("   1");
    exec(QStringLiteral("UPDATE MA_ARTICULOS SET idTipo = '   2' WHERE IdArticulo = '%1'").arg(pad("ABC")));
    struct Case {
        const char *voucher;
        std::int16_t mode;
        bool shown;
        std::int16_t after;
    };
    const Case cases[] = {{"FC", 0, true, 0}, {"FC", 1, false, 2}, {"FP", 0, false, 0}, {"np", 1, false, 1}};
    for (const Case &c : cases) {
        if (c.shown)
            operatorScript().expect(
                QStringLiteral("Este articulo pertenece a una unidad de negocio distinta a la seleccionada"),
                platform::vbOK);
        ArticuloBuscado out;
        QString code = QStringLiteral("ABC");
        std::int16_t byBarCode = 0;
        std::int16_t warning = c.mode;
        EXPECT_TRUE(BuscarArticulo(code, nullptr, true, byBarCode, out, QString(), QString(),
                                   QString::fromUtf8(c.voucher), warning));
        EXPECT_EQ(warning, c.after) << c.voucher;
    }
    // The article of the user's own unit is not warned about.
    std::int16_t byBarCode = 0, warning = 1;
    ArticuloBuscado out;
    QString code = QStringLiteral("7790001");
    exec(QStringLiteral("UPDATE MA_ARTICULOS SET idTipo = '   1' WHERE IdArticulo = '%1'").arg(pad("7790001")));
    EXPECT_TRUE(
        BuscarArticulo(code, nullptr, true, byBarCode, out, QString(), QString(), QStringLiteral("FC"), warning));
    EXPECT_EQ(warning, 1);
    gProgramasDeVenta.clear();
    gRazonSocialPorUneg = false;
}

TEST_P(ArticleLookupDb, CodeWithApostropheCannotBreakTheStatement)
{
    ArticuloBuscado out;
    QString code = QStringLiteral("A'B");
    EXPECT_FALSE(find(code, out));
}

IMAESTROS_DATABASE_TESTS(ArticleLookupDb);

} // namespace
