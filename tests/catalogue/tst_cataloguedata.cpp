// Checks the catalogue that ships: every data/catalogue/*.tsv file of functions, read the way the build
// reads it, against the rules a Basic programmer relies on (each declaration pastes into a
// module and calls the export it names with the right argument bytes) and against the C
// prototypes that the generator recorded in data/catalogue/prototypes.txt.
#include "catalogue/CatalogueSource.h"
#include "catalogue/ConstantTable.h"
#include "catalogue/Recordset.h"
#include "find/CatalogueSearch.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QtEndian>

#include <algorithm>
#include <optional>

namespace {

QString catalogueFolder()
{
    return QDir(qEnvironmentVariable("VORN_TEST_DATA")).absoluteFilePath(QStringLiteral("../../data/catalogue"));
}

// A file of the generator's folder, tools/catalogue.
QString generatorFile(const QString &name)
{
    return QDir(qEnvironmentVariable("VORN_TEST_DATA")).absoluteFilePath(QStringLiteral("../../tools/catalogue/") + name);
}

// The TAB-separated lines of one of the generator's lists, without comments and blank lines.
QList<QStringList> readGeneratorList(const QString &name)
{
    QList<QStringList> rows;
    QFile file(generatorFile(name));
    if (!file.open(QIODevice::ReadOnly))
        return rows;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')))
            rows << line.split(QLatin1Char('\t'));
    }
    return rows;
}

// The members of each Type block of a declaration that Basic converts as text: "As String"
// without a fixed length.
QList<QPair<QString, QString>> stringMembers(const QString &declaration)
{
    QList<QPair<QString, QString>> out;
    QString type;
    for (const QString &line : declaration.split(QStringLiteral("\r\n"))) {
        if (line.startsWith(QLatin1String("Private Type ")))
            type = line.mid(13);
        else if (line == QLatin1String("End Type"))
            type.clear();
        else if (!type.isEmpty() && line.endsWith(QLatin1String(" As String")))
            out.append({type, line.trimmed().section(QLatin1Char(' '), 0, 0)});
    }
    return out;
}

// The sentences of a description, as the generator cuts them: each line, cut after a
// ".", "!" or "؟" that ends a sentence, with runs of spaces made one.
QStringList sentencesOf(const QString &description)
{
    static const QRegularExpression end(QStringLiteral("(?<=[.!\u061F])\\s+"));
    QStringList out;
    for (const QString &line : description.split(QStringLiteral("\r\n"))) {
        for (const QString &s : line.split(end)) {
            const QString simple = s.simplified();
            if (!simple.isEmpty())
                out << simple;
        }
    }
    return out;
}

// The type name of each C parameter of a recorded prototype, without const or struct.
QStringList cParameterTypes(const QString &prototype)
{
    const QString inside = prototype.mid(prototype.indexOf(QLatin1Char('(')) + 1).chopped(1);
    QStringList types;
    if (inside == QLatin1String("void") || inside.isEmpty())
        return types;
    static const QRegularExpression word(QStringLiteral("[A-Za-z_]\\w*"));
    for (const QString &p : inside.split(QLatin1Char(','))) {
        QString first;
        for (auto it = word.globalMatch(p); it.hasNext();) {
            const QString w = it.next().captured();
            if (w != QLatin1String("const") && w != QLatin1String("struct") && w != QLatin1String("enum")) {
                first = w;
                break;
            }
        }
        types << first;
    }
    return types;
}

// The names in the export directory of a PE file, 32 or 64 bits; nothing when the file is
// not one. A forwarded export counts: the loader resolves it in the DLL it names.
std::optional<QSet<QString>> peExportNames(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray d = file.readAll();
    auto u16 = [&](qint64 o) -> quint32 {
        return o >= 0 && o + 2 <= d.size() ? qFromLittleEndian<quint16>(d.constData() + o) : 0;
    };
    auto u32 = [&](qint64 o) -> quint32 {
        return o >= 0 && o + 4 <= d.size() ? qFromLittleEndian<quint32>(d.constData() + o) : 0;
    };
    const qint64 pe = u32(0x3c);
    if (!d.startsWith("MZ") || u32(pe) != 0x4550)
        return std::nullopt;
    const qint64 optional = pe + 24;
    const quint32 magic = u16(optional);
    if (magic != 0x10b && magic != 0x20b)
        return std::nullopt;
    const qint64 sectionTable = optional + u16(pe + 20);
    const int sections = int(u16(pe + 6));
    auto offset = [&](quint32 rva) -> qint64 {
        for (int i = 0; i < sections; ++i) {
            const qint64 s = sectionTable + 40 * i;
            const quint32 start = u32(s + 12);
            if (rva >= start && rva - start < std::max(u32(s + 8), u32(s + 16)))
                return qint64(rva - start) + u32(s + 20);
        }
        return -1;
    };
    QSet<QString> names;
    const quint32 exportRva = u32(optional + (magic == 0x10b ? 96 : 112));
    if (exportRva == 0)
        return names;
    const qint64 directory = offset(exportRva);
    const quint32 count = u32(directory + 24);
    const qint64 table = offset(u32(directory + 32));
    for (quint32 i = 0; directory >= 0 && table >= 0 && i < count; ++i) {
        const qint64 start = offset(u32(table + 4 * i));
        const qsizetype end = start < 0 ? -1 : d.indexOf('\0', start);
        if (end < 0)
            return std::nullopt;
        names.insert(QString::fromLatin1(d.mid(start, end - start)));
    }
    return names;
}

// Wine's PE DLLs as Debian installs them: the 32-bit ones of libwine:i386 first, then the
// 64-bit ones of libwine:amd64. VORN_WINE_DLLS, folders separated by ":", replaces the list.
QStringList wineFolders()
{
    const QString chosen = qEnvironmentVariable("VORN_WINE_DLLS");
    if (!chosen.isEmpty())
        return chosen.split(QLatin1Char(':'));
    return {QStringLiteral("/usr/lib/i386-linux-gnu/wine/i386-windows"),
            QStringLiteral("/usr/lib/x86_64-linux-gnu/wine/i386-windows"),
            QStringLiteral("/usr/lib/x86_64-linux-gnu/wine/x86_64-windows")};
}

// What prototypes.txt says about one function.
struct Prototype
{
    QString exportName;
    QString library;
    int argumentBytes = 0;
    int cParameters = 0;
    int basicParameters = 0;
    QString header;
    QString text;
};

struct Parameter
{
    bool byValue = false;
    QString name;
    QString type;
};

// One Declare statement with the Type blocks ahead of it, as read by the small grammar below.
struct Declaration
{
    bool isSub = false;
    QString name;
    QString lib;
    QString alias;
    QList<Parameter> parameters;
    QString result;
    QStringList typeNames; // in the order the blocks define them
    QString error;         // empty when the text follows the grammar

