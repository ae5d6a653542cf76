#pragma once

#include <QString>
#include <QStringList>

namespace platform::suite {

// The form-control helper of the suite's library (gControles). The widget-bound
// operations live with the forms; this object only finds a member of a control
// array by its data-field name.
class Controles {
public:
    // Index of the first data-field name equal to `campo` ignoring case; -1 when none.
    int IndiceCampo(const QString &campo, const QStringList &camposDeDatos) const;
    // True when the key (a VB key code) confirms a field: Enter.
    bool EsTeclaAceptar(int keyCode) const { return keyCode == 13; }
};

Controles &gControles();
void releaseControles();

} // namespace platform::suite
