// The unattended reception in the program's process: only the current Archivos.zip of the
// reception folder, only the articles, equivalences and prices, never a question waited on.

#include "PaqueteDePrueba.h"
#include "ReceptionDatabase.h"
#include "tests/core/QtPrint.h"

#include "reception/RecepcionMaestros.h"

#include "db/BloqueoCorrida.h"
#include "db/DB_Dll.h"
#include "platform/TextFile.h"
#include "platform/ui/Operator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <utility>

namespace {

using recepcion::FinRecepcion;
using recepcion::ResumenRecepcion;

QString art(const char *codigo) { return QString::fromUtf8(codigo).rightJustified(25); }

class UnattendedReception : public ReceptionDatabaseTest {
protected:
    void SetUp() override
    {
        ReceptionDatabaseTest::SetUp();
        if (IsSkipped())
            return;
        m_unattended = std::make_unique<platform::ScopedOperator>(std::make_shared<platform::UnattendedOperator>());
        qputenv("IMAESTROS_ROOT", home().toUtf8());
        QDir().mkpath(bandeja());
    }
    void TearDown() override
    {
        qunsetenv("IMAESTROS_ROOT");
        m_unattended.reset();
        ReceptionDatabaseTest::TearDown();
    }
    QString bandeja() const { return QDir(home()).filePath(QStringLiteral("RECIBIR")); }
    ResumenRecepcion recibir()
    {
        recepcion::RecepcionMaestros recepcion(gDB());
        return recepcion.GeneraAutomatica();
    }
    static PaqueteDePrueba paquete()
    {
        PaqueteDePrueba p;
        p.tabla("V_TA_UNIDAD", {"IdUnidad", "Descripcion", "RECEPCION", "TRANSMISION"}, {fila({"   1", "Unidad"})});
        p.tabla("V_MA_ARTICULOS", {"IdArticulo", "Descripcion", "RECEPCION", "TRANSMISION"},
                {fila({art("A1"), "Té verde"}), fila({art("A2"), "Mate"})});
        p.tabla("V_MA_PRECIOSCAB", {"IdLista", "Descripcion", "RECEPCION", "TRANSMISION"}, {fila({"   1", "Lista"})});
        p.tabla("V_MA_PRECIOS", {"IdLista", "IdArticulo", "Precio", "RECEPCION", "TRANSMISION"},
                {fila({"   1", art("A1"), "3,5"})});
        return p;
    }
    std::unique_ptr<platform::ScopedOperator> m_unattended;
};

TEST_P(UnattendedReception, ImportsOnlyWhatTheCurrentPackageHolds)
{
    // A table file that an earlier package left in the folder.
    ASSERT_TRUE(platform::textfile::writeLines(QDir(bandeja()).filePath(QStringLiteral("S_TA_EQUIV.DAT")),
                                               {fila({art("A1"), "   1", "   2", "12"})})
                    .ok());
    ASSERT_TRUE(paquete().escribir(QDir(bandeja()).filePath(QStringLiteral("Archivos.zip"))).ok());
    const ResumenRecepcion r = recibir();
    ASSERT_EQ(r.fin, FinRecepcion::Completa) << r.motivo.toStdString();
    EXPECT_EQ(r.inserciones, 4);
    EXPECT_EQ(count("V_MA_ARTICULOS"), 2);
    EXPECT_EQ(count("V_MA_PRECIOS"), 1);
    EXPECT_EQ(count("S_TA_EQUIV"), 0);
    EXPECT_EQ(count("V_TA_UNIDAD"), 0); // not a table of the unattended way
    // A defined reception number, and no reception of its own.
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM MA_ARTICULOS WHERE RECEPCION = 0"), QStringLiteral("2"));
    EXPECT_EQ(count("MV_TRANSMISIONES"), 0);
    EXPECT_FALSE(QDir(home()).exists(QStringLiteral("E-MAILS")));
    EXPECT_TRUE(QFile::exists(QDir(bandeja()).filePath(QStringLiteral("Errores.TXT"))));
}

TEST_P(UnattendedReception, AMissingPackageIsAnErrorEvenWithOldFilesAround)
{
    ASSERT_TRUE(paquete().escribirCarpeta(bandeja()).ok());
    const ResumenRecepcion r = recibir();
    EXPECT_EQ(r.fin, FinRecepcion::PaqueteIlegible);
    EXPECT_TRUE(r.motivo.contains(QStringLiteral("Archivos.zip"))) << r.motivo.toStdString();
    EXPECT_EQ(count("V_MA_ARTICULOS"), 0);
}

TEST_P(UnattendedReception, APackageThatIsNoReadableFileSaysWhatIsWrongWithIt)
{
    const QString zip = QDir(bandeja()).filePath(QStringLiteral("Archivos.zip"));
    const bool privilegiado = ::geteuid() == 0; // permissions do not stop root
    const struct {
        const char *nombre;
        std::function<void()> preparar;
        const char *dice;
        bool sinPermisos = false;
    } casos[] = {
        {"missing", [] {}, "no existe el archivo"},
        {"a folder", [&] { QDir().mkpath(zip); }, "es una carpeta, no un archivo"},
        {"a FIFO", [&] { ASSERT_EQ(::mkfifo(QFile::encodeName(zip).constData(), 0600), 0); },
         "es una FIFO (tubería con nombre)"},
        {"a link to itself", [&] { ASSERT_TRUE(QFile::link(zip, zip)); }, "sus enlaces simbólicos forman un ciclo"},
        {"an unreadable file",
         [&] {
             ASSERT_TRUE(paquete().escribir(zip).ok());
             QFile::setPermissions(zip, QFileDevice::WriteOwner);
         },
         "no hay permiso de lectura", true},
        {"an unreadable folder",
         [&] {
             ASSERT_TRUE(paquete().escribir(zip).ok());
             ::chmod(QFile::encodeName(bandeja()).constData(), 0);
         },
         "falta permiso para entrar en su carpeta", true},
    };
    for (const auto &c : casos) {
        SCOPED_TRACE(c.nombre);
        if (c.sinPermisos && privilegiado)
            continue;
        c.preparar();
        const ResumenRecepcion r = recibir();
        ::chmod(QFile::encodeName(bandeja()).constData(), 0755);
        EXPECT_EQ(r.fin, FinRecepcion::PaqueteIlegible);
        EXPECT_TRUE(r.motivo.contains(QString::fromUtf8(c.dice))) << r.motivo.toStdString();
        EXPECT_TRUE(r.motivo.contains(QStringLiteral("Archivos.zip"))) << r.motivo.toStdString();
        QDir(zip).removeRecursively();
        QFile::remove(zip);
    }
    EXPECT_EQ(count("V_MA_ARTICULOS"), 0);
}

TEST_P(UnattendedReception, AnotherOriginIsAnsweredNoWithoutWaiting)
{
    exec("INSERT INTO MV_TRANSMISIONES (TIPO, TRANSMISION, DbOrigen) VALUES ('N', 1, 'CENTRAL')");
    PaqueteDePrueba p = paquete();
    p.origen(QStringLiteral("SUCURSAL"));
    ASSERT_TRUE(p.escribir(QDir(bandeja()).filePath(QStringLiteral("Archivos.zip"))).ok());
    const ResumenRecepcion r = recibir();
    EXPECT_EQ(r.fin, FinRecepcion::Rechazada);
    EXPECT_EQ(count("V_MA_ARTICULOS"), 0);
}

TEST_P(UnattendedReception, BlankLinesAreReadAndNeitherWrittenNorRejected)
{
    PaqueteDePrueba p;
    p.tabla("V_MA_ARTICULOS", {"IdArticulo", "Descripcion", "RECEPCION", "TRANSMISION"},
            {fila({art("A1"), "Té verde"}), QString(), fila({"NULL", "null"}), QString()});
    ASSERT_TRUE(p.escribir(QDir(bandeja()).filePath(QStringLiteral("Archivos.zip"))).ok());
    const ResumenRecepcion r = recibir();
    ASSERT_EQ(r.fin, FinRecepcion::Completa) << r.motivo.toStdString();
    EXPECT_EQ(r.leidos, 4);
    EXPECT_EQ(r.inserciones, 1);
    EXPECT_EQ(r.rechazados, 0);
    EXPECT_EQ(count("V_MA_ARTICULOS"), 1);
    const auto errores = platform::textfile::readAll(QDir(bandeja()).filePath(QStringLiteral("Errores.TXT")));
    ASSERT_TRUE(errores.ok());
    EXPECT_EQ(errores.value(), QString());
}

TEST_P(UnattendedReception, TheSummarySaysHowManyLinesOfTablesWithoutAKeyWereReadAndNotWritten)
{
    PaqueteDePrueba p = paquete();
    p.tabla("B_CODIGOS", {"CodigoBarra", "IdArticulo", "IdUnidad", "RECEPCION", "TRANSMISION"},
            {fila({"7790001", art("A1"), "   1"}), fila({"7790002", art("A2"), "   1"}),
             fila({"7790003", art("A2"), "   1"})});
    p.tabla("B_ALIAS", {"Alias", "IdArticulo", "RECEPCION", "TRANSMISION"}, {fila({"TE", art("A1")})});
    ASSERT_TRUE(p.escribir(QDir(bandeja()).filePath(QStringLiteral("Archivos.zip"))).ok());
    const ResumenRecepcion r = recibir();
    ASSERT_EQ(r.fin, FinRecepcion::Completa) << r.motivo.toStdString();
    ASSERT_EQ(r.sinClave.size(), 2U);
    EXPECT_EQ(r.sinClave[0].tabla, QStringLiteral("B_CODIGOS"));
    EXPECT_EQ(r.sinClave[0].lineas, 3);
    EXPECT_EQ(r.sinClave[1].lineas, 1);
    EXPECT_TRUE(r.linea().endsWith(
        QStringLiteral("; leídas y no escritas (sus tablas no tienen clave): B_CODIGOS 3 líneas, B_ALIAS 1 línea")))
        << r.linea().toStdString();
    EXPECT_EQ(r.rechazados, 0);
    EXPECT_EQ(count("B_CODIGOS"), 0);
    EXPECT_EQ(count("B_ALIAS"), 0);
}

// Anyone who can drop a file into RECIBIR could plant Errores.TXT as a link to a file of the
// program's user: the reception replaces the link with its own file and never writes
// through it, whether the package is clean or has rejects.
TEST_P(UnattendedReception, ErroresTxtIsNeverWrittenThroughALinkPlantedInTheFolder)
{
    const QString victima = QDir(home()).filePath(QStringLiteral("importante.txt"));
    const QString errores = QDir(bandeja()).filePath(QStringLiteral("Errores.TXT"));
    PaqueteDePrueba conRechazo = paquete();
    conRechazo.tabla("V_MA_PRECIOSCAB", {"IdLista", "Descripcion", "RECEPCION", "TRANSMISION"},
                     {fila({"   1", "Lista"}), fila({"   2"})});
    const struct {
        const char *nombre;
        bool simbolico;
        PaqueteDePrueba paquete;
        const char *queda; // what Errores.TXT holds afterwards
    } casos[] = {
        {"symbolic link, clean package", true, paquete(), ""},
        {"symbolic link, a rejected row", true, conRechazo, "Línea 2: la línea tiene 1 campos"},
        {"hard link, clean package", false, paquete(), ""},
        {"hard link, a rejected row", false, conRechazo, "Línea 2: la línea tiene 1 campos"},
    };
    for (const auto &c : casos) {
        SCOPED_TRACE(c.nombre);
        QFile::remove(errores);
        ASSERT_TRUE(platform::textfile::writeLines(victima, {QStringLiteral("no tocar")}).ok());
        if (c.simbolico)
            ASSERT_TRUE(QFile::link(victima, errores));
        else
            ASSERT_EQ(::link(QFile::encodeName(victima).constData(), QFile::encodeName(errores).constData()), 0);
        ASSERT_TRUE(c.paquete.escribir(QDir(bandeja()).filePath(QStringLiteral("Archivos.zip"))).ok());
        const ResumenRecepcion r = recibir();
        ASSERT_EQ(r.fin, FinRecepcion::Completa) << r.motivo.toStdString();
        EXPECT_EQ(platform::textfile::readAll(victima).value(), QStringLiteral("no tocar\r\n"));
        EXPECT_FALSE(QFileInfo(errores).isSymLink());
        const QString texto = platform::textfile::readAll(errores).value();
        if (QByteArray(c.queda).isEmpty())
            EXPECT_EQ(texto, QString());
        else
            EXPECT_TRUE(texto.contains(QString::fromUtf8(c.queda))) << texto.toStdString();
    }
}

// Another package dropped while a run reads its own, and its files put in the drop folder
// (as another run extracting there would): the run reads only the package it opened, and
// leaves nothing of it in the folder.
TEST_P(UnattendedReception, APackageDroppedDuringARunNeverMixesWithIt)
{
    PaqueteDePrueba otro;
    otro.tabla("V_MA_ARTICULOS", {"IdArticulo", "Descripcion", "RECEPCION", "TRANSMISION"},
               {fila({art("B1"), "Otro"})});
    otro.tabla("V_MA_PRECIOSCAB", {"IdLista", "Descripcion", "RECEPCION", "TRANSMISION"}, {fila({"   7", "Otra"})});
    otro.tabla("V_MA_PRECIOS", {"IdLista", "IdArticulo", "Precio", "RECEPCION", "TRANSMISION"},
               {fila({"   7", art("B1"), "9"}), fila({"   7", art("A2"), "8"})});
    // Held at the first article's table: the other package arrives then.
    struct Vista : recepcion::VistaRecepcion {
        std::function<void()> alEmpezar;
        void actualizando(const QString &texto) override
        {
            if (alEmpezar && texto.contains(QStringLiteral("V_MA_ARTICULOS")))
                std::exchange(alEmpezar, nullptr)();
        }
    } vista;
    vista.alEmpezar = [&] {
        ASSERT_TRUE(otro.escribir(QDir(bandeja()).filePath(QStringLiteral("Archivos.zip"))).ok());
        ASSERT_TRUE(otro.escribirCarpeta(bandeja()).ok());
    };
    ASSERT_TRUE(paquete().escribir(QDir(bandeja()).filePath(QStringLiteral("Archivos.zip"))).ok());
    recepcion::RecepcionMaestros recepcion(gDB());
    recepcion.setVista(&vista);
    const ResumenRecepcion r = recepcion.GeneraAutomatica();
    ASSERT_EQ(r.fin, FinRecepcion::Completa) << r.motivo.toStdString();
    EXPECT_FALSE(vista.alEmpezar) << "the run was never held";
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM V_MA_PRECIOS WHERE IDLISTA = '   1'"), QStringLiteral("1"));
    EXPECT_EQ(count("V_MA_PRECIOS"), 1);
    EXPECT_EQ(count("V_MA_PRECIOSCAB"), 1);
    EXPECT_EQ(QDir(bandeja()).entryList({QStringLiteral(".imaestros-*")}, QDir::AllEntries | QDir::Hidden),
              QStringList());
}

// Another reception or sending holding the database: the run waits, saying so, and gives up
// past its wait with nothing imported; once the other ends during the wait, it goes on.
TEST_P(UnattendedReception, ARunWaitsForAnotherRunOfTheDatabase)
{
    ado::Connection otra;
    otra.Open(connectionString());
    db::BloqueoCorrida otroEnvio;
    ASSERT_TRUE(otroEnvio.tomar(otra, std::chrono::milliseconds(0)).ok());
    ASSERT_TRUE(paquete().escribir(QDir(bandeja()).filePath(QStringLiteral("Archivos.zip"))).ok());

    struct Vista : recepcion::VistaRecepcion {
        QStringList textos;
        std::function<void()> alEsperar;
        void actualizando(const QString &texto) override
        {
            textos << texto;
            if (alEsperar && texto.contains(QStringLiteral("se espera")))
                std::exchange(alEsperar, nullptr)();
        }
    } vista;
    recepcion::RecepcionMaestros ocupada(gDB());
    ocupada.setVista(&vista);
    ocupada.esperaCorrida = std::chrono::milliseconds(300);
    const ResumenRecepcion r = ocupada.GeneraAutomatica();
    EXPECT_EQ(r.fin, FinRecepcion::Ocupada);
    EXPECT_TRUE(r.motivo.contains(QStringLiteral("sigue usando la base de datos"))) << r.motivo.toStdString();
    EXPECT_TRUE(vista.textos.filter(QStringLiteral("se espera")).size() == 1) << vista.textos.join('|').toStdString();
    EXPECT_EQ(count("V_MA_ARTICULOS"), 0);

    vista.alEsperar = [&] { otroEnvio.soltar(); };
    recepcion::RecepcionMaestros espera(gDB());
    espera.setVista(&vista);
    espera.esperaCorrida = std::chrono::seconds(30);
    const ResumenRecepcion despues = espera.GeneraAutomatica();
    ASSERT_EQ(despues.fin, FinRecepcion::Completa) << despues.motivo.toStdString();
    EXPECT_FALSE(vista.alEsperar) << "the run never waited";
    EXPECT_EQ(count("V_MA_ARTICULOS"), 2);
}

// A package refused during its extraction (an entry inflating past the size it declares)
// leaves nothing of itself in the drop folder to take the room of the next one.
TEST_P(UnattendedReception, APackageRefusedDuringItsExtractionLeavesNothingBehind)
{
    const QString zip = QDir(bandeja()).filePath(QStringLiteral("Archivos.zip"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(IMAESTROS_FIXTURES "/zip/size_lie.zip"), zip));
    const ResumenRecepcion r = recibir();
    EXPECT_EQ(r.fin, FinRecepcion::PaqueteIlegible);
    EXPECT_EQ(QDir(bandeja()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("Archivos.zip")});
}

// A package that would write over a file the reception keeps in the drop folder is refused
// whole, and the message names the real path of the package.
TEST_P(UnattendedReception, AnEntryNamedLikeTheFoldersOwnFilesRefusesThePackage)
{
    const QString zip = QDir(bandeja()).filePath(QStringLiteral("Archivos.zip"));
    for (const char *nombre : {"archivos.ZIP", "ERRORES.txt"}) {
        SCOPED_TRACE(nombre);
        PaqueteDePrueba hostil = paquete();
        hostil.archivo(QString::fromLatin1(nombre), {QStringLiteral("x")});
        ASSERT_TRUE(hostil.escribir(zip).ok());
        QFile paqueteAntes(zip);
        ASSERT_TRUE(paqueteAntes.open(QIODevice::ReadOnly));
        const QByteArray antes = paqueteAntes.readAll();
        paqueteAntes.close();
        const ResumenRecepcion r = recibir();
        EXPECT_EQ(r.fin, FinRecepcion::PaqueteIlegible);
        EXPECT_TRUE(r.motivo.contains(zip)) << r.motivo.toStdString();
        EXPECT_TRUE(r.motivo.contains(QString::fromLatin1(nombre))) << r.motivo.toStdString();
        EXPECT_EQ(count("V_MA_ARTICULOS"), 0);
        QFile despues(zip);
        ASSERT_TRUE(despues.open(QIODevice::ReadOnly));
        EXPECT_EQ(despues.readAll(), antes);
        EXPECT_EQ(QDir(bandeja()).entryList(QDir::Files), QStringList{QStringLiteral("Archivos.zip")});
    }
}

IMAESTROS_DATABASE_TESTS(UnattendedReception);

} // namespace
