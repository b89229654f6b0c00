#include "InPlaceWrite.h"

#include <QFile>
#include <QFileInfo>

bool rewriteInPlace(const QString &file, const QByteArray &bytes)
{
    QFile target(file);
    if (!QFileInfo(file).isFile() || !target.open(QIODevice::ReadWrite))
        return false;
    const QByteArray old = target.readAll();
    if (target.seek(0) && target.write(bytes) == bytes.size() && target.flush() && target.resize(bytes.size()))
        return true;
    target.seek(0);
    target.write(old);
    target.flush();
    target.resize(old.size());
    return false;
}
