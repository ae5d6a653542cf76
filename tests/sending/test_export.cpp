// The sending run on one database: the package it builds, the rows it stamps and when.

#include "SendingDatabase.h"

#include "tests/core/QtPrint.h"

#include "package/ControlFile.h"
#include "package/Format.h"
#include "sending/EnvioMaestros.h"

#include "core/Globals.h"
#include "db/BloqueoCorrida.h"
#include "db/DB_Dll.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "zip/ModZIP.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

using envio::EnvioMaestros;
using envio::ResumenEnvio;

class EnvioTest : public SendingDatabaseTest {
protected:
    ResumenEnvio enviar(const QString &carpeta, const QString &numero, bool retransmitir = false,
                        const QString &lista = QString())
    {
        EnvioMaestros envio(gDB());
        envio.setTamanoPagina(m_pagina);
        EnvioMaestros::Datos d;
        d.numero = numero;
        d.responsable = QStringLiteral("Ana Núñez");
        d.carpeta = carpeta;
        d.idLista = lista;
        d.precios = true;
        d.retransmitir = retransmitir;
        return envio.EnviarMaestros(d);
    }

    // The files of an archive (names in upper case) and their bytes.
    QMap<QString, QByteArray> paquete(const QString &zip)
    {
        QTemporaryDir destino;
        EXPECT_TRUE(ModZIP::Descomprimir(zip, destino.path()).ok()) << zip.toStdString();
        QMap<QString, QByteArray> archivos;
        for (const QFileInfo &f : QDir(destino.path()).entryInfoList(QDir::Files)) {
            QFile file(f.filePath());
            EXPECT_TRUE(file.open(QIODevice::ReadOnly));
            archivos.insert(f.fileName().toUpper(), file.readAll());
        }
        return archivos;
    }

    // The lines of a package file: every line ends in CR LF, and no LF stands alone.
    static QStringList lineas(const QByteArray &bytes)
    {
        if (bytes.isEmpty())
            return {};
        EXPECT_TRUE(bytes.endsWith("\r\n"));
        EXPECT_EQ(bytes.count("\n"), bytes.count("\r\n"));
        QStringList l = platform::textfile::decode1252(bytes).split(QStringLiteral("\r\n"));
        l.removeLast();
        return l;
    }

    long sinMarcar(const QString &tabla)
    {
        return count(tabla, QStringLiteral("TRANSMISION = 0 OR TRANSMISION IS NULL"));
    }

    int m_pagina = 2000;
};

TEST_P(EnvioTest, BuildsAPackageOfEveryTableAndStampsItsRows)
{
    pruebas::llenarMaestros(cnn());
    const QString carpeta = this->carpeta(QStringLiteral("salida"));
    const ResumenEnvio r = enviar(carpeta, QStringLiteral("5"));
    ASSERT_TRUE(r.ok) << r.motivo.toStdString();
    EXPECT_EQ(r.tablas, 27);
    EXPECT_EQ(r.filas, 81);

    // Only the archive is left in the folder.
    EXPECT_EQ(QDir(carpeta).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("Archivos.zip")});
    const QMap<QString, QByteArray> archivos = paquete(r.archivo);
    EXPECT_EQ(archivos.size(), 28);

    const package::ControlFile control = package::ControlFile::fromLines(lineas(archivos.value("CONTROLMA.DAT")));
    EXPECT_EQ(control.lines().mid(0, 6),
              (QStringList{"Trasmision", "5", "Ana Núñez", QDir(carpeta).filePath("ControlMA.dat"),
                           gDB().gDBName.trimmed(), "PRECIOS_SI"}));
    EXPECT_EQ(control.fieldNames(QStringLiteral("V_MA_INSUMOSTAREAS")).join(QLatin1Char(',')).toUpper(),
              QStringLiteral("IDARTICULO,IDTAREA,CANTIDAD,RECEPCION,TRANSMISION"));
    const QStringList unidades = lineas(archivos.value("V_TA_UNIDAD.DAT"));
    ASSERT_EQ(unidades.size(), 3);
    // Windows-1252 on disk; decimal comma, the key right-aligned; a TAB after every value.
    EXPECT_TRUE(archivos.value("V_TA_UNIDAD.DAT")
                    .contains("\xD1"
                              "and\xFA O'Brien"));
    EXPECT_TRUE(unidades.contains(QStringLiteral("  K3\tDescripción 3\tNULL\tNULL\t")))
        << unidades.join('|').toStdString();

    for (const QString &tabla : package::tableOrder())
        EXPECT_EQ(sinMarcar(tabla), 0) << tabla.toStdString();
    EXPECT_EQ(count(QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("DESDETRIGGER = 1")), 3);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM MV_TRANSMISIONES WHERE TIPO = 'M' AND TRANSMISION = 5 "
                                    "AND FECHAFIN IS NOT NULL AND registros_enviados = 81")),
              QStringLiteral("1"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT LOG FROM MV_TRANSMISIONES WHERE TIPO = 'M'")),
              package::tableOrder().join(QLatin1Char(',')));
}

