#pragma once

#include "FormGeometry.h"

#include <QString>

// The program's own settings and the windows' remembered places, kept under the key
// "Software\Kel\" + application name of the current user's store.
namespace FormSettings {

// The name that stands in for an empty application name.
QString productName();

// "Software\Kel\" + the application name (the product name when it is empty).
QString applicationKey(const QString &applicationName);
// The application key + "\Position", where the windows' places are kept.
QString positionKey(const QString &applicationName);

// The setting's stored text, or the default (see RegKeys::ReadKeyValue).
QString GetAppSetting(const QString &valueName, const QString &applicationName, const QString &defaultValue);
// Stores the setting's text; the empty text is stored as " ".
void SaveAppSetting(const QString &valueName, const QString &value, const QString &applicationName);

// Stores the window's place under its name N: N.Width and N.Height (unless PositionOnly),
// then N.Top and N.Left, all in twips, and last the marker N holding N, which says that
// the set is complete.
void SaveFormPosition(const QString &formName, const FormGeometry &geometry, const QString &applicationName,
                      bool PositionOnly);

// Puts the stored place into geometry when the marker holds exactly the window's name:
// width and height (unless PositionOnly), then top and left. A value that is missing or
// not a whole number (for a size, not a positive one) leaves that one field as it is.
// Returns the fields that were set; none when the marker is missing or wrong. Reads only.
FormGeometry::Fields RestoreFormPosition(const QString &formName, FormGeometry &geometry,
                                         const QString &applicationName, bool PositionOnly);

} // namespace FormSettings
