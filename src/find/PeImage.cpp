#include "PeImage.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
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

// The bytes of all the names of an image, one after another. The names of a small
// program's imports fit in the first block, kept inside the reader, so that reading them
// costs no allocation; a DLL of thousands of exports doubles it on the heap a few times.
// The tables get one copy of it at the end.
class Pool
{
public:
    Pool() = default;
    Q_DISABLE_COPY_MOVE(Pool)
    qsizetype size() const { return m_size; }
    void append(const char *from, qsizetype n)
    {
        if (n > m_capacity - m_size) {
            m_capacity = std::max(2 * m_capacity, m_size + n);
            auto grown = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(m_capacity));
            std::memcpy(grown.get(), m_data, static_cast<size_t>(m_size));
            m_heap = std::move(grown);
            m_data = m_heap.get();
        }
        std::memcpy(m_data + m_size, from, static_cast<size_t>(n));
        m_size += n;
    }
    void truncate(qsizetype size) { m_size = size; }
    QByteArray bytes() const { return QByteArray(m_data, m_size); }

private:
    static constexpr qsizetype firstBlock = 2048;
    char m_first[firstBlock];
    std::unique_ptr<char[]> m_heap;
    char *m_data = m_first;
    qsizetype m_size = 0;
    qsizetype m_capacity = firstBlock;
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
    {
    }

    qint64 size() const { return m_size; }
    bool failed() const { return m_failed; }
    bool fail() { m_failed = true; return false; }
    // One more entry of a table, within the bound of all of them.
    bool spend() { return ++m_entries <= PeImage::maxEntries || fail(); }

    bool copy(qint64 offset, void *into, qsizetype size)
    {
        auto *out = static_cast<char *>(into);
        if (m_failed || offset < 0 || size < 0 || offset > m_size - size || !charge(size)) {
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

    template<typename T> T number(qint64 offset)
    {
        // In memory, within the image: straight from its bytes (most of a table's reading).
        if (m_memory && !m_failed && offset >= 0 && offset <= m_size - qint64(sizeof(T)) && charge(sizeof(T)))
            return qFromLittleEndian<T>(m_memory + offset);
        std::array<unsigned char, sizeof(T)> bytes{};
        copy(offset, bytes.data(), sizeof(T));
        T value = 0;
        for (size_t i = sizeof(T); i-- > 0;)
            value = static_cast<T>(value << 8 | bytes[i]); // little-endian, whatever the host
        return value;
    }

    // Where a text stands in the pool of texts. The pool holds no more than maxBytesRead,
    // so 32 bits do; and a span fits one register, which the reading of each import keeps
    // it in rather than copying it through memory.
    struct Span
    {
        qint32 at = 0;
        qint32 size = 0;
    };
    static_assert(PeImage::maxBytesRead <= std::numeric_limits<qint32>::max());

    // The zero-terminated text at the offset, without its zero, added to the pool; a text
    // that is empty, runs to the end of the file or past the longest name fails the reading
    // (and gives an empty span). One pool for all the texts of an image: a table of a
    // thousand names then costs a few allocations, not a thousand.
    Span text(qint64 offset)
    {
        const qsizetype start = m_pool.size();
        while (!m_failed) {
            if (offset < 0 || offset >= m_size) {
                fail();
                break;
            }
            // In memory the text is searched where it stands; from a file, block by block.
            const char *from = nullptr;
            qsizetype available = 0;
            if (m_memory) {
                from = m_memory + offset;
                available = static_cast<qsizetype>(std::min<qint64>(m_size - offset, PeImage::maxNameBytes));
            } else {
                const Block *block = blockAt(offset);
                if (!block)
                    break;
                from = block->data + (offset - block->start);
                available = block->got - (offset - block->start);
            }
            const qsizetype room = std::min(available, PeImage::maxNameBytes - (m_pool.size() - start));
            const void *zero = std::memchr(from, 0, static_cast<size_t>(room));
            const qsizetype n = zero ? static_cast<const char *>(zero) - from : room;
            if (!charge(n + 1))
                break;
            m_pool.append(from, n);
            if (zero) {
                if (m_pool.size() == start) {
                    fail();
                    break;
                }
                return {static_cast<qint32>(start), static_cast<qint32>(m_pool.size() - start)};
            }
            if (m_pool.size() - start >= PeImage::maxNameBytes) {
                fail();
                break;
            }
            offset += n;
        }
        m_pool.truncate(start);
        return {};
    }
    QByteArray takePool() const { return m_pool.bytes(); }

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

    Pool m_pool;

    bool charge(qsizetype bytes)
    {
        m_read += bytes;
        return m_read <= PeImage::maxBytesRead || fail();
    }

    const Block *blockAt(qint64 offset)
    {
        const qint64 start = offset / blockSize * blockSize;
        for (const Block &block : m_blocks)
            if (block.start == start)
                return &block;
        Block &block = m_blocks[m_nextFree];
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
    std::array<Block, blockCount> m_blocks;
    size_t m_nextFree = 0;
    qsizetype m_entries = 0;
    qint64 m_read = 0;
    bool m_failed = false;
};

struct Section
{
    quint32 address = 0;
    quint32 rawSize = 0;
    quint32 rawOffset = 0;
};

struct Directory
{
    quint32 address = 0;
    quint32 size = 0;
};

class Image
{
public:
    explicit Image(Reader &reader) : m_in(reader) { m_imports.reserve(64); }

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
        for (qint64 i = 0; i < std::min<qint64>({declared, room, qint64(m_directories.size())}); ++i)
            m_directories[size_t(i)] = {m_in.number<quint32>(directories + 8 * i), m_in.number<quint32>(directories + 8 * i + 4)};
        m_sections.reserve(size_t(sections));
        for (int i = 0; i < sections; ++i) {
            const qint64 at = optional + optionalSize + 40 * qint64(i);
            m_sections.push_back({m_in.number<quint32>(at + 12), m_in.number<quint32>(at + 16), m_in.number<quint32>(at + 20)});
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
        if (m_lastSection < m_sections.size() && within(m_sections[m_lastSection])) {
            const Section &section = m_sections[m_lastSection];
            return qint64(section.rawOffset) + qint64(address - section.address);
        }
        for (size_t i = 0; i < m_sections.size(); ++i) {
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
    void readThunks(quint64 address, quint64 base, Reader::Span dll, bool delayed)
    {
        const quint64 ordinalFlag = m_wide ? 1ull << 63 : 1ull << 31;
        const quint32 width = m_wide ? 8 : 4;
        for (;; address += width) {
            if (!m_in.spend())
                return;
            const quint64 thunk = entry(address);
            if (thunk == 0 || m_in.failed())
                return;
            Reader::Span name;
            quint16 ordinal = 0;
            if (thunk & ordinalFlag) {
                ordinal = static_cast<quint16>(thunk);
            } else {
                if (thunk < base)
                    return void(m_in.fail());
                name = m_in.text(offsetOf(thunk - base + 2, 1)); // after the two bytes of the hint
            }
            // Field by field into its place: an entry made aside in small stores and copied
            // in with wide loads stalled each import (the processor cannot hand several
            // small stores on to one wider load; the load waits for them to complete).
            ImportRead &import = m_imports.emplace_back();
            import.dll = dll;
            import.name = name;
            import.ordinal = ordinal;
            import.delayed = delayed;
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
            readThunks(names != 0 ? names : addresses, 0, m_in.text(offsetOf(dll, 1)), false);
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
            readThunks(names - base, base, m_in.text(offsetOf(dll - base, 1)), true);
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
        for (quint32 i = 0; i < count && m_in.spend(); ++i)
            m_exportTexts.push_back(m_in.text(offsetOf(m_in.number<quint32>(offsetOf(names + 4ull * i, 4)), 1)));
    }

    // Makes the tables, once all the texts are in the pool (which moves while it grows):
    // each list made once at its size.
    void placeTexts(Tables &tables)
    {
        tables.texts = m_in.takePool();
        const auto textOf = [&tables](Reader::Span span) {
            return span.size > 0 ? QByteArray::fromRawData(tables.texts.constData() + span.at, span.size) : QByteArray();
        };
        tables.imports.reserve(m_imports.size());
        for (const ImportRead &import : m_imports) {
            Import &made = tables.imports.emplace_back(); // in its place, as in readThunks()
            made.dll = textOf(import.dll);
            made.name = textOf(import.name);
            made.ordinal = import.ordinal;
            made.delayed = import.delayed;
        }
        tables.exports.reserve(m_exportTexts.size());
        for (const Reader::Span span : m_exportTexts)
            tables.exports.push_back(textOf(span));
    }

private:
    Reader &m_in;
    bool m_wide = false;
    quint64 m_imageBase = 0;
    quint32 m_headerSize = 0;
    std::array<Directory, 16> m_directories{};
    std::vector<Section> m_sections;
    size_t m_lastSection = 0; // where offsetOf() found the last address
    // An import as read, its texts where they stand in the pool.
    struct ImportRead
    {
        Reader::Span dll;
        Reader::Span name; // empty when imported by ordinal
        quint16 ordinal = 0;
        bool delayed = false;
    };
    std::vector<ImportRead> m_imports; // in table order, the delay-load ones last
    std::vector<Reader::Span> m_exportTexts;
};

} // namespace

namespace PeImage {

std::optional<Tables> read(const Source &source)
{
    Reader reader(source);
    Image image(reader);
    if (!image.readHeaders())
        return std::nullopt;
    image.readImports();
    image.readDelayedImports();
    image.readExports();
    if (reader.failed())
        return std::nullopt;
    Tables tables;
    image.placeTexts(tables);
    return tables;
}

std::optional<Tables> read(QByteArrayView image)
{
    return read(MemorySource(image));
}

} // namespace PeImage
