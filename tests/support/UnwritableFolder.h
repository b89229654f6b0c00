#pragma once

#include "AsNobody.h"

#include <QFile>
#include <QUuid>

#include <optional>

// Makes a folder that the test cannot write into, for as long as this object lives: its
// permissions drop to read and search only. A test run as root passes permission checks
// anyway, so there the effective user also becomes "nobody" until the object goes; the
// folders above must then be searchable by everyone (QTemporaryDir makes its folder
// private, so this opens it to search).
class UnwritableFolder
{
public:
    // folder lies inside root, a QTemporaryDir's path.
    UnwritableFolder(const QString &root, const QString &folder)
        : m_folder(folder)
    {
        const auto readAndSearch = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup
            | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;
        QFile::setPermissions(root, readAndSearch | QFileDevice::WriteOwner);
        QFile::setPermissions(folder, readAndSearch);
        m_user.emplace();
        QFile probe(folder + QStringLiteral("/probe-") + QUuid::createUuid().toString(QUuid::Id128));
        m_unwritable = !probe.open(QIODevice::WriteOnly);
        if (!m_unwritable)
            probe.remove();
    }
    ~UnwritableFolder()
    {
        m_user.reset();
        QFile::setPermissions(m_folder, QFile::permissions(m_folder) | QFileDevice::WriteOwner);
    }
    Q_DISABLE_COPY_MOVE(UnwritableFolder)

    // False when the folder could still be written: then the test cannot show anything.
    bool isUnwritable() const { return m_unwritable; }

private:
    QString m_folder;
    std::optional<AsNobody> m_user;
    bool m_unwritable = false;
};
