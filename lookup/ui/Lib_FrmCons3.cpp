#include "lookup/ui/Lib_FrmCons3.h"

#include "lookup/Lib_FrmCons3Logic.h"
#include "lookup/VbKey.h"
#include "lookup/ui/VbKeys.h"

#include "platform/ui/widgets/ControlesVisuales.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace lookup::ui {

namespace {

constexpr double kTwipsPerPixel = 15.0;
constexpr double kPicTop = 450;
constexpr double kBoxHeight = 315;
constexpr double kListTop = 345;
constexpr double kFrameHeight = 700;
constexpr double kButtonWidth = 1200;
constexpr double kNuevoWidth = 900;
constexpr double kInitialHeight = 6600;

int px(double twips) { return int(std::lround(twips / kTwipsPerPixel)); }

// The list's font: bold, size 10, of the application's.
QFont listFont()
{
    QFont font = QApplication::font();
    font.setBold(true);
    font.setPointSize(10);
    return font;
}

const QString kLabel = QStringLiteral("CONSULTA");
const QString kLabelLoading = QStringLiteral("CONSULTA (cargando...)");
double twips(int pixels) { return pixels * kTwipsPerPixel; }

// A Windows colour number (red in the low byte) as a colour.
QColor colourOf(int number) { return QColor(number & 0xFF, (number >> 8) & 0xFF, (number >> 16) & 0xFF); }

// The list's cells: rows of the stock levels come out bold in their level's colour. The
// text is drawn in one pass where it fits (the style would lay it out twice to learn
// whether to shorten it), which keeps the first screen quick to paint.
class ListDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The options of the view's cells before a cell's own are added (for cellWidth).
    static QStyleOptionViewItem viewOption(const QAbstractItemView *view)
    {
        QStyleOptionViewItem option;
        option.initFrom(view);
        option.font = view->font();
        option.fontMetrics = QFontMetrics(option.font);
        option.widget = view;
        return option;
    }
    // The room a cell of `index`'s column takes beside its text, as paint() places it: the
    // text of a cell then needs this plus its own advance in the list's font.
    int cellFrame(const QStyleOptionViewItem &viewOption, const QModelIndex &index) const
    {
        QStyleOptionViewItem option = viewOption;
        initStyleOption(&option, index);
        return textLeft(option) + margin(option) + 1;
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        const QString text = std::exchange(cell.text, QString());
        const QStyle *style = cell.widget ? cell.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget); // background, check, focus
        if (text.isEmpty())
            return;
        const QRect area = cell.rect.adjusted(textLeft(cell), 0, -margin(cell), 0);
        QPalette::ColorGroup group = cell.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
        if (group == QPalette::Normal && !(cell.state & QStyle::State_Active))
            group = QPalette::Inactive;
        const QFontMetrics metrics(cell.font);
        painter->save();
        painter->setFont(cell.font);
        painter->setPen(cell.palette.color(
            group, cell.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(area, int(cell.displayAlignment),
                          metrics.horizontalAdvance(text) <= area.width()
                              ? text
                              : metrics.elidedText(text, cell.textElideMode, area.width()));
        painter->restore();
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const QVariant colour = index.data(LookupListModel::ColourRole);
        if (!colour.isValid())
            return;
        option->font.setBold(true);
        option->fontMetrics = QFontMetrics(option->font);
        option->palette.setColor(QPalette::Text, colourOf(colour.toInt()));
        option->palette.setColor(QPalette::HighlightedText, colourOf(colour.toInt()));
    }

private:
    static int margin(const QStyleOptionViewItem &option)
    {
        const QStyle *style = option.widget ? option.widget->style() : QApplication::style();
        return style->pixelMetric(QStyle::PM_FocusFrameHMargin, &option, option.widget) + 1;
    }
    // Where the text starts within the cell: past the check box, as the style places it.
    static int textLeft(const QStyleOptionViewItem &option)
    {
        if (!(option.features & QStyleOptionViewItem::HasCheckIndicator))
            return margin(option);
        const QStyle *style = option.widget ? option.widget->style() : QApplication::style();
        return style->pixelMetric(QStyle::PM_IndicatorWidth, &option, option.widget) + 3 * margin(option);
    }
};

// The background of a search box's text (cyan while it has the focus); a palette, not a
// style sheet, which would restyle the box at every change of focus.
void setBoxColour(QComboBox *box, const QColor &colour)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, colour);
    box->setPalette(palette);
}

} // namespace

