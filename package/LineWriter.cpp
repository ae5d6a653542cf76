#include "LineWriter.h"

#include "platform/TextFile.h"

namespace package {

namespace {
constexpr qsizetype kFlushAt = 1 << 16;
}

platform::Status LineWriter::open(const QString &path)
{
    m_buffer.clear();
    return m_file.open(path);
}

void LineWriter::write(const QString &line)
{
    m_buffer += platform::textfile::encode1252(line);
    m_buffer += "\r\n";
    if (m_buffer.size() >= kFlushAt) {
        m_file.write(m_buffer);
        m_buffer.clear();
    }
}

platform::Status LineWriter::commit()
{
    if (!m_buffer.isEmpty())
        m_file.write(m_buffer);
    m_buffer.clear();
    return m_file.commit();
}

} // namespace package
