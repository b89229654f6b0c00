#pragma once

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <optional>

// Reads a PDF back with pdftotext (Debian's poppler-utils), so that a test can check what
// printing put on the page. Persian comes back as the shaped letter forms that were drawn;
// folded() gives back the plain letters (compatibility normalisation) without the
// direction marks pdftotext wraps right-to-left runs in. available() is false when
// pdftotext is not installed; text() gives every page, its lines as laid out, folded.
namespace PdfText {

bool available();
QString folded(const QString &text);
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

std::optional<Document> words(const QString &pdfPath);

} // namespace PdfText