Lib_FrmCons3::Lib_FrmCons3(Lib_FrmCons3Logic &logic, QWidget *parent) : QDialog(parent), m_logic(logic)
{
    setObjectName(QStringLiteral("Lib_FrmCons3"));
    buildControls();
    const QFontMetricsF metrics(font());
    m_logic.letterWidth = [metrics](int letters) {
        return std::round(metrics.horizontalAdvance(QString(letters, QLatin1Char('X'))) * kTwipsPerPixel);
    };
    connectLogic();
    resize(px(5000), px(kInitialHeight));
    rebuild();
    showLoading(m_logic.loading());
    if (!CmbSearch.isEmpty())
        CmbSearch.first()->setFocus(); // the operator types into the first box at once
}

Lib_FrmCons3::~Lib_FrmCons3() = default;

void Lib_FrmCons3::buildControls()
{
    CmdNuevo = new QPushButton(QStringLiteral("N&uevo"), this);
    Label1 = new QLabel(QStringLiteral("CONSULTA"), this);
    CmdTodos = new QPushButton(QStringLiteral("&Marcar"), this);
    m_clip = new QWidget(this);
    picFields = new QWidget(m_clip);
    ListView1 = new QTreeView(picFields);
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setAllColumnsShowFocus(true);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers); // rows are never edited in place
    ListView1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ListView1->setItemDelegate(new ListDelegate(ListView1));
    ListView1->header()->setStretchLastSection(false);
    ListView1->header()->setSectionsClickable(true);
    ListView1->header()->setSortIndicatorShown(false);
    ListView1->setFont(listFont());
    ListView1->setModel(&m_logic.ListView1());
    ListView1->installEventFilter(this);
    ListView1->viewport()->installEventFilter(this);
    HScroll1 = new QScrollBar(Qt::Horizontal, this);
    Frame1 = new QFrame(this);
    CmdAceptar = new QPushButton(QStringLiteral("&Aceptar"), Frame1);
    CmdCancelar = new QPushButton(QStringLiteral("&Cancelar"), Frame1);
    CmdNueva = new QPushButton(QStringLiteral("&Nueva Busqueda"), Frame1);
    for (QPushButton *button : {CmdNuevo, CmdTodos, CmdAceptar, CmdCancelar, CmdNueva}) {
        button->setAutoDefault(false); // Enter belongs to the list and the boxes
        button->installEventFilter(this);
    }
}

void Lib_FrmCons3::connectLogic()
{
    connect(&m_logic, &Lib_FrmCons3Logic::reloaded, this, &Lib_FrmCons3::rebuild);
    connect(&m_logic, &Lib_FrmCons3Logic::loadingChanged, this, &Lib_FrmCons3::showLoading);
    connect(&m_logic, &Lib_FrmCons3Logic::selectionMoved, this, &Lib_FrmCons3::selectPosition);
    connect(&m_logic, &Lib_FrmCons3Logic::boxTextChanged, this, &Lib_FrmCons3::setBoxText);
    connect(&m_logic, &Lib_FrmCons3Logic::focusToBox, this, [this](int index) {
        if (index >= 0 && index < CmbSearch.size())
            CmbSearch[index]->setFocus(Qt::OtherFocusReason);
    });
    connect(&m_logic, &Lib_FrmCons3Logic::focusToList, this, [this] { ListView1->setFocus(Qt::OtherFocusReason); });
    connect(&m_logic, &Lib_FrmCons3Logic::hideRequested, this, [this] { done(QDialog::Accepted); });
    connect(ListView1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (!m_syncing && current.isValid())
                    m_logic.selectRow(current.row());
            });
    connect(ListView1, &QTreeView::doubleClicked, this, [this] { m_logic.ListView1_DblClick(); });
    connect(ListView1->header(), &QHeaderView::sectionClicked, this, [this](int section) {
        m_logic.ListView1_ColumnClick(section);
        ListView1->header()->setSortIndicatorShown(true);
        ListView1->header()->setSortIndicator(section,
                                              m_logic.sortAscending() ? Qt::AscendingOrder : Qt::DescendingOrder);
    });
    connect(ListView1->header(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        if (m_syncing || section >= m_logic.ListView1().columns())
            return;
        m_logic.ListView1().setColumnWidth(section, twips(size));
        placeBoxes();
    });
    connect(HScroll1, &QScrollBar::valueChanged, this, [this](int value) { picFields->move(-px(value), 0); });
    connect(CmdAceptar, &QPushButton::clicked, this, [this] { m_logic.CmdAceptar_Click(); });
    connect(CmdCancelar, &QPushButton::clicked, this, [this] { m_logic.CmdCancelar_Click(); });
    connect(CmdNueva, &QPushButton::clicked, this, [this] { m_logic.CmdNueva_Click(); });
    connect(CmdTodos, &QPushButton::clicked, this, [this] { m_logic.CmdTodos_Click(); });
    connect(CmdNuevo, &QPushButton::clicked, this, [this] { m_logic.CmdNuevo_Click(); });
}

