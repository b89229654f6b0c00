#include "InstanceLock.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A starting instance creates its lock file and takes the system lock on it at once; a file
// found without an owner is looked at again after this moment.
constexpr unsigned long ownerWriteGraceMs = 50;

// A folder itself (no link), owned by this user, that no one else may write into: no
// other user can put a pipe or a folder at the lock's place there.
bool isPrivateFolder(const QString &folder)
{
    struct stat st;
    return QDir::isAbsolutePath(folder) && ::lstat(QFile::encodeName(folder).constData(), &st) == 0
        && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

InstanceLock::InstanceLock(const QString &lockPath)
    : m_path(lockPath.isEmpty() ? defaultPath() : lockPath)
{
    if (m_path.isEmpty())
        return;
    m_lock.emplace(m_path);
    // Never treat a live lock as stale by age: the first instance may run for days.
    m_lock->setStaleLockTime(0);
}

bool InstanceLock::tryAcquire()
{
    if (!m_lock)
        return true;
    // Reading the owner out of a named pipe waits for a writer for ever, and a folder is
    // never taken over: what is no regular file goes first.
    const QByteArray path = QFile::encodeName(m_path);
    struct stat st;
    if (::lstat(path.constData(), &st) == 0 && !S_ISREG(st.st_mode)
        && (S_ISDIR(st.st_mode) ? ::rmdir(path.constData()) : ::unlink(path.constData())) != 0)
        return true;
    // QLockFile takes over a lock whose owner process is gone, whatever its age.
    if (m_lock->tryLock(0))
        return true;
    if (m_lock->error() != QLockFile::LockFailedError)
        return false;
    // A running owner holds its lock file under a system lock for as long as it runs;
    // a file nobody holds (empty, damaged, from another host or a process that is gone)
    // is taken over. Removing it fails while the system lock is held.
    QThread::msleep(ownerWriteGraceMs);
    return m_lock->tryLock(0) || (m_lock->removeStaleLockFile() && m_lock->tryLock(0));
}

QString InstanceLock::defaultPath()
{
    const QString lockName = QStringLiteral("vorn.lock");
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isPrivateFolder(runtime))
        return QDir(runtime).filePath(lockName);
    // Never the shared temporary folder, where another user may have put the lock first.
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!QDir::isAbsolutePath(cache)) {
        const QString home = qEnvironmentVariable("HOME");
        cache = QDir::isAbsolutePath(home) ? home + QStringLiteral("/.cache") : QString();
    }
    if (cache.isEmpty())
        return QString();
    const QString folder = QDir::cleanPath(cache + QStringLiteral("/Kel"));
    QDir().mkpath(cache);
    ::mkdir(QFile::encodeName(folder).constData(), 0700);
    return isPrivateFolder(folder) ? QDir(folder).filePath(lockName) : QString();
}
