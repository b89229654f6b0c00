#pragma once

#include <QString>

class MainView;

// The program's eight settings under the application key of "Vorn": five of the main
// window's view, stored when it unloads, and three that the settings dialog edits.
namespace ProgramSettings {

// The application name every setting and window place is kept under.
inline const QString applicationName = QStringLiteral("Vorn");

// Value names, with the text that stands for a missing value.
inline const QString fnFontSize = QStringLiteral("Fn Font Size");
inline const QString cmFontSize = QStringLiteral("Cm Font Size");
inline const QString fnCaption = QStringLiteral("Fn Caption");
inline const QString statusBarVis = QStringLiteral("StatusBar Vis");
inline const QString keysVis = QStringLiteral("Keys Vis");
inline const QString treeSize = QStringLiteral("TreeSize");
inline const QString functionTextHeight = QStringLiteral("FunctionTextHeight");
inline const QString dayFunction = QStringLiteral("Day Function");
inline const QString vba7Declaration = QStringLiteral("VBA7 Declaration");

inline const QString defaultFontSize = QStringLiteral("8");
inline const QString defaultFnCaption = QStringLiteral("False");
inline const QString defaultStatusBarVis = QStringLiteral("True");
inline const QString defaultKeysVis = QStringLiteral("True");
inline const QString defaultTreeSize = QStringLiteral("4000");
inline const QString defaultFunctionTextHeight = QStringLiteral("2000");
inline const QString defaultDayFunction = QStringLiteral("1");
inline const QString defaultVba7Declaration = QStringLiteral("False");

// Gives the main window its eight stored settings, in this order: declaration font size,
// description font size, function-name label, status bar, key row, tree side, declaration
// panel, VBA7 declarations. A stored text that does not convert counts as missing: the default is used.
// Reads only.
void LoadSettings(MainView &view);

// Stores the six view settings from the window's check marks and splitters, in this
// order: TreeSize, FunctionTextHeight, Fn Caption, StatusBar Vis, Keys Vis, VBA7 Declaration;
// one write of the store for all (and for what a surrounding RegKeys::Batch holds).
void SaveSettings(const MainView &view);

// Whether the declarations are shown in the VBA7 form, as stored.
bool Vba7Chosen();

// What the settings dialog edits: the font sizes as the text stands in the combo boxes,
// and whether a function of the day is shown when the user logs in.
struct DialogValues
{
    QString fnFontSize = defaultFontSize;
    QString cmFontSize = defaultFontSize;
    bool dayFunction = true;
};

// The stored values the dialog opens with; "Day Function" other than "0" or "1" counts as
// missing.
DialogValues readDialogValues();

// The confirmed dialog, in this order: stores both font-size texts as they stand, whether
// sizes or not, and "Day Function" as "1" or "0", with one write of the store; gives the
// main window the sizes (a text that is no size leaves that box as it is); then
// UpdateAutostart. A login entry that could not be written is told (RegKeys::tell) and
// "Day Function" stored as "0", as things really are; false then.
bool ApplySettings(const DialogValues &values, MainView &view, const QString &programPath);

// With dayFunction, writes the login entry that starts programPath with -d where there is
// none, or where the one there is this program's own and starts a path where no file is
// now (a moved program is then found again); an entry the user made or changed is kept.
// Without, removes the entry when the setting was just turned off or the entry is this
// program's own. False when an entry could not be written or removed.
bool UpdateAutostart(bool dayFunction, const QString &programPath, bool settingChanged = true);

} // namespace ProgramSettings
