#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <string>
#include <vector>

namespace lookup {

// The texts of a lookup's rows, kept compactly: one UTF-8 buffer per column and the end
// offset of every cell, so that a list of many rows costs little more than its text.
// Rows are appended cell by cell, column 0 first; texts are decoded only when read.
class LookupRows {
public:
    void reset(int columns);
    void reserve(std::size_t rows);
    void append(int column, QStringView text);
    // Gives back the spare capacity the appending left (once every row is in).
    void squeeze();
    void append(int column, const std::string &utf8) { appendUtf8(column, utf8.data(), utf8.size()); }

    int rowCount() const { return m_columns.empty() ? 0 : int(m_columns.front().ends.size()); }
    int columnCount() const { return int(m_columns.size()); }
    QString text(int row, int column) const;
    // The cell's bytes, valid until the next append.
    std::string_view utf8(int row, int column) const;
    // The cells of one column as they are stored: cell r holds the bytes from
    // ends[r - 1] (0 for the first) up to ends[r]. Valid until the next append.
    struct ColumnView {
        const char *bytes = nullptr;
        const std::uint32_t *ends = nullptr;
        std::string_view cell(int row) const
        {
            const std::uint32_t begin = row == 0 ? 0 : ends[row - 1];
            return std::string_view(bytes + begin, ends[row] - begin);
        }
    };
    ColumnView column(int column) const;

    // Bytes of text held, and bytes held in all (text, offsets and spare capacity).
    std::size_t textBytes() const;
    std::size_t memoryBytes() const;

private:
    struct Column {
        std::string bytes;
        std::vector<std::uint32_t> ends;
    };
    void appendUtf8(int column, const char *data, std::size_t size);
    std::vector<Column> m_columns;
};

// Case-insensitive comparisons on UTF-8 texts (ASCII at full speed, the rest through
// Unicode case folding). Blanks around `cell` are ignored by startsWithFolded.
namespace folded {
// `prefix` must be case-folded already (QString::toCaseFolded) and UTF-8 encoded.
bool startsWith(std::string_view cell, std::string_view prefix);
int compare(std::string_view a, std::string_view b);
} // namespace folded

} // namespace lookup
