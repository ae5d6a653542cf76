#include "toolbar/ui/UtilNet.h"

#include "toolbar/IconStrip.h"

#include "platform/Logger.h"
#include "platform/Paths.h"

#include <QAction>
#include <QIcon>
#include <QPixmap>
#include <QToolBar>
#include <QVBoxLayout>

namespace toolbar {

namespace {

const QSize kButtonSize(42, 35);
const QSize kIconSize(32, 32);

std::size_t indexOf(Boton boton) { return static_cast<std::size_t>(boton); }

} // namespace

UtilNet::UtilNet(QWidget *parent) : QWidget(parent)
{
    m_state.setPropertyChanged([this](const QString &name) { Q_EMIT propertyChanged(name); });
    m_toolBar = new QToolBar(QStringLiteral("Standard"), this);
    m_toolBar->setObjectName(QStringLiteral("Standard"));
    m_toolBar->setMovable(false);
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
    m_toolBar->setOrientation(UtilNetState::orientationFor(size()));
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
    if (!icons) {
        // Expected on a station without the pictures: the captions remain.
        platform::logger().info(QStringLiteral("Barra de comandos sin imágenes: %1").arg(icons.message()));
        clearIcons();
        return;
    }
    const auto &buttons = utilNetButtons();
    for (std::size_t i = 0; i < buttons.size(); ++i)
        action(buttons[i].boton)->setIcon(QIcon(QPixmap::fromImage(icons.value().at(int(i)))));
    m_toolBar->setIconSize(kIconSize);
    m_hasIcons = true;
}

void UtilNet::clearIcons()
{
    for (QAction *action : m_actions)
        action->setIcon(QIcon());
    m_hasIcons = false;
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