// The export rolls back whole on a failure, so it runs without a savepoint per statement
// (on PostgreSQL: prepared on the server); the connection gets its rollback back after.
TEST_P(EnvioTest, TheExportLeavesStatementRollbackToItselfAndGivesItBack)
{
    struct Vista : envio::VistaEnvio {
        std::vector<bool> vistos;
        void atender() override { vistos.push_back(gDB().gCnn.StatementRollback()); }
    } vista;
    pruebas::llenarMaestros(cnn());
    EnvioMaestros envio(gDB());
    envio.setVista(&vista);
    EnvioMaestros::Datos d;
    d.numero = QStringLiteral("5");
    d.carpeta = carpeta(QStringLiteral("salida"));
    d.precios = true;
    const ResumenEnvio r = envio.EnviarMaestros(d);
    ASSERT_TRUE(r.ok) << r.motivo.toStdString();
    ASSERT_FALSE(vista.vistos.empty());
    EXPECT_GT(std::count(vista.vistos.begin(), vista.vistos.end(), false), 0) << "the rows are read without it";
    EXPECT_TRUE(gDB().gCnn.StatementRollback());
    EXPECT_EQ(sinMarcar(QStringLiteral("V_MA_ARTICULOS")), 0);
}

TEST_P(EnvioTest, TheArchivePassesUnzipTest)
{
    const QString unzip = QStandardPaths::findExecutable(QStringLiteral("unzip"));
    if (unzip.isEmpty())
        GTEST_SKIP() << "unzip is not installed";
    pruebas::llenarMaestros(cnn(), 2);
    const ResumenEnvio r = enviar(carpeta(QStringLiteral("salida")), QStringLiteral("1"));
    ASSERT_TRUE(r.ok) << r.motivo.toStdString();
    QProcess p;
    p.start(unzip, {QStringLiteral("-t"), r.archivo});
    ASSERT_TRUE(p.waitForFinished());
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardOutput().toStdString();
}

