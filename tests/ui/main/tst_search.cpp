#include "catalogue/CatalogueTree.h"
#include "platform/Texts.h"
#include "support/ScriptedPrompter.h"
#include "support/TestCatalogue.h"
#include "ui/main/SearchPanel.h"
#include "ui/main/StatusPanels.h"
#include "ui/main/TextBox.h"
#include "ui/controls/Resizer.h"
#include "ui/main/TwipPanel.h"
#include "ui/main/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QTest>
#include <QTreeView>

namespace {

const QChar yeh(0x064A);
const QChar farsiYeh(0x06CC);
const QChar zwnj(0x200C);

// "file" (FEH ALEF YEH LAM) with the given yeh, and "program" with a non-joiner inside.
QString file(QChar y) { return QString(QChar(0x0641)) + QChar(0x0627) + y + QChar(0x0644); }

std::vector<CatalogueRecord> records()
{
    return {
        record(QStringLiteral("SetWindowTextA"), QStringLiteral("Declare Function SetWindowTextA"), QStringLiteral("user32"),
               {}, QStringLiteral("sets a caption")),
        record(QStringLiteral("GetWindowText"), QStringLiteral("Declare Function GetWindowText"), QStringLiteral("user32"),
               {}, file(yeh)),
        record(QStringLiteral("Beep"), QStringLiteral("Declare Function Beep"), QStringLiteral("kernel32"), {},
               QString(QChar(0x0645)) + QChar(0x06CC) + zwnj + QChar(0x062F)),
        record(QStringLiteral("CreateFileA"), QStringLiteral("Declare Function CreateFileA"), QStringLiteral("kernel32"),
               {}, QString()),
    };
}

QStringList listTexts(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

QStringList comboTexts(const QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts.append(combo->itemText(i));
    return texts;
}

QString found(int n)
{
    return Texts::foundPrefix + QString::number(n) + Texts::foundSuffix;
}

} // namespace

class tst_Search : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void menus_searchTypeBeforeFormat_viewEntries();
    void mixedCaseName_foundByLowerAndUpper();
    void wordInTheMiddle_listInRecordOrder_treeSorted();
    void emptyText_listsEveryName_andAddsEmptyLine();
    void sameTextTwice_keptTwice_editTextUntrimmed();
    void enterInSearchBox_runsTheSearch_data();
    void enterInSearchBox_runsTheSearch();
    void searchPanelShown_searchBoxTakesTheFocus_data();
    void searchPanelShown_searchBoxTakesTheFocus();
    void noResult_messageFocusStatusKept_rootWithoutChildren();
    void descriptionMode_textOnlyInNames_findsNothing();
    void descriptionMode_farsiYehAndNonJoiner_found();
    void searchTypeEntries_eitherSwapsTheMode();
    void resultClick_showsFunction_saveStaysDisabled();
    void resultNodeInTree_showsFunction();
    void searchPanel_liesOverTheTree_andTreeCommandHidesIt();

private:
    ScriptedPrompter *m_prompter = nullptr;
    frmMain *m_main = nullptr;
    SearchPanel *m_panel = nullptr;
};

void tst_Search::init()
{
    m_prompter = new ScriptedPrompter;
    m_main = new frmMain(*m_prompter);
    m_main->setRecordset(recordsetOf(records()));
    m_main->BuildCatalogueTree();
    m_panel = m_main->picSearch;
}

void tst_Search::cleanup()
{
    delete m_main;
    delete m_prompter;
}

void tst_Search::menus_searchTypeBeforeFormat_viewEntries()
{
    const QMenu *function = m_main->menuBar()->findChild<QMenu *>(QStringLiteral("mnuFunction"));
    QVERIFY(function);
    const QList<QAction *> entries = function->actions();
    QVERIFY(entries.size() >= 6);
    QCOMPARE(entries[0], m_main->mnuSearchType[1]);
    QCOMPARE(entries[1], m_main->mnuSearchType[2]);
    QVERIFY(entries[2]->isSeparator());
    // The constants window's entry comes after the search types.
    QCOMPARE(entries[3], m_main->mnuConst);
    QVERIFY(entries[4]->isSeparator());
    QCOMPARE(entries[5], m_main->mnuFormat);
    QCOMPARE(entries[0]->text(), Texts::mnuSearchType1);
    QCOMPARE(entries[1]->text(), Texts::mnuSearchType2);
    QVERIFY(entries[0]->isChecked());
    QVERIFY(!entries[1]->isChecked());
    QVERIFY(!m_main->SearchByDescription());

    QCOMPARE(m_main->mnuTreeApi->text(), Texts::mnuTreeApi);
    QCOMPARE(m_main->mnuSearch->text(), Texts::mnuSearch);
    QCOMPARE(m_main->mnuAnalyse->text(), Texts::mnuAnalyse);
    QVERIFY(m_main->mnuTreeApi->isChecked());
    QVERIFY(!m_main->mnuSearch->isChecked());
    QVERIFY(!m_main->mnuAnalyse->isChecked());
    QVERIFY(m_panel->isHidden());
    QCOMPARE(m_panel->cmdSearch->text(), Texts::cmdSearch);
    QCOMPARE(m_panel->lblSearch->text(), Texts::lblSearch);
}

