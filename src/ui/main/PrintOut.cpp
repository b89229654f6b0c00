#include "PrintOut.h"

#include "TextBox.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QTextLayout>
#include <QTextOption>

namespace PrintOut {

namespace {

// Every side at least the least margin, more where the printer already keeps more.
void keepLeastMargins(QPrinter &printer)
{
    const QMarginsF now = printer.pageLayout().margins(QPageLayout::Millimeter);
    const QMarginsF least(std::max(now.left(), leastMarginMm), std::max(now.top(), leastMarginMm),
                          std::max(now.right(), leastMarginMm), std::max(now.bottom(), leastMarginMm));
    if (least != now)
        printer.setPageMargins(least, QPageLayout::Millimeter);
}

} // namespace

bool print(QPrinter &printer, const QList<PrintJob::Line> &lines)
{
    keepLeastMargins(printer);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;

    const QRectF page(QPointF(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());

    QFont base = painter.font();
    if (base.pointSizeF() <= 0)
        base.setPointSizeF(fallbackPointSize);

    bool ok = true;
    qreal top = 0;
    for (const PrintJob::Line &line : lines) {
        QFont font = base;
        font.setFamilies({line.fontName});

        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        option.setTextDirection(line.rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
        option.setAlignment((line.rightToLeft ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignAbsolute);
        // Latin code in Persian prose keeps its own order on paper as on screen: "-1",
        // "ByVal 0&" and "&H40" would otherwise come out as "1-", "&ByVal 0" and "H40&".
        QTextLayout layout(line.rightToLeft ? TextBox::isolateLatinRuns(line.text) : line.text, font, &printer);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine())
            row.setLineWidth(page.width());
        layout.endLayout();

        // An empty line still takes its height on the page.
        const qreal emptyHeight = QFontMetricsF(font, &printer).lineSpacing();
        const int rows = std::max(layout.lineCount(), 1);
        for (int i = 0; i < rows && ok; ++i) {
            const qreal height = layout.lineCount() ? layout.lineAt(i).height() : emptyHeight;
            if (top > 0 && top + height > page.height()) {
                if (!printer.newPage()) {
                    ok = false;
                    break;
                }
                top = 0;
            }
            if (layout.lineCount()) {
                const QTextLine row = layout.lineAt(i);
                row.draw(&painter, QPointF(0, top - row.y()));
            }
            top += height;
        }
        if (!ok)
            break;
    }

    if (!painter.end())
        ok = false;
    return ok && printer.printerState() != QPrinter::Error;
}

bool isWholePdf(const QString &file)
{
    // A PDF ends with its end-of-file marker; a write cut short (a full disk) loses it.
    QFile pdf(file);
    if (!pdf.open(QIODevice::ReadOnly) || pdf.size() < 8 || !pdf.seek(pdf.size() - std::min<qint64>(pdf.size(), 64)))
        return false;
    return pdf.readAll().trimmed().endsWith("%%EOF");
}

} // namespace PrintOut
