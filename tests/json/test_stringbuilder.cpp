#include "JsonTestSupport.h"

#include "json/cStringBuilder.h"

#include "platform/RuntimeError.h"

#include <QList>

#include <gtest/gtest.h>

#include <functional>

namespace {

QString chars(int count, char c = 'x') { return QString(count, QLatin1Char(c)); }

// Runs f, which must raise `number`, and checks that the buffer did not change.
void expectRefused(cStringBuilder &b, long number, const std::function<void()> &f, const char *what)
{
    const QString before = b.toString();
    const int capacity = b.Capacity();
    EXPECT_EQ(raisedNumber(f), number) << what;
    EXPECT_EQ(b.toString(), before) << what;
    EXPECT_EQ(b.Capacity(), capacity) << what;
}

} // namespace

TEST(StringBuilder, NewBufferIsEmpty)
{
    const cStringBuilder b;
    EXPECT_EQ(b.Length(), 0);
    EXPECT_EQ(b.Capacity(), 0);
    EXPECT_EQ(b.ChunkSize(), 8192);
    EXPECT_TRUE(b.toString().isEmpty());
}

TEST(StringBuilder, GrowsInWholeChunks)
{
    struct Case {
        const char *name;
        QList<int> appends; // lengths appended in turn to a new buffer
        int capacity;
    } cases[] = {
        {"one character", {1}, 8192},
        {"one past a chunk", {8193}, 16384},
        {"exactly one chunk", {8192}, 8192},
        {"exact fill then one more", {8192, 1}, 16384},
        {"several chunks at once", {10, 20000}, 24576},
        {"empty pieces", {0, 0}, 0},
    };
    for (const auto &c : cases) {
        cStringBuilder b;
        int length = 0;
        for (int n : c.appends) {
            b.Append(chars(n, char('a' + length % 26)));
            length += n;
        }
        EXPECT_EQ(b.Capacity(), c.capacity) << c.name;
        EXPECT_EQ(b.Length(), length) << c.name;
    }
}

TEST(StringBuilder, AppendVariantsAndTheString)
{
    cStringBuilder b;
    b.AppendNL(u"uno");
    b.AppendByVal(QStringLiteral("dos"));
    EXPECT_EQ(b.toString(), QStringLiteral("uno\r\ndos"));

    b.TheString(u"abc");
    EXPECT_EQ(b.toString(), QStringLiteral("abc"));
    EXPECT_EQ(b.Capacity(), 8192);
    b.TheString(chars(9000));
    b.TheString(u"z"); // shorter: the capacity stays, the old text stays out of reach
    EXPECT_EQ(b.Length(), 1);
    EXPECT_EQ(b.Capacity(), 16384);
    EXPECT_EQ(b.Find(u"x"), 0);
    b.TheString(u"");
    EXPECT_EQ(b.Capacity(), 0);
    EXPECT_TRUE(b.toString().isEmpty());

    b.ChunkSize(10);
    b.Append(u"abc");
    b.Clear();
    EXPECT_EQ(b.Capacity(), 0);
    EXPECT_EQ(b.ChunkSize(), 10);
}

TEST(StringBuilder, InsertsAtAnyIndexOfTheContent)
{
    struct Case {
        int index;
        const char16_t *text;
        const char *expected;
    } cases[] = {
        {0, u">>", ">>abcdef"},
        {6, u"<<", "abcdef<<"},
        {3, u"-", "abc-def"},
        {2, u"", "abcdef"},
    };
    for (const auto &c : cases) {
        cStringBuilder b;
        b.Append(u"abcdef");
        b.InsertByVal(c.index, QString::fromUtf16(c.text));
        EXPECT_EQ(b.toString(), QString::fromLatin1(c.expected)) << c.index;
    }

    cStringBuilder b;
    b.Append(u"0123456789");
    expectRefused(
        b, 9, [&] { b.Insert(-1, u"x"); }, "before the front");
    expectRefused(
        b, 9, [&] { b.Insert(11, u"x"); }, "past the end");

    // Longer than the spare room plus a chunk: grows by several chunks, keeps every character.
    const QString big = chars(20000, 'y');
    b.Insert(5, big);
    EXPECT_EQ(b.Capacity(), 24576);
    EXPECT_EQ(b.toString(), QStringLiteral("01234") + big + QStringLiteral("56789"));
}

