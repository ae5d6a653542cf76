#include "LineWriter.h"

#include "platform/TextFile.h"

namespace package {

namespace {
constexpr qsizetype kFlushAt = 1 << 16;
}

platform::Status LineWriter::open(const QString &path)
{
    m_buffer.clear();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly))
        return platform::Status::failure(
            QStringLiteral("No se puede escribir el archivo \"%1\": %2").arg(path, m_file.errorString()));
    return {};
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
    if (!m_file.commit())
        return platform::Status::failure(
            QStringLiteral("No se pudo escribir el archivo \"%1\": %2").arg(m_file.fileName(), m_file.errorString()));
    return {};
}

} // namespace package
