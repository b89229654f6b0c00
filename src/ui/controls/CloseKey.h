#pragma once

#include "CloseKeyState.h"

#include <QColor>
#include <QImage>
#include <QWidget>

class QTimer;

// A small drawn close button: a bold "X" in a thin frame that lights up while the
// pointer is over it, shifts its "X" while pressed, and raises Click. While lit it looks
// every 10 ms which widget is under the pointer and switches the light off once that is
// another one, so it goes dark even when the pointer left too fast to be seen leaving.
//
// The face is drawn from the state whenever the look changes (PrintX) and kept; a paint
// request shows the kept face.
class CloseKey : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(Look look READ look)
    Q_PROPERTY(bool lit READ isLit)
    Q_PROPERTY(bool pressed READ isPressed)
    Q_PROPERTY(int pressOffsetX READ pressOffsetX)
    Q_PROPERTY(int pressOffsetY READ pressOffsetY)
    Q_PROPERTY(bool timerActive READ isTimerActive)
    Q_PROPERTY(QColor backColor READ backColor)

public:
    enum class Look { Normal, Lit, Pressed };
    Q_ENUM(Look)

    explicit CloseKey(QWidget *parent = nullptr);

    // Draws the face from the state: background, the "X" centred and moved by the press
    // offsets, and the frame on the last pixel row and column.
    void PrintX();

    Look look() const;
    bool isLit() const { return m_state.backColor() == CloseKeyState::litColor; }
    bool isPressed() const { return m_state.look() == CloseKeyState::Look::Pressed; }
    // Press offsets of the "X", in twips.
    int pressOffsetX() const { return m_state.offsetX(); }
    int pressOffsetY() const { return m_state.offsetY(); }
    bool isTimerActive() const;
    QColor backColor() const;
    // The face as last drawn.
    QImage face() const { return m_face; }

    QSize sizeHint() const override;

signals:
    // The left button was pressed and released on the button.
    void Click();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void Timer_Timer();
    void syncTimer();
    double twipsPerPixelX() const;
    double twipsPerPixelY() const;

    CloseKeyState m_state;
    QTimer *Timer = nullptr;
    QImage m_face;
    bool m_leftDown = false;
};
