// A user's walk through the whole program in a real window on a real X server: every
// menu entry, shortcut and key-row button, checked by what it did to the window, the
// clipboard and the disk.
#include "app/mdlMain.h"
#include "catalogue/CatalogueTree.h"
#include "settings/RegKeys.h"
#include "support/ScriptedPrompter.h"
#include "support/TestCatalogue.h"
#include "ui/controls/CloseKey.h"
#include "ui/controls/Resizer.h"
#include "ui/main/AnalysePanel.h"
#include "ui/main/SearchPanel.h"
#include "ui/main/StatusPanels.h"
#include "ui/main/TextBox.h"
#include "ui/main/TwipPanel.h"
#include "ui/main/frmMain.h"
#include "ui/windows/frmAbout.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeView>

using mdlMain::Program;

namespace {

const QString beepDeclaration = QStringLiteral(
    "Private Declare Function Beep Lib \"kernel32\" (ByVal dwFreq As Long, ByVal dwDuration As Long) As Long");

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs once the next modal window is open, then lets the test go on.
void whenModalOpens(std::function<void(QWidget *)> act)
{
    QTimer::singleShot(0, qApp, [act] {
        QTRY_VERIFY(QApplication::activeModalWidget());
        act(QApplication::activeModalWidget());
    });
}

} // namespace

