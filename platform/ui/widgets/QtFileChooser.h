#pragma once

#include <QString>

namespace platform {

// Makes the suite's file dialog (CmdDlg) show Qt's open-file dialog.
void installQtFileChooser();
// "Paquetes|*.zip|Todos|*.*" becomes "Paquetes (*.zip);;Todos (*.*)".
QString qtFilter(const QString &vbFilter);

} // namespace platform
