#pragma once

#include "FunctionView.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The Basic module (.bas) that saving a function writes: a header naming the module after
// the function, a line naming the program, the declaration made public and, on request,
// the description as comment lines. Every line ends in CR LF, as a Basic IDE expects.
namespace ModuleExport {

// The save dialog's filter and the extension added to a name typed without one.
inline const QString dialogFilter = QStringLiteral("Module File(*.bas)|*.bas|All Files(*.*)|*.*");
inline const QString defaultExtension = QStringLiteral("bas");

inline const QString headerStart = QStringLiteral("Attribute VB_Name = \"Api_");
inline const QString createdBy = QStringLiteral("' Created by Vorn");
inline const QString commentStart = QStringLiteral("' ");
inline const QString lineEnd = QStringLiteral("\r\n");

// The function name with every space turned into "_", and every CR, LF and NUL too (a damaged catalogue may hold one): the module's name.
QString moduleName(const QString &functionName);

// The module name with every "/" turned into "_" as well: the file name the save and
// print dialogs start with.
QString fileName(const QString &functionName);

// The text cut into lines at every line break: CR LF, and a lone CR or LF as well.
// A text without a break is one line; an empty text is one empty line.
QStringList lines(const QString &text);

// The text with every line break, as lines() finds them, written CR LF.
QString withCrLf(QStringView text);
// The same appended to out, every line after the prefix unless it is empty.
void appendLines(QString &out, QStringView text, QStringView prefix = {});

// The declaration with every "Private" that stands as a word of its own turned into
// "Public". Inside a longer name ("GetPrivateProfileString") it stays: that name is what
// the library exports. "private" in small letters is not a Basic keyword here and stays.
QString publicDeclaration(const QString &declaration);

// "' " before every line of the description, its lines joined by CR LF; an empty
// description gives the single line "' ".
QString commentBlock(const QString &description);

// Both forms of a declaration in the conditional block that every Office and VB6 compile:
// "#If VBA7 Then", the VBA7 form, "#Else", the classic form, "#End If", each form indented
// by four spaces. Type blocks the two share stand once ahead of the block; the others go
// into their branches. A VBA7 form for 64-bit Office only (with LongLong, which 32-bit
// VBA7 lacks, or calling an export that only 64-bit Windows has, as GetWindowLongPtrA) is
// chosen by "#If Win64 Then" instead, so that 32-bit Office takes the classic form. Without a
// classic form (cdecl in 32 bits, or in a 64-bit import library only) the VBA7 form stands under
// "#If Win64 Then" alone, with no "#Else".
QString conditionalDeclaration(const QString &vba7, const QString &classic);

// The same for forms already cut into blocks (Type blocks, declarations). A block stands
// ahead of the conditional block only where both forms have it and every Type it uses
// stands there too: a Type holding one that differs between the forms would otherwise
// come before the Type it holds. only64: "#If Win64 Then" instead of "#If VBA7 Then".
// No classic blocks: no "#Else" either.
QString conditionalBlocks(const QStringList &vba7Blocks, const QStringList &classicBlocks, bool only64);
// The same appended to out, every line break written CR LF.
void appendConditionalBlocks(QString &out, const QStringList &vba7Blocks, const QStringList &classicBlocks, bool only64);

// The name a Type block declares ("Private Type RECT ..." gives "RECT"); empty for a
// block that declares no Type.
QString typeName(const QString &block);

// The names that follow "As" in a block: the Types (and built-in types) it uses.
QStringList typesUsed(const QString &block);

// The whole module as text, every line ended by CR LF. With a classic declaration in the
// view, the declaration is the conditional block of both forms; a function without a
// VBA7 form keeps the shown comment and the classic form. A function with its VBA7 form
// alone has that form under "#If Win64 Then", after the shown comment in the classic view.
QString moduleText(const FunctionView &view, bool withDescription);

// The module as the bytes of the file: the text in Windows-1256.
QByteArray moduleBytes(const FunctionView &view, bool withDescription);

} // namespace ModuleExport
