#include "PeImage.h"

#include <QtEndian>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <utility>

namespace {

using PeImage::Import;
using PeImage::Source;
using PeImage::Tables;

class MemorySource : public Source
{
public:
    explicit MemorySource(QByteArrayView bytes) : m_bytes(bytes) {}
    qint64 size() const override { return m_bytes.size(); }
    qsizetype readAt(qint64 offset, char *into, qsizetype size) const override
    {
        size = std::clamp<qsizetype>(m_bytes.size() - offset, 0, size);
        std::memcpy(into, m_bytes.data() + offset, static_cast<size_t>(size));
        return size;
    }
    const char *bytes() const override { return m_bytes.data(); }

private:
    QByteArrayView m_bytes;
};

// The bytes of all the names of an image read from a file, one after another, in the
// byte array the tables keep, so that no copy of them is made at the end. Room for a small
// program's names is made with the first name; a DLL of thousands of exports doubles it a
// few times, and the names taken so far are then moved with it (Image::follow()), the
// last place kept until they have.
class Texts
{
public:
    qsizetype size() const { return m_size; }
    const char *data() const { return m_data; }
    void append(const char *from, qsizetype n)
    {
        if (n == 0)
            return; // an empty name, which fails the reading, before there is room at all
        reserve(n);
        std::memcpy(m_data + m_size, from, static_cast<size_t>(n));
        m_size += n;
    }
    // Room for n bytes more.
    void reserve(qsizetype n)
    {
        if (n > m_bytes.size() - m_size)
            grow(n);
    }
    void truncate(qsizetype size) { m_size = size; }
    QByteArray take()
    {
        m_previous.clear();
        m_bytes.truncate(m_size); // in place: the names keep pointing into it
        return std::move(m_bytes);
    }

private:
    static constexpr qsizetype firstBlock = 2048;
    Q_NEVER_INLINE void grow(qsizetype n)
    {
        QByteArray grown(std::max(2 * m_bytes.size(), std::max(firstBlock, m_size + n)), Qt::Uninitialized);
        if (m_size > 0)
            std::memcpy(grown.data(), m_data, static_cast<size_t>(m_size));
        m_bytes.swap(grown);
        m_previous = std::move(grown); // until the names taken from it have followed
        m_data = m_bytes.data();
    }

    QByteArray m_bytes;
    QByteArray m_previous;
    char *m_data = nullptr;
    qsizetype m_size = 0;
};

// Small reads at scattered offsets: of an image in memory straight from its bytes; of a
// file, served from a few blocks read whole (the names of a table lie close together, so
// the file is read in few calls). Any read outside the file, a failed read, or too much
// read in all sets the reader failed for good; the reads after that give zeros.
class Reader
{
public:
    explicit Reader(const Source &source)
        : m_source(source)
        , m_size(source.size())
        , m_memory(source.bytes())
        , m_readable(m_memory ? m_size : 0)
    {
    }

    qint64 size() const { return m_size; }
    bool failed() const { return m_failed; }
    bool fail()
    {
        m_failed = true;
        m_readable = 0;
        return false;
    }
    // One more entry of a table, within the bound of all of them.
    bool spend() { return ++m_entries <= PeImage::maxEntries || fail(); }

    bool copy(qint64 offset, void *into, qsizetype size) { return copy(offset, into, size, size); }
    // The same, counting as read only the `charged` bytes of them that are used.
    bool copy(qint64 offset, void *into, qsizetype size, qsizetype charged)
    {
        auto *out = static_cast<char *>(into);
        if (m_failed || offset < 0 || size < 0 || offset > m_size - size || !charge(charged)) {
            std::memset(out, 0, static_cast<size_t>(size));
            return fail();
        }
        if (m_memory) {
            std::memcpy(out, m_memory + offset, static_cast<size_t>(size));
            return true;
        }
        while (size > 0) {
            const Block *block = blockAt(offset);
            if (!block) {
                std::memset(out, 0, static_cast<size_t>(size));
                return false;
            }
            const qsizetype at = offset - block->start;
            const qsizetype n = std::min(size, block->got - at);
            std::memcpy(out, block->data + at, static_cast<size_t>(n));
            out += n;
            offset += n;
            size -= n;
        }
        return true;
    }

