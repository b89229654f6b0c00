#pragma once

#include <QString>
#include <QStringList>

// Starting the program when the user logs in to the desktop: an XDG autostart entry,
// a desktop entry file in the autostart folder whose Exec line starts the program.
class Autostart
{
public:
    // entryFile: the entry to keep; by default configFolder()/autostart/vorn.desktop.
    explicit Autostart(QString entryFile = defaultEntryFile());

    // Empty when no configuration folder is known.
    static QString defaultEntryFile();

    // One argument as an Exec line asks for it: quoted when it holds a blank or another
    // character the launcher treats specially, '"', '`', '$' and '\' escaped inside the
    // quotes, and '%' doubled so that it is not taken for a field code.
    static QString execArgument(const QString &argument);
    // The program, always quoted (after "env " when it holds a '%'), and its arguments,
    // joined by blanks and escaped as the value of a desktop entry key ('\' doubled, line
    // breaks and tabs as \n \r \t).
    static QString execLine(const QString &program, const QStringList &arguments);
    // The whole entry that starts the program with the switch -d.
    static QByteArray entryText(const QString &program);

    // Writes the entry that starts program with -d, replacing any earlier one, the file
    // whole or not at all. Where the entry is a symbolic link, its target is written in
    // place (the link kept) only when it is a regular file that is empty or holds an
    // entry this program wrote. False when it cannot be written.
    bool enable(const QString &program) const;
    // Whether the entry is one this program wrote (for whatever program path), not one
    // the user made or changed: exactly what enable() writes for some program.
    bool isOwnEntry() const;
    // Whether the entry is one this program wrote for another path where no file is now:
    // the program was moved, and the entry may follow it.
    bool isOwnEntryOfMovedProgram(const QString &program) const;
    // Whether the entry is exactly the one enable(program) writes.
    bool starts(const QString &program) const;
    // Removes the entry. False only when an entry remains. A folder of the entry's name
    // is no entry and stays.
    bool disable() const;
    bool isEnabled() const;

    QString entryFile() const { return m_entryFile; }

private:
    QString m_entryFile;
};
