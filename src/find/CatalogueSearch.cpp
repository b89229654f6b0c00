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

const std::vector<QString> &PreparedFields::of(const Recordset &recordset, bool byDescription)
{
    if (m_snapshotId != recordset.snapshotId() || m_count != recordset.RecordCount()) {
        for (std::vector<QString> &fields : m_prepared)
            fields.clear();
        m_snapshotId = recordset.snapshotId();
        m_count = recordset.RecordCount();
    }
    std::vector<QString> &fields = m_prepared[byDescription ? 1 : 0];
    // An empty catalogue has nothing to prepare: an empty list is as good as made.
    if (fields.empty()) {
        const int searched = byDescription ? CatalogueRecord::Description : CatalogueRecord::FunctionName;
        fields.reserve(static_cast<size_t>(m_count));
        for (qsizetype position = 1; position <= m_count; ++position)
            fields.push_back(prepared(recordset.at(position)[searched], byDescription));
    }
    return fields;
}

void PreparedFields::adoptDescriptions(quint64 snapshotId, qsizetype count, std::vector<QString> folded)
{
    if (m_snapshotId != snapshotId || m_count != count) {
        for (std::vector<QString> &fields : m_prepared)
            fields.clear();
        m_snapshotId = snapshotId;
        m_count = count;
    }
    if (static_cast<qsizetype>(folded.size()) == count)
        m_prepared[1] = std::move(folded);
}

std::vector<QString> foldDescriptions(const QStringList &descriptions)
{
    std::vector<QString> folded;
    folded.reserve(static_cast<size_t>(descriptions.size()));
    for (const QString &description : descriptions)
        folded.push_back(foldForDescription(description));
    return folded;
}

std::vector<qsizetype> findPositions(Recordset &recordset, const QString &text, bool byDescription,
                                     PreparedFields *kept)
{
    // Preparing the text once instead of once per record gives the same comparison.
    const int searched = byDescription ? CatalogueRecord::Description : CatalogueRecord::FunctionName;
    const QStringMatcher wanted(prepared(text, byDescription));
    const std::vector<QString> *fields = kept ? &kept->of(recordset, byDescription) : nullptr;
    std::vector<qsizetype> positions;
    recordset.MoveFirst();
    while (!recordset.atEOF()) {
        const CatalogueRecord *record = recordset.current();
        if (!record)
            break;
        const QString &field = (*record)[searched];
        const qsizetype position = recordset.AbsolutePosition();
        const bool found = fields
            ? preparedMatches(field.isEmpty(), (*fields)[static_cast<size_t>(position - 1)], wanted)
            : preparedMatches(field.isEmpty(), field.isEmpty() ? field : prepared(field, byDescription), wanted);
        if (found)
            positions.push_back(position);
        recordset.MoveNext();
    }
    return positions;
}

QStringList findNames(Recordset &recordset, const QString &text, bool byDescription, PreparedFields *kept)
{
    QStringList names;
    for (const qsizetype position : findPositions(recordset, text, byDescription, kept))
        names.append(recordset.at(position)[CatalogueRecord::FunctionName]);
    return names;
}

} // namespace CatalogueSearch
