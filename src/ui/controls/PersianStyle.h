#pragma once

#include <QProxyStyle>

// The platform's look, made fit for Persian:
// - the access keys' underlines show only while Alt is held. Persian letters join their
//   neighbours; an underlined letter is drawn on its own and breaks the word ("&فايل"), so
//   menu titles and buttons show whole words until the user reaches for Alt. The access
//   keys themselves work all the time.
// - every menu reads right to left, also the context menu of a box that holds code and is
//   itself laid out left to right (the menu would take the box's direction).
// - a text box, a list or the tree shows that it has the focus by its frame, as a line
//   edit does: a caret alone blinks out of sight, and a list without a current row shows
//   nothing at all.
class PersianStyle : public QProxyStyle
{
    Q_OBJECT

public:
    PersianStyle();

    // Makes the style the application's (which owns it) and lets it watch the Alt key.
    static void install();

    void polish(QWidget *widget) override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption *option = nullptr, const QWidget *widget = nullptr,
                  QStyleHintReturn *returnData = nullptr) const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setAltHeld(bool held);

    bool m_altHeld = false;
};
