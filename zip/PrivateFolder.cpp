#include "zip/PrivateFolder.h"

#include "platform/Logger.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ziplayer {

namespace {

constexpr char kLockName[] = ".lock";

QByteArray lockPath(const QString &folder)
{
    return QFile::encodeName(platform::joinPath(folder, QLatin1String(kLockName)));
}

// Takes an abandoned folder's lock so that no other run removes it at the same time:
// returns the held lock (or kNoLock for a folder without one, old enough), or -1 when the
// folder is in use.
constexpr int kNoLock = -2;

int claimAbandoned(const QString &folder, const struct stat &info)
{
    const int fd = ::open(lockPath(folder).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        const bool old = errno == ENOENT && std::time(nullptr) - info.st_mtime > PrivateFolder::kGraceSeconds;
        return old ? kNoLock : -1;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
        return fd;
    ::close(fd);
    return -1;
}

} // namespace

PrivateFolder::PrivateFolder(const QString &parent, const QString &prefix)
    : m_folder(std::make_unique<QTemporaryDir>(platform::joinPath(parent, prefix + QStringLiteral("XXXXXX"))))
{
    if (!m_folder->isValid()) {
        m_status = platform::Status::failure(
            QStringLiteral("no se puede escribir en la carpeta \"%1\": %2").arg(parent, m_folder->errorString()));
        return;
    }
    m_lockFd =
        ::open(lockPath(m_folder->path()).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (m_lockFd < 0 || ::flock(m_lockFd, LOCK_EX | LOCK_NB) != 0) {
        m_status = platform::Status::failure(QStringLiteral("no se puede escribir en la carpeta \"%1\": %2")
                                                 .arg(m_folder->path(), QString::fromLocal8Bit(std::strerror(errno))));
    }
}

PrivateFolder::~PrivateFolder()
{
    m_folder.reset(); // removed while still locked: no other run takes it for abandoned
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

QString PrivateFolder::path() const { return m_folder->path(); }

QString PrivateFolder::filePath(const QString &name) const { return m_folder->filePath(name); }

QStringList PrivateFolder::removeAbandoned(const QString &parent, const QString &prefix)
{
    QStringList removed;
    const QStringList names =
        QDir(parent).entryList({prefix + QLatin1Char('*')},
                               QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoSymLinks | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        const QString folder = platform::joinPath(parent, name);
        struct stat info {};
        if (::lstat(QFile::encodeName(folder).constData(), &info) != 0 || !S_ISDIR(info.st_mode)
            || info.st_uid != ::geteuid())
            continue;
        const int lock = claimAbandoned(folder, info);
        if (lock == -1)
            continue;
        const bool gone = QDir(folder).removeRecursively();
        if (lock >= 0)
            ::close(lock);
        if (gone) {
            platform::logger().info(QStringLiteral("Se borró la carpeta abandonada \"%1\"").arg(folder));
            removed.append(folder);
        } else {
            platform::logger().warning(QStringLiteral("No se pudo borrar la carpeta abandonada \"%1\"").arg(folder));
        }
    }
    return removed;
}

} // namespace ziplayer
