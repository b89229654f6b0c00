#pragma once

#include <QString>

// Qt's QT_SCALE_FACTOR, taken before the application is made.
namespace ScaleFactor {

inline constexpr double smallest = 0.25;
inline constexpr double largest = 8;

// A factor that is no number or lies outside [smallest, largest] (zero, a negative, nan,
// 1e-9) left the window invisible or a pixel wide, and the next start then found the
// program already running. Such a factor is taken out of the environment; the warning
// to print once is returned, empty when the factor is unset or sound.
QString sanitize();

} // namespace ScaleFactor
