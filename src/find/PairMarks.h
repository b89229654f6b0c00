#pragma once

#include <QtGlobal>

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

// The pair at position i is bytes[i] and bytes[i + 1]; positions [0, count), so bytes
// holds count + 1 bytes. Bit i of starts (of ends) is bit i % 64 of word i / 64; the words
// up to (count + 63) / 64 are written whole, with zeros past count.
void mark(const std::uint8_t *table, const unsigned char *bytes, qsizetype count, std::uint64_t *starts,
          std::uint64_t *ends);

// The same one position at a time, without the processor's vector instructions: what
// mark() must agree with, and what runs where those are missing.
void markPlain(const std::uint8_t *table, const unsigned char *bytes, qsizetype count, std::uint64_t *starts,
               std::uint64_t *ends);

} // namespace PairMarks
