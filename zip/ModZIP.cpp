#include "zip/ModZIP.h"

#include "zip/Unzip32.h"

#include "platform/Logger.h"
#include "platform/Paths.h"
#include "platform/suite/TratarError.h"
#include "platform/ui/Operator.h"

#include <QFile>
#include <QFileInfo>

namespace ModZIP {

using platform::Status;

namespace {

enum class Packing { Packed, Missing, Skipped, Aborted };

QString lastLine(const QString &text)
{
    const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
        if (!it->trimmed().isEmpty())
            return it->trimmed();
    }
    return QString();
}

void prepareExtraction(ModuleState &st, const QString &archivo, const QString &carpeta)
{
    st.messageText.clear();
    st.listingCounter = 1; // the listing never starts with a header line
    ziplayer::UnzipOptions &o = st.unzipOptions;
    o.promptToOverwrite = 0;
    o.overwriteAll = 1;
    o.listOnly = 0;
    o.recreateFolders = 1;
    st.includeList.clear();
    st.excludeList.clear();
    o.archivePath = platform::fromWindowsPath(archivo);
    o.extractFolder = platform::fromWindowsPath(carpeta);
}

void preparePacking(ModuleState &st, const QString &archivo)
{
    ziplayer::ZipOptions &o = st.zipOptions;
    o.date.clear();
    o.dropFolderNames = 1;
    o.recurse = 0;
    o.update = 0;
    o.freshen = 0;
    o.level = '9';
    o.encrypt = 0;
    o.move = 1;
    st.fileCount = 1;
    st.zipArchive = platform::fromWindowsPath(archivo);
}

// Each package starts a new archive: entries of an older package must not mix in.
Status removeOldArchive(const QString &path)
{
    const QFileInfo given(path);
    const QFileInfo old(platform::findFileNoCase(given.path(), given.fileName()));
    if (!old.exists() && !old.isSymLink())
        return {};
    if (old.isDir() || !QFile::remove(old.filePath())) {
        return Status::failure(QStringLiteral("No se pudo reemplazar el archivo \"%1\"").arg(old.filePath()),
                               ziplayer::ZE_CREAT);
    }
    platform::logger().info(QStringLiteral("Se reemplaza el archivo anterior \"%1\"").arg(old.filePath()));
    return {};
}

Packing packOne(const QString &path)
{
    for (;;) {
        const int code = EjecutaZip();
        if (code == ziplayer::ZE_OK)
            return Packing::Packed;
        if (code == ziplayer::ZE_NONE) {
            platform::logger().info(QStringLiteral("No existe \"%1\": no se comprime").arg(path));
            return Packing::Missing;
        }
        const QString message = QStringLiteral("No se pudo agregar el archivo \"%1\" al archivo \"%2\": %3")
                                    .arg(path, state().zipArchive, ziplayer::Zip32::describe(code));
        const int answer = platform::suite::TratarError(
            platform::RuntimeError(code, message, QStringLiteral("ModZIP.ComprimirMaestros")), QString(), QString());
        if (answer == platform::vbRetry)
            continue;
        return answer == platform::vbIgnore ? Packing::Skipped : Packing::Aborted;
    }
}

Status packingResult(int packed, const QStringList &skipped, bool aborted, const QString &archivo,
                     const QString &carpeta)
{
    QString message;
    int code = ziplayer::ZE_WRITE;
    if (aborted) {
        message = QStringLiteral("Se interrumpió la compresión de \"%1\": el archivo no contiene todos los "
                                 "archivos de la carpeta \"%2\"")
                      .arg(archivo, carpeta);
    } else if (!skipped.isEmpty()) {
        message = QStringLiteral("No se comprimieron en \"%1\" los archivos: %2")
                      .arg(archivo, skipped.join(QStringLiteral(", ")));
    } else if (packed == 0) {
        message = QStringLiteral("No se encontró ningún archivo para comprimir en la carpeta \"%1\"").arg(carpeta);
        code = ziplayer::ZE_NONE;
    } else {
        platform::logger().info(QStringLiteral("Comprimidos %1 archivos en \"%2\"").arg(packed).arg(archivo));
        return {};
    }
    platform::logger().error(message);
    return Status::failure(message, code);
}

} // namespace

ModuleState &state()
{
    static ModuleState moduleState;
    return moduleState;
}

