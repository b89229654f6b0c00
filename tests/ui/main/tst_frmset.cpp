#include "platform/Texts.h"
#include "platform/Twips.h"
#include "settings/FormSettings.h"
#include "settings/RegKeys.h"
#include "support/FakeMainView.h"
#include "support/TempSettings.h"
#include "ui/main/frmSet.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using RegKeys::Hive;

namespace {

QString stored(const QString &name)
{
    return FormSettings::GetAppSetting(name, QStringLiteral("Vorn"), QStringLiteral("<missing>"));
}

void store(const QString &name, const QString &value)
{
    FormSettings::SaveAppSetting(name, value, QStringLiteral("Vorn"));
}

QString storedPlace(const QString &name)
{
    return RegKeys::ReadKeyValue(Hive::CurrentUser, QStringLiteral("Software\\Kel\\Vorn\\Position"), name,
                                 QStringLiteral("<missing>"));
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The control's geometry in twips, relative to its container.
QRect twips(const QWidget *control)
{
    const double x = control->logicalDpiX();
    const double y = control->logicalDpiY();
    const QRect g = control->geometry();
    return QRect(Twips::fromPixels(g.x(), x), Twips::fromPixels(g.y(), y), Twips::fromPixels(g.width(), x),
                 Twips::fromPixels(g.height(), y));
}

void typeInto(QComboBox *box, const QString &text)
{
    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), text);
}

// The control that holds the keyboard focus, a combo box for its own line edit.
QWidget *focusOwner()
{
    QWidget *focus = QApplication::focusWidget();
    if (focus && qobject_cast<QComboBox *>(focus->parentWidget()))
        return focus->parentWidget();
    return focus;
}

const QStringList sizes = {"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24", "26", "28", "36", "48", "72"};

} // namespace

class tst_frmSet : public QObject
{
    Q_OBJECT

private slots:
    void layout_asDrawn()
    {
        TempSettings temp;
        FakeMainView view;
        frmSet dialog(view);
        QCOMPARE(dialog.objectName(), QStringLiteral("frmSet"));
        QCOMPARE(dialog.windowTitle(), Texts::frmSetCaption);
        QCOMPARE(dialog.layoutDirection(), Qt::RightToLeft);
        QCOMPARE(dialog.font().family(), QStringLiteral("Tahoma"));

        QCOMPARE(dialog.Frame2->objectName(), QStringLiteral("Frame2"));
        QCOMPARE(dialog.Frame2->title(), Texts::frame2);
        QCOMPARE(twips(dialog.Frame2), QRect(240, 240, 3495, 1695));

        QCOMPARE(dialog.cboCmFontSize->objectName(), QStringLiteral("cboCmFontSize"));
        QCOMPARE(dialog.cboCmFontSize->parentWidget(), dialog.Frame2);
        QCOMPARE(twips(dialog.cboCmFontSize), QRect(480, 480, 855, 315));
        QCOMPARE(dialog.cboFnFontSize->objectName(), QStringLiteral("cboFnFontSize"));
        QCOMPARE(dialog.cboFnFontSize->parentWidget(), dialog.Frame2);
        QCOMPARE(twips(dialog.cboFnFontSize), QRect(480, 960, 855, 315));

        QCOMPARE(dialog.Label1[1]->objectName(), QStringLiteral("Label1"));
        QCOMPARE(dialog.Label1[1]->property("Index").toInt(), 1);
        QCOMPARE(dialog.Label1[1]->text(), Texts::label1Comment);
        QCOMPARE(dialog.Label1[1]->parentWidget(), dialog.Frame2);
        QCOMPARE(twips(dialog.Label1[1]), QRect(1440, 525, 1695, 255));
        QCOMPARE(dialog.Label1[0]->objectName(), QStringLiteral("Label1"));
        QCOMPARE(dialog.Label1[0]->property("Index").toInt(), 0);
        QCOMPARE(dialog.Label1[0]->text(), Texts::label1Code);
        QCOMPARE(twips(dialog.Label1[0]), QRect(1440, 1005, 1695, 255));

        QCOMPARE(dialog.chkDayFn->objectName(), QStringLiteral("chkDayFn"));
        QCOMPARE(dialog.chkDayFn->text(), Texts::chkDayFn);
        QCOMPARE(dialog.chkDayFn->parentWidget(), &dialog);
        QCOMPARE(twips(dialog.chkDayFn), QRect(240, 2280, 3495, 375));

        QCOMPARE(dialog.cmdOK->objectName(), QStringLiteral("cmdOK"));
        QCOMPARE(dialog.cmdOK->text(), Texts::cmdOK);
        QCOMPARE(twips(dialog.cmdOK), QRect(4200, 360, 1215, 375));
        QCOMPARE(dialog.cmdCancel->objectName(), QStringLiteral("cmdCancel"));
        QCOMPARE(dialog.cmdCancel->text(), Texts::cmdCancel);
        QCOMPARE(twips(dialog.cmdCancel), QRect(4200, 840, 1215, 375));
    }

