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

// The declaration with every "Private" that stands as a word of its own turned into
// "Public". Inside a longer name ("GetPrivateProfileString") it stays: that name is what
// the library exports. "private" in small letters is not a Basic keyword here and stays.
QString publicDeclaration(const QString &declaration);

// "' " before every line of the description, its lines joined by CR LF; an empty
// description gives the single line "' ".
QString commentBlock(const QString &description);

// The whole module as text, every line ended by CR LF.
QString moduleText(const FunctionView &view, bool withDescription);

// The module as the bytes of the file: the text in Windows-1256.
QByteArray moduleBytes(const FunctionView &view, bool withDescription);

} // namespace ModuleExport
