// Lines a reception cannot load: each one goes to Errores.TXT with its table, line number,
// reason and text, the counters match the file, and the other lines are loaded.

#include "PaqueteDePrueba.h"
#include "ReceptionDatabase.h"
#include "tests/core/QtPrint.h"

#include "reception/ErroresRecepcion.h"
#include "reception/RecepcionMaestros.h"

#include "db/DB_Dll.h"
#include "platform/TextFile.h"
#include "platform/ado/Recordset.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

namespace {

using recepcion::FinRecepcion;
using recepcion::ResumenRecepcion;

class ReceptionRejects : public ReceptionDatabaseTest {
protected:
    ResumenRecepcion recibir(const PaqueteDePrueba &paquete)
    {
        const QString zip = QDir(home()).filePath(QStringLiteral("paquete.zip"));
        EXPECT_TRUE(paquete.escribir(zip).ok());
        ado::Recordset rsTabla;
        gDB().AbrirRecordset(QStringLiteral("SELECT * FROM MV_TRANSMISIONES"), rsTabla, &gDB().gCnn, ado::adOpenDynamic,
                             ado::adLockOptimistic, -1, true);
        recepcion::RecepcionMaestros recepcion(gDB());
        return recepcion.RecibirMaestros({QStringLiteral("1"), QStringLiteral("Ana"), zip, false}, rsTabla);
    }
};

TEST_P(ReceptionRejects, EveryRejectedLineIsReportedWithItsReasonAndTheRestIsLoaded)
{
    // A constraint of the local database the package knows nothing of.
    exec("CREATE UNIQUE INDEX UX_VENDEDOR_NOMBRE ON V_TA_VENDEDORES (Nombre)");
    const QString borrado =
        QStringLiteral("DELETE FROM V_MA_PRECIOS WHERE TIPOLISTA='V' AND IDLISTA='   1' AND IDARTICULO='%1'")
            .arg(QStringLiteral("A1").rightJustified(25));
    struct Caso {
        QString linea;
        const char *motivo; // "" for a line that loads
    };
    const QList<Caso> casos = {
        {fila({"   1", "Ana", "1", "01/01/2020", "1"}), ""},
        {fila({"   2", "Bea", "1"}), "la línea tiene 3 campos y la lista de campos de la tabla nombra 5"},
        {fila({"   3", QString(60, QLatin1Char('x')), "1", "01/01/2020", "1"}),
         "valor demasiado largo para la columna Nombre (60 caracteres, admite 50)"},
        {fila({"   4", "Carla", "1", "31/02/2020", "1"}), "espera una fecha (dd/mm/aaaa) y el valor es \"31/02/2020\""},
        // Read and counted, written nowhere and listed nowhere.
        {QString(), ""},
        {fila({"NULL", "null", "NULL", "NULL", "NULL"}), ""},
        {borrado, "la línea tiene 1 campos"},
        {fila({"   8", "Ana", "1", "01/01/2020", "1"}), "error 2627 de la base de datos"},
        {fila({"   9", "Dora", "mucho", "01/01/2020", "1"}), "espera un número y el valor es \"mucho\""},
        {fila({"  10", "Eva", "0,5", "NULL", "0"}), ""},
    };
    QStringList lineas;
    for (const Caso &c : casos)
        lineas << c.linea;
    PaqueteDePrueba p;
    p.tabla("V_TA_VENDEDORES", {"IdVendedor", "Nombre", "Comision", "FechaAlta", "Activo", "RECEPCION", "TRANSMISION"},
            lineas);
    // A column the local table lacks is reported once and its values skipped.
    p.tabla("V_TA_UNIDAD", {"IdUnidad", "Color", "Descripcion", "RECEPCION", "TRANSMISION"},
            {fila({"   1", "rojo", "Unidad"}), fila({"   2", "azul", "Caja"})});
    // A field list without the key column: no line can be placed.
    p.tabla("V_TA_CATEGORIA", {"Descripcion", "RECEPCION", "TRANSMISION"}, {fila({"Mayorista"})});

    operatorScript().expect("Se han producido errores de actualización", platform::vbOK);
    operatorScript().expect("Se han producido errores de actualización", platform::vbOK);
    operatorScript().expect("Se han producido errores de actualización", platform::vbOK);
    const ResumenRecepcion r = recibir(p);
    ASSERT_EQ(r.fin, FinRecepcion::Completa) << r.motivo.toStdString();

    const auto leido = platform::textfile::readAll(r.archivoErrores);
    ASSERT_TRUE(leido.ok()) << r.archivoErrores.toStdString();
    const QString texto = leido.value();
    // The vendors' section of the file: from its heading to the next table's.
    const qsizetype desde = texto.indexOf(QStringLiteral("\r\nV_TA_VENDEDORES\r\n"));
    const QString seccion = texto.mid(desde, texto.indexOf(QStringLiteral("Los siguientes"), desde) - desde);
    long rechazadas = 0;
    for (int i = 0; i < casos.size(); ++i) {
        const Caso &c = casos[i];
        SCOPED_TRACE(i + 1);
        const QString encabezado = QStringLiteral("Línea %1: ").arg(i + 1);
        const qsizetype at = seccion.indexOf(encabezado);
        if (QByteArray(c.motivo).isEmpty()) {
            EXPECT_LT(at, 0);
            continue;
        }
        ++rechazadas;
        ASSERT_GE(at, 0) << seccion.toStdString();
        const QString renglon = seccion.mid(at, seccion.indexOf(QLatin1Char('\n'), at) - at);
        EXPECT_TRUE(renglon.contains(QString::fromUtf8(c.motivo))) << renglon.toStdString();
    }
    EXPECT_TRUE(texto.contains(QStringLiteral("La columna Color no existe en la tabla local")));
    EXPECT_TRUE(texto.contains(QStringLiteral("falta la columna clave IDCATEGORIA")));
    EXPECT_TRUE(texto.contains(QStringLiteral("Los siguientes registros no fueron actualizados en la tabla\r\n"
                                              "V_TA_VENDEDORES\r\nIdVendedor\tNombre")));
    // The counters match the file: every rejected row has its "Línea" entry.
    EXPECT_EQ(r.rechazados, rechazadas + 1);
    EXPECT_EQ(texto.count(QRegularExpression(QStringLiteral("^Línea \\d+: "), QRegularExpression::MultilineOption)),
              r.rechazados);
    EXPECT_EQ(r.inserciones, 4);
    EXPECT_EQ(r.leidos, casos.size() + 3); // the blank lines too
    EXPECT_EQ(scalar("SELECT Nombre FROM V_TA_VENDEDORES WHERE IdVendedor = '  10'"), QStringLiteral("Eva"));
    EXPECT_EQ(count("V_TA_VENDEDORES"), 2);
    EXPECT_EQ(scalar("SELECT Descripcion FROM V_TA_UNIDAD WHERE IdUnidad = '   2'"), QStringLiteral("Caja"));
    // A complete run with rejected rows is still recorded.
    EXPECT_EQ(count("MV_TRANSMISIONES"), 1);
}

TEST_P(ReceptionRejects, OnlyTheExactWithdrawnPriceLineDeletes)
{
    const QString a1 = QStringLiteral("A1").rightJustified(25);
    exec("INSERT INTO V_MA_PRECIOSCAB (IdLista, TipoLista) VALUES ('   1', 'V')");
    exec("INSERT INTO V_MA_PRECIOS (IdLista, IdArticulo, Precio) VALUES ('   1', '" + a1 + "', 5)");
    exec("INSERT INTO V_MA_PRECIOS (IdLista, IdArticulo, Precio) VALUES ('   1', '"
         + QStringLiteral("A2").rightJustified(25) + "', 5)");
    const QString exacta =
        QStringLiteral("DELETE FROM V_MA_PRECIOS WHERE TIPOLISTA='V' AND IDLISTA='   1' AND IDARTICULO='%1'").arg(a1);
    PaqueteDePrueba p;
    p.tabla(
        "V_MA_PRECIOS", {"IdLista", "IdArticulo", "Precio", "RECEPCION", "TRANSMISION"},
        {// Anything else that looks like SQL is data, and is rejected as a row.
         QStringLiteral("DELETE FROM V_MA_PRECIOS WHERE TIPOLISTA='V' AND IDLISTA='   1' AND IDARTICULO='%1' OR 1=1")
             .arg(QStringLiteral("A2").rightJustified(25)),
         QStringLiteral("DELETE FROM V_MA_PRECIOS; DROP TABLE MA_PRECIOS"), exacta});
    operatorScript().expect("Se han producido errores de actualización", platform::vbOK);
    const ResumenRecepcion r = recibir(p);
    EXPECT_EQ(r.fin, FinRecepcion::Completa);
    EXPECT_EQ(r.rechazados, 2);
    EXPECT_EQ(count("MA_PRECIOS"), 1);
    EXPECT_EQ(scalar("SELECT IdArticulo FROM MA_PRECIOS"), QStringLiteral("A2").rightJustified(25));
}

TEST_P(ReceptionRejects, ALineLongerThanAPackageCarriesIsRejectedCutAndTheNextOneLoaded)
{
    const QString larga = fila({"   2", QString(1 << 20, QLatin1Char('x'))});
    PaqueteDePrueba p;
    p.tabla("V_TA_UNIDAD", {"IdUnidad", "Descripcion", "RECEPCION", "TRANSMISION"},
            {fila({"   1", "Unidad"}), larga, fila({"   3", "Caja"})});
    operatorScript().expect("Se han producido errores de actualización", platform::vbOK);
    const ResumenRecepcion r = recibir(p);
    ASSERT_EQ(r.fin, FinRecepcion::Completa) << r.motivo.toStdString();
    EXPECT_EQ(r.leidos, 3);
    EXPECT_EQ(r.inserciones, 2);
    EXPECT_EQ(r.rechazados, 1);
    EXPECT_EQ(count("V_TA_UNIDAD"), 2);
    const auto leido = platform::textfile::readAll(r.archivoErrores);
    ASSERT_TRUE(leido.ok());
    EXPECT_TRUE(leido.value().contains(
        QStringLiteral("Línea 2: la línea mide %1 bytes y un paquete no trae líneas de más de 1048576")
            .arg(larga.size())))
        << leido.value().left(500).toStdString();
    EXPECT_TRUE(leido.value().contains(QStringLiteral("\r\n   2\txxxx")));
    EXPECT_LT(leido.value().size(), 1000);
}

TEST_P(ReceptionRejects, AValueWithAControlCharacterIsRejectedOnEveryEngine)
{
    const auto art = [](const QString &codigo) { return codigo.rightJustified(25); };
    struct Caso {
        QString codigo;
        QString descripcion;
        const char *motivo; // "" for a line that loads
    };
    const QList<Caso> casos = {
        {"A1", "Bien", ""},
        {QStringLiteral("A") + QChar(0) + QStringLiteral("NUL8"), "Clave",
         "la columna IdArticulo (campo 1) contiene el carácter de control NUL"},
        {"A3", QStringLiteral("Mal") + QChar(0) + QStringLiteral("cortado"),
         "la columna Descripcion (campo 2) contiene el carácter de control NUL"},
        {"A4", QStringLiteral("Uno") + QChar(1), "el carácter de control de código 1"},
        {"A5", QStringLiteral("Borrar") + QChar(0x7F), "el carácter de control DEL"},
        {"A6", QStringLiteral("Retorno\rmedio"), "el carácter de control CR"},
        {"A7", "Bien también", ""},
    };
    QStringList lineas;
    for (const Caso &c : casos)
        lineas << fila({art(c.codigo), c.descripcion});
    PaqueteDePrueba p;
    p.tabla("V_MA_ARTICULOS", {"IdArticulo", "Descripcion", "RECEPCION", "TRANSMISION"}, lineas);
    operatorScript().expect("Se han producido errores de actualización", platform::vbOK);
    const ResumenRecepcion r = recibir(p);
    ASSERT_EQ(r.fin, FinRecepcion::Completa) << r.motivo.toStdString();
    const auto leido = platform::textfile::readAll(r.archivoErrores);
    ASSERT_TRUE(leido.ok());
    const QString texto = leido.value();
    for (int i = 0; i < casos.size(); ++i) {
        SCOPED_TRACE(i + 1);
        const qsizetype at = texto.indexOf(QStringLiteral("Línea %1: ").arg(i + 1));
        if (QByteArray(casos[i].motivo).isEmpty()) {
            EXPECT_LT(at, 0);
            continue;
        }
        ASSERT_GE(at, 0) << texto.toStdString();
        EXPECT_TRUE(
            texto.mid(at, texto.indexOf(QLatin1Char('\n'), at) - at).contains(QString::fromUtf8(casos[i].motivo)))
            << texto.mid(at, 200).toStdString();
    }
    // The report stays one line per entry: the characters show as "?".
    EXPECT_TRUE(texto.contains(QStringLiteral("Mal?cortado\t")));
    EXPECT_EQ(texto.indexOf(QChar(0)), -1);
    EXPECT_EQ(r.rechazados, 5);
    EXPECT_EQ(r.inserciones, 2);
    EXPECT_EQ(count("V_MA_ARTICULOS"), 2);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM MA_ARTICULOS WHERE IdArticulo = '" + art("A") + "' OR IdArticulo = ''"),
              QStringLiteral("0"));
}

