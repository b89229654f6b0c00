#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <vector>

class SearchWords;

// Every description of a catalogue folded (SearchFold::text) and written one after the
// other, each ended by U+0000, with where each starts and where its first sentence ends:
// searched in one pass instead of ten thousand.
struct FoldedDescriptions
{
    QString text;
    std::vector<qsizetype> starts;
    std::vector<qsizetype> firstSentenceEnds;

    // The descriptions folded and joined, in their order. Safe on any thread.
    static FoldedDescriptions of(const QStringList &descriptions);
    // The folded description at the index.
    QStringView at(size_t index) const;
};

// What the user typed into the description search, taken apart once for a whole search.
//
// Words are separated by blanks or zero-width non-joiners; every word must occur, in any
// order. A Persian word occurs as a whole word of the description, alone or with endings
// (ها, هاي, ي, تر, ...), never as the start or the end of another word; a Latin word, a
// number or a sign occurs anywhere (as a name does, "Err.LastDllError" in a sentence).
// A word of a group of variants also occurs as any of the group's forms. Two words in a
// row also occur written as one ("بيت مپ" finds "بيتمپ"); an ending typed as a word of
// its own belongs to the word before it. Text in quotes ("...", «...») is a phrase: its
// words in that order, next to each other. Of a pasted page only the first 64 different
// words (or phrases) count.
class DescriptionQuery
{
public:
    explicit DescriptionQuery(const QString &typed);
    DescriptionQuery(const QString &typed, const SearchWords &words);

    // Where a description that matches matched, in the order the results are listed.
    enum class Place { Name, FirstSentence, Elsewhere };

    // Nothing but blanks and quotes: every description matches.
    bool isEmpty() const { return m_units.empty(); }

    // Whether the description (folded with SearchFold::text) matches, and where: Name when
    // the function's name says it too (every word has a Latin form of its group, or is
    // Latin, and a word of the name starts with one of them), FirstSentence when its first sentence holds
    // every word; nothing when it does not match. An empty query matches Elsewhere.
    std::optional<Place> match(QStringView folded, QStringView name) const;

    // The same for every description at once, by position in `all`: -1 where it does not
    // match, else Place::FirstSentence or Place::Elsewhere; whether the name says it too
    // is nameSays'.
    std::vector<signed char> matchAll(const FoldedDescriptions &all) const;
    bool nameSays(QStringView name) const;

private:
    struct Term
    {
        QStringList parts; // next to each other, a blank or nothing between
        bool wholeStart = false;
        bool wholeEnd = false;
    };
    struct Unit
    {
        QStringList parts; // the word, then an ending typed apart; or a phrase
        bool phrase = false;
        std::vector<Term> terms; // any of them will do
        QStringList nameForms;
    };

    Term term(const QStringList &parts) const;
    void addTerms(Unit &unit, const QStringList &head, const QStringList &tail) const;
    // Where the term's hit at `at` ends, or -1 when it is no hit there.
    qsizetype hitEnd(const Term &term, QStringView text, qsizetype at) const;
    qsizetype firstHit(const Term &term, QStringView text) const;
    bool anyHit(const std::vector<Term> &terms, QStringView text) const;
    bool matches(QStringView text) const;

    const SearchWords &m_words;
    std::vector<Unit> m_units;
    std::vector<std::vector<Term>> m_pairs; // [i]: units i and i + 1 written as one
};
