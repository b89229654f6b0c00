#include "platform/Windows1256.h"
#include "find/NaiveNameScan.h"
#include "find/NameScanner.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTest>

namespace {

QStringList namesAt(const QStringList &names, const QList<qsizetype> &indices)
{
    QStringList picked;
    for (const qsizetype i : indices)
        picked.append(names.at(i));
    return picked;
}

// The scanner fed in pieces of the given sizes, cycling through them.
QList<qsizetype> scanInPieces(const NameScanner &scanner, QByteArrayView content,
                              const QList<qsizetype> &pieceSizes)
{
    NameScanner::Scan scan(scanner);
    qsizetype at = 0;
    for (qsizetype i = 0; at < content.size(); ++i) {
        const qsizetype size = std::min(pieceSizes[i % pieceSizes.size()], content.size() - at);
        scan.feed(content.sliced(at, size));
        at += size;
    }
    return scan.finish();
}

QByteArray randomBytes(QRandomGenerator &random, qsizetype size, QByteArrayView alphabet)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &c : bytes)
        c = alphabet[random.bounded(alphabet.size())];
    return bytes;
}

QString latin(QByteArrayView bytes)
{
    return QString::fromLatin1(bytes.data(), bytes.size());
}

QByteArray readData(const QString &name)
{
    QFile file(qEnvironmentVariable("VORN_TEST_DATA") + QStringLiteral("/data/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace

class tst_NameScanner : public QObject
{
    Q_OBJECT

private slots:
    void nestedName_foundInsideTheLongerOne();
    void aFormInFile_listsNameAndAForm();
    void otherLetterCase_notFound();
    void emptyName_matchesAnyNonEmptyContent();
    void nullName_matchesNothing();
    void nameOutsideCodePage_matchesNothing();
    void persianName_matchedAsItsCodePageBytes();
    void sameNameTwice_bothRecordsListed();
    void oneByteNames_foundWherever();
    void namesAtTheEdges_found_data();
    void namesAtTheEdges_found();
    void emptyContent_findsNothing();
    void repeatedName_listedOnce();
    void prepareWithSameNames_keepsMatcher();
    void prepareWithOtherNames_rebuilds();
    void randomContent_agreesWithOneSearchPerName_data();
    void randomContent_agreesWithOneSearchPerName();
    void realExecutables_agreeWithOneSearchPerName_data();
    void realExecutables_agreeWithOneSearchPerName();
};

void tst_NameScanner::nestedName_foundInsideTheLongerOne()
{
    // A tool that reports only the longest match at a place would lose CloseThreadpool.
    const QStringList names{QStringLiteral("CloseThreadpoolWait"), QStringLiteral("CloseThreadpool"),
                            QStringLiteral("ThreadpoolWait"), QStringLiteral("Wait"),
                            QStringLiteral("CloseThreadpoolTimer")};
    const NameScanner scanner(names);
    const QList<qsizetype> found = scanner.scan(QByteArray("\x00\x12" "CloseThreadpoolWait\x00", 22));
    QCOMPARE(found, (QList<qsizetype>{0, 1, 2, 3}));
}

void tst_NameScanner::aFormInFile_listsNameAndAForm()
{
    const QStringList names{QStringLiteral("CreateFile"), QStringLiteral("CreateFileA"),
                            QStringLiteral("CreateFileW")};
    QCOMPARE(NameScanner(names).scan("MZ....CreateFileA\0GetLastError"), (QList<qsizetype>{0, 1}));
}

void tst_NameScanner::otherLetterCase_notFound()
{
    const QStringList names{QStringLiteral("GetProcAddress"), QStringLiteral("getprocaddress")};
    QCOMPARE(NameScanner(names).scan("GETPROCADDRESS getProcAddress getprocaddress"),
             (QList<qsizetype>{1}));
}

void tst_NameScanner::emptyName_matchesAnyNonEmptyContent()
{
    const QStringList names{QStringLiteral("Beep"), QString(QLatin1String(""))};
    QVERIFY(!names[1].isNull());
    QCOMPARE(NameScanner(names).scan("x"), (QList<qsizetype>{1}));
    QCOMPARE(NameScanner(names).scan(QByteArrayView()), (QList<qsizetype>{}));
}

void tst_NameScanner::nullName_matchesNothing()
{
    const QStringList names{QString(), QStringLiteral("MZ")};
    QCOMPARE(NameScanner(names).scan("MZ any content"), (QList<qsizetype>{1}));
}

void tst_NameScanner::nameOutsideCodePage_matchesNothing()
{
    // U+0100 has no byte in Windows-1256; no file written in it can hold the name, not
    // even one holding the byte a careless conversion would put in its place.
    const QStringList names{QStringLiteral("Get\u0100Name"), QStringLiteral("Get")};
    QCOMPARE(NameScanner(names).scan("Get?Name Get\x00Name GetName"), (QList<qsizetype>{1}));
}

void tst_NameScanner::persianName_matchedAsItsCodePageBytes()
{
    // U+06A9 KEHEH is 0x98 and U+064A YEH is 0xED in Windows-1256.
    const QStringList names{QString(QChar(0x06A9)) + QChar(0x064A), QString(QChar(0x06CC))};
    QCOMPARE(NameScanner(names).scan("..\x98\xED.."), (QList<qsizetype>{0}));
    QCOMPARE(NameScanner(names).scan("..\xDA\xA9\xDB\x8C.."), (QList<qsizetype>{})); // UTF-8 bytes
}

void tst_NameScanner::sameNameTwice_bothRecordsListed()
{
    const QStringList names{QStringLiteral("Sleep"), QStringLiteral("Beep"), QStringLiteral("Sleep")};
    QCOMPARE(NameScanner(names).scan("SleepEx"), (QList<qsizetype>{0, 2}));
}

void tst_NameScanner::oneByteNames_foundWherever()
{
    const QStringList names{QStringLiteral("A"), QStringLiteral("z"), QStringLiteral("AB"),
                            QStringLiteral("B")};
    QCOMPARE(NameScanner(names).scan("xxB"), (QList<qsizetype>{3}));
    QCOMPARE(NameScanner(names).scan("AB"), (QList<qsizetype>{0, 2, 3}));
    QCOMPARE(NameScanner(names).scan("z"), (QList<qsizetype>{1}));
}

void tst_NameScanner::namesAtTheEdges_found_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QList<qsizetype>>("expected");
    QTest::newRow("name is the whole file") << QByteArray("LoadLibraryA") << QList<qsizetype>{0, 1};
    QTest::newRow("at the start") << QByteArray("LoadLibraryA\x00\x01") << QList<qsizetype>{0, 1};
    QTest::newRow("at the end") << QByteArray("\x01\x02LoadLibraryA") << QList<qsizetype>{0, 1};
    QTest::newRow("cut off by the end") << QByteArray("\x01\x02LoadLibrar") << QList<qsizetype>{};
    QTest::newRow("short name last byte") << QByteArray("..LoadLibrary..Ex") << QList<qsizetype>{1, 2};
}

void tst_NameScanner::namesAtTheEdges_found()
{
    QFETCH(QByteArray, content);
    QFETCH(QList<qsizetype>, expected);
    const QStringList names{QStringLiteral("LoadLibraryA"), QStringLiteral("LoadLibrary"),
                            QStringLiteral("Ex")};
    const NameScanner scanner(names);
    QCOMPARE(scanner.scan(content), expected);
    for (qsizetype piece = 1; piece <= content.size(); ++piece)
        QCOMPARE(scanInPieces(scanner, content, {piece}), expected);
}

void tst_NameScanner::emptyContent_findsNothing()
{
    const NameScanner scanner(QStringList{QStringLiteral("A"), QStringLiteral("AB")});
    NameScanner::Scan scan(scanner);
    scan.feed(QByteArrayView());
    QCOMPARE(scan.finish(), (QList<qsizetype>{}));
    QCOMPARE(scan.bytesFed(), 0);
}

void tst_NameScanner::repeatedName_listedOnce()
{
    const QStringList names{QStringLiteral("ExitProcess")};
    QCOMPARE(NameScanner(names).scan("ExitProcess ExitProcess ExitProcess"), (QList<qsizetype>{0}));
}

void tst_NameScanner::prepareWithSameNames_keepsMatcher()
{
    const QStringList names{QStringLiteral("Beep"), QString()};
    NameScanner scanner(names);
    const QStringList same{QStringLiteral("Beep"), QString()};
    scanner.prepare(same);
    QCOMPARE(scanner.scan("Beep"), (QList<qsizetype>{0}));
}

void tst_NameScanner::prepareWithOtherNames_rebuilds()
{
    NameScanner scanner(QStringList{QStringLiteral("Beep"), QString()});
    // The same texts, but the null one is now empty: it must match now.
    scanner.prepare(QStringList{QStringLiteral("Beep"), QString(QLatin1String(""))});
    QCOMPARE(scanner.scan("x"), (QList<qsizetype>{1}));
    scanner.prepare(QStringList{QStringLiteral("Sleep")});
    QCOMPARE(scanner.scan("Beep Sleep"), (QList<qsizetype>{0}));
    scanner.prepare(QStringList{});
    QCOMPARE(scanner.scan("Beep Sleep"), (QList<qsizetype>{}));
}

void tst_NameScanner::randomContent_agreesWithOneSearchPerName_data()
{
    QTest::addColumn<QByteArray>("alphabet");
    QTest::addColumn<int>("maxNameLength");
    QTest::addColumn<int>("contentLength");
    QTest::newRow("two letters, short names") << QByteArray("ab") << 6 << 300;
    QTest::newRow("three letters, nested names") << QByteArray("abc") << 12 << 2000;
    QTest::newRow("letters and zero") << QByteArray("GetA\0W", 6) << 9 << 5000;
    QTest::newRow("every byte") << QByteArray() << 5 << 20000;
    QTest::newRow("long names") << QByteArray("xy") << 40 << 4000;
}

void tst_NameScanner::randomContent_agreesWithOneSearchPerName()
{
    QFETCH(QByteArray, alphabet);
    QFETCH(int, maxNameLength);
    QFETCH(int, contentLength);
    if (alphabet.isEmpty()) {
        for (int b = 0; b < 256; ++b)
            alphabet.append(static_cast<char>(b));
    }
    QRandomGenerator random(20240611);
    for (int round = 0; round < 60; ++round) {
        const QByteArray content = randomBytes(random, random.bounded(contentLength) + 1, alphabet);
        QStringList names;
        const int count = random.bounded(1, 200);
        for (int i = 0; i < count; ++i) {
            const int kind = random.bounded(10);
            if (kind == 0) {
                // Cut from the content, often at its very start or end.
                const qsizetype length = std::min<qsizetype>(random.bounded(1, maxNameLength + 1), content.size());
                const qsizetype at = random.bounded(3) == 0 ? 0
                                   : random.bounded(2) == 0 ? content.size() - length
                                                            : random.bounded(content.size() - length + 1);
                names.append(Windows1256::decode(content.sliced(at, length)));
            } else if (kind == 1 && !names.isEmpty()) {
                // A prefix or an extension of an earlier name: names that nest.
                const QString earlier = names[random.bounded(names.size())];
                names.append(random.bounded(2) == 0 ? earlier.left(earlier.size() / 2)
                                                    : earlier + latin(randomBytes(random, 1, alphabet)));
            } else if (kind == 2) {
                names.append(random.bounded(2) == 0 ? QString() : QString(QLatin1String("")));
            } else {
                names.append(Windows1256::decode(randomBytes(random, random.bounded(1, maxNameLength + 1), alphabet)));
            }
        }
        const NameScanner scanner(names);
        const QList<qsizetype> expected = NaiveNameScan::scan(names, content);
        QCOMPARE(namesAt(names, scanner.scan(content)), namesAt(names, expected));
        const QList<qsizetype> pieces{random.bounded(1, 8), random.bounded(1, 64), random.bounded(1, 3)};
        QCOMPARE(namesAt(names, scanInPieces(scanner, content, pieces)), namesAt(names, expected));
    }
}

void tst_NameScanner::realExecutables_agreeWithOneSearchPerName_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("imports.exe") << QStringLiteral("imports.exe");
    QTest::newRow("library.dll") << QStringLiteral("library.dll");
}

void tst_NameScanner::realExecutables_agreeWithOneSearchPerName()
{
    QFETCH(QString, file);
    const QByteArray content = readData(file);
    QVERIFY(!content.isEmpty());
    const QStringList names{
        QStringLiteral("CreateFile"), QStringLiteral("CreateFileA"), QStringLiteral("CreateFileW"),
        QStringLiteral("CloseThreadpool"), QStringLiteral("CloseThreadpoolWait"),
        QStringLiteral("CreateThreadpoolWait"), QStringLiteral("GetProcAddress"),
        QStringLiteral("GetModuleHandle"), QStringLiteral("GetModuleHandleA"),
        QStringLiteral("GetModuleHandleW"), QStringLiteral("MessageBox"), QStringLiteral("MessageBoxA"),
        QStringLiteral("MessageBoxW"), QStringLiteral("lstrlen"), QStringLiteral("lstrlenA"),
        QStringLiteral("lstrlenW"), QStringLiteral("SendMessage"), QStringLiteral("SendMessageW"),
        QStringLiteral("SetWindowText"), QStringLiteral("SetWindowTextW"),
        QStringLiteral("GetWindowTextLength"), QStringLiteral("GetWindowTextLengthW"),
        QStringLiteral("ExitProcess"), QStringLiteral("CloseHandle"), QStringLiteral("Beep"),
        QStringLiteral("closehandle"), QStringLiteral("VornCountW"), QStringLiteral("Sleep")};
    const NameScanner scanner(names);
    const QList<qsizetype> expected = NaiveNameScan::scan(names, content);
    QCOMPARE(namesAt(names, scanner.scan(content)), namesAt(names, expected));
    QCOMPARE(namesAt(names, scanInPieces(scanner, content, {97, 1, 13})), namesAt(names, expected));
    if (file == QLatin1String("imports.exe")) {
        QCOMPARE(namesAt(names, expected),
                 (QStringList{QStringLiteral("CreateFile"), QStringLiteral("CreateFileA"),
                              QStringLiteral("CloseThreadpool"), QStringLiteral("CloseThreadpoolWait"),
                              QStringLiteral("CreateThreadpoolWait"), QStringLiteral("GetProcAddress"),
                              QStringLiteral("GetModuleHandle"), QStringLiteral("GetModuleHandleW"),
                              QStringLiteral("MessageBox"), QStringLiteral("MessageBoxA"),
                              QStringLiteral("lstrlen"), QStringLiteral("lstrlenA"),
                              QStringLiteral("ExitProcess"), QStringLiteral("CloseHandle")}));
    }
}

QTEST_GUILESS_MAIN(tst_NameScanner)
#include "tst_namescanner.moc"
