#pragma once

#include <QColor>

class QPalette;

// Colour values as Basic forms store them: red, green and blue in the low three bytes
// (red lowest), or, with the high bit set, the index of a system colour, which here is
// taken from the widget palette's matching role.
namespace OleColor {

// The system button-face colour, the usual background of controls.
constexpr qint32 buttonFace = qint32(0x8000000F);

// The colour of a value; a system colour index that the palette has no role for gives
// the palette's window colour.
QColor toColor(qint32 value, const QPalette &palette);

// The value of a plain colour.
constexpr qint32 fromRgb(int red, int green, int blue)
{
    return qint32((blue & 0xFF) << 16 | (green & 0xFF) << 8 | (red & 0xFF));
}

} // namespace OleColor
