#include "output/ModuleExport.h"
#include "catalogue/DeclarationLayout.h"
#include "platform/Windows1256.h"
#include "platform/Texts.h"

#include <QTest>

namespace {

const QString tickDeclaration = QStringLiteral("Private Declare Function GetTickCount Lib \"kernel32\" () As Long");
const QByteArray tickHeader = "Attribute VB_Name = \"Api_GetTickCount\"\r\n' Created by Vorn\r\n";
const QByteArray tickPublic = "Public Declare Function GetTickCount Lib \"kernel32\" () As Long\r\n";

// Every CR is followed by LF and every LF follows a CR.
bool onlyCrLf(const QByteArray &bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes.at(i) == '\r' && (i + 1 >= bytes.size() || bytes.at(i + 1) != '\n'))
            return false;
        if (bytes.at(i) == '\n' && (i == 0 || bytes.at(i - 1) != '\r'))
            return false;
    }
    return true;
}

} // namespace

class tst_ModuleExport : public QObject
{
    Q_OBJECT

private slots:
    void dialogSettings()
    {
        QCOMPARE(ModuleExport::dialogFilter, QStringLiteral("Module File(*.bas)|*.bas|All Files(*.*)|*.*"));
        QCOMPARE(ModuleExport::defaultExtension, QStringLiteral("bas"));
    }

