#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

// Finds which of many names occur in a file's bytes, in one pass over the bytes whatever
// the number of names. A name occurs when its bytes in the ANSI code page stand anywhere
// in the file, exactly, letter case included; occurrences may overlap or lie inside one
// another. An empty name occurs in every non-empty file; a null name, or one with a
// character the code page cannot write, occurs nowhere.
//
// How: every name of two bytes or more sits in a trie. The pairs of bytes that begin a
// name not yet found are kept in a bit table of 65536 bits, small enough to stay in the
// processor's fastest cache; the pass reads each pair of adjacent bytes and walks the trie
// only where the pair begins a name that is still missing. A name found once is taken out
// of the tables, so the common names of a file cost nothing after their first sight.
// One-byte names are found by the set of bytes seen.
class NameScanner
{
public:
    NameScanner() = default;
    explicit NameScanner(const QStringList &names);

    // Builds the matcher for the names, unless it already holds exactly these (so one
    // matcher serves every file of a run).
    void prepare(const QStringList &names);
    const QStringList &names() const { return m_names; }

    // The indices of the names that occur in the bytes, ascending.
    QList<qsizetype> scan(QByteArrayView content) const;

    // One pass over one file, fed in pieces of any size, in order. The matcher must
    // outlive the pass and stay unchanged during it.
    class Scan
    {
    public:
        explicit Scan(const NameScanner &scanner);
        Q_DISABLE_COPY_MOVE(Scan)

        // The next bytes of the file.
        void feed(QByteArrayView bytes);
        // The indices of the names that occur in all the bytes fed, ascending.
        QList<qsizetype> finish();
        qint64 bytesFed() const { return m_fed; }

    private:
        void scanPositions(const unsigned char *data, qsizetype size, qsizetype end);
        void walk(const unsigned char *data, qsizetype size, qsizetype position, unsigned pair);
        void markFound(int node);
        void markSingles(QByteArrayView bytes);

        const NameScanner &m_scanner;
        std::array<std::uint64_t, 1024> m_pairBits{};
        std::vector<std::uint32_t> m_pending;
        std::vector<bool> m_found;
        qsizetype m_longPending = 0;
        qsizetype m_singlesPending = 0;
        QByteArray m_tail;
        qint64 m_fed = 0;
    };

private:
    static constexpr int neverFound = -1;
    static constexpr int emptyName = -2;

    int childOf(int node, unsigned char byte) const;

    QStringList m_names;
    // Per name: its pattern (distinct byte strings), or neverFound, or emptyName.
    std::vector<int> m_namePattern;
    qsizetype m_patternCount = 0;
    // One-byte patterns by their byte; -1 where none.
    std::array<int, 256> m_singlePattern{};
    qsizetype m_singleCount = 0;
    qsizetype m_longCount = 0;
    // The trie of the longer patterns, numbered breadth first so that the children of a
    // node are neighbours, in byte order. Node 0 is the root.
    std::vector<std::int32_t> m_firstChild;
    std::vector<std::uint16_t> m_childCount;
    std::vector<unsigned char> m_label;
    std::vector<std::int32_t> m_parent;
    std::vector<std::int32_t> m_terminal;       // pattern that ends here, or -1
    std::vector<std::uint32_t> m_patternsBelow; // patterns ending here or deeper
    std::vector<std::int32_t> m_pairNode;       // node after the two bytes of a pair, or -1
    std::array<std::uint64_t, 1024> m_pairBits{};
    // Bytes after a position that a match starting there can need.
    qsizetype m_lookahead = 0;
};