    int argumentBytes() const
    {
        int bytes = 0;
        for (const Parameter &p : parameters) {
            if (p.byValue && (p.type == QLatin1String("Currency") || p.type == QLatin1String("Double")))
                bytes += 8;
            else if (p.byValue && p.type == QLatin1String("Variant"))
                bytes += 16;
            else
                bytes += 4;
        }
        return bytes;
    }
};

const QSet<QString> &intrinsicTypes()
{
    static const QSet<QString> types = {"Long", "Integer", "Byte", "String", "Any", "Currency",
                                        "Double", "Single", "Boolean", "Variant", "Object", "Date",
                                        "LongPtr", "LongLong"};
    return types;
}

Declaration parseDeclaration(const QString &text);

// A VBA7 declaration read by the same grammar, "PtrSafe" after "Declare" aside.
Declaration parseVba7Declaration(const QString &text)
{
    static const QString ptrSafe = QStringLiteral("Private Declare PtrSafe ");
    const qsizetype at = text.lastIndexOf(ptrSafe);
    if (at < 0 || (at > 0 && text.mid(at - 4, 4) != QLatin1String("\r\n\r\n"))) {
        Declaration d;
        d.error = QStringLiteral("no Declare PtrSafe");
        return d;
    }
    return parseDeclaration(text.left(at) + QStringLiteral("Private Declare ") + text.mid(at + ptrSafe.size()));
}

// The same parameters in the same order; a structure that the classic form splits into
// members (xPoint, yPoint) is one parameter of VBA7 (Point, or Point2 beside a Type POINT).
bool sameParameters(const QList<Parameter> &classic, const QList<Parameter> &vba7)
{
    qsizetype i = 0;
    for (const Parameter &p : vba7) {
        if (i < classic.size() && classic[i].name == p.name) {
            ++i;
            continue;
        }
        QString stem = p.name;
        while (!stem.isEmpty() && stem.back().isDigit())
            stem.chop(1);
        qsizetype run = 0;
        while (i + run < classic.size() && classic[i + run].name != p.name
               && (classic[i + run].name.endsWith(p.name, Qt::CaseInsensitive)
                   || classic[i + run].name.endsWith(stem, Qt::CaseInsensitive)))
            ++run;
        if (run < 2)
            return false;
        i += run;
    }
    return i == classic.size();
}

// Size and alignment of a Basic type in 64-bit VBA, for the intrinsic types.
int vba64Size(const QString &type)
{
    static const QHash<QString, int> sizes = {{"Byte", 1}, {"Integer", 2}, {"Long", 4}, {"Single", 4},
                                              {"Double", 8}, {"Currency", 8}, {"LongLong", 8},
                                              {"LongPtr", 8}, {"String", 8}};
    return sizes.value(type, 0);
}

// The grammar:
//   text        := { typeBlock CRLF CRLF } declare
//   typeBlock   := "Private Type " ident CRLF { "    " member CRLF } "End Type"
//   member      := ident [ "(0 To " n ")" ] " As " type [ " * " n ]   (" * n" only for String)
//   declare     := "Private Declare " ("Function"|"Sub") " " ident " Lib \"" lib "\""
//                  [ " Alias \"" name "\"" ] " (" [ param { ", " param } ] ")" [ " As " type ]
//   param       := [ "ByVal " ] ident " As " type
// Every type a member or a parameter names is intrinsic or defined by an earlier block.
Declaration parseDeclaration(const QString &text)
{
    static const QRegularExpression typeHead(QStringLiteral("^Private Type ([A-Za-z][A-Za-z0-9_]*)$"));
    static const QRegularExpression member(QStringLiteral(
        "^    ([A-Za-z][A-Za-z0-9_]*)(?:\\(0 To (\\d+)\\))? As ([A-Za-z][A-Za-z0-9_]*)(?: \\* (\\d+))?$"));
    static const QRegularExpression declare(QStringLiteral(
        "^Private Declare (Function|Sub) ([A-Za-z][A-Za-z0-9_]*) Lib \"([^\"]+)\""
        "(?: Alias \"([^\"]+)\")? \\((.*)\\)(?: As ([A-Za-z][A-Za-z0-9_]*))?$"));
    static const QRegularExpression parameter(
        QStringLiteral("^(ByVal )?([A-Za-z][A-Za-z0-9_]*) As ([A-Za-z][A-Za-z0-9_]*)$"));

    Declaration d;
    const QStringList blocks = text.split(QStringLiteral("\r\n\r\n"));
    QSet<QString> known = intrinsicTypes();
    for (qsizetype b = 0; b + 1 < blocks.size(); ++b) {
        const QStringList lines = blocks.at(b).split(QStringLiteral("\r\n"));
        const auto head = typeHead.match(lines.first());
        if (!head.hasMatch() || lines.size() < 3 || lines.last() != QLatin1String("End Type")) {
            d.error = QStringLiteral("bad Type block: ") + lines.first();
            return d;
        }
        const QString typeName = head.captured(1);
        if (known.contains(typeName)) {
            d.error = QStringLiteral("Type defined twice or shadows a Basic type: ") + typeName;
            return d;
        }
        QSet<QString> memberNames;
        for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
            const auto m = member.match(lines.at(i));
            if (!m.hasMatch()) {
                d.error = QStringLiteral("bad member of %1: %2").arg(typeName, lines.at(i));
                return d;
            }
            if (!known.contains(m.captured(3))) {
                d.error = QStringLiteral("member of %1 uses undefined type %2").arg(typeName, m.captured(3));
                return d;
            }
            if (m.hasCaptured(4) && m.captured(3) != QLatin1String("String")) {
                d.error = QStringLiteral("fixed length on a non-String member: ") + lines.at(i);
                return d;
            }
            if (memberNames.contains(m.captured(1).toLower())) {
                d.error = QStringLiteral("member named twice in %1: %2").arg(typeName, m.captured(1));
                return d;
            }
            memberNames.insert(m.captured(1).toLower());
        }
        known.insert(typeName);
        d.typeNames << typeName;
    }
    const QString &line = blocks.last();
    const auto m = declare.match(line);
    if (!m.hasMatch()) {
        d.error = QStringLiteral("not a Declare statement: ") + line;
        return d;
    }
    d.isSub = m.captured(1) == QLatin1String("Sub");
    d.name = m.captured(2);
    d.lib = m.captured(3);
    d.alias = m.captured(4);
    d.result = m.captured(6);
    if (d.isSub != d.result.isEmpty()) {
        d.error = QStringLiteral("a Sub with a result or a Function without one");
        return d;
    }
    if (!d.result.isEmpty() && !intrinsicTypes().contains(d.result)) {
        d.error = QStringLiteral("result of a non-Basic type: ") + d.result;
        return d;
    }
    const QString list = m.captured(5);
    QSet<QString> parameterNames{d.name.toLower()};
    if (!list.isEmpty()) {
        for (const QString &part : list.split(QStringLiteral(", "))) {
            const auto p = parameter.match(part);
            if (!p.hasMatch()) {
                d.error = QStringLiteral("bad parameter: ") + part;
                return d;
            }
            Parameter param{p.hasCaptured(1), p.captured(2), p.captured(3)};
            if (!known.contains(param.type)) {
                d.error = QStringLiteral("parameter of undefined type: ") + part;
                return d;
            }
            if (param.byValue && !intrinsicTypes().contains(param.type)) {
                d.error = QStringLiteral("a Type passed ByVal: ") + part;
                return d;
            }
            // Basic ignores letter case: no two parameters, nor a parameter and the function,
            // may share a name.
            if (parameterNames.contains(param.name.toLower())) {
                d.error = QStringLiteral("parameter name used twice: ") + param.name;
                return d;
            }
            parameterNames.insert(param.name.toLower());
            d.parameters << param;
        }
    }
    return d;
}

