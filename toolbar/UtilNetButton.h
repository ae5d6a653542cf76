#pragma once

#include <QStringView>

#include <array>

namespace toolbar {

// The eight commands of the bar.
enum class Boton { Nuevo, Borrar, Reporte, Consulta, Planilla, Cancelar, Grabar, Cerrar };

// One fixed button: its id, caption (leading blanks kept on purpose), the command
// word it raises, its VB key code, and the names under which its flags are reported.
struct UtilNetButton {
    Boton boton;
    int id;
    QStringView caption;
    QStringView word;
    int vbKey;
    QStringView enabledName;
    QStringView visibleName;
};

inline constexpr int kButtonCount = 8;

// The buttons in the order they are added to the bar (and lie in the icon strip).
const std::array<UtilNetButton, kButtonCount> &utilNetButtons();
// The button with this id, or nullptr for an id outside 1..8.
const UtilNetButton *buttonById(int id);
// The button of this command.
const UtilNetButton &buttonOf(Boton boton);

} // namespace toolbar
