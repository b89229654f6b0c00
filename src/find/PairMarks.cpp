#include "PairMarks.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <cstring>
#include <utility>
#include <vector>

namespace PairMarks {

namespace {

unsigned pairAt(const unsigned char *bytes)
{
    return bytes[0] | (unsigned(bytes[1]) << 8);
}

// Whether one byte lies in one of the first `used` ranges: 1 or 0, without a branch (on
// random bytes either is about as likely, and a wrong guess costs more than the
// comparisons).
template <int used = ByteRanges::count>
unsigned within(const ByteRanges &ranges, unsigned char byte)
{
    unsigned in = 0;
    for (int k = 0; k < used; ++k)
        in |= unsigned(std::uint8_t(byte - ranges.low[size_t(k)]) <= std::uint8_t(ranges.high[size_t(k)] - ranges.low[size_t(k)]));
    return in;
}

// The flags of the pair at position i of count (bytes holds count + 1), less what the bytes
// beside it rule out when every name is three bytes or more.
unsigned flagsAt(const std::uint8_t *table, const ByteRanges &ranges, const unsigned char *bytes, qsizetype count, qsizetype i)
{
    unsigned flags = flagsOf(table, pairAt(bytes + i));
    if (ranges.threeBytes && flags != 0) {
        if (i + 2 <= count && !within(ranges, bytes[i + 2]))
            flags &= ~unsigned(begins);
        if (i > 0 && !within(ranges, bytes[i - 1]))
            flags &= ~unsigned(ends);
    }
    return flags;
}

#if defined(__SSE2__)
// At most this many positions of 64 with both bytes in the ranges are looked up one by
// one; above it all 64 are read in a row. On random bytes (packed or compressed data) the
// pairs of name bytes average under five in 64 and seldom pass six.
constexpr int sparseMost = 6;

// Shifting each 16-bit lane left by 7 (by 6) puts bit 0 (bit 1) of both its bytes at their
// sign bits; the other bits shifted across stay below the high sign bit.
unsigned startBits(__m128i flags)
{
    return unsigned(_mm_movemask_epi8(_mm_slli_epi16(flags, 7)));
}
unsigned endBits(__m128i flags)
{
    return unsigned(_mm_movemask_epi8(_mm_slli_epi16(flags, 6)));
}

// The bits set, counted in registers: the processor's own instruction for it is not one
// every x86-64 processor has, and the library's stand-in for it is a call.
int bitCount(std::uint64_t x)
{
    x -= (x >> 1) & 0x5555555555555555u;
    x = (x & 0x3333333333333333u) + ((x >> 2) & 0x3333333333333333u);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
    return int((x * 0x0101010101010101u) >> 56);
}

// The byte ranges as vectors: each range's low value, and its width less one; a byte b
// lies in a range when b - low, without sign, is at most that width. Only the first
// `used` are looked at: the others repeat the first.
template <int used>
struct RangeVectors
{
    explicit RangeVectors(const ByteRanges &ranges)
    {
        for (int k = 0; k < ByteRanges::count; ++k) {
            low[k] = _mm_set1_epi8(static_cast<char>(ranges.low[size_t(k)]));
            width[k] = _mm_set1_epi8(static_cast<char>(ranges.high[size_t(k)] - ranges.low[size_t(k)]));
        }
    }
    // Bit i: byte i of the 16 lies in a range.
    std::uint64_t within(const unsigned char *bytes) const
    {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes));
        __m128i any = _mm_setzero_si128();
#pragma GCC unroll 4
        for (int k = 0; k < used; ++k) {
            const __m128i offset = _mm_sub_epi8(v, low[k]);
            any = _mm_or_si128(any, _mm_cmpeq_epi8(_mm_min_epu8(offset, width[k]), offset));
        }
        return unsigned(_mm_movemask_epi8(any));
    }
    __m128i low[ByteRanges::count];
    __m128i width[ByteRanges::count];
};
#endif

} // namespace

ByteRanges rangesOf(const std::uint8_t *table)
{
    std::array<bool, 256> used{};
    for (unsigned pair = 0; pair < tableBytes; ++pair) {
        if (table[pair] != 0) {
            used[pair & 0xFF] = true;
            used[pair >> 8] = true;
        }
    }
    return rangesOfBytes(used);
}

