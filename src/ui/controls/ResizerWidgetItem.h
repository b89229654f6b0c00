#pragma once

#include "ResizerItem.h"

#include <QPoint>

class QWidget;

// A contained widget as the splitter's geometry rules see it: twips measured from the
// splitter's inner corner, placed through TwipPlacement. Its visibility is its own
// flag (not hidden), whatever its parents show. A QListView, or any subclass of it,
// counts as a list view.
class ResizerWidgetItem : public ResizerItem
{
public:
    ResizerWidgetItem(QWidget *widget, const QPoint &origin);

    QRect geometry() const override;
    bool move(const QRect &twips) override;
    bool isVisible() const override;
    void setVisible(bool visible) override;
    bool isListView() const override;

private:
    QWidget *m_widget;
    QPoint m_origin;
};
