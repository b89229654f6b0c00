// The main window's places in twips: the working area between the title and the bottom
// rows, the panels over the tree side, the view commands and the key-row switch.
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

#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QProgressBar>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

class tst_MainLayout : public QObject
{
    Q_OBJECT

private:
    ScriptedPrompter m_prompter;
    std::unique_ptr<frmMain> m_main;

    QRect rect(QWidget *widget) const { return TwipLayout::rect(widget); }
    QRect working() const { return rect(m_main->resControls); }
    int statusHeight() const { return rect(m_main->StatusBar).height(); }

private slots:
    void init()
    {
        m_main = std::make_unique<frmMain>(m_prompter);
        m_main->setRecordset(recordsetOf({record("Beep", "d", "kernel32", "w", "x")}));
        m_main->BuildCatalogueTree();
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
        if (m_main->logicalDpiX() != 96)
            QSKIP("the twip figures below are exact at 96 dpi");
    }

    void cleanup() { m_main.reset(); }

    void atCreation_clientAreaAndPlaces()
    {
        QCOMPARE(rect(m_main->clientArea()).size(), QSize(9930, 7545));
        QCOMPARE(rect(m_main->StatusBar), QRect(0, 7545 - 390, 9930, 390));
        QCOMPARE(rect(m_main->picColtrols), QRect(0, 7545 - 390 - 495, 9930, 495));
        QCOMPARE(m_main->SavedTreeSize(), 4095);
        QVERIFY(m_main->picSearch->isHidden());
        QVERIFY(m_main->picAnalyse->isHidden());
        QVERIFY(m_main->ProgressBar->isHidden());
        QCOMPARE(m_main->cmdSearchBar->text(), QStringLiteral("&جستجو"));
    }

    void everyOptionalPartShown_workingAreaBetweenTitleAndRows()
    {
        m_main->setCaptionVisible(true);
        QCOMPARE(working(), QRect(120, 500, 9630, 7545 - 300 - 120 - statusHeight() - 495 - 300));
        QCOMPARE(rect(m_main->lblFunctionName).width(), 9630);
    }

    void hidingTheTitle_movesTheWorkingAreaAndAShownPanelUp()
    {
        m_main->setCaptionVisible(true);
        m_main->mnuSearch->trigger();
        const QRect before = working();
        m_main->mnuCaption->trigger();
        QVERIFY(!m_main->mnuCaption->isChecked());
        QCOMPARE(working().top(), 200);
        QCOMPARE(working().height(), before.height() + 300);
        QCOMPARE(rect(m_main->picSearch).top(), 200);
        QCOMPARE(rect(m_main->picSearch).height(), rect(m_main->picTree).height());
    }

    void hidingTheRows_givesTheirRoomToTheWorkingArea()
    {
        const int height = working().height();
        m_main->mnuStatusBarView->trigger();
        QVERIFY(m_main->StatusBar->isHidden());
        QCOMPARE(working().height(), height + 390);
        QCOMPARE(rect(m_main->picColtrols).top(), 7545 - 495); // docks at the very bottom
        m_main->mnuKeys->trigger();
        QVERIFY(m_main->picColtrols->isHidden());
        QCOMPARE(working().height(), height + 390 + 495);
        m_main->mnuStatusBarView->trigger();
        QCOMPARE(rect(m_main->StatusBar).top(), 7545 - 390);
        QCOMPARE(working().height(), height + 495);
    }

    void panelRules_followThePanelSize()
    {
        const QRect tree = rect(m_main->picTree);
        QCOMPARE(rect(m_main->cmdCloseTree).left(), tree.width() - 265);
        QCOMPARE(rect(m_main->lblTree).width(), tree.width() - 345);
        QCOMPARE(rect(m_main->trvApi), QRect(0, 360, tree.width(), tree.height() - 360));
        const QRect fn = rect(m_main->picFn);
        QCOMPARE(rect(m_main->txtFunction), QRect(0, 360, fn.width(), fn.height() - 360));
        const QRect keys = rect(m_main->picKeys);
        QCOMPARE(keys.left(), 9930 - keys.width() - 160);

        m_main->mnuSearch->trigger();
        SearchPanel *search = m_main->picSearch;
        const QRect panel = rect(search);
        QCOMPARE(rect(search->cboSearch).width(), panel.width() - 960);
        QCOMPARE(rect(search->cmdSearch).left(), panel.width() - 960 + 105);
        QCOMPARE(rect(search->lstRearchResult).height(), panel.height() - 360 - 315 - 65);
        QCOMPARE(rect(search->cmdCloseSearch).left(), panel.width() - 265);
    }

    void searchAndAnalysisPanels_lieExactlyOverTheTreePanel()
    {
        const QRect tree(m_main->picTree->mapTo(m_main->clientArea(), QPoint()), m_main->picTree->size());
        m_main->mnuSearch->trigger();
        QCOMPARE(m_main->picSearch->geometry(), tree);
        m_main->mnuAnalyse->trigger();
        QCOMPARE(m_main->picAnalyse->geometry(), tree);
        QVERIFY(m_main->picSearch->isHidden());
        QCOMPARE(m_prompter.messages.size(), 1); // the analysis notice, once
        m_main->mnuSearch->trigger();
        m_main->mnuAnalyse->trigger();
        QCOMPARE(m_prompter.messages.size(), 1);
    }

