#include "platform/Twips.h"

#include <QTest>

#include <limits>

class tst_Twips : public QObject
{
    Q_OBJECT

private slots:
    void conversions_data()
    {
        QTest::addColumn<int>("pixels");
        QTest::addColumn<double>("dpi");
        QTest::addColumn<int>("twips");
        QTest::newRow("one pixel at 96 dpi") << 1 << 96.0 << 15;
        QTest::newRow("an inch at 120 dpi") << 120 << 120.0 << 1440;
        QTest::newRow("negative") << -10 << 96.0 << -150;
        QTest::newRow("no dpi") << 100 << 0.0 << 0;
    }

    void conversions()
    {
        QFETCH(int, pixels);
        QFETCH(double, dpi);
        QFETCH(int, twips);
        QCOMPARE(Twips::fromPixels(pixels, dpi), twips);
        if (dpi > 0)
            QCOMPARE(Twips::toPixels(twips, dpi), pixels);
    }

    // A widget may be millions of pixels long (Qt allows 16777215): times 1440 that is
    // beyond an int, and the multiplication overflowed before the division.
    void fromPixels_millionsOfPixels_overflowedTheMultiplication()
    {
        QCOMPARE(Twips::fromPixels(16777215, 96), 251658225);
        QCOMPARE(Twips::fromPixels(-8403990, 96), -126059850);
        QCOMPARE(Twips::fromPixels(2000000, 144), 20000000);
        // Beyond what an int holds even in twips: the nearest it can hold.
        QCOMPARE(Twips::fromPixels(std::numeric_limits<int>::max(), 96), std::numeric_limits<int>::max());
        QCOMPARE(Twips::fromPixels(std::numeric_limits<int>::min(), 96), std::numeric_limits<int>::min());
    }
};

QTEST_APPLESS_MAIN(tst_Twips)
#include "tst_twips.moc"