void Lib_FrmCons3::ensureBoxes()
{
    while (CmbSearch.size() < m_logic.boxCount()) {
        const int index = int(CmbSearch.size());
        auto *box = new QComboBox(picFields);
        // Editable through its own line edit: the popup of choices, always empty here, is
        // then built only if the operator opens it.
        box->setLineEdit(new QLineEdit(box));
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setToolTip(QStringLiteral("F5 realiza nueva busqueda"));
        box->setObjectName(QStringLiteral("CmbSearch_%1").arg(index));
        box->installEventFilter(this);
        box->lineEdit()->installEventFilter(this);
        connect(box->lineEdit(), &QLineEdit::textEdited, this,
                [this, index](const QString &text) { m_logic.CmbSearch_Change(index, text); });
        connect(box, &QComboBox::textActivated, this,
                [this, index](const QString &text) { m_logic.CmbSearch_Change(index, text); });
        box->show();
        if (index > 0)
            setTabOrder(CmbSearch.last(), box); // box j follows box j - 1
        CmbSearch << box;
    }
    for (int i = 0; i < CmbSearch.size(); ++i) {
        CmbSearch[i]->setVisible(i < m_logic.visibleBoxes());
        setBoxText(i, m_logic.boxText(i));
    }
}

void Lib_FrmCons3::rebuild()
{
    setWindowTitle(m_logic.Caption);
    CmdNueva->setVisible(m_logic.CmdNuevaVisible);
    ensureBoxes();
    fitColumns();
    m_syncing = true;
    for (int i = 0; i < m_logic.ListView1().columns(); ++i)
        ListView1->header()->resizeSection(i, px(m_logic.ListView1().column(i).width));
    m_syncing = false;
    const ColumnsLayout columns = m_logic.CalcularAncho(screenWidthTwips());
    m_picWidth = columns.picWidth;
    HScroll1->setRange(0, columns.scrollMax);
    HScroll1->setSingleStep(120);
    HScroll1->setPageStep(1200);
    resize(std::max(px(columns.windowWidth), px(3000)), height());
    placeBoxes();
    layoutWindow();
    keepOnScreen();
    const int selected = m_logic.selectedRow();
    if (selected >= 0)
        selectPosition(selected);
}

