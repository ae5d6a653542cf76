#include "SuiteDatabase.h"

#include "core/Configuracion.h"
#include "core/Globals.h"
#include "core/RutinasDatos.h"
#include "db/DB_Dll.h"
#include "platform/ado/Recordset.h"

#include "QtPrint.h"

#include <gtest/gtest.h>

namespace {

using namespace ModGlobal;

class ConfigurationDb : public SuiteDatabaseTest {
protected:
    void set(const char *key, const char *value, const char *aux = nullptr)
    {
        exec(QStringLiteral("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, VALORAUX) VALUES ('%1', '%2', %3)")
                 .arg(QString::fromUtf8(key), QString::fromUtf8(value),
                      aux ? QStringLiteral("'%1'").arg(QString::fromUtf8(aux)) : QStringLiteral("NULL")));
    }
};

TEST_P(ConfigurationDb, CfgReadsValueAndAuxiliary)
{
    set("PIVA", " 21 ", "aux");
    QString aux = QStringLiteral("old");
    EXPECT_EQ(Cfg(QStringLiteral(" PIVA "), &aux), QStringLiteral(" 21 "));
    EXPECT_EQ(aux, QStringLiteral("aux"));
    EXPECT_EQ(Cfg(QStringLiteral("NOHAY"), &aux), QStringLiteral(" "));
    EXPECT_EQ(aux, QString());
    EXPECT_EQ(Cfg(QStringLiteral("THEME")), QStringLiteral("1"));
    EXPECT_EQ(Cfg(QStringLiteral("O'Hara")), QStringLiteral(" ")); // an apostrophe cannot break the query
    gDB().gOpenFlag = false;
    EXPECT_EQ(Cfg(QStringLiteral("PIVA")), QString());
    gDB().gOpenFlag = true;
}

TEST_P(ConfigurationDb, EmptyTableGivesTheDefaults)
{
    gCFondo = 0xFFFFFF;
    EXPECT_TRUE(CargarConfiguracion(QStringLiteral("/prog/")).ok()); // an empty table is read, not failed
    EXPECT_FALSE(gMostrarStockenConsultas);
    EXPECT_FALSE(gRazonSocialPorUneg);
    EXPECT_FALSE(gV_ModificaCPrecio);
    EXPECT_FALSE(gSS_CONFIDENCIALIDAD);
    EXPECT_TRUE(gModuloOrdenDeTrabajo);
    EXPECT_EQ(gCantidadDecimales, QStringLiteral(" "));
    EXPECT_EQ(gTituloClientes, QString());
    EXPECT_EQ(gPERIODO, 0);
    EXPECT_EQ(gMaxDto, 0.0);
    EXPECT_EQ(gCFondo, 0xFFFF00);
    EXPECT_EQ(gCLetra, 0);
    EXPECT_EQ(gCONDIVAEMPRESA, 1);
    EXPECT_EQ(gTop_Default, QStringLiteral("1000"));
    EXPECT_EQ(gUnidadNegocio, QStringLiteral("   1"));
    EXPECT_EQ(gRutaDocTareas, QStringLiteral("/prog/VKDOCTareas.vkr"));
    EXPECT_EQ(gTablaConfiguracion, QStringLiteral("ta_configuracion"));
}

TEST_P(ConfigurationDb, ReadingRulesFromRealRows)
{
    set("MostrarStockenConsultas", "si");
    set("UsaConsultaLike", " SI");     // SI is untrimmed
    set("RazonSocialPorUneg", " SI "); // SI-trim
    set("SS_CONFIDENCIALIDAD", "Si");
    set("V_ModificaCPrecio", "no");
    set("C_ModificaCPrecio", "N");
    set("MADERERA", "   ");
    set("ModuloOrdenDeTrabajo", " no ");
    set("TituloClientes", "  Socios  ");
    set("CantidadDecimales", " 3 ");
    set("PERIODO", " 12abc");
    set("CFondo", "255");
    set("CLetra", "abc"); // damaged: keeps the previous value
    set("MaxDto", "12,5");
    set("CONDIVAEMPRESA", "0");
    set("CONDIVA", "2");
    set("Top_Default", "50");
    set("UsaFacturaProforma", "SI");
    exec(QStringLiteral("INSERT INTO TA_USUARIOS (Nombre, UNegocio, verproforma) VALUES ('ana', '   2', 0)"));
    gUsuarioLogeado = QStringLiteral("ana");
    gCLetra = 77;
    EXPECT_TRUE(CargarConfiguracion(QStringLiteral("/prog/")).ok()); // a damaged value is not a failed read
    EXPECT_TRUE(gMostrarStockenConsultas);
    EXPECT_FALSE(gUsaConsultaLike);
    EXPECT_TRUE(gRazonSocialPorUneg);
    EXPECT_TRUE(gSS_CONFIDENCIALIDAD);
    EXPECT_TRUE(::gSS_CONFIDENCIALIDAD);
    EXPECT_FALSE(gV_ModificaCPrecio);
    EXPECT_TRUE(gC_ModificaCPrecio);
    EXPECT_FALSE(gMADERERA);
    EXPECT_FALSE(gModuloOrdenDeTrabajo);
    EXPECT_EQ(gTituloClientes, QStringLiteral("Socios"));
    EXPECT_EQ(gCantidadDecimales, QStringLiteral(" 3 "));
    EXPECT_EQ(gPERIODO, 12);
    EXPECT_EQ(gCFondo, 255);
    EXPECT_EQ(gCLetra, 77);
    EXPECT_DOUBLE_EQ(gMaxDto, 12.5);
    EXPECT_EQ(gCONDIVAEMPRESA, 2);
    EXPECT_EQ(gTop_Default, QStringLiteral("50"));
    EXPECT_EQ(gUnidadNegocio, QStringLiteral("   2"));
    EXPECT_FALSE(gUsaFacturaProforma); // the user's verproforma is 0
    ::gSS_CONFIDENCIALIDAD = false;
}

TEST_P(ConfigurationDb, MissingTableIsReportedAndIgnoreKeepsReading)
{
    exec(QStringLiteral("DROP TABLE TA_CONFIGURACION"));
    // The failed open is the database's own dialog; the closed recordset then reaches Cfg's.
    operatorScript().expect(QString(), platform::vbIgnore);
    operatorScript().expect(QString(), platform::vbIgnore);
    EXPECT_EQ(Cfg(QStringLiteral("THEME")), QStringLiteral("1")) << "Ignore goes on to the THEME rule";
    operatorScript().expect(QString(), platform::vbAbort);
    operatorScript().expect(QString(), platform::vbAbort);
    EXPECT_EQ(Cfg(QStringLiteral("THEME")), QString()) << "Abort leaves with nothing";
    EXPECT_EQ(operatorScript().pending(), 0);

    // Loading the settings without the table says so (and names the first key).
    platform::ScopedOperator unattended(std::make_shared<platform::UnattendedOperator>());
    gTop_Default.clear();
    const platform::Status loaded = CargarConfiguracion(QStringLiteral("/prog/"));
    EXPECT_FALSE(loaded.ok());
    EXPECT_TRUE(loaded.message().contains(QStringLiteral("MostrarStockenConsultas"))) << loaded.message().toStdString();
    EXPECT_TRUE(loaded.message().contains(QStringLiteral("configuracion"), Qt::CaseInsensitive))
        << "names the missing table: " << loaded.message().toStdString();
    EXPECT_EQ(gTop_Default, QStringLiteral("1000"));
}

TEST_P(ConfigurationDb, StatisticsKeyIsWrittenAndOverwritten)
{
    DB_Dll &stats = gEstadisticas();
    stats.OpenServerADODB(false, 3, connectionString(), false, false);
    ASSERT_TRUE(stats.gOpenFlag);
    GrabaCfgVK(QStringLiteral("timeout"), platform::Variant(QStringLiteral(" 90 ")), QStringLiteral("a"), false,
               QStringLiteral("BaseDeDatos"), true);
    QString aux;
    EXPECT_EQ(CfgVK(QStringLiteral("TIMEOUT"), &aux), QStringLiteral("90"));
    EXPECT_EQ(aux, QStringLiteral("a"));
    GrabaCfgVK(QStringLiteral("TIMEOUT"), platform::Variant(QStringLiteral("120")), QString(), true,
               QStringLiteral("BaseDeDatos"), true);
    EXPECT_EQ(CfgVK(QStringLiteral("TimeOut"), &aux), QStringLiteral("120"));
    EXPECT_EQ(aux, QStringLiteral("a")); // an empty auxiliary value leaves the column alone
    EXPECT_EQ(count(QStringLiteral("TA_CONFIGURACION")), 1);
}

TEST_P(ConfigurationDb, VatRateMatchesAnyConfiguredRate)
{
    set("PIVA", "21");
    set("PIVADIF2", "10.5"); // a point as the only separator is the decimal mark
    EXPECT_TRUE(EsTasaIva(10.5f));
    EXPECT_TRUE(EsTasaIva(21.0f));
    EXPECT_FALSE(EsTasaIva(27.0f));
    EXPECT_FALSE(EsTasaIva(105.0f));
    EXPECT_TRUE(EsTasaIva(0.0f)) << "the keys that are missing read as 0";
    set("PIVAREC", "0");
    set("PIVADIF", "0");
    set("PIVADIF1", "0");
    EXPECT_FALSE(EsTasaIva(0.5f));
    exec(QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = 'abc' WHERE CLAVE = 'PIVA'"));
    EXPECT_THROW(EsTasaIva(21.0f), platform::RuntimeError) << "a damaged rate reaches the caller";
}

TEST_P(ConfigurationDb, AccountByCodeOrOptionalCode)
{
    exec(QStringLiteral("INSERT INTO MA_CUENTAS (Codigo, CodigoOpcional, Descripcion) VALUES ('C1', 'OPT1', 'Caja')"));
    QString code = QStringLiteral("OPT1");
    bool byOptional = false;
    ado::Recordset rs;
    EXPECT_TRUE(BuscarCuenta(code, &rs, true, byOptional));
    EXPECT_EQ(code, QStringLiteral("C1"));
    EXPECT_TRUE(byOptional);
    EXPECT_EQ(rs.value(QStringLiteral("Descripcion")).toString(), QStringLiteral("Caja"));
    gDB().CierraRecordset(rs);

    code = QStringLiteral("C1");
    byOptional = true; // asked by optional code, found by code: the code stays
    EXPECT_TRUE(BuscarCuenta(code, nullptr, true, byOptional));
    EXPECT_EQ(code, QStringLiteral("C1"));

    code = QStringLiteral("X'Y");
    byOptional = false;
    EXPECT_FALSE(BuscarCuenta(code, nullptr, true, byOptional));
    EXPECT_FALSE(byOptional);
}

TEST_P(ConfigurationDb, ServerDateIsReadAsADate)
{
    const QDateTime before = QDateTime::currentDateTime().addSecs(-120);
    const QDateTime server = FechaServidor();
    EXPECT_TRUE(server.isValid());
    EXPECT_GT(server, before);
    EXPECT_LT(server, QDateTime::currentDateTime().addSecs(120));
}

IMAESTROS_DATABASE_TESTS(ConfigurationDb);

} // namespace
