#include "ProgramSettings.h"

#include "FormSettings.h"
#include "MainView.h"
#include "SettingText.h"
#include "RegKeys.h"
#include "platform/Autostart.h"
#include "platform/Texts.h"

namespace ProgramSettings {

namespace {

QString stored(const QString &valueName, const QString &defaultValue)
{
    return FormSettings::GetAppSetting(valueName, applicationName, defaultValue);
}

void store(const QString &valueName, const QString &value)
{
    FormSettings::SaveAppSetting(valueName, value, applicationName);
}

// A stored text that does not convert is taken for the default, which always does.
double storedFontSize(const QString &valueName)
{
    return SettingText::toFontSize(stored(valueName, defaultFontSize))
        .value_or(*SettingText::toFontSize(defaultFontSize));
}

bool storedBoolean(const QString &valueName, const QString &defaultValue)
{
    return SettingText::toBoolean(stored(valueName, defaultValue))
        .value_or(*SettingText::toBoolean(defaultValue));
}

int storedWholeNumber(const QString &valueName, const QString &defaultValue)
{
    return SettingText::toWholeNumber(stored(valueName, defaultValue))
        .value_or(*SettingText::toWholeNumber(defaultValue));
}

} // namespace

void LoadSettings(MainView &view)
{
    view.setFunctionFontSize(storedFontSize(fnFontSize));
    view.setCommentFontSize(storedFontSize(cmFontSize));
    view.setCaptionVisible(storedBoolean(fnCaption, defaultFnCaption));
    view.setStatusBarVisible(storedBoolean(statusBarVis, defaultStatusBarVis));
    view.setKeysVisible(storedBoolean(keysVis, defaultKeysVis));
    view.setTreeSize(storedWholeNumber(treeSize, defaultTreeSize));
    view.setFunctionTextHeight(storedWholeNumber(functionTextHeight, defaultFunctionTextHeight));
    view.setVba7Checked(Vba7Chosen());
}

bool Vba7Chosen()
{
    return storedBoolean(vba7Declaration, defaultVba7Declaration);
}

void SaveSettings(const MainView &view)
{
    const RegKeys::Batch together;
    store(treeSize, QString::number(view.treeSize()));
    store(functionTextHeight, QString::number(view.functionTextHeight()));
    store(fnCaption, SettingText::fromBoolean(view.captionChecked()));
    store(statusBarVis, SettingText::fromBoolean(view.statusBarChecked()));
    store(keysVis, SettingText::fromBoolean(view.keysChecked()));
    store(vba7Declaration, SettingText::fromBoolean(view.vba7Checked()));
}

DialogValues readDialogValues()
{
    DialogValues values;
    values.fnFontSize = stored(fnFontSize, defaultFontSize);
    values.cmFontSize = stored(cmFontSize, defaultFontSize);
    // The check box's value is a number: only a stored number other than 0 checks it. Text
    // that is no number ("true", a blank) is no checked box, the way Basic's Val reads it.
    const std::optional<int> day = SettingText::toWholeNumber(stored(dayFunction, defaultDayFunction));
    values.dayFunction = day && *day != 0;
    return values;
}

bool ApplySettings(const DialogValues &values, MainView &view, const QString &programPath)
{
    const bool dayWasOn = readDialogValues().dayFunction;
    {
        const RegKeys::Batch together;
        store(fnFontSize, values.fnFontSize);
        store(cmFontSize, values.cmFontSize);
        store(dayFunction, values.dayFunction ? QStringLiteral("1") : QStringLiteral("0"));
    }
    if (const std::optional<double> size = SettingText::toFontSize(values.fnFontSize))
        view.setFunctionFontSize(*size);
    if (const std::optional<double> size = SettingText::toFontSize(values.cmFontSize))
        view.setCommentFontSize(*size);
    if (UpdateAutostart(values.dayFunction, programPath, values.dayFunction != dayWasOn))
        return true;
    // The box is stored as the login entry really is: none was written, or the old one
    // could not be removed.
    const Autostart autostart;
    store(dayFunction, autostart.isEnabled() ? QStringLiteral("1") : QStringLiteral("0"));
    RegKeys::tell((values.dayFunction ? Texts::autostartNotWritten : Texts::autostartNotRemoved) + QStringLiteral("\r\n")
                  + autostart.entryFile());
    return false;
}

bool UpdateAutostart(bool dayFunction, const QString &programPath, bool settingChanged)
{
    const Autostart autostart;
    // An entry the user made or changed is left alone, unless the user just turned the
    // setting off; one this program wrote is rewritten only when the program it starts
    // is gone (the program was moved). False when an entry could not be written or
    // removed.
    if (!dayFunction)
        return !(settingChanged || autostart.isOwnEntry()) || autostart.disable();
    if (autostart.isEnabled() && !autostart.isOwnEntryOfMovedProgram(programPath))
        return true;
    return autostart.enable(programPath);
}

} // namespace ProgramSettings
