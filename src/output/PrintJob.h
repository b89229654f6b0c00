#pragma once

#include "FunctionView.h"

#include <QList>
#include <QString>

// What printing a function puts on paper, line by line, so that it can be checked without
// a printer: the declaration in "Courier New", two empty lines, then the description in
// "Tahoma" laid out right to left. The one text attribute that is switched on for the
// description and off around it is the right-to-left layout: Persian reads from the
// right, and a description printed left to right would come out with its words and
// punctuation in the wrong places. The function's name is not printed. No line is
// wrapped; what does not fit across the page is cut off at its edge.
namespace PrintJob {

// A tab (a declaration written by hand may hold some) advances to the next multiple of
// four characters, as in a Basic IDE. Expanded before printing: the printer's own tab
// stops do not follow its resolution and put indented lines off the page.
inline constexpr int tabCharacters = 4;

inline const QString declarationFont = QStringLiteral("Courier New");
inline const QString descriptionFont = QStringLiteral("Tahoma");

struct Line
{
    QString text;     // one line, without line breaks
    QString fontName; // the font family asked for; the size stays the printer's own
    bool rightToLeft = false;

    bool operator==(const Line &other) const = default;
};

// The printed lines: every line of the declaration, two empty lines, every line of the
// description. A line break (CR LF, or a lone CR or LF) starts a new line; tabs are
// expanded to spaces.
QList<Line> lines(const FunctionView &view);

// The line with every tab turned into the spaces up to the next tab stop.
QString expandTabs(const QString &line);

} // namespace PrintJob
