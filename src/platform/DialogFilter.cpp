#include "DialogFilter.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

// The descriptions the program's filters are written with, as a Persian reader sees them.
struct Name
{
    QLatin1String written;
    QString shown;
};

const Name persianNames[] = {
    {QLatin1String("All Supported Files"), QStringLiteral("همه فايل هاي پشتيباني شده")},
    {QLatin1String("Executeble Files"), QStringLiteral("فايل هاي اجرايي")},
    {QLatin1String("ActiveX Files"), QStringLiteral("فايل هاي ActiveX")},
    {QLatin1String("Dynamic Linked Librery"), QStringLiteral("کتابخانه هاي پيوند پويا")},
    {QLatin1String("All Files"), QStringLiteral("همه فايل ها")},
    {QLatin1String("Module File"), QStringLiteral("فايل ماژول")},
    {QLatin1String("PDF"), QStringLiteral("سند PDF")},
};

// A left-to-right isolate before the pattern list keeps "(*.exe)" in its own order after
// a Persian description; it ends with the line, and the list still ends the entry, where
// the file dialog looks for it.
constexpr QChar leftToRightIsolate(0x2066);

QString shownDescription(const QString &description)
{
    static const QRegularExpression ownPatterns(QStringLiteral("\\s*\\([^()]*\\)$"));
    const QString bare = QString(description).remove(ownPatterns).trimmed();
    for (const Name &name : persianNames) {
        if (bare == name.written)
            return name.shown;
    }
    return bare;
}

} // namespace

QString qtFileDialogFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        entries << shownDescription(parts.at(i).trimmed()) + QLatin1Char(' ') + leftToRightIsolate + QLatin1Char('(')
                + patterns.simplified() + QLatin1Char(')');
    }
    return entries.join(QLatin1String(";;"));
}