TEST_P(EnvioTest, AnIncrementalSendingSendsOnlyUnstampedRowsAndRetransmitSendsAll)
{
    pruebas::llenarMaestros(cnn());
    const QString carpeta = this->carpeta(QStringLiteral("salida"));
    ASSERT_TRUE(enviar(carpeta, QStringLiteral("1")).ok);
    exec(QStringLiteral("INSERT INTO MA_ARTICULOS (IdArticulo, Descripcion, TRANSMISION) VALUES ('%1', 'Nuevo', 0)")
             .arg(QStringLiteral("NUEVO").rightJustified(25)));

    const ResumenEnvio segundo = enviar(carpeta, QStringLiteral("2"));
    ASSERT_TRUE(segundo.ok) << segundo.motivo.toStdString();
    EXPECT_EQ(segundo.filas, 1);
    const QStringList articulos = lineas(paquete(segundo.archivo).value("V_MA_ARTICULOS.DAT"));
    ASSERT_EQ(articulos.size(), 1);
    EXPECT_TRUE(articulos[0].startsWith(QStringLiteral("NUEVO").rightJustified(25) + QStringLiteral("\tNuevo\t")));
    EXPECT_EQ(count(QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("TRANSMISION = 2")), 1);
    EXPECT_EQ(count(QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("TRANSMISION = 1")), 3);

    const ResumenEnvio todo = enviar(carpeta, QStringLiteral("3"), true);
    ASSERT_TRUE(todo.ok) << todo.motivo.toStdString();
    EXPECT_EQ(todo.filas, 82);
    EXPECT_EQ(lineas(paquete(todo.archivo).value("V_MA_ARTICULOS.DAT")).size(), 4);
    EXPECT_EQ(count(QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("TRANSMISION = 3")), 0);
    EXPECT_EQ(count(QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("TRANSMISION = 1")), 3);
}

// A packing that fails leaves every row unsent, the withdrawn price unmarked, the
// transmission incomplete, and no package of its own.
TEST_P(EnvioTest, AFailedPackingStampsNothing)
{
    pruebas::llenarMaestros(cnn());
    exec(QStringLiteral(
        "INSERT INTO V_MV_PRECIOSHIS (IDLISTA, IDARTICULO, OBSERVACIONES) VALUES ('  K1', 'A1', 'BAJA')"));
    const QString carpeta = this->carpeta(QStringLiteral("salida"));
    QDir(carpeta).mkpath(QStringLiteral("Archivos.zip/ocupado")); // the archive's place is taken
    operatorScript().expect(QStringLiteral("No se pudo dejar el paquete"), platform::vbAbort);

    const ResumenEnvio r = enviar(carpeta, QStringLiteral("9"));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.archivo.isEmpty());
    for (const QString &tabla : package::tableOrder())
        EXPECT_EQ(count(tabla, QStringLiteral("TRANSMISION <> 0")), 0) << tabla.toStdString();
    EXPECT_EQ(scalar(QStringLiteral("SELECT OBSERVACIONES FROM V_MV_PRECIOSHIS")), QStringLiteral("BAJA"));
    EXPECT_EQ(count(QStringLiteral("MV_TRANSMISIONES"),
                    QStringLiteral("TRANSMISION = 9 AND FECHAFIN IS NULL "
                                   "AND LOG IS NOT NULL")),
              1);
    EXPECT_EQ(QDir(carpeta).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("Archivos.zip")});
}

// A sending never reads a database that a reception (or another sending) is writing: past its
// wait it fails saying so, with no package and nothing stamped.
TEST_P(EnvioTest, ASendingDuringAReceptionWaitsThenGivesUp)
{
    pruebas::llenarMaestros(cnn(), 1);
    ado::Connection otra;
    otra.Open(connectionString());
    db::BloqueoCorrida recepcion;
    ASSERT_TRUE(recepcion.tomar(otra, std::chrono::milliseconds(0)).ok());
    const QString carpeta = this->carpeta(QStringLiteral("salida"));
    operatorScript().expect(QStringLiteral("sigue usando la base de datos"), platform::vbOK);
    EnvioMaestros envio(gDB());
    envio.esperaCorrida = std::chrono::milliseconds(300);
    EnvioMaestros::Datos d;
    d.numero = QStringLiteral("3");
    d.responsable = QStringLiteral("Ana");
    d.carpeta = carpeta;
    const ResumenEnvio r = envio.EnviarMaestros(d);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.motivo.contains(QStringLiteral("sigue usando la base de datos"))) << r.motivo.toStdString();
    EXPECT_TRUE(r.archivo.isEmpty());
    EXPECT_FALSE(QFile::exists(QDir(carpeta).filePath(QStringLiteral("Archivos.zip"))));
    for (const QString &tabla : package::tableOrder())
        EXPECT_EQ(count(tabla, QStringLiteral("TRANSMISION <> 0")), 0) << tabla.toStdString();
}

