#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace platform::suite {

// The suite's file dialog. Without a chooser installed (unattended, tests) every
// MostrarAbrir is cancelled; the desktop installs a Qt file dialog.
class CmdDlg {
public:
    // Returns the chosen file, or nothing when the operator cancelled.
    using Chooser = std::function<std::optional<QString>(const QString &titulo, const QString &filtro)>;
    static void setChooser(Chooser chooser);

    QString Titulo;
    QString Filtro;         // VB form: "Descripción|*.zip|Todos|*.*"
    int IndiceFiltro = 1;   // the filter shown first (1-based); kept for the caller
    bool Indicador = false; // the library's option flags; kept for the caller
    void MostrarAbrir();
    bool Cancelado() const { return m_cancelado; }
    QString NombreArchivo() const { return m_nombreArchivo; }

private:
    bool m_cancelado = true;
    QString m_nombreArchivo;
};

} // namespace platform::suite
