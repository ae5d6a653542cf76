#include "core/MostrarError.h"

#include "platform/TextFile.h"
#include "platform/suite/Sistema.h"
#include "platform/ui/Operator.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "QtPrint.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class CentralErrorRoutine : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedTemp = qgetenv("TEMP");
        m_savedTmp = qgetenv("TMP");
        qputenv("TEMP", "anything");
        qputenv("TMP", m_dir.path().toLocal8Bit());
        m_operator = std::make_shared<platform::ScriptedOperator>(
            [](const QString &q) { ADD_FAILURE() << "unexpected question: " << q.toStdString(); });
        m_scope = std::make_unique<platform::ScopedOperator>(m_operator);
    }
    void TearDown() override
    {
        m_scope.reset();
        qputenv("TEMP", m_savedTemp);
        qputenv("TMP", m_savedTmp);
    }
    QStringList logLines()
    {
        auto lines = platform::textfile::readLines(m_dir.filePath(QStringLiteral("VKERR.LOG")));
        return lines.ok() ? lines.value() : QStringList();
    }

    QTemporaryDir m_dir;
    std::shared_ptr<platform::ScriptedOperator> m_operator;
    std::unique_ptr<platform::ScopedOperator> m_scope;
    QByteArray m_savedTemp, m_savedTmp;
};

TEST_F(CentralErrorRoutine, ShowsTheErrorAndLogsTheAnswer)
{
    struct Case {
        int answer;
        const char *word;
    };
    const Case cases[] = {{4, "Reintentar"}, {5, "Ignorar"}, {3, "Abortar"}, {2, "Cancelar"},
                          {6, "Sí"},         {7, "No"},      {1, ""}};
    for (const Case &c : cases)
        m_operator->expect(QStringLiteral("Ha ocurrido el Siguiente Error (13) "), c.answer);
    for (const Case &c : cases) {
        const auto answer = ModGlobal::MostrarError(
            platform::RuntimeError(13, QStringLiteral("  Tipos no coinciden "), QStringLiteral("Fuente")), 18,
            QStringLiteral("FORM_LOAD"));
        EXPECT_EQ(answer, c.answer);
    }
    const auto &asked = m_operator->asked();
    ASSERT_EQ(asked.size(), 7);
    EXPECT_EQ(asked.at(0).text, QStringLiteral("Ha ocurrido el Siguiente Error (13) Tipos no coinciden"));
    EXPECT_EQ(asked.at(0).title, QStringLiteral("Fuente - FORM_LOAD Aviso al operador!!! - 2 "));
    EXPECT_EQ(asked.at(0).style, 18);

    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 7);
    const QRegularExpression shape(QStringLiteral("^\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d Rutina: - FORM_LOAD "
                                                  "Mensaje Ha ocurrido el Siguiente Error \\(13\\) "
                                                  "Tipos no coinciden Respondió : (.*)$"));
    for (int i = 0; i < 7; ++i) {
        const auto match = shape.match(lines.at(i));
        ASSERT_TRUE(match.hasMatch()) << lines.at(i).toStdString();
        EXPECT_EQ(match.captured(1), QString::fromUtf8(cases[i].word));
    }
}

TEST_F(CentralErrorRoutine, WithoutRoutineTheTitleAndLineHaveNoRoutine)
{
    m_operator->expect(QString(), platform::vbIgnore);
    ModGlobal::MostrarError(platform::RuntimeError(5, QStringLiteral("Argumento no valido"), QStringLiteral("Prog")));
    ASSERT_EQ(m_operator->asked().size(), 1);
    EXPECT_EQ(m_operator->asked().at(0).title, QStringLiteral("Prog Aviso al operador!!! - 2 "));
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines.at(0).contains(QStringLiteral(" Rutina:  Mensaje Ha ocurrido"))) << lines.at(0).toStdString();
}

TEST_F(CentralErrorRoutine, ErrorZeroShowsNothingButCreatesTheLog)
{
    EXPECT_EQ(ModGlobal::MostrarError(platform::RuntimeError(0, QString())), 0);
    EXPECT_TRUE(QFile::exists(m_dir.filePath(QStringLiteral("VKERR.LOG"))));
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(CentralErrorRoutine, UnwritableLogStillAsks)
{
    qputenv("TMP", m_dir.filePath(QStringLiteral("missing/folder")).toLocal8Bit());
    m_operator->expect(QString(), platform::vbRetry);
    EXPECT_EQ(ModGlobal::MostrarError(platform::RuntimeError(9, QStringLiteral("x"))), platform::vbRetry);
}

TEST(ErrorLogFolder, FollowsTempAndTmp)
{
    const QByteArray savedTemp = qgetenv("TEMP"), savedTmp = qgetenv("TMP");
    const QString fallback = QDir(platform::suite::gSistema().CarpetaTemporal()).filePath(QStringLiteral("VKERR.LOG"));
    qputenv("TEMP", "x");
    qputenv("TMP", "/var/log/a");
    EXPECT_EQ(ModGlobal::RutaLogErrores(), QStringLiteral("/var/log/a/VKERR.LOG"));
    qputenv("TMP", "");
    EXPECT_EQ(ModGlobal::RutaLogErrores(), fallback);
    qunsetenv("TEMP");
    qputenv("TMP", "/var/log/a");
    EXPECT_EQ(ModGlobal::RutaLogErrores(), fallback);
    qputenv("TEMP", savedTemp);
    qputenv("TMP", savedTmp);
}

} // namespace

#include "platform/suite/TratarError.h"

namespace {

TEST_F(CentralErrorRoutine, LibraryErrorTreatmentUsesTheInstalledRoutine)
{
    platform::suite::setErrorHandler({});
    m_operator->expect(QStringLiteral("Ha ocurrido el Siguiente Error (52)"), platform::vbIgnore);
    EXPECT_EQ(platform::suite::TratarError(platform::RuntimeError(52, QStringLiteral("Nombre malo")), QString(),
                                           QStringLiteral("Leer")),
              platform::vbIgnore);
    platform::suite::setErrorHandler([](const platform::RuntimeError &e, const QString &, const QString &rutina) {
        return int(ModGlobal::MostrarError(e, 18, rutina));
    });
    m_operator->expect(QString(), platform::vbRetry);
    EXPECT_EQ(platform::suite::TratarError(platform::RuntimeError(52, QStringLiteral("Nombre malo")), QString(),
                                           QStringLiteral("Leer")),
              platform::vbRetry);
    EXPECT_EQ(m_operator->asked().last().title, QStringLiteral(" - Leer Aviso al operador!!! - 2 "));
    EXPECT_EQ(logLines().size(), 1);
    platform::suite::setErrorHandler({});
}

} // namespace
