#include "WindowLayout.h"

namespace WindowLayout {

namespace {

// The steps shared by both windows once the body's wanted width is known.
Placement place(Placement next, int wantedWidth, int innerWidth, int innerHeight)
{
    if (wantedWidth >= 0)
        next.body.setWidth(wantedWidth);
    if (const int height = innerHeight - 1000; height >= 0)
        next.body.setHeight(height);
    // Measured from the body's height as it now is, refused step or not.
    next.keys.moveTo((innerWidth - next.keys.width()) / 2, next.body.height() + 480);
    return next;
}

} // namespace

Placement helpWindow(const Placement &current, int innerWidth, int innerHeight)
{
    return place(current, innerWidth - 200, innerWidth, innerHeight);
}

Placement dayWindow(const Placement &current, int innerWidth, int innerHeight)
{
    return place(current, innerWidth - 2 * current.body.left(), innerWidth, innerHeight);
}

} // namespace WindowLayout
