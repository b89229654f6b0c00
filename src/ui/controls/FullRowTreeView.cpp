#include "FullRowTreeView.h"

QRegion FullRowTreeView::visualRegionForSelection(const QItemSelection &selection) const
{
    QRegion rows;
    const int width = viewport()->width();
    for (const QRect &part : QTreeView::visualRegionForSelection(selection))
        rows += QRect(0, part.top(), width, part.height());
    return rows;
}
