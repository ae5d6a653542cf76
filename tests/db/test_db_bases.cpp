// BASES.TXT: written and read back in Windows-1252 with CR LF.
#include "db/LBM_Bases.h"
#include "platform/Logger.h"
#include "platform/Paths.h"
#include "platform/suite/Funciones.h"
#include "tests/db/QtPrinters.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace LBM_Common;

namespace {

class BasesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        platform::setProgramFolder(m_dir.path());
        resetEstadoBases();
    }
    void TearDown() override { resetEstadoBases(); }
    QString path() const { return m_dir.filePath(QStringLiteral("BASES.TXT")); }
    QByteArray bytes() const
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void write(const QByteArray &content)
    {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QString codificada(const QString &password) const { return platform::suite::gFunciones().Codificar(password); }

    QTemporaryDir m_dir;
};

TEST_F(BasesTest, RegistrarBaseWritesOneRecordPerLine)
{
    RegistrarBase(QStringLiteral("VENTAS / SRV1"), QStringLiteral("VENTAS"), QStringLiteral("sa"),
                  QStringLiteral("clave"), QStringLiteral("SRV1"), QString(), 0);
    RegistrarBase(QStringLiteral(" ORA / SRV1 "), QStringLiteral("XE"), QStringLiteral("sa"), QStringLiteral("clave"),
                  QStringLiteral("SRV1"), QString(), 1);
    RegistrarBase(QStringLiteral("COMPAÑÍA / SRV1"), QStringLiteral("COMPAÑÍA"), QStringLiteral("sa"),
                  QStringLiteral("clave"), QStringLiteral("SRV1"), QStringLiteral("SQL2008"), 0);
    estadoBases().puerto.clear();
    RegistrarBase(QStringLiteral("LOCAL"), QStringLiteral("/datos/local.db"), QString(), QString(), QStringLiteral("!"),
                  QString(), 0);
    const QByteArray pwd = codificada(QStringLiteral("clave")).toLatin1();
    const QByteArray expected = "VENTAS / SRV1,VENTAS,sa," + pwd
        + ",SRV1:1433\r\n"
          "ORA / SRV1,XE,sa,"
        + pwd
        + ",#SRV1:1433\r\n"
          "COMPA\xd1\xcd\x41 / SRV1,COMPA\xd1\xcd\x41,sa,"
        + pwd
        + ",SRV1/SQL2008:1433\r\n"
          "LOCAL,/datos/local.db,,"
        + codificada(QString()).toLatin1() + ",!\r\n";
    EXPECT_EQ(bytes(), expected);
}

TEST_F(BasesTest, LeerBaseFindsByNameIgnoringCase)
{
    RegistrarBase(QStringLiteral("VENTAS / SRV1"), QStringLiteral("VENTAS"), QStringLiteral("sa"),
                  QStringLiteral("secreto"), QStringLiteral("SRV1"), QString(), 0);
    QString nombre, base, usuario, password, servidor;
    ASSERT_TRUE(LeerBase(QStringLiteral(" ventas / srv1 "), nombre, base, usuario, password, servidor));
    EXPECT_EQ(nombre, QStringLiteral("VENTAS / SRV1"));
    EXPECT_EQ(servidor, QStringLiteral("SRV1:1433"));
    EXPECT_EQ(password, codificada(QStringLiteral("secreto")));
    EXPECT_EQ(estadoBases().password, QStringLiteral("secreto"));
    EXPECT_EQ(estadoBases().baseDatos, QStringLiteral("VENTAS"));

    RegistrarBase(QStringLiteral("COMPRAS / SRV2"), QStringLiteral("COMPRAS"), QStringLiteral("cc"),
                  QStringLiteral("otra"), QStringLiteral("SRV2"), QString(), 0);
    EXPECT_FALSE(LeerBase(QStringLiteral("OTRA"), nombre, base, usuario, password, servidor));
    EXPECT_TRUE(estadoBases().servidor.isEmpty());
    EXPECT_TRUE(estadoBases().password.isEmpty());
    // Without a match the caller's fields hold the last record read; callers compare names.
    EXPECT_EQ(nombre, QStringLiteral("COMPRAS / SRV2"));
    EXPECT_EQ(usuario, QStringLiteral("cc"));

    // A missing file leaves the caller's fields as they were.
    estadoBases().ruta = m_dir.filePath(QStringLiteral("no-hay.txt"));
    nombre = QStringLiteral("previo");
    EXPECT_FALSE(LeerBase(QStringLiteral("VENTAS / SRV1"), nombre, base, usuario, password, servidor));
    EXPECT_EQ(nombre, QStringLiteral("previo"));
}

