#pragma once

#include "ui/controls/ResizerItem.h"

#include <QList>
#include <QRect>

#include <functional>

// A contained control reduced to numbers: a twip rectangle, a visibility flag and
// whether it is a list view. Refuses negative sizes like a real control; may settle on
// another rectangle than asked (settle), and records every rectangle it was given.
class FakeItem : public ResizerItem
{
public:
    explicit FakeItem(const QRect &rect = QRect(), bool listView = false)
        : rect(rect)
        , listView(listView)
    {
    }

    QRect geometry() const override { return rect; }
    bool move(const QRect &twips) override
    {
        if (twips.width() < 0 || twips.height() < 0)
            return false;
        moves << twips;
        rect = settle ? settle(twips) : twips;
        return true;
    }
    bool isVisible() const override { return visible; }
    void setVisible(bool v) override { visible = v; }
    bool isListView() const override { return listView; }

    QRect rect;
    bool listView = false;
    bool visible = true;
    std::function<QRect(const QRect &)> settle;
    QList<QRect> moves;
};
