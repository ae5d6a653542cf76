#pragma once

#include "platform/Result.h"

#include <QList>
#include <QString>

#include <memory>

class QTemporaryDir;

namespace ziplayer {

// Extraction in two steps: every entry is first written into a private staging folder
// inside the target folder; only when all entries were read without fault are they
// moved into place. A damaged archive or a wrong password thus leaves the target as it
// was. Paths are matched without regard to case against what the target already holds,
// as on the Windows stations (an existing "ControlMA.dat" is replaced by an entry
// "CONTROLMA.DAT"), and nothing is ever placed outside the target folder.
class StagedExtraction {
public:
    explicit StagedExtraction(const QString &targetFolder);
    ~StagedExtraction();
    StagedExtraction(const StagedExtraction &) = delete;
    StagedExtraction &operator=(const StagedExtraction &) = delete;

    // Creates the target folder when missing, and the staging folder.
    platform::Status prepare();
    // The existing file or folder that the relative path names (any case), or empty.
    QString existingTarget(const QString &relativePath) const;
    // A new file path in the staging folder that commit() moves to relativePath.
    QString stageFile(const QString &relativePath);
    // A folder that commit() creates.
    void stageFolder(const QString &relativePath);
    // Moves every staged entry into the target folder, replacing files of the same name.
    // Nothing is moved when a place is taken by something else or when two entries
    // need one name as a file and as a folder ("ZZZ" and "ZZZ/x").
    platform::Status commit();

private:
    struct Item {
        QString relative;
        QString staged; // empty for a folder
    };

    platform::Result<QString> resolve(const QString &relativePath, bool isFolder, bool create) const;
    platform::Status checkItemsAgree() const;
    platform::Status checkPlace(const Item &item) const;
    platform::Status commitItem(const Item &item);
    bool insideTarget(const QString &path) const;

    QString m_target;
    QString m_canonicalTarget;
    std::unique_ptr<QTemporaryDir> m_staging;
    QList<Item> m_items;
};

} // namespace ziplayer
