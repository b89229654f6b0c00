#pragma once

#include <QRect>

// One control contained in a splitter, as its layout rules see it: a rectangle in twips
// in the splitter's inner coordinates, its own visibility flag and whether it is a list
// view (list views are placed one pixel beyond the edges to hide their own frame).
class ResizerItem
{
public:
    virtual ~ResizerItem() = default;

    // The rectangle the control covers now, in twips.
    virtual QRect geometry() const = 0;
    // Asks the control to cover the rectangle. The control may settle on another size
    // (read geometry() back); false when it refuses the rectangle outright, as it does
    // for a negative width or height, and then nothing changes.
    virtual bool move(const QRect &twips) = 0;
    virtual bool isVisible() const = 0;
    virtual void setVisible(bool visible) = 0;
    virtual bool isListView() const = 0;
};
