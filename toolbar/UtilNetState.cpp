#include "toolbar/UtilNetState.h"

namespace toolbar {

namespace {

std::size_t indexOf(Boton boton) { return static_cast<std::size_t>(boton); }

// Order in which construction turns the enabled flags on (each one reported).
constexpr std::array<Boton, kButtonCount> kEnableOrder{Boton::Nuevo,    Boton::Borrar, Boton::Reporte,  Boton::Consulta,
                                                       Boton::Planilla, Boton::Grabar, Boton::Cancelar, Boton::Cerrar};

// Order of the enabled and visible keys in the stored property set.
constexpr std::array<Boton, kButtonCount> kStoredOrder{Boton::Nuevo,    Boton::Borrar,   Boton::Reporte,
                                                       Boton::Consulta, Boton::Planilla, Boton::Cancelar,
                                                       Boton::Grabar,   Boton::Cerrar};

// The stored key of a visible flag; only Consultar's differs from its reported name.
QString storedVisibleKey(Boton boton)
{
    if (boton == Boton::Consulta)
        return QStringLiteral("ConsultarVisible");
    return buttonOf(boton).visibleName.toString();
}

bool readFlag(const QVariantHash &stored, const QString &key)
{
    const auto it = stored.constFind(key);
    return it == stored.constEnd() || it->toBool();
}

} // namespace

UtilNetState::UtilNetState() { reset(); }

void UtilNetState::setPropertyChanged(PropertyChanged receiver) { m_propertyChanged = std::move(receiver); }

void UtilNetState::reset()
{
    m_visibleFlags.fill(true);
    m_conTitulo = true;
    m_enabled = true;
    for (Boton boton : kEnableOrder)
        setButtonEnabled(boton, true);
}

bool UtilNetState::isButtonEnabled(Boton boton) const { return m_enabledFlags[indexOf(boton)]; }

void UtilNetState::setButtonEnabled(Boton boton, bool value)
{
    m_enabledFlags[indexOf(boton)] = value;
    report(buttonOf(boton).enabledName);
}

bool UtilNetState::isButtonVisible(Boton boton) const { return m_visibleFlags[indexOf(boton)]; }

void UtilNetState::setButtonVisible(Boton boton, bool value)
{
    m_visibleFlags[indexOf(boton)] = value;
    report(buttonOf(boton).visibleName);
}

void UtilNetState::setConTitulo(bool value)
{
    m_conTitulo = value;
    report(u"ConTitulo");
}

void UtilNetState::setEnabled(bool value)
{
    m_enabled = value;
    report(u"Enabled");
}

void UtilNetState::setTheme(int value)
{
    m_theme = (value >= 0 && value <= 2) ? value : 0;
    report(u"Theme");
}

QString UtilNetState::pressButton(int id)
{
    const UtilNetButton *button = buttonById(id);
    if (!button)
        return {};
    const QString word = button->caption.toString().toUpper().trimmed();
    if (button->boton == Boton::Nuevo)
        m_enabledFlags[indexOf(Boton::Borrar)] = false;
    else if (button->boton == Boton::Grabar || button->boton == Boton::Cerrar)
        m_enabledFlags[indexOf(Boton::Borrar)] = true;
    return word;
}

QString UtilNetState::KeyAnalisis(int keyCode) const
{
    if (keyCode == 27) {
        if (isButtonEnabled(Boton::Cancelar))
            return buttonOf(Boton::Cancelar).word.toString();
        if (isButtonEnabled(Boton::Cerrar))
            return buttonOf(Boton::Cerrar).word.toString();
        return {};
    }
    for (const UtilNetButton &button : utilNetButtons()) {
        if (button.vbKey == keyCode && button.vbKey != 27 && isButtonEnabled(button.boton))
            return button.word.toString().trimmed().toUpper();
    }
    return {};
}

Qt::Orientation UtilNetState::orientationFor(const QSize &size)
{
    return size.width() > size.height() ? Qt::Horizontal : Qt::Vertical;
}

Qt::ToolButtonStyle UtilNetState::buttonStyle(bool hasIcons) const
{
    if (!hasIcons)
        return Qt::ToolButtonTextOnly;
    return m_conTitulo ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly;
}

QList<QPair<QString, bool>> UtilNetState::storedProperties() const
{
    QList<QPair<QString, bool>> list{{QStringLiteral("ConTitulo"), m_conTitulo},
                                     {QStringLiteral("Enabled"), m_enabled}};
    for (Boton boton : kStoredOrder)
        list.append({buttonOf(boton).enabledName.toString(), isButtonEnabled(boton)});
    for (Boton boton : kStoredOrder)
        list.append({storedVisibleKey(boton), isButtonVisible(boton)});
    return list;
}

void UtilNetState::readStoredProperties(const QVariantHash &stored)
{
    setConTitulo(readFlag(stored, QStringLiteral("ConTitulo")));
    setEnabled(readFlag(stored, QStringLiteral("Enabled")));
    for (Boton boton : kStoredOrder)
        setButtonEnabled(boton, readFlag(stored, buttonOf(boton).enabledName.toString()));
    for (Boton boton : kStoredOrder)
        setButtonVisible(boton, readFlag(stored, storedVisibleKey(boton)));
}

void UtilNetState::report(QStringView name) const
{
    if (m_propertyChanged)
        m_propertyChanged(name.toString());
}

} // namespace toolbar
