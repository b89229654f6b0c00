#include "PersianStyle.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

PersianStyle::PersianStyle()
    : QProxyStyle(nullptr)
{
}

void PersianStyle::install()
{
    auto *style = new PersianStyle;
    QApplication::setStyle(style);
    qApp->installEventFilter(style);
}

void PersianStyle::polish(QWidget *widget)
{
    QProxyStyle::polish(widget);
    if (qobject_cast<QMenu *>(widget))
        widget->setLayoutDirection(QGuiApplication::layoutDirection());
}

void PersianStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                 const QWidget *widget) const
{
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    if (element != PE_Frame || !(option->state & State_HasFocus) || !qobject_cast<const QAbstractScrollArea *>(widget))
        return;
    painter->save();
    painter->setPen(option->palette.color(QPalette::Highlight));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
    painter->restore();
}

int PersianStyle::styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                              QStyleHintReturn *returnData) const
{
    if (hint == SH_UnderlineShortcut)
        return m_altHeld ? QProxyStyle::styleHint(hint, option, widget, returnData) : 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

bool PersianStyle::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        // Seen on its way to whichever widget has the focus, an open menu included. A key
        // held down repeats as release and press pairs, which change nothing.
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->isAutoRepeat())
            break;
        if (key->key() == Qt::Key_Alt)
            setAltHeld(event->type() == QEvent::KeyPress);
        else
            setAltHeld(key->modifiers() & Qt::AltModifier);
        break;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        // The frame that shows the focus is drawn with the box, which does not repaint
        // its frame on its own when the focus comes or goes.
        if (auto *box = qobject_cast<QAbstractScrollArea *>(watched))
            box->update();
        break;
    case QEvent::MouseButtonPress:
        setAltHeld(static_cast<QMouseEvent *>(event)->modifiers() & Qt::AltModifier);
        break;
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
    case QEvent::ApplicationDeactivate:
        // The release of an Alt+F4 or Alt+Tab may go to another window or program.
        setAltHeld(QGuiApplication::queryKeyboardModifiers() & Qt::AltModifier);
        break;
    default:
        break;
    }
    return QProxyStyle::eventFilter(watched, event);
}

void PersianStyle::setAltHeld(bool held)
{
    if (held == m_altHeld)
        return;
    m_altHeld = held;
    for (QWidget *widget : QApplication::allWidgets()) {
        if (widget->isVisible())
            widget->update();
    }
}
