#pragma once

#include "lookup/LookupRows.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace lookup {

// One column of the list: its caption, the field it shows and its width in twips.
struct ListColumn {
    QString caption;
    QString field;
    double width = 0;
};

// The rows of the lookup list as a virtual table model: texts come from a compact store
// and are decoded only for the rows a view shows. Rows are addressed by their position in
// the list (after any sort). Column 0 carries the check box when checks are on. Stock
// colours come out under ColourRole as the colour number; the form draws them.
class LookupListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role { ColourRole = Qt::UserRole + 1 };

    // A finished set of rows handed over by the loading.
    struct Content {
        std::vector<ListColumn> columns;
        LookupRows rows;
        std::vector<char> checked;       // one per row
        std::vector<std::uint8_t> level; // stock level 1-4 per row, 0 = not coloured (may be empty)
    };

    explicit LookupListModel(QObject *parent = nullptr);

    void adopt(Content content);
    void clear();
    // The whole list read after a first screen of it: `content`'s rows replace the rows held
    // now. A row held now keeps its check and its changed cells on the same row of the new
    // ones (the first not yet taken with the same texts); the columns and their widths stay.
    // The positions go back to the read order. Returns, per row held before, its row in the
    // new list (-1 when the new list lacks it).
    std::vector<int> replaceRows(Content content);

    void setCheckBoxes(bool on);
    bool checkBoxes() const { return m_checkBoxes; }
    // Colours of the stock levels 1-4; an empty text leaves rows of that level plain.
    void setLevelColours(const QStringList &colours);
    void setColouring(bool on);

    int rows() const { return int(m_order.size()); }
    int columns() const { return int(m_columns.size()); }
    const ListColumn &column(int index) const { return m_columns[std::size_t(index)]; }
    void setColumnWidth(int index, double twips) { m_columns[std::size_t(index)].width = twips; }
    void setColumnsFrom(const std::vector<ListColumn> &columns) { m_columns = columns; }

    QString cell(int position, int column) const;
    void setCell(int position, int column, const QString &text);
    bool isChecked(int position) const;
    void setChecked(int position, bool checked);
    // The stored row shown at `position` (stable across sorts), and back.
    int rowAt(int position) const { return m_order[std::size_t(position)]; }
    int positionOf(int row) const;

    // First position whose cell in `column`, trimmed, begins with `text` trimmed (any case);
    // -1 when none.
    int findPrefix(int column, const QString &text) const;
    // Stable sort of the positions by the texts of `column` (any case).
    void sortBy(int column, bool ascending);

    std::size_t textBytes() const { return m_rows.textBytes(); }
    std::size_t memoryBytes() const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    std::string_view rawCell(int row, int column) const;
    std::optional<int> colourOf(int row) const;

    std::vector<ListColumn> m_columns;
    LookupRows m_rows;
    std::vector<int> m_order;
    std::vector<char> m_checked;
    std::vector<std::uint8_t> m_level;
    QHash<std::uint64_t, std::string> m_edited; // cells changed after loading (quantities)
    bool m_checkBoxes = false;
    bool m_colouring = false;
    QStringList m_colours;
};

} // namespace lookup
