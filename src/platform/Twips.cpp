#include "Twips.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Twips {

int toPixels(int twips, double dpi)
{
    return static_cast<int>(std::lround(twips * dpi / perInch));
}

int fromPixels(int pixels, double dpi)
{
    if (dpi <= 0)
        return 0;
    // In floating point: a widget may be millions of pixels long, and that times 1440 is
    // beyond an int. What an int cannot hold becomes the nearest it can.
    const double twips = pixels * double(perInch) / dpi;
    return static_cast<int>(std::lround(std::clamp(twips, double(std::numeric_limits<int>::min()),
                                                   double(std::numeric_limits<int>::max()))));
}

} // namespace Twips