// While the rows past the first screen are read the label says so, and the list has no
// scroll bar: how far it reaches is not known yet.
void Lib_FrmCons3::showLoading(bool loading)
{
    Label1->setText(loading ? kLabelLoading : kLabel);
    ListView1->setVerticalScrollBarPolicy(loading ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
}

// A column is at least as wide as its header and its texts on the first screen: codes of
// two digits and captions such as "IdUnidad" show whole (unless the width file says so).
void Lib_FrmCons3::fitColumns()
{
    const LookupListModel &model = m_logic.ListView1();
    const auto *delegate = static_cast<const ListDelegate *>(ListView1->itemDelegate());
    const QStyleOptionViewItem option = ListDelegate::viewOption(ListView1);
    const int rows = m_logic.firstScreenRows > 0 ? m_logic.firstScreenRows : rowsOnFirstScreen();
    std::vector<int> frames(std::size_t(model.columns()), -1);
    m_logic.fitColumns(
        [&](int column, int position) {
            if (position < 0)
                return twips(ListView1->header()->sectionSizeHint(column));
            int &frame = frames[std::size_t(column)];
            if (frame < 0)
                frame = delegate->cellFrame(option, model.index(position, column));
            return twips(frame + option.fontMetrics.horizontalAdvance(model.cell(position, column)));
        },
        rows);
}

// Before the first show the window is only kept within the screen's size: where it
// opens, over the calling form, is QDialog's to choose when it is shown.
void Lib_FrmCons3::keepOnScreen()
{
    if (isVisible()) {
        platform::controles::AjustarFormulario(this, false);
        return;
    }
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QSize area = screen->availableGeometry().size();
    if (width() > area.width() || height() > area.height())
        resize(std::min(width(), area.width()), std::min(height(), area.height()));
}

int Lib_FrmCons3::rowsOnFirstScreen()
{
    static const int rows = countRowsOnFirstScreen(); // the font and the style stay for the run
    return rows;
}

int Lib_FrmCons3::countRowsOnFirstScreen()
{
    WindowSizes sizes;
    sizes.width = 5000;
    sizes.height = kInitialHeight;
    sizes.frameHeight = kFrameHeight;
    // The list's rows as its delegate sizes them, below a header of the window's font.
    const QStyle *style = QApplication::style();
    QStyleOptionViewItem item;
    item.font = listFont();
    item.fontMetrics = QFontMetrics(item.font);
    item.features = QStyleOptionViewItem::HasDisplay;
    item.text = QStringLiteral("Xg");
    const int rowHeight =
        std::max(1, style->sizeFromContents(QStyle::CT_ItemViewItem, &item, QSize(), nullptr).height());
    const int headerHeight = QFontMetrics(QApplication::font()).height();
    const int viewport = px(lookup::layoutWindow(sizes).listHeight) - headerHeight;
    return std::max(1, int(std::ceil(viewport / double(rowHeight))));
}

void Lib_FrmCons3::placeBoxes()
{
    const QHeaderView *header = ListView1->header();
    const int columns = m_logic.ListView1().columns();
    for (int i = 0; i < CmbSearch.size(); ++i) {
        if (i < columns)
            CmbSearch[i]->setGeometry(header->sectionPosition(i), 0, std::max(1, header->sectionSize(i) - px(50)),
                                      px(kBoxHeight));
        else if (i == 0)
            CmbSearch[i]->setGeometry(0, 0, std::max(px(1500), ListView1->width()), px(kBoxHeight));
    }
    double total = 0;
    for (int i = 0; i < columns; ++i)
        total += twips(header->sectionSize(i));
    m_picWidth = std::round(total) + 360;
}

void Lib_FrmCons3::layoutWindow()
{
    WindowSizes sizes;
    sizes.width = twips(width());
    sizes.height = twips(height());
    sizes.frameHeight = kFrameHeight;
    sizes.scrollHeight = twips(HScroll1->sizeHint().height());
    sizes.aceptarWidth = kButtonWidth;
    sizes.cancelarWidth = kButtonWidth;
    sizes.nuevoWidth = kNuevoWidth;
    sizes.nuevaVisible = m_logic.CmdNuevaVisible;
    const WindowLayout l = lookup::layoutWindow(sizes);
    CmdNuevo->setGeometry(px(60), px(60), px(kNuevoWidth), px(330));
    Label1->setGeometry(px(60 + kNuevoWidth + 60), px(60), std::max(0, px(l.labelWidth) - px(kButtonWidth)), px(330));
    CmdTodos->setGeometry(std::max(0, width() - px(kButtonWidth + 120)), px(60), px(kButtonWidth), px(330));
    m_clip->setGeometry(px(60), px(kPicTop), std::max(0, px(l.picWidth)), std::max(0, px(l.picHeight)));
    const int pictureWidth = std::max(px(l.picWidth), px(m_picWidth));
    picFields->resize(pictureWidth, m_clip->height());
    ListView1->setGeometry(0, px(kListTop), std::max(0, pictureWidth - px(20)), std::max(0, px(l.listHeight)));
    // The bar's top is the form's (it is no child of picFields): just under the list.
    HScroll1->setGeometry(px(60), px(l.scrollTop), std::max(0, px(l.scrollWidth)), HScroll1->sizeHint().height());
    Frame1->setGeometry(px(l.frameLeft), px(l.frameTop), px(l.frameWidth), px(kFrameHeight));
    CmdAceptar->setGeometry(px(l.aceptarLeft), px(150), px(l.aceptarWidth), px(375));
    CmdCancelar->setGeometry(px(l.cancelarLeft), px(150), px(l.cancelarWidth), px(375));
    // "&Nueva Busqueda" needs a wider button; it ends where a button of the usual width would.
    CmdNueva->setGeometry(px(l.nuevaLeft - 500), px(150), px(kButtonWidth + 500), px(375));
    placeBoxes();
}

void Lib_FrmCons3::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    layoutWindow();
}

