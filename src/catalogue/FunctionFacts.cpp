#include "FunctionFacts.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

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

// The Type blocks of a declaration: name -> the lines between "Type NAME" and "End Type".
QHash<QString, QStringList> typeBlocks(const QString &declaration)
{
    static const QRegularExpression block(QStringLiteral("(?:^|\r\n)(?:Private |Public )?Type (\\w+)\r\n(.*?)\r\nEnd Type"),
                                          QRegularExpression::DotMatchesEverythingOption);
    QHash<QString, QStringList> out;
    for (auto it = block.globalMatch(declaration); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out.insert(m.captured(1), m.captured(2).split(QStringLiteral("\r\n")));
    }
    return out;
}

struct TypeLayout
{
    qsizetype size = 0;
    qsizetype align = 1;
    QList<qsizetype> offsets;
    bool known = true;
};

// A Type as 32-bit Basic lays it out: each member at the next multiple of its alignment
// (its size, at most four; one for a fixed-length String; a Type's largest), arrays by
// their element, the whole rounded up to its largest alignment.
TypeLayout layout32(const QString &name, const QHash<QString, QStringList> &blocks, QHash<QString, TypeLayout> &done, int depth = 0)
{
    if (const auto it = done.constFind(name); it != done.cend())
        return *it;
    TypeLayout out;
    const auto block = blocks.constFind(name);
    if (block == blocks.cend() || depth > 16) {
        out.known = false;
        return out;
    }
    static const QHash<QString, qsizetype> sizes = {{"Byte", 1}, {"Integer", 2}, {"Boolean", 2}, {"Long", 4}, {"Single", 4},
                                                    {"LongPtr", 4}, {"String", 4}, {"Object", 4}, {"Double", 8},
                                                    {"Currency", 8}, {"Date", 8}, {"Variant", 16}};
    static const QRegularExpression member(QStringLiteral("^\\s*\\w+(?:\\((\\d+) To (\\d+)\\))? As (\\w+)(?: \\* (\\d+))?\\s*$"));
    qsizetype pos = 0;
    for (const QString &line : *block) {
        if (line.trimmed().isEmpty())
            continue;
        const QRegularExpressionMatch m = member.match(line);
        if (!m.hasMatch()) {
            out.known = false;
            break;
        }
        const qsizetype count = m.hasCaptured(1) ? m.captured(2).toLongLong() - m.captured(1).toLongLong() + 1 : 1;
        qsizetype size = 0, align = 1;
        if (m.hasCaptured(4)) {
            size = m.captured(4).toLongLong();
        } else if (const auto known = sizes.constFind(m.captured(3)); known != sizes.cend()) {
            size = *known;
            align = std::min<qsizetype>(size, 4);
        } else {
            const TypeLayout inner = layout32(m.captured(3), blocks, done, depth + 1);
            if (!inner.known) {
                out.known = false;
                break;
            }
            size = inner.size;
            align = inner.align;
        }
        pos = (pos + align - 1) / align * align;
        out.offsets << pos;
        pos += size * count;
        out.align = std::max(out.align, align);
    }
    out.size = (pos + out.align - 1) / out.align * out.align;
    done.insert(name, out);
    return out;
}

} // namespace

bool typesDifferIn32Bits(const QString &vba7, const QString &classic)
{
    const QHash<QString, QStringList> wide = typeBlocks(vba7), narrow = typeBlocks(classic);
    QHash<QString, TypeLayout> wideDone, narrowDone;
    for (auto it = wide.cbegin(); it != wide.cend(); ++it) {
        if (!narrow.contains(it.key()))
            continue;
        const TypeLayout a = layout32(it.key(), wide, wideDone), b = layout32(it.key(), narrow, narrowDone);
        if (!a.known || !b.known || a.size != b.size || a.offsets != b.offsets)
            return true;
    }
    return false;
}

bool onlyIn64Bits(const QString &vba7, const QString &classic)
{
    if (vba7.contains(QLatin1String("LongLong")))
        return true;
    // No classic form: cdecl in 32 bits, which only 64-bit Basic calls, or in a 64-bit
    // import library only.
    if (classic.isEmpty())
        return !vba7.isEmpty();
    const QString called = calledExport(vba7);
    if (!called.isEmpty() && called.compare(calledExport(classic), Qt::CaseInsensitive) != 0)
        return true;
    return typesDifferIn32Bits(vba7, classic);
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
