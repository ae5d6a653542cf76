#include "FreshFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace package {

namespace {

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

platform::Status cannotWrite(const QString &path, const QString &why)
{
    return platform::Status::failure(QStringLiteral("No se puede escribir el archivo \"%1\": %2").arg(path, why));
}

} // namespace

FreshFile::~FreshFile() { close(); }

platform::Status FreshFile::open(const QString &path)
{
    close();
    m_path = path;
    m_writeError.clear();
    const QFileInfo info(path);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = info.absoluteDir().filePath(
            QStringLiteral(".%1.%2").arg(info.fileName()).arg(QRandomGenerator::global()->generate64(), 0, 36));
        // O_EXCL with O_CREAT never opens what already stands at the name, a link included.
        const int fd = ::open(QFile::encodeName(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return cannotWrite(path, systemError(errno));
        }
        if (!m_file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            ::unlink(QFile::encodeName(name).constData());
            return cannotWrite(path, m_file.errorString());
        }
        m_temporary = name;
        return {};
    }
    return cannotWrite(path, QStringLiteral("no se pudo crear un archivo nuevo en su carpeta"));
}

bool FreshFile::write(const QByteArray &bytes)
{
    if (m_file.write(bytes) == bytes.size())
        return true;
    if (m_writeError.isEmpty())
        m_writeError = m_file.errorString();
    return false;
}

platform::Status FreshFile::place()
{
    if (m_temporary.isEmpty())
        return m_file.isOpen() ? platform::Status() : cannotWrite(m_path, QStringLiteral("no está abierto"));
    // rename() replaces the name itself: a link there is replaced, never followed.
    if (::rename(QFile::encodeName(m_temporary).constData(), QFile::encodeName(m_path).constData()) != 0) {
        const QString why = systemError(errno);
        close();
        return cannotWrite(m_path, why);
    }
    m_temporary.clear();
    return {};
}

platform::Status FreshFile::commit()
{
    if (!m_file.isOpen())
        return cannotWrite(m_path, QStringLiteral("no está abierto"));
    if (!m_writeError.isEmpty() || !m_file.flush() || ::fsync(m_file.handle()) != 0) {
        const QString why = !m_writeError.isEmpty()  ? m_writeError
            : m_file.error() != QFileDevice::NoError ? m_file.errorString()
                                                     : systemError(errno);
        close();
        return cannotWrite(m_path, why);
    }
    const platform::Status placed = place();
    m_file.close();
    return placed;
}

void FreshFile::close()
{
    m_file.close();
    if (!m_temporary.isEmpty())
        ::unlink(QFile::encodeName(m_temporary).constData());
    m_temporary.clear();
}

} // namespace package
