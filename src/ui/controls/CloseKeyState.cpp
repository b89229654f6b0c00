#include "CloseKeyState.h"

CloseKeyState::Look CloseKeyState::look() const
{
    if (m_offsetX != 0 || m_offsetY != 0)
        return Look::Pressed;
    return m_backColor == litColor ? Look::Lit : Look::Normal;
}

void CloseKeyState::initialise()
{
    m_offsetX = 0;
    m_offsetY = 0;
}

void CloseKeyState::pointerDown()
{
    m_offsetX = pressOffsetX;
    m_offsetY = pressOffsetY;
    m_timerEnabled = false;
}

void CloseKeyState::pointerUp()
{
    m_offsetX = 0;
    m_offsetY = 0;
    m_timerEnabled = true;
}

void CloseKeyState::pointerMove(int button, bool inside)
{
    if (inside) {
        m_backColor = litColor;
        if (button == 1) {
            m_offsetX = pressOffsetX;
            m_offsetY = pressOffsetY;
        }
        m_timerEnabled = true;
    } else {
        m_backColor = normalColor;
        m_offsetX = 0;
        m_offsetY = 0;
        m_timerEnabled = false;
    }
}

bool CloseKeyState::timerTick(bool pointerOverControl)
{
    if (pointerOverControl)
        return false;
    m_backColor = normalColor;
    m_timerEnabled = false;
    return true;
}

bool CloseKeyState::isInside(double x, double y, double width, double height)
{
    return x >= 0 && x < width && y >= 0 && y < height;
}

QPointF CloseKeyState::textPosition(const QSizeF &inner, const QSizeF &text, int offsetX,
                                    int offsetY)
{
    return QPointF((inner.width() - text.width()) / 2 + offsetX,
                   (inner.height() - text.height()) / 2 + offsetY);
}
