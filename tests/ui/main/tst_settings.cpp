// The settings window used through its controls, and the places of the windows given
// back at start. The stored values themselves are tested in tests/settings.
#include "platform/Twips.h"
#include "settings/FormSettings.h"
#include "settings/RegKeys.h"
#include "support/FakeMainView.h"
#include "support/TempSettings.h"
#include "ui/main/FormPosition.h"
#include "ui/main/frmSet.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using RegKeys::Hive;

namespace {

const QString positionKey = QStringLiteral("Software\\Kel\\Vorn\\Position");

QString stored(const QString &name) { return FormSettings::GetAppSetting(name, "Vorn", "<missing>"); }
QString storedPlace(const QString &name) { return RegKeys::ReadKeyValue(Hive::CurrentUser, positionKey, name, "<missing>"); }
void storePlace(const QString &name, const QString &value) { RegKeys::WriteKeyValue(Hive::CurrentUser, positionKey, name, value); }

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void showAndActivate(QWidget &window)
{
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

// Clicks into the box and types the text over what it holds.
void typeInto(QComboBox *box, const QString &text)
{
    QTest::mouseClick(box->lineEdit(), Qt::LeftButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), text);
}

} // namespace

class tst_Settings : public QObject
{
    Q_OBJECT

private slots:
    // OK gives the window the sizes and stores what was typed (a text that is no size is
    // stored but not given) and writes or removes the login entry; every other way out
    // changes nothing but the dialog's place.
    void settingsWindow_storesOnOkAlone_data()
    {
        QTest::addColumn<QString>("function");
        QTest::addColumn<bool>("untick");
        QTest::addColumn<int>("way"); // 0 OK, 1 Cancel, 2 Escape, 3 window closed
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QString>("storedFunction");
        QTest::newRow("OK, two sizes") << "12" << false << 0 << QStringList{"functionFont 12", "commentFont 14"} << "12";
        QTest::newRow("OK, no size, unticked") << "abc" << true << 0 << QStringList{"commentFont 14"} << "abc";
        QTest::newRow("Cancel") << "20" << true << 1 << QStringList() << "8";
        QTest::newRow("Escape") << "20" << true << 2 << QStringList() << "8";
        QTest::newRow("window closed") << "20" << true << 3 << QStringList() << "8";
    }

    void settingsWindow_storesOnOkAlone()
    {
        QFETCH(QString, function);
        QFETCH(bool, untick);
        QFETCH(int, way);
        QFETCH(QStringList, calls);
        QFETCH(QString, storedFunction);
        TempSettings temp;
        FakeMainView view;
        frmSet(view).cmdOK->click(); // 8, 8 and the login entry to begin with
        view.calls.clear();
        frmSet dialog(view);
        showAndActivate(dialog);
        typeInto(dialog.cboFnFontSize, function);
        typeInto(dialog.cboCmFontSize, QStringLiteral("14"));
        if (untick)
            QTest::mouseClick(dialog.chkDayFn, Qt::LeftButton);
        if (way < 2)
            QTest::mouseClick(way == 0 ? dialog.cmdOK : dialog.cmdCancel, Qt::LeftButton);
        else if (way == 2)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        else
            dialog.close();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(way == 0 ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(view.calls, calls);
        const bool dayFunction = way > 0 || !untick;
        QCOMPARE(stored("Fn Font Size"), storedFunction);
        QCOMPARE(stored("Cm Font Size"), way == 0 ? QStringLiteral("14") : QStringLiteral("8"));
        QCOMPARE(stored("Day Function"), dayFunction ? QStringLiteral("1") : QStringLiteral("0"));
        QCOMPARE(dialog.cboFnFontSize->count(), 16); // typing does not add to the list
        QCOMPARE(storedPlace(QStringLiteral("frmSet")), QStringLiteral("frmSet"));
        // The login entry starts this very program with -d, or is gone.
        QCOMPARE(QFile::exists(temp.autostartFile()), dayFunction);
        if (dayFunction)
            QVERIFY(fileBytes(temp.autostartFile())
                        .contains(QByteArray("\nExec=\"" + QCoreApplication::applicationFilePath().toUtf8() + "\" -d\n")));
        frmSet again(view); // opened again, it shows what was stored
        QCOMPARE(again.cboFnFontSize->currentText(), storedFunction);
        QCOMPARE(again.chkDayFn->isChecked(), dayFunction);
        QCOMPARE(view.calls, calls);
    }

    // Opened in front of a window elsewhere, it comes back where it was closed, in its
    // own size whatever size is stored.
    void settingsWindow_placeRememberedNeverItsSize()
    {
        TempSettings temp;
        FakeMainView view;
        QPoint closedAt;
        {
            frmSet dialog(view);
            showAndActivate(dialog);
            dialog.move(140, 95);
            closedAt = dialog.pos();
            QTest::mouseClick(dialog.cmdCancel, Qt::LeftButton);
        }
        QCOMPARE(storedPlace(QStringLiteral("frmSet.Left")), QString::number(closedAt.x() * 15));
        QCOMPARE(storedPlace(QStringLiteral("frmSet.Top")), QString::number(closedAt.y() * 15));
        QCOMPARE(storedPlace(QStringLiteral("frmSet.Width")), QStringLiteral("<missing>"));
        storePlace(QStringLiteral("frmSet.Width"), QStringLiteral("15000"));
        QWidget owner;
        owner.setGeometry(400, 400, 300, 300);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        frmSet dialog(view, &owner);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.pos(), closedAt);
        QCOMPARE(dialog.size(), QSize(Twips::toPixels(5715, dialog.logicalDpiX()), Twips::toPixels(2820, dialog.logicalDpiY())));
        dialog.reject();
    }

