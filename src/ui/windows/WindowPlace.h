#pragma once

class QWidget;

namespace WindowPlace {

// A secondary window shown for the first time, with no place stored by an earlier run:
// moved beside its parent (the main window), over none of it where the screen has room.
// A stored place, restored after this, wins; so does a parent not on screen.
void besideParent(QWidget &window);

} // namespace WindowPlace
