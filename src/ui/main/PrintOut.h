#pragma once

#include "output/PrintJob.h"

class QPrinter;

// Puts the printed lines of a function on a printer (or on the PDF file that stands in for
// one): top to bottom from the top of the printable area, a new page when one is full,
// inside margins of at least leastMarginMm on every side. Left-to-right lines start at the
// left edge, right-to-left lines end at the right edge, each stretch of Latin code in them
// in its own left-to-right order, as the description box shows it; a line longer than the
// printable width is wrapped at a word boundary (inside a word longer than the width,
// anywhere), so nothing is cut off.
namespace PrintOut {

// The font size is the printer's own; this is used only where it has none in points.
inline constexpr double fallbackPointSize = 10.0;
inline constexpr double leastMarginMm = 10.0;

// Prints the lines and ends the document. False when the printer could not be started,
// a page could not be added or the document could not be finished.
bool print(QPrinter &printer, const QList<PrintJob::Line> &lines);

// Whether the file is a PDF written to its end.
bool isWholePdf(const QString &file);

} // namespace PrintOut
