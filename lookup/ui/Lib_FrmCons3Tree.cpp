#include "lookup/ui/Lib_FrmCons3Tree.h"

#include "lookup/Lib_FrmCons3TreeLogic.h"
#include "lookup/VbKey.h"
#include "lookup/ui/VbKeys.h"

#include "platform/ui/widgets/ControlesVisuales.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace lookup::ui {

Lib_FrmCons3Tree::Lib_FrmCons3Tree(Lib_FrmCons3TreeLogic &logic, QWidget *parent) : QDialog(parent), m_logic(logic)
{
    setObjectName(QStringLiteral("Lib_FrmCons3Tree"));
    setWindowTitle(QStringLiteral("Consulta..."));
    buildControls();
    connectLogic();
    resize(420, 480);
    rebuild();
    platform::controles::AjustarFormulario(this, true);
}

Lib_FrmCons3Tree::~Lib_FrmCons3Tree() = default;

void Lib_FrmCons3Tree::buildControls()
{
    lblFieldName = new QLabel(this);
    auto *box = new QComboBox(this);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setToolTip(QStringLiteral("F5 realiza nueva busqueda"));
    box->installEventFilter(this);
    box->lineEdit()->installEventFilter(this);
    CmbSearch << box;
    TreeV = new QTreeView(this);
    TreeV->setHeaderHidden(true);
    TreeV->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeV->setSelectionMode(QAbstractItemView::SingleSelection);
    TreeV->setModel(&m_logic.TreeV());
    Frame1 = new QFrame(this);
    CmdAceptar = new QPushButton(QStringLiteral("&Aceptar"), Frame1);
    CmdCancelar = new QPushButton(QStringLiteral("&Cancelar"), Frame1);
    CmdNueva = new QPushButton(QStringLiteral("&Nueva Busqueda"), Frame1);
    auto *buttons = new QHBoxLayout(Frame1);
    for (QPushButton *button : {CmdAceptar, CmdCancelar, CmdNueva}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    auto *search = new QHBoxLayout;
    search->addWidget(lblFieldName);
    search->addWidget(box, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(search);
    layout->addWidget(TreeV, 1);
    layout->addWidget(Frame1);
}

void Lib_FrmCons3Tree::connectLogic()
{
    QComboBox *box = CmbSearch.first();
    connect(box->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString &text) { m_logic.CmbSearch_Change(0, text); });
    connect(box, &QComboBox::textActivated, this, [this](const QString &text) { m_logic.CmbSearch_Change(0, text); });
    connect(&m_logic, &Lib_FrmCons3TreeLogic::reloaded, this, &Lib_FrmCons3Tree::rebuild);
    connect(&m_logic, &Lib_FrmCons3TreeLogic::selectionMoved, this, &Lib_FrmCons3Tree::selectNode);
    connect(&m_logic, &Lib_FrmCons3TreeLogic::boxTextChanged, this, [this](const QString &text) {
        const QSignalBlocker blocker(CmbSearch.first()->lineEdit());
        CmbSearch.first()->setEditText(text);
    });
    connect(&m_logic, &Lib_FrmCons3TreeLogic::focusToTree, this, [this] { TreeV->setFocus(Qt::OtherFocusReason); });
    connect(&m_logic, &Lib_FrmCons3TreeLogic::hideRequested, this, [this] { done(QDialog::Accepted); });
    connect(&m_logic.TreeV(), &LookupTreeModel::nodeChecked, this,
            [this](int node, bool checked) { m_logic.TreeV_NodeCheck(node, checked); });
    connect(TreeV->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &current) {
        if (!m_syncing && current.isValid())
            m_logic.selectNode(m_logic.TreeV().idOf(current));
    });
    connect(TreeV, &QTreeView::doubleClicked, this, [this] { m_logic.TreeV_DblClick(); });
    connect(CmdAceptar, &QPushButton::clicked, this, [this] { m_logic.CmdAceptar_Click(); });
    connect(CmdCancelar, &QPushButton::clicked, this, [this] { m_logic.CmdCancelar_Click(); });
    connect(CmdNueva, &QPushButton::clicked, this, [this] { m_logic.CmdNueva_Click(); });
}

void Lib_FrmCons3Tree::rebuild()
{
    if (m_logic.TreeV().count() > 0)
        TreeV->expand(m_logic.TreeV().indexOf(0)); // the root is shown open
    lblFieldName->setText(m_logic.boxField());
}

void Lib_FrmCons3Tree::selectNode(int node)
{
    const QModelIndex index = m_logic.TreeV().indexOf(node);
    if (!index.isValid())
        return;
    m_syncing = true;
    TreeV->setCurrentIndex(index);
    TreeV->scrollTo(index);
    m_syncing = false;
}

bool Lib_FrmCons3Tree::eventFilter(QObject *watched, QEvent *event)
{
    const bool box = watched == CmbSearch.first() || watched == CmbSearch.first()->lineEdit();
    if (box && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const int keyCode = vbKeyCode(key);
        if (vbkey::isBoxKey(keyCode)) {
            m_logic.CmbSearch_KeyDown(0, keyCode, vbShift(key));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Lib_FrmCons3Tree::reject()
{
    if (!m_logic.hidden())
        m_logic.closeRequested(); // the close box means cancel
    else
        QDialog::reject();
}

} // namespace lookup::ui
