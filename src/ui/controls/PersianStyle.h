#pragma once

#include <QProxyStyle>

// The platform's look, made fit for Persian:
// - the access keys' underlines show only while Alt is held. Persian letters join their
//   neighbours; an underlined letter is drawn on its own and breaks the word ("&فايل"), so
//   menu titles and buttons show whole words until the user reaches for Alt. The access
//   keys themselves work all the time.
// - every menu reads right to left, also the context menu of a box that holds code and is
//   itself laid out left to right (the menu would take the box's direction).
class PersianStyle : public QProxyStyle
{
    Q_OBJECT

public:
    PersianStyle();

    // Makes the style the application's (which owns it) and lets it watch the Alt key.
    static void install();

    void polish(QWidget *widget) override;
    int styleHint(StyleHint hint, const QStyleOption *option = nullptr, const QWidget *widget = nullptr,
                  QStyleHintReturn *returnData = nullptr) const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setAltHeld(bool held);

    bool m_altHeld = false;
};
