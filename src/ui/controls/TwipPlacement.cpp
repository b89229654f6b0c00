#include "TwipPlacement.h"

#include "platform/Twips.h"

#include <QVariant>

#include <optional>
#include <QWidget>

namespace {

// The exact twips a widget was last placed at, kept on the widget itself so that it
// follows the widget wherever it is read from.
const char *const twipsKey = "_vorn_twips";
const char *const pixelsKey = "_vorn_twip_pixels";
const char *const originKey = "_vorn_twip_origin";
const char *const dpiKey = "_vorn_twip_dpi";

struct Remembered
{
    QRect twips;
    QRect pixels;
    QPoint origin;
    QPointF dpi;
};

std::optional<Remembered> remembered(const QWidget *widget)
{
    const QVariant twips = widget->property(twipsKey);
    if (!twips.isValid())
        return std::nullopt;
    return Remembered{twips.toRect(), widget->property(pixelsKey).toRect(),
                      widget->property(originKey).toPoint(), widget->property(dpiKey).toPointF()};
}

QPointF dpiOf(const QWidget *widget)
{
    return QPointF(widget->logicalDpiX(), widget->logicalDpiY());
}

} // namespace

namespace TwipPlacement {

QRect toPixels(const QRect &twips, double dpiX, double dpiY, const QPoint &origin)
{
    const int left = Twips::toPixels(twips.left(), dpiX);
    const int top = Twips::toPixels(twips.top(), dpiY);
    const int right = Twips::toPixels(twips.left() + twips.width(), dpiX);
    const int bottom = Twips::toPixels(twips.top() + twips.height(), dpiY);
    return QRect(origin.x() + left, origin.y() + top, right - left, bottom - top);
}

QRect fromPixels(const QRect &pixels, double dpiX, double dpiY, const QPoint &origin)
{
    const int x = pixels.left() - origin.x();
    const int y = pixels.top() - origin.y();
    const int left = Twips::fromPixels(x, dpiX);
    const int top = Twips::fromPixels(y, dpiY);
    const int right = Twips::fromPixels(x + pixels.width(), dpiX);
    const int bottom = Twips::fromPixels(y + pixels.height(), dpiY);
    return QRect(left, top, right - left, bottom - top);
}

void place(QWidget *widget, const QRect &twips, const QPoint &origin)
{
    const QPointF dpi = dpiOf(widget);
    const QRect pixels = toPixels(twips, dpi.x(), dpi.y(), origin);
    // Remembered first: the widget's own resize handling, which runs inside setGeometry,
    // must already read the exact twips.
    widget->setProperty(twipsKey, twips);
    widget->setProperty(pixelsKey, pixels);
    widget->setProperty(originKey, origin);
    widget->setProperty(dpiKey, dpi);
    widget->setGeometry(pixels);
}

QRect geometry(const QWidget *widget, const QPoint &origin)
{
    const QPointF dpi = dpiOf(widget);
    const std::optional<Remembered> last = remembered(widget);
    if (last && last->pixels == widget->geometry() && last->origin == origin && last->dpi == dpi)
        return last->twips;
    return fromPixels(widget->geometry(), dpi.x(), dpi.y(), origin);
}

QSize size(const QWidget *widget)
{
    const QPointF dpi = dpiOf(widget);
    const std::optional<Remembered> last = remembered(widget);
    if (last && last->pixels.size() == widget->size() && last->dpi == dpi)
        return last->twips.size();
    return QSize(Twips::fromPixels(widget->width(), dpi.x()),
                 Twips::fromPixels(widget->height(), dpi.y()));
}

} // namespace TwipPlacement
