#include "zip/Zip32.h"

#include "zip/EntryName.h"
#include "zip/PrivateFolder.h"

#include "platform/Paths.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <zip.h>

#include <filesystem>
#include <memory>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ziplayer {

using platform::Status;

namespace {

QString libzipMessage(zip_error_t *error) { return QString::fromLocal8Bit(zip_error_strerror(error)); }

int openFailureCode(int libzipCode)
{
    switch (libzipCode) {
    case ZIP_ER_NOZIP:
    case ZIP_ER_INCONS:
        return ZE_FORM;
    case ZIP_ER_MEMORY:
        return ZE_MEM;
    default:
        return ZE_CREAT;
    }
}

// The private folder beside the archive where a new archive is built.
constexpr char kPackingPrefix[] = ".imaestros-zip-";

struct ZipDiscarder {
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
using ZipPtr = std::unique_ptr<zip_t, ZipDiscarder>;

std::filesystem::path nativePath(const QString &path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

int closeFailureCode(int libzipCode)
{
    switch (libzipCode) {
    case ZIP_ER_OPEN:
        return ZE_OPEN;
    case ZIP_ER_READ:
        return ZE_READ;
    case ZIP_ER_TMPOPEN:
        return ZE_TEMP;
    case ZIP_ER_MEMORY:
        return ZE_MEM;
    default:
        return ZE_WRITE;
    }
}

} // namespace

int Zip32::ZpInit(const ZipCallbacks &callbacks)
{
    m_callbacks = callbacks;
    m_initialised = true;
    return ZE_OK;
}

int Zip32::ZpSetOptions(const ZipOptions &options)
{
    if (Status valid = checkOptions(options); !valid.ok()) {
        m_optionsSet = false;
        print(valid.message(), true);
        return valid.code();
    }
    m_options = options;
    m_optionsSet = true;
    return ZE_OK;
}

QString Zip32::describe(int code)
{
    switch (code) {
    case ZE_OK:
        return QStringLiteral("sin errores");
    case ZE_FORM:
        return QStringLiteral("el archivo ZIP existente está dañado");
    case ZE_MEM:
        return QStringLiteral("memoria insuficiente");
    case ZE_LOGIC:
        return QStringLiteral("la biblioteca de compresión no fue preparada");
    case ZE_TEMP:
        return QStringLiteral("no se puede crear el archivo temporal");
    case ZE_READ:
        return QStringLiteral("no se puede leer un archivo a comprimir");
    case ZE_NONE:
        return QStringLiteral("no existe ningún archivo a comprimir");
    case ZE_WRITE:
        return QStringLiteral("no se puede escribir el archivo ZIP");
    case ZE_CREAT:
        return QStringLiteral("no se puede crear el archivo ZIP");
    case ZE_PARMS:
        return QStringLiteral("opciones no admitidas");
    case ZE_OPEN:
        return QStringLiteral("no se puede abrir un archivo a comprimir");
    default:
        return QStringLiteral("error %1").arg(code);
    }
}

int Zip32::ZpArchive(int fileCount, const QString &archivePath, const QStringList &fileList)
{
    if (!m_initialised || !m_optionsSet) {
        print(describe(ZE_LOGIC), true);
        return ZE_LOGIC;
    }
    const QList<Source> sources = existingSources(fileCount, fileList);
    if (sources.isEmpty()) {
        print(QStringLiteral("nada que hacer: no existe ningún archivo de la lista"), true);
        return ZE_NONE;
    }
    if (Status written = writeArchive(archivePath, sources); !written.ok()) {
        print(written.message(), true);
        return written.code();
    }
    if (m_options.move)
        removeSources(sources);
    return ZE_OK;
}

Status Zip32::checkOptions(const ZipOptions &o) const
{
    const bool unsupported = o.includeSuffixes || o.encrypt || o.storeVolumeLabel || o.storeExtraAttributes
        || o.excludeEarlier || o.includeEarlier || o.crlfToLf || o.lfToCrlf || o.recurse || o.forceShortNames
        || o.deleteEntries || o.update || o.freshen || o.dropSfxPrefix || o.latestTime || o.askComment || o.adjustSfx
        || o.usePrivileges || o.repair || !o.rootFolder.isEmpty();
    if (unsupported)
        return Status::failure(QStringLiteral("opciones de compresión no admitidas"), ZE_PARMS);
    if (o.level < '0' || o.level > '9')
        return Status::failure(QStringLiteral("nivel de compresión no admitido"), ZE_PARMS);
    return {};
}

QList<Zip32::Source> Zip32::existingSources(int fileCount, const QStringList &fileList)
{
    QList<Source> sources;
    for (int i = 0; i < fileCount && i < fileList.size(); ++i) {
        const QString listed = QDir::cleanPath(fileList[i]);
        const QFileInfo info(listed);
        const QString path = platform::findFileNoCase(info.path(), info.fileName());
        if (!QFileInfo::exists(path)) {
            print(QStringLiteral("aviso: no existe \"%1\"").arg(fileList[i]));
            continue;
        }
        sources.append({path, entryNameFor(listed)});
    }
    return sources;
}

QString Zip32::entryNameFor(const QString &listedPath) const
{
    if (m_options.dropFolderNames)
        return QFileInfo(listedPath).fileName();
    // Stored paths are relative: no root and no drive.
    QString name = listedPath;
    if (name.size() > 1 && name[1] == QLatin1Char(':'))
        name.remove(0, 2);
    while (name.startsWith(QLatin1Char('/')))
        name.remove(0, 1);
    return name;
}

Status Zip32::writeArchive(const QString &archivePath, const QList<Source> &sources)
{
    // The archive is built under a new name in a private folder beside it and renamed
    // over the old one: whatever stands at the name (a link, a pipe) is replaced, never
    // followed, and a failure leaves it as it was.
    auto previous = openPrevious(archivePath);
    if (!previous.ok())
        return Status::failure(previous.message(), previous.code());
    ZipPtr old(previous.value());
    const QString folder = QFileInfo(archivePath).absolutePath();
    PrivateFolder::removeAbandoned(folder, QLatin1String(kPackingPrefix));
    const PrivateFolder privateFolder(folder, QLatin1String(kPackingPrefix));
    if (const Status made = privateFolder.status(); !made.ok())
        return Status::failure(made.message(), ZE_TEMP);
    const QString built = privateFolder.filePath(QFileInfo(archivePath).fileName());
    int error = 0;
    ZipPtr archive(zip_open(QFile::encodeName(built).constData(), ZIP_CREATE | ZIP_EXCL, &error));
    if (!archive) {
        zip_error_t detail;
        zip_error_init_with_code(&detail, error);
        const Status failed = Status::failure(
            QStringLiteral("no se puede crear \"%1\": %2").arg(archivePath, libzipMessage(&detail)), ZE_CREAT);
        zip_error_fini(&detail);
        return failed;
    }
    if (Status kept = keepPreviousEntries(archive.get(), old.get(), sources, archivePath); !kept.ok())
        return kept;
    for (const Source &source : sources) {
        if (Status added = addSource(archive.get(), source); !added.ok())
            return added;
    }
    if (zip_close(archive.get()) != 0) {
        zip_error_t *detail = zip_get_error(archive.get());
        return Status::failure(
            QStringLiteral("no se puede escribir \"%1\": %2").arg(archivePath, libzipMessage(detail)),
            closeFailureCode(zip_error_code_zip(detail)));
    }
    archive.release();
    std::error_code renamed;
    std::filesystem::rename(nativePath(built), nativePath(archivePath), renamed);
    if (renamed) {
        return Status::failure(QStringLiteral("no se puede escribir \"%1\": %2")
                                   .arg(archivePath, QString::fromLocal8Bit(renamed.message().c_str())),
                               ZE_WRITE);
    }
    return {};
}

platform::Result<zip_t *> Zip32::openPrevious(const QString &archivePath) const
{
    using R = platform::Result<zip_t *>;
    const R none(static_cast<zip_t *>(nullptr));
    const QByteArray path = QFile::encodeName(archivePath);
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0)
        return none;
    if (S_ISDIR(info.st_mode))
        return R::failure(QStringLiteral("\"%1\" es una carpeta").arg(archivePath), ZE_CREAT);
    if (!S_ISREG(info.st_mode))
        return none; // a link or a pipe is no archive of ours: it is replaced
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat opened {};
    if (fd < 0 || ::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        if (fd >= 0)
            ::close(fd);
        return none; // replaced under us by something else: not read either
    }
    int error = 0;
    zip_t *old = zip_fdopen(fd, ZIP_CHECKCONS, &error); // owns fd from here on success
    if (!old) {
        ::close(fd);
        zip_error_t detail;
        zip_error_init_with_code(&detail, error);
        const R failed =
            R::failure(QStringLiteral("no se puede abrir \"%1\": %2").arg(archivePath, libzipMessage(&detail)),
                       openFailureCode(error));
        zip_error_fini(&detail);
        return failed;
    }
    return R(old);
}

Status Zip32::keepPreviousEntries(zip_t *archive, zip_t *old, const QList<Source> &sources, const QString &archivePath)
{
    if (!old)
        return {};
    QSet<QString> replaced;
    for (const Source &source : sources)
        replaced.insert(source.entryName);
    const zip_int64_t count = zip_get_num_entries(old, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char *raw = zip_get_name(old, zip_uint64_t(i), ZIP_FL_ENC_RAW);
        const QString name = raw ? entryname::decode(QByteArray(raw)) : QString();
        if (name.isEmpty() || replaced.contains(name))
            continue;
        // The whole entry is copied as it is stored, without inflating it.
        zip_source_t *data = zip_source_zip(archive, old, zip_uint64_t(i), 0, 0, -1);
        bool utf8 = false;
        const QByteArray stored = entryname::encode(name, utf8);
        if (!data || zip_file_add(archive, stored.constData(), data, utf8 ? ZIP_FL_ENC_UTF_8 : ZIP_FL_ENC_CP437) < 0) {
            if (data)
                zip_source_free(data);
            return Status::failure(QStringLiteral("no se puede copiar \"%1\" de \"%2\": %3")
                                       .arg(name, archivePath, libzipMessage(zip_get_error(archive))),
                                   ZE_READ);
        }
    }
    return {};
}

Status Zip32::addSource(zip_t *archive, const Source &source)
{
    if (!QFileInfo(source.path).isFile()) {
        return Status::failure(QStringLiteral("\"%1\" no es un archivo").arg(source.path), ZE_OPEN);
    }
    zip_source_t *data = zip_source_file(archive, QFile::encodeName(source.path).constData(), 0, -1);
    bool utf8 = false;
    const QByteArray name = entryname::encode(source.entryName, utf8);
    const zip_flags_t flags = ZIP_FL_OVERWRITE | (utf8 ? ZIP_FL_ENC_UTF_8 : ZIP_FL_ENC_CP437);
    const zip_int64_t index = data ? zip_file_add(archive, name.constData(), data, flags) : -1;
    if (index < 0) {
        if (data)
            zip_source_free(data);
        return Status::failure(
            QStringLiteral("no se puede agregar \"%1\": %2").arg(source.path, libzipMessage(zip_get_error(archive))),
            ZE_OPEN);
    }
    const zip_int32_t method = m_options.level == '0' ? ZIP_CM_STORE : ZIP_CM_DEFLATE;
    zip_set_file_compression(archive, zip_uint64_t(index), method, zip_uint32_t(m_options.level - '0'));
    print(QStringLiteral("  agregando: %1").arg(source.entryName));
    return {};
}

void Zip32::removeSources(const QList<Source> &sources)
{
    for (const Source &source : sources) {
        if (!QFile::remove(source.path))
            print(QStringLiteral("aviso: no se pudo borrar \"%1\"").arg(source.path), true);
    }
}

void Zip32::print(const QString &text, bool isError)
{
    if (!m_callbacks.print || (m_options.quiet && !isError))
        return;
    const QByteArray bytes = platform::textfile::encode1252(text + QLatin1Char('\n'));
    m_callbacks.print(bytes.constData(), static_cast<unsigned long>(bytes.size()));
}

} // namespace ziplayer
