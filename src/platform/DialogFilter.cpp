#include "DialogFilter.h"

#include <QStringList>

QString qtFileDialogFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts.at(i).trimmed();
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        entries << description + QLatin1String(" (") + patterns.simplified() + QLatin1Char(')');
    }
    return entries.join(QLatin1String(";;"));
}
