#include "zip/ArchiveReader.h"

#include "zip/EntryName.h"
#include "zip/UnzipRecords.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <zip.h>

#include <memory>

namespace ziplayer {

namespace {

QString libzipMessage(int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString text = QString::fromLocal8Bit(zip_error_strerror(&error));
    zip_error_fini(&error);
    return text;
}

int openFailureCode(int libzipCode)
{
    switch (libzipCode) {
    case ZIP_ER_NOENT:
    case ZIP_ER_NOZIP:
    case ZIP_ER_OPEN:
        return PK_NOZIP;
    default:
        return PK_BADERR;
    }
}

struct ZipFileCloser {
    void operator()(zip_file_t *file) const { zip_fclose(file); }
};
using ZipFilePtr = std::unique_ptr<zip_file_t, ZipFileCloser>;

} // namespace

ArchiveReader::~ArchiveReader()
{
    if (m_archive)
        zip_discard(m_archive);
}

platform::Status ArchiveReader::open(const QString &path)
{
    m_path = path;
    if (!QFileInfo(path).isFile())
        return platform::Status::failure(QStringLiteral("no existe el archivo \"%1\"").arg(path), PK_NOZIP);
    int error = 0;
    m_archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    // libzip refuses a name stored twice without saying which: open it plainly to name it.
    if (!m_archive && error == ZIP_ER_EXISTS)
        m_archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!m_archive) {
        return platform::Status::failure(
            QStringLiteral("\"%1\" no es un archivo ZIP válido o está dañado (%2)").arg(path, libzipMessage(error)),
            openFailureCode(error));
    }
    return loadEntries();
}

platform::Status ArchiveReader::loadEntries()
{
    const zip_int64_t count = zip_get_num_entries(m_archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(m_archive, zip_uint64_t(i), ZIP_FL_ENC_RAW, &st) != 0 || !st.name) {
            return platform::Status::failure(
                QStringLiteral("no se puede leer la entrada %1 de \"%2\"").arg(i).arg(m_path), PK_BADERR);
        }
        ArchiveEntry entry;
        entry.index = zip_uint64_t(i);
        entry.name = entryname::decode(QByteArray(st.name));
        entry.isFolder = entryname::isFolderName(entry.name);
        entry.encrypted = (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE;
        entry.size = st.size;
        entry.compressedSize = st.comp_size;
        entry.crc = st.crc;
        entry.method = st.comp_method;
        if (st.valid & ZIP_STAT_MTIME)
            entry.modified = QDateTime::fromSecsSinceEpoch(qint64(st.mtime));
        m_entries.append(entry);
    }
    return checkNamesDiffer();
}

platform::Status ArchiveReader::checkNamesDiffer() const
{
    QHash<QString, QString> seen;
    for (const ArchiveEntry &entry : m_entries) {
        if (entry.isFolder)
            continue; // a folder named twice is still one folder
        const QString key = entryname::placeKey(entryname::safeRelativePath(entry.name).value_or(entry.name));
        const auto first = seen.constFind(key);
        if (first == seen.cend()) {
            seen.insert(key, entry.name);
            continue;
        }
        return platform::Status::failure(
            QStringLiteral("\"%1\" tiene dos entradas para el mismo archivo, \"%2\" y \"%3\"; no se extrae")
                .arg(m_path, *first, entry.name),
            PK_BADERR);
    }
    return {};
}

platform::Status ArchiveReader::readEntry(const ArchiveEntry &entry, const QByteArray &password, const Sink &sink) const
{
    const char *key = password.isEmpty() ? nullptr : password.constData();
    ZipFilePtr file(zip_fopen_index_encrypted(m_archive, entry.index, 0, key));
    if (!file) {
        const int code = zip_error_code_zip(zip_get_error(m_archive));
        zip_error_clear(m_archive);
        if (code == ZIP_ER_NOPASSWD || code == ZIP_ER_WRONGPASSWD) {
            return platform::Status::failure(
                QStringLiteral("contraseña %1 para \"%2\"")
                    .arg(key ? QStringLiteral("incorrecta") : QStringLiteral("faltante"), entry.name),
                IZ_BADPWD);
        }
        return platform::Status::failure(
            QStringLiteral("no se puede abrir \"%1\": %2").arg(entry.name, libzipMessage(code)), PK_ERR);
    }
    char buffer[64 * 1024];
    for (;;) {
        const zip_int64_t got = zip_fread(file.get(), buffer, sizeof buffer);
        if (got < 0) {
            const int code = zip_error_code_zip(zip_file_get_error(file.get()));
            return platform::Status::failure(
                QStringLiteral("datos dañados%1 en \"%2\": %3")
                    .arg(key ? QStringLiteral(" o contraseña incorrecta") : QString(), entry.name, libzipMessage(code)),
                PK_ERR);
        }
        if (got == 0)
            return {};
        if (!sink(buffer, got)) {
            return platform::Status::failure(QStringLiteral("no se pudo escribir \"%1\"").arg(entry.name), PK_DISK);
        }
    }
}

} // namespace ziplayer
