#include "settings/FormSettings.h"
#include "settings/RegKeys.h"
#include "support/TempSettings.h"
#include "ui/main/FormPosition.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>

using RegKeys::Hive;

namespace {

const QString positionKey = QStringLiteral("Software\\Kel\\Vorn\\Position");

QString stored(const QString &name)
{
    return RegKeys::ReadKeyValue(Hive::CurrentUser, positionKey, name, QStringLiteral("<missing>"));
}

void store(const QString &name, const QString &value)
{
    RegKeys::WriteKeyValue(Hive::CurrentUser, positionKey, name, value);
}

// Twips per pixel on the test screen.
int twipsPerPixel()
{
    return qRound(1440.0 / QGuiApplication::primaryScreen()->logicalDotsPerInchX());
}

} // namespace

class tst_FormPosition : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Offscreen screens report 96 dpi: 15 twips to the pixel.
        QCOMPARE(twipsPerPixel(), 15);
    }

    void save_storesThePlaceInTwips()
    {
        TempSettings temp;
        QWidget form;
        form.setObjectName(QStringLiteral("frmMain"));
        form.move(100, 50);
        form.resize(300, 200);
        FormSettings::SaveFormPosition(form, QStringLiteral("Vorn"), false);
        QCOMPARE(stored(QStringLiteral("frmMain.Left")), QStringLiteral("1500"));
        QCOMPARE(stored(QStringLiteral("frmMain.Top")), QStringLiteral("750"));
        QCOMPARE(stored(QStringLiteral("frmMain.Width")), QStringLiteral("4500"));
        QCOMPARE(stored(QStringLiteral("frmMain.Height")), QStringLiteral("3000"));
        QCOMPARE(stored(QStringLiteral("frmMain")), QStringLiteral("frmMain"));
    }

    void restore_givesTheWindowItsPlace()
    {
        TempSettings temp;
        QPoint outerCorner;
        QRect inside;
        {
            QWidget form;
            form.setObjectName(QStringLiteral("frmMain"));
            form.setGeometry(120, 90, 420, 310);
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            outerCorner = form.pos();
            inside = form.geometry();
            FormSettings::SaveFormPosition(form, QStringLiteral("Vorn"), false);
        }
        QWidget form;
        form.setObjectName(QStringLiteral("frmMain"));
        form.resize(200, 100);
        FormSettings::RestoreFormPosition(form, QStringLiteral("Vorn"), false);
        QCOMPARE(form.pos(), outerCorner);
        QCOMPARE(form.size(), inside.size());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.pos(), outerCorner);
        QCOMPARE(form.geometry(), inside);
    }

    // Regression: a size taken with the window manager's frame and given back without it
    // made the window grow by its frame at every start.
    void restoreThenSave_runAfterRun_keepsTheSameNumbers()
    {
        TempSettings temp;
        QStringList first;
        for (int run = 0; run < 3; ++run) {
            QWidget form;
            form.setObjectName(QStringLiteral("frmMain"));
            form.setGeometry(150, 120, 420, 310);
            FormSettings::RestoreFormPosition(form, QStringLiteral("Vorn"), false);
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            FormSettings::SaveFormPosition(form, QStringLiteral("Vorn"), false);
            const QStringList numbers = {stored(QStringLiteral("frmMain.Left")), stored(QStringLiteral("frmMain.Top")),
                                         stored(QStringLiteral("frmMain.Width")),
                                         stored(QStringLiteral("frmMain.Height"))};
            if (run == 0)
                first = numbers;
            else
                QCOMPARE(numbers, first);
        }
        QCOMPARE(first.at(2), QStringLiteral("6300"));
        QCOMPARE(first.at(3), QStringLiteral("4650"));
    }

    void restore_emptyStore_leavesTheWindowUnmoved()
    {
        TempSettings temp;
        QWidget form;
        form.setObjectName(QStringLiteral("frmMain"));
        form.resize(200, 100);
        FormSettings::RestoreFormPosition(form, QStringLiteral("Vorn"), false);
        QVERIFY(!form.testAttribute(Qt::WA_Moved));
        QCOMPARE(form.size(), QSize(200, 100));
    }

    void restore_lettersInTop_leaveTheTopAndRestoreTheRest()
    {
        TempSettings temp;
        store(QStringLiteral("frmMain.Width"), QStringLiteral("6000"));
        store(QStringLiteral("frmMain.Height"), QStringLiteral("4500"));
        store(QStringLiteral("frmMain.Top"), QStringLiteral("abc"));
        store(QStringLiteral("frmMain.Left"), QStringLiteral("1500"));
        store(QStringLiteral("frmMain"), QStringLiteral("frmMain"));
        QWidget form;
        form.setObjectName(QStringLiteral("frmMain"));
        form.setGeometry(10, 33, 200, 100);
        FormSettings::RestoreFormPosition(form, QStringLiteral("Vorn"), false);
        QCOMPARE(form.pos(), QPoint(100, 33));
        QCOMPARE(form.size(), QSize(400, 300));
    }

    void restore_positionOnly_keepsTheSize()
    {
        TempSettings temp;
        store(QStringLiteral("frmSet.Width"), QStringLiteral("15000"));
        store(QStringLiteral("frmSet.Height"), QStringLiteral("15000"));
        store(QStringLiteral("frmSet.Top"), QStringLiteral("600"));
        store(QStringLiteral("frmSet.Left"), QStringLiteral("900"));
        store(QStringLiteral("frmSet"), QStringLiteral("frmSet"));
        QWidget form;
        form.setObjectName(QStringLiteral("frmSet"));
        form.resize(381, 188);
        FormSettings::RestoreFormPosition(form, QStringLiteral("Vorn"), true);
        QCOMPARE(form.pos(), QPoint(60, 40));
        QCOMPARE(form.size(), QSize(381, 188));
    }

    void restore_placeOffEveryScreen_comesBackOntoTheNearest()
    {
        TempSettings temp;
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        // Far right of the only screen, as on a second monitor since unplugged.
        const int farLeft = (screen.right() + 1000) * 15;
        store(QStringLiteral("frmMain.Width"), QStringLiteral("4500"));
        store(QStringLiteral("frmMain.Height"), QStringLiteral("3000"));
        store(QStringLiteral("frmMain.Top"), QStringLiteral("750"));
        store(QStringLiteral("frmMain.Left"), QString::number(farLeft));
        store(QStringLiteral("frmMain"), QStringLiteral("frmMain"));
        QWidget form;
        form.setObjectName(QStringLiteral("frmMain"));
        FormSettings::RestoreFormPosition(form, QStringLiteral("Vorn"), false);
        QCOMPARE(form.size(), QSize(300, 200));
        QCOMPARE(form.pos(), QPoint(screen.right() + 1 - 300, 50));
        // The stored place stays as it was.
        QCOMPARE(stored(QStringLiteral("frmMain.Left")), QString::number(farLeft));
    }

    void restore_placeOffOnlyTheTop_movesOnlyDown()
    {
        TempSettings temp;
        store(QStringLiteral("frmSet.Top"), QStringLiteral("-90000"));
        store(QStringLiteral("frmSet.Left"), QStringLiteral("1500"));
        store(QStringLiteral("frmSet"), QStringLiteral("frmSet"));
        QWidget form;
        form.setObjectName(QStringLiteral("frmSet"));
        form.resize(381, 188);
        FormSettings::RestoreFormPosition(form, QStringLiteral("Vorn"), true);
        QCOMPARE(form.pos(), QPoint(100, QGuiApplication::primaryScreen()->availableGeometry().top()));
    }

    void windowWithoutName_isNotRemembered()
    {
        TempSettings temp;
        QWidget form;
        form.move(10, 10);
        FormSettings::SaveFormPosition(form, QStringLiteral("Vorn"), false);
        QVERIFY(!QFile::exists(temp.storeFile()));
        FormSettings::RestoreFormPosition(form, QStringLiteral("Vorn"), false);
        QCOMPARE(form.pos(), QPoint(10, 10));
    }
};

QTEST_MAIN(tst_FormPosition)
#include "tst_formposition.moc"
