#include "Twips.h"

#include <cmath>

namespace Twips {

int toPixels(int twips, double dpi)
{
    return static_cast<int>(std::lround(twips * dpi / perInch));
}

int fromPixels(int pixels, double dpi)
{
    if (dpi <= 0)
        return 0;
    return static_cast<int>(std::lround(pixels * perInch / dpi));
}

} // namespace Twips
