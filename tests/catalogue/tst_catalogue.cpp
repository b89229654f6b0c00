#include "catalogue/BasicLiteral.h"
#include "catalogue/CatalogueSource.h"
#include "catalogue/CatalogueStore.h"
#include "catalogue/CatalogueTree.h"
#include "catalogue/ConstantTable.h"
#include "catalogue/DeclarationLayout.h"
#include "catalogue/FunctionFacts.h"
#include "platform/Texts.h"
#include "support/TestCatalogue.h"

#include <QAbstractItemModelTester>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

using OptionalLong = std::optional<qint32>;
Q_DECLARE_METATYPE(OptionalLong)

namespace {

const QChar sep(0x060C); // the Arabic comma between work areas
const QString cont = QStringLiteral(" _\r\n    ");

// A second program that writes the catalogue, its connection kept open.
struct Writer
{
    sqlite3 *db = nullptr;
    explicit Writer(const QString &file) { sqlite3_open(QFile::encodeName(file).constData(), &db); }
    ~Writer() { sqlite3_close(db); }
    int run(const char *sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }
};

void exec(const QString &file, const char *sql)
{
    Writer writer(file);
    QVERIFY2(writer.run(sql) == SQLITE_OK, sqlite3_errmsg(writer.db));
}

QByteArray contentOf(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every file of the folder, with the digest of the database's.
QMap<QString, QByteArray> folderState(const QString &folder)
{
    QMap<QString, QByteArray> state;
    for (const QFileInfo &e : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden))
        state.insert(e.fileName(), e.suffix() == QLatin1String("mdb") ? QCryptographicHash::hash(contentOf(e.filePath()), QCryptographicHash::Sha256) : QByteArray());
    return state;
}

QStringList names(Recordset &rs)
{
    QStringList out;
    for (rs.MoveFirst(); !rs.atEOF(); rs.MoveNext())
        out << *rs.field(0);
    return out;
}

QStringList kids(const CatalogueTree &tree, const QString &key, int role = CatalogueTree::KeyRole)
{
    const QModelIndex parent = key.isEmpty() ? QModelIndex() : tree.indexForKey(key);
    QStringList out;
    for (int row = 0; row < tree.rowCount(parent); ++row)
        out << tree.data(tree.index(row, 0, parent), role).toString();
    return out;
}

} // namespace

