#include "FadeSteps.h"

namespace FadeSteps {

std::vector<quint8> opacities(bool fadeIn, quint8 step)
{
    if (step == 0)
        return {static_cast<quint8>(fadeIn ? 255 : 0)};
    std::vector<quint8> result;
    result.reserve(255 / step + 1);
    if (fadeIn) {
        for (int a = 0; a <= 255; a += step)
            result.push_back(static_cast<quint8>(a));
    } else {
        for (int a = 255; a >= 0; a -= step)
            result.push_back(static_cast<quint8>(a));
    }
    return result;
}

} // namespace FadeSteps
