#pragma once

#include "PairMarks.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

// Finds which of many names occur in a file's bytes, in one pass over the bytes whatever
// the number of names. A name occurs when its bytes in the ANSI code page stand anywhere
// in the file, exactly, letter case included; occurrences may overlap or lie inside one
// another. An empty name occurs in every non-empty file; a null name, or one with a
// character the code page cannot write, occurs nowhere.
//
// How: every name of two bytes or more sits in a trie. A table of one byte for each of the
// 65536 pairs of bytes says whether the pair begins a name not yet found and whether it
// ends one; for a run of positions the pass marks both at once (see PairMarks), and looks
// closer only at a position whose pair begins a missing name and that has, as far on as
// one of that pair's name lengths, a pair that ends one: so neither text that only begins
// like many names nor text that only ends like them costs more than the marking. There
// it looks at the first three bytes, or four where no name is of two bytes (in a bitmap
// hashed from them, then in a 256-bit table of the pair's third bytes) and then walks the
// trie, only as long as a name below the node could end at one of those ending pairs;
// where one name is left below a node, the rest of its bytes are compared at once, and so
// are the labels of a run of nodes with one child each. A name found once is taken out of the tables, so the common names
// of a file cost nothing after their first sight. One-byte names are found by the set of bytes seen. A pass
// works on its own copy of the tables, made once and then reused: at the end of a pass
// only what it struck out is put back, so a small file costs no copy of the tables.
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

    // How far an occurrence reaches past its first byte: the longest name's bytes less
    // one. Two passes over bytes cut at a point find what one finds over all of them when
    // the first pass reads this far past the cut.
    qsizetype overlap() const { return m_lookahead; }

    // One pass over one file, fed in pieces of any size, in order. The matcher must
    // outlive the pass and stay unchanged during it.
    class Scan;

private:
    // What the pass needs to know about a pair of bytes that begins a name.
    struct Pair
    {
        std::int32_t node = -1;     // the trie node after the two bytes
        std::int32_t twoByte = -1;  // the pattern of exactly these two bytes, or -1
        std::array<std::uint64_t, 4> thirdBytes{}; // bytes that continue a missing name
        // Bit n: a name of n + 2 bytes begins with the pair; bit 63: one of 65 or more.
        std::uint64_t lengths = 0;
    };

    // Positions marked at once, and the bitmaps' words (the ends reach 63 positions on).
    static constexpr qsizetype blockPositions = 4096;
    static constexpr size_t blockWords = (blockPositions + 64) / 64 + 1;

    // The tables a pass strikes found names out of, and what it found (each long pattern
    // with its trie node, to put its entries back; one-byte patterns with node -1).
    struct Work
    {
        std::vector<std::uint8_t> pairFlags;
        std::vector<std::uint32_t> endingIn; // per pair: missing names that end with it
        std::vector<Pair> pairs;
        std::vector<std::uint32_t> pending;
        std::vector<std::uint8_t> found;
        std::vector<std::pair<std::int32_t, std::int32_t>> foundNodes;
    };
    // The tables of the last passes, put back as they were, for the next passes to take:
    // two, for the two halves of a file scanned at once.
    struct Spare
    {
        std::mutex mutex;
        std::array<std::unique_ptr<Work>, 2> works;
    };

