#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QList>

#include <utility>

// A small PE image, 32 or 64 bits, with one section that holds its import, delay-load and
// export tables and whatever other bytes a test puts there. An imported name "#7" is an
// import by ordinal 7. The offsets in the built file are kept, for a test to damage it.
struct PeBuilder
{
    using Dlls = QList<std::pair<QByteArray, QByteArrayList>>;
    bool wide = false;
    Dlls imports, delayed;
    QByteArrayList exports;
    QByteArray strings;

    // File offsets, set by build().
    static constexpr qsizetype peOffset = 0x80, sectionCountAt = peOffset + 6;
    qsizetype importDirectoryAt = 0, delayDirectoryAt = 0, exportCountAt = 0, firstThunkAt = 0, sectionRawSizeAt = 0;

    QByteArray build()
    {
        constexpr qsizetype raw = 0x200, address = 0x1000;
        QByteArray section;
        auto reserve = [&section](qsizetype n) { const qsizetype at = (section.size() + 7) & ~7; section.resize(at + n, '\0'); return at; };
        auto rva = [](qsizetype at) { return quint32(address + at); };
        auto put = [](QByteArray &into, qsizetype at, quint64 value, int bytes) {
            for (int i = 0; i < bytes; ++i)
                into[at + i] = char(value >> (8 * i));
        };
        auto text = [&](const QByteArray &name, bool hint) { const qsizetype at = reserve(name.size() + 1 + (hint ? 2 : 0)); section.replace(at + (hint ? 2 : 0), name.size(), name); return at; };
        const int width = wide ? 8 : 4;
        auto table = [&](const Dlls &dlls, int descriptorSize, int nameAt, int thunksAt, int addressesAt) {
            const qsizetype descriptors = reserve(descriptorSize * (dlls.size() + 1));
            for (qsizetype d = 0; d < dlls.size(); ++d) {
                const qsizetype thunks = reserve(width * (dlls[d].second.size() + 1));
                if (firstThunkAt == 0)
                    firstThunkAt = raw + thunks;
                for (qsizetype i = 0; i < dlls[d].second.size(); ++i) {
                    const QByteArray &name = dlls[d].second[i];
                    const quint64 thunk = name.startsWith('#') ? (quint64(1) << (width * 8 - 1)) | name.mid(1).toUShort() : rva(text(name, true));
                    put(section, thunks + width * i, thunk, width);
                }
                const qsizetype at = descriptors + descriptorSize * d;
                put(section, at + nameAt, rva(text(dlls[d].first, false)), 4);
                put(section, at + thunksAt, rva(thunks), 4);
                put(section, at + addressesAt, rva(thunks), 4);
                if (descriptorSize == 32)
                    put(section, at, 1, 4); // addresses relative to the image
            }
            return dlls.isEmpty() ? quint32(0) : rva(descriptors);
        };
        const quint32 importTable = table(imports, 20, 12, 0, 16);
        const quint32 delayTable = table(delayed, 32, 4, 16, 12);
        const qsizetype exportDirectory = reserve(40), names = reserve(4 * exports.size());
        for (qsizetype i = 0; i < exports.size(); ++i)
            put(section, names + 4 * i, rva(text(exports[i], false)), 4);
        put(section, exportDirectory + 24, quint64(exports.size()), 4);
        put(section, exportDirectory + 32, rva(names), 4);
        section += strings;

        QByteArray image(raw, '\0');
        image.replace(0, 2, "MZ");
        put(image, 0x3C, peOffset, 4);
        image.replace(peOffset, 4, QByteArray("PE\0\0", 4));
        const qsizetype optional = peOffset + 24, optionalSize = wide ? 240 : 224, directories = optional + (wide ? 112 : 96);
        put(image, peOffset + 4, wide ? 0x8664 : 0x14C, 2);
        put(image, sectionCountAt, 1, 2);
        put(image, peOffset + 20, optionalSize, 2);
        put(image, optional, wide ? 0x20B : 0x10B, 2);
        put(image, optional + (wide ? 24 : 28), 0x400000, 4);
        put(image, optional + 60, raw, 4);
        put(image, directories - 4, 16, 4);
        importDirectoryAt = directories + 8;
        delayDirectoryAt = directories + 8 * 13;
        exportCountAt = raw + exportDirectory + 24;
        put(image, importDirectoryAt, importTable, 4);
        put(image, delayDirectoryAt, delayTable, 4);
        put(image, directories, exports.isEmpty() ? 0 : rva(exportDirectory), 4);
        const qsizetype header = optional + optionalSize;
        sectionRawSizeAt = header + 16;
        put(image, header + 12, address, 4);
        put(image, sectionRawSizeAt, quint64(section.size()), 4);
        put(image, header + 20, raw, 4);
        return image + section;
    }
};
