#pragma once

#include <QString>

// The two layouts of a Basic declaration: as stored, or one parameter a line with Basic
// line continuations ("( _" and ", _", each followed by CR LF and three tabs).
namespace DeclarationLayout {

QString openingContinuation();   // "( _" CR LF TAB TAB TAB
QString separatorContinuation(); // ", _" CR LF TAB TAB TAB

// The continued layout: every "(" and then every ", " of the text get their continuation.
QString continued(const QString &text);
// The stored layout: every continuation text is turned back into "(" and ", ".
QString stored(const QString &text);

// continued(text) when wantContinued, else stored(text).
QString layOut(const QString &text, bool wantContinued);

} // namespace DeclarationLayout
