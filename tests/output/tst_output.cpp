#include "catalogue/DeclarationLayout.h"
#include "output/ClipboardCopy.h"
#include "output/ModuleExport.h"
#include "output/ModuleFile.h"
#include "output/PrintJob.h"
#include "platform/Texts.h"
#include "platform/Windows1256.h"
#include "support/FileSizeLimit.h"
#include "support/UnwritableFolder.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace {

const QString lone(QChar(0xD9D9)); // a lone surrogate, as a damaged catalogue field may hold
const QString tick = QStringLiteral("Private Declare Function GetTickCount Lib \"kernel32\" () As Long");
const QByteArray tickPublic = "Public Declare Function GetTickCount Lib \"kernel32\" () As Long\r\n";
QByteArray header(const char *module) { return "Attribute VB_Name = \"Api_" + QByteArray(module) + "\"\r\n' Created by Vorn\r\n"; }

// Every CR is followed by LF and every LF follows a CR.
bool onlyCrLf(const QByteArray &bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if ((bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n')) || (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')))
            return false;
    }
    return true;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

class tst_Output : public QObject
{
    Q_OBJECT

private slots:
    // The module's name and the file name a save offers; a "/" offered a file in a
    // folder that is not there.
    void moduleAndFileName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("module");
        QTest::addColumn<QString>("file");
        QTest::newRow("no spaces") << "GetTickCount" << "GetTickCount" << "GetTickCount";
        QTest::newRow("every space") << " Get  Tick Count " << "_Get__Tick_Count_" << "_Get__Tick_Count_";
        QTest::newRow("a tab is not a space") << "Get\tTick" << "Get\tTick" << "Get\tTick";
        QTest::newRow("empty") << "" << "" << "";
        QTest::newRow("slash") << "Get/Tick" << "Get/Tick" << "Get_Tick";
        QTest::newRow("slash and space") << "a /b" << "a_/b" << "a__b";
        QTest::newRow("backslash stays") << "a\\b" << "a\\b" << "a\\b";
    }
    void moduleAndFileName()
    {
        QFETCH(QString, name);
        QFETCH(QString, module);
        QFETCH(QString, file);
        QCOMPARE(ModuleExport::moduleName(name), module);
        QCOMPARE(ModuleExport::fileName(name), file);
    }

    void publicDeclaration_data()
    {
        QTest::addColumn<QString>("declaration");
        QTest::addColumn<QString>("expected");
        QTest::newRow("leading keyword") << tick << "Public Declare Function GetTickCount Lib \"kernel32\" () As Long";
        QTest::newRow("twice, both") << "Private Declare Sub A Lib \"x\" (Private As Long)" << "Public Declare Sub A Lib \"x\" (Public As Long)";
        QTest::newRow("small letters stay") << "private Declare Sub A Lib \"x\" ()" << "private Declare Sub A Lib \"x\" ()";
        QTest::newRow("inside a name stays") << "Private Declare Function GetPrivateProfileString Lib \"kernel32\" Alias \"GetPrivateProfileStringA\" ()"
                                             << "Public Declare Function GetPrivateProfileString Lib \"kernel32\" Alias \"GetPrivateProfileStringA\" ()";
        QTest::newRow("name ending in it") << "Private Declare Sub IsPrivate Lib \"x\" ()" << "Public Declare Sub IsPrivate Lib \"x\" ()";
        QTest::newRow("parameter PrivateData stays") << "Sub A (PrivateData As Long)" << "Sub A (PrivateData As Long)";
        QTest::newRow("underscore joins") << "Sub Private_ ()" << "Sub Private_ ()";
        QTest::newRow("digit joins") << "Private2 x" << "Private2 x";
        QTest::newRow("standing alone in quotes") << "Lib \"Private\"" << "Lib \"Public\"";
        QTest::newRow("after a continuation") << "Sub A ( _\r\n\t\t\tPrivate As Long)" << "Sub A ( _\r\n\t\t\tPublic As Long)";
        QTest::newRow("bare word") << "Private" << "Public";
        QTest::newRow("Persian letter joins") << "Private\u0627 x" << "Private\u0627 x";
        QTest::newRow("Arabic-Indic digit joins") << "\u0661Private x" << "\u0661Private x";
        QTest::newRow("letter beyond the plane joins") << "\U0001D400Private x" << "\U0001D400Private x";
        QTest::newRow("symbol beyond the plane does not") << "\U0001F600Private x" << "\U0001F600Public x";
        QTest::newRow("punctuation does not") << "x.Private-y" << "x.Public-y";
        QTest::newRow("nothing to change") << "Public Declare Sub A Lib \"x\" ()" << "Public Declare Sub A Lib \"x\" ()";
        // A lone surrogate made the regular expressions match nothing: "Private" stayed.
        QTest::newRow("lone surrogate") << "Private Declare " + lone + " Private" << "Public Declare " + lone + " Public";
    }
    void publicDeclaration()
    {
        QFETCH(QString, declaration);
        QFETCH(QString, expected);
        QCOMPARE(ModuleExport::publicDeclaration(declaration), expected);
    }

    // The bytes of a saved module; without the description it ends after the declaration.
    void moduleBytes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("declaration");
        QTest::addColumn<QString>("description");
        QTest::addColumn<bool>("withDescription");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("without description") << "GetTickCount" << tick << "ignored" << false << header("GetTickCount") + tickPublic;
        QTest::newRow("spaces in the name") << "Get Tick Count" << tick << "" << false << header("Get_Tick_Count") + tickPublic;
        QTest::newRow("two lines of Persian, three empty lines before")
            << "GetTickCount" << tick << Texts::mnuCopy0 + "\r\n" + Texts::mnuCopy2 << true
            << header("GetTickCount") + tickPublic + "\r\n\r\n\r\n' " + QByteArray::fromHex("98 81 ed 20 e4 c7 e3 20 ca c7 c8 da")
                   + "\r\n' " + QByteArray::fromHex("98 81 ed 20 ca e6 d6 ed cd c7 ca") + "\r\n";
        QTest::newRow("empty description, a lone apostrophe") << "GetTickCount" << tick << "" << true
                                                              << header("GetTickCount") + tickPublic + "\r\n\r\n\r\n' \r\n";
        QTest::newRow("empty line inside, CR CR LF two breaks") << "A" << "Sub A" << "a\r\n\r\nb\r\r\nc" << true
                                                              << header("A") + "Sub A\r\n\r\n\r\n\r\n' a\r\n' \r\n' b\r\n' \r\n' c\r\n";
        QTest::newRow("every description line a comment") << "A" << "Sub A" << "one\ntwo\rthree\r\nfour" << true
                                                           << header("A") + "Sub A\r\n\r\n\r\n\r\n' one\r\n' two\r\n' three\r\n' four\r\n";
        QTest::newRow("formatted, written as shown") << "Beep" << "Private Sub Beep ( _\r\n\t\t\tByVal a As Long)" << "" << false
                                                     << header("Beep") + "Public Sub Beep ( _\r\n\t\t\tByVal a As Long)\r\n";
        QTest::newRow("lone breaks in the declaration") << "A" << "Sub A ( _\n\t\t\ta, _\r\t\t\tb)" << "a\nb\n" << true
                                                        << header("A") + "Sub A ( _\r\n\t\t\ta, _\r\n\t\t\tb)\r\n\r\n\r\n\r\n' a\r\n' b\r\n' \r\n";
        QTest::newRow("unmappable characters") << "A" << "Sub A" << QString(QChar(0x06CC)) + "x" + QChar(0x263A) << true
                                               << header("A") + "Sub A\r\n\r\n\r\n\r\n' ?x?\r\n";
        QTest::newRow("lone surrogates") << "A" << "Private Declare\nSub A" + lone << lone + "one\ntwo" << true
                                         << header("A") + "Public Declare\r\nSub A?\r\n\r\n\r\n\r\n' ?one\r\n' two\r\n";
        // A name with a line break cut the header line with a bare LF or CR: the rest of
        // the name ran into a line of its own, which a Basic IDE reads as code. A NUL
        // ended the name early.
        QTest::newRow("line feed in the name") << "Get\nTick" << "Sub A" << "" << false << header("Get_Tick") + "Sub A\r\n";
        QTest::newRow("carriage return in the name") << "Get\rTick" << "Sub A" << "" << false << header("Get_Tick") + "Sub A\r\n";
        QTest::newRow("both in the name") << "Get\r\nTick\n" << "Sub A" << "" << false << header("Get__Tick_") + "Sub A\r\n";
        QTest::newRow("NUL in the name") << QStringLiteral("Get") + QChar(0) + "Tick" << "Sub A" << "" << false << header("Get_Tick") + "Sub A\r\n";
    }
    void moduleBytes()
    {
        QFETCH(QString, name);
        QFETCH(QString, declaration);
        QFETCH(QString, description);
        QFETCH(bool, withDescription);
        QFETCH(QByteArray, bytes);
        const FunctionView view{name, declaration, description};
        QCOMPARE(ModuleExport::moduleBytes(view, withDescription), bytes);
        const QByteArray other = ModuleExport::moduleBytes(view, !withDescription);
        QVERIFY2(onlyCrLf(other) && other.endsWith("\r\n"), other.toHex(' ').constData());
        QVERIFY((withDescription ? bytes : other).startsWith(withDescription ? other : bytes));
    }

    // Saved while the VBA7 form shows: both forms in the block that every Office and VB6
    // compile, Type blocks the two share ahead of it, the others inside their branches.
    void vba7Module_data()
    {
        QTest::addColumn<QString>("vba7");
        QTest::addColumn<QString>("classic");
        QTest::addColumn<QByteArray>("declaration");
        const QString beep = QStringLiteral("Function Beep Lib \"kernel32\" (ByVal dwFreq As Long, ByVal dwDuration As Long) As Long");
        const QString beepClassic = "Private Declare " + beep, beepVba7 = "Private Declare PtrSafe " + beep;
        QTest::newRow("no Types") << beepVba7 << beepClassic
            << "#If VBA7 Then\r\n    Public Declare PtrSafe " + beep.toLatin1() + "\r\n#Else\r\n    Public Declare " + beep.toLatin1() + "\r\n#End If\r\n";
        const QString rect = QStringLiteral("Private Type RECT\r\n    Left As Long\r\nEnd Type\r\n\r\n");
        QTest::newRow("a Type both forms share")
            << rect + "Private Declare PtrSafe Function W Lib \"user32\" (ByVal hWnd As LongPtr, lpRect As RECT) As Long"
            << rect + "Private Declare Function W Lib \"user32\" (ByVal hWnd As Long, lpRect As RECT) As Long"
            << QByteArray("Public Type RECT\r\n    Left As Long\r\nEnd Type\r\n\r\n#If VBA7 Then\r\n"
                          "    Public Declare PtrSafe Function W Lib \"user32\" (ByVal hWnd As LongPtr, lpRect As RECT) As Long\r\n#Else\r\n"
                          "    Public Declare Function W Lib \"user32\" (ByVal hWnd As Long, lpRect As RECT) As Long\r\n#End If\r\n");
        QTest::newRow("Types that differ go into the branches")
            << rect + "Private Type OP\r\n    hwnd As LongPtr\r\n    r As RECT\r\nEnd Type\r\n\r\nPrivate Declare PtrSafe Function Op Lib \"shell32\" (lpOp As OP) As Long"
            << rect + "Private Type OP\r\n    hwnd As Long\r\n    r As RECT\r\nEnd Type\r\n\r\nPrivate Declare Function Op Lib \"shell32\" (lpOp As OP) As Long"
            << QByteArray("Public Type RECT\r\n    Left As Long\r\nEnd Type\r\n\r\n#If VBA7 Then\r\n"
                          "    Public Type OP\r\n        hwnd As LongPtr\r\n        r As RECT\r\n    End Type\r\n\r\n"
                          "    Public Declare PtrSafe Function Op Lib \"shell32\" (lpOp As OP) As Long\r\n#Else\r\n"
                          "    Public Type OP\r\n        hwnd As Long\r\n        r As RECT\r\n    End Type\r\n\r\n"
                          "    Public Declare Function Op Lib \"shell32\" (lpOp As OP) As Long\r\n#End If\r\n");
        // A Type the forms share stood ahead of the block even when it held one that
        // differs, and so came before the Type it holds.
        QTest::newRow("a shared Type holding one that differs goes into the branches")
            << "Private Type IN\r\n    h As LongPtr\r\nEnd Type\r\n\r\nPrivate Type OUT\r\n    i As IN\r\nEnd Type\r\n\r\nPrivate Declare PtrSafe Sub S Lib \"a\" (o As OUT)"
            << "Private Type IN\r\n    h As Long\r\nEnd Type\r\n\r\nPrivate Type OUT\r\n    i As IN\r\nEnd Type\r\n\r\nPrivate Declare Sub S Lib \"a\" (o As OUT)"
            << QByteArray("#If VBA7 Then\r\n    Public Type IN\r\n        h As LongPtr\r\n    End Type\r\n\r\n    Public Type OUT\r\n        i As IN\r\n    End Type\r\n\r\n"
                          "    Public Declare PtrSafe Sub S Lib \"a\" (o As OUT)\r\n#Else\r\n    Public Type IN\r\n        h As Long\r\n    End Type\r\n\r\n"
                          "    Public Type OUT\r\n        i As IN\r\n    End Type\r\n\r\n    Public Declare Sub S Lib \"a\" (o As OUT)\r\n#End If\r\n");
        // 32-bit Office 2010 and later compile the VBA7 branch too, and have no LongLong.
        QTest::newRow("LongLong only under Win64") << "Private Declare PtrSafe Function Q Lib \"kernel32\" (c As LongLong) As Long"
            << "Private Declare Function Q Lib \"kernel32\" (c As Currency) As Long"
            << QByteArray("#If Win64 Then\r\n    Public Declare PtrSafe Function Q Lib \"kernel32\" (c As LongLong) As Long\r\n"
                          "#Else\r\n    Public Declare Function Q Lib \"kernel32\" (c As Currency) As Long\r\n#End If\r\n");
        // 32-bit Office would lay out the 64-bit Type with its Currency at 4; C has it at 8.
        QTest::newRow("a Type 32-bit Office lays out otherwise, under Win64")
            << "Private Type T\r\n    a As Long\r\n    b As Currency\r\nEnd Type\r\n\r\nPrivate Declare PtrSafe Sub S Lib \"a\" (t As T)"
            << "Private Type T\r\n    a As Long\r\n    Padding1(0 To 3) As Byte\r\n    b As Currency\r\nEnd Type\r\n\r\nPrivate Declare Sub S Lib \"a\" (t As T)"
            << QByteArray("#If Win64 Then\r\n    Public Type T\r\n        a As Long\r\n        b As Currency\r\n    End Type\r\n\r\n"
                          "    Public Declare PtrSafe Sub S Lib \"a\" (t As T)\r\n#Else\r\n    Public Type T\r\n        a As Long\r\n"
                          "        Padding1(0 To 3) As Byte\r\n        b As Currency\r\n    End Type\r\n\r\n    Public Declare Sub S Lib \"a\" (t As T)\r\n#End If\r\n");
        // 32-bit Windows has no GetWindowLongPtrA: 32-bit Office takes the classic form's GetWindowLongA.
        QTest::newRow("an export of 64-bit Windows only under Win64")
            << "Private Declare PtrSafe Function P Lib \"user32\" Alias \"GetWindowLongPtrA\" (ByVal hWnd As LongPtr) As LongPtr"
            << "Private Declare Function P Lib \"user32\" Alias \"GetWindowLongA\" (ByVal hWnd As Long) As Long"
            << QByteArray("#If Win64 Then\r\n    Public Declare PtrSafe Function P Lib \"user32\" Alias \"GetWindowLongPtrA\" (ByVal hWnd As LongPtr) As LongPtr\r\n"
                          "#Else\r\n    Public Declare Function P Lib \"user32\" Alias \"GetWindowLongA\" (ByVal hWnd As Long) As Long\r\n#End If\r\n");
        QTest::newRow("formatted, continuations kept") << DeclarationLayout::continued(beepVba7) << DeclarationLayout::continued(beepClassic)
            << QByteArray("#If VBA7 Then\r\n    Public Declare PtrSafe Function Beep Lib \"kernel32\" ( _\r\n        ByVal dwFreq As Long, _\r\n"
                          "        ByVal dwDuration As Long) As Long\r\n#Else\r\n    Public Declare Function Beep Lib \"kernel32\" ( _\r\n"
                          "        ByVal dwFreq As Long, _\r\n        ByVal dwDuration As Long) As Long\r\n#End If\r\n");
        QTest::newRow("no VBA7 form: the note and the classic form") << Texts::noVba7Declaration << beepClassic
            << Windows1256::encode(Texts::noVba7Declaration + "\r\nPublic Declare " + beep + "\r\n");
    }
    void vba7Module()
    {
        QFETCH(QString, vba7);
        QFETCH(QString, classic);
        QFETCH(QByteArray, declaration);
        const FunctionView view{QStringLiteral("Beep"), vba7, QStringLiteral("x"), classic};
        QCOMPARE(ModuleExport::moduleBytes(view, false), header("Beep") + declaration);
    }

    // A function that is cdecl in 32 bits, which 32-bit Basic cannot call, has its VBA7 form
    // alone: a saved module puts it under "#If Win64 Then" with no "#Else", in either view;
    // the classic view's note that says so goes ahead of it.
    void vba7OnlyModule_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("form");
        QTest::addColumn<QByteArray>("declaration");
        // As the catalogue has it.
        const QString search = QStringLiteral("Function ldap_search_s Lib \"wldap32\" (ByVal ld As LongPtr, ByVal base_ As String, ByVal scope As Long, "
                                              "ByVal filter As String, attrs As LongPtr, ByVal attrsonly As Long, res As LongPtr) As Long");
        const QString form = "Private Declare PtrSafe " + search;
        const QByteArray module = "#If Win64 Then\r\n    Public Declare PtrSafe " + search.toLatin1() + "\r\n#End If\r\n";
        QTest::newRow("VBA7 view") << form << form << module;
        QTest::newRow("classic view: the note, then the form") << Texts::noClassicDeclaration << form
            << Windows1256::encode(Texts::noClassicDeclaration) + "\r\n" + module;
        QTest::newRow("formatted, continuations kept") << DeclarationLayout::continued(form) << DeclarationLayout::continued(form)
            << QByteArray("#If Win64 Then\r\n    Public Declare PtrSafe Function ldap_search_s Lib \"wldap32\" ( _\r\n"
                          "        ByVal ld As LongPtr, _\r\n        ByVal base_ As String, _\r\n        ByVal scope As Long, _\r\n"
                          "        ByVal filter As String, _\r\n        attrs As LongPtr, _\r\n        ByVal attrsonly As Long, _\r\n"
                          "        res As LongPtr) As Long\r\n#End If\r\n");
    }
    void vba7OnlyModule()
    {
        QFETCH(QString, shown);
        QFETCH(QString, form);
        QFETCH(QByteArray, declaration);
        FunctionView view{QStringLiteral("ldap_search_s"), shown, QStringLiteral("x")};
        view.vba7OnlyDeclaration = form;
        QCOMPARE(ModuleExport::moduleBytes(view, false), header("ldap_search_s") + declaration);
        // The same block for the command line's --both, from the catalogue's two fields.
        if (shown == form && !form.contains(u'\n'))
            QCOMPARE(Windows1256::encode(ModuleExport::publicDeclaration(ModuleExport::conditionalDeclaration(form, QString())) + "\r\n"),
                     declaration);
    }

    // What each Copy command puts on the clipboard: the name, the declaration as shown,
    // the description; an index out of range nothing.
    void clipboardCopy()
    {
        const QString declaration = QStringLiteral("Declare Function Beep ( _\r\n\t\t\tByVal a As Long)");
        for (const QString &description : {QStringLiteral("line one\r\nline two"), QString()}) {
            const FunctionView view{QStringLiteral("Beep"), declaration, description};
            const QList<std::optional<QString>> copied{ClipboardCopy::copiedText(view, -1), ClipboardCopy::copiedText(view, 0),
                                                       ClipboardCopy::copiedText(view, 1), ClipboardCopy::copiedText(view, 2),
                                                       ClipboardCopy::copiedText(view, 3)};
            QVERIFY(copied == QList<std::optional<QString>>({std::nullopt, QStringLiteral("Beep"), declaration, description, std::nullopt}));
        }
    }

    // A save into target (relative to a new folder) over an old file (none when null; a
    // folder of that name for "<dir>"), under a file size limit (0: none), in a folder that
    // takes no new file (locked 1: the old file writable, 2: read-only).
    void moduleFile_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QByteArray>("old");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<int>("locked");
        QTest::addColumn<qint64>("error");
        const QByteArray old("' the user's own module, longer than the shortest new one\r\n");
        const QByteArray module("Attribute VB_Name = \"Api_New\"\r\n\x98\x81\xed\r\n");
        QTest::newRow("new file holds exactly the bytes") << "m.bas" << QByteArray() << module << 0LL << 0 << 0LL;
        QTest::newRow("a longer file replaced whole") << "m.bas" << QByteArray(5000, 'x') << QByteArray("short\r\n") << 0LL << 0 << 0LL;
        QTest::newRow("no bytes, an empty file") << "m.bas" << old << QByteArray("") << 0LL << 0 << 0LL;
        QTest::newRow("missing folder, path not found") << "gone/m.bas" << QByteArray() << module << 0LL << 0 << 76LL;
        QTest::newRow("target is a folder") << "m.bas" << QByteArray("<dir>") << module << 0LL << 0 << 75LL;
        QTest::newRow("empty path") << "" << QByteArray() << module << 0LL << 0 << 75LL;
        // As on a full disk: the module goes into a file beside the target, which never
        // takes the target's place.
        QTest::newRow("past the file size limit") << "m.bas" << old << QByteArray(64 * 1024, 'x') << 4096LL << 0 << 57LL;
        // Smaller than the write buffer, it was written only when put in place; the failure
        // there went unnoticed and the piece that fitted replaced the user's file.
        QTest::newRow("small module past the limit replaced the file with a piece") << "m.bas" << old << QByteArray(180, 'x') << 100LL << 0 << 57LL;
        // In a folder taking no new file the save failed with error 75; it writes in place
        // now, and puts the old content back when the write does not fit.
        QTest::newRow("locked folder, written in place") << "m.bas" << old << module << 0LL << 1 << 0LL;
        QTest::newRow("locked folder, shorter") << "m.bas" << old << QByteArray("x") << 0LL << 1 << 0LL;
        QTest::newRow("locked folder, past the limit") << "m.bas" << old << QByteArray(64 * 1024, 'x') << 4096LL << 1 << 57LL;
        QTest::newRow("locked folder, read-only file") << "m.bas" << old << module << 0LL << 2 << 75LL;
    }
    void moduleFile()
    {
        QFETCH(QString, target);
        QFETCH(QByteArray, old);
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, limit);
        QFETCH(int, locked);
        QFETCH(qint64, error);
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("f"));
        QVERIFY(QDir().mkpath(folder));
        const QString path = target.isEmpty() ? QString() : folder + QLatin1Char('/') + target;
        if (old == "<dir>") {
            QVERIFY(QDir().mkpath(path));
        } else if (!old.isNull()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
            if (locked == 1) // writable by every user, in the folder that is not
                QVERIFY(file.setPermissions(QFile::Permissions(0x6666)));
        }
        ModuleFile::WriteResult result;
        {
            std::optional<UnwritableFolder> lock;
            if (locked) {
                lock.emplace(dir.path(), folder);
                if (!lock->isUnwritable())
                    QSKIP("the folder stays writable for this user");
            }
            std::optional<FileSizeLimit> sizeLimit;
            if (limit)
                QVERIFY(sizeLimit.emplace(limit).isSet());
            result = ModuleFile::write(path, bytes);
        }
        QCOMPARE(result.errorNumber, error);
        QCOMPARE(result.ok, error == 0);
        const QHash<qint64, QString> descriptions{{0, ""}, {57, "Device I/O error"}, {75, "Path/File access error"}, {76, "Path not found"}};
        QCOMPARE(result.errorDescription, descriptions.value(error));
        if (old == "<dir>")
            QVERIFY(QFileInfo(path).isDir());
        else if (!path.isEmpty() && (error == 0 || !old.isNull()))
            QCOMPARE(contentOf(path), error == 0 ? bytes : old);
        // Nothing is left beside the target, and a missing folder is not made.
        const QStringList left = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        QCOMPARE(left, path.isEmpty() || error == 76 ? QStringList() : QStringList{"m.bas"});
    }

    // A save killed half way left its new file beside the module for good. The next save
    // of that file removes it; the user's own files beside it stay.
    void killedSave_leftItsNewFile()
    {
        QTemporaryDir dir;
        for (const char *name : {"m.bas.new-0123456789abcdef0123456789abcdef", "m.bas.new-mine", "m.bas.old"})
            QVERIFY(QFile(dir.filePath(name)).open(QIODevice::WriteOnly));
        QVERIFY(ModuleFile::write(dir.filePath("m.bas"), "x").ok);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"m.bas", "m.bas.new-mine", "m.bas.old"}));
    }

    // The printed lines: C is the declaration's font left to right, T the description's
    // right to left.
    void printJob_data()
    {
        QTest::addColumn<QString>("declaration");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("declaration, two empty lines, description, not the name")
            << tick << Texts::mnuCopy0 + "\r\n" + Texts::mnuCopy2 << QStringList{"C" + tick, "C", "C", "T" + Texts::mnuCopy0, "T" + Texts::mnuCopy2};
        // Printed as shown: "Private" is not changed on paper; tabs go to the next stop.
        QTest::newRow("formatted declaration, one line per line") << "Private Sub B ( _\r\n\t\t\tByVal a As Long)" << "x"
            << QStringList{"CPrivate Sub B ( _", "C            ByVal a As Long)", "C", "C", "Tx"};
        QTest::newRow("empty view, still the frame") << "" << "" << QStringList{"C", "C", "C", "T"};
        QTest::newRow("tabs to the next stop of four") << "\t\t\tx" << "\tx\r\na\tx\r\nabc\tx\r\nabcd\tx\r\nab\t"
            << QStringList{"C            x", "C", "C", "T    x", "Ta   x", "Tabc x", "Tabcd    x", "Tab  "};
        QTest::newRow("lone breaks start new lines") << "a\nb" << "c\rd\r\n" << QStringList{"Ca", "Cb", "C", "C", "Tc", "Td", "T"};
    }
    void printJob()
    {
        QFETCH(QString, declaration);
        QFETCH(QString, description);
        QFETCH(QStringList, lines);
        QStringList got;
        for (const PrintJob::Line &l : PrintJob::lines({QStringLiteral("Name"), declaration, description})) {
            const bool c = l.fontName == QLatin1String("Courier New") && !l.rightToLeft;
            const bool t = l.fontName == QLatin1String("Tahoma") && l.rightToLeft;
            got << (c ? "C" : t ? "T" : "?") + l.text;
        }
        QCOMPARE(got, lines);
    }
};

QTEST_APPLESS_MAIN(tst_Output)
#include "tst_output.moc"