    // In memory, within the image: straight from its bytes (most of a table's reading),
    // where it is asked for; a call to a function for each number of a table of a few
    // dozen imports cost a sixth of its reading. The rest in a call.
    template<typename T> Q_ALWAYS_INLINE T number(qint64 offset)
    {
        if (offset >= 0 && offset <= m_readable - qint64(sizeof(T)) && charge(sizeof(T)))
            return qFromLittleEndian<T>(m_memory + offset);
        return copiedNumber<T>(offset);
    }

private:
    template<typename T> Q_NEVER_INLINE T copiedNumber(qint64 offset)
    {
        std::array<unsigned char, sizeof(T)> bytes{};
        copy(offset, bytes.data(), sizeof(T));
        T value = 0;
        for (size_t i = sizeof(T); i-- > 0;)
            value = static_cast<T>(value << 8 | bytes[i]); // little-endian, whatever the host
        return value;
    }

public:

    // The zero-terminated text at the offset, without its zero: in memory a view of the
    // image's own bytes, from a file a view of the pool, where the text is copied (one pool
    // for all the texts of an image: a table of a thousand names then costs a few
    // allocations, not a thousand). A text that is empty, runs to the end of the file or
    // past the longest name fails the reading (and gives an empty view).
    QByteArrayView text(qint64 offset)
    {
#if defined(__SSE2__)
        // Most names of a program's imports end in their first 32 bytes: taken here, where
        // the reading of each import calls for them, without a call.
        if (offset >= 0 && offset <= m_readable - 32) {
            const auto *at = reinterpret_cast<const __m128i *>(m_memory + offset);
            const __m128i zero = _mm_setzero_si128();
            const unsigned zeros = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(at), zero)))
                | unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(at + 1), zero))) << 16;
            const int length = qCountTrailingZeroBits(zeros);
            if (zeros != 0 && length > 0 && charge(length + 1))
                return QByteArrayView(m_memory + offset, length);
        }
#endif
        return m_memory ? textInMemory(offset) : textFromFile(offset);
    }

private:
    // The same in memory, where the first 32 bytes did not settle it: searched where the
    // text stands, never past the longest name.
    Q_NEVER_INLINE QByteArrayView textInMemory(qint64 offset)
    {
        if (m_failed || offset < 0 || offset >= m_size) {
            fail();
            return {};
        }
        const char *const from = m_memory + offset;
        const qsizetype room = static_cast<qsizetype>(std::min<qint64>(m_size - offset, PeImage::maxNameBytes));
        const void *zero = std::memchr(from, 0, static_cast<size_t>(room));
        const qsizetype n = zero ? static_cast<const char *>(zero) - from : room;
        if (!charge(n + 1) || !zero || n == 0) {
            fail();
            return {};
        }
        return QByteArrayView(from, n);
    }

    // The same from a file, block by block, copied into the pool.
    Q_NEVER_INLINE QByteArrayView textFromFile(qint64 offset)
    {
        const qsizetype start = m_texts.size();
        while (!m_failed) {
            if (offset < 0 || offset >= m_size) {
                fail();
                break;
            }
            const Block *block = blockAt(offset);
            if (!block)
                break;
            const char *from = block->data + (offset - block->start);
            const qsizetype available = block->got - (offset - block->start);
            const qsizetype room = std::min(available, PeImage::maxNameBytes - (m_texts.size() - start));
            const void *zero = std::memchr(from, 0, static_cast<size_t>(room));
            const qsizetype n = zero ? static_cast<const char *>(zero) - from : room;
            if (!charge(n + 1))
                break;
            m_texts.append(from, n);
            if (zero) {
                if (m_texts.size() == start) {
                    fail();
                    break;
                }
                return QByteArrayView(m_texts.data() + start, m_texts.size() - start);
            }
            if (m_texts.size() - start >= PeImage::maxNameBytes) {
                fail();
                break;
            }
            offset += n;
        }
        m_texts.truncate(start);
        return {};
    }

