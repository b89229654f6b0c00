#pragma once

#include <QRect>

// The resize rules of the two secondary windows that hold one body (the help browser, the
// day window's splitter) above a centred button group. Plain arithmetic in twips, so that
// the rules are tested without a window.
namespace WindowLayout {

struct Placement
{
    QRect body;
    QRect keys;

    friend bool operator==(const Placement &, const Placement &) = default;
};

// Help window: body width = inner width - 200, body height = inner height - 1000, the keys
// centred and 480 below the body's height. A length that would be negative is refused, as
// a window control refuses it, and that one step keeps the current value; the other steps
// still run. The body's left and top edges never move.
Placement helpWindow(const Placement &current, int innerWidth, int innerHeight);

// Function-of-the-day window: the same, but the body keeps equal margins left and right
// (width = inner width - 2 x its left edge).
Placement dayWindow(const Placement &current, int innerWidth, int innerHeight);

// Where a window of that outer size goes beside the main window (its outer rectangle) on
// the available area: on the main window's right where it fits, else on its left, else on
// the side with more room, as little over the main window as the area allows; its top in
// line with the main window's, kept on the area. Pixels.
QPoint beside(const QRect &main, const QSize &window, const QRect &area);

} // namespace WindowLayout
