// The reception of a package into the suite's database, on every engine: values, keys,
// counters, the transmission row, updates, SoloAltas, the origin question and what a
// package lacks.

#include "PaqueteDePrueba.h"
#include "ReceptionDatabase.h"
#include "tests/core/QtPrint.h"

#include "reception/RecepcionMaestros.h"

#include "db/DB_Dll.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "platform/ado/Recordset.h"

#include <QDir>
#include <QFile>

#include <functional>

namespace {

using recepcion::FinRecepcion;
using recepcion::RecepcionMaestros;
using recepcion::ResumenRecepcion;

QString art(const char *codigo) { return QString::fromUtf8(codigo).rightJustified(25); }

const QStringList kUnidad = {"IdUnidad", "Descripcion", "Abreviatura", "Decimales", "RECEPCION", "TRANSMISION"};
const QStringList kVendedor = {"IdVendedor", "Nombre", "Comision", "FechaAlta", "Activo", "RECEPCION", "TRANSMISION"};
const QStringList kArticulo = {"IdArticulo", "Descripcion", "IdUnidad",  "Precio1",    "Suspendido",
                               "FhAlta",     "IdFamilia",   "RECEPCION", "TRANSMISION"};
const QStringList kLista = {"IdLista", "Descripcion", "TipoLista", "RECEPCION", "TRANSMISION"};
const QStringList kPrecio = {"IdLista", "IdArticulo", "Precio", "TipoLista", "RECEPCION", "TRANSMISION"};

PaqueteDePrueba paqueteBase()
{
    PaqueteDePrueba p;
    p.tabla("V_TA_UNIDAD", kUnidad,
            {fila({"   1", "Unidad", "UN", "0"}), fila({"2", "Kilogramo", "kg", "3"}),
             fila({"   3", "Caja d'12; -- /*x*/", "CJ", "NULL"})});
    p.tabla("V_TA_VENDEDORES", kVendedor,
            {fila({"   1", "José Ñúñez", "2,5", "31/12/2020", "1"}),
             fila({"   2", "O'Brien", "12.75", "01/02/2021 10:30:00", "0"})});
    p.tabla("V_MA_ARTICULOS", kArticulo,
            {fila({art("A1"), "Azúcar 'La Muñeca'", "   1", "1234,5", "0", "15/03/2024", "F1"}),
             fila({art("B2"), "Yerba", "   2", "NULL", "1", "NULL", "NULL"})});
    p.tabla("V_MA_PRECIOSCAB", kLista, {fila({"   1", "Minorista", "V"})});
    p.tabla("V_MA_PRECIOS", kPrecio,
            {QStringLiteral("DELETE FROM V_MA_PRECIOS WHERE TIPOLISTA='V' AND IDLISTA='   1' AND IDARTICULO='%1'")
                 .arg(art("Z9")),
             fila({"   1", art("A1"), "10,25", "V"}), fila({"   1", art("B2"), "7", "V"})});
    return p;
}

class ReceptionImport : public ReceptionDatabaseTest {
protected:
    QString zip() const { return QDir(home()).filePath(QStringLiteral("paquete.zip")); }

