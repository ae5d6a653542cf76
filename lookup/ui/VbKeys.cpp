#include "lookup/ui/VbKeys.h"

#include "toolbar/VbKeyCode.h"

#include <QKeyEvent>

#include <utility>

namespace lookup::ui {

namespace {

constexpr std::pair<int, int> kKeypadOperators[] = {
    {Qt::Key_Asterisk, 106}, {Qt::Key_Plus, 107},  {Qt::Key_Minus, 109},
    {Qt::Key_Period, 110},   {Qt::Key_Comma, 110}, {Qt::Key_Slash, 111},
};

} // namespace

int vbKeyCode(const QKeyEvent *event)
{
    const int key = event->key();
    if (event->modifiers() & Qt::KeypadModifier) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9)
            return 96 + (key - Qt::Key_0);
        for (const auto &[qt, vb] : kKeypadOperators) {
            if (qt == key)
                return vb;
        }
    }
    return toolbar::vbKeyCode(key);
}

int vbShift(const QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0)
        | (modifiers & Qt::AltModifier ? 4 : 0);
}

} // namespace lookup::ui
