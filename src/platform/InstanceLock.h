#pragma once

#include <QLockFile>
#include <QString>

// The previous-instance test: a lock file held for as long as the program runs.
// A lock left behind by a crashed run (its process gone), or one whose owner cannot be
// read (an empty or damaged file nobody holds), does not block the next start; a running
// owner always keeps it.
class InstanceLock
{
public:
    // lockPath: the lock file; empty means "vorn.lock" in the user's runtime folder.
    explicit InstanceLock(const QString &lockPath = QString());
    Q_DISABLE_COPY_MOVE(InstanceLock)

    // True when this process now holds the lock; false when another running
    // instance holds it.
    bool tryAcquire();

    static QString defaultPath();

private:
    QLockFile m_lock;
};
