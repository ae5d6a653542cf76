#pragma once

#include "zip/ZipRecords.h"

#include "platform/Result.h"

#include <QString>
#include <QStringList>

struct zip;

namespace ziplayer {

// The compression library, shaped like the zip32 interface and built on libzip.
// ZpInit gives the callbacks, ZpSetOptions the options, ZpArchive adds files.
// Supported options: drop folder names, move, compression level '0'..'9', quiet,
// verbose, grow (no effect: existing archives are always added to); a listed path is
// found without regard to case. Other options set to non-zero give ZE_PARMS.
class Zip32 {
public:
    int ZpInit(const ZipCallbacks &callbacks);
    int ZpSetOptions(const ZipOptions &options);
    // Adds the first `fileCount` files of the list to the archive, creating it when
    // missing and replacing an entry of the same name. The archive is written whole under
    // a new name beside it and renamed into place (a failure leaves it as it was); a link
    // or anything but a plain file at the archive's name is replaced, never followed or
    // read. With the move option each source file is deleted only after the archive was
    // written. Listed files that do not exist are
    // skipped; ZE_NONE when none exists (the archive is then left untouched).
    int ZpArchive(int fileCount, const QString &archivePath, const QStringList &fileList);

    // A short Spanish description of a ZipCode.
    static QString describe(int code);

private:
    struct Source {
        QString path;      // on disk
        QString entryName; // as stored
    };

    platform::Status checkOptions(const ZipOptions &options) const;
    QList<Source> existingSources(int fileCount, const QStringList &fileList);
    QString entryNameFor(const QString &listedPath) const;
    platform::Status addSource(struct zip *archive, const Source &source);
    platform::Status writeArchive(const QString &archivePath, const QList<Source> &sources);
    // The archive already at the path, read through no link (nullptr when there is none).
    platform::Result<struct zip *> openPrevious(const QString &archivePath) const;
    platform::Status keepPreviousEntries(struct zip *archive, struct zip *old, const QList<Source> &sources,
                                         const QString &archivePath);
    void removeSources(const QList<Source> &sources);
    void print(const QString &text, bool isError = false);

    ZipCallbacks m_callbacks;
    ZipOptions m_options;
    bool m_initialised = false;
    bool m_optionsSet = false;
};

} // namespace ziplayer
