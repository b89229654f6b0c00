#include "NameScanner.h"

#include "PairMarks.h"
#include "platform/Windows1256.h"

#include <QHash>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

namespace {

// Whether n bytes at a and b are the same: eight at a time, the last eight read ending
// with the last byte, so that nothing past either is read. The rest of a name is mostly
// a few bytes to a few dozen, which a call to the library's comparison costs more than.
bool sameBytes(const unsigned char *a, const unsigned char *b, qsizetype n)
{
    const auto eight = [](const unsigned char *at) {
        std::uint64_t value;
        std::memcpy(&value, at, sizeof value);
        return value;
    };
    if (n < 8) {
        for (qsizetype i = 0; i < n; ++i) {
            if (a[i] != b[i])
                return false;
        }
        return true;
    }
    for (qsizetype i = 0; i + 8 < n; i += 8) {
        if (eight(a + i) != eight(b + i))
            return false;
    }
    return eight(a + n - 8) == eight(b + n - 8);
}

unsigned pairKey(unsigned char first, unsigned char second)
{
    return first | (unsigned(second) << 8);
}

// The bits of NameScanner::m_firstBytes (32 KB, most of it in the processor's nearest
// cache), and where the first three or four bytes fall in it: their bits spread by a
// multiplication.
constexpr int firstBytesBits = 18;
unsigned firstBytesBit(std::uint32_t bytes)
{
    return (bytes * 0x9E3779B1u) >> (32 - firstBytesBits);
}
unsigned tripleBit(unsigned char first, unsigned char second, unsigned char third)
{
    return firstBytesBit(first | unsigned(second) << 8 | unsigned(third) << 16);
}
// The four bytes from `at`, the first the lowest.
std::uint32_t fourBytesAt(const unsigned char *at)
{
    return at[0] | unsigned(at[1]) << 8 | unsigned(at[2]) << 16 | std::uint32_t(at[3]) << 24;
}

} // namespace

NameScanner::NameScanner(const QStringList &names)
{
    prepare(names);
}

