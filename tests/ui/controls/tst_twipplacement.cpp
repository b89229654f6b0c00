#include "ui/controls/TwipPlacement.h"

#include <QTest>
#include <QWidget>

class tst_TwipPlacement : public QObject
{
    Q_OBJECT

private slots:
    void toPixels_convertsEdgesSoNeighboursTouch()
    {
        // 4095 | strip 80 | 5080 at 96 dpi: 273 px, then 278 to 617.
        QCOMPARE(TwipPlacement::toPixels(QRect(0, 0, 4095, 3135), 96, 96), QRect(0, 0, 273, 209));
        QCOMPARE(TwipPlacement::toPixels(QRect(4175, 0, 5080, 3135), 96, 96), QRect(278, 0, 339, 209));
        QCOMPARE(TwipPlacement::toPixels(QRect(-15, -15, 3030, 100), 96, 96, QPoint(2, 2)),
                 QRect(1, 1, 202, 7));
        QCOMPARE(TwipPlacement::toPixels(QRect(0, 0, 1440, 1440), 120, 144), QRect(0, 0, 120, 144));
    }

    void fromPixels_isTheInverseOnWholePixels()
    {
        QCOMPARE(TwipPlacement::fromPixels(QRect(278, 0, 339, 209), 96, 96), QRect(4170, 0, 5085, 3135));
        QCOMPARE(TwipPlacement::fromPixels(QRect(3, 3, 10, 10), 96, 96, QPoint(2, 2)), QRect(15, 15, 150, 150));
    }

    void placedWidget_readsBackTheExactTwips()
    {
        QWidget parent;
        QWidget child(&parent);
        TwipPlacement::place(&child, QRect(4175, 0, 5080, 3135));
        QCOMPARE(child.geometry(), QRect(278, 0, 339, 209));
        QCOMPARE(TwipPlacement::geometry(&child), QRect(4175, 0, 5080, 3135));
        QCOMPARE(TwipPlacement::size(&child), QSize(5080, 3135));
    }

    void movedElsewhere_readsItsPixels()
    {
        QWidget parent;
        QWidget child(&parent);
        TwipPlacement::place(&child, QRect(4175, 0, 5080, 3135));
        child.resize(100, 209);
        QCOMPARE(TwipPlacement::geometry(&child), QRect(4170, 0, 1500, 3135));
        QCOMPARE(TwipPlacement::size(&child), QSize(1500, 3135));
    }

    void anotherOrigin_readsItsPixels()
    {
        QWidget parent;
        QWidget child(&parent);
        TwipPlacement::place(&child, QRect(10, 10, 80, 80), QPoint(2, 2));
        QCOMPARE(TwipPlacement::geometry(&child, QPoint(2, 2)), QRect(10, 10, 80, 80));
        QCOMPARE(TwipPlacement::geometry(&child, QPoint(0, 0)), TwipPlacement::fromPixels(child.geometry(), 96, 96));
    }

    void widgetSettlingOnAnotherSize_readsWhatItTook()
    {
        QWidget parent;
        QWidget child(&parent);
        child.setMinimumHeight(50);
        TwipPlacement::place(&child, QRect(0, 0, 1500, 300));
        QCOMPARE(TwipPlacement::geometry(&child), QRect(0, 0, 1500, 750));
    }
};

QTEST_MAIN(tst_TwipPlacement)
#include "tst_twipplacement.moc"
