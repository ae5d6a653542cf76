#include "JsonTestSupport.h"

#include "json/JSON.h"
#include "json/JsonReader.h"

#include "platform/Collection.h"
#include "platform/Decimal.h"
#include "platform/Dictionary.h"
#include "platform/RuntimeError.h"

#include <QLocale>

#include <gtest/gtest.h>

using platform::ScriptValue;

namespace {

QString u8(const char *text) { return QString::fromUtf8(text); }

struct ReadCase {
    const char *name;
    const char *text;
    const char *tree;   // treeText of the result
    const char *errors; // the exact error text
};

void expectReads(const ReadCase &c)
{
    const ScriptValue root = JSON::Analizar(u8(c.text));
    EXPECT_EQ(treeText(root), u8(c.tree)) << c.name;
    EXPECT_EQ(JSON::ErroresParser(), u8(c.errors)) << c.name;
}

const char *const kDuplicate = "This key is already associated with an element of this collection";

} // namespace

TEST(JsonReader, ReadsTheLenientDialect)
{
    const ReadCase cases[] = {
        {"plain object", R"({"a": "x", "b": 1.5, "c": true, "d": false, "e": null})",
         R"({a:"x",b:1.5,c:true,d:false,e:null})", ""},
        {"plain array", "[1, -2.50, 3e2, \"t\"]", R"([1,-2.5,300,"t"])", ""},
        {"empty containers", " ( [ {}, [] ] ) ", "[{},[]]", ""},
        {"parentheses and single quotes", "({'a':'x'})", R"({a:"x"})", ""},
        {"key without quotes", "{codigo: 1}", "{codigo:1}", ""},
        {"blanks dropped from keys", "{\"a b\":1, my\tkey :2}", "{ab:1,mykey:2}", ""},
        {"colon inside a quoted key", R"({"a:b":1})", "{a:b:1}", ""},
        {"comments", "/* head\n still */ {\"a\":1, // to the line end\n \"b\":2}", "{a:1,b:2}", ""},
        {"lone slash is a blank", "/ {\"a\":1}", "{a:1}", ""},
        {"lone star is a blank", "*{\"a\":1}", "{a:1}", ""},
        {"slash, blank, star opens a comment", "/ * {\"a\":1}", "none", "Invalid JSON"},
        {"star then any character then slash ends a long comment", "/* a *x/ {\"a\":1}", "{a:1}", ""},
        {"a slash inside a line comment ends it", "// x / {\"a\":1}", "{a:1}", ""},
        {"missing commas", R"({"a":1 "b":[1 2 3]})", "{a:1,b:[1,2,3]}", ""},
        {"text after the root is ignored", "[1] xyz", "[1]", ""},
        {"quote of the other kind inside a string", R"(['say "hi"', "it's"])", R"(["say "hi"","it's"])", ""},
    };
    for (const auto &c : cases)
        expectReads(c);
}

