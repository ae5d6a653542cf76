#pragma once

#include "platform/Result.h"

#include <QFile>
#include <QString>

namespace package {

// Reads a package's text file one line at a time (Windows-1252; lines end in CR LF, or LF
// alone), so that a large table file is never held whole in memory.
class LineReader {
public:
    [[nodiscard]] platform::Status open(const QString &path);
    // The next line without its line end; false at the end of the file (or on a read
    // error, which error() then names).
    bool next(QString &line);
    QString error() const { return m_error; }
    void close() { m_file.close(); }

private:
    QFile m_file;
    QString m_error;
};

} // namespace package
