#pragma once

#include <QString>

#include <cstdint>

class QLabel;
class QWidget;

// The shared module's routines that draw on a form.
namespace ModGlobal {

// Draws into the picture box a bar filled to `porcentaje` (0-100) of its width in the
// colour (a VB colour: &HBBGGRR), with "caption percentage%" centred on it.
void DibujarProgreso(QLabel *cuadro, double porcentaje, std::int32_t color, const QString &leyenda);

// Applies the window skin that the station file's "Styles" value chooses for this
// station (default "1"): 1 the light style, 2 the dark one, anything else the desktop's.
void AplicarSkin(QWidget *formulario);

} // namespace ModGlobal
