#pragma once

#include <QString>

#include <cstdint>

namespace ziplayer {

// Result codes of Zip32, numbered as the zip32 interface numbers them.
enum ZipCode : int {
    ZE_OK = 0,
    ZE_FORM = 3, // the existing archive is not a valid ZIP archive
    ZE_MEM = 4,
    ZE_LOGIC = 5,  // called out of order (no ZpInit or ZpSetOptions)
    ZE_TEMP = 10,  // temporary file could not be written
    ZE_READ = 11,  // a source file could not be read
    ZE_NONE = 12,  // nothing to do: no listed file exists
    ZE_WRITE = 14, // the archive could not be written
    ZE_CREAT = 15, // the archive could not be created
    ZE_PARMS = 16, // options this layer does not carry out
    ZE_OPEN = 18   // a source file could not be opened
};

// Compression options, in the order of the zip32 options record. Flags are 0 or 1.
struct ZipOptions {
    int16_t includeSuffixes = 0;
    int16_t encrypt = 0;
    int16_t includeSystemHidden = 0;
    int16_t storeVolumeLabel = 0;
    int16_t storeExtraAttributes = 0;
    int16_t noFolderEntries = 0;
    int16_t excludeEarlier = 0;
    int16_t includeEarlier = 0;
    int16_t verbose = 0;
    int16_t quiet = 0;
    int16_t crlfToLf = 0;
    int16_t lfToCrlf = 0;
    int16_t dropFolderNames = 0;
    int16_t recurse = 0;
    int16_t grow = 0;
    int16_t forceShortNames = 0;
    int16_t move = 0;
    int16_t deleteEntries = 0;
    int16_t update = 0;
    int16_t freshen = 0;
    int16_t dropSfxPrefix = 0;
    int16_t latestTime = 0;
    int16_t askComment = 0;
    int16_t adjustSfx = 0;
    int16_t usePrivileges = 0;
    int16_t encryptionSupported = 0;
    int16_t repair = 0;
    char level = '6'; // compression level as a character, '0' (store) to '9'
    QString date;     // for excludeEarlier / includeEarlier
    QString rootFolder;
};

using ZipPrintFn = int (*)(const char *text, unsigned long size);
using ZipPasswordFn = int (*)(char *buffer, int size, const char *prompt, const char *entryName);
// Receives a buffer of ZipCommentBufferSize bytes and returns it holding the comment.
using ZipCommentFn = char *(*)(char *buffer);
inline constexpr int ZipCommentBufferSize = 4097;

// The callback record given to ZpInit.
struct ZipCallbacks {
    ZipPrintFn print = nullptr;
    ZipCommentFn comment = nullptr;
    ZipPasswordFn password = nullptr;
};

} // namespace ziplayer
