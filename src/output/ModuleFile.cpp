#include "ModuleFile.h"

#include "platform/InPlaceWrite.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <stdio.h>
#include <unistd.h>

namespace ModuleFile {

namespace {

WriteResult failure(qint64 number, const QString &description)
{
    return {false, number, description};
}

WriteResult accessFailure()
{
    return failure(pathFileAccessError, QStringLiteral("Path/File access error"));
}

WriteResult ioFailure()
{
    return failure(deviceIOError, QStringLiteral("Device I/O error"));
}

WriteResult openFailure(const QString &path)
{
    if (!QFileInfo(path).absoluteDir().exists())
        return failure(pathNotFoundError, QStringLiteral("Path not found"));
    return accessFailure();
}

// The file a save replaces: a link's target, as a save through a link keeps the link.
QString finalFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isSymLink() ? info.symLinkTarget() : path;
}

WriteResult writeInPlace(const QString &path, const QByteArray &bytes)
{
    if (!rewriteInPlace(path, bytes))
        return ioFailure();
    return {true, 0, QString()};
}

// Whether an existing file may be rewritten where no new file could be made beside it.
// Tried by opening it: the permission checks of QFileInfo go by the real user, and a
// program may run as another effective one.
bool onlyInPlace(const QString &path)
{
    QFile file(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadWrite);
}

} // namespace

WriteResult write(const QString &path, const QByteArray &bytes)
{
    return produce(path, [&bytes](const QString &temporaryFile) {
        QFile file(temporaryFile);
        // Flushed and synced here: a write that fails only when the buffer goes out (a full
        // disk, the file size limit) must not put the piece in place.
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size()
            && file.flush() && ::fsync(file.handle()) == 0;
    });
}

WriteResult produce(const QString &path, const std::function<bool(const QString &temporaryFile)> &produce)
{
    if (path.isEmpty() || QFileInfo(path).isDir())
        return accessFailure();
    const QString target = finalFile(path);
    const QFileInfo info(target);

    // What saves killed half way left beside it goes; the name tells them apart from the
    // user's own files.
    removeKilledSaves(target, [](const QString &) { return true; });
    QFile beside(newFileBeside(target));
    if (!beside.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        if (!onlyInPlace(target))
            return openFailure(target);
        // Made in a private folder, then copied over the old file's content.
        const QTemporaryDir elsewhere;
        const QString made = elsewhere.filePath(info.fileName());
        QFile madeFile(made);
        if (!elsewhere.isValid() || !produce(made) || !madeFile.open(QIODevice::ReadOnly))
            return ioFailure();
        return writeInPlace(target, madeFile.readAll());
    }
    // The permissions of the file it replaces, or those of a new file.
    beside.setPermissions(info.exists() ? info.permissions()
                                        : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    beside.close();
    if (!produce(beside.fileName())
        || ::rename(QFile::encodeName(beside.fileName()).constData(), QFile::encodeName(target).constData()) != 0) {
        beside.remove();
        return ioFailure();
    }
    return {true, 0, QString()};
}

} // namespace ModuleFile
