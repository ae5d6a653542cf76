#pragma once

#include "platform/Result.h"

#include <QString>
#include <QStringList>

#include <memory>

class QTemporaryDir;

namespace ziplayer {

// A new folder of our own inside a folder that others may feed: created with a unique
// name (only this user can enter it) and locked for as long as this object lives. The
// lock goes with the process however it ends, so a later run tells a folder left by a
// killed run (abandoned: removed) from one in use by a run going on (kept). Removed
// with its contents on destruction.
class PrivateFolder {
public:
    // A folder without its lock file (one being created, or left by an older version of
    // the program) counts as abandoned only when untouched for this long.
    static constexpr int kGraceSeconds = 600;

    // Creates and locks "<parent>/<prefix>XXXXXX".
    PrivateFolder(const QString &parent, const QString &prefix);
    ~PrivateFolder();
    PrivateFolder(const PrivateFolder &) = delete;
    PrivateFolder &operator=(const PrivateFolder &) = delete;

    // Fails, naming the folder and the reason, when it could not be created or locked.
    platform::Status status() const { return m_status; }
    QString path() const;
    QString filePath(const QString &name) const;

    // Removes the folders "<prefix>*" in `parent` that no live process holds; returns
    // their paths. Only real folders of this user are touched: a link of such a name,
    // or another user's folder, is left alone.
    static QStringList removeAbandoned(const QString &parent, const QString &prefix);

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    int m_lockFd = -1;
    platform::Status m_status;
};

} // namespace ziplayer
