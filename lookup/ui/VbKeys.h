#pragma once

class QKeyEvent;

namespace lookup::ui {

// The VB key code of a key event (the keypad's digits and operators as 96-111) and its
// shift state (1 Shift, 2 Ctrl, 4 Alt); 0 when VB has no code for the key.
int vbKeyCode(const QKeyEvent *event);
int vbShift(const QKeyEvent *event);

} // namespace lookup::ui
