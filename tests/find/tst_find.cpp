#include "catalogue/CatalogueStore.h"
#include "find/CatalogueSearch.h"
#include "find/ConstantFinder.h"
#include "find/ExecutableAnalysis.h"
#include "find/ExecutableTest.h"
#include "find/NaiveNameScan.h"
#include "find/NameScanner.h"
#include "find/PairMarks.h"
#include "find/SearchWords.h"
#include "platform/Windows1256.h"
#include "support/AsNobody.h"
#include "support/TestCatalogue.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using Indices = QList<qsizetype>;
using namespace Qt::StringLiterals;
using ExecutableAnalysis::Outcome;

namespace {

// Persian letters by code point, so that the variants stay visible in the source.
const QChar yeh(0x064A), farsiYeh(0x06CC), alefMaksura(0x0649), kaf(0x0643), keheh(0x06A9), zwnj(0x200C),
    alef(0x0627), lam(0x0644), meem(0x0645), heh(0x0647);
QString file(QChar y) { return QString(QChar(0x0641)) + alef + y + lam; } // "file", FEH ALEF YEH LAM

QString dataFile(const QString &name) { return qEnvironmentVariable("VORN_TEST_DATA") + QStringLiteral("/data/") + name; }

QStringList namesAt(const QStringList &names, const Indices &indices)
{
    QStringList picked;
    for (const qsizetype i : indices)
        picked.append(names.at(i));
    return picked;
}

// The scanner fed in pieces of the given sizes, cycling through them.
Indices scanInPieces(const NameScanner &scanner, QByteArrayView content, const Indices &pieceSizes)
{
    NameScanner::Scan scan(scanner);
    for (qsizetype i = 0, at = 0; at < content.size(); ++i) {
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

Constant constant(const QString &name, qint32 value, const QString &literal)
{
    return Constant{name, QStringLiteral("Private Const %1 As Long = %2").arg(name, literal), value,
                    name.section(QLatin1Char('_'), 0, 0), QStringLiteral("winuser.h"), QString()};
}

QStringList constantNames(const ConstantFinder &finder, const std::vector<int> &positions)
{
    QStringList out;
    for (const int p : positions)
        out << finder.at(p).name;
    return out;
}

} // namespace

class tst_Find : public QObject
{
    Q_OBJECT

    // The search as the search panel runs it, the prepared names and descriptions kept
    // from search to search (and from one row's catalogue to the next of the same size,
    // so that a cache that outlives its catalogue shows), checked against preparing anew.
    QStringList search(Recordset &recordset, const QString &text, bool byDescription)
    {
        const QStringList kept = CatalogueSearch::findNames(recordset, text, byDescription, &m_prepared);
        const QStringList anew = CatalogueSearch::findNames(recordset, text, byDescription);
        if (kept != anew)
            return {QStringLiteral("cached %1, anew %2").arg(kept.join(u','), anew.join(u','))};
        return kept;
    }
    CatalogueSearch::PreparedFields m_prepared;
    std::optional<Recordset> m_shipped;
    CatalogueSearch::PreparedFields m_shippedFields;

    QTemporaryDir m_dir;
    int m_files = 0;
    const QStringList m_names{"CreateFile", "CreateFileA", "Beep", "GetProcAddress"};
    NameScanner m_scanner{m_names};

    QString write(const QByteArray &content)
    {
        const QString path = m_dir.filePath(QStringLiteral("file%1.bin").arg(++m_files));
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() ? path : QString();
    }

private slots:
    // The rule of a search, each row on a catalogue of one record: its name, or its
    // description under the name F.
    void search_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("byDescription");
        QTest::addColumn<bool>("found");
        QTest::newRow("lower finds mixed") << "GetWindowText" << "getwindowtext" << false << true;
        QTest::newRow("upper finds mixed") << "GetWindowText" << "GETWINDOWTEXT" << false << true;
        QTest::newRow("middle of a name") << "GetWindowText" << "window" << false << true;
        QTest::newRow("not there") << "GetWindowText" << "caption" << false << false;
        QTest::newRow("empty text, non-empty field") << "Beep" << "" << false << true;
        QTest::newRow("empty text, empty field") << "" << "" << false << false;
        QTest::newRow("empty text, null field") << QString() << "" << false << false;
        QTest::newRow("text with a blank is kept") << "GetWindowText" << " window" << false << false;
        QTest::newRow("name mode does not fold yeh") << file(yeh) << file(farsiYeh) << false << false;
        QTest::newRow("description holds the text") << "reads a caption" << "CAPTION" << true << true;
        QTest::newRow("description search ignores names") << "reads a caption" << "F" << true << false;
        QTest::newRow("farsi yeh finds arabic yeh") << file(yeh) << file(farsiYeh) << true << true;
        QTest::newRow("arabic yeh finds farsi yeh") << file(farsiYeh) << file(yeh) << true << true;
        QTest::newRow("alef maksura is a yeh") << file(alefMaksura) << file(farsiYeh) << true << true;
        QTest::newRow("kaf finds keheh") << QString(keheh) + alef + lam << QString(kaf) + alef + lam << true << true;
        QTest::newRow("keheh finds kaf") << QString(kaf) + alef + lam << QString(keheh) + alef + lam << true << true;
        QTest::newRow("non-joiner in the field joins") << QString(meem) + zwnj + heh << QString(meem) + heh << true << true;
        QTest::newRow("typed with its non-joiner") << QString(meem) + heh + zwnj + meem << QString(meem) + heh + zwnj + meem << true << true;
        // Whole Persian words, with their endings; a word is not the start of another.
        QTest::newRow("not the start of another word") << "نخستين بار" << "نخ" << true << false;
        QTest::newRow("not the end of another word") << "زيرمنو باز" << "منو" << true << false;
        QTest::newRow("word with an ending after a joiner") << u"نخ‌هاي برنامه"_s << "نخ" << true << true;
        QTest::newRow("word with an ending written on") << "ساعتي ديگر" << "ساعت" << true << true;
        QTest::newRow("word with two endings") << u"بيتي‌اند"_s << "بيت" << true << true;
        QTest::newRow("word with no ending") << "ساعتگرد" << "ساعت" << true << false;
        QTest::newRow("word before a sign") << "(ساعت)" << "ساعت" << true << true;
        QTest::newRow("part of a joined word") << u"صفحه‌کليد"_s << "کليد" << true << false;
        QTest::newRow("ending typed apart needs it") << "فايل" << "فايل ها" << true << false;
        QTest::newRow("ending typed apart finds it") << u"فايل‌هاي باز"_s << "فايل ها" << true << true;
        QTest::newRow("Latin word is a piece") << "Err.LastDllError" << "lastdll" << true << true;
        // One spelling: ZWNJ, blank and nothing between parts; letters and digits folded.
        QTest::newRow("blank finds joined") << u"بيت‌مپ"_s << "بيت مپ" << true << true;
        QTest::newRow("joiner finds blank") << "صفحه کليد" << u"صفحه‌کليد"_s << true << true;
        QTest::newRow("nothing finds joined") << u"بيت‌مپ"_s << "بيتمپ" << true << true;
        QTest::newRow("nothing finds blank, for a known word") << "کليپ بورد" << "کليپبورد" << true << true;
        QTest::newRow("part of the joined is not the word") << u"بيت‌مپ"_s << "بيت" << true << false;
        QTest::newRow("alef with madda") << "فرايند" << u"فرآيند"_s << true << true;
        QTest::newRow("alef with hamza") << u"أندازه"_s << "اندازه" << true << true;
        QTest::newRow("teh marbuta") << u"مادة"_s << "ماده" << true << true;
        QTest::newRow("heh with yeh above") << u"نامهٔ خانۀ"_s << "خانه نامه" << true << true;
        QTest::newRow("tatweel and diacritics") << "کليد" << u"کلــيدَ"_s << true << true;
        QTest::newRow("Persian digits") << "32 بيتي" << u"۳۲ بيت"_s << true << true;
        QTest::newRow("Arabic-Indic digits") << u"٣٢ بيتي"_s << "32" << true << true;
        QTest::newRow("presentation forms") << "فايل" << u"ﻓﺎﻳﻞ"_s << true << true;
        // Several words, any order; a phrase in quotes; variants.
        QTest::newRow("every word, any order") << "فايل را باز مي‌کند" << "باز فايل" << true << true;
        QTest::newRow("one word missing") << "فايل را مي‌بندد" << "باز فايل" << true << false;
        QTest::newRow("phrase in its order") << "کليد رجيستري را" << "\"کليد رجيستري\"" << true << true;
        QTest::newRow("phrase out of order") << "رجيستري کليد" << "«کليد رجيستري»" << true << false;
        QTest::newRow("phrase apart") << "کليد در رجيستري" << "\"کليد رجيستري" << true << false;
        QString words; // w0 ... w63, each in the description
        for (int i = 0; i < 64; ++i)
            words += u"w%1 "_s.arg(i);
        QTest::newRow("a word past the 64th is left out") << words << words + "zz" << true << true;
        QTest::newRow("the 64th word counts") << words << words.section(u' ', 0, 62) + " zz" << true << false;
        QTest::newRow("only quotes find all") << "x" << "\"\" «»" << true << true;
        QTest::newRow("variant spelling") << "ماوس را" << "موس" << true << true;
        QTest::newRow("variant is a whole word too") << "موسيقي" << "موس" << true << false;
        QTest::newRow("synonym") << "پردازه جاري" << u"فرآيند"_s << true << true;
        QTest::newRow("variant of two words") << "صفحه کليد" << "کيبورد" << true << true;
        QTest::newRow("Latin name forms find no description") << "mouse" << "ماوس" << true << false;
        QTest::newRow("empty description never matches") << "" << "" << true << false;
        QTest::newRow("empty search, a description") << "x" << "" << true << true;
    }
    void search()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(bool, byDescription);
        QFETCH(bool, found);
        const QString name = byDescription ? QStringLiteral("F") : field;
        Recordset rs = recordsetOf({byDescription ? record(name, {}, {}, {}, field) : record(field)});
        QCOMPARE(search(rs, text, byDescription), found ? QStringList{name} : QStringList{});
    }

