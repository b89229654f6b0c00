// The splitter's layout, size setters and drag arithmetic on two stand-in controls, over
// random settings, sizes and pointer moves. Every input: no undefined behaviour, no
// rectangle beyond the coordinates the rules allow. Inputs of a splitter's ordinary
// range, on controls that take every rectangle asked: the promises of the rules hold:
// the layout fills the inner area and lifts a first control below its minimum to it,
// the second keeps its minimum when room is left for it, the setters clamp, and a drag
// keeps the total and the strip, never leaves the second control below its minimum, and
// the first neither when there is room for both.
#include "ui/controls/ResizerGeometry.h"
#include "ui/controls/ResizerItem.h"
#include "ui/controls/TwipPlacement.h"

#include <QRect>

#include "FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

constexpr qint64 largestCoordinate = qint64(1) << 29;

// A contained control reduced to numbers. Refuses a negative size, as a widget does in
// the splitter; with a dpi it settles on whole pixels, as a widget does on the screen.
class Item : public ResizerItem
{
public:
    QRect geometry() const override { return rect; }
    bool move(const QRect &twips) override
    {
        for (const qint64 value : {qint64(twips.left()), qint64(twips.top()), qint64(twips.width()), qint64(twips.height())})
            check(value >= -largestCoordinate && value <= largestCoordinate, "rectangle beyond the allowed coordinates");
        if (twips.width() < 0 || twips.height() < 0)
            return false;
        rect = dpi > 0 ? TwipPlacement::fromPixels(TwipPlacement::toPixels(twips, dpi, dpi), dpi, dpi) : twips;
        ++moves;
        return true;
    }
    bool isVisible() const override { return visible; }
    void setVisible(bool v) override { visible = v; }
    bool isListView() const override { return listView; }

    QRect rect;
    bool visible = true;
    bool listView = false;
    double dpi = 0;
    int moves = 0;
};

struct Along
{
    bool stacked;
    qint64 extent(const Item &item) const { return stacked ? item.rect.height() : item.rect.width(); }
    qint64 offset(const Item &item) const { return stacked ? item.rect.top() : item.rect.left(); }
    qint64 across(const Item &item) const { return stacked ? item.rect.width() : item.rect.height(); }
};

