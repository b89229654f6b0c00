#include "InstanceLock.h"

#include <QDir>
#include <QStandardPaths>

InstanceLock::InstanceLock(const QString &lockPath)
    : m_lock(lockPath.isEmpty() ? defaultPath() : lockPath)
{
    // Never treat a live lock as stale by age: the first instance may run for days.
    m_lock.setStaleLockTime(0);
}

bool InstanceLock::tryAcquire()
{
    // QLockFile takes over a lock whose owner process is gone, whatever its age.
    return m_lock.tryLock(0);
}

QString InstanceLock::defaultPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return QDir(folder).filePath(QStringLiteral("vorn.lock"));
}