TEST_F(BasesTest, MalformedLinesAreSkippedAndLogged)
{
    QStringList logged;
    const int sink =
        platform::logger().addSink([&](platform::Logger::Level, const QString &message) { logged << message; });
    write("A,B,C,D,E\r\nCUATRO,B,C,D\r\nSEIS,B,C,D,E,F\n\r\nZ\xf1,B,C,D,E\r\n");
    platform::logger().removeSink(sink);
    platform::Result<QList<RegistroBase>> registros = leerRegistros(path());
    ASSERT_TRUE(registros.ok());
    ASSERT_EQ(registros.value().size(), 2);
    EXPECT_EQ(registros.value().at(0).nombre, QStringLiteral("A"));
    EXPECT_EQ(registros.value().at(1).nombre, QStringLiteral("Zñ"));

    const int sink2 =
        platform::logger().addSink([&](platform::Logger::Level, const QString &message) { logged << message; });
    (void)leerRegistros(path());
    platform::logger().removeSink(sink2);
    ASSERT_EQ(logged.size(), 2);
    EXPECT_TRUE(logged.at(0).contains(QStringLiteral("linea 2"))) << logged.at(0).toStdString();
    EXPECT_TRUE(logged.at(1).contains(QStringLiteral("linea 3")));

    QString nombre, base, usuario, password, servidor;
    EXPECT_FALSE(LeerBase(QStringLiteral("CUATRO"), nombre, base, usuario, password, servidor));
    EXPECT_FALSE(LeerBase(QStringLiteral("SEIS"), nombre, base, usuario, password, servidor));
}

TEST_F(BasesTest, MissingFileListsNothing)
{
    platform::Result<QList<RegistroBase>> registros = leerRegistros(path());
    ASSERT_TRUE(registros.ok());
    EXPECT_TRUE(registros.value().isEmpty());
    QString a, b, c, d, e;
    EXPECT_FALSE(LeerBase(QStringLiteral("X"), a, b, c, d, e));
}

TEST_F(BasesTest, TextsARecordCannotHoldAreRefusedNamingThem)
{
    struct Case {
        const char *name;
        QString database, user, server;
        const char *named; // what the message must name
    } cases[] = {
        {"comma in the database", QStringLiteral("VENTAS,2020"), QStringLiteral("sa"), QStringLiteral("SRV1"), "\",\""},
        {"line break in the user", QStringLiteral("VENTAS"), QStringLiteral("sa\nroot"), QStringLiteral("SRV1"),
         "usuario"},
        {"Cyrillic in the server", QStringLiteral("VENTAS"), QStringLiteral("sa"), QStringLiteral("СЕРВЕР"),
         "\"С\" (U+0421)"},
        {"emoji in the user", QStringLiteral("VENTAS"), QStringLiteral("ana😀"), QStringLiteral("SRV1"), "😀"},
    };
    RegistrarBase(QStringLiteral("A"), QStringLiteral("A"), QString(), QString(), QStringLiteral("S"), QString(), 0);
    const QByteArray before = bytes();
    for (const Case &c : cases) {
        try {
            RegistrarBase(c.database + QStringLiteral(" / ") + c.server, c.database, c.user, QStringLiteral("x,y"),
                          c.server, QString(), 0);
            ADD_FAILURE() << c.name << ": registered";
        } catch (const platform::RuntimeError &e) {
            EXPECT_EQ(e.Number(), 5) << c.name;
            EXPECT_TRUE(e.Description().contains(QString::fromUtf8(c.named))) << e.Description().toStdString();
        }
    }
    EXPECT_EQ(bytes(), before) << "nothing was written";
    // "ñ", "€" and a comma in the password (stored encoded) are fine.
    RegistrarBase(QStringLiteral("AÑO€ / S"), QStringLiteral("AÑO€"), QStringLiteral("sa"), QStringLiteral("x,y"),
                  QStringLiteral("S"), QString(), 0);
    QString a, b, c, d, e;
    EXPECT_TRUE(LeerBase(QStringLiteral("año€ / s"), a, b, c, d, e));
    EXPECT_EQ(estadoBases().password, QStringLiteral("x,y"));
}

TEST_F(BasesTest, UnwritableFileRaisesNamingIt)
{
    estadoBases().ruta = m_dir.filePath(QStringLiteral("no/such/BASES.TXT"));
    try {
        RegistrarBase(QStringLiteral("A"), QStringLiteral("B"), QString(), QString(), QStringLiteral("S"), QString(),
                      0);
        ADD_FAILURE() << "no error raised";
    } catch (const platform::RuntimeError &e) {
        EXPECT_TRUE(e.Description().contains(QStringLiteral("BASES.TXT")));
    }
}

TEST_F(BasesTest, SepararServidorSetsThePort)
{
    setFechaServidor([] { return QDateTime(QDate(2021, 2, 1), QTime(10, 0)); });
    QString servidor = QStringLiteral("SRV1:1500");
    EXPECT_EQ(SepararServidor(servidor), QStringLiteral("SRV1:1500"));
    EXPECT_EQ(estadoBases().puerto, QStringLiteral("1500"));
    servidor = QStringLiteral("SRV1");
    EXPECT_EQ(SepararServidor(servidor), QStringLiteral("SRV1"));
    EXPECT_EQ(estadoBases().puerto, QStringLiteral("1433"));
    servidor = QStringLiteral("SRV1/INST:1500:9");
    EXPECT_EQ(SepararServidor(servidor), QStringLiteral("SRV1"));
    EXPECT_EQ(estadoBases().puerto, QStringLiteral("1500"));
    EXPECT_EQ(estadoBases().servidorBase, QStringLiteral("SRV1"));
    EXPECT_EQ(estadoBases().fechaBase, QStringLiteral("01/02/2021"));
    setFechaServidor(nullptr);
}

} // namespace
