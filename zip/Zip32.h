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
    // missing and replacing an entry of the same name. The archive is written in one go
    // (a failure leaves it as it was); with the move option each source file is deleted
    // only after the archive was written and closed. Listed files that do not exist are
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
    void removeSources(const QList<Source> &sources);
    void print(const QString &text, bool isError = false);

    ZipCallbacks m_callbacks;
    ZipOptions m_options;
    bool m_initialised = false;
    bool m_optionsSet = false;
};

} // namespace ziplayer
