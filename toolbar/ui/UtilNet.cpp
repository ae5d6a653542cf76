#include "toolbar/ui/UtilNet.h"

#include "toolbar/IconStrip.h"

#include "platform/Logger.h"
#include "platform/Paths.h"

#include <QAction>
#include <QIcon>
#include <QPixmap>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace toolbar {

namespace {

const QSize kButtonSize(42, 35);
const QSize kIconSize(32, 32);

std::size_t indexOf(Boton boton) { return static_cast<std::size_t>(boton); }

// Qt's own picture for a button, when the desktop's icon theme has none.
QStyle::StandardPixmap standardPixmap(Boton boton)
{
    switch (boton) {
    case Boton::Nuevo:
        return QStyle::SP_FileIcon;
    case Boton::Borrar:
        return QStyle::SP_TrashIcon;
    case Boton::Reporte:
        return QStyle::SP_FileDialogDetailedView;
    case Boton::Consulta:
        return QStyle::SP_FileDialogContentsView;
    case Boton::Planilla:
        return QStyle::SP_FileDialogListView;
    case Boton::Cancelar:
        return QStyle::SP_DialogCancelButton;
    case Boton::Grabar:
        return QStyle::SP_DialogSaveButton;
    case Boton::Cerrar:
        return QStyle::SP_DialogCloseButton;
    }
    return QStyle::SP_FileIcon;
}

} // namespace

UtilNet::UtilNet(QWidget *parent) : QWidget(parent)
{
    m_state.setPropertyChanged([this](const QString &name) { Q_EMIT propertyChanged(name); });
    m_toolBar = new QToolBar(QStringLiteral("Standard"), this);
    m_toolBar->setObjectName(QStringLiteral("Standard"));
    m_toolBar->setMovable(false);
    // Along the top the bar keeps its own height however the form grows.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_toolBar);
    createActions();
    m_styles = IconStrip::stationStyle();
    loadIcons();
    refreshButtons();
}

void UtilNet::setConTitulo(bool value)
{
    m_state.setConTitulo(value);
    refreshButtons();
}

void UtilNet::readStoredProperties(const QVariantHash &stored)
{
    m_state.readStoredProperties(stored);
    refreshButtons();
}

void UtilNet::setStyleValue(const QString &styles)
{
    m_styles = styles;
    loadIcons();
    refreshButtons();
}

void UtilNet::ActualizarBotones()
{
    m_state.reset();
    m_styles = IconStrip::stationStyle();
    loadIcons();
    refreshButtons();
}

bool UtilNet::KeyAnalisis(int keyCode)
{
    const QString word = m_state.KeyAnalisis(keyCode);
    if (word.isEmpty())
        return false;
    Q_EMIT click(word);
    return true;
}

QAction *UtilNet::action(Boton boton) const { return m_actions[indexOf(boton)]; }

void UtilNet::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    const Qt::Orientation orientation = UtilNetState::orientationFor(size());
    m_toolBar->setOrientation(orientation);
    if (orientation == Qt::Horizontal)
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    else
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

void UtilNet::setFlagEnabled(Boton boton, bool value)
{
    m_state.setButtonEnabled(boton, value);
    refreshButtons();
}

void UtilNet::setFlagVisible(Boton boton, bool value)
{
    m_state.setButtonVisible(boton, value);
    refreshButtons();
}

void UtilNet::createActions()
{
    for (const UtilNetButton &button : utilNetButtons()) {
        QAction *action = m_toolBar->addAction(button.caption.toString());
        action->setData(button.id);
        action->setObjectName(button.word.toString());
        const int id = button.id;
        connect(action, &QAction::triggered, this, [this, id] { buttonExecuted(id); });
        if (QWidget *widget = m_toolBar->widgetForAction(action))
            widget->setMinimumSize(kButtonSize);
        m_actions[indexOf(button.boton)] = action;
    }
}

void UtilNet::loadIcons()
{
    const QString path = IconStrip::pathForStyle(platform::programFolder(), m_styles);
    const auto icons = IconStrip::load(path, kButtonCount);
    m_toolBar->setIconSize(kIconSize);
    m_hasIcons = true;
    if (!icons) {
        // Expected off the suite's Windows stations: the desktop's pictures stand in.
        platform::logger().info(
            QStringLiteral("Barra de comandos con los iconos del escritorio: %1").arg(icons.message()));
        useThemeIcons();
        return;
    }
    m_iconsFromStrip = true;
    const auto &buttons = utilNetButtons();
    for (std::size_t i = 0; i < buttons.size(); ++i)
        action(buttons[i].boton)->setIcon(QIcon(QPixmap::fromImage(icons.value().at(int(i)))));
}

void UtilNet::useThemeIcons()
{
    m_iconsFromStrip = false;
    for (const UtilNetButton &button : utilNetButtons()) {
        const QIcon fallback = style()->standardIcon(standardPixmap(button.boton), nullptr, this);
        action(button.boton)->setIcon(QIcon::fromTheme(button.themeIcon.toString(), fallback));
    }
}

void UtilNet::refreshButtons()
{
    m_toolBar->setToolButtonStyle(m_state.buttonStyle(m_hasIcons));
    for (const UtilNetButton &button : utilNetButtons()) {
        QAction *target = action(button.boton);
        target->setEnabled(m_state.isButtonEnabled(button.boton));
        target->setVisible(m_state.isButtonVisible(button.boton));
    }
}

void UtilNet::buttonExecuted(int id)
{
    const QString word = m_state.pressButton(id);
    refreshButtons();
    // Last: the host's handler may close its form (deleteLater) or start over.
    Q_EMIT click(word);
}

} // namespace toolbar
