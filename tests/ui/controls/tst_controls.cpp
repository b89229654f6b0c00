// The close key and the splitter, as widgets driven by the mouse and as arithmetic, and the
// property bag of a saved control.
#include "ui/controls/CloseKey.h"
#include "ui/controls/PropertyBag.h"
#include "ui/controls/Resizer.h"
#include "ui/controls/ResizerGeometry.h"
#include "ui/controls/ResizerItem.h"
#include "ui/controls/TwipPlacement.h"

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

namespace {

// A shown 800 x 600 window holding a close key at 10, 10, 17 pixels (255 twips) square and a
// splitter placed by twips, with two plain controls in it.
struct Host
{
    explicit Host(const QRect &twips = QRect(120, 600, 9255, 3135))
    {
        window.resize(800, 600);
        key = new CloseKey(&window);
        key->setGeometry(10, 10, 17, 17);
        resizer = new Resizer(&window);
        first = new QWidget(resizer);
        second = new QWidget(resizer);
        TwipPlacement::place(resizer, twips);
        window.show();
        exposed = QTest::qWaitForWindowExposed(&window);
    }

    QWidget window;
    bool exposed = false;
    CloseKey *key = nullptr;
    Resizer *resizer = nullptr;
    QWidget *first = nullptr, *second = nullptr;
};

QRect twipsOf(const QWidget *control) { return TwipPlacement::geometry(control); }

// A move with the given buttons held, as the mouse reports it.
void sendMove(QWidget *widget, const QPoint &pos, Qt::MouseButtons buttons)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), widget->mapToGlobal(QPointF(pos)), Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}


// A contained control reduced to numbers. Refuses negative sizes like a real control and
// counts the rectangles it was given.
struct FakeItem : ResizerItem
{
    explicit FakeItem(const QRect &rect = QRect(), bool listView = false) : rect(rect), listView(listView) {}
    QRect geometry() const override { return rect; }
    bool move(const QRect &r) override { return r.width() >= 0 && r.height() >= 0 && (++moves, rect = r, true); }
    bool isVisible() const override { return visible; }
    void setVisible(bool v) override { visible = v; }
    bool isListView() const override { return listView; }
    QRect rect;
    bool listView = false, visible = true;
    int moves = 0;
};

ResizerExtent extentOf(qint32 width, qint32 height, qint32 border = 0) { return {width, height, width - 2 * border, height - 2 * border}; }

ResizerState stateOf(int orientation, qint32 min1, qint32 min2, bool autoResize)
{
    ResizerState state;
    state.orientation = orientation;
    state.separatorSize = 80;
    state.minControlSize = {min1, min2};
    state.autoResize = autoResize;
    return state;
}

// Bits of the layout table's "flags" column.
enum Flag { FirstList = 1, SecondList = 2, FirstHidden = 4, SecondHidden = 8, Inverted = 16, FirstWasHidden = 32 };

} // namespace

class tst_Controls : public QObject
{
    Q_OBJECT

private slots:
    // Every case starts with the pointer far from any window; the widgets' pixels are for 96 dpi.
    void init()
    {
        QCursor::setPos(QPoint(2000, 2000));
        const QByteArray test = QTest::currentTestFunction();
        if ((test.startsWith("closeKey_") || test.startsWith("resizer_")) && QWidget().logicalDpiX() != 96)
            QSKIP("the pixel figures here are for 96 dpi");
    }

