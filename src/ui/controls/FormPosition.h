#pragma once

#include "settings/FormGeometry.h"

#include <QString>

class QWidget;

// The remembered places of the program's windows, read from and given to the window
// itself. The window's object name (frmMain, frmSet) names its entries.
namespace FormSettings {

// The window's place in twips: left and top of its outer edge on the desktop, width and
// height of its inside.
FormGeometry formGeometry(const QWidget &form);

// Stores the window's place (see FormSettings::SaveFormPosition in settings/).
void SaveFormPosition(const QWidget &form, const QString &applicationName, bool PositionOnly);

// Gives the window its stored place; each stored value on its own, width and height
// before top and left. A place that would put the window wholly off every screen of this
// session is moved onto the nearest screen; the stored values stay as they are. With no
// complete set stored, the window is not touched and stays where the platform puts it.
void RestoreFormPosition(QWidget &form, const QString &applicationName, bool PositionOnly);

} // namespace FormSettings