// The upper half of Windows-1256, the code page Persian Windows reads Basic modules in.
bool encodableInWindows1256(QChar c)
{
    static const QSet<char16_t> upper = [] {
        const char16_t table[] = {
            0x20ac, 0x067e, 0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0679, 0x2039,
            0x0152, 0x0686, 0x0698, 0x0688, 0x06af, 0x2018, 0x2019, 0x201c, 0x201d, 0x2022, 0x2013, 0x2014,
            0x06a9, 0x2122, 0x0691, 0x203a, 0x0153, 0x200c, 0x200d, 0x06ba, 0x00a0, 0x060c, 0x00a2, 0x00a3,
            0x00a4, 0x00a5, 0x00a6, 0x00a7, 0x00a8, 0x00a9, 0x06be, 0x00ab, 0x00ac, 0x00ad, 0x00ae, 0x00af,
            0x00b0, 0x00b1, 0x00b2, 0x00b3, 0x00b4, 0x00b5, 0x00b6, 0x00b7, 0x00b8, 0x00b9, 0x061b, 0x00bb,
            0x00bc, 0x00bd, 0x00be, 0x061f, 0x06c1, 0x0621, 0x0622, 0x0623, 0x0624, 0x0625, 0x0626, 0x0627,
            0x0628, 0x0629, 0x062a, 0x062b, 0x062c, 0x062d, 0x062e, 0x062f, 0x0630, 0x0631, 0x0632, 0x0633,
            0x0634, 0x0635, 0x0636, 0x00d7, 0x0637, 0x0638, 0x0639, 0x063a, 0x0640, 0x0641, 0x0642, 0x0643,
            0x00e0, 0x0644, 0x00e2, 0x0645, 0x0646, 0x0647, 0x0648, 0x00e7, 0x00e8, 0x00e9, 0x00ea, 0x00eb,
            0x0649, 0x064a, 0x00ee, 0x00ef, 0x064b, 0x064c, 0x064d, 0x064e, 0x00f4, 0x064f, 0x0650, 0x00f7,
            0x0651, 0x00f9, 0x0652, 0x00fb, 0x00fc, 0x200e, 0x200f, 0x06d2};
        return QSet<char16_t>(std::begin(table), std::end(table));
    }();
    return c.unicode() < 0x80 || upper.contains(c.unicode());
}

} // namespace

class tst_CatalogueData : public QObject
{
    Q_OBJECT

private:
    std::vector<CatalogueRecord> m_records;
    QHash<QString, Prototype> m_prototypes;
    // vba7.txt: per function the DLL whose 64-bit import library has its export and the
    // pointer-sized marks; per Type its x86_64 size and member offsets as gcc gives them.
    QHash<QString, std::pair<QString, QString>> m_vba7Functions;
    QHash<QString, QStringList> m_vba7Layouts;
    QStringList m_files;

private slots:
    void initTestCase()
    {
        const QDir dir(catalogueFolder());
        QVERIFY2(dir.exists(), qPrintable(dir.path()));
        // The build reads every *.tsv in name order; so does this test.
        for (const QString &name : dir.entryList({QStringLiteral("*.tsv")}, QDir::Files, QDir::Name)) {
            if (!ConstantSource::isConstantFile(name))
                m_files << dir.filePath(name);
        }
        std::sort(m_files.begin(), m_files.end());
        QVERIFY(!m_files.isEmpty());
        const CatalogueSource::ParseResult source = CatalogueSource::parseFiles(m_files);
        QVERIFY2(source.errors.isEmpty(), qPrintable(source.errors.mid(0, 5).join(QLatin1Char('\n'))));
        m_records = source.records;

        QFile facts(dir.filePath(QStringLiteral("vba7.txt")));
        QVERIFY2(facts.open(QIODevice::ReadOnly), qPrintable(facts.fileName()));
        for (const QString &line : QString::fromUtf8(facts.readAll()).split(QLatin1Char('\n'))) {
            const QStringList f = line.split(QLatin1Char('\t'));
            if (f.first() == QLatin1String("F") && f.size() == 4)
                m_vba7Functions.insert(f[1], {f[2], f[3]});
            else if (f.first() == QLatin1String("T") && f.size() >= 3)
                m_vba7Layouts.insert(f[1], f.mid(2));
            else
                QVERIFY2(line.isEmpty() || line.startsWith(QLatin1Char('#')), qPrintable(line));
        }

        QFile file(dir.filePath(QStringLiteral("prototypes.txt")));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        for (const QString &line : lines) {
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            const QStringList f = line.split(QLatin1Char('\t'));
            QCOMPARE(f.size(), 8);
            Prototype p{f[1], f[2], f[3].toInt(), f[4].toInt(), f[5].toInt(), f[6], f[7]};
            QVERIFY2(!m_prototypes.contains(f[0]), qPrintable(f[0]));
            m_prototypes.insert(f[0], p);
        }
    }

    void count_isWithinTheRangeTheCountHolds()
    {
        // FunctionCount is a signed 16-bit number; the catalogue must be complete enough to use.
        QVERIFY2(m_records.size() >= 5000, qPrintable(QString::number(m_records.size())));
        QVERIFY2(m_records.size() <= 32767, qPrintable(QString::number(m_records.size())));
    }

    void names_areUnique_evenIgnoringLetterCase()
    {
        QSet<QString> exact;
        QSet<QString> folded;
        for (const CatalogueRecord &r : m_records) {
            const QString &name = r[CatalogueRecord::FunctionName];
            QVERIFY2(!exact.contains(name), qPrintable(name));
            QVERIFY2(!folded.contains(name.toLower()), qPrintable(name));
            exact.insert(name);
            folded.insert(name.toLower());
        }
    }

