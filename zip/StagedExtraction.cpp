#include "zip/StagedExtraction.h"

#include "zip/PrivateFolder.h"
#include "zip/UnzipRecords.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

namespace ziplayer {

namespace {

std::filesystem::path nativePath(const QString &path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString stagingPrefix() { return QString::fromLatin1(StagedExtraction::kStagingPrefix); }

} // namespace

StagedExtraction::StagedExtraction(const QString &targetFolder) : m_target(QDir::cleanPath(targetFolder)) {}

StagedExtraction::~StagedExtraction() = default;

QStringList StagedExtraction::removeAbandonedStaging(const QString &targetFolder)
{
    return PrivateFolder::removeAbandoned(targetFolder, stagingPrefix());
}

platform::Status StagedExtraction::prepare()
{
    if (!QDir().mkpath(m_target)) {
        return platform::Status::failure(QStringLiteral("no se puede crear la carpeta \"%1\"").arg(m_target), PK_DISK);
    }
    m_canonicalTarget = QFileInfo(m_target).canonicalFilePath();
    removeAbandonedStaging(m_target);
    m_staging = std::make_unique<PrivateFolder>(m_target, stagingPrefix());
    if (const platform::Status made = m_staging->status(); !made.ok())
        return platform::Status::failure(made.message(), PK_DISK);
    return {};
}

QString StagedExtraction::existingTarget(const QString &relativePath) const
{
    const auto found = resolve(relativePath, false, false);
    return found.ok() && QFileInfo::exists(found.value()) ? found.value() : QString();
}

QString StagedExtraction::stageFile(const QString &relativePath)
{
    // Flat, numbered names: the staging folder never needs the entry's own folders.
    const QString staged = m_staging->filePath(QString::number(m_items.size()));
    m_items.append({relativePath, staged});
    return staged;
}

void StagedExtraction::stageFolder(const QString &relativePath) { m_items.append({relativePath, QString()}); }

platform::Status StagedExtraction::commit()
{
    // Every place is checked before the first move, so that a conflict leaves the
    // target folder untouched.
    if (platform::Status agree = checkItemsAgree(); !agree.ok())
        return agree;
    for (const Item &item : std::as_const(m_items)) {
        if (platform::Status free = checkPlace(item); !free.ok())
            return free;
    }
    for (const Item &item : std::as_const(m_items)) {
        if (platform::Status done = commitItem(item); !done.ok())
            return done;
    }
    return {};
}

platform::Status StagedExtraction::checkItemsAgree() const
{
    // Names compare as the target's do: without regard to case.
    QHash<QString, QString> files;
    QSet<QString> folders;
    for (const Item &item : std::as_const(m_items)) {
        const QStringList parts = item.relative.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        const bool isFolder = item.staged.isEmpty();
        QString path;
        for (qsizetype i = 0; i < parts.size(); ++i) {
            path += (i ? QStringLiteral("/") : QString()) + parts[i].toCaseFolded();
            if (i + 1 < parts.size() || isFolder)
                folders.insert(path);
            else
                files.insert(path, item.relative);
        }
    }
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        if (folders.contains(it.key()))
            return platform::Status::failure(
                QStringLiteral("\"%1\" es a la vez un archivo y una carpeta del archivo ZIP").arg(it.value()), PK_ERR);
    }
    return {};
}

platform::Status StagedExtraction::checkPlace(const Item &item) const
{
    const bool isFolder = item.staged.isEmpty();
    const auto target = resolve(item.relative, isFolder, false);
    if (!target.ok())
        return platform::Status::failure(target.message(), PK_DISK);
    const QFileInfo existing(target.value());
    if (isFolder ? existing.exists() && !existing.isDir() : existing.isDir() && !existing.isSymLink()) {
        return platform::Status::failure(QStringLiteral("\"%1\" ya existe y no puede reemplazarse").arg(target.value()),
                                         PK_DISK);
    }
    return {};
}

platform::Status StagedExtraction::commitItem(const Item &item)
{
    const bool isFolder = item.staged.isEmpty();
    const auto target = resolve(item.relative, isFolder, true);
    if (!target.ok())
        return platform::Status::failure(target.message(), PK_DISK);
    if (isFolder)
        return {};
    // rename() replaces an existing file, or a link itself, never what a link points to.
    std::error_code error;
    std::filesystem::rename(nativePath(item.staged), nativePath(target.value()), error);
    if (error) {
        return platform::Status::failure(QStringLiteral("no se puede escribir \"%1\": %2")
                                             .arg(target.value(), QString::fromLocal8Bit(error.message().c_str())),
                                         PK_DISK);
    }
    const QFileInfo placed(target.value());
    remember(placed.path(), placed.fileName());
    return {};
}

platform::Result<QString> StagedExtraction::resolve(const QString &relativePath, bool isFolder, bool create) const
{
    const QStringList parts = relativePath.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const qsizetype folders = isFolder ? parts.size() : parts.size() - 1;
    QString current = m_target;
    for (qsizetype i = 0; i < folders; ++i) {
        QString next = findNoCase(current, parts[i]);
        const QFileInfo info(next);
        if (!info.exists() && !info.isSymLink()) {
            if (!create)
                return next; // nothing below a missing folder can be in the way
            if (!QDir(current).mkdir(parts[i]))
                return platform::Result<QString>::failure(
                    QStringLiteral("no se puede crear la carpeta \"%1\"").arg(next));
            remember(current, parts[i]);
            m_listings.insert(next, Listing{}); // new and empty: nothing to list
        } else if (!info.isDir()) {
            return platform::Result<QString>::failure(QStringLiteral("\"%1\" no es una carpeta").arg(next));
        }
        if (!insideTarget(next)) {
            return platform::Result<QString>::failure(
                QStringLiteral("\"%1\" lleva fuera de la carpeta \"%2\"").arg(next, m_target));
        }
        current = next;
    }
    return isFolder ? current : findNoCase(current, parts.last());
}

QString StagedExtraction::findNoCase(const QString &folder, const QString &name) const
{
    const Listing &listing = listingOf(folder);
    if (listing.exact.contains(name))
        return platform::joinPath(folder, name);
    const auto found = listing.byFolded.constFind(name.toCaseFolded());
    return platform::joinPath(folder, found == listing.byFolded.cend() ? name : *found);
}

StagedExtraction::Listing &StagedExtraction::listingOf(const QString &folder) const
{
    auto it = m_listings.find(folder);
    if (it != m_listings.end())
        return *it;
    Listing listing;
    const QStringList entries =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        listing.exact.insert(entry);
        // The first of two names in different case stays, as a search of the folder finds it.
        if (!listing.byFolded.contains(entry.toCaseFolded()))
            listing.byFolded.insert(entry.toCaseFolded(), entry);
    }
    return *m_listings.insert(folder, std::move(listing));
}

void StagedExtraction::remember(const QString &folder, const QString &name) const
{
    auto it = m_listings.find(folder);
    if (it == m_listings.end())
        return; // never listed: it is read whole when first needed
    it->exact.insert(name);
    if (!it->byFolded.contains(name.toCaseFolded()))
        it->byFolded.insert(name.toCaseFolded(), name);
}

bool StagedExtraction::insideTarget(const QString &path) const
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return !canonical.isEmpty()
        && (canonical == m_canonicalTarget || canonical.startsWith(m_canonicalTarget + QLatin1Char('/')));
}

} // namespace ziplayer