TEST(JsonReader, ReadsStringEscapes)
{
    const ReadCase cases[] = {
        {"unicode escape", R"(["\u00e9"])", "[\"\xc3\xa9\"]", ""},
        {"unknown escape keeps the letter", R"(["\x\N"])", R"(["xN"])", ""},
        {"escaped characters", R"(["\"\\\/\'"])", R"([""\/'"])", ""},
        {"hex reading stops at a non-digit", R"(["\u004a1", "\u4Z  "])", "[\"J1\",\"\x04\"]", ""},
        {"short escape at the end of the text", R"(["\u41)", "[\"A\"]", "Missing ']': [\"\\u41\r\n"},
        {"unterminated string", R"(["abc)", R"(["abc"])", "Missing ']': [\"abc\r\n"},
    };
    for (const auto &c : cases)
        expectReads(c);

    const ScriptValue root = JSON::Analizar(u8(R"(["\b\f\n\r\t", "\u0041\uzzzzB"])"));
    ASSERT_TRUE(root.collection());
    EXPECT_EQ(root.collection()->Item(1).toString(), QStringLiteral("\b\f\n\r\t"));
    EXPECT_EQ(root.collection()->Item(2).toString(), QString::fromUtf16(u"A\0B", 3));
}

TEST(JsonReader, ReportsEveryFaultWithItsExactText)
{
    const ReadCase cases[] = {
        {"empty text", "", "none", "Invalid JSON"},
        {"letter first", "  abc", "none", "Invalid JSON"},
        {"duplicate key", R"({"a":1,"a":2,"b":3})", "{a:1}", "%D: a\r\n"},
        {"duplicate key in a nested object", R"({"o":{"a":1,"a":2},"z":3})", "{o:{a:1}}", "%D: a\r\n%D: o\r\n"},
        {"trailing comma in an object", R"({"a":1,})", "{a:1,}:empty}", "Missing '}': {\"a\":1,}\r\n"},
        {"number running to the end", "[1", "[empty]", "Missing ']': [1\r\n"},
        {"trailing comma in an array", "[1,]", "[1]", "Type mismatch: ]\r\n"},
        {"array failure quotes 20 characters", "[1,]abcdefghijklmnopqrstuvwxyz", "[1]",
         "Type mismatch: ]abcdefghijklmnopqrs\r\n"},
        {"missing bracket quotes the last 20 characters", "[\"abcdefghijklmnopqrstuvwxyz\"",
         "[\"abcdefghijklmnopqrstuvwxyz\"]", "Missing ']': hijklmnopqrstuvwxyz\"\r\n"},
        {"failure carried outwards", "[[1,x]]", "[[1]]", "Type mismatch: x]]\r\nType mismatch: x]]\r\n"},
        {"unconvertible number", R"({"v": 1.2.3, "w": 2})", "{}", "Type mismatch: v\r\n"},
        {"signs twice", R"({"v": --1})", "{}", "Type mismatch: v\r\n"},
        {"exponent without digits", R"({"v": 1e})", "{}", "Type mismatch: v\r\n"},
        {"number beyond 96 bits", R"({"v": 1e40})", "{}", "Overflow: v\r\n"},
        {"invalid key", R"({"a" 1})", "{a:1}", "Invalid Key at position 6 : a\r\n"},
        {"invalid Boolean in an object", R"({"a":tru})", "{a:false,tru}:empty}",
         "Invalid Boolean at position 6 : tru}\r\nMissing '}': {\"a\":tru}\r\n"},
        {"invalid null in an object", R"({"a":nul,"b":1})", "{a:empty,nul,b:1}",
         "Invalid null value at position 6 : nul,\"b\":1}\r\n"},
        // An invalid literal does not move the position: the array ends there.
        {"invalid null in an array", "[1,nul,2]", "[1,empty]", "Invalid null value at position 4 : nul,2]\r\n"},
        {"invalid Boolean in nested arrays", "[[fals],3]", "[[false],false]",
         "Invalid Boolean at position 3 : fals],3]\r\nInvalid Boolean at position 3 : fals],3]\r\n"},
        {"unterminated nesting", R"({"a":[1,2)", "{a:[1,empty]}",
         "Missing ']': {\"a\":[1,2\r\nMissing '}': {\"a\":[1,2\r\n"},
        {"number at the end of an object", R"({"a":12)", "{a:empty}", "Missing '}': {\"a\":12\r\n"},
        // Cut off after a comma: the item that never came reads Empty, and the list says so.
        {"cut after a comma", "[1,", "[1,empty]", "Missing ']': [1,\r\n"},
        {"cut after a text and a comma", R"(["a",)", R"(["a",empty])", "Missing ']': [\"a\",\r\n"},
        {"cut after an object and a comma", R"([{"a":1},)", "[{a:1},empty]", "Missing ']': [{\"a\":1},\r\n"},
        {"cut after a comma inside an object", R"({"a":[1,)", "{a:[1,empty]}",
         "Missing ']': {\"a\":[1,\r\nMissing '}': {\"a\":[1,\r\n"},
        {"cut after a comma and blanks", "[1, /* more */ ", "[1,empty]", "Missing ']': [1, /* more */ \r\n"},
    };
    for (const auto &c : cases) {
        ReadCase withText = c;
        const std::string errors = QString::fromUtf8(c.errors).replace(u8("%D"), u8(kDuplicate)).toStdString();
        withText.errors = errors.c_str();
        expectReads(withText);
    }
}

// The reader ignores what follows its root; a caller that wants one document alone asks.
TEST(JsonReader, TellsWhatFollowsTheRoot)
{
    const struct {
        const char *text;
        const char *trailing;
    } cases[] = {
        {"[1] xyz", "xyz"}, {"{\"a\":1} // end\n /* note */ \r\n", ""}, {"{\"a\":1}}", "}"},
        {"[1,", ""},        {"{\"a\":1} {\"b\":2}", "{\"b\":2}"},
    };
    for (const auto &c : cases) {
        (void)JSON::Analizar(u8(c.text));
        EXPECT_EQ(JSON::TrailingText(), u8(c.trailing)) << c.text;
    }
}

TEST(JsonReader, EachReadStartsWithAnEmptyErrorText)
{
    (void)JSON::Analizar(QStringLiteral("nothing"));
    ASSERT_EQ(JSON::ErroresParser(), QStringLiteral("Invalid JSON"));
    const ScriptValue root = JSON::Analizar(QStringLiteral("{\"a\":1}"));
    EXPECT_TRUE(JSON::ErroresParser().isEmpty());
    EXPECT_TRUE(root.dictionary());
}

TEST(JsonReader, NumbersUseThePointWhateverTheLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina));
    const ScriptValue root = JSON::Analizar(QStringLiteral("{\"precio\": 157.3, \"n\": -0.25e1}"));
    QLocale::setDefault(previous);
    ASSERT_TRUE(root.dictionary());
    EXPECT_EQ(root.dictionary()->Item(QStringLiteral("precio")),
              ScriptValue(platform::Decimal::fromText(u"157.3").value()));
    EXPECT_EQ(root.dictionary()->Item(QStringLiteral("n")), ScriptValue(platform::Decimal::fromText(u"-2.5").value()));
}

