#pragma once

#include "platform/Result.h"

#include <QFile>
#include <QString>

namespace package {

// A file written into a folder that others feed (RECIBIR, ENVIAR, a package folder). It is
// made under a new name in that folder - never an existing file - and renamed over its own
// name, which replaces whatever stands there (a link, or a second name of another file)
// without ever writing through it.
class FreshFile {
public:
    FreshFile() = default;
    ~FreshFile(); // a file that never took its name is removed
    FreshFile(const FreshFile &) = delete;
    FreshFile &operator=(const FreshFile &) = delete;

    // Makes the new file beside `path` (a file this object held before is closed first).
    [[nodiscard]] platform::Status open(const QString &path);
    bool isOpen() const { return m_file.isOpen(); }
    const QString &path() const { return m_path; }
    // Writes the bytes; a failed write is remembered and makes commit() fail.
    bool write(const QByteArray &bytes);
    bool flush() { return m_file.flush(); }
    // Renames the new file over its name at once; writing may go on after it, into the
    // file the name now holds.
    [[nodiscard]] platform::Status place();
    // Writes out what is pending, syncs it and renames the file over its name, so the name
    // holds the whole file or what it held before. Fails when any write failed.
    [[nodiscard]] platform::Status commit();
    // Closes the file; one that never took its name is removed.
    void close();

private:
    QFile m_file;
    QString m_path;
    QString m_temporary; // the new file's own name until it takes `m_path`
    QString m_writeError;
};

} // namespace package
