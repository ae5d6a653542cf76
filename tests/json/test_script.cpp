#include "JsonTestSupport.h"

#include "json/cJSONScript.h"

#include "platform/RuntimeError.h"
#include "platform/Variant.h"
#include "platform/ui/Operator.h"

#include <gtest/gtest.h>

#include <functional>

using namespace platform;

namespace {

QString u8(const char *text) { return QString::fromUtf8(text); }

// Every test answers the operator from a script; an unexpected question fails it.
class ScriptTest : public ::testing::Test {
protected:
    ScriptTest()
        : m_operator(std::make_shared<ScriptedOperator>([](const QString &m) { ADD_FAILURE() << m.toStdString(); })),
          m_scope(m_operator)
    {}
    ~ScriptTest() override { EXPECT_EQ(m_operator->pending(), 0); }

    QString nested(int levels, const char *inner)
    {
        return QStringLiteral("[") + QString(levels, QLatin1Char('[')) + u8(inner) + QString(levels, QLatin1Char(']'))
            + QStringLiteral("]");
    }

    std::shared_ptr<ScriptedOperator> m_operator;
    ScopedOperator m_scope;
    cJSONScript m_script;
};

} // namespace

TEST_F(ScriptTest, OutputsTextsValuesAndCommands)
{
    struct Case {
        const char *script;
        const char *output;
    } cases[] = {
        {R"(["abc", {"return": "x"}, null])", "abcxnull"},
        {R"([true, false, [1.5, "-", 157.30], {}])", "truefalse1.5-157.3"},
        {R"([{"campo": {"a": "uno", "b": "dos"}}])", "<%CAMPO(uno,dos)%>"},
        {R"([{"Fecha": "hoy"}, {"lista": [1, 2]}])", "<%FECHA(hoy)%><%LISTA()%>"},
        {R"([{"RETURN": "x", "Return": "y"}])", "xy"},
        {R"([{"set": {"name": "v", "value": ["ho", "la"]}}, {"get": {"name": "v", "default": "no"}}])", "hola"},
        {R"([{"get": {"name": "nunca", "default": ["por ", "defecto"]}}])", "por defecto"},
        {R"([{"switch": {"default": "d", "case": "B", "items": [{"case": "a", "return": "1"}, {"case": "b", "return": "2"}]}}])",
         "2"},
        {R"([{"switch": {"default": "d", "case": "z", "items": [{"case": "a", "return": "1"}]}}])", "d"},
        {R"({"return": "root ", "b": "y"})", "root <%B(y)%>"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(m_script.Eval(u8(c.script)), u8(c.output)) << c.script;
}

TEST_F(ScriptTest, ComparesByType)
{
    struct Case {
        const char *value1;
        const char *value2;
        const char *type;
        bool holds;
    } cases[] = {
        {"ABC", "abc", "eq", true}, {"abc", "abd", "EQ", false}, {"10", "9", "gt", false},
        {"10", "9", "lt", true},    {"b", "b", "gte", true},     {"a", "b", "gte", false},
        {"b", "b", "lte", true},    {"B", "a", "lt", true},      {"a", "a", "ne", false},
    };
    for (const auto &c : cases) {
        const QString script =
            QStringLiteral(R"([{"if": {"value1": "%1", "value2": "%2", "type": "%3", "true": "T", "false": "F"}}])")
                .arg(u8(c.value1), u8(c.value2), u8(c.type));
        EXPECT_EQ(m_script.Eval(script), c.holds ? QStringLiteral("T") : QStringLiteral("F")) << script.toStdString();
    }
}

TEST_F(ScriptTest, NumbersUseAPointWhateverTheRegionalSeparator)
{
    ASSERT_EQ(regional().decimalSeparator, QLatin1Char(','));
    EXPECT_EQ(m_script.Eval(QStringLiteral("[157.3, -0.5, 2]")), QStringLiteral("157.3-0.52"));
}

TEST_F(ScriptTest, VariablesLastAsLongAsTheInstance)
{
    EXPECT_EQ(m_script.Eval(QStringLiteral(R"([{"set": {"name": "n", "value": 7}}])")), QString());
    EXPECT_EQ(m_script.Eval(QStringLiteral(R"([{"get": {"name": "n"}}])")), QStringLiteral("7"));
    cJSONScript other;
    EXPECT_EQ(other.Eval(QStringLiteral(R"([{"get": {"name": "n", "default": "-"}}])")), QStringLiteral("-"));
}

TEST_F(ScriptTest, AsksTheOperator)
{
    m_operator->expect(QStringLiteral("Hola"), vbOK);
    m_operator->expect(QStringLiteral("Nombre"), vbOK, QStringLiteral("Ana"));
    const QString output = m_script.Eval(QStringLiteral(
        R"([{"alert": {"message": "Hola", "title": "Aviso"}}, {"input": {"prompt": "Nombre", "title": "T", "default": "x"}}, "!"])"));
    EXPECT_EQ(output, QStringLiteral("Ana!"));
    ASSERT_EQ(m_operator->asked().size(), 2);
    EXPECT_EQ(m_operator->asked()[0].title, QStringLiteral("Aviso"));
    EXPECT_EQ(m_operator->asked()[0].style, vbInformation);
    EXPECT_EQ(m_operator->asked()[1].kind, Question::Kind::InputBox);
    EXPECT_EQ(m_operator->asked()[1].title, QStringLiteral("T"));
    EXPECT_EQ(m_operator->asked()[1].defaultText, QStringLiteral("x"));
}

TEST_F(ScriptTest, ParserErrorsAreShownAndNothingRuns)
{
    struct Case {
        const char *script;
        const char *message;
    } cases[] = {
        {R"([{"alert": {"message": "no"}}, 1,])", "Type mismatch: ]\r\n"},
        {"nada", "Invalid JSON"},
        // a script cut off after a comma never runs its first half
        {R"([{"alert": {"message": "no"}},)", "Missing ']':  {\"message\": \"no\"}},\r\n"},
    };
    for (const auto &c : cases) {
        m_operator->expect(QString(), vbOK);
        EXPECT_EQ(m_script.Eval(u8(c.script)), QString());
        ASSERT_FALSE(m_operator->asked().isEmpty());
        const Question &shown = m_operator->asked().back();
        EXPECT_EQ(shown.text, u8(c.message));
        EXPECT_EQ(shown.title, QStringLiteral("Parser Error"));
        EXPECT_EQ(shown.style, vbExclamation);
    }
}

TEST_F(ScriptTest, NestingLimit)
{
    EXPECT_EQ(m_script.Eval(nested(40, "\"x\"")), QStringLiteral("x"));
    EXPECT_EQ(m_script.Eval(nested(41, "\"x\"")), QStringLiteral("ERROR: Nesting level exceeded."));
    EXPECT_EQ(m_script.Eval(nested(41, "\"x\", [\"y\"]")),
              QStringLiteral("ERROR: Nesting level exceeded.").repeated(2));
}

TEST_F(ScriptTest, UnfitValuesRaiseAndLeaveTheDepthAsItWas)
{
    struct Case {
        const char *script;
        long number;
    } cases[] = {
        {R"([{"alert": 5}])", 424},
        {R"([{"otro": null}])", 424},
        {R"([{"alert": "texto"}])", 91},
        {R"([{"get": ["x"]}])", 5},
        {R"([{"campo": {"a": {"b": "1"}}}])", 13},
        {R"([{"switch": {"case": "a", "items": "x"}}])", 424},
        {R"([{"switch": {"case": "a", "items": ["x"]}}])", 424},
    };
    for (const auto &c : cases) {
        // Raised from deep inside: the depth must come back to 0 all the same.
        EXPECT_EQ(raisedNumber([&] { m_script.Eval(nested(30, c.script)); }), c.number) << c.script;
        EXPECT_EQ(m_script.Eval(nested(40, "\"x\"")), QStringLiteral("x")) << c.script;
    }
}
