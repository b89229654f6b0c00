#include "TwipPanel.h"

#include "ui/controls/TwipPlacement.h"

#include <QFrame>
#include <QLabel>

TwipPanel::TwipPanel(QWidget *parent)
    : QWidget(parent)
{
}

void TwipPanel::setResizeRule(std::function<void(int, int)> rule)
{
    m_rule = std::move(rule);
}

void TwipPanel::runResizeRule()
{
    if (!m_rule)
        return;
    const QSize size = TwipPlacement::size(this);
    m_rule(size.width(), size.height());
}

void TwipPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    runResizeRule();
}

QLabel *TwipPanel::makeCaption(const QString &name, const QString &text, int labelWidth, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, QColor(0xE7, 0xE7, 0xEF));
    label->setPalette(palette);
    label->setAlignment(Qt::AlignVCenter | Qt::AlignAbsolute | Qt::AlignRight);
    TwipLayout::place(label, 0, 0, labelWidth, 255);
    return label;
}

QFrame *TwipPanel::makeStripBox(const QString &name, int width, QWidget *parent)
{
    // A rectangle outline only: the caption shows through it.
    auto *box = new QFrame(parent);
    box->setObjectName(name);
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
    box->setStyleSheet(QStringLiteral("QFrame#%1 { border: 1px solid #C0C0C0; background: transparent; }").arg(name));
    TwipLayout::place(box, 0, 0, width, 255);
    return box;
}

namespace TwipLayout {

QRect rect(const QWidget *widget)
{
    return TwipPlacement::geometry(widget);
}

void place(QWidget *widget, int left, int top, int width, int height)
{
    if (width < 0 || height < 0)
        return;
    TwipPlacement::place(widget, QRect(left, top, width, height));
}

bool setLeft(QWidget *widget, int left)
{
    QRect r = rect(widget);
    r.moveLeft(left);
    TwipPlacement::place(widget, r);
    return true;
}

bool setTop(QWidget *widget, int top)
{
    QRect r = rect(widget);
    r.moveTop(top);
    TwipPlacement::place(widget, r);
    return true;
}

bool setWidth(QWidget *widget, int width)
{
    if (width < 0)
        return false;
    QRect r = rect(widget);
    r.setWidth(width);
    TwipPlacement::place(widget, r);
    return true;
}

bool setHeight(QWidget *widget, int height)
{
    if (height < 0)
        return false;
    QRect r = rect(widget);
    r.setHeight(height);
    TwipPlacement::place(widget, r);
    return true;
}

} // namespace TwipLayout