    void draggingTheSplitter_resizesAShownPanelWithTheTree()
    {
        m_main->mnuAnalyse->trigger();
        Resizer *splitter = m_main->resControls;
        const int strip = splitter->Control1Size() + 40;
        splitter->lblResizer_MouseDown(1, 0, strip, 500);
        splitter->lblResizer_MouseMove(1, 0, strip - 900, 500);
        QCOMPARE(rect(m_main->picTree).width(), 4095 - 900);
        QCOMPARE(rect(m_main->picAnalyse).width(), 4095 - 900);
    }

    void hidingTheTree_thenResizing_thenShowing_restoresItsSize()
    {
        Resizer *splitter = m_main->resControls;
        splitter->setControl1Size(3000);
        m_main->mnuTreeApi->trigger();
        QVERIFY(!splitter->Control1Visible());
        QVERIFY(!m_main->mnuTreeApi->isChecked());
        QCOMPARE(m_main->cmdSearchBar->text(), QStringLiteral("&توابع"));
        QCOMPARE(rect(splitter->controlAt(2)).width(), working().width()); // the function area takes it all
        m_main->resize(m_main->width() + 120, m_main->height() + 60);
        m_main->mnuTreeApi->trigger();
        QVERIFY(splitter->Control1Visible());
        QCOMPARE(splitter->Control1Size(), 3000);
        QCOMPARE(m_main->cmdSearchBar->text(), QStringLiteral("&جستجو"));
    }

    void searchWhileTheTreeIsHidden_showsTheFirstSideAgain()
    {
        m_main->mnuTreeApi->trigger();
        QVERIFY(!m_main->resControls->Control1Visible());
        m_main->mnuSearch->trigger();
        QVERIFY(m_main->resControls->Control1Visible());
        QVERIFY(m_main->picSearch->isVisible());
        QCOMPARE(m_main->picSearch->geometry().size(), m_main->picTree->size());
    }

    void searchTwiceFromTheMenu_keepsThePanelAndItsCheck()
    {
        m_main->mnuSearch->trigger();
        m_main->mnuSearch->trigger();
        QVERIFY(m_main->mnuSearch->isChecked());
        QVERIFY(!m_main->mnuTreeApi->isChecked());
        QVERIFY(m_main->picSearch->isVisible());
    }

    void searchBarButton_alternatesSearchAndTree()
    {
        for (int i = 0; i < 2; ++i) {
            m_main->cmdSearchBar->click();
            QVERIFY(m_main->picSearch->isVisible());
            QCOMPARE(m_main->cmdSearchBar->text(), QStringLiteral("&توابع"));
            m_main->cmdSearchBar->click();
            QVERIFY(m_main->picSearch->isHidden());
            QVERIFY(m_main->mnuTreeApi->isChecked());
            QVERIFY(m_main->picTree->isVisible());
            QCOMPARE(m_main->cmdSearchBar->text(), QStringLiteral("&جستجو"));
        }
    }

    void closeButtons_closeTheirPanels()
    {
        m_main->mnuSearch->trigger();
        QTest::mouseClick(m_main->picSearch->cmdCloseSearch, Qt::LeftButton);
        QVERIFY(m_main->picSearch->isHidden());
        QVERIFY(m_main->mnuTreeApi->isChecked());
        QVERIFY(!m_main->mnuSearch->isChecked());
        QCOMPARE(m_main->cmdSearchBar->text(), QStringLiteral("جستجو"));
        QCOMPARE(m_main->SavedTreeSize(), rect(m_main->picSearch).width());

        m_main->mnuAnalyse->trigger();
        QTest::mouseClick(m_main->picAnalyse->cmdCloseAnalyse, Qt::LeftButton);
        QVERIFY(m_main->picAnalyse->isHidden());
        QVERIFY(m_main->mnuTreeApi->isChecked());

        const int width = rect(m_main->picTree).width();
        QTest::mouseClick(m_main->cmdCloseTree, Qt::LeftButton);
        QVERIFY(!m_main->resControls->Control1Visible());
        QVERIFY(!m_main->mnuTreeApi->isChecked());
        QCOMPARE(m_main->SavedTreeSize(), width);
    }

    void largerWindow_keepsTheMargins()
    {
        m_main->resize(m_main->width() + 300, m_main->height() + 200);
        const QRect client = rect(m_main->clientArea());
        QCOMPARE(working().left(), 120);
        QCOMPARE(working().width(), client.width() - 300);
        QCOMPARE(rect(m_main->StatusBar).top(), client.height() - 390);
        QCOMPARE(rect(m_main->picKeys).left(), client.width() - rect(m_main->picKeys).width() - 160);
    }

    void tinyWindow_skipsSizesThatAreNotValid()
    {
        m_main->resize(40, 80);
        QVERIFY(working().width() >= 0);
        QVERIFY(working().height() >= 0);
        m_main->resize(800, 600);
        QCOMPARE(working().width(), rect(m_main->clientArea()).width() - 300);
    }

    void timePanel_showsTheTimeOfDay()
    {
        QVERIFY(!m_main->statusPanels()->text(QStringLiteral("time")).isEmpty());
        QVERIFY(m_main->statusPanels()->text(QStringLiteral("time")).contains(QLatin1Char(':')));
    }
};

QTEST_MAIN(tst_MainLayout)
#include "tst_mainlayout.moc"
