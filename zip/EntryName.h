#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace ziplayer::entryname {

// Entry names as stored: UTF-8 when the bytes are valid UTF-8 (the UTF-8 flag or a
// modern writer), otherwise Windows-1252 as the suite's Windows stations write them.
QString decode(const QByteArray &raw);

// The bytes to store for a name: plain ASCII as is, other names in Windows-1252 when
// every character fits (utf8 false), else UTF-8 (utf8 true, to be flagged as such).
QByteArray encode(const QString &name, bool &utf8);

// The relative path an entry name stands for, with "/" separators, "\" read as a
// separator and "." parts dropped; empty when nothing is left ("./").
// std::nullopt when the name would leave the target folder: an absolute path, a
// drive letter, or a ".." part.
std::optional<QString> safeRelativePath(const QString &name);

// True when the stored name denotes a folder (ends in "/" or "\").
bool isFolderName(const QString &name);

// The key under which a target folder knows a path: case-folded, "/" separators. Two
// entries with one key would land on one file, the later one silently winning.
QString placeKey(const QString &relativePath);

} // namespace ziplayer::entryname
