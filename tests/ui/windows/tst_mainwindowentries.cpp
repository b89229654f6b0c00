#include "support/ScriptedPrompter.h"
#include "support/TestCatalogue.h"
#include "platform/Texts.h"
#include "ui/main/frmMain.h"
#include "ui/main/StatusPanels.h"
#include "ui/main/TextBox.h"
#include "ui/windows/Transpart.h"
#include "ui/windows/frmAbout.h"
#include "ui/windows/frmDayApi.h"
#include "ui/windows/frmHelp.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <functional>

namespace {

// The headings carry their anchor on a zero-width non-joiner, so that no letter of the
// heading itself is set apart from the others.
const QChar invisibleAnchor(0x200C);

// Runs the check on the blocking window that the action opens, then closes it. A guard
// closes any blocking window left open, so no test can wait for ever.
void whileBlocking(QAction *action, const std::function<void(QWidget *)> &check)
{
    bool seen = false;
    QTimer::singleShot(0, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        seen = modal != nullptr;
        if (modal) {
            check(modal);
            modal->close();
        }
    });
    QTimer guard;
    guard.setInterval(5000);
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    guard.start();
    action->trigger();
    QVERIFY2(seen, "the entry opened no blocking window");
}

QStringList entryTexts(QMenu *menu)
{
    QStringList texts;
    for (QAction *a : menu->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
}

QMenu *menuTitled(QMenuBar *bar, const QString &title)
{
    for (QAction *a : bar->actions())
        if (a->menu() && a->text() == title)
            return a->menu();
    return nullptr;
}

} // namespace

class tst_MainWindowEntries : public QObject
{
    Q_OBJECT

private:
    ScriptedPrompter m_prompter;
    std::unique_ptr<frmMain> m_main;

private slots:
    void init()
    {
        m_main = std::make_unique<frmMain>(m_prompter);
        m_main->setProgramFolder(qEnvironmentVariable("VORN_BIN_DIR"));
        m_main->setRecordset(recordsetOf({record("Beep", "Private Declare Function Beep Lib \"kernel32\" ()"),
                                          record("Sleep", "Private Declare Sub Sleep Lib \"kernel32\" ()")}));
        m_main->BuildCatalogueTree();
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
    }

    void cleanup()
    {
        if (frmAbout *about = m_main->aboutWindow())
            delete about;
        m_main.reset();
    }

    void functionMenu_endsWithTheFunctionOfTheDay()
    {
        QMenu *function = menuTitled(m_main->menuBar(), QStringLiteral("&تابع"));
        QVERIFY(function);
        const QStringList texts = entryTexts(function);
        QVERIFY(texts.size() >= 4);
        QCOMPARE(texts.mid(texts.size() - 4),
                 (QStringList{QStringLiteral("فرمت"), Texts::mnuVba7, QStringLiteral("-"), QStringLiteral("تابع روز")}));
        QCOMPARE(m_main->mnuDayFun->objectName(), QStringLiteral("mnuDayFun"));
        QVERIFY(m_main->mnuDayFun->isEnabled());
        QVERIFY(!m_main->mnuDayFun->isCheckable());
    }

    // The day window opens blocking over the main window, whose view stays as it was;
    // closing it returns to the main window.
    void mnuDayFun_opensTheDayWindow_andLeavesTheViewAlone()
    {
        m_main->ShowFunction(QStringLiteral("Sleep"));
        const QString name = m_main->lblFunctionName->text();
        const QString declaration = m_main->txtFunction->text();
        const QString description = m_main->txtComment->text();
        const QString status = m_main->statusPanels()->text(QStringLiteral("name"));
        whileBlocking(m_main->mnuDayFun, [&](QWidget *modal) {
            auto *day = qobject_cast<frmDayApi *>(modal);
            QVERIFY(day);
            QCOMPARE(day->parentWidget(), m_main.get());
            QVERIFY(day->isModal());
            const qsizetype position = m_main->ADO().AbsolutePosition();
            QVERIFY(position == 1 || position == 2);
            QCOMPARE(day->txtFunction->text(), m_main->ADO().at(position)[CatalogueRecord::Declaration]);
            QTest::mouseClick(day->cmdNext, Qt::LeftButton);
            QTest::mouseClick(day->cmdBack, Qt::LeftButton);
            QTest::mouseClick(day->cmdOK, Qt::LeftButton);
        });
        QCOMPARE(m_main->lblFunctionName->text(), name);
        QCOMPARE(m_main->txtFunction->text(), declaration);
        QCOMPARE(m_main->txtComment->text(), description);
        QCOMPARE(m_main->statusPanels()->text(QStringLiteral("name")), status);
        QVERIFY(m_main->isVisible());
        QVERIFY(m_main->findChildren<frmDayApi *>().isEmpty());
    }

