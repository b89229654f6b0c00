#include "FakeItem.h"

#include "ui/controls/ResizerGeometry.h"

#include <QTest>

namespace {

ResizerExtent extentOf(qint32 width, qint32 height, qint32 border = 0)
{
    return ResizerExtent{width, height, width - 2 * border, height - 2 * border};
}

// The main window's outer splitter: side by side, strip 80, minimums 1430 and 2000,
// no auto-resize.
ResizerState resControlsState()
{
    ResizerState state;
    state.orientation = 1;
    state.separatorSize = 80;
    state.minControlSize = {1430, 2000};
    state.autoResize = false;
    return state;
}

ResizerState stackedState(qint32 separator, qint32 min1, qint32 min2, bool autoResize)
{
    ResizerState state;
    state.orientation = 0;
    state.separatorSize = separator;
    state.minControlSize = {min1, min2};
    state.autoResize = autoResize;
    return state;
}

} // namespace

class tst_ResizerGeometry : public QObject
{
    Q_OBJECT

private slots:
    void slotAt_followsInvertControls()
    {
        ResizerState state;
        QCOMPARE(state.slotAt(1), 0);
        QCOMPARE(state.slotAt(2), 1);
        state.invertControls = true;
        QCOMPARE(state.slotAt(1), 1);
        QCOMPARE(state.slotAt(2), 0);
    }

    void resControls_sideBySide_placesBothAroundTheStrip()
    {
        FakeItem tree(QRect(0, 0, 4095, 100));
        FakeItem function(QRect(10, 10, 100, 100));
        ResizerGeometry(resControlsState(), extentOf(9255, 3135), &tree, &function).layoutControls();
        QCOMPARE(tree.rect, QRect(0, 0, 4095, 3135));
        QCOMPARE(function.rect, QRect(4175, 0, 5080, 3135));
    }

    void layout_keepsFirstExtentWithoutAutoResize_evenBeyondTheSecondsMinimum()
    {
        FakeItem tree(QRect(0, 0, 8000, 3135));
        FakeItem function;
        ResizerGeometry(resControlsState(), extentOf(9255, 3135), &tree, &function).layoutControls();
        QCOMPARE(tree.rect, QRect(0, 0, 8000, 3135));
        QCOMPARE(function.rect, QRect(8080, 0, 1175, 3135));
    }

    void layout_secondGivenNegativeExtent_isRefusedAndKeepsItsPlace()
    {
        FakeItem tree(QRect(0, 0, 9200, 3135));
        FakeItem function(QRect(4175, 0, 5080, 3135));
        ResizerGeometry(resControlsState(), extentOf(9255, 3135), &tree, &function).layoutControls();
        QCOMPARE(tree.rect, QRect(0, 0, 9200, 3135));
        QCOMPARE(function.rect, QRect(4175, 0, 5080, 3135));
        QVERIFY(function.moves.isEmpty());
    }

    void autoResize_data()
    {
        QTest::addColumn<int>("innerHeight");
        QTest::addColumn<int>("min1");
        QTest::addColumn<int>("min2");
        QTest::addColumn<int>("firstHeight");
        QTest::addColumn<int>("expectedFirst");
        QTest::addColumn<int>("expectedSecond");
        // The function-of-the-day splitter: the second control's minimum pulls the
        // first back.
        QTest::newRow("second minimum") << 3255 << 500 << 500 << 3000 << 2675 << 500;
        QTest::newRow("room for both") << 3255 << 500 << 500 << 1000 << 1000 << 2175;
        QTest::newRow("exactly the second minimum") << 3255 << 500 << 500 << 2675 << 2675 << 500;
        // The first control's minimum is tested first and alone: it wins even when the
        // second then falls below its own.
        QTest::newRow("first minimum wins") << 1000 << 500 << 600 << 100 << 500 << 420;
    }

