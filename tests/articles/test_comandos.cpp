// The article form's commands and keys: F5 lookups, F7 (master base), the search-engine
// command, Esc and the loading of the form.

#include "FormaArticulo.h"

#include "core/SharedLookup.h"

#include "tests/core/QtPrint.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

using articles::Control;
using Form = articles::FrmArtAltaModelo;

// A lookup that "chooses" a fixed value and remembers what it was asked.
class ScriptedLookup : public SharedLookup {
public:
    static inline QString eleccion;
    static inline QStringList pedidos;
    void ConsultaSearch(const QString &SQL, QStringList *, const QString &, QString *, QString *, const QString &, bool,
                        const QString &) override
    {
        pedidos << CampoDevuelto + QLatin1Char('|') + SQL;
        ValorDevuelto = eleccion;
        m_cancelled = eleccion.isEmpty();
    }
};

class FormCommands : public ArticleFormTest {
protected:
    void SetUp() override
    {
        ArticleFormTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        configurar(QStringLiteral("PIVA"), QStringLiteral("21"));
        unidad(QStringLiteral("  UN"), QStringLiteral("Unidad"));
        cuenta(QStringLiteral("PROV1"), QStringLiteral("P1"), QStringLiteral("Proveedor Uno"), QStringLiteral("PR"));
        ScriptedLookup::eleccion.clear();
        ScriptedLookup::pedidos.clear();
        setLookupFactory([] { return std::make_unique<ScriptedLookup>(); });
    }
    void TearDown() override
    {
        setLookupFactory({});
        releaseConsulta();
        ArticleFormTest::TearDown();
    }
};

TEST_P(FormCommands, LoadingAndResetting)
{
    form().DesdeConsulta = true;
    form().CodArtNuevo = QStringLiteral("  779  ");
    form().PonerCodigo(); // loads the form first
    EXPECT_TRUE(form().cargado());
    EXPECT_FALSE(form().Label1Visible);
    EXPECT_EQ(caja(Form::kCodigo), QStringLiteral("779"));
    EXPECT_EQ(form().CodArtNuevo, QString());
    EXPECT_EQ(caja(Form::kTasaIVA), QStringLiteral("21"));
    EXPECT_EQ(form().txtFields[Form::kDescripcion].TabIndex, 1); // no master-article service configured
    EXPECT_FALSE(form().lblPreciosIvaVisible);
}

TEST_P(FormCommands, F5LooksUpTheLastBoxAndConfirmsTheChoice)
{
    cargar();
    ScriptedLookup::eleccion = QStringLiteral(" UN ");
    form().txtFields_GotFocus(Form::kIdUnidad);
    form().Form_KeyDown(116); // F5, as if a button had the focus now
    ASSERT_EQ(ScriptedLookup::pedidos.size(), 1);
    EXPECT_EQ(ScriptedLookup::pedidos[0], QStringLiteral("IDUNIDAD|select DESCRIPCION,IDUNIDAD from V_ta_unidad "));
    EXPECT_EQ(caja(Form::kIdUnidad), QStringLiteral("UN"));
    EXPECT_EQ(form().TxtDesc[2].Text, QStringLiteral("Unidad")); // confirmed as with Enter
    EXPECT_EQ(pasesDeFoco(), 1);

    ScriptedLookup::eleccion = QStringLiteral("PROV1");
    form().txtFields_GotFocus(Form::kCuentaProveedor);
    form().CmdConsultar_Click();
    EXPECT_TRUE(
        ScriptedLookup::pedidos.last().startsWith(QStringLiteral("Codigo|select Razon_Social,Codigo from MA_CUENTAS")));
    EXPECT_EQ(caja(Form::kCuentaProveedor), QStringLiteral("PROV1"));
    EXPECT_EQ(form().lblDesc[4].Caption, QStringLiteral("Proveedor Uno"));

    // nothing chosen, or a box without a lookup: nothing changes
    ScriptedLookup::eleccion.clear();
    form().txtFields_GotFocus(Form::kIdUnidad);
    form().Form_KeyDown(116);
    EXPECT_EQ(caja(Form::kIdUnidad), QStringLiteral("UN"));
    const qsizetype pedidos = ScriptedLookup::pedidos.size();
    for (const int sinLookup : {Form::kCodigo, Form::kPrecio, Form::kCodigoArtProveedor}) {
        form().txtFields_GotFocus(sinLookup);
        form().Form_KeyDown(116);
    }
    EXPECT_EQ(ScriptedLookup::pedidos.size(), pedidos);
}

