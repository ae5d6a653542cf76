#pragma once

#include "toolbar/UtilNetButton.h"

#include <QList>
#include <QPair>
#include <QSize>
#include <QString>
#include <QVariantHash>

#include <array>
#include <functional>

namespace toolbar {

// The command bar's state without any widget: per-button enabled and visible
// flags, the titles flag, the theme, the key mapping and the press rule.
// Every flag starts True. Setters that report a change call the property-change
// receiver with the property's name, as the host's property set expects.
class UtilNetState {
public:
    using PropertyChanged = std::function<void(const QString &name)>;

    UtilNetState();

    // Receiver of property-change reports (may be empty).
    void setPropertyChanged(PropertyChanged receiver);

    // Back to the state of a new control: visible flags, ConTitulo and Enabled
    // True directly; then the eight enabled flags True through their setters.
    void reset();

    bool isButtonEnabled(Boton boton) const;
    void setButtonEnabled(Boton boton, bool value);
    bool isButtonVisible(Boton boton) const;
    void setButtonVisible(Boton boton, bool value);

    // Shown as titles under the icons when True.
    bool ConTitulo() const { return m_conTitulo; }
    void setConTitulo(bool value);
    // Kept for the host only; it changes nothing in the bar.
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool value);
    // 0..2; anything else is stored as 0. Kept for the host only.
    int Theme() const { return m_theme; }
    void setTheme(int value);

    // A press on the button with this id: returns its command word ("" for an
    // unknown id). "NUEVO" turns BorrarEnabled off, "GRABAR" and "CERRAR" on,
    // without a change report.
    QString pressButton(int id);

    // The command word for a VB key code, or "" when the key maps to no enabled
    // button. Esc gives CANCELAR, or CERRAR while Cancelar is off. Visibility is not
    // consulted.
    QString KeyAnalisis(int keyCode) const;

    // Horizontal when wider than high, else vertical (a square bar is vertical).
    static Qt::Orientation orientationFor(const QSize &size);
    // Text only without pictures; with pictures, titles under the icons or icons only.
    Qt::ToolButtonStyle buttonStyle(bool hasIcons) const;

    // The host's stored property set, in its fixed order.
    QList<QPair<QString, bool>> storedProperties() const;
    // Reads the stored set; a missing key reads as True. Reports as the setters do.
    void readStoredProperties(const QVariantHash &stored);

private:
    void report(QStringView name) const;

    std::array<bool, kButtonCount> m_enabledFlags{};
    std::array<bool, kButtonCount> m_visibleFlags{};
    bool m_conTitulo = true;
    bool m_enabled = true;
    int m_theme = 0;
    PropertyChanged m_propertyChanged;
};

} // namespace toolbar
