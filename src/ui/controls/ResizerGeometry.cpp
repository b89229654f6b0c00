#include "ResizerGeometry.h"

#include "ResizerItem.h"

#include <QRect>

#include <cmath>
#include <optional>

namespace {

// Geometry far beyond any screen is refused rather than wrapped around: a minimum size
// restored from a damaged description must not turn into a huge or negative rectangle.
constexpr qint64 largestCoordinate = qint64(1) << 29;

std::optional<QRect> rectOf(qint64 left, qint64 top, qint64 width, qint64 height)
{
    for (const qint64 value : {left, top, width, height}) {
        if (value < -largestCoordinate || value > largestCoordinate)
            return std::nullopt;
    }
    return QRect(int(left), int(top), int(width), int(height));
}

bool place(ResizerItem *item, qint64 left, qint64 top, qint64 width, qint64 height)
{
    const std::optional<QRect> rect = rectOf(left, top, width, height);
    return rect && item->move(*rect);
}

qint64 roundedTwips(double value)
{
    if (!std::isfinite(value))
        return largestCoordinate + 1;
    return std::llround(value);
}

} // namespace

ResizerGeometry::ResizerGeometry(const ResizerState &state, const ResizerExtent &extent,
                                 ResizerItem *slot0, ResizerItem *slot1)
    : m_state(state)
    , m_extent(extent)
    , m_slots{slot0, slot1}
{
}

ResizerItem *ResizerGeometry::atPosition(int position) const
{
    if (position != 1 && position != 2)
        return nullptr;
    return m_slots[m_state.slotAt(position)];
}

qint32 ResizerGeometry::extentAt(int position) const
{
    const ResizerItem *item = atPosition(position);
    if (!item)
        return 0;
    const QRect rect = item->geometry();
    return m_state.orientation == 0 ? rect.height() : rect.width();
}

bool ResizerGeometry::setExtent(ResizerItem *item, bool stacked, qint64 extent)
{
    const QRect rect = item->geometry();
    if (stacked)
        return place(item, rect.left(), rect.top(), rect.width(), extent);
    return place(item, rect.left(), rect.top(), extent, rect.height());
}

void ResizerGeometry::fillInnerArea(ResizerItem *item) const
{
    item->setVisible(true);
    if (item->isListView()) {
        place(item, -listViewOverlap, -listViewOverlap,
              qint64(m_extent.innerWidth) + 2 * listViewOverlap,
              qint64(m_extent.innerHeight) + 2 * listViewOverlap);
    } else {
        place(item, 0, 0, m_extent.innerWidth, m_extent.innerHeight);
    }
}

bool ResizerGeometry::applyVisibility() const
{
    // A hidden slot is parked just beyond the right edge, and the other control takes the
    // whole inner area. The first slot's flag is looked at first and alone decides when
    // it is off.
    for (int hidden = 0; hidden < 2; ++hidden) {
        if (m_state.controlVisible[hidden])
            continue;
        ResizerItem *gone = m_slots[hidden];
        gone->setVisible(false);
        const QRect rect = gone->geometry();
        place(gone, m_extent.width, rect.top(), rect.width(), rect.height());
        fillInnerArea(m_slots[1 - hidden]);
        return false;
    }

    ResizerItem *first = atPosition(1);
    ResizerItem *second = atPosition(2);
    if (first->isVisible() && second->isVisible())
        return true;
    // Coming back from a hidden side: both are shown and share the room equally; the
    // placement below then tidies up.
    first->setVisible(true);
    second->setVisible(true);
    if (m_state.orientation == 0 || m_state.orientation == 1) {
        const bool stacked = m_state.orientation == 0;
        const qint64 whole = stacked ? m_extent.height : m_extent.width;
        const qint64 half = (whole - m_state.separatorSize) / 2;
        setExtent(first, stacked, half);
        setExtent(second, stacked, half);
    }
    return true;
}

void ResizerGeometry::layoutControls() const
{
    if (!m_slots[0] || !m_slots[1])
        return;
    if (!applyVisibility())
        return;
    if (m_state.orientation == 0)
        layoutAlong(true);
    else if (m_state.orientation == 1)
        layoutAlong(false);
}

