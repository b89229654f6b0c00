#include "PropertyBag.h"

#include <limits>

void PropertyBag::writeBoolean(const QString &key, bool value, bool defaultValue)
{
    store(key, Type::Boolean, value, value == defaultValue);
}

void PropertyBag::writeInt16(const QString &key, qint16 value, qint16 defaultValue)
{
    store(key, Type::Int16, value, value == defaultValue);
}

void PropertyBag::writeInt32(const QString &key, qint32 value, qint32 defaultValue)
{
    store(key, Type::Int32, value, value == defaultValue);
}

void PropertyBag::writeString(const QString &key, const QString &value, const QString &defaultValue)
{
    store(key, Type::String, value, value == defaultValue);
}

void PropertyBag::store(const QString &key, Type type, const QVariant &value, bool isDefault)
{
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].key.compare(key, Qt::CaseInsensitive) != 0)
            continue;
        if (isDefault)
            m_entries.removeAt(i);
        else
            m_entries[i] = Entry{key, type, value};
        return;
    }
    if (!isDefault)
        m_entries.append(Entry{key, type, value});
}

const PropertyBag::Entry *PropertyBag::find(const QString &key) const
{
    for (const Entry &entry : m_entries) {
        if (entry.key.compare(key, Qt::CaseInsensitive) == 0)
            return &entry;
    }
    return nullptr;
}

std::optional<qint64> PropertyBag::readInteger(const QString &key) const
{
    const Entry *entry = find(key);
    if (!entry)
        return std::nullopt;
    switch (entry->type) {
    case Type::Boolean:
        return entry->value.toBool() ? -1 : 0;
    case Type::Int16:
    case Type::Int32:
        return entry->value.toLongLong();
    case Type::String: {
        // Qt's conversion stops at a NUL character and takes what stands before it.
        const QString text = entry->value.toString();
        if (text.contains(QChar(0)))
            return std::nullopt;
        bool ok = false;
        const qint64 number = text.trimmed().toLongLong(&ok);
        if (!ok)
            return std::nullopt;
        return number;
    }
    }
    return std::nullopt;
}

bool PropertyBag::readBoolean(const QString &key, bool defaultValue) const
{
    const Entry *entry = find(key);
    if (!entry)
        return defaultValue;
    if (entry->type == Type::String) {
        const QString text = entry->value.toString().trimmed();
        if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            return false;
    }
    const std::optional<qint64> number = readInteger(key);
    return number ? *number != 0 : defaultValue;
}

qint16 PropertyBag::readInt16(const QString &key, qint16 defaultValue) const
{
    const std::optional<qint64> number = readInteger(key);
    if (!number || *number < std::numeric_limits<qint16>::min()
        || *number > std::numeric_limits<qint16>::max())
        return defaultValue;
    return static_cast<qint16>(*number);
}

qint32 PropertyBag::readInt32(const QString &key, qint32 defaultValue) const
{
    const std::optional<qint64> number = readInteger(key);
    if (!number || *number < std::numeric_limits<qint32>::min()
        || *number > std::numeric_limits<qint32>::max())
        return defaultValue;
    return static_cast<qint32>(*number);
}

QString PropertyBag::readString(const QString &key, const QString &defaultValue) const
{
    const Entry *entry = find(key);
    if (!entry)
        return defaultValue;
    switch (entry->type) {
    case Type::Boolean:
        return entry->value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case Type::Int16:
    case Type::Int32:
        return QString::number(entry->value.toLongLong());
    case Type::String:
        return entry->value.toString();
    }
    return defaultValue;
}

bool PropertyBag::contains(const QString &key) const
{
    return find(key) != nullptr;
}

std::optional<PropertyBag::Type> PropertyBag::typeOf(const QString &key) const
{
    const Entry *entry = find(key);
    if (!entry)
        return std::nullopt;
    return entry->type;
}

QStringList PropertyBag::keys() const
{
    QStringList result;
    for (const Entry &entry : m_entries)
        result << entry.key;
    return result;
}