// A table of many lines is read ahead of its writes: its rejects, the program's and the
// database's, still reach the file in the order of its lines, each under its own number.
TEST_P(ReceptionRejects, ALongTableReportsItsRejectsInTheOrderOfItsLines)
{
    exec("CREATE UNIQUE INDEX UX_VENDEDOR_NOMBRE ON V_TA_VENDEDORES (Nombre)");
    constexpr int kLineas = 5000;
    QStringList lineas;
    QList<int> rechazadas;
    for (int i = 1; i <= kLineas; ++i) {
        const QString id = QString::number(i).rightJustified(4);
        if (i % 701 == 0) { // the name of line 1 again: the database refuses it
            lineas << fila({id, "N1", "1", "01/01/2020", "1"});
            rechazadas << i;
        } else if (i % 499 == 0) { // not a number: the program refuses it
            lineas << fila({id, QStringLiteral("N%1").arg(i), "mucho", "01/01/2020", "1"});
            rechazadas << i;
        } else {
            lineas << fila({id, QStringLiteral("N%1").arg(i), "1", "01/01/2020", "1"});
        }
    }
    PaqueteDePrueba p;
    p.tabla("V_TA_VENDEDORES", {"IdVendedor", "Nombre", "Comision", "FechaAlta", "Activo", "RECEPCION", "TRANSMISION"},
            lineas);
    operatorScript().expect("Se han producido errores de actualización", platform::vbOK);
    const ResumenRecepcion r = recibir(p);
    ASSERT_EQ(r.fin, FinRecepcion::Completa) << r.motivo.toStdString();
    EXPECT_EQ(r.leidos, kLineas);
    EXPECT_EQ(r.rechazados, rechazadas.size());
    EXPECT_EQ(r.inserciones, kLineas - rechazadas.size());
    EXPECT_EQ(count("V_TA_VENDEDORES"), kLineas - rechazadas.size());
    const auto leido = platform::textfile::readAll(r.archivoErrores);
    ASSERT_TRUE(leido.ok());
    QList<int> informadas;
    const QRegularExpression entrada(QStringLiteral("^Línea (\\d+): (.*)$"), QRegularExpression::MultilineOption);
    for (auto it = entrada.globalMatch(leido.value()); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        informadas << m.captured(1).toInt();
        const bool base = m.captured(1).toInt() % 701 == 0;
        EXPECT_TRUE(m.captured(2).contains(base ? QStringLiteral("error 2627") : QStringLiteral("\"mucho\"")))
            << m.captured(0).toStdString();
    }
    EXPECT_EQ(informadas, rechazadas);
}

