#include "UnwritableFolder.h"

#include <QFile>
#include <QFileDevice>
#include <QUuid>

#include <unistd.h>

namespace {

constexpr uid_t nobody = 65534;

bool canCreateFileIn(const QString &folder)
{
    QFile probe(folder + QStringLiteral("/probe-") + QUuid::createUuid().toString(QUuid::Id128));
    if (!probe.open(QIODevice::WriteOnly))
        return false;
    probe.close();
    probe.remove();
    return true;
}

} // namespace

UnwritableFolder::UnwritableFolder(const QString &root, const QString &folder)
    : m_root(root)
    , m_folder(folder)
{
    const auto readAndSearch = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup
        | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;
    QFile::setPermissions(m_root, readAndSearch | QFileDevice::WriteOwner);
    QFile::setPermissions(m_folder, readAndSearch);
    if (geteuid() == 0)
        m_droppedUser = seteuid(nobody) == 0;
    m_unwritable = !canCreateFileIn(m_folder);
}

UnwritableFolder::~UnwritableFolder()
{
    if (m_droppedUser && seteuid(0) != 0)
        qFatal("could not take the root user back");
    QFile::setPermissions(m_folder, QFile::permissions(m_folder) | QFileDevice::WriteOwner);
}
