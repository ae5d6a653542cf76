// A package sent from one database and received into another, compared row by row.

#include "SendingDatabase.h"

#include "tests/core/QtPrint.h"

#include "package/Format.h"
#include "reception/RecepcionMaestros.h"
#include "sending/Enlace.h"
#include "sending/EnvioMaestros.h"

#include "core/Globals.h"
#include "db/DB_Dll.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "platform/ado/Recordset.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using testsupport::Engine;
using testsupport::TestDatabase;

struct Camino {
    TestDatabase origen;
    TestDatabase destino;
};

void PrintTo(const Camino &c, std::ostream *out)
{
    *out << c.origen.name.toStdString() << "->" << c.destino.name.toStdString();
}

std::vector<Camino> caminos()
{
    const std::vector<TestDatabase> bases = testsupport::testDatabases();
    const TestDatabase &sqlite = bases[0];
    const TestDatabase &pg = bases[1];
    return {{sqlite, sqlite}, {sqlite, pg}, {pg, sqlite}};
}

class IdaYVuelta : public ::testing::TestWithParam<Camino> {
protected:
    void SetUp() override
    {
        if (!GetParam().origen.available() || !GetParam().destino.available())
            GTEST_SKIP() << "PostgreSQL not available (set IMAESTROS_PG_CONNSTR)";
        ASSERT_TRUE(m_home.isValid());
        platform::setProgramFolder(m_home.path());
        m_operador = std::make_shared<platform::ScriptedOperator>(
            [](const QString &q) { ADD_FAILURE() << "unexpected question: " << q.toStdString(); });
        m_scope = std::make_unique<platform::ScopedOperator>(m_operador);
        ModGlobal::resetGlobals();
        m_csOrigen = testsupport::connectionStringForTest(GetParam().origen);
        m_csDestino = testsupport::connectionStringForTest(GetParam().destino);
        m_origen.Open(m_csOrigen);
        m_destino.Open(m_csDestino);
        pruebas::crearBaseSuite(m_origen);
        pruebas::crearBaseSuite(m_destino);
    }
    void TearDown() override
    {
        releaseSharedDatabases();
        m_scope.reset();
        platform::setProgramFolder(QString());
    }

    // Transmission 1 of every table of the origin, into a folder of the test's.
    envio::ResumenEnvio enviar()
    {
        std::unique_ptr<DB_Dll> origen = pruebas::abrirDB(m_csOrigen);
        EXPECT_TRUE(origen->gOpenFlag);
        const QString carpeta = QDir(m_home.path()).filePath(QStringLiteral("envio"));
        QDir().mkpath(carpeta);
        envio::EnvioMaestros envio(*origen);
        envio::EnvioMaestros::Datos d;
        d.numero = QStringLiteral("1");
        d.responsable = QStringLiteral("Ana");
        d.carpeta = carpeta;
        d.precios = true;
        return envio.EnviarMaestros(d);
    }
    // The package received as the reception form receives it, into `conexion`.
    recepcion::ResumenRecepcion recibir(const QString &conexion, const QString &archivo)
    {
        DB_Dll &destino = gDB();
        destino.gUsuario = QStringLiteral("ana");
        destino.OpenServerADODB(false, 3, conexion, false, false);
        EXPECT_TRUE(destino.gOpenFlag);
        ado::Recordset rsTabla;
        destino.AbrirRecordset(QStringLiteral("SELECT * FROM MV_TRANSMISIONES"), rsTabla, &destino.gCnn,
                               ado::adOpenDynamic, ado::adLockOptimistic, -1, true);
        recepcion::RecepcionMaestros recepcion(destino);
        const recepcion::ResumenRecepcion r =
            recepcion.RecibirMaestros({QStringLiteral("1"), QStringLiteral("Ana"), archivo, false}, rsTabla);
        destino.CierraRecordset(rsTabla);
        releaseSharedDatabases();
        return r;
    }

    QTemporaryDir m_home;
    std::shared_ptr<platform::ScriptedOperator> m_operador;
    std::unique_ptr<platform::ScopedOperator> m_scope;
    QString m_csOrigen, m_csDestino;
    ado::Connection m_origen, m_destino;
};

TEST_P(IdaYVuelta, EveryTableArrivesAsItWasSent)
{
    pruebas::llenarMaestros(m_origen);
    const envio::ResumenEnvio enviado = enviar();
    ASSERT_TRUE(enviado.ok) << enviado.motivo.toStdString();
    ASSERT_EQ(enviado.filas, 81);

    const recepcion::ResumenRecepcion recibido = recibir(m_csDestino, enviado.archivo);
    ASSERT_EQ(recibido.fin, recepcion::FinRecepcion::Completa) << recibido.motivo.toStdString();
    const auto errores = platform::textfile::readAll(recibido.archivoErrores);
    EXPECT_EQ(recibido.rechazados, 0) << (errores.ok() ? errores.value().toStdString() : std::string());
    EXPECT_EQ(recibido.inserciones, 81);

    for (const QString &tabla : package::tableOrder()) {
        const QStringList enviadas = pruebas::filasComparables(m_origen, tabla);
        EXPECT_EQ(enviadas.size(), 3) << tabla.toStdString();
        EXPECT_EQ(pruebas::filasComparables(m_destino, tabla), enviadas) << tabla.toStdString();
    }
}