void NameScanner::prepare(const QStringList &names)
{
    if (m_prepared) {
        // A null name and an empty one compare equal as strings but are found differently.
        bool same = names.size() == m_names.size();
        for (qsizetype i = 0; same && i < names.size(); ++i)
            same = names[i].isNull() == m_names[i].isNull() && names[i] == m_names[i];
        if (same)
            return;
    }

    m_prepared = true;
    m_names = names;
    m_namePattern.assign(static_cast<size_t>(names.size()), neverFound);
    m_singlePattern.fill(-1);
    m_singleCount = 0;
    m_longCount = 0;
    m_lookahead = 0;
    m_endsBeyondReach = false;

    // Distinct byte strings; two records of one name share a pattern.
    QHash<QByteArray, int> patternOf;
    std::vector<QByteArray> patterns;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString &name = names[i];
        if (name.isNull())
            continue;
        if (name.isEmpty()) {
            m_namePattern[static_cast<size_t>(i)] = emptyName;
            continue;
        }
        const std::optional<QByteArray> bytes = Windows1256::encodeStrict(name);
        if (!bytes)
            continue;
        auto it = patternOf.constFind(*bytes);
        if (it == patternOf.constEnd()) {
            it = patternOf.insert(*bytes, static_cast<int>(patterns.size()));
            patterns.push_back(*bytes);
        }
        m_namePattern[static_cast<size_t>(i)] = *it;
    }
    m_patternCount = static_cast<qsizetype>(patterns.size());
    m_namesOfStart.assign(patterns.size() + 1, 0);
    m_emptyNames.clear();
    for (qsizetype i = 0; i < names.size(); ++i) {
        const int pattern = m_namePattern[static_cast<size_t>(i)];
        if (pattern >= 0)
            ++m_namesOfStart[static_cast<size_t>(pattern) + 1];
        else if (pattern == emptyName)
            m_emptyNames.push_back(i);
    }
    for (size_t p = 0; p < patterns.size(); ++p)
        m_namesOfStart[p + 1] += m_namesOfStart[p];
    m_namesOf.assign(static_cast<size_t>(m_namesOfStart.back()), 0);
    {
        std::vector<std::uint32_t> next(m_namesOfStart.begin(), m_namesOfStart.end() - 1);
        for (qsizetype i = 0; i < names.size(); ++i) {
            const int pattern = m_namePattern[static_cast<size_t>(i)];
            if (pattern >= 0)
                m_namesOf[next[static_cast<size_t>(pattern)]++] = i;
        }
    }
    // A pass that is still running holds the old spare tables; they never come back here.
    m_spare = std::make_shared<Spare>();
    m_patternLength.clear();
    m_patternStart.clear();
    m_patternBytes.clear();
    m_lastPair.clear();
    m_pairFlags.assign(static_cast<size_t>(PairMarks::tableBytes), 0);
    m_endingIn.assign(65536, 0);
    m_firstBytes.assign((size_t(1) << firstBytesBits) / 64, 0);
    m_firstFour = std::none_of(patterns.begin(), patterns.end(), [](const QByteArray &bytes) { return bytes.size() == 2; });
    const auto setFirstBytes = [this](std::uint32_t bytes) {
        const unsigned bit = firstBytesBit(bytes);
        m_firstBytes[bit / 64] |= std::uint64_t(1) << (bit % 64);
    };
    for (const QByteArray &bytes : patterns) {
        m_patternLength.push_back(static_cast<int>(bytes.size()));
        m_patternStart.push_back(static_cast<std::uint32_t>(m_patternBytes.size()));
        m_patternBytes.insert(m_patternBytes.end(), bytes.begin(), bytes.end());
        const qsizetype n = bytes.size();
        const unsigned last = n < 2 ? 0 : pairKey(static_cast<unsigned char>(bytes[n - 2]), static_cast<unsigned char>(bytes[n - 1]));
        m_lastPair.push_back(static_cast<std::uint16_t>(last));
        if (n >= 2) {
            ++m_endingIn[last];
            PairMarks::set(m_pairFlags.data(), last, PairMarks::ends);
        }
        // A name shorter than the bytes the bitmap takes stands for every byte after it.
        const auto byte = [&bytes](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
        for (unsigned third = 0; n == 2 && third < 256; ++third)
            setFirstBytes(byte(0) | unsigned(byte(1)) << 8 | third << 16);
        if (n > 2 && !m_firstFour)
            setFirstBytes(byte(0) | unsigned(byte(1)) << 8 | unsigned(byte(2)) << 16);
        const std::uint32_t three = n > 2 ? byte(0) | unsigned(byte(1)) << 8 | unsigned(byte(2)) << 16 : 0;
        for (unsigned fourth = 0; m_firstFour && n == 3 && fourth < 256; ++fourth)
            setFirstBytes(three | fourth << 24);
        if (m_firstFour && n > 3)
            setFirstBytes(three | std::uint32_t(byte(3)) << 24);
    }

    // The trie, numbered breadth first: level by level, the distinct prefixes of the
    // sorted patterns, so that the children of a node are neighbours in byte order.
    std::vector<int> sorted; // the patterns of two bytes or more, in byte order
    for (size_t p = 0; p < patterns.size(); ++p) {
        const QByteArray &bytes = patterns[p];
        if (bytes.size() == 1) {
            m_singlePattern[static_cast<unsigned char>(bytes[0])] = static_cast<int>(p);
            ++m_singleCount;
            continue;
        }
        ++m_longCount;
        m_lookahead = std::max(m_lookahead, bytes.size() - 1);
        m_endsBeyondReach = m_endsBeyondReach || bytes.size() > 65;
        sorted.push_back(static_cast<int>(p));
    }
    std::sort(sorted.begin(), sorted.end(), [&patterns](int a, int b) {
        return std::string_view(patterns[static_cast<size_t>(a)].constData(), static_cast<size_t>(patterns[static_cast<size_t>(a)].size()))
             < std::string_view(patterns[static_cast<size_t>(b)].constData(), static_cast<size_t>(patterns[static_cast<size_t>(b)].size()));
    });

    m_firstChild.assign(1, 0);
    m_childCount.assign(1, 0);
    m_label.assign(1, 0);
    m_parent.assign(1, -1);
    m_terminal.assign(1, -1);
    std::vector<std::int32_t> nodeOf(sorted.size(), 0); // each pattern's node at this depth
    std::vector<int> aliveAt(sorted.size());
    for (size_t i = 0; i < sorted.size(); ++i)
        aliveAt[i] = static_cast<int>(i);
    for (qsizetype depth = 0; !aliveAt.empty(); ++depth) {
        std::int32_t lastNode = -1;
        std::vector<int> longer;
        for (const int i : aliveAt) {
            const QByteArray &bytes = patterns[static_cast<size_t>(sorted[static_cast<size_t>(i)])];
            const auto byte = static_cast<unsigned char>(bytes[depth]);
            const std::int32_t parent = nodeOf[static_cast<size_t>(i)];
            if (lastNode < 0 || m_parent[static_cast<size_t>(lastNode)] != parent || m_label[static_cast<size_t>(lastNode)] != byte) {
                lastNode = static_cast<std::int32_t>(m_label.size());
                if (m_childCount[static_cast<size_t>(parent)]++ == 0)
                    m_firstChild[static_cast<size_t>(parent)] = lastNode;
                m_firstChild.push_back(0);
                m_childCount.push_back(0);
                m_label.push_back(byte);
                m_parent.push_back(parent);
                m_terminal.push_back(-1);
            }
            nodeOf[static_cast<size_t>(i)] = lastNode;
            if (bytes.size() == depth + 1)
                m_terminal[static_cast<size_t>(lastNode)] = sorted[static_cast<size_t>(i)];
            else
                longer.push_back(i);
        }
        aliveAt = std::move(longer);
    }
    const size_t count = m_label.size();
    m_patternsBelow.assign(count, 0);
    m_lengthsBelow.assign(count, 0);
    m_onlyBelow.assign(count, -1);
    m_someBelow.assign(count, -1);
    m_runLength.assign(count, 0);
    m_runEnd.assign(count, 0);
    for (size_t n = count; n-- > 1;) {
        const int terminal = m_terminal[n];
        if (terminal >= 0) {
            const int length = m_patternLength[static_cast<size_t>(terminal)];
            ++m_patternsBelow[n];
            m_lengthsBelow[n] |= std::uint64_t(1) << (length > 64 ? 63 : length - 2);
        }
        // The children, numbered after their parent, are done: the count is whole.
        const auto child = static_cast<size_t>(m_firstChild[n]);
        m_someBelow[n] = terminal >= 0 ? terminal : m_someBelow[child];
        if (m_patternsBelow[n] == 1)
            m_onlyBelow[n] = m_someBelow[n];
        if (m_childCount[n] == 1) {
            // The run goes on through a child that ends no pattern and has one child too
            // (a run longer than the count can hold starts again further down).
            const bool through = m_terminal[child] < 0 && m_runLength[child] > 0 && m_runLength[child] < 0xFFFF;
            m_runLength[n] = static_cast<std::uint16_t>(through ? m_runLength[child] + 1 : 1);
            m_runEnd[n] = through ? m_runEnd[child] : static_cast<std::int32_t>(child);
        }
        const auto parent = static_cast<size_t>(m_parent[n]);
        m_patternsBelow[parent] += m_patternsBelow[n];
        m_lengthsBelow[parent] |= m_lengthsBelow[n];
    }

    m_prefixNodes.assign(patterns.size(), {0, -1});
    for (size_t n = 1; n < count; ++n) {
        const int terminal = m_terminal[n];
        if (terminal < 0)
            continue;
        std::int32_t at = static_cast<std::int32_t>(n);
        std::int32_t three = -1;
        for (int depth = m_patternLength[static_cast<size_t>(terminal)]; depth > 2; --depth) {
            if (depth == 3)
                three = at;
            at = m_parent[static_cast<size_t>(at)];
        }
        m_prefixNodes[static_cast<size_t>(terminal)] = {at, three};
    }

    m_pairIndex.assign(65536, 0);
    m_pairs.clear();
    for (int i = 0; i < m_childCount[0]; ++i) {
        const int first = m_firstChild[0] + i;
        for (int j = 0; j < m_childCount[static_cast<size_t>(first)]; ++j) {
            const int second = m_firstChild[static_cast<size_t>(first)] + j;
            const unsigned key = pairKey(m_label[static_cast<size_t>(first)], m_label[static_cast<size_t>(second)]);
            Pair pair;
            pair.node = second;
            pair.twoByte = m_terminal[static_cast<size_t>(second)];
            pair.lengths = m_lengthsBelow[static_cast<size_t>(second)];
            for (int k = 0; k < m_childCount[static_cast<size_t>(second)]; ++k) {
                const unsigned char third = m_label[static_cast<size_t>(m_firstChild[static_cast<size_t>(second)] + k)];
                pair.thirdBytes[third >> 6] |= std::uint64_t(1) << (third & 63);
            }
            m_pairIndex[key] = static_cast<std::uint16_t>(m_pairs.size());
            m_pairs.push_back(pair);
            PairMarks::set(m_pairFlags.data(), key, PairMarks::begins);
        }
    }
    m_pairRanges = PairMarks::rangesOf(m_pairFlags.data());
    if (m_firstFour && m_longCount > 0) {
        // No name of two bytes: the marking may ask of each pair the byte before or after it.
        std::array<bool, 256> used{};
        for (const int p : sorted) {
            for (int i = 0; i < m_patternLength[size_t(p)]; ++i)
                used[m_patternBytes[m_patternStart[size_t(p)] + size_t(i)]] = true;
        }
        m_pairRanges = PairMarks::rangesOfBytes(used);
        m_pairRanges.threeBytes = true;
    }
}

