#include "FormGeometry.h"

#include <algorithm>
#include <limits>

namespace {

// Edges as 64-bit numbers, right and bottom exclusive, so that stored extremes cannot
// overflow the arithmetic.
struct Span
{
    qint64 left, top, right, bottom;
};

Span spanOf(const QRect &rect)
{
    return {rect.x(), rect.y(), qint64(rect.x()) + rect.width(), qint64(rect.y()) + rect.height()};
}

bool overlaps(const Span &a, const Span &b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

qint64 gap(qint64 lowA, qint64 highA, qint64 lowB, qint64 highB)
{
    return std::max<qint64>({0, lowB - highA, lowA - highB});
}

// Moves start so that a stretch of the given length lies inside [low, high) where it fits,
// and starts at low where it does not.
int placeWithin(int start, int length, qint64 low, qint64 high)
{
    const qint64 last = std::max(low, high - length);
    return static_cast<int>(std::clamp<qint64>(start, low, last));
}

} // namespace

FormGeometry keepOnScreens(const FormGeometry &geometry, const QList<QRect> &screens)
{
    // A window without extent still occupies the point where it stands. Not through a
    // QRect: its right edge, left + width, overflows an int for stored extremes.
    const Span window = {geometry.left, geometry.top, qint64(geometry.left) + std::max(geometry.width, 1),
                         qint64(geometry.top) + std::max(geometry.height, 1)};
    const QRect *nearest = nullptr;
    double nearestDistance = std::numeric_limits<double>::infinity();
    for (const QRect &screen : screens) {
        if (screen.isEmpty())
            continue;
        const Span area = spanOf(screen);
        if (overlaps(window, area))
            return geometry;
        const qint64 dx = gap(window.left, window.right, area.left, area.right);
        const qint64 dy = gap(window.top, window.bottom, area.top, area.bottom);
        // In floating point: the square of a gap between stored extremes passes 64 bits.
        const double distance = double(dx) * double(dx) + double(dy) * double(dy);
        if (distance < nearestDistance) {
            nearestDistance = distance;
            nearest = &screen;
        }
    }
    if (!nearest)
        return geometry;

    const Span area = spanOf(*nearest);
    FormGeometry moved = geometry;
    moved.left = placeWithin(geometry.left, std::max(geometry.width, 1), area.left, area.right);
    moved.top = placeWithin(geometry.top, std::max(geometry.height, 1), area.top, area.bottom);
    return moved;
}

FormGeometry fitInto(const FormGeometry &geometry, const QRect &area)
{
    if (area.isEmpty() || (geometry.width <= area.width() && geometry.height <= area.height()))
        return geometry;
    FormGeometry fitted = geometry;
    fitted.width = std::min(geometry.width, area.width());
    fitted.height = std::min(geometry.height, area.height());
    const Span span = spanOf(area);
    fitted.left = placeWithin(geometry.left, fitted.width, span.left, span.right);
    fitted.top = placeWithin(geometry.top, fitted.height, span.top, span.bottom);
    return fitted;
}

FormGeometry placeOnScreens(const FormGeometry &geometry, const QList<QRect> &screens, const QSize &frame)
{
    const FormGeometry kept = keepOnScreens(geometry, screens);
    const Span window = {kept.left, kept.top, qint64(kept.left) + std::max(kept.width, 1),
                         qint64(kept.top) + std::max(kept.height, 1)};
    const QRect *most = nullptr;
    double mostShared = 0;
    for (const QRect &screen : screens) {
        const Span area = spanOf(screen);
        if (screen.isEmpty() || !overlaps(window, area))
            continue;
        const double shared = double(std::min(window.right, area.right) - std::max(window.left, area.left))
            * double(std::min(window.bottom, area.bottom) - std::max(window.top, area.top));
        if (shared > mostShared) {
            mostShared = shared;
            most = &screen;
        }
    }
    return most ? fitInto(kept, most->adjusted(0, 0, -frame.width(), -frame.height())) : kept;
}