TEST(JsonReader, DeepNestingEndsWithoutExhaustingTheStack)
{
    const int depth = 100000;
    struct Case {
        QString text;
        int depth;
        qsizetype errorLines;
    } cases[] = {
        {QString(depth, QLatin1Char('[')), depth, depth},
        {QString(depth, QLatin1Char('[')) + QString(depth, QLatin1Char(']')), depth, 0},
        {QStringLiteral("{\"a\":").repeated(depth), depth, depth},
    };
    for (const auto &c : cases) {
        const ScriptValue root = JSON::Analizar(c.text);
        EXPECT_EQ(nestingDepth(root), c.depth);
        EXPECT_EQ(JSON::ErroresParser().count(QStringLiteral("\r\n")), c.errorLines);
    }
    EXPECT_TRUE(JSON::ErroresParser().startsWith(QStringLiteral("Missing '}': {\"a\":{\"a\":{\"a\":{\"a\":\r\n")));
}

TEST(JsonReader, ErrorTextStaysBoundedForLongMalformedTexts)
{
    // Every member's invalid literal quotes the rest of the text: without a bound the
    // error text would grow with the square of the text's length.
    QString text = QStringLiteral("{");
    for (int i = 0; i < 6000; ++i)
        text += QStringLiteral("\"a%1\":tru,").arg(i);
    text += QLatin1Char('}');
    const ScriptValue root = JSON::Analizar(text);
    ASSERT_TRUE(root.dictionary());
    EXPECT_EQ(root.dictionary()->Count(), 6001);
    const QString errors = JSON::ErroresParser();
    EXPECT_LE(errors.size(), JsonReader::ErrorTextLimit);
    EXPECT_GT(errors.size(), JsonReader::ErrorTextLimit - text.size() - 100);
    EXPECT_TRUE(errors.startsWith(QStringLiteral("Invalid Boolean at position 7 : tru,\"a1\":tru,")));
}

TEST(JsonReader, AFailureNoReaderHandlesStillLeavesAnErrorText)
{
    const ScriptValue overflow = JSON::detail::guardedRead([](QString &errors) -> ScriptValue {
        errors += QStringLiteral("earlier\r\n");
        throw platform::RuntimeError(6, QStringLiteral("Overflow"));
    });
    EXPECT_TRUE(overflow.isEmpty());
    EXPECT_EQ(JSON::ErroresParser(), QStringLiteral("earlier\r\nOverflow\r\n"));

    const ScriptValue memory = JSON::detail::guardedRead([](QString &) -> ScriptValue { throw std::bad_alloc(); });
    EXPECT_TRUE(memory.isEmpty());
    EXPECT_EQ(JSON::ErroresParser(), QStringLiteral("Out of memory\r\n"));
}
