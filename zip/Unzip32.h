#pragma once

#include "zip/ArchiveReader.h"
#include "zip/UnzipRecords.h"

#include "platform/Result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace ziplayer {

class StagedExtraction;

// The extraction library, shaped like the unzip32 interface and built on libzip.
// Supported options: list instead of extracting, test only, recreate stored folder names
// (else entries land in the target folder by their bare names), overwrite existing files,
// prompt before overwriting (through the replace callback), quiet level. Other options
// set to non-zero make the call fail with PK_PARAM.
// Safety: before anything is written every selected entry name is checked; a name that
// would leave the target folder ("../", an absolute path, a drive letter) fails the
// whole call with PK_ERR; entries whose sizes add up beyond options.maxExpandedSize or
// beyond the free disk space fail it with PK_DISK, and an entry that inflates beyond the
// size it declares fails with PK_ERR. Entries are staged and moved into place only when
// all of them were read whole, so a failed call leaves the target folder as it was.
class Unzip32 {
public:
    // Runs one call with the options. include/exclude name entries to take or leave
    // (exact names, case per options.matchNoCase); empty include takes every entry.
    // Returns an UnzipCode; the reason of a failure is the last text printed.
    static int windll_unzip(const QStringList &include, const QStringList &exclude, const UnzipOptions &options,
                            UnzipCallbacks &callbacks);

    // A short Spanish description of an UnzipCode.
    static QString describe(int code);

    // Whether entries declaring `total` bytes may be written into `folder`: not beyond
    // `limit`, nor beyond `available` bytes of free disk space (negative: unknown, not
    // checked). The failure (PK_DISK) names the archive, the sizes and the limit.
    static platform::Status checkExpansion(uint64_t total, uint64_t limit, qint64 available, const QString &archive,
                                           const QString &folder);

private:
    struct Selected;

    Unzip32(const UnzipOptions &options, UnzipCallbacks &callbacks);
    int run(const QStringList &include, const QStringList &exclude);
    platform::Status checkOptions() const;
    platform::Status select(const ArchiveReader &reader, const QStringList &include, const QStringList &exclude,
                            QList<Selected> &selected) const;
    bool isWanted(const QString &name, const QStringList &include, const QStringList &exclude) const;
    void fillTotals(const ArchiveReader &reader);
    void list(const QList<Selected> &selected);
    platform::Status test(const ArchiveReader &reader, const QList<Selected> &selected);
    platform::Status checkRoom(const QList<Selected> &selected) const;
    platform::Status extract(const ArchiveReader &reader, const QList<Selected> &selected);
    platform::Status stageEntry(const ArchiveReader &reader, const Selected &item, StagedExtraction &staging);
    bool mayWrite(const Selected &item, const StagedExtraction &staging);
    platform::Status readWithPassword(const ArchiveReader &reader, const ArchiveEntry &entry,
                                      const ArchiveReader::Sink &sink);
    bool askPassword(const ArchiveEntry &entry);
    int fail(const platform::Status &status);
    void print(const QString &text, bool isError = false);

    const UnzipOptions &m_options;
    UnzipCallbacks &m_callbacks;
    QByteArray m_password;
    bool m_replaceAll = false;
    bool m_replaceNone = false;
};

} // namespace ziplayer
