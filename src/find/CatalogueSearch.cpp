#include "CatalogueSearch.h"

#include "catalogue/Recordset.h"

#include <QStringMatcher>

#include <utility>

namespace {

constexpr char16_t arabicYeh = 0x064A;
constexpr char16_t farsiYeh = 0x06CC;
constexpr char16_t alefMaksura = 0x0649;
constexpr char16_t arabicKaf = 0x0643;
constexpr char16_t keheh = 0x06A9;
constexpr char16_t zeroWidthNonJoiner = 0x200C;

// The text in the form that the search compares: folded for descriptions, lower-cased
// for names.
QString prepared(const QString &text, bool byDescription)
{
    return byDescription ? CatalogueSearch::foldForDescription(text) : text.toLower();
}

// The one rule, on a field and a text already prepared alike (the text as a matcher, so
// that its skip table is made once for a whole search).
bool preparedMatches(bool fieldEmpty, const QString &field, const QStringMatcher &text)
{
    // A field without text holds no occurrence of anything, the empty text included;
    // every other field holds the empty text, at its first character.
    return !fieldEmpty && (text.pattern().isEmpty() || text.indexIn(field) >= 0);
}

} // namespace

namespace CatalogueSearch {

QString foldForDescription(const QString &text)
{
    QString folded = text.toLower();
    // In place: the letters replaced are single UTF-16 units, and dropping the
    // non-joiners only ever shortens the text.
    QChar *out = folded.data();
    for (const QChar c : std::as_const(folded)) {
        switch (c.unicode()) {
        case zeroWidthNonJoiner:
            continue;
        case farsiYeh:
        case alefMaksura:
            *out++ = QChar(arabicYeh);
            break;
        case arabicKaf:
            *out++ = QChar(keheh);
            break;
        default:
            *out++ = c;
        }
    }
    folded.truncate(out - folded.constData());
    return folded;
}

const std::vector<QString> &FoldedDescriptions::of(const Recordset &recordset)
{
    if (m_snapshotId != recordset.snapshotId() || m_count != recordset.RecordCount()) {
        m_folded.clear();
        m_folded.reserve(static_cast<size_t>(recordset.RecordCount()));
        for (qsizetype position = 1; position <= recordset.RecordCount(); ++position)
            m_folded.push_back(foldForDescription(recordset.at(position)[CatalogueRecord::Description]));
        m_snapshotId = recordset.snapshotId();
        m_count = recordset.RecordCount();
    }
    return m_folded;
}

QStringList findNames(Recordset &recordset, const QString &text, bool byDescription, FoldedDescriptions *folds)
{
    // Preparing the text once instead of once per record gives the same comparison.
    const int searched = byDescription ? CatalogueRecord::Description : CatalogueRecord::FunctionName;
    const QStringMatcher wanted(prepared(text, byDescription));
    const std::vector<QString> *folded = byDescription && folds ? &folds->of(recordset) : nullptr;
    QStringList names;
    recordset.MoveFirst();
    while (!recordset.atEOF()) {
        const CatalogueRecord *record = recordset.current();
        if (!record)
            break;
        const QString &field = (*record)[searched];
        const bool found = folded
            ? preparedMatches(field.isEmpty(), (*folded)[static_cast<size_t>(recordset.AbsolutePosition() - 1)], wanted)
            : preparedMatches(field.isEmpty(), field.isEmpty() ? field : prepared(field, byDescription), wanted);
        if (found)
            names.append((*record)[CatalogueRecord::FunctionName]);
        recordset.MoveNext();
    }
    return names;
}

} // namespace CatalogueSearch
