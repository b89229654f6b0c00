#pragma once

#include <QString>

// The two layouts of a Basic declaration: as stored, or one parameter a line with Basic
// line continuations ("( _" and ", _", each followed by CR LF and an indent of four
// spaces, the indent of a Type block's members, narrow enough for a parameter to fit the
// declaration box on its line).
namespace DeclarationLayout {

QString openingContinuation();   // "( _" CR LF and four spaces
QString separatorContinuation(); // ", _" CR LF and four spaces

// The continued layout: in every Declare statement (a line that starts, after Public,
// Private or Friend, with Declare) every "(" and then every ", " get their continuation.
// Other lines, a Type block's members with their array bounds among them, stay as they are.
QString continued(const QString &text);
// The stored layout: every continuation text is turned back into "(" and ", ".
QString stored(const QString &text);

// The number of the first line that is a Declare statement (from 0; CR LF, a lone CR
// and a lone LF each end a line), or -1 where none is.
qsizetype declareLine(const QString &text);

// continued(text) when wantContinued, else stored(text).
QString layOut(const QString &text, bool wantContinued);

} // namespace DeclarationLayout
