#pragma once

#include <QFlags>
#include <QList>
#include <QRect>
#include <QSize>

// Where a window stands and how large it is, in twips: left and top of its outer edge on
// the desktop, width and height of its inside (the part the window manager does not draw).
struct FormGeometry
{
    enum Field { Left = 0x1, Top = 0x2, Width = 0x4, Height = 0x8 };
    Q_DECLARE_FLAGS(Fields, Field)

    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    QRect rect() const { return QRect(left, top, width, height); }
    friend bool operator==(const FormGeometry &, const FormGeometry &) = default;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(FormGeometry::Fields)

// A window that would lie wholly outside every screen (one that was unplugged since it
// was stored) is moved, size unchanged, onto the nearest screen, as far as needed to lie
// inside it where it fits; any other window is returned as it is. screens: the screens'
// usable areas in twips; with none known, nothing moves.
FormGeometry keepOnScreens(const FormGeometry &geometry, const QList<QRect> &screens);

// A window that does not fit the area (a screen's usable area, with room taken off for
// the frame the window manager draws) is made smaller to fit and moved inside it; one
// that fits is returned as it is. For a first start on a small or strongly scaled screen,
// where the window's designed size would put its menu and status bar off the screen.
FormGeometry fitInto(const FormGeometry &geometry, const QRect &area);

// A restored window: kept on the screens as keepOnScreens does, then fitted (fitInto) into
// the screen that holds the most of it, less the frame the window manager draws. A size
// stored on a larger or less scaled screen would put the menu and the status bar off
// this one.
FormGeometry placeOnScreens(const FormGeometry &geometry, const QList<QRect> &screens, const QSize &frame);