TEST_P(EnvioTest, AnOldArchiveOrTableFileIsNeverSentAgain)
{
    pruebas::llenarMaestros(cnn(), 1);
    const QString carpeta = this->carpeta(QStringLiteral("salida"));
    QFile viejo(QDir(carpeta).filePath(QStringLiteral("B_CODIGOS.DAT")));
    ASSERT_TRUE(viejo.open(QIODevice::WriteOnly));
    viejo.write("VIEJO\t\r\n");
    viejo.close();
    ASSERT_TRUE(
        ModZIP::ComprimirMaestros(carpeta, QStringLiteral("*.DAT"), QDir(carpeta).filePath("Archivos.zip")).ok());
    ASSERT_TRUE(viejo.open(QIODevice::WriteOnly));
    viejo.write("VIEJO\t\r\n");
    viejo.close();

    const ResumenEnvio r = enviar(carpeta, QStringLiteral("1"));
    ASSERT_TRUE(r.ok) << r.motivo.toStdString();
    const QMap<QString, QByteArray> archivos = paquete(r.archivo);
    EXPECT_EQ(archivos.size(), 28);
    EXPECT_FALSE(archivos.contains(QStringLiteral("B_CODIGOS.DAT")));
    EXPECT_TRUE(viejo.exists()); // not the sending's file: left alone
}

TEST_P(EnvioTest, AValueThatCannotTravelUnchangedLeavesItsRowOutAndUnstamped)
{
    pruebas::llenarMaestros(cnn(), 1);
    exec(QStringLiteral("INSERT INTO V_TA_RUBROS (IdRubro, Descripcion, TRANSMISION) VALUES ('  T1', 'con' || "
                        "CHAR(9) || 'tab', 0)")
             .replace(QStringLiteral(" || CHAR(9) || "),
                      isSqlite() ? QStringLiteral(" || char(9) || ") : QStringLiteral(" || chr(9) || ")));
    exec(QStringLiteral("INSERT INTO V_TA_RUBROS (IdRubro, Descripcion, TRANSMISION) VALUES ('  T2', 'null', 0)"));
    operatorScript().expect(QStringLiteral("No se enviaron 2 filas"), platform::vbOK);

    const ResumenEnvio r = enviar(carpeta(QStringLiteral("salida")), QStringLiteral("4"));
    ASSERT_TRUE(r.ok) << r.motivo.toStdString();
    ASSERT_EQ(r.omitidas.size(), 2);
    EXPECT_EQ(r.omitidas[0].columna.toUpper(), QStringLiteral("DESCRIPCION"));
    EXPECT_TRUE(r.omitidas[0].motivo.contains(QStringLiteral("tabulador")));
    EXPECT_EQ(lineas(paquete(r.archivo).value("V_TA_RUBROS.DAT")).size(), 1);
    EXPECT_EQ(count(QStringLiteral("V_TA_RUBROS"), QStringLiteral("TRANSMISION = 4")), 1);
    EXPECT_EQ(count(QStringLiteral("V_TA_RUBROS"), QStringLiteral("TRANSMISION = 0")), 2);
}

TEST_P(EnvioTest, ATableWithoutItsTransmisionColumnGetsItBeforeItsBlock)
{
    exec(QStringLiteral("DROP TABLE TA_ESTADOS"));
    exec(QStringLiteral("CREATE TABLE TA_ESTADOS (Codigo varchar(4) NOT NULL PRIMARY KEY, Descripcion varchar(50))"));
    exec(QStringLiteral("INSERT INTO TA_ESTADOS (Codigo, Descripcion) VALUES ('  E1', 'Uno')"));
    const ResumenEnvio r = enviar(carpeta(QStringLiteral("salida")), QStringLiteral("3"));
    ASSERT_TRUE(r.ok) << r.motivo.toStdString();
    const QMap<QString, QByteArray> archivos = paquete(r.archivo);
    const package::ControlFile control = package::ControlFile::fromLines(lineas(archivos.value("CONTROLMA.DAT")));
    EXPECT_EQ(control.fieldNames(QStringLiteral("TA_ESTADOS")).last().toUpper(), QStringLiteral("TRANSMISION"));
    EXPECT_EQ(lineas(archivos.value("TA_ESTADOS.DAT")), QStringList{QStringLiteral("  E1\tUno\t")});
    EXPECT_EQ(count(QStringLiteral("TA_ESTADOS"), QStringLiteral("TRANSMISION = 3")), 1);
}

