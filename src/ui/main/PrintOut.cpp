#include "PrintOut.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QTextOption>

namespace PrintOut {

bool print(QPrinter &printer, const QList<PrintJob::Line> &lines)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;

    const QRectF page(QPointF(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());
    painter.setClipRect(page);

    QFont base = painter.font();
    if (base.pointSizeF() <= 0)
        base.setPointSizeF(fallbackPointSize);

    bool ok = true;
    qreal top = 0;
    for (const PrintJob::Line &line : lines) {
        QFont font = base;
        font.setFamilies({line.fontName});
        painter.setFont(font);
        const QFontMetricsF metrics(painter.font(), &printer);
        const qreal height = metrics.lineSpacing();
        if (top > 0 && top + height > page.height()) {
            if (!printer.newPage()) {
                ok = false;
                break;
            }
            top = 0;
        }

        QTextOption option;
        option.setWrapMode(QTextOption::NoWrap);
        option.setTextDirection(line.rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
        option.setAlignment((line.rightToLeft ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignAbsolute | Qt::AlignTop);
        painter.drawText(QRectF(0, top, page.width(), height), line.text, option);
        top += height;
    }

    if (!painter.end())
        ok = false;
    return ok && printer.printerState() != QPrinter::Error;
}

} // namespace PrintOut
