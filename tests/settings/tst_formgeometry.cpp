#include "settings/FormGeometry.h"

#include <QTest>

#include <limits>

namespace {

FormGeometry at(int left, int top, int width = 6000, int height = 4500)
{
    return FormGeometry{left, top, width, height};
}

// Two screens side by side, 1920 x 1080 pixels each at 96 dpi (15 twips a pixel).
const QRect leftScreen(0, 0, 28800, 16200);
const QRect rightScreen(28800, 0, 28800, 16200);

} // namespace

Q_DECLARE_METATYPE(FormGeometry)

class tst_FormGeometry : public QObject
{
    Q_OBJECT

private slots:
    void keepOnScreens_data()
    {
        QTest::addColumn<FormGeometry>("stored");
        QTest::addColumn<QList<QRect>>("screens");
        QTest::addColumn<FormGeometry>("placed");
        const QList<QRect> both = {leftScreen, rightScreen};
        const QList<QRect> one = {leftScreen};

        QTest::newRow("inside") << at(1200, 900) << one << at(1200, 900);
        QTest::newRow("partly off the right edge stays") << at(25000, 900) << one << at(25000, 900);
        QTest::newRow("partly above the top stays") << at(1200, -3000) << one << at(1200, -3000);
        QTest::newRow("on the second screen") << at(40000, 900) << both << at(40000, 900);
        QTest::newRow("across both screens") << at(26000, 900) << both << at(26000, 900);
        // The second screen was unplugged: back to the right edge of the first.
        QTest::newRow("on an unplugged screen") << at(40000, 900) << one << at(22800, 900);
        QTest::newRow("off the left") << at(-9000, 900) << one << at(0, 900);
        QTest::newRow("off the bottom") << at(1200, 20000) << one << at(1200, 11700);
        QTest::newRow("off a corner") << at(-30000, -30000) << one << at(0, 0);
        // Minimised windows of old report this place.
        QTest::newRow("minimised place") << at(-48000, -48000, 2400, 450) << one << at(0, 0, 2400, 450);
        QTest::newRow("touching the edge is off") << at(28800, 900) << one << at(22800, 900);
        QTest::newRow("one twip on screen stays") << at(28799, 900) << one << at(28799, 900);
        QTest::newRow("larger than the screen") << at(40000, 900, 40000, 20000) << one << at(0, 0, 40000, 20000);
        QTest::newRow("nearest of two") << at(1200, 30000) << QList<QRect>{leftScreen, QRect(28800, 40000, 28800, 16200)}
                                        << at(1200, 11700);
        QTest::newRow("nearest of two, other way")
            << at(30000, 34000) << QList<QRect>{leftScreen, QRect(28800, 40000, 28800, 16200)} << at(30000, 40000);
        QTest::newRow("no screens known") << at(-90000, 900) << QList<QRect>{} << at(-90000, 900);
        QTest::newRow("stored extremes") << at(2147483647, -2147483647 - 1, 1, 1) << one << at(28799, 0, 1, 1);
        QTest::newRow("width zero still a point") << at(50000, 900, 0, 0) << one << at(28799, 900, 0, 0);
    }

    void keepOnScreens()
    {
        QFETCH(FormGeometry, stored);
        QFETCH(QList<QRect>, screens);
        QFETCH(FormGeometry, placed);
        const FormGeometry result = ::keepOnScreens(stored, screens);
        QCOMPARE(result.left, placed.left);
        QCOMPARE(result.top, placed.top);
        QCOMPARE(result.width, placed.width);
        QCOMPARE(result.height, placed.height);
    }

    // Stored numbers are any 32-bit values: the window's rectangle was built as a QRect,
    // whose right edge (left + width) overflowed an int for a large place and size.
    // On a screen smaller than the designed window (640x480, or a 1000-pixel-high screen
    // at scale 2: 500 pixels high), the first start put the menu and status bar off it.
    void firstStartOnASmallScreen_fellOffIt_data()
    {
        QTest::addColumn<QRect>("window");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QRect>("fitted");
        const QRect designed(0, 0, 9930, 7920);
        QTest::newRow("640x480") << designed << QRect(0, 0, 9600, 6750) << QRect(0, 0, 9600, 6750);
        QTest::newRow("500 high, offset") << QRect(300, 300, 9930, 7920) << QRect(0, 450, 14400, 7050)
                                          << QRect(300, 450, 9930, 7050);
        QTest::newRow("fits") << designed << QRect(0, 0, 19200, 12000) << designed;
        QTest::newRow("no screen known") << designed << QRect() << designed;
    }

    void firstStartOnASmallScreen_fellOffIt()
    {
        QFETCH(QRect, window);
        QFETCH(QRect, area);
        QFETCH(QRect, fitted);
        const FormGeometry geometry{window.x(), window.y(), window.width(), window.height()};
        QCOMPARE(fitInto(geometry, area).rect(), fitted);
    }

    void storedExtremes_overflowedTheWindowRectangle_data()
    {
        QTest::addColumn<FormGeometry>("stored");
        QTest::addColumn<FormGeometry>("placed");
        const int most = std::numeric_limits<int>::max();
        QTest::newRow("largest everything") << at(most, most, most, most) << at(0, 0, most, most);
        QTest::newRow("on screen, widest") << at(28000, 900, most, 4500) << at(28000, 900, most, 4500);
        QTest::newRow("below, tallest") << at(-100, most, 6000, most) << at(0, 0, 6000, most);
    }

    void storedExtremes_overflowedTheWindowRectangle()
    {
        QFETCH(FormGeometry, stored);
        QFETCH(FormGeometry, placed);
        const FormGeometry result = ::keepOnScreens(stored, {leftScreen});
        QCOMPARE(result.left, placed.left);
        QCOMPARE(result.top, placed.top);
        QCOMPARE(result.width, placed.width);
        QCOMPARE(result.height, placed.height);
    }
};

QTEST_GUILESS_MAIN(tst_FormGeometry)
#include "tst_formgeometry.moc"
