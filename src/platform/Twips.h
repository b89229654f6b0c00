#pragma once

// Sizes and positions are kept in twips, 1440 to the inch, as the stored settings and
// the layout rules give them. Conversion happens only where a widget is placed.
namespace Twips {

constexpr int perInch = 1440;

// Pixels for a twip length at the given logical DPI, rounded to the nearest pixel.
int toPixels(int twips, double dpi);

// Twips for a pixel length at the given logical DPI, rounded to the nearest twip.
int fromPixels(int pixels, double dpi);

} // namespace Twips
