#include "RegKeys.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QUuid>
#include <QVariant>

#include <optional>

#include <stdio.h>
#include <unistd.h>

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

// Gives the file one more name (removing what had that name); false where that cannot be.
bool linkAs(const QString &file, const QString &name)
{
    QFile::remove(name);
    return ::link(QFile::encodeName(file).constData(), QFile::encodeName(name).constData()) == 0;
}

// Two readings of one value agree. A text with commas, which reads as a list of texts,
// comes back from the file as a list of values of the same texts.
bool sameValue(const QVariant &a, const QVariant &b)
{
    if (a == b)
        return true;
    const auto isList = [](const QVariant &v) {
        return v.typeId() == QMetaType::QStringList || v.typeId() == QMetaType::QVariantList;
    };
    return isList(a) && isList(b) && a.toStringList() == b.toStringList();
}

// Whether two settings hold the same keys with the same values.
bool sameContent(const QSettings &a, const QSettings &b)
{
    const QStringList keys = a.allKeys();
    if (keys != b.allKeys())
        return false;
    for (const QString &key : keys) {
        if (!sameValue(a.value(key), b.value(key)))
            return false;
    }
    return true;
}

// Writes the changes into the file whole, or leaves the file as it was. QSettings writes
// a new file beside the old one and renames it over, but it does so even when writing
// the new one failed half way (a full disk), and a piece of the store would stand where
// the whole was. So the old file keeps a second name until the new one, read back under
// a name of its own (QSettings trusts what it read before under the same name), holds
// every value; otherwise the old file takes its place again.
void syncWhole(QSettings &settings, const QString &file)
{
    const QString kept = file + QStringLiteral(".old");
    const bool keptOld = QFileInfo::exists(file) && linkAs(file, kept);
    settings.sync();
    // Not by the status: a store that held lines QSettings could not read keeps saying so,
    // although what it could read is written back whole.
    const QString check = file + QStringLiteral(".check-") + QUuid::createUuid().toString(QUuid::Id128);
    bool whole = linkAs(file, check);
    if (whole) {
        const QSettings readBack(check, QSettings::IniFormat);
        whole = sameContent(readBack, settings);
    }
    QFile::remove(check);
    if (!keptOld)
        return;
    if (whole)
        QFile::remove(kept);
    else
        ::rename(QFile::encodeName(kept).constData(), QFile::encodeName(file).constData());
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
    // A new file is written beside the old one and renamed over it: a run that is killed
    // in the middle leaves the previous file whole.
    syncWhole(settings, file);
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
    syncWhole(settings, file);
}

} // namespace RegKeys
