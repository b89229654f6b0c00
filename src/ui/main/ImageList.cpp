#include "ImageList.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int side = 16;

QPixmap canvas()
{
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A closed book: the catalogue entry of a function not being looked at.
QPixmap book(bool open)
{
    QPixmap pixmap = canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (!open) {
        p.setPen(QColor(0x1f, 0x3a, 0x6e));
        p.setBrush(QColor(0x3d, 0x6f, 0xc4));
        p.drawRoundedRect(QRectF(3.5, 1.5, 10, 13), 1.5, 1.5);
        p.setPen(QColor(0xf4, 0xf0, 0xe0));
        p.drawLine(QPointF(5.5, 2.5), QPointF(5.5, 13.5));
        p.fillRect(QRectF(7, 4, 5, 2), QColor(0xf4, 0xf0, 0xe0));
    } else {
        p.setPen(QColor(0x1f, 0x3a, 0x6e));
        p.setBrush(QColor(0xfb, 0xf8, 0xee));
        QPainterPath left;
        left.moveTo(8, 4);
        left.cubicTo(6, 2.5, 3, 2.5, 1, 3.5);
        left.lineTo(1, 13.5);
        left.cubicTo(3, 12.5, 6, 12.5, 8, 14);
        left.closeSubpath();
        p.drawPath(left);
        QPainterPath right;
        right.moveTo(8, 4);
        right.cubicTo(10, 2.5, 13, 2.5, 15, 3.5);
        right.lineTo(15, 13.5);
        right.cubicTo(13, 12.5, 10, 12.5, 8, 14);
        right.closeSubpath();
        p.drawPath(right);
        p.setPen(QColor(0x8a, 0x96, 0xb0));
        for (int y = 6; y <= 10; y += 2) {
            p.drawLine(QPointF(3, y), QPointF(6.5, y + 0.5));
            p.drawLine(QPointF(9.5, y + 0.5), QPointF(13, y));
        }
    }
    return pixmap;
}

// "A" on a tile: a letter group.
QPixmap alpha()
{
    QPixmap pixmap = canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0x7a, 0x4a, 0x00));
    p.setBrush(QColor(0xff, 0xd8, 0x6b));
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2, 2);
    p.setPen(QPen(QColor(0x5a, 0x32, 0x00), 1.6));
    p.drawLine(QPointF(4.5, 12.5), QPointF(8, 3.5));
    p.drawLine(QPointF(8, 3.5), QPointF(11.5, 12.5));
    p.drawLine(QPointF(5.8, 9.5), QPointF(10.2, 9.5));
    return pixmap;
}

// A note sheet with a folded corner: an area of work.
QPixmap note()
{
    QPixmap pixmap = canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath sheet;
    sheet.moveTo(3.5, 1.5);
    sheet.lineTo(10.5, 1.5);
    sheet.lineTo(13.5, 4.5);
    sheet.lineTo(13.5, 14.5);
    sheet.lineTo(3.5, 14.5);
    sheet.closeSubpath();
    p.setPen(QColor(0x3c, 0x5a, 0x28));
    p.setBrush(QColor(0xe6, 0xf5, 0xd0));
    p.drawPath(sheet);
    p.drawLine(QPointF(10.5, 1.5), QPointF(10.5, 4.5));
    p.drawLine(QPointF(10.5, 4.5), QPointF(13.5, 4.5));
    p.setPen(QColor(0x6b, 0x8e, 0x4e));
    for (int y = 7; y <= 12; y += 2)
        p.drawLine(QPointF(5.5, y), QPointF(11.5, y));
    return pixmap;
}

// A gear-edged chip: a library (DLL).
QPixmap dll()
{
    QPixmap pixmap = canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0x40, 0x40, 0x48));
    for (int i = 0; i < 3; ++i) {
        const double x = 4.5 + i * 3.5;
        p.drawLine(QPointF(x, 1), QPointF(x, 3));
        p.drawLine(QPointF(x, 13), QPointF(x, 15));
    }
    p.setBrush(QColor(0x6a, 0x6f, 0x80));
    p.drawRoundedRect(QRectF(2.5, 3.5, 11, 9), 1, 1);
    p.setPen(QColor(0xe8, 0xe8, 0xf0));
    QFont font = p.font();
    font.setPixelSize(6);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(2.5, 3.5, 11, 9), Qt::AlignCenter, QStringLiteral("dll"));
    return pixmap;
}

// A magnifying glass: the search results.
QPixmap search()
{
    QPixmap pixmap = canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.5));
    p.setBrush(QColor(0xcf, 0xe8, 0xff));
    p.drawEllipse(QPointF(6.5, 6.5), 4.5, 4.5);
    p.setPen(QPen(QColor(0x5a, 0x3a, 0x1a), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 10), QPointF(14, 14));
    return pixmap;
}

QPixmap folder()
{
    QPixmap pixmap = canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0x8a, 0x6a, 0x10));
    p.setBrush(QColor(0xf5, 0xd0, 0x60));
    QPainterPath shape;
    shape.moveTo(1.5, 3.5);
    shape.lineTo(6, 3.5);
    shape.lineTo(7.5, 5);
    shape.lineTo(14.5, 5);
    shape.lineTo(14.5, 13.5);
    shape.lineTo(1.5, 13.5);
    shape.closeSubpath();
    p.drawPath(shape);
    return pixmap;
}

} // namespace

QHash<QString, QIcon> makeTreeImageList()
{
    return {
        {QStringLiteral("alpha"), QIcon(alpha())},
        {QStringLiteral("note"), QIcon(note())},
        {QStringLiteral("close"), QIcon(book(false))},
        {QStringLiteral("open"), QIcon(book(true))},
        {QStringLiteral("dll"), QIcon(dll())},
        {QStringLiteral("Search"), QIcon(search())},
        {QStringLiteral("folder"), QIcon(folder())},
    };
}
