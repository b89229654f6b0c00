#include "FormSettings.h"

#include "RegKeys.h"
#include "SettingText.h"

namespace FormSettings {

namespace {

const QString makerKey = QStringLiteral("Software\\Kel\\");

QString orProductName(const QString &applicationName)
{
    return applicationName.isEmpty() ? productName() : applicationName;
}

std::optional<int> storedNumber(const QString &key, const QString &valueName)
{
    return SettingText::toWholeNumber(
        RegKeys::ReadKeyValue(RegKeys::Hive::CurrentUser, key, valueName, QString()));
}

} // namespace

QString productName()
{
    return QStringLiteral("Vorn");
}

QString applicationKey(const QString &applicationName)
{
    return makerKey + orProductName(applicationName);
}

QString positionKey(const QString &applicationName)
{
    return applicationKey(applicationName) + QStringLiteral("\\Position");
}

QString GetAppSetting(const QString &valueName, const QString &applicationName, const QString &defaultValue)
{
    return RegKeys::ReadKeyValue(RegKeys::Hive::CurrentUser, applicationKey(applicationName), valueName,
                                 defaultValue);
}

void SaveAppSetting(const QString &valueName, const QString &value, const QString &applicationName)
{
    RegKeys::WriteKeyValue(RegKeys::Hive::CurrentUser, applicationKey(applicationName), valueName, value);
}

void SaveFormPosition(const QString &formName, const FormGeometry &geometry, const QString &applicationName,
                      bool PositionOnly)
{
    if (formName.isEmpty())
        return; // a window without a name has no entries of its own
    const QString key = positionKey(applicationName);
    const RegKeys::Batch together;
    const auto write = [&](const QString &valueName, const QString &value) {
        RegKeys::WriteKeyValue(RegKeys::Hive::CurrentUser, key, valueName, value);
    };
    if (!PositionOnly) {
        write(formName + QStringLiteral(".Width"), QString::number(geometry.width));
        write(formName + QStringLiteral(".Height"), QString::number(geometry.height));
    }
    write(formName + QStringLiteral(".Top"), QString::number(geometry.top));
    write(formName + QStringLiteral(".Left"), QString::number(geometry.left));
    // Last, so that a set cut short by a failed write is never taken for a whole one.
    write(formName, formName);
}

FormGeometry::Fields RestoreFormPosition(const QString &formName, FormGeometry &geometry,
                                         const QString &applicationName, bool PositionOnly)
{
    const QString key = positionKey(applicationName);
    FormGeometry::Fields restored;
    if (formName.isEmpty())
        return restored;
    if (RegKeys::ReadKeyValue(RegKeys::Hive::CurrentUser, key, formName, QString()) != formName)
        return restored;

    if (!PositionOnly) {
        if (const auto width = storedNumber(key, formName + QStringLiteral(".Width")); width && *width > 0) {
            geometry.width = *width;
            restored |= FormGeometry::Width;
        }
        if (const auto height = storedNumber(key, formName + QStringLiteral(".Height")); height && *height > 0) {
            geometry.height = *height;
            restored |= FormGeometry::Height;
        }
    }
    if (const auto top = storedNumber(key, formName + QStringLiteral(".Top"))) {
        geometry.top = *top;
        restored |= FormGeometry::Top;
    }
    if (const auto left = storedNumber(key, formName + QStringLiteral(".Left"))) {
        geometry.left = *left;
        restored |= FormGeometry::Left;
    }
    return restored;
}

} // namespace FormSettings
