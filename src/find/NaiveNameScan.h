#pragma once

#include <QByteArrayView>
#include <QList>
#include <QStringList>

// The plain way to find which names occur in a file's content: one full search of the
// content per name. It is what NameScanner must agree with, name for name; tests and the
// benchmark compare the two.
namespace NaiveNameScan {

// The indices of the names that occur in the content, ascending (rules as NameScanner's).
QList<qsizetype> scan(const QStringList &names, QByteArrayView content);

// Whether one name occurs in the content.
bool occurs(const QString &name, QByteArrayView content);

} // namespace NaiveNameScan
