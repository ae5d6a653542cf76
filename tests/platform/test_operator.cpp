#include "platform/Logger.h"
#include "platform/ui/Operator.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(Operator, UnattendedTakesTheSafeAnswerAndLogsIt)
{
    ScopedOperator scope(std::make_shared<UnattendedOperator>());
    QStringList logged;
    const int token = logger().addSink([&](Logger::Level, const QString &m) { logged << m; });
    struct Case {
        int style;
        int answer;
    } cases[] = {{vbOKOnly, vbOK},
                 {vbAbortRetryIgnore | vbCritical, vbAbort},
                 {vbYesNo | vbQuestion, vbNo},
                 {vbYesNoCancel, vbCancel},
                 {vbRetryCancel, vbCancel},
                 {vbOKCancel, vbCancel}};
    for (const auto &c : cases)
        EXPECT_EQ(msgBox(QStringLiteral("pregunta"), c.style, QStringLiteral("Aviso")), c.answer) << c.style;
    logger().removeSink(token);
    ASSERT_EQ(logged.size(), 6);
    EXPECT_TRUE(logged[1].contains(QStringLiteral("pregunta")));
    EXPECT_TRUE(logged[1].contains(QStringLiteral("Abortar")));
}

TEST(Operator, ScriptedAnswersInOrderAndFlagsSurprises)
{
    QStringList failures;
    auto script = std::make_shared<ScriptedOperator>([&](const QString &m) { failures << m; });
    script->expect(QStringLiteral("Desea"), vbYes);
    script->expect(QString(), vbOK, QStringLiteral("secreto"));
    ScopedOperator scope(script);
    EXPECT_EQ(msgBox(QStringLiteral("¿Desea seguir?"), vbYesNo), vbYes);
    EXPECT_EQ(inputBox(QStringLiteral("ingrese el password:")), QStringLiteral("secreto"));
    EXPECT_TRUE(failures.isEmpty());
    EXPECT_EQ(msgBox(QStringLiteral("otra")), vbCancel);
    EXPECT_EQ(failures.size(), 1);
}
