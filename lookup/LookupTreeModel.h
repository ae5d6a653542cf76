#pragma once

#include <QAbstractItemModel>
#include <QHash>
#include <QString>

#include <vector>

namespace lookup {

// The nodes of the tree lookup: a root and one node per row, each under a parent, kept in
// the order they were added. Keys are unique without regard to case. A node's check state
// is its own; the form decides how checks spread.
class LookupTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    struct Node {
        QString key;
        QString text;
        int parent = -1;
        int row = 0; // place among its parent's children
        std::vector<int> children;
        bool checked = false;
    };

    explicit LookupTreeModel(QObject *parent = nullptr);

    void clear();
    void setCheckBoxes(bool on);
    bool checkBoxes() const { return m_checkBoxes; }
    // Adds a node under the node of `parentKey` (empty: at the top). Raises
    // platform::RuntimeError when the parent is missing or the key is taken.
    int add(const QString &parentKey, const QString &key, const QString &text);
    int find(const QString &key) const; // -1 when none
    int count() const { return int(m_nodes.size()); }
    const Node &node(int id) const { return m_nodes[std::size_t(id)]; }
    void setChecked(int id, bool checked);

    QModelIndex indexOf(int id) const;
    int idOf(const QModelIndex &index) const { return index.isValid() ? int(index.internalId()) : -1; }

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // The operator changed a node's check through a view.
    void nodeChecked(int id, bool checked);

private:
    const std::vector<int> &childrenOf(int id) const { return id < 0 ? m_top : m_nodes[std::size_t(id)].children; }

    std::vector<Node> m_nodes;
    std::vector<int> m_top;
    QHash<QString, int> m_byKey; // keys folded to lower case
    bool m_checkBoxes = false;
};

} // namespace lookup