public:
    // Where the texts stand now: it moves as they grow.
    const char *texts() const { return m_texts.data(); }
    QByteArray takeTexts() { return m_texts.take(); }
    void reserveTexts(qint64 bytes) { m_texts.reserve(qsizetype(std::min<qint64>(bytes, PeImage::maxBytesRead))); }
    // Whether the texts are copied into the pool (from a file) rather than viewed in place.
    bool pooled() const { return !m_memory; }

private:
    static constexpr qsizetype blockSize = 4096;
    static constexpr size_t blockCount = 8;
    struct Block
    {
        qint64 start = -1;
        qsizetype got = 0;
        const char *data = nullptr;
        std::unique_ptr<char[]> storage; // made when first needed: most images need few
    };

    Texts m_texts;

    bool charge(qsizetype bytes)
    {
        m_read += bytes;
        return m_read <= PeImage::maxBytesRead || fail();
    }

    const Block *blockAt(qint64 offset)
    {
        const qint64 start = offset / blockSize * blockSize;
        if (!m_blocks)
            m_blocks = std::make_unique<std::array<Block, blockCount>>();
        for (const Block &block : *m_blocks)
            if (block.start == start)
                return &block;
        Block &block = (*m_blocks)[m_nextFree];
        m_nextFree = (m_nextFree + 1) % blockCount;
        const qsizetype want = static_cast<qsizetype>(std::min<qint64>(blockSize, m_size - start));
        block.start = -1;
        if (!block.storage)
            block.storage = std::make_unique_for_overwrite<char[]>(blockSize);
        block.data = block.storage.get();
        block.got = m_source.readAt(start, block.storage.get(), want);
        if (block.got != want) {
            fail();
            return nullptr;
        }
        block.start = start;
        return &block;
    }

    const Source &m_source;
    const qint64 m_size;
    const char *const m_memory; // all the bytes, when the source holds them in memory
    // The bytes of m_memory that may be read in place: all of them, none once the reading
    // has failed (the one bound that the reading of each number checks).
    qint64 m_readable;
    std::unique_ptr<std::array<Block, blockCount>> m_blocks; // made when first needed: an image in memory needs none
    size_t m_nextFree = 0;
    qsizetype m_entries = 0;
    qint64 m_read = 0;
    bool m_failed = false;
};

// Not cleared when made: of the room for the most sections an image may have, only those
// it has are written and read.
struct Section
{
    quint32 address;
    quint32 rawSize;
    quint32 rawOffset;
};

struct Directory
{
    quint32 address = 0;
    quint32 size = 0;
};

class Image
{
public:
    Image(Reader &reader, Tables &tables) : m_in(reader), m_tables(tables) {}

    bool readHeaders()
    {
        if (m_in.size() < 64 || m_in.number<quint16>(0) != 0x5A4D) // "MZ"
            return false;
        const qint64 pe = m_in.number<quint32>(0x3C);
        if (m_in.number<quint32>(pe) != 0x4550) // "PE\0\0"
            return false;
        const int sections = m_in.number<quint16>(pe + 6);
        const qint64 optional = pe + 24;
        const qint64 optionalSize = m_in.number<quint16>(pe + 20);
        const quint16 magic = m_in.number<quint16>(optional);
        if (m_in.failed() || sections > PeImage::maxSections || (magic != 0x10B && magic != 0x20B))
            return false;
        m_wide = magic == 0x20B;
        const qint64 directories = optional + (m_wide ? 112 : 96);
        if (directories - optional > optionalSize)
            return false;
        m_imageBase = m_wide ? m_in.number<quint64>(optional + 24) : m_in.number<quint32>(optional + 28);
        m_headerSize = m_in.number<quint32>(optional + 60);
        const quint32 declared = m_in.number<quint32>(optional + (m_wide ? 108 : 92));
        const qint64 room = (optionalSize - (directories - optional)) / 8;
        // The directories, and the three numbers used of each section's header, each read at
        // once rather than number by number (a tenth of a small program's reading), counted
        // as the numbers they hold.
        const qint64 count = std::min<qint64>({declared, room, qint64(m_directories.size())});
        std::array<char, sizeof(m_directories)> directoryBytes;
        if (count > 0 && m_in.copy(directories, directoryBytes.data(), 8 * count)) {
            for (qint64 i = 0; i < count; ++i) {
                const char *const at = directoryBytes.data() + 8 * i;
                m_directories[size_t(i)] = {qFromLittleEndian<quint32>(at), qFromLittleEndian<quint32>(at + 4)};
            }
        }
        m_sectionCount = size_t(sections);
        std::array<char, 40 * PeImage::maxSections> sectionBytes;
        if (sections > 0 && m_in.copy(optional + optionalSize + 12, sectionBytes.data(), 40 * (sections - 1) + 12, 12 * sections)) {
            for (size_t i = 0; i < m_sectionCount; ++i) {
                const char *const at = sectionBytes.data() + 40 * i;
                m_sections[i] = {qFromLittleEndian<quint32>(at), qFromLittleEndian<quint32>(at + 4), qFromLittleEndian<quint32>(at + 8)};
            }
        }
        return !m_in.failed();
    }

