#pragma once

#include "InputPanel.h"

#include "find/CatalogueSearch.h"

#include <future>
#include <vector>

class CloseKey;
class NameList;
class Prompter;
class QFrame;
class QComboBox;
class QLabel;
class QPushButton;
class frmMain;

// picSearch: the search panel over the tree side. A text typed into cboSearch is looked
// for in every function's name (or description, as the Function menu says); the names
// found fill lstRearchResult, best first, and the "Search" branch of the tree in that order.
class SearchPanel : public InputPanel
{
    Q_OBJECT

public:
    explicit SearchPanel(frmMain &main, Prompter &prompter, QWidget *parent = nullptr);

    // Runs one search for the text: fills the list and the tree's "Search" branch.
    void SearchCatalogue(const QString &text);

    QLabel *lblSearch = nullptr;
    QFrame *shpWS = nullptr;
    CloseKey *cmdCloseSearch = nullptr;
    QComboBox *cboSearch = nullptr;
    QPushButton *cmdSearch = nullptr;
    NameList *lstRearchResult = nullptr;

public slots:
    // The search command: searches the typed text, keeps it in the combo's list and
    // tells the outcome.
    void cmdSearch_Click();
    // Shows the clicked function; saving and printing stay as they were.
    void lstRearchResult_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Folds the catalogue's descriptions on a thread of their own for the first search.
    void showEvent(QShowEvent *event) override;

private:
    frmMain &m_main;
    Prompter &m_prompter;
    CatalogueSearch::PreparedFields m_prepared;
    std::future<FoldedDescriptions> m_folding;
    quint64 m_foldingSnapshot = 0;
    qsizetype m_foldingCount = -1;
};
