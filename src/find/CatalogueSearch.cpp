#include "CatalogueSearch.h"

#include "DescriptionQuery.h"
#include "SearchFold.h"
#include "catalogue/Recordset.h"

#include <QStringMatcher>

#include <numeric>
#include <optional>
#include <utility>

namespace {

// The text in the form that the search compares: folded for descriptions, lower-cased
// for names.
QString prepared(const QString &text, bool byDescription)
{
    return byDescription ? SearchFold::text(text) : text.toLower();
}

struct Found
{
    int group;
    qsizetype position; // 1-based
    QString name;
};

} // namespace

namespace CatalogueSearch {

bool nameBefore(const QString &a, const QString &b)
{
    const int c = QString::compare(a, b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
}

void PreparedFields::forget(quint64 snapshotId, qsizetype count)
{
    if (m_snapshotId == snapshotId && m_count == count)
        return;
    for (std::vector<QString> &fields : m_prepared)
        fields.clear();
    m_ranks.clear();
    m_snapshotId = snapshotId;
    m_count = count;
}

const std::vector<QString> &PreparedFields::of(const Recordset &recordset, bool byDescription)
{
    forget(recordset.snapshotId(), recordset.RecordCount());
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

const std::vector<int> &PreparedFields::ranks(const Recordset &recordset)
{
    forget(recordset.snapshotId(), recordset.RecordCount());
    if (m_ranks.empty() && m_count > 0) {
        const auto nameAt = [&recordset](int i) -> const QString & {
            return recordset.at(i + 1)[CatalogueRecord::FunctionName];
        };
        std::vector<int> order(static_cast<size_t>(m_count));
        std::iota(order.begin(), order.end(), 0);
        // The shipped catalogue is written in name order: then nothing needs sorting.
        bool sorted = true;
        for (int i = 1; sorted && i < static_cast<int>(m_count); ++i)
            sorted = !nameBefore(nameAt(i), nameAt(i - 1));
        if (!sorted)
            std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return nameBefore(nameAt(a), nameAt(b)); });
        m_ranks.resize(order.size());
        for (size_t rank = 0; rank < order.size(); ++rank)
            m_ranks[static_cast<size_t>(order[rank])] = static_cast<int>(rank);
    }
    return m_ranks;
}

void PreparedFields::adoptDescriptions(quint64 snapshotId, qsizetype count, std::vector<QString> folded)
{
    forget(snapshotId, count);
    if (static_cast<qsizetype>(folded.size()) == count)
        m_prepared[1] = std::move(folded);
}

std::vector<QString> foldDescriptions(const QStringList &descriptions)
{
    std::vector<QString> folded;
    folded.reserve(static_cast<size_t>(descriptions.size()));
    for (const QString &description : descriptions)
        folded.push_back(SearchFold::text(description));
    return folded;
}

QStringList findNames(Recordset &recordset, const QString &text, bool byDescription, PreparedFields *kept)
{
    const int searched = byDescription ? CatalogueRecord::Description : CatalogueRecord::FunctionName;
    const std::vector<QString> *fields = kept ? &kept->of(recordset, byDescription) : nullptr;
    std::optional<DescriptionQuery> query;
    if (byDescription)
        query.emplace(text);
    const QString lowered = text.toLower();
    const QStringMatcher wanted(lowered);

    std::vector<Found> found;
    recordset.MoveFirst();
    while (!recordset.atEOF()) {
        const CatalogueRecord *record = recordset.current();
        if (!record)
            break;
        const QString &field = (*record)[searched];
        // A field without text holds no occurrence of anything, the empty text included.
        if (!field.isEmpty()) {
            const qsizetype position = recordset.AbsolutePosition();
            const QString anew = fields ? QString() : prepared(field, byDescription);
            const QString &compared = fields ? (*fields)[static_cast<size_t>(position - 1)] : anew;
            const QString &name = (*record)[CatalogueRecord::FunctionName];
            if (query) {
                if (const auto place = query->match(compared, name))
                    found.push_back({static_cast<int>(*place), position, name});
            } else if (lowered.isEmpty() || wanted.indexIn(compared) >= 0) {
                const int group = compared == lowered ? 0 : compared.startsWith(lowered) ? 1 : 2;
                found.push_back({group, position, name});
            }
        }
        recordset.MoveNext();
    }

    if (kept) {
        const std::vector<int> &ranks = kept->ranks(recordset);
        std::sort(found.begin(), found.end(), [&ranks](const Found &a, const Found &b) {
            return a.group != b.group ? a.group < b.group
                                      : ranks[static_cast<size_t>(a.position - 1)] < ranks[static_cast<size_t>(b.position - 1)];
        });
    } else {
        std::stable_sort(found.begin(), found.end(), [](const Found &a, const Found &b) {
            return a.group != b.group ? a.group < b.group : nameBefore(a.name, b.name);
        });
    }
    QStringList names;
    names.reserve(static_cast<qsizetype>(found.size()));
    for (Found &f : found)
        names.append(std::move(f.name));
    return names;
}

} // namespace CatalogueSearch
