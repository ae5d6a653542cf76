// The program's unattended reception as a real process with no display, as cron runs it:
// its summary line, its exit status, and a run killed half-way and started again.

#include "PaqueteDePrueba.h"
#include "tests/app/ProgramRun.h"
#include "tests/core/QtPrint.h"

#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

class ReceptionProcess : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("RECIBIR")));
        m_db = crear(QStringLiteral("suite.db"));
    }
    QString crear(const QString &nombre)
    {
        const QString db = m_dir.filePath(nombre);
        const apptest::Outcome init = apptest::run(QStringLiteral(IMAESTROS_DBINIT), {db});
        EXPECT_EQ(init.status, 0) << init.err.toStdString();
        return db;
    }
    QString paquete() const { return m_dir.filePath(QStringLiteral("RECIBIR/Archivos.zip")); }
    void muestra(int articulos)
    {
        const apptest::Outcome made = apptest::run(
            QStringLiteral(IMAESTROS_SAMPLE), {paquete(), QStringLiteral("--articles"), QString::number(articulos)});
        ASSERT_EQ(made.status, 0) << made.err.toStdString();
    }
    QStringList argumentos(const QString &db) const
    {
        return {QStringLiteral("@Server=!;@DbName=%1;@Usuario=operador;@Password=;@ParametroAdicional=AUTO").arg(db)};
    }
    QMap<QString, QString> entorno() const
    {
        return {{QStringLiteral("IMAESTROS_HOME"), m_dir.path()},
                {QStringLiteral("TMP"), m_dir.path()},
                {QStringLiteral("TEMP"), m_dir.path()}};
    }
    apptest::Outcome recibir(const QString &db)
    {
        return apptest::run(QStringLiteral(IMAESTROS_BIN), argumentos(db), entorno());
    }
    QString consulta(const QString &db, const QString &sql)
    {
        ado::Connection cnn;
        cnn.Open(QStringLiteral("Provider=SQLite;Data Source=%1").arg(db));
        auto rs = cnn.Execute(sql);
        QStringList filas;
        for (; rs->State() == ado::adStateOpen && !rs->EOF(); rs->MoveNext()) {
            QStringList valores;
            for (int i = 0; i < rs->fields().Count(); ++i)
                valores << (rs->field(i).Value().isNull() ? QStringLiteral("<null>") : rs->field(i).Value().toString());
            filas << valores.join(QLatin1Char('|'));
        }
        cnn.Close();
        return filas.join(QLatin1Char('\n'));
    }
    // Everything the unattended reception writes, in key order.
    QString estado(const QString &db)
    {
        return consulta(db, QStringLiteral("SELECT * FROM MA_ARTICULOS ORDER BY IdArticulo")) + QLatin1Char('#')
            + consulta(db, QStringLiteral("SELECT * FROM S_TA_EQUIV ORDER BY IdArticulo, IdUnidad, IdUnidad_Equiv"))
            + QLatin1Char('#') + consulta(db, QStringLiteral("SELECT * FROM MA_PRECIOSCAB ORDER BY IdLista"))
            + QLatin1Char('#') + consulta(db, QStringLiteral("SELECT * FROM MA_PRECIOS ORDER BY IdLista, IdArticulo"));
    }
    QTemporaryDir m_dir;
    QString m_db;
};

TEST_F(ReceptionProcess, ReceivesThePackageWithoutADisplayAndPrintsOneLine)
{
    muestra(40);
    const apptest::Outcome r = recibir(m_db);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lineas = r.out.trimmed().split(QLatin1Char('\n'));
    ASSERT_EQ(lineas.size(), 1) << r.out.toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Recepción finalizada: 6 tablas, \\d+ registros leídos, 285 "
                                                  "insertados, 0 modificados, 0 rechazados, \\d+,\\d segundos; "
                                                  "leídas y no escritas \\(sus tablas no tienen clave\\): "
                                                  "B_CODIGOS 40 líneas, B_ALIAS \\d+ líneas$"))
                    .match(lineas.first())
                    .hasMatch())
        << lineas.first().toStdString();
    EXPECT_EQ(consulta(m_db, QStringLiteral("SELECT COUNT(*) FROM MA_ARTICULOS")), QStringLiteral("40"));
    EXPECT_EQ(consulta(m_db, QStringLiteral("SELECT COUNT(*) FROM MA_PRECIOS")), QStringLiteral("200"));
    EXPECT_EQ(consulta(m_db, QStringLiteral("SELECT COUNT(*) FROM MV_TRANSMISIONES")), QStringLiteral("0"));
    // Received again: every row is an update.
    const apptest::Outcome otra = recibir(m_db);
    EXPECT_EQ(otra.status, 0);
    EXPECT_TRUE(otra.out.contains(QStringLiteral(" 1 insertados, 284 modificados"))) << otra.out.toStdString();
}

