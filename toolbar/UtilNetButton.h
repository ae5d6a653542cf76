#pragma once

#include <QStringView>

#include <array>

namespace toolbar {

// The eight commands of the bar.
enum class Boton { Nuevo, Borrar, Reporte, Consulta, Planilla, Cancelar, Grabar, Cerrar };

// One fixed button: its id, caption (leading blanks kept on purpose), the command
// word it raises, its VB key code, the names under which its flags are reported, and
// the freedesktop icon name that stands for its picture when the suite's bitmap strip
// is missing.
struct UtilNetButton {
    Boton boton;
    int id;
    QStringView caption;
    QStringView word;
    int vbKey;
    QStringView enabledName;
    QStringView visibleName;
    QStringView themeIcon;
};

inline constexpr int kButtonCount = 8;

// The buttons in the order they are added to the bar (and lie in the icon strip).
const std::array<UtilNetButton, kButtonCount> &utilNetButtons();
// The button with this id, or nullptr for an id outside 1..8.
const UtilNetButton *buttonById(int id);
// The button of this command.
const UtilNetButton &buttonOf(Boton boton);

} // namespace toolbar
