#include "lookup/LookupTreeModel.h"

#include "platform/RuntimeError.h"

namespace lookup {

LookupTreeModel::LookupTreeModel(QObject *parent) : QAbstractItemModel(parent) {}

void LookupTreeModel::clear()
{
    beginResetModel();
    m_nodes.clear();
    m_top.clear();
    m_byKey.clear();
    endResetModel();
}

void LookupTreeModel::setCheckBoxes(bool on)
{
    beginResetModel();
    m_checkBoxes = on;
    endResetModel();
}

int LookupTreeModel::find(const QString &key) const { return m_byKey.value(key.toLower(), -1); }

int LookupTreeModel::add(const QString &parentKey, const QString &key, const QString &text)
{
    const int parent = parentKey.isEmpty() ? -1 : find(parentKey);
    if (!parentKey.isEmpty() && parent < 0)
        throw platform::RuntimeError(35601, QStringLiteral("No se encontró el elemento: %1").arg(parentKey));
    if (find(key) >= 0)
        throw platform::RuntimeError(35602, QStringLiteral("La clave no es única en la colección: %1").arg(key));
    const int id = int(m_nodes.size());
    const int row = int(childrenOf(parent).size());
    beginInsertRows(parent < 0 ? QModelIndex() : indexOf(parent), row, row);
    m_nodes.push_back(Node{key, text, parent, row, {}, false});
    (parent < 0 ? m_top : m_nodes[std::size_t(parent)].children).push_back(id);
    m_byKey.insert(key.toLower(), id);
    endInsertRows();
    return id;
}

void LookupTreeModel::setChecked(int id, bool checked)
{
    Node &n = m_nodes[std::size_t(id)];
    if (n.checked == checked)
        return;
    n.checked = checked;
    const QModelIndex changed = indexOf(id);
    emit dataChanged(changed, changed, {Qt::CheckStateRole});
}

QModelIndex LookupTreeModel::indexOf(int id) const
{
    return id < 0 || id >= count() ? QModelIndex() : createIndex(m_nodes[std::size_t(id)].row, 0, quintptr(id));
}

QModelIndex LookupTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    const std::vector<int> &siblings = childrenOf(idOf(parent));
    if (column != 0 || row < 0 || row >= int(siblings.size()))
        return {};
    return createIndex(row, 0, quintptr(siblings[std::size_t(row)]));
}

QModelIndex LookupTreeModel::parent(const QModelIndex &child) const
{
    const int id = idOf(child);
    return id < 0 ? QModelIndex() : indexOf(m_nodes[std::size_t(id)].parent);
}

int LookupTreeModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    return int(childrenOf(idOf(parent)).size());
}

int LookupTreeModel::columnCount(const QModelIndex &) const { return 1; }

QVariant LookupTreeModel::data(const QModelIndex &index, int role) const
{
    const int id = idOf(index);
    if (id < 0)
        return {};
    if (role == Qt::DisplayRole)
        return m_nodes[std::size_t(id)].text;
    if (role == Qt::CheckStateRole && m_checkBoxes)
        return m_nodes[std::size_t(id)].checked ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool LookupTreeModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    const int id = idOf(index);
    if (id < 0 || role != Qt::CheckStateRole || !m_checkBoxes)
        return false;
    const bool checked = value.toInt() == Qt::Checked;
    setChecked(id, checked);
    emit nodeChecked(id, checked);
    return true;
}

Qt::ItemFlags LookupTreeModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_checkBoxes)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

} // namespace lookup
