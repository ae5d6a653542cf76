#include "lookup/ui/WidgetPresenter.h"

#include "lookup/Lib_ClsCons3.h"
#include "lookup/ui/Lib_FrmCons3.h"
#include "lookup/ui/Lib_FrmCons3Tree.h"

#include <QApplication>

namespace lookup::ui {

void WidgetPresenter::showList(Lib_FrmCons3Logic &form)
{
    Lib_FrmCons3 window(form, QApplication::activeWindow());
    window.exec();
}

void WidgetPresenter::showTree(Lib_FrmCons3TreeLogic &form)
{
    Lib_FrmCons3Tree window(form, QApplication::activeWindow());
    window.exec();
}

void installDesktopLookup() { installLookup(std::make_shared<WidgetPresenter>()); }

} // namespace lookup::ui