    // Where in the file `length` bytes at the address lie, all within one section's data
    // (or the headers); -1, and the reading failed, when they do not.
    qint64 offsetOf(quint64 address, quint32 length)
    {
        if (address < m_headerSize && address + length <= m_headerSize)
            return qint64(address);
        // The entries and names of a table lie mostly in one section: the one of the last
        // address is tried first (a third of the reading went to trying them all in turn).
        const auto within = [address, length](const Section &section) {
            return address >= section.address && address - section.address + length <= section.rawSize;
        };
        if (m_lastSection < m_sectionCount && within(m_sections[m_lastSection])) {
            const Section &section = m_sections[m_lastSection];
            return qint64(section.rawOffset) + qint64(address - section.address);
        }
        for (size_t i = 0; i < m_sectionCount; ++i) {
            if (within(m_sections[i])) {
                m_lastSection = i;
                return qint64(m_sections[i].rawOffset) + qint64(address - m_sections[i].address);
            }
        }
        m_in.fail();
        return -1;
    }

    quint64 entry(quint64 address) { return m_wide ? m_in.number<quint64>(offsetOf(address, 8)) : m_in.number<quint32>(offsetOf(address, 4)); }

    // A list of thunks up to its zero entry: imports by name or by ordinal. `base` is
    // taken off addresses that are written as addresses in memory (old delay-load tables).
    void readThunks(quint64 address, quint64 base, QByteArrayView dll, bool delayed)
    {
        // The DLL's name, read into the pool before its thunks' names, follows the pool
        // when a name read here moves it, as the names taken already do (follow()).
        const char *dllPool = m_textsAt;
        const quint64 ordinalFlag = m_wide ? 1ull << 63 : 1ull << 31;
        const quint32 width = m_wide ? 8 : 4;
        for (;; address += width) {
            if (!m_in.spend())
                return;
            const quint64 thunk = entry(address);
            if (thunk == 0 || m_in.failed())
                return;
            QByteArrayView name;
            quint16 ordinal = 0;
            if (thunk & ordinalFlag) {
                ordinal = static_cast<quint16>(thunk);
            } else {
                if (thunk < base)
                    return void(m_in.fail());
                name = text(offsetOf(thunk - base + 2, 1)); // after the two bytes of the hint
                if (m_textsAt != dllPool && m_in.pooled()) {
                    dll = QByteArrayView(m_textsAt + (dll.data() - dllPool), dll.size());
                    dllPool = m_textsAt;
                }
            }
            // Of four plain fields, built straight into its place (the compiler does, not
            // zeroing it first); an entry made aside in small stores and copied in with wide
            // loads stalled each import (the processor cannot hand several small stores on
            // to one wider load; the load waits for them to complete).
            if (m_tables.imports.empty())
                m_tables.imports.reserve(64); // a small program's, at once
            m_tables.imports.push_back(Import{dll, name, ordinal, delayed});
        }
    }

    void readImports()
    {
        const Directory directory = m_directories[1];
        for (quint64 address = directory.address; directory.address != 0 && !m_in.failed(); address += 20) {
            if (!m_in.spend())
                return;
            const qint64 at = offsetOf(address, 20);
            const quint32 names = m_in.number<quint32>(at);
            const quint32 dll = m_in.number<quint32>(at + 12);
            const quint32 addresses = m_in.number<quint32>(at + 16);
            if (dll == 0 || m_in.failed())
                return;
            readThunks(names != 0 ? names : addresses, 0, text(offsetOf(dll, 1)), false);
        }
    }

