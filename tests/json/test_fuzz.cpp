#include "JsonTestSupport.h"

#include "json/JSON.h"
#include "json/JsonReader.h"
#include "json/cStringBuilder.h"

#include "platform/RuntimeError.h"

#include <QElapsedTimer>
#include <QList>
#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

#include <random>

namespace {

// Writes random trees in the lenient dialect (both quote kinds, bare keys, comments,
// parentheses, optional commas) and gives the tree text the reader must return.
class Writer {
public:
    explicit Writer(unsigned seed) : m_random(seed) {}

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }
    bool chance(int percent) { return pick(100) < percent; }
    std::mt19937 &random() { return m_random; }

    // One document: an object or an array at the root.
    void document(QString &text, QString &tree)
    {
        blanks(text);
        if (chance(50))
            object(text, tree, 0);
        else
            array(text, tree, 0);
        blanks(text);
    }

private:
    void blanks(QString &text)
    {
        switch (pick(8)) {
        case 0:
            text += QStringLiteral(" /* note */ ");
            break;
        case 1:
            text += QStringLiteral(" // line note\n");
            break;
        case 2:
            text += QStringLiteral("\r\n\t( ");
            break;
        case 3:
            text += QLatin1Char(' ');
            break;
        default:
            break;
        }
    }

    void separator(QString &text, bool last)
    {
        blanks(text);
        if (!last)
            text += chance(80) ? QStringLiteral(",") : QStringLiteral(" ");
        blanks(text);
    }

    void value(QString &text, QString &tree, int depth)
    {
        const int kind = depth >= 5 ? 2 + pick(4) : pick(6);
        switch (kind) {
        case 0:
            object(text, tree, depth + 1);
            break;
        case 1:
            array(text, tree, depth + 1);
            break;
        case 2:
            string(text, tree);
            break;
        case 3:
            number(text, tree);
            break;
        default: {
            static const char *const literals[] = {"true", "false", "null"};
            const QString literal = QString::fromLatin1(literals[pick(3)]);
            text += literal;
            tree += literal;
        }
        }
    }

    void object(QString &text, QString &tree, int depth)
    {
        text += QLatin1Char('{');
        tree += QLatin1Char('{');
        const int count = pick(5);
        for (int i = 0; i < count; ++i) {
            blanks(text);
            const QString name = QStringLiteral("k%1%2").arg(i).arg(QChar(u'a' + pick(26)));
            switch (pick(3)) {
            case 0:
                text += QLatin1Char('"') + name + QLatin1Char('"');
                blanks(text);
                break;
            case 1:
                text += QLatin1Char('\'') + name + QStringLiteral("' ");
                break;
            default:
                text += name + QStringLiteral(" \t");
            }
            text += QLatin1Char(':');
            blanks(text);
            tree += (i ? QStringLiteral(",") : QString()) + name + QLatin1Char(':');
            value(text, tree, depth);
            separator(text, i == count - 1);
        }
        text += QLatin1Char('}');
        tree += QLatin1Char('}');
    }

    void array(QString &text, QString &tree, int depth)
    {
        text += QLatin1Char('[');
        tree += QLatin1Char('[');
        const int count = pick(5);
        for (int i = 0; i < count; ++i) {
            blanks(text);
            if (i)
                tree += QLatin1Char(',');
            value(text, tree, depth);
            separator(text, i == count - 1);
        }
        text += QLatin1Char(']');
        tree += QLatin1Char(']');
    }

    void string(QString &text, QString &tree)
    {
        const QChar quote = chance(50) ? QLatin1Char('"') : QLatin1Char('\'');
        text += quote;
        tree += QLatin1Char('"');
        const int length = pick(12);
        for (int i = 0; i < length; ++i) {
            static const char16_t pool[] = u"aZ9 ñ€\"'\\/\n\t{}[]:,";
            const QChar c(pool[pick(int(std::size(pool)) - 1)]);
            if (c == quote || c == QLatin1Char('\\'))
                text += QLatin1Char('\\') + c;
            else if (c == QLatin1Char('\n'))
                text += QStringLiteral("\\n");
            else if (c == u'€' && chance(50))
                text += QStringLiteral("\\u20AC");
            else
                text += c;
            tree += c;
        }
        text += quote;
        tree += QLatin1Char('"');
    }