void tst_Search::mixedCaseName_foundByLowerAndUpper()
{
    m_panel->cboSearch->setEditText(QStringLiteral("getwindowtext"));
    m_panel->cmdSearch->click();
    QCOMPARE(listTexts(m_panel->lstRearchResult), QStringList{QStringLiteral("GetWindowText")});
    m_panel->cboSearch->setEditText(QStringLiteral("GETWINDOWTEXT"));
    m_panel->cmdSearch->click();
    QCOMPARE(listTexts(m_panel->lstRearchResult), QStringList{QStringLiteral("GetWindowText")});
    QCOMPARE(m_main->statusPanels()->text(QStringLiteral("name")), found(1));
    QVERIFY(m_prompter->messages.isEmpty());
}

void tst_Search::wordInTheMiddle_listInRecordOrder_treeSorted()
{
    m_panel->cboSearch->setEditText(QStringLiteral("window"));
    m_panel->cmdSearch->click();
    QCOMPARE(listTexts(m_panel->lstRearchResult),
             (QStringList{QStringLiteral("SetWindowTextA"), QStringLiteral("GetWindowText")}));
    QCOMPARE(m_main->statusPanels()->text(QStringLiteral("name")), found(2));

    CatalogueTree *tree = m_main->catalogueTree();
    const QModelIndex root = tree->indexForKey(QStringLiteral("Search"));
    QVERIFY(root.isValid());
    QCOMPARE(root.row(), tree->rowCount() - 1);
    QCOMPARE(tree->text(root), Texts::rootSearch);
    QCOMPARE(tree->rowCount(root), 2);
    QCOMPARE(tree->text(tree->index(0, 0, root)), QStringLiteral("GetWindowText"));
    QCOMPARE(tree->key(tree->index(1, 0, root)), QStringLiteral("Ser_F_SetWindowTextA"));
}

void tst_Search::emptyText_listsEveryName_andAddsEmptyLine()
{
    m_panel->cmdSearch->click();
    QCOMPARE(listTexts(m_panel->lstRearchResult),
             (QStringList{QStringLiteral("SetWindowTextA"), QStringLiteral("GetWindowText"), QStringLiteral("Beep"),
                          QStringLiteral("CreateFileA")}));
    QCOMPARE(comboTexts(m_panel->cboSearch), QStringList{QString()});
    QCOMPARE(m_main->catalogueTree()->rowCount(m_main->catalogueTree()->indexForKey(QStringLiteral("Search"))), 4);
    QCOMPARE(m_main->statusPanels()->text(QStringLiteral("name")), found(4));

    // In description mode the record without a description is not listed.
    m_main->mnuSearchType[2]->trigger();
    m_panel->cmdSearch->click();
    QCOMPARE(listTexts(m_panel->lstRearchResult),
             (QStringList{QStringLiteral("SetWindowTextA"), QStringLiteral("GetWindowText"), QStringLiteral("Beep")}));
}

void tst_Search::sameTextTwice_keptTwice_editTextUntrimmed()
{
    const QString text = QStringLiteral(" Window ");
    m_panel->cboSearch->setEditText(text);
    m_panel->cmdSearch->click();
    m_panel->cmdSearch->click();
    QCOMPARE(comboTexts(m_panel->cboSearch), (QStringList{text, text}));
    QCOMPARE(m_panel->cboSearch->currentText(), text);
    // The blanks are part of the text: no name holds " window ".
    QCOMPARE(m_panel->lstRearchResult->count(), 0);
    QCOMPARE(m_prompter->messages.size(), 2);

    m_panel->cboSearch->setEditText(QStringLiteral("beep"));
    m_panel->cmdSearch->click();
    QCOMPARE(comboTexts(m_panel->cboSearch), (QStringList{text, text, QStringLiteral("beep")}));
    QCOMPARE(m_panel->cboSearch->currentText(), QStringLiteral("beep"));
}