TEST(StringBuilder, RemovesWithinTheContent)
{
    cStringBuilder b;
    b.Append(u"abcdefgh");
    b.Remove(2, 3);
    EXPECT_EQ(b.toString(), QStringLiteral("abfgh"));
    b.Remove(5, 0);
    EXPECT_EQ(b.toString(), QStringLiteral("abfgh"));

    expectRefused(
        b, 9, [&] { b.Remove(-1, 1); }, "negative index");
    expectRefused(
        b, 9, [&] { b.Remove(6, 0); }, "index past the end");
    expectRefused(
        b, 9, [&] { b.Remove(1, 5); }, "one character past the end");
    expectRefused(
        b, 9, [&] { b.Remove(1, -1); }, "negative length");
    expectRefused(
        b, 6, [&] { b.Remove(1, 0x7FFFFFFF); }, "index plus length past 32 bits");

    b.Remove(0, b.Length());
    EXPECT_EQ(b.Length(), 0);
    EXPECT_EQ(b.Capacity(), 8192);
}

TEST(StringBuilder, FindsOnlyWithinTheContent)
{
    cStringBuilder b;
    b.Append(u"abcabcXYZ");
    struct Case {
        const char16_t *find;
        int start;
        int compare;
        int expected;
    } cases[] = {
        {u"abc", 1, 0, 1}, {u"abc", 2, 0, 4}, {u"Z", 1, 0, 9},   {u"abc", 0, 0, 1}, {u"abc", -5, 0, 1},
        {u"xyz", 1, 0, 0}, {u"xyz", 1, 1, 7}, {u"ABC", 5, 1, 0}, {u"c", 10, 0, 0},  {u"zzz", 1, 0, 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(b.Find(QString::fromUtf16(c.find), c.start, c.compare), c.expected)
            << QString::fromUtf16(c.find).toStdString() << " from " << c.start;

    // After a removal the old tail stays in the spare room, where it is never found.
    b.Remove(6, 3);
    EXPECT_EQ(b.Find(u"XYZ"), 0);
    EXPECT_EQ(b.Find(u"cX"), 0);
    EXPECT_EQ(raisedNumber([&] { (void)b.Find(u"a", 1, 2); }), 5);
}

TEST(StringBuilder, HeapMinimizeGivesBackWholeChunks)
{
    cStringBuilder b;
    b.Append(chars(5 * 8192));
    b.Remove(10, b.Length() - 10);
    ASSERT_EQ(b.Capacity(), 5 * 8192);
    b.HeapMinimize();
    EXPECT_EQ(b.Capacity(), 8192);
    EXPECT_EQ(b.toString(), chars(10));

    // Spare room of exactly one chunk: nothing to give back.
    cStringBuilder c;
    c.Append(chars(8193));
    c.Remove(8192, 1);
    ASSERT_EQ(c.Capacity() - c.Length(), 8192);
    c.HeapMinimize();
    EXPECT_EQ(c.Capacity(), 16384);
}

TEST(StringBuilder, ChunkSizeRulesAndOverflow)
{
    cStringBuilder b;
    b.ChunkSize(4);
    b.Append(u"abcdefghi");
    EXPECT_EQ(b.Capacity(), 12);
    // A chunk below one character could never grow the buffer: refused.
    expectRefused(
        b, 5, [&] { b.ChunkSize(0); }, "zero chunk");
    expectRefused(
        b, 5, [&] { b.ChunkSize(-8); }, "negative chunk");
    expectRefused(
        b, 6, [&] { b.ChunkSize(0x40000000); }, "chunk past 32 bits");
    EXPECT_EQ(b.ChunkSize(), 4);

    // A capacity plus one chunk past the 32-bit range is refused before anything changes.
    cStringBuilder c;
    c.Append(chars(8192));
    c.ChunkSize(0x3FFFFFFF);
    expectRefused(
        c, 6, [&] { c.Append(u"x"); }, "growth past 32 bits");
    expectRefused(
        c, 6, [&] { c.Insert(0, u"x"); }, "insert growth past 32 bits");
}
