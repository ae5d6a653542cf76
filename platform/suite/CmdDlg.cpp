#include "CmdDlg.h"

namespace platform::suite {

namespace {
CmdDlg::Chooser &chooser()
{
    static CmdDlg::Chooser installed;
    return installed;
}
} // namespace

void CmdDlg::setChooser(Chooser installed) { chooser() = std::move(installed); }

void CmdDlg::MostrarAbrir()
{
    m_cancelado = true;
    m_nombreArchivo.clear();
    if (!chooser())
        return;
    if (const auto chosen = chooser()(Titulo, Filtro); chosen && !chosen->isEmpty()) {
        m_cancelado = false;
        m_nombreArchivo = *chosen;
    }
}

} // namespace platform::suite
