#include "ui/controls/CloseKey.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

namespace {

// A shown window with the close key at 10, 10, 17 pixels (255 twips) square.
struct Host
{
    Host()
    {
        window.resize(120, 120);
        key = new CloseKey(&window);
        key->setGeometry(10, 10, 17, 17);
        window.show();
        exposed = QTest::qWaitForWindowExposed(&window);
    }

    QWidget window;
    CloseKey *key = nullptr;
    bool exposed = false;
};

void sendMove(QWidget *widget, const QPoint &pos, Qt::MouseButtons buttons)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), widget->mapToGlobal(QPointF(pos)), Qt::NoButton, buttons,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

} // namespace

class tst_CloseKey : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QWidget probe;
        if (probe.logicalDpiX() != 96 || probe.logicalDpiY() != 96)
            QSKIP("the pixel figures here are for 96 dpi");
    }

    // Every case starts with the pointer far from any window.
    void init() { QCursor::setPos(QPoint(2000, 2000)); }

    // A press, a move with the button held, a release: a click only when both the press and
    // the release are on the key; pixel 17 is the first beyond it.
    void pressMoveRelease_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QPoint>("moveTo");
        QTest::addColumn<QPoint>("releaseAt");
        QTest::addColumn<int>("lookAfterMove");
        QTest::addColumn<int>("clicks");
        const int normal = int(CloseKey::Look::Normal);
        const int pressed = int(CloseKey::Look::Pressed);
        QTest::newRow("released inside") << 1 << QPoint(9, 8) << QPoint(8, 8) << pressed << 1;
        QTest::newRow("released on the last pixel") << 1 << QPoint(16, 16) << QPoint(16, 16) << pressed << 1;
        QTest::newRow("released just right of it") << 1 << QPoint(17, 8) << QPoint(17, 8) << normal << 0;
        QTest::newRow("released just below it") << 1 << QPoint(8, 17) << QPoint(8, 17) << normal << 0;
        QTest::newRow("released left of it") << 1 << QPoint(-1, 8) << QPoint(-1, 8) << normal << 0;
        QTest::newRow("dragged out, back, released") << 1 << QPoint(40, 40) << QPoint(8, 9) << normal << 1;
        // Any button presses the key, but only the left one clicks.
        QTest::newRow("right button") << 2 << QPoint(8, 8) << QPoint(8, 8) << pressed << 0;
    }

    void pressMoveRelease()
    {
        QFETCH(int, button);
        QFETCH(QPoint, moveTo);
        QFETCH(QPoint, releaseAt);
        QFETCH(int, lookAfterMove);
        QFETCH(int, clicks);
        Host host;
        QVERIFY(host.exposed);
        CloseKey *key = host.key;
        const Qt::MouseButton mouseButton = button == 1 ? Qt::LeftButton : Qt::RightButton;
        QSignalSpy clicked(key, &CloseKey::Click);
        QTest::mousePress(key, mouseButton, {}, QPoint(8, 8));
        QCOMPARE(key->look(), CloseKey::Look::Pressed);
        QVERIFY(!key->isTimerActive());
        sendMove(key, moveTo, mouseButton);
        QCOMPARE(int(key->look()), lookAfterMove);
        QCOMPARE(key->isTimerActive(), lookAfterMove != int(CloseKey::Look::Normal));
        if (releaseAt != moveTo)
            sendMove(key, releaseAt, mouseButton);
        QTest::mouseRelease(key, mouseButton, {}, releaseAt);
        QCOMPARE(clicked.count(), clicks);
        QVERIFY(key->look() != CloseKey::Look::Pressed);
    }

    // The pointer jumps onto the window beside the key, which sees no move: its timer
    // switches the light off; while the pointer stays, the light stays.
    void timer_switchesTheLightOffWhenThePointerLeftUnseen()
    {
        Host host;
        QVERIFY(host.exposed);
        CloseKey *key = host.key;
        QTest::mouseMove(key, QPoint(8, 8));
        QTRY_VERIFY(key->isLit());
        QTest::qWait(50);
        QVERIFY(key->isLit());
        QCursor::setPos(host.window.mapToGlobal(QPoint(80, 80)));
        QTRY_VERIFY(!key->isLit());
        QVERIFY(!key->isTimerActive());
    }
};

QTEST_MAIN(tst_CloseKey)
#include "tst_closekey.moc"