unsigned NameScanner::pairOf(int node) const
{
    return pairKey(m_label[static_cast<size_t>(m_parent[static_cast<size_t>(node)])], m_label[static_cast<size_t>(node)]);
}

int NameScanner::childOf(int node, unsigned char byte) const
{
    const int first = m_firstChild[static_cast<size_t>(node)];
    const int count = m_childCount[static_cast<size_t>(node)];
    const unsigned char *labels = m_label.data() + first;
    if (count <= 8) {
        for (int i = 0; i < count; ++i) {
            if (labels[i] == byte)
                return first + i;
        }
        return -1;
    }
    const unsigned char *at = std::lower_bound(labels, labels + count, byte);
    return at != labels + count && *at == byte ? first + static_cast<int>(at - labels) : -1;
}

QList<qsizetype> NameScanner::scan(QByteArrayView content) const
{
    Scan scan(*this);
    scan.feed(content);
    return scan.finish();
}

NameScanner::Scan::Scan(const NameScanner &scanner)
    : m_scanner(scanner)
    , m_spare(scanner.m_spare)
    , m_longPending(scanner.m_longCount)
    , m_singlesPending(scanner.m_singleCount)
{
    if (m_spare) {
        const std::lock_guard<std::mutex> lock(m_spare->mutex);
        for (std::unique_ptr<Work> &work : m_spare->works) {
            if (work) {
                m_work = std::move(work);
                break;
            }
        }
    }
    if (!m_work) {
        m_work = std::make_unique<Work>();
        m_work->pairFlags = scanner.m_pairFlags;
        m_work->endingIn = scanner.m_endingIn;
        m_work->pairs = scanner.m_pairs;
        m_work->pending = scanner.m_patternsBelow;
        m_work->found.assign(static_cast<size_t>(scanner.m_patternCount), 0);
    }
}

