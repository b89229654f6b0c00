// Checks the catalogue that ships (every data/catalogue/*.tsv file of functions, read the
// way the build reads it) against the rules a Basic programmer relies on: each declaration
// pastes into a module and calls the export it names with the right argument bytes, as
// the C prototypes the generator recorded in data/catalogue/prototypes.txt say.
#include "catalogue/CatalogueSource.h"
#include "catalogue/ConstantTable.h"
#include "catalogue/FunctionFacts.h"
#include "catalogue/Recordset.h"
#include "find/CatalogueSearch.h"
#include "platform/Windows1256.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QtEndian>

#include <algorithm>
#include <optional>

namespace {

using R = CatalogueRecord;

QString sourcePath(const QString &path)
{
    return QDir(qEnvironmentVariable("VORN_TEST_DATA")).absoluteFilePath(QStringLiteral("../../") + path);
}

// The TAB-separated lines of a file, without comments and blank lines.
QList<QStringList> readList(const QString &path)
{
    QList<QStringList> rows;
    QFile file(sourcePath(path));
    for (const QString &line : QString::fromUtf8(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray()).split(u'\n')) {
        if (!line.isEmpty() && !line.startsWith(u'#'))
            rows << line.split(u'\t');
    }
    return rows;
}

// The members of each Type block that Basic converts as text: "As String" without a length.
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
            out.append({type, line.trimmed().section(u' ', 0, 0)});
    }
    return out;
}

// The sentences of a description as the generator cuts them: each line, cut after a ".",
// "!" or "؟" that ends a sentence, with runs of spaces made one.
QSet<QString> sentencesOf(const QString &description)
{
    static const QRegularExpression end(QStringLiteral("(?<=[.!\u061F])\\s+"));
    QSet<QString> out;
    for (const QString &line : description.split(QStringLiteral("\r\n"))) {
        for (const QString &s : line.split(end)) {
            if (!s.simplified().isEmpty())
                out << s.simplified();
        }
    }
    return out;
}

// The type name of each C parameter of a recorded prototype, without const, struct or enum.
QStringList cParameterTypes(const QString &prototype)
{
    static const QRegularExpression first(QStringLiteral("^\\W*(?:(?:const|struct|enum)\\W+)*(\\w+)"));
    const QString inside = prototype.mid(prototype.indexOf(u'(') + 1).chopped(1);
    QStringList types;
    for (const QString &p : inside == QLatin1String("void") || inside.isEmpty() ? QStringList() : inside.split(u','))
        types << first.match(p).captured(1);
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
    auto u16 = [&](qint64 o) -> quint32 { return o >= 0 && o + 2 <= d.size() ? qFromLittleEndian<quint16>(d.constData() + o) : 0; };
    auto u32 = [&](qint64 o) -> quint32 { return o >= 0 && o + 4 <= d.size() ? qFromLittleEndian<quint32>(d.constData() + o) : 0; };
    const qint64 pe = u32(0x3c), optional = pe + 24;
    const quint32 magic = u16(optional);
    if (!d.startsWith("MZ") || u32(pe) != 0x4550 || (magic != 0x10b && magic != 0x20b))
        return std::nullopt;
    const qint64 sectionTable = optional + u16(pe + 20);
    auto offset = [&](quint32 rva) -> qint64 {
        for (int i = 0; i < int(u16(pe + 6)); ++i) {
            const qint64 s = sectionTable + 40 * i;
            if (rva >= u32(s + 12) && rva - u32(s + 12) < std::max(u32(s + 8), u32(s + 16)))
                return qint64(rva - u32(s + 12)) + u32(s + 20);
        }
        return -1;
    };
    QSet<QString> names;
    const quint32 exportRva = u32(optional + (magic == 0x10b ? 96 : 112));
    const qint64 directory = exportRva ? offset(exportRva) : -1;
    const qint64 table = offset(u32(directory + 32));
    for (quint32 i = 0; directory >= 0 && table >= 0 && i < u32(directory + 24); ++i) {
        const qint64 start = offset(u32(table + 4 * i));
        const qsizetype end = start < 0 ? -1 : d.indexOf('\0', start);
        if (end < 0)
            return std::nullopt;
        names.insert(QString::fromLatin1(d.mid(start, end - start)));
    }
    return names;
}

struct Prototype
{
    QString exportName, library;
    int argumentBytes = 0, cParameters = 0, basicParameters = 0;
    QString header, text;
    // No @N: cdecl in 32 bits, or its export witnessed for 64 bits only (a 64-bit import
    // library, or Microsoft's metadata alone); 64-bit Basic alone is shown calling it.
    bool vba7Alone = false;
};

struct Parameter { bool byValue = false; QString name, type; };

// One Declare statement with the Type blocks ahead of it, as read by the grammar below.
struct Declaration
{
    bool isSub = false;
    QString name, lib, alias, result;
    QList<Parameter> parameters;
    QStringList typeNames; // in the order the blocks define them
    QString error;         // empty when the text follows the grammar

    int argumentBytes() const
    {
        int bytes = 0;
        for (const Parameter &p : parameters)
            bytes += !p.byValue ? 4 : p.type == QLatin1String("Currency") || p.type == QLatin1String("Double") ? 8 : p.type == QLatin1String("Variant") ? 16 : 4;
        return bytes;
    }
};

const QSet<QString> intrinsicTypes = {"Long", "Integer", "Byte", "String", "Any", "Currency", "Double", "Single",
                                      "Boolean", "Variant", "Object", "Date", "LongPtr", "LongLong"};

const QRegularExpression memberLine(QStringLiteral("^    ([A-Za-z][A-Za-z0-9_]*)(?:\\(0 To (\\d+)\\))? As ([A-Za-z][A-Za-z0-9_]*)(?: \\* (\\d+))?$"));

// The grammar:
//   text      := { typeBlock CRLF CRLF } declare
//   typeBlock := "Private Type " ident CRLF { "    " member CRLF } "End Type"
//   member    := ident [ "(0 To " n ")" ] " As " type [ " * " n ]   (" * n" only for String)
//   declare   := "Private Declare " ("Function"|"Sub") " " ident " Lib \"" lib "\""
//                [ " Alias \"" name "\"" ] " (" [ param { ", " param } ] ")" [ " As " type ]
//   param     := [ "ByVal " ] ident " As " type
// Every type named is intrinsic or defined by an earlier block; Basic ignores letter case,
// so no two members, nor two parameters or a parameter and the function, share a name.
Declaration parseDeclaration(const QString &text)
{
    static const QRegularExpression typeHead(QStringLiteral("^Private Type ([A-Za-z][A-Za-z0-9_]*)$"));
    static const QRegularExpression declare(QStringLiteral("^Private Declare (Function|Sub) ([A-Za-z][A-Za-z0-9_]*) Lib \"([^\"]+)\""
                                                           "(?: Alias \"([^\"]+)\")? \\((.*)\\)(?: As ([A-Za-z][A-Za-z0-9_]*))?$"));
    static const QRegularExpression parameter(QStringLiteral("^(ByVal )?([A-Za-z][A-Za-z0-9_]*) As ([A-Za-z][A-Za-z0-9_]*)$"));
    Declaration d;
    const auto fail = [&d](const QString &error) { d.error = error; return d; };
    const QStringList blocks = text.split(QStringLiteral("\r\n\r\n"));
    QSet<QString> known = intrinsicTypes;
    for (qsizetype b = 0; b + 1 < blocks.size(); ++b) {
        const QStringList lines = blocks[b].split(QStringLiteral("\r\n"));
        const auto head = typeHead.match(lines.first());
        if (!head.hasMatch() || lines.size() < 3 || lines.last() != QLatin1String("End Type"))
            return fail("bad Type block: " + lines.first());
        const QString type = head.captured(1);
        if (known.contains(type))
            return fail("Type defined twice or shadows a Basic type: " + type);
        QSet<QString> members;
        for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
            const auto m = memberLine.match(lines[i]);
            if (!m.hasMatch() || !known.contains(m.captured(3)) || (m.hasCaptured(4) && m.captured(3) != QLatin1String("String"))
                || members.contains(m.captured(1).toLower()))
                return fail(type + ": bad member, of an undefined type, fixed length on a non-String or named twice: " + lines[i]);
            members.insert(m.captured(1).toLower());
        }
        known.insert(type);
        d.typeNames << type;
    }
    const auto m = declare.match(blocks.last());
    if (!m.hasMatch())
        return fail("not a Declare statement: " + blocks.last());
    d.isSub = m.captured(1) == QLatin1String("Sub");
    d.name = m.captured(2);
    d.lib = m.captured(3);
    d.alias = m.captured(4);
    d.result = m.captured(6);
    if (d.isSub != d.result.isEmpty() || (!d.result.isEmpty() && !intrinsicTypes.contains(d.result)))
        return fail("a Sub with a result, a Function without one or a result of a non-Basic type");
    QSet<QString> names{d.name.toLower()};
    for (const QString &part : m.captured(5).isEmpty() ? QStringList() : m.captured(5).split(QStringLiteral(", "))) {
        const auto p = parameter.match(part);
        if (!p.hasMatch() || !known.contains(p.captured(3)) || (p.hasCaptured(1) && !intrinsicTypes.contains(p.captured(3)))
            || names.contains(p.captured(2).toLower()))
            return fail("bad parameter, of an undefined type, a Type ByVal or a name used twice: " + part);
        names.insert(p.captured(2).toLower());
        d.parameters << Parameter{p.hasCaptured(1), p.captured(2), p.captured(3)};
    }
    return d;
}

// A VBA7 declaration read by the same grammar, "PtrSafe" after "Declare" aside.
Declaration parseVba7Declaration(const QString &text)
{
    static const QString ptrSafe = QStringLiteral("Private Declare PtrSafe ");
    const qsizetype at = text.lastIndexOf(ptrSafe);
    if (at < 0 || (at > 0 && text.mid(at - 4, 4) != QLatin1String("\r\n\r\n")))
        return parseDeclaration(QString());
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
               && (classic[i + run].name.endsWith(p.name, Qt::CaseInsensitive) || classic[i + run].name.endsWith(stem, Qt::CaseInsensitive))) ++run;
        if (run < 2)
            return false;
        i += run;
    }
    return i == classic.size();
}

// The one line of a function taken from Microsoft's metadata before its description is
// written: «توضيح اين تابع هنوز نوشته نشده است.»
const QString placeholder = QStringLiteral("\u062a\u0648\u0636\u064a\u062d \u0627\u064a\u0646 \u062a\u0627\u0628\u0639 "
                                           "\u0647\u0646\u0648\u0632 \u0646\u0648\u0634\u062a\u0647 \u0646\u0634\u062f\u0647 \u0627\u0633\u062a.");

// Each rule of the catalogue, as the problems found against it are filed.
const QStringList rules = {
    "between 5000 functions and the 32767 the count holds", "names are unique, even ignoring letter case",
    "every classic field is filled", "records come in name order", "declarations follow the Declare grammar",
    "Lib is the library field, of 30 libraries or more", "every function has its recorded prototype",
    "declarations call the export", "A forms are called by the plain name with Alias", "parameter counts agree with the header",
    "argument bytes agree with the export", "one to three work areas, 20 to 40 in all", "Persian text in the letters of Windows-1256",
    "line breaks are CR LF", "VBA7 forms agree with the classic form and 64-bit Windows", "VBA7 Type blocks have the x64 layout",
    "no String members in structures kept, read at an offset or filled", "W functions carry no ANSI text",
    "pointers to handles are ByRef", "function names are no Basic keywords", "SafeArray functions are not filed under security",
    "no sentence in more than 50 descriptions but the listed phrases", "full descriptions name every parameter",
    "no declaration that compiles and then fails when called", "forms for 64-bit Windows only go under #If Win64",
    "the metadata's columns hold a Windows version, 0 or 1, and replacements",
    "functions not yet described carry the one-line placeholder, as many as the report counts",
    "functions without a 32-bit export (cdecl, or witnessed for 64 bits only) have the VBA7 form alone, for 64-bit Windows only, and no other lacks the classic form"};

} // namespace

class tst_CatalogueData : public QObject
{
    Q_OBJECT

    std::vector<CatalogueRecord> m_records;
    QHash<QString, Prototype> m_prototypes;
    QMap<QString, QStringList> m_problems; // rule -> what breaks it

    const CatalogueRecord *byName(const QString &name) const
    {
        const auto it = std::find_if(m_records.begin(), m_records.end(), [&](const R &r) { return r[R::FunctionName] == name; });
        return it == m_records.end() ? nullptr : &*it;
    }

