#pragma once

namespace toolbar {

// The VB key code (vbKeyEscape 27, vbKeyF1 112 ... vbKeyF24 135, letters and digits
// as their upper-case character codes, the editing and arrow keys) of a Qt key,
// or 0 when VB has no code for it. Hosts pass the result to KeyAnalisis.
int vbKeyCode(int qtKey);

} // namespace toolbar
