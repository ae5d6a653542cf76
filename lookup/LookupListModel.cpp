#include "lookup/LookupListModel.h"

#include <algorithm>
#include <numeric>
#include <string_view>
#include <unordered_map>

namespace lookup {

namespace {
std::uint64_t cellKey(int row, int column) { return (std::uint64_t(std::uint32_t(row)) << 32) | std::uint32_t(column); }
} // namespace

LookupListModel::LookupListModel(QObject *parent) : QAbstractTableModel(parent) {}

void LookupListModel::adopt(Content content)
{
    beginResetModel();
    m_columns = std::move(content.columns);
    m_rows = std::move(content.rows);
    m_checked = std::move(content.checked);
    m_level = std::move(content.level);
    m_checked.resize(std::size_t(m_rows.rowCount()), 0);
    m_order.resize(std::size_t(m_rows.rowCount()));
    std::iota(m_order.begin(), m_order.end(), 0);
    m_edited.clear();
    endResetModel();
}

void LookupListModel::clear() { adopt(Content{}); }

std::vector<int> LookupListModel::replaceRows(Content content)
{
    const int held = rows();
    const int total = content.rows.rowCount();
    std::vector<int> moved(std::size_t(held), -1);
    const int columnCount = m_rows.columnCount();
    const auto sameRow = [&](int row, int other) {
        for (int c = 0; c < columnCount; ++c) {
            if (m_rows.utf8(row, c) != content.rows.utf8(other, c))
                return false;
        }
        return true;
    };
    bool prefix = columnCount == content.rows.columnCount() && total >= held;
    for (int row = 0; prefix && row < held; ++row)
        prefix = sameRow(row, row);
    if (prefix) {
        std::iota(moved.begin(), moved.end(), 0);
    } else if (columnCount > 0 && columnCount == content.rows.columnCount()) {
        // The rows were read again in another order (ties of the ordering, or rows changed
        // in between): find each one by its texts, its first column first.
        std::unordered_map<std::string_view, std::vector<int>> byFirst;
        for (int row = 0; row < held; ++row)
            byFirst[m_rows.utf8(row, 0)].push_back(row);
        int left = held;
        for (int other = 0; other < total && left > 0; ++other) {
            const auto found = byFirst.find(content.rows.utf8(other, 0));
            if (found == byFirst.end())
                continue;
            for (int &row : found->second) {
                if (row >= 0 && sameRow(row, other)) {
                    moved[std::size_t(row)] = other;
                    row = -1;
                    --left;
                    break;
                }
            }
        }
    }
    content.checked.resize(std::size_t(total), 0);
    QHash<std::uint64_t, std::string> edited;
    for (int row = 0; row < held; ++row) {
        if (moved[std::size_t(row)] >= 0)
            content.checked[std::size_t(moved[std::size_t(row)])] = m_checked[std::size_t(row)];
    }
    for (auto cell = m_edited.cbegin(); cell != m_edited.cend(); ++cell) {
        const int row = int(cell.key() >> 32);
        const int column = int(cell.key() & 0xFFFFFFFFu);
        if (row < held && moved[std::size_t(row)] >= 0)
            edited.insert(cellKey(moved[std::size_t(row)], column), cell.value());
    }
    bool inReadOrder = true;
    for (int position = 0; inReadOrder && position < held; ++position)
        inReadOrder = m_order[std::size_t(position)] == position;
    const bool appended = prefix && inReadOrder;
    if (appended && total > held)
        beginInsertRows(QModelIndex(), held, total - 1);
    else if (!appended)
        beginResetModel();
    m_rows = std::move(content.rows);
    m_checked = std::move(content.checked);
    m_level = std::move(content.level);
    m_edited = std::move(edited);
    m_order.resize(std::size_t(total));
    std::iota(m_order.begin(), m_order.end(), 0);
    if (appended && total > held)
        endInsertRows();
    else if (!appended)
        endResetModel();
    return moved;
}

void LookupListModel::setCheckBoxes(bool on)
{
    if (m_checkBoxes == on)
        return;
    beginResetModel();
    m_checkBoxes = on;
    endResetModel();
}

void LookupListModel::setLevelColours(const QStringList &colours) { m_colours = colours; }

void LookupListModel::setColouring(bool on) { m_colouring = on; }

std::string_view LookupListModel::rawCell(int row, int column) const
{
    if (!m_edited.isEmpty()) {
        const auto edited = m_edited.constFind(cellKey(row, column));
        if (edited != m_edited.constEnd())
            return *edited;
    }
    return m_rows.utf8(row, column);
}

QString LookupListModel::cell(int position, int column) const
{
    const std::string_view raw = rawCell(rowAt(position), column);
    return QString::fromUtf8(raw.data(), qsizetype(raw.size()));
}

void LookupListModel::setCell(int position, int column, const QString &text)
{
    m_edited.insert(cellKey(rowAt(position), column), text.toStdString());
    const QModelIndex changed = index(position, column);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}

bool LookupListModel::isChecked(int position) const { return m_checked[std::size_t(rowAt(position))] != 0; }

void LookupListModel::setChecked(int position, bool checked)
{
    char &mark = m_checked[std::size_t(rowAt(position))];
    if ((mark != 0) == checked)
        return;
    mark = checked ? 1 : 0;
    const QModelIndex changed = index(position, 0);
    emit dataChanged(changed, changed, {Qt::CheckStateRole});
}

int LookupListModel::positionOf(int row) const
{
    const auto at = std::find(m_order.begin(), m_order.end(), row);
    return at == m_order.end() ? -1 : int(at - m_order.begin());
}

int LookupListModel::findPrefix(int column, const QString &text) const
{
    if (column < 0 || column >= columns())
        return -1;
    const std::string prefix = text.trimmed().toCaseFolded().toStdString();
    if (m_edited.isEmpty()) {
        const LookupRows::ColumnView cells = m_rows.column(column);
        const int *order = m_order.data();
        const std::size_t count = m_order.size();
        for (std::size_t position = 0; position < count; ++position) {
            if (folded::startsWith(cells.cell(order[position]), prefix))
                return int(position);
        }
        return -1;
    }
    for (std::size_t position = 0; position < m_order.size(); ++position) {
        if (folded::startsWith(rawCell(m_order[position], column), prefix))
            return int(position);
    }
    return -1;
}

void LookupListModel::sortBy(int column, bool ascending)
{
    if (column < 0 || column >= columns())
        return;
    beginResetModel();
    std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
        const int order = folded::compare(rawCell(a, column), rawCell(b, column));
        return ascending ? order < 0 : order > 0;
    });
    endResetModel();
}