    // Press, move with the button held, release: a click only when both press and release are on
    // the key (pixel 17 is the first beyond it); any button presses it, only the left one clicks.
    void closeKey_pressMoveRelease_data()
    {
        QTest::addColumn<int>("button"); QTest::addColumn<QPoint>("moveTo"); QTest::addColumn<QPoint>("releaseAt");
        QTest::addColumn<bool>("lit"); // pressed after the move
        QTest::addColumn<int>("clicks");
        QTest::newRow("released inside") << 1 << QPoint(9, 8) << QPoint(8, 8) << true << 1;
        QTest::newRow("released on the last pixel") << 1 << QPoint(16, 16) << QPoint(16, 16) << true << 1;
        QTest::newRow("released just right of it") << 1 << QPoint(17, 8) << QPoint(17, 8) << false << 0;
        QTest::newRow("released just below it") << 1 << QPoint(8, 17) << QPoint(8, 17) << false << 0;
        QTest::newRow("released left of it") << 1 << QPoint(-1, 8) << QPoint(-1, 8) << false << 0;
        QTest::newRow("dragged out, back, released") << 1 << QPoint(40, 40) << QPoint(8, 9) << false << 1;
        QTest::newRow("right button") << 2 << QPoint(8, 8) << QPoint(8, 8) << true << 0;
    }
    void closeKey_pressMoveRelease()
    {
        QFETCH(int, button); QFETCH(QPoint, moveTo); QFETCH(QPoint, releaseAt); QFETCH(bool, lit); QFETCH(int, clicks);
        Host host;
        QVERIFY(host.exposed);
        CloseKey *key = host.key;
        const Qt::MouseButton mouseButton = button == 1 ? Qt::LeftButton : Qt::RightButton;
        QSignalSpy clicked(key, &CloseKey::Click);
        QTest::mousePress(key, mouseButton, {}, QPoint(8, 8));
        QCOMPARE(key->look(), CloseKey::Look::Pressed);
        sendMove(key, moveTo, mouseButton);
        QCOMPARE(key->look(), lit ? CloseKey::Look::Pressed : CloseKey::Look::Normal);
        QCOMPARE(key->isTimerActive(), lit);
        if (releaseAt != moveTo)
            sendMove(key, releaseAt, mouseButton);
        QTest::mouseRelease(key, mouseButton, {}, releaseAt);
        QCOMPARE(clicked.count(), clicks);
        QVERIFY(key->look() != CloseKey::Look::Pressed);
    }

    // The pointer jumps onto the window beside the key, which sees no move: its timer
    // switches the light off; while the pointer stays, the light stays.
    void closeKey_lightOffWhenThePointerLeftUnseen()
    {
        Host host;
        QVERIFY(host.exposed);
        QTest::mouseMove(host.key, QPoint(8, 8));
        QTRY_VERIFY(host.key->isLit());
        QTest::qWait(50);
        QVERIFY(host.key->isLit());
        QCursor::setPos(host.window.mapToGlobal(QPoint(700, 500)));
        QTRY_VERIFY(!host.key->isLit());
        QVERIFY(!host.key->isTimerActive());
    }

