#include "RegKeys.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QVariant>

#include <optional>

namespace RegKeys {

namespace {

// QSettings reads both '/' and '\' as group separators, so a name that holds either (a
// registry value name may) is escaped; '%' is escaped so that the escape stays
// reversible, and '@' so that the bare "@" can stand for a key's unnamed value, as it
// does in registry export files.
QString escapedName(const QString &name)
{
    QString escaped;
    escaped.reserve(name.size());
    for (const QChar ch : name) {
        switch (ch.unicode()) {
        case '%': escaped += QLatin1String("%25"); break;
        case '/': escaped += QLatin1String("%2F"); break;
        case '\\': escaped += QLatin1String("%5C"); break;
        case '@': escaped += QLatin1String("%40"); break;
        default: escaped += ch;
        }
    }
    return escaped;
}

// The QSettings key of a value: the key path's levels as groups, the value name last.
// Nothing for a path with an empty level ("a\\b", "\a"), which names no key.
std::optional<QString> settingsKey(const QString &keyPath, const QString &valueName)
{
    QStringList parts;
    if (!keyPath.isEmpty()) {
        const QStringList levels = keyPath.split(QLatin1Char('\\'));
        for (const QString &level : levels) {
            if (level.isEmpty())
                return std::nullopt;
            parts << escapedName(level);
        }
    }
    parts << (valueName.isEmpty() ? QStringLiteral("@") : escapedName(valueName));
    return parts.join(QLatin1Char('/'));
}

// The read buffer takes the data when it is shorter than the buffer, or exactly as long
// and holding a NUL where the text ends.
bool fitsReadBuffer(qsizetype length, bool holdsNul)
{
    return length < readBufferSize || (length == readBufferSize && holdsNul);
}

QString textOf(const QVariant &value, const QString &defaultValue)
{
    switch (value.typeId()) {
    case QMetaType::QString: {
        const QString text = value.toString();
        if (!fitsReadBuffer(codePageLength(text), text.contains(QChar(0))))
            return defaultValue;
        const qsizetype nul = text.indexOf(QChar(0));
        return nul < 0 ? text : text.left(nul);
    }
    case QMetaType::Int:
        return QString::number(value.toInt());
    case QMetaType::UInt:
        // A double word read as a signed number, as a Basic Long holds it.
        return QString::number(static_cast<qint32>(value.toUInt()));
    case QMetaType::QByteArray: {
        const QByteArray data = value.toByteArray();
        return fitsReadBuffer(data.size(), data.contains('\0')) ? QString() : defaultValue;
    }
    case QMetaType::QStringList: {
        // A list of texts, each with its NUL and one more NUL at the end.
        qsizetype length = 1;
        const QStringList texts = value.toStringList();
        for (const QString &text : texts)
            length += codePageLength(text) + 1;
        return fitsReadBuffer(length, true) ? QString() : defaultValue;
    }
    default:
        return QString();
    }
}

} // namespace

QString hiveFile(Hive hive)
{
    switch (hive) {
    case Hive::CurrentUser: {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        if (folder.isEmpty())
            return QString();
        return QDir(folder).filePath(QStringLiteral("Kel/Vorn.ini"));
    }
    }
    return QString();
}

qsizetype codePageLength(const QString &text)
{
    // One byte for every character, a character outside the Basic Multilingual Plane
    // included: its replacement, too, is one byte.
    qsizetype length = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        ++length;
    }
    return length;
}

void WriteKeyValue(Hive hive, const QString &keyPath, const QString &valueName, const QString &value)
{
    const QString file = hiveFile(hive);
    const std::optional<QString> key = settingsKey(keyPath, valueName);
    if (file.isEmpty() || !key)
        return;
    QSettings settings(file, QSettings::IniFormat);
    // Creates the missing folders; false for a file that cannot be written, which is then
    // left alone rather than given a change that could not be saved.
    if (!settings.isWritable())
        return;
    settings.setValue(*key, value.isEmpty() ? QStringLiteral(" ") : value);
    // QSettings writes a new file beside the old one and renames it over: a run that is
    // killed in the middle leaves the previous file whole.
    settings.sync();
}

QString ReadKeyValue(Hive hive, const QString &keyPath, const QString &valueName, const QString &defaultValue)
{
    const QString file = hiveFile(hive);
    const std::optional<QString> key = settingsKey(keyPath, valueName);
    if (file.isEmpty() || !key || !QFileInfo::exists(file))
        return defaultValue;
    const QSettings settings(file, QSettings::IniFormat);
    if (!settings.contains(*key))
        return defaultValue;
    return textOf(settings.value(*key), defaultValue);
}

void DeleteKeyValue(Hive hive, const QString &keyPath, const QString &valueName)
{
    const QString file = hiveFile(hive);
    const std::optional<QString> key = settingsKey(keyPath, valueName);
    if (file.isEmpty() || !key || !QFileInfo::exists(file))
        return;
    QSettings settings(file, QSettings::IniFormat);
    if (!settings.contains(*key) || !settings.isWritable())
        return;

    // QSettings removes a key together with everything below it; in the store a value and
    // a subkey of the same name are two things, so the subkey's values are put back.
    settings.beginGroup(*key);
    const QStringList below = settings.allKeys();
    QList<QVariant> belowValues;
    for (const QString &name : below)
        belowValues << settings.value(name);
    settings.endGroup();

    settings.remove(*key);
    for (qsizetype i = 0; i < below.size(); ++i)
        settings.setValue(*key + QLatin1Char('/') + below.at(i), belowValues.at(i));
    settings.sync();
}

} // namespace RegKeys
