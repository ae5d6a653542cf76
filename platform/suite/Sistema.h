#pragma once

#include <QString>

namespace platform::suite {

// Machine and session facts of the suite's library (gSistema).
class Sistema {
public:
    QString NombreMaquina() const;   // host name
    QString NombreUsuario() const;   // login name of the session
    QString CarpetaTemporal() const; // temporary folder, without a final separator
    // Opens `archivo` with the desktop's associated program (xdg-open), not through a
    // shell. Returns false when nothing could be started. window/verb/folder are unused.
    bool EjecutarShell(long ventana, const QString &verbo, const QString &archivo, const QString &parametros,
                       const QString &carpeta, int mostrar) const;
};

Sistema &gSistema();
void releaseSistema();

} // namespace platform::suite
