#pragma once

#include <QtGlobal>

class QWidget;

// Window opacity and the fades of the about window.
namespace Transpart {

// Sets the window's opacity, 0 (clear) to 255 (opaque). Where the platform cannot make a
// window translucent the window stays opaque and otherwise works as always; nothing is
// reported.
void SetWindowAlpha(QWidget *window, quint8 alpha);
// The opacity last set with SetWindowAlpha, 0 to 255; 255 for a window never set.
int windowAlpha(const QWidget *window);
// Whether this platform can show a window translucent at all. X11 can (the effect shows
// where a compositor runs); Wayland and the headless platforms cannot, and asking them
// would write a warning for every step of every fade.
bool platformHasWindowOpacity();

// Disables the window and shows it, steps its opacity in or out by step (one pass of the
// event loop before each setting, no timer), then enables it again. Stops quietly if the
// window is destroyed while the fade yields.
void FadeForm(QWidget *window, bool fadeIn, quint8 step);

} // namespace Transpart