ByteRanges rangesOfBytes(const std::array<bool, 256> &used)
{
    // The runs of values used; then, while there are too many, the two with the narrowest
    // gap between them made one.
    std::vector<std::pair<int, int>> runs;
    for (int b = 0; b < 256; ++b) {
        if (!used[b])
            continue;
        if (!runs.empty() && runs.back().second == b - 1)
            runs.back().second = b;
        else
            runs.emplace_back(b, b);
    }
    while (runs.size() > size_t(ByteRanges::count)) {
        size_t narrowest = 0;
        for (size_t k = 1; k + 1 < runs.size(); ++k) {
            if (runs[k + 1].first - runs[k].second < runs[narrowest + 1].first - runs[narrowest].second)
                narrowest = k;
        }
        runs[narrowest].second = runs[narrowest + 1].second;
        runs.erase(runs.begin() + std::ptrdiff_t(narrowest) + 1);
    }
    // Two runs a few values apart are taken as one: the values between let a few more
    // pairs through to the table, but each 16 bytes take four steps fewer. (The digits
    // and the letters of the catalogue's names lie 7 apart: the scan was 5 to 10% faster
    // on random bytes and on DLLs full of text alike.)
    constexpr int closeGap = 8;
    if (runs.size() == 2 && runs[1].first - runs[0].second - 1 <= closeGap) {
        runs[0].second = runs[1].second;
        runs.pop_back();
    }
    if (runs.empty())
        runs.emplace_back(0, 0); // the table marks nothing: any range will do
    ByteRanges ranges;
    for (size_t k = 0; k < size_t(ByteRanges::count); ++k) {
        const std::pair<int, int> run = runs[k < runs.size() ? k : 0];
        ranges.low[k] = std::uint8_t(run.first);
        ranges.high[k] = std::uint8_t(run.second);
    }
    ranges.inUse = int(runs.size());
    return ranges;
}

void markPlain(const std::uint8_t *table, const ByteRanges &ranges, const unsigned char *bytes, qsizetype count,
               std::uint64_t *starts, std::uint64_t *ends)
{
    for (qsizetype word = 0; word * 64 < count; ++word) {
        std::uint64_t s = 0;
        std::uint64_t e = 0;
        const qsizetype from = word * 64;
        const int n = static_cast<int>(count - from < 64 ? count - from : 64);
        for (int i = 0; i < n; ++i) {
            const unsigned flags = flagsAt(table, ranges, bytes, count, from + i);
            s |= std::uint64_t(flags & begins) << i;
            e |= std::uint64_t((flags & PairMarks::ends) >> 1) << i;
        }
        starts[word] = s;
        ends[word] = e;
    }
}

