#include "find/ExecutableAnalysis.h"
#include "find/NameKinds.h"
#include "find/NameScanner.h"
#include "find/PeImage.h"
#include "support/PeBuilder.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstring>

namespace {

// The catalogue of the rows, out of the order of the groups, so the grouping shows.
const QStringList names{QStringLiteral("Beep"), QStringLiteral("timeGetTime"), QStringLiteral("GetVersion"),
                        QStringLiteral("MessageBox"), QStringLiteral("GetTickCount"), QStringLiteral("CreateFileA"),
                        QStringLiteral("ExitProcess"), QStringLiteral("Sleep")};
const QStringList libraries{QStringLiteral("kernel32"), QStringLiteral("winmm"), QStringLiteral("kernel32"),
                            QStringLiteral("user32"), QStringLiteral("kernel32"), QStringLiteral("kernel32"),
                            QStringLiteral("kernel32"), QStringLiteral("kernel32")};
QStringList declarations()
{
    QStringList lines;
    for (qsizetype i = 0; i < names.size(); ++i)
        lines.append(QStringLiteral("Private Declare Function %1 Lib \"%2\" %3()")
                         .arg(names[i], libraries[i], names[i] == QLatin1String("MessageBox") ? QStringLiteral("Alias \"MessageBoxA\" ") : QString()));
    return lines;
}

// Imports three functions by name (one from a DLL other than the catalogue's), one by
// ordinal, one delay-loaded; exports one; holds one name only as a string.
// An image read as a file is, at offsets, with no bytes in memory to view.
class ReadAtOffsets : public PeImage::Source
{
public:
    explicit ReadAtOffsets(const QByteArray &image) : m_image(image) {}
    qint64 size() const override { return m_image.size(); }
    qsizetype readAt(qint64 offset, char *into, qsizetype size) const override
    {
        size = std::clamp<qsizetype>(m_image.size() - offset, 0, size);
        std::memcpy(into, m_image.constData() + offset, size_t(size));
        return size;
    }

private:
    const QByteArray m_image;
};

PeBuilder sample(bool wide)
{
    PeBuilder pe;
    pe.wide = wide;
    pe.imports = {{"KERNEL32.dll", {"GetTickCount", "#7"}}, {"USER32.dll", {"MessageBoxA"}},
                  {"api-ms-win-core-file-l1-1-0.dll", {"CreateFileA"}}};
    pe.delayed = {{"WINMM.dll", {"timeGetTime"}}};
    pe.exports = {"GetVersion"};
    pe.strings = "Beep";
    return pe;
}

QStringList describe(const QList<NameKinds::Row> &rows)
{
    QStringList lines;
    for (const NameKinds::Row &row : rows) {
        static const char *const kinds[] = {"import", "export", "string"};
        lines.append(QStringLiteral("%1 %2 %3%4").arg(QLatin1String(kinds[int(row.kind)]),
                                                      row.index < 0 ? row.ordinalText() : names[row.index], row.dll,
                                                      row.otherLibrary ? QStringLiteral(" other") : QString()).trimmed());
    }
    return lines;
}

} // namespace