NameScanner::Scan::~Scan()
{
    if (!m_spare)
        return;
    // Put back the entries of each pattern found, as markFound() struck them out.
    const NameScanner &s = m_scanner;
    Work &work = *m_work;
    for (const auto &[node, pattern] : work.foundNodes) {
        work.found[static_cast<size_t>(pattern)] = 0;
        if (node < 0)
            continue;
        const unsigned last = s.m_lastPair[static_cast<size_t>(pattern)];
        work.endingIn[last] = s.m_endingIn[last];
        work.pairFlags[last] = s.m_pairFlags[last];
        const auto [two, three] = s.m_prefixNodes[static_cast<size_t>(pattern)];
        work.pending[static_cast<size_t>(two)] = s.m_patternsBelow[static_cast<size_t>(two)];
        if (three >= 0)
            work.pending[static_cast<size_t>(three)] = s.m_patternsBelow[static_cast<size_t>(three)];
        const unsigned first = s.pairOf(two);
        work.pairFlags[first] = s.m_pairFlags[first];
        const std::uint16_t index = s.m_pairIndex[first];
        work.pairs[index].thirdBytes = s.m_pairs[index].thirdBytes;
    }
    work.foundNodes.clear();
    const std::lock_guard<std::mutex> lock(m_spare->mutex);
    for (std::unique_ptr<Work> &spare : m_spare->works) {
        if (!spare) {
            spare = std::move(m_work);
            return;
        }
    }
}