    ResumenRecepcion recibir(const PaqueteDePrueba &paquete, const QString &numero = QStringLiteral("1"),
                             bool soloAltas = false)
    {
        EXPECT_TRUE(paquete.escribir(zip()).ok());
        return recibirZip(zip(), numero, soloAltas);
    }
    ResumenRecepcion recibirZip(const QString &ruta, const QString &numero = QStringLiteral("1"),
                                bool soloAltas = false)
    {
        ado::Recordset rsTabla;
        gDB().AbrirRecordset(QStringLiteral("SELECT * FROM MV_TRANSMISIONES"), rsTabla, &gDB().gCnn, ado::adOpenDynamic,
                             ado::adLockOptimistic, -1, true);
        RecepcionMaestros recepcion(gDB());
        const ResumenRecepcion r = recepcion.RecibirMaestros({numero, QStringLiteral("Ana"), ruta, soloAltas}, rsTabla);
        m_estado = recepcion.estado;
        gDB().CierraRecordset(rsTabla);
        return r;
    }
    QString errores(const ResumenRecepcion &r) const
    {
        const auto text = platform::textfile::readAll(r.archivoErrores);
        return text.ok() ? text.value() : QString();
    }
    recepcion::EstadoRecepcion m_estado;
};

TEST_P(ReceptionImport, StoresEveryValueAsSentAndRecordsTheReception)
{
    const ResumenRecepcion r = recibir(paqueteBase());
    ASSERT_EQ(r.fin, FinRecepcion::Completa) << r.motivo.toStdString();
    EXPECT_EQ(r.inserciones, 10);
    EXPECT_EQ(r.modificaciones, 0);
    EXPECT_EQ(r.rechazados, 0) << errores(r).toStdString();
    EXPECT_EQ(r.leidos, 11);

    // Codes right-aligned as stored; apostrophes, semicolons and comment marks kept.
    EXPECT_EQ(scalar("SELECT Descripcion FROM V_TA_UNIDAD WHERE IdUnidad = '   2'"), QStringLiteral("Kilogramo"));
    EXPECT_EQ(scalar("SELECT Descripcion FROM V_TA_UNIDAD WHERE IdUnidad = '   3'"),
              QStringLiteral("Caja d'12; -- /*x*/"));
    EXPECT_EQ(scalar("SELECT Decimales FROM V_TA_UNIDAD WHERE IdUnidad = '   3'"), QStringLiteral("<null>"));
    // Accents, decimal comma and point, day-first dates with and without a time.
    EXPECT_EQ(scalar("SELECT Nombre FROM V_TA_VENDEDORES WHERE IdVendedor = '   1'"), QStringLiteral("José Ñúñez"));
    EXPECT_EQ(scalar("SELECT Comision FROM V_TA_VENDEDORES WHERE IdVendedor = '   1'"), QStringLiteral("2,5"));
    EXPECT_EQ(scalar("SELECT Comision FROM V_TA_VENDEDORES WHERE IdVendedor = '   2'"), QStringLiteral("12,75"));
    EXPECT_EQ(scalar("SELECT FechaAlta FROM V_TA_VENDEDORES WHERE IdVendedor = '   1'"), QStringLiteral("31/12/2020"));
    EXPECT_EQ(scalar("SELECT FechaAlta FROM V_TA_VENDEDORES WHERE IdVendedor = '   2'"),
              QStringLiteral("01/02/2021 10:30:00"));
    EXPECT_EQ(scalar("SELECT Descripcion FROM V_MA_ARTICULOS WHERE IdArticulo = '" + art("A1") + "'"),
              QStringLiteral("Azúcar 'La Muñeca'"));
    EXPECT_EQ(scalar("SELECT Precio1 FROM MA_ARTICULOS WHERE IdArticulo = '" + art("A1") + "'"),
              QStringLiteral("1234,5"));
    // A price column that reads NULL is left out; an always-taken one is written NULL.
    EXPECT_EQ(scalar("SELECT Precio1 FROM MA_ARTICULOS WHERE IdArticulo = '" + art("B2") + "'"),
              QStringLiteral("<null>"));
    EXPECT_EQ(scalar("SELECT IdFamilia FROM MA_ARTICULOS WHERE IdArticulo = '" + art("B2") + "'"),
              QStringLiteral("<null>"));
    // Every row carries the reception number; TRANSMISION is left to the table.
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM MA_PRECIOS WHERE RECEPCION = 1 AND TRANSMISION = 0"), QStringLiteral("2"));
    EXPECT_EQ(scalar("SELECT Precio FROM V_MA_PRECIOS WHERE IdArticulo = '" + art("A1") + "'"),
              QStringLiteral("10,25"));

    EXPECT_EQ(count("MV_TRANSMISIONES"), 1);
    EXPECT_EQ(scalar("SELECT TIPO FROM MV_TRANSMISIONES"), QStringLiteral("N"));
    EXPECT_EQ(scalar("SELECT TRANSMISION FROM MV_TRANSMISIONES"), QStringLiteral("1"));
    EXPECT_EQ(scalar("SELECT responsable_recepcion FROM MV_TRANSMISIONES"), QStringLiteral("Ana"));
    EXPECT_EQ(scalar("SELECT registros_recibidos FROM MV_TRANSMISIONES"), QStringLiteral("11"));
    EXPECT_EQ(scalar("SELECT ubicacion_archivo FROM MV_TRANSMISIONES"), zip());
    EXPECT_EQ(scalar("SELECT DbOrigen FROM MV_TRANSMISIONES"), QString());
    EXPECT_EQ(scalar("SELECT ANULADO FROM MV_TRANSMISIONES"), QStringLiteral("Falso"));
    // The package stays in the dated archive folder.
    EXPECT_TRUE(r.carpeta.startsWith(QDir(home()).filePath(QStringLiteral("E-MAILS/RECEPCION/"))));
    EXPECT_TRUE(QFile::exists(QDir(r.carpeta).filePath(QStringLiteral("V_TA_UNIDAD.DAT"))));
}

TEST_P(ReceptionImport, ASecondReceptionUpdatesAndKeepsStoredBlanks)
{
    ASSERT_EQ(recibir(paqueteBase()).fin, FinRecepcion::Completa);
    exec("UPDATE V_TA_UNIDAD SET Abreviatura = '' WHERE IdUnidad = '   1'");
    PaqueteDePrueba segundo = paqueteBase();
    segundo.tabla("V_TA_UNIDAD", kUnidad,
                  {fila({"1", "Unidad de venta", "UN", "0"}), fila({"   2", "Kilogramo", "NULL", "3"}),
                   fila({"   3", "Caja", "CJ", "2"})});
    const ResumenRecepcion r = recibir(segundo, QStringLiteral("2"));
    ASSERT_EQ(r.fin, FinRecepcion::Completa) << r.motivo.toStdString();
    EXPECT_EQ(r.inserciones, 0);
    EXPECT_EQ(r.modificaciones, 10);
    EXPECT_EQ(count("V_TA_UNIDAD"), 3);
    EXPECT_EQ(scalar("SELECT Descripcion FROM V_TA_UNIDAD WHERE IdUnidad = '   1'"), QStringLiteral("Unidad de venta"));
    EXPECT_EQ(scalar("SELECT Abreviatura FROM V_TA_UNIDAD WHERE IdUnidad = '   1'"), QStringLiteral("UN"));
    // NULL on an ordinary column leaves the stored value alone.
    EXPECT_EQ(scalar("SELECT Abreviatura FROM V_TA_UNIDAD WHERE IdUnidad = '   2'"), QStringLiteral("kg"));
    EXPECT_EQ(scalar("SELECT RECEPCION FROM V_TA_UNIDAD WHERE IdUnidad = '   3'"), QStringLiteral("2"));
    EXPECT_EQ(count("MV_TRANSMISIONES"), 2);
}

TEST_P(ReceptionImport, OnlyNewRowsWithSoloAltas)
{
    ASSERT_EQ(recibir(paqueteBase()).fin, FinRecepcion::Completa);
    PaqueteDePrueba segundo;
    segundo.tabla("V_TA_UNIDAD", kUnidad, {fila({"   1", "Cambiada", "UN", "0"}), fila({"   4", "Nueva", "NU", "0"})});
    const ResumenRecepcion r = recibir(segundo, QStringLiteral("2"), true);
    ASSERT_EQ(r.fin, FinRecepcion::Completa);
    EXPECT_EQ(r.inserciones, 1);
    EXPECT_EQ(r.modificaciones, 0);
    EXPECT_EQ(scalar("SELECT Descripcion FROM V_TA_UNIDAD WHERE IdUnidad = '   1'"), QStringLiteral("Unidad"));
    EXPECT_EQ(scalar("SELECT Descripcion FROM V_TA_UNIDAD WHERE IdUnidad = '   4'"), QStringLiteral("Nueva"));
}

TEST_P(ReceptionImport, PricesOfArticlesOnlyWithPreciosSi)
{
    PaqueteDePrueba p = paqueteBase();
    p.precios(false);
    ASSERT_EQ(recibir(p).fin, FinRecepcion::Completa);
    EXPECT_EQ(scalar("SELECT Precio1 FROM MA_ARTICULOS WHERE IdArticulo = '" + art("A1") + "'"),
              QStringLiteral("<null>"));
    // Other tables take their price-named columns all the same.
    EXPECT_EQ(scalar("SELECT Precio FROM V_MA_PRECIOS WHERE IdArticulo = '" + art("A1") + "'"),
              QStringLiteral("10,25"));
}

TEST_P(ReceptionImport, AnotherOriginIsReceivedOnlyWhenTheOperatorAgrees)
{
    exec("INSERT INTO MV_TRANSMISIONES (TIPO, TRANSMISION, DbOrigen) VALUES ('N', 4, 'CENTRAL')");
    exec("INSERT INTO MV_TRANSMISIONES (TIPO, TRANSMISION, DbOrigen) VALUES ('N', 3, 'OTRA')");
    PaqueteDePrueba p = paqueteBase();
    p.origen(QStringLiteral("SUCURSAL"));

    operatorScript().expect("pertenecio a la base de datos CENTRAL", platform::vbNo);
    ResumenRecepcion r = recibir(p, QStringLiteral("5"));
    EXPECT_EQ(r.fin, FinRecepcion::Rechazada);
    EXPECT_TRUE(m_estado.ProcesoCancelado);
    EXPECT_EQ(count("V_TA_UNIDAD"), 0);
    EXPECT_EQ(count("MV_TRANSMISIONES"), 2);

    operatorScript().expect("la informacion actual pertenece a la base de datos SUCURSAL", platform::vbYes);
    r = recibir(p, QStringLiteral("5"));
    EXPECT_EQ(r.fin, FinRecepcion::Completa);
    EXPECT_EQ(count("V_TA_UNIDAD"), 3);
    EXPECT_EQ(scalar("SELECT DbOrigen FROM MV_TRANSMISIONES WHERE TRANSMISION = 5"), QStringLiteral("SUCURSAL"));

    // The same origin in another case and with blanks around it asks nothing.
    p.origen(QStringLiteral("  sucursal "));
    EXPECT_EQ(recibir(p, QStringLiteral("6")).fin, FinRecepcion::Completa);
}

TEST_P(ReceptionImport, APackageWithoutItsControlFileStopsAfterTheFirstTable)
{
    PaqueteDePrueba p = paqueteBase();
    p.sinControl();
    operatorScript().expect("No existe el archivo de Control Maestros enviados", platform::vbOK);
    const ResumenRecepcion r = recibir(p);
    EXPECT_EQ(r.fin, FinRecepcion::SinControl);
    EXPECT_TRUE(m_estado.FaltaControl);
    EXPECT_EQ(r.leidos, 0);
    EXPECT_EQ(count("V_TA_UNIDAD"), 0);
    EXPECT_EQ(count("MV_TRANSMISIONES"), 0);
}

TEST_P(ReceptionImport, TablesTheControlFileNamesWithoutTheirDataFilesLeaveTheReceptionIncomplete)
{
    PaqueteDePrueba p = paqueteBase();
    p.bloque("V_TA_RUBROS", {"IdRubro", "Descripcion", "RECEPCION", "TRANSMISION"});
    p.bloque("S_TA_EQUIV", {"IdArticulo", "IdUnidad", "IdUnidad_Equiv", "Cantidad", "RECEPCION", "TRANSMISION"});
    operatorScript().expect("Se han producido errores de actualización", platform::vbOK);
    operatorScript().expect("Se han producido errores de actualización", platform::vbOK);
    const ResumenRecepcion r = recibir(p);
    EXPECT_EQ(r.fin, FinRecepcion::Incompleta);
    EXPECT_EQ(r.tablasFaltantes, QStringList({"V_TA_RUBROS", "S_TA_EQUIV"}));
    EXPECT_TRUE(r.linea().startsWith(QStringLiteral("Recepción incompleta"))) << r.linea().toStdString();
    EXPECT_TRUE(r.linea().contains(QStringLiteral("faltan V_TA_RUBROS.DAT, S_TA_EQUIV.DAT")))
        << r.linea().toStdString();
    EXPECT_TRUE(m_estado.ProcesoCancelado);
    EXPECT_TRUE(errores(r).contains(QStringLiteral("Falta el archivo V_TA_RUBROS.DAT en el paquete")));
    // What the package holds is loaded; the reception is not recorded as done.
    EXPECT_EQ(count("V_TA_UNIDAD"), 3);
    EXPECT_EQ(count("MA_PRECIOS"), 2);
    EXPECT_EQ(count("MV_TRANSMISIONES"), 0);
}

TEST_P(ReceptionImport, ADamagedOrMissingArchiveImportsNothing)
{
    ASSERT_TRUE(paqueteBase().escribir(zip()).ok());
    QFile archivo(zip());
    ASSERT_TRUE(archivo.open(QIODevice::ReadWrite));
    archivo.resize(archivo.size() / 2);
    archivo.close();
    const QString textoPlano = QDir(home()).filePath(QStringLiteral("texto.zip"));
    ASSERT_TRUE(platform::textfile::writeLines(textoPlano, {QStringLiteral("no soy un zip")}).ok());
    for (const QString &ruta : {zip(), textoPlano, QDir(home()).filePath(QStringLiteral("no-existe.zip"))}) {
        SCOPED_TRACE(ruta.toStdString());
        operatorScript().expect("No se puede leer el paquete", platform::vbOK);
        const ResumenRecepcion r = recibirZip(ruta);
        EXPECT_EQ(r.fin, FinRecepcion::PaqueteIlegible);
        EXPECT_TRUE(m_estado.ProcesoCancelado);
    }
    EXPECT_EQ(count("V_TA_UNIDAD"), 0);
    EXPECT_EQ(count("MV_TRANSMISIONES"), 0);
}

// Closes the database connection once the first table is done, as a lost connection would.
class ConexionCortada : public recepcion::VistaRecepcion {
public:
    void avance(int valor, int) override
    {
        if (valor == 1)
            gDB().gCnn.Close();
    }
};

TEST_P(ReceptionImport, ALostConnectionFailsTheRunAndTheRunCanBeRepeated)
{
    ASSERT_TRUE(paqueteBase().escribir(zip()).ok());
    ConexionCortada corte;
    {
        ado::Recordset rsTabla;
        gDB().AbrirRecordset(QStringLiteral("SELECT * FROM MV_TRANSMISIONES"), rsTabla, &gDB().gCnn, ado::adOpenDynamic,
                             ado::adLockOptimistic, -1, true);
        RecepcionMaestros recepcion(gDB());
        recepcion.setVista(&corte);
        operatorScript().expect(QString(), platform::vbAbort);
        const ResumenRecepcion r = recepcion.RecibirMaestros({"1", "Ana", zip(), false}, rsTabla);
        EXPECT_EQ(r.fin, FinRecepcion::Fallida);
        EXPECT_TRUE(recepcion.estado.ProcesoCancelado);
    }
    EXPECT_EQ(count("V_TA_UNIDAD"), 3);
    EXPECT_EQ(count("V_TA_VENDEDORES"), 0);
    EXPECT_EQ(count("MV_TRANSMISIONES"), 0);

    // Connected again, the same package ends as one clean reception would have.
    gDB().OpenServerADODB(false, 3, connectionString(), false, false);
    ASSERT_TRUE(gDB().gOpenFlag);
    const ResumenRecepcion r = recibirZip(zip());
    ASSERT_EQ(r.fin, FinRecepcion::Completa) << r.motivo.toStdString();
    EXPECT_EQ(r.inserciones, 7);
    EXPECT_EQ(r.modificaciones, 3);
    EXPECT_EQ(count("V_TA_VENDEDORES"), 2);
    EXPECT_EQ(count("MA_PRECIOS"), 2);
    EXPECT_EQ(count("MV_TRANSMISIONES"), 1);
}

// Closes the database connection once, after the run's first row was written in its group.
class CorteEnElGrupo : public recepcion::VistaRecepcion {
public:
    void atender() override
    {
        if (!m_cortada) {
            m_cortada = true;
            gDB().gCnn.Close();
        }
    }

private:
    bool m_cortada = false;
};

// Answers each question with a step of the test.
class OperadorQueActua : public platform::OperatorService {
public:
    std::function<int()> responder;
    int preguntas = 0;
    platform::Reply ask(const platform::Question &) override
    {
        ++preguntas;
        return {responder(), QString()};
    }
};

TEST_P(ReceptionImport, AConnectionLostInTheMiddleOfAReplayLosesNoRowAndWritesNoneTwice)
{
    // The row "Corte" ends the connection from the engine's side the first time it is
    // written: PostgreSQL ends the session; SQLite finds its database full (a lost link
    // there) while the connection's page limit is set.
    if (isSqlite()) {
        exec("CREATE TABLE RELLENO (B VARBINARY(MAX))");
        exec("CREATE TRIGGER CORTE AFTER INSERT ON V_TA_UNIDAD FOR EACH ROW WHEN NEW.Descripcion = 'Corte' "
             "BEGIN INSERT INTO RELLENO VALUES (zeroblob(4000000)); END");
    } else {
        try {
            exec("CREATE SEQUENCE corte_unico"); // the server's database outlives the test
        } catch (const platform::RuntimeError &) {
        }
        exec("SELECT setval('corte_unico', 1, false)");
        exec("CREATE OR REPLACE FUNCTION corte_conexion() RETURNS trigger LANGUAGE plpgsql AS $$\n"
             "BEGIN\n"
             "    PERFORM CASE WHEN NEW.descripcion = 'Corte' THEN\n"
             "        CASE WHEN nextval('corte_unico') = 1 THEN pg_terminate_backend(pg_backend_pid()) END END;\n"
             "    RETURN NEW;\n"
             "END\n"
             "$$");
        exec("CREATE TRIGGER corte BEFORE INSERT ON v_ta_unidad FOR EACH ROW EXECUTE FUNCTION corte_conexion()");
    }
    PaqueteDePrueba p;
    p.tabla(
        "V_TA_UNIDAD", kUnidad,
        {fila({"   1", "Unidad", "UN", "0"}), fila({"   2", "Corte", "CO", "0"}), fila({"   3", "Caja", "CJ", "0"})});
    ASSERT_TRUE(p.escribir(zip()).ok());

    // The connection is lost under the group after its first row. The operator brings it
    // back himself and goes on (Ignore): the replay writes the first row and loses the
    // connection at "Corte". Retry then reconnects and replays the rest of the group.
    auto operador = std::make_shared<OperadorQueActua>();
    operador->responder = [&]() {
        if (operador->preguntas > 1)
            return operador->preguntas == 2 ? platform::vbRetry : platform::vbAbort;
        gDB().OpenServerADODB(false, 3, connectionString(), false, false);
        if (isSqlite()) {
            const auto paginas = gDB().gCnn.Execute(QStringLiteral("PRAGMA page_count"))->field(0).Value().toInt64();
            gDB().gCnn.Execute(QStringLiteral("PRAGMA max_page_count = %1").arg(paginas + 64));
        }
        return platform::vbIgnore;
    };
    platform::ScopedOperator actua(operador);
    gDB().gUsuario.clear(); // Retry reopens the connection with the connection string's user
    CorteEnElGrupo corte;
    ado::Recordset rsTabla;
    gDB().AbrirRecordset(QStringLiteral("SELECT * FROM MV_TRANSMISIONES"), rsTabla, &gDB().gCnn, ado::adOpenDynamic,
                         ado::adLockOptimistic, -1, true);
    RecepcionMaestros recepcion(gDB());
    recepcion.setVista(&corte);
    const ResumenRecepcion r = recepcion.RecibirMaestros({"1", "Ana", zip(), false}, rsTabla);
    gDB().CierraRecordset(rsTabla);
    ASSERT_EQ(r.fin, FinRecepcion::Completa) << r.motivo.toStdString();
    EXPECT_EQ(operador->preguntas, 2);
    EXPECT_EQ(r.inserciones, 3);
    EXPECT_EQ(r.modificaciones, 0); // the row written before the loss is not written again
    EXPECT_EQ(r.rechazados, 0) << errores(r).toStdString();
    EXPECT_EQ(count("V_TA_UNIDAD"), 3);
}

// Amounts reach money columns digit for digit: what a double cannot hold travels as text, is
// stored exactly where the engine can hold it, and is refused (8115) beyond money's range or
// where the embedded engine would have to round it; never stored rounded.
TEST_P(ReceptionImport, AmountsAreStoredExactlyOrRefusedNeverRounded)
{
    struct Caso {
        const char *enviado;
        const char *guardado;      // digits as stored; nullptr: refused on every engine
        bool soloServidor = false; // more digits than a double: refused on the embedded engine
    };
    const Caso casos[] = {
        {"123456789012345,6789", "123456789012345.6789", true},
        {"-123456789012345,6789", "-123456789012345.6789", true},
        {"922337203685477,5807", "922337203685477.5807", true},
        {"922337203685477,5808", nullptr},
        {"-922337203685477,5809", nullptr},
        {"9223372036854775808", nullptr},
        {"922337203685477", "922337203685477"},
        {"12345678901,2345", "12345678901.2345"},
        {"1.234.567.890,1234", "1234567890.1234"},
        {"0,0001", "0.0001"},
    };
    QStringList lineas;
    for (size_t i = 0; i < std::size(casos); ++i)
        lineas << fila({art(QByteArray::number(qulonglong(i)).prepend("M").constData()), "Importe", "   1",
                        QString::fromLatin1(casos[i].enviado), "0", "NULL", "NULL"});
    PaqueteDePrueba p;
    p.tabla("V_MA_ARTICULOS", kArticulo, lineas);
    operatorScript().expect("Se han producido errores de actualización", platform::vbOK);
    const ResumenRecepcion r = recibir(p);
    ASSERT_EQ(r.fin, FinRecepcion::Completa) << r.motivo.toStdString();
    const QString rechazos = errores(r);
    long esperados = 0;
    for (size_t i = 0; i < std::size(casos); ++i) {
        const Caso &c = casos[i];
        const QString codigo = art(QByteArray::number(qulonglong(i)).prepend("M").constData());
        const bool guardado = c.guardado && !(c.soloServidor && isSqlite());
        SCOPED_TRACE(c.enviado);
        if (!guardado) {
            ++esperados;
            EXPECT_EQ(count("MA_ARTICULOS WHERE IdArticulo = '" + codigo + "'"), 0);
            EXPECT_TRUE(rechazos.contains(QStringLiteral("8115"))) << rechazos.toStdString();
            continue;
        }
        auto rs = cnn().Execute(QStringLiteral("SELECT CAST(Precio1 AS %1) FROM MA_ARTICULOS WHERE IdArticulo = '%2'")
                                    .arg(isSqlite() ? QStringLiteral("TEXT") : QStringLiteral("VARCHAR(40)"))
                                    .arg(codigo));
        ASSERT_FALSE(rs->EOF());
        QString digitos = rs->field(0).Value().toString();
        if (digitos.contains(u'.')) {
            while (digitos.endsWith(u'0'))
                digitos.chop(1);
            if (digitos.endsWith(u'.'))
                digitos.chop(1);
        }
        EXPECT_EQ(digitos.toStdString(), c.guardado);
    }
    EXPECT_EQ(r.rechazados, esperados) << rechazos.toStdString();
    EXPECT_EQ(r.inserciones, long(std::size(casos)) - esperados);
}

IMAESTROS_DATABASE_TESTS(ReceptionImport);

} // namespace