TEST_P(FormCommands, F7WithoutTheServiceKeepsItsStatusAndTheDescription)
{
    cargar();
    form().txtFields[Form::kCodigo].Text = QStringLiteral("7790001");
    form().txtFields[Form::kDescripcion].Text = QStringLiteral("Tipeada");
    form().Form_KeyDown(118);
    EXPECT_TRUE(form().LblProceso.startsWith(QStringLiteral("NO ESTA CONFIGURADO EL WEB SERVICE DE ARTICULOS")));
    EXPECT_EQ(caja(Form::kDescripcion), QStringLiteral("Tipeada"));
    EXPECT_EQ(ultimoFoco(), (Control{Control::Tipo::txtFields, Form::kPrecio}));
}

TEST_P(FormCommands, F7ThatCannotReachTheServiceEmptiesTheDescription)
{
    configurar(QStringLiteral("WSArticulos"), QStringLiteral("http://127.0.0.1:9/articulos/"));
    cargar();
    EXPECT_EQ(form().txtFields[Form::kDescripcion].TabIndex, 11);
    form().txtFields[Form::kCodigo].Text = QStringLiteral("7790001");
    form().txtFields[Form::kDescripcion].Text = QStringLiteral("Tipeada");
    form().CmdMaestro_Click();
    EXPECT_EQ(form().LblProceso, QStringLiteral("NO SE PUDO CONECTAR AL WEB SERVICE DE ARTICULOS"));
    EXPECT_EQ(caja(Form::kDescripcion), QString());
    EXPECT_EQ(ultimoFoco(), (Control{Control::Tipo::txtFields, Form::kDescripcion}));

    form().txtFields[Form::kCodigo].Text = QStringLiteral("  ");
    operatorScript().expect(QStringLiteral("Debe informar el numero de Codigo de Barras"), platform::vbOK);
    form().CmdMaestro_Click();
}

TEST_P(FormCommands, TheSearchEngineGetsTheDescriptionEncoded)
{
    cargar();
    QSignalSpy abiertas(&form(), &Form::abrirDireccion);
    form().txtFields[Form::kDescripcion].Text = QStringLiteral("  D'ONOFRIO 1/2 kg & más?  ");
    form().CmdGoogle_Click();
    ASSERT_EQ(abiertas.size(), 1);
    EXPECT_EQ(abiertas[0][0].toString(),
              QStringLiteral("https://www.google.com/search?q=D%27ONOFRIO+1%2F2+kg+%26+m%C3%A1s%3F"));
    EXPECT_EQ(Form::direccionBusqueda(QString()), QStringLiteral("https://www.google.com/search?q="));
}

TEST_P(FormCommands, EscapeCancelsAndLeavingABoxValidatesItOnlyWhenChanged)
{
    cargar();
    form().txtFields_GotFocus(Form::kTasaIVA);
    form().txtFields_Change(Form::kTasaIVA, QStringLiteral("150"));
    operatorScript().expect(QStringLiteral("Alicuota de IVA debe ser"), platform::vbOK);
    form().txtFields_Validate(Form::kTasaIVA); // the focus leaves: validated
    form().txtFields_GotFocus(Form::kDescripcion);
    form().txtFields_Validate(Form::kDescripcion); // never validated on leaving
    form().txtFields_GotFocus(Form::kTasaIVA);
    form().txtFields_Change(Form::kTasaIVA, QStringLiteral("21"));
    form().txtFields_KeyDown(Form::kTasaIVA, 13);
    form().txtFields_Validate(Form::kTasaIVA); // confirmed with Enter already: not again
    form().pAceptar = true;
    form().Form_KeyDown(27);
    EXPECT_FALSE(form().pAceptar);
    EXPECT_EQ(ocultado(), 1);
}

IMAESTROS_DATABASE_TESTS(FormCommands);

} // namespace