// Amounts a double cannot hold, money's limits and datetime's, sent from a server engine: back
// into PostgreSQL every digit arrives; the embedded engine refuses a row with such an amount
// (8115), never rounds it.
TEST_P(IdaYVuelta, AmountsAndDatesTravelDigitForDigitFromAServerEngine)
{
    if (GetParam().origen.engine != Engine::PostgreSQL)
        GTEST_SKIP() << "amounts beyond a double are stored only by a server engine";
    pruebas::llenarMaestros(m_origen);
    const QStringList columnas{QStringLiteral("COSTO"), QStringLiteral("PRECIO1"), QStringLiteral("PRECIO2")};
    // Per article, in the order of its code: COSTO, PRECIO1, PRECIO2.
    const QStringList importes[] = {{QStringLiteral("922337203685477.5807"), QStringLiteral("-922337203685477.5808"),
                                     QStringLiteral("922337203685477.5806")},
                                    {QStringLiteral("123456789012345.6789"), QStringLiteral("99999999999999.9999"),
                                     QStringLiteral("1234567890123.4567")},
                                    {QStringLiteral("12.5000"), QStringLiteral("0.0001"), QStringLiteral("-7.2500")}};
    QStringList articulos;
    for (auto rs = m_origen.Execute(QStringLiteral("SELECT IDARTICULO FROM MA_ARTICULOS ORDER BY IDARTICULO"));
         !rs->EOF(); rs->MoveNext())
        articulos << rs->field(0).Value().toString();
    ASSERT_EQ(articulos.size(), 3);
    const auto poner = [&](const QString &conexion, bool ceros) {
        ado::Connection cnn;
        cnn.Open(conexion);
        for (int c = 0; c < 3; ++c) {
            envio::Sentencia poner(
                cnn, QStringLiteral("UPDATE MA_ARTICULOS SET %1 = ? WHERE IDARTICULO = ?").arg(columnas[c]));
            for (int a = 0; a < 3; ++a)
                poner.ejecutar(
                    {platform::Variant(ceros ? QStringLiteral("0") : importes[a][c]), platform::Variant(articulos[a])});
        }
    };
    const auto leer = [&](ado::Connection &cnn) {
        QStringList leidos;
        for (auto rs =
                 cnn.Execute(QStringLiteral("SELECT CAST(COSTO AS VARCHAR(40)), CAST(PRECIO1 AS VARCHAR(40)), "
                                            "CAST(PRECIO2 AS VARCHAR(40)) FROM MA_ARTICULOS ORDER BY IDARTICULO"));
             !rs->EOF(); rs->MoveNext())
            leidos << rs->field(0).Value().toString() + QLatin1Char(' ') + rs->field(1).Value().toString()
                    + QLatin1Char(' ') + rs->field(2).Value().toString();
        return leidos;
    };
    poner(m_csOrigen, false);
    const QStringList enviados = leer(m_origen);
    ASSERT_EQ(enviados.size(), 3);
    EXPECT_EQ(enviados[0], importes[0].join(QLatin1Char(' ')));

    const envio::ResumenEnvio enviado = enviar();
    ASSERT_TRUE(enviado.ok) << enviado.motivo.toStdString();

    // Received where it came from, over amounts set to zero meanwhile; then where the path goes.
    poner(m_csOrigen, true);
    const recepcion::ResumenRecepcion deVuelta = recibir(m_csOrigen, enviado.archivo);
    EXPECT_EQ(deVuelta.rechazados, 0);
    EXPECT_EQ(leer(m_origen), enviados);
    if (GetParam().destino.engine == Engine::SQLite) {
        m_operador->expect(QStringLiteral("Se han producido errores de actualización"), platform::vbOK);
        const recepcion::ResumenRecepcion r = recibir(m_csDestino, enviado.archivo);
        EXPECT_EQ(r.rechazados, 2); // the two articles whose amounts need more than 15 digits
        QStringList guardados;
        for (auto rs = m_destino.Execute(QStringLiteral("SELECT COSTO, PRECIO1, PRECIO2 FROM MA_ARTICULOS"));
             !rs->EOF(); rs->MoveNext())
            guardados << rs->field(0).Value().toString() + QLatin1Char(' ') + rs->field(1).Value().toString()
                    + QLatin1Char(' ') + rs->field(2).Value().toString();
        EXPECT_EQ(guardados, QStringList{QStringLiteral("12,5 0,0001 -7,25")});
    }
}

INSTANTIATE_TEST_SUITE_P(Caminos, IdaYVuelta, ::testing::ValuesIn(caminos()),
                         [](const ::testing::TestParamInfo<Camino> &info) {
                             return info.param.origen.name.toStdString() + "_a_"
                                 + info.param.destino.name.toStdString();
                         });

} // namespace
