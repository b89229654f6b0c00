#include "ui/controls/Resizer.h"
#include "ui/controls/TwipPlacement.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

namespace {

// A shown host window with a splitter placed in it by twips, and two plain controls.
struct Host
{
    explicit Host(const QRect &twips = QRect(120, 600, 9255, 3135))
    {
        window.resize(800, 600);
        resizer = new Resizer(&window);
        first = new QWidget(resizer);
        second = new QWidget(resizer);
        TwipPlacement::place(resizer, twips);
        window.show();
        exposed = QTest::qWaitForWindowExposed(&window);
    }

    QWidget window;
    bool exposed = false;
    Resizer *resizer = nullptr;
    QWidget *first = nullptr;
    QWidget *second = nullptr;
};

QRect twipsOf(const QWidget *control)
{
    return TwipPlacement::geometry(control);
}

// A move with the given buttons held, as the mouse reports it.
void sendMove(QWidget *widget, const QPoint &pos, Qt::MouseButtons buttons)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), widget->mapToGlobal(QPointF(pos)), Qt::NoButton, buttons,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

} // namespace

class tst_Resizer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QWidget probe;
        if (probe.logicalDpiX() != 96 || probe.logicalDpiY() != 96)
            QSKIP("the pixel figures here are for 96 dpi");
    }

    // The main window's tree and function area: twips to pixels with neighbours touching.
    void mainWindowSplitter_inTwipsAndPixels()
    {
        Host host;
        QVERIFY(host.exposed);
        Resizer *r = host.resizer;
        r->setSeparatorSize(80);
        r->setMinControlSize1(1430);
        r->setMinControlSize2(2000);
        r->setAutoResize(false);
        TwipPlacement::place(host.first, QRect(0, 0, 4095, 100));
        r->LayoutControls();
        QCOMPARE(twipsOf(host.second), QRect(4175, 0, 5080, 3135));
        QCOMPARE(host.first->geometry(), QRect(0, 0, 273, 209));
        QCOMPARE(host.second->geometry(), QRect(278, 0, 339, 209));
        // Resizing the splitter lays it out again.
        TwipPlacement::place(r, QRect(120, 600, 6000, 1500));
        QCOMPARE(twipsOf(host.second), QRect(4175, 0, 1825, 1500));
    }

    // 300 x 200 pixels, stacked, a strip of 6 pixels under a first control 100 high. Only
    // the left button alone drags; anything else only lays out.
    void drag_withTheMouse_data()
    {
        QTest::addColumn<int>("pressed");
        QTest::addColumn<int>("held");
        QTest::addColumn<int>("firstHeight");
        QTest::newRow("left") << int(Qt::LeftButton) << int(Qt::LeftButton) << 110;
        QTest::newRow("right") << int(Qt::RightButton) << int(Qt::RightButton) << 100;
        QTest::newRow("left and right") << int(Qt::LeftButton) << int(Qt::LeftButton | Qt::RightButton) << 100;
        QTest::newRow("middle") << int(Qt::MiddleButton) << int(Qt::MiddleButton) << 100;
    }

    void drag_withTheMouse()
    {
        QFETCH(int, pressed);
        QFETCH(int, held);
        QFETCH(int, firstHeight);
        Host host(QRect(0, 0, 4500, 3000));
        QVERIFY(host.exposed);
        Resizer *r = host.resizer;
        r->setOrientation(0);
        r->setSeparatorSize(90);
        r->setMinControlSize2(1200);
        r->setAutoResize(false);
        QVERIFY(r->setControl1Size(1500));
        QSignalSpy resized(r, &Resizer::Resize);
        QSignalSpy items(r, &Resizer::ResizeItems);
        QWidget *bar = r->lblResizer();
        QTest::mousePress(bar, Qt::MouseButton(pressed), {}, QPoint(150, 103));
        sendMove(bar, QPoint(150, 113), Qt::MouseButtons(held));
        QCOMPARE(resized.count(), 1);
        QCOMPARE(items.count(), 1);
        QCOMPARE(host.first->geometry(), QRect(0, 0, 300, firstHeight));
        QCOMPARE(host.second->geometry(), QRect(0, firstHeight + 6, 300, 194 - firstHeight));
        // Down to the bottom: the second control's minimum (80 pixels) holds the strip.
        sendMove(bar, QPoint(150, 199), Qt::MouseButtons(held));
        const QRect second = twipsOf(host.second);
        QCOMPARE(second.height(), held == Qt::LeftButton ? 1200 : 1410);
        QTest::mouseRelease(bar, Qt::MouseButton(pressed), {}, QPoint(150, 199));
        // After the release a move only lays out.
        sendMove(bar, QPoint(150, 20), Qt::NoButton);
        QCOMPARE(twipsOf(host.second), second);
    }

    // Hiding a side gives the other the whole area; showing it again shares the room:
    // (9255 - 80) \ 2 = 4587 each, the odd twip to the second.
    void hidingAndShowingASide()
    {
        Host host;
        QVERIFY(host.exposed);
        Resizer *r = host.resizer;
        r->setSeparatorSize(80);
        r->setAutoResize(false);
        r->setControl1Visible(false);
        QVERIFY(host.first->isHidden());
        QCOMPARE(twipsOf(host.second), QRect(0, 0, 9255, 3135));
        // Both off cannot be: the other comes back.
        r->setControl2Visible(false);
        QVERIFY(!host.first->isHidden() && host.second->isHidden());
        r->setControl2Visible(true);
        QVERIFY(!host.first->isHidden() && !host.second->isHidden());
        QCOMPARE(twipsOf(host.first), QRect(0, 0, 4587, 3135));
        QCOMPARE(twipsOf(host.second), QRect(4667, 0, 4588, 3135));
    }

    // With a control missing, layout and drag change nothing and break nothing.
    void fewerThanTwoControls_keepsWorking()
    {
        Host host;
        QVERIFY(host.exposed);
        delete host.second;
        const QRect before = twipsOf(host.first);
        QWidget *bar = host.resizer->lblResizer();
        QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(300, 100));
        sendMove(bar, QPoint(200, 100), Qt::LeftButton);
        QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(200, 100));
        QCOMPARE(twipsOf(host.first), before);
        delete host.first;
        host.resizer->LayoutControls();
        QCOMPARE(host.resizer->Control1Size(), 0);
    }
};

QTEST_MAIN(tst_Resizer)
#include "tst_resizer.moc"