    void everyField_isNonEmpty()
    {
        // The VBA7 form (the sixth field) is empty for a function 64-bit Office cannot call.
        for (const CatalogueRecord &r : m_records) {
            for (int i = 0; i < CatalogueRecord::classicFieldCount; ++i)
                QVERIFY2(!r[i].trimmed().isEmpty(), qPrintable(r[0] + QStringLiteral(" field ") + QString::number(i)));
        }
    }

    void records_comeInNameOrder()
    {
        for (size_t i = 1; i < m_records.size(); ++i) {
            const QString &a = m_records[i - 1][CatalogueRecord::FunctionName];
            const QString &b = m_records[i][CatalogueRecord::FunctionName];
            const int folded = a.compare(b, Qt::CaseInsensitive);
            QVERIFY2(folded < 0 || (folded == 0 && a < b), qPrintable(a + QStringLiteral(" before ") + b));
        }
    }

    void everyDeclaration_followsTheDeclareGrammar()
    {
        for (const CatalogueRecord &r : m_records) {
            const Declaration d = parseDeclaration(r[CatalogueRecord::Declaration]);
            QVERIFY2(d.error.isEmpty(), qPrintable(r[0] + QStringLiteral(": ") + d.error));
            QCOMPARE(d.name, r[CatalogueRecord::FunctionName]);
        }
    }

    void lib_agreesWithTheLibraryField()
    {
        QSet<QString> libraries;
        for (const CatalogueRecord &r : m_records) {
            const Declaration d = parseDeclaration(r[CatalogueRecord::Declaration]);
            QVERIFY2(d.lib == r[CatalogueRecord::Library], qPrintable(r[0] + QStringLiteral(": ") + d.lib));
            libraries.insert(d.lib);
        }
        QVERIFY2(libraries.size() >= 30, qPrintable(QString::number(libraries.size())));
    }

    void everyFunction_hasItsRecordedPrototype()
    {
        QCOMPARE(qsizetype(m_prototypes.size()), qsizetype(m_records.size()));
        for (const CatalogueRecord &r : m_records) {
            const auto p = m_prototypes.constFind(r[CatalogueRecord::FunctionName]);
            QVERIFY2(p != m_prototypes.constEnd(), qPrintable(r[0]));
            QCOMPARE(p->library, r[CatalogueRecord::Library]);
        }
    }

    void everyDeclaration_callsTheExport()
    {
        for (const CatalogueRecord &r : m_records) {
            const Declaration d = parseDeclaration(r[CatalogueRecord::Declaration]);
            const Prototype p = m_prototypes.value(d.name);
            const QString called = d.alias.isEmpty() ? d.name : d.alias;
            QVERIFY2(called == p.exportName, qPrintable(d.name + QStringLiteral(" calls ") + called));
            if (!d.alias.isEmpty())
                QVERIFY2(d.alias != d.name, qPrintable(d.name));
        }
    }

    void everyAnsiFunction_hasItsAlias()
    {
        int ansi = 0;
        for (const CatalogueRecord &r : m_records) {
            const Declaration d = parseDeclaration(r[CatalogueRecord::Declaration]);
            const QString exportName = m_prototypes.value(d.name).exportName;
            // The plain name of an A/W pair calls the A form, the one that takes the ANSI
            // text Basic makes of a String.
            if (exportName == d.name + QLatin1Char('A')) {
                ++ansi;
                QCOMPARE(d.alias, exportName);
            }
        }
        QVERIFY(ansi >= 1000);
    }

    void parameterCount_agreesWithTheHeader()
    {
        for (const CatalogueRecord &r : m_records) {
            const Declaration d = parseDeclaration(r[CatalogueRecord::Declaration]);
            const Prototype p = m_prototypes.value(d.name);
            QVERIFY2(d.parameters.size() == p.basicParameters,
                     qPrintable(QStringLiteral("%1: %2 parameters, prototype %3").arg(d.name).arg(d.parameters.size()).arg(p.text)));
            // More Basic than C parameters only where a structure passed by value is split.
            QVERIFY2(p.basicParameters >= p.cParameters, qPrintable(d.name));
            if (p.basicParameters > p.cParameters)
                QVERIFY2(p.basicParameters - p.cParameters <= 3 * p.cParameters, qPrintable(d.name));
        }
    }

    void argumentBytes_agreeWithTheExport()
    {
        for (const CatalogueRecord &r : m_records) {
            const Declaration d = parseDeclaration(r[CatalogueRecord::Declaration]);
            const Prototype p = m_prototypes.value(d.name);
            QVERIFY2(d.argumentBytes() == p.argumentBytes,
                     qPrintable(QStringLiteral("%1 passes %2 bytes, %3@%4").arg(d.name).arg(d.argumentBytes()).arg(p.exportName).arg(p.argumentBytes)));
        }
    }

    void workAreas_areOneToThree_fromTwentyToForty()
    {
        QSet<QString> all;
        for (const CatalogueRecord &r : m_records) {
            const QStringList areas = r[CatalogueRecord::WorkAreas].split(workAreaSeparator);
            QVERIFY2(areas.size() >= 1 && areas.size() <= 3, qPrintable(r[0]));
            QCOMPARE(QSet<QString>(areas.begin(), areas.end()).size(), areas.size());
            for (const QString &a : areas) {
                QVERIFY2(!a.isEmpty() && a == a.trimmed(), qPrintable(r[0]));
                all.insert(a);
            }
        }
        QVERIFY2(all.size() >= 20 && all.size() <= 40, qPrintable(QString::number(all.size())));
    }

    void persianText_usesTheLettersOfWindows1256()
    {
        for (const CatalogueRecord &r : m_records) {
            for (int field : {int(CatalogueRecord::WorkAreas), int(CatalogueRecord::Description)}) {
                for (const QChar c : r[field]) {
                    QVERIFY2(c != QChar(0x06CC), qPrintable(r[0] + QStringLiteral(": FARSI YEH instead of U+064A")));
                    QVERIFY2(c != QChar(0x0643), qPrintable(r[0] + QStringLiteral(": ARABIC KAF instead of U+06A9")));
                    QVERIFY2(encodableInWindows1256(c),
                             qPrintable(r[0] + QStringLiteral(": U+") + QString::number(c.unicode(), 16)));
                }
            }
            const QString &d = r[CatalogueRecord::Description];
            QVERIFY2(std::any_of(d.cbegin(), d.cend(), [](QChar c) { return c.unicode() >= 0x0621 && c.unicode() <= 0x06A9; }),
                     qPrintable(r[0] + QStringLiteral(": no Persian")));
        }
    }

    void lineBreaks_inFields_areCrLf()
    {
        for (const CatalogueRecord &r : m_records) {
            for (const QString &field : r.fields) {
                const QString withoutPairs = QString(field).remove(QStringLiteral("\r\n"));
                QVERIFY2(!withoutPairs.contains(QLatin1Char('\r')) && !withoutPairs.contains(QLatin1Char('\n')), qPrintable(r[0]));
            }
        }
    }