class tst_Walkthrough : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ScriptedPrompter m_prompter;
    std::unique_ptr<Program> m_program;
    frmMain *m_main = nullptr;

    QString path(const QString &name) const { return m_dir.filePath(name); }
    // With VORN_SCREENSHOTS set to a folder, each state of the window is saved there for a
    // person to look at.
    void shot(const QString &name)
    {
        const QString folder = qEnvironmentVariable("VORN_SCREENSHOTS");
        if (folder.isEmpty())
            return;
        QTest::qWait(50);
        QVERIFY(m_main->grab().save(QDir(folder).filePath(name + QStringLiteral(".png"))));
    }
    QAction *entry(const char *name) const { return m_main->findChild<QAction *>(QLatin1String(name)); }
    void clickNode(const QString &key)
    {
        QTreeView *tree = m_main->trvApi;
        const QModelIndex node = m_main->catalogueTree()->indexForKey(key);
        QVERIFY(node.isValid());
        for (QModelIndex up = node.parent(); up.isValid(); up = up.parent())
            tree->expand(up);
        tree->scrollTo(node);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(node).center());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QGuiApplication::platformName() != QLatin1String("offscreen"));
        writeCatalogue(m_dir.path(), {
            record("Beep", beepDeclaration, "kernel32", QStringLiteral("صدا"), QStringLiteral("بوق\r\nدو خط")),
            record("CreateFile", "Private Declare Function CreateFile Lib \"kernel32\" Alias \"CreateFileA\" (ByVal lpFileName As String) As Long",
                   "kernel32", QStringLiteral("فايل"), QStringLiteral("فايل باز مي کند")),
            record("MessageBox", "Private Declare Function MessageBox Lib \"user32\" Alias \"MessageBoxA\" (ByVal hwnd As Long) As Long",
                   "user32", QStringLiteral("پنجره ها"), QStringLiteral("پيغام")),
        });
        // The help pages stand beside the program, as the build puts them.
        QVERIFY(QDir().mkpath(path("help")));
        const QDir pages(qEnvironmentVariable("VORN_BIN_DIR") + QStringLiteral("/help"));
        for (const QString &page : pages.entryList(QDir::Files))
            QVERIFY(QFile::copy(pages.filePath(page), path("help/" + page)));
        m_program = std::make_unique<Program>(mdlMain::Environment{m_dir.path(), path("lock"), &m_prompter});
        QCOMPARE(m_program->Main(QString()), Program::Road::MainWindow);
        m_main = m_program->mainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(m_main));
        // There is no window manager on the test display: the window asks for the focus.
        m_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_main));
    }

    void menuTree_inDisplayOrder()
    {
        QStringList menus;
        for (QAction *menu : m_main->menuBar()->actions())
            menus << menu->text();
        QCOMPARE(menus.mid(0, 4), QStringList({QStringLiteral("&فايل"), QStringLiteral("&نمايش"),
                                               QStringLiteral("&تابع"), QStringLiteral("&کپي")}));
        QCOMPARE(entry("mnuSave")->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(entry("mnuCopy0")->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
        QCOMPARE(entry("mnuCopy1")->shortcut(), QKeySequence(QStringLiteral("Ctrl+D")));
        QCOMPARE(entry("mnuCopy2")->shortcut(), QKeySequence(QStringLiteral("Ctrl+C")));
    }

    void saveShortcut_doesNothingBeforeAFunctionIsPicked()
    {
        QTest::keyClick(m_main, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(m_prompter.fileDialogs.isEmpty());
    }

    void treeClick_thenSaveAndFullSave_writeModules()
    {
        clickNode(QStringLiteral("Lib_F_Beep"));
        QCOMPARE(m_main->lblFunctionName->text(), QStringLiteral("Beep"));
        shot(QStringLiteral("tree"));
        QCOMPARE(m_main->statusPanels()->text(QStringLiteral("name")), QStringLiteral("Beep"));

        m_prompter.fileAnswers = {path("Beep.bas")};
        QTest::keyClick(m_main, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(m_prompter.fileDialogs.last().initialName, QStringLiteral("Beep"));
        QCOMPARE(fileBytes(path("Beep.bas")),
                 QByteArray("Attribute VB_Name = \"Api_Beep\"\r\n' Created by Vorn\r\n")
                     + beepDeclaration.toLatin1().replace("Private", "Public") + "\r\n");

        m_prompter.fileAnswers = {path("BeepFull.bas")};
        entry("mnuFullSave")->trigger();
        QVERIFY(fileBytes(path("BeepFull.bas")).endsWith("\r\n\r\n\r\n' \xC8\xE6\xDE\r\n' \xCF\xE6 \xCE\xD8\r\n"));
    }

    void copyShortcuts_putTheViewOnTheClipboard()
    {
        QClipboard *clipboard = QGuiApplication::clipboard();
        QTest::keyClick(m_main, Qt::Key_N, Qt::ControlModifier);
        QTRY_COMPARE(clipboard->text(), QStringLiteral("Beep"));
        QTest::keyClick(m_main, Qt::Key_D, Qt::ControlModifier);
        QTRY_COMPARE(clipboard->text(), beepDeclaration);
        QTest::keyClick(m_main, Qt::Key_C, Qt::ControlModifier);
        QTRY_COMPARE(clipboard->text(), QStringLiteral("بوق\r\nدو خط"));
    }

    void formatEntry_laysTheDeclarationOutAndCopiesItAsShown()
    {
        entry("mnuFormat")->trigger();
        QVERIFY(m_main->txtFunction->text().contains(QStringLiteral("( _\r\n\t\t\t")));
        QTest::keyClick(m_main, Qt::Key_D, Qt::ControlModifier);
        QTRY_COMPARE(QGuiApplication::clipboard()->text(), m_main->txtFunction->text());
        entry("mnuFormat")->trigger();
        QCOMPARE(m_main->txtFunction->text(), beepDeclaration);
    }

    void printEntry_printsIntoAPdfWithoutAPrinter()
    {
        m_prompter.fileAnswers = {path("Beep.pdf")};
        entry("mnuPrint")->trigger();
        if (m_prompter.fileDialogs.last().filter != QLatin1String("pdf"))
            QSKIP("this machine has a printer; nothing is printed on paper by a test");
        QVERIFY(fileBytes(path("Beep.pdf")).startsWith("%PDF"));
    }

    void copyButton_popsTheCopyMenuUpUnderItself()
    {
        QMenu *menu = m_main->mnuCopyRoot;
        QTimer::singleShot(0, this, [menu] {
            QTRY_VERIFY(menu->isVisible());
            menu->close();
        });
        m_main->cmdCopy->click();
        const QPoint under = m_main->cmdCopy->mapToGlobal(QPoint(0, m_main->cmdCopy->height()));
        QVERIFY(qAbs(menu->geometry().top() - under.y()) <= 2);
    }

    void viewEntries_showAndHideTheParts()
    {
        entry("mnuCaption")->trigger();
        QVERIFY(m_main->lblFunctionName->isVisible());
        QCOMPARE(TwipLayout::rect(m_main->resControls).top(), 500);
        shot(QStringLiteral("title-shown"));
        entry("mnuCaption")->trigger();
        QCOMPARE(TwipLayout::rect(m_main->resControls).top(), 200);
        entry("mnuStatusBarView")->trigger();
        QVERIFY(!m_main->StatusBar->isVisible());
        entry("mnuKeys")->trigger();
        QVERIFY(!m_main->picColtrols->isVisible());
        shot(QStringLiteral("rows-hidden"));
        entry("mnuStatusBarView")->trigger();
        entry("mnuKeys")->trigger();
        QVERIFY(m_main->StatusBar->isVisible() && m_main->picColtrols->isVisible());
    }

    void searchPanel_findsByNameAndByDescription()
    {
        entry("mnuSearch")->trigger();
        SearchPanel *search = m_main->picSearch;
        QVERIFY(search->isVisible());
        QTRY_COMPARE(QApplication::focusWidget(), search->cboSearch);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("e"));
        QCOMPARE(search->cboSearch->currentText(), QStringLiteral("e"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(search->lstRearchResult->count(), 3);
        QCOMPARE(m_main->statusPanels()->text(QStringLiteral("name")), QStringLiteral("مجموعاً 3 آيتم يافت شد"));
        QCOMPARE(m_main->catalogueTree()->rowCount(m_main->catalogueTree()->indexForKey(QStringLiteral("Search"))), 3);
        shot(QStringLiteral("search"));

        entry("mnuSearchType2")->trigger();
        QVERIFY(m_main->SearchByDescription());
        search->cboSearch->setEditText(QStringLiteral("بوق"));
        search->cmdSearch->click();
        QCOMPARE(search->lstRearchResult->count(), 1);
        entry("mnuSearchType1")->trigger();
        QVERIFY(!m_main->SearchByDescription());
        QTest::mouseClick(search->cmdCloseSearch, Qt::LeftButton);
        QVERIFY(!search->isVisible());
        QVERIFY(entry("mnuTreeApi")->isChecked());
    }

    void analysisPanel_listsTheFunctionsAnExecutableUses()
    {
        m_prompter.messages.clear();
        entry("mnuAnalyse")->trigger();
        QCOMPARE(m_prompter.messages.size(), 1); // the notice, once a run
        AnalysePanel *analyse = m_main->picAnalyse;
        m_prompter.fileAnswers = {qEnvironmentVariable("VORN_TEST_DATA") + QStringLiteral("/../find/data/imports.exe")};
        analyse->cmdBrowse->click();
        QTRY_VERIFY(!analyse->isAnalysing());
        QCOMPARE(analyse->lstAnalyseApi->count(), 2); // CreateFile (through CreateFileA) and MessageBox
        QCOMPARE(m_main->statusPanels()->text(QStringLiteral("name")), QStringLiteral("مجموعاً 2 آيتم يافت شد"));
        shot(QStringLiteral("analysis"));
        QTest::mouseClick(analyse->cmdCloseAnalyse, Qt::LeftButton);
        QVERIFY(!analyse->isVisible());
    }

    void treeEntryAndCloseButton_hideAndShowTheTreeSide()
    {
        const int size = m_main->resControls->Control1Size();
        QTest::mouseClick(m_main->cmdCloseTree, Qt::LeftButton);
        QVERIFY(!m_main->resControls->Control1Visible());
        QCOMPARE(m_main->cmdSearchBar->text(), QStringLiteral("&توابع"));
        shot(QStringLiteral("tree-hidden"));
        entry("mnuTreeApi")->trigger();
        QVERIFY(m_main->resControls->Control1Visible());
        QCOMPARE(m_main->resControls->Control1Size(), size);
        m_main->cmdSearchBar->click();
        QVERIFY(m_main->picSearch->isVisible());
        m_main->cmdSearchBar->click();
        QVERIFY(!m_main->picSearch->isVisible());
    }

    void settingsEntry_appliesFontSizesOnOk()
    {
        whenModalOpens([](QWidget *dialog) {
            dialog->findChild<QComboBox *>(QStringLiteral("cboFnFontSize"))->setEditText(QStringLiteral("12"));
            dialog->findChild<QComboBox *>(QStringLiteral("cboCmFontSize"))->setEditText(QStringLiteral("14"));
            dialog->findChild<QPushButton *>(QStringLiteral("cmdOK"))->click();
        });
        entry("mnuOptions")->trigger();
        QCOMPARE(m_main->txtFunction->font().pointSizeF(), 12.0);
        QCOMPARE(m_main->txtComment->font().pointSizeF(), 14.0);
        QCOMPARE(RegKeys::ReadKeyValue(RegKeys::Hive::CurrentUser, QStringLiteral("Software\\Kel\\Vorn"),
                                       QStringLiteral("Fn Font Size"), QString()),
                 QStringLiteral("12"));
    }

    void dayFunctionEntry_showsAFunctionAndLeavesTheViewAlone()
    {
        const QString shown = m_main->lblFunctionName->text();
        QString first;
        QString next;
        whenModalOpens([&](QWidget *day) {
            QCOMPARE(day->objectName(), QStringLiteral("frmDayApi"));
            first = day->findChild<TextBox *>(QStringLiteral("txtFunction"))->text();
            day->findChild<QPushButton *>(QStringLiteral("cmdNext"))->click();
            next = day->findChild<TextBox *>(QStringLiteral("txtFunction"))->text();
            day->findChild<QPushButton *>(QStringLiteral("cmdOK"))->click();
        });
        entry("mnuDayFun")->trigger();
        QVERIFY(!first.isEmpty());
        QVERIFY(!next.isEmpty());
        QVERIFY(first != next); // three records: the next one is another
        QCOMPARE(m_main->lblFunctionName->text(), shown);
        QVERIFY(m_main->isVisible());
    }

    void helpEntries_openTheirPages()
    {
        for (const char *name : {"mnuAPIHelp", "mnuDeclare"}) {
            QString text;
            whenModalOpens([&](QWidget *help) {
                auto *browser = help->findChild<QTextBrowser *>(QStringLiteral("wbHelp"));
                QVERIFY(browser);
                text = browser->toPlainText();
                help->close();
            });
            entry(name)->trigger();
            QVERIFY2(text.size() > 500, name);
            QVERIFY(text.contains(QStringLiteral("API")));
        }
    }

    // Without WM_TRANSIENT_FOR the window manager let a click on the (disabled) main window
    // raise it over the about window, and the program looked frozen.
    void aboutWindow_staysAboveTheMainWindow()
    {
        QTest::keyClick(m_main, Qt::Key_F1);
        frmAbout *about = m_main->aboutWindow();
        QVERIFY(about);
        QTRY_VERIFY(about->isVisible());
        QProcess xprop;
        xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(about->winId()),
                                              QStringLiteral("WM_TRANSIENT_FOR")});
        QVERIFY(xprop.waitForFinished());
        const QString answer = QString::fromLatin1(xprop.readAllStandardOutput());
        QVERIFY2(answer.contains(QStringLiteral("# 0x%1").arg(m_main->winId(), 0, 16)), qPrintable(answer));
        about->close();
        QTRY_VERIFY(m_main->isEnabled());
    }

    void aboutWindow_fromF1AndTheButton()
    {
        QTest::keyClick(m_main, Qt::Key_F1);
        frmAbout *about = m_main->aboutWindow();
        QVERIFY(about);
        QTRY_VERIFY(about->isVisible());
        QVERIFY(!m_main->isEnabled());
        QCOMPARE(about->lblCount->text(), QStringLiteral("Function Count : 3"));
        about->cmdBack->click();
        QTRY_VERIFY(!about->isVisible());
        QTRY_VERIFY(m_main->isEnabled());

        m_main->cmdAbout->click();
        about = m_main->aboutWindow();
        QTRY_VERIFY(about && about->isVisible());
        about->close();
        QVERIFY(m_main->isEnabled());
        QVERIFY(!m_main->isHidden());
        m_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_main));
    }

    void exitButton_storesPlaceAndViewAndEnds()
    {
        entry("mnuKeys")->trigger();
        m_main->picColtrols->setVisible(true); // the button must be pressable
        m_main->cmdExit->click();
        QVERIFY(!m_main->isVisible());
        QCOMPARE(RegKeys::ReadKeyValue(RegKeys::Hive::CurrentUser, QStringLiteral("Software\\Kel\\Vorn"),
                                       QStringLiteral("Keys Vis"), QString()),
                 QStringLiteral("False"));
        QCOMPARE(RegKeys::ReadKeyValue(RegKeys::Hive::CurrentUser, QStringLiteral("Software\\Kel\\Vorn\\Position"),
                                       QStringLiteral("frmMain"), QString()),
                 QStringLiteral("frmMain"));
    }
};

QTEST_MAIN(tst_Walkthrough)
#include "tst_walkthrough.moc"
