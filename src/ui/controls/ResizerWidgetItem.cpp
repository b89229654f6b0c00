#include "ResizerWidgetItem.h"

#include "TwipPlacement.h"

#include <QListView>
#include <QWidget>

ResizerWidgetItem::ResizerWidgetItem(QWidget *widget, const QPoint &origin)
    : m_widget(widget)
    , m_origin(origin)
{
}

QRect ResizerWidgetItem::geometry() const
{
    return TwipPlacement::geometry(m_widget, m_origin);
}

bool ResizerWidgetItem::move(const QRect &twips)
{
    // A widget would quietly take a negative size as zero; the layout rules count on a
    // refusal instead, so that such a step is skipped and the widget keeps its size.
    if (twips.width() < 0 || twips.height() < 0)
        return false;
    TwipPlacement::place(m_widget, twips, m_origin);
    return true;
}

bool ResizerWidgetItem::isVisible() const
{
    return !m_widget->isHidden();
}

void ResizerWidgetItem::setVisible(bool visible)
{
    m_widget->setVisible(visible);
}

bool ResizerWidgetItem::isListView() const
{
    return qobject_cast<const QListView *>(m_widget) != nullptr;
}
