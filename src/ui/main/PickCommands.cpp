// The pick list: its window (the Function menu's entry), its size in the status bar, and
// the roads that add to it: the tree's shown function (Insert, the context menu, the
// window's button), the search and analysis results (the selected rows, all of them, or
// the imported ones only) and the constants window.
#include "frmMain.h"

#include "AnalysePanel.h"
#include "SearchPanel.h"
#include "StatusPanels.h"
#include "frmPick.h"
#include "browse/CatalogueBrowser.h"
#include "catalogue/CatalogueRecord.h"
#include "find/ConstantFinder.h"
#include "picklist/PickCatalogue.h"
#include "picklist/PickList.h"
#include "platform/Prompter.h"
#include "platform/Texts.h"
#include "ui/controls/NameList.h"
#include "ui/windows/frmConst.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTreeView>

namespace {

// The count in Persian digits, as the status bar's other Persian texts read.
QString persianNumber(qsizetype count)
{
    QString text = QString::number(count);
    for (QChar &c : text)
        c = QChar(c.unicode() - u'0' + 0x06F0);
    return text;
}

// An entry of a widget's own context menu, its key working while the widget has the focus.
QAction *widgetEntry(QWidget *widget, const char *name, const QString &caption, QKeySequence key = {})
{
    auto *entry = new QAction(caption, widget);
    entry->setObjectName(QLatin1String(name));
    if (!key.isEmpty()) {
        entry->setShortcut(key);
        entry->setShortcutContext(Qt::WidgetShortcut);
    }
    widget->addAction(entry);
    widget->setContextMenuPolicy(Qt::ActionsContextMenu);
    return entry;
}

} // namespace

void frmMain::createPickCommands()
{
    m_pickFile = PickList::defaultFile();
    mnuPick = findChild<QMenu *>(QStringLiteral("mnuFunction"))->addAction(Texts::keyed(PickTexts::caption, 9)); // on the KHAH of "pick"
    mnuPick->setObjectName(QStringLiteral("mnuPick"));
    mnuPick->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    mnuPick->setEnabled(false);
    connect(mnuPick, &QAction::triggered, this, &frmMain::mnuPick_Click);

    connect(widgetEntry(trvApi, "mnuTreePick", PickTexts::add, Qt::Key_Insert), &QAction::triggered, this, [this] {
        if (m_browser.isFunctionShown())
            pickFunctions({m_browser.shownPosition()});
    });

    auto *search = picSearch->findChild<NameList *>(QStringLiteral("lstRearchResult"));
    connect(widgetEntry(search, "mnuSearchPickSelected", PickTexts::addSelected, Qt::Key_Insert), &QAction::triggered,
            this, [this, search] { pickFunctions(search->selectedPositions()); });
    connect(widgetEntry(search, "mnuSearchPickAll", PickTexts::addAll), &QAction::triggered, this,
            [this, search] { pickFunctions(search->positions()); });

    auto *analysis = picAnalyse->findChild<NameList *>(QStringLiteral("lstAnalyseApi"));
    connect(widgetEntry(analysis, "mnuAnalysePickSelected", PickTexts::addSelected, Qt::Key_Insert),
            &QAction::triggered, this, [this, analysis] { pickFunctions(analysis->selectedPositions()); });
    connect(widgetEntry(analysis, "mnuAnalysePickAll", PickTexts::addAll), &QAction::triggered, this,
            [this, analysis] { pickFunctions(analysis->positions()); });
    connect(widgetEntry(analysis, "mnuAnalysePickImported", PickTexts::addImported), &QAction::triggered, this,
            [this] { pickFunctions(picAnalyse->importedPositions()); });
}

void frmMain::loadPickList()
{
    delete m_pickWindow.data();
    m_pickList.reset();
    m_pickCatalogue = std::make_unique<PickCatalogue>(
        m_browser.recordset(), m_browser.constants() ? &m_browser.constants()->table() : nullptr);
    m_pickList = std::make_unique<PickList>(m_pickFile, *m_pickCatalogue);
    for (const QString &warning : m_pickList->warnings())
        m_prompter.message(warning, Texts::programTitle, Prompter::Icon::Exclamation);
    mnuPick->setEnabled(true);
    pickListChanged();
}

frmPick *frmMain::pickWindow() const
{
    return m_pickWindow.data();
}

void frmMain::mnuPick_Click()
{
    if (!m_pickList)
        return;
    if (!m_pickWindow) {
        m_pickWindow = new frmPick(*m_pickList, *m_pickCatalogue, m_browser, m_prompter, this);
        connect(m_pickWindow, &frmPick::changed, this, &frmMain::pickListChanged);
        connect(m_pickWindow, &frmPick::addShownRequested, this, [this] {
            if (m_browser.isFunctionShown())
                pickFunctions({m_browser.shownPosition()});
        });
    }
    m_pickWindow->show();
    m_pickWindow->raise();
    m_pickWindow->activateWindow();
}

void frmMain::pickFunctions(const std::vector<qsizetype> &positions)
{
    if (!m_pickList)
        return;
    bool added = false;
    for (const qsizetype position : positions) {
        if (position >= 1 && position <= m_browser.recordset().RecordCount())
            added = m_pickList->add(PickList::Kind::Function, m_browser.recordset().at(position)[CatalogueRecord::FunctionName])
                || added;
    }
    if (added)
        pickListChanged();
}

void frmMain::pickConstants(const QStringList &names)
{
    if (!m_pickList)
        return;
    bool added = false;
    for (const QString &name : names)
        added = m_pickList->add(PickList::Kind::Constant, name) || added;
    if (added)
        pickListChanged();
}

void frmMain::pickListChanged()
{
    if (!m_pickList)
        return;
    StatusBar->setText(QStringLiteral("pick"),
                       PickTexts::status.arg(persianNumber(m_pickList->names(PickList::Kind::Function).size()),
                                             persianNumber(m_pickList->names(PickList::Kind::Constant).size())));
    if (m_pickWindow)
        m_pickWindow->refresh();
}
