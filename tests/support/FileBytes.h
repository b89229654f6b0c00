#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// The whole content of a file; "<none>" where it cannot be read (or is no file).
inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}
