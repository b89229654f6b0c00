#include "TwipsGeometry.h"

#include "platform/Twips.h"

#include <QRect>
#include <QSize>
#include <QWidget>

namespace TwipsGeometry {

QRect toPixels(const WindowLayout::TwipsRect &rect, const QWidget *widget)
{
    const double dpiX = widget->logicalDpiX();
    const double dpiY = widget->logicalDpiY();
    return {Twips::toPixels(rect.left, dpiX), Twips::toPixels(rect.top, dpiY),
            Twips::toPixels(rect.width, dpiX), Twips::toPixels(rect.height, dpiY)};
}

WindowLayout::TwipsRect fromPixels(const QRect &rect, const QWidget *widget)
{
    const double dpiX = widget->logicalDpiX();
    const double dpiY = widget->logicalDpiY();
    return {Twips::fromPixels(rect.x(), dpiX), Twips::fromPixels(rect.y(), dpiY),
            Twips::fromPixels(rect.width(), dpiX), Twips::fromPixels(rect.height(), dpiY)};
}

QSize toPixels(int widthTwips, int heightTwips, const QWidget *widget)
{
    return {Twips::toPixels(widthTwips, widget->logicalDpiX()),
            Twips::toPixels(heightTwips, widget->logicalDpiY())};
}

void place(QWidget *widget, const WindowLayout::TwipsRect &rect)
{
    widget->setGeometry(toPixels(rect, widget));
}

WindowLayout::TwipsRect geometryOf(const QWidget *widget)
{
    return fromPixels(widget->geometry(), widget);
}

} // namespace TwipsGeometry
