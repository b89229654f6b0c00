#include "ModuleFile.h"

#include "platform/InPlaceWrite.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <stdio.h>

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
    if (path.isEmpty() || QFileInfo(path).isDir())
        return accessFailure();

    QSaveFile file(path);
    // Never fall back to writing into the target itself here: that is what could leave
    // half a module in place of a good file. The in-place write below undoes a failure.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        if (onlyInPlace(finalFile(path)))
            return writeInPlace(finalFile(path), bytes);
        return openFailure(path);
    }
    // Flushed here: a write that fails only when the buffer goes out (a full disk, the
    // file size limit) is not seen by commit(), which would put the piece in place.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return ioFailure();
    }
    if (!file.commit())
        return ioFailure();
    return {true, 0, QString()};
}

WriteResult produce(const QString &path, const std::function<bool(const QString &temporaryFile)> &produce)
{
    if (path.isEmpty() || QFileInfo(path).isDir())
        return accessFailure();
    const QString target = finalFile(path);
    const QFileInfo info(target);

    QTemporaryFile beside(info.absolutePath() + QLatin1Char('/') + info.fileName() + QStringLiteral(".XXXXXX"));
    if (!beside.open()) {
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
    if (!produce(beside.fileName()))
        return ioFailure();
    if (::rename(QFile::encodeName(beside.fileName()).constData(), QFile::encodeName(target).constData()) != 0)
        return ioFailure();
    beside.setAutoRemove(false);
    return {true, 0, QString()};
}

} // namespace ModuleFile
