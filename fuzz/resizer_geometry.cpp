// The splitter's layout, size setters and drag arithmetic on two stand-in controls, over
// any settings, sizes and pointer moves a damaged stored description or a wild pointer
// can give: no undefined behaviour and no rectangle beyond the coordinates the rules
// allow. What the layout promises on ordinary sizes is the random differential test of
// tests/ui/controls.
#include "ui/controls/ResizerGeometry.h"
#include "ui/controls/ResizerItem.h"
#include "ui/controls/TwipPlacement.h"

#include <QRect>

#include "FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

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
        return true;
    }
    bool isVisible() const override { return visible; }
    void setVisible(bool v) override { visible = v; }
    bool isListView() const override { return listView; }

    QRect rect;
    bool visible = true;
    bool listView = false;
    double dpi = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    auto wild = [&] {
        switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0: return std::numeric_limits<qint32>::min() + in.ConsumeIntegralInRange(0, 2);
        case 1: return std::numeric_limits<qint32>::max() - in.ConsumeIntegralInRange(0, 2);
        case 2: return in.ConsumeIntegralInRange(-100, 40000); // a splitter's ordinary range
        default: return in.ConsumeIntegral<qint32>();
        }
    };
    ResizerState state;
    state.orientation = in.ConsumeIntegralInRange(0, 7) == 0 ? wild() : in.ConsumeIntegralInRange(0, 1);
    state.separatorSize = wild();
    state.minControlSize = {wild(), wild()};
    state.invertControls = in.ConsumeBool();
    state.controlVisible = {in.ConsumeBool(), in.ConsumeBool()};
    state.autoResize = in.ConsumeBool();
    const ResizerExtent extent{wild(), wild(), wild(), wild()};

    Item items[2];
    for (Item &item : items) {
        // A widget's rectangle: its far edges, too, are within the int range.
        auto coordinate = [&] { return in.ConsumeIntegralInRange(-(1 << 30) + 1, (1 << 30) - 1); };
        item.rect = QRect(coordinate(), coordinate(), coordinate(), coordinate());
        item.visible = in.ConsumeBool();
        item.listView = in.ConsumeBool();
        item.dpi = in.PickValueInArray({0.0, 72.0, 96.0, 144.0, 192.0});
    }
    const ResizerGeometry geometry(state, extent, &items[0], in.ConsumeBool() ? &items[1] : nullptr);
    float anchor = in.ConsumeFloatingPoint<float>();
    for (int step = in.ConsumeIntegralInRange(1, 12); step > 0 && in.remaining_bytes() > 0; --step) {
        switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0: geometry.layoutControls(); break;
        case 1: geometry.setControl1Size(wild()); break;
        case 2: geometry.setControl2Size(wild()); break;
        default: geometry.drag(anchor, double(in.ConsumeFloatingPoint<float>())); break;
        }
        geometry.control1Size();
        geometry.control2Size();
    }
    return 0;
}