TEST_F(ReceptionProcess, TheExitStatusSaysWhatHappened)
{
    const QStringList articulo = {"IdArticulo", "Descripcion", "FhAlta", "RECEPCION", "TRANSMISION"};
    const QString a1 = QStringLiteral("A1").rightJustified(25);
    struct Caso {
        const char *nombre;
        std::function<void()> preparar;
        int estado;
        const char *dice;
    };
    const QList<Caso> casos = {
        {"no package", [] {}, 9, "Recepción fallida (paquete ilegible)"},
        {"a rejected row",
         [&] {
             PaqueteDePrueba p;
             p.tabla("V_MA_ARTICULOS", articulo, {fila({a1, "Bien", "01/01/2024"}), fila({a1, "Mal", "32/01/2024"})});
             ASSERT_TRUE(p.escribir(paquete()).ok());
         },
         8, "1 rechazados"},
        {"no control file",
         [&] {
             PaqueteDePrueba p;
             p.tabla("V_MA_ARTICULOS", articulo, {fila({a1, "Bien", "01/01/2024"})}).sinControl();
             ASSERT_TRUE(p.escribir(paquete()).ok());
         },
         11, "falta el archivo de control"},
        {"blank lines",
         [&] {
             PaqueteDePrueba p;
             p.tabla("V_MA_ARTICULOS", articulo, {fila({a1, "Bien", "01/01/2024"}), QString(), QString()});
             ASSERT_TRUE(p.escribir(paquete()).ok());
         },
         0, "0 rechazados"},
        {"a table without its data file",
         [&] {
             PaqueteDePrueba p;
             p.tabla("V_MA_ARTICULOS", articulo, {fila({a1, "Bien", "01/01/2024"})});
             p.bloque("V_MA_PRECIOS", {"IdLista", "IdArticulo", "Precio", "RECEPCION", "TRANSMISION"});
             ASSERT_TRUE(p.escribir(paquete()).ok());
         },
         14, "faltan V_MA_PRECIOS.DAT"},
        {"another origin",
         [&] {
             consulta(m_db,
                      QStringLiteral("INSERT INTO MV_TRANSMISIONES (TIPO, TRANSMISION, DbOrigen) VALUES ('N', 1, "
                                     "'CENTRAL')"));
             PaqueteDePrueba p;
             p.tabla("V_MA_ARTICULOS", articulo, {fila({a1, "Bien", "01/01/2024"})}).origen(QStringLiteral("OTRA"));
             ASSERT_TRUE(p.escribir(paquete()).ok());
         },
         10, "otra base de datos de origen"},
        {"a folder named Archivos.zip", [&] { QDir().mkpath(paquete()); }, 9, "es una carpeta, no un archivo"},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.nombre);
        QFile::remove(paquete());
        c.preparar();
        const apptest::Outcome r = recibir(m_db);
        EXPECT_EQ(r.status, c.estado) << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(QString::fromUtf8(c.dice))) << r.out.toStdString();
    }
}

TEST_F(ReceptionProcess, AReceptionKilledHalfWayAndRunAgainEndsAsOneCleanRun)
{
    const int total = 8000;
    muestra(total);
    const QString limpia = crear(QStringLiteral("limpia.db"));
    ASSERT_EQ(recibir(limpia).status, 0);

    QProcess programa;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QMap<QString, QString> cambios = entorno();
    for (auto it = cambios.constBegin(); it != cambios.constEnd(); ++it)
        env.insert(it.key(), it.value());
    for (const char *display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(display));
    programa.setProcessEnvironment(env);
    programa.start(QStringLiteral(IMAESTROS_BIN), argumentos(m_db));
    ASSERT_TRUE(programa.waitForStarted());
    // Killed once some rows are stored and before the run is over.
    QElapsedTimer reloj;
    reloj.start();
    QString articulos = QStringLiteral("0");
    while (programa.state() == QProcess::Running && articulos == QLatin1String("0") && reloj.elapsed() < 60000) {
        QThread::msleep(10);
        articulos = consulta(m_db, QStringLiteral("SELECT COUNT(*) FROM MA_ARTICULOS"));
    }
    programa.kill();
    programa.waitForFinished();
    const QString precios = consulta(m_db, QStringLiteral("SELECT COUNT(*) FROM MA_PRECIOS"));
    EXPECT_NE(precios, QString::number(total * 5)) << "the run should have been stopped before its end";

    const apptest::Outcome otra = recibir(m_db);
    ASSERT_EQ(otra.status, 0) << otra.err.toStdString();
    EXPECT_EQ(estado(m_db), estado(limpia));
}

} // namespace