    // An exact value m / 10^s written in one of several equal forms.
    void number(QString &text, QString &tree)
    {
        const qint64 m = std::uniform_int_distribution<qint64>(-1'000'000'000'000, 1'000'000'000'000)(m_random);
        const int s = pick(7);
        const QString digits = QString::number(m < 0 ? -m : m);
        QString plain = digits.rightJustified(s + 1, QLatin1Char('0'));
        if (s)
            plain.insert(plain.size() - s, QLatin1Char('.'));
        const QString sign = m < 0 ? QStringLiteral("-") : (chance(20) ? QStringLiteral("+") : QString());
        switch (pick(3)) {
        case 0:
            text += sign + plain;
            break;
        case 1:
            text += sign + plain + (s ? QStringLiteral("000") : QStringLiteral(".000"));
            break;
        default:
            text += sign + digits + (chance(50) ? QStringLiteral("e-") : QStringLiteral("E-")) + QString::number(s);
        }
        // The canonical text: no trailing zeros, no sign on zero.
        QString canonical = plain;
        if (s) {
            while (canonical.endsWith(QLatin1Char('0')))
                canonical.chop(1);
            if (canonical.endsWith(QLatin1Char('.')))
                canonical.chop(1);
        }
        tree += (m < 0 ? QStringLiteral("-") : QString()) + canonical;
    }

    std::mt19937 m_random;
};

QString mutated(Writer &w, QString text)
{
    static const char16_t pool[] = u"{}[]\"':,/*()\\ntfu0123456789.eE-+ \r\n";
    const int edits = 1 + w.pick(4);
    for (int e = 0; e < edits && !text.isEmpty(); ++e) {
        const int at = w.pick(int(text.size()));
        switch (w.pick(4)) {
        case 0:
            text.remove(at, 1 + w.pick(3));
            break;
        case 1:
            text.insert(at, QChar(pool[w.pick(int(std::size(pool)) - 1)]));
            break;
        case 2:
            text.insert(at, text.mid(w.pick(int(text.size())), 1 + w.pick(8)));
            break;
        default:
            text.truncate(at);
        }
    }
    return text;
}

QString randomText(Writer &w)
{
    static const char16_t pool[] = u"{}[]\"':,/*()\\ntrufalse0123456789.eE-+ \r\n\tx";
    QString text;
    const int length = w.pick(200);
    for (int i = 0; i < length; ++i)
        text += QChar(pool[w.pick(int(std::size(pool)) - 1)]);
    return text;
}

// Whatever the text, a read returns, a missing object always comes with an error
// text, the lines end as they should, and a second read gives the same answer.
void expectSoundRead(const QString &text)
{
    const platform::ScriptValue root = JSON::Analizar(text);
    const QString errors = JSON::ErroresParser();
    const QString tree = treeText(root);
    const std::string shown = text.left(300).toStdString();
    if (root.isEmpty()) {
        EXPECT_FALSE(errors.isEmpty()) << shown;
    } else {
        EXPECT_TRUE(root.isObject()) << shown;
        EXPECT_TRUE(errors.isEmpty() || errors.endsWith(QStringLiteral("\r\n"))) << shown;
    }
    if (errors == QStringLiteral("Invalid JSON")) {
        EXPECT_TRUE(root.isEmpty()) << shown;
    }
    EXPECT_LE(errors.size(), JsonReader::ErrorTextLimit);
    const platform::ScriptValue again = JSON::Analizar(text);
    EXPECT_EQ(treeText(again), tree) << shown;
    EXPECT_EQ(JSON::ErroresParser(), errors) << shown;
}

// Where a written document may be cut: after each character up to its last bracket (the
// root's end), with the containers open there, innermost last, and whether the cut falls
// right after a comma between members. Strings are skipped (their brackets and commas are
// text); comments and bare keys hold none.
struct Cut {
    qsizetype length = 0;
    QString open; // "{" and "[" of the containers still open
    bool afterComma = false;
};

