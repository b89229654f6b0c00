#include "InPlaceWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUuid>

namespace {

const QLatin1String newFileInfix(".new-");

} // namespace

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

QString newFileBeside(const QString &file)
{
    return file + newFileInfix + QUuid::createUuid().toString(QUuid::Id128);
}

void removeKilledSaves(const QString &file, const std::function<bool(const QString &leftover)> &isOwn)
{
    const QFileInfo info(file);
    const QDir folder = info.absoluteDir();
    const QRegularExpression ownName(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(info.fileName() + newFileInfix) + QStringLiteral("[0-9a-f]{32}")));
    const QStringList candidates = folder.entryList({info.fileName() + newFileInfix + QLatin1Char('*')},
                                                    QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &candidate : candidates) {
        const QString path = folder.filePath(candidate);
        const QFileInfo leftover(path);
        if (ownName.match(candidate).hasMatch() && !leftover.isSymLink() && leftover.isFile() && isOwn(path))
            QFile::remove(path);
    }
}