class tst_PeImage : public QObject
{
    Q_OBJECT

private slots:
    void analyse_groupsImportsExportsAndStrings_data()
    {
        QTest::addColumn<bool>("wide");
        QTest::addColumn<qsizetype>("at");      // an offset to damage, 0 for none
        QTest::addColumn<QByteArray>("bytes"); // written there
        QTest::addColumn<QStringList>("rows");

        const QStringList grouped{QStringLiteral("import timeGetTime WINMM.dll"), QStringLiteral("import MessageBox USER32.dll"),
                                  QStringLiteral("import GetTickCount KERNEL32.dll"),
                                  QStringLiteral("import CreateFileA api-ms-win-core-file-l1-1-0.dll other"),
                                  QStringLiteral("import KERNEL32.dll#7 KERNEL32.dll"),
                                  QStringLiteral("export GetVersion"), QStringLiteral("string Beep")};
        const QStringList plain{QStringLiteral("string Beep"), QStringLiteral("string timeGetTime"), QStringLiteral("string GetVersion"),
                                QStringLiteral("string MessageBox"), QStringLiteral("string GetTickCount"),
                                QStringLiteral("string CreateFileA")};
        QTest::newRow("32 bits") << false << qsizetype(0) << QByteArray() << grouped;
        QTest::newRow("64 bits") << true << qsizetype(0) << QByteArray() << grouped;
        const PeBuilder pe = [] { PeBuilder b = sample(false); b.build(); return b; }();
        const QByteArray huge("\xF0\xFF\xFF\x7F", 4);
        QTest::newRow("PE header past the end") << false << qsizetype(0x3C) << huge << plain;
        QTest::newRow("65535 sections") << false << PeBuilder::sectionCountAt << QByteArray("\xFF\xFF") << plain;
        QTest::newRow("section data past the end") << false << pe.sectionRawSizeAt + 4 << huge << plain;
        QTest::newRow("import table past the end") << false << pe.importDirectoryAt << huge << plain;
        QTest::newRow("delay-load table past the end") << false << pe.delayDirectoryAt << huge << plain;
        QTest::newRow("thunk pointing past the end") << false << pe.firstThunkAt << huge << plain;
        QTest::newRow("export name count huge") << false << pe.exportCountAt << QByteArray("\xFF\xFF\xFF\xFF") << plain;
    }
    void analyse_groupsImportsExportsAndStrings()
    {
        QFETCH(bool, wide);
        QFETCH(qsizetype, at);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, rows);
        PeBuilder pe = sample(wide);
        QByteArray image = pe.build();
        if (at > 0)
            image.replace(at, bytes.size(), bytes);
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("sample.exe")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(image) == image.size());
        file.close();

        const NameScanner scanner(names);
        const ExecutableAnalysis::Result result = ExecutableAnalysis::analyse(file.fileName(), scanner);
        QCOMPARE(result.outcome, ExecutableAnalysis::Outcome::Scanned);
        QCOMPARE(result.tables.has_value(), at == 0);
        const NameKinds kinds(names, declarations(), libraries);
        QCOMPARE(describe(kinds.group(result.found, result.tables.value_or(PeImage::Tables{}))), rows);
    }

    // An import's name read from an image in memory: at the very end of the file, empty,
    // longer than 16 bytes near the end and far from it, 31 and 32 bytes (the most the
    // first look takes, and one more), at the longest a name may be.
    void read_nameAtItsBounds_data()
    {
        QTest::addColumn<QByteArray>("strings"); // the end of the file, where the name is
        QTest::addColumn<QByteArray>("name");    // the import read; null for no tables
        const QByteArray zeros(40, '\0');
        const QByteArray long20("TwentyBytesLongNameA"), long40 = long20 + long20, longest(PeImage::maxNameBytes - 1, 'n');
        QTest::newRow("zero is the last byte") << QByteArray("Beep", 5) << QByteArray("Beep");
        QTest::newRow("runs to the end of the file") << QByteArray("Beep") << QByteArray();
        QTest::newRow("empty") << zeros << QByteArray();
        QTest::newRow("20 bytes at the end") << long20 + '\0' << long20;
        QTest::newRow("20 bytes far from the end") << long20 + zeros << long20;
        QTest::newRow("16 bytes far from the end") << long20.first(16) + zeros << long20.first(16);
        QTest::newRow("31 bytes far from the end") << long40.first(31) + zeros << long40.first(31);
        QTest::newRow("32 bytes far from the end") << long40.first(32) + zeros << long40.first(32);
        QTest::newRow("the longest") << longest + zeros << longest;
        QTest::newRow("one byte longer") << longest + 'n' + zeros << QByteArray();
    }
    void read_nameAtItsBounds()
    {
        QFETCH(QByteArray, strings);
        QFETCH(QByteArray, name);
        PeBuilder pe;
        pe.imports = {{"KERNEL32.dll", {"Sleep"}}};
        pe.strings = strings;
        QByteArray image = pe.build();
        const quint32 at = quint32(0x1000 + image.size() - strings.size() - 0x200 - 2); // its address, the hint before it
        for (int i = 0; i < 4; ++i)
            image[pe.firstThunkAt + i] = char(at >> (8 * i));
        const std::optional<PeImage::Tables> tables = PeImage::read(image);
        QCOMPARE(tables.has_value(), !name.isNull());
        if (tables)
            QCOMPARE(tables->imports.at(0).name.toByteArray(), name);
    }

    // The names of a large table outgrow the first block of the reader's pool and move
    // to the heap, twice: every name comes back whole and in its place, from memory and
    // from the file.
    void read_namesPastTheFirstBlock_allReadBack()
    {
        PeBuilder pe;
        pe.wide = true;
        QByteArrayList expectedImports;
        for (int d = 0; d < 3; ++d) {
            QByteArrayList functions;
            for (int i = 0; i < 40; ++i)
                functions.append(QByteArray("Function") + QByteArray::number(d) + '_' + QByteArray::number(i) + QByteArray(40 + i, 'x'));
            functions.insert(5, "#9");
            const QByteArray dll = "LIBRARY" + QByteArray::number(d) + ".dll";
            for (const QByteArray &function : functions)
                expectedImports.append(dll + ' ' + function);
            pe.imports.append({dll, functions});
        }
        for (int i = 0; i < 200; ++i)
            pe.exports.append(QByteArray("Export") + QByteArray::number(i) + QByteArray(i % 50, 'y'));
        const QByteArray image = pe.build();

        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("large.dll")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(image) == image.size());
        file.close();
        const NameScanner scanner(names);
        const std::optional<PeImage::Tables> fromFile = ExecutableAnalysis::analyse(file.fileName(), scanner).tables;
        // Read as from a large file, by reads at offsets: the names are copied into the
        // pool, which grows while a DLL's thunks are read (that DLL's name, taken before,
        // was left pointing into the pool's old place, freed: garbage in the list).
        const std::optional<PeImage::Tables> copied = PeImage::read(ReadAtOffsets(image));
        for (const std::optional<PeImage::Tables> &tables : {PeImage::read(image), fromFile, copied}) {
            QVERIFY(tables.has_value());
            QByteArrayList imports;
            for (const PeImage::Import &import : tables->imports)
                imports.append(import.dll.toByteArray() + ' ' + (import.name.isEmpty() ? '#' + QByteArray::number(import.ordinal) : import.name.toByteArray()));
            QCOMPARE(imports, expectedImports);
            QByteArrayList exports;
            for (const QByteArrayView name : tables->exports)
                exports.append(name.toByteArray());
            QCOMPARE(exports, pe.exports);
            QVERIFY(tables->bytes.size() > 2 * 4096);
        }
    }

    void libraryKey_data()
    {
        QTest::addColumn<QString>("dll");
        QTest::addColumn<QString>("key");
        QTest::newRow("upper case, extension") << QStringLiteral("KERNEL32.dll") << QStringLiteral("kernel32");
        QTest::newRow("no extension") << QStringLiteral("Kernel32") << QStringLiteral("kernel32");
        QTest::newRow("path") << QStringLiteral("C:\\Windows\\System32\\USER32.DLL") << QStringLiteral("user32");
        QTest::newRow("other extension") << QStringLiteral("winspool.drv") << QStringLiteral("winspool.drv");
    }
    void libraryKey()
    {
        QFETCH(QString, dll);
        QFETCH(QString, key);
        QCOMPARE(NameKinds::libraryKey(dll), key);
    }
};

QTEST_GUILESS_MAIN(tst_PeImage)
#include "tst_peimage.moc"