void NameScanner::Scan::abandon()
{
    m_spare.reset();
    m_work.reset();
}

void NameScanner::Scan::feed(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return;
    m_fed += bytes.size();
    if (m_singlesPending > 0)
        markSingles(bytes);
    if (m_longPending == 0)
        return;

    // A position is searched once the bytes a match there can need have arrived; the
    // last positions of a piece wait in the tail for the next one.
    const qsizetype keep = m_scanner.m_lookahead;
    if (!m_tail.isEmpty()) {
        const qsizetype waiting = m_tail.size();
        const qsizetype take = std::min(bytes.size(), keep);
        m_tail.append(bytes.first(take));
        const qsizetype ready = m_tail.size() - keep;
        const auto *tail = reinterpret_cast<const unsigned char *>(m_tail.constData());
        if (ready < waiting) {
            // The piece was shorter than the look-ahead and is all in the tail now.
            if (ready > 0) {
                scanPositions(tail, m_tail.size(), ready);
                m_tail.remove(0, ready);
            }
            return;
        }
        scanPositions(tail, m_tail.size(), waiting);
        m_tail.clear();
    }
    const qsizetype ready = bytes.size() - keep;
    if (ready > 0)
        scanPositions(reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size(), ready);
    m_tail = bytes.sliced(std::max<qsizetype>(ready, 0)).toByteArray();
}

void NameScanner::Scan::feedPiece(QByteArrayView bytes, qsizetype positions)
{
    positions = std::min(positions, bytes.size());
    if (positions <= 0)
        return;
    m_fed += positions;
    if (m_singlesPending > 0)
        markSingles(bytes.first(positions));
    if (m_longPending > 0)
        scanPositions(reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size(), positions);
}

QList<qsizetype> NameScanner::Scan::finish()
{
    if (m_longPending > 0 && !m_tail.isEmpty()) {
        scanPositions(reinterpret_cast<const unsigned char *>(m_tail.constData()), m_tail.size(),
                      m_tail.size());
    }
    m_tail.clear();

    const NameScanner &s = m_scanner;
    QList<qsizetype> found;
    if (m_fed > 0)
        found.append(QList<qsizetype>(s.m_emptyNames.begin(), s.m_emptyNames.end()));
    for (const auto &[node, pattern] : m_work->foundNodes) {
        for (auto i = s.m_namesOfStart[static_cast<size_t>(pattern)]; i < s.m_namesOfStart[static_cast<size_t>(pattern) + 1]; ++i)
            found.append(s.m_namesOf[i]);
    }
    std::sort(found.begin(), found.end());
    return found;
}

