#include "CatalogueSearch.h"

#include "DescriptionQuery.h"
#include "SearchFold.h"
#include "catalogue/Recordset.h"

#include <QStringMatcher>

#include <numeric>
#include <optional>
#include <utility>

namespace {

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
    m_names.clear();
    m_descriptions = {};
    m_descriptionsMade = false;
    m_ranks.clear();
    m_snapshotId = snapshotId;
    m_count = count;
}

const std::vector<QString> &PreparedFields::names(const Recordset &recordset)
{
    forget(recordset.snapshotId(), recordset.RecordCount());
    // An empty catalogue has nothing to prepare: an empty list is as good as made.
    if (m_names.empty()) {
        m_names.reserve(static_cast<size_t>(m_count));
        for (qsizetype position = 1; position <= m_count; ++position)
            m_names.push_back(recordset.at(position)[CatalogueRecord::FunctionName].toLower());
    }
    return m_names;
}

const FoldedDescriptions &PreparedFields::descriptions(const Recordset &recordset)
{
    forget(recordset.snapshotId(), recordset.RecordCount());
    if (!m_descriptionsMade) {
        QStringList all;
        all.reserve(m_count);
        for (qsizetype position = 1; position <= m_count; ++position)
            all.append(recordset.at(position)[CatalogueRecord::Description]);
        m_descriptions = foldDescriptions(all);
        m_descriptionsMade = true;
    }
    return m_descriptions;
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

void PreparedFields::adoptDescriptions(quint64 snapshotId, qsizetype count, FoldedDescriptions folded)
{
    forget(snapshotId, count);
    if (static_cast<qsizetype>(folded.starts.size()) == count) {
        m_descriptions = std::move(folded);
        m_descriptionsMade = true;
    }
}

FoldedDescriptions foldDescriptions(const QStringList &descriptions)
{
    return FoldedDescriptions::of(descriptions);
}

QStringList findNames(Recordset &recordset, const QString &text, bool byDescription, PreparedFields *kept)
{
    const int searched = byDescription ? CatalogueRecord::Description : CatalogueRecord::FunctionName;
    const std::vector<QString> *lowerNames = kept && !byDescription ? &kept->names(recordset) : nullptr;
    std::optional<DescriptionQuery> query;
    if (byDescription)
        query.emplace(text);
    const QString lowered = text.toLower();
    const QStringMatcher wanted(lowered);
    // With the descriptions kept, every description is matched in one pass first.
    std::vector<signed char> places;
    if (query && kept)
        places = query->matchAll(kept->descriptions(recordset));

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
            const QString &name = (*record)[CatalogueRecord::FunctionName];
            if (query && kept) {
                const signed char place = places[static_cast<size_t>(position - 1)];
                if (place >= 0)
                    found.push_back({query->nameSays(name) ? int(DescriptionQuery::Place::Name) : place, position, name});
            } else if (query) {
                if (const auto place = query->match(SearchFold::text(field), name))
                    found.push_back({static_cast<int>(*place), position, name});
            } else if (const QString &compared = lowerNames ? (*lowerNames)[static_cast<size_t>(position - 1)] : field.toLower();
                       lowered.isEmpty() || wanted.indexIn(compared) >= 0) {
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
