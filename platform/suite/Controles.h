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
    // True for a key that confirms a box: Enter (VB key code 13).
    bool EsTeclaAceptar(int keyCode) const;
};

Controles &gControles();
void releaseControles();

} // namespace platform::suite