IMAESTROS_DATABASE_TESTS(ReceptionRejects);

// A disk that fills while the report is written (a file size limit stands for it here): the
// report says it does not hold every entry, naming the file, instead of passing for whole.
TEST(ReceptionReport, AReportThatCannotBeWrittenWholeSaysSo)
{
    QTemporaryDir carpeta;
    const QString ruta = QDir(carpeta.path()).filePath(QStringLiteral("Errores.TXT"));
    recepcion::ErroresRecepcion errores;
    ASSERT_TRUE(errores.abrir(ruta).ok());
    rlimit antes{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &antes), 0);
    const auto senal = std::signal(SIGXFSZ, SIG_IGN); // a write past the limit then fails with EFBIG
    rlimit limite = antes;
    limite.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limite), 0);
    for (long linea = 1; linea <= 2000; ++linea)
        errores.rechazo(QStringLiteral("V_MA_ARTICULOS"), {QStringLiteral("IdArticulo")}, linea,
                        QStringLiteral("un motivo"), QStringLiteral("una línea de datos"));
    const platform::Status cerrado = errores.cerrar();
    ::setrlimit(RLIMIT_FSIZE, &antes);
    std::signal(SIGXFSZ, senal);
    ASSERT_FALSE(cerrado.ok());
    EXPECT_TRUE(cerrado.message().contains(ruta)) << cerrado.message().toStdString();
    EXPECT_EQ(errores.falla(), cerrado.message());

    recepcion::ResumenRecepcion resumen;
    resumen.informeFallido = cerrado.message();
    EXPECT_TRUE(resumen.linea().contains(QStringLiteral("no contiene todos los registros rechazados")));
}

} // namespace
