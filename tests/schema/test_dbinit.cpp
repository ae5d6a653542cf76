// imaestros-dbinit run as a program: a fresh embedded database, with the configuration rows of
// its command line (the VAT rates the article form accepts).

#include "tests/app/ProgramRun.h"

#include "core/Globals.h"
#include "core/RutinasDatos.h"
#include "db/DB_Dll.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kDbInit = QStringLiteral(IMAESTROS_DBINIT);

class DbInit : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    void TearDown() override { releaseSharedDatabases(); }
    // The configured VAT rates the article form accepts, on the database made.
    QList<float> tasasAceptadas(const QString &db)
    {
        ModGlobal::resetGlobals();
        DB_Dll &conexion = gDB();
        conexion.gUsuario = QStringLiteral("operador");
        conexion.OpenServerADODB(false, 3, QStringLiteral("Provider=SQLite;Data Source=%1").arg(db), false, false);
        EXPECT_TRUE(conexion.gOpenFlag);
        QList<float> aceptadas;
        for (const float tasa : {21.0f, 10.5f, 27.0f, 7.0f})
            if (ModGlobal::EsTasaIva(tasa))
                aceptadas << tasa;
        releaseSharedDatabases();
        return aceptadas;
    }
    QTemporaryDir m_dir;
};

TEST_F(DbInit, ConfigurationRowsOfTheCommandLineAreWritten)
{
    const QString db = m_dir.filePath(QStringLiteral("suite.db"));
    const apptest::Outcome made =
        apptest::run(kDbInit, {db, QStringLiteral("PIVA=21"), QStringLiteral("PIVAREC=10.5")});
    ASSERT_EQ(made.status, 0) << made.err.toStdString();
    EXPECT_EQ(tasasAceptadas(db), (QList<float>{21.0f, 10.5f}));

    // without them a fresh database accepts no rate at all
    const QString vacia = m_dir.filePath(QStringLiteral("vacia.db"));
    ASSERT_EQ(apptest::run(kDbInit, {vacia}).status, 0);
    EXPECT_EQ(tasasAceptadas(vacia), QList<float>());
}

// An existing database takes configuration rows only through --configurar: new keys are added
// and a key already there takes its new value.
TEST_F(DbInit, AnExistingDatabaseIsConfiguredOnlyWhenAsked)
{
    const QString db = m_dir.filePath(QStringLiteral("suite.db"));
    ASSERT_EQ(apptest::run(kDbInit, {db, QStringLiteral("PIVA=27")}).status, 0);
    const apptest::Outcome again = apptest::run(kDbInit, {db, QStringLiteral("PIVA=21")});
    EXPECT_EQ(again.status, 1);
    EXPECT_TRUE(again.err.contains(QStringLiteral("ya existe"))) << again.err.toStdString();
    EXPECT_EQ(tasasAceptadas(db), QList<float>{27.0f});

    const apptest::Outcome set = apptest::run(
        kDbInit, {QStringLiteral("--configurar"), db, QStringLiteral("PIVA=21"), QStringLiteral("PIVAREC=10.5")});
    ASSERT_EQ(set.status, 0) << set.err.toStdString();
    EXPECT_EQ(tasasAceptadas(db), (QList<float>{21.0f, 10.5f}));
    EXPECT_EQ(apptest::run(
                  kDbInit,
                  {QStringLiteral("--configurar"), m_dir.filePath(QStringLiteral("no.db")), QStringLiteral("PIVA=21")})
                  .status,
              1);
    EXPECT_FALSE(QFile::exists(m_dir.filePath(QStringLiteral("no.db"))));
    EXPECT_EQ(apptest::run(kDbInit, {QStringLiteral("--configurar"), db}).status, 2);
}

TEST_F(DbInit, AnItemThatIsNoKeyAndValueIsAUsageError)
{
    const QString db = m_dir.filePath(QStringLiteral("mal.db"));
    for (const char *item : {"PIVA", "=21"}) {
        const apptest::Outcome made = apptest::run(kDbInit, {db, QString::fromLatin1(item)});
        EXPECT_EQ(made.status, 2) << item;
        EXPECT_TRUE(made.err.contains(QStringLiteral("no es CLAVE=VALOR"))) << made.err.toStdString();
        EXPECT_FALSE(QFile::exists(db));
    }
}

} // namespace
