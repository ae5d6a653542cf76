#pragma once

#include "platform/Result.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace package {

// The control file of a package: a header of six lines (title, transmission number,
// responsible person, the file's own name, the source database, the prices line), then one
// block per table: its name, its field list and an empty line.
class ControlFile {
public:
    // Reads the whole file (it is small). Fails naming the file when it cannot be read.
    static platform::Result<ControlFile> read(const QString &path);
    static ControlFile fromLines(QStringList lines);

    const QStringList &lines() const { return m_lines; }
    // Whether a line names the table (its trimmed text is the name, any case).
    bool hasBlock(const QString &table) const { return blockAt(table) >= 0; }
    // The line after the first line whose trimmed text is the table's name (any case).
    std::optional<QString> fieldListLine(const QString &table) const;
    // The names of the table's field list; empty when the file has no block for it.
    QStringList fieldNames(const QString &table) const;
    // Whether a table takes its price columns: every table does, except V_MA_ARTICULOS,
    // which takes them only when a "PRECIOS_SI" line (any case) comes before its block.
    bool pricesFor(const QString &table) const;

    // Writing (the sending and the sample-package maker).
    void writeHeader(const QString &transmission, const QString &responsible, const QString &ownPath,
                     const QString &database, bool prices);
    void writeBlock(const QString &table, const QStringList &names);
    // Writes the file whole, never through a link at its name (LineWriter).
    [[nodiscard]] platform::Status save(const QString &path) const;

private:
    qsizetype blockAt(const QString &table) const; // index of the name line, -1 when none
    QStringList m_lines;
};

} // namespace package
