#pragma once

#include <QDialog>
#include <QList>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QTreeView;

namespace lookup {
class Lib_FrmCons3TreeLogic;
}

namespace lookup::ui {

// The tree lookup window: a search box over a tree of codes and the command buttons. It
// shows its Lib_FrmCons3TreeLogic and forwards the operator's input there; the close box
// and Escape cancel.
class Lib_FrmCons3Tree : public QDialog {
    Q_OBJECT
public:
    explicit Lib_FrmCons3Tree(Lib_FrmCons3TreeLogic &logic, QWidget *parent = nullptr);
    ~Lib_FrmCons3Tree() override;

    QLabel *lblFieldName = nullptr;
    QList<QComboBox *> CmbSearch;
    QTreeView *TreeV = nullptr;
    QFrame *Frame1 = nullptr;
    QPushButton *CmdAceptar = nullptr;
    QPushButton *CmdCancelar = nullptr;
    QPushButton *CmdNueva = nullptr;

public slots:
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void connectLogic();
    void rebuild();
    void selectNode(int node);

    Lib_FrmCons3TreeLogic &m_logic;
    bool m_syncing = false;
};

} // namespace lookup::ui