void tst_Search::enterInSearchBox_runsTheSearch_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
}

// The keys go where a user's keys go: to the focus widget, which for an editable combo
// box is the combo box itself, not its line edit.
void tst_Search::enterInSearchBox_runsTheSearch()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    m_main->show();
    m_main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_main));
    m_main->mnuSearch->trigger();
    m_panel->cboSearch->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), m_panel->cboSearch);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("file"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(listTexts(m_panel->lstRearchResult), QStringList{QStringLiteral("CreateFileA")});
    QCOMPARE(comboTexts(m_panel->cboSearch), QStringList{QStringLiteral("file")});
    // Another key does not search.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(comboTexts(m_panel->cboSearch), QStringList{QStringLiteral("file")});
}

void tst_Search::searchPanelShown_searchBoxTakesTheFocus_data()
{
    QTest::addColumn<bool>("byButton");
    QTest::newRow("view entry") << false;
    QTest::newRow("search bar button") << true;
}

void tst_Search::searchPanelShown_searchBoxTakesTheFocus()
{
    QFETCH(bool, byButton);
    m_main->show();
    m_main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_main));
    m_main->trvApi->setFocus();
    if (byButton)
        QTest::mouseClick(m_main->cmdSearchBar, Qt::LeftButton);
    else
        m_main->mnuSearch->trigger();
    QTRY_COMPARE(QApplication::focusWidget(), m_panel->cboSearch);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("beep"));
    QCOMPARE(m_panel->cboSearch->currentText(), QStringLiteral("beep"));
}

void tst_Search::noResult_messageFocusStatusKept_rootWithoutChildren()
{
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main));
    m_main->mnuSearch->trigger();
    m_panel->cboSearch->setEditText(QStringLiteral("beep"));
    m_panel->cmdSearch->click();
    QCOMPARE(m_main->statusPanels()->text(QStringLiteral("name")), found(1));
    m_panel->cmdSearch->setFocus();

    m_panel->cboSearch->setEditText(QStringLiteral("nothing like it"));
    m_panel->cmdSearch->click();
    QCOMPARE(m_prompter->messages.size(), 1);
    QCOMPARE(m_prompter->messages[0].text, Texts::noSearchResult);
    QCOMPARE(m_prompter->messages[0].caption, Texts::searchResultCaption);
    QCOMPARE(m_prompter->messages[0].icon, Prompter::Icon::Information);
    QCOMPARE(m_panel->lstRearchResult->count(), 0);
    QCOMPARE(m_main->statusPanels()->text(QStringLiteral("name")), found(1));
    const QModelIndex root = m_main->catalogueTree()->indexForKey(QStringLiteral("Search"));
    QVERIFY(root.isValid());
    QCOMPARE(m_main->catalogueTree()->rowCount(root), 0);
    QTRY_VERIFY(m_panel->cboSearch->hasFocus());
}

void tst_Search::descriptionMode_textOnlyInNames_findsNothing()
{
    m_main->mnuSearchType[2]->trigger();
    QVERIFY(m_main->SearchByDescription());
    m_panel->cboSearch->setEditText(QStringLiteral("Window"));
    m_panel->cmdSearch->click();
    QCOMPARE(m_panel->lstRearchResult->count(), 0);
    QCOMPARE(m_prompter->messages.size(), 1);
    QCOMPARE(m_main->statusPanels()->text(QStringLiteral("name")), Texts::statusNameInitial);

    m_panel->cboSearch->setEditText(QStringLiteral("CAPTION"));
    m_panel->cmdSearch->click();
    QCOMPARE(listTexts(m_panel->lstRearchResult), QStringList{QStringLiteral("SetWindowTextA")});
}

void tst_Search::descriptionMode_farsiYehAndNonJoiner_found()
{
    m_main->mnuSearchType[2]->trigger();
    // Typed on a Persian keyboard: FARSI YEH, where the catalogue writes ARABIC YEH.
    m_panel->cboSearch->setEditText(file(farsiYeh));
    m_panel->cmdSearch->click();
    QCOMPARE(listTexts(m_panel->lstRearchResult), QStringList{QStringLiteral("GetWindowText")});
    // The catalogue writes MEEM FARSI-YEH ZWNJ DAL; typed with ARABIC YEH and no ZWNJ.
    m_panel->cboSearch->setEditText(QString(QChar(0x0645)) + yeh + QChar(0x062F));
    m_panel->cmdSearch->click();
    QCOMPARE(listTexts(m_panel->lstRearchResult), QStringList{QStringLiteral("Beep")});
}

