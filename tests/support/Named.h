// A window's widget or menu entry, found by its object name as a test that must look at
// one finds it: windows keep their widgets to themselves.
#pragma once

#include <QObject>
#include <QTest>

template <class T>
T *named(const QObject *owner, const QString &name)
{
    T *found = owner ? owner->findChild<T *>(name) : nullptr;
    if (!found)
        qFatal("no %s named %s", T::staticMetaObject.className(), qPrintable(name));
    return found;
}