void NameScanner::Scan::markSingles(QByteArrayView bytes)
{
    std::array<bool, 256> seen{};
    for (const char c : bytes)
        seen[static_cast<unsigned char>(c)] = true;
    for (int b = 0; b < 256; ++b) {
        const int pattern = m_scanner.m_singlePattern[static_cast<size_t>(b)];
        if (seen[static_cast<size_t>(b)] && pattern >= 0 && !m_work->found[static_cast<size_t>(pattern)]) {
            m_work->found[static_cast<size_t>(pattern)] = 1;
            m_work->foundNodes.emplace_back(-1, pattern);
            --m_singlesPending;
        }
    }
}

void NameScanner::Scan::scanPositions(const unsigned char *data, qsizetype size, qsizetype end)
{
    // Positions [0, end); a position needs its next byte to form a pair, and the last
    // byte of the file begins no name of two bytes. A name of n bytes at position p ends
    // with the pair at p + n - 2, at most 62 positions on for the names the window sees.
    const qsizetype stop = std::min(end, size - 1);
    const std::uint16_t *pairIndex = m_scanner.m_pairIndex.data();
    const std::uint64_t *firstBytes = m_scanner.m_firstBytes.data();
    const bool firstFour = m_scanner.m_firstFour;
    Work &work = *m_work;
    for (qsizetype from = 0; from < stop; from += blockPositions) {
        const qsizetype to = std::min(from + blockPositions, stop);
        const qsizetype marked = std::min(to + 63, size - 1);
        PairMarks::mark(work.pairFlags.data(), m_scanner.m_pairRanges, data + from, marked - from, m_starts.data(), m_ends.data());
        m_ends[static_cast<size_t>((marked - from + 63) / 64)] = 0;
        const qsizetype positions = to - from;
        for (qsizetype word = 0; word * 64 < positions; ++word) {
            if (m_starts[static_cast<size_t>(word)] == 0)
                continue; // nothing begins a name here: most words of code, near half of random bytes
            // First, in bulk: a position is worth a look only if some pair that ends a
            // missing name lies in the 64 positions from it: those at or before the last
            // such pair in this word, and those after the first in the next word.
            const std::uint64_t endsHere = m_ends[static_cast<size_t>(word)];
            const std::uint64_t endsNext = m_ends[static_cast<size_t>(word) + 1];
            // A name of 66 bytes or more ends beyond those 64: every start stays then.
            std::uint64_t reach = m_scanner.m_endsBeyondReach ? ~std::uint64_t(0) : 0;
            if (endsHere != 0)
                reach |= ~std::uint64_t(0) >> qCountLeadingZeroBits(endsHere);
            if (endsNext != 0)
                reach |= ~std::uint64_t(0) << qCountTrailingZeroBits(endsNext) << 1;
            std::uint64_t starts = m_starts[static_cast<size_t>(word)] & reach;
            if (positions - word * 64 < 64)
                starts &= (std::uint64_t(1) << (positions - word * 64)) - 1;
            while (starts != 0) {
                const qsizetype at = word * 64 + qCountTrailingZeroBits(starts);
                starts &= starts - 1;
                const qsizetype p = from + at;
                // Most starts of a name's first two bytes go on as no name does: turned
                // away by the first three or four bytes alone, before the pair's entry is
                // read. (Near the end, where fewer bytes are left, by the pair's entry.)
                if (firstFour ? p + 3 < size : p + 2 < size) {
                    const unsigned bit = firstFour ? firstBytesBit(fourBytesAt(data + p)) : tripleBit(data[p], data[p + 1], data[p + 2]);
                    if (((firstBytes[bit / 64] >> (bit % 64)) & 1) == 0)
                        continue;
                }
                Pair &pair = work.pairs[pairIndex[pairKey(data[p], data[p + 1])]];
                // The pairs that end a missing name, seen from p: bit n is at p + n.
                const int shift = static_cast<int>(at & 63);
                std::uint64_t window = m_ends[static_cast<size_t>(at >> 6)] >> shift;
                if (shift != 0)
                    window |= m_ends[static_cast<size_t>(at >> 6) + 1] << (64 - shift);
                if ((window & pair.lengths) == 0 && (pair.lengths >> 63) == 0)
                    continue;
                if (pair.twoByte >= 0 && !work.found[static_cast<size_t>(pair.twoByte)])
                    markFound(pair.node, pair.twoByte);
                if (p + 2 < size) {
                    const unsigned char third = data[p + 2];
                    if ((pair.thirdBytes[third >> 6] >> (third & 63)) & 1)
                        walk(data, size, p, m_scanner.childOf(pair.node, third), window);
                }
                if (m_longPending == 0)
                    return;
            }
        }
    }
}

