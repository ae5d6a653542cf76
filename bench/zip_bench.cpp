// zip_bench: the extraction of a package of many small entries grows with the number of
// entries, not with its square.
//
// Archives of 2,000 and of 20,000 small table files (about 100 bytes each, deflated, in
// one folder) are extracted through ModZIP::Descomprimir into a new folder, and then
// once more over the files the first extraction left (every entry replaces a file of
// the same name in another case, as a station's earlier package leaves them). For each
// phase the time per entry at 20,000 must stay within 2 times the time per entry at
// 2,000: linear work keeps that ratio near 1, work that lists the folder once per entry
// makes it about 10. When Info-ZIP's unzip is installed, `unzip -q -o` of the same
// 20,000-entry archive into a new folder is timed too, for reference (not bound).
// Each figure is the best of three rounds. The program prints its figures and bound and
// exits non-zero when a ratio misses it.
//
//     zip_bench [entries]      (the larger archive's entries; 20,000 by default)

#include "zip/ModZIP.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>

namespace {

constexpr int kRounds = 3;
constexpr double kBound = 2.0;
constexpr int kSmallEntries = 2'000;

QByteArray tableLine(int entry)
{
    return QByteArrayLiteral("ART") + QByteArray::number(entry)
        + QByteArrayLiteral("\tArt\xed"
                            "culo de prueba n\xba ")
        + QByteArray::number(entry * 7919 % 100000) + QByteArrayLiteral("\t12,50\tNULL\t\r\n");
}

// An archive of `entries` table files named T<n>.DAT, written with libzip directly.
void writeArchive(const QString &path, int entries)
{
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        throw std::runtime_error("cannot create " + path.toStdString());
    for (int i = 0; i < entries; ++i) {
        const QByteArray name = QByteArrayLiteral("T") + QByteArray::number(i) + QByteArrayLiteral(".DAT");
        const QByteArray data = tableLine(i).repeated(2);
        void *copy = std::malloc(size_t(data.size()));
        std::memcpy(copy, data.constData(), size_t(data.size()));
        zip_source_t *source = zip_source_buffer(archive, copy, zip_uint64_t(data.size()), 1);
        if (!source || zip_file_add(archive, name.constData(), source, ZIP_FL_ENC_CP437) < 0)
            throw std::runtime_error("cannot add " + name.toStdString());
    }
    if (zip_close(archive) != 0)
        throw std::runtime_error("cannot write " + path.toStdString());
}

// Files as an earlier package left them: the same names in lower case.
void leaveEarlierFiles(const QString &folder, int entries)
{
    QDir().mkpath(folder);
    for (int i = 0; i < entries; ++i) {
        QFile file(folder + QStringLiteral("/t%1.dat").arg(i));
        if (!file.open(QIODevice::WriteOnly) || file.write("anterior\r\n") < 0)
            throw std::runtime_error("cannot write " + file.fileName().toStdString());
    }
}

struct Times {
    double fresh = std::numeric_limits<double>::max();   // seconds, into a new folder
    double replace = std::numeric_limits<double>::max(); // over earlier files
};

double extractOnce(const QString &archive, const QString &target)
{
    QElapsedTimer timer;
    timer.start();
    const platform::Status done = ModZIP::Descomprimir(archive, target);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    if (!done.ok())
        throw std::runtime_error(done.message().toStdString());
    return seconds;
}

Times measure(const QString &work, int entries)
{
    const QString archive = work + QStringLiteral("/paquete-%1.zip").arg(entries);
    writeArchive(archive, entries);
    Times best;
    for (int round = 0; round < kRounds; ++round) {
        const QString fresh = work + QStringLiteral("/nuevo-%1-%2").arg(entries).arg(round);
        best.fresh = std::min(best.fresh, extractOnce(archive, fresh));
        QDir(fresh).removeRecursively();
        const QString earlier = work + QStringLiteral("/anterior-%1-%2").arg(entries).arg(round);
        leaveEarlierFiles(earlier, entries);
        best.replace = std::min(best.replace, extractOnce(archive, earlier));
        if (QDir(earlier).entryList(QDir::Files).size() != entries)
            throw std::runtime_error("the extraction over earlier files left another number of files");
        QDir(earlier).removeRecursively();
    }
    return best;
}

// unzip -q -o of the same archive into a new folder; negative when unzip is missing.
double unzipSeconds(const QString &work, int entries)
{
    const QString unzip = QStandardPaths::findExecutable(QStringLiteral("unzip"));
    if (unzip.isEmpty())
        return -1;
    double best = std::numeric_limits<double>::max();
    for (int round = 0; round < kRounds; ++round) {
        const QString target = work + QStringLiteral("/unzip-%1").arg(round);
        QElapsedTimer timer;
        timer.start();
        QProcess process;
        process.start(unzip,
                      {QStringLiteral("-q"), QStringLiteral("-o"),
                       work + QStringLiteral("/paquete-%1.zip").arg(entries), QStringLiteral("-d"), target});
        if (!process.waitForFinished(600000) || process.exitCode() != 0)
            return -1;
        best = std::min(best, double(timer.nsecsElapsed()) / 1e9);
        QDir(target).removeRecursively();
    }
    return best;
}

double microsPerEntry(double seconds, int entries) { return seconds * 1e6 / entries; }

bool report(const char *phase, double small, double large, int largeEntries)
{
    const double perSmall = microsPerEntry(small, kSmallEntries);
    const double perLarge = microsPerEntry(large, largeEntries);
    const double ratio = perLarge / perSmall;
    const bool ok = ratio <= kBound;
    std::printf("%-28s %6d entries %8.3f s (%6.1f us/entry)   %6d entries %8.3f s (%6.1f us/entry)   ratio %.2f "
                "(bound %.1f) %s\n",
                phase, kSmallEntries, small, perSmall, largeEntries, large, perLarge, ratio, kBound,
                ok ? "ok" : "MISSED");
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    const int entries = argc > 1 ? std::atoi(argv[1]) : 20'000;
    if (entries < kSmallEntries) {
        std::fprintf(stderr, "zip_bench: the larger archive needs at least %d entries\n", kSmallEntries);
        return 2;
    }
    QTemporaryDir work;
    if (!work.isValid()) {
        std::fprintf(stderr, "zip_bench: no temporary folder\n");
        return 2;
    }
    try {
        const Times small = measure(work.path(), kSmallEntries);
        const Times large = measure(work.path(), entries);
        std::printf("zip_bench: extraction through ModZIP::Descomprimir, best of %d rounds\n", kRounds);
        bool ok = report("into a new folder", small.fresh, large.fresh, entries);
        ok = report("over earlier files", small.replace, large.replace, entries) && ok;
        const double unzip = unzipSeconds(work.path(), entries);
        if (unzip > 0)
            std::printf("%-28s %6d entries %8.3f s (%6.1f us/entry)   ours %.2f times its time (reference)\n",
                        "unzip -q -o, new folder", entries, unzip, microsPerEntry(unzip, entries), large.fresh / unzip);
        else
            std::printf("unzip is not installed: no reference figure\n");
        return ok ? 0 : 1;
    } catch (const std::exception &error) {
        std::fprintf(stderr, "zip_bench: %s\n", error.what());
        return 2;
    }
}
