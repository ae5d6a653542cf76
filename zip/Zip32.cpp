#include "zip/Zip32.h"

#include "zip/EntryName.h"

#include "platform/Paths.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <zip.h>

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
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(archivePath).constData(), ZIP_CREATE, &error);
    if (!archive) {
        zip_error_t detail;
        zip_error_init_with_code(&detail, error);
        const Status failed =
            Status::failure(QStringLiteral("no se puede abrir \"%1\": %2").arg(archivePath, libzipMessage(&detail)),
                            openFailureCode(error));
        zip_error_fini(&detail);
        return failed;
    }
    for (const Source &source : sources) {
        if (Status added = addSource(archive, source); !added.ok()) {
            zip_discard(archive);
            return added;
        }
    }
    if (zip_close(archive) != 0) {
        zip_error_t *detail = zip_get_error(archive);
        const Status failed =
            Status::failure(QStringLiteral("no se puede escribir \"%1\": %2").arg(archivePath, libzipMessage(detail)),
                            closeFailureCode(zip_error_code_zip(detail)));
        zip_discard(archive);
        return failed;
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
