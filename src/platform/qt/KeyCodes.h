// Translation of Qt keys into the window toolkit's key codes (13 Enter, 27 Escape, 122 F11...).
#pragma once

class QKeyEvent;

namespace zelvo {

// The key code of a key press, or 0 for keys the system has no code for.
int toolkitKeyCode(const QKeyEvent& event);

}  // namespace zelvo