    void helpMenu_entriesInOrder()
    {
        QMenu *help = menuTitled(m_main->menuBar(), QStringLiteral("&کمک"));
        QVERIFY(help);
        QCOMPARE(help->objectName(), QStringLiteral("mnuHelp"));
        QCOMPARE(entryTexts(help), (QStringList{QStringLiteral("توابع API چيست"), QStringLiteral("نحوه فراخواني توابع"),
                                                QStringLiteral("-"), QStringLiteral("درباره Vorn")}));
        QCOMPARE(m_main->mnuAbout->shortcut(), QKeySequence(Qt::Key_F1));
        QVERIFY(m_main->mnuAPIHelp->shortcut().isEmpty());
        QVERIFY(m_main->mnuDeclare->shortcut().isEmpty());
        // The help menu comes last.
        QCOMPARE(m_main->menuBar()->actions().last()->menu(), help);
    }

    void helpEntries_openTheirPage_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("heading");
        QTest::newRow("mnuAPIHelp") << "mnuAPIHelp" << QStringLiteral("توابع API چيست");
        QTest::newRow("mnuDeclare") << "mnuDeclare" << QStringLiteral("نحوه فراخواني توابع");
    }

    void helpEntries_openTheirPage()
    {
        QFETCH(QString, entry);
        QFETCH(QString, heading);
        QAction *action = m_main->findChild<QAction *>(entry);
        QVERIFY(action);
        whileBlocking(action, [&](QWidget *modal) {
            auto *help = qobject_cast<frmHelp *>(modal);
            QVERIFY(help);
            QCOMPARE(help->parentWidget(), m_main.get());
            QVERIFY(help->isModal());
            QVERIFY(help->wbHelp->toPlainText().remove(invisibleAnchor).startsWith(heading));
        });
        // Closed and gone: the next use builds a fresh window.
        QVERIFY(m_main->findChildren<frmHelp *>().isEmpty());
    }

    void declareAfterWapi_opensAFreshWindow()
    {
        QPointer<frmHelp> first;
        whileBlocking(m_main->mnuAPIHelp, [&](QWidget *modal) { first = qobject_cast<frmHelp *>(modal); });
        QVERIFY(!first);
        whileBlocking(m_main->mnuDeclare, [&](QWidget *modal) {
            auto *help = qobject_cast<frmHelp *>(modal);
            QVERIFY(help);
            QVERIFY(help->wbHelp->source().toLocalFile().endsWith(QLatin1String("/help/DECLARE.htm")));
            QVERIFY(help->wbHelp->toPlainText().remove(invisibleAnchor).startsWith(QStringLiteral("نحوه فراخواني توابع")));
        });
    }

    void mnuAbout_opensTheAboutWindow_andDisablesTheMainWindow()
    {
        m_main->mnuAbout->trigger();
        frmAbout *about = m_main->aboutWindow();
        QVERIFY(about);
        QVERIFY(about->isVisible());
        QVERIFY(about->isEnabled());
        QCOMPARE(Transpart::windowAlpha(about), 255);
        QVERIFY(!m_main->isEnabled());
        QCOMPARE(about->lblCount->text(), QStringLiteral("Function Count : 2"));
        QTest::mouseClick(about->cmdBack, Qt::LeftButton);
        QVERIFY(m_main->isEnabled());
        QTRY_VERIFY(!m_main->aboutWindow());
        // After Back it opens again, afresh, and fades in again.
        m_main->mnuAbout_Click();
        QVERIFY(m_main->aboutWindow());
        QCOMPARE(Transpart::windowAlpha(m_main->aboutWindow()), 255);
        m_main->aboutWindow()->close();
        QVERIFY(m_main->isEnabled());
    }

    // The key row's button opens the same window.
    void cmdAbout_opensTheAboutWindow()
    {
        QCOMPARE(m_main->cmdAbout->text(), QStringLiteral("&درباره"));
        QTest::mouseClick(m_main->cmdAbout, Qt::LeftButton);
        frmAbout *about = m_main->aboutWindow();
        QVERIFY(about);
        QVERIFY(about->isVisible());
        QVERIFY(!m_main->isEnabled());
        // Closing by the frame gives the main window back at once.
        about->close();
        QVERIFY(m_main->isEnabled());
    }

    // F1 is the about window, not a help page.
    void f1_opensAbout()
    {
        m_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
        QTest::keyClick(m_main.get(), Qt::Key_F1);
        QTRY_VERIFY(m_main->aboutWindow());
        QVERIFY(m_main->findChildren<frmHelp *>().isEmpty());
        // While it is open the main window takes no F1: there is only one about window.
        frmAbout *about = m_main->aboutWindow();
        QTest::keyClick(m_main.get(), Qt::Key_F1);
        QCOMPARE(m_main->aboutWindow(), about);
        about->close();
    }
};

QTEST_MAIN(tst_MainWindowEntries)
#include "tst_mainwindowentries.moc"
