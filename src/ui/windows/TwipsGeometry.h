#pragma once

#include "WindowLayout.h"

class QRect;
class QSize;
class QWidget;

// Twips at the edge where a widget is placed: the layout rules work in twips, the widgets
// in pixels at the screen's logical DPI.
namespace TwipsGeometry {

QRect toPixels(const WindowLayout::TwipsRect &rect, const QWidget *widget);
WindowLayout::TwipsRect fromPixels(const QRect &rect, const QWidget *widget);
QSize toPixels(int widthTwips, int heightTwips, const QWidget *widget);

// Places the widget at a rectangle given in twips of its parent.
void place(QWidget *widget, const WindowLayout::TwipsRect &rect);
// The widget's current geometry in twips.
WindowLayout::TwipsRect geometryOf(const QWidget *widget);

} // namespace TwipsGeometry
