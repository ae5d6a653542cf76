// The unattended sending as a real process: the sending form first, "AUTO", no display.

#include "SendingDatabase.h"

#include "tests/core/QtPrint.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct Salida {
    int estado = -1;
    QString texto;
};

class EnvioDesatendido : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.isValid());
        m_base = QDir(m_home.path()).filePath(QStringLiteral("suite.db"));
        ado::Connection cnn;
        cnn.Open(testsupport::sqliteConnectionString(m_base));
        pruebas::crearBaseSuite(cnn);
        pruebas::llenarMaestros(cnn, 2);
    }
    Salida correr()
    {
        QProcess p;
        QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
        for (const char *v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            entorno.remove(QString::fromLatin1(v));
        entorno.insert(QStringLiteral("IMAESTROS_HOME"), m_home.path());
        p.setProcessEnvironment(entorno);
        p.start(
            QStringLiteral(IMAESTROS_BIN),
            {QStringLiteral("--envio"),
             QStringLiteral("@Server=!;@DbName=%1;@Usuario=operador;@Password=;@ParametroAdicional=AUTO").arg(m_base)});
        if (!p.waitForFinished(120000))
            return {};
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError())};
    }
    QString escalar(const QString &sql)
    {
        ado::Connection cnn;
        cnn.Open(testsupport::sqliteConnectionString(m_base, false));
        return pruebas::escalar(cnn, sql);
    }
    QTemporaryDir m_home;
    QString m_base;
};

TEST_F(EnvioDesatendido, BuildsThePackageInEnviarAndSaysSo)
{
    QDir(m_home.path()).mkpath(QStringLiteral("ENVIAR"));
    const Salida s = correr();
    EXPECT_EQ(s.estado, 0) << s.texto.toStdString();
    EXPECT_TRUE(s.texto.contains(QStringLiteral("imaestros: envío transmisión 1: 29 tablas, 54 filas enviadas")))
        << s.texto.toStdString();
    EXPECT_TRUE(QFile::exists(QDir(m_home.path()).filePath(QStringLiteral("ENVIAR/Archivos.zip"))));
    EXPECT_EQ(escalar(QStringLiteral("SELECT Responsable_Envio FROM MV_TRANSMISIONES WHERE TIPO = 'M' AND FECHAFIN IS "
                                     "NOT NULL")),
              QStringLiteral("operador"));
    EXPECT_EQ(escalar(QStringLiteral("SELECT COUNT(*) FROM Control_Acceso WHERE EGRESO IS NULL")), QStringLiteral("0"));
}

TEST_F(EnvioDesatendido, WithoutItsFolderItEndsWithItsOwnStatusAndNeverWaits)
{
    const Salida s = correr();
    EXPECT_EQ(s.estado, 13) << s.texto.toStdString();
    EXPECT_TRUE(s.texto.contains(QStringLiteral("imaestros: envío falló: No se puede escribir el paquete")))
        << s.texto.toStdString();
    EXPECT_EQ(escalar(QStringLiteral("SELECT COUNT(*) FROM MV_TRANSMISIONES")), QStringLiteral("0"));
}

} // namespace