// A restricted user reads the accounts through a view of fewer columns; the package takes
// the table itself, its block and its lines alike.
TEST_P(EnvioTest, TheBlockComesFromTheSameSourceAsTheRows)
{
    pruebas::llenarMaestros(cnn(), 1);
    exec(QStringLiteral("DROP VIEW SS_MA_CUENTAS")); // the schema's own shows every column
    exec(QStringLiteral("CREATE VIEW SS_MA_CUENTAS AS SELECT Codigo, Descripcion, TRANSMISION FROM MA_CUENTAS"));
    gDB().gEsAdmin = false;
    const ResumenEnvio r = enviar(carpeta(QStringLiteral("salida")), QStringLiteral("2"));
    exec(QStringLiteral("DROP VIEW SS_MA_CUENTAS"));
    ASSERT_TRUE(r.ok) << r.motivo.toStdString();
    const QMap<QString, QByteArray> archivos = paquete(r.archivo);
    const package::ControlFile control = package::ControlFile::fromLines(lineas(archivos.value("CONTROLMA.DAT")));
    const QStringList campos = control.fieldNames(QStringLiteral("MA_CUENTAS"));
    EXPECT_EQ(campos.size(), qsizetype(cnn().Columns(QStringLiteral("MA_CUENTAS")).size()));
    EXPECT_TRUE(campos.contains(QStringLiteral("Razon_Social"), Qt::CaseInsensitive));
    const QStringList cuentas = lineas(archivos.value("MA_CUENTAS.DAT"));
    ASSERT_EQ(cuentas.size(), 1);
    EXPECT_EQ(package::readLine(cuentas[0]).size(), campos.size() - 2); // all but RECEPCION and TRANSMISION
}

// The withdrawn price opens the prices' file; one per sending, marked once it is sent.
TEST_P(EnvioTest, AWithdrawnPriceTravelsFirstAndIsMarkedAfterTheSending)
{
    pruebas::llenarMaestros(cnn(), 1);
    exec(QStringLiteral(
        "INSERT INTO V_MV_PRECIOSHIS (IDLISTA, IDARTICULO, OBSERVACIONES) VALUES ('1', 'A''1', 'BAJA')"));
    exec(QStringLiteral("INSERT INTO V_MV_PRECIOSHIS (IDLISTA, IDARTICULO, OBSERVACIONES) VALUES ('1', 'B2', 'BAJA')"));
    const ResumenEnvio r = enviar(carpeta(QStringLiteral("salida")), QStringLiteral("1"));
    ASSERT_TRUE(r.ok) << r.motivo.toStdString();
    const QStringList precios = lineas(paquete(r.archivo).value("V_MA_PRECIOS.DAT"));
    ASSERT_EQ(precios.size(), 2);
    EXPECT_EQ(precios[0], package::writePriceDeletion(QStringLiteral("1"), QStringLiteral("A'1")));
    EXPECT_EQ(count(QStringLiteral("V_MV_PRECIOSHIS"), QStringLiteral("OBSERVACIONES = 'BAJA/TRANSMITIDO'")), 1);
    EXPECT_EQ(count(QStringLiteral("V_MV_PRECIOSHIS"), QStringLiteral("OBSERVACIONES = 'BAJA'")), 1);
}