    // Each VBA7 form: the grammar, the classic form's name, Lib and Alias, its parameters
    // in the same order, a DLL whose 64-bit import library exports it, no Long where x64
    // passes a pointer-sized value, and only VBA7 forms with PtrSafe, LongPtr, LongLong.
    void everyVba7Form_agreesWithTheClassicFormAnd64BitWindows()
    {
        int forms = 0;
        for (const CatalogueRecord &r : m_records) {
            const QString &name = r[CatalogueRecord::FunctionName];
            const QString &text = r[CatalogueRecord::Vba7Declaration];
            QVERIFY2(!r[CatalogueRecord::Declaration].contains(QLatin1String("Declare PtrSafe "))
                         && !r[CatalogueRecord::Declaration].contains(QLatin1String(" As LongPtr"))
                         && !r[CatalogueRecord::Declaration].contains(QLatin1String(" As LongLong")),
                     qPrintable(name));
            QCOMPARE(m_vba7Functions.contains(name), !text.isEmpty());
            if (text.isEmpty())
                continue;
            ++forms;
            const Declaration classic = parseDeclaration(r[CatalogueRecord::Declaration]);
            const Declaration d = parseVba7Declaration(text);
            QVERIFY2(d.error.isEmpty(), qPrintable(name + QStringLiteral(": ") + d.error));
            QCOMPARE(d.name, name);
            QCOMPARE(d.isSub, classic.isSub);
            QCOMPARE(d.lib, classic.lib);
            QCOMPARE(d.lib, m_vba7Functions[name].first);
            // 64-bit Windows has GetWindowLongPtrA where 32-bit has only GetWindowLongA.
            QVERIFY2(d.alias == classic.alias || name.contains(QLatin1String("Ptr")), qPrintable(name));
            QVERIFY2(sameParameters(classic.parameters, d.parameters), qPrintable(name));
            const QString &wide = m_vba7Functions[name].second;
            QCOMPARE(wide.size(), d.parameters.size() + 1);
            for (qsizetype i = 0; i < d.parameters.size(); ++i) {
                QVERIFY2(wide[i] != QLatin1Char('P') || d.parameters[i].type == QLatin1String("LongPtr"),
                         qPrintable(name + QStringLiteral(": ") + d.parameters[i].name));
            }
            QVERIFY2(wide.back() != QLatin1Char('P') || d.result == QLatin1String("LongPtr"), qPrintable(name));
        }
        QVERIFY2(size_t(forms) > m_records.size() * 9 / 10, qPrintable(QString::number(forms)));
    }

