#pragma once

#include <QtGlobal>

#include <array>

// The settings of a splitter that its layout and dragging read. Minimum sizes and
// visibility flags belong to slots (slot 0 is the first contained control, slot 1 the
// second), so they travel with their control when InvertControls swaps the places.
struct ResizerState
{
    static constexpr qint32 defaultSeparatorSize = 45;
    static constexpr qint32 smallestSeparatorSize = 15;
    static constexpr qint32 defaultMinControlSize = 90;
    static constexpr qint32 smallestMinControlSize = 90;
    static constexpr qint32 defaultOrientation = 1;

    // 0: stacked, heights are shared; 1: side by side, widths are shared; anything else
    // is kept but lays nothing out beyond the visibility rules.
    qint32 orientation = defaultOrientation;
    qint32 separatorSize = defaultSeparatorSize;
    bool invertControls = false;
    std::array<qint32, 2> minControlSize{defaultMinControlSize, defaultMinControlSize};
    std::array<bool, 2> controlVisible{true, true};
    bool autoResize = true;

    // The slot shown at position 1 (top or left) or 2 (bottom or right).
    int slotAt(int position) const { return (position - 1) ^ (invertControls ? 1 : 0); }
};