void tst_Search::searchTypeEntries_eitherSwapsTheMode()
{
    QAction *byName = m_main->mnuSearchType[1];
    QAction *byDescription = m_main->mnuSearchType[2];
    // Choosing the entry already checked switches to the other mode.
    byName->trigger();
    QVERIFY(!byName->isChecked());
    QVERIFY(byDescription->isChecked());
    QVERIFY(m_main->SearchByDescription());
    byName->trigger();
    QVERIFY(byName->isChecked());
    QVERIFY(!byDescription->isChecked());
    QVERIFY(!m_main->SearchByDescription());
    byDescription->trigger();
    QVERIFY(m_main->SearchByDescription());
    byDescription->trigger();
    QVERIFY(!m_main->SearchByDescription());
    QVERIFY(byName->isChecked());
}

void tst_Search::resultClick_showsFunction_saveStaysDisabled()
{
    m_panel->cboSearch->setEditText(QStringLiteral("a"));
    m_panel->cmdSearch->click();
    QCOMPARE(m_panel->lstRearchResult->count(), 2);
    m_main->show();
    m_main->mnuSearch->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(m_main));
    // Whatever showing the window did to them, a result click leaves them alone.
    m_main->mnuSave->setEnabled(false);
    m_main->mnuFullSave->setEnabled(false);
    m_main->mnuPrint->setEnabled(false);
    QListWidget *list = m_panel->lstRearchResult;
    const QRect second = list->visualItemRect(list->item(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
    QCOMPARE(m_main->lblFunctionName->text(), QStringLiteral("CreateFileA"));
    QCOMPARE(m_main->txtFunction->text(), QStringLiteral("Declare Function CreateFileA"));
    QCOMPARE(m_main->statusPanels()->text(QStringLiteral("name")), QStringLiteral("CreateFileA"));
    QVERIFY(!m_main->mnuSave->isEnabled());
    QVERIFY(!m_main->mnuFullSave->isEnabled());
    QVERIFY(!m_main->mnuPrint->isEnabled());
}

void tst_Search::resultNodeInTree_showsFunction()
{
    m_panel->cboSearch->setEditText(QStringLiteral("beep"));
    m_panel->cmdSearch->click();
    const QModelIndex node = m_main->catalogueTree()->indexForKey(QStringLiteral("Ser_F_Beep"));
    QVERIFY(node.isValid());
    m_main->nodeClick(node);
    QCOMPARE(m_main->lblFunctionName->text(), QStringLiteral("Beep"));
}

void tst_Search::searchPanel_liesOverTheTree_andTreeCommandHidesIt()
{
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main));
    m_main->mnuSearch->trigger();
    m_main->mnuSearch->trigger();
    QVERIFY(m_main->mnuSearch->isChecked());
    QVERIFY(!m_main->mnuTreeApi->isChecked());
    QVERIFY(m_panel->isVisible());
    const QRect tree(m_main->picTree->mapTo(m_panel->parentWidget(), QPoint(0, 0)), m_main->picTree->size());
    QCOMPARE(m_panel->geometry(), tree);

    // Dragging the splitter's strip moves the panel with the tree side.
    Resizer *splitter = m_main->resControls;
    const int strip = splitter->Control1Size() + 40;
    const int before = TwipLayout::rect(m_panel).width();
    splitter->lblResizer_MouseDown(1, 0, strip, 100);
    splitter->lblResizer_MouseMove(1, 0, strip + 600, 100);
    QCOMPARE(TwipLayout::rect(m_panel).width(), before + 600);
    QCOMPARE(TwipLayout::rect(m_panel).width(), TwipLayout::rect(m_main->picTree).width());

    m_main->mnuAnalyse->trigger();
    QVERIFY(m_panel->isHidden());
    QVERIFY(m_main->mnuAnalyse->isChecked());
    QVERIFY(!m_main->mnuSearch->isChecked());

    m_main->mnuSearch->trigger();
    m_main->mnuTreeApi->trigger();
    QVERIFY(m_main->mnuTreeApi->isChecked());
    QVERIFY(!m_main->mnuSearch->isChecked());
    QVERIFY(m_panel->isHidden());
    QVERIFY(m_main->trvApi->isVisible());
    // From the tree the tree command hides the first side; showing search brings it back.
    m_main->mnuTreeApi->trigger();
    QVERIFY(m_main->picTree->isHidden());
    m_main->mnuSearch->trigger();
    QVERIFY(m_main->picTree->isVisible());
    QVERIFY(m_panel->isVisible());
}

QTEST_MAIN(tst_Search)
#include "tst_search.moc"
