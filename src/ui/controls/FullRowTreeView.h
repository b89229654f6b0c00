#pragma once

#include <QTreeView>

// A tree view that repaints whole rows when their selection changes. Laid out right to
// left, QTreeView repaints a row only from its left edge to its item's right edge, so the
// selection colour of the branch area right of the icon stayed behind after keyboard
// moves (mouse clicks repaint more and hid it).
class FullRowTreeView : public QTreeView
{
    Q_OBJECT

public:
    using QTreeView::QTreeView;

protected:
    QRegion visualRegionForSelection(const QItemSelection &selection) const override;
};
