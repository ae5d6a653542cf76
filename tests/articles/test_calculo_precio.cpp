// The price calculation: cost, markup, price and tax kept consistent.

#include "articles/CalculoPrecio.h"
#include "core/Globals.h"

#include "tests/core/QtPrint.h"

#include <gtest/gtest.h>

namespace {

using articles::CalcularPrecio;
using articles::DatosPrecio;
using articles::Importe;
using articles::PrecioCalculado;

class PriceCalculation : public ::testing::Test {
protected:
    void SetUp() override { ModGlobal::gCantidadDecimales = QStringLiteral("2"); }
    void TearDown() override { ModGlobal::gCantidadDecimales.clear(); }
};

struct Case {
    const char *nombre;
    const char *campo;
    bool cambioUtilidad;
    const char *costo, *precio, *tasa, *tasaGeneral, *utilidad;
    bool exento, conIva;
    const char *precioEsperado;    // nullptr: the price box is left alone
    const char *recordadoEsperado; // the remembered price, when the price is written
    const char *utilidadEsperada;  // nullptr: the markup box is left alone
    bool aviso = false;            // the operator is told why a box kept its value
};

const Case kCasos[] = {
    {"markup with tax", "Utl_P1", true, "100", "", "21", "", "30", false, true, "157,30", "157,3", nullptr},
    {"markup without the with-tax flag", "Utl_P1", true, "100", "", "21", "", "30", false, false, "130,00", "130",
     nullptr},
    {"markup on an exempt article", "Utl_P1", true, "100", "", "21", "", "30", true, true, "130,00", "130", nullptr},
    {"a new cost takes the markup", "Costo", false, "200", "1", "21", "", "30", false, true, "314,60", "314,6",
     nullptr},
    {"the price shows the configured decimals", "Costo", false, "33,3333", "", "0", "", "10", false, false, "36,67",
     "36,6666", nullptr},
    {"markup 0 leaves the price", "Utl_P1", true, "100", "5", "21", "", "0", false, true, nullptr, nullptr, nullptr},
    {"a negative markup leaves the price", "Costo", false, "100", "5", "21", "", "-10", false, true, nullptr, nullptr,
     nullptr},
    {"cost 0 with a markup gives 0", "Utl_P1", true, "0", "5", "21", "", "30", false, false, "0,00", "0", nullptr},
    {"a rate of 0 takes PIVA", "Utl_P1", true, "100", "", "0", "10,5", "30", false, true, "143,65", "143,65", nullptr},
    {"no rate at all: factor 1", "Utl_P1", true, "100", "", "", "", "30", false, true, "130,00", "130", nullptr},
    {"price back to markup, tax taken out", "Precio", false, "100", "157,3", "21", "", "", false, true, nullptr,
     nullptr, "30"},
    {"the markup field counts as the price", "UTL_P1", false, "100", "157,3", "21", "", "", false, true, nullptr,
     nullptr, "30"},
    {"price without tax", "Precio", false, "80", "100", "21", "", "", false, false, nullptr, nullptr, "25"},
    {"markup rounded to the configured decimals", "Precio", false, "3", "4", "", "", "", false, false, nullptr, nullptr,
     "33,33"},
    {"price not above the cost", "Precio", false, "100", "100", "21", "", "", false, false, nullptr, nullptr, "0"},
    {"price not above the cost once the tax is out", "Precio", false, "100", "110", "21", "", "", false, true, nullptr,
     nullptr, "0"},
    {"cost 0 on the price path", "Precio", false, "0", "50", "21", "", "", false, false, nullptr, nullptr, "0"},
    {"a price that is not a number reads as 0", "Precio", false, "10", "abc", "", "", "", false, false, nullptr,
     nullptr, "0"},
    {"another field does nothing", "Descripcion", false, "100", "1", "21", "", "30", false, true, nullptr, nullptr,
     nullptr},
    // Out of the amounts' range: the box keeps what it had, never 0, and the operator is told.
    {"a price out of range keeps the price", "Utl_P1", true, "900000000000000", "5", "", "", "50", false, false,
     nullptr, nullptr, nullptr, true},
    {"the tax takes the price out of range", "Costo", false, "800000000000000", "5", "21", "", "10", false, true,
     nullptr, nullptr, nullptr, true},
    {"a markup out of range keeps the markup", "Precio", false, "0,0001", "900000000000", "", "", "", false, false,
     nullptr, nullptr, nullptr, true},
};

TEST_F(PriceCalculation, Table)
{
    for (const Case &c : kCasos) {
        SCOPED_TRACE(c.nombre);
        DatosPrecio d;
        d.campo = QString::fromLatin1(c.campo);
        d.cambioUtilidad = c.cambioUtilidad;
        d.costo = QString::fromLatin1(c.costo);
        d.precio = QString::fromLatin1(c.precio);
        d.tasa = QString::fromLatin1(c.tasa);
        d.tasaGeneral = QString::fromLatin1(c.tasaGeneral);
        d.utilidad = QString::fromLatin1(c.utilidad);
        d.exento = c.exento;
        d.conIva = c.conIva;
        const PrecioCalculado r = CalcularPrecio(d);
        EXPECT_EQ(r.precio.has_value(), c.precioEsperado != nullptr);
        if (c.precioEsperado && r.precio) {
            EXPECT_EQ(*r.precio, QString::fromLatin1(c.precioEsperado));
            ASSERT_TRUE(r.precioRecordado);
            EXPECT_EQ(*r.precioRecordado, Importe::desdeTexto(QString::fromLatin1(c.recordadoEsperado)));
        }
        EXPECT_EQ(r.utilidad.has_value(), c.utilidadEsperada != nullptr);
        if (c.utilidadEsperada && r.utilidad) {
            EXPECT_EQ(*r.utilidad, QString::fromLatin1(c.utilidadEsperada));
        }
        EXPECT_EQ(!r.aviso.isEmpty(), c.aviso) << r.aviso.toStdString();
    }
}

} // namespace
