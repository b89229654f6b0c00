#include "InstanceLock.h"

#include <QDir>
#include <QStandardPaths>
#include <QThread>

namespace {

// A starting instance creates its lock file and takes the system lock on it at once; a file
// found without an owner is looked at again after this moment.
constexpr unsigned long ownerWriteGraceMs = 50;

} // namespace

InstanceLock::InstanceLock(const QString &lockPath)
    : m_lock(lockPath.isEmpty() ? defaultPath() : lockPath)
{
    // Never treat a live lock as stale by age: the first instance may run for days.
    m_lock.setStaleLockTime(0);
}

bool InstanceLock::tryAcquire()
{
    // QLockFile takes over a lock whose owner process is gone, whatever its age.
    if (m_lock.tryLock(0))
        return true;
    if (m_lock.error() != QLockFile::LockFailedError)
        return false;
    // A running owner holds its lock file under a system lock for as long as it runs;
    // a file nobody holds (empty, damaged, from another host or a process that is gone)
    // is taken over. Removing it fails while the system lock is held.
    QThread::msleep(ownerWriteGraceMs);
    return m_lock.tryLock(0) || (m_lock.removeStaleLockFile() && m_lock.tryLock(0));
}

QString InstanceLock::defaultPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return QDir(folder).filePath(QStringLiteral("vorn.lock"));
}
