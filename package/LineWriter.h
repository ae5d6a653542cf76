#pragma once

#include "FreshFile.h"

#include "platform/Result.h"

#include <QString>

namespace package {

// Writes a package's text file one line at a time: Windows-1252, every line ending in CR LF.
// The file appears whole on commit() or not at all, and never through a link or another
// name that stands at its name (FreshFile).
class LineWriter {
public:
    [[nodiscard]] platform::Status open(const QString &path);
    void write(const QString &line);
    [[nodiscard]] platform::Status commit();

private:
    FreshFile m_file;
    QByteArray m_buffer;
};

} // namespace package
