#include "LineReader.h"

#include "platform/TextFile.h"

#include <cstring>

namespace package {

namespace {
constexpr qsizetype kChunk = qsizetype(1) << 16;
}

platform::Status LineReader::open(const QString &path)
{
    close();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return platform::Status::failure(
            QStringLiteral("No se puede leer el archivo \"%1\": %2").arg(path, m_file.errorString()));
    // Room for the longest line, its CR LF and one chunk more.
    m_buffer.resize(kMaxLineBytes + 2 + kChunk);
    return {};
}

void LineReader::close()
{
    m_file.close();
    m_buffer = QByteArray();
    m_begin = m_end = 0;
    m_tooLong = false;
    m_lineBytes = 0;
    m_error.clear();
}

// Moves the unread bytes to the front and reads more after them; false at the end of the
// file or on an error.
bool LineReader::fill()
{
    if (!m_file.isOpen() || !m_error.isEmpty())
        return false;
    if (m_begin > 0) {
        std::memmove(m_buffer.data(), m_buffer.constData() + m_begin, size_t(m_end - m_begin));
        m_end -= m_begin;
        m_begin = 0;
    }
    const qint64 read = m_file.read(m_buffer.data() + m_end, m_buffer.size() - m_end);
    if (read < 0) {
        m_error = m_file.errorString();
        return false;
    }
    m_end += qsizetype(read);
    return read > 0;
}

void LineReader::take(QString &line, qsizetype length)
{
    const char *start = m_buffer.constData() + m_begin;
    if (length > 0 && start[length - 1] == '\r')
        --length;
    m_lineBytes = length;
    m_tooLong = length > kMaxLineBytes;
    const qsizetype kept = m_tooLong ? kShownBytes : length;
    line = platform::textfile::decode1252(QByteArray::fromRawData(start, kept));
}

bool LineReader::next(QString &line)
{
    m_tooLong = false;
    for (;;) {
        const char *start = m_buffer.constData() + m_begin;
        if (const void *lf = std::memchr(start, '\n', size_t(m_end - m_begin))) {
            const qsizetype length = static_cast<const char *>(lf) - start;
            take(line, length);
            m_begin += length + 1;
            return true;
        }
        // Without its line end yet, and already longer than any line with its CR.
        if (m_end - m_begin > kMaxLineBytes + 1)
            return skipLongLine(line);
        if (!fill()) {
            if (m_begin == m_end || !m_error.isEmpty())
                return false;
            take(line, m_end - m_begin); // the last line, without a line end
            m_begin = m_end;
            return true;
        }
    }
}

// Keeps the beginning of a line too long to hold and reads past the rest of it, one
// buffer at a time.
bool LineReader::skipLongLine(QString &line)
{
    line = platform::textfile::decode1252(QByteArray(m_buffer.constData() + m_begin, kShownBytes));
    qint64 length = 0;
    char last = 0;
    for (;;) {
        const char *start = m_buffer.constData() + m_begin;
        const qsizetype pending = m_end - m_begin;
        if (const void *lf = std::memchr(start, '\n', size_t(pending))) {
            const qsizetype part = static_cast<const char *>(lf) - start;
            length += part;
            if (part > 0)
                last = start[part - 1];
            m_begin += part + 1;
            break;
        }
        length += pending;
        if (pending > 0)
            last = start[pending - 1];
        m_begin = m_end;
        if (!fill())
            break;
    }
    if (last == '\r')
        --length;
    m_tooLong = true;
    m_lineBytes = length;
    return m_error.isEmpty();
}

} // namespace package
