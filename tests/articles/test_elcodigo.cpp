// Lookup codes made from descriptions, on every engine.

#include "ArticlesDatabase.h"

#include "articles/ElCodigo.h"

#include "tests/core/QtPrint.h"

#include <gtest/gtest.h>

namespace {

using articles::ElCodigo;

class LookupCodes : public ArticlesDatabaseTest {
protected:
    QString codigo(const char *tabla, QString descripcion) { return ElCodigo(QString::fromLatin1(tabla), descripcion); }
    QString familia(std::initializer_list<const char *> niveles)
    {
        QStringList partes;
        for (const char *n : niveles)
            partes << QString::fromUtf8(n);
        QString descripcion = partes.join(QChar(0xFF));
        return ElCodigo(QStringLiteral("v_ta_familias"), descripcion);
    }
};

TEST_P(LookupCodes, UnitsTypesAndCategoriesAreFoundOrNumbered)
{
    unidad(QStringLiteral("1000"), QStringLiteral("Kilogramo"));
    EXPECT_EQ(codigo("v_ta_Unidad", QStringLiteral("kilogramo")), QStringLiteral("1000"));
    EXPECT_EQ(count(QStringLiteral("V_TA_UNIDAD")), 1); // found: nothing written

    EXPECT_EQ(codigo("v_ta_unidad", QStringLiteral("Docena")), QStringLiteral("1001"));
    EXPECT_EQ(codigo("V_TA_TipoArticulo", QStringLiteral("Marca Uno")), QStringLiteral("1000"));
    EXPECT_EQ(codigo("V_TA_TipoArticulo", QStringLiteral("Marca Dos")), QStringLiteral("1001"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Descripcion FROM V_TA_TIPOARTICULO WHERE IdTipo = '1001'")),
              QStringLiteral("Marca Dos"));

    rubro(QStringLiteral(" 998"), QStringLiteral("Bebidas"));
    EXPECT_EQ(codigo("v_ta_rubros", QStringLiteral("Lácteos")), QStringLiteral(" 999"));
    EXPECT_EQ(codigo("v_ta_rubros", QStringLiteral("Panadería")), QStringLiteral("1000"));
    EXPECT_EQ(codigo("v_ta_rubros", QStringLiteral("Lácteos")), QStringLiteral(" 999"));
    EXPECT_EQ(fila(QStringLiteral("SELECT IdRubro, Descripcion FROM V_TA_RUBROS WHERE Descripcion = 'Panadería'")),
              QStringLiteral("1000|Panadería"));
}

// A highest code that is not a number cannot be continued: the caller's handler hears of it.
TEST_P(LookupCodes, AStoredCodeThatIsNotANumberIsRaised)
{
    unidad(QStringLiteral("  KG"), QStringLiteral("Kilogramo"));
    try {
        codigo("v_ta_unidad", QStringLiteral("Docena"));
        ADD_FAILURE() << "no error";
    } catch (const platform::RuntimeError &e) {
        EXPECT_EQ(e.Number(), 13);
    }
    EXPECT_EQ(count(QStringLiteral("V_TA_UNIDAD")), 1);
}

TEST_P(LookupCodes, DescriptionsLoseApostrophesQuotesAndCommas)
{
    QString descripcion = QStringLiteral("D'ONOFRIO, \"Fino\"");
    const QString code = ElCodigo(QStringLiteral("v_ta_rubros"), descripcion);
    EXPECT_EQ(descripcion, QStringLiteral("DONOFRIO Fino"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Descripcion FROM V_TA_RUBROS WHERE IdRubro = '%1'").arg(code)),
              QStringLiteral("DONOFRIO Fino"));
    QString otra = QStringLiteral("DONOFRIO, Fino");
    EXPECT_EQ(ElCodigo(QStringLiteral("v_ta_rubros"), otra), code); // the cleaned text is what is looked up
}

TEST_P(LookupCodes, BlankDescriptionsAndOtherKindsWriteNothing)
{
    for (const char *tabla :
         {"v_ta_rubros", "v_ta_tipoarticulo", "v_ta_unidad", "v_ta_familias", "Color", "Talle", "otra"})
        EXPECT_EQ(codigo(tabla, QStringLiteral("  ")), QString()) << tabla;
    EXPECT_EQ(count(QStringLiteral("V_TA_RUBROS")) + count(QStringLiteral("V_TA_TIPOARTICULO"))
                  + count(QStringLiteral("V_TA_UNIDAD")) + count(QStringLiteral("V_TA_FAMILIAS")),
              0);
    EXPECT_EQ(count(QStringLiteral("TA_CONFIGURACION")), 0);
}

TEST_P(LookupCodes, AFailedInsertGivesNoCode)
{
    operatorScript().expect(QString(), platform::vbOK); // the provider's message
    EXPECT_EQ(codigo("v_ta_unidad", QString(51, QLatin1Char('x'))), QString());
    EXPECT_EQ(count(QStringLiteral("V_TA_UNIDAD")), 0);
}

TEST_P(LookupCodes, FamiliesAreNumberedPerLevelUnderTheirParent)
{
    EXPECT_EQ(familia({"ROPA", "CAMISAS"}), QStringLiteral("0101"));
    EXPECT_EQ(familia({"ROPA", "PANTALONES"}), QStringLiteral("0102"));
    EXPECT_EQ(familia({"CALZADO", "CAMISAS"}), QStringLiteral("0201")); // not ROPA's CAMISAS
    EXPECT_EQ(familia({"ROPA", "CAMISAS"}), QStringLiteral("0101"));
    EXPECT_EQ(familia({"", "ZAPATOS"}), QStringLiteral("0202")); // an empty level still counts: level 2
    EXPECT_EQ(fila(QStringLiteral("SELECT IdFamilia, Descripcion FROM V_TA_FAMILIAS WHERE IdFamilia = '02'")),
              QStringLiteral("02|CALZADO"));
    EXPECT_EQ(count(QStringLiteral("V_TA_FAMILIAS")), 6);
    QString descripcion = QStringLiteral(" ROPA ") + QChar(0xFF) + QStringLiteral(" CAMISAS ");
    ElCodigo(QStringLiteral("v_ta_familias"), descripcion);
    EXPECT_EQ(descripcion, QStringLiteral("CAMISAS")); // the last level, trimmed
}

TEST_P(LookupCodes, AFullRangeIsRefusedWithAMessage)
{
    exec(QStringLiteral("INSERT INTO V_TA_FAMILIAS (IdFamilia, Descripcion) VALUES ('99', 'ULTIMA')"));
    exec(QStringLiteral("INSERT INTO V_TA_FAMILIAS (IdFamilia, Descripcion) VALUES ('9999', 'LLENA')"));
    operatorScript().expect(QStringLiteral("No quedan códigos libres"), platform::vbOK);
    EXPECT_EQ(familia({"NUEVA"}), QString());
    operatorScript().expect(QStringLiteral("No quedan códigos libres"), platform::vbOK);
    EXPECT_EQ(familia({"ULTIMA", "NUEVA"}), QString()); // 99 -> 9999 is taken: 99 + 100 would be too long
    EXPECT_EQ(count(QStringLiteral("V_TA_FAMILIAS")), 2);
}

TEST_P(LookupCodes, ColoursAndSizesAreConfigurationRows)
{
    const QString uno = QStringLiteral("1").rightJustified(25);
    EXPECT_EQ(codigo("Color", QStringLiteral("Rojo ")), uno);
    EXPECT_EQ(codigo("Color", QStringLiteral("Rojo")), uno);
    EXPECT_EQ(codigo("Color", QStringLiteral("Azul")), QStringLiteral("2").rightJustified(25));
    EXPECT_EQ(codigo("Talle", QStringLiteral(" XL ")), uno);
    EXPECT_EQ(
        fila(QStringLiteral("SELECT Grupo, VALOR, Descripcion FROM TA_CONFIGURACION WHERE CLAVE = 'COLOR_ART_Rojo'")),
        QStringLiteral("DATOS|Rojo |") + uno);
    EXPECT_EQ(fila(QStringLiteral("SELECT VALOR FROM TA_CONFIGURACION WHERE CLAVE = 'TALLE_ART_XL'")),
              QStringLiteral("XL"));
}

TEST(LookupCodeLetters, SexOrSide)
{
    struct Case {
        const char *descripcion;
        const char *letra;
    } cases[] = {{"M", "M"},       {"masculino", "M"}, {"Men", "M"},    {"femenino", "F"}, {"", "F"},
                 {"DERECHA", "D"}, {"izquierdo", "I"}, {"unisex", "U"}, {" female ", "F"}};
    for (const auto &c : cases)
        EXPECT_EQ(articles::LetraDeSexo(QString::fromLatin1(c.descripcion)), QString::fromLatin1(c.letra))
            << c.descripcion;
    QString vacia;
    EXPECT_EQ(ElCodigo(QStringLiteral("Sexo"), vacia), QStringLiteral("F"));
}

IMAESTROS_DATABASE_TESTS(LookupCodes);

} // namespace