const QStringList &masterFileNames()
{
    static const QStringList names{QStringLiteral("CONTROLMA.DAT"),
                                   QStringLiteral("V_TA_UNIDAD.DAT"),
                                   QStringLiteral("V_TA_RUBROS.DAT"),
                                   QStringLiteral("V_TA_TIPOARTICULO.DAT"),
                                   QStringLiteral("V_TA_POLITICAPRECIOS.DAT"),
                                   QStringLiteral("V_TA_PERCEPCION.DAT"),
                                   QStringLiteral("V_TA_FAMILIAS.DAT"),
                                   QStringLiteral("V_MA_INSUMOS.DAT"),
                                   QStringLiteral("V_MA_INSUMOSTAREAS.DAT"),
                                   QStringLiteral("V_TA_TARIFAFLETE.DAT"),
                                   QStringLiteral("MA_CUENTAS.DAT"),
                                   QStringLiteral("MA_CUENTASADIC.DAT"),
                                   QStringLiteral("V_MA_ARTICULOS.DAT"),
                                   QStringLiteral("TA_ESTADOS.DAT"),
                                   QStringLiteral("TA_PAISES.DAT"),
                                   QStringLiteral("TA_TIPODOCUMENTO.DAT"),
                                   QStringLiteral("TA_CONDIVA.DAT"),
                                   QStringLiteral("V_TA_CPRA_VTA.DAT"),
                                   QStringLiteral("V_TA_CATEGORIA.DAT"),
                                   QStringLiteral("V_TA_VENDEDORES.DAT"),
                                   QStringLiteral("V_TA_MOTIVOCPRA.DAT"),
                                   QStringLiteral("V_TA_MOTIVOVTA.DAT"),
                                   QStringLiteral("V_TA_DEPOSITO.DAT"),
                                   QStringLiteral("V_TA_TAREAS.DAT"),
                                   QStringLiteral("V_TA_TECNICOS.DAT"),
                                   QStringLiteral("V_MA_PRECIOSCAB.DAT"),
                                   QStringLiteral("V_MA_PRECIOS.DAT"),
                                   QStringLiteral("S_TA_EQUIV.DAT"),
                                   QStringLiteral("B_ALIAS.DAT"),
                                   QStringLiteral("B_CODIGOS.DAT")};
    return names;
}

Status Descomprimir(const QString &archivo, const QString &carpeta)
{
    ModuleState &st = state();
    prepareExtraction(st, archivo, carpeta);
    const int code = EjecutaUnzip();
    if (code == ziplayer::PK_OK) {
        platform::logger().info(QStringLiteral("Descomprimido \"%1\" en \"%2\"").arg(archivo, carpeta));
        return {};
    }
    QString reason = lastLine(st.messageText);
    if (reason.isEmpty())
        reason = ziplayer::Unzip32::describe(code);
    const QString message = QStringLiteral("No se pudo descomprimir el archivo \"%1\" en la carpeta \"%2\": %3")
                                .arg(archivo, carpeta, reason);
    platform::logger().error(message);
    return Status::failure(message, code);
}

int EjecutaUnzip()
{
    ModuleState &st = state();
    ziplayer::UnzipCallbacks callbacks;
    callbacks.print = RecibeTextoUnzip;
    callbacks.replace = ConfirmaReemplazo;
    callbacks.password = PideClaveUnzip;
    callbacks.message = RecibeListadoUnzip;
    return ziplayer::Unzip32::windll_unzip(st.includeList, st.excludeList, st.unzipOptions, callbacks);
}

Status ComprimirMaestros(const QString &carpeta, const QString &patron, const QString &archivo)
{
    Q_UNUSED(patron) // the list of files is fixed
    ModuleState &st = state();
    preparePacking(st, archivo);
    const QString folder = platform::fromWindowsPath(carpeta);
    if (Status removed = removeOldArchive(st.zipArchive); !removed.ok()) {
        platform::logger().error(removed.message());
        return removed;
    }
    int packed = 0;
    QStringList skipped;
    for (const QString &name : masterFileNames()) {
        st.fileList = QStringList{platform::joinPath(folder, name)};
        const Packing outcome = packOne(st.fileList.first());
        if (outcome == Packing::Aborted)
            return packingResult(packed, skipped, true, archivo, carpeta);
        if (outcome == Packing::Packed)
            ++packed;
        else if (outcome == Packing::Skipped)
            skipped.append(name);
    }
    return packingResult(packed, skipped, false, archivo, carpeta);
}

int EjecutaZip()
{
    ModuleState &st = state();
    ziplayer::ZipCallbacks callbacks;
    callbacks.print = RecibeTextoZip;
    callbacks.comment = PideComentarioZip;
    callbacks.password = PideClaveZip;
    // A step that fails stops the call: later steps would run on stale settings.
    int code = st.zipLibrary.ZpInit(callbacks);
    if (code == ziplayer::ZE_OK)
        code = st.zipLibrary.ZpSetOptions(st.zipOptions);
    if (code == ziplayer::ZE_OK)
        code = st.zipLibrary.ZpArchive(st.fileCount, st.zipArchive, st.fileList);
    return code;
}

} // namespace ModZIP
