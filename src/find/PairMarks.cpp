#include "PairMarks.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <cstring>

namespace PairMarks {

namespace {

unsigned pairAt(const unsigned char *bytes)
{
    return bytes[0] | (unsigned(bytes[1]) << 8);
}

#if defined(__SSE2__)
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
#endif

} // namespace

void markPlain(const std::uint8_t *table, const unsigned char *bytes, qsizetype count, std::uint64_t *starts,
               std::uint64_t *ends)
{
    for (qsizetype word = 0; word * 64 < count; ++word) {
        std::uint64_t s = 0;
        std::uint64_t e = 0;
        const qsizetype from = word * 64;
        const int n = static_cast<int>(count - from < 64 ? count - from : 64);
        for (int i = 0; i < n; ++i) {
            const unsigned flags = flagsOf(table, pairAt(bytes + from + i));
            s |= std::uint64_t(flags & begins) << i;
            e |= std::uint64_t((flags & PairMarks::ends) >> 1) << i;
        }
        starts[word] = s;
        ends[word] = e;
    }
}

void mark(const std::uint8_t *table, const unsigned char *bytes, qsizetype count, std::uint64_t *starts,
          std::uint64_t *ends)
{
#if defined(__SSE2__)
    // The table's byte for each position first, 64 at a time, then the two bits of all
    // 64 gathered with the vector unit's sign-bit masks: far fewer steps a position than
    // shifting each bit into place.
    alignas(16) std::uint8_t flags[64];
    for (qsizetype word = 0; word * 64 < count; ++word) {
        const qsizetype from = word * 64;
        const int n = static_cast<int>(count - from < 64 ? count - from : 64);
        const unsigned char *at = bytes + from;
        if (n == 64) {
            // A run of one byte (the zeros between sections, padding) whose pair with
            // itself begins and ends no name: nothing to mark, and nothing to read.
            const __m128i first = _mm_set1_epi8(static_cast<char>(at[0]));
            __m128i same = _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(at)), first);
            for (int part = 1; part < 4; ++part)
                same = _mm_and_si128(same, _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(at + 16 * part)), first));
            if (_mm_movemask_epi8(same) == 0xFFFF && at[64] == at[0] && table[pairAt(at)] == 0) {
                starts[word] = 0;
                ends[word] = 0;
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
            starts[word] = s;
            ends[word] = e;
            continue;
        }
        for (int i = 0; i < n; ++i)
            flags[i] = table[pairAt(at + i)];
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
#else
    markPlain(table, bytes, count, starts, ends);
#endif
}

} // namespace PairMarks
