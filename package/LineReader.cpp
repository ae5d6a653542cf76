#include "LineReader.h"

#include "platform/TextFile.h"

namespace package {

platform::Status LineReader::open(const QString &path)
{
    m_file.close();
    m_error.clear();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly))
        return platform::Status::failure(
            QStringLiteral("No se puede leer el archivo \"%1\": %2").arg(path, m_file.errorString()));
    return {};
}

bool LineReader::next(QString &line)
{
    if (!m_file.isOpen() || m_file.atEnd())
        return false;
    QByteArray bytes = m_file.readLine();
    if (bytes.isEmpty() && m_file.error() != QFileDevice::NoError) {
        m_error = m_file.errorString();
        return false;
    }
    if (bytes.endsWith('\n'))
        bytes.chop(1);
    if (bytes.endsWith('\r'))
        bytes.chop(1);
    line = platform::textfile::decode1252(bytes);
    return true;
}

} // namespace package