    void autoResize()
    {
        QFETCH(int, innerHeight);
        QFETCH(int, min1);
        QFETCH(int, min2);
        QFETCH(int, firstHeight);
        QFETCH(int, expectedFirst);
        QFETCH(int, expectedSecond);
        FakeItem first(QRect(0, 0, 5325, firstHeight));
        FakeItem second;
        ResizerGeometry(stackedState(80, min1, min2, true), extentOf(5325, innerHeight), &first,
                        &second)
            .layoutControls();
        QCOMPARE(first.rect, QRect(0, 0, 5325, expectedFirst));
        QCOMPARE(second.rect, QRect(0, expectedFirst + 80, 5325, expectedSecond));
    }

    void layout_usesInnerArea_withBorder()
    {
        FakeItem first(QRect(0, 0, 10, 1000));
        FakeItem second;
        // 30 twips of border on each side: the controls share the inner 3000 x 2000.
        ResizerGeometry(stackedState(80, 90, 90, false), extentOf(3060, 2060, 30), &first, &second)
            .layoutControls();
        QCOMPARE(first.rect, QRect(0, 0, 3000, 1000));
        QCOMPARE(second.rect, QRect(0, 1080, 3000, 920));
    }

    void layout_followsTheExtentTheFirstControlTook()
    {
        FakeItem first(QRect(0, 0, 3000, 500));
        first.settle = [](const QRect &asked) { return QRect(asked.topLeft(), QSize(asked.width(), 600)); };
        FakeItem second;
        ResizerGeometry(stackedState(80, 90, 90, false), extentOf(3000, 2000), &first, &second)
            .layoutControls();
        QCOMPARE(first.rect.height(), 600);
        QCOMPARE(second.rect, QRect(0, 680, 3000, 1320));
    }

