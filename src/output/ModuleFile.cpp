#include "ModuleFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace ModuleFile {

namespace {

WriteResult failure(qint64 number, const QString &description)
{
    return {false, number, description};
}

WriteResult openFailure(const QString &path)
{
    if (!QFileInfo(path).absoluteDir().exists())
        return failure(pathNotFoundError, QStringLiteral("Path not found"));
    return failure(pathFileAccessError, QStringLiteral("Path/File access error"));
}

} // namespace

WriteResult write(const QString &path, const QByteArray &bytes)
{
    if (path.isEmpty() || QFileInfo(path).isDir())
        return failure(pathFileAccessError, QStringLiteral("Path/File access error"));

    QSaveFile file(path);
    // Never fall back to writing into the target itself: that is what could leave half a
    // module in place of a good file.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return openFailure(path);
    // Flushed here: a write that fails only when the buffer goes out (a full disk, the
    // file size limit) is not seen by commit(), which would put the piece in place.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return failure(deviceIOError, QStringLiteral("Device I/O error"));
    }
    if (!file.commit())
        return failure(deviceIOError, QStringLiteral("Device I/O error"));
    return {true, 0, QString()};
}

} // namespace ModuleFile