    // The main window's tree and function area: twips to pixels with neighbours touching,
    // laid out again when the splitter is resized.
    void resizer_mainWindowSplitter()
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
        QCOMPARE(host.first->geometry(), QRect(0, 0, 273, 209));
        QCOMPARE(host.second->geometry(), QRect(278, 0, 339, 209));
        TwipPlacement::place(r, QRect(120, 600, 6000, 1500));
        QCOMPARE(twipsOf(host.second), QRect(4175, 0, 1825, 1500));
    }

    // 300 x 200 pixels, stacked, a strip of 6 pixels under a first control 100 high. Only
    // the left button alone drags; anything else only lays out.
    void resizer_dragWithTheMouse_data()
    {
        QTest::addColumn<int>("pressed"); QTest::addColumn<int>("held"); QTest::addColumn<int>("firstHeight");
        QTest::newRow("left") << int(Qt::LeftButton) << int(Qt::LeftButton) << 110;
        QTest::newRow("right") << int(Qt::RightButton) << int(Qt::RightButton) << 100;
        QTest::newRow("left and right") << int(Qt::LeftButton) << int(Qt::LeftButton | Qt::RightButton) << 100;
        QTest::newRow("middle") << int(Qt::MiddleButton) << int(Qt::MiddleButton) << 100;
    }
    void resizer_dragWithTheMouse()
    {
        QFETCH(int, pressed); QFETCH(int, held); QFETCH(int, firstHeight);
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
        QVERIFY(resized.count() == 1 && items.count() == 1);
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

    // Hiding a side gives the other the whole area; both off cannot be: the other comes
    // back, and the two share the room, (9255 - 80) \ 2 = 4587 each, the odd twip to the second.
    void resizer_hidingAndShowingASide()
    {
        Host host;
        QVERIFY(host.exposed);
        Resizer *r = host.resizer;
        r->setSeparatorSize(80);
        r->setAutoResize(false);
        r->setControl1Visible(false);
        QCOMPARE(twipsOf(host.second), QRect(0, 0, 9255, 3135));
        r->setControl2Visible(false);
        QVERIFY(!host.first->isHidden() && host.second->isHidden());
        r->setControl2Visible(true);
        QCOMPARE(twipsOf(host.first), QRect(0, 0, 4587, 3135));
        QCOMPARE(twipsOf(host.second), QRect(4667, 0, 4588, 3135));
    }

    // With a control missing, layout and drag change nothing and break nothing.
    void resizer_fewerThanTwoControls()
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

    void geometry_layout_data()
    {
        QTest::addColumn<int>("orientation"); QTest::addColumn<int>("min1"); QTest::addColumn<int>("min2");
        QTest::addColumn<bool>("autoResize"); QTest::addColumn<int>("flags");
        QTest::addColumn<QRect>("outer"); // x: border, then outer width and height
        QTest::addColumn<QRect>("first"); QTest::addColumn<QRect>("second"); QTest::addColumn<QRect>("expectedFirst");
        QTest::addColumn<QRect>("expectedSecond");
        const auto row = [](const char *name, int orientation, int min1, int min2, bool autoResize, int flags, QRect outer,
                            QRect first, QRect second, QRect expectedFirst, QRect expectedSecond) {
            QTest::newRow(name) << orientation << min1 << min2 << autoResize << flags << outer << first << second
                                << expectedFirst << expectedSecond;
        };
        using R = QRect;
        const R main(0, 0, 9255, 3135);
        const R day(0, 0, 5325, 3255);
        const R small(0, 0, 3000, 2000);
        const R square(0, 0, 1000, 1000);
        const R bordered(15, 0, 9285, 3165);
        const R tree(0, 0, 4095, 3135);
        const R function(4175, 0, 5080, 3135);
        // The main window's tree beside the function area, strip 80.
        row("main window", 1, 1430, 2000, false, 0, main, R(0, 0, 4095, 100), R(10, 10, 100, 100), tree, function);
        row("second would be negative: refused", 1, 1430, 2000, false, 0, main, R(0, 0, 9200, 3135), function, R(0, 0, 9200, 3135),
            function);
        // The day window's splitter: the second control's minimum pulls the first back.
        row("auto, second minimum", 0, 500, 500, true, 0, day, R(0, 0, 5325, 3000), R(), R(0, 0, 5325, 2675), R(0, 2755, 5325, 500));
        row("auto, exactly the second minimum", 0, 500, 500, true, 0, day, R(0, 0, 5325, 2675), R(), R(0, 0, 5325, 2675),
            R(0, 2755, 5325, 500));
        // The first minimum is tested first and alone.
        row("auto, first minimum wins", 0, 500, 600, true, 0, R(0, 0, 5325, 1000), R(0, 0, 5325, 100), R(), R(0, 0, 5325, 500),
            R(0, 580, 5325, 420));
        row("inside a border", 0, 90, 90, false, 0, R(30, 0, 3060, 2060), R(0, 0, 10, 1000), R(), R(0, 0, 3000, 1000), R(0, 1080, 3000, 920));
        row("stacked, first a list", 0, 90, 90, false, FirstList, small, square, R(), R(-15, -15, 3030, 1000), R(0, 1050, 3000, 950));
        row("side by side, both lists", 1, 90, 90, false, FirstList | SecondList, small, square, R(), R(-15, -15, 1000, 2030),
            R(1035, -15, 1950, 2030));
        // A hidden slot is parked at the outer width; the other takes the inner area.
        const R parked(9285, 0, 4095, 3135);
        row("first hidden", 1, 1430, 2000, false, FirstHidden, bordered, tree, function, parked, main);
        row("second hidden", 1, 1430, 2000, false, SecondHidden, bordered, tree, function, main, R(9285, 0, 5080, 3135));
        // Flags belong to slots: inverting moves the control, not the flag.
        row("first hidden, inverted", 1, 1430, 2000, false, FirstHidden | Inverted, bordered, tree, function, parked, main);
        row("both hidden: the first flag decides", 1, 1430, 2000, false, FirstHidden | SecondHidden, bordered, tree, function, parked,
            main);
        // Shown again: each first gets half the outer extent less the strip,
        // (3165 - 80) \ 2 = 1542 high, then the layout runs.
        row("shown again, stacked", 0, 1430, 2000, false, FirstWasHidden, bordered, parked, main, R(0, 0, 9255, 1542),
            R(0, 1622, 9255, 1513));
        row("shown again, odd twip to the second", 0, 90, 90, false, FirstWasHidden, R(0, 0, 1000, 1081), R(0, 0, 100, 100),
            R(0, 0, 100, 100), R(0, 0, 1000, 500), R(0, 580, 1000, 501));
        row("other orientation moves nothing", 2, 90, 90, false, 0, main, R(1, 2, 3, 4), R(5, 6, 7, 8), R(1, 2, 3, 4), R(5, 6, 7, 8));
        // Far more twips than 16 bits hold.
        row("wide", 1, 1430, 2000, false, 0, R(0, 0, 60000, 40000), R(0, 0, 40000, 3135), R(), R(0, 0, 40000, 40000),
            R(40080, 0, 19920, 40000));
        // A damaged stored minimum would put the first far negative: refused, not wrapped.
        row("absurd minimum", 0, 90, 2000000000, true, 0, R(0, 0, 100, 2000), R(0, 0, 100, 1000), R(0, 1080, 100, 920),
            R(0, 0, 100, 1000), R(0, 1080, 100, 920));
    }
    void geometry_layout()
    {
        QFETCH(int, orientation); QFETCH(int, min1); QFETCH(int, min2); QFETCH(bool, autoResize); QFETCH(int, flags);
        QFETCH(QRect, outer); QFETCH(QRect, first); QFETCH(QRect, second); QFETCH(QRect, expectedFirst);
        QFETCH(QRect, expectedSecond);
        ResizerState state = stateOf(orientation, min1, min2, autoResize);
        state.controlVisible = {!(flags & FirstHidden), !(flags & SecondHidden)};
        state.invertControls = flags & Inverted;
        FakeItem items[2] = {FakeItem(first, flags & FirstList), FakeItem(second, flags & SecondList)};
        items[0].visible = !(flags & FirstWasHidden);
        ResizerGeometry(state, extentOf(outer.width(), outer.height(), outer.x()), &items[0], &items[1]).layoutControls();
        QCOMPARE(items[0].rect, expectedFirst);
        QCOMPARE(items[1].rect, expectedSecond);
        QCOMPARE(items[0].visible, !(flags & FirstHidden));
        QCOMPARE(items[1].visible, !(flags & SecondHidden) || (flags & FirstHidden));
    }

    // Setting a size clamps it between the position's minimum and the outer extent less
    // that minimum, and gives the other control the rest.
    void geometry_sizeSetters_data()
    {
        QTest::addColumn<int>("position"); QTest::addColumn<int>("min"); QTest::addColumn<bool>("inverted");
        QTest::addColumn<int>("size"); QTest::addColumn<int>("expected");
        QTest::newRow("below the minimum") << 1 << 90 << false << 50 << 90;
        QTest::newRow("at the minimum") << 1 << 90 << false << 90 << 90;
        QTest::newRow("last allowed") << 1 << 90 << false << 2910 << 2910;
        QTest::newRow("one beyond") << 1 << 90 << false << 2911 << 2910;
        QTest::newRow("second, at the edge") << 2 << 700 << false << 3000 << 2300;
        QTest::newRow("second, below its minimum") << 2 << 700 << false << 50 << 700;
        // The minimum is the position's, whichever control stands there.
        QTest::newRow("second, inverted") << 2 << 700 << true << 50 << 700;
    }
    void geometry_sizeSetters()
    {
        QFETCH(int, position); QFETCH(int, min); QFETCH(bool, inverted); QFETCH(int, size); QFETCH(int, expected);
        ResizerState state = stateOf(0, position == 1 ? min : 90, position == 2 ? min : 90, false);
        state.invertControls = inverted;
        FakeItem items[2] = {FakeItem(QRect(0, 0, 500, 1000)), FakeItem(QRect(0, 1080, 500, 1920))};
        // Outer height 3000 with a 15-twip border: the setters work from the outer one.
        const ResizerGeometry geometry(state, extentOf(530, 3000, 15), &items[0], &items[1]);
        QVERIFY(position == 1 ? geometry.setControl1Size(size) : geometry.setControl2Size(size));
        FakeItem &own = items[(position - 1) ^ int(inverted)];
        FakeItem &other = items[(2 - position) ^ int(inverted)];
        QCOMPARE(own.rect.height(), expected);
        QCOMPARE(other.rect.height(), 3000 - expected);
    }

    void geometry_drag_data()
    {
        QTest::addColumn<int>("orientation"); QTest::addColumn<int>("min1"); QTest::addColumn<int>("min2");
        QTest::addColumn<double>("pointer"); QTest::addColumn<int>("expectedFirst"); QTest::addColumn<int>("expectedSecond");
        QTest::addColumn<double>("expectedAnchor");
        // First control 1000, second from 1080 with 2000, strip 80, anchor 1040.
        QTest::newRow("second minimum stops it") << 0 << 90 << 640 << 3100.0 << 2360 << 640 << 2400.0;
        QTest::newRow("beyond the first minimum") << 0 << 500 << 90 << 100.0 << 500 << 2500 << 540.0;
        // Both minimums cannot hold: the second correction stands.
        QTest::newRow("second minimum wins") << 0 << 1500 << 1700 << 1140.0 << 1300 << 1700 << 1340.0;
        QTest::newRow("other orientation") << 2 << 90 << 90 << 1140.0 << 1000 << 2000 << 1040.0;
    }
    void geometry_drag()
    {
        QFETCH(int, orientation); QFETCH(int, min1); QFETCH(int, min2); QFETCH(double, pointer); QFETCH(int, expectedFirst);
        QFETCH(int, expectedSecond); QFETCH(double, expectedAnchor);
        const bool across = orientation == 1;
        const auto along = [across](int start, int length) {
            return across ? QRect(start, 0, length, 5000) : QRect(0, start, 5000, length);
        };
        FakeItem first(along(0, 1000));
        FakeItem second(along(1080, 2000));
        float anchor = 1040;
        ResizerGeometry(stateOf(orientation, min1, min2, true), extentOf(5000, 5000), &first, &second).drag(anchor, pointer);
        QCOMPARE(first.rect, along(0, expectedFirst));
        QCOMPARE(second.rect, along(expectedFirst + 80, expectedSecond));
        QCOMPARE(double(anchor), expectedAnchor);
    }

    // Random splitters, laid out and dragged, against a plain model of the rules: the first
    // control keeps its extent (or its minimum, or leaves the second its minimum when it
    // resizes itself); a drag moves the strip with the pointer until a minimum holds it,
    // the second's minimum winning; a negative extent is refused.
    void geometry_randomSplitters_followThePlainRules()
    {
        QRandomGenerator random(20261207);
        for (int round = 0; round < 3000; ++round) {
            const int orientation = random.bounded(2);
            const int whole = random.bounded(200, 20000);
            const int min1 = random.bounded(90, 4000);
            const int min2 = random.bounded(90, 4000);
            const bool autoResize = random.bounded(2);
            const int extent1 = random.bounded(0, whole);
            const auto along = [orientation](int start, int length) {
                return orientation == 1 ? QRect(start, 0, length, 700) : QRect(0, start, 700, length);
            };
            const auto length = [orientation](const QRect &r) { return orientation == 1 ? r.width() : r.height(); };
            const auto start = [orientation](const QRect &r) { return orientation == 1 ? r.left() : r.top(); };
            const ResizerExtent extent = orientation == 1 ? extentOf(whole, 700) : extentOf(700, whole);
            const ResizerState state = stateOf(orientation, min1, min2, autoResize);
            FakeItem first(along(0, extent1));
            FakeItem second;
            ResizerGeometry(state, extent, &first, &second).layoutControls();

            int wanted = extent1;
            if (autoResize && wanted < min1)
                wanted = min1;
            else if (autoResize && whole - wanted - 80 < min2)
                wanted = whole - 80 - min2;
            const int taken = wanted >= 0 ? wanted : extent1;
            const QString where = QStringLiteral("round %1").arg(round);
            QVERIFY2(length(first.rect) == taken, qPrintable(where));
            if (whole - taken - 80 >= 0)
                QVERIFY2(second.rect == along(taken + 80, whole - taken - 80), qPrintable(where));
            else
                QVERIFY2(second.moves == 0, qPrintable(where));
            if (second.moves == 0)
                continue;

            const int pointer = random.bounded(-500, whole + 500);
            const int total = length(first.rect) + length(second.rect);
            const int secondStart = start(second.rect);
            float anchor = taken + 40;
            int moved = taken + pointer - int(anchor);
            if (moved < min1)
                moved = min1;
            if (total - moved < min2)
                moved = total - min2;
            ResizerGeometry(state, extent, &first, &second).drag(anchor, pointer);
            const int now = moved >= 0 ? moved : taken;
            QVERIFY2(length(first.rect) == now, qPrintable(where));
            if (total - moved >= 0) {
                QVERIFY2(start(second.rect) == secondStart + moved - taken, qPrintable(where));
                QVERIFY2(length(second.rect) == total - moved, qPrintable(where));
            }
            const double expectedAnchor = (now < pointer && pointer < now + 80) ? pointer : now + 40;
            QVERIFY2(double(anchor) == expectedAnchor, qPrintable(where));
        }
    }

    // Text stored where a number is read (a hand-edited or damaged description): converted
    // when it is a number in range, else the default (-1 here; false for Booleans).
    void propertyBag_storedTextReadAsNumbers_data()
    {
        QTest::addColumn<QString>("text"); QTest::addColumn<int>("asInt32"); QTest::addColumn<int>("asInt16");
        QTest::addColumn<bool>("asBoolean");
        QTest::newRow("number") << "80" << 80 << 80 << true;
        QTest::newRow("spaces around") << " 80 " << 80 << 80 << true;
        QTest::newRow("zero") << "0" << 0 << 0 << false;
        QTest::newRow("largest 16-bit") << "32767" << 32767 << 32767 << true;
        QTest::newRow("beyond 16 bits") << "32768" << 32768 << -1 << true;
        QTest::newRow("smallest 16-bit") << "-32768" << -32768 << -32768 << true;
        QTest::newRow("largest 32-bit") << "2147483647" << 2147483647 << -1 << true;
        // Once read as -2147483648: a negative size.
        QTest::newRow("above 2147483647") << "2147483648" << -1 << -1 << true;
        QTest::newRow("smallest 32-bit") << "-2147483648" << int(-2147483648LL) << -1 << true;
        QTest::newRow("below -2147483648") << "-2147483649" << -1 << -1 << true;
        QTest::newRow("beyond 64 bits") << "99999999999999999999" << -1 << -1 << false;
        QTest::newRow("not a number") << "abc" << -1 << -1 << false;
        QTest::newRow("empty") << "" << -1 << -1 << false;
        QTest::newRow("True") << "True" << -1 << -1 << true;
        QTest::newRow("false in lower case") << "false" << -1 << -1 << false;
        // Qt's conversion stopped at a NUL and took the 44 before it.
        QTest::newRow("NUL inside") << QStringLiteral("44") + QChar(0) + QStringLiteral("junk") << -1 << -1 << false;
    }
    void propertyBag_storedTextReadAsNumbers()
    {
        QFETCH(QString, text); QFETCH(int, asInt32); QFETCH(int, asInt16); QFETCH(bool, asBoolean);
        PropertyBag bag;
        bag.writeString("K", text, "<none>");
        QCOMPARE(bag.readInt32("K", -1), asInt32);
        QCOMPARE(int(bag.readInt16("K", -1)), asInt16);
        QCOMPARE(bag.readBoolean("K", false), asBoolean);
        QCOMPARE(bag.readString("K", QString()), text);
    }

    // A value equal to its default is not stored, and writing the default again takes a
    // stored value out: the next read gives the default, not the old value.
    void propertyBag_writingTheDefaultRemovesTheKey()
    {
        PropertyBag bag;
        bag.writeInt32("A", 1, 0);
        bag.writeBoolean("B", false, true);
        bag.writeInt32("a", 3, 0);
        bag.writeInt16("C", 1, 1);
        QCOMPARE(bag.keys(), QStringList({"a", "B"}));
        QCOMPARE(bag.readInt32("A", 0), 3);
        QCOMPARE(bag.readString("B", QString()), QStringLiteral("False"));
        bag.writeInt32("A", 0, 0);
        bag.writeBoolean("B", true, true);
        QVERIFY(bag.isEmpty());
        QCOMPARE(bag.readInt32("A", 7), 7);
    }
};

QTEST_MAIN(tst_Controls)
#include "tst_controls.moc"
