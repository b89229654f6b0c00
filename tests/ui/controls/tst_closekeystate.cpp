#include "ui/controls/CloseKeyState.h"
#include "ui/controls/OleColor.h"

#include <QPalette>
#include <QTest>

using Look = CloseKeyState::Look;

class tst_CloseKeyState : public QObject
{
    Q_OBJECT

private slots:
    void colours_areTheDesignsOwn()
    {
        const QPalette palette;
        QCOMPARE(OleColor::toColor(CloseKeyState::normalColor, palette), QColor(231, 231, 239));
        QCOMPARE(OleColor::toColor(CloseKeyState::litColor, palette), QColor(247, 248, 79));
        QCOMPARE(OleColor::toColor(CloseKeyState::frameColor, palette), QColor(192, 192, 192));
        QCOMPARE(OleColor::fromRgb(231, 231, 239), CloseKeyState::normalColor);
        QCOMPARE(OleColor::toColor(OleColor::buttonFace, palette), palette.color(QPalette::Button));
        QCOMPARE(CloseKeyState::timerInterval, 10);
    }

    void newButton_isNormal()
    {
        CloseKeyState state;
        state.initialise();
        QCOMPARE(state.look(), Look::Normal);
        QCOMPARE(state.backColor(), CloseKeyState::normalColor);
        QCOMPARE(state.offsetX(), 0);
        QCOMPARE(state.offsetY(), qint16(0));
        QVERIFY(!state.timerEnabled());
    }

    void moveInside_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("pressed");
        QTest::newRow("no button") << 0 << false;
        QTest::newRow("left") << 1 << true;
        QTest::newRow("right") << 2 << false;
        QTest::newRow("left and right") << 3 << false;
        QTest::newRow("middle") << 4 << false;
    }

    void moveInside()
    {
        // Lit in every case, pressed only with the left button alone.
        QFETCH(int, button);
        QFETCH(bool, pressed);
        CloseKeyState state;
        state.pointerMove(button, true);
        QCOMPARE(state.backColor(), CloseKeyState::litColor);
        QVERIFY(state.timerEnabled());
        QCOMPARE(state.look(), pressed ? Look::Pressed : Look::Lit);
        QCOMPARE(state.offsetX(), pressed ? 16 : 0);
        QCOMPARE(state.offsetY(), qint16(pressed ? 15 : 0));
    }

    void moveInsideWithoutLeft_keepsAPressThatIsThere()
    {
        CloseKeyState state;
        state.pointerDown();
        state.pointerMove(2, true);
        QCOMPARE(state.look(), Look::Pressed);
        QCOMPARE(state.backColor(), CloseKeyState::litColor);
    }

    void moveOutside_dropsLightAndPress()
    {
        CloseKeyState state;
        state.pointerMove(1, true);
        state.pointerMove(1, false);
        QCOMPARE(state.look(), Look::Normal);
        QCOMPARE(state.backColor(), CloseKeyState::normalColor);
        QCOMPARE(state.offsetX(), 0);
        QVERIFY(!state.timerEnabled());
    }

    void press_stopsTheTimer_andLeavesTheBackground()
    {
        CloseKeyState state;
        state.pointerMove(0, true);
        state.pointerDown();
        QCOMPARE(state.look(), Look::Pressed);
        QCOMPARE(state.backColor(), CloseKeyState::litColor);
        QVERIFY(!state.timerEnabled());

        CloseKeyState dark;
        dark.pointerDown();
        QCOMPARE(dark.backColor(), CloseKeyState::normalColor);
    }

    void release_resetsOffsets_andStartsTheTimer()
    {
        CloseKeyState state;
        state.pointerMove(1, true);
        state.pointerUp();
        QCOMPARE(state.look(), Look::Lit);
        QCOMPARE(state.offsetX(), 0);
        QCOMPARE(state.offsetY(), qint16(0));
        QVERIFY(state.timerEnabled());
    }

    void timerTick_switchesTheLightOffOnlyWhenThePointerIsElsewhere()
    {
        CloseKeyState state;
        state.pointerMove(0, true);
        QVERIFY(!state.timerTick(true));
        QCOMPARE(state.look(), Look::Lit);
        QVERIFY(state.timerEnabled());
        QVERIFY(state.timerTick(false));
        QCOMPARE(state.look(), Look::Normal);
        QVERIFY(!state.timerEnabled());
    }

    void timerTick_leavesTheOffsets()
    {
        CloseKeyState state;
        state.pointerMove(1, true);
        QVERIFY(state.timerTick(false));
        QCOMPARE(state.backColor(), CloseKeyState::normalColor);
        QCOMPARE(state.offsetX(), 16);
        QCOMPARE(state.look(), Look::Pressed);
    }

    void isInside_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<bool>("inside");
        QTest::newRow("corner") << 0.0 << 0.0 << true;
        QTest::newRow("last twip") << 254.9 << 254.9 << true;
        QTest::newRow("right edge") << 255.0 << 10.0 << false;
        QTest::newRow("bottom edge") << 10.0 << 255.0 << false;
        QTest::newRow("left of it") << -0.5 << 10.0 << false;
        QTest::newRow("above it") << 10.0 << -15.0 << false;
    }

    void isInside()
    {
        QFETCH(double, x);
        QFETCH(double, y);
        QFETCH(bool, inside);
        QCOMPARE(CloseKeyState::isInside(x, y, 255, 255), inside);
    }

    void textPosition_centresWithoutRounding()
    {
        QCOMPARE(CloseKeyState::textPosition(QSizeF(255, 255), QSizeF(120, 195), 0, 0), QPointF(67.5, 30));
        QCOMPARE(CloseKeyState::textPosition(QSizeF(255, 255), QSizeF(120, 195), 16, 15), QPointF(83.5, 45));
        QCOMPARE(CloseKeyState::textPosition(QSizeF(450, 360), QSizeF(121, 195), 0, 0), QPointF(164.5, 82.5));
    }
};

QTEST_APPLESS_MAIN(tst_CloseKeyState)
#include "tst_closekeystate.moc"
