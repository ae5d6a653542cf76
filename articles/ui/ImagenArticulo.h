#pragma once

namespace articles::ui {

class FrmArtAlta;

// The article picture on the window, when its model keeps one (ModeloConImagen): enables the
// buttons "PEGAR", "Buscar" and "Quitar" and runs their commands, shows PicLogo and lblMensaje
// whenever they change, and the wait cursor while a picture downloads.
void ConectarImagen(FrmArtAlta &ventana);

} // namespace articles::ui
