#include "PairMarks.h"

#if defined(__x86_64__) && defined(__SSE2__)
#define VORN_PAIRMARKS_VECTORS 1
#include <immintrin.h>
#endif

#include <QtAlgorithms>

#include <algorithm>
#include <atomic>
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

#if VORN_PAIRMARKS_VECTORS
namespace {

// Which of 64 bytes lie in the ranges, 16 bytes a step: each range's low value, and its
// width less one; a byte b lies in a range when b - low, without sign, is at most that
// width. Only the first `used` are looked at: the others repeat the first.
namespace sse2 {
// The bits set, counted in registers: the processor's own instruction for it is not one
// every x86-64 processor has, and the library's stand-in for it is a call.
inline int bitCount(std::uint64_t x)
{
    x -= (x >> 1) & 0x5555555555555555u;
    x = (x & 0x3333333333333333u) + ((x >> 2) & 0x3333333333333333u);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
    return int((x * 0x0101010101010101u) >> 56);
}
template <int used>
struct RangeBits
{
    explicit RangeBits(const ByteRanges &ranges)
    {
        for (int k = 0; k < ByteRanges::count; ++k) {
            low[k] = _mm_set1_epi8(static_cast<char>(ranges.low[size_t(k)]));
            width[k] = _mm_set1_epi8(static_cast<char>(ranges.high[size_t(k)] - ranges.low[size_t(k)]));
        }
    }
    std::uint64_t of16(const unsigned char *bytes) const
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
    std::uint64_t of64(const unsigned char *at) const
    {
        return of16(at) | of16(at + 16) << 16 | of16(at + 32) << 32 | of16(at + 48) << 48;
    }
    __m128i low[ByteRanges::count];
    __m128i width[ByteRanges::count];
};
#include "PairMarksKernel.inc"
} // namespace sse2

// The same 32 bytes a step, where the processor has AVX2 (and counts bits itself). The
// loops of single table reads stay as written: the compiler's own vectors for them, with
// these instructions, made the marking slower than with 16 bytes a step (measured).
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2,popcnt"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2,popcnt")
#pragma GCC optimize("no-tree-vectorize")
#endif
namespace avx2 {
inline int bitCount(std::uint64_t x)
{
    return __builtin_popcountll(x);
}
template <int used>
struct RangeBits
{
    explicit RangeBits(const ByteRanges &ranges)
    {
        for (int k = 0; k < ByteRanges::count; ++k) {
            low[k] = _mm256_set1_epi8(static_cast<char>(ranges.low[size_t(k)]));
            width[k] = _mm256_set1_epi8(static_cast<char>(ranges.high[size_t(k)] - ranges.low[size_t(k)]));
        }
    }
    std::uint64_t of32(const unsigned char *bytes) const
    {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(bytes));
        __m256i any = _mm256_setzero_si256();
#pragma GCC unroll 4
        for (int k = 0; k < used; ++k) {
            const __m256i offset = _mm256_sub_epi8(v, low[k]);
            any = _mm256_or_si256(any, _mm256_cmpeq_epi8(_mm256_min_epu8(offset, width[k]), offset));
        }
        return std::uint32_t(_mm256_movemask_epi8(any));
    }
    std::uint64_t of64(const unsigned char *at) const
    {
        return of32(at) | of32(at + 32) << 32;
    }
    __m256i low[ByteRanges::count];
    __m256i width[ByteRanges::count];
};
#include "PairMarksKernel.inc"
} // namespace avx2
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

} // namespace
#endif

namespace {
std::atomic<Vectors> limit{Vectors::Avx2};
}

void limitVectors(Vectors widest)
{
    limit.store(widest, std::memory_order_relaxed);
}

Vectors widestVectors()
{
#if VORN_PAIRMARKS_VECTORS
    // Asked of the processor (and of the system, for the registers' state) once.
    static const Vectors widest = [] {
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt"))
            return Vectors::Avx2;
        return Vectors::Sse2;
    }();
    return std::min(widest, limit.load(std::memory_order_relaxed));
#else
    return Vectors::None;
#endif
}

bool markUsing(Vectors vectors, const std::uint8_t *table, const ByteRanges &ranges, const unsigned char *bytes,
               qsizetype count, std::uint64_t *starts, std::uint64_t *ends)
{
    if (vectors > widestVectors())
        return false;
    switch (vectors) {
#if VORN_PAIRMARKS_VECTORS
    case Vectors::Avx2:
        avx2::mark(table, ranges, bytes, count, starts, ends);
        return true;
    case Vectors::Sse2:
        sse2::mark(table, ranges, bytes, count, starts, ends);
        return true;
#endif
    default:
        markPlain(table, ranges, bytes, count, starts, ends);
        return true;
    }
}

void mark(const std::uint8_t *table, const ByteRanges &ranges, const unsigned char *bytes, qsizetype count,
          std::uint64_t *starts, std::uint64_t *ends)
{
    markUsing(widestVectors(), table, ranges, bytes, count, starts, ends);
}

} // namespace PairMarks
