#include "InputPanel.h"

#include "ui/controls/CloseKey.h"
#include "ui/controls/NameDelegate.h"

#include <QAbstractItemView>
#include <QFrame>
#include <QLabel>

InputPanel::InputPanel(const Names &names, QWidget *parent)
    : TwipPanel(parent)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(8.25);
    setFont(font);
    setAutoFillBackground(true);
    hide();
    m_caption = makeCaption(names.caption, names.captionText, 1575, this);
    m_box = makeStripBox(names.box, 2775, this);
    m_close = new CloseKey(this);
    m_close->setObjectName(names.closeButton);
    TwipLayout::place(m_close, 2880, 0, 255, 255);
    connect(m_close, &CloseKey::Click, this, &InputPanel::closeClicked);
}

void InputPanel::arrange(QWidget *input, QWidget *button, QAbstractItemView *list)
{
    list->setItemDelegate(new NameDelegate(list));
    m_input = input;
    m_button = button;
    m_list = list;
    TwipLayout::place(input, 0, 360, 2175, 315);
    TwipLayout::place(button, 2280, 360, 855, 300);
    TwipLayout::place(list, 0, 720, 3135, 1020);
    TwipLayout::place(this, 0, 0, 3690, 2175);
    setResizeRule([this, input, button, list](int w, int h) {
        const QRect line = TwipLayout::rect(input);
        TwipLayout::setWidth(list, w);
        TwipLayout::setHeight(list, h - line.top() - line.height() - 65);
        TwipLayout::setLeft(m_close, w - 265);
        const int captionWidth = TwipLayout::rect(m_close).left() - 80;
        TwipLayout::setWidth(m_caption, captionWidth);
        TwipLayout::setWidth(m_box, captionWidth);
        TwipLayout::setWidth(input, w - 960);
        TwipLayout::setLeft(button, TwipLayout::rect(input).width() + 105);
    });
}
