#pragma once

#include <QtGlobal>

#include <array>
#include <cstdint>

// Marks, for a run of positions in a file's bytes, which pairs of adjacent bytes begin a
// name being looked for and which end one: two bitmaps, one bit a position, read off a
// table of one byte for each of the 65536 pairs (bit 0: begins a name, bit 1: ends one).
// A byte a pair reads in one step; a table of two bits a pair would fit the processor's
// fastest cache better but costs more in shifts than it saves (measured on the catalogue).
// The name scanner then looks closer only where a pair that begins a name has, at the
// distance of one of that pair's name lengths, a pair that ends one.
namespace PairMarks {

constexpr std::uint8_t begins = 1;
constexpr std::uint8_t ends = 2;
constexpr qsizetype tableBytes = 65536;

// The pair of first | second << 8.
inline unsigned flagsOf(const std::uint8_t *table, unsigned pair)
{
    return table[pair];
}
inline void set(std::uint8_t *table, unsigned pair, std::uint8_t flags)
{
    table[pair] = static_cast<std::uint8_t>(table[pair] | flags);
}
inline void clear(std::uint8_t *table, unsigned pair, std::uint8_t flags)
{
    table[pair] = static_cast<std::uint8_t>(table[pair] & ~flags);
}

// A few ranges of byte values that hold both bytes of every pair the table marks (and
// perhaps bytes of no such pair). Names are mostly letters, digits and the underscore, and
// most bytes of a program's code and data lie outside those: a position whose pair has a
// byte outside the ranges is marked neither way without reading the table.
struct ByteRanges
{
    static constexpr int count = 2;
    std::array<std::uint8_t, count> low{};  // from low[k] to high[k], both included
    std::array<std::uint8_t, count> high{}; // (ranges not needed repeat the first)
    // How many of the ranges differ: one where the values fall in one run, or in two a few
    // values apart (the digits and the letters of most names), which a single range holds
    // with fewer steps a byte than two take.
    int inUse = count;
    // Every name is three bytes or more and every byte of it lies in the ranges: then a
    // pair begins a name only where the byte after it lies in them too, and ends one only
    // where the byte before it does. On random bytes (packed data) that halves the pairs
    // looked up in the table.
    bool threeBytes = false;
};
// The ranges of the table as it is now. Flags cleared later leave them true.
ByteRanges rangesOf(const std::uint8_t *table);
// A few ranges that hold every byte value marked used (and perhaps others).
ByteRanges rangesOfBytes(const std::array<bool, 256> &used);

// The pair at position i is bytes[i] and bytes[i + 1]; positions [0, count), so bytes
// holds count + 1 bytes. Bit i of starts (of ends) is bit i % 64 of word i / 64; the words
// up to (count + 63) / 64 are written whole, with zeros past count. The ranges are the
// table's (rangesOf), taken when its flags were set, or wider. With threeBytes, a position
// is left unmarked as a start when byte i + 2 (up to bytes[count]) lies outside the
// ranges, and as an end when byte i - 1 does; the byte before bytes[0] and those past
// bytes[count] are not known here, and count as lying in them.
void mark(const std::uint8_t *table, const ByteRanges &ranges, const unsigned char *bytes, qsizetype count,
          std::uint64_t *starts, std::uint64_t *ends);

// The vector instructions mark() can use, the widest the processor has being taken: with
// None it marks one position at a time.
enum class Vectors { None, Sse2, Avx2 };
Vectors widestVectors();
// Keeps mark() to these instructions or narrower ones, for a comparison of the ways.
void limitVectors(Vectors widest);
// mark() with the given instructions, false (and nothing marked) where the processor lacks
// them: so that every way is checked against markPlain() on a processor that has it.
bool markUsing(Vectors vectors, const std::uint8_t *table, const ByteRanges &ranges, const unsigned char *bytes,
               qsizetype count, std::uint64_t *starts, std::uint64_t *ends);

// The same one position at a time, without the processor's vector instructions: what
// mark() must agree with, and what runs where those are missing.
void markPlain(const std::uint8_t *table, const ByteRanges &ranges, const unsigned char *bytes, qsizetype count,
               std::uint64_t *starts, std::uint64_t *ends);

} // namespace PairMarks