    void texts_areThePersianOnes()
    {
        // Labels end with a blank; Persian written with Arabic yeh and keheh.
        QVERIFY(Texts::label1Code.endsWith(QLatin1Char(' ')));
        QVERIFY(Texts::label1Comment.endsWith(QLatin1Char(' ')));
        QVERIFY(Texts::label1Code.contains(QChar(0x06A9)));
        QVERIFY(Texts::label1Code.contains(QChar(0x064A)));
        for (const QString &text : {Texts::frmSetCaption, Texts::frame2, Texts::label1Code, Texts::label1Comment,
                                    Texts::chkDayFn, Texts::cmdOK, Texts::cmdCancel}) {
            QVERIFY(!text.contains(QChar(0x06CC))); // Farsi yeh
            QVERIFY(!text.contains(QChar(0x0643))); // Arabic kaf
        }
        QCOMPARE(Texts::cmdOK.at(0), QLatin1Char('&'));
        QCOMPARE(Texts::cmdCancel.at(0), QLatin1Char('&'));
    }

    void fixedDialog_withoutMinimiseOrMaximise()
    {
        TempSettings temp;
        FakeMainView view;
        frmSet dialog(view);
        const QSize client(Twips::toPixels(5715, dialog.logicalDpiX()), Twips::toPixels(2820, dialog.logicalDpiY()));
        QCOMPARE(dialog.size(), client);
        QCOMPARE(dialog.minimumSize(), client);
        QCOMPARE(dialog.maximumSize(), client);
        const Qt::WindowFlags flags = dialog.windowFlags();
        QCOMPARE(dialog.windowType(), Qt::Dialog);
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(flags & Qt::WindowTitleHint);
        QVERIFY(flags & Qt::MSWindowsFixedSizeDialogHint);
    }

    void lists_offerTheSixteenSizes_typingAllowed()
    {
        TempSettings temp;
        FakeMainView view;
        frmSet dialog(view);
        for (QComboBox *box : {dialog.cboFnFontSize, dialog.cboCmFontSize}) {
            QStringList items;
            for (int i = 0; i < box->count(); ++i)
                items << box->itemText(i);
            QCOMPARE(items, sizes);
            QVERIFY(box->isEditable());
            QCOMPARE(box->currentText(), QStringLiteral("8"));
        }
        QVERIFY(dialog.chkDayFn->isChecked());
    }

    void tabOrder()
    {
        TempSettings temp;
        FakeMainView view;
        frmSet dialog(view);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(focusOwner(), dialog.chkDayFn);
        const QList<QWidget *> order = {dialog.cboFnFontSize, dialog.cboCmFontSize, dialog.cmdOK, dialog.cmdCancel,
                                        dialog.chkDayFn};
        for (QWidget *next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(focusOwner(), next);
        }
        dialog.reject();
    }

