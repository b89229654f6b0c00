#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>
#include <vector>

// Reads what a Windows executable (a PE image, 32 or 64 bits) says it imports and exports:
// the import table, by name and by ordinal, the delay-load imports, and the names of the
// export table. The file may be hostile: every offset and address is checked against the
// file, every count and the bytes read are bounded, so a reading ends soon on any input.
// A file that is no PE image, or whose tables are damaged, gives no tables at all: half a
// table would pass names that are not imported for imported ones, or hide some that are.
namespace PeImage {

// Where the image's bytes come from: a file read at offsets, or bytes in memory.
class Source
{
public:
    virtual ~Source() = default;
    virtual qint64 size() const = 0;
    // Copies up to `size` bytes from `offset` (within size()); the count copied, -1 on failure.
    virtual qsizetype readAt(qint64 offset, char *into, qsizetype size) const = 0;
    // All size() bytes, when they are in memory already (then nothing is copied); else null.
    virtual const char *bytes() const { return nullptr; }
};

// The names are views of bytes the tables do not copy: see read().
struct Import
{
    QByteArrayView dll;  // as the file writes it, "KERNEL32.dll"
    QByteArrayView name; // empty when imported by ordinal
    quint16 ordinal = 0; // the ordinal of an import by ordinal
    bool delayed = false; // from the delay-load table

    friend bool operator==(const Import &, const Import &) = default;
};

struct Tables
{
    std::vector<Import> imports;         // in table order, the delay-load ones last
    std::vector<QByteArrayView> exports; // the export table's names, in its order
    // What the names are views of, when the tables keep it: the image itself when it was
    // read from a QByteArray, the names copied one after another when it was read from a
    // Source; empty when it was read from a QByteArrayView, whose bytes the caller keeps.
    QByteArray bytes;

    // The same names, whatever bytes they are views of.
    friend bool operator==(const Tables &a, const Tables &b) { return a.imports == b.imports && a.exports == b.exports; }
};

// The tables of the image; nothing when it is not a PE image or a table is damaged.
// Read from a Source, the names are copied: the tables stand on their own. Read from
// bytes in memory, nothing is copied: the names are views of those bytes, which a
// QByteArray's tables share (so a small file's bytes live as long as its tables), and
// which a QByteArrayView's caller must keep while it uses the tables (as must the caller
// of a QByteArray made by fromRawData(), which shares nothing).
std::optional<Tables> read(const Source &source);
std::optional<Tables> read(const QByteArray &image);
std::optional<Tables> read(QByteArrayView image);

// Bounds that a real image stays far below; an image past one counts as damaged.
inline constexpr int maxSections = 96;          // the loader's own limit
inline constexpr qsizetype maxEntries = 1 << 20; // import descriptors, thunks and export names together
inline constexpr qsizetype maxNameBytes = 4096;  // one name, its terminating zero included
inline constexpr qint64 maxBytesRead = 32 << 20; // all names and entries together

} // namespace PeImage