qint32 wild(FuzzedDataProvider &in)
{
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: return std::numeric_limits<qint32>::min() + in.ConsumeIntegralInRange(0, 2);
    case 1: return std::numeric_limits<qint32>::max() - in.ConsumeIntegralInRange(0, 2);
    default: return in.ConsumeIntegral<qint32>();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    // Ordinary: sizes a splitter on a screen has, minimums its setters accept. Wild: any
    // 32-bit number, as a damaged stored description can give.
    const bool ordinary = in.ConsumeBool();
    const bool exact = in.ConsumeBool();
    auto number = [&](qint32 low, qint32 high) { return ordinary ? in.ConsumeIntegralInRange(low, high) : wild(in); };

    ResizerState state;
    state.orientation = in.ConsumeIntegralInRange(0, 7) == 0 ? number(-1, 3) : in.ConsumeIntegralInRange(0, 1);
    state.separatorSize = number(15, 2000);
    state.invertControls = in.ConsumeBool();
    state.minControlSize = {number(90, 5000), number(90, 5000)};
    state.controlVisible = {in.ConsumeIntegralInRange(0, 7) != 0, in.ConsumeIntegralInRange(0, 7) != 0};
    state.autoResize = in.ConsumeBool();

    ResizerExtent extent;
    extent.width = number(0, 40000);
    extent.height = number(0, 40000);
    const qint32 border = ordinary ? in.ConsumeIntegralInRange(0, 2) * 15 : 0;
    extent.innerWidth = ordinary ? std::max(0, extent.width - 2 * border) : wild(in);
    extent.innerHeight = ordinary ? std::max(0, extent.height - 2 * border) : wild(in);

    Item items[2];
    for (Item &item : items) {
        // A widget's rectangle: its far edges, too, are within the int range.
        auto coordinate = [&](qint32 low, qint32 high) {
            return ordinary ? in.ConsumeIntegralInRange(low, high) : in.ConsumeIntegralInRange(-(1 << 30) + 1, (1 << 30) - 1);
        };
        item.rect = QRect(coordinate(-100, 40000), coordinate(-100, 40000), coordinate(0, 40000), coordinate(0, 40000));
        item.visible = in.ConsumeIntegralInRange(0, 5) != 0;
        item.listView = in.ConsumeIntegralInRange(0, 3) == 0;
        item.dpi = exact ? 0 : in.PickValueInArray({72.0, 96.0, 120.0, 144.0, 192.0});
    }
    const bool both = in.ConsumeIntegralInRange(0, 15) != 0;
    const ResizerGeometry geometry(state, extent, &items[0], both ? &items[1] : nullptr);
    Item &first = items[state.slotAt(1)];
    Item &second = items[state.slotAt(2)];
    const bool alongOk = state.orientation == 0 || state.orientation == 1;
    const Along along{state.orientation == 0};
    const bool promises = ordinary && exact && both && alongOk;
    const qint64 separator = state.separatorSize;
    const qint64 min1 = state.minControlSize[state.slotAt(1)];
    const qint64 min2 = state.minControlSize[state.slotAt(2)];
    const qint64 inner = along.stacked ? extent.innerHeight : extent.innerWidth;
    const qint64 whole = along.stacked ? extent.height : extent.width;

    float anchor = ordinary ? float(in.ConsumeIntegralInRange(-100, 40000)) : in.ConsumeFloatingPoint<float>();
    const int steps = in.ConsumeIntegralInRange(1, 12);
    for (int step = 0; step < steps && in.remaining_bytes() > 0; ++step) {
        switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0: {
            const bool shownBefore = first.visible && second.visible;
            const qint64 before = along.extent(first);
            const int firstMoves = first.moves;
            const int secondMoves = second.moves;
            geometry.layoutControls();
            if (!promises || !state.controlVisible[0] || !state.controlVisible[1])
                break;
            check(first.visible && second.visible, "layout left a control hidden");
            if (!shownBefore)
                break; // both came back with an equal share first
            const qint64 firstNow = along.extent(first);
            if (state.autoResize && before < min1) {
                check(firstNow == min1, "layout did not lift the first control to its minimum");
            } else if (state.autoResize && !first.listView && inner - separator - min2 >= 0) {
                check(along.extent(second) >= min2, "layout left the second control below its minimum");
            }
            if (!first.listView && !second.listView && first.moves > firstMoves && second.moves > secondMoves) {
                check(along.offset(first) == 0 && along.offset(second) == firstNow + separator, "strip misplaced");
                check(along.offset(second) + along.extent(second) == inner, "layout does not fill the inner area");
                check(along.across(first) == along.across(second), "controls of unequal breadth");
            }
            break;
        }
        case 1:
        case 2: {
            const int position = in.ConsumeBool() ? 1 : 2;
            const qint32 wanted = number(-1000, 45000);
            const bool goOn = position == 1 ? geometry.setControl1Size(wanted) : geometry.setControl2Size(wanted);
            check(geometry.control1Size() == (both || state.slotAt(1) == 0 ? along.extent(first) : 0), "Control1Size read back");
            check(geometry.control2Size() == (both || state.slotAt(2) == 0 ? along.extent(second) : 0), "Control2Size read back");
            const qint64 minimum = state.minControlSize[position - 1];
            Item &own = position == 1 ? first : second;
            Item &other = position == 1 ? second : first;
            if (promises && goOn && whole >= 2 * minimum && minimum >= 0) {
                const qint64 got = along.extent(own);
                check(got >= minimum && got <= whole - minimum, "size setter did not clamp");
                check(got + along.extent(other) == whole, "size setter did not share the whole extent");
            }
            break;
        }
        default: {
            const double pointer = ordinary ? double(in.ConsumeIntegralInRange(-2000, 45000))
                                            : double(in.ConsumeFloatingPoint<float>());
            const qint64 extent1 = along.extent(first);
            const qint64 extent2 = along.extent(second);
            const qint64 gap = along.offset(second) - extent1;
            const int movesBefore = first.moves + second.moves;
            // A parked anchor lies in the middle of the strip, half a twip off the grid when
            // the strip is odd; both extents are then rounded and may each gain that half.
            const qint64 slack = anchor == std::floor(anchor) ? 0 : 1;
            geometry.drag(anchor, pointer);
            if (!promises || first.moves + second.moves != movesBefore + 2)
                break;
            check(along.extent(second) >= min2, "drag left the second control below its minimum");
            if (extent1 + extent2 >= min1 + min2)
                check(along.extent(first) >= min1, "drag left the first control below its minimum");
            check(std::abs(along.extent(first) + along.extent(second) - (extent1 + extent2)) <= slack, "drag changed the total");
            check(std::abs(along.offset(second) - along.extent(first) - gap) <= slack, "drag changed the strip");
            const double taken = double(along.extent(first));
            const double expected = taken < pointer && pointer < taken + double(separator) ? pointer
                                                                                          : taken + double(separator) / 2;
            check(std::fabs(double(anchor) - expected) < 1e-3, "anchor not where the rules put it");
            break;
        }
        }
    }
    return 0;
}
