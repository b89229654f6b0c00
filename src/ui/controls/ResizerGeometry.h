#pragma once

#include "ResizerExtent.h"
#include "ResizerState.h"

#include <QtGlobal>

class QRect;
class ResizerItem;

// The splitter's geometry rules, on twip numbers: the layout of its two controls, the
// Control1Size and Control2Size setters and one pointer move of a drag. It reads the
// controls' geometry at the moment it needs it and keeps nothing between calls: the
// first control's extent, kept by the control itself, is what carries a drag or a size
// setting over to the next layout.
//
// Extents are 32-bit throughout, so a splitter wider than 32767 twips (about 2200 pixels
// at 96 dpi) lays out like any other.
class ResizerGeometry
{
public:
    // Twips that one pixel is at 96 dpi; a list view is placed this far beyond each edge so
    // that its own frame hides under the splitter's edge.
    static constexpr qint32 listViewOverlap = 15;

    // slot0 and slot1 are the first two contained controls, null when there are fewer.
    ResizerGeometry(const ResizerState &state, const ResizerExtent &extent, ResizerItem *slot0,
                    ResizerItem *slot1);

    // The control at position 1 (top or left) or 2 (bottom or right), or null.
    ResizerItem *atPosition(int position) const;

    // Lays the controls out: the visibility rules, then the placement along the
    // orientation. Nothing happens with fewer than two controls. A placement that a
    // control refuses is skipped and the rest still runs.
    void layoutControls() const;

    // The setters' sharing of the outer extent T (height when stacked, width otherwise):
    // the control at one position gets the size clamped into [m, T - m], where m is the
    // minimum of slot 0 for Control1Size and of slot 1 for Control2Size, whichever control
    // InvertControls put there; the other position gets the rest of T. True when the
    // caller should go on with the layout: always when the position set is empty; false
    // when a control refuses its extent or the other position is empty.
    bool setControl1Size(qint32 size) const;
    bool setControl2Size(qint32 size) const;

    // The height (stacked) or width (any other orientation) of the control at the
    // position, 0 when the position is empty.
    qint32 control1Size() const { return extentAt(1); }
    qint32 control2Size() const { return extentAt(2); }

    // One pointer move of a drag along the split direction: pointer is the pointer's
    // coordinate, anchor the coordinate of the previous move (or of the press). The
    // distance is given to one control and taken from the other, clamped so that neither
    // goes below its minimum (the second control's minimum wins when both cannot hold);
    // then the anchor follows the pointer while it is inside the strip and is parked in
    // the middle of the strip otherwise. Only orientations 0 and 1 move anything; both
    // positions must be filled.
    void drag(float &anchor, double pointer) const;

private:
    qint32 extentAt(int position) const;
    bool setSize(int position, qint32 size) const;
    // Applies the visibility flags; false when the layout is to stop there.
    bool applyVisibility() const;
    void fillInnerArea(ResizerItem *item) const;
    void layoutAlong(bool stacked) const;
    static bool setExtent(ResizerItem *item, bool stacked, qint64 extent);

    ResizerState m_state;
    ResizerExtent m_extent;
    ResizerItem *m_slots[2] = {nullptr, nullptr};
};
