#pragma once

#include <QString>

// Makes a folder that the test cannot write into, for as long as this object lives: its
// permissions drop to read and search only. A test run as root passes permission checks
// anyway, so there the effective user also becomes "nobody" until the object goes; the
// folders above must then be searchable by everyone (QTemporaryDir makes its folder
// private, so this opens it to search).
class UnwritableFolder
{
public:
    // folder lies inside root, a QTemporaryDir's path.
    UnwritableFolder(const QString &root, const QString &folder);
    ~UnwritableFolder();

    UnwritableFolder(const UnwritableFolder &) = delete;
    UnwritableFolder &operator=(const UnwritableFolder &) = delete;

    // False when the folder could still be written: then the test cannot show anything.
    bool isUnwritable() const { return m_unwritable; }

private:
    QString m_root;
    QString m_folder;
    bool m_droppedUser = false;
    bool m_unwritable = false;
};