TEST_P(EnvioTest, APriceListLimitsThePricesAndJoinsTheArticles)
{
    pruebas::llenarMaestros(cnn());
    const ResumenEnvio r = enviar(carpeta(QStringLiteral("salida")), QStringLiteral("1"), false, QStringLiteral("K2"));
    ASSERT_TRUE(r.ok) << r.motivo.toStdString();
    const QMap<QString, QByteArray> archivos = paquete(r.archivo);
    const QStringList precios = lineas(archivos.value("V_MA_PRECIOS.DAT"));
    ASSERT_EQ(precios.size(), 1);
    EXPECT_TRUE(precios[0].startsWith(QStringLiteral("  K2\t")));
    EXPECT_EQ(lineas(archivos.value("V_MA_PRECIOSCAB.DAT")).size(), 1);
    // The article of that price, its line followed by the price row's values.
    const QStringList articulos = lineas(archivos.value("V_MA_ARTICULOS.DAT"));
    ASSERT_EQ(articulos.size(), 1);
    EXPECT_TRUE(articulos[0].contains(QStringLiteral("\t  K2\t")));
    EXPECT_EQ(count(QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("TRANSMISION = 1")), 1);
    EXPECT_EQ(count(QStringLiteral("V_MA_PRECIOS"), QStringLiteral("TRANSMISION = 1")), 1);
}

// Small pages, a composite key and a key column holding NULL (a price whose list has no
// header): every row is read once and stamped.
TEST_P(EnvioTest, PagesReadEveryRowOnce)
{
    pruebas::llenarMaestros(cnn());
    for (int lista = 1; lista <= 3; ++lista) {
        for (int articulo = 1; articulo <= 4; ++articulo)
            exec(QStringLiteral("INSERT INTO MA_PRECIOS (IdLista, IdArticulo, Precio, TRANSMISION) "
                                "VALUES ('  K%1', '%2', 1, 0)")
                     .arg(lista)
                     .arg(QStringLiteral("P%1").arg(articulo).rightJustified(25)));
    }
    exec(
        QStringLiteral("INSERT INTO MA_PRECIOS (IdLista, IdArticulo, Precio, TRANSMISION) VALUES ('  K9', 'Z', 1, 0)"));
    m_pagina = 2;
    const ResumenEnvio r = enviar(carpeta(QStringLiteral("salida")), QStringLiteral("6"));
    ASSERT_TRUE(r.ok) << r.motivo.toStdString();
    QStringList precios = lineas(paquete(r.archivo).value("V_MA_PRECIOS.DAT"));
    EXPECT_EQ(precios.size(), 16);
    precios.removeDuplicates();
    EXPECT_EQ(precios.size(), 16);
    EXPECT_EQ(count(QStringLiteral("MA_PRECIOS"), QStringLiteral("TRANSMISION = 6")), 16);
}

TEST_P(EnvioTest, TheUnattendedSendingSendsEveryRowIntoEnviarAndStampsNone)
{
    pruebas::llenarMaestros(cnn(), 2);
    exec(QStringLiteral("INSERT INTO MV_TRANSMISIONES (TIPO, TRANSMISION) VALUES ('N', 7)"));
    exec(QStringLiteral("UPDATE MA_ARTICULOS SET TRANSMISION = 3"));
    ModGlobal::gUsuarioLogeado = QStringLiteral("operador");
    const QString enviar = carpeta(QStringLiteral("ENVIAR"));
    EnvioMaestros envio(gDB());
    const ResumenEnvio r = envio.GeneraAutomatica();
    ASSERT_TRUE(r.ok) << r.motivo.toStdString();
    EXPECT_EQ(r.numero, QStringLiteral("8"));
    EXPECT_EQ(r.archivo, QDir(enviar).filePath(QStringLiteral("Archivos.zip")));
    const QMap<QString, QByteArray> archivos = paquete(r.archivo);
    EXPECT_EQ(archivos.size(), 30); // B_CODIGOS and B_ALIAS too
    const QStringList control = lineas(archivos.value("CONTROLMA.DAT"));
    EXPECT_EQ(control.mid(0, 6),
              (QStringList{"Trasmision", "8", "operador", QDir(enviar).filePath("ControlMA.dat"),
                           gDB().gDBName.trimmed(), "PRECIOS_SI"}));
    EXPECT_EQ(control.size(), 6 + 29 * 3);
    EXPECT_EQ(lineas(archivos.value("V_MA_ARTICULOS.DAT")).size(), 2);
    EXPECT_EQ(count(QStringLiteral("MA_ARTICULOS"), QStringLiteral("TRANSMISION = 3")), 2);
    EXPECT_EQ(count(QStringLiteral("V_TA_UNIDAD"), QStringLiteral("TRANSMISION = 0")), 2);
    EXPECT_EQ(scalar(QStringLiteral("SELECT ubicacion_archivo FROM MV_TRANSMISIONES WHERE TIPO = 'M' AND "
                                    "TRANSMISION = 8 AND FECHAFIN IS NOT NULL")),
              QStringLiteral("C:\\ENVIAR"));
}

