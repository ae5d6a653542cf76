#pragma once

#include <QString>

#include <cstdint>

namespace ziplayer {

// Result codes of Unzip32::windll_unzip, numbered as the unzip32 interface numbers them.
enum UnzipCode : int {
    PK_OK = 0,     // everything done
    PK_WARN = 1,   // done with warnings (for instance an empty archive)
    PK_ERR = 2,    // an entry could not be read or was refused
    PK_BADERR = 3, // the archive is damaged
    PK_MEM = 4,
    PK_NOZIP = 9,  // archive missing or not a ZIP archive
    PK_PARAM = 10, // options this layer does not carry out
    PK_FIND = 11,  // no entry matched the include list
    PK_DISK = 50,  // the target folder could not be written
    IZ_BADPWD = 82 // password missing or wrong
};

// Answers of the replace callback.
enum ReplaceAnswer : int {
    IDM_REPLACE_NO = 100,  // keep this existing file
    IDM_REPLACE_YES = 102, // overwrite this file
    IDM_REPLACE_ALL = 103, // overwrite this and every later file
    IDM_REPLACE_NONE = 104 // overwrite no file at all
};

// Answers of the password callbacks (both libraries).
enum PasswordAnswer : int { PasswordGiven = 0, PasswordNone = 1 };

// Largest total size, in bytes, that one extraction may expand to (4 GiB): a package of
// table files never comes near it; an archive built to fill the disk is refused.
inline constexpr uint64_t kMaxExpandedSize = uint64_t(4) << 30;

// Extraction options, in the order of the unzip32 options record. Every flag is 0 or 1,
// except quietLevel (0 all messages, 1 fewer, 2 none). maxExpandedSize is our own: the
// limit above unless a caller lowers it.
struct UnzipOptions {
    int16_t extractOnlyNewer = 0;
    int16_t spaceToUnderscore = 0;
    int16_t promptToOverwrite = 0;
    int16_t quietLevel = 0;
    int16_t writeToStdout = 0;
    int16_t testOnly = 0;
    int16_t listOnly = 0;
    int16_t freshenOnly = 0;
    int16_t showComment = 0;
    int16_t recreateFolders = 0;
    int16_t overwriteAll = 0;
    int16_t convertLineEnds = 0;
    int16_t archiveInfo = 0;
    int16_t matchNoCase = 0;
    int16_t restorePrivileges = 0;
    QString archivePath;
    QString extractFolder;
    uint64_t maxExpandedSize = kMaxExpandedSize;
};

// One entry as the listing callback receives it; texts are NUL-terminated bytes.
struct ListedEntry {
    uint32_t size = 0;
    uint32_t compressedSize = 0;
    int16_t compressionFactor = 0;
    int16_t month = 0;
    int16_t day = 0;
    int16_t year = 0;
    int16_t hour = 0;
    int16_t minute = 0;
    char method = ' ';
    const char *fileName = "";
    const char *methodName = "";
    uint32_t crc = 0;
    bool encrypted = false;
};

// Callbacks, called synchronously on the caller's thread during the extraction.
using UnzipPrintFn = int (*)(const char *text, unsigned long size);
using UnzipReplaceFn = int (*)(const char *fileName);
using UnzipPasswordFn = int (*)(char *buffer, int size, const char *prompt, const char *entryName);
using UnzipListFn = void (*)(const ListedEntry &entry);

// The callback record; the extraction fills the totals at the end.
struct UnzipCallbacks {
    UnzipPrintFn print = nullptr;
    UnzipReplaceFn replace = nullptr;
    UnzipPasswordFn password = nullptr;
    UnzipListFn message = nullptr;
    uint64_t totalSizeComp = 0;
    uint64_t totalSize = 0;
    int compressionFactor = 0;
    uint32_t numMembers = 0;
    uint16_t commentLength = 0;
};

} // namespace ziplayer
