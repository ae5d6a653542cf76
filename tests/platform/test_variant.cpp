#include "platform/Variant.h"

#include <gtest/gtest.h>

using platform::Variant;

TEST(Variant, NullAndEmptyAreDistinct)
{
    const Variant empty;
    const Variant null = Variant::null();
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_FALSE(empty.isNull());
    EXPECT_TRUE(null.isNull());
    EXPECT_FALSE(null.isEmpty());
    EXPECT_FALSE(empty == null);
    EXPECT_EQ(empty.toString(), QString());
    EXPECT_EQ(null.toString(), QString());
}

TEST(Variant, TextUsesRegionalDecimalSeparator)
{
    EXPECT_EQ(Variant(12.5).toString(), QStringLiteral("12,5"));
    EXPECT_EQ(Variant(-3.0).toString(), QStringLiteral("-3"));
    EXPECT_EQ(Variant(1234.5).toString(), QStringLiteral("1234,5"));
    EXPECT_EQ(Variant(0.1 + 0.2).toString(), QStringLiteral("0,3"));
    EXPECT_EQ(Variant(42).toString(), QStringLiteral("42"));
}

TEST(Variant, NumbersFromText)
{
    EXPECT_DOUBLE_EQ(Variant(QStringLiteral("  12,5 kg")).toDouble(), 12.5);
    EXPECT_DOUBLE_EQ(Variant(QStringLiteral("7.25")).toDouble(), 7.25);
    EXPECT_DOUBLE_EQ(Variant(QStringLiteral("abc")).toDouble(), 0.0);
    EXPECT_EQ(Variant(QStringLiteral("-4")).toInt64(), -4);
}

TEST(Variant, DatesReadDayFirst)
{
    struct Case {
        const char *text;
        QDate date;
    } cases[] = {
        {"31/12/2020", QDate(2020, 12, 31)},
        {"01/02/2021", QDate(2021, 2, 1)},
        {"01/02/21 10:30", QDate(2021, 2, 1)},
        {"2021-02-01 00:00:00", QDate(2021, 2, 1)},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Variant(QString::fromLatin1(c.text)).toDateTime().date(), c.date) << c.text;
    EXPECT_EQ(Variant(QDate(2021, 2, 1)).toString(), QStringLiteral("01/02/2021"));
}

TEST(Variant, DateSerialMatchesVb)
{
    const Variant d(QDate(2021, 2, 1));
    EXPECT_DOUBLE_EQ(d.toDouble(), 44228.0);
    EXPECT_EQ(Variant(44228.5).toDateTime(), QDateTime(QDate(2021, 2, 1), QTime(12, 0)));
}
