#include "zip/Unzip32.h"

#include "zip/EntryName.h"
#include "zip/StagedExtraction.h"

#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStorageInfo>

namespace ziplayer {

using platform::Status;

struct Unzip32::Selected {
    const ArchiveEntry *entry = nullptr;
    QString path; // relative to the target folder, "/" separators
};

namespace {

constexpr int PasswordBufferSize = 256;

QByteArray ansi(const QString &text) { return platform::textfile::encode1252(text); }

int compressionFactor(uint64_t size, uint64_t compressed)
{
    if (size == 0 || compressed >= size)
        return 0;
    return int(100 - (compressed * 100) / size);
}

ListedEntry listedEntry(const ArchiveEntry &entry, const QByteArray &name)
{
    ListedEntry listed;
    listed.size = uint32_t(entry.size);
    listed.compressedSize = uint32_t(entry.compressedSize);
    listed.compressionFactor = int16_t(compressionFactor(entry.size, entry.compressedSize));
    const QDateTime local = entry.modified.toLocalTime();
    listed.month = int16_t(local.date().month());
    listed.day = int16_t(local.date().day());
    listed.year = int16_t(local.date().year());
    listed.hour = int16_t(local.time().hour());
    listed.minute = int16_t(local.time().minute());
    listed.method = entry.method == 0 ? 'S' : 'D';
    listed.methodName = entry.method == 0 ? "Stored" : "Defl:X";
    listed.fileName = name.constData();
    listed.crc = entry.crc;
    listed.encrypted = entry.encrypted;
    return listed;
}

} // namespace

Unzip32::Unzip32(const UnzipOptions &options, UnzipCallbacks &callbacks) : m_options(options), m_callbacks(callbacks) {}

int Unzip32::windll_unzip(const QStringList &include, const QStringList &exclude, const UnzipOptions &options,
                          UnzipCallbacks &callbacks)
{
    Unzip32 call(options, callbacks);
    return call.run(include, exclude);
}

QString Unzip32::describe(int code)
{
    switch (code) {
    case PK_OK:
        return QStringLiteral("sin errores");
    case PK_WARN:
        return QStringLiteral("advertencias durante la extracción");
    case PK_ERR:
        return QStringLiteral("error en una entrada del archivo");
    case PK_BADERR:
        return QStringLiteral("el archivo ZIP está dañado");
    case PK_MEM:
        return QStringLiteral("memoria insuficiente");
    case PK_NOZIP:
        return QStringLiteral("no se encontró el archivo ZIP o no es un archivo ZIP");
    case PK_PARAM:
        return QStringLiteral("opciones no admitidas");
    case PK_FIND:
        return QStringLiteral("ninguna entrada coincide");
    case PK_DISK:
        return QStringLiteral("no se puede escribir en la carpeta de destino");
    case IZ_BADPWD:
        return QStringLiteral("contraseña faltante o incorrecta");
    default:
        return QStringLiteral("error %1").arg(code);
    }
}

Status Unzip32::checkExpansion(uint64_t total, uint64_t limit, qint64 available, const QString &archive,
                               const QString &folder)
{
    const auto mib = [](uint64_t bytes) { return QString::number(double(bytes) / (1024.0 * 1024.0), 'f', 1); };
    if (total > limit) {
        return Status::failure(QStringLiteral("\"%1\" se expande a %2 MiB, más que el límite de %3 MiB; no se extrae")
                                   .arg(archive, mib(total), mib(limit)),
                               PK_DISK);
    }
    if (available >= 0 && total > uint64_t(available)) {
        return Status::failure(
            QStringLiteral("\"%1\" se expande a %2 MiB y en \"%3\" quedan %4 MiB libres; no se extrae")
                .arg(archive, mib(total), folder, mib(uint64_t(available))),
            PK_DISK);
    }
    return {};
}

int Unzip32::run(const QStringList &include, const QStringList &exclude)
{
    if (Status valid = checkOptions(); !valid.ok())
        return fail(valid);
    ArchiveReader reader;
    if (Status opened = reader.open(m_options.archivePath); !opened.ok())
        return fail(opened);
    fillTotals(reader);
    if (reader.entries().isEmpty()) {
        print(QStringLiteral("el archivo ZIP \"%1\" está vacío").arg(m_options.archivePath), true);
        return PK_WARN;
    }
    QList<Selected> selected;
    if (Status chosen = select(reader, include, exclude, selected); !chosen.ok())
        return fail(chosen);
    if (m_options.listOnly) {
        list(selected);
        return PK_OK;
    }
    const Status done = m_options.testOnly ? test(reader, selected) : extract(reader, selected);
    return done.ok() ? PK_OK : fail(done);
}

Status Unzip32::checkOptions() const
{
    const UnzipOptions &o = m_options;
    const bool unsupported = o.extractOnlyNewer || o.spaceToUnderscore || o.writeToStdout || o.freshenOnly
        || o.showComment || o.convertLineEnds || o.archiveInfo || o.restorePrivileges;
    if (unsupported)
        return Status::failure(QStringLiteral("opciones de extracción no admitidas"), PK_PARAM);
    return {};
}

Status Unzip32::select(const ArchiveReader &reader, const QStringList &include, const QStringList &exclude,
                       QList<Selected> &selected) const
{
    const bool writes = !m_options.listOnly && !m_options.testOnly;
    QHash<QString, QString> places; // without stored folders, "A/X.DAT" and "B/x.dat" meet
    for (const ArchiveEntry &entry : reader.entries()) {
        if (!isWanted(entry.name, include, exclude))
            continue;
        const std::optional<QString> path = entryname::safeRelativePath(entry.name);
        if (writes && !path) {
            return Status::failure(QStringLiteral("entrada rechazada: \"%1\" quedaría fuera de la carpeta \"%2\"")
                                       .arg(entry.name, m_options.extractFolder),
                                   PK_ERR);
        }
        QString relative = path.value_or(entry.name);
        if (!m_options.recreateFolders && writes) {
            if (entry.isFolder)
                continue;
            relative = relative.section(QLatin1Char('/'), -1);
        }
        if (writes && relative.isEmpty())
            continue;
        if (writes && !entry.isFolder) {
            const QString key = entryname::placeKey(relative);
            if (places.contains(key)) {
                return Status::failure(QStringLiteral("\"%1\" y \"%2\" irían al mismo archivo \"%3\"; no se extrae")
                                           .arg(places.value(key), entry.name, relative),
                                       PK_BADERR);
            }
            places.insert(key, entry.name);
        }
        selected.append({&entry, relative});
    }
    if (selected.isEmpty())
        return Status::failure(QStringLiteral("ninguna entrada del archivo coincide"), PK_FIND);
    return {};
}

bool Unzip32::isWanted(const QString &name, const QStringList &include, const QStringList &exclude) const
{
    const Qt::CaseSensitivity cs = m_options.matchNoCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
    return (include.isEmpty() || include.contains(name, cs)) && !exclude.contains(name, cs);
}

void Unzip32::fillTotals(const ArchiveReader &reader)
{
    m_callbacks.numMembers = uint32_t(reader.entries().size());
    m_callbacks.totalSize = 0;
    m_callbacks.totalSizeComp = 0;
    for (const ArchiveEntry &entry : reader.entries()) {
        m_callbacks.totalSize += entry.size;
        m_callbacks.totalSizeComp += entry.compressedSize;
    }
    m_callbacks.compressionFactor = compressionFactor(m_callbacks.totalSize, m_callbacks.totalSizeComp);
    m_callbacks.commentLength = 0;
}

void Unzip32::list(const QList<Selected> &selected)
{
    if (!m_callbacks.message)
        return;
    for (const Selected &item : selected) {
        const QByteArray name = ansi(item.entry->name);
        m_callbacks.message(listedEntry(*item.entry, name));
    }
}

Status Unzip32::test(const ArchiveReader &reader, const QList<Selected> &selected)
{
    const auto discard = [](const char *, qint64) { return true; };
    for (const Selected &item : selected) {
        if (item.entry->isFolder)
            continue;
        if (Status read = readWithPassword(reader, *item.entry, discard); !read.ok())
            return read;
        print(QStringLiteral("    probando: %1   OK").arg(item.entry->name));
    }
    return {};
}

Status Unzip32::checkRoom(const QList<Selected> &selected) const
{
    uint64_t total = 0;
    for (const Selected &item : selected)
        total += item.entry->size;
    // The target may not exist yet: its nearest existing folder holds the disk.
    QString folder = QDir::cleanPath(m_options.extractFolder);
    while (!QFileInfo(folder).isDir() && folder != QDir::cleanPath(QFileInfo(folder).path()))
        folder = QDir::cleanPath(QFileInfo(folder).path());
    const QStorageInfo disk(folder);
    const qint64 available = disk.isValid() ? disk.bytesAvailable() : -1;
    return checkExpansion(total, m_options.maxExpandedSize, available, m_options.archivePath, m_options.extractFolder);
}

Status Unzip32::extract(const ArchiveReader &reader, const QList<Selected> &selected)
{
    // Abandoned staging folders go first: their room counts as free.
    StagedExtraction::removeAbandonedStaging(m_options.extractFolder);
    if (Status room = checkRoom(selected); !room.ok())
        return room;
    StagedExtraction staging(m_options.extractFolder);
    if (Status ready = staging.prepare(); !ready.ok())
        return ready;
    for (const Selected &item : selected) {
        if (item.entry->isFolder) {
            staging.stageFolder(item.path);
        } else if (!mayWrite(item, staging)) {
            print(QStringLiteral("   se conserva: %1").arg(item.path));
        } else if (Status staged = stageEntry(reader, item, staging); !staged.ok()) {
            return staged;
        }
    }
    return staging.commit();
}

Status Unzip32::stageEntry(const ArchiveReader &reader, const Selected &item, StagedExtraction &staging)
{
    QFile file(staging.stageFile(item.path));
    if (!file.open(QIODevice::WriteOnly)) {
        return Status::failure(
            QStringLiteral("no se puede escribir \"%1\": %2").arg(file.fileName(), file.errorString()), PK_DISK);
    }
    // Never more than the entry declares: the room was checked against that size.
    uint64_t written = 0;
    bool tooBig = false;
    const auto write = [&](const char *data, qint64 size) {
        written += uint64_t(size);
        tooBig = written > item.entry->size;
        return !tooBig && file.write(data, size) == size;
    };
    if (Status read = readWithPassword(reader, *item.entry, write); !read.ok()) {
        if (tooBig)
            return Status::failure(QStringLiteral("\"%1\" se expande a más de los %2 bytes que declara; no se extrae")
                                       .arg(item.entry->name)
                                       .arg(item.entry->size),
                                   PK_ERR);
        return read;
    }
    if (!file.flush()) {
        return Status::failure(QStringLiteral("no se puede escribir \"%1\": %2").arg(item.path, file.errorString()),
                               PK_DISK);
    }
    if (item.entry->modified.isValid())
        file.setFileTime(item.entry->modified, QFileDevice::FileModificationTime);
    file.close();
    print(QStringLiteral("  extrayendo: %1").arg(item.path));
    return {};
}

bool Unzip32::mayWrite(const Selected &item, const StagedExtraction &staging)
{
    if (staging.existingTarget(item.path).isEmpty() || m_options.overwriteAll || m_replaceAll)
        return true;
    if (!m_options.promptToOverwrite || m_replaceNone || !m_callbacks.replace)
        return false;
    switch (m_callbacks.replace(ansi(item.path).constData())) {
    case IDM_REPLACE_YES:
        return true;
    case IDM_REPLACE_ALL:
        m_replaceAll = true;
        return true;
    case IDM_REPLACE_NONE:
        m_replaceNone = true;
        return false;
    default:
        return false;
    }
}

Status Unzip32::readWithPassword(const ArchiveReader &reader, const ArchiveEntry &entry,
                                 const ArchiveReader::Sink &sink)
{
    // A password failure is found before any data reaches the sink, so asking again is safe.
    if (!entry.encrypted || !m_password.isEmpty()) {
        Status read = reader.readEntry(entry, m_password, sink);
        if (read.ok() || read.code() != IZ_BADPWD)
            return read;
    }
    if (!askPassword(entry)) {
        return Status::failure(QStringLiteral("no se indicó la contraseña de \"%1\"").arg(entry.name), IZ_BADPWD);
    }
    return reader.readEntry(entry, m_password, sink);
}

bool Unzip32::askPassword(const ArchiveEntry &entry)
{
    if (!m_callbacks.password)
        return false;
    QByteArray buffer(PasswordBufferSize, '\0');
    const QByteArray prompt = ansi(QStringLiteral("Contraseña de %1").arg(entry.name));
    const QByteArray name = ansi(entry.name);
    if (m_callbacks.password(buffer.data(), int(buffer.size()), prompt.constData(), name.constData()) != PasswordGiven)
        return false;
    m_password = QByteArray(buffer.constData(), qsizetype(qstrnlen(buffer.constData(), size_t(buffer.size()))));
    return !m_password.isEmpty();
}

int Unzip32::fail(const Status &status)
{
    print(status.message(), true);
    return status.code();
}

void Unzip32::print(const QString &text, bool isError)
{
    if (!m_callbacks.print || m_options.quietLevel >= (isError ? 2 : 1))
        return;
    const QByteArray bytes = ansi(text + QLatin1Char('\n'));
    m_callbacks.print(bytes.constData(), static_cast<unsigned long>(bytes.size()));
}

} // namespace ziplayer