public:
    class Scan
    {
    public:
        explicit Scan(const NameScanner &scanner);
        ~Scan();
        Q_DISABLE_COPY_MOVE(Scan)

        // The next bytes of the file.
        void feed(QByteArrayView bytes);
        // A piece of the file apart from the bytes fed before, for passes that share a
        // file's pieces among them, in any order: the names that begin at its first
        // `positions` bytes, which go on as far as a name can reach past them (overlap()
        // bytes more), or to the file's end. Not mixed with feed() in one pass.
        void feedPiece(QByteArrayView bytes, qsizetype positions);
        // The indices of the names that occur in all the bytes fed, ascending.
        QList<qsizetype> finish();
        // Gives the pass up without touching the matcher again, which may be gone by then:
        // its tables are dropped, not put back. Nothing may be called after it.
        void abandon();
        qint64 bytesFed() const { return m_fed; }

    private:
        void scanPositions(const unsigned char *data, qsizetype size, qsizetype end);
        void walk(const unsigned char *data, qsizetype size, qsizetype start, int node, std::uint64_t window);
        void markFound(int node, int pattern);
        void markSingles(QByteArrayView bytes);

        const NameScanner &m_scanner;
        std::shared_ptr<Spare> m_spare;
        std::unique_ptr<Work> m_work;
        std::array<std::uint64_t, blockWords> m_starts{};
        std::array<std::uint64_t, blockWords> m_ends{};
        qsizetype m_longPending = 0;
        qsizetype m_singlesPending = 0;
        QByteArray m_tail;
        qint64 m_fed = 0;
    };

private:
    static constexpr int neverFound = -1;
    static constexpr int emptyName = -2;

    int childOf(int node, unsigned char byte) const;
    // The pair of bytes that leads from the root to a node of depth two.
    unsigned pairOf(int node) const;

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
    std::vector<std::uint64_t> m_lengthsBelow;  // as Pair::lengths, for every node
    std::vector<std::int32_t> m_onlyBelow;      // the pattern, where it is the only one here or deeper; else -1
    std::vector<std::int32_t> m_someBelow;      // a pattern ending here or deeper
    // From a node of one child: how many nodes down the run of such nodes leads (its
    // inner nodes end no pattern), and the node it leads to; 0 for other nodes.
    std::vector<std::uint16_t> m_runLength;
    std::vector<std::int32_t> m_runEnd;
    std::vector<int> m_patternLength;
    // The bytes of each pattern, from m_patternStart[p] in m_patternBytes.
    std::vector<std::uint32_t> m_patternStart;
    std::vector<unsigned char> m_patternBytes;
    std::vector<std::uint16_t> m_lastPair;      // per pattern of two bytes or more
    // Per pattern of two bytes or more: the trie nodes of its first two and three bytes
    // (-1 for a pattern of two). Only their counts of missing names are kept as a pass
    // finds names: the ones that strike out pairs and third bytes. A deeper node keeps
    // its count, and the window of pairs that end missing names stops a walk there.
    std::vector<std::array<std::int32_t, 2>> m_prefixNodes;
    std::vector<std::uint16_t> m_pairIndex;     // where a pair's entry is in m_pairs
    // A bit for the first three bytes of each pattern (every third byte after a pattern of
    // two), at a place hashed from them: a start whose bit is clear begins no pattern.
    // Looked up from the bytes alone, it turns away most starts before their pair's entry
    // is read; never cleared, it stays true as names are found. Where no pattern is of two
    // bytes (the catalogue's), the first four bytes (every fourth after a pattern of
    // three): in text full of identifiers (a DLL's messages and symbols) far fewer starts
    // then reach the trie, whose walk costs a few reads of memory a byte.
    std::vector<std::uint64_t> m_firstBytes;
    bool m_firstFour = false;
    std::vector<Pair> m_pairs;
    std::vector<std::uint8_t> m_pairFlags;      // PairMarks::begins and ::ends, a byte a pair
    PairMarks::ByteRanges m_pairRanges;         // the values of the bytes of those pairs
    std::vector<std::uint32_t> m_endingIn;      // per pair: patterns that end with it
    // The names of each pattern, ascending: those of pattern p from m_namesOfStart[p] to
    // m_namesOfStart[p + 1] in m_namesOf; and the empty names.
    std::vector<std::uint32_t> m_namesOfStart;
    std::vector<qsizetype> m_namesOf;
    std::vector<qsizetype> m_emptyNames;
    std::shared_ptr<Spare> m_spare;
    bool m_prepared = false;
    // Bytes after a position that a match starting there can need.
    qsizetype m_lookahead = 0;
    // Some name is 66 bytes or more: its ending pair lies past the 64 positions from its
    // start whose ending pairs the pass checks in bulk.
    bool m_endsBeyondReach = false;
};