    // The fault: the size was taken with the window manager's frame and given back
    // without it, so the main window grew by its frame at every start.
    void windowGrewByItsFrameAtEveryStart()
    {
        TempSettings temp;
        QStringList first;
        QPoint outerCorner;
        for (int run = 0; run < 3; ++run) {
            QWidget form;
            form.setObjectName(QStringLiteral("frmMain"));
            form.setGeometry(150, 120, 420, 310);
            FormSettings::RestoreFormPosition(form, QStringLiteral("Vorn"), false);
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            if (run > 0)
                QCOMPARE(form.pos(), outerCorner);
            QCOMPARE(form.size(), QSize(420, 310));
            outerCorner = form.pos();
            FormSettings::SaveFormPosition(form, QStringLiteral("Vorn"), false);
            const QStringList numbers = {storedPlace(QStringLiteral("frmMain.Left")), storedPlace(QStringLiteral("frmMain.Top")),
                                         storedPlace(QStringLiteral("frmMain.Width")), storedPlace(QStringLiteral("frmMain.Height"))};
            if (run == 0)
                first = numbers;
            QCOMPARE(numbers, first);
        }
        QCOMPARE(first.mid(2), (QStringList{"6300", "4650"}));
    }

    // Only what is stored moves the window; a place off every screen comes back onto the
    // nearest, while the stored values stay as they were.
    void storedPlace_givenBack_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QStringList>("values"); // Left, Top, Width, Height
        QTest::addColumn<QRect>("expected");
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QTest::newRow("dialog: place only") << "frmSet" << QStringList{"900", "600", "15000", "15000"}
                                            << QRect(60, 40, 200, 100);
        QTest::newRow("off to the right") << "frmMain" << QStringList{"9000000", "750", "4500", "3000"}
                                          << QRect(screen.right() + 1 - 300, 50, 300, 200);
        QTest::newRow("off the top") << "frmSet" << QStringList{"1500", "-90000", "0", "0"}
                                     << QRect(100, screen.top(), 200, 100);
    }

    void storedPlace_givenBack()
    {
        QFETCH(QString, form);
        QFETCH(QStringList, values);
        QFETCH(QRect, expected);
        TempSettings temp;
        const QStringList names = {".Left", ".Top", ".Width", ".Height"};
        for (int i = 0; i < 4; ++i)
            storePlace(form + names[i], values[i]);
        storePlace(form, form);
        const QByteArray before = fileBytes(temp.storeFile());
        QWidget window;
        window.setObjectName(form);
        window.setGeometry(10, 33, 200, 100);
        FormSettings::RestoreFormPosition(window, QStringLiteral("Vorn"), form == "frmSet");
        QCOMPARE(QRect(window.pos(), window.size()), expected);
        QCOMPARE(fileBytes(temp.storeFile()), before);
    }
};

QTEST_MAIN(tst_Settings)
#include "tst_settings.moc"
