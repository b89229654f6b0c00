#include "RegKeys.h"

#include "platform/ConfigFolder.h"
#include "platform/InPlaceWrite.h"
#include "platform/Texts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>
#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <optional>
#include <utility>

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

// One write or delete, kept until the store is written.
struct Change
{
    QString key;
    std::optional<QString> value; // nothing: delete
};

int batchDepth = 0;
QList<Change> pending;
WarningHandler warningHandler;
QSet<QString> warned;
// The store of a run without a configuration folder, kept for that run only.
QHash<QString, QString> runStore;

void warnOnce(const QString &text)
{
    if (warned.contains(text))
        return;
    warned.insert(text);
    if (warningHandler)
        warningHandler(text);
}

// What stands at the store's path, and what may be done with it.
enum class Store {
    Absent,      // nothing: a new file is made
    File,        // a regular file: replaced whole through a new file beside it
    LinkToOwn,   // a link to a regular file that is empty or holds these settings
    LinkToOther, // a link to anything else: never written
    NotAFile,    // a pipe, a folder, a device: never read, never written
};

// Whether a file holds nothing, or this program's settings alone: a key of another
// program (of the same maker too) or a comment, which a rewrite would lose, make it
// someone else's file.
bool holdsOwnSettings(const QString &file)
{
    QFile bytes(file);
    if (!bytes.open(QIODevice::ReadOnly))
        return false;
    if (bytes.size() == 0)
        return true;
    for (QByteArray line = bytes.readLine(); !line.isEmpty(); line = bytes.readLine()) {
        line = line.trimmed();
        if (line.startsWith(';') || line.startsWith('#'))
            return false;
    }
    const QSettings settings(file, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return false;
    const QStringList keys = settings.allKeys();
    return !keys.isEmpty() && std::all_of(keys.begin(), keys.end(), [](const QString &key) {
        return key.startsWith(QLatin1String("Software/Kel/Vorn/"));
    });
}

Store storeAt(const QString &file)
{
    const QFileInfo info(file);
    if (info.isSymLink()) {
        const QFileInfo target(info.symLinkTarget());
        if (target.isFile() && !target.isSymLink() ? holdsOwnSettings(target.filePath()) : false)
            return Store::LinkToOwn;
        return target.exists() && !target.isFile() ? Store::NotAFile : Store::LinkToOther;
    }
    if (!info.exists())
        return Store::Absent;
    return info.isFile() ? Store::File : Store::NotAFile;
}

void warnUnusable(Store store, const QString &file)
{
    const QString text = store == Store::NotAFile ? Texts::settingsNotAFile : Texts::settingsLinkRefused;
    warnOnce(text + QStringLiteral("\r\n") + file);
}

// The file's bytes with the changes made, as QSettings writes them: it works on a copy in
// a private folder, so the store itself is written once, whole, by the caller.
std::optional<QByteArray> changedContent(const QString &file, const QList<Change> &changes)
{
    const QTemporaryDir scratch;
    if (!scratch.isValid())
        return std::nullopt;
    const QString copy = scratch.filePath(QStringLiteral("store.ini"));
    if (QFileInfo::exists(file) && !QFile::copy(file, copy))
        return std::nullopt;
    {
        QSettings settings(copy, QSettings::IniFormat);
        for (const Change &change : changes) {
            if (change.value) {
                settings.setValue(change.key, *change.value);
                continue;
            }
            if (!settings.contains(change.key))
                continue;
            // QSettings removes a key together with everything below it; in the store a
            // value and a subkey of the same name are two things, so the subkey's values
            // are put back.
            settings.beginGroup(change.key);
            const QStringList below = settings.allKeys();
            QList<QVariant> belowValues;
            for (const QString &name : below)
                belowValues << settings.value(name);
            settings.endGroup();
            settings.remove(change.key);
            for (qsizetype i = 0; i < below.size(); ++i)
                settings.setValue(change.key + QLatin1Char('/') + below.at(i), belowValues.at(i));
        }
        // QSettings puts its new file in place even when writing it failed half way (a
        // full disk), so what it wrote is read back, under a name of its own (QSettings
        // trusts what it read before under the same name), and must hold every value.
        settings.sync();
        const QString check = scratch.filePath(QStringLiteral("check.ini"));
        if (!QFile::copy(copy, check) || !sameContent(QSettings(check, QSettings::IniFormat), settings))
            return std::nullopt;
    }
    QFile written(copy);
    if (!written.open(QIODevice::ReadOnly))
        return std::nullopt;
    return written.readAll();
}

// A new file beside the old one, written out to the disk and then renamed over it: the
// store is whole, old or new, whenever the run is cut short.
bool replaceWhole(const QString &file, const QByteArray &bytes)
{
    if (!QDir().mkpath(QFileInfo(file).absolutePath()))
        return false;
    // What earlier saves that were killed half way left beside the store.
    removeKilledSaves(file, holdsOwnSettings);
    QFile next(newFileBeside(file));
    if (!next.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    if (QFileInfo::exists(file))
        next.setPermissions(QFileInfo(file).permissions());
    const bool whole = next.write(bytes) == bytes.size() && next.flush() && ::fsync(next.handle()) == 0;
    next.close();
    if (!whole || ::rename(QFile::encodeName(next.fileName()).constData(), QFile::encodeName(file).constData()) != 0) {
        next.remove();
        return false;
    }
    return true;
}

void save(const QList<Change> &changes)
{
    if (changes.isEmpty())
        return;
    const QString file = hiveFile(Hive::CurrentUser);
    if (file.isEmpty()) {
        warnOnce(Texts::settingsForThisRunOnly);
        for (const Change &change : changes) {
            if (change.value)
                runStore.insert(change.key, *change.value);
            else
                runStore.remove(change.key);
        }
        return;
    }
    const Store store = storeAt(file);
    if (store == Store::NotAFile || store == Store::LinkToOther) {
        warnUnusable(store, file);
        return;
    }
    const std::optional<QByteArray> bytes = changedContent(file, changes);
    QFile current(file);
    if (!bytes || (current.open(QIODevice::ReadOnly) && current.readAll() == *bytes))
        return;
    if (store == Store::LinkToOwn)
        rewriteInPlace(QFileInfo(file).symLinkTarget(), *bytes);
    else
        replaceWhole(file, *bytes);
}

void change(const QString &keyPath, const QString &valueName, std::optional<QString> value)
{
    const std::optional<QString> key = settingsKey(keyPath, valueName);
    if (!key)
        return;
    pending.append({*key, std::move(value)});
    if (batchDepth == 0) {
        const QList<Change> changes = std::exchange(pending, {});
        save(changes);
    }
}

} // namespace

QString hiveFile(Hive hive)
{
    switch (hive) {
    case Hive::CurrentUser: {
        const QString folder = configFolder();
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

void setWarningHandler(WarningHandler handler)
{
    warningHandler = std::move(handler);
    warned.clear();
}

void tell(const QString &text)
{
    if (warningHandler)
        warningHandler(text);
}

Batch::Batch()
{
    ++batchDepth;
}

Batch::~Batch()
{
    if (--batchDepth == 0) {
        const QList<Change> changes = std::exchange(pending, {});
        save(changes);
    }
}

void WriteKeyValue(Hive hive, const QString &keyPath, const QString &valueName, const QString &value)
{
    Q_UNUSED(hive);
    change(keyPath, valueName, value.isEmpty() ? QStringLiteral(" ") : value);
}

QString ReadKeyValue(Hive hive, const QString &keyPath, const QString &valueName, const QString &defaultValue)
{
    const QString file = hiveFile(hive);
    const std::optional<QString> key = settingsKey(keyPath, valueName);
    if (!key)
        return defaultValue;
    if (file.isEmpty()) {
        warnOnce(Texts::settingsForThisRunOnly);
        return textOf(runStore.value(*key, defaultValue), defaultValue);
    }
    const Store store = storeAt(file);
    if (store == Store::Absent)
        return defaultValue;
    if (store == Store::NotAFile) {
        // Opening a pipe would wait for a writer for ever.
        warnUnusable(store, file);
        return defaultValue;
    }
    const QSettings settings(file, QSettings::IniFormat);
    if (!settings.contains(*key))
        return defaultValue;
    return textOf(settings.value(*key), defaultValue);
}

void DeleteKeyValue(Hive hive, const QString &keyPath, const QString &valueName)
{
    Q_UNUSED(hive);
    change(keyPath, valueName, std::nullopt);
}

} // namespace RegKeys