// Links planted in ENVIAR are never followed: the archive takes the place of a link of its
// name (in any case), and files outside keep their bytes.
TEST_P(EnvioTest, LinksPlantedInEnviarAreNeverFollowed)
{
    struct Caso {
        const char *enlace;
        bool destinoExiste;
    };
    const Caso casos[] = {{"Archivos.zip", true}, {"ARCHIVOS.ZIP", true}, {"archivos.zip", false}};
    pruebas::llenarMaestros(cnn(), 1);
    int vuelta = 0;
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.enlace);
        const QString enviar = carpeta(QStringLiteral("ENVIAR"));
        const QString fuera = carpeta(QStringLiteral("fuera%1").arg(++vuelta));
        const QString objetivo = QDir(fuera).filePath(QStringLiteral("objetivo"));
        if (caso.destinoExiste) {
            QFile f(objetivo);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("intacto");
        }
        for (const QString &nombre :
             {QString::fromLatin1(caso.enlace), QStringLiteral("ControlMA.dat"), QStringLiteral("V_TA_UNIDAD.dat")})
            ASSERT_TRUE(QFile::link(nombre == QLatin1String(caso.enlace) ? objetivo : QDir(fuera).filePath(nombre),
                                    QDir(enviar).filePath(nombre)));

        EnvioMaestros envio(gDB());
        const ResumenEnvio r = envio.GeneraAutomatica();
        ASSERT_TRUE(r.ok) << r.motivo.toStdString();
        EXPECT_EQ(paquete(r.archivo).size(), 30);
        EXPECT_FALSE(QFileInfo(r.archivo).isSymLink());
        EXPECT_EQ(QDir(enviar).entryList({QStringLiteral("*.zip")}, QDir::AllEntries | QDir::System | QDir::Hidden,
                                         QDir::Name),
                  QStringList{QStringLiteral("Archivos.zip")});
        if (caso.destinoExiste) {
            QFile f(objetivo);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            EXPECT_EQ(f.readAll(), QByteArray("intacto"));
        } else {
            EXPECT_FALSE(QFileInfo::exists(objetivo));
        }
        EXPECT_EQ(QDir(fuera).entryList(QDir::Files), caso.destinoExiste ? QStringList{"objetivo"} : QStringList{});
        QDir(enviar).removeRecursively();
    }
}

TEST_P(EnvioTest, WithoutItsFolderTheUnattendedSendingStopsBeforeAnyRow)
{
    operatorScript().expect(QStringLiteral("No se puede escribir el paquete"), platform::vbAbort);
    EnvioMaestros envio(gDB());
    const ResumenEnvio r = envio.GeneraAutomatica();
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(envio.HuboError);
    EXPECT_EQ(count(QStringLiteral("MV_TRANSMISIONES")), 0);
}

IMAESTROS_DATABASE_TESTS(EnvioTest);

} // namespace
