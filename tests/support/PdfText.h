#pragma once

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <optional>

// Reads a PDF back with pdftotext (Debian's poppler-utils), so that a test can check what
// printing put on the page. Persian comes back as the shaped letter forms that were drawn;
// they are folded back to the plain letters (compatibility normalisation) and the
// direction marks pdftotext wraps right-to-left runs in are dropped.
namespace PdfText {

// False when pdftotext is not installed: then there is nothing to read with.
bool available();

// The plain letters of a text as read back: shaped forms folded, direction marks dropped.
QString folded(const QString &text);

// The text of every page, its lines as laid out on the page, folded.
std::optional<QString> text(const QString &pdfPath);

struct Word
{
    QString text; // folded
    QRectF box;   // in points, from the page's top left
    int page = 0; // from 0
};

struct Document
{
    QList<QSizeF> pageSizes; // in points
    QList<Word> words;       // in the order pdftotext reads them
};

// Every word with its box.
std::optional<Document> words(const QString &pdfPath);

} // namespace PdfText
