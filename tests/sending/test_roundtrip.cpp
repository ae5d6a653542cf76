// A package sent from one database and received into another, compared row by row.

#include "SendingDatabase.h"

#include "tests/core/QtPrint.h"

#include "package/Format.h"
#include "reception/RecepcionMaestros.h"
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

    QTemporaryDir m_home;
    std::shared_ptr<platform::ScriptedOperator> m_operador;
    std::unique_ptr<platform::ScopedOperator> m_scope;
    QString m_csOrigen, m_csDestino;
    ado::Connection m_origen, m_destino;
};

TEST_P(IdaYVuelta, EveryTableArrivesAsItWasSent)
{
    pruebas::llenarMaestros(m_origen);
    std::unique_ptr<DB_Dll> origen = pruebas::abrirDB(m_csOrigen);
    ASSERT_TRUE(origen->gOpenFlag);
    const QString carpeta = QDir(m_home.path()).filePath(QStringLiteral("envio"));
    QDir().mkpath(carpeta);
    envio::EnvioMaestros envio(*origen);
    envio::EnvioMaestros::Datos d;
    d.numero = QStringLiteral("1");
    d.responsable = QStringLiteral("Ana");
    d.carpeta = carpeta;
    d.precios = true;
    const envio::ResumenEnvio enviado = envio.EnviarMaestros(d);
    ASSERT_TRUE(enviado.ok) << enviado.motivo.toStdString();
    ASSERT_EQ(enviado.filas, 81);

    DB_Dll &destino = gDB();
    destino.gUsuario = QStringLiteral("ana");
    destino.OpenServerADODB(false, 3, m_csDestino, false, false);
    ASSERT_TRUE(destino.gOpenFlag);
    ado::Recordset rsTabla;
    destino.AbrirRecordset(QStringLiteral("SELECT * FROM MV_TRANSMISIONES"), rsTabla, &destino.gCnn, ado::adOpenDynamic,
                           ado::adLockOptimistic, -1, true);
    recepcion::RecepcionMaestros recepcion(destino);
    const recepcion::ResumenRecepcion recibido =
        recepcion.RecibirMaestros({QStringLiteral("1"), QStringLiteral("Ana"), enviado.archivo, false}, rsTabla);
    destino.CierraRecordset(rsTabla);
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

INSTANTIATE_TEST_SUITE_P(Caminos, IdaYVuelta, ::testing::ValuesIn(caminos()),
                         [](const ::testing::TestParamInfo<Camino> &info) {
                             return info.param.origen.name.toStdString() + "_a_"
                                 + info.param.destino.name.toStdString();
                         });

} // namespace