double Lib_FrmCons3::screenWidthTwips() const
{
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    return screen ? twips(screen->availableGeometry().width()) : 19200;
}

void Lib_FrmCons3::selectPosition(int position)
{
    if (position < 0 || position >= m_logic.ListView1().rows())
        return;
    m_syncing = true;
    const QModelIndex index = m_logic.ListView1().index(position, 0);
    ListView1->setCurrentIndex(index);
    ListView1->scrollTo(index);
    m_syncing = false;
}

void Lib_FrmCons3::setBoxText(int index, const QString &text)
{
    if (index < 0 || index >= CmbSearch.size() || CmbSearch[index]->currentText() == text)
        return;
    const QSignalBlocker blocker(CmbSearch[index]->lineEdit());
    CmbSearch[index]->setEditText(text);
}

int Lib_FrmCons3::boxIndex(QObject *watched) const
{
    for (int i = 0; i < CmbSearch.size(); ++i) {
        if (watched == CmbSearch[i] || watched == CmbSearch[i]->lineEdit())
            return i;
    }
    return -1;
}

bool Lib_FrmCons3::formKey(QKeyEvent *event)
{
    int keyCode = vbKeyCode(event);
    if (keyCode != vbkey::F12)
        return false;
    m_logic.Form_KeyDown(keyCode, vbShift(event));
    return keyCode == 0;
}

bool Lib_FrmCons3::listKey(QKeyEvent *event)
{
    const int keyCode = vbKeyCode(event);
    const bool handled = keyCode == 8 || keyCode == 13 || keyCode == 32 || keyCode == 45 || keyCode == 46
        || (keyCode >= 47 && keyCode <= 93) || (keyCode >= 97 && keyCode <= 125);
    if (!handled)
        return false; // arrows, pages, Home, End, Escape: the list's own
    m_logic.ListView1_KeyDown(keyCode, vbShift(event), event->text());
    return true;
}

bool Lib_FrmCons3::boxKey(int index, QKeyEvent *event)
{
    const int keyCode = vbKeyCode(event);
    if (!vbkey::isBoxKey(keyCode) && keyCode != vbkey::Enter)
        return false; // Enter in a box accepts the selected row, as in the list
    m_logic.CmbSearch_KeyDown(index, keyCode, vbShift(event));
    return true;
}

bool Lib_FrmCons3::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ListView1->viewport()) {
        // The first screen is being painted: the rest is read once that is done.
        if (event->type() == QEvent::Paint && m_logic.loading())
            QTimer::singleShot(0, &m_logic, &Lib_FrmCons3Logic::readRest);
        return QDialog::eventFilter(watched, event);
    }
    const int box = boxIndex(watched);
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (formKey(key))
            return true;
        if (watched == ListView1)
            return listKey(key);
        if (box >= 0) // the box itself, or its line edit when a key is sent there directly
            return boxKey(box, key);
    } else if (box >= 0 && event->type() == QEvent::FocusIn) {
        m_logic.CmbSearch_GotFocus(box);
        setBoxColour(CmbSearch[box], QColor(0x00, 0xFF, 0xFF));
    } else if (box >= 0 && event->type() == QEvent::FocusOut) {
        setBoxColour(CmbSearch[box], Qt::white);
    }
    return QDialog::eventFilter(watched, event);
}

void Lib_FrmCons3::reject()
{
    if (!m_logic.hidden())
        m_logic.CmdCancelar_Click(); // hides the form through hideRequested
    else
        QDialog::reject();
}

} // namespace lookup::ui
