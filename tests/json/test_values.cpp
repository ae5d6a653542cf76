#include "JsonTestSupport.h"

#include "platform/Collection.h"
#include "platform/Decimal.h"
#include "platform/Dictionary.h"
#include "platform/RuntimeError.h"
#include "platform/ScriptValue.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

Decimal dec(const char *text) { return Decimal::fromText(QString::fromLatin1(text)).value(); }

} // namespace

TEST(Decimal, ReadsTextExactlyOrFailsWithTheRuntimeError)
{
    struct Case {
        const char *text;
        const char *expected; // toString('.'), or the error's description
        int code;             // 0 when read
    } cases[] = {
        {"0", "0", 0},
        {"157.3", "157.3", 0},
        {"-157.30", "-157.3", 0},
        {"+5", "5", 0},
        {".5", "0.5", 0},
        {"5.", "5", 0},
        {"-0", "0", 0},
        {"1e3", "1000", 0},
        {"1.5E-3", "0.0015", 0},
        {"12E+2", "1200", 0},
        {"0.0000000000000000000000000001", "0.0000000000000000000000000001", 0},
        // Past 28 decimal places the digits are rounded half to even.
        {"0.00000000000000000000000000005", "0", 0},
        {"0.00000000000000000000000000015", "0.0000000000000000000000000002", 0},
        {"0.000000000000000000000000000051", "0.0000000000000000000000000001", 0},
        {"1e-99999999999999", "0", 0},
        {"0e99999999999999", "0", 0},
        {"79228162514264337593543950335", "79228162514264337593543950335", 0},
        {"-79228162514264337593543950335", "-79228162514264337593543950335", 0},
        {"7.9228162514264337593543950335", "7.9228162514264337593543950335", 0},
        {"1234567890123456789012345678.95", "1234567890123456789012345679", 0},
        {"1e28", "10000000000000000000000000000", 0},
        {"79228162514264337593543950336", "Overflow", 6},
        {"79228162514264337593543950335.5", "Overflow", 6},
        {"123456789012345678901234567890", "Overflow", 6},
        {"1e29", "Overflow", 6},
        {"", "Type mismatch", 13},
        {"1.2.3", "Type mismatch", 13},
        {"--1", "Type mismatch", 13},
        {"1e", "Type mismatch", 13},
        {"1e+", "Type mismatch", 13},
        {"e5", "Type mismatch", 13},
        {".", "Type mismatch", 13},
        {"+", "Type mismatch", 13},
        {"1-", "Type mismatch", 13},
        {"1,5", "Type mismatch", 13},
        {" 1", "Type mismatch", 13},
    };
    for (const auto &c : cases) {
        const auto r = Decimal::fromText(QString::fromLatin1(c.text));
        if (c.code == 0) {
            ASSERT_TRUE(r.ok()) << c.text;
            EXPECT_EQ(r.value().toString(QLatin1Char('.')), QString::fromLatin1(c.expected)) << c.text;
        } else {
            ASSERT_FALSE(r.ok()) << c.text;
            EXPECT_EQ(r.code(), c.code) << c.text;
            EXPECT_EQ(r.message(), QString::fromLatin1(c.expected)) << c.text;
        }
    }
}

TEST(Decimal, ComparesByValueAndConvertsToDouble)
{
    EXPECT_EQ(dec("1.50"), dec("1.5"));
    EXPECT_EQ(dec("-0.0"), dec("0"));
    EXPECT_FALSE(dec("1") == dec("-1"));
    EXPECT_FALSE(dec("2") == dec("20"));
    EXPECT_EQ(dec("1.50").scale(), 2);
    EXPECT_EQ(dec("157.3").toString(QLatin1Char(',')), QStringLiteral("157,3"));
    EXPECT_DOUBLE_EQ(dec("157.3").toDouble(), 157.3);
    EXPECT_DOUBLE_EQ(dec("-0.0015").toDouble(), -0.0015);
}

