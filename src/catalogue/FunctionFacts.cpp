#include "FunctionFacts.h"

#include <QRegularExpression>
#include <QStringList>

namespace FunctionFacts {

namespace {

// The export a declaration calls: its Alias, else its name.
QString calledExport(const QString &declaration)
{
    static const QRegularExpression declare(QStringLiteral("Declare (?:PtrSafe )?(?:Function|Sub) (\\w+) Lib \"[^\"]*\"(?: Alias \"([^\"]+)\")?"));
    const QRegularExpressionMatch m = declare.match(declaration);
    if (!m.hasMatch())
        return {};
    return m.hasCaptured(2) ? m.captured(2) : m.captured(1);
}

} // namespace

bool onlyIn64Bits(const QString &vba7, const QString &classic)
{
    if (vba7.contains(QLatin1String("LongLong")))
        return true;
    // No classic form: the function is cdecl in 32 bits, which only 64-bit Basic calls.
    if (classic.isEmpty())
        return !vba7.isEmpty();
    const QString called = calledExport(vba7);
    return !called.isEmpty() && !classic.isEmpty() && called.compare(calledExport(classic), Qt::CaseInsensitive) != 0;
}

QString note(const CatalogueRecord &record, bool vba7Shown)
{
    QStringList parts;
    const QString &windows = record[CatalogueRecord::FirstWindows];
    if (!windows.isEmpty())
        parts << QStringLiteral("از ويندوز ") + windows;
    const QString &lastError = record[CatalogueRecord::LastDllError];
    if (lastError == QLatin1String("1"))
        parts << QStringLiteral("Err.LastDllError علت خطا را مي‌دهد");
    else if (lastError == QLatin1String("0"))
        parts << QStringLiteral("Err.LastDllError پس از آن معنايي ندارد");
    const QString &obsolete = record[CatalogueRecord::Obsolete];
    if (obsolete == QLatin1String("-"))
        parts << QStringLiteral("منسوخ");
    else if (!obsolete.isEmpty())
        parts << QStringLiteral("منسوخ؛ به جاي آن ") + QString(obsolete).replace(QLatin1String(", "), QStringLiteral("، "));
    if (vba7Shown && !record[CatalogueRecord::Vba7Declaration].isEmpty()
        && onlyIn64Bits(record[CatalogueRecord::Vba7Declaration], record[CatalogueRecord::Declaration]))
        parts << QStringLiteral("فقط براي Office 64 بيتي");
    return parts.join(QStringLiteral("؛ "));
}

} // namespace FunctionFacts
