#include "CatalogueSearch.h"

#include "catalogue/Recordset.h"

namespace {

constexpr char16_t arabicYeh = 0x064A;
constexpr char16_t farsiYeh = 0x06CC;
constexpr char16_t alefMaksura = 0x0649;
constexpr char16_t arabicKaf = 0x0643;
constexpr char16_t keheh = 0x06A9;
constexpr char16_t zeroWidthNonJoiner = 0x200C;

} // namespace

namespace CatalogueSearch {

QString foldForDescription(const QString &text)
{
    const QString lowered = text.toLower();
    QString folded;
    folded.reserve(lowered.size());
    for (const QChar c : lowered) {
        switch (c.unicode()) {
        case zeroWidthNonJoiner:
            break;
        case farsiYeh:
        case alefMaksura:
            folded.append(QChar(arabicYeh));
            break;
        case arabicKaf:
            folded.append(QChar(keheh));
            break;
        default:
            folded.append(c);
        }
    }
    return folded;
}

bool matches(const QString &field, const QString &text, bool byDescription)
{
    // A field without text holds no occurrence of anything, the empty text included.
    if (field.isEmpty())
        return false;
    // Every text holds the empty text, at its first character.
    if (text.isEmpty())
        return true;
    if (byDescription)
        return foldForDescription(field).contains(foldForDescription(text));
    return field.toLower().contains(text.toLower());
}

QStringList findNames(Recordset &recordset, const QString &text, bool byDescription)
{
    // Lowering the text once instead of once per record gives the same comparison.
    const int searched = byDescription ? CatalogueRecord::Description : CatalogueRecord::FunctionName;
    const QString wanted = byDescription ? foldForDescription(text) : text.toLower();
    QStringList names;
    recordset.MoveFirst();
    while (!recordset.atEOF()) {
        const CatalogueRecord *record = recordset.current();
        if (!record)
            break;
        const QString &field = (*record)[searched];
        bool found = false;
        if (!field.isEmpty()) {
            if (text.isEmpty())
                found = true;
            else
                found = (byDescription ? foldForDescription(field) : field.toLower()).contains(wanted);
        }
        if (found)
            names.append((*record)[CatalogueRecord::FunctionName]);
        recordset.MoveNext();
    }
    return names;
}

} // namespace CatalogueSearch
