#pragma once

#include <QDialog>
#include <QList>

class QComboBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QPushButton;
class QScrollBar;
class QTreeView;

namespace lookup {
class Lib_FrmCons3Logic;
}

namespace lookup::ui {

// The lookup list window: one search box above each column of a virtual list, the command
// buttons and a scroll bar that moves the boxes with the list. It shows the state of its
// Lib_FrmCons3Logic and forwards every key and click there; it hides itself when the
// logic accepts or cancels. The close box and Escape cancel.
class Lib_FrmCons3 : public QDialog {
    Q_OBJECT
public:
    // Shown over `parent` (the calling form), or in the middle of the screen without one.
    explicit Lib_FrmCons3(Lib_FrmCons3Logic &logic, QWidget *parent = nullptr);
    ~Lib_FrmCons3() override;

    // Rows the list shows on the window's first screen (before the operator resizes it).
    static int rowsOnFirstScreen();

    QPushButton *CmdNuevo = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *CmdTodos = nullptr;
    QWidget *picFields = nullptr;
    QList<QComboBox *> CmbSearch;
    QTreeView *ListView1 = nullptr;
    QScrollBar *HScroll1 = nullptr;
    QFrame *Frame1 = nullptr;
    QPushButton *CmdAceptar = nullptr;
    QPushButton *CmdCancelar = nullptr;
    QPushButton *CmdNueva = nullptr;

public slots:
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildControls();
    void connectLogic();
    void rebuild();
    void ensureBoxes();
    void placeBoxes();
    void layoutWindow();
    static int countRowsOnFirstScreen();
    void fitColumns();
    void showLoading(bool loading);
    void keepOnScreen();
    void selectPosition(int position);
    void setBoxText(int index, const QString &text);
    bool formKey(QKeyEvent *event);
    bool listKey(QKeyEvent *event);
    bool boxKey(int index, QKeyEvent *event);
    int boxIndex(QObject *watched) const;
    double screenWidthTwips() const;

    Lib_FrmCons3Logic &m_logic;
    QWidget *m_clip = nullptr; // the visible part of picFields
    double m_picWidth = 0;     // twips
    bool m_syncing = false;
};

} // namespace lookup::ui
