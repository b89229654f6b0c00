#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class PickCatalogue;

// What the user gathers to take away as one module: functions and constants by name, each
// once, in the order added. Kept across runs in a file of its own under the user's data
// folder, always written whole; a file that is not a pick list, or not whole, is never
// written over.
class PickList
{
public:
    enum class Kind { Function, Constant };
    struct Entry
    {
        Kind kind = Kind::Function;
        QString name;
        bool operator==(const Entry &) const = default;
    };

    // The list of the file; none is read while the file is empty. Warnings (Persian, for
    // the user): at most one for a file that cannot be used, one naming every entry the
    // catalogue no longer has (those are dropped).
    struct Loaded
    {
        std::vector<Entry> entries;
        bool writable = true; // false: the file is not this list's; never written over
        QStringList warnings;
    };
    static Loaded read(const QString &file, const PickCatalogue &catalogue);

    // Where the list is kept: $XDG_DATA_HOME/Kel/Vorn.picklist ($HOME/.local/share where
    // XDG_DATA_HOME is not an absolute path); empty without either.
    static QString defaultFile();

    // The file's content: a first line that names the format, then one entry a line.
    static QByteArray bytes(const std::vector<Entry> &entries);

    // Starts from the file (read with the catalogue); an empty file name keeps the list
    // for the run only.
    PickList(QString file, const PickCatalogue &catalogue);

    const std::vector<Entry> &entries() const { return m_entries; }
    QStringList names(Kind kind) const;
    const QStringList &warnings() const { return m_warnings; }

    // Each change is saved at once. Adding an entry the list holds changes nothing: false.
    bool add(Kind kind, const QString &name);
    // The entries at those indexes of entries().
    void remove(std::vector<qsizetype> indexes);
    void clear();

private:
    void save();

    QString m_file;
    bool m_writable = true;
    std::vector<Entry> m_entries;
    QStringList m_warnings;
};
