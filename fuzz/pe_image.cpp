// The reader of a PE image's import and export tables on any bytes: it must end soon,
// within its bounds, and pass on only names that stand in the image as written; read from
// a file in pieces it must give what it gives from memory.
#include "find/PeImage.h"

#include "FuzzCheck.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// The image handed out in short pieces, as a file may be read.
class ShortReads : public PeImage::Source
{
public:
    explicit ShortReads(QByteArrayView bytes) : m_bytes(bytes) {}
    qint64 size() const override { return m_bytes.size(); }
    qsizetype readAt(qint64 offset, char *into, qsizetype size) const override
    {
        qsizetype done = 0;
        while (done < size && offset + done < m_bytes.size()) {
            const qsizetype n = std::min<qsizetype>({7, size - done, m_bytes.size() - offset - done});
            std::memcpy(into + done, m_bytes.data() + offset + done, size_t(n));
            done += n;
        }
        return done;
    }

private:
    QByteArrayView m_bytes;
};

bool sameTables(const std::optional<PeImage::Tables> &a, const std::optional<PeImage::Tables> &b)
{
    return !a || !b ? !a == !b : *a == *b;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView image(data, qsizetype(size));
    const std::optional<PeImage::Tables> tables = PeImage::read(image);
    check(sameTables(tables, PeImage::read(ShortReads(image))), "a file read in pieces reads otherwise");
    if (!tables)
        return 0;
    check(qsizetype(tables->imports.size() + tables->exports.size()) <= PeImage::maxEntries, "more entries than the bound");
    // Read from memory, a name is a view of the image's own bytes, up to a zero in it.
    auto written = [image](QByteArrayView name) {
        return !name.isEmpty() && name.size() < PeImage::maxNameBytes && !name.contains('\0') && name.data() >= image.data()
            && name.data() + name.size() < image.data() + image.size() && name.data()[name.size()] == '\0';
    };
    for (const PeImage::Import &import : tables->imports)
        check(written(import.dll) && (import.name.isEmpty() || written(import.name)), "an import not in the image");
    for (const QByteArrayView name : tables->exports)
        check(written(name), "an export not in the image");
    return 0;
}