    static ConstantSource::ParseResult shippedConstants()
    {
        const QDir dir(sourcePath(QStringLiteral("data/catalogue")));
        QStringList files;
        for (const QString &name : dir.entryList({QStringLiteral("const-*.tsv")}, QDir::Files, QDir::Name))
            files << dir.filePath(name);
        return ConstantSource::parseFiles(files);
    }

private slots:
    void initTestCase()
    {
        const QDir dir(sourcePath(QStringLiteral("data/catalogue")));
        QStringList files; // the build reads every *.tsv of functions in name order; so does this test
        for (const QString &name : dir.entryList({QStringLiteral("*.tsv")}, QDir::Files, QDir::Name)) {
            if (!ConstantSource::isConstantFile(name))
                files << dir.filePath(name);
        }
        const CatalogueSource::ParseResult source = CatalogueSource::parseFiles(files);
        QVERIFY(!files.isEmpty());
        QVERIFY2(source.errors.isEmpty(), qPrintable(source.errors.mid(0, 5).join(u'\n')));
        m_records = source.records;
        for (const QStringList &f : readList(QStringLiteral("data/catalogue/prototypes.txt"))) {
            QVERIFY2(f.size() == 8 && !m_prototypes.contains(f[0]), qPrintable(f.join(u'|')));
            m_prototypes.insert(f[0], Prototype{f[1], f[2], f[3].toInt(), f[4].toInt(), f[5].toInt(), f[6], f[7], f[3] == u'-'});
        }
        // vba7.txt: per function the DLL whose 64-bit import library has its export and the
        // pointer-sized marks; per Type its x86_64 size and member offsets as gcc gives them.
        QHash<QString, std::pair<QString, QString>> vba7Functions;
        QHash<QString, QStringList> vba7Layouts;
        QSet<QString> only64; // Microsoft's metadata has the export of the VBA7 form in 64-bit Windows only
        for (const QStringList &f : readList(QStringLiteral("data/catalogue/vba7.txt"))) {
            if (f[0] == QLatin1String("F") && f.size() == 5) {
                vba7Functions.insert(f[1], {f[2], f[3]});
                if (f[4] == QLatin1String("64"))
                    only64.insert(f[1]);
            }
            else if (f[0] == QLatin1String("T") && f.size() >= 3)
                vba7Layouts.insert(f[1], f.mid(2));
            else
                QFAIL(qPrintable(f.join(u'\t')));
        }
        QSet<QString> pointerStructures; // whose text members are kept, read at an offset or filled
        for (const QStringList &row : readList(QStringLiteral("tools/catalogue/pointer-members.tsv")))
            pointerStructures.insert(row.first());
        QVERIFY(pointerStructures.contains(QStringLiteral("WAVEHDR")));
        QSet<QString> phrases; // allowed in more descriptions, each with its reason
        for (const QStringList &row : readList(QStringLiteral("tools/catalogue/phrases.tsv")))
            phrases.insert(row.first());
        QVERIFY(!phrases.isEmpty());
        static const QStringList keywords = QStringLiteral(
            "access alias and any as binary boolean byref byte byval call case close const currency date declare dim do "
            "double each else elseif end enum eqv erase error event exit false for friend function get global gosub goto "
            "if imp implements in input integer is len let lib like line lock long loop lset me mid mod name new next not "
            "nothing null object on open option optional or output paramarray preserve print private property public put "
            "raiseevent random read redim rem resume return rset seek select set shared single static step stop string "
            "sub then to true type typeof unlock until variant wend while with withevents write xor").split(u' ');
        // Functions their DLL exports by ordinal alone, called by Alias "#N".
        QHash<QString, QString> byOrdinal; // export -> "#N"
        for (const QStringList &row : readList(QStringLiteral("tools/catalogue/ordinals.tsv")))
            byOrdinal.insert(row.value(0), u'#' + row.value(2));
        // An OID is ANSI in every form; GCP_RESULTSW.lpClass holds bytes.
        // Structures that hold ANSI text in the W form too (patchapi.h has one PATCH_OPTION_DATA,
        // its symbol path an LPCSTR, for CreatePatchFileA and CreatePatchFileW alike).
        const QSet<QString> ansiInEveryForm = {"CRYPT_CREDENTIALS.pszCredentialsOid", "GCP_RESULTSW.lpClass",
                                               "PATCH_OPTION_DATA.NewFileSymbolPath"};
        const QString security = QStringLiteral("\u0627\u0645\u0646\u064a\u062a");
        static const QRegularExpression pointerToHandle(QStringLiteral("^(LP|P)\\w*HANDLE$"));
        static const QRegularExpression range(QStringLiteral("\\b([A-Za-z_]+?)(\\d+) \u062A\u0627 \\1(\\d+)\\b")); // "Param1 تا Param4"

        QSet<QString> names, folded, libraries, areasInAll;
        QHash<QString, int> descriptionsWith;
        QHash<QString, std::pair<int, int>> layouts; // VBA7 Type -> x64 size, alignment
        int ansi = 0, forms = 0, forms64 = 0, withWindows = 0, offsets = 0, handles = 0, safeArrays = 0, full = 0;
        int placeholders = 0, alone = 0;
        const QString *previous = nullptr;
        for (const CatalogueRecord &r : m_records) {
            const QString &name = r[R::FunctionName], &text = r[R::Description], &vba7 = r[R::Vba7Declaration];
            const auto fail = [&](int rule, const QString &what = {}) { m_problems[rules[rule]] << name + QStringLiteral(": ") + what; };
            if (names.contains(name) || folded.contains(name.toLower()))
                fail(1);
            names.insert(name);
            folded.insert(name.toLower());
            // A function that is cdecl in 32 bits has the VBA7 form alone: 32-bit Basic calls
            // every Declare as stdcall, and the stack would be left unbalanced. So has one that
            // a 64-bit import library alone exports, or that Microsoft's metadata alone declares
            // in its DLL: nothing checks its 32-bit argument bytes.
            const Prototype p = m_prototypes.value(name);
            const bool vba7Alone = p.vba7Alone;
            if (vba7Alone != r[R::Declaration].isEmpty() || (vba7Alone && (++alone, vba7.isEmpty() || !only64.contains(name))))
                fail(27, vba7Alone ? QStringLiteral("no 32-bit export") : QStringLiteral("stdcall"));
            // wldap32's session and results are the system's: a Type would pass the caller's
            // copy. So are the members, attributes and CDF the CryptCAT functions hand out and
            // the XML elements wsdapi builds, and the display surfaces dciman32 hands out.
            static const QRegularExpression handedOut(QStringLiteral("[(,] ?\\w+ As (LDAP|LDAPMessage|BerElement|CRYPTCAT(MEMBER|ATTRIBUTE|CDF)|WSDXML_ELEMENT|DCISURFACEINFO|DCIOFFSCREEN|DCIOVERLAY)\\b"));
            for (const QString &form : {vba7, r[R::Declaration]}) {
                if (const auto m = handedOut.match(form.section(QStringLiteral("\r\n"), -1)); m.hasMatch())
                    fail(23, m.captured(0));
            }
            for (int i = 0; i < R::classicFieldCount; ++i) { // the VBA7 form is empty where 64-bit Office cannot call it
                if (r[i].trimmed().isEmpty() && !(vba7Alone && i == R::Declaration))
                    fail(2, QString::number(i));
            }
            if (previous && !(previous->compare(name, Qt::CaseInsensitive) < 0 || (previous->compare(name, Qt::CaseInsensitive) == 0 && *previous < name)))
                fail(3, QStringLiteral("after ") + *previous);
            previous = &name;
            // Name, Lib, Alias and parameters from the VBA7 form where it stands alone.
            const Declaration d = vba7Alone ? parseVba7Declaration(vba7) : parseDeclaration(r[R::Declaration]);
            if (!d.error.isEmpty() || d.name != name)
                fail(4, d.error);
            if (d.lib != r[R::Library])
                fail(5, d.lib);
            libraries.insert(d.lib);
            if (!m_prototypes.contains(name) || p.library != r[R::Library])
                fail(6);
            const QString called = d.alias.isEmpty() ? d.name : d.alias;
            if (called != byOrdinal.value(p.exportName, p.exportName) || d.alias == d.name)
                fail(7, called);
            // The plain name of an A/W pair calls the A form, which takes the ANSI text
            // Basic makes of a String.
            if (p.exportName == QString(name + u'A') && (++ansi, d.alias != p.exportName))
                fail(8);
            // More Basic than C parameters only where a structure passed by value is split.
            if (d.parameters.size() != p.basicParameters || p.basicParameters < p.cParameters || p.basicParameters - p.cParameters > 3 * p.cParameters)
                fail(9, p.text);
            if (!vba7Alone && d.argumentBytes() != p.argumentBytes)
                fail(10, QStringLiteral("%1 bytes, %2@%3").arg(d.argumentBytes()).arg(p.exportName).arg(p.argumentBytes));
            const QStringList areas = r[R::WorkAreas].split(workAreaSeparator);
            if (areas.size() > 3 || QSet<QString>(areas.begin(), areas.end()).size() != areas.size())
                fail(11);
            for (const QString &a : areas) {
                if (a.isEmpty() || a != a.trimmed())
                    fail(11, a);
                areasInAll.insert(a);
            }
            for (const QChar c : QString(r[R::WorkAreas] + text)) {
                if (c == QChar(0x06CC) || c == QChar(0x0643) || !Windows1256::encodeStrict(QStringView(&c, 1))) // U+064A and U+06A9 instead
                    fail(12, QStringLiteral("U+") + QString::number(c.unicode(), 16));
            }
            if (std::none_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() >= 0x0621 && c.unicode() <= 0x06A9; }))
                fail(12, QStringLiteral("no Persian"));
            for (const QString &field : r.fields) {
                const QString withoutPairs = QString(field).remove(QStringLiteral("\r\n"));
                if (withoutPairs.contains(u'\r') || withoutPairs.contains(u'\n'))
                    fail(13);
            }
            // Each VBA7 form: the grammar, the classic form's name, Lib and Alias (64-bit
            // Windows has GetWindowLongPtrA where 32-bit has only GetWindowLongA), its
            // parameters in the same order, a DLL whose 64-bit import library exports it, no
            // Long where x64 passes a pointer-sized value; PtrSafe, LongPtr and LongLong only there.
            const QString &classicText = r[R::Declaration];
            if (classicText.contains(QLatin1String("Declare PtrSafe ")) || classicText.contains(QLatin1String(" As LongPtr"))
                || classicText.contains(QLatin1String(" As LongLong")) || vba7Functions.contains(name) == vba7.isEmpty())
                fail(14, QStringLiteral("VBA7 in the classic form, or vba7.txt disagrees"));
            if (!vba7.isEmpty()) {
                ++forms;
                const Declaration v = parseVba7Declaration(vba7);
                const auto &[lib64, wide] = vba7Functions[name];
                bool same = v.error.isEmpty() && v.name == name && v.isSub == d.isSub && v.lib == d.lib && v.lib == lib64
                    && (v.alias == d.alias || name.contains(QLatin1String("Ptr"))) && sameParameters(d.parameters, v.parameters)
                    && wide.size() == v.parameters.size() + 1 && (wide.back() != u'P' || v.result == QLatin1String("LongPtr"));
                for (qsizetype i = 0; same && i < v.parameters.size(); ++i)
                    same = wide[i] != u'P' || v.parameters[i].type == QLatin1String("LongPtr");
                if (!same)
                    fail(14, v.error);
                // 32-bit Office runs the "#If VBA7" branch too: a form whose export only
                // 64-bit Windows has goes under "#If Win64" in a saved module.
                if (only64.contains(name) && (++forms64, !FunctionFacts::onlyIn64Bits(vba7, classicText)))
                    fail(24, v.alias.isEmpty() ? v.name : v.alias);
            }
            // Every VBA7 Type block laid out as 64-bit VBA lays it out (each member at a
            // multiple of its own size, at most 8; a Type member at its largest member's) has
            // the size and member offsets x86_64-w64-mingw32-gcc gives the C structure.
            const QStringList blocks = vba7.split(QStringLiteral("\r\n\r\n"));
            for (qsizetype b = 0; b + 1 < blocks.size(); ++b) {
                static const QHash<QString, int> sizes = {{"Byte", 1}, {"Integer", 2}, {"Long", 4}, {"Single", 4}, {"Double", 8},
                                                          {"Currency", 8}, {"LongLong", 8}, {"LongPtr", 8}, {"String", 8}};
                const QStringList lines = blocks[b].split(QStringLiteral("\r\n"));
                const QString type = lines.first().mid(13);
                const QStringList facts = vba7Layouts.value(type);
                QHash<QString, int> cOffsets;
                for (const QString &f : facts.mid(1))
                    cOffsets.insert(f.section(u'=', 0, 0), f.section(u'=', 1).toInt());
                int at = 0, most = 1;
                for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
                    const auto m = memberLine.match(lines[i]);
                    auto [size, align] = m.hasCaptured(4) ? std::pair(m.captured(4).toInt(), 1)
                                                          : layouts.value(m.captured(3), {sizes.value(m.captured(3)), sizes.value(m.captured(3))});
                    if (!m.hasMatch() || size <= 0) {
                        fail(15, lines[i]);
                        break;
                    }
                    at = (at + align - 1) / align * align;
                    if (cOffsets.contains(m.captured(1)) && (++offsets, cOffsets.value(m.captured(1)) != at))
                        fail(15, type + u'.' + m.captured(1));
                    at += size * (m.hasCaptured(2) ? m.captured(2).toInt() + 1 : 1);
                    most = std::max(most, align);
                }
                at = (at + most - 1) / most * most;
                if (facts.isEmpty() || at != facts.first().toInt())
                    fail(15, type + QStringLiteral(" of ") + QString::number(at));
                layouts.insert(type, {at, most});
            }
            // Basic hands a structure over as a temporary ANSI copy and turns each String
            // member back into text after the call: a buffer the driver keeps is freed under
            // it, and an offset (OUTLINETEXTMETRIC) is read as an address. A W function takes
            // the W form of its structures (DNS_RECORDW, not DNS_RECORD with pName As String).
            for (const auto &[type, member] : stringMembers(vba7Alone ? vba7 : r[R::Declaration])) {
                if (pointerStructures.contains(type))
                    fail(16, type + u'.' + member);
                if (name.endsWith(u'W') && !ansiInEveryForm.contains(type + u'.' + member))
                    fail(17, type + u'.' + member);
            }
            // LPSCARDHANDLE, PTRACEHANDLE, PREGHANDLE: the function writes the handle into the
            // caller's variable; ByVal hands it the variable's contents as an address.
            const QStringList types = p.cParameters == p.basicParameters ? cParameterTypes(p.text) : QStringList();
            for (qsizetype i = 0; i < types.size() && i < d.parameters.size(); ++i) {
                if (pointerToHandle.match(types[i]).hasMatch() && (++handles, d.parameters[i].byValue))
                    fail(18, d.parameters[i].name);
            }
            // Declarations that compile and fail when called: a one-byte output (VarI1From*)
            // or an argument list (va_list) as a String, socket address bytes as fixed
            // text, a CryptoAPI context that the system hands out as a Basic Type, what a
            // Free function gives back as Basic's copy, text a structure keeps (RtlInitString)
            // as Basic's temporary copy.
            static const QRegularExpression binaryText(QStringLiteral("^    (sa_data|ss_pad\\d|sin_zero|data|Reserved|MaxSa) As String"), QRegularExpression::MultilineOption);
            static const QRegularExpression context(QStringLiteral("^\\s*(const\\s+)?P?C?C(ERT|RL|TL|ERT_CHAIN)_CONTEXT\\s+\\w+\\s*$"));
            static const QSet<QString> givesBack = {"freeaddrinfo", "FreeAddrInfoW", "FreeAddrInfoEx", "FreeAddrInfoExW", "FreeEnvironmentStringsA",
                                                    "FreeGPOListA", "FreeGPOListW", "FreePrinterNotifyInfo", "FreeEncryptionCertificateHashList",
                                                    "ldap_memfree", "ldap_memfreeA", "ldap_memfreeW", "ldap_value_free", "ldap_value_freeA",
                                                    "ldap_value_freeW", "ldap_value_free_len", "ldap_controls_free", "ldap_controls_freeA",
                                                    "ldap_controls_freeW", "ldap_control_free", "ldap_control_freeA", "ldap_control_freeW", "ber_bvfree",
                                                    "EapHostPeerFreeErrorMemory", "EapHostPeerFreeEapError", "DhcpServerAuditlogParamsFree"};
            static const QSet<QString> keepsText = {"RtlInitAnsiString", "RtlInitAnsiStringEx", "RtlInitString", "RtlInitStringEx"};
            if (const auto m = binaryText.match(r[R::Declaration]); m.hasMatch())
                fail(23, m.captured(1));
            const QStringList cTexts = p.cParameters == p.basicParameters ? p.text.mid(p.text.indexOf(u'(') + 1).chopped(1).split(u',') : QStringList();
            for (qsizetype i = 0; i < d.parameters.size(); ++i) {
                const Parameter &param = d.parameters[i];
                // An address: Long in the classic form, LongPtr where the VBA7 form stands alone.
                const bool byValLong = param.byValue && (param.type == QLatin1String("Long")
                                                         || (p.vba7Alone && param.type == QLatin1String("LongPtr")));
                const bool text = param.type == QLatin1String("String");
                if ((text && param.name.startsWith(QLatin1String("pc")) && param.name.size() > 2 && param.name[2].isUpper())
                    || (i < cTexts.size() && types[i].endsWith(QLatin1String("va_list")) && !cTexts[i].contains(u'*') && !byValLong)
                    || (i < cTexts.size() && context.match(cTexts[i]).hasMatch() && !byValLong)
                    || (givesBack.contains(p.exportName) && (text || !param.byValue))
                    || (keepsText.contains(p.exportName) && text))
                    fail(23, param.name + QStringLiteral(" As ") + param.type);
            }
            // What Microsoft's metadata says: the first Windows, whether Err.LastDllError
            // means anything, and what replaces an obsolete function (names, or "-").
            static const QSet<QString> windowsVersions = {"", "2000", "XP", "Vista", "7", "8", "8.1", "10"};
            static const QRegularExpression replacements(QStringLiteral("^(-|\\w+(, \\w+)*)?$"));
            if (!windowsVersions.contains(r[R::FirstWindows]) || !QStringList{"", "0", "1"}.contains(r[R::LastDllError])
                || !replacements.match(r[R::Obsolete]).hasMatch())
                fail(25, r[R::FirstWindows] + u'|' + r[R::LastDllError] + u'|' + r[R::Obsolete]);
            withWindows += !r[R::FirstWindows].isEmpty();
            if (text == placeholder)
                ++placeholders;
            else if (text.contains(placeholder)) // the placeholder never passes for part of a description
                fail(26, text.left(80));
            if (keywords.contains(name.toLower())) // "Declare Function select" does not compile: select_ with Alias
                fail(19);
            // The pattern for the Safer functions once took every name starting with "Saf".
            if (name.startsWith(QLatin1String("SafeArray")) && (++safeArrays, areas.contains(security)))
                fail(20);
            for (const QString &sentence : sentencesOf(text))
                ++descriptionsWith[sentence];
            // A description of three lines or more is a full one, written by hand: it names
            // every parameter of its declaration as a whole word ("Param1 تا Param4" a range).
            if (text.count(QStringLiteral("\r\n")) >= 2) {
                ++full;
                QSet<QString> ranged;
                for (auto it = range.globalMatch(text); it.hasNext();) {
                    const QRegularExpressionMatch m = it.next();
                    for (int i = m.captured(2).toInt(); i <= m.captured(3).toInt(); ++i)
                        ranged.insert(m.captured(1) + QString::number(i));
                }
                for (const Parameter &param : d.parameters) {
                    if (!ranged.contains(param.name) && !text.contains(QRegularExpression(QStringLiteral("(?<![A-Za-z0-9_$])%1(?![A-Za-z0-9_])").arg(param.name))))
                        fail(22, param.name);
                }
            }
        }
        const auto atLeast = [this](int rule, qsizetype count, qsizetype least) {
            if (count < least)
                m_problems[rules[rule]] << QStringLiteral("only %1 of at least %2").arg(count).arg(least);
        };
        atLeast(0, m_records.size(), 5000);
        atLeast(0, 32767, qsizetype(m_records.size()));
        atLeast(5, libraries.size(), 30);
        atLeast(6, m_prototypes.size(), qsizetype(m_records.size()));
        atLeast(6, qsizetype(m_records.size()), m_prototypes.size());
        atLeast(8, ansi, 1000);
        atLeast(11, areasInAll.size(), 20);
        atLeast(11, 40, areasInAll.size());
        atLeast(14, forms, qsizetype(m_records.size() * 9 / 10) + 1);
        atLeast(15, offsets, 1001);
        atLeast(24, forms64, 12);
        atLeast(25, withWindows, 6000);
        // wldap32's LDAP functions; Hyper-V's, DHCP's, ... in 64-bit import libraries only;
        // chakra's, winbio's, cldapi's, ... that Microsoft's metadata alone declares.
        atLeast(27, alone, 240 + 800 + 1100);
        atLeast(18, handles, 13);
        atLeast(20, safeArrays, 20);
        atLeast(22, full, qsizetype(m_records.size() * 9 / 10)); // nine in ten described in full
        {
            QFile report(sourcePath(QStringLiteral("data/catalogue/REPORT.md")));
            QVERIFY(report.open(QIODevice::ReadOnly));
            static const QRegularExpression counted(QStringLiteral("placeholder description until one is written \\((\\d+)\\)"));
            const QRegularExpressionMatch m = counted.match(QString::fromUtf8(report.readAll()));
            if (!m.hasMatch() || m.captured(1).toInt() != placeholders)
                m_problems[rules[26]] << QStringLiteral("%1 placeholders, the report says %2").arg(placeholders).arg(m.captured(1));
        }
        for (auto it = descriptionsWith.cbegin(); it != descriptionsWith.cend(); ++it) {
            if (it.value() > 50 && !phrases.contains(it.key()))
                m_problems[rules[21]] << QStringLiteral("%1 x %2").arg(it.value()).arg(it.key());
        }
    }

    void rule_data()
    {
        QTest::addColumn<QString>("rule");
        for (const QString &rule : rules)
            QTest::newRow(qPrintable(rule)) << rule;
    }
    void rule()
    {
        QFETCH(QString, rule);
        const QStringList problems = m_problems.value(rule);
        QVERIFY2(problems.isEmpty(), qPrintable(QString::number(problems.size()) + QStringLiteral(" problems:\n") + problems.mid(0, 10).join(u'\n')));
    }

    void wellKnownFunctions_areDeclaredAsBasicProgrammersDo_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("declareLine");
        QTest::addColumn<int>("field");
        const int classic = CatalogueRecord::Declaration;
        QTest::newRow("GetTickCount") << "GetTickCount" << "Private Declare Function GetTickCount Lib \"kernel32\" () As Long" << classic;
        QTest::newRow("sndPlaySound") << "sndPlaySound" << "Private Declare Function sndPlaySound Lib \"winmm\" Alias \"sndPlaySoundA\" (ByVal lpszSoundName As String, ByVal uFlags As Long) As Long" << classic;
        QTest::newRow("MessageBoxW, for StrPtr") << "MessageBoxW" << "Private Declare Function MessageBoxW Lib \"user32\" (ByVal hWnd As Long, ByVal lpText As Long, ByVal lpCaption As Long, ByVal uType As Long) As Long" << classic;
        QTest::newRow("CopyMemory, a macro of the headers") << "CopyMemory" << "Private Declare Sub CopyMemory Lib \"kernel32\" Alias \"RtlMoveMemory\" (Destination As Any, Source As Any, ByVal Length As Long)" << classic;
        QTest::newRow("WindowFromPoint, a POINT by value") << "WindowFromPoint" << "Private Declare Function WindowFromPoint Lib \"user32\" (ByVal xPoint As Long, ByVal yPoint As Long) As Long" << classic;
        QTest::newRow("GetWindowLongPtr is GetWindowLongA in 32 bits") << "GetWindowLongPtr" << "Private Declare Function GetWindowLongPtr Lib \"user32\" Alias \"GetWindowLongA\" (ByVal hWnd As Long, ByVal nIndex As Long) As Long" << classic;
        QTest::newRow("lopen, a name Basic cannot start with _") << "lopen" << "Private Declare Function lopen Lib \"kernel32\" Alias \"_lopen\" (ByVal lpPathName As String, ByVal iReadWrite As Long) As Long" << classic;
        // A structure that may be NULL is As Any: the sets select leaves out, a clip rectangle
        // for the whole screen, no TPMPARAMS, all passed ByVal 0&.
        QTest::newRow("select, a keyword, its sets As Any") << "select_" << "Private Declare Function select_ Lib \"ws2_32\" Alias \"select\" (ByVal nfds As Long, readfds As Any, writefds As Any, exceptfds As Any, timeout As Any) As Long" << classic;
        QTest::newRow("EnumDisplayMonitors, a clip rectangle that may be NULL") << "EnumDisplayMonitors" << "Private Declare Function EnumDisplayMonitors Lib \"user32\" (ByVal hdc As Long, lprcClip As Any, ByVal lpfnEnum As Long, ByVal dwData As Long) As Long" << classic;
        QTest::newRow("GetConsoleFontSize, a COORD result") << "GetConsoleFontSize" << "Private Declare Function GetConsoleFontSize Lib \"kernel32\" (ByVal hConsoleOutput As Long, ByVal nFont As Long) As Long" << classic;
        QTest::newRow("EventRegister, an 8-byte handle written back") << "EventRegister" << "Private Declare Function EventRegister Lib \"advapi32\" (ProviderId As GUID, ByVal EnableCallback As Long, CallbackContext As Any, RegHandle As Currency) As Long" << classic;
        QTest::newRow("ScriptStringOut, a typedef of void *") << "ScriptStringOut" << "Private Declare Function ScriptStringOut Lib \"usp10\" (ByVal ssa As Long, ByVal iX As Long, ByVal iY As Long, ByVal uOptions As Long, prc As Any, ByVal iMinSel As Long, ByVal iMaxSel As Long, ByVal fDisabled As Long) As Long" << classic;
        QTest::newRow("RemoveDllDirectory, a cookie") << "RemoveDllDirectory" << "Private Declare Function RemoveDllDirectory Lib \"kernel32\" (ByVal Cookie As Long) As Long" << classic;
        QTest::newRow("UuidCompare, in rpcrt4") << "UuidCompare" << "Private Declare Function UuidCompare Lib \"rpcrt4\" (Uuid1 As GUID, Uuid2 As GUID, Status As Long) As Long" << classic;
        QTest::newRow("StrChr, in shlwapi") << "StrChr" << "Private Declare Function StrChr Lib \"shlwapi\" Alias \"StrChrA\" (ByVal lpStart As String, ByVal wMatch As Integer) As Long" << classic;
        QTest::newRow("OpenThreadToken, in advapi32") << "OpenThreadToken" << "Private Declare Function OpenThreadToken Lib \"advapi32\" (ByVal ThreadHandle As Long, ByVal DesiredAccess As Long, ByVal OpenAsSelf As Long, TokenHandle As Long) As Long" << classic;
        QTest::newRow("MsiViewFetch, from msiquery.h") << "MsiViewFetch" << "Private Declare Function MsiViewFetch Lib \"msi\" (ByVal hView As Long, phRecord As Long) As Long" << classic;
        // Parameters the header leaves unnamed take the metadata's names, where it has them;
        // the names the types made were "hmenu, value, Arg3, Arg4, hwnd, pTpmparams",
        // "value, value2" and "hinternet, lpcwstr, ..., lpcwstr5, value".
        QTest::newRow("TrackPopupMenuEx, unnamed in the header, named by the metadata") << "TrackPopupMenuEx" << "Private Declare Function TrackPopupMenuEx Lib \"user32\" (ByVal hMenu As Long, ByVal uFlags As Long, ByVal x As Long, ByVal y As Long, ByVal hwnd As Long, lptpm As Any) As Long" << classic;
        QTest::newRow("CopyLZFile, unnamed in the header, named by the metadata") << "CopyLZFile" << "Private Declare Function CopyLZFile Lib \"kernel32\" (ByVal hfSource As Long, ByVal hfDest As Long) As Long" << classic;
        QTest::newRow("WinHttpOpenRequest, unnamed in the header, named by the metadata") << "WinHttpOpenRequest" << "Private Declare Function WinHttpOpenRequest Lib \"winhttp\" (ByVal hConnect As Long, ByVal pwszVerb As Long, ByVal pwszObjectName As Long, ByVal pwszVersion As Long, ByVal pwszReferrer As Long, ppwszAcceptTypes As Long, ByVal dwFlags As Long) As Long" << classic;
        // The metadata's param0, param1, ... are no names: the type's stay, numbered anew.
        QTest::newRow("URLDownloadToCacheFile, placeholders in the metadata") << "URLDownloadToCacheFile" << "Private Declare Function URLDownloadToCacheFile Lib \"urlmon\" Alias \"URLDownloadToCacheFileA\" (ByVal lpunknown As Long, ByVal lpcstr As String, ByVal lpstr As String, ByVal cchFileName As Long, ByVal value As Long, ByVal lpbindstatuscallback As Long) As Long" << classic;
        // No header read declares these: their prototypes are written from the metadata's types.
        QTest::newRow("HttpWebSocketClose, written: a handle the metadata types void *") << "HttpWebSocketClose" << "Private Declare Function HttpWebSocketClose Lib \"wininet\" (ByVal hWebSocket As Long, ByVal usStatus As Integer, pvReason As Any, ByVal dwReasonLength As Long) As Long" << classic;
        QTest::newRow("PropVariantToUInt32WithDefault, written: a structure by the headers' name") << "PropVariantToUInt32WithDefault" << "Private Declare Function PropVariantToUInt32WithDefault Lib \"propsys\" (propvarIn As PROPVARIANT, ByVal ulDefault As Long) As Long" << classic;
        QTest::newRow("JetDefragment3W, written: UTF-16 text by address, not Integer") << "JetDefragment3W" << "Private Declare Function JetDefragment3W Lib \"esent\" (ByVal sesid As Long, ByVal szDatabaseName As Long, ByVal szTableName As Long, pcPasses As Long, pcSeconds As Long, ByVal callback As Long, pvContext As Any, ByVal grbit As Long) As Long" << classic;
        // Structures no header read defines are written from the metadata too; one the
        // metadata gives no members (the cluster's _HCLUSTER) is known by its address only.
        QTest::newRow("DhcpGetOptionValue, a structure written from the metadata") << "DhcpGetOptionValue" << "Private Declare Function DhcpGetOptionValue Lib \"dhcpsapi\" (ByVal ServerIpAddress As Long, ByVal OptionID As Long, ScopeInfo As DHCP_OPTION_SCOPE_INFO, OptionValue As Long) As Long" << classic;
        QTest::newRow("ClusterOpenEnum, a pointer to a structure without members is a handle") << "ClusterOpenEnum" << "Private Declare Function ClusterOpenEnum Lib \"clusapi\" (ByVal hCluster As Long, ByVal dwType As Long) As Long" << classic;
        // lmaccess.h makes NetAccessAdd a macro for RxNetAccessAdd; netapi32 exports the name itself.
        QTest::newRow("ClosePackageInfo, a reference whose only member is reserved: a handle") << "ClosePackageInfo" << "Private Declare Function ClosePackageInfo Lib \"kernel32\" (ByVal packageInfoReference As Long) As Long" << classic;
        QTest::newRow("CryptCATEnumerateMember, the previous member by the address it was given") << "CryptCATEnumerateMember" << "Private Declare Function CryptCATEnumerateMember Lib \"wintrust\" (ByVal hCatalog As Long, ByVal pPrevMember As Long) As Long" << classic;
        QTest::newRow("EapHostPeerFreeErrorMemory, the error EapHost gave back by its address") << "EapHostPeerFreeErrorMemory" << "Private Declare Sub EapHostPeerFreeErrorMemory Lib \"eappcfg\" (ByVal pEapError As Long)" << classic;
        QTest::newRow("NetAccessAdd, a name a header's macro renames") << "NetAccessAdd" << "Private Declare Function NetAccessAdd Lib \"netapi32\" (ByVal servername As Long, ByVal level As Long, buf As Any, parm_err As Long) As Long" << classic;
        // What the system handed out goes back by its address, not as Basic's copy.
        QTest::newRow("PerfSetULongCounterValue, the instance PerfCreateInstance gave") << "PerfSetULongCounterValue" << "Private Declare Function PerfSetULongCounterValue Lib \"advapi32\" (ByVal hProvider As Long, ByVal pInstance As Long, ByVal CounterId As Long, ByVal lValue As Long) As Long" << classic;
        QTest::newRow("DsFreeNameResult, the result DsCrackNames gave") << "DsFreeNameResult" << "Private Declare Sub DsFreeNameResult Lib \"ntdsapi\" Alias \"DsFreeNameResultA\" (ByVal pResult As Long)" << classic;
        QTest::newRow("WdsCliFreeStringArray, the names WdsCliObtainDriverPackages gave") << "WdsCliFreeStringArray" << "Private Declare Function WdsCliFreeStringArray Lib \"wdsclientapi\" (ByVal ppwszArray As Long, ByVal ulCount As Long) As Long" << classic;
        // cdecl in 32 bits, which 32-bit Basic cannot call: the VBA7 form alone.
        QTest::newRow("ldap_search_s, cdecl: no classic form") << "ldap_search_s" << "" << classic;
        // A 64-bit import library alone exports it (Hyper-V's platform): no classic form.
        QTest::newRow("WHvCreatePartition, in a 64-bit import library only: no classic form") << "WHvCreatePartition" << "" << classic;
        // mingw-w64 has no import library of webservices; Wine's 32-bit one witnesses its
        // stdcall argument bytes (WsCreateHeap@24).
        // UiaEventCallback is a function type: the parameter is the callback's address.
        QTest::newRow("UiaAddEvent, the callback by value") << "UiaAddEvent" << "Private Declare Function UiaAddEvent Lib \"uiautomationcore\" (ByVal hnode As Long, ByVal eventId As Long, ByVal pCallback As Long, ByVal scope As Long, pProperties As Long, ByVal cProperties As Long, pRequest As UiaCacheRequest, phEvent As Long) As Long" << classic;
        // No import library here exports it; Microsoft's metadata declares it in its DLL: the
        // 64-bit form alone, nothing witnessing what 32-bit Windows pushes.
        QTest::newRow("MagInitialize, declared by the metadata alone: no classic form") << "MagInitialize" << "" << classic;
        // A safe array's descriptor is the system's (SafeArrayCreate) or a Basic array's: as a
        // Type, SafeArrayLock and SafeArrayRedim would change a copy.
        QTest::newRow("SafeArrayGetDim, the descriptor by its address") << "SafeArrayGetDim" << "Private Declare Function SafeArrayGetDim Lib \"oleaut32\" (ByVal psa As Long) As Long" << classic;
        QTest::newRow("SafeArrayRedim, the descriptor by its address, the bound as a Type") << "SafeArrayRedim" << "Private Declare Function SafeArrayRedim Lib \"oleaut32\" (ByVal psa As Long, psaboundNew As SAFEARRAYBOUND) As Long" << classic;
        // A HID report is bytes the Set functions write: a String would hand over an ANSI copy.
        QTest::newRow("HidP_SetUsages, the report as bytes") << "HidP_SetUsages" << "Private Declare Function HidP_SetUsages Lib \"hid\" (ByVal ReportType As Long, ByVal UsagePage As Integer, ByVal LinkCollection As Integer, UsageList As Integer, UsageLength As Long, ByVal PreparsedData As Long, Report As Any, ByVal ReportLength As Long) As Long" << classic;
        // Microsoft: "It is ordinal 9"; comctl32 exports no such name.
        QTest::newRow("DPA_LoadStream, by its ordinal") << "DPA_LoadStream" << "Private Declare Function DPA_LoadStream Lib \"comctl32\" Alias \"#9\" (phdpa As Long, ByVal pfn As Long, ByVal pstream As Long, pvInstData As Any) As Long" << classic;
        QTest::newRow("WsCreateHeap, its argument bytes from Wine's import library") << "WsCreateHeap" << "Private Declare Function WsCreateHeap Lib \"webservices\" (ByVal maxSize As Long, ByVal trimSize As Long, properties As Any, ByVal propertyCount As Long, heap As Long, ByVal error_ As Long) As Long" << classic;
        // A buffer whose size another parameter gives is As Any, its Type block kept: a
        // sockaddr_in6 for GetNameInfoW, a request with its strings after HTTP_REQUEST.
        QTest::newRow("GetNameInfoW, any socket address") << "GetNameInfoW" << "Private Declare Function GetNameInfoW Lib \"ws2_32\" (pSockaddr As Any, ByVal SockaddrLength As Long, ByVal pNodeBuffer As Long, ByVal NodeBufferSize As Long, ByVal pServiceBuffer As Long, ByVal ServiceBufferSize As Long, ByVal Flags As Long) As Long" << classic;
        QTest::newRow("HttpReceiveHttpRequest, a request buffer larger than its header") << "HttpReceiveHttpRequest" << "Private Declare Function HttpReceiveHttpRequest Lib \"httpapi\" (ByVal ReqQueueHandle As Long, ByVal RequestId As Currency, ByVal Flags As Long, pRequestBuffer As Any, ByVal RequestBufferLength As Long, pBytesReceived As Long, pOverlapped As Any) As Long" << classic;
        // rpcdce.h spells UTF-16 text RPC_WSTR, unsigned short *: "x As Integer" took no StrPtr.
        QTest::newRow("RpcBindingFromStringBindingW, RPC_WSTR by StrPtr") << "RpcBindingFromStringBindingW" << "Private Declare Function RpcBindingFromStringBindingW Lib \"rpcrt4\" (ByVal StringBinding As Long, Binding As Long) As Long" << classic;
        const int vba7 = CatalogueRecord::Vba7Declaration;
        QTest::newRow("VBA7 ldap_search_s: the session by address") << "ldap_search_s" << "Private Declare PtrSafe Function ldap_search_s Lib \"wldap32\" (ByVal ld As LongPtr, ByVal base_ As String, ByVal scope As Long, ByVal filter As String, attrs As LongPtr, ByVal attrsonly As Long, res As LongPtr) As Long" << vba7;
        QTest::newRow("VBA7 DPA_Merge: by its ordinal") << "DPA_Merge" << "Private Declare PtrSafe Function DPA_Merge Lib \"comctl32\" Alias \"#11\" (ByVal hdpaDest As LongPtr, ByVal hdpaSrc As LongPtr, ByVal dwFlags As Long, ByVal pfnCompare As LongPtr, ByVal pfnMerge As LongPtr, ByVal lParam As LongPtr) As Long" << vba7;
        // In 64 bits these structures have a Type the classic form cannot lay out; a buffer
        // sized apart still goes As Any (the first call asks the size with ByVal 0&).
        QTest::newRow("VBA7 SetupDiGetDeviceInterfaceDetailW: the detail buffer As Any") << "SetupDiGetDeviceInterfaceDetailW" << "Private Declare PtrSafe Function SetupDiGetDeviceInterfaceDetailW Lib \"setupapi\" (ByVal DeviceInfoSet As LongPtr, DeviceInterfaceData As SP_DEVICE_INTERFACE_DATA, DeviceInterfaceDetailData As Any, ByVal DeviceInterfaceDetailDataSize As Long, RequiredSize As Long, DeviceInfoData As Any) As Long" << vba7;
        QTest::newRow("VBA7 FilterGetMessage: the message after its header") << "FilterGetMessage" << "Private Declare PtrSafe Function FilterGetMessage Lib \"fltlib\" (ByVal hPort As LongPtr, lpMessageBuffer As Any, ByVal dwMessageBufferSize As Long, lpOverlapped As Any) As Long" << vba7;
        QTest::newRow("VBA7 MagInitialize: the metadata witnesses the export") << "MagInitialize" << "Private Declare PtrSafe Function MagInitialize Lib \"magnification\" () As Long" << vba7;
        // 64-bit forms whose export mingw-w64's 64-bit import libraries lack: Wine's 64-bit
        // import library of webservices witnesses it, Microsoft's metadata xmllite's.
        QTest::newRow("VBA7 WsCreateHeap: witnessed by Wine's 64-bit import library") << "WsCreateHeap" << "Private Declare PtrSafe Function WsCreateHeap Lib \"webservices\" (ByVal maxSize As LongPtr, ByVal trimSize As LongPtr, properties As Any, ByVal propertyCount As Long, heap As LongPtr, ByVal error_ As LongPtr) As Long" << vba7;
        QTest::newRow("VBA7 CreateXmlReader: witnessed by the metadata") << "CreateXmlReader" << "Private Declare PtrSafe Function CreateXmlReader Lib \"xmllite\" (riid As GUID, ppvObject As LongPtr, ByVal pMalloc As LongPtr) As Long" << vba7;
        // The metadata types these void *: chakra's values (JsRef), certadm's backup context,
        // the device host's requestor; the TraceV functions' va_list it types as text.
        QTest::newRow("VBA7 JsAddRef: a JavaScript value by value") << "JsAddRef" << "Private Declare PtrSafe Function JsAddRef Lib \"chakra\" (ByVal ref As LongPtr, count As Long) As Long" << vba7;
        QTest::newRow("VBA7 CertSrvBackupClose: the backup context by value") << "CertSrvBackupClose" << "Private Declare PtrSafe Function CertSrvBackupClose Lib \"certadm\" (ByVal hbc As LongPtr) As Long" << vba7;
        QTest::newRow("VBA7 HdvReadGuestMemory: the requestor by value") << "HdvReadGuestMemory" << "Private Declare PtrSafe Function HdvReadGuestMemory Lib \"vmdevicehost\" (ByVal requestor As LongPtr, ByVal guestPhysicalAddress As LongLong, ByVal byteCount As Long, buffer As Any) As Long" << vba7;
        QTest::newRow("VBA7 PxeTraceV: the argument list by address") << "PxeTraceV" << "Private Declare PtrSafe Function PxeTraceV Lib \"wdspxe\" (ByVal hProvider As LongPtr, ByVal Severity As Long, ByVal pszFormat As LongPtr, ByVal Params As LongPtr) As Long" << vba7;
        // What the system handed out, given back by its address.
        QTest::newRow("VBA7 DrtDeleteDnsBootstrapResolver: the resolver DrtCreateDnsBootstrapResolver gave") << "DrtDeleteDnsBootstrapResolver" << "Private Declare PtrSafe Sub DrtDeleteDnsBootstrapResolver Lib \"drtprov\" (ByVal pResolver As LongPtr)" << vba7;
        QTest::newRow("VBA7 Decrypt: the transform GetCryptoTransform gave") << "Decrypt" << "Private Declare PtrSafe Function Decrypt Lib \"infocardapi\" (ByVal hCrypto As LongPtr, ByVal fOAEP As Long, ByVal cbInData As Long, pInData As Any, pcbOutData As Long, ppOutData As LongPtr) As Long" << vba7;
        QTest::newRow("VBA7 WHvCreatePartition: the partition handle written back") << "WHvCreatePartition" << "Private Declare PtrSafe Function WHvCreatePartition Lib \"winhvplatform\" (Partition As LongPtr) As Long" << vba7;
        // The metadata types these handles void * (As Any: Basic passed the variable's address);
        // computenetwork.h's HCN_NETWORK and the connection of ODBC's bulk copy are handles.
        QTest::newRow("VBA7 HcnCloseNetwork: a handle by value") << "HcnCloseNetwork" << "Private Declare PtrSafe Function HcnCloseNetwork Lib \"computenetwork\" (ByVal Network As LongPtr) As Long" << vba7;
        QTest::newRow("VBA7 bcp_batch: the ODBC connection by value") << "bcp_batch" << "Private Declare PtrSafe Function bcp_batch Lib \"odbcbcp\" (ByVal hdbc As LongPtr) As Long" << vba7;
        QTest::newRow("VBA7 SQLLinkedServers: the ODBC statement by value") << "SQLLinkedServers" << "Private Declare PtrSafe Function SQLLinkedServers Lib \"odbcbcp\" (ByVal hstmt As LongPtr) As Integer" << vba7;
        // A display surface and a signing context the system handed out, given back by address.
        QTest::newRow("VBA7 DCIBeginAccess: the surface DCICreatePrimary gave") << "DCIBeginAccess" << "Private Declare PtrSafe Function DCIBeginAccess Lib \"dciman32\" (ByVal pdci As LongPtr, ByVal x As Long, ByVal y As Long, ByVal dx As Long, ByVal dy As Long) As Long" << vba7;
        QTest::newRow("VBA7 CryptUIWizFreeDigitalSignContext: the context the wizard gave") << "CryptUIWizFreeDigitalSignContext" << "Private Declare PtrSafe Function CryptUIWizFreeDigitalSignContext Lib \"cryptui\" (ByVal pSignContext As LongPtr) As Long" << vba7;
        // Six bytes of a MAC address, not a pointer to a pointer (the metadata's BYTE **).
        QTest::newRow("VBA7 WFDUpdateDeviceVisibility: the address's bytes") << "WFDUpdateDeviceVisibility" << "Private Declare PtrSafe Function WFDUpdateDeviceVisibility Lib \"wlanapi\" (pDeviceAddress As Any) As Long" << vba7;
        QTest::newRow("VBA7 ldap_value_free: the array ldap_get_values gave") << "ldap_value_free" << "Private Declare PtrSafe Function ldap_value_free Lib \"wldap32\" (ByVal vals As LongPtr) As Long" << vba7;
        // ICU's text is UTF-16 (the metadata's unsigned short *): by address, as StrPtr gives
        // it; UTF-8 and a converter's bytes, the first of a Byte array; its UBool * one byte.
        QTest::newRow("VBA7 u_strToUpper: UTF-16 text by address") << "u_strToUpper" << "Private Declare PtrSafe Function u_strToUpper Lib \"icu\" (ByVal dest As LongPtr, ByVal destCapacity As Long, ByVal src As LongPtr, ByVal srcLength As Long, ByVal locale As String, pErrorCode As Long) As Long" << vba7;
        QTest::newRow("VBA7 u_strFromUTF8: UTF-8 as bytes") << "u_strFromUTF8" << "Private Declare PtrSafe Function u_strFromUTF8 Lib \"icu\" (ByVal dest As LongPtr, ByVal destCapacity As Long, pDestLength As Long, src As Any, ByVal srcLength As Long, pErrorCode As Long) As LongPtr" << vba7;
        QTest::newRow("VBA7 ucurr_getName: a UBool written back, not text") << "ucurr_getName" << "Private Declare PtrSafe Function ucurr_getName Lib \"icu\" (ByVal currency_ As LongPtr, ByVal locale As String, ByVal nameStyle As Long, isChoiceFormat As Any, len_ As Long, ec As Long) As LongPtr" << vba7;
        QTest::newRow("VBA7 ucnv_toUnicode: the end of the bytes by address") << "ucnv_toUnicode" << "Private Declare PtrSafe Sub ucnv_toUnicode Lib \"icu\" (ByVal converter As LongPtr, target As LongPtr, ByVal targetLimit As LongPtr, source As LongPtr, ByVal sourceLimit As LongPtr, offsets As Long, ByVal flush As Byte, err As Long)" << vba7;
        QTest::newRow("VBA7 utext_openUChars: the text object by address, 0& for a new one") << "utext_openUChars" << "Private Declare PtrSafe Function utext_openUChars Lib \"icu\" (ByVal ut As LongPtr, ByVal s As LongPtr, ByVal length As LongLong, status As Long) As LongPtr" << vba7;
        // UCalendar, UNumberFormat, UTransliterator are typedefs of void *: the object by value.
        QTest::newRow("VBA7 ucal_close: the calendar by value") << "ucal_close" << "Private Declare PtrSafe Sub ucal_close Lib \"icu\" (ByVal cal As LongPtr)" << vba7;
        QTest::newRow("VBA7 u_vformatMessage: the argument list by address") << "u_vformatMessage" << "Private Declare PtrSafe Function u_vformatMessage Lib \"icu\" (ByVal locale As String, ByVal pattern As LongPtr, ByVal patternLength As Long, ByVal result As LongPtr, ByVal resultLength As Long, ByVal ap As LongPtr, status As Long) As Long" << vba7;
        QTest::newRow("VBA7 alljoyn_securityapplicationproxy_policy_destroy: the text AllJoyn gave") << "alljoyn_securityapplicationproxy_policy_destroy" << "Private Declare PtrSafe Sub alljoyn_securityapplicationproxy_policy_destroy Lib \"msajapi\" (ByVal policyXml As LongPtr)" << vba7;
        QTest::newRow("VBA7 MessageBox") << "MessageBox" << "Private Declare PtrSafe Function MessageBox Lib \"user32\" Alias \"MessageBoxA\" (ByVal hwnd As LongPtr, ByVal lpText As String, ByVal lpCaption As String, ByVal wType As Long) As Long" << vba7;
        QTest::newRow("VBA7 CopyMemory: SIZE_T") << "CopyMemory" << "Private Declare PtrSafe Sub CopyMemory Lib \"kernel32\" Alias \"RtlMoveMemory\" (Destination As Any, Source As Any, ByVal Length As LongPtr)" << vba7;
        QTest::newRow("VBA7 WindowFromPoint: a POINT of 8 bytes by value") << "WindowFromPoint" << "Private Declare PtrSafe Function WindowFromPoint Lib \"user32\" (ByVal Point As LongLong) As LongPtr" << vba7;
        QTest::newRow("VBA7 TrackPopupMenuEx: the classic form's names") << "TrackPopupMenuEx" << "Private Declare PtrSafe Function TrackPopupMenuEx Lib \"user32\" (ByVal hMenu As LongPtr, ByVal uFlags As Long, ByVal x As Long, ByVal y As Long, ByVal hwnd As LongPtr, lptpm As Any) As Long" << vba7;
        QTest::newRow("VBA7 AcceptSecurityContext: the first call's NULL context") << "AcceptSecurityContext" << "Private Declare PtrSafe Function AcceptSecurityContext Lib \"secur32\" (phCredential As Any, phContext As Any, pInput As Any, ByVal fContextReq As Long, ByVal TargetDataRep As Long, phNewContext As Any, pOutput As Any, pfContextAttr As Long, ptsExpiry As LongLong) As Long" << vba7;
        QTest::newRow("VBA7 HttpWebSocketClose: written, the handle a LongPtr") << "HttpWebSocketClose" << "Private Declare PtrSafe Function HttpWebSocketClose Lib \"wininet\" (ByVal hWebSocket As LongPtr, ByVal usStatus As Integer, pvReason As Any, ByVal dwReasonLength As Long) As Long" << vba7;
        QTest::newRow("VBA7 DhcpGetOptionValue: a structure written from the metadata, pointers LongPtr") << "DhcpGetOptionValue" << "Private Declare PtrSafe Function DhcpGetOptionValue Lib \"dhcpsapi\" (ByVal ServerIpAddress As LongPtr, ByVal OptionID As Long, ScopeInfo As DHCP_OPTION_SCOPE_INFO, OptionValue As LongPtr) As Long" << vba7;
        QTest::newRow("VBA7 ClusterOpenEnum: a handle to an incomplete structure") << "ClusterOpenEnum" << "Private Declare PtrSafe Function ClusterOpenEnum Lib \"clusapi\" (ByVal hCluster As LongPtr, ByVal dwType As Long) As LongPtr" << vba7;
        QTest::newRow("VBA7 GetWindowLongPtr: its own export in 64 bits") << "GetWindowLongPtr" << "Private Declare PtrSafe Function GetWindowLongPtr Lib \"user32\" Alias \"GetWindowLongPtrA\" (ByVal hWnd As LongPtr, ByVal nIndex As Long) As LongPtr" << vba7;
    }
    void wellKnownFunctions_areDeclaredAsBasicProgrammersDo()
    {
        QFETCH(QString, name);
        QFETCH(QString, declareLine);
        QFETCH(int, field);
        const CatalogueRecord *r = byName(name);
        QVERIFY2(r, qPrintable(name));
        QCOMPARE((*r)[field].split(QStringLiteral("\r\n")).last(), declareLine);
    }

    void workAreas_ofFunctionsWithoutAHeaderRule_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("area");
        // The metadata files ODBC and its bulk copy under Windows Search; dciman32's
        // namespace says nothing. Both fell to "system" before a rule placed them.
        QTest::newRow("bcp_init, ODBC's bulk copy: databases") << "bcp_init" << QStringLiteral("\u067e\u0627\u064a\u06af\u0627\u0647 \u062f\u0627\u062f\u0647");
        QTest::newRow("DCIOpenProvider, the display's memory: graphics") << "DCIOpenProvider" << QStringLiteral("\u06af\u0631\u0627\u0641\u064a\u06a9");
        // The Compression API compresses buffers, not files (the metadata: Storage).
        QTest::newRow("CreateCompressor, buffers compressed: data conversion, not files") << "CreateCompressor" << QStringLiteral("\u062a\u0628\u062f\u064a\u0644 \u062f\u0627\u062f\u0647 \u0647\u0627");
        // Gestures from pointer input and ink recognition take input; UI Automation is
        // accessibility, as MSAA (COM); mrmsupport's indexer builds resource files (the
        // metadata files all three under windows).
        QTest::newRow("ProcessInertiaInteractionContext, gestures: input") << "ProcessInertiaInteractionContext" << QStringLiteral("\u0635\u0641\u062d\u0647 \u06a9\u0644\u064a\u062f \u0648 \u0645\u0627\u0648\u0633");
        QTest::newRow("UiaGetPropertyValue, accessibility: COM") << "UiaGetPropertyValue" << QStringLiteral("COM \u0648 OLE");
        QTest::newRow("MrmIndexFile, resource files: resources") << "MrmIndexFile" << QStringLiteral("\u0645\u0646\u0627\u0628\u0639 \u0628\u0631\u0646\u0627\u0645\u0647");
        QTest::newRow("WinWatchOpen, the clip list of a window: graphics") << "WinWatchOpen" << QStringLiteral("\u06af\u0631\u0627\u0641\u064a\u06a9");
    }
    void workAreas_ofFunctionsWithoutAHeaderRule()
    {
        QFETCH(QString, name);
        QFETCH(QString, area);
        const CatalogueRecord *r = byName(name);
        QVERIFY2(r, qPrintable(name));
        QVERIFY2((*r)[R::WorkAreas].split(workAreaSeparator).contains(area), qPrintable((*r)[R::WorkAreas]));
    }

    void descriptions_keepTheirBackslashes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        // A backslash written once in the source files was read as an escape and lost:
        // "C:PROGRA~1", "cbNeeded  4", a carriage return in "en-US\resources".
        QTest::newRow("VerQueryValue, a version block's path") << "VerQueryValue" << "\"\\StringFileInfo\\040904B0\\CompanyName\"";
        QTest::newRow("EnumProcesses, Basic's integer division") << "EnumProcesses" << "cbNeeded \\ 4";
        QTest::newRow("WNetGetConnection, a UNC name") << "WNetGetConnection" << "\"\\\\Server\\Share\"";
        QTest::newRow("MrmIndexResourceContainerAutoQualifiers, a relative path") << "MrmIndexResourceContainerAutoQualifiers" << "en-US\\resources.resw";
    }
    void descriptions_keepTheirBackslashes()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        const CatalogueRecord *r = byName(name);
        QVERIFY2(r, qPrintable(name));
        QVERIFY2((*r)[R::Description].contains(text), qPrintable(text));
    }

    // The W half of a pair shares its A half's text; a structure named there is the W twin
    // its declaration takes (ExecuteCabW's CABINFOW, JetExternalRestoreW's JET_RSTMAP_W).
    void wideForms_nameTheirOwnStructures()
    {
        static const QRegularExpression typeLine(QStringLiteral("^Private Type (\\w+)"),
                                                 QRegularExpression::MultilineOption);
        QStringList faults;
        for (const CatalogueRecord &r : m_records) {
            const QString &name = r[R::FunctionName];
            if (!name.endsWith(u'W'))
                continue;
            QSet<QString> types;
            for (auto m = typeLine.globalMatch(r[R::Declaration] + QStringLiteral("\r\n") + r[R::Vba7Declaration]); m.hasNext();)
                types.insert(m.next().captured(1));
            for (const QString &t : std::as_const(types)) {
                if (!t.endsWith(u'W'))
                    continue;
                const QString ansi = t.chopped(1) + u'A';
                if (!types.contains(ansi) && QRegularExpression(QStringLiteral("\\b%1\\b").arg(ansi)).match(r[R::Description]).hasMatch())
                    faults << name + QStringLiteral(": ") + ansi;
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.mid(0, 10).join(u'\n')));
    }

    // A String passed ByVal to As Any goes as an ANSI copy: the W form of RegSetKeyValue,
    // SHGetValue or WriteConsole wants the Unicode characters, ByVal StrPtr(s). A W form's
    // text (often its A form's, shared) must not advise ByVal s for such a parameter.
    void wideForms_sendTheirTextByStrPtr()
    {
        static const QRegularExpression anyParameter(QStringLiteral("(?<!ByVal )\\b(\\w+) As Any\\b"));
        static const QRegularExpression byValString(QStringLiteral("رشته[^.؛]{0,25}ByVal|ByVal [^.؛]{0,10}رشته|ByVal s\\b"));
        // The request body is bytes in either form; ANSI text is one such body.
        const QStringList bodies = {QStringLiteral("HttpSendRequestW")};
        QStringList faults;
        for (const CatalogueRecord &r : m_records) {
            const QString &name = r[R::FunctionName];
            if (!name.endsWith(u'W') || r[R::Declaration].isEmpty() || bodies.contains(name))
                continue;
            QSet<QString> any;
            for (auto m = anyParameter.globalMatch(r[R::Declaration].section(QStringLiteral("\r\n"), -1)); m.hasNext();)
                any.insert(m.next().captured(1));
            for (const QString &line : r[R::Description].split(QStringLiteral("\r\n"))) {
                const QString parameter = line.section(u':', 0, 0);
                if (any.contains(parameter) && byValString.match(line).hasMatch() && !line.contains(QStringLiteral("StrPtr")))
                    faults << name + QStringLiteral(": ") + line.left(80);
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }

    // A W form that shared its A form's text called its own text ANSI: GetCommandLineW's
    // result "a pointer to an ANSI string" read with lstrlen, IsCharAlphaW's "ANSI
    // character" from Asc, ldap_get_dnW's name, UuidToStringW's text. A line of a W form's
    // text may speak of ANSI text only to contrast it with its A twin, named there, or to
    // warn that ByVal s sends an ANSI copy.
    void wideForms_doNotCallTheirOwnTextAnsi()
    {
        static const QRegularExpression ansiText(QStringLiteral("(رشته|رشته‌اي|رشته‌هاي|نويسه|نويسه‌اي) ANSI"));
        QStringList faults;
        for (const CatalogueRecord &r : m_records) {
            const QString &name = r[R::FunctionName];
            if (!name.endsWith(u'W'))
                continue;
            QStringList twins;
            for (const QString &twin : {name.chopped(1), QString(name.chopped(1) + u'A')}) {
                if (byName(twin))
                    twins << twin;
            }
            if (twins.isEmpty())
                continue;
            for (const QString &line : r[R::Description].split(QStringLiteral("\r\n"))) {
                if (!ansiText.match(line).hasMatch() || line.contains(QStringLiteral("ByVal s ")))
                    continue;
                const bool contrasted = std::any_of(twins.begin(), twins.end(), [&line](const QString &twin) {
                    return QRegularExpression(QStringLiteral("(?<![A-Za-z0-9_])%1(?![A-Za-z0-9_])").arg(twin)).match(line).hasMatch();
                });
                if (!contrasted)
                    faults << name + QStringLiteral(": ") + line.left(80);
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }

    void texts_sayWhatTheirDeclarationTakes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("notSaid");
        QTest::newRow("GetCommandLineW, read with lstrlenW") << "GetCommandLineW" << "lstrlenW" << "رشته ANSI";
        QTest::newRow("IsCharAlphaW, a code from AscW") << "IsCharAlphaW" << "AscW" << "نويسه ANSI";
        QTest::newRow("DdeCreateStringHandleW, the Unicode code page") << "DdeCreateStringHandleW" << "CP_WINUNICODE (1200)" << "CP_WINANSI (1004) براي رشته ANSI";
        QTest::newRow("AddRadiusServerW, not the A form") << "AddRadiusServerW" << "StrPtr" << "AddRadiusServerA (ANSI)";
        QTest::newRow("GdipGetLogFontW, a LOGFONTW") << "GdipGetLogFontW" << "LOGFONTW" << "LOGFONT (ANSI)";
        QTest::newRow("InsertMenuItemW, the String itself") << "InsertMenuItemW" << "StrPtr" << "vbFromUnicode";
        // Its ANSI form takes the text As Any (ByVal s); the W form's text pointed nowhere else.
        QTest::newRow("RpcBindingFromStringBindingW, StrPtr") << "RpcBindingFromStringBindingW" << "StrPtr" << "As Integer";
        // A text written for the classic form told "a Long variable" for a handle or
        // pointer that comes back, which the VBA7 form passes ByRef As LongPtr: 64-bit
        // Office refuses the Long (ByRef argument type mismatch). The text now says so
        // where it tells the Long; a Long told of a member of the structure pointed to
        // stays as it is.
        const QString inVba7 = QStringLiteral("Long (در VBA7 از نوع LongPtr)");
        QTest::newRow("BCryptCreateHash, a handle") << "BCryptCreateHash" << "phHash: متغير " + inVba7 << "متغير Long براي";
        QTest::newRow("CoCreateInstance, an interface") << "CoCreateInstance" << "ppv: متغير " + inVba7 << "متغير Long براي";
        QTest::newRow("ConvertSidToStringSid, a string's address") << "ConvertSidToStringSid" << "StringSid: متغير " + inVba7 << "متغير Long که";
        QTest::newRow("AVIMakeFileFromStreams, an array") << "AVIMakeFileFromStreams" << "آرايه " + inVba7 << "آرايه Long دستگيره";
        QTest::newRow("MprSetupProtocolEnum, a member's Long") << "MprSetupProtocolEnum" << "شناسه پروتکل (Long)" << "(Long (در VBA7";
        // The same of a Currency, the classic form's stand-in for 64 bits (its value the
        // number divided by 10000), where the VBA7 form takes a LongLong, the number itself.
        const QString longLong = QStringLiteral(" (در VBA7 از نوع LongLong، که خود عدد را نگه مي\u200cدارد)");
        QTest::newRow("GetFileSizeEx, a size") << "GetFileSizeEx" << "lpFileSize: متغير Currency" + longLong << "متغير Currency براي";
        QTest::newRow("NtCreateFile, after the Currency's parentheses") << "NtCreateFile" << "اندازه آغازين (Currency)" + longLong << "(Currency) يا";
    }
    void texts_sayWhatTheirDeclarationTakes()
    {
        QFETCH(QString, name);
        QFETCH(QString, said);
        QFETCH(QString, notSaid);
        const CatalogueRecord *r = byName(name);
        QVERIFY2(r, qPrintable(name));
        QVERIFY2((*r)[R::Description].contains(said), qPrintable(said));
        QVERIFY2(!(*r)[R::Description].contains(notSaid), qPrintable(notSaid));
    }

    void declarationsThatWouldFail_areNotShipped_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("library");
        // The metadata gives JsCreateRuntime jscript9.dll's parameters in chakra.dll, whose
        // function has one fewer.
        QTest::newRow("JsCreateRuntime, the older runtime's parameters") << "JsCreateRuntime" << "chakra";
        QTest::newRow("JsCreateContext, the older runtime's parameters") << "JsCreateContext" << "chakra";
        // vertdll.dll runs inside VBS enclaves; the metadata declares WaitOnAddress there too.
        QTest::newRow("WaitOnAddress, not from the enclave run time") << "WaitOnAddress" << "vertdll";
        QTest::newRow("EnclaveSealData, inside an enclave only") << "EnclaveSealData" << "vertdll";
        // Lib "windows.ui" is looked for as a file of extension ".ui".
        QTest::newRow("CreateControlInput, a DLL named with dots") << "CreateControlInput" << "windows.ui";
        // The metadata's JSON keeps no entry point: a comctl32 name no import library has may
        // be exported by ordinal alone.
        QTest::newRow("DSA_Sort, comctl32's on the metadata's word alone") << "DSA_Sort" << "comctl32";
        // netsh.exe exports these to its helper DLLs; there is no netsh.dll to load.
        QTest::newRow("MatchToken, netsh.exe's") << "MatchToken" << "netsh";
        // Variadic in their headers; the metadata drops the "...", so the values a pattern or
        // signature names could not be passed.
        QTest::newRow("u_formatMessage, variadic") << "u_formatMessage" << "icu";
        QTest::newRow("alljoyn_msgarg_set, variadic") << "alljoyn_msgarg_set" << "msajapi";
    }
    void declarationsThatWouldFail_areNotShipped()
    {
        QFETCH(QString, name);
        QFETCH(QString, library);
        const CatalogueRecord *r = byName(name);
        QVERIFY2(!r || (*r)[R::Library] != library, qPrintable(name + QStringLiteral(" in ") + library));
    }

    void workAreas_shutdownIsPowerOnlyForTheSystem_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("power");
        QTest::newRow("InitiateSystemShutdown, the system") << "InitiateSystemShutdown" << true;
        QTest::newRow("AbortSystemShutdown, the system") << "AbortSystemShutdown" << true;
        QTest::newRow("GdiplusShutdown, a library") << "GdiplusShutdown" << false;
        QTest::newRow("MFShutdown, a library") << "MFShutdown" << false;
        QTest::newRow("WinHttpWebSocketShutdown, a socket") << "WinHttpWebSocketShutdown" << false;
        QTest::newRow("HttpShutdownRequestQueue, a queue") << "HttpShutdownRequestQueue" << false;
        QTest::newRow("PeerDistShutdown, a session") << "PeerDistShutdown" << false;
    }
    void workAreas_shutdownIsPowerOnlyForTheSystem()
    {
        // The name rule for power once took every "Shutdown": GDI+'s, Media Foundation's and
        // a web socket's were filed under power management.
        QFETCH(QString, name);
        QFETCH(bool, power);
        const CatalogueRecord *r = byName(name);
        QVERIFY2(r, qPrintable(name));
        const QString powerArea = QStringLiteral("\u0645\u062f\u064a\u0631\u064a\u062a \u0627\u0646\u0631\u0698\u064a");
        QCOMPARE((*r)[R::WorkAreas].split(workAreaSeparator).contains(powerArea), power);
    }

    void unicodeForms_doNotCallThemselvesAnsi()
    {
        // A W form shares the text written for its A form; "(the ANSI version)" there would
        // be false (ReportIScsiTargetsW, ImmRequestMessageW, DsBindByInstanceW).
        static const QRegularExpression ansi(QStringLiteral("\\(\u0646\u0633\u062e\u0647 ANSI\\)|\u061b \u0646\u0633\u062e\u0647 ANSI\\."));
        QSet<QString> names;
        for (const CatalogueRecord &r : m_records)
            names.insert(r[R::FunctionName]);
        qsizetype wide = 0;
        for (const CatalogueRecord &r : m_records) {
            const QString &name = r[R::FunctionName];
            if (!name.endsWith(u'W') || (!names.contains(name.chopped(1) + u'A') && !names.contains(name.chopped(1))))
                continue;
            ++wide;
            QVERIFY2(!ansi.match(r[R::Description]).hasMatch(), qPrintable(name));
        }
        QVERIFY(wide > 1000);
        const CatalogueRecord *targets = byName(QStringLiteral("ReportIScsiTargetsW"));
        QVERIFY(targets);
        QVERIFY((*targets)[R::Description].contains(QStringLiteral("(\u0646\u0633\u062e\u0647 \u064a\u0648\u0646\u064a\u06a9\u062f)")));
    }

    void driverFunctions_stayOut()
    {
        // gdi32 exports what display drivers call (winddi.h); the metadata declares them too,
        // but no program calls them.
        for (const char *name : {"EngLoadModule", "EngCreateBitmap", "EngMarkBandingSurface"})
            QVERIFY2(!byName(QString::fromLatin1(name)), name);
        QVERIFY(byName(QStringLiteral("GdiPlayPageEMF"))); // what print processors call stays
    }

    void structures_travelWithTheirTypeBlocks()
    {
        // FindFirstFile names its structure and must carry it, and FILETIME, which it holds, first.
        const CatalogueRecord *r = byName(QStringLiteral("FindFirstFile"));
        QVERIFY(r);
        const Declaration d = parseDeclaration((*r)[R::Declaration]);
        QVERIFY2(d.error.isEmpty(), qPrintable(d.error));
        QCOMPARE(d.typeNames, QStringList({"FILETIME", "WIN32_FIND_DATA"}));
        QVERIFY((*r)[R::Declaration].contains(QStringLiteral("    cFileName As String * 260\r\n")));
        // A union written from the metadata is laid out as its largest member, and the
        // structure holding it follows the Type of that member.
        const CatalogueRecord *option = byName(QStringLiteral("DhcpGetOptionValue"));
        QVERIFY(option);
        const Declaration od = parseDeclaration((*option)[R::Declaration]);
        QVERIFY2(od.error.isEmpty(), qPrintable(od.error));
        QCOMPARE(od.typeNames, QStringList({"DHCP_RESERVED_SCOPE", "DHCP_OPTION_SCOPE_INFO"}));
        // In 64 bits the union is a pointer's eight bytes, in 32 bits the reserved scope's:
        // 32-bit Office takes the classic form.
        QVERIFY(FunctionFacts::onlyIn64Bits((*option)[R::Vba7Declaration], (*option)[R::Declaration]));
        // GetIScsiSessionList writes the names after the sessions and their addresses into
        // the members: Long, not String, and 8-byte alignment made explicit for Basic.
        const CatalogueRecord *sessions = byName(QStringLiteral("GetIScsiSessionList"));
        QVERIFY(sessions);
        QVERIFY((*sessions)[R::Declaration].contains(QStringLiteral("    InitiatorName As Long\r\n")));
        QVERIFY((*sessions)[R::Declaration].contains(QStringLiteral("    Padding1(0 To 3) As Byte\r\n")));
        // A structure passed As Any because it may be NULL keeps its Type, in both forms.
        const CatalogueRecord *monitors = byName(QStringLiteral("EnumDisplayMonitors"));
        QVERIFY(monitors);
        for (const Declaration &m : {parseDeclaration((*monitors)[R::Declaration]), parseVba7Declaration((*monitors)[R::Vba7Declaration])}) {
            QVERIFY2(m.error.isEmpty(), qPrintable(m.error));
            QCOMPARE(m.typeNames, QStringList({"RECT"}));
        }
    }

    void exports_areInWine_orOnTheReviewedList()
    {
        // Wine implements the same DLLs independently: a name its DLL lacks is either a wrong
        // library or a reviewed exception in tools/catalogue/not-in-wine.tsv. VORN_WINE_DLLS,
        // folders separated by ":", replaces the folders of Debian's libwine.
        const QString chosen = qEnvironmentVariable("VORN_WINE_DLLS");
        const QStringList folders = !chosen.isEmpty() ? chosen.split(u':')
            : QStringList{"/usr/lib/i386-linux-gnu/wine/i386-windows", "/usr/lib/x86_64-linux-gnu/wine/i386-windows",
                          "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows"};
        if (std::none_of(folders.begin(), folders.end(), [](const QString &f) { return QFile::exists(f + QStringLiteral("/kernel32.dll")); }))
            QSKIP("Wine's DLLs are not installed (Debian package libwine): the exports are not compared with Wine");
        QHash<QString, QString> listed; // "library!export" -> category
        for (const QStringList &row : readList(QStringLiteral("tools/catalogue/not-in-wine.tsv"))) {
            QVERIFY2(row.size() == 4 && !row[3].trimmed().isEmpty(), qPrintable(row.join(u'|')));
            listed.insert(row[0] + u'!' + row[1], row[2]);
        }
        QHash<QString, std::pair<std::optional<QSet<QString>>, bool>> dlls; // library -> exports, 64-bit
        QStringList problems;
        QSet<QString> used;
        for (const CatalogueRecord &r : m_records) {
            const Prototype p = m_prototypes.value(r[R::FunctionName]);
            const QString key = p.library + u'!' + p.exportName;
            if (!dlls.contains(p.library)) {
                const QString file = p.library.contains(u'.') ? p.library : p.library + QStringLiteral(".dll");
                const auto folder = std::find_if(folders.begin(), folders.end(), [&](const QString &f) { return QFile::exists(f + u'/' + file); });
                dlls.insert(p.library, folder == folders.end() ? std::pair(std::optional<QSet<QString>>(), false)
                                                                : std::pair(peExportNames(*folder + u'/' + file), folder->contains(QLatin1String("x86_64-windows"))));
            }
            const auto &[exports, is64] = dlls[p.library];
            const bool exported = exports && exports->contains(p.exportName);
            const QString category = listed.value(key);
            used.insert(key);
            if (exported && !category.isEmpty() && (category != QLatin1String("32-bit-only") || is64))
                problems << key + QStringLiteral(": Wine exports it, yet it is listed");
            else if (!exported && category.isEmpty())
                problems << key + QStringLiteral(": not exported by Wine and not listed");
            else if (!exported && category == QLatin1String("no-dll") && exports)
                problems << key + QStringLiteral(": listed as no-dll, but Wine has the DLL");
        }
        for (auto it = listed.cbegin(); it != listed.cend(); ++it) {
            if (!used.contains(it.key()))
                problems << it.key() + QStringLiteral(": listed, but not in the catalogue");
        }
        problems.sort();
        QVERIFY2(problems.isEmpty(), qPrintable(QString::number(problems.size()) + QStringLiteral(" problems:\n") + problems.mid(0, 20).join(u'\n')));
    }

    void exports_areInTheMetadatasDll_orOnTheReasonedList()
    {
        // Microsoft's metadata names the documented DLL of each export (data/catalogue/dlls.txt,
        // "-" where it lacks the export): a declaration names one of them, or its pair is in
        // tools/catalogue/metadata-dlls.tsv with the reason, in the category that fits.
        QHash<QString, QStringList> documented;
        for (const QStringList &row : readList(QStringLiteral("data/catalogue/dlls.txt"))) {
            QVERIFY2(row.size() == 2 && !documented.contains(row[0]), qPrintable(row.join(u'|')));
            documented.insert(row[0], row[1] == QLatin1String("-") ? QStringList() : row[1].split(u','));
        }
        QHash<QString, QString> listed; // "library!export" -> category
        for (const QStringList &row : readList(QStringLiteral("tools/catalogue/metadata-dlls.tsv"))) {
            QVERIFY2(row.size() == 4 && !row[3].trimmed().isEmpty(), qPrintable(row.join(u'|')));
            listed.insert(row[0] + u'!' + row[1], row[2]);
        }
        QStringList problems;
        QSet<QString> called;
        for (const CatalogueRecord &r : m_records) {
            const QString exportName = m_prototypes.value(r[R::FunctionName]).exportName, key = r[R::Library] + u'!' + exportName;
            const auto dlls = documented.constFind(exportName);
            called.insert(key);
            if (dlls == documented.cend())
                problems << key + QStringLiteral(": no line in dlls.txt");
            else if (dlls->contains(r[R::Library]) && listed.contains(key))
                problems << key + QStringLiteral(": in the metadata's DLL, yet it is listed");
            else if (!dlls->contains(r[R::Library]) && !listed.contains(key))
                problems << key + QStringLiteral(": the metadata has it in ") + (dlls->isEmpty() ? QStringLiteral("-") : dlls->join(u',')) + QStringLiteral(", not listed");
            else if (!dlls->contains(r[R::Library]) && listed.value(key) != (dlls->isEmpty() ? QLatin1String("not-in-metadata") : QLatin1String("other-dll")))
                problems << key + QStringLiteral(": listed as ") + listed.value(key);
        }
        for (auto it = listed.cbegin(); it != listed.cend(); ++it) {
            if (!called.contains(it.key()))
                problems << it.key() + QStringLiteral(": listed, but not in the catalogue");
        }
        problems.sort();
        QVERIFY2(problems.isEmpty(), qPrintable(QString::number(problems.size()) + QStringLiteral(" problems:\n") + problems.mid(0, 20).join(u'\n')));
    }

    // The report is written again byte for byte from the same inputs: it names the version
    // of each and carries no date.
    void report_namesEveryInputVersion_andNoDate()
    {
        QFile file(sourcePath(QStringLiteral("data/catalogue/REPORT.md")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString report = QString::fromUtf8(file.readAll());
        static const QRegularExpression date(QStringLiteral("\\b20\\d\\d-[01]\\d-[0-3]\\d\\b"));
        QVERIFY2(!date.match(report).hasMatch(), qPrintable(date.match(report).captured()));
        for (const char *input : {"mingw-w64-i686-dev 1", "mingw-w64-x86-64-dev 1", "gcc-mingw-w64-i686-win32 1",
                                  "gcc-mingw-w64-x86-64-win32 1", "python3-clang-14 (1", "Win32 metadata 3"})
            QVERIFY2(report.contains(QLatin1String(input)), input);
    }

    // A query typed into the description search and the area of work whose functions it
    // should find: at least 80% of the area's described functions (78% where the search rightly
    // leaves out a word that holds the query, کم‌حافظه, بي‌صدا), at most 15% of the catalogue.
    void descriptionSearch_findsTheAreaAndLittleElse_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("area");
        QTest::addColumn<double>("share");
        const auto row = [](const char *tag, const QString &query, const QString &area, double share = 0.8) {
            QTest::newRow(tag) << query << area << share;
        };
        row("file", "فايل", "فايل و پوشه");
        row("window", "پنجره", "پنجره ها");
        row("memory", "حافظه", "حافظه", 0.78);
        row("registry", "رجيستري", "رجيستري");
        row("menu", "منو", "منو");
        row("font", "فونت", "فونت");
        row("printing", "چاپ", "چاپ");
        row("clipboard, typed without ZWNJ", "کليپبورد", "کليپ بورد");
        row("services", "سرويس", "سرويس ها");
        row("console", "کنسول", "کنسول");
        row("icons", "آيکن", "آيکن و مکان نما");
        // Media Foundation and Video for Windows share the area; their video functions speak
        // of pictures (تصوير), not of sound, and so do Media Foundation's sensor groups and
        // its Direct3D sharing, and the Windows Media Format readers and writers (of media files).
        row("sound", "صدا", "صدا و چندرسانه اي", 0.46);
        row("time", "زمان", "زمان");
    }
    void descriptionSearch_findsTheAreaAndLittleElse()
    {
        QFETCH(QString, query);
        QFETCH(QString, area);
        QFETCH(double, share);
        Recordset recordset{std::vector<CatalogueRecord>(m_records)}; // the program's own search
        const QStringList found = CatalogueSearch::findNames(recordset, query, true);
        const QSet<QString> matched(found.begin(), found.end());
        qsizetype inArea = 0, areaSize = 0;
        for (const CatalogueRecord &r : m_records) {
            // A function not yet described has nothing for the search to find.
            if (r[R::Description] != placeholder && r[R::WorkAreas].split(workAreaSeparator).contains(area)) {
                ++areaSize;
                inArea += matched.contains(r[R::FunctionName]);
            }
        }
        const QString figures = QStringLiteral("%1: %2 of %3 in the area, %4 of %5 in all").arg(query).arg(inArea).arg(areaSize).arg(found.size()).arg(m_records.size());
        QVERIFY2(areaSize > 0 && found.size() <= 0.15 * double(m_records.size()) && inArea >= share * double(areaSize), qPrintable(figures));
    }

    // enums.tsv and params.tsv: every link names a catalogue function, one of its
    // declaration's parameters (or its result) and a family; every member is a constant.
    void parameterFamilies_linkOnlyToWhatExists()
    {
        const ConstantSource::ParseResult parsed = shippedConstants();
        QVERIFY2(parsed.errors.isEmpty(), qPrintable(parsed.errors.mid(0, 5).join(u'\n')));
        QHash<QString, const Constant *> constants;
        for (const Constant &c : parsed.table.constants) {
            constants.insert(c.name, &c);
            // A value the compilers did not compute carries the header "metadata".
            QVERIFY2(c.header.endsWith(QLatin1String(".h")) || c.header == QLatin1String("metadata"), qPrintable(c.name));
        }
        QVERIFY(constants.size() > 60000);
        QSet<QString> families;
        for (const QStringList &f : readList(QStringLiteral("data/catalogue/enums.tsv"))) {
            QVERIFY2(f.size() == 3 && (f[1] == QLatin1String("0") || f[1] == QLatin1String("1")), qPrintable(f.join(u'|')));
            families.insert(f[0]);
            for (const QString &member : f[2].split(u' '))
                QVERIFY2(constants.contains(member), qPrintable(f[0] + u' ' + member));
        }
        const QList<QStringList> links = readList(QStringLiteral("data/catalogue/params.tsv"));
        QVERIFY(links.size() > 1000);
        QHash<QString, const R *> records;
        for (const R &r : m_records)
            records.insert(r[R::FunctionName], &r);
        for (const QStringList &f : links) {
            QVERIFY2(f.size() == 4 && families.contains(f[2]), qPrintable(f.join(u'|')));
            const R *r = records.value(f[0]);
            QVERIFY2(r, qPrintable(f[0]));
            // A function with its VBA7 form alone names its parameters there.
            const QString line = (*r)[r->vba7Only() ? R::Vba7Declaration : R::Declaration].split(QStringLiteral("\r\n")).last();
            if (f[1].isEmpty())
                QVERIFY2(line.contains(QLatin1String("Declare Function")) || line.contains(QLatin1String("Declare PtrSafe Function")),
                         qPrintable(f[0]));
            else
                QVERIFY2(line.contains(QStringLiteral("ByVal %1 As ").arg(f[1])), qPrintable(f.join(u'|')));
        }
    }

    // A description's "NAME (value)", "NAME برابر value" or "A Or B (value)" gives the
    // value the Const table has, metadata constants included: a reader who pastes the
    // constant gets what the text promised (PORTRAIT is 0, a printer's orientation; the
    // display's is ORIENTATION_PREFERENCE_PORTRAIT, 2).
    void descriptionValues_equalTheConstTable()
    {
        const ConstantSource::ParseResult parsed = shippedConstants();
        QHash<QString, quint32> values;
        for (const Constant &c : parsed.table.constants) {
            if (!c.line.contains(QLatin1String(" As String")))
                values.insert(c.name, quint32(c.value));
        }
        const QString number = QStringLiteral("-?(?:&H[0-9A-Fa-f]+&?|0x[0-9A-Fa-f]+|[0-9]+)(?![0-9A-Za-z.])");
        const QString name = QStringLiteral("[A-Z][A-Z0-9]*(?:_[A-Z0-9]+)*");
        static const QRegularExpression pair(QStringLiteral("(?<![A-Za-z0-9_&])(%1(?:\\s*(?:Or|\\|)\\s*%1)*)(?:\\s*\\((%2(?:\\s*(?:Or|\\||\\+)\\s*%2)*)\\)|\\s+\u0628\u0631\u0627\u0628\u0631\\s+(%2))")
                                                 .arg(name, number));
        static const QRegularExpression joiner(QStringLiteral("\\s*(?:Or|\\||\\+)\\s*"));
        const auto read = [](QString text) -> quint32 {
            text = text.trimmed();
            if (text.endsWith(u'&'))
                text.chop(1);
            const bool negative = text.startsWith(u'-');
            if (negative)
                text.remove(0, 1);
            const bool hex = text.startsWith(QLatin1String("&H")) || text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
            const quint32 v = quint32(hex ? text.mid(2).toULongLong(nullptr, 16) : text.toULongLong(nullptr, 10));
            return negative ? quint32(0) - v : v;
        };
        QStringList wrong;
        qsizetype checked = 0;
        for (const R &r : m_records) {
            auto it = pair.globalMatch(r[R::Description]);
            while (it.hasNext()) {
                const QRegularExpressionMatch m = it.next();
                quint32 expected = 0;
                bool known = true;
                for (const QString &n : m.captured(1).split(joiner)) {
                    known = known && values.contains(n);
                    expected |= values.value(n);
                }
                if (!known)
                    continue;
                ++checked;
                quint32 written = 0;
                for (const QString &part : (m.hasCaptured(2) && !m.captured(2).isEmpty() ? m.captured(2) : m.captured(3)).split(joiner))
                    written |= read(part);
                if (written != expected)
                    wrong << QStringLiteral("%1: %2 (%3), the table gives %4").arg(r[R::FunctionName], m.captured(1)).arg(written).arg(expected);
            }
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(QString::number(wrong.size()) + QStringLiteral(" values:\n") + wrong.mid(0, 10).join(u'\n')));
        QVERIFY2(checked > 5000, qPrintable(QString::number(checked)));
    }

    void parameterFamilies_wellKnownRows_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("file");
        QTest::newRow("MessageBox wType") << "MessageBox\twType\tMESSAGEBOX_STYLE\tmetadata" << "params";
        QTest::newRow("MessageBoxW uType") << "MessageBoxW\tuType\tMESSAGEBOX_STYLE\tmetadata" << "params";
        QTest::newRow("MessageBox result") << "MessageBox\t\tMESSAGEBOX_RESULT\tmetadata" << "params";
        QTest::newRow("CreateFile access") << "CreateFile\tdwDesiredAccess\tFILE_ACCESS_FLAGS\tmetadata" << "params";
        QTest::newRow("CreateFile share") << "CreateFile\tdwShareMode\tFILE_SHARE_MODE\tmetadata" << "params";
        QTest::newRow("CreateFile disposition") << "CreateFile\tdwCreationDisposition\tFILE_CREATION_DISPOSITION\tmetadata" << "params";
        QTest::newRow("CreateFile flags") << "CreateFile\tdwFlagsAndAttributes\tFILE_FLAGS_AND_ATTRIBUTES\tmetadata" << "params";
        QTest::newRow("ShowWindow") << "ShowWindow\tnCmdShow\tSHOW_WINDOW_CMD\tmetadata" << "params";
        QTest::newRow("SetWindowPos") << "SetWindowPos\twFlags\tSET_WINDOW_POS_FLAGS\tmetadata" << "params";
        QTest::newRow("ShellExecute (override)") << "ShellExecute\tnShowCmd\tSHOW_WINDOW_CMD\toverride" << "params";
        QTest::newRow("GetAsyncKeyState (override)") << "GetAsyncKeyState\tvKey\tVIRTUAL_KEY\toverride" << "params";
        QTest::newRow("SendMessage (override)") << "SendMessage\twMsg\tWINDOW_MESSAGE\toverride" << "params";
        QTest::newRow("MB_ family, 37, combines with Or")
            << "MESSAGEBOX_STYLE\t1\tMB_ABORTRETRYIGNORE MB_CANCELTRYCONTINUE MB_HELP MB_OK MB_OKCANCEL MB_RETRYCANCEL "
               "MB_YESNO MB_YESNOCANCEL MB_ICONHAND MB_ICONQUESTION MB_ICONEXCLAMATION MB_ICONASTERISK MB_USERICON "
               "MB_ICONWARNING MB_ICONERROR MB_ICONINFORMATION MB_ICONSTOP MB_DEFBUTTON1 MB_DEFBUTTON2 MB_DEFBUTTON3 "
               "MB_DEFBUTTON4 MB_APPLMODAL MB_SYSTEMMODAL MB_TASKMODAL MB_NOFOCUS MB_SETFOREGROUND MB_DEFAULT_DESKTOP_ONLY "
               "MB_TOPMOST MB_RIGHT MB_RTLREADING MB_SERVICE_NOTIFICATION MB_SERVICE_NOTIFICATION_NT3X MB_TYPEMASK "
               "MB_ICONMASK MB_DEFMASK MB_MODEMASK MB_MISCMASK" << "enums";
        QTest::newRow("CreateFile disposition, five, alone")
            << "FILE_CREATION_DISPOSITION\t0\tCREATE_NEW CREATE_ALWAYS OPEN_EXISTING OPEN_ALWAYS TRUNCATE_EXISTING" << "enums";
        // The metadata marks SHOW_WINDOW_CMD as flags; ShowWindow takes one command.
        QTest::newRow("ShowWindow's commands, one at a time") << "SHOW_WINDOW_CMD\t0" << "enums";
        QTest::newRow("string constant") << "SE_SHUTDOWN_NAME\t\tPrivate Const SE_SHUTDOWN_NAME As String = \"SeShutdownPrivilege\"" << "const-s";
        QTest::newRow("string constant, ANSI form") << "RICHEDIT_CLASS\t\tPrivate Const RICHEDIT_CLASS As String = \"RichEdit20A\"" << "const-r";
        QTest::newRow("richedit.h, computed by the compiler") << "EM_SETBKGNDCOLOR\t1091\tPrivate Const EM_SETBKGNDCOLOR As Long = 1091\tEM\trichedit.h" << "const-e";
        QTest::newRow("ntstatus.h") << "STATUS_INFO_LENGTH_MISMATCH\t-1073741820\tPrivate Const STATUS_INFO_LENGTH_MISMATCH As Long = &HC0000004&\tSTATUS\tntstatus.h" << "const-s";
        QTest::newRow("pdhmsg.h") << "PDH_MORE_DATA\t-2147481646\tPrivate Const PDH_MORE_DATA As Long = &H800007D2&\tPDH\tpdhmsg.h" << "const-p";
    }
    void parameterFamilies_wellKnownRows()
    {
        QFETCH(QString, row);
        QFETCH(QString, file);
        QFile f(sourcePath(QStringLiteral("data/catalogue/%1.tsv").arg(file)));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
        QVERIFY2(std::any_of(lines.begin(), lines.end(), [&](const QString &l) { return l.startsWith(row + u'\t') || l == row; }),
                 qPrintable(row));
    }

    void grammar_rejectsWhatBasicWouldNotCompile_data()
    {
        QTest::addColumn<QString>("text");
        const QString t = QStringLiteral("Private Type T\r\n    a As Long\r\nEnd Type\r\n\r\n");
        QTest::newRow("no Lib") << "Private Declare Function F (ByVal a As Long) As Long";
        QTest::newRow("Sub with result") << "Private Declare Sub F Lib \"k\" () As Long";
        QTest::newRow("Function without result") << "Private Declare Function F Lib \"k\" ()";
        QTest::newRow("undefined Type") << "Private Declare Function F Lib \"k\" (r As RECT) As Long";
        QTest::newRow("Type ByVal") << t + "Private Declare Function F Lib \"k\" (ByVal r As T) As Long";
        QTest::newRow("Type as result") << t + "Private Declare Function F Lib \"k\" () As T";
        QTest::newRow("name twice, other case") << "Private Declare Function F Lib \"k\" (ByVal a As Long, ByVal A As Long) As Long";
        QTest::newRow("parameter named as the function") << "Private Declare Function F Lib \"k\" (ByVal f As Long) As Long";
        QTest::newRow("block without End Type") << "Private Type T\r\n    a As Long\r\n\r\nPrivate Declare Function F Lib \"k\" (t As T) As Long";
        QTest::newRow("member of undefined type") << "Private Type T\r\n    p As POINT\r\nEnd Type\r\n\r\nPrivate Declare Function F Lib \"k\" (t As T) As Long";
        QTest::newRow("fixed length on a Long") << "Private Type T\r\n    a As Long * 4\r\nEnd Type\r\n\r\nPrivate Declare Sub F Lib \"k\" (t As T)";
        QTest::newRow("member twice") << "Private Type T\r\n    a As Long\r\n    A As Long\r\nEnd Type\r\n\r\nPrivate Declare Sub F Lib \"k\" (t As T)";
        QTest::newRow("Type defined twice") << t + t + "Private Declare Sub F Lib \"k\" (t As T)";
        QTest::newRow("VBA7 form without PtrSafe") << "<vba7>Private Declare Sub F Lib \"k\" ()";
    }
    void grammar_rejectsWhatBasicWouldNotCompile()
    {
        QFETCH(QString, text);
        QVERIFY(!(text.startsWith(QLatin1String("<vba7>")) ? parseVba7Declaration(text.mid(6)) : parseDeclaration(text)).error.isEmpty());
        const QString good = QStringLiteral("Private Type T\r\n    a(0 To 3) As String * 8\r\nEnd Type\r\n\r\n"
                                            "Private Declare Function F Lib \"k\" Alias \"G\" (t As T, ByVal b As Long) As Long");
        QVERIFY2(parseDeclaration(good).error.isEmpty(), "the grammar takes a good declaration");
        QVERIFY(parseVba7Declaration(QString(good).replace(QStringLiteral("Declare "), QStringLiteral("Declare PtrSafe "))).error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_CatalogueData)
#include "tst_cataloguedata.moc"