QList<Cut> cutsOf(const QString &text)
{
    QList<Cut> cuts;
    const qsizetype end = text.lastIndexOf(QRegularExpression(QStringLiteral("[\\]}]")));
    QString open;
    QChar quote;
    for (qsizetype i = 0; i < end; ++i) {
        const QChar c = text[i];
        if (!quote.isNull()) {
            if (c == QLatin1Char('\\'))
                ++i;
            else if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char('{') || c == QLatin1Char('[')) {
            open += c;
        } else if (c == QLatin1Char('}') || c == QLatin1Char(']')) {
            open.chop(1);
        }
        if (!open.isEmpty())
            cuts << Cut{i + 1, open, quote.isNull() && c == QLatin1Char(',')};
    }
    return cuts;
}

// The lines a text cut right after a comma must give: "Missing" for every container left
// open, the innermost first, each quoting the last 20 characters of the text.
QString missingLines(const QString &cut, const QString &open)
{
    QString lines;
    for (qsizetype i = open.size() - 1; i >= 0; --i)
        lines += QStringLiteral("Missing '%1': ").arg(open[i] == QLatin1Char('{') ? QChar(u'}') : QChar(u']'))
            + cut.right(20) + QStringLiteral("\r\n");
    return lines;
}

} // namespace

TEST(JsonFuzz, WrittenDocumentsReadBackExactly)
{
    Writer w(20240611);
    for (int i = 0; i < 1500; ++i) {
        QString text, tree;
        w.document(text, tree);
        const platform::ScriptValue root = JSON::Analizar(text);
        ASSERT_EQ(JSON::ErroresParser(), QString()) << text.toStdString();
        ASSERT_EQ(treeText(root), tree) << text.toStdString();
    }
}

TEST(JsonFuzz, MutatedAndRandomTextsAlwaysReturn)
{
    Writer w(77);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 3000; ++i) {
        QString text, tree;
        w.document(text, tree);
        expectSoundRead(mutated(w, text));
    }
    for (int i = 0; i < 1500; ++i)
        expectSoundRead(randomText(w));
    EXPECT_LT(clock.elapsed(), 60000);
}

// A document cut off anywhere before its end is never read in silence; cut right after a
// comma, every container left open says it is missing its end.
TEST(JsonFuzz, TruncatedDocumentsAlwaysReportWhatIsMissing)
{
    Writer w(4242);
    int afterComma = 0;
    for (int i = 0; i < 500; ++i) {
        QString text, tree;
        w.document(text, tree);
        for (const Cut &cut : cutsOf(text)) {
            const QString cutText = text.left(cut.length);
            const platform::ScriptValue root = JSON::Analizar(cutText);
            const QString errors = JSON::ErroresParser();
            const std::string shown = cutText.toStdString();
            ASSERT_TRUE(root.isObject()) << shown;
            ASSERT_FALSE(errors.isEmpty()) << shown;
            if (cut.afterComma) {
                ++afterComma;
                ASSERT_EQ(errors, missingLines(cutText, cut.open)) << shown;
            }
        }
    }
    EXPECT_GT(afterComma, 500); // the oracle's strict part did run
}

TEST(StringBuilderFuzz, MatchesAPlainTextUnderRandomEdits)
{
    Writer w(5);
    cStringBuilder b;
    b.ChunkSize(7);
    QString model;
    for (int i = 0; i < 20000; ++i) {
        const QString piece = QString(w.pick(12), QChar(u'a' + w.pick(3)));
        const int at = w.pick(int(model.size()) + 3) - 1; // sometimes outside the content
        const int length = w.pick(10) - 1;
        try {
            switch (w.pick(5)) {
            case 0:
            case 1:
                b.Append(piece);
                model += piece;
                break;
            case 2:
                b.Insert(at, piece);
                model.insert(at, piece);
                break;
            case 3:
                b.Remove(at, length);
                model.remove(at, length);
                break;
            default: {
                const int found = int(model.indexOf(piece, std::max(at, 1) - 1)) + 1;
                ASSERT_EQ(b.Find(piece, at), found);
            }
            }
        } catch (const platform::RuntimeError &e) {
            ASSERT_EQ(e.Number(), 9);
            ASSERT_TRUE(at < 0 || at > model.size() || length < 0 || at + length > model.size());
        }
        ASSERT_EQ(b.toString(), model);
        ASSERT_GE(b.Capacity(), b.Length());
        ASSERT_EQ(b.Capacity() % 7, 0);
        if (i % 1000 == 999) {
            b.HeapMinimize();
            ASSERT_LE(b.Capacity() - b.Length(), 7);
            ASSERT_EQ(b.toString(), model);
        }
    }
}
