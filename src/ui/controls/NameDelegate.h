#pragma once

#include <QStyledItemDelegate>

// Draws the items of a right-to-left tree or list with Latin texts in their own order.
// A function name such as "DnsQuery_" is a left-to-right word: laid out in the view's
// right-to-left direction its "_" would move to the front. Only the drawing changes;
// the item's text, key and everything the model hands out stay as they are.
class NameDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};
