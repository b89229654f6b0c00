#pragma once

#include "DescriptionQuery.h"

#include <QString>
#include <QStringList>

#include <vector>

class Recordset;

// Finding functions by a text typed by the user, in their names or their descriptions.
namespace CatalogueSearch {

// The names and descriptions of one catalogue snapshot as the search compares them,
// prepared once at the first search of each kind instead of at every search.
class PreparedFields
{
public:
    // The lower-cased name of every record of the recordset, in record order.
    const std::vector<QString> &names(const Recordset &recordset);
    // The folded descriptions of every record, in record order.
    const FoldedDescriptions &descriptions(const Recordset &recordset);
    // Every record's place in the alphabetical order of the names, by record position - 1.
    const std::vector<int> &ranks(const Recordset &recordset);

    // Takes the folded descriptions of a snapshot made elsewhere (see foldDescriptions),
    // so that not even the first search waits for them; dropped when the snapshot is not
    // the one searched now.
    void adoptDescriptions(quint64 snapshotId, qsizetype count, FoldedDescriptions folded);

private:
    void forget(quint64 snapshotId, qsizetype count);

    quint64 m_snapshotId = 0;
    qsizetype m_count = -1;
    std::vector<QString> m_names;
    FoldedDescriptions m_descriptions;
    bool m_descriptionsMade = false;
    std::vector<int> m_ranks;
};

// The descriptions as the search compares them, in the same order: what
// PreparedFields::adoptDescriptions takes. Safe on any thread.
FoldedDescriptions foldDescriptions(const QStringList &descriptions);

// The alphabetical order of function names: letter case aside, then by letter case.
bool nameBefore(const QString &a, const QString &b);

// Walks the shared recordset from its first record to its end and returns the name of
// every record whose name (or, byDescription, description) matches, best first.
//
// By name: the name holds the text, both lower-cased, anywhere; the name equal to the
// text comes first, then the names that start with it, then the rest.
// By description: as DescriptionQuery says; the functions whose name says it too come
// first, then those whose first sentence does, then the rest.
// Alphabetical within each group. An empty or null field never matches, not even the
// empty text; the empty text matches every other field.
// `kept` keeps the prepared fields between searches; without it they are prepared anew.
QStringList findNames(Recordset &recordset, const QString &text, bool byDescription,
                      PreparedFields *kept = nullptr);

} // namespace CatalogueSearch
