#pragma once

#include "lookup/LookupTreeModel.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace ado {
class Recordset;
}

namespace lookup {

// The tree form of the lookup browser without its window: a tree of codes (the families
// of V_TA_FAMILIAS with their parents from the database, or any statement whose first two
// columns are a code and a description, each code under the longest code it extends), a
// search box, F5 filtering, checks that spread to descendants, and the acceptance that
// looks the chosen codes up in their tables.
class Lib_FrmCons3TreeLogic : public QObject {
    Q_OBJECT
public:
    explicit Lib_FrmCons3TreeLogic(QObject *parent = nullptr);

    // ---- public variables ----
    QString SQL;
    QString CampoDevuelto; // "IDFAMILIA", "IDPOSICION" or "CODIGO" (any case)
    bool CheckBoxes = false;
    QString ValorDevuelto;
    QStringList Valores;
    std::optional<QStringList> CmpsDevueltos;

    static QString familyStatement();

    LookupTreeModel &TreeV() { return m_tree; }
    const LookupTreeModel &TreeV() const { return m_tree; }

    // False when the statement could not be opened (reported by the database class); the
    // tree then holds the root alone.
    bool Form_Load();
    void Form_Unload() { m_tree.clear(); }
    bool ArmarTreeVFamilias();

    QString boxText() const { return m_boxText; }
    QString boxField() const { return m_boxField; }
    void CmbSearch_Change(int index, const QString &text);
    void CmbSearch_KeyDown(int index, int keyCode, int shift);
    // The operator checked or unchecked a node: every descendant takes its state.
    void TreeV_NodeCheck(int node, bool checked);

    int selectedNode() const { return m_selected; }
    void selectNode(int node);
    void CmdAceptar_Click();
    void TreeV_DblClick() { CmdAceptar_Click(); }
    void CmdCancelar_Click();
    void CmdNueva_Click();
    // The window's close box cancels.
    void closeRequested() { CmdCancelar_Click(); }

    bool hidden() const { return m_hidden; }
    bool cancelled() const { return !m_chosen; }

    // The statement an F5 filter on the box's text gives (no loading).
    QString filterStatement(const QString &text) const;
    // A node's code: its key without the leading "A".
    QString codeOf(int node) const { return m_tree.node(node).key.mid(1); }

signals:
    void reloaded();
    void selectionMoved(int node);
    void boxTextChanged(const QString &text);
    void focusToTree();
    void hideRequested();

private:
    bool ArmarTreeVAutomatico();
    bool build(const QString &routine, bool family);
    bool openRows(ado::Recordset &rs);
    void addRoot();
    bool addNode(const QString &routine, const QString &parentKey, const QString &key, const QString &text);
    QString genericParent(const QString &key) const;
    QString lookedUp(const QString &code) const;
    void hide(bool chosen);

    LookupTreeModel m_tree;
    QString m_boxText;
    QString m_boxField = QStringLiteral("Descripcion");
    int m_selected = -1;
    bool m_hidden = false;
    bool m_chosen = false;
};

} // namespace lookup
