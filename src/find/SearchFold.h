#pragma once

#include <QString>
#include <QStringView>

// The one spelling that the description search compares: what a keyboard, an older text
// or a habit writes in several ways comes out the same.
namespace SearchFold {

// Lower case; the Arabic and Persian yehs and kafs as one, alef with madda or hamza as
// alef, teh marbuta and heh with hamza as heh, hamza on waw or yeh as the bare letter;
// tatweel, diacritics, stand-alone hamza and invisible marks dropped; Persian and
// Arabic-Indic digits as Latin ones; a run of white space or control characters as one
// blank, but a line break kept as "\n" (a line ends a sentence).
// In a description a zero-width non-joiner joins: "بيت‌مپ" folds as "بيتمپ".
QString text(QStringView text);
// The same for what the user types, where a zero-width non-joiner parts words as a blank
// does: "بيت‌مپ" folds as "بيت مپ".
QString query(QStringView text);

// Whether the folded word holds a Persian (Arabic-script) letter: such a word is matched
// as a whole word, any other as a piece of text.
bool isPersian(QStringView word);

} // namespace SearchFold