    void readDelayedImports()
    {
        const Directory directory = m_directories[13];
        for (quint64 address = directory.address; directory.address != 0 && !m_in.failed(); address += 32) {
            if (!m_in.spend())
                return;
            const qint64 at = offsetOf(address, 32);
            // Attribute bit 0 clear: the old tables, whose pointers are addresses in memory.
            const quint64 base = m_in.number<quint32>(at) & 1 ? 0 : m_imageBase;
            const quint32 dll = m_in.number<quint32>(at + 4);
            const quint32 names = m_in.number<quint32>(at + 16);
            if (dll == 0 || m_in.failed())
                return;
            if (dll < base || names < base || names == 0)
                return void(m_in.fail());
            readThunks(names - base, base, text(offsetOf(dll - base, 1)), true);
        }
    }

    void readExports()
    {
        const Directory directory = m_directories[0];
        if (directory.address == 0)
            return;
        const qint64 at = offsetOf(directory.address, 40);
        const quint32 count = m_in.number<quint32>(at + 24);
        const quint32 names = m_in.number<quint32>(at + 32);
        if (count > PeImage::maxEntries)
            return void(m_in.fail());
        // Room for them at once, each name with its 4 bytes in the file and most shorter
        // than 32: the names then move once, if at all.
        const qint64 likely = std::min<qint64>(count, m_in.size() / 4);
        m_tables.exports.reserve(size_t(likely));
        if (m_in.pooled()) {
            m_in.reserveTexts(std::min(32 * likely, m_in.size()));
            follow();
        }
        for (quint32 i = 0; i < count && m_in.spend(); ++i)
            m_tables.exports.push_back(text(offsetOf(m_in.number<quint32>(offsetOf(names + 4ull * i, 4)), 1)));
    }

    // The copied texts of the tables, once all are read.
    void takeTexts() { m_tables.bytes = m_in.takeTexts(); }

private:
    // A text read into the pool; the names taken from it so far follow it when it moves.
    // (In memory the texts are the image's bytes, and never move.)
    QByteArrayView text(qint64 offset)
    {
        const QByteArrayView name = m_in.text(offset);
        if (m_in.texts() != m_textsAt)
            follow();
        return name;
    }
    void follow()
    {
        const char *const was = m_textsAt;
        m_textsAt = m_in.texts();
        const auto moved = [was, this](QByteArrayView &name) {
            if (!name.isNull())
                name = QByteArrayView(m_textsAt + (name.data() - was), name.size());
        };
        for (Import &import : m_tables.imports) {
            moved(import.dll);
            moved(import.name);
        }
        for (QByteArrayView &name : m_tables.exports)
            moved(name);
    }

    Reader &m_in;
    Tables &m_tables; // the imports and exports as read, their names views of the image or the pool
    const char *m_textsAt = nullptr; // where the pool stood when the names were last taken
    bool m_wide = false;
    quint64 m_imageBase = 0;
    quint32 m_headerSize = 0;
    std::array<Directory, 16> m_directories{};
    std::array<Section, PeImage::maxSections> m_sections;
    size_t m_sectionCount = 0;
    size_t m_lastSection = 0; // where offsetOf() found the last address
};

} // namespace

namespace PeImage {

std::optional<Tables> read(const Source &source)
{
    Reader reader(source);
    std::optional<Tables> tables(std::in_place);
    Image image(reader, *tables);
    if (!image.readHeaders())
        return std::nullopt;
    image.readImports();
    image.readDelayedImports();
    image.readExports();
    if (reader.failed())
        return std::nullopt;
    if (reader.pooled())
        image.takeTexts();
    return tables;
}

std::optional<Tables> read(QByteArrayView image)
{
    return read(MemorySource(image));
}

std::optional<Tables> read(const QByteArray &image)
{
    std::optional<Tables> tables = read(QByteArrayView(image));
    if (tables)
        tables->bytes = image; // shared, not copied: the names are views of it
    return tables;
}

} // namespace PeImage
