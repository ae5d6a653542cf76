#include "lookup/ui/WidgetPresenter.h"

#include "lookup/Lib_ClsCons3.h"
#include "lookup/ui/Lib_FrmCons3.h"
#include "lookup/ui/Lib_FrmCons3Tree.h"

#include <QApplication>

namespace lookup::ui {

namespace {

// The form that asked for the lookup: the window the operator is working in.
QWidget *callerWindow()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget *active = QApplication::activeWindow())
        return active;
    QWidget *focused = QApplication::focusWidget();
    return focused ? focused->window() : nullptr;
}

} // namespace

void WidgetPresenter::showList(Lib_FrmCons3Logic &form)
{
    Lib_FrmCons3 window(form, callerWindow());
    window.exec();
}

void WidgetPresenter::showTree(Lib_FrmCons3TreeLogic &form)
{
    Lib_FrmCons3Tree window(form, callerWindow());
    window.exec();
}

int WidgetPresenter::firstScreenRows() const { return Lib_FrmCons3::rowsOnFirstScreen(); }

void installDesktopLookup() { installLookup(std::make_shared<WidgetPresenter>()); }

} // namespace lookup::ui
