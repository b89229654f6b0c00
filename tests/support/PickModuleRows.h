#pragma once

#include "catalogue/ConstantTable.h"
#include "platform/Texts.h"
#include "platform/Windows1256.h"
#include "support/TestCatalogue.h"

#include <QTest>

// A small catalogue and the exact modules made of it, shared by the module builder's test
// and the command line's, which must write the same bytes.
namespace PickModuleRows {

inline const QString point = QStringLiteral("Private Type POINT\r\n    x As Long\r\n    y As Long\r\nEnd Type");
inline const QString gap = QStringLiteral("\r\n\r\n");

inline std::vector<CatalogueRecord> records()
{
    const QString msg = QStringLiteral("Private Type MSG\r\n    hwnd As %1\r\n    pt As POINT\r\nEnd Type");
    const QString cursor = QStringLiteral("Function GetCursorPos Lib \"user32\" (lpPoint As POINT) As Long");
    const QString client = QStringLiteral("Function ClientToScreen Lib \"user32\" (ByVal hWnd As %1, lpPoint As POINT) As Long");
    const QString peek = QStringLiteral("Function PeekMessage Lib \"user32\" Alias \"PeekMessageA\" (lpMsg As MSG, ByVal hWnd As %1) As Long");
    const QString counter = QStringLiteral("Function QueryPerformanceCounter Lib \"kernel32\" (lpPerformanceCount As %1) As Long");
    return {
        record("GetCursorPos", point + gap + "Private Declare " + cursor, "user32", "", "Where the pointer is.",
               point + gap + "Private Declare PtrSafe " + cursor),
        record("ClientToScreen", point + gap + "Private Declare " + client.arg("Long"), "user32", "", "",
               point + gap + "Private Declare PtrSafe " + client.arg("LongPtr")),
        // The Type that holds another stored first, as a hand-edited catalogue may have it.
        record("PeekMessage", msg.arg("Long") + gap + point + gap + "Private Declare " + peek.arg("Long"), "user32", "", "",
               msg.arg("LongPtr") + gap + point + gap + "Private Declare PtrSafe " + peek.arg("LongPtr")),
        record("QueryPerformanceCounter", "Private Declare " + counter.arg("Currency"), "kernel32", "", "",
               "Private Declare PtrSafe " + counter.arg("LongLong")),
        record("GetVersion", "Private Declare Function GetVersion Lib \"kernel32\" () As Long", "kernel32", "",
               "Line one\r\nline two"),
        // cdecl in 32 bits: the VBA7 form alone.
        record("ldap_unbind", "", "wldap32", "", "Ends the session.",
               "Private Declare PtrSafe Function ldap_unbind Lib \"wldap32\" (ByVal ld As LongPtr) As Long"),
    };
}

inline ConstantTable constants()
{
    ConstantTable table;
    table.constants = {{"SW_HIDE", "Private Const SW_HIDE As Long = 0", 0, "SW", "winuser.h", "hides"},
                       {"WM_CLOSE", "Private Const WM_CLOSE As Long = &H10", 16, "WM", "winuser.h", ""},
                       {"WM_QUIT", "Private Const WM_QUIT As Long = &H12", 18, "WM", "winuser.h", ""}};
    return table;
}

enum Form { Classic, Vba7, Both }; // as PickModule::Form

// Columns: the functions, constants and families named (in that order), the form, Private,
// comments, and the module's bytes.
inline void addRows()
{
    QTest::addColumn<QStringList>("functions");
    QTest::addColumn<QStringList>("constants");
    QTest::addColumn<QStringList>("families");
    QTest::addColumn<int>("form");
    QTest::addColumn<bool>("isPrivate");
    QTest::addColumn<bool>("comments");
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray head = "Attribute VB_Name = \"ApiDeclarations\"\r\n' Created by Vorn\r\n\r\n";
    const QByteArray point = "Public Type POINT\r\n    x As Long\r\n    y As Long\r\nEnd Type\r\n\r\n";
    const QByteArray cursor = "Function GetCursorPos Lib \"user32\" (lpPoint As POINT) As Long\r\n";
    const QByteArray client = "Function ClientToScreen Lib \"user32\" (ByVal hWnd As Long, lpPoint As POINT) As Long\r\n";
    const QByteArray client64 = "Function ClientToScreen Lib \"user32\" (ByVal hWnd As LongPtr, lpPoint As POINT) As Long\r\n";
    QTest::newRow("two functions share a Type, one named twice")
        << QStringList{"GetCursorPos", "ClientToScreen", "getcursorpos"} << QStringList() << QStringList() << int(Classic)
        << false << false << head + point + "Public Declare " + cursor + "Public Declare " + client;
    QTest::newRow("a Type after the Type it holds")
        << QStringList{"PeekMessage", "GetCursorPos"} << QStringList() << QStringList() << int(Classic) << false << false
        << head + point + "Public Type MSG\r\n    hwnd As Long\r\n    pt As POINT\r\nEnd Type\r\n\r\n"
               "Public Declare Function PeekMessage Lib \"user32\" Alias \"PeekMessageA\" (lpMsg As MSG, ByVal hWnd As Long) As Long\r\n"
               "Public Declare " + cursor;
    // 32-bit Office 2010 and later take the VBA7 branch too, and have no LongLong.
    QTest::newRow("LongLong puts the block under Win64")
        << QStringList{"QueryPerformanceCounter", "GetCursorPos"} << QStringList() << QStringList() << int(Both) << false
        << false
        << head + point + "#If Win64 Then\r\n"
               "    Public Declare PtrSafe Function QueryPerformanceCounter Lib \"kernel32\" (lpPerformanceCount As LongLong) As Long\r\n"
               "    Public Declare PtrSafe " + cursor + "#Else\r\n"
               "    Public Declare Function QueryPerformanceCounter Lib \"kernel32\" (lpPerformanceCount As Currency) As Long\r\n"
               "    Public Declare " + cursor + "#End If\r\n";
    QTest::newRow("constants of two families, family by family")
        << QStringList() << QStringList{"WM_CLOSE", "SW_HIDE", "wm_quit"} << QStringList() << int(Classic) << false << false
        << head + "Public Const WM_CLOSE As Long = &H10\r\nPublic Const WM_QUIT As Long = &H12\r\n\r\n"
                  "Public Const SW_HIDE As Long = 0\r\n";
    QTest::newRow("Private, a whole family, one of it named too")
        << QStringList{"ClientToScreen"} << QStringList{"SW_HIDE", "WM_CLOSE"} << QStringList{"WM"} << int(Classic) << true << false
        << head + "Private Const SW_HIDE As Long = 0\r\n\r\nPrivate Const WM_CLOSE As Long = &H10\r\n"
                  "Private Const WM_QUIT As Long = &H12\r\n\r\n"
                  "Private Type POINT\r\n    x As Long\r\n    y As Long\r\nEnd Type\r\n\r\nPrivate Declare " + client;
    QTest::newRow("both forms, a Type that differs in the branches")
        << QStringList{"PeekMessage", "ClientToScreen"} << QStringList() << QStringList() << int(Both) << false << false
        << head + point + "#If VBA7 Then\r\n    Public Type MSG\r\n        hwnd As LongPtr\r\n        pt As POINT\r\n    End Type\r\n\r\n"
               "    Public Declare PtrSafe Function PeekMessage Lib \"user32\" Alias \"PeekMessageA\" (lpMsg As MSG, ByVal hWnd As LongPtr) As Long\r\n"
               "    Public Declare PtrSafe " + client64 + "#Else\r\n"
               "    Public Type MSG\r\n        hwnd As Long\r\n        pt As POINT\r\n    End Type\r\n\r\n"
               "    Public Declare Function PeekMessage Lib \"user32\" Alias \"PeekMessageA\" (lpMsg As MSG, ByVal hWnd As Long) As Long\r\n"
               "    Public Declare " + client + "#End If\r\n";
    // 32-bit Basic calls every Declare as stdcall: no classic form for a cdecl function, in
    // the classic module only the note under its name, in both forms no "#Else" twin.
    const QByteArray unbind = "Function ldap_unbind Lib \"wldap32\" (ByVal ld As LongPtr) As Long\r\n";
    QTest::newRow("classic, a function with the VBA7 form alone: the note")
        << QStringList{"ldap_unbind", "GetVersion"} << QStringList() << QStringList() << int(Classic) << false << false
        << head + "' ldap_unbind\r\n" + Windows1256::encode(Texts::noClassicDeclaration)
               + "\r\nPublic Declare Function GetVersion Lib \"kernel32\" () As Long\r\n";
    QTest::newRow("both forms, the VBA7 form alone under Win64 without a twin")
        << QStringList{"ldap_unbind", "GetCursorPos"} << QStringList() << QStringList() << int(Both) << false << true
        << head + point + "#If Win64 Then\r\n    ' Ends the session.\r\n    Public Declare PtrSafe " + unbind + "\r\n"
               "    ' Where the pointer is.\r\n    Public Declare PtrSafe " + cursor + "#Else\r\n"
               "    ' Where the pointer is.\r\n    Public Declare " + cursor + "#End If\r\n";
    QTest::newRow("both forms, only functions with the VBA7 form alone: no #Else")
        << QStringList{"ldap_unbind"} << QStringList() << QStringList() << int(Both) << false << false
        << head + "#If Win64 Then\r\n    Public Declare PtrSafe " + unbind + "#End If\r\n";
    QTest::newRow("VBA7 with comments, a function without a VBA7 form")
        << QStringList{"GetVersion", "GetCursorPos"} << QStringList{"SW_HIDE"} << QStringList() << int(Vba7) << false << true
        << head + "Public Const SW_HIDE As Long = 0 ' hides\r\n\r\n" + point + "' Line one\r\n' line two\r\n' GetVersion\r\n"
               + Windows1256::encode(Texts::noVba7Declaration) + "\r\n\r\n' Where the pointer is.\r\nPublic Declare PtrSafe " + cursor;
}

// The current row of the table.
struct Row
{
    QStringList functions, constants, families;
    int form = Classic;
    bool isPrivate = false, comments = false;
    QByteArray bytes;
};

inline Row currentRow()
{
    QFETCH(QStringList, functions);
    QFETCH(QStringList, constants);
    QFETCH(QStringList, families);
    QFETCH(int, form);
    QFETCH(bool, isPrivate);
    QFETCH(bool, comments);
    QFETCH(QByteArray, bytes);
    return {functions, constants, families, form, isPrivate, comments, bytes};
}

} // namespace PickModuleRows
