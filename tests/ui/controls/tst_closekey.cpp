#include "ui/controls/CloseKey.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

const QColor normal(231, 231, 239);
const QColor lit(247, 248, 79);
const QColor frame(192, 192, 192);

// A shown window with the close button at 10, 10, 255 twips square.
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

QColor at(const QImage &image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

// The pixels of the "X": those in the text colour.
QRect inkOf(const QImage &image, const QColor &ink)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (QColor(image.pixel(x, y)) == ink)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

QImage grabbed(QWidget *widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void sendMove(QWidget *widget, const QPoint &pos, Qt::MouseButtons buttons)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), widget->mapToGlobal(QPointF(pos)), Qt::NoButton,
                     buttons, Qt::NoModifier);
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

    void init()
    {
        // Every case starts with the pointer far from any window: a move to where the
        // pointer already is would not be reported.
        QCursor::setPos(QPoint(2000, 2000));
    }

    void newButton_normalFace()
    {
        Host host;
        CloseKey *key = host.key;
        QCOMPARE(key->look(), CloseKey::Look::Normal);
        QVERIFY(!key->isTimerActive());
        QCOMPARE(key->pressOffsetX(), 0);
        QCOMPARE(key->pressOffsetY(), 0);
        QCOMPARE(key->sizeHint(), QSize(17, 17));
        const QImage face = grabbed(key);
        QCOMPARE(face.size(), QSize(17, 17));
        // The frame on the outermost pixels: its far corner is the size less one pixel.
        for (int i = 0; i < 17; ++i) {
            QCOMPARE(at(face, i, 0), frame);
            QCOMPARE(at(face, i, 16), frame);
            QCOMPARE(at(face, 0, i), frame);
            QCOMPARE(at(face, 16, i), frame);
        }
        QCOMPARE(at(face, 1, 1), normal);
        QCOMPARE(at(face, 15, 15), normal);
        const QRect ink = inkOf(face, key->palette().color(QPalette::WindowText));
        QVERIFY(!ink.isEmpty());
        QVERIFY(QRect(1, 1, 15, 15).contains(ink));
        // Centred within a pixel.
        QVERIFY(qAbs(ink.center().x() - 8) <= 1);
        QVERIFY(qAbs(ink.center().y() - 8) <= 1);
    }

    void pointerOver_lightsUp_andStartsTheTimer()
    {
        Host host;
        CloseKey *key = host.key;
        QTest::mouseMove(key, QPoint(8, 8));
        QTRY_VERIFY(key->isLit());
        QCOMPARE(key->look(), CloseKey::Look::Lit);
        QVERIFY(key->isTimerActive());
        QCOMPARE(key->findChild<QTimer *>(QStringLiteral("Timer"))->interval(), 10);
        const QImage face = grabbed(key);
        QCOMPARE(at(face, 1, 1), lit);
        QCOMPARE(at(face, 0, 0), frame);
        QCOMPARE(at(face, 16, 16), frame);
        QCOMPARE(key->backColor(), lit);
    }

    void timer_switchesTheLightOff_whenThePointerLeftUnseen()
    {
        Host host;
        CloseKey *key = host.key;
        QTest::mouseMove(key, QPoint(8, 8));
        QTRY_VERIFY(key->isLit());
        // The pointer jumps onto the window beside the button: the button sees no move.
        QCursor::setPos(host.window.mapToGlobal(QPoint(80, 80)));
        QTRY_VERIFY(!key->isLit());
        QVERIFY(!key->isTimerActive());
        QCOMPARE(key->look(), CloseKey::Look::Normal);
        QCOMPARE(at(grabbed(key), 1, 1), normal);
    }

    void timer_keepsTheLightWhileThePointerStays()
    {
        Host host;
        CloseKey *key = host.key;
        QTest::mouseMove(key, QPoint(8, 8));
        QTRY_VERIFY(key->isLit());
        QTest::qWait(50);
        QVERIFY(key->isLit());
        QVERIFY(key->isTimerActive());
    }

    void press_showsThePressedLook_andClickComesOnRelease()
    {
        Host host;
        CloseKey *key = host.key;
        const QColor ink = key->palette().color(QPalette::WindowText);
        const QRect normalInk = inkOf(grabbed(key), ink);
        QSignalSpy clicked(key, &CloseKey::Click);
        QTest::mouseMove(key, QPoint(8, 8));
        QTest::mousePress(key, Qt::LeftButton, {}, QPoint(8, 8));
        QCOMPARE(key->look(), CloseKey::Look::Pressed);
        QVERIFY(key->isPressed());
        QCOMPARE(key->pressOffsetX(), 16);
        QCOMPARE(key->pressOffsetY(), 15);
        QVERIFY(!key->isTimerActive());
        const QImage pressed = grabbed(key);
        // The press itself leaves the background as it was: lit by the move before.
        QCOMPARE(at(pressed, 1, 1), lit);
        const QRect pressedInk = inkOf(pressed, ink);
        QCOMPARE(pressedInk.size(), normalInk.size());
        QCOMPARE(pressedInk.top() - normalInk.top(), 1);
        QVERIFY(pressedInk.left() - normalInk.left() >= 1);
        QVERIFY(pressedInk.left() - normalInk.left() <= 2);
        QCOMPARE(at(pressed, 16, 16), frame);
        QCOMPARE(clicked.count(), 0);

        QTest::mouseRelease(key, Qt::LeftButton, {}, QPoint(8, 8));
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(key->look(), CloseKey::Look::Lit);
        QVERIFY(key->isTimerActive());
        QCOMPARE(inkOf(grabbed(key), ink), normalInk);
    }

    void pressDraggedOut_andReleasedOutside_isNoClick()
    {
        Host host;
        CloseKey *key = host.key;
        QSignalSpy clicked(key, &CloseKey::Click);
        QTest::mousePress(key, Qt::LeftButton, {}, QPoint(8, 8));
        QTest::mouseMove(key, QPoint(40, 40));
        QCOMPARE(key->look(), CloseKey::Look::Normal);
        QCOMPARE(key->pressOffsetX(), 0);
        QVERIFY(!key->isTimerActive());
        // Back inside with the button still down: pressed again.
        QTest::mouseMove(key, QPoint(8, 9));
        QCOMPARE(key->look(), CloseKey::Look::Pressed);
        QVERIFY(key->isLit());
        QTest::mouseMove(key, QPoint(40, 40));
        QTest::mouseRelease(key, Qt::LeftButton, {}, QPoint(40, 40));
        QCOMPARE(clicked.count(), 0);
        // The release restarts the timer, which finds the pointer elsewhere.
        QCOMPARE(key->pressOffsetX(), 0);
        QTRY_VERIFY(!key->isTimerActive());
        QCOMPARE(key->look(), CloseKey::Look::Normal);
    }

    void rightButtonMove_lightsButDoesNotPress()
    {
        Host host;
        CloseKey *key = host.key;
        sendMove(key, QPoint(8, 8), Qt::RightButton);
        QVERIFY(key->isLit());
        QVERIFY(!key->isPressed());
        QCOMPARE(key->pressOffsetX(), 0);
        QCOMPARE(key->look(), CloseKey::Look::Lit);
    }

    void rightButtonPress_pressesButGivesNoClick()
    {
        Host host;
        CloseKey *key = host.key;
        QSignalSpy clicked(key, &CloseKey::Click);
        QTest::mousePress(key, Qt::RightButton, {}, QPoint(8, 8));
        QVERIFY(key->isPressed());
        QTest::mouseRelease(key, Qt::RightButton, {}, QPoint(8, 8));
        QVERIFY(!key->isPressed());
        QCOMPARE(clicked.count(), 0);
    }

    void resize_keepsTheXCentred_andTheFrameOnTheLastPixel()
    {
        Host host;
        CloseKey *key = host.key;
        key->resize(31, 24);
        const QImage face = grabbed(key);
        QCOMPARE(face.size(), QSize(31, 24));
        QCOMPARE(at(face, 30, 12), frame);
        QCOMPARE(at(face, 15, 23), frame);
        QCOMPARE(at(face, 29, 22), normal);
        const QRect ink = inkOf(face, key->palette().color(QPalette::WindowText));
        QVERIFY(qAbs(ink.center().x() - 15) <= 1);
        QVERIFY(qAbs(ink.center().y() - 11.5) <= 1.5);
    }

    void paintRequest_showsTheLastFace()
    {
        Host host;
        CloseKey *key = host.key;
        QTest::mouseMove(key, QPoint(8, 8));
        QTRY_VERIFY(key->isLit());
        const QImage first = grabbed(key);
        key->repaint();
        key->update();
        QCoreApplication::processEvents();
        QCOMPARE(grabbed(key), first);
        QCOMPARE(key->face().convertToFormat(QImage::Format_RGB32), first);
        key->PrintX();
        QCOMPARE(grabbed(key), first);
    }
};

QTEST_MAIN(tst_CloseKey)
#include "tst_closekey.moc"