TEST(Dictionary, KeepsOrderAndRefusesADuplicateKey)
{
    Dictionary d;
    ASSERT_TRUE(d.Add(QStringLiteral("b"), ScriptValue(QStringLiteral("1"))).ok());
    ASSERT_TRUE(d.Add(QStringLiteral("a"), ScriptValue(true)).ok());
    ASSERT_TRUE(d.Add(QStringLiteral("A"), ScriptValue::null()).ok()); // keys are case-sensitive
    const Status again = d.Add(QStringLiteral("b"), ScriptValue(QStringLiteral("2")));
    EXPECT_FALSE(again.ok());
    EXPECT_EQ(again.code(), 457);
    EXPECT_EQ(again.message(), QStringLiteral("This key is already associated with an element of this collection"));
    EXPECT_EQ(d.Keys(), (QStringList{QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("A")}));
    EXPECT_EQ(d.Item(QStringLiteral("b")), ScriptValue(QStringLiteral("1")));
    EXPECT_TRUE(d.Item(QStringLiteral("missing")).isEmpty());
    EXPECT_FALSE(d.Exists(QStringLiteral("missing")));

    d.setItem(QStringLiteral("a"), ScriptValue(QStringLiteral("x")));
    d.setItem(QStringLiteral("c"), ScriptValue(QStringLiteral("y")));
    EXPECT_EQ(d.Keys(),
              (QStringList{QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("A"), QStringLiteral("c")}));
    EXPECT_EQ(d.itemAt(1), ScriptValue(QStringLiteral("x")));
}

TEST(Dictionary, LargeDictionariesFindEveryKey)
{
    Dictionary d;
    for (int i = 0; i < 200; ++i)
        ASSERT_TRUE(d.Add(QString::number(i), ScriptValue(QString::number(i * 2))).ok());
    for (int i = 0; i < 200; ++i) {
        EXPECT_EQ(d.Item(QString::number(i)), ScriptValue(QString::number(i * 2))) << i;
        EXPECT_FALSE(d.Add(QString::number(i), ScriptValue()).ok()) << i;
    }
    d.setItem(QStringLiteral("5"), ScriptValue(QStringLiteral("five")));
    EXPECT_EQ(d.keyAt(5), QStringLiteral("5"));
    EXPECT_EQ(d.Item(QStringLiteral("5")), ScriptValue(QStringLiteral("five")));
    EXPECT_EQ(d.Count(), 200);
}

TEST(Collection, NumbersItemsFromOne)
{
    Collection c;
    c.Add(ScriptValue(QStringLiteral("first")));
    c.Add(ScriptValue());
    EXPECT_EQ(c.Count(), 2);
    EXPECT_EQ(c.Item(1), ScriptValue(QStringLiteral("first")));
    EXPECT_TRUE(c.Item(2).isEmpty());
    EXPECT_EQ(raisedNumber([&] { c.Item(0); }), 9);
    EXPECT_EQ(raisedNumber([&] { c.Item(3); }), 9);
}

TEST(ScriptValue, TextOfEachKind)
{
    EXPECT_EQ(ScriptValue().toString(), QString());
    EXPECT_EQ(ScriptValue::null().toString(), QString());
    EXPECT_EQ(ScriptValue(true).toString(), QStringLiteral("Verdadero"));
    EXPECT_EQ(ScriptValue(dec("157.3")).toString(), QStringLiteral("157,3")); // regional separator
    EXPECT_DOUBLE_EQ(ScriptValue(dec("157.3")).toDouble(), 157.3);
    EXPECT_FALSE(ScriptValue() == ScriptValue::null());

    const ScriptValue dictionary(std::make_shared<Dictionary>());
    EXPECT_EQ(raisedNumber([&] { dictionary.toString(); }), 13);
    EXPECT_EQ(raisedNumber([&] { ScriptValue(std::make_shared<Collection>()).toDouble(); }), 13);
    // Containers are objects: copies share them, and compare by identity.
    const ScriptValue copy = dictionary;
    EXPECT_EQ(copy, dictionary);
    EXPECT_FALSE(dictionary == ScriptValue(std::make_shared<Dictionary>()));
    EXPECT_EQ(copy.dictionary().get(), dictionary.dictionary().get());
    EXPECT_EQ(copy.collection(), nullptr);
}

TEST(ScriptValue, ReleasesADeepTreeWithoutDeepRecursion)
{
    // A million levels, objects and arrays in turn: releasing level by level on the
    // call stack would overflow it.
    auto root = std::make_shared<Collection>();
    {
        Collection *list = root.get();
        for (int i = 0; i < 500000; ++i) {
            auto object = std::make_shared<Dictionary>();
            auto inner = std::make_shared<Collection>();
            Collection *next = inner.get();
            ASSERT_TRUE(object->Add(QStringLiteral("k"), ScriptValue(std::move(inner))).ok());
            list->Add(ScriptValue(std::move(object)));
            list = next;
        }
    }
    root.reset();
    SUCCEED();
}
