#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

// A host's stored description of one control instance: named, typed values kept in the
// order they were written. A value equal to its default is never stored, so a control
// left at its defaults leaves no trace in its host's description; reading a key that is
// not there gives the caller's default back. Keys compare without regard to letter case,
// as the names in a form description always have.
class PropertyBag
{
public:
    enum class Type { Boolean, Int16, Int32, String };

    // Stores the value under key, or removes the key when the value equals the default.
    // Writing a key again replaces its value in place.
    void writeBoolean(const QString &key, bool value, bool defaultValue);
    void writeInt16(const QString &key, qint16 value, qint16 defaultValue);
    void writeInt32(const QString &key, qint32 value, qint32 defaultValue);
    void writeString(const QString &key, const QString &value, const QString &defaultValue);

    // The stored value, converted to the type asked for; the default when the key is
    // missing or its value does not convert (text that is no number, a number out of
    // the 16-bit range). Booleans convert as Basic does: True is -1, any non-zero is True.
    bool readBoolean(const QString &key, bool defaultValue) const;
    qint16 readInt16(const QString &key, qint16 defaultValue) const;
    qint32 readInt32(const QString &key, qint32 defaultValue) const;
    QString readString(const QString &key, const QString &defaultValue) const;

    bool contains(const QString &key) const;
    // The stored type of the key, or nothing when it is missing.
    std::optional<Type> typeOf(const QString &key) const;
    // Stored keys, in the order they were first written.
    QStringList keys() const;
    bool isEmpty() const { return m_entries.isEmpty(); }

private:
    struct Entry
    {
        QString key;
        Type type = Type::Int32;
        QVariant value;
    };

    void store(const QString &key, Type type, const QVariant &value, bool isDefault);
    const Entry *find(const QString &key) const;
    std::optional<qint64> readInteger(const QString &key) const;

    QList<Entry> m_entries;
};
