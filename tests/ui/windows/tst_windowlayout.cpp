#include "ui/windows/WindowLayout.h"

#include <QTest>

using WindowLayout::Placement;

Q_DECLARE_METATYPE(WindowLayout::Placement)

namespace {

const Placement helpDesign{{120, 240, 7815, 4815}, {3480, 5280, 1260, 735}};
const Placement dayDesign{{240, 240, 5325, 3255}, {480, 4680, 5460, 495}};

} // namespace

class tst_WindowLayout : public QObject
{
    Q_OBJECT

private slots:
    void helpWindow_data()
    {
        QTest::addColumn<int>("innerWidth");
        QTest::addColumn<int>("innerHeight");
        QTest::addColumn<Placement>("expected");
        // The inner size the design implies gives the designed browser back.
        QTest::newRow("design size") << 8015 << 5815
                                     << Placement{QRect(120, 240, 7815, 4815), QRect(3377, 5295, 1260, 735)};
        QTest::newRow("larger") << 12000 << 9000
                                << Placement{QRect(120, 240, 11800, 8000), QRect(5370, 8480, 1260, 735)};
        // Exactly at the limits: width 0 and height 0 are still valid lengths.
        QTest::newRow("zero body") << 200 << 1000 << Placement{QRect(120, 240, 0, 0), QRect(-530, 480, 1260, 735)};
        // Too narrow: the width is refused and stays; the height and the keys still follow.
        QTest::newRow("too narrow") << 150 << 6000
                                    << Placement{QRect(120, 240, 7815, 5000), QRect(-555, 5480, 1260, 735)};
        // Too low: the height is refused, the keys sit under the browser's last height.
        QTest::newRow("too low") << 9000 << 900 << Placement{QRect(120, 240, 8800, 4815), QRect(3870, 5295, 1260, 735)};
        QTest::newRow("tiny") << 15 << 15 << Placement{QRect(120, 240, 7815, 4815), QRect(-622, 5295, 1260, 735)};
    }

    void helpWindow()
    {
        QFETCH(int, innerWidth);
        QFETCH(int, innerHeight);
        QFETCH(Placement, expected);
        QCOMPARE(WindowLayout::helpWindow(helpDesign, innerWidth, innerHeight), expected);
    }

    void dayWindow_data()
    {
        QTest::addColumn<int>("innerWidth");
        QTest::addColumn<int>("innerHeight");
        QTest::addColumn<Placement>("expected");
        QTest::newRow("design size") << 5805 << 4255
                                     << Placement{QRect(240, 240, 5325, 3255), QRect(172, 3735, 5460, 495)};
        QTest::newRow("larger") << 9000 << 7000 << Placement{QRect(240, 240, 8520, 6000), QRect(1770, 6480, 5460, 495)};
        // Narrower than twice the left margin: the splitter keeps its last valid width.
        QTest::newRow("narrower than both margins") << 479 << 5000
                                                    << Placement{QRect(240, 240, 5325, 4000), QRect(-2490, 4480, 5460, 495)};
        QTest::newRow("exactly both margins") << 480 << 5000
                                              << Placement{QRect(240, 240, 0, 4000), QRect(-2490, 4480, 5460, 495)};
        QTest::newRow("too low") << 5805 << 999 << Placement{QRect(240, 240, 5325, 3255), QRect(172, 3735, 5460, 495)};
    }

    void dayWindow()
    {
        QFETCH(int, innerWidth);
        QFETCH(int, innerHeight);
        QFETCH(Placement, expected);
        QCOMPARE(WindowLayout::dayWindow(dayDesign, innerWidth, innerHeight), expected);
    }

    void dayWindow_marginFollowsTheBodysLeftEdge()
    {
        Placement moved = dayDesign;
        moved.body.moveLeft(600);
        QCOMPARE(WindowLayout::dayWindow(moved, 6000, 5000).body.width(), 4800);
    }

    void refusedSteps_doNotStopTheOthers()
    {
        // Both body lengths refused, the keys are still centred and placed.
        const Placement next = WindowLayout::helpWindow(helpDesign, -100, -100);
        QCOMPARE(next.body, helpDesign.body);
        QCOMPARE(next.keys.left(), (-100 - 1260) / 2);
        QCOMPARE(next.keys.top(), 4815 + 480);
    }
};

QTEST_APPLESS_MAIN(tst_WindowLayout)
#include "tst_windowlayout.moc"
