#pragma once

#include <QString>

// What makes the program's windows and Qt's own dialogs Persian and right to left.
namespace PersianLook {

// Loads Qt's Persian texts (the file dialog, message-box buttons, the text boxes' context
// menu) from qtbase_fa.qm in the folder. A missing or unreadable file loads nothing and
// leaves Qt's own English texts; the program starts all the same.
bool loadQtTranslations(const QString &folder);

// Right-to-left layout, Qt's Persian texts from Qt's translations folder, and access-key
// underlines only while Alt is held. Called once, before any window is made.
void apply();

} // namespace PersianLook
