// json_bench: the JSON reader and the text buffer against their plain baselines.
//
// Reader: a document of about 50 MB (an array of article objects as the master-article
// web service returns them, some deeply nested lists and some long strings with
// escapes) read by JSON::Analizar and, in the same run, by Qt's QJsonDocument::fromJson
// on the same text. The reader keeps decimals exact and reads a lenient dialect, so it
// may be slower, but at most 3 times. MB are bytes of the UTF-8 text.
//
// Text buffer: 10 million small appends to a cStringBuilder against the same appends to
// a std::u16string; at most twice the time.
//
// Each figure is the best of five rounds. The allocator is told to keep the memory it
// is given back, so that rounds after the first measure the work, not the page faults
// of fresh memory (which on a busy machine swamp both sides). The program prints its
// bounds and exits non-zero when a figure misses one.
//
//     json_bench [MB]        (MB defaults to 50)

#include "json/JSON.h"
#include "json/cStringBuilder.h"

#include "platform/Collection.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

constexpr int kRounds = 5;
constexpr double kReaderBound = 3.0;
constexpr double kBufferBound = 2.0;
constexpr int kAppends = 10'000'000;

QString article(int i)
{
    return QStringLiteral(
               "{\"codigo\": \"779%1\", \"descripcion\": \"GALLETITAS DULCES CON CHIPS X %2 GR \\\"ORIGINAL\\\"\", "
               "\"descRubro\": \"ALMACEN\", \"descMarca\": \"MARCA %3\", \"descUnidad\": \"UNIDAD\", "
               "\"precio\": %4, \"iva\": 21.0, \"stock\": %5, \"activo\": %6, \"imagen\": null, "
               "\"codigos\": [\"779%1\", \"%7\"], \"medidas\": {\"alto\": 12.5, \"ancho\": 3.25}}")
        .arg(10000000000LL + i)
        .arg(100 + i % 900)
        .arg(i % 250)
        .arg(QString::number(i % 100000 / 7.0, 'f', 2))
        .arg(i % 1000)
        .arg(i % 3 ? QStringLiteral("true") : QStringLiteral("false"))
        .arg(i * 31);
}

// Deep but within QJsonDocument's own nesting limit, so both read the whole text.
QString deepList(int depth)
{
    return QString(depth, QLatin1Char('[')) + QStringLiteral("1") + QString(depth, QLatin1Char(']'));
}

QString longString(int length)
{
    QString s = QStringLiteral("\"");
    for (int i = 0; s.size() < length; ++i)
        s += i % 50 ? QStringLiteral("texto largo con acentos áéí ") : QStringLiteral("\\n\\t\\u00e9\\\"");
    return s + QLatin1Char('"');
}

QString makeDocument(qsizetype targetBytes)
{
    QStringList parts;
    qsizetype size = 0;
    const QString deep = deepList(500);
    const QString text = longString(1 << 20);
    for (int i = 0; size < targetBytes; ++i) {
        QString part = article(i);
        if (i % 5000 == 4999)
            part = deep;
        else if (i % 50000 == 49999)
            part = text;
        size += part.size() + 1;
        parts << part;
    }
    return QLatin1Char('[') + parts.join(QLatin1Char(',')) + QLatin1Char(']');
}

template <typename F> double bestSeconds(F &&f)
{
    double best = std::numeric_limits<double>::max();
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer clock;
        clock.start();
        f();
        best = std::min(best, clock.nsecsElapsed() / 1e9);
    }
    return best;
}

bool report(const char *what, double ours, double baseline, double bound)
{
    const double ratio = ours / baseline;
    const bool ok = ratio <= bound;
    std::printf("%-28s %.3f s vs baseline %.3f s: %.2fx (bound %.1fx) %s\n", what, ours, baseline, ratio, bound,
                ok ? "ok" : "MISSED");
    return ok;
}

bool benchReader(qsizetype megabytes)
{
    const QString text = makeDocument(megabytes * 1000 * 1000);
    const QByteArray utf8 = text.toUtf8();
    const double mb = utf8.size() / 1e6;

    int items = 0;
    const double ours = bestSeconds([&] {
        const platform::ScriptValue root = JSON::Analizar(text);
        items = root.collection() ? root.collection()->Count() : -1;
    });
    if (!JSON::ErroresParser().isEmpty() || items <= 0) {
        std::printf("reader failed: %s\n", qPrintable(JSON::ErroresParser().left(200)));
        return false;
    }
    qsizetype qtItems = 0;
    const double qt = bestSeconds([&] {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(utf8, &error);
        qtItems = error.error == QJsonParseError::NoError ? doc.array().size() : -1;
    });
    if (qtItems != items) {
        std::printf("QJsonDocument read %lld items, the reader %d\n", qsizetype(qtItems), items);
        return false;
    }
    std::printf("document: %.1f MB, %d items\n", mb, items);
    std::printf("JSON::Analizar              %.1f MB/s\n", mb / ours);
    std::printf("QJsonDocument::fromJson     %.1f MB/s\n", mb / qt);
    return report("reader time", ours, qt, kReaderBound);
}

bool benchBuffer()
{
    const QString pieces[] = {QStringLiteral("a"),    QStringLiteral("bc"), QStringLiteral("def"),
                              QStringLiteral("ghij"), QStringLiteral(", "), QStringLiteral("klmnopq")};
    const std::u16string stdPieces[] = {u"a", u"bc", u"def", u"ghij", u", ", u"klmnopq"};
    constexpr int count = int(std::size(pieces));

    qsizetype ourLength = 0;
    const double ours = bestSeconds([&] {
        cStringBuilder b;
        for (int i = 0; i < kAppends; ++i)
            b.Append(pieces[i % count]);
        ourLength = b.toString().size();
    });
    qsizetype stdLength = 0;
    const double baseline = bestSeconds([&] {
        std::u16string s;
        for (int i = 0; i < kAppends; ++i)
            s.append(stdPieces[i % count]);
        stdLength = qsizetype(s.size());
    });
    if (ourLength != stdLength) {
        std::printf("text buffer length %lld, expected %lld\n", ourLength, stdLength);
        return false;
    }
    std::printf("text buffer: %d appends, %lld characters\n", kAppends, ourLength);
    return report("text buffer time", ours, baseline, kBufferBound);
}

} // namespace

int main(int argc, char **argv)
{
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    const qsizetype megabytes = argc > 1 ? std::atoll(argv[1]) : 50;
    const bool reader = benchReader(megabytes);
    const bool buffer = benchBuffer();
    return reader && buffer ? EXIT_SUCCESS : EXIT_FAILURE;
}
