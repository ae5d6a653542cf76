#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QFile>
#include <QString>

namespace package {

// Reads a package's text file one line at a time (Windows-1252; lines end in CR LF, or LF
// alone), so that a large table file is never held whole in memory. A line longer than a
// package carries (kMaxLineBytes) is never held whole either: next() gives its beginning,
// tooLong() says so, and the next call goes on with the line after it. Memory stays within
// one buffer of about kMaxLineBytes whatever the file holds.
class LineReader {
public:
    // The longest line of a package, in bytes without its line end. No value of the suite's
    // master tables comes near it; a longer line is no line of a package.
    static constexpr qsizetype kMaxLineBytes = qsizetype(1) << 20;
    // How much of a line that is too long next() gives (bytes).
    static constexpr qsizetype kShownBytes = 120;

    [[nodiscard]] platform::Status open(const QString &path);
    // The next line without its line end; false at the end of the file (or on a read
    // error, which error() then names).
    bool next(QString &line);
    // The last line was longer than kMaxLineBytes: next() gave its first kShownBytes.
    bool tooLong() const { return m_tooLong; }
    // The length of the last line in bytes, without its line end.
    qint64 lineBytes() const { return m_lineBytes; }
    QString error() const { return m_error; }
    void close();

private:
    bool fill();
    void take(QString &line, qsizetype length);
    bool skipLongLine(QString &line);

    QFile m_file;
    QByteArray m_buffer;
    qsizetype m_begin = 0; // the unread bytes are [m_begin, m_end) of m_buffer
    qsizetype m_end = 0;
    bool m_tooLong = false;
    qint64 m_lineBytes = 0;
    QString m_error;
};

} // namespace package