    void search_listsAlphabetically_andEndsAtEOF()
    {
        Recordset rs = recordsetOf({record("Zeta", {}, {}, {}, "x"), record("Alpha"), record(QString(), {}, {}, {}, "x"),
                                    record("beta", {}, {}, {}, "x")});
        rs.setAbsolutePosition(2);
        QCOMPARE(search(rs, QStringLiteral("ta"), false), QStringList({"beta", "Zeta"}));
        QVERIFY(rs.atEOF());
        // Each kind looks in its own field, whichever ran before.
        QCOMPARE(search(rs, QStringLiteral("ta"), true), QStringList{});
        // The nameless record has a description and is listed, by its (empty) name.
        QCOMPARE(search(rs, QString(), true), QStringList({"", "beta", "Zeta"}));
    }

    // Best first: by name the name itself, then names that start with the text; by
    // description the names that say it too, then the first sentences that do.
    void search_order_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("byDescription");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("name itself first") << "SendMessage" << false << QStringList{"SendMessage", "SendMessageA", "ICSendMessage"};
        QTest::newRow("name, any letter case") << "sendmessagea" << false << QStringList{"SendMessageA"};
        QTest::newRow("name in the description's words") << "فايل" << true
                                                           << QStringList{"ReadFile", "Beep", "GetProfileInt", "SendMessage", "ICSendMessage"};
        QTest::newRow("Latin, name first") << "sendmessage" << true << QStringList{"SendMessageA", "Beep"};
        QTest::newRow("two words, first sentence first") << "بستن فايل" << true << QStringList{"SendMessage", "ICSendMessage"};
    }
    void search_order()
    {
        QFETCH(QString, text);
        QFETCH(bool, byDescription);
        QFETCH(QStringList, found);
        Recordset rs = recordsetOf({
            record("SendMessage", {}, {}, {}, "پيش از بستن فايل پيام مي‌فرستد."),
            record("ICSendMessage", {}, {}, {}, u"پيام مي‌فرستد.\r\nپيش از بستن فايل\u200cها."_s),
            record("ReadFile", {}, {}, {}, "کاري مي‌کند. از فايل مي‌خواند."),
            record("Beep", {}, {}, {}, "فايل را با SendMessage مي‌نوازد."),
            record("SendMessageA", {}, {}, {}, "همان SendMessage، ولي ANSI. بستن ندارد."),
            record("GetProfileInt", {}, {}, {}, "عددي را از فايل مي‌خواند."), // "file" only inside "Profile"
        });
        QCOMPARE(search(rs, text, byDescription), found);
    }

    // The word lists as the search reads them: endings in a row, groups of variants.
    void searchWords_readTheLists()
    {
        const SearchWords words(u"# endings\nها\n\n  ي \nتر\n"_s, u"ماوس | موس | Mouse\nموس | ماس\nتنها\n# ماس | مس\n"_s);
        QVERIFY(words.isSuffixChain(u"ها") && words.isSuffixChain(u"هاي") && words.isSuffixChain(u"تري"));
        QVERIFY(!words.isSuffixChain(u"") && !words.isSuffixChain(u"ست") && !words.isSuffixChain(u"هاس"));
        QVERIFY(words.isSuffix(u"ي") && !words.isSuffix(u"هاي"));
        const SearchWords::Group *mouse = words.groupOf(u"موس"_s);
        QVERIFY(mouse && mouse == words.groupOf(u"ماوس"_s));
        QCOMPARE(mouse->persian, (QList<QStringList>{{u"ماوس"_s}, {u"موس"_s}}));
        QCOMPARE(mouse->latin, QStringList{u"mouse"_s});
        // A word stays in its first group; a group left with one form, or one alone, says nothing.
        QVERIFY(!words.groupOf(u"ماس"_s) && !words.groupOf(u"تنها"_s) && !words.groupOf(u"مس"_s));
    }

    // Queries a user types, over the shipped catalogue, through the program's own search:
    // functions that must stand ahead of others (their name or first sentence says it),
    // and functions that must not be found (the word only as a piece of another word, or
    // in another meaning).
    void shippedCatalogue_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<bool>("byDescription");
        QTest::addColumn<QStringList>("ahead");
        QTest::addColumn<QStringList>("behind");
        QTest::addColumn<QStringList>("never");
        const auto row = [](const char *tag, const QString &query, bool byDescription, const QStringList &ahead,
                            const QStringList &behind, const QStringList &never) {
            QTest::newRow(tag) << query << byDescription << ahead << behind << never;
        };
        row("name itself, then its start", "SendMessage", false, {"SendMessage", "SendMessageCallback", "SendMessageTimeout"},
            {"ICSendMessage"}, {});
        row("bitmap, blank", "بيت مپ", true, {"CreateBitmap"}, {"CopyImage"}, {"IsWow64Process"});
        row("bitmap, joiner", u"بيت\u200cمپ"_s, true, {"CreateBitmap"}, {"CopyImage"}, {"IsWow64Process"});
        row("process, alef with madda", u"فر\u0622يند"_s, true, {"CreateProcess", "OpenProcess", "TerminateProcess"}, {"AddAtom"}, {});
        row("thread, not first", "نخ", true, {"CreateThread"}, {"CloseHandle"}, {"AcceptEx", "AbortDoc"});
        row("mouse, not music", "موس", true, {"SwapMouseButton", "TrackMouseEvent"}, {"GetCursorPos"},
            {"midiInGetNumDevs", "SHGetDriveMedia"});
        row("hour, not clockwise", "ساعت", true, {}, {}, {"GdipDrawArcI", "glRotatef"});
        row("string", "رشته", true, {"CompareString"}, {"lstrcpy"}, {});
        // Threads are «نخ» throughout: a search for strings no longer finds them, and the
        // two-word term the descriptions once used still does.
        row("string, not thread", "رشته", true, {}, {}, {"CreateThread", "SuspendThread", "ResumeThread"});
        row("thread, the former term", "رشته اجرايي", true, {"CreateThread"}, {}, {"CompareString"});
        row("desktop, the former word", "دسکتاپ", true, {"CreateDesktop", "SwitchDesktop"}, {}, {});
        row("file, name first", "فايل", true, {"CopyFile", "CreateFile", "DeleteFile", "ReadFile"}, {"AbortPrinter"}, {});
        row("files, ending apart", "فايل ها", true, {}, {}, {"AbortPrinter"});
        row("keyboard, blank", "صفحه کليد", true, {"GetKeyboardLayout"}, {}, {"RegOpenKeyEx"});
        row("keyboard, joiner", u"صفحه\u200cکليد"_s, true, {"GetKeyboardLayout"}, {}, {"RegOpenKeyEx"});
        row("clipboard, nothing between", "کليپبورد", true, {"OpenClipboard", "SetClipboardData"}, {}, {});
    }
    void shippedCatalogue()
    {
        QFETCH(QString, query);
        QFETCH(bool, byDescription);
        QFETCH(QStringList, ahead);
        QFETCH(QStringList, behind);
        QFETCH(QStringList, never);
        if (!m_shipped) {
            const QString path = qEnvironmentVariable("VORN_BIN_DIR") + QStringLiteral("/API.mdb");
            CatalogueStore::OpenResult opened = CatalogueStore::open(path);
            QVERIFY2(opened.recordset, qPrintable(path + u": "_s + opened.errorDescription));
            m_shipped = std::move(opened.recordset);
        }
        const QStringList found = CatalogueSearch::findNames(*m_shipped, query, byDescription, &m_shippedFields);
        qsizetype last = -1;
        for (const QString &name : ahead) {
            QVERIFY2(found.contains(name), qPrintable(name));
            last = std::max(last, found.indexOf(name));
        }
        for (const QString &name : behind)
            QVERIFY2(found.indexOf(name) > last, qPrintable(name));
        for (const QString &name : never)
            QVERIFY2(!found.contains(name), qPrintable(name));
        // A zero-width non-joiner typed between two words finds what a blank finds.
        if (query.contains(u' ') && !query.contains(u'"'))
            QCOMPARE(CatalogueSearch::findNames(*m_shipped, QString(query).replace(u' ', QChar(0x200C)), byDescription,
                                                &m_shippedFields), found);
        qInfo("%s: %lld found", qPrintable(query), static_cast<long long>(found.size()));
    }

    void constantFinder_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("family");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("piece of a name, any letter case") << "settext" << "" << QStringList{"WM_SETTEXT"};
        QTest::newRow("piece in two names") << "TEXT" << "" << QStringList{"WM_GETTEXT", "WM_SETTEXT"};
        QTest::newRow("error number") << "87" << "" << QStringList{"ERROR_INVALID_PARAMETER"};
        QTest::newRow("hex") << "&HD" << "" << QStringList{"WM_GETTEXT"};
        QTest::newRow("negative Long of a high-bit value") << "-2147483647" << "" << QStringList{"HKEY_CURRENT_USER"};
        QTest::newRow("unsigned form of -1") << "4294967295" << "" << QStringList{"INVALID_HANDLE_VALUE"};
        QTest::newRow("family filter alone") << "" << "WM" << QStringList{"WM_GETTEXT", "WM_SETTEXT", "WM_USER"};
        QTest::newRow("family and text") << "user" << "WM" << QStringList{"WM_USER"};
        QTest::newRow("value outside the family") << "1" << "WM" << QStringList{};
        QTest::newRow("nothing holds it") << "zzz" << "" << QStringList{};
        QTest::newRow("spaces only find all") << "  " << "SW" << QStringList{"SW_SHOWNORMAL"};
    }
    void constantFinder()
    {
        QFETCH(QString, text);
        QFETCH(QString, family);
        QFETCH(QStringList, found);
        ConstantTable t;
        t.constants = {constant("WM_GETTEXT", 13, "&HD&"), constant("WM_SETTEXT", 12, "&HC&"),
                       constant("ERROR_INVALID_PARAMETER", 87, "87"), constant("SW_SHOWNORMAL", 1, "1"),
                       constant("HKEY_CURRENT_USER", qint32(0x80000001u), "&H80000001&"),
                       constant("INVALID_HANDLE_VALUE", -1, "-1"), constant("WM_USER", 1024, "&H400&")};
        t.familyNames.insert(QStringLiteral("WM"), QStringLiteral("پيام‌هاي پنجره"));
        const ConstantFinder finder(t);
        QCOMPARE(constantNames(finder, finder.find(text, family)), found);
        if (QTest::currentDataTag() != QLatin1String("hex"))
            return;
        // Each constant a description names, once, in the order named.
        QCOMPARE(constantNames(finder, finder.namedIn(QStringLiteral(
                     "با WM_SETTEXT متن را بگذاريد و با WM_GETTEXT بخوانيد؛ WM_SETTEXT باز. WM_GETTEXTLENGTH نيست، SendMessage هم."))),
                 QStringList({"WM_SETTEXT", "WM_GETTEXT"}));
        QCOMPARE(finder.lines({0, 4}), QStringLiteral("Private Const WM_GETTEXT As Long = &HD&\r\n"
                                                      "Private Const HKEY_CURRENT_USER As Long = &H80000001&"));
        QCOMPARE(constantNames(finder, finder.familyOf(6)), QStringList({"WM_GETTEXT", "WM_SETTEXT", "WM_USER"}));
        QCOMPARE(finder.familyCaption(QStringLiteral("WM")), QStringLiteral("WM  پيام‌هاي پنجره"));
        QCOMPARE(finder.familyCaption(QStringLiteral("SW")), QStringLiteral("SW"));
    }

    // What the analysis makes of a file: written from the bytes, or a path (":" first).
    void analyse_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<Indices>("found");
        QTest::addColumn<qint64>("error");
        QTest::addColumn<QString>("description");
        const auto row = [](const char *tag, const QByteArray &content, Outcome outcome, Indices found = {},
                            qint64 error = 0, const QString &description = {}) {
            QTest::newRow(tag) << content << int(outcome) << found << error << description;
        };
        // The header rules: MZ, Z third, 3 at offset 4, 4 at offset 8, 0xFF at 12 and 13.
        row("empty file", "", Outcome::NotExecutable);
        row("just MZ", "MZ", Outcome::Scanned);
        row("M alone", "M", Outcome::NotExecutable);
        row("ZM is not MZ", "ZM", Outcome::NotExecutable);
        row("mz in lower case", "mz", Outcome::NotExecutable);
        row("text with Z third is scanned", "abZ calls CreateFileA and Beep", Outcome::Scanned, {0, 1, 2});
        row("z in lower case third", "abz plain text", Outcome::NotExecutable);
        row("3 at offset 4", QByteArray("\0\0\0\0\x03", 5) + "Beep", Outcome::Scanned, {2});
        row("3 at offset 3", QByteArray("\0\0\0\x03\0", 5), Outcome::NotExecutable);
        row("4 at offset 8", QByteArray("\0\0\0\0\0\0\0\0\x04", 9), Outcome::Scanned);
        row("0xFF at 12 and 13", "............\xFF\xFF", Outcome::Scanned);
        row("0xFF at 12 only", "............\xFF", Outcome::NotExecutable);
        row("0xFF at 13 only", QByteArray("............\x00\xFF", 14), Outcome::NotExecutable);
        row("plain text naming a function", "A letter that mentions Beep.", Outcome::NotExecutable);
        row("ELF", QByteArray("\x7F" "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0", 16), Outcome::NotExecutable);
        row("real executable", ":" + dataFile("imports.exe").toUtf8(), Outcome::Scanned, {0, 1, 3});
        row("missing file", ":/nonexistent/none.exe", Outcome::Failed, {}, 53, "File not found");
        row("empty path", ":", Outcome::Failed, {}, 53, "File not found");
        row("directory, refused without reading", ":/tmp", Outcome::Failed, {}, 75, "Path/File access error");
        row("endless device", ":/dev/zero", Outcome::Failed, {}, 75, "Path/File access error");
        row("empty device", ":/dev/null", Outcome::Failed, {}, 75, "Path/File access error");
        // Nobody writes into the pipe: reading it would wait for ever.
        row("pipe, refused without waiting", ":pipe", Outcome::Failed, {}, 75, "Path/File access error");
        // A regular file whose first bytes (address 0) cannot be read: the read fails.
        row("read failure", ":/proc/self/mem", Outcome::Failed, {}, 57, "Device I/O error");
    }
    void analyse()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, outcome);
        QFETCH(Indices, found);
        QFETCH(qint64, error);
        QFETCH(QString, description);
        QString path = content.startsWith(':') ? QString::fromUtf8(content.mid(1)) : write(content);
        if (path == QLatin1String("pipe")) {
            path = m_dir.filePath(QStringLiteral("pipe"));
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        }
        const auto result = ExecutableAnalysis::analyse(path, m_scanner);
        QCOMPARE(int(result.outcome), outcome);
        QCOMPARE(result.found, found);
        QCOMPARE(result.errorNumber, error);
        QCOMPARE(result.errorDescription, description);
    }

    void analyse_oneByteFiles_areNoExecutables()
    {
        // Every rule needs a byte at offset 1 or further.
        for (int byte = 0; byte < 256; ++byte)
            QCOMPARE(ExecutableAnalysis::analyse(write(QByteArray(1, char(byte))), m_scanner).outcome, Outcome::NotExecutable);
    }

    void analyse_inPieces_progressToTheEnd_andCancel()
    {
        const QString path = dataFile(QStringLiteral("imports.exe"));
        const qint64 size = QFileInfo(path).size();
        QList<qint64> seen;
        const auto progress = [&](qint64 done, qint64 total) { return total == size && (seen.append(done), true); };
        const auto result = ExecutableAnalysis::analyse(path, m_scanner, progress, 100);
        QCOMPARE(result.outcome, Outcome::Scanned);
        QCOMPARE(result.found, Indices({0, 1, 3}));
        QCOMPARE(seen.size(), (size + 99) / 100);
        QCOMPARE(seen.constLast(), size);
        QVERIFY(std::is_sorted(seen.cbegin(), seen.cend()));
        const auto cancelled = ExecutableAnalysis::analyse(path, m_scanner, [](qint64, qint64) { return false; }, 100);
        QCOMPARE(cancelled.outcome, Outcome::Cancelled);
        QVERIFY(cancelled.found.isEmpty());
        // In one piece (the file was just read, so it is read whole on this thread).
        seen.clear();
        QCOMPARE(ExecutableAnalysis::analyse(path, m_scanner, progress).found, Indices({0, 1, 3}));
        QCOMPARE(seen, QList<qint64>{size});
        QCOMPARE(ExecutableAnalysis::analyse(path, m_scanner, [](qint64, qint64) { return false; }).outcome, Outcome::Cancelled);
    }

    // Blank names of a damaged catalogue ("", a NUL, spaces) showed as blank rows in every
    // analysis: every file holds them.
    void analyse_blankNamesListedForEveryFile()
    {
        const NameScanner scanner({"", QString(QChar(0)), "Beep", " \t"});
        const QString path = write(QByteArray("MZ Beep\0\t", 10));
        QCOMPARE(ExecutableAnalysis::analyse(path, scanner).found, Indices({2}));    // read whole
        QCOMPARE(ExecutableAnalysis::analyse(path, scanner, {}, 4).found, Indices({2})); // in pieces
    }

    void analyse_unreadableFile_permissionDenied()
    {
        const QString path = write("MZ Beep");
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        QVERIFY(AsNobody::searchableByEveryone(QFile::encodeName(m_dir.path()).constData()));
        const AsNobody nobody; // the superuser reads every file
        if (!nobody.permissionsApply())
            QSKIP("permissions do not apply to this user");
        const auto result = ExecutableAnalysis::analyse(path, m_scanner);
        QCOMPARE(result.errorNumber, 70);
        QCOMPARE(result.errorDescription, QStringLiteral("Permission denied"));
    }

    void analyse_sparseFileOfFourGigabytes_scannedToItsEndInLittleMemory()
    {
        const QString path = m_dir.filePath(QStringLiteral("sparse.exe"));
        const qint64 size = (qint64(1) << 32) + 100;
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(size));
            QCOMPARE(file.write("MZ"), 2);
            QVERIFY(file.seek(size - 4));
            QCOMPARE(file.write("Beep"), 4);
        }
        struct rusage before = {}, after = {};
        ::getrusage(RUSAGE_SELF, &before);
        qint64 last = 0, told = 0;
        const auto result = ExecutableAnalysis::analyse(path, m_scanner, [&](qint64 done, qint64 total) {
            last = done;
            told = total;
            return true;
        });
        ::getrusage(RUSAGE_SELF, &after);
        QCOMPARE(result.found, Indices({2}));
        QCOMPARE(last, size);
        QCOMPARE(told, size);
        QVERIFY2(after.ru_maxrss - before.ru_maxrss < 64 * 1024, "the file was held in memory"); // kilobytes
    }

    void analyse_deletedWhileAnalysed_readToItsEnd()
    {
        const QString path = write("MZ" + QByteArray(300, '.') + "Beep");
        bool removed = false;
        const auto result = ExecutableAnalysis::analyse(
            path, m_scanner, [&](qint64, qint64) { return removed = removed || QFile::remove(path), true; }, 100);
        QVERIFY(removed && !QFile::exists(path));
        QCOMPARE(result.found, Indices({2}));
    }

    // A file cut short while analysed kept the analysis waiting for the rest: whatever was
    // read before the cut is scanned, nothing far past it is seen, and the end comes early.
    void analyse_shortenedWhileAnalysed_keptWaiting()
    {
        const QString path = write("MZ" + QByteArray(118, '.') + "Beep" + QByteArray(2000, '.') + "GetProcAddress");
        bool cut = false;
        QList<qint64> seen;
        const auto result = ExecutableAnalysis::analyse(path, m_scanner, [&](qint64 done, qint64) {
                seen << done;
                cut = cut || ::truncate(QFile::encodeName(path).constData(), 150) == 0;
                return true;
            }, 100);
        QVERIFY(cut);
        QCOMPARE(result.outcome, Outcome::Scanned);
        QCOMPARE(result.found, Indices({2}));
        QCOMPARE(seen.first(), 100);
        QVERIFY(std::is_sorted(seen.cbegin(), seen.cend()));
        QVERIFY2(seen.last() >= 150 && seen.last() <= 500, qPrintable(QString::number(seen.last())));
    }

    // The same on two threads that share the pieces, the reads going through the thread
    // of reads (as for a file the kernel does not hold): the pieces read before the cut are
    // scanned, those after it end the analysis, in whatever order the two threads asked.
    void analyse_sharedPieces_shortenedWhileAnalysed_endsAtTheCut()
    {
        const QString path = write("MZ" + QByteArray(118, '.') + "Beep" + QByteArray(2000, '.') + "GetProcAddress");
        std::atomic<bool> cut = false;
        ExecutableAnalysis::setReadDelay([&cut, native = QFile::encodeName(path)](qint64 offset) {
            if (offset >= 100 && !cut.exchange(true))
                QCOMPARE(::truncate(native.constData(), 150), 0);
        });
        const auto result = ExecutableAnalysis::analyse(path, m_scanner, {}, 100, {}, ExecutableAnalysis::Threads::Two);
        ExecutableAnalysis::setReadDelay({});
        QVERIFY(cut);
        QCOMPARE(result.outcome, Outcome::Scanned);
        QCOMPARE(result.found, Indices({2}));
    }

    // A file scanned in two halves at once (the first reading as far past the middle as
    // the longest name reaches) lists what one pass lists: names across the middle, right
    // before and after it, tiny files, files that are no executables, and the PE tables.
    void analyse_inHalves_sameAsOneThread_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<Indices>("found");
        const qsizetype size = 400, middle = size / 2;
        const auto placed = [size](QByteArrayView name, qsizetype at) {
            QByteArray content = "MZ" + QByteArray(size - 2, '.');
            return content.replace(at, name.size(), name.toByteArray());
        };
        const QByteArray get = "GetProcAddress"; // the longest name: 14 bytes
        QTest::newRow("longest name across the middle") << placed(get, middle - 7) << int(Outcome::Scanned) << Indices{3};
        QTest::newRow("longest name ending before the middle") << placed(get, middle - 14) << int(Outcome::Scanned) << Indices{3};
        QTest::newRow("longest name's last byte at the middle") << placed(get, middle - 13) << int(Outcome::Scanned) << Indices{3};
        QTest::newRow("longest name's first byte before the middle") << placed(get, middle - 1) << int(Outcome::Scanned) << Indices{3};
        QTest::newRow("longest name starting at the middle") << placed(get, middle) << int(Outcome::Scanned) << Indices{3};
        QTest::newRow("name in the first half, its A form across") << placed("CreateFileA", middle - 10) << int(Outcome::Scanned) << Indices{0, 1};
        QTest::newRow("name at the very end") << placed("Beep", size - 4) << int(Outcome::Scanned) << Indices{2};
        QTest::newRow("names in both halves") << placed("Beep", 2).replace(size - 10, 10, "CreateFile") << int(Outcome::Scanned) << Indices{0, 2};
        QTest::newRow("two bytes") << QByteArray("MZ") << int(Outcome::Scanned) << Indices{};
        QTest::newRow("three bytes") << QByteArray("MZB") << int(Outcome::Scanned) << Indices{};
        QTest::newRow("the file is the name") << QByteArray("..ZBeep") << int(Outcome::Scanned) << Indices{2};
        QTest::newRow("no executable") << QByteArray("A letter that mentions Beep.") << int(Outcome::NotExecutable) << Indices{};
        QTest::newRow("real executable") << QByteArray(":imports.exe") << int(Outcome::Scanned) << Indices{0, 1, 3};
    }
    void analyse_inHalves_sameAsOneThread()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, outcome);
        QFETCH(Indices, found);
        const QString path = content.startsWith(':') ? dataFile(QString::fromLatin1(content.mid(1))) : write(content);
        std::optional<ExecutableAnalysis::Result> alone;
        // Read whole at once, and in pieces smaller than the longest name and than a half.
        for (const qsizetype piece : {ExecutableAnalysis::defaultPieceSize, qsizetype(5), qsizetype(100)}) {
            for (const auto threads : {ExecutableAnalysis::Threads::One, ExecutableAnalysis::Threads::Two,
                                       ExecutableAnalysis::Threads::Automatic}) {
                const auto result = ExecutableAnalysis::analyse(path, m_scanner, {}, piece, {}, threads);
                QCOMPARE(int(result.outcome), outcome);
                QCOMPARE(result.found, found);
                if (!alone)
                    alone = result;
                QCOMPARE(result.tables.has_value(), alone->tables.has_value());
                if (result.tables)
                    QVERIFY(*result.tables == *alone->tables);
            }
        }
        QCOMPARE(alone->tables.has_value(), content.startsWith(':'));
    }

    // Each set of vector instructions the processor has marks what one position at a time
    // marks: random bytes (the sparse lookups), text of name bytes (the dense ones), zeros,
    // lengths across the 64-position words and their last few positions, one range or two,
    // with and without the rule of three-byte names. The words are filled with ones first:
    // each must be written whole.
    void pairMarks_everyVectorWay_agreesWithOnePositionAtATime()
    {
        using namespace PairMarks;
        QRandomGenerator random(20261209);
        const QByteArray nameBytes("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz");
        int compared = 0;
        for (int round = 0; round < 300; ++round) {
            const qsizetype count = round < 140 ? round : random.bounded(140, 1000);
            QByteArray content(count + 1, '\0');
            const int kind = random.bounded(3);
            for (char &c : content)
                c = kind == 0 ? char(random.bounded(256)) : kind == 1 ? nameBytes[random.bounded(nameBytes.size())] : char(random.bounded(8) == 0 ? 'a' : 0);
            std::vector<std::uint8_t> table(tableBytes, 0);
            const bool oneRange = random.bounded(2) == 0;
            for (int i = 0, pairs = random.bounded(1, 400); i < pairs; ++i) {
                const auto byte = [&] { return unsigned(static_cast<unsigned char>(oneRange ? 'a' + random.bounded(26) : nameBytes[random.bounded(nameBytes.size())])); };
                set(table.data(), byte() | byte() << 8, std::uint8_t(random.bounded(1, 4)));
            }
            ByteRanges ranges = rangesOf(table.data());
            ranges.threeBytes = random.bounded(2) == 0;
            const auto *bytes = reinterpret_cast<const unsigned char *>(content.constData());
            const size_t words = size_t((count + 63) / 64);
            std::vector<std::uint64_t> plainStarts(words, ~0ull), plainEnds(words, ~0ull);
            markPlain(table.data(), ranges, bytes, count, plainStarts.data(), plainEnds.data());
            for (const Vectors way : {Vectors::None, Vectors::Sse2, Vectors::Avx2}) {
                std::vector<std::uint64_t> starts(words, ~0ull), ends(words, ~0ull);
                if (!markUsing(way, table.data(), ranges, bytes, count, starts.data(), ends.data()))
                    continue;
                ++compared;
                const QByteArray where = QByteArray::number(int(way)) + " round " + QByteArray::number(round);
                QVERIFY2(starts == plainStarts, where.constData());
                QVERIFY2(ends == plainEnds, where.constData());
            }
        }
        // On x86-64 at least the 16-byte vectors besides the plain way.
        QVERIFY(compared >= 300 * (widestVectors() == Vectors::None ? 1 : 2));
    }

    // With short names the first half of a small file ended before the bytes that the
    // quick look at a file's start reads (0xFF at 12 and 13): it was no executable then.
    void analyse_inHalves_firstHalfShorterThanTheHeader_stillAnExecutable()
    {
        const NameScanner scanner({"ab"});
        const QString path = write("............\xFF\xFF" "ab");
        for (const qsizetype piece : {ExecutableAnalysis::defaultPieceSize, qsizetype(1), qsizetype(5)}) {
            const auto result = ExecutableAnalysis::analyse(path, scanner, {}, piece, {}, ExecutableAnalysis::Threads::Two);
            QCOMPARE(result.outcome, Outcome::Scanned);
            QCOMPARE(result.found, Indices({0}));
        }
    }

    // Random files in halves, fed in pieces of many sizes, against one search per name:
    // one-byte names, blank ones, nested ones, and names cut from around the middle.
    void analyse_inHalves_randomFiles_agreeWithOneSearchPerName()
    {
        QRandomGenerator random(20261208);
        const QByteArray alphabet("MZab\0c", 6);
        for (int round = 0; round < 40; ++round) {
            const QByteArray content = "MZ" + randomBytes(random, random.bounded(1, 3000), alphabet);
            const qsizetype middle = content.size() / 2;
            QStringList names;
            for (int i = 0, count = random.bounded(1, 60); i < count; ++i) {
                const int kind = random.bounded(6);
                const qsizetype length = random.bounded(1, 20);
                if (kind <= 1) { // across the middle, or just before or after it
                    const qsizetype at = std::clamp<qsizetype>(middle - length + random.bounded(-2, 3), 0, content.size() - 1);
                    names.append(Windows1256::decode(content.sliced(at, std::min(length, content.size() - at))));
                } else if (kind == 2 && !names.isEmpty()) {
                    names.append(names[random.bounded(names.size())] + QLatin1Char('a'));
                } else if (kind == 3) {
                    names.append(random.bounded(2) == 0 ? QString(QLatin1String("")) : QString(QChar(0)));
                } else {
                    names.append(Windows1256::decode(randomBytes(random, length, alphabet)));
                }
            }
            const NameScanner scanner(names);
            Indices expected = NaiveNameScan::scan(names, content);
            expected.removeIf([&names](qsizetype i) {
                return std::all_of(names[i].begin(), names[i].end(), [](QChar c) { return c.isNull() || c.isSpace(); });
            });
            const QString path = write(content);
            for (const qsizetype piece : {ExecutableAnalysis::defaultPieceSize, qsizetype(random.bounded(1, 50))}) {
                const auto result = ExecutableAnalysis::analyse(path, scanner, {}, piece, {}, ExecutableAnalysis::Threads::Two);
                QCOMPARE(namesAt(names, result.found), namesAt(names, expected));
            }
            // Every piece through the thread of reads, as for a file the kernel does not hold.
            ExecutableAnalysis::setReadDelay([](qint64) {});
            const auto result = ExecutableAnalysis::analyse(path, scanner, {}, random.bounded(1, 50), {}, ExecutableAnalysis::Threads::Two);
            ExecutableAnalysis::setReadDelay({});
            QCOMPARE(namesAt(names, result.found), namesAt(names, expected));
        }
    }

    // On two threads the share read counts every byte once, grows, and ends at the file's
    // size. Where the pieces take time to come (a slow disk), each thread gets about every
    // other one, and the progress, told after each piece of the calling thread, moves as
    // often as in one pass (in halves of whole pieces the window's bar moved in fewer steps
    // than its own test asks).
    void analyse_inHalves_progressToTheEnd()
    {
        const qsizetype size = 5000;
        const QString path = write("MZ" + QByteArray(size - 6, '.') + "Beep");
        QList<qint64> seen;
        ExecutableAnalysis::setReadDelay([](qint64) { std::this_thread::sleep_for(std::chrono::microseconds(200)); });
        const auto result = ExecutableAnalysis::analyse(path, m_scanner, [&](qint64 done, qint64 total) {
            seen << (total == size ? done : -1);
            return true;
        }, 100, {}, ExecutableAnalysis::Threads::Two);
        ExecutableAnalysis::setReadDelay({});
        QCOMPARE(result.found, Indices({2}));
        QVERIFY(!seen.contains(-1));
        QVERIFY(std::is_sorted(seen.cbegin(), seen.cend()));
        QCOMPARE(seen.constLast(), size);
        QVERIFY2(seen.size() >= size / 100, qPrintable(QString::number(seen.size())));
    }

    // Stopped while the second half waited for a slow disk, the analysis returns at once,
    // and the matcher, which the caller may then change or drop, is never touched again
    // by that half (the sanitizer build sees a touch after the drop).
    void analyse_inHalves_stopped_matcherLeftAlone()
    {
        struct Gate
        {
            std::mutex mutex;
            std::condition_variable opened;
            bool open = false;
        };
        const auto gate = std::make_shared<Gate>();
        const qsizetype size = 4000;
        ExecutableAnalysis::setReadDelay([gate, middle = size / 2](qint64 offset) {
            if (offset < middle)
                return;
            std::unique_lock<std::mutex> lock(gate->mutex);
            gate->opened.wait_for(lock, std::chrono::seconds(10), [&] { return gate->open; });
        });
        const QString path = write("MZ" + QByteArray(size - 6, '.') + "Beep");
        auto scanner = std::make_unique<NameScanner>(m_names);
        const auto result = ExecutableAnalysis::analyse(path, *scanner, [](qint64 done, qint64) { return done < 1000; }, 100,
                                                        {}, ExecutableAnalysis::Threads::Two);
        ExecutableAnalysis::setReadDelay({});
        QCOMPARE(result.outcome, Outcome::Cancelled);
        scanner.reset();
        {
            const std::lock_guard<std::mutex> lock(gate->mutex);
            gate->open = true;
        }
        gate->opened.notify_all();
        QTest::qWait(200); // the second half wakes, reads, and gives up
    }

    // Worked examples of the scanner, whole and fed in pieces of every size.
    void nameScanner_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<Indices>("found");
        const QStringList load{"LoadLibraryA", "LoadLibrary", "Ex"};
        // A tool that reports only the longest match at a place would lose CloseThreadpool.
        QTest::newRow("nested names") << QStringList{"CloseThreadpoolWait", "CloseThreadpool", "ThreadpoolWait", "Wait", "CloseThreadpoolTimer"}
                                      << QByteArray("\x00\x12" "CloseThreadpoolWait\x00", 22) << Indices{0, 1, 2, 3};
        QTest::newRow("A form lists name and A form") << QStringList{"CreateFile", "CreateFileA", "CreateFileW"}
                                                      << QByteArray("MZ....CreateFileA\0GetLastError", 30) << Indices{0, 1};
        QTest::newRow("other letter case not found") << QStringList{"GetProcAddress", "getprocaddress"}
                                                     << QByteArray("GETPROCADDRESS getProcAddress getprocaddress") << Indices{1};
        QTest::newRow("empty name matches content") << QStringList{"Beep", QLatin1String("")} << QByteArray("x") << Indices{1};
        QTest::newRow("empty name, empty content") << QStringList{"Beep", QLatin1String("")} << QByteArray() << Indices{};
        QTest::newRow("null name matches nothing") << QStringList{QString(), "MZ"} << QByteArray("MZ any content") << Indices{1};
        // U+0100 has no byte in Windows-1256, not even the one a careless conversion gives.
        QTest::newRow("name outside the code page") << QStringList{"Get\u0100Name", "Get"}
                                                    << QByteArray("Get?Name Get\x00Name GetName", 25) << Indices{1};
        // U+06A9 KEHEH is 0x98 and U+064A YEH is 0xED in Windows-1256.
        const QStringList persian{QString(keheh) + yeh, QString(farsiYeh)};
        QTest::newRow("persian name as code-page bytes") << persian << QByteArray("..\x98\xED..") << Indices{0};
        QTest::newRow("persian name, UTF-8 bytes") << persian << QByteArray("..\xDA\xA9\xDB\x8C..") << Indices{};
        QTest::newRow("same name twice, both listed") << QStringList{"Sleep", "Beep", "Sleep"} << QByteArray("SleepEx") << Indices{0, 2};
        const QStringList one{"A", "z", "AB", "B"};
        QTest::newRow("one-byte name at the end") << one << QByteArray("xxB") << Indices{3};
        QTest::newRow("one-byte names nested") << one << QByteArray("AB") << Indices{0, 2, 3};
        QTest::newRow("one-byte name alone") << one << QByteArray("z") << Indices{1};
        QTest::newRow("repeated name listed once") << QStringList{"ExitProcess"} << QByteArray("ExitProcess ExitProcess") << Indices{0};
        QTest::newRow("name is the whole file") << load << QByteArray("LoadLibraryA") << Indices{0, 1};
        QTest::newRow("at the start") << load << QByteArray("LoadLibraryA\x00\x01", 14) << Indices{0, 1};
        QTest::newRow("at the end") << load << QByteArray("\x01\x02LoadLibraryA") << Indices{0, 1};
        QTest::newRow("cut off by the end") << load << QByteArray("\x01\x02LoadLibrar") << Indices{};
        QTest::newRow("short name last byte") << load << QByteArray("..LoadLibrary..Ex") << Indices{1, 2};
        // Below a point where one name is left, the rest of it is compared at once: to the
        // end of the bytes and not past it, its last byte counting, and not again once found.
        const QStringList tick{"GetTickCount", "GetTickCount64", "GetTickle"};
        QTest::newRow("only name left, whole") << tick << QByteArray("xGetTickCount64x") << Indices{0, 1};
        QTest::newRow("only name left, cut off by the end") << tick << QByteArray("xGetTickCount6") << Indices{0};
        QTest::newRow("only name left, last byte differs") << tick << QByteArray("GetTickCount65 GetTicklf") << Indices{0};
        QTest::newRow("only name left, found twice") << tick << QByteArray("GetTickle GetTickle") << Indices{2};
        // The rest compared eight bytes at a time, the last eight ending with its last byte.
        QTest::newRow("only name left, 8 bytes on") << QStringList{"CreateFileA"} << QByteArray("CreateFileB xCreateFileA") << Indices{0};
        QTest::newRow("only name left, 8 bytes on, last differs") << QStringList{"CreateFileA"} << QByteArray("CreateFileB") << Indices{};
        const QStringList wait{"WaitForSingleObjectEx"};
        QTest::newRow("only name left, 18 bytes on, middle or last differs") << wait << QByteArray("WaitForSingXeObjectEx WaitForSingleObjectEy")
                                                                              << Indices{};
        QTest::newRow("only name left, 18 bytes on") << wait << QByteArray("WaitForSingleObjectEy WaitForSingleObjectEx") << Indices{0};
        // A run of nodes of one child each is compared at once, up to a name that ends
        // inside it or a fork.
        const QStringList run{"Abcdefgh", "Abcdefghij", "Abcxyz"};
        QTest::newRow("run to a name inside it") << run << QByteArray("Abcdefghi") << Indices{0};
        QTest::newRow("run through a name inside it") << run << QByteArray("Abcdefghij") << Indices{0, 1};
        QTest::newRow("run differing in its middle") << run << QByteArray("AbcdefXh Abcxyz") << Indices{2};
        QTest::newRow("run cut off by the end") << run << QByteArray("Abcxyz Abcdef") << Indices{2};
        // Names whose last two bytes stand nowhere else, their ends 63 and 68 bytes from
        // their starts: one just within the stretch the scanner checks ahead, one beyond it.
        const QString name65 = QLatin1Char('x') + QString(62, QLatin1Char('a')) + QStringLiteral("yz");
        const QString name70 = QLatin1Char('x') + QString(67, QLatin1Char('a')) + QStringLiteral("yz");
        // A run of one byte is passed over 64 positions at a time, unless its pair begins or
        // ends a name: here the run fills two such stretches exactly.
        QTest::newRow("name inside a run of one letter") << QStringList{"AAAA", "AB"}
            << QByteArray(64, 'x').append(QByteArray(129, 'A')).append(QByteArray(63, 'x')) << Indices{0};
        QTest::newRow("65-byte name") << QStringList{name65} << QByteArray("zz").append(name65.toLatin1()) << Indices{0};
        QTest::newRow("70-byte name") << QStringList{name70} << QByteArray("zz").append(name70.toLatin1()).append('q') << Indices{0};
        // The same with a shorter name ending just before it (a fault the fuzz target found).
        QTest::newRow("70-byte name after an ending pair") << QStringList{name70, "zz"}
            << QByteArray("zz").append(name70.toLatin1()).append('q') << Indices{0, 1};
        // A pair is looked up only where both its bytes lie in the few ranges that hold the
        // names' bytes: names whose bytes lie far apart (a decorated C++ name, control bytes,
        // the ends of the code page), among bytes of no name and among text.
        const QStringList apart{"??2@YAPAX@Z", "\x01\x02", "~~", Windows1256::decode("\xFF\x00\x80"), "Beep"};
        const QByteArray filler(70, '\xCC');
        QTest::newRow("names of bytes far apart, among other bytes")
            << apart << filler + "??2@YAPAX@Z" + filler + "\x01\x02" + filler + QByteArray("\xFF\x00\x80", 3) + filler + "~"
            << Indices{0, 1, 3};
        QTest::newRow("names of bytes far apart, among text")
            << apart << QByteArray(70, 'q') + "??2@YAPAX@Z" + QByteArray(70, 'q') + "~~" + QByteArray(70, 'e') + "Beep"
            << Indices{0, 2, 4};
        // No name of two bytes (the catalogue has none): a pair counts as a start only with
        // the byte after it, and as an end only with the byte before it, among the names'
        // bytes, and a start reaches the trie only with its first four bytes.
        const QStringList three{"abc", "abcd", "bcd", "xab", "cdab"};
        QTest::newRow("three-byte names, overlapping and nested") << three << QByteArray("\xCC" "abcdab\xCC") << Indices{0, 1, 2, 4};
        QTest::newRow("three-byte name that is the whole file") << three << QByteArray("bcd") << Indices{2};
        QTest::newRow("three-byte name at the end") << three << QByteArray("\xCC\xCCxab") << Indices{3};
        QTest::newRow("three-byte name at the start") << three << QByteArray("xab\xCC") << Indices{3};
        QTest::newRow("three-byte name cut off by the end") << three << QByteArray("\xCCxa") << Indices{};
        QTest::newRow("four-byte name at the end, its three bytes a name") << three << QByteArray("\x01\x02" "abcd") << Indices{0, 1, 2};
        // The byte in the middle of a name lies in neither of its pairs.
        const QStringList middle{"ab" + Windows1256::decode("\x90") + "cd", "xyz"};
        QTest::newRow("middle byte of a name far from its ends")
            << middle << QByteArray(70, '\xCC') + "ab\x90" "cd" + QByteArray(70, '\xCC') << Indices{0};
        // Between the names' bytes and the others, 64 positions marked at a time: names
        // on either side of their edges, with a byte of no name just before and after.
        QByteArray edges(200, '\xCC');
        edges.replace(61, 4, "abcd").replace(126, 4, "cdab").replace(197, 3, "bcd");
        QTest::newRow("three-byte names at the edges of the marked positions") << three << edges << Indices{0, 1, 2, 4};
    }
    void nameScanner()
    {
        QFETCH(QStringList, names);
        QFETCH(QByteArray, content);
        QFETCH(Indices, found);
        const NameScanner scanner(names);
        QCOMPARE(scanner.scan(content), found);
        for (qsizetype piece = 1; piece <= content.size(); ++piece)
            QCOMPARE(scanInPieces(scanner, content, {piece}), found);
        NameScanner::Scan scan(scanner);
        scan.feed(QByteArrayView());
        QCOMPARE(scan.bytesFed(), 0);
        QCOMPARE(scan.finish(), Indices{});
    }

    // Two passes at once (the halves of a file) each take a set of the tables and put back
    // what they struck out: the passes after them find every name again.
    void nameScanner_twoPassesAtOnce_nextPassesFindAllAgain()
    {
        const NameScanner scanner(m_names);
        for (int round = 0; round < 3; ++round) {
            NameScanner::Scan first(scanner);
            NameScanner::Scan second(scanner);
            NameScanner::Scan third(scanner);
            first.feed("Beep CreateFileA");
            second.feed("GetProcAddress CreateFile");
            third.feed("Beep");
            QCOMPARE(first.finish(), Indices({0, 1, 2}));
            QCOMPARE(second.finish(), Indices({0, 3}));
            QCOMPARE(third.finish(), Indices({2}));
        }
        QCOMPARE(scanner.scan("CreateFileA GetProcAddress Beep"), Indices({0, 1, 2, 3}));
    }

    void nameScanner_prepare_rebuildsOnlyForOtherNames()
    {
        NameScanner scanner(QStringList{"Beep", QString()});
        scanner.prepare(QStringList{"Beep", QString()});
        QCOMPARE(scanner.scan("Beep"), Indices({0}));
        // The same texts, but the null one is now empty: it must match now.
        scanner.prepare(QStringList{"Beep", QLatin1String("")});
        QCOMPARE(scanner.scan("x"), Indices({1}));
        scanner.prepare(QStringList{"Sleep"});
        QCOMPARE(scanner.scan("Beep Sleep"), Indices({0}));
        scanner.prepare(QStringList{});
        QCOMPARE(scanner.scan("Beep Sleep"), Indices{});
    }

    void nameScanner_randomContent_agreesWithOneSearchPerName_data()
    {
        QTest::addColumn<QByteArray>("alphabet");
        QTest::addColumn<int>("maxNameLength");
        QTest::addColumn<int>("contentLength");
        // The bytes names may hold (all when empty), and whether one may be two bytes long.
        QTest::addColumn<QByteArray>("nameBytes");
        QTest::addColumn<bool>("twoByteNames");
        QTest::newRow("two letters, short names") << QByteArray("ab") << 6 << 300 << QByteArray() << true;
        QTest::newRow("three letters, nested names") << QByteArray("abc") << 12 << 2000 << QByteArray() << true;
        QTest::newRow("letters and zero") << QByteArray("GetA\0W", 6) << 9 << 5000 << QByteArray() << true;
        QTest::newRow("every byte") << QByteArray() << 5 << 20000 << QByteArray() << true;
        QTest::newRow("long names") << QByteArray("xy") << 40 << 4000 << QByteArray() << true;
        // Past the 64 bytes whose ends are marked ahead, across the marked runs of positions.
        QTest::newRow("names longer than 64 bytes") << QByteArray("xy") << 90 << 9000 << QByteArray() << true;
        // No name of two bytes, and bytes between the names' that belong to none: the pairs
        // ruled out by the bytes beside them, within and across the marked runs.
        QTest::newRow("no two-byte names, other bytes between")
            << QByteArray("abc\xCC\x90") << 7 << 9000 << QByteArray("abc") << false;
        QTest::newRow("no two-byte names, few other bytes")
            << QByteArray("abbbbbccc0\xCC") << 12 << 9000 << QByteArray("abc0") << false;
        QTest::newRow("no two-byte names, every byte") << QByteArray() << 5 << 20000 << QByteArray() << false;
        // Digits and letters a few values apart, as in most names, taken as one range of
        // bytes: the bytes between them, in no name, let pairs through to the table.
        QTest::newRow("no two-byte names, bytes between digits and letters")
            << QByteArray("0189:@ABCD\xCC") << 8 << 9000 << QByteArray("0189ABCD") << false;
    }
    void nameScanner_randomContent_agreesWithOneSearchPerName()
    {
        QFETCH(QByteArray, alphabet);
        QFETCH(int, maxNameLength);
        QFETCH(int, contentLength);
        QFETCH(QByteArray, nameBytes);
        QFETCH(bool, twoByteNames);
        for (int b = 0; QByteArrayView(QTest::currentDataTag()).endsWith("every byte") && b < 256; ++b)
            alphabet.append(char(b));
        QRandomGenerator random(20240611);
        for (int round = 0; round < 60; ++round) {
            const QByteArray content = randomBytes(random, random.bounded(contentLength) + 1, alphabet);
            QStringList names;
            for (int i = 0, count = random.bounded(1, 200); i < count; ++i) {
                const int kind = random.bounded(10);
                if (kind == 0) { // cut from the content, often at its very start or end
                    const qsizetype length = std::min<qsizetype>(random.bounded(1, maxNameLength + 1), content.size());
                    const qsizetype at = random.bounded(3) == 0 ? 0 : random.bounded(2) == 0 ? content.size() - length
                                                                : random.bounded(content.size() - length + 1);
                    names.append(Windows1256::decode(content.sliced(at, length)));
                } else if (kind == 1 && !names.isEmpty()) { // names that nest
                    const QString earlier = names[random.bounded(names.size())];
                    names.append(random.bounded(2) == 0 ? earlier.left(earlier.size() / 2)
                                                        : earlier + QString::fromLatin1(randomBytes(random, 1, alphabet)));
                } else if (kind == 2) {
                    names.append(random.bounded(2) == 0 ? QString() : QString(QLatin1String("")));
                } else {
                    names.append(Windows1256::decode(randomBytes(random, random.bounded(1, maxNameLength + 1), alphabet)));
                }
            }
            names.removeIf([&](const QString &name) {
                const QByteArray bytes = Windows1256::encode(name);
                return (!twoByteNames && bytes.size() == 2)
                    || (!nameBytes.isEmpty() && std::any_of(bytes.begin(), bytes.end(), [&](char c) { return !nameBytes.contains(c); }));
            });
            const NameScanner scanner(names);
            // A pass reuses the tables of the last one: all it found must count again.
            const QByteArray half = content.sliced(content.size() / 2);
            QCOMPARE(namesAt(names, scanner.scan(half)), namesAt(names, NaiveNameScan::scan(names, half)));
            const QStringList expected = namesAt(names, NaiveNameScan::scan(names, content));
            QCOMPARE(namesAt(names, scanner.scan(content)), expected);
            const Indices pieces{random.bounded(1, 8), random.bounded(1, 64), random.bounded(1, 3)};
            QCOMPARE(namesAt(names, scanInPieces(scanner, content, pieces)), expected);
        }
    }

    void nameScanner_realExecutable_listsEveryNameItHolds()
    {
        const QStringList names{"CreateFile", "CreateFileA", "CreateFileW", "CloseThreadpool", "CloseThreadpoolWait",
                                "CreateThreadpoolWait", "GetProcAddress", "GetModuleHandle", "GetModuleHandleA",
                                "GetModuleHandleW", "MessageBox", "MessageBoxA", "MessageBoxW", "lstrlen", "lstrlenA",
                                "lstrlenW", "SendMessage", "SendMessageW", "SetWindowText", "SetWindowTextW",
                                "GetWindowTextLength", "GetWindowTextLengthW", "ExitProcess", "CloseHandle", "Beep",
                                "closehandle", "VornCountW", "Sleep"};
        QFile file(dataFile(QStringLiteral("imports.exe")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        const QStringList expected{"CreateFile", "CreateFileA", "CloseThreadpool", "CloseThreadpoolWait", "CreateThreadpoolWait",
                                   "GetProcAddress", "GetModuleHandle", "GetModuleHandleW", "MessageBox", "MessageBoxA",
                                   "lstrlen", "lstrlenA", "ExitProcess", "CloseHandle"};
        QCOMPARE(namesAt(names, NaiveNameScan::scan(names, content)), expected);
        QCOMPARE(namesAt(names, NameScanner(names).scan(content)), expected);
        QCOMPARE(namesAt(names, scanInPieces(NameScanner(names), content, {97, 1, 13})), expected);
    }
};

QTEST_GUILESS_MAIN(tst_Find)
#include "tst_find.moc"
