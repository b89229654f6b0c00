#include "SearchPanel.h"

#include "StatusPanels.h"
#include "catalogue/CatalogueTree.h"
#include "catalogue/Recordset.h"
#include "find/CatalogueSearch.h"
#include "frmMain.h"
#include "ui/controls/CloseKey.h"
#include "ui/controls/NameList.h"
#include "platform/Prompter.h"
#include "platform/Texts.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QFrame>

SearchPanel::SearchPanel(frmMain &main, Prompter &prompter, QWidget *parent)
    : InputPanel({QStringLiteral("lblSearch"), Texts::lblSearch, QStringLiteral("shpWS"), QStringLiteral("cmdCloseSearch")}, parent)
    , m_main(main)
    , m_prompter(prompter)
{
    setObjectName(QStringLiteral("picSearch"));

    cboSearch = new QComboBox(this);
    cboSearch->setObjectName(QStringLiteral("cboSearch"));
    cboSearch->setEditable(true);
    // The list is the history of searches, kept by the search command itself: Enter
    // must not add the text a second time, nor drop a repeated one.
    cboSearch->setInsertPolicy(QComboBox::NoInsert);
    cboSearch->setDuplicatesEnabled(true);
    cboSearch->setCompleter(nullptr);
    cmdSearch = new QPushButton(Texts::cmdSearch, this);
    cmdSearch->setObjectName(QStringLiteral("cmdSearch"));
    lstRearchResult = new NameList(this);
    lstRearchResult->setObjectName(QStringLiteral("lstRearchResult"));

    lblSearch = m_caption;
    shpWS = m_box;
    cmdCloseSearch = m_close;
    arrange(cboSearch, cmdSearch, lstRearchResult);

    connect(cmdSearch, &QPushButton::clicked, this, &SearchPanel::cmdSearch_Click);
    // Enter in the box runs the search as the button does (see eventFilter). The combo box
    // is its line edit's focus proxy, so the keys typed into the box come to the combo box.
    cboSearch->installEventFilter(this);
    connect(lstRearchResult, &NameList::clicked, this, &SearchPanel::lstRearchResult_Click);
    // Moving through the list with the keys shows each function as a click would. A row
    // made current without being selected is no choice of the user's: the list does that
    // when it takes the focus.
    connect(lstRearchResult, &NameList::currentRowChanged, this, [this](int current) {
        if (current >= 0 && lstRearchResult->isRowSelected(current) && lstRearchResult->hasFocus()
            && !(QGuiApplication::mouseButtons() & Qt::LeftButton))
            lstRearchResult_Click();
    });
}

bool SearchPanel::eventFilter(QObject *watched, QEvent *event)
{
    // Taken before the box sees it: the combo box would otherwise act on Enter as well.
    if (watched == cboSearch && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            cmdSearch_Click();
            return true;
        }
        // Down goes on from the box into the results, at their first row.
        if (key == Qt::Key_Down && static_cast<QKeyEvent *>(event)->modifiers() == Qt::NoModifier
            && lstRearchResult->count() > 0) {
            lstRearchResult->setFocus(Qt::TabFocusReason);
            lstRearchResult->setCurrentRow(0);
            return true;
        }
    }
    // Ctrl+C copies the text selected in the box; with nothing selected it is the window's
    // copy command, which the line edit would otherwise swallow.
    if (watched == cboSearch && event->type() == QEvent::ShortcutOverride
        && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy) && !cboSearch->lineEdit()->hasSelectedText()) {
        event->ignore();
        return true;
    }
    return InputPanel::eventFilter(watched, event);
}

void SearchPanel::showEvent(QShowEvent *event)
{
    InputPanel::showEvent(event);
    // Folding every description takes tens of milliseconds (a large catalogue, a good
    // part of a second): done while the user types, the first search need not wait.
    const Recordset &recordset = m_main.ADO();
    if (m_folding.valid() || (m_foldingSnapshot == recordset.snapshotId() && m_foldingCount == recordset.RecordCount()))
        return;
    m_foldingSnapshot = recordset.snapshotId();
    m_foldingCount = recordset.RecordCount();
    QStringList descriptions;
    descriptions.reserve(m_foldingCount);
    for (qsizetype position = 1; position <= m_foldingCount; ++position)
        descriptions.append(recordset.at(position)[CatalogueRecord::Description]);
    m_folding = std::async(std::launch::async, [descriptions = std::move(descriptions)] {
        return CatalogueSearch::foldDescriptions(descriptions);
    });
}

void SearchPanel::SearchCatalogue(const QString &text)
{
    if (m_folding.valid())
        m_prepared.adoptDescriptions(m_foldingSnapshot, m_foldingCount, m_folding.get());
    const QStringList names = CatalogueSearch::findNames(m_main.ADO(), text, m_main.SearchByDescription(), &m_prepared);
    m_main.catalogueTree()->replaceSearchResults(names);
    lstRearchResult->setNames(names);
}

void SearchPanel::cmdSearch_Click()
{
    const QString text = cboSearch->currentText();
    SearchCatalogue(text);
    // Adding the first entry makes it current, which would put the entry into the box;
    // the box keeps what was typed, with its cursor.
    const int cursor = cboSearch->lineEdit()->cursorPosition();
    cboSearch->addItem(text);
    if (cboSearch->currentText() != text)
        cboSearch->setEditText(text);
    cboSearch->lineEdit()->setCursorPosition(cursor);

    if (lstRearchResult->count() > 0) {
        m_main.statusPanels()->setText(QStringLiteral("name"), Texts::foundPrefix
                                           + QString::number(lstRearchResult->count()) + Texts::foundSuffix);
    } else {
        m_prompter.message(Texts::noSearchResult, Texts::searchResultCaption, Prompter::Icon::Information);
        cboSearch->setFocus();
    }
}

void SearchPanel::lstRearchResult_Click()
{
    if (lstRearchResult->currentRow() >= 0)
        m_main.ShowFunction(lstRearchResult->currentName());
}
