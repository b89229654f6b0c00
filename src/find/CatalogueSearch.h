#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class Recordset;

// Finding functions by a text typed by the user, in their names or their descriptions.
namespace CatalogueSearch {

// The text as the description search compares it: lower-cased, the yehs (U+064A, U+06CC,
// U+0649) as U+064A, the kafs (U+0643, U+06A9) as U+06A9, without U+200C.
QString foldForDescription(const QString &text);

// The names and descriptions of one catalogue snapshot as the search compares them,
// prepared once at the first search of each kind instead of at every search.
class PreparedFields
{
public:
    // The lower-cased name (or, byDescription, the folded description) of every record
    // of the recordset, in record order.
    const std::vector<QString> &of(const Recordset &recordset, bool byDescription);

    // Takes the folded descriptions of a snapshot made elsewhere (see foldDescriptions),
    // so that not even the first search waits for them; dropped when the snapshot is not
    // the one searched now.
    void adoptDescriptions(quint64 snapshotId, qsizetype count, std::vector<QString> folded);

private:
    quint64 m_snapshotId = 0;
    qsizetype m_count = -1;
    std::vector<QString> m_prepared[2]; // names, descriptions
};

// The descriptions as the search compares them, in the same order: what
// PreparedFields::adoptDescriptions takes. Safe on any thread.
std::vector<QString> foldDescriptions(const QStringList &descriptions);

// Walks the shared recordset from its first record to its end and returns the name of
// every record whose name (or, byDescription, description) matches, in record order.
// A field matches when it holds the text, both lower-cased, anywhere. An empty or null
// field never matches, not even the empty text; the empty text matches every other
// field. By description the Persian letter variants that keyboards and older texts mix
// are treated as one and the zero-width non-joiner is ignored, on both sides.
// `kept` keeps the prepared fields between searches; without it they are prepared anew.
QStringList findNames(Recordset &recordset, const QString &text, bool byDescription,
                      PreparedFields *kept = nullptr);
// The same search, giving the record positions (1-based) of the matches in record order.
std::vector<qsizetype> findPositions(Recordset &recordset, const QString &text, bool byDescription,
                                     PreparedFields *kept = nullptr);

} // namespace CatalogueSearch
