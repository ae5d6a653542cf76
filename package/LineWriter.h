#pragma once

#include "platform/Result.h"

#include <QSaveFile>
#include <QString>

namespace package {

// Writes a package's text file one line at a time: Windows-1252, every line ending in CR LF.
// The file appears whole on commit() or not at all.
class LineWriter {
public:
    [[nodiscard]] platform::Status open(const QString &path);
    void write(const QString &line);
    [[nodiscard]] platform::Status commit();

private:
    QSaveFile m_file;
    QByteArray m_buffer;
};

} // namespace package
