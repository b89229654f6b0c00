#pragma once

#include <QByteArrayView>

// How deep the containers of an HTML page nest. The layout of nested tables, lists and
// blocks grows far faster than the page (thirty tables inside each other, a kilobyte,
// kept the help window from opening for minutes), so a page is measured before it is
// laid out.
namespace HtmlNesting {

// The deepest nesting of the elements that only their end tag closes (table, ul, ol, dl,
// div, blockquote), counted from the tags alone, as the layout would nest them; an end
// tag without its start counts nothing. Comments are skipped. Stops counting once past
// limit and returns what it reached.
int depth(QByteArrayView html, int limit);

} // namespace HtmlNesting
