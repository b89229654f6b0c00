#pragma once

#include <Qt>

// The pressed mouse buttons as a bit set, the way the controls' pointer handlers take
// them: 1 left, 2 right, 4 middle.
inline int buttonState(Qt::MouseButtons buttons)
{
    int state = 0;
    if (buttons & Qt::LeftButton)
        state |= 1;
    if (buttons & Qt::RightButton)
        state |= 2;
    if (buttons & Qt::MiddleButton)
        state |= 4;
    return state;
}
