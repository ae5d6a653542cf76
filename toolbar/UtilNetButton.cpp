#include "toolbar/UtilNetButton.h"

namespace toolbar {

namespace {

// Esc belongs to Cancelar; Cerrar takes it only when Cancelar is off (see KeyAnalisis).
constexpr std::array<UtilNetButton, kButtonCount> kButtons{{
    {Boton::Nuevo, 1, u"Nuevo", u"NUEVO", 114, u"NuevoEnabled", u"NuevoVisible", u"document-new"},
    {Boton::Borrar, 2, u"Borrar", u"BORRAR", 121, u"BorrarEnabled", u"BorrarVisible", u"edit-delete"},
    {Boton::Reporte, 3, u" Reporte", u"REPORTE", 115, u"ReporteEnabled", u"ReporteVisible", u"document-print"},
    {Boton::Consulta, 6, u" Consultar", u"CONSULTAR", 116, u"ConsultaEnabled", u"consultarVisible", u"edit-find"},
    {Boton::Planilla, 7, u"  Planilla", u"PLANILLA", 117, u"PlanillaEnabled", u"PlanillaVisible",
     u"x-office-spreadsheet"},
    {Boton::Cancelar, 8, u"Cancelar", u"CANCELAR", 27, u"CancelarEnabled", u"CancelarVisible", u"edit-undo"},
    {Boton::Grabar, 4, u"Grabar", u"GRABAR", 113, u"GrabarEnabled", u"GrabarVisible", u"document-save"},
    {Boton::Cerrar, 5, u"   Cerrar", u"CERRAR", 27, u"CerrarEnabled", u"CerrarVisible", u"window-close"},
}};

} // namespace

const std::array<UtilNetButton, kButtonCount> &utilNetButtons() { return kButtons; }

const UtilNetButton *buttonById(int id)
{
    for (const UtilNetButton &button : kButtons) {
        if (button.id == id)
            return &button;
    }
    return nullptr;
}

const UtilNetButton &buttonOf(Boton boton)
{
    for (const UtilNetButton &button : kButtons) {
        if (button.boton == boton)
            return button;
    }
    return kButtons.front(); // unreachable: every Boton is in the table
}

} // namespace toolbar