    void listViews_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<bool>("firstIsList");
        QTest::addColumn<bool>("secondIsList");
        QTest::addColumn<QRect>("expectedFirst");
        QTest::addColumn<QRect>("expectedSecond");
        // Inner 3000 x 2000, strip 80, first extent 1000.
        QTest::newRow("stacked, first a list") << 0 << true << false << QRect(-15, -15, 3030, 1000)
                                               << QRect(0, 1050, 3000, 950);
        QTest::newRow("stacked, both lists") << 0 << true << true << QRect(-15, -15, 3030, 1000)
                                             << QRect(-15, 1035, 3030, 950);
        QTest::newRow("stacked, second a list") << 0 << false << true << QRect(0, 0, 3000, 1000)
                                                << QRect(-15, 1065, 3030, 920);
        QTest::newRow("side by side, first a list") << 1 << true << false << QRect(-15, -15, 1000, 2030)
                                                    << QRect(1050, 0, 1950, 2000);
        QTest::newRow("side by side, both lists") << 1 << true << true << QRect(-15, -15, 1000, 2030)
                                                  << QRect(1035, -15, 1950, 2030);
    }

    void listViews()
    {
        QFETCH(int, orientation);
        QFETCH(bool, firstIsList);
        QFETCH(bool, secondIsList);
        QFETCH(QRect, expectedFirst);
        QFETCH(QRect, expectedSecond);
        FakeItem first(QRect(0, 0, 1000, 1000), firstIsList);
        FakeItem second(QRect(), secondIsList);
        ResizerState state = stackedState(80, 90, 90, false);
        state.orientation = orientation;
        ResizerGeometry(state, extentOf(3000, 2000), &first, &second).layoutControls();
        QCOMPARE(first.rect, expectedFirst);
        QCOMPARE(second.rect, expectedSecond);
    }

    void hiddenSlot_data()
    {
        QTest::addColumn<bool>("visible0");
        QTest::addColumn<bool>("visible1");
        QTest::addColumn<bool>("invert");
        QTest::addColumn<int>("hiddenSlot");
        QTest::newRow("slot 0") << false << true << false << 0;
        QTest::newRow("slot 1") << true << false << false << 1;
        // Flags belong to slots: inverting moves the control, not the flag.
        QTest::newRow("slot 0, inverted") << false << true << true << 0;
        // The first slot's flag decides alone when it is off.
        QTest::newRow("both off") << false << false << false << 0;
    }

    void hiddenSlot()
    {
        QFETCH(bool, visible0);
        QFETCH(bool, visible1);
        QFETCH(bool, invert);
        QFETCH(int, hiddenSlot);
        ResizerState state = resControlsState();
        state.controlVisible = {visible0, visible1};
        state.invertControls = invert;
        FakeItem items[2] = {FakeItem(QRect(0, 0, 4095, 3135)), FakeItem(QRect(4175, 0, 5080, 3135))};
        ResizerGeometry(state, extentOf(9285, 3165, 15), &items[0], &items[1]).layoutControls();
        FakeItem &gone = items[hiddenSlot];
        FakeItem &kept = items[1 - hiddenSlot];
        QVERIFY(!gone.visible);
        // Parked at the outer width, its size and top kept.
        QCOMPARE(gone.rect.left(), 9285);
        QCOMPARE(gone.rect.top(), 0);
        QCOMPARE(gone.rect.size(), hiddenSlot == 0 ? QSize(4095, 3135) : QSize(5080, 3135));
        QVERIFY(kept.visible);
        QCOMPARE(kept.rect, QRect(0, 0, 9255, 3135));
    }

    void hiddenSlot_listViewTakesInnerAreaBeyondTheEdges()
    {
        ResizerState state = resControlsState();
        state.controlVisible = {false, true};
        FakeItem first(QRect(0, 0, 4095, 3135));
        FakeItem second(QRect(), true);
        ResizerGeometry(state, extentOf(9255, 3135), &first, &second).layoutControls();
        QCOMPARE(second.rect, QRect(-15, -15, 9285, 3165));
    }

    void restoringVisibility_sharesTheOuterExtentFirst_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QRect>("expectedFirst");
        QTest::addColumn<QRect>("expectedSecond");
        // Outer 9285 x 3165 with a 15-twip border, strip 80: each gets (3165 - 80) \ 2 =
        // 1542 high (or (9285 - 80) \ 2 = 4602 wide), and the layout then runs from that.
        QTest::newRow("stacked") << 0 << QRect(0, 0, 9255, 1542) << QRect(0, 1622, 9255, 1513);
        QTest::newRow("side by side") << 1 << QRect(0, 0, 4602, 3135) << QRect(4682, 0, 4573, 3135);
    }

    void restoringVisibility_sharesTheOuterExtentFirst()
    {
        QFETCH(int, orientation);
        QFETCH(QRect, expectedFirst);
        QFETCH(QRect, expectedSecond);
        ResizerState state = resControlsState();
        state.orientation = orientation;
        FakeItem first(QRect(9285, 0, 4095, 3135));
        first.visible = false;
        FakeItem second(QRect(0, 0, 9255, 3135));
        ResizerGeometry(state, extentOf(9285, 3165, 15), &first, &second).layoutControls();
        QVERIFY(first.visible);
        QVERIFY(second.visible);
        QCOMPARE(first.rect, expectedFirst);
        QCOMPARE(second.rect, expectedSecond);
    }

    void restoringVisibility_sharedHalfTruncates()
    {
        ResizerState state = stackedState(80, 90, 90, false);
        FakeItem first(QRect(0, 0, 100, 100));
        FakeItem second(QRect(0, 0, 100, 100));
        second.visible = false;
        ResizerGeometry(state, extentOf(1000, 1081), &first, &second).layoutControls();
        // (1081 - 80) \ 2 = 500: the odd twip goes to the second control.
        QCOMPARE(first.moves.first().height(), 500);
        QCOMPARE(second.moves.first().height(), 500);
        QCOMPARE(second.rect, QRect(0, 580, 1000, 501));
    }

    void otherOrientation_onlyVisibility()
    {
        ResizerState state = resControlsState();
        state.orientation = 2;
        FakeItem first(QRect(1, 2, 3, 4));
        first.visible = false;
        FakeItem second(QRect(5, 6, 7, 8));
        ResizerGeometry(state, extentOf(9255, 3135), &first, &second).layoutControls();
        QVERIFY(first.visible);
        QVERIFY(second.visible);
        QVERIFY(first.moves.isEmpty());
        QVERIFY(second.moves.isEmpty());

        state.controlVisible = {true, false};
        ResizerGeometry(state, extentOf(9255, 3135), &first, &second).layoutControls();
        QVERIFY(!second.visible);
        QCOMPARE(first.rect, QRect(0, 0, 9255, 3135));
    }

    void fewerThanTwoControls_layoutChangesNothing()
    {
        FakeItem only(QRect(1, 2, 3, 4));
        only.visible = false;
        ResizerGeometry(resControlsState(), extentOf(9255, 3135), &only, nullptr).layoutControls();
        ResizerGeometry(resControlsState(), extentOf(9255, 3135), nullptr, nullptr).layoutControls();
        QVERIFY(only.moves.isEmpty());
        QVERIFY(!only.visible);
        const ResizerGeometry geometry(resControlsState(), extentOf(9255, 3135), &only, nullptr);
        QCOMPARE(geometry.control1Size(), 3);
        QCOMPARE(geometry.control2Size(), 0);
        QCOMPARE(geometry.atPosition(2), nullptr);
        QCOMPARE(geometry.atPosition(0), nullptr);
        QCOMPARE(geometry.atPosition(3), nullptr);
    }

    void extentsBeyond16Bits_layOutLikeAnyOther()
    {
        // A window some 4000 pixels wide: far more twips than a 16-bit number holds.
        ResizerState state = resControlsState();
        FakeItem first(QRect(0, 0, 40000, 3135));
        FakeItem second;
        ResizerGeometry(state, extentOf(60000, 40000), &first, &second).layoutControls();
        QCOMPARE(first.rect, QRect(0, 0, 40000, 40000));
        QCOMPARE(second.rect, QRect(40080, 0, 19920, 40000));

        state.orientation = 0;
        state.autoResize = true;
        first.rect = QRect(0, 0, 100, 50000);
        ResizerGeometry(state, extentOf(9000, 70000), &first, &second).layoutControls();
        QCOMPARE(first.rect, QRect(0, 0, 9000, 50000));
        QCOMPARE(second.rect, QRect(0, 50080, 9000, 19920));
    }

    void absurdStoredMinimum_isRefusedNotWrapped()
    {
        ResizerState state = stackedState(80, 90, 2000000000, true);
        FakeItem first(QRect(0, 0, 100, 1000));
        FakeItem second(QRect(0, 1080, 100, 920));
        ResizerGeometry(state, extentOf(100, 2000), &first, &second).layoutControls();
        // The first control would go far negative: refused, and the second then follows
        // the extent the first still has.
        QCOMPARE(first.rect, QRect(0, 0, 100, 1000));
        QCOMPARE(second.rect, QRect(0, 1080, 100, 920));
    }

    void control1Size_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("expected");
        QTest::newRow("below the minimum") << 50 << 90;
        QTest::newRow("at the minimum") << 90 << 90;
        QTest::newRow("inside") << 1200 << 1200;
        QTest::newRow("the whole extent") << 3000 << 2910;
        QTest::newRow("beyond") << 5000 << 2910;
    }

    void control1Size()
    {
        QFETCH(int, size);
        QFETCH(int, expected);
        FakeItem first(QRect(0, 0, 500, 1000));
        FakeItem second(QRect(0, 1080, 500, 1920));
        // Outer height 3000 with a 15-twip border: the setter works from the outer one.
        const ResizerGeometry geometry(stackedState(80, 90, 90, false), extentOf(530, 3000, 15),
                                       &first, &second);
        QVERIFY(geometry.setControl1Size(size));
        QCOMPARE(first.rect, QRect(0, 0, 500, expected));
        QCOMPARE(second.rect, QRect(0, 1080, 500, 3000 - expected));
        QCOMPARE(geometry.control1Size(), expected);
    }

    void control1Size_usesTheFirstSlotsMinimum_evenInverted()
    {
        ResizerState state = stackedState(80, 90, 700, false);
        state.invertControls = true;
        state.orientation = 1;
        FakeItem slot0(QRect(1080, 0, 1920, 500));
        FakeItem slot1(QRect(0, 0, 1000, 500));
        const ResizerGeometry geometry(state, extentOf(3000, 500), &slot0, &slot1);
        QCOMPARE(geometry.atPosition(1), &slot1);
        QVERIFY(geometry.setControl1Size(50));
        QCOMPARE(slot1.rect.width(), 90);
        QCOMPARE(slot0.rect.width(), 2910);
        QVERIFY(geometry.setControl2Size(50));
        QCOMPARE(slot0.rect.width(), 700);
        QCOMPARE(slot1.rect.width(), 2300);
    }

    void sizeSetters_withAnEmptyPosition()
    {
        FakeItem only(QRect(0, 0, 500, 1000));
        const ResizerGeometry geometry(stackedState(80, 90, 90, false), extentOf(500, 3000), &only,
                                       nullptr);
        // Position 2 empty: the first control takes its extent, then setting the other fails.
        QVERIFY(!geometry.setControl1Size(1200));
        QCOMPARE(only.rect.height(), 1200);
        // Setting an empty position does nothing but lets the layout run.
        QVERIFY(geometry.setControl2Size(700));
        QCOMPARE(only.rect.height(), 1200);

        ResizerState inverted = stackedState(80, 90, 90, false);
        inverted.invertControls = true;
        const ResizerGeometry other(inverted, extentOf(500, 3000), &only, nullptr);
        QVERIFY(other.setControl1Size(700));
        QVERIFY(!other.setControl2Size(800));
        QCOMPARE(only.rect.height(), 800);
    }

    void control2Size_thenLayout_leavesTheSecondTheSizeLessTheStrip()
    {
        FakeItem first(QRect(0, 0, 500, 1000));
        FakeItem second(QRect(0, 1080, 500, 1920));
        const ResizerGeometry geometry(stackedState(80, 90, 90, false), extentOf(500, 3000), &first,
                                       &second);
        QVERIFY(geometry.setControl2Size(1200));
        QCOMPARE(second.rect.height(), 1200);
        QCOMPARE(first.rect.height(), 1800);
        geometry.layoutControls();
        QCOMPARE(second.rect.height(), 1120);
        QCOMPARE(geometry.control2Size(), 1120);
    }

    void drag_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<int>("min1");
        QTest::addColumn<int>("min2");
        QTest::addColumn<double>("pointer");
        QTest::addColumn<int>("expectedFirst");
        QTest::addColumn<int>("expectedSecondStart");
        QTest::addColumn<int>("expectedSecond");
        QTest::addColumn<double>("expectedAnchor");
        // First control 1000, second starting at 1080 with 2000, strip 80, anchor 1040.
        QTest::newRow("inside the strip") << 0 << 90 << 90 << 1140.0 << 1100 << 1180 << 1900 << 1140.0;
        QTest::newRow("second minimum stops it")
            << 0 << 90 << 640 << 3100.0 << 2360 << 2440 << 640 << 2400.0;
        QTest::newRow("first minimum stops it") << 0 << 90 << 90 << 100.0 << 90 << 170 << 2910 << 100.0;
        QTest::newRow("beyond the first minimum") << 0 << 500 << 90 << 100.0 << 500 << 580 << 2500 << 540.0;
        // Both minimums cannot hold: the second correction stands.
        QTest::newRow("second minimum wins") << 0 << 1500 << 1700 << 1140.0 << 1300 << 1380 << 1700 << 1340.0;
        QTest::newRow("side by side") << 1 << 90 << 640 << 3100.0 << 2360 << 2440 << 640 << 2400.0;
        QTest::newRow("side by side, inside the strip")
            << 1 << 90 << 90 << 1140.0 << 1100 << 1180 << 1900 << 1140.0;
    }

    void drag()
    {
        QFETCH(int, orientation);
        QFETCH(int, min1);
        QFETCH(int, min2);
        QFETCH(double, pointer);
        QFETCH(int, expectedFirst);
        QFETCH(int, expectedSecondStart);
        QFETCH(int, expectedSecond);
        QFETCH(double, expectedAnchor);
        ResizerState state = stackedState(80, min1, min2, true);
        state.orientation = orientation;
        const bool stacked = orientation == 0;
        FakeItem first(stacked ? QRect(0, 0, 5000, 1000) : QRect(0, 0, 1000, 5000));
        FakeItem second(stacked ? QRect(0, 1080, 5000, 2000) : QRect(1080, 0, 2000, 5000));
        float anchor = 1040;
        ResizerGeometry(state, extentOf(5000, 5000), &first, &second).drag(anchor, pointer);
        if (stacked) {
            QCOMPARE(first.rect, QRect(0, 0, 5000, expectedFirst));
            QCOMPARE(second.rect, QRect(0, expectedSecondStart, 5000, expectedSecond));
        } else {
            QCOMPARE(first.rect, QRect(0, 0, expectedFirst, 5000));
            QCOMPARE(second.rect, QRect(expectedSecondStart, 0, expectedSecond, 5000));
        }
        QCOMPARE(double(anchor), expectedAnchor);
    }

    void drag_parkedAnchorHoldsTheStripUntilThePointerComesBack()
    {
        ResizerState state = stackedState(80, 90, 640, true);
        FakeItem first(QRect(0, 0, 5000, 1000));
        FakeItem second(QRect(0, 1080, 5000, 2000));
        float anchor = 1040;
        const ResizerGeometry geometry(state, extentOf(5000, 3080), &first, &second);
        geometry.drag(anchor, 3100);
        QCOMPARE(double(anchor), 2400.0);
        // Further down: still held by the minimum, anchor stays parked.
        geometry.drag(anchor, 3000);
        QCOMPARE(first.rect.height(), 2360);
        QCOMPARE(double(anchor), 2400.0);
        // Back up past the middle of the strip: the strip follows again.
        geometry.drag(anchor, 2300);
        QCOMPARE(first.rect.height(), 2260);
        QCOMPARE(second.rect, QRect(0, 2340, 5000, 740));
        QCOMPARE(double(anchor), 2300.0);
    }

    void drag_invertedUsesTheMinimumOfTheControlAtEachPosition()
    {
        ResizerState state = stackedState(80, 640, 90, true);
        state.invertControls = true;
        FakeItem slot0(QRect(0, 1080, 5000, 2000)); // at position 2, minimum 640
        FakeItem slot1(QRect(0, 0, 5000, 1000));    // at position 1, minimum 90
        float anchor = 1040;
        ResizerGeometry(state, extentOf(5000, 3080), &slot0, &slot1).drag(anchor, 3100);
        QCOMPARE(slot1.rect.height(), 2360);
        QCOMPARE(slot0.rect, QRect(0, 2440, 5000, 640));
    }

    void drag_otherOrientationMovesNothing()
    {
        ResizerState state = stackedState(80, 90, 90, true);
        state.orientation = 2;
        FakeItem first(QRect(0, 0, 5000, 1000));
        FakeItem second(QRect(0, 1080, 5000, 2000));
        float anchor = 1040;
        ResizerGeometry(state, extentOf(5000, 3080), &first, &second).drag(anchor, 1140);
        QVERIFY(first.moves.isEmpty());
        QVERIFY(second.moves.isEmpty());
        QCOMPARE(double(anchor), 1040.0);
    }
};

QTEST_APPLESS_MAIN(tst_ResizerGeometry)
#include "tst_resizergeometry.moc"