    void moduleName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("module");
        QTest::newRow("no spaces") << "GetTickCount" << "GetTickCount";
        QTest::newRow("one space") << "Get TickCount" << "Get_TickCount";
        QTest::newRow("every space") << " Get  Tick Count " << "_Get__Tick_Count_";
        QTest::newRow("a tab is not a space") << "Get\tTick" << "Get\tTick";
        QTest::newRow("empty") << "" << "";
    }

    void moduleName()
    {
        QFETCH(QString, name);
        QFETCH(QString, module);
        QCOMPARE(ModuleExport::moduleName(name), module);
    }

    // A "/" in a name was offered as the file name, which named a folder that is not there.
    void slashInName_offeredAFileNameThatFailed_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("file");
        QTest::newRow("slash") << "Get/Tick" << "Get_Tick";
        QTest::newRow("slash and space") << "a /b" << "a__b";
        QTest::newRow("backslash stays") << "a\\b" << "a\\b";
    }

    void slashInName_offeredAFileNameThatFailed()
    {
        QFETCH(QString, name);
        QFETCH(QString, file);
        QCOMPARE(ModuleExport::fileName(name), file);
    }

    void publicDeclaration_data()
    {
        QTest::addColumn<QString>("declaration");
        QTest::addColumn<QString>("expected");
        QTest::newRow("leading keyword") << tickDeclaration
                                         << "Public Declare Function GetTickCount Lib \"kernel32\" () As Long";
        QTest::newRow("twice, both") << "Private Declare Sub A Lib \"x\" (Private As Long)"
                                     << "Public Declare Sub A Lib \"x\" (Public As Long)";
        QTest::newRow("small letters stay") << "private Declare Sub A Lib \"x\" ()"
                                            << "private Declare Sub A Lib \"x\" ()";
        QTest::newRow("inside a name stays")
            << "Private Declare Function GetPrivateProfileString Lib \"kernel32\" Alias "
               "\"GetPrivateProfileStringA\" (ByVal lpApplicationName As String) As Long"
            << "Public Declare Function GetPrivateProfileString Lib \"kernel32\" Alias "
               "\"GetPrivateProfileStringA\" (ByVal lpApplicationName As String) As Long";
        QTest::newRow("name ending in it") << "Private Declare Sub IsPrivate Lib \"x\" ()"
                                           << "Public Declare Sub IsPrivate Lib \"x\" ()";
        QTest::newRow("underscore joins") << "Sub Private_ ()" << "Sub Private_ ()";
        QTest::newRow("digit joins") << "Private2 x" << "Private2 x";
        QTest::newRow("standing alone in quotes") << "Lib \"Private\"" << "Lib \"Public\"";
        QTest::newRow("after a continuation")
            << "Declare Sub A Lib \"x\" ( _\r\n\t\t\tPrivate As Long)"
            << "Declare Sub A Lib \"x\" ( _\r\n\t\t\tPublic As Long)";
        QTest::newRow("bare word") << "Private" << "Public";
        QTest::newRow("Persian letter joins") << QString::fromUtf8("Private\u0627 x") << QString::fromUtf8("Private\u0627 x");
        QTest::newRow("Arabic-Indic digit joins") << QString::fromUtf8("\u0661Private x") << QString::fromUtf8("\u0661Private x");
        QTest::newRow("letter beyond the plane joins") << QString::fromUtf8("\U0001D400Private x")
                                                       << QString::fromUtf8("\U0001D400Private x");
        QTest::newRow("symbol beyond the plane does not") << QString::fromUtf8("\U0001F600Private x")
                                                          << QString::fromUtf8("\U0001F600Public x");
        QTest::newRow("punctuation does not") << "x.Private-y" << "x.Public-y";
        QTest::newRow("nothing to change") << "Public Declare Sub A Lib \"x\" ()"
                                           << "Public Declare Sub A Lib \"x\" ()";
    }

    void publicDeclaration()
    {
        QFETCH(QString, declaration);
        QFETCH(QString, expected);
        QCOMPARE(ModuleExport::publicDeclaration(declaration), expected);
    }

    void commentBlock_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("block");
        QTest::newRow("empty") << "" << "' ";
        QTest::newRow("one line") << "a" << "' a";
        QTest::newRow("two lines") << "a\r\nb" << "' a\r\n' b";
        QTest::newRow("three lines") << "a\r\nb\r\nc" << "' a\r\n' b\r\n' c";
        QTest::newRow("trailing break") << "a\r\n" << "' a\r\n' ";
        QTest::newRow("lone line feed") << "a\nb" << "' a\r\n' b";
        QTest::newRow("lone carriage return") << "a\rb" << "' a\r\n' b";
        QTest::newRow("empty line inside") << "a\r\n\r\nb" << "' a\r\n' \r\n' b";
    }

    void commentBlock()
    {
        QFETCH(QString, description);
        QFETCH(QString, block);
        QCOMPARE(ModuleExport::commentBlock(description), block);
    }

    void withoutDescription_endsAfterTheDeclaration()
    {
        const FunctionView view{QStringLiteral("GetTickCount"), tickDeclaration, QStringLiteral("ignored")};
        QCOMPARE(ModuleExport::moduleBytes(view, false), tickHeader + tickPublic);
    }

    void nameWithSpaces_namesTheModuleWithUnderscores()
    {
        const FunctionView view{QStringLiteral("Get Tick Count"), tickDeclaration, QString()};
        QCOMPARE(ModuleExport::moduleBytes(view, false),
                 QByteArray("Attribute VB_Name = \"Api_Get_Tick_Count\"\r\n' Created by Vorn\r\n") + tickPublic);
    }

    // A catalogue name holding a line break wrote a header line cut by a bare LF (or CR):
    // the module's name ran into a line of its own, which a Basic IDE reads as code. A NUL
    // went into the header raw.
    void nameWithLineBreak_brokeTheHeaderLine_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("header");
        QTest::newRow("line feed") << "Get\nTick" << QByteArray("Attribute VB_Name = \"Api_Get_Tick\"\r\n");
        QTest::newRow("carriage return") << "Get\rTick" << QByteArray("Attribute VB_Name = \"Api_Get_Tick\"\r\n");
        QTest::newRow("both") << "Get\r\nTick\n" << QByteArray("Attribute VB_Name = \"Api_Get__Tick_\"\r\n");
        QTest::newRow("NUL") << QStringLiteral("Get") + QChar(0) + QStringLiteral("Tick")
                             << QByteArray("Attribute VB_Name = \"Api_Get_Tick\"\r\n");
    }

    void nameWithLineBreak_brokeTheHeaderLine()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, header);
        const FunctionView view{name, tickDeclaration, QStringLiteral("a")};
        for (const bool withDescription : {false, true}) {
            const QByteArray bytes = ModuleExport::moduleBytes(view, withDescription);
            QVERIFY2(onlyCrLf(bytes), bytes.toHex(' ').constData());
            QVERIFY(bytes.startsWith(QByteArray(header + "' Created by Vorn\r\n")));
        }
    }

    // A lone surrogate anywhere in a text (a damaged catalogue field) made the regular
    // expressions match nothing: the text was not cut into lines, so a lone LF or CR went
    // into the module, and "Private" stayed.
    void loneSurrogate_stoppedLineBreaksAndPublic()
    {
        const QString lone(QChar(0xD9D9));
        QCOMPARE(ModuleExport::lines(QStringLiteral("a\nb\rc") + lone),
                 QStringList({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c") + lone}));
        QCOMPARE(ModuleExport::publicDeclaration(QStringLiteral("Private Declare ") + lone + QStringLiteral(" Private")),
                 QStringLiteral("Public Declare ") + lone + QStringLiteral(" Public"));

        const FunctionView view{QStringLiteral("A"), QStringLiteral("Private Declare\nSub A") + lone,
                                lone + QStringLiteral("one\ntwo")};
        const QByteArray bytes = ModuleExport::moduleBytes(view, true);
        QVERIFY2(onlyCrLf(bytes), bytes.toHex(' ').constData());
        QCOMPARE(bytes, QByteArray("Attribute VB_Name = \"Api_A\"\r\n' Created by Vorn\r\n"
                                   "Public Declare\r\nSub A?\r\n\r\n\r\n\r\n' ?one\r\n' two\r\n"));
    }

    void twoLineDescription_givesTheLayoutOfSevenLines()
    {
        const FunctionView view{QStringLiteral("GetTickCount"), tickDeclaration,
                                Texts::mnuCopy0 + QStringLiteral("\r\n") + Texts::mnuCopy2};
        const QByteArray expected = tickHeader + tickPublic + "\r\n\r\n\r\n"
            + "' " + QByteArray::fromHex("98 81 ed 20 e4 c7 e3 20 ca c7 c8 da") + "\r\n"
            + "' " + QByteArray::fromHex("98 81 ed 20 ca e6 d6 ed cd c7 ca") + "\r\n";
        const QByteArray bytes = ModuleExport::moduleBytes(view, true);
        QCOMPARE(bytes, expected);

        const QList<QByteArray> lines = bytes.split('\n');
        QCOMPARE(lines.size(), 9); // eight lines and what follows the last line end
        QCOMPARE(lines.at(0), QByteArray("Attribute VB_Name = \"Api_GetTickCount\"\r"));
        QCOMPARE(lines.at(1), QByteArray("' Created by Vorn\r"));
        QVERIFY(lines.at(2).startsWith("Public Declare"));
        QCOMPARE(lines.at(3), QByteArray("\r"));
        QCOMPARE(lines.at(4), QByteArray("\r"));
        QCOMPARE(lines.at(5), QByteArray("\r"));
        QVERIFY(lines.at(6).startsWith("' "));
        QVERIFY(lines.at(7).startsWith("' "));
        QCOMPARE(lines.at(8), QByteArray());
    }

    void threeLineDescription_givesThreeCommentLines()
    {
        const FunctionView view{QStringLiteral("GetTickCount"), tickDeclaration,
                                QStringLiteral("one\r\ntwo\r\nthree")};
        QCOMPARE(ModuleExport::moduleBytes(view, true),
                 tickHeader + tickPublic + "\r\n\r\n\r\n' one\r\n' two\r\n' three\r\n");
    }

    void emptyDescription_fullSave_writesThreeEmptyLinesAndALoneApostrophe()
    {
        const FunctionView view{QStringLiteral("GetTickCount"), tickDeclaration, QString()};
        QCOMPARE(ModuleExport::moduleBytes(view, true), tickHeader + tickPublic + "\r\n\r\n\r\n' \r\n");
    }

    void privateTwice_bothBecomePublic()
    {
        const FunctionView view{QStringLiteral("A"), QStringLiteral("Private Declare Sub A Lib \"Private\" ()"),
                                QString()};
        QCOMPARE(ModuleExport::moduleBytes(view, false),
                 QByteArray("Attribute VB_Name = \"Api_A\"\r\n' Created by Vorn\r\n"
                            "Public Declare Sub A Lib \"Public\" ()\r\n"));
    }

    void getPrivateProfileString_keepsItsNameAndAlias()
    {
        const FunctionView view{
            QStringLiteral("GetPrivateProfileString"),
            QStringLiteral("Private Declare Function GetPrivateProfileString Lib \"kernel32\" Alias "
                           "\"GetPrivateProfileStringA\" (ByVal lpApplicationName As String, ByVal lpKeyName As "
                           "Any, ByVal lpDefault As String, ByVal lpReturnedString As String, ByVal nSize As Long, "
                           "ByVal lpFileName As String) As Long"),
            QString()};
        QCOMPARE(ModuleExport::moduleBytes(view, false),
                 QByteArray("Attribute VB_Name = \"Api_GetPrivateProfileString\"\r\n' Created by Vorn\r\n"
                            "Public Declare Function GetPrivateProfileString Lib \"kernel32\" Alias "
                            "\"GetPrivateProfileStringA\" (ByVal lpApplicationName As String, ByVal lpKeyName As "
                            "Any, ByVal lpDefault As String, ByVal lpReturnedString As String, ByVal nSize As "
                            "Long, ByVal lpFileName As String) As Long\r\n"));
    }

    void formattedDeclaration_isWrittenAsShown()
    {
        const FunctionView view{QStringLiteral("Beep"),
                                QStringLiteral("Private Declare Function Beep Lib \"kernel32\" ( _\r\n\t\t\t"
                                               "ByVal dwFreq As Long, _\r\n\t\t\tByVal dwDuration As Long) As Long"),
                                QString()};
        QCOMPARE(ModuleExport::moduleBytes(view, false),
                 QByteArray("Attribute VB_Name = \"Api_Beep\"\r\n' Created by Vorn\r\n"
                            "Public Declare Function Beep Lib \"kernel32\" ( _\r\n\t\t\tByVal dwFreq As Long, "
                            "_\r\n\t\t\tByVal dwDuration As Long) As Long\r\n"));
    }

    // Saved while the VBA7 form shows: both forms in the block that every Office and VB6
    // compile, Type blocks the two share ahead of it, the others inside their branches.
    void vba7Module_data()
    {
        QTest::addColumn<QString>("vba7");
        QTest::addColumn<QString>("classic");
        QTest::addColumn<QByteArray>("declaration");
        const QString beepClassic = QStringLiteral("Private Declare Function Beep Lib \"kernel32\" (ByVal dwFreq As Long, ByVal dwDuration As Long) As Long");
        const QString beepVba7 = QStringLiteral("Private Declare PtrSafe Function Beep Lib \"kernel32\" (ByVal dwFreq As Long, ByVal dwDuration As Long) As Long");
        QTest::newRow("no Types") << beepVba7 << beepClassic
            << QByteArray("#If VBA7 Then\r\n"
                          "    Public Declare PtrSafe Function Beep Lib \"kernel32\" (ByVal dwFreq As Long, ByVal dwDuration As Long) As Long\r\n"
                          "#Else\r\n"
                          "    Public Declare Function Beep Lib \"kernel32\" (ByVal dwFreq As Long, ByVal dwDuration As Long) As Long\r\n"
                          "#End If\r\n");
        const QString rect = QStringLiteral("Private Type RECT\r\n    Left As Long\r\n    Right As Long\r\nEnd Type");
        QTest::newRow("a Type both forms share") << rect + QStringLiteral("\r\n\r\nPrivate Declare PtrSafe Function GetWindowRect Lib \"user32\" (ByVal hWnd As LongPtr, lpRect As RECT) As Long")
            << rect + QStringLiteral("\r\n\r\nPrivate Declare Function GetWindowRect Lib \"user32\" (ByVal hWnd As Long, lpRect As RECT) As Long")
            << QByteArray("Public Type RECT\r\n    Left As Long\r\n    Right As Long\r\nEnd Type\r\n\r\n"
                          "#If VBA7 Then\r\n"
                          "    Public Declare PtrSafe Function GetWindowRect Lib \"user32\" (ByVal hWnd As LongPtr, lpRect As RECT) As Long\r\n"
                          "#Else\r\n"
                          "    Public Declare Function GetWindowRect Lib \"user32\" (ByVal hWnd As Long, lpRect As RECT) As Long\r\n"
                          "#End If\r\n");
        QTest::newRow("Types that differ go into the branches")
            << QStringLiteral("Private Type RECT\r\n    Left As Long\r\nEnd Type\r\n\r\nPrivate Type OP\r\n    hwnd As LongPtr\r\n    r As RECT\r\nEnd Type\r\n\r\n"
                              "Private Declare PtrSafe Function Op Lib \"shell32\" (lpOp As OP) As Long")
            << QStringLiteral("Private Type RECT\r\n    Left As Long\r\nEnd Type\r\n\r\nPrivate Type OP\r\n    hwnd As Long\r\n    r As RECT\r\nEnd Type\r\n\r\n"
                              "Private Declare Function Op Lib \"shell32\" (lpOp As OP) As Long")
            << QByteArray("Public Type RECT\r\n    Left As Long\r\nEnd Type\r\n\r\n"
                          "#If VBA7 Then\r\n"
                          "    Public Type OP\r\n        hwnd As LongPtr\r\n        r As RECT\r\n    End Type\r\n\r\n"
                          "    Public Declare PtrSafe Function Op Lib \"shell32\" (lpOp As OP) As Long\r\n"
                          "#Else\r\n"
                          "    Public Type OP\r\n        hwnd As Long\r\n        r As RECT\r\n    End Type\r\n\r\n"
                          "    Public Declare Function Op Lib \"shell32\" (lpOp As OP) As Long\r\n"
                          "#End If\r\n");
        // 32-bit Office 2010 and later compile the VBA7 branch too, and have no LongLong.
        QTest::newRow("LongLong only under Win64")
            << QStringLiteral("Private Declare PtrSafe Function QueryPerformanceCounter Lib \"kernel32\" (lpPerformanceCount As LongLong) As Long")
            << QStringLiteral("Private Declare Function QueryPerformanceCounter Lib \"kernel32\" (lpPerformanceCount As Currency) As Long")
            << QByteArray("#If Win64 Then\r\n"
                          "    Public Declare PtrSafe Function QueryPerformanceCounter Lib \"kernel32\" (lpPerformanceCount As LongLong) As Long\r\n"
                          "#Else\r\n"
                          "    Public Declare Function QueryPerformanceCounter Lib \"kernel32\" (lpPerformanceCount As Currency) As Long\r\n"
                          "#End If\r\n");
        QTest::newRow("formatted, continuations kept") << DeclarationLayout::continued(beepVba7) << DeclarationLayout::continued(beepClassic)
            << QByteArray("#If VBA7 Then\r\n"
                          "    Public Declare PtrSafe Function Beep Lib \"kernel32\" ( _\r\n    \t\t\tByVal dwFreq As Long, _\r\n    \t\t\tByVal dwDuration As Long) As Long\r\n"
                          "#Else\r\n"
                          "    Public Declare Function Beep Lib \"kernel32\" ( _\r\n    \t\t\tByVal dwFreq As Long, _\r\n    \t\t\tByVal dwDuration As Long) As Long\r\n"
                          "#End If\r\n");
        QTest::newRow("no VBA7 form: the note and the classic form") << Texts::noVba7Declaration << beepClassic
            << Windows1256::encode(Texts::noVba7Declaration + QStringLiteral("\r\n")
                                   + QStringLiteral("Public Declare Function Beep Lib \"kernel32\" (ByVal dwFreq As Long, ByVal dwDuration As Long) As Long\r\n"));
    }

    void vba7Module()
    {
        QFETCH(QString, vba7);
        QFETCH(QString, classic);
        QFETCH(QByteArray, declaration);
        const FunctionView view{QStringLiteral("Beep"), vba7, QStringLiteral("x"), classic};
        QCOMPARE(ModuleExport::moduleBytes(view, false),
                 QByteArray("Attribute VB_Name = \"Api_Beep\"\r\n' Created by Vorn\r\n") + declaration);
    }

    void unmappableCharacters_becomeQuestionMarks()
    {
        const FunctionView view{QStringLiteral("A"), QStringLiteral("Declare Sub A Lib \"x\" ()"),
                                QString(QChar(0x06CC)) + QStringLiteral("x") + QChar(0x263A)};
        QVERIFY(ModuleExport::moduleBytes(view, true).endsWith("\r\n' ?x?\r\n"));
    }

    void lineEnds_areCrLfOnly_data()
    {
        QTest::addColumn<QString>("declaration");
        QTest::addColumn<QString>("description");
        QTest::newRow("plain") << tickDeclaration << "a\r\nb";
        QTest::newRow("lone feeds") << "Declare Sub A Lib \"x\" ( _\n\t\t\tByVal a As Long)" << "a\nb\n";
        QTest::newRow("lone returns") << "Declare Sub A Lib \"x\" ( _\r\t\t\tByVal a As Long)" << "a\rb\r";
        QTest::newRow("mixed") << "a\r\n\nb\r" << "\n\r\r\n";
    }

    void lineEnds_areCrLfOnly()
    {
        QFETCH(QString, declaration);
        QFETCH(QString, description);
        const FunctionView view{QStringLiteral("A"), declaration, description};
        for (const bool withDescription : {false, true}) {
            const QByteArray bytes = ModuleExport::moduleBytes(view, withDescription);
            QVERIFY2(onlyCrLf(bytes), bytes.toHex(' ').constData());
            QVERIFY(bytes.endsWith("\r\n"));
        }
    }

    void everyDescriptionLine_isAComment()
    {
        // A line of the description that slipped out of the comment would be read as code.
        const FunctionView view{QStringLiteral("A"), QStringLiteral("Declare Sub A Lib \"x\" ()"),
                                QStringLiteral("one\ntwo\rthree\r\nfour")};
        const QString text = ModuleExport::moduleText(view, true);
        const QStringList lines = text.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.mid(6), QStringList({"' one", "' two", "' three", "' four", ""}));
    }

    void lines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty") << "" << QStringList({""});
        QTest::newRow("one") << "a" << QStringList({"a"});
        QTest::newRow("crlf") << "a\r\nb" << QStringList({"a", "b"});
        QTest::newRow("trailing") << "a\r\n" << QStringList({"a", ""});
        QTest::newRow("lf and cr") << "a\nb\rc" << QStringList({"a", "b", "c"});
        QTest::newRow("cr cr lf is two breaks") << "a\r\r\nb" << QStringList({"a", "", "b"});
    }

    void lines()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(ModuleExport::lines(text), lines);
    }
};

QTEST_APPLESS_MAIN(tst_ModuleExport)
#include "tst_moduleexport.moc"
