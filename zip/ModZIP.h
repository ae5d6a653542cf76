#pragma once

#include "zip/UnzipRecords.h"
#include "zip/Zip32.h"
#include "zip/ZipRecords.h"

#include "platform/Result.h"

#include <QString>
#include <QStringList>

// Transmission packages: extraction of an archive into a folder and packing of the
// control file and table files into "Archivos.zip", over the zip32/unzip32-shaped layer.
// Paths may be given the Windows way ("C:\RECIBIR\", "\" separators); they are mapped
// with platform::fromWindowsPath.
namespace ModZIP {

// Module state, alive for the whole run.
struct ModuleState {
    // Extraction.
    ziplayer::UnzipOptions unzipOptions; // also holds the archive path and target folder
    QStringList includeList;
    QStringList excludeList;
    QString messageText; // text printed during the last extraction
    QString listingText; // lines of RecibeListadoUnzip
    int listingCounter = 0;
    int16_t passwordRefused = 0; // 1 once the operator left a password prompt blank

    // Packing.
    ziplayer::ZipOptions zipOptions;
    QStringList fileList;
    int fileCount = 0;
    QString zipArchive;
    ziplayer::Zip32 zipLibrary;
};

ModuleState &state();

// The 30 file names packed, in the order they are added to the archive.
const QStringList &masterFileNames();

// Extracts every entry of the archive into the folder (created when missing), recreating
// stored folder names and replacing files of the same name, in any case, without asking.
// Fails, naming the archive and the reason, when the archive is missing, empty, damaged
// or unreadable, a password is missing or wrong, an entry name would leave the folder, or
// the folder cannot be written; the folder is then left as it was. The failure is logged;
// telling the operator is the caller's part.
[[nodiscard]] platform::Status Descomprimir(const QString &archivo, const QString &carpeta);
// Runs one extraction with the module settings; returns the library's code (0: done).
int EjecutaUnzip();

// Packs the files of masterFileNames() found in the folder (any case) into a new archive
// at `archivo` (an old one is removed first), one library call per file, with maximum
// compression and bare names; each file is deleted once the archive holding it was
// written. The pattern is not used. A listed file that does not exist is skipped. A file
// that cannot be packed goes to platform::suite::TratarError: 4 (Retry) tries it again,
// 5 (Ignore) goes on without it (the result is then a failure), any other answer stops.
// Fails also when no listed file exists or the old archive cannot be removed.
[[nodiscard]] platform::Status ComprimirMaestros(const QString &carpeta, const QString &patron, const QString &archivo);
// Runs one library call with the module settings; returns its code (0: done).
int EjecutaZip();

// Callbacks of the extraction library.
int RecibeTextoUnzip(const char *text, unsigned long size);
void RecibeListadoUnzip(const ziplayer::ListedEntry &entry);
int ConfirmaReemplazo(const char *fileName);
int PideClaveUnzip(char *buffer, int size, const char *prompt, const char *entryName);

// Callbacks of the compression library.
int RecibeTextoZip(const char *text, unsigned long size);
int PideClaveZip(char *buffer, int size, const char *prompt, const char *entryName);
char *PideComentarioZip(char *buffer);

} // namespace ModZIP
