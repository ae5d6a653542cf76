#pragma once

#include <QString>

class QCoreApplication;

namespace Programa {

// Installs Qt's own Spanish texts (qtbase_es: the file dialog, the folder tree, the text
// boxes' context menu, the standard buttons) into the application, so that every dialog
// speaks the program's language. The file comes with the system's Qt translations
// (Debian: qt6-translations-l10n); without it Qt's texts stay English and the log says
// so. Returns whether the texts were installed.
bool instalarTraducciones(QCoreApplication &app);

// The file instalarTraducciones reads (empty when Qt's translations are not installed).
QString archivoTraducciones();

} // namespace Programa