    // Every VBA7 Type block, laid out as 64-bit VBA lays it out (each member at a multiple
    // of its own size, at most 8; a Type member at its largest member's), has the size and
    // member offsets that x86_64-w64-mingw32-gcc gives the C structure.
    void vba7TypeBlocks_haveTheX64Layout()
    {
        static const QRegularExpression member(QStringLiteral(
            "^    ([A-Za-z][A-Za-z0-9_]*)(?:\\(0 To (\\d+)\\))? As ([A-Za-z][A-Za-z0-9_]*)(?: \\* (\\d+))?$"));
        QHash<QString, std::pair<int, int>> known; // Type name -> size, alignment
        int offsets = 0;
        for (const CatalogueRecord &r : m_records) {
            const QStringList blocks = r[CatalogueRecord::Vba7Declaration].split(QStringLiteral("\r\n\r\n"));
            for (qsizetype b = 0; b + 1 < blocks.size(); ++b) {
                const QStringList lines = blocks[b].split(QStringLiteral("\r\n"));
                const QString type = lines.first().mid(QStringLiteral("Private Type ").size());
                const QStringList facts = m_vba7Layouts.value(type);
                QVERIFY2(!facts.isEmpty(), qPrintable(type));
                QHash<QString, int> cOffsets;
                for (const QString &f : facts.mid(1))
                    cOffsets.insert(f.section(QLatin1Char('='), 0, 0), f.section(QLatin1Char('='), 1).toInt());
                int at = 0;
                int most = 1;
                for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
                    const auto m = member.match(lines[i]);
                    QVERIFY2(m.hasMatch(), qPrintable(lines[i]));
                    int size = vba64Size(m.captured(3));
                    int align = size;
                    if (m.hasCaptured(4)) {
                        size = m.captured(4).toInt();
                        align = 1;
                    } else if (known.contains(m.captured(3))) {
                        std::tie(size, align) = known.value(m.captured(3));
                    }
                    QVERIFY2(size > 0, qPrintable(lines[i]));
                    at = (at + align - 1) / align * align;
                    if (cOffsets.contains(m.captured(1))) {
                        QVERIFY2(cOffsets.value(m.captured(1)) == at, qPrintable(type + QLatin1Char('.') + m.captured(1)));
                        ++offsets;
                    }
                    at += size * (m.hasCaptured(2) ? m.captured(2).toInt() + 1 : 1);
                    most = std::max(most, align);
                }
                at = (at + most - 1) / most * most;
                QVERIFY2(at == facts.first().toInt(), qPrintable(type + QStringLiteral(": ") + QString::number(at)));
                known.insert(type, {at, most});
            }
        }
        QVERIFY2(offsets > 1000, qPrintable(QString::number(offsets)));
    }

    void wellKnownFunctions_areDeclaredAsBasicProgrammersDo_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("declareLine");
        QTest::addColumn<int>("field");
        const int classic = CatalogueRecord::Declaration;
        QTest::newRow("GetTickCount") << "GetTickCount"
                                      << "Private Declare Function GetTickCount Lib \"kernel32\" () As Long" << classic;
        QTest::newRow("sndPlaySound") << "sndPlaySound"
                                      << "Private Declare Function sndPlaySound Lib \"winmm\" Alias \"sndPlaySoundA\" "
                                         "(ByVal lpszSoundName As String, ByVal uFlags As Long) As Long" << classic;
        QTest::newRow("MessageBoxW, for StrPtr") << "MessageBoxW"
                                                 << "Private Declare Function MessageBoxW Lib \"user32\" (ByVal hWnd As Long, "
                                                    "ByVal lpText As Long, ByVal lpCaption As Long, ByVal uType As Long) As Long" << classic;
        QTest::newRow("CopyMemory, a macro of the headers") << "CopyMemory"
                                                            << "Private Declare Sub CopyMemory Lib \"kernel32\" Alias \"RtlMoveMemory\" "
                                                               "(Destination As Any, Source As Any, ByVal Length As Long)" << classic;
        QTest::newRow("WindowFromPoint, a POINT by value") << "WindowFromPoint"
                                                          << "Private Declare Function WindowFromPoint Lib \"user32\" "
                                                             "(ByVal xPoint As Long, ByVal yPoint As Long) As Long" << classic;
        QTest::newRow("GetWindowLongPtr is GetWindowLongA in 32 bits") << "GetWindowLongPtr"
                                                                       << "Private Declare Function GetWindowLongPtr Lib \"user32\" "
                                                                          "Alias \"GetWindowLongA\" (ByVal hWnd As Long, ByVal nIndex As Long) As Long" << classic;
        QTest::newRow("lopen, a name Basic cannot start with _") << "lopen"
                                                                  << "Private Declare Function lopen Lib \"kernel32\" Alias \"_lopen\" "
                                                                     "(ByVal lpPathName As String, ByVal iReadWrite As Long) As Long" << classic;
        QTest::newRow("select, a keyword") << "select_"
                                           << "Private Declare Function select_ Lib \"ws2_32\" Alias \"select\" (ByVal nfds As Long, "
                                              "readfds As fd_set, writefds As fd_set, exceptfds As fd_set, timeout As TIMEVAL) As Long" << classic;
        QTest::newRow("GetConsoleFontSize, a COORD result") << "GetConsoleFontSize"
                                                            << "Private Declare Function GetConsoleFontSize Lib \"kernel32\" "
                                                               "(ByVal hConsoleOutput As Long, ByVal nFont As Long) As Long" << classic;
        QTest::newRow("EventRegister, an 8-byte handle written back") << "EventRegister"
                                                                       << "Private Declare Function EventRegister Lib \"advapi32\" (ProviderId As GUID, "
                                                                          "ByVal EnableCallback As Long, CallbackContext As Any, RegHandle As Currency) As Long" << classic;
        QTest::newRow("ScriptStringOut, a typedef of void *") << "ScriptStringOut"
                                                             << "Private Declare Function ScriptStringOut Lib \"usp10\" (ByVal ssa As Long, ByVal iX As Long, "
                                                                "ByVal iY As Long, ByVal uOptions As Long, prc As RECT, ByVal iMinSel As Long, "
                                                                "ByVal iMaxSel As Long, ByVal fDisabled As Long) As Long" << classic;
        QTest::newRow("RemoveDllDirectory, a cookie") << "RemoveDllDirectory"
                                                      << "Private Declare Function RemoveDllDirectory Lib \"kernel32\" (ByVal Cookie As Long) As Long" << classic;
        QTest::newRow("UuidCompare, in rpcrt4") << "UuidCompare"
                                                << "Private Declare Function UuidCompare Lib \"rpcrt4\" (Uuid1 As GUID, Uuid2 As GUID, Status As Long) As Long" << classic;
        QTest::newRow("StrChr, in shlwapi") << "StrChr"
                                            << "Private Declare Function StrChr Lib \"shlwapi\" Alias \"StrChrA\" "
                                               "(ByVal lpStart As String, ByVal wMatch As Integer) As Long" << classic;
        QTest::newRow("OpenThreadToken, in advapi32") << "OpenThreadToken"
                                                      << "Private Declare Function OpenThreadToken Lib \"advapi32\" (ByVal ThreadHandle As Long, "
                                                         "ByVal DesiredAccess As Long, ByVal OpenAsSelf As Long, TokenHandle As Long) As Long" << classic;
        QTest::newRow("MsiViewFetch, from msiquery.h") << "MsiViewFetch"
                                                       << "Private Declare Function MsiViewFetch Lib \"msi\" (ByVal hView As Long, phRecord As Long) As Long" << classic;
        const int vba7 = CatalogueRecord::Vba7Declaration;
        QTest::newRow("VBA7 MessageBox") << "MessageBox"
            << "Private Declare PtrSafe Function MessageBox Lib \"user32\" Alias \"MessageBoxA\" (ByVal hwnd As LongPtr, "
               "ByVal lpText As String, ByVal lpCaption As String, ByVal wType As Long) As Long" << vba7;
        QTest::newRow("VBA7 CopyMemory: SIZE_T") << "CopyMemory"
            << "Private Declare PtrSafe Sub CopyMemory Lib \"kernel32\" Alias \"RtlMoveMemory\" "
               "(Destination As Any, Source As Any, ByVal Length As LongPtr)" << vba7;
        QTest::newRow("VBA7 WindowFromPoint: a POINT of 8 bytes by value") << "WindowFromPoint"
            << "Private Declare PtrSafe Function WindowFromPoint Lib \"user32\" (ByVal Point As LongLong) As LongPtr" << vba7;
        QTest::newRow("VBA7 GetWindowLongPtr: its own export in 64 bits") << "GetWindowLongPtr"
            << "Private Declare PtrSafe Function GetWindowLongPtr Lib \"user32\" Alias \"GetWindowLongPtrA\" "
               "(ByVal hWnd As LongPtr, ByVal nIndex As Long) As LongPtr" << vba7;
    }

    void wellKnownFunctions_areDeclaredAsBasicProgrammersDo()
    {
        QFETCH(QString, name);
        QFETCH(QString, declareLine);
        QFETCH(int, field);
        const auto it = std::find_if(m_records.begin(), m_records.end(),
                                     [&](const CatalogueRecord &r) { return r[CatalogueRecord::FunctionName] == name; });
        QVERIFY2(it != m_records.end(), qPrintable(name));
        QCOMPARE((*it)[field].split(QStringLiteral("\r\n")).last(), declareLine);
    }

    void structures_travelWithTheirTypeBlocks()
    {
        // FindFirstFile names its structure and must carry it, and FILETIME, which it
        // contains, first.
        const auto it = std::find_if(m_records.begin(), m_records.end(), [](const CatalogueRecord &r) {
            return r[CatalogueRecord::FunctionName] == QLatin1String("FindFirstFile");
        });
        QVERIFY(it != m_records.end());
        const Declaration d = parseDeclaration((*it)[CatalogueRecord::Declaration]);
        QVERIFY2(d.error.isEmpty(), qPrintable(d.error));
        QCOMPARE(d.typeNames, QStringList({"FILETIME", "WIN32_FIND_DATA"}));
        QVERIFY((*it)[CatalogueRecord::Declaration].contains(QStringLiteral("    cFileName As String * 260\r\n")));
    }

    void textPointers_inKeptOffsetAndFilledStructures_areNotString()
    {
        // Basic hands such a structure over as a temporary ANSI copy and turns each String
        // member back into text after the call: a buffer the driver keeps is freed under
        // it, and an offset (OUTLINETEXTMETRIC) is read as an address.
        QSet<QString> structures;
        for (const QStringList &row : readGeneratorList(QStringLiteral("pointer-members.tsv")))
            structures.insert(row.first());
        QVERIFY(structures.contains(QStringLiteral("WAVEHDR")));
        for (const CatalogueRecord &r : m_records) {
            for (const auto &[type, member] : stringMembers(r[CatalogueRecord::Declaration]))
                QVERIFY2(!structures.contains(type), qPrintable(QStringLiteral("%1: %2.%3 As String").arg(r[0], type, member)));
        }
    }

    void wFunctions_carryNoAnsiText()
    {
        // A W function takes the W form of its structures (DNS_RECORDW, not DNS_RECORD with
        // pName As String). An OID is ANSI in every form; GCP_RESULTSW.lpClass holds bytes.
        const QSet<QString> ansiInEveryForm = {QStringLiteral("CRYPT_CREDENTIALS.pszCredentialsOid"),
                                               QStringLiteral("GCP_RESULTSW.lpClass")};
        for (const CatalogueRecord &r : m_records) {
            const QString &name = r[CatalogueRecord::FunctionName];
            if (!name.endsWith(QLatin1Char('W')))
                continue;
            for (const auto &[type, member] : stringMembers(r[CatalogueRecord::Declaration])) {
                const QString where = type + QLatin1Char('.') + member;
                QVERIFY2(ansiInEveryForm.contains(where), qPrintable(name + QStringLiteral(": ") + where + QStringLiteral(" As String")));
            }
        }
    }

    void pointersToHandles_areByRef()
    {
        // LPSCARDHANDLE, PTRACEHANDLE, PREGHANDLE: the function writes the handle into the
        // caller's variable; ByVal hands it the variable's contents as an address.
        static const QRegularExpression pointerToHandle(QStringLiteral("^(LP|P)\\w*HANDLE$"));
        int seen = 0;
        for (const CatalogueRecord &r : m_records) {
            const Declaration d = parseDeclaration(r[CatalogueRecord::Declaration]);
            const Prototype p = m_prototypes.value(d.name);
            if (p.cParameters != p.basicParameters)
                continue;
            const QStringList types = cParameterTypes(p.text);
            for (qsizetype i = 0; i < types.size() && i < d.parameters.size(); ++i) {
                if (!pointerToHandle.match(types[i]).hasMatch())
                    continue;
                ++seen;
                QVERIFY2(!d.parameters[i].byValue, qPrintable(QStringLiteral("%1: %2 %3 ByVal").arg(d.name, types[i], d.parameters[i].name)));
            }
        }
        QVERIFY(seen >= 13);
    }

    void functionNames_areNoBasicKeywords()
    {
        // "Declare Function select" does not compile; the function is select_ with Alias.
        static const QSet<QString> keywords = {
            "access", "alias", "and", "any", "as", "binary", "boolean", "byref", "byte", "byval", "call",
            "case", "close", "const", "currency", "date", "declare", "dim", "do", "double", "each", "else",
            "elseif", "end", "enum", "eqv", "erase", "error", "event", "exit", "false", "for", "friend",
            "function", "get", "global", "gosub", "goto", "if", "imp", "implements", "in", "input", "integer",
            "is", "len", "let", "lib", "like", "line", "lock", "long", "loop", "lset", "me", "mid", "mod",
            "name", "new", "next", "not", "nothing", "null", "object", "on", "open", "option", "optional",
            "or", "output", "paramarray", "preserve", "print", "private", "property", "public", "put",
            "raiseevent", "random", "read", "redim", "rem", "resume", "return", "rset", "seek", "select",
            "set", "shared", "single", "static", "step", "stop", "string", "sub", "then", "to", "true",
            "type", "typeof", "unlock", "until", "variant", "wend", "while", "with", "withevents", "write",
            "xor"};
        for (const CatalogueRecord &r : m_records)
            QVERIFY2(!keywords.contains(r[CatalogueRecord::FunctionName].toLower()), qPrintable(r[0]));
    }

    void safeArrays_areNotFiledUnderSecurity()
    {
        // The pattern for the Safer functions once took every name starting with "Saf".
        const QString security = QStringLiteral("\u0627\u0645\u0646\u064a\u062a");
        int safeArrays = 0;
        for (const CatalogueRecord &r : m_records) {
            if (!r[CatalogueRecord::FunctionName].startsWith(QLatin1String("SafeArray")))
                continue;
            ++safeArrays;
            QVERIFY2(!r[CatalogueRecord::WorkAreas].split(workAreaSeparator).contains(security), qPrintable(r[0]));
        }
        QVERIFY(safeArrays >= 20);
    }

    void exports_areInWine_orOnTheReviewedList()
    {
        // Wine implements the same DLLs independently: a name its DLL lacks is either a
        // wrong library or a reviewed exception in tools/catalogue/not-in-wine.tsv.
        const QStringList folders = wineFolders();
        if (std::none_of(folders.begin(), folders.end(),
                         [](const QString &f) { return QFile::exists(f + QStringLiteral("/kernel32.dll")); }))
            QSKIP("Wine's DLLs are not installed (Debian package libwine): the exports are not compared with Wine");
        QHash<QString, QString> listed; // "library!export" -> category
        for (const QStringList &row : readGeneratorList(QStringLiteral("not-in-wine.tsv"))) {
            QVERIFY2(row.size() == 4 && !row[3].trimmed().isEmpty(), qPrintable(row.join(QLatin1Char('|'))));
            listed.insert(row[0] + QLatin1Char('!') + row[1], row[2]);
        }
        struct Dll
        {
            std::optional<QSet<QString>> names;
            bool is64 = false;
        };
        QHash<QString, Dll> dlls;
        QStringList problems;
        QSet<QString> used;
        for (const CatalogueRecord &r : m_records) {
            const Prototype p = m_prototypes.value(r[CatalogueRecord::FunctionName]);
            const QString key = p.library + QLatin1Char('!') + p.exportName;
            if (!dlls.contains(p.library)) {
                const QString file = p.library.contains(QLatin1Char('.')) ? p.library : p.library + QStringLiteral(".dll");
                Dll dll;
                for (const QString &folder : folders) {
                    if (QFile::exists(folder + QLatin1Char('/') + file)) {
                        dll.names = peExportNames(folder + QLatin1Char('/') + file);
                        dll.is64 = folder.contains(QLatin1String("x86_64-windows"));
                        break;
                    }
                }
                dlls.insert(p.library, dll);
            }
            const Dll &dll = dlls[p.library];
            const bool exported = dll.names && dll.names->contains(p.exportName);
            const QString category = listed.value(key);
            used.insert(key);
            if (exported && !category.isEmpty() && (category != QLatin1String("32-bit-only") || dll.is64))
                problems << key + QStringLiteral(": Wine exports it, yet it is listed");
            else if (!exported && category.isEmpty())
                problems << key + QStringLiteral(": not exported by Wine and not listed");
            else if (!exported && category == QLatin1String("no-dll") && dll.names)
                problems << key + QStringLiteral(": listed as no-dll, but Wine has the DLL");
        }
        for (auto it = listed.cbegin(); it != listed.cend(); ++it) {
            if (!used.contains(it.key()))
                problems << it.key() + QStringLiteral(": listed, but not in the catalogue");
        }
        problems.sort();
        QVERIFY2(problems.isEmpty(), qPrintable(QString::number(problems.size()) + QStringLiteral(" problems:\n") + problems.mid(0, 20).join(QLatin1Char('\n'))));
    }

    void noSentence_isRepeatedInMoreThanFiftyDescriptions_exceptTheListedPhrases()
    {
        // The phrases allowed more often are listed, each with its reason, beside the tool.
        QFile file(QDir(catalogueFolder()).absoluteFilePath(QStringLiteral("../../tools/catalogue/phrases.tsv")));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        QSet<QString> allowed;
        for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
            if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')))
                allowed.insert(line.section(QLatin1Char('\t'), 0, 0));
        }
        QHash<QString, int> descriptionsWith;
        for (const CatalogueRecord &r : m_records) {
            const QStringList s = sentencesOf(r[CatalogueRecord::Description]);
            for (const QString &sentence : QSet<QString>(s.begin(), s.end()))
                ++descriptionsWith[sentence];
        }
        QStringList boilerplate;
        for (auto it = descriptionsWith.cbegin(); it != descriptionsWith.cend(); ++it) {
            if (it.value() > 50 && !allowed.contains(it.key()))
                boilerplate << QStringLiteral("%1 x %2").arg(it.value()).arg(it.key());
        }
        QVERIFY2(boilerplate.isEmpty(), qPrintable(boilerplate.mid(0, 5).join(QLatin1Char('\n'))));
    }

    void fullDescriptions_nameEveryParameter()
    {
        // A description of three lines or more is a full one, written by hand: it names
        // every parameter of its declaration as a whole word.
        int full = 0;
        for (const CatalogueRecord &r : m_records) {
            const QString &text = r[CatalogueRecord::Description];
            if (text.count(QStringLiteral("\r\n")) < 2)
                continue;
            ++full;
            // "Param1 تا Param4" names the numbered parameters of the range.
            static const QRegularExpression range(QStringLiteral("\\b([A-Za-z_]+?)(\\d+) \u062A\u0627 \\1(\\d+)\\b"));
            QSet<QString> ranged;
            for (auto it = range.globalMatch(text); it.hasNext();) {
                const QRegularExpressionMatch m = it.next();
                for (int i = m.captured(2).toInt(); i <= m.captured(3).toInt(); ++i)
                    ranged.insert(m.captured(1) + QString::number(i));
            }
            for (const Parameter &p : parseDeclaration(r[CatalogueRecord::Declaration]).parameters) {
                const QRegularExpression word(QStringLiteral("(?<![A-Za-z0-9_$])%1(?![A-Za-z0-9_])").arg(p.name));
                QVERIFY2(ranged.contains(p.name) || text.contains(word),
                         qPrintable(r[0] + QStringLiteral(" does not name ") + p.name));
            }
        }
        QVERIFY(full >= 1000);
    }

    void descriptionSearch_findsTheAreaAndLittleElse_data()
    {
        // A query typed into the description search, the area of work whose functions it
        // should find (at least minArea of them) and the most of the catalogue it may match
        // (maxCatalogue).
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("area");
        QTest::addColumn<double>("minArea");
        QTest::addColumn<double>("maxCatalogue");
        const auto row = [](const char *tag, const QString &query, const QString &area, double minArea, double maxCatalogue) {
            QTest::newRow(tag) << query << area << minArea << maxCatalogue;
        };
        row("file", "فايل", "فايل و پوشه", 0.8, 0.15);
        row("window", "پنجره", "پنجره ها", 0.8, 0.15);
        row("memory", "حافظه", "حافظه", 0.8, 0.15);
        row("registry", "رجيستري", "رجيستري", 0.8, 0.15);
        row("menu", "منو", "منو", 0.8, 0.15);
        row("font", "فونت", "فونت", 0.8, 0.15);
        row("printing", "چاپ", "چاپ", 0.8, 0.15);
        row("clipboard, typed without ZWNJ", "کليپبورد", "کليپ بورد", 0.8, 0.15);
        row("services", "سرويس", "سرويس ها", 0.8, 0.15);
        row("console", "کنسول", "کنسول", 0.8, 0.15);
        row("icons", "آيکن", "آيکن و مکان نما", 0.8, 0.15);
        row("sound", "صدا", "صدا و چندرسانه اي", 0.8, 0.15);
        row("time", "زمان", "زمان", 0.8, 0.15);
    }

    void descriptionSearch_findsTheAreaAndLittleElse()
    {
        QFETCH(QString, query);
        QFETCH(QString, area);
        QFETCH(double, minArea);
        QFETCH(double, maxCatalogue);
        // The program's own search, over the shipped catalogue.
        Recordset recordset{std::vector<CatalogueRecord>(m_records)};
        const QStringList found = CatalogueSearch::findNames(recordset, query, true);
        const QSet<QString> matched(found.begin(), found.end());
        qsizetype inArea = 0;
        qsizetype areaSize = 0;
        for (const CatalogueRecord &r : m_records) {
            if (r[CatalogueRecord::WorkAreas].split(workAreaSeparator).contains(area)) {
                ++areaSize;
                inArea += matched.contains(r[CatalogueRecord::FunctionName]);
            }
        }
        QVERIFY(areaSize > 0);
        const QString figures = QStringLiteral("%1: %2 of %3 in the area, %4 of %5 in all")
                                    .arg(query).arg(inArea).arg(areaSize).arg(found.size()).arg(m_records.size());
        qInfo("%s", qPrintable(figures));
        QVERIFY2(found.size() <= maxCatalogue * double(m_records.size()), qPrintable(figures));
        QVERIFY2(inArea >= minArea * double(areaSize), qPrintable(figures));
    }

    void grammar_rejectsWhatBasicWouldNotCompile_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("no Lib") << "Private Declare Function F (ByVal a As Long) As Long";
        QTest::newRow("Sub with result") << "Private Declare Sub F Lib \"k\" () As Long";
        QTest::newRow("undefined Type") << "Private Declare Function F Lib \"k\" (r As RECT) As Long";
        QTest::newRow("Type ByVal") << "Private Type T\r\n    a As Long\r\nEnd Type\r\n\r\nPrivate Declare Function F Lib \"k\" (ByVal r As T) As Long";
        QTest::newRow("name twice, other case") << "Private Declare Function F Lib \"k\" (ByVal a As Long, ByVal A As Long) As Long";
        QTest::newRow("block without End Type") << "Private Type T\r\n    a As Long\r\n\r\nPrivate Declare Function F Lib \"k\" (t As T) As Long";
        QTest::newRow("member of undefined type") << "Private Type T\r\n    p As POINT\r\nEnd Type\r\n\r\nPrivate Declare Function F Lib \"k\" (t As T) As Long";
    }

    void grammar_rejectsWhatBasicWouldNotCompile()
    {
        QFETCH(QString, text);
        QVERIFY(!parseDeclaration(text).error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_CatalogueData)
#include "tst_cataloguedata.moc"
