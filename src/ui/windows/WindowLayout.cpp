#include "WindowLayout.h"

#include <algorithm>

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

QPoint beside(const QRect &main, const QSize &window, const QRect &area)
{
    const int rightRoom = area.right() - main.right();
    const int leftRoom = main.left() - area.left();
    int left;
    if (rightRoom >= window.width())
        left = main.right() + 1;
    else if (leftRoom >= window.width())
        left = main.left() - window.width();
    else if (rightRoom >= leftRoom)
        left = area.right() + 1 - window.width();
    else
        left = area.left();
    // Kept on the area, the area's left edge first where the window is the wider.
    left = std::max(std::min(left, area.right() + 1 - window.width()), area.left());
    const int top = std::max(std::min(main.top(), area.bottom() + 1 - window.height()), area.top());
    return QPoint(left, top);
}

} // namespace WindowLayout
