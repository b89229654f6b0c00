#include "SearchPanel.h"

#include "StatusPanels.h"
#include "catalogue/CatalogueTree.h"
#include "find/CatalogueSearch.h"
#include "frmMain.h"
#include "ui/controls/CloseKey.h"
#include "platform/Prompter.h"
#include "platform/Texts.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QFrame>

SearchPanel::SearchPanel(frmMain &main, Prompter &prompter, QWidget *parent)
    : TwipPanel(parent)
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
    lstRearchResult = new QListWidget(this);
    lstRearchResult->setObjectName(QStringLiteral("lstRearchResult"));

    // Places in twips as the window was designed; the rule below follows the panel's size.
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(8.25);
    setFont(font);
    setAutoFillBackground(true);
    hide();
    lblSearch = makeCaption(QStringLiteral("lblSearch"), Texts::lblSearch, 1575, this);
    shpWS = makeStripBox(QStringLiteral("shpWS"), 2775, this);
    cmdCloseSearch = new CloseKey(this);
    cmdCloseSearch->setObjectName(QStringLiteral("cmdCloseSearch"));
    TwipLayout::place(cmdCloseSearch, 2880, 0, 255, 255);
    TwipLayout::place(cboSearch, 0, 360, 2175, 315);
    TwipLayout::place(cmdSearch, 2280, 360, 855, 300);
    TwipLayout::place(lstRearchResult, 0, 720, 3135, 1020);
    TwipLayout::place(this, 0, 0, 3690, 2175);
    setResizeRule([this](int w, int h) {
        const QRect input = TwipLayout::rect(cboSearch);
        TwipLayout::setWidth(lstRearchResult, w);
        TwipLayout::setHeight(lstRearchResult, h - input.top() - input.height() - 65);
        TwipLayout::setLeft(cmdCloseSearch, w - 265);
        const int captionWidth = TwipLayout::rect(cmdCloseSearch).left() - 80;
        TwipLayout::setWidth(lblSearch, captionWidth);
        TwipLayout::setWidth(shpWS, captionWidth);
        TwipLayout::setWidth(cboSearch, w - 960);
        TwipLayout::setLeft(cmdSearch, TwipLayout::rect(cboSearch).width() + 105);
    });

    connect(cmdSearch, &QPushButton::clicked, this, &SearchPanel::cmdSearch_Click);
    // Enter in the box runs the search as the button does (see eventFilter).
    cboSearch->lineEdit()->installEventFilter(this);
    connect(lstRearchResult, &QListWidget::itemClicked, this, &SearchPanel::lstRearchResult_Click);
    // Moving through the list with the keys shows each function as a click would.
    connect(lstRearchResult, &QListWidget::currentItemChanged, this, [this](QListWidgetItem *current) {
        if (current && lstRearchResult->hasFocus() && !(QGuiApplication::mouseButtons() & Qt::LeftButton))
            lstRearchResult_Click();
    });
}

bool SearchPanel::eventFilter(QObject *watched, QEvent *event)
{
    // Taken before the box sees it: the combo box would otherwise act on Enter as well.
    if (watched == cboSearch->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            cmdSearch_Click();
            return true;
        }
    }
    return TwipPanel::eventFilter(watched, event);
}

void SearchPanel::SearchCatalogue(const QString &text)
{
    const QStringList names = CatalogueSearch::findNames(m_main.ADO(), text, m_main.SearchByDescription());
    m_main.catalogueTree()->replaceSearchResults(names);
    lstRearchResult->clear();
    lstRearchResult->addItems(names);
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
    if (QListWidgetItem *item = lstRearchResult->currentItem())
        m_main.ShowFunction(item->text());
}