std::size_t LookupListModel::memoryBytes() const
{
    std::size_t total = m_rows.memoryBytes() + m_order.capacity() * sizeof(int) + m_checked.capacity()
        + m_level.capacity() + m_columns.capacity() * sizeof(ListColumn);
    for (const std::string &text : m_edited)
        total += text.capacity() + 32;
    return total;
}

std::optional<int> LookupListModel::colourOf(int row) const
{
    if (!m_colouring || m_columns.size() < 2 || std::size_t(row) >= m_level.size())
        return std::nullopt;
    const int level = m_level[std::size_t(row)];
    if (level < 1 || level > m_colours.size() || m_colours[level - 1].trimmed().isEmpty())
        return std::nullopt;
    return int(m_colours[level - 1].trimmed().toDouble());
}

int LookupListModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : rows(); }

int LookupListModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : columns(); }

QVariant LookupListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rows())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return cell(index.row(), index.column());
    case Qt::CheckStateRole:
        if (m_checkBoxes && index.column() == 0)
            return isChecked(index.row()) ? Qt::Checked : Qt::Unchecked;
        return {};
    case ColourRole: {
        const std::optional<int> colour = colourOf(rowAt(index.row()));
        return colour ? QVariant(*colour) : QVariant();
    }
    default:
        return {};
    }
}

bool LookupListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::CheckStateRole || !m_checkBoxes || index.column() != 0 || index.row() >= rows())
        return false;
    setChecked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

QVariant LookupListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columns())
        return {};
    return m_columns[std::size_t(section)].caption;
}

Qt::ItemFlags LookupListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (m_checkBoxes && index.column() == 0)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

} // namespace lookup
