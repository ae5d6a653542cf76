#pragma once

#include "lookup/LookupPresenter.h"

namespace lookup::ui {

// Shows the lookup forms as modal windows of the desktop.
class WidgetPresenter : public LookupPresenter {
public:
    void showList(Lib_FrmCons3Logic &form) override;
    void showTree(Lib_FrmCons3TreeLogic &form) override;
    int firstScreenRows() const override;
};

// Makes the shared lookup object (gConsulta) show its forms on the desktop. Call once,
// after the QApplication exists.
void installDesktopLookup();

} // namespace lookup::ui
