#pragma once

#include <QLockFile>
#include <QString>

#include <optional>

// The previous-instance test: a lock file held for as long as the program runs.
// A lock left behind by a crashed run (its process gone), or one whose owner cannot be
// read (an empty or damaged file nobody holds), does not block the next start; a running
// owner always keeps it.
class InstanceLock
{
public:
    // lockPath: the lock file; empty means "vorn.lock" in the user's own folder of
    // defaultPath().
    explicit InstanceLock(const QString &lockPath = QString());
    Q_DISABLE_COPY_MOVE(InstanceLock)

    // True when this process now holds the lock, or when no lock can be made (no private
    // folder, something at the lock's place that cannot be cleared): the program then runs
    // without the test. False when another running instance holds it. Never waits: what
    // is no regular file at the lock's place (a named pipe, a folder, a link) is cleared
    // away before the lock is opened.
    bool tryAcquire();

    // In the runtime folder when it is the user's own and no one else may write into it;
    // else in Kel under the user's cache folder, made private. Empty when neither is.
    static QString defaultPath();

private:
    QString m_path;
    std::optional<QLockFile> m_lock;
};
