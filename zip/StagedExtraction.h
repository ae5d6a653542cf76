#pragma once

#include "platform/Result.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <memory>

namespace ziplayer {

class PrivateFolder;

// Extraction in two steps: every entry is first written into a private staging folder
// inside the target folder; only when all entries were read without fault are they
// moved into place. A damaged archive or a wrong password thus leaves the target as it
// was. Paths are matched without regard to case against what the target already holds,
// as on the Windows stations (an existing "ControlMA.dat" is replaced by an entry
// "CONTROLMA.DAT"), and nothing is ever placed outside the target folder.
// Each folder of the target is listed once: the cost grows with the number of entries,
// not with its square.
// The staging folder holds a lock for as long as its extraction lives, so that a later
// extraction can tell a folder left by a killed run (removed) from one in use (kept).
class StagedExtraction {
public:
    // Prefix of the staging folders' names inside the target folder.
    static constexpr char kStagingPrefix[] = ".imaestros-unzip-";

    explicit StagedExtraction(const QString &targetFolder);
    ~StagedExtraction();
    StagedExtraction(const StagedExtraction &) = delete;
    StagedExtraction &operator=(const StagedExtraction &) = delete;

    // Creates the target folder when missing, removes abandoned staging folders of
    // earlier runs, and creates (and locks) this extraction's staging folder.
    platform::Status prepare();
    // The existing file or folder that the relative path names (any case), or empty.
    QString existingTarget(const QString &relativePath) const;
    // A new file path in the staging folder that commit() moves to relativePath.
    QString stageFile(const QString &relativePath);
    // A folder that commit() creates.
    void stageFolder(const QString &relativePath);
    // Moves every staged entry into the target folder, replacing files of the same name
    // (a link of that name is replaced, never followed). Nothing is moved when a place is
    // taken by something else or when two entries need one name as a file and as a
    // folder ("ZZZ" and "ZZZ/x").
    platform::Status commit();

    // Removes the staging folders in `targetFolder` that no running extraction holds
    // (see PrivateFolder::removeAbandoned); returns the removed folders' paths.
    static QStringList removeAbandonedStaging(const QString &targetFolder);

private:
    struct Item {
        QString relative;
        QString staged; // empty for a folder
    };
    // One folder's entries, listed once: case-folded name -> name on disk.
    struct Listing {
        QHash<QString, QString> byFolded;
        QSet<QString> exact;
    };

    platform::Result<QString> resolve(const QString &relativePath, bool isFolder, bool create) const;
    QString findNoCase(const QString &folder, const QString &name) const;
    Listing &listingOf(const QString &folder) const;
    void remember(const QString &folder, const QString &name) const;
    platform::Status checkItemsAgree() const;
    platform::Status checkPlace(const Item &item) const;
    platform::Status commitItem(const Item &item);
    bool insideTarget(const QString &path) const;

    QString m_target;
    QString m_canonicalTarget;
    std::unique_ptr<PrivateFolder> m_staging;
    QList<Item> m_items;
    mutable QHash<QString, Listing> m_listings;
};

} // namespace ziplayer
