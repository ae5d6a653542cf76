#pragma once

#include "Result.h"

#include <QString>
#include <QStringList>

namespace platform {

// Text files as the suite writes them: Windows-1252, one record per line ending CR LF.
// Reading also accepts LF alone. Reads are limited in size (default 256 MiB).
namespace textfile {

QString decode1252(const QByteArray &bytes);
// Characters outside Windows-1252 become '?'.
QByteArray encode1252(const QString &text);
// The first character of the text that Windows-1252 cannot hold (a whole surrogate pair
// counts as one), or an empty text when every character fits.
QString firstOutside1252(const QString &text);

Result<QStringList> readLines(const QString &path, qint64 maxBytes = 256LL * 1024 * 1024);
Result<QString> readAll(const QString &path, qint64 maxBytes = 256LL * 1024 * 1024);
// Replaces the file with these bytes, whole: they are written to a new file beside it,
// which is renamed over the old one only when every byte reached it. A failure (a full
// disk) leaves the old file as it was and no new one.
Status writeWhole(const QString &path, const QByteArray &bytes);
// Replaces the file atomically (see writeWhole); every line gets CR LF.
Status writeLines(const QString &path, const QStringList &lines);
// Appends lines (CR LF each), creating the file when missing. Fails when the bytes did
// not all reach the file (a full disk).
Status appendLines(const QString &path, const QStringList &lines);

} // namespace textfile
} // namespace platform