#if defined(__SSE2__)
namespace {

// mark() with the first `used` ranges.
template <int used>
void markWith(const std::uint8_t *table, const ByteRanges &ranges, const unsigned char *bytes, qsizetype count,
              std::uint64_t *starts, std::uint64_t *ends)
{
    // Which of 64 positions have both bytes of their pair in the ranges first, in vectors;
    // where none has, nothing is read from the table, and where a few have, only theirs.
    // Otherwise (text) the table's byte for each position, then the two bits of all 64
    // gathered with the vector unit's sign-bit masks: far fewer steps a position than
    // shifting each bit into place.
    const RangeVectors<used> vectors(ranges);
    alignas(16) std::uint8_t flags[64];
    std::uint64_t before = 1; // whether the byte before the 64 lies in the ranges (unknown at first: yes)
    for (qsizetype word = 0; word * 64 < count; ++word) {
        const qsizetype from = word * 64;
        const int n = static_cast<int>(count - from < 64 ? count - from : 64);
        const unsigned char *at = bytes + from;
        if (n == 64) {
            const std::uint64_t in = vectors.within(at) | std::uint64_t(vectors.within(at + 16)) << 16
                                   | std::uint64_t(vectors.within(at + 32)) << 32 | std::uint64_t(vectors.within(at + 48)) << 48;
            const std::uint64_t in64 = within<used>(ranges, at[64]);
            std::uint64_t both = in & (in >> 1 | in64 << 63);
            // Names of three bytes or more: a start needs the byte two on in the ranges, an
            // end the byte before; on random bytes that leaves half the pairs to look up.
            std::uint64_t keepStarts = ~std::uint64_t(0);
            std::uint64_t keepEnds = ~std::uint64_t(0);
            if (ranges.threeBytes) {
                const std::uint64_t in65 = from + 65 <= count ? within<used>(ranges, at[65]) : 1;
                keepStarts = in >> 2 | in64 << 62 | in65 << 63;
                keepEnds = in << 1 | before;
                both &= keepStarts | keepEnds;
            }
            before = in >> 63;
            if (both == 0) { // the zeros between sections, padding
                starts[word] = 0;
                ends[word] = 0;
                continue;
            }
            if (bitCount(both) <= sparseMost) {
                // Random bytes, code, numbers: a table lookup for each pair of name bytes, in
                // a fixed number of steps, so that how many there are is never mispredicted.
                std::uint64_t s = 0;
                std::uint64_t e = 0;
#pragma GCC unroll 8
                for (int step = 0; step < sparseMost; ++step) {
                    const std::uint64_t lowest = both & (0 - both);
                    // Position 63 once none is left: read, and its flags kept nowhere.
                    const unsigned f = table[pairAt(at + qCountTrailingZeroBits(both | std::uint64_t(1) << 63))];
                    s |= lowest & (0 - std::uint64_t(f & begins));
                    e |= lowest & (0 - std::uint64_t((f & PairMarks::ends) >> 1));
                    both ^= lowest;
                }
                starts[word] = s & keepStarts;
                ends[word] = e & keepEnds;
                continue;
            }
            // The 16 table bytes of each quarter go straight into a vector register, eight
            // to a half: stored to memory one by one and read back as a vector, they would
            // wait for all 16 stores to reach the cache.
            std::uint64_t s = 0;
            std::uint64_t e = 0;
            for (int part = 0; part < 4; ++part) {
                const unsigned char *quarter = at + 16 * part;
                std::uint64_t low = 0;
                std::uint64_t high = 0;
#pragma GCC unroll 8
                for (int i = 0; i < 8; ++i) {
                    low |= std::uint64_t(table[pairAt(quarter + i)]) << (8 * i);
                    high |= std::uint64_t(table[pairAt(quarter + 8 + i)]) << (8 * i);
                }
                const __m128i v = _mm_set_epi64x(static_cast<long long>(high), static_cast<long long>(low));
                s |= std::uint64_t(startBits(v)) << (16 * part);
                e |= std::uint64_t(endBits(v)) << (16 * part);
            }
            starts[word] = s & keepStarts;
            ends[word] = e & keepEnds;
            continue;
        }
        // The last few positions.
        for (int i = 0; i < n; ++i)
            flags[i] = static_cast<std::uint8_t>(flagsAt(table, ranges, bytes, count, from + i));
        std::memset(flags + n, 0, static_cast<size_t>(64 - n));
        std::uint64_t s = 0;
        std::uint64_t e = 0;
        for (int part = 0; part < 4; ++part) {
            const __m128i v = _mm_load_si128(reinterpret_cast<const __m128i *>(flags + 16 * part));
            s |= std::uint64_t(startBits(v)) << (16 * part);
            e |= std::uint64_t(endBits(v)) << (16 * part);
        }
        starts[word] = s;
        ends[word] = e;
    }
}

} // namespace
#endif

void mark(const std::uint8_t *table, const ByteRanges &ranges, const unsigned char *bytes, qsizetype count,
          std::uint64_t *starts, std::uint64_t *ends)
{
#if defined(__SSE2__)
    if (ranges.inUse == 1)
        markWith<1>(table, ranges, bytes, count, starts, ends);
    else
        markWith<ByteRanges::count>(table, ranges, bytes, count, starts, ends);
#else
    markPlain(table, ranges, bytes, count, starts, ends);
#endif
}

} // namespace PairMarks
