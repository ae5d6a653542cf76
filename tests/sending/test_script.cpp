// The SQL script runner on a real database: blocks, placeholders, passes and its log.

#include "SendingDatabase.h"

#include "tests/core/QtPrint.h"

#include "sending/EjecutorScript.h"

#include "db/DB_Dll.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFile>

namespace {

TEST(EjecutorScriptBloques, SeparatorLinesSplitBlocks)
{
    const struct {
        QStringList lineas;
        QStringList bloques;
    } casos[] = {
        {{"SELECT 1", "SELECT 2"}, {"SELECT 1\r\nSELECT 2\r\n"}},
        {{"A", " go ", "B", "/", "C"}, {"A\r\n", "B\r\n", "C\r\n"}},
        {{"A", "GO"}, {"A\r\n", ""}},
        {{"GO", "GO"}, {"", "", ""}},
        {{"  indented", "GOTO x"}, {"  indented\r\nGOTO x\r\n"}},
    };
    for (const auto &c : casos)
        EXPECT_EQ(EjecutorScript::bloques(c.lineas), c.bloques) << c.lineas.join('|').toStdString();
}

TEST(EjecutorScriptBloques, DatePlaceholdersInAnyCase)
{
    const QDateTime ahora(QDate(2024, 2, 29), QTime(9, 5, 7));
    EXPECT_EQ(EjecutorScript::reemplazarFechas(QStringLiteral("<DATE> <date> <NOW> <Date+Year> <DATE-YEAR>"), ahora),
              QStringLiteral("29/02/2024 29/02/2024 29/02/2024 09:05:07 28/02/2025 28/02/2023"));
}

class ScriptTest : public SendingDatabaseTest {
protected:
    void SetUp() override
    {
        SendingDatabaseTest::SetUp();
        if (IsSkipped())
            return;
        qputenv("TEMP", home().toUtf8());
    }
    void TearDown() override
    {
        qunsetenv("TEMP");
        SendingDatabaseTest::TearDown();
    }
    QString script(const QStringList &lineas)
    {
        const QString ruta = QDir(home()).filePath(QStringLiteral("vistas.sql"));
        EXPECT_TRUE(platform::textfile::writeLines(ruta, lineas).ok());
        return ruta;
    }
    EjecutorScript ejecutor()
    {
        EjecutorScript e(gDB());
        e.setAbridor([this](const QString &ruta, bool) { m_abiertos << ruta; });
        e.setReloj([] { return QDateTime(QDate(2024, 3, 15), QTime(9, 5, 7)); });
        return e;
    }
    QStringList m_abiertos;
};

// A block that needs a table made further down runs again on the next pass; the errors a
// view script expects are not logged, any other is.
TEST_P(ScriptTest, RepeatsOnlyBlocksMissingAnObjectAndLogsTheRest)
{
    EjecutorScript e = ejecutor();
    operatorScript().expect(QStringLiteral("Se detectaron errores, consulte el archivo "), platform::vbOK);
    e.VerVistas(script({"INSERT INTO T_DESPUES (ID, FECHA) VALUES (1, '<DATE>')", "GO", "CREATE TABLE T_ANTES (ID int)",
                        "GO", "INSERT INTO T_ANTES (ID) VALUES (1)", "GO",
                        "CREATE TABLE T_DESPUES (ID int, FECHA varchar(10))", "GO", "THIS IS NOT SQL", "GO"}));
    EXPECT_EQ(e.pasadas(), 2);
    EXPECT_EQ(scalar(QStringLiteral("SELECT FECHA FROM T_DESPUES")), QStringLiteral("15/03/2024"));
    EXPECT_EQ(count(QStringLiteral("T_ANTES")), 1); // ran once: only the failed block was repeated
    EXPECT_EQ(e.erroresRegistrados(), 1);
    EXPECT_TRUE(e.pendientes().isEmpty());
    EXPECT_EQ(e.archivoLog(), QDir(home()).filePath(QStringLiteral("Script957.TXT")));
    const auto log = platform::textfile::readLines(e.archivoLog());
    ASSERT_TRUE(log.ok());
    ASSERT_EQ(log.value().size(), 7);
    EXPECT_EQ(log.value()[0], QString(112, QLatin1Char('*')));
    EXPECT_EQ(log.value()[1], QStringLiteral("15/03/2024 - 09:05:07"));
    EXPECT_TRUE(log.value()[2].startsWith(QStringLiteral("  Error "))) << log.value()[2].toStdString();
    EXPECT_EQ(log.value()[4], QStringLiteral("THIS IS NOT SQL"));
    EXPECT_EQ(m_abiertos, QStringList{e.archivoLog()});
    exec(QStringLiteral("DROP TABLE T_ANTES"));
    exec(QStringLiteral("DROP TABLE T_DESPUES"));
}

TEST_P(ScriptTest, ABlockStillMissingItsObjectAfterTheLastPassIsReported)
{
    EjecutorScript e = ejecutor();
    operatorScript().expect(QStringLiteral("Se detectaron errores"), platform::vbOK);
    e.VerVistas(script({"INSERT INTO T_NUNCA (ID) VALUES (1)", "GO", "DROP TABLE T_NUNCA_TAMPOCO", "GO"}));
    EXPECT_EQ(e.pasadas(), 20);
    EXPECT_EQ(e.pendientes(), QStringList{QStringLiteral("INSERT INTO T_NUNCA (ID) VALUES (1)\r\n")});
    const auto log = platform::textfile::readAll(e.archivoLog());
    ASSERT_TRUE(log.ok());
    EXPECT_TRUE(log.value().contains(QStringLiteral("(sin resolver)")));
}

TEST_P(ScriptTest, AScriptWithoutErrorsRunsOnceAndLeavesAnEmptyLog)
{
    EjecutorScript e = ejecutor();
    e.VerVistas(script({"CREATE TABLE T_UNA (ID int)", "GO", "INSERT INTO T_UNA (ID) VALUES (1)", "GO"}));
    EXPECT_EQ(e.pasadas(), 1);
    EXPECT_EQ(e.erroresRegistrados(), 0);
    EXPECT_TRUE(QFile::exists(e.archivoLog()));
    EXPECT_EQ(QFile(e.archivoLog()).size(), 0);
    EXPECT_TRUE(m_abiertos.isEmpty());
    exec(QStringLiteral("DROP TABLE T_UNA"));
}

TEST_P(ScriptTest, AMissingScriptGoesToTheOperator)
{
    EjecutorScript e = ejecutor();
    operatorScript().expect(QStringLiteral("No existe el archivo"), platform::vbAbort);
    e.VerVistas(QDir(home()).filePath(QStringLiteral("no_existe.sql")));
    EXPECT_EQ(e.pasadas(), 0);
    e.VerVistas(QString()); // an empty path does nothing at all
}

IMAESTROS_DATABASE_TESTS(ScriptTest);

} // namespace