class tst_Catalogue : public QObject
{
    Q_OBJECT

private slots:
    // What Basic itself makes of the literal at the end of a Const line (line), what a
    // user types in the constants window's search line (typed), and the literal a value
    // is written as in a Const line (hex, decimal), which reads back as the value.
    void literalValue_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("literal");
        QTest::addColumn<OptionalLong>("value");
        const auto row = [](const char *tag, const char *kind, const QString &literal, OptionalLong value) {
            QTest::newRow(tag) << kind << literal << value;
        };
        row("small hex keeps the trailing &, capitals", "hex", "&HFD&", 0xFD);
        row("&H8000 would be a negative Integer without &", "hex", "&H8000&", 0x8000);
        row("&HFFFF likewise", "hex", "&HFFFF&", 0xFFFF);
        row("high bit: HKEY_CURRENT_USER", "hex", "&H80000001&", qint32(0x80000001u));
        row("-1 in hex", "hex", "&HFFFFFFFF&", -1);
        row("decimal", "decimal", "87", 87);
        row("negative decimal", "decimal", "-2", -2);
        row("lowest Long", "decimal", "-2147483648", INT32_MIN);
        row("&HFFFF without & is Integer -1", "line", "&HFFFF", -1);
        row("&H8000 without & is -32768", "line", "&H8000", -32768);
        row("&H7FFF without & stays", "line", "&H7FFF", 0x7FFF);
        row("&H10000 without & is a Long", "line", "&H10000", 0x10000);
        row("decimal past a Long overflows", "line", "2147483648", std::nullopt);
        row("unsigned decimal overflows", "line", "4294967295", std::nullopt);
        row("nine hex digits", "line", "&H100000000&", std::nullopt);
        row("not a number", "line", "WM_USER", std::nullopt);
        row("empty", "line", "", std::nullopt);
        row("typed Err.LastDllError", "typed", "87", 87);
        row("typed hex, small letters, no &", "typed", "&h57", 87);
        row("typed negative Long of an HRESULT", "typed", "-2147467259", qint32(0x80004005u));
        row("typed lowest Long", "typed", "-2147483648", INT32_MIN);
        row("typed below a Long", "typed", "-2147483649", std::nullopt);
        row("typed unsigned decimal wraps", "typed", "4294967295", -1);
        row("typed past 32 bits", "typed", "4294967296", std::nullopt);
        row("typed with spaces around", "typed", " 5 ", 5);
        row("typed octal", "typed", "&O17", 15);
        row("typed hex digit in decimal", "typed", "8A", std::nullopt);
        row("typed Arabic-Indic digits are no number", "typed", "\u0668\u0667", std::nullopt);
        row("typed bare &H", "typed", "&H", std::nullopt);
        row("typed minus alone", "typed", "-", std::nullopt);
    }
    void literalValue()
    {
        QFETCH(QString, kind);
        QFETCH(QString, literal);
        QFETCH(OptionalLong, value);
        if (kind == QLatin1String("hex") || kind == QLatin1String("decimal"))
            QCOMPARE(BasicLiteral::format(*value, kind == QLatin1String("hex")), literal);
        QCOMPARE(kind == QLatin1String("typed") ? BasicLiteral::parse(literal) : BasicLiteral::lineValue("Private Const X As Long = " + literal), value);
    }

    // The build stops on a source line whose Basic literal reads back as another value,
    // and on a constant given twice; a function line with a bad escape or too few fields.
    void sourceErrors_namedWithTheirPlace()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("const-a.tsv"));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("A_GOOD\t32768\tPrivate Const A_GOOD As Long = &H8000&\tA\ta.h\t\n" "A_BAD\t32768\tPrivate Const A_BAD As Long = &H8000\tA\ta.h\t\n"
                  "A_GOOD\t1\tPrivate Const A_GOOD As Long = 1\tA\ta.h\t\n"
                  // string constants: no value; the literal must be one Basic compiles
                  "A_TEXT\t\tPrivate Const A_TEXT As String = \"Sys\"\"32\"\tA\ta.h\t\n"
                  "A_OPEN\t\tPrivate Const A_OPEN As String = \"Sys\"32\"\tA\ta.h\t\n"
                  "A_NAME\t\tPrivate Const A_OTHER As String = \"x\"\tA\ta.h\t\n"
                  "A_LONG\t\tPrivate Const A_LONG As Long = 1\tA\ta.h\t\n");
        out.close();
        const ConstantSource::ParseResult parsed = ConstantSource::parseFiles({file});
        const QStringList &errors = parsed.errors;
        QCOMPARE(errors.size(), 5);
        QVERIFY(errors[0].contains(QStringLiteral(":2: the Basic line does not read back")));
        QVERIFY(errors[1].contains(QStringLiteral(":3: A_GOOD given twice")));
        QVERIFY(errors[2].contains(QStringLiteral(":5: no value and no Basic string constant")));
        QVERIFY(errors[3].contains(QStringLiteral(":6: no value and no Basic string constant")));
        QVERIFY(errors[4].contains(QStringLiteral(":7: no value and no Basic string constant")));
        const auto text = std::find_if(parsed.table.constants.begin(), parsed.table.constants.end(),
                                       [](const Constant &c) { return c.name == QLatin1String("A_TEXT"); });
        QVERIFY(text != parsed.table.constants.end());
        QCOMPARE(text->value, 0);
        // The parameter families beside the constants are no constants' file to refuse,
        // and never reach the functions' parser.
        QVERIFY(ConstantSource::isConstantFile(dir.filePath(QStringLiteral("enums.tsv"))));
        QVERIFY(ConstantSource::isConstantFile(dir.filePath(QStringLiteral("params.tsv"))));
        const auto bad = CatalogueSource::parse(QStringLiteral("a\tb\tc\n\nx\ty\tz\tw\tv\\q\tu\n"), QStringLiteral("f.tsv"));
        QCOMPARE(bad.errors.size(), 2);
        QVERIFY(bad.errors[0].startsWith(QStringLiteral("f.tsv:1: 3 fields")));
        QVERIFY(bad.errors[1].startsWith(QStringLiteral("f.tsv:3: bad backslash")));
        QCOMPARE(CatalogueSource::parseFiles({QStringLiteral("/nonexistent/x.tsv")}).errors.size(), 1);
    }

    void sourceLines_roundTrip()
    {
        const QString field = QStringLiteral("a\tb\r\nc\\d\\ne\n");
        const QString escaped = CatalogueSource::escapeField(field);
        QVERIFY(!escaped.contains(QLatin1Char('\t')) && !escaped.contains(QLatin1Char('\n')));
        bool ok = false;
        QCOMPARE(CatalogueSource::unescapeField(escaped, &ok), field);
        QVERIFY(ok);
        const std::vector<CatalogueRecord> records = {
            record("GetTickCount", "Private Declare Function GetTickCount Lib \"kernel32\" () As Long", "kernel32",
                   QStringLiteral("زمان،سيستم"), QStringLiteral("خط اول\r\nخط دوم")), record("Empty", "", "", "", "")};
        QString text = QStringLiteral("# comment\n\n");
        for (const auto &r : records)
            text += CatalogueSource::formatLine(r) + QLatin1Char('\n');
        text += QStringLiteral("a\tb\tc\td\te\tf\r\n"); // a source line ended by CR LF
        const auto result = CatalogueSource::parse(text, QStringLiteral("x.tsv"));
        QVERIFY(result.errors.isEmpty());
        QCOMPARE(result.records.size(), size_t(3));
        QVERIFY(result.records[0] == records[0] && result.records[1] == records[1]);
        QVERIFY(result.records[2] == record("a", "b", "c", "d", "e", "f"));
    }

    void recordset_walkAndEnds()
    {
        Recordset rs = recordsetOf({record("c", "d", "l", "w", "x", "v"), record("a"), record("b")});
        QCOMPARE(names(rs), QStringList({"c", "a", "b"}));
        QCOMPARE(rs.field(0), nullptr); // reading past the end fails
        rs.MoveLast();
        QCOMPARE(*rs.field(0), QStringLiteral("b"));
        QCOMPARE(rs.AbsolutePosition(), qsizetype(3));
        QVERIFY(rs.setAbsolutePosition(1));
        QCOMPARE(*rs.field(5), QStringLiteral("v"));
        QCOMPARE(rs.field(CatalogueRecord::fieldCount), nullptr);
        QCOMPARE(rs.field(-1), nullptr);
        QVERIFY(!rs.setAbsolutePosition(0) && !rs.setAbsolutePosition(4));
        QCOMPARE(rs.AbsolutePosition(), qsizetype(1));
        // The day window's Previous on the first function reaches the beginning, to wrap.
        rs.MovePrevious();
        QVERIFY(rs.atBOF());
        QCOMPARE(rs.field(0), nullptr);
        rs.MoveNext();
        QCOMPARE(*rs.field(0), QStringLiteral("c"));
        rs.Close();
        rs.MoveFirst();
        QVERIFY(rs.atEOF());
        QCOMPARE(rs.current(), nullptr);
        Recordset empty = recordsetOf({}); // at both ends whatever the move
        for (const auto move : {&Recordset::MoveFirst, &Recordset::MoveNext, &Recordset::MoveLast}) {
            (empty.*move)();
            QVERIFY(empty.atEOF() && empty.atBOF() && !empty.field(0));
        }
    }

    void declarationLayout_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("continued");
        QTest::newRow("no parameters") << "Declare Function GetTickCount Lib \"kernel32\" () As Long"
                                       << "Declare Function GetTickCount Lib \"kernel32\" (" + cont + ") As Long";
        QTest::newRow("two parameters") << "Declare Function F Lib \"x\" (ByVal a As Long, ByVal b As Long) As Long"
                                        << "Declare Function F Lib \"x\" (" + cont + "ByVal a As Long," + cont + "ByVal b As Long) As Long";
        QTest::newRow("nothing to break") << "Const X = 1" << "Const X = 1";
        QTest::newRow("comma without space untouched") << "Declare Sub a(b,c)" << "Declare Sub a(" + cont + "b,c)";
        QTest::newRow("two spaces: only the first taken") << "declare sub f(a,  b)" << "declare sub f(" + cont + "a," + cont + " b)";
        QTest::newRow("parenthesis in a quoted text and an array") << "Declare Sub f Lib \"a(b)\" (x() As Byte)"
                                                                   << "Declare Sub f Lib \"a(" + cont + "b)\" (" + cont + "x(" + cont + ") As Byte)";
        // The fault: a Type member's bounds were broken as if they were a parameter list.
        QTest::newRow("Type block above") << "Private Type G\r\n    D(0 To 7) As Byte\r\n    E(1, 2) As Long\r\nEnd Type\r\n\r\nPrivate Declare Sub S Lib \"k\" (p As G)"
                                          << "Private Type G\r\n    D(0 To 7) As Byte\r\n    E(1, 2) As Long\r\nEnd Type\r\n\r\nPrivate Declare Sub S Lib \"k\" (" + cont + "p As G)";
        QTest::newRow("both forms of VBA7") << "#If VBA7 Then\r\n  Declare PtrSafe Sub A(ByVal a As LongPtr, b As Long)\r\n#Else\r\nPublic Declare Sub A()\r\n#End If"
                                            << "#If VBA7 Then\r\n  Declare PtrSafe Sub A(" + cont + "ByVal a As LongPtr," + cont + "b As Long)\r\n#Else\r\nPublic Declare Sub A(" + cont + ")\r\n#End If";
        QTest::newRow("no Declare statement") << "a(b, c)\r\nDeclared(x)" << "a(b, c)\r\nDeclared(x)";
        QTest::newRow("empty") << "" << "";
    }
    void declarationLayout()
    {
        QFETCH(QString, stored);
        QFETCH(QString, continued);
        QCOMPARE(DeclarationLayout::continued(stored), continued);
        QCOMPARE(DeclarationLayout::stored(continued), stored);
        QCOMPARE(DeclarationLayout::stored(stored), stored);
        QCOMPARE(DeclarationLayout::layOut(stored, true), continued);
        QCOMPARE(DeclarationLayout::layOut(continued, false), stored);
        // Meant to be switched, not applied twice: the "(" of "( _" breaks again.
        QCOMPARE(DeclarationLayout::continued(QStringLiteral("Declare f(") + cont + "a)"), "Declare f(" + cont + cont + "a)");
        QCOMPARE(DeclarationLayout::stored("x," + cont + "y"), QStringLiteral("x, y"));
        // The line the box scrolls to: CR LF, a lone CR and a lone LF each end one.
        QCOMPARE(DeclarationLayout::declareLine(QStringLiteral("a\r\n\r\nb\rDeclare Sub f")), 3);
        QCOMPARE(DeclarationLayout::declareLine(QStringLiteral("\n Private  declare Sub f")), 1);
        QCOMPARE(DeclarationLayout::declareLine(QStringLiteral("Declared\r\nDeclare")), -1);
    }

    // Opening a catalogue made of file (none, a folder, raw bytes "raw:" or SQL): refused
    // with number and, where the engine gives one, its description; or opened (number 0,
    // or 5 for an older table of five columns without the VBA7 declarations) with the
    // fields of its record in text. Fields of other types read as their text. An endless
    // table (a recursive view) grew memory until the program aborted.
    void storeOpen_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<qint64>("number");
        QTest::addColumn<QString>("text");
        const qint64 missing = CatalogueStore::missingFileError;
        QTest::newRow("missing, and not made") << QByteArray() << missing << "";
        QTest::newRow("a folder named like it") << QByteArray("folder") << missing << "";
        QTest::newRow("text file") << QByteArray("raw:this is not a database at all, just some text that goes on for long enough to fill a header.")
                                   << qint64(SQLITE_NOTADB) << "file is not a database";
        QTest::newRow("zero bytes") << QByteArray("raw:") << qint64(SQLITE_ERROR) << "no such table: API";
        QTest::newRow("no table API") << QByteArray("CREATE TABLE Other (a TEXT);") << qint64(SQLITE_ERROR) << "no such table: API";
        QTest::newRow("fewer than five columns") << QByteArray("CREATE TABLE API (a, b, c, d); INSERT INTO API VALUES (1,2,3,4);")
                                                 << CatalogueStore::itemNotFoundError << "";
        const QByteArray endless = "CREATE VIEW API AS WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM n) SELECT ";
        QTest::newRow("endless view, many records") << endless + "x, '', '', '', '' FROM n;" << CatalogueStore::tooLargeError << Texts::catalogueTooLarge;
        QTest::newRow("endless view, much text") << endless + "x, printf('%.*c', 100000, 'y'), '', '', '' FROM n;"
                                                 << CatalogueStore::tooLargeError << Texts::catalogueTooLarge;
        QTest::newRow("six columns") << QByteArray("CREATE TABLE API (a, b, c, d, e, f); INSERT INTO API VALUES ('GetDC','d','l','w','x','v');")
                                     << 0LL << "GetDC|d|l|w|x|v|||";
        QTest::newRow("five columns") << QByteArray("CREATE TABLE API (a, b, c, d, e); INSERT INTO API VALUES ('GetDC','d','l','w','x');")
                                      << 5LL << "GetDC|d|l|w|x||||";
        QTest::newRow("ten columns: the metadata's three read, the tenth not") << QByteArray("CREATE TABLE API (a, b, c, d, e, f, g, h, i, j); INSERT INTO API VALUES ('GetDC','d','l','w','x','v','XP','1','-','z');")
                                       << 0LL << "GetDC|d|l|w|x|v|XP|1|-";
        QTest::newRow("other types") << QByteArray("CREATE TABLE API (a, b, c, d, e, f); INSERT INTO API VALUES ('Beep', NULL, 42, x'6b65726e656c', 1.5, 'extra');")
                                     << 0LL << "Beep||42|kernel|1.5|extra|||";
    }
    void storeOpen()
    {
        QFETCH(QByteArray, file);
        QFETCH(qint64, number);
        QFETCH(QString, text);
        QTemporaryDir dir;
        const QString path = CatalogueStore::databasePath(dir.path());
        if (file == "folder")
            QVERIFY(QDir().mkpath(path));
        else if (file.startsWith("raw:")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(file.mid(4)) == file.size() - 4);
        } else if (!file.isNull())
            exec(path, file.constData());
        const auto result = CatalogueStore::open(path);
        if (number == 0 || number == 5) {
            QVERIFY2(result.recordset, qPrintable(result.errorDescription));
            QCOMPARE(result.recordset->hasVba7Column(), number == 0);
            QCOMPARE(result.recordset->RecordCount(), qsizetype(1));
            QCOMPARE(QStringList(result.recordset->at(1).fields.begin(), result.recordset->at(1).fields.end()).join(u'|'), text);
            return;
        }
        QVERIFY(!result.recordset);
        QCOMPARE(result.errorNumber, number);
        QVERIFY(number == CatalogueStore::missingFileError || !result.errorDescription.isEmpty());
        if (!text.isEmpty())
            QCOMPARE(result.errorDescription, text);
        if (file.isNull())
            QVERIFY(!QFile::exists(path));
    }

    void store_keepsOrderAndText_neverChangesTheFile_andHoldsItsLimit()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("my programs #1 ?x"));
        QVERIFY(QDir().mkpath(folder));
        const QString persian = QStringLiteral("توضيح");
        writeCatalogue(folder, {record("Zeta", "d1", "l", "w", persian), record("Alpha"), record("Mid")});
        const QString path = CatalogueStore::databasePath(folder);
        const auto before = folderState(folder);
        const QDateTime modified = QFileInfo(path).lastModified();
        auto result = CatalogueStore::open(path);
        QVERIFY2(result.recordset, qPrintable(result.errorDescription));
        QCOMPARE(names(*result.recordset), QStringList({"Zeta", "Alpha", "Mid"}));
        QCOMPARE(result.recordset->at(1)[CatalogueRecord::Description], persian);
        QCOMPARE(folderState(folder), before);
        QCOMPARE(QFileInfo(path).lastModified(), modified);
        // As many records as the limit open; one more is refused.
        QVERIFY(CatalogueStore::open(path, {3, 1000}).recordset);
        QCOMPARE(CatalogueStore::open(path, {2, 1000}).errorDescription, Texts::catalogueTooLarge);
        writeCatalogue(dir.path(), {});
        const auto empty = CatalogueStore::open(CatalogueStore::databasePath(dir.path()));
        QVERIFY(empty.recordset);
        QCOMPARE(empty.recordset->RecordCount(), qsizetype(0));
    }

    // A function whose work areas were 8 million separators aborted with bad_alloc when
    // its branch opened; a recursive view that gives no row spun for ever. Limits of 3
    // areas a function, 5 in all, a million engine steps; expected: the message, or
    // empty where the catalogue opens.
    void store_areasAbortedWithBadAlloc_viewWithoutRowSpun_data()
    {
        QTest::addColumn<QByteArray>("sql");
        QTest::addColumn<QString>("expected");
        const QByteArray table = "CREATE TABLE API (a, b, c, d, e); INSERT INTO API VALUES ";
        QTest::newRow("three areas") << table + "('f', '', '', 'a،b،c', '');" << QString();
        QTest::newRow("four areas of one function") << table + "('f', '', '', 'a،b،،', '');"
                                                    << Texts::catalogueLimit(Texts::tooManyAreasPerFunction.arg(3));
        QTest::newRow("six in all") << table + "('f', '', '', 'a،b،c', ''), ('g', '', '', 'a،b،c', '');"
                                    << Texts::catalogueLimit(Texts::tooManyAreas.arg(5));
        QTest::newRow("recursive view without a row")
            << QByteArray("CREATE VIEW API AS WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM n) "
                          "SELECT x, '', '', '', '' FROM n WHERE x < 0;")
            << Texts::catalogueLimit(Texts::tableNeverEnds.arg("API").arg(1000000));
    }
    void store_areasAbortedWithBadAlloc_viewWithoutRowSpun()
    {
        QFETCH(QByteArray, sql);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = CatalogueStore::databasePath(dir.path());
        exec(path, sql.constData());
        const auto result = CatalogueStore::open(path, {10, 1000, 3, 5, 1'000'000});
        QCOMPARE(result.errorDescription, expected);
        QCOMPARE(result.errorNumber, expected.isEmpty() ? 0 : CatalogueStore::tooLargeError);
    }

    // 900,000 constants of 20,000 characters aborted at 4 GB: a row limit alone did not
    // bound them. Limits of 3 rows, 100 characters a row, 250 in all; expected: the
    // constants read, or the limit named.
    void constants_longRowsAbortedAtFourGigabytes_data()
    {
        QTest::addColumn<QByteArray>("rows");
        QTest::addColumn<QString>("expected");
        const QByteArray hundred = "(printf('%.*c', 96, 'n'), 'l', 1, 'f', 'h', 'm')";
        QTest::newRow("two rows of 100 characters") << hundred + "," + hundred << "2";
        QTest::newRow("a row of 101") << QByteArray("(printf('%.*c', 97, 'n'), 'l', 1, 'f', 'h', 'm')")
                                      << Texts::constantRowTooLong.arg(100);
        QTest::newRow("a field past the engine's limit") << QByteArray("(printf('%.*c', 401, 'n'), '', 1, '', '', '')")
                                                         << Texts::constantRowTooLong.arg(100);
        QTest::newRow("three rows of 100") << hundred + "," + hundred + "," + hundred << Texts::constantsTooLong.arg(250);
        QTest::newRow("four rows") << QByteArray("('a',0,0,0,0,0),('b',0,0,0,0,0),('c',0,0,0,0,0),('d',0,0,0,0,0)")
                                   << Texts::tooManyConstants.arg(3);
        QTest::newRow("recursive view without a row") << QByteArray() << Texts::tableNeverEnds.arg("Const").arg(1000000);
    }
    void constants_longRowsAbortedAtFourGigabytes()
    {
        QFETCH(QByteArray, rows);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath("API.mdb");
        const QByteArray sql = rows.isEmpty() ? QByteArray("CREATE VIEW Const AS WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL "
                                                           "SELECT x+1 FROM n) SELECT x ConstName, x Line, x Value, x Family, x Header, x Meaning FROM n WHERE x < 0;")
                                              : "CREATE TABLE Const (ConstName, Line, Value, Family, Header, Meaning); "
                                                "INSERT INTO Const VALUES " + rows + ";";
        exec(path, sql.constData());
        QString refusal;
        const auto table = ConstantStore::open(path, &refusal, {3, 100, 250, 1'000'000});
        QCOMPARE(table ? QString::number(table->constants.size()) : refusal, expected);
    }

    // Read with immutable=1, the catalogue showed a writer's uncommitted change, missed the
    // rows of its write-ahead log, said "no such table" for a table that lived there, and
    // "malformed" for a crashed writer's half-changed file. Records -1: refused, saying so.
    void store_immutableReadIgnoredLocksJournalAndLog_data()
    {
        QTest::addColumn<QByteArray>("writerSql");
        QTest::addColumn<bool>("writerCrashes");
        QTest::addColumn<int>("records");
        const QByteArray logged = "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;";
        const QByteArray spilled = "PRAGMA cache_size=1; BEGIN; UPDATE API SET Declaration = randomblob(300);";
        QTest::newRow("uncommitted change") << spilled << false << -1;
        QTest::newRow("crashed writer") << spilled << true << -1;
        QTest::newRow("rows in the log") << logged + "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM n "
                                                    "WHERE x < 1000) INSERT INTO API SELECT x,x,x,x,x,x,x,x,x FROM n;" << false << 5000;
        QTest::newRow("table in the log") << logged + "DROP TABLE API; CREATE TABLE API (a,b,c,d,e); INSERT INTO API VALUES (1,2,3,4,5);"
                                          << false << 1;
    }
    void store_immutableReadIgnoredLocksJournalAndLog()
    {
        QFETCH(QByteArray, writerSql);
        QFETCH(bool, writerCrashes);
        QFETCH(int, records);
        QTemporaryDir dir;
        writeCatalogue(dir.path(), std::vector<CatalogueRecord>(4000, record("A", QString(400, QLatin1Char('x')))));
        const QString path = CatalogueStore::databasePath(dir.path());
        std::optional<Writer> writer;
        if (writerCrashes) {
            const pid_t child = fork();
            if (child == 0) { // killed in the middle: its connection is never closed
                (new Writer(path))->run(writerSql.constData());
                _exit(0);
            }
            QVERIFY(child > 0);
            waitpid(child, nullptr, 0);
        } else {
            QCOMPARE(writer.emplace(path).run(writerSql.constData()), SQLITE_OK);
        }
        const auto before = folderState(dir.path());
        auto result = CatalogueStore::open(path);
        if (records < 0) {
            QVERIFY(!result.recordset);
            QCOMPARE(result.errorDescription, Texts::catalogueNeedsWriter);
        } else {
            QVERIFY2(result.recordset, qPrintable(result.errorDescription));
            QCOMPARE(result.recordset->RecordCount(), qsizetype(records));
        }
        QCOMPARE(folderState(dir.path()), before);
    }

    // Read through a memory map, a catalogue cut short while it was read killed the
    // program with SIGBUS.
    void store_truncatedWhileRead_killedWithSigbus()
    {
        QTemporaryDir dir;
        const QString path = CatalogueStore::databasePath(dir.path());
        writeCatalogue(dir.path(), std::vector<CatalogueRecord>(20000, record("A", QString(600, QLatin1Char('x')))));
        const QByteArray whole = contentOf(path);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(CatalogueStore::open(path).recordset);
        const qint64 wholeReadUs = clock.nsecsElapsed() / 1000;
        for (int run = 1; run <= 5; ++run) { // cut at five moments over the time a whole read takes
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(whole) == whole.size());
            f.close();
            std::thread cutter([&] {
                usleep(static_cast<useconds_t>(wholeReadUs * run / 6));
                ::truncate(QFile::encodeName(path).constData(), 8192);
            });
            const auto result = CatalogueStore::open(path);
            cutter.join();
            QVERIFY(result.recordset || result.errorNumber != 0);
        }
    }

    // The children of a node (key; "" the top) as texts or keys, in a tree of records
    // "name|library|areas". Regressions: the Work root showed an expander with nothing
    // under it; every first character went through a full upper-casing ("дом" under "Д");
    // the work-area groups stood in code-point order, "پ" and "چ" after "ه".
    void tree_data()
    {
        QTest::addColumn<QStringList>("records");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("texts");
        QTest::addColumn<QStringList>("children");
        QTest::newRow("empty: four roots") << QStringList() << "" << false << QStringList{"Alphabet", "Library", "Work", "Search"};
        QTest::newRow("empty: their texts") << QStringList() << "" << true << QStringList{QStringLiteral("حروف الفبا"), QStringLiteral("کتابخانه"), QStringLiteral("عملکرد"), QStringLiteral("نتايج جستجو")};
        QTest::newRow("empty: nothing under Alphabet") << QStringList() << "Alphabet" << false << QStringList();
        QTest::newRow("empty: nothing under Library") << QStringList() << "Library" << false << QStringList();
        QTest::newRow("no area: the Work root showed an expander") << QStringList{"a|L|", "b|L|"} << "Work" << false << QStringList();
        for (const auto &[name, group] : {std::pair("apple", "A"), {"zed", "Z"}, {"_x", "_"}, {"1x", "1"}, {"дом", "д"}, {"Дом", "Д"},
                                          {"éclair", "é"}, {"ÿ", "ÿ"}, {"µs", "µ"}, {"پ", "پ"}})
            QTest::newRow(name) << QStringList{QString::fromUtf8(name) + "|l|"} << "Alphabet" << true << QStringList{QString::fromUtf8(group)};
        // Letter groups: the upper-cased first character, "_" its own. Areas split at every
        // Arabic comma, indexed from 0, taken exactly (spaces belong to the name); a trailing
        // comma gives the group with empty text, an empty field none.
        const QStringList mixed{"beta|user32|X" + QString(sep) + "Y", "Alpha|kernel32|", "_hidden|kernel32|Z" + QString(sep),
                                "f|l|A " + QString(sep) + " A"};
        QTest::newRow("letter groups") << mixed << "Alphabet" << false << QStringList{"Alf__", "Alf_A", "Alf_B", "Alf_F"};
        QTest::newRow("letter group texts") << mixed << "Alphabet" << true << QStringList{"_", "A", "B", "F"};
        QTest::newRow("functions keyed by their place") << mixed << "Alf_B" << false << QStringList{"Alf_F_1"};
        QTest::newRow("the third record") << mixed << "Alf__" << false << QStringList{"Alf_F_3"};
        QTest::newRow("libraries") << mixed << "Library" << false << QStringList{"Lib_kernel32", "Lib_l", "Lib_user32"};
        QTest::newRow("in a library") << mixed << "Lib_kernel32" << false << QStringList{"Lib_F__hidden", "Lib_F_Alpha"};
        QTest::newRow("areas") << mixed << "Work" << false << QStringList{"Wor_", "Wor_ A", "Wor_A ", "Wor_X", "Wor_Y", "Wor_Z"};
        QTest::newRow("area texts") << mixed << "Work" << true << QStringList{"", " A", "A ", "X", "Y", "Z"};
        QTest::newRow("first area") << mixed << "Wor_X" << false << QStringList{"Wor_F_0_beta"};
        QTest::newRow("second area") << mixed << "Wor_Y" << false << QStringList{"Wor_F_1_beta"};
        QTest::newRow("after a trailing comma") << mixed << "Wor_" << false << QStringList{"Wor_F_1__hidden"};
        const QStringList arrival{"b|lib", "a|lib", "C|lib", "apple|lib", "Apple|lib", "zed|lib"};
        QTest::newRow("sorted whatever the arrival order") << arrival << "Lib_lib" << true << QStringList{"a", "Apple", "apple", "b", "C", "zed"};
        QTest::newRow("letter groups sorted") << arrival << "Alphabet" << true << QStringList{"A", "B", "C", "Z"};
        QTest::newRow("a letter group") << arrival << "Alf_A" << true << QStringList{"a", "Apple", "apple"};
        const QStringList areas = {QStringLiteral("همگام سازي"), QStringLiteral("چاپ"), QStringLiteral("پنجره ها"),
                                   QStringLiteral("پايگاه داده"), QStringLiteral("باز")};
        const QStringList byArea{"b|l|" + areas.join(sep), "_a|l|" + areas[0], "a|l|" + areas[0], "A|l|" + areas[0]};
        QTest::newRow("work areas in the alphabet's order") << byArea << "Work" << true << QStringList{areas[4], areas[3], areas[2], areas[1], areas[0]};
        QTest::newRow("names in an area, plain order") << byArea << "Wor_" + areas[0] << true << QStringList{"_a", "A", "a", "b"};
        QTest::newRow("names and groups that make the same key") << QStringList{"a1|L|x" + QString(sep) + "y", "A2|F_a1|F_0_a1", "a1|M|y" + QString(sep) + sep + "x"}
                                                                 << "" << false << QStringList{"Alphabet", "Library", "Work", "Search"};
        const QStringList dup{"Dup|l|w", "Dup|m|w"};
        QTest::newRow("name twice: both under the letter") << dup << "Alf_D" << true << QStringList{"Dup", "Dup"};
        QTest::newRow("name twice: the first library") << dup << "Lib_l" << true << QStringList{"Dup"};
        QTest::newRow("name twice: the second library empty") << dup << "Lib_m" << true << QStringList();
        QTest::newRow("name twice: once in the area") << dup << "Wor_w" << true << QStringList{"Dup"};
    }
    void tree()
    {
        QFETCH(QStringList, records);
        QFETCH(QString, key);
        QFETCH(bool, texts);
        QFETCH(QStringList, children);
        std::vector<CatalogueRecord> list;
        for (const QString &r : records)
            list.push_back(record(r.section(u'|', 0, 0), "", r.section(u'|', 1, 1), r.section(u'|', 2)));
        Recordset rs = recordsetOf(std::move(list));
        CatalogueTree tree;
        tree.BuildCatalogueTree(rs);
        QCOMPARE(tree.FunctionCount(), records.size());
        QVERIFY(key.isEmpty() || tree.indexForKey(key).isValid());
        QCOMPARE(tree.hasChildren(tree.indexForKey(key)), !children.isEmpty());
        QCOMPARE(kids(tree, key, texts ? int(Qt::DisplayRole) : int(CatalogueTree::KeyRole)), children);
        QSet<QString> keys; // every node has a key of its own, which finds it
        std::function<void(const QModelIndex &)> walk = [&](const QModelIndex &parent) {
            for (int row = 0; row < tree.rowCount(parent); ++row) {
                const QModelIndex child = tree.index(row, 0, parent);
                QVERIFY2(!keys.contains(tree.key(child)), qPrintable(tree.key(child)));
                keys.insert(tree.key(child));
                QCOMPARE(tree.indexForKey(tree.key(child)), child);
                walk(child);
            }
        };
        walk(QModelIndex());
        for (const char *other : {"Alf_F_0", "Alf_F_04", "nothing"})
            QVERIFY(!tree.indexForKey(other).isValid());
    }

    // The line under the declaration, from the metadata columns: first Windows,
    // LastDllError ("1", "0", empty), Obsolete (replacements, "-", empty), and the form shown.
    void note_data()
    {
        QTest::addColumn<QStringList>("facts");
        QTest::addColumn<bool>("vba7Shown");
        QTest::addColumn<QString>("note");
        const QString s = QStringLiteral("؛ ");
        QTest::newRow("nothing known: no line") << QStringList{"", "", ""} << false << "";
        QTest::newRow("XP, LastDllError") << QStringList{"XP", "1", ""} << false
                                          << QStringLiteral("از ويندوز XP") + s + QStringLiteral("Err.LastDllError علت خطا را مي‌دهد");
        QTest::newRow("LastDllError means nothing") << QStringList{"", "0", ""} << false << QStringLiteral("Err.LastDllError پس از آن معنايي ندارد");
        QTest::newRow("obsolete, two replacements") << QStringList{"2000", "", "inet_pton, InetPton"} << false
                                                    << QStringLiteral("از ويندوز 2000") + s + QStringLiteral("منسوخ؛ به جاي آن inet_pton، InetPton");
        QTest::newRow("obsolete, none named") << QStringList{"", "", "-"} << false << QStringLiteral("منسوخ");
        QTest::newRow("a LongLong form shown") << QStringList{"", "", ""} << true << QStringLiteral("فقط براي Office 64 بيتي");
        QTest::newRow("the same form, classic shown") << QStringList{"", "", ""} << false << "";
    }
    void note()
    {
        QFETCH(QStringList, facts);
        QFETCH(bool, vba7Shown);
        QFETCH(QString, note);
        CatalogueRecord r = record("Q", "Private Declare Function Q Lib \"k\" (ByVal c As Currency) As Long", "k", "", "x",
                                   "Private Declare PtrSafe Function Q Lib \"k\" (ByVal c As LongLong) As Long");
        for (int i = 0; i < 3; ++i)
            r[CatalogueRecord::FirstWindows + i] = facts[i];
        QCOMPARE(FunctionFacts::note(r, vba7Shown), note);
    }

    // A function that is cdecl in 32 bits has the VBA7 form alone: the classic view shows the
    // line that 32-bit Basic cannot call it, the VBA7 view the form and the 64-bit note.
    void vba7OnlyFunction_classicViewShowsTheNote()
    {
        const QString form = QStringLiteral("Private Declare PtrSafe Function ldap_unbind Lib \"wldap32\" (ByVal ld As LongPtr) As Long");
        const CatalogueRecord r = record("ldap_unbind", "", "wldap32", "", "x", form);
        QVERIFY(r.vba7Only());
        QCOMPARE(r.declaration(false), Texts::noClassicDeclaration);
        QCOMPARE(r.declaration(true), form);
        QCOMPARE(FunctionFacts::note(r, true), QStringLiteral("فقط براي Office 64 بيتي"));
        QCOMPARE(FunctionFacts::note(r, false), QString());
        // Neither form, as a damaged catalogue may hold: no note about a form that is not there.
        const CatalogueRecord none = record("X", "", "k", "", "x");
        QVERIFY(!none.vba7Only());
        QCOMPARE(none.declaration(false), QString());
    }

    // A VBA7 form that 32-bit Office cannot take: LongLong, or an export 32-bit Windows lacks.
    void onlyIn64Bits_data()
    {
        QTest::addColumn<QString>("vba7");
        QTest::addColumn<QString>("classic");
        QTest::addColumn<bool>("only64");
        QTest::newRow("same export, LongPtr") << "Private Declare PtrSafe Function GetDC Lib \"user32\" (ByVal hWnd As LongPtr) As LongPtr"
                                              << "Private Declare Function GetDC Lib \"user32\" (ByVal hWnd As Long) As Long" << false;
        QTest::newRow("GetWindowLongPtrA in 64 bits only")
            << "Private Declare PtrSafe Function GetWindowLongPtr Lib \"user32\" Alias \"GetWindowLongPtrA\" (ByVal hWnd As LongPtr, ByVal nIndex As Long) As LongPtr"
            << "Private Declare Function GetWindowLongPtr Lib \"user32\" Alias \"GetWindowLongA\" (ByVal hWnd As Long, ByVal nIndex As Long) As Long" << true;
        QTest::newRow("the same Alias in other letter case") << "Private Declare PtrSafe Sub A Lib \"k\" Alias \"Xa\" ()"
                                                            << "Private Declare Sub A Lib \"k\" Alias \"XA\" ()" << false;
        QTest::newRow("LongLong") << "Private Declare PtrSafe Sub A Lib \"k\" (ByVal c As LongLong)" << "Private Declare Sub A Lib \"k\" (ByVal c As Currency)" << true;
        // cdecl in 32 bits: 32-bit Office, which runs the VBA7 branch too, cannot call it.
        QTest::newRow("no classic form") << "Private Declare PtrSafe Sub A Lib \"k\" ()" << "" << true;
        QTest::newRow("no form at all") << "" << "" << false;
        // 32-bit Office aligns a Currency to four bytes: the C layout needs the classic
        // form's explicit padding, which the 64-bit Type, aligned by itself, lacks.
        const QString padded = QStringLiteral("Private Type T\r\n    a As Long\r\n    Padding1(0 To 3) As Byte\r\n    b As Currency\r\nEnd Type\r\n\r\n");
        QTest::newRow("a Type 32-bit VBA lays out otherwise")
            << "Private Type T\r\n    a As Long\r\n    b As Currency\r\nEnd Type\r\n\r\nPrivate Declare PtrSafe Sub A Lib \"k\" (t As T)"
            << padded + "Private Declare Sub A Lib \"k\" (t As T)" << true;
        // DHCP_OPTION_SCOPE_INFO's union: a pointer in 64 bits, eight bytes of a structure in 32.
        const QString scope = QStringLiteral("Private Type R\r\n    ip As Long\r\n    subnet As Long\r\nEnd Type\r\n\r\n");
        QTest::newRow("a union taken as its 64-bit pointer")
            << scope + "Private Type S\r\n    ScopeType As Long\r\n    ScopeInfo As LongPtr\r\nEnd Type\r\n\r\nPrivate Declare PtrSafe Sub A Lib \"k\" (s As S)"
            << scope + "Private Type S\r\n    ScopeType As Long\r\n    ReservedScopeInfo As R\r\nEnd Type\r\n\r\nPrivate Declare Sub A Lib \"k\" (s As S)" << true;
        QTest::newRow("Types that differ in LongPtr only")
            << "Private Type T\r\n    h As LongPtr\r\n    s As String * 8\r\n    b(0 To 2) As Byte\r\nEnd Type\r\n\r\nPrivate Declare PtrSafe Sub A Lib \"k\" (t As T)"
            << "Private Type T\r\n    h As Long\r\n    s As String * 8\r\n    b(0 To 2) As Byte\r\nEnd Type\r\n\r\nPrivate Declare Sub A Lib \"k\" (t As T)" << false;
    }
    void onlyIn64Bits()
    {
        QFETCH(QString, vba7);
        QFETCH(QString, classic);
        QFETCH(bool, only64);
        QCOMPARE(FunctionFacts::onlyIn64Bits(vba7, classic), only64);
    }

    // Obsolete functions left out of every branch when asked; a group of only such goes.
    void tree_hidesObsoleteFunctions()
    {
        CatalogueRecord old = record("inet_addr", "", "ws2_32", "X"), current = record("bind", "", "user32", "X");
        old[CatalogueRecord::Obsolete] = QStringLiteral("inet_pton");
        Recordset rs = recordsetOf({old, current});
        CatalogueTree tree;
        tree.setHideObsolete(true);
        tree.BuildCatalogueTree(rs);
        QCOMPARE(kids(tree, "Alphabet", Qt::DisplayRole), QStringList{"B"});
        QCOMPARE(kids(tree, "Library", Qt::DisplayRole), QStringList{"user32"});
        QCOMPARE(kids(tree, "Wor_X", Qt::DisplayRole), QStringList{"bind"});
        tree.setHideObsolete(false);
        tree.BuildCatalogueTree(rs);
        QCOMPARE(kids(tree, "Wor_X", Qt::DisplayRole), QStringList({"bind", "inet_addr"}));
    }

    void tree_fillLeavesTheCursorAtTheEnd_andImages()
    {
        CatalogueTree tree;
        Recordset rs = recordsetOf({record("beta", "", "user32", "X"), record("Alpha", "", "kernel32", "")});
        tree.BuildCatalogueTree(rs);
        QVERIFY(rs.atEOF());
        QStringList got;
        for (const char *key : {"Alphabet", "Search", "Lib_user32", "Wor_X", "Alf_A", "Lib_F_Alpha"})
            got << tree.data(tree.indexForKey(key), CatalogueTree::ImageKeyRole).toString() + "/"
                       + tree.data(tree.indexForKey(key), CatalogueTree::SelectedImageKeyRole).toString();
        QCOMPARE(got, QStringList({"alpha/", "Search/", "dll/", "note/", "alpha/", "close/open"}));
    }

    void tree_searchResults_replaceTheBranchAtTheEnd()
    {
        CatalogueTree tree;
        QAbstractItemModelTester tester(&tree, QAbstractItemModelTester::FailureReportingMode::QtTest);
        Recordset rs = recordsetOf({record("b", "", "a", "p" + QString(sep) + "q"), record("a", "", "b", "q")});
        tree.BuildCatalogueTree(rs);
        QCOMPARE(tree.rowCount(tree.indexForKey("Wor_q")), 2);
        tree.replaceSearchResults({1, 2});
        QCOMPARE(kids(tree, {}).last(), QStringLiteral("Search"));
        QCOMPARE(kids(tree, "Search"), QStringList({"Ser_F_b", "Ser_F_a"})); // as the search orders them
        tree.replaceSearchResults({});
        QCOMPARE(tree.rowCount(), 4);
        QCOMPARE(tree.rowCount(tree.indexForKey("Search")), 0);
        QVERIFY(!tree.containsKey("Ser_F_a"));
        tree.replaceSearchResults({2, 2}); // a repeated name is listed once
        QCOMPARE(tree.rowCount(tree.indexForKey("Search")), 1);
    }

    void tree_groupsNamedLikeFunctionKeys_shareTheKeyAsTheTreeAlwaysDid()
    {
        // "Lib_" + "F_Beep" is the key of Beep's library node: whichever comes first holds
        // the key, and the other is skipped (or, for a group, taken to be that node).
        CatalogueTree tree;
        Recordset rs = recordsetOf({record("Beep", "", "kernel32", "F_0_Beep"), record("Sleep", "", "F_Beep", "w"),
                                    record("Idle", "", "F_Idle"), record("Idle2", "", "x", "F_1_Late"),
                                    record("Late", "", "x", "a" + QString(sep) + "b")});
        tree.BuildCatalogueTree(rs);
        QCOMPARE(tree.parent(tree.indexForKey("Lib_F_Sleep")), tree.indexForKey("Lib_F_Beep"));
        QCOMPARE(tree.parent(tree.indexForKey("Lib_F_Beep")), tree.indexForKey("Lib_kernel32"));
        QCOMPARE(tree.text(tree.indexForKey("Lib_F_Idle")), QStringLiteral("F_Idle"));
        QCOMPARE(tree.rowCount(tree.indexForKey("Lib_F_Idle")), 0);
        QCOMPARE(tree.text(tree.indexForKey("Wor_F_0_Beep")), QStringLiteral("F_0_Beep"));
        QCOMPARE(tree.rowCount(tree.indexForKey("Wor_F_0_Beep")), 0);
        QCOMPARE(tree.text(tree.indexForKey("Wor_F_1_Late")), QStringLiteral("F_1_Late"));
        QCOMPARE(tree.text(tree.indexForKey("Wor_F_0_Late")), QStringLiteral("Late"));
    }

    void tree_branchesFilledOnFirstUse_leaveTheSharedCursorAlone()
    {
        CatalogueTree tree;
        Recordset rs = recordsetOf({record("b", "", "L", "x"), record("a", "", "L", ""), record("c", "", "M", "")});
        tree.BuildCatalogueTree(rs);
        QVERIFY(rs.setAbsolutePosition(2)); // a walk of another part is at record 2
        QCOMPARE(kids(tree, "Library", Qt::DisplayRole), QStringList({"L", "M"}));
        QCOMPARE(kids(tree, "Work", Qt::DisplayRole), QStringList({"x"}));
        QCOMPARE(rs.AbsolutePosition(), qsizetype(2));
    }

    void tree_countGoesBeyondSixteenBits()
    {
        std::vector<CatalogueRecord> records;
        for (int i = 0; i < 40000; ++i)
            records.push_back(record(QStringLiteral("F%1").arg(i), "", "lib", "w"));
        Recordset rs = recordsetOf(std::move(records));
        CatalogueTree tree;
        tree.BuildCatalogueTree(rs);
        QCOMPARE(tree.FunctionCount(), qint64(40000));
        QCOMPARE(tree.rowCount(tree.indexForKey("Lib_lib")), 40000);
        QVERIFY(tree.containsKey("Alf_F_40000"));
    }
};

QTEST_MAIN(tst_Catalogue)
#include "tst_catalogue.moc"