void NameScanner::Scan::walk(const unsigned char *data, qsizetype size, qsizetype start, int node, std::uint64_t window)
{
    // start: where the name would begin; node: its first three bytes. window: the pairs
    // that ended a missing name when the position was marked, bit n at n positions from
    // the start; names found since then only leave it too wide.
    const NameScanner &s = m_scanner;
    Work &work = *m_work;
    for (qsizetype next = start + 3;; ++next) {
        const int pattern = s.m_terminal[static_cast<size_t>(node)];
        if (pattern >= 0 && !work.found[static_cast<size_t>(pattern)])
            markFound(node, pattern);
        if (work.pending[static_cast<size_t>(node)] == 0 || next >= size)
            return;
        const std::uint64_t lengths = s.m_lengthsBelow[static_cast<size_t>(node)];
        if ((window & lengths) == 0 && (lengths >> 63) == 0)
            return;
        // One name left below (deep in the trie, most are): the rest of its bytes compared
        // at once, not a node at a time; a file's imports are whole names, walked to the end.
        const int only = s.m_onlyBelow[static_cast<size_t>(node)];
        if (only >= 0) {
            const qsizetype length = s.m_patternLength[static_cast<size_t>(only)];
            const qsizetype rest = length - (next - start);
            if (!work.found[static_cast<size_t>(only)] && rest > 0 && rest <= size - next
                && sameBytes(data + next, s.m_patternBytes.data() + s.m_patternStart[static_cast<size_t>(only)] + (next - start), rest))
                markFound(node, only);
            return;
        }
        // A run of nodes of one child each: their labels compared at once.
        const qsizetype run = s.m_runLength[static_cast<size_t>(node)];
        if (run > 1) {
            const std::int32_t end = s.m_runEnd[static_cast<size_t>(node)];
            const int some = s.m_someBelow[static_cast<size_t>(end)]; // reaches through the run
            if (run > size - next
                || !sameBytes(data + next, s.m_patternBytes.data() + s.m_patternStart[static_cast<size_t>(some)] + (next - start), run))
                return;
            node = end;
            next += run - 1;
            continue;
        }
        node = s.childOf(node, data[next]);
        if (node < 0)
            return;
    }
}

void NameScanner::Scan::markFound(int node, int pattern)
{
    const NameScanner &s = m_scanner;
    Work &work = *m_work;
    work.found[static_cast<size_t>(pattern)] = 1;
    work.foundNodes.emplace_back(node, pattern);
    --m_longPending;
    const unsigned last = s.m_lastPair[static_cast<size_t>(pattern)];
    if (--work.endingIn[last] == 0)
        PairMarks::clear(work.pairFlags.data(), last, PairMarks::ends);
    // Nothing missing goes on through a prefix any more: stop looking at its bytes.
    const auto [two, three] = s.m_prefixNodes[static_cast<size_t>(pattern)];
    const unsigned first = s.pairOf(two);
    if (three >= 0 && --work.pending[static_cast<size_t>(three)] == 0) {
        const unsigned char third = s.m_label[static_cast<size_t>(three)];
        work.pairs[s.m_pairIndex[first]].thirdBytes[third >> 6] &= ~(std::uint64_t(1) << (third & 63));
    }
    if (--work.pending[static_cast<size_t>(two)] == 0)
        PairMarks::clear(work.pairFlags.data(), first, PairMarks::begins);
}
