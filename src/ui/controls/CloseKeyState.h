#pragma once

#include <QPointF>
#include <QSizeF>

// The looks of the close button and how the pointer and its timer change them: normal
// (normal background, "X" in the middle), lit (pointer over the button) and pressed (the
// "X" shifted by about a pixel right and down). Plain state; the widget paints from it.
class CloseKeyState
{
public:
    // Basic colour values (red in the lowest byte).
    static constexpr qint32 normalColor = 15722471; // red 231, green 231, blue 239
    static constexpr qint32 litColor = 5241079;     // red 247, green 248, blue 79
    static constexpr qint32 frameColor = 12632256;  // red, green and blue 192
    // How far the "X" moves while pressed, in twips.
    static constexpr int pressOffsetX = 16;
    static constexpr qint16 pressOffsetY = 15;
    // How often, in milliseconds, a lit button looks whether the pointer is still on it.
    static constexpr int timerInterval = 10;

    enum class Look { Normal, Lit, Pressed };

    qint32 backColor() const { return m_backColor; }
    int offsetX() const { return m_offsetX; }
    qint16 offsetY() const { return m_offsetY; }
    bool timerEnabled() const { return m_timerEnabled; }
    // Pressed while the offsets are set, whatever the background; else lit or normal.
    Look look() const;

    // A new button: offsets 0.
    void initialise();
    // Any button goes down on the control: the pressed look; the timer stops.
    void pointerDown();
    // Any button comes up: the offsets go back and the timer runs, so that its next tick
    // switches the light off when the pointer has gone.
    void pointerUp();
    // A pointer move: inside, the light goes on and the timer runs, and with the left
    // button alone held (button state 1) the look is pressed; outside (only while a
    // button pressed on the control is held), the light and the offsets go and the
    // timer stops.
    void pointerMove(int button, bool inside);
    // A timer tick. When the pointer is over another window the light goes off and the
    // timer stops (offsets unchanged); true then, as the face must be drawn again.
    bool timerTick(bool pointerOverControl);

    // Whether a point lies on a control of that outer size, all in the same unit.
    static bool isInside(double x, double y, double width, double height);
    // Where the "X" starts (its top-left corner): centred in the inner area and moved by
    // the offsets. All in twips, without rounding.
    static QPointF textPosition(const QSizeF &inner, const QSizeF &text, int offsetX, int offsetY);

private:
    qint32 m_backColor = normalColor;
    int m_offsetX = 0;
    qint16 m_offsetY = 0;
    bool m_timerEnabled = false;
};
