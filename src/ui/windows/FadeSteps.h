#pragma once

#include <QtGlobal>

#include <vector>

// The opacities of a fade, in the order they are set, one per pass of the event loop.
namespace FadeSteps {

// Fading in: 0, step, 2 x step, ... up to the largest multiple of step not above 255 (the
// window is set to 0 once more before these). Fading out: 255, 255 - step, ... down to the
// smallest value not below 0. With step 3 each list has 86 entries and ends at 255 or 0.
// A step of 0 would never arrive: it jumps to the end at once (255 in, 0 out).
std::vector<quint8> opacities(bool fadeIn, quint8 step);

} // namespace FadeSteps
