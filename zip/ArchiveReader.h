#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <cstdint>
#include <functional>

struct zip;

namespace ziplayer {

// One entry of an open archive, its name decoded (see entryname::decode).
struct ArchiveEntry {
    uint64_t index = 0;
    QString name;
    bool isFolder = false;
    bool encrypted = false;
    uint64_t size = 0;
    uint64_t compressedSize = 0;
    uint32_t crc = 0;
    uint16_t method = 0;
    QDateTime modified;
};

// Read access to one ZIP archive through libzip. Failures carry an UnzipCode.
class ArchiveReader {
public:
    ArchiveReader() = default;
    ~ArchiveReader();
    ArchiveReader(const ArchiveReader &) = delete;
    ArchiveReader &operator=(const ArchiveReader &) = delete;

    // Opens the archive with consistency checks: PK_NOZIP when it is missing or not an
    // archive, PK_BADERR when it is damaged or two file entries name one file (the same
    // name, names that differ only in case or in "/" against "\"): the message names
    // both entries.
    platform::Status open(const QString &path);
    const QList<ArchiveEntry> &entries() const { return m_entries; }

    // Reads the entry's data into `sink` (which returns false to stop), checking its
    // CRC. IZ_BADPWD, before any data reached the sink, when the entry is encrypted and
    // the password is missing or wrong; PK_ERR when the data is damaged (or a wrong
    // password passed the header check); PK_DISK when the sink failed.
    using Sink = std::function<bool(const char *data, qint64 size)>;
    platform::Status readEntry(const ArchiveEntry &entry, const QByteArray &password, const Sink &sink) const;

private:
    platform::Status loadEntries();
    platform::Status checkNamesDiffer() const;

    struct zip *m_archive = nullptr;
    QString m_path;
    QList<ArchiveEntry> m_entries;
};

} // namespace ziplayer
