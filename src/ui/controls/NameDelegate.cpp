#include "NameDelegate.h"

namespace {

const QChar leftToRightMark(0x200E);

// The text as drawn: a text whose first strong letter is Latin is held between two
// left-to-right marks, so signs at its ends ("_") stay on their own sides.
QString shownText(const QString &text)
{
    if (text.isEmpty() || text.isRightToLeft())
        return text;
    return leftToRightMark + text + leftToRightMark;
}

} // namespace

void NameDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (option->features & QStyleOptionViewItem::HasDisplay)
        option->text = shownText(option->text);
}
