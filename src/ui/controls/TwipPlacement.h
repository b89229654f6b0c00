#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Places widgets by twip rectangles and reads their twip rectangles back.
//
// A twip rectangle rarely falls on whole pixels (80 twips are 5 1/3 pixels at 96 dpi), so
// a widget remembers the exact twips it was last given together with the pixels they
// became. Reading back gives those twips as long as the widget still has exactly those
// pixels; once anything else has moved or resized it (a layout, the user, its own size
// limits), its pixel geometry is converted instead. This keeps layout arithmetic exact
// from one layout to the next, and still follows what the widget really covers.
//
// Edges are converted, not sizes, so that two rectangles that touch in twips touch in
// pixels too. origin is the pixel point in the widget's parent that twip 0, 0 stands for
// (the inside corner of a parent's border, for instance). Horizontal values use the
// widget's horizontal logical DPI, vertical ones its vertical logical DPI.
namespace TwipPlacement {

// Moves and resizes the widget to the twip rectangle (width and height not negative).
void place(QWidget *widget, const QRect &twips, const QPoint &origin = QPoint());

// The twip rectangle that the widget covers, measured from origin.
QRect geometry(const QWidget *widget, const QPoint &origin = QPoint());

// The widget's outer size in twips.
QSize size(const QWidget *widget);

// Pixel rectangle that a twip rectangle covers at the given DPI, measured from origin.
QRect toPixels(const QRect &twips, double dpiX, double dpiY, const QPoint &origin = QPoint());
// Twip rectangle of a pixel rectangle at the given DPI, measured from origin.
QRect fromPixels(const QRect &pixels, double dpiX, double dpiY, const QPoint &origin = QPoint());

} // namespace TwipPlacement