void ResizerGeometry::layoutAlong(bool stacked) const
{
    ResizerItem *first = atPosition(1);
    ResizerItem *second = atPosition(2);
    const qint64 inner = stacked ? m_extent.innerHeight : m_extent.innerWidth;
    const qint64 across = stacked ? m_extent.innerWidth : m_extent.innerHeight;
    const qint64 separator = m_state.separatorSize;
    const qint64 min1 = m_state.minControlSize[m_state.slotAt(1)];
    const qint64 min2 = m_state.minControlSize[m_state.slotAt(2)];

    const QRect firstNow = first->geometry();
    qint64 extent = stacked ? firstNow.height() : firstNow.width();
    if (m_state.autoResize) {
        // The first control's minimum is tested first; only one correction is made.
        if (extent < min1)
            extent = min1;
        else if (min2 > inner - extent - separator)
            extent = inner - separator - min2;
    }

    const bool firstIsList = first->isListView();
    const qint64 overlap = listViewOverlap;
    if (stacked) {
        if (firstIsList)
            place(first, -overlap, -overlap, across + 2 * overlap, extent);
        else
            place(first, 0, 0, across, extent);
    } else {
        if (firstIsList)
            place(first, -overlap, -overlap, extent, across + 2 * overlap);
        else
            place(first, 0, 0, extent, across);
    }

    // The separator follows the extent the first control actually took.
    const QRect firstAfter = first->geometry();
    qint64 taken = stacked ? firstAfter.height() : firstAfter.width();
    if (firstIsList)
        taken -= 2 * overlap;

    const qint64 start = taken + separator;
    const qint64 rest = inner - taken - separator;
    if (second->isListView()) {
        if (stacked)
            place(second, -overlap, start - overlap, across + 2 * overlap, rest);
        else
            place(second, start - overlap, -overlap, rest, across + 2 * overlap);
    } else {
        if (stacked)
            place(second, 0, start, across, rest);
        else
            place(second, start, 0, rest, across);
    }
}

bool ResizerGeometry::setSize(int position, qint32 size) const
{
    ResizerItem *own = atPosition(position);
    if (!own)
        return true;
    const bool stacked = m_state.orientation == 0;
    const qint64 whole = stacked ? m_extent.height : m_extent.width;
    const qint64 minimum = m_state.minControlSize[position - 1];
    qint64 extent = size;
    if (extent < minimum)
        extent = minimum;
    else if (extent > whole - minimum)
        extent = whole - minimum;
    if (!setExtent(own, stacked, extent))
        return false;
    ResizerItem *other = atPosition(3 - position);
    return other && setExtent(other, stacked, whole - extent);
}

bool ResizerGeometry::setControl1Size(qint32 size) const
{
    return setSize(1, size);
}

bool ResizerGeometry::setControl2Size(qint32 size) const
{
    return setSize(2, size);
}

void ResizerGeometry::drag(float &anchor, double pointer) const
{
    if (m_state.orientation != 0 && m_state.orientation != 1)
        return;
    ResizerItem *first = atPosition(1);
    ResizerItem *second = atPosition(2);
    if (!first || !second)
        return;
    const bool stacked = m_state.orientation == 0;
    const double min1 = m_state.minControlSize[m_state.slotAt(1)];
    const double min2 = m_state.minControlSize[m_state.slotAt(2)];
    const double separator = m_state.separatorSize;

    const QRect firstNow = first->geometry();
    const QRect secondNow = second->geometry();
    const double extent1 = stacked ? firstNow.height() : firstNow.width();
    const double extent2 = stacked ? secondNow.height() : secondNow.width();
    const double offset2 = stacked ? secondNow.top() : secondNow.left();

    double a = anchor;
    const double v = pointer;
    // Both corrections are tried in turn; when both apply, the second one stands, so the
    // second control's minimum wins.
    if (extent1 - a + v < min1)
        a = extent1 + v - min1;
    if (extent2 + a - v < min2)
        a = v + min2 - extent2;

    const qint64 newExtent1 = roundedTwips(extent1 - a + v);
    const qint64 newOffset2 = roundedTwips(offset2 - a + v);
    const qint64 newExtent2 = roundedTwips(extent2 + a - v);
    if (stacked) {
        place(first, firstNow.left(), firstNow.top(), firstNow.width(), newExtent1);
        place(second, secondNow.left(), newOffset2, secondNow.width(), newExtent2);
    } else {
        place(first, firstNow.left(), firstNow.top(), newExtent1, firstNow.height());
        place(second, newOffset2, secondNow.top(), newExtent2, secondNow.height());
    }

    const QRect firstAfter = first->geometry();
    const double taken = stacked ? firstAfter.height() : firstAfter.width();
    if (taken < v && v < taken + separator)
        a = v;
    else
        a = taken + separator / 2;
    anchor = static_cast<float>(a);
}