    void showSettings_fillsTheStoredValues()
    {
        TempSettings temp;
        store(QStringLiteral("Fn Font Size"), QStringLiteral("12"));
        store(QStringLiteral("Cm Font Size"), QStringLiteral("abc"));
        store(QStringLiteral("Day Function"), QStringLiteral("0"));
        FakeMainView view;
        frmSet dialog(view);
        QCOMPARE(dialog.cboFnFontSize->currentText(), QStringLiteral("12"));
        QCOMPARE(dialog.cboCmFontSize->currentText(), QStringLiteral("abc"));
        QVERIFY(!dialog.chkDayFn->isChecked());
        QVERIFY(view.calls.isEmpty());
    }

    void ok_withTwelveAndFourteen_showsAndStoresBoth()
    {
        TempSettings temp;
        FakeMainView view;
        frmSet dialog(view);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.cboFnFontSize->setCurrentIndex(sizes.indexOf(QStringLiteral("12")));
        typeInto(dialog.cboCmFontSize, QStringLiteral("14"));
        QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);

        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(view.calls, QStringList({QStringLiteral("functionFont 12"), QStringLiteral("commentFont 14")}));
        QCOMPARE(stored(QStringLiteral("Fn Font Size")), QStringLiteral("12"));
        QCOMPARE(stored(QStringLiteral("Cm Font Size")), QStringLiteral("14"));
        QCOMPARE(stored(QStringLiteral("Day Function")), QStringLiteral("1"));
        // The login entry starts this very program with -d.
        const QByteArray entry = fileBytes(temp.autostartFile());
        QVERIFY(entry.contains(QByteArray("\nExec=\"" + frmSet::programPath().toUtf8() + "\" -d\n")));
        QCOMPARE(frmSet::programPath(), QCoreApplication::applicationFilePath());
    }

    void cancel_changesAndStoresNothing()
    {
        TempSettings temp;
        FakeMainView view;
        frmSet dialog(view);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        typeInto(dialog.cboFnFontSize, QStringLiteral("20"));
        typeInto(dialog.cboCmFontSize, QStringLiteral("22"));
        dialog.chkDayFn->setChecked(false);
        QTest::mouseClick(dialog.cmdCancel, Qt::LeftButton);

        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());
        QVERIFY(view.calls.isEmpty());
        QCOMPARE(stored(QStringLiteral("Fn Font Size")), QStringLiteral("<missing>"));
        QCOMPARE(stored(QStringLiteral("Cm Font Size")), QStringLiteral("<missing>"));
        QCOMPARE(stored(QStringLiteral("Day Function")), QStringLiteral("<missing>"));
        QVERIFY(!QFile::exists(temp.autostartFile()));
    }

    void escapeAndFrameClose_areCancel()
    {
        TempSettings temp;
        FakeMainView view;
        {
            frmSet dialog(view);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            typeInto(dialog.cboFnFontSize, QStringLiteral("20"));
            QTest::keyClick(&dialog, Qt::Key_Escape);
            QVERIFY(!dialog.isVisible());
        }
        {
            frmSet dialog(view);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            typeInto(dialog.cboFnFontSize, QStringLiteral("20"));
            dialog.close();
            QVERIFY(!dialog.isVisible());
        }
        QVERIFY(view.calls.isEmpty());
        QCOMPARE(stored(QStringLiteral("Fn Font Size")), QStringLiteral("<missing>"));
        QVERIFY(!QFile::exists(temp.autostartFile()));
        // Both still remembered where the dialog stood.
        QCOMPARE(storedPlace(QStringLiteral("frmSet")), QStringLiteral("frmSet"));
    }

    void ok_unchecked_removesTheLoginEntry()
    {
        TempSettings temp;
        FakeMainView view;
        {
            frmSet dialog(view);
            dialog.cmdOK->click();
        }
        QVERIFY(QFile::exists(temp.autostartFile()));
        frmSet dialog(view);
        QVERIFY(dialog.chkDayFn->isChecked());
        QTest::mouseClick(dialog.chkDayFn, Qt::LeftButton);
        QVERIFY(!dialog.chkDayFn->isChecked());
        dialog.cmdOK->click();
        QCOMPARE(stored(QStringLiteral("Day Function")), QStringLiteral("0"));
        QVERIFY(!QFile::exists(temp.autostartFile()));
        frmSet again(view);
        QVERIFY(!again.chkDayFn->isChecked());
    }

    void updateAutostart_followsTheCheckBoxAlone()
    {
        TempSettings temp;
        FakeMainView view;
        frmSet dialog(view);
        dialog.chkDayFn->setChecked(true);
        dialog.UpdateAutostart();
        QVERIFY(QFile::exists(temp.autostartFile()));
        dialog.chkDayFn->setChecked(false);
        dialog.UpdateAutostart();
        QVERIFY(!QFile::exists(temp.autostartFile()));
        QCOMPARE(stored(QStringLiteral("Day Function")), QStringLiteral("<missing>"));
    }

    void ok_withTextThatIsNoSize_storesItAndKeepsTheBox()
    {
        TempSettings temp;
        FakeMainView view;
        frmSet dialog(view);
        typeInto(dialog.cboFnFontSize, QStringLiteral("abc"));
        typeInto(dialog.cboCmFontSize, QStringLiteral("16"));
        dialog.cmdOK->click();
        QCOMPARE(stored(QStringLiteral("Fn Font Size")), QStringLiteral("abc"));
        QCOMPARE(view.calls, QStringList{QStringLiteral("commentFont 16")});
        // Typing does not add to the list.
        QCOMPARE(dialog.cboFnFontSize->count(), 16);
    }

    void place_isRememberedButNeverTheSize()
    {
        TempSettings temp;
        FakeMainView view;
        QPoint closedAt;
        {
            frmSet dialog(view);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            dialog.move(140, 95);
            closedAt = dialog.pos();
            dialog.cmdCancel->click();
        }
        QCOMPARE(storedPlace(QStringLiteral("frmSet")), QStringLiteral("frmSet"));
        QCOMPARE(storedPlace(QStringLiteral("frmSet.Left")), QString::number(closedAt.x() * 15));
        QCOMPARE(storedPlace(QStringLiteral("frmSet.Top")), QString::number(closedAt.y() * 15));
        QCOMPARE(storedPlace(QStringLiteral("frmSet.Width")), QStringLiteral("<missing>"));
        QCOMPARE(storedPlace(QStringLiteral("frmSet.Height")), QStringLiteral("<missing>"));

        // Opened again in front of a window elsewhere, it comes back where it was closed.
        QWidget owner;
        owner.setGeometry(400, 400, 300, 300);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        frmSet dialog(view, &owner);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.pos(), closedAt);
        QCOMPARE(dialog.size(),
                 QSize(Twips::toPixels(5715, dialog.logicalDpiX()), Twips::toPixels(2820, dialog.logicalDpiY())));
        dialog.reject();
    }

    void storedSize_isIgnored()
    {
        TempSettings temp;
        RegKeys::WriteKeyValue(Hive::CurrentUser, QStringLiteral("Software\\Kel\\Vorn\\Position"),
                               QStringLiteral("frmSet.Width"), QStringLiteral("15000"));
        RegKeys::WriteKeyValue(Hive::CurrentUser, QStringLiteral("Software\\Kel\\Vorn\\Position"),
                               QStringLiteral("frmSet.Left"), QStringLiteral("1500"));
        RegKeys::WriteKeyValue(Hive::CurrentUser, QStringLiteral("Software\\Kel\\Vorn\\Position"),
                               QStringLiteral("frmSet"), QStringLiteral("frmSet"));
        FakeMainView view;
        frmSet dialog(view);
        QCOMPARE(dialog.x(), 100);
        QCOMPARE(dialog.width(), Twips::toPixels(5715, dialog.logicalDpiX()));
    }
};

QTEST_MAIN(tst_frmSet)
#include "tst_frmset.moc"
