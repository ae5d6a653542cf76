// The database class's error dialog and its VKERR.LOG line.
#include "db/DB_Dll.h"
#include "db/ErrorReport.h"
#include "platform/Paths.h"
#include "platform/ui/Operator.h"
#include "tests/db/QtPrinters.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using platform::RuntimeError;

namespace {

class ErrorDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_operator = std::make_shared<platform::ScriptedOperator>(
            [](const QString &message) { ADD_FAILURE() << message.toStdString(); });
        m_scope = std::make_unique<platform::ScopedOperator>(m_operator);
        m_log = m_dir.filePath(QStringLiteral("errores.log"));
        m_db.ArchivoErroresSet(m_log);
    }
    QByteArray logBytes() const
    {
        QFile file(m_log);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
    std::shared_ptr<platform::ScriptedOperator> m_operator;
    std::unique_ptr<platform::ScopedOperator> m_scope;
    QString m_log;
    struct Db : DB_Dll {
        void ArchivoErroresSet(const QString &path) { setArchivoErrores(platform::Variant(path)); }
    } m_db;
};

TEST_F(ErrorDialogTest, AnswerIsReturnedAndLoggedInWindows1252)
{
    struct Case {
        int answer;
        QByteArray word; // Windows-1252 bytes
    };
    const Case cases[] = {{4, "Reintentar"}, {5, "Ignorar"}, {3, "Abortar"}, {2, "Cancelar"},
                          {6, "S\xed"},      {7, "No"},      {1, ""}};
    for (const Case &c : cases)
        m_operator->expect(QStringLiteral("Ha ocurrido el Siguiente Error (13)"), c.answer);
    for (const Case &c : cases) {
        const RuntimeError error(13, QStringLiteral(" No coinciden los tipos "), QStringLiteral("Carga"));
        EXPECT_EQ(m_db.TratamientoErrores(error, 18, QStringLiteral("Importar")), c.answer);
    }
    const QList<QByteArray> lines = logBytes().split('\n');
    ASSERT_EQ(lines.size(), 8); // seven lines ending CR LF, then nothing
    const QRegularExpression stamp(QStringLiteral("^\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d$"));
    for (int i = 0; i < 7; ++i) {
        const QByteArray &line = lines[i];
        ASSERT_TRUE(line.endsWith('\r')) << i;
        const QByteArray expectedTail = " Rutina: - Importar Mensaje Ha ocurrido el Siguiente Error (13) "
                                        "No coinciden los tipos Respondi\xf3 : "
            + cases[i].word + "\r";
        EXPECT_TRUE(line.endsWith(expectedTail)) << line.toStdString();
        EXPECT_TRUE(stamp.match(QString::fromLatin1(line.left(19))).hasMatch()) << line.toStdString();
    }
    const platform::Question &asked = m_operator->asked().at(0);
    EXPECT_EQ(asked.title, QStringLiteral("Carga - Importar Aviso al operador!!! - 5 "));
    EXPECT_EQ(asked.style, 18);
    EXPECT_EQ(asked.text, QStringLiteral("Ha ocurrido el Siguiente Error (13) No coinciden los tipos"));
}

TEST_F(ErrorDialogTest, WithoutRoutineTheFieldIsEmpty)
{
    m_operator->expect(QString(), platform::vbIgnore);
    EXPECT_EQ(m_db.TratamientoErrores(RuntimeError(91, QStringLiteral("Objeto"), QStringLiteral("S"))), 5);
    EXPECT_EQ(m_operator->asked().at(0).title, QStringLiteral("S Aviso al operador!!! - 5 "));
    EXPECT_TRUE(logBytes().contains(" Rutina:  Mensaje Ha ocurrido"));
}

TEST_F(ErrorDialogTest, DescriptionWithLineBreaksIsOneLogEntry)
{
    m_operator->expect(QString(), platform::vbAbort);
    const QString description = QStringLiteral("ERROR: duplicate key value\nDETAIL: Key (id)=(1) already exists.\r\n"
                                               "CONTEXT:\rstatement");
    EXPECT_EQ(m_db.TratamientoErrores(RuntimeError(2627, description, QStringLiteral("S")), 18,
                                      QStringLiteral("Grabar\nDatos")),
              3);
    EXPECT_EQ(m_operator->asked().at(0).text, QStringLiteral("Ha ocurrido el Siguiente Error (2627) ") + description)
        << "the operator still sees the lines";
    const QByteArray log = logBytes();
    EXPECT_EQ(log.count('\n'), 1) << log.toStdString();
    EXPECT_EQ(log.count('\r'), 1) << log.toStdString();
    EXPECT_TRUE(
        log.contains("Rutina: - Grabar Datos Mensaje Ha ocurrido el Siguiente Error (2627) ERROR: duplicate "
                     "key value DETAIL: Key (id)=(1) already exists. CONTEXT: statement Respondi\xf3 : Abortar"))
        << log.toStdString();
}

TEST_F(ErrorDialogTest, ErrorZeroAsksNothingAndTouchesNoFile)
{
    EXPECT_EQ(m_db.TratamientoErrores(RuntimeError(0, QStringLiteral("nada"))), 0);
    EXPECT_TRUE(m_operator->asked().isEmpty());
    EXPECT_FALSE(QFile::exists(m_log));
}

TEST_F(ErrorDialogTest, EmptyLogFileFallsBackToProgramFolder)
{
    platform::setProgramFolder(m_dir.path());
    m_db.ArchivoErroresSet(QString());
    EXPECT_EQ(m_db.ArchivoErrores().toString(), QString());
    m_operator->expect(QString(), platform::vbAbort);
    EXPECT_EQ(m_db.TratamientoErrores(RuntimeError(5, QStringLiteral("x"))), 3);
    EXPECT_TRUE(QFile::exists(m_dir.filePath(QStringLiteral("VKERR.LOG"))));
}

TEST_F(ErrorDialogTest, UnwritableLogStillReturnsTheAnswer)
{
    m_db.ArchivoErroresSet(m_dir.filePath(QStringLiteral("no/existe/VKERR.LOG")));
    m_operator->expect(QString(), platform::vbRetry);
    EXPECT_EQ(m_db.TratamientoErrores(RuntimeError(5, QStringLiteral("x"))), 4);
}

TEST(ErrorReport, CentralRoutineCanCreateTheLogFirst)
{
    QTemporaryDir dir;
    db::ErrorReport::Options options;
    options.titleSuffix = QStringLiteral(" Aviso al operador!!! - 2 ");
    options.logPath = dir.filePath(QStringLiteral("VKERR.LOG"));
    options.createLogFirst = true;
    EXPECT_EQ(db::ErrorReport::report(RuntimeError(0, QString()), 18, std::nullopt, options), 0);
    EXPECT_TRUE(QFile::exists(options.logPath));
    EXPECT_EQ(QFileInfo(options.logPath).size(), 0);
}

} // namespace
