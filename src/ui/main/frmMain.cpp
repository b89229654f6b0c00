#include "frmMain.h"

#include "AnalysePanel.h"
#include "ui/controls/FormPosition.h"
#include "ImageList.h"
#include "TwipPanel.h"
#include "frmSet.h"
#include "settings/ProgramSettings.h"
#include "settings/RegKeys.h"
#include "ui/controls/CloseKey.h"
#include "ui/controls/FullRowTreeView.h"
#include "ui/controls/NameDelegate.h"
#include "ui/controls/NameList.h"
#include "ui/controls/Resizer.h"
#include "SearchPanel.h"
#include "StatusPanels.h"
#include "ui/controls/TextBox.h"
#include "browse/CatalogueBrowser.h"
#include "catalogue/CatalogueTree.h"
#include "catalogue/DeclarationLayout.h"
#include "catalogue/FunctionFacts.h"
#include "platform/Texts.h"
#include "platform/Twips.h"
#include "ui/windows/Transpart.h"
#include "ui/windows/frmAbout.h"
#include "ui/windows/frmConst.h"
#include "ui/windows/frmDayApi.h"
#include "ui/windows/frmHelp.h"

#include <QAction>
#include <QCoreApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QLocale>
#include <QTime>
#include <QTimer>
#include <QTreeView>

namespace {

QString versionCaption()
{
    return Texts::windowCaptionPrefix + QString::number(VORN_VERSION_MAJOR) + QLatin1Char('.')
        + QString::number(VORN_VERSION_MINOR) + QLatin1Char('.') + QString::number(VORN_VERSION_PATCH);
}

const QColor stripColour(0xE7, 0xE7, 0xEF);

// The light yellow of the declaration and description boxes.
void setBoxColour(QWidget *box)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, QColor(0xFF, 0xFF, 0xC0));
    box->setPalette(palette);
}

} // namespace

frmMain::frmMain(CatalogueBrowser &browser, Prompter &prompter, QWidget *parent)
    : QMainWindow(parent)
    , m_browser(browser)
    , m_prompter(prompter)
    , m_programFolder(QCoreApplication::applicationDirPath())
{
    setObjectName(QStringLiteral("frmMain"));
    setLayoutDirection(Qt::RightToLeft);
    createControls();
    createMenus();
    createConstantCommands();
    takeCatalogue();
    connect(&m_browser, &CatalogueBrowser::catalogueChanged, this, &frmMain::takeCatalogue);
    connect(&m_browser, &CatalogueBrowser::functionShown, this, &frmMain::ShowCurrentRecord);
    setReadingTabOrder();
    // The client area below the menu bar is 9930 x 7545 twips when the window opens.
    const int width = Twips::toPixels(9930, logicalDpiX());
    resize(width, Twips::toPixels(7545, logicalDpiY()) + menuBar()->heightForWidth(width));
    Form_Load();
    // Lay the hidden window out now, in the size the load step restored: the settings
    // applied before it is shown size the splitters, and they need the working area's
    // real size (a stored size that fits only the restored window would be cut down).
    layout()->activate();
    Form_Resize();
}

frmMain::~frmMain() = default;

void frmMain::createControls()
{
    // The client area: everything below the menu bar, laid out by Form_Resize.
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->installEventFilter(this);
    setCentralWidget(m_client);
    QFont windowFont(QStringLiteral("Tahoma"));
    windowFont.setPointSizeF(8.25);
    setFont(windowFont);

    lblFunctionName = new QLabel(Texts::functionNameInitial, m_client);
    lblFunctionName->setObjectName(QStringLiteral("lblFunctionName"));
    lblFunctionName->setTextFormat(Qt::PlainText);
    QFont titleFont(QStringLiteral("Times New Roman"), 12);
    titleFont.setBold(true);
    lblFunctionName->setFont(titleFont);
    lblFunctionName->setAutoFillBackground(true);
    QPalette titlePalette = lblFunctionName->palette();
    titlePalette.setColor(QPalette::Window, stripColour);
    lblFunctionName->setPalette(titlePalette);
    TwipLayout::place(lblFunctionName, 120, 120, 3375, 300);
    lblFunctionName->setVisible(false);

    // The working area: the tree panel beside the function area, which holds the
    // declaration panel above the description.
    resControls = new Resizer(m_client);
    resControls->setObjectName(QStringLiteral("resControls"));
    resControls->setSeparatorSize(80);
    resControls->setMinControlSize1(1430);
    resControls->setMinControlSize2(2000);
    resControls->setAutoResize(false);
    resControls->setBorderStyle(0);
    TwipLayout::place(resControls, 120, 600, 9255, 3135);

    picTree = new TwipPanel(resControls);
    picTree->setObjectName(QStringLiteral("picTree"));
    TwipLayout::place(picTree, 0, 0, 4095, 3135);
    lblTree = TwipPanel::makeCaption(QStringLiteral("lblTree"), Texts::lblTree, 1695, picTree);
    shpWT = TwipPanel::makeStripBox(QStringLiteral("shpWT"), 2775, picTree);
    cmdCloseTree = new CloseKey(picTree);
    cmdCloseTree->setObjectName(QStringLiteral("cmdCloseTree"));
    TwipLayout::place(cmdCloseTree, 2880, 0, 255, 255);

    m_tree = new CatalogueTree(this);
    m_tree->setImageList(makeTreeImageList());
    trvApi = new FullRowTreeView(picTree);
    trvApi->setObjectName(QStringLiteral("trvApi"));
    trvApi->setHeaderHidden(true);
    trvApi->setUniformRowHeights(true);
    trvApi->setModel(m_tree);
    trvApi->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TwipLayout::place(trvApi, 0, 360, 3135, 2415);
    // Whatever selects a node, a click, the keys or a drag across the rows, shows its
    // function. The tree makes its first row current (unselected) when it first takes
    // the focus: that is no choice of the user's and shows nothing.
    connect(trvApi->selectionModel(), &QItemSelectionModel::selectionChanged, this, &frmMain::treeSelectionChanged);
    picTree->setResizeRule([this](int w, int h) {
        TwipLayout::setLeft(cmdCloseTree, w - 265);
        const int captionWidth = TwipLayout::rect(cmdCloseTree).left() - 80;
        TwipLayout::setWidth(lblTree, captionWidth);
        TwipLayout::setWidth(shpWT, captionWidth);
        TwipLayout::setWidth(trvApi, w);
        TwipLayout::setHeight(trvApi, h - TwipLayout::rect(trvApi).top());
    });

    resFunction = new Resizer(resControls);
    resFunction->setObjectName(QStringLiteral("resFunction"));
    resFunction->setOrientation(0);
    resFunction->setSeparatorSize(80);
    resFunction->setMinControlSize1(1000);
    resFunction->setMinControlSize2(640);
    resFunction->setAutoResize(false);
    resFunction->setBorderStyle(0);
    TwipLayout::place(resFunction, 4175, 0, 5080, 3135);

    picFn = new TwipPanel(resFunction);
    picFn->setObjectName(QStringLiteral("picFn"));
    TwipLayout::place(picFn, 0, 0, 5085, 1815);
    lblFunction = TwipPanel::makeCaption(QStringLiteral("lblFunction"), Texts::lblFunction, 3135, picFn);
    shpWC = TwipPanel::makeStripBox(QStringLiteral("shpWC"), 4935, picFn);
    txtFunction = new TextBox(picFn);
    txtFunction->setObjectName(QStringLiteral("txtFunction"));
    QFont codeFont(QStringLiteral("Courier New"));
    codeFont.setPointSizeF(8.25);
    txtFunction->setFont(codeFont);
    // Code reads left to right even in a right-to-left window.
    txtFunction->setLayoutDirection(Qt::LeftToRight);
    // A multi-line box with a vertical scroll bar only: long lines wrap, a name longer
    // than the box breaks anywhere rather than running out of sight.
    txtFunction->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtFunction->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    txtFunction->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setBoxColour(txtFunction);
    TwipLayout::place(txtFunction, 0, 360, 4365, 1470);
    // One line under the declaration: the first Windows that has the function, what
    // Err.LastDllError tells, whether it is obsolete (FunctionFacts::note).
    lblFacts = new QLabel(picFn);
    lblFacts->setObjectName(QStringLiteral("lblFacts"));
    lblFacts->setTextFormat(Qt::PlainText);
    lblFacts->setWordWrap(true); // two lines where the box is narrow
    lblFacts->setAlignment(Qt::AlignTop | Qt::AlignLeading);
    TwipLayout::place(lblFacts, 0, 1350, 4365, 480);
    picFn->setResizeRule([this](int w, int h) {
        TwipLayout::setWidth(txtFunction, w);
        TwipLayout::setWidth(lblFunction, w);
        TwipLayout::setWidth(shpWC, w);
        TwipLayout::setWidth(lblFacts, w);
        TwipLayout::setHeight(txtFunction, h - 360 - 480);
        TwipLayout::setTop(lblFacts, h - 480);
    });

    txtComment = new TextBox(resFunction);
    txtComment->setObjectName(QStringLiteral("txtComment"));
    txtComment->setPersianProse();
    setBoxColour(txtComment);
    TwipLayout::place(txtComment, 0, 1895, 5085, 1240);

    resFunction->setControls(picFn, txtComment);
    resControls->setControls(picTree, resFunction);
    connect(resControls, &Resizer::ResizeItems, this, &frmMain::resControls_ResizeItems);

    // The panels write to the status bar, and the analysis lays its progress bar over it.
    StatusBar = new StatusPanels(m_client);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    TwipLayout::place(StatusBar, 0, 7155, 9930, 390);
    // The "time" panel keeps the time of day.
    m_clock = new QTimer(this);
    connect(m_clock, &QTimer::timeout, this, &frmMain::updateTime);
    m_clock->start(1000);
    updateTime();

    // Laid over the status bar's "prog" panel while an analysis runs.
    ProgressBar = new QProgressBar(m_client);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setTextVisible(false);
    TwipLayout::place(ProgressBar, 4920, 7200, 3015, 255);
    ProgressBar->hide();

    createPanels();
    createKeyRow();


}

void frmMain::createPanels()
{
    // The search and analysis panels lie over the tree panel when shown.
    picSearch = new SearchPanel(m_browser, *m_tree, *StatusBar, m_prompter, m_client);
    TwipLayout::place(picSearch, 120, 3960, 3690, 2175);
    picAnalyse = new AnalysePanel(m_browser, *StatusBar, *ProgressBar, m_prompter, m_client);
    TwipLayout::place(picAnalyse, 4080, 3960, 3690, 2175);
    // Function names in the tree read left to right, as written (as in both result lists).
    trvApi->setItemDelegate(new NameDelegate(trvApi));
    connect(picSearch, &InputPanel::closeClicked, this, &frmMain::cmdCloseSearch_Click);
    connect(picAnalyse, &InputPanel::closeClicked, this, &frmMain::cmdCloseAnalyse_Click);
    connect(cmdCloseTree, &CloseKey::Click, this, &frmMain::cmdCloseTree_Click);
}

void frmMain::createMenus()
{
    QMenu *mnuFile = menuBar()->addMenu(Texts::mnuFile);
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuSave = mnuFile->addAction(Texts::keyed(Texts::mnuSave, 0));
    mnuSave->setObjectName(QStringLiteral("mnuSave"));
    mnuSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuSave->setEnabled(false);
    connect(mnuSave, &QAction::triggered, this, [this] { SaveModule(false); });
    mnuFullSave = mnuFile->addAction(Texts::keyed(Texts::mnuFullSave, 6)); // on "function"
    mnuFullSave->setObjectName(QStringLiteral("mnuFullSave"));
    mnuFullSave->setEnabled(false);
    connect(mnuFullSave, &QAction::triggered, this, [this] { SaveModule(true); });
    mnuFile->addSeparator();
    mnuPrint = mnuFile->addAction(Texts::keyed(Texts::mnuPrint, 0));
    mnuPrint->setObjectName(QStringLiteral("mnuPrint"));
    mnuPrint->setEnabled(false);
    connect(mnuPrint, &QAction::triggered, this, &frmMain::mnuPrint_Click);
    mnuFile->addSeparator();
    mnuExit = mnuFile->addAction(Texts::keyed(Texts::mnuExit, 0));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    connect(mnuExit, &QAction::triggered, this, &frmMain::cmdExit_Click);

    QMenu *mnuView = menuBar()->addMenu(Texts::mnuView);
    mnuView->setObjectName(QStringLiteral("mnuView"));
    mnuCaption = mnuView->addAction(Texts::keyed(Texts::mnuCaption, 0));
    mnuCaption->setObjectName(QStringLiteral("mnuCaption"));
    mnuCaption->setCheckable(true);
    mnuCaption->setChecked(false);
    connect(mnuCaption, &QAction::triggered, this, &frmMain::mnuCaption_Click);
    mnuStatusBarView = mnuView->addAction(Texts::keyed(Texts::mnuStatusBarView, 0));
    mnuStatusBarView->setObjectName(QStringLiteral("mnuStatusBarView"));
    mnuStatusBarView->setCheckable(true);
    mnuStatusBarView->setChecked(true);
    connect(mnuStatusBarView, &QAction::triggered, this, &frmMain::mnuStatusBarView_Click);
    mnuKeys = mnuView->addAction(Texts::keyed(Texts::mnuKeys, 0));
    mnuKeys->setObjectName(QStringLiteral("mnuKeys"));
    mnuKeys->setCheckable(true);
    mnuKeys->setChecked(true);
    connect(mnuKeys, &QAction::triggered, this, &frmMain::mnuKeys_Click);
    mnuView->addSeparator();
    mnuTreeApi = mnuView->addAction(Texts::keyed(Texts::mnuTreeApi, 0));
    mnuTreeApi->setObjectName(QStringLiteral("mnuTreeApi"));
    mnuTreeApi->setCheckable(true);
    mnuTreeApi->setChecked(true);
    connect(mnuTreeApi, &QAction::triggered, this, &frmMain::mnuTreeApi_Click);
    mnuSearch = mnuView->addAction(Texts::keyed(Texts::mnuSearch, 0));
    mnuSearch->setObjectName(QStringLiteral("mnuSearch"));
    mnuSearch->setCheckable(true);
    connect(mnuSearch, &QAction::triggered, this, &frmMain::mnuSearch_Click);
    mnuAnalyse = mnuView->addAction(Texts::keyed(Texts::mnuAnalyse, 0));
    mnuAnalyse->setObjectName(QStringLiteral("mnuAnalyse"));
    mnuAnalyse->setCheckable(true);
    connect(mnuAnalyse, &QAction::triggered, this, &frmMain::mnuAnalyse_Click);
    mnuView->addSeparator();
    mnuOptions = mnuView->addAction(Texts::keyed(Texts::mnuOptions, 0));
    mnuOptions->setObjectName(QStringLiteral("mnuOptions"));
    connect(mnuOptions, &QAction::triggered, this, &frmMain::mnuOptions_Click);

    QMenu *mnuFunction = menuBar()->addMenu(Texts::mnuFunction);
    mnuFunction->setObjectName(QStringLiteral("mnuFunction"));
    // Keyed on "name" and on "description".
    const QString searchTypeCaptions[] = {QString(), Texts::keyed(Texts::mnuSearchType1, 14), Texts::keyed(Texts::mnuSearchType2, 14)};
    for (int index = 1; index <= 2; ++index) {
        QAction *entry = mnuFunction->addAction(searchTypeCaptions[index]);
        entry->setObjectName(QStringLiteral("mnuSearchType%1").arg(index));
        entry->setCheckable(true);
        entry->setChecked(index == 1);
        connect(entry, &QAction::triggered, this, [this, index] { mnuSearchType_Click(index); });
        mnuSearchType[static_cast<size_t>(index)] = entry;
    }
    mnuFunction->addSeparator();
    mnuConst = mnuFunction->addAction(Texts::keyed(ConstTexts::caption, 0));
    mnuConst->setObjectName(QStringLiteral("mnuConst"));
    // Ctrl+K would be a line edit's delete-to-end key on Linux; T for the constant (ثابت).
    mnuConst->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    mnuConst->setEnabled(false);
    connect(mnuConst, &QAction::triggered, this, &frmMain::mnuConst_Click);
    mnuFunction->addSeparator();
    mnuFormat = mnuFunction->addAction(Texts::keyed(Texts::mnuFormat, 0));
    mnuFormat->setObjectName(QStringLiteral("mnuFormat"));
    mnuFormat->setCheckable(true);
    mnuFormat->setChecked(false);
    connect(mnuFormat, &QAction::triggered, this, &frmMain::mnuFormat_Click);
    mnuVba7 = mnuFunction->addAction(Texts::keyed(Texts::mnuVba7, 0));
    mnuVba7->setObjectName(QStringLiteral("mnuVba7"));
    mnuVba7->setCheckable(true);
    mnuVba7->setEnabled(false); // until a catalogue with the VBA7 declarations is given
    connect(mnuVba7, &QAction::triggered, this, &frmMain::mnuVba7_Click);
    QAction *mnuHideObsolete = mnuFunction->addAction(Texts::keyed(Texts::mnuHideObsolete, 0));
    mnuHideObsolete->setObjectName(QStringLiteral("mnuHideObsolete"));
    mnuHideObsolete->setCheckable(true);
    connect(mnuHideObsolete, &QAction::triggered, this, [this](bool hide) {
        m_tree->setHideObsolete(hide);
        BuildCatalogueTree();
    });
    mnuFunction->addSeparator();
    mnuDayFun = mnuFunction->addAction(Texts::keyed(Texts::mnuDayFun, 5)); // on "day"
    mnuDayFun->setObjectName(QStringLiteral("mnuDayFun"));
    connect(mnuDayFun, &QAction::triggered, this, &frmMain::mnuDayFun_Click);

    createCopyMenu();

    QMenu *mnuHelp = menuBar()->addMenu(Texts::mnuHelp);
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuAPIHelp = mnuHelp->addAction(Texts::keyed(Texts::mnuAPIHelp, 0));
    mnuAPIHelp->setObjectName(QStringLiteral("mnuAPIHelp"));
    connect(mnuAPIHelp, &QAction::triggered, this, &frmMain::mnuAPIHelp_Click);
    mnuDeclare = mnuHelp->addAction(Texts::keyed(Texts::mnuDeclare, 0));
    mnuDeclare->setObjectName(QStringLiteral("mnuDeclare"));
    connect(mnuDeclare, &QAction::triggered, this, &frmMain::mnuDeclare_Click);
    mnuHelp->addSeparator();
    mnuAbout = mnuHelp->addAction(Texts::keyed(Texts::mnuAbout, 0));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    mnuAbout->setShortcut(QKeySequence(Qt::Key_F1));
    connect(mnuAbout, &QAction::triggered, this, &frmMain::mnuAbout_Click);
    connect(cmdAbout, &QPushButton::clicked, this, &frmMain::mnuAbout_Click);

    // F10 opens the first menu, as on the desktops: a way into the menus whatever the
    // keyboard layout, where the letters of the access keys may be on no key.
    auto *enterMenus = new QAction(this);
    enterMenus->setObjectName(QStringLiteral("enterMenus"));
    enterMenus->setShortcut(QKeySequence(Qt::Key_F10));
    addAction(enterMenus);
    connect(enterMenus, &QAction::triggered, this, [this] { menuBar()->setActiveAction(menuBar()->actions().constFirst()); });
}

void frmMain::setReadingTabOrder()
{
    // Tab goes the way a Persian reader does, right to left and top to bottom: the
    // declaration and the description on the right, the tree's side on the left (or the
    // panel over it, button before box as they stand), then the key row from its right end.
    const QList<QWidget *> order = QList<QWidget *>{txtFunction, txtComment, trvApi} + picSearch->tabStops()
        + picAnalyse->tabStops() + QList<QWidget *>{cmdExit, cmdCopy, cmdSearchBar, cmdAbout};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    // The first stop is no longer the first made: the tree still takes the focus at start.
    trvApi->setFocus(Qt::OtherFocusReason);
}

void frmMain::Form_Load()
{
    setWindowTitle(versionCaption());
    m_savedTreeSize = resControls->Control1Size();
    FormSettings::RestoreFormPosition(*this, ProgramSettings::applicationName, false);
}

void frmMain::Form_Unload()
{
    const RegKeys::Batch oneWrite; // the place and the settings, stored together
    FormSettings::SaveFormPosition(*this, ProgramSettings::applicationName, false);
    ProgramSettings::SaveSettings(*this);
}

void frmMain::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    // The constants window stores its place as it closes.
    if (m_constWindow)
        m_constWindow->close();
    if (m_shown)
        Form_Unload();
}

void frmMain::takeCatalogue()
{
    // The constants window shows the constants of the catalogue before.
    if (m_constWindow)
        delete m_constWindow.data();
    mnuConst->setEnabled(m_browser.constants() != nullptr);
    // An older catalogue has no VBA7 declarations: the entry stays, disabled and without
    // its check mark; the user's choice is kept for a catalogue that has them.
    mnuVba7->setEnabled(m_browser.recordset().hasVba7Column());
    mnuVba7->setChecked(m_browser.vba7());
    updateFunctionCommands();
}

void frmMain::BuildCatalogueTree()
{
    m_tree->BuildCatalogueTree(m_browser.recordset());
    StatusBar->setText(QStringLiteral("total"), Texts::totalCount + QString::number(FunctionCount()));
}

qint64 frmMain::FunctionCount() const
{
    return m_tree->FunctionCount();
}

namespace {

// The facts line is Persian, but it may start with a Latin word ("Err.LastDllError ..."):
// a right-to-left mark in front keeps the paragraph right to left, read from the right edge.
QString factsLine(const CatalogueRecord &record, bool vba7)
{
    const QString note = FunctionFacts::note(record, vba7);
    return note.isEmpty() ? note : QChar(0x200F) + note;
}

} // namespace

void frmMain::ShowCurrentRecord(qsizetype position)
{
    const CatalogueRecord &record = m_browser.recordset().at(position);
    lblFunctionName->setText(record[CatalogueRecord::FunctionName]);
    txtFunction->setText(m_browser.declaration(position));
    lblFacts->setText(factsLine(record, m_browser.vba7()));
    txtComment->setText(record[CatalogueRecord::Description]);
    StatusBar->setText(QStringLiteral("name"), record[CatalogueRecord::FunctionName]);
    FormatDeclaration();
    updateFunctionCommands();
    // A function shown by another road is not the one a node selected in the tree
    // stands for: the tree lets go of its selection rather than contradict the view.
    const QModelIndexList selected = trvApi->selectionModel()->selectedIndexes();
    if (!selected.isEmpty() && selected.first().data(CatalogueTree::PositionRole).toLongLong() != position)
        trvApi->selectionModel()->clearSelection();
}

void frmMain::updateFunctionCommands()
{
    // What takes a function away works exactly while one is shown.
    const bool shown = m_browser.isFunctionShown();
    for (QAction *command : {mnuSave, mnuFullSave, mnuPrint, mnuCopy[0], mnuCopy[1], mnuCopy[2]})
        command->setEnabled(shown);
}

void frmMain::treeSelectionChanged()
{
    const QModelIndexList selected = trvApi->selectionModel()->selectedIndexes();
    // A root or a group stands for no record: the view stays as it was.
    if (!selected.isEmpty())
        m_browser.show(selected.first().data(CatalogueTree::PositionRole).toLongLong());
}

void frmMain::FormatDeclaration()
{
    txtFunction->setText(DeclarationLayout::layOut(txtFunction->text(), m_browser.formatted()));
    // The Declare line is what the user came for: the Type blocks above it may fill the box.
    txtFunction->revealLine(std::max<qsizetype>(DeclarationLayout::declareLine(txtFunction->text()), 0));
}

void frmMain::mnuFormat_Click()
{
    // The action has already flipped its check mark when triggered from the menu.
    m_browser.setFormatted(mnuFormat->isChecked());
    FormatDeclaration();
}

void frmMain::mnuVba7_Click()
{
    // The entry has already flipped its own check mark.
    m_browser.setVba7Choice(mnuVba7->isChecked());
    if (!m_browser.isFunctionShown())
        return;
    txtFunction->setText(m_browser.declaration(m_browser.shownPosition()));
    lblFacts->setText(factsLine(*m_browser.shownRecord(), m_browser.vba7()));
    FormatDeclaration();
}

void frmMain::setVba7Checked(bool checked)
{
    m_browser.setVba7Choice(checked);
    mnuVba7->setChecked(m_browser.vba7());
}

bool frmMain::vba7Checked() const
{
    return m_browser.vba7Choice();
}

void frmMain::mnuCaption_Click()
{
    // The entry has already flipped its own check mark.
    lblFunctionName->setVisible(mnuCaption->isChecked());
    Form_Resize();
}

void frmMain::mnuStatusBarView_Click()
{
    StatusBar->setVisible(mnuStatusBarView->isChecked());
    // Docked below the key row, at the very bottom.
    dockBottom();
    Form_Resize();
}

void frmMain::mnuKeys_Click()
{
    picColtrols->setVisible(mnuKeys->isChecked());
    Form_Resize();
}

void frmMain::mnuSearchType_Click(int index)
{
    // The chosen entry has already flipped its own check mark; the other one follows, so
    // choosing either entry, even the checked one, swaps the mode.
    QAction *other = mnuSearchType[index == 1 ? 2 : 1];
    other->setChecked(!other->isChecked());
    m_browser.setSearchByDescription(mnuSearchType[2]->isChecked());
}

void frmMain::mnuTreeApi_Click()
{
    // The entry has already flipped its own check mark.
    mnuSearch->setChecked(false);
    mnuAnalyse->setChecked(false);
    const bool wasShown = resControls->Control1Visible();
    if (wasShown)
        m_savedTreeSize = resControls->Control1Size();
    else
        resControls->setControl1Size(m_savedTreeSize);
    resControls->setControl1Visible(mnuTreeApi->isChecked());
    // A side coming back shares the room equally with the other at first; give it the
    // size it had when it was hidden, which is what the user expects to see again.
    if (!wasShown && resControls->Control1Visible())
        resControls->setControl1Size(m_savedTreeSize);
    picSearch->hide();
    picAnalyse->hide();
    cmdSearchBar->setText(mnuTreeApi->isChecked() ? Texts::cmdSearchBarSearch : Texts::cmdSearchBarFunctions);
}

void frmMain::mnuSearch_Click()
{
    showFirstSidePanel(picSearch, mnuSearch);
}

void frmMain::mnuAnalyse_Click()
{
    showFirstSidePanel(picAnalyse, mnuAnalyse);
    picAnalyse->showNotice();
}

void frmMain::showFirstSidePanel(QWidget *panel, QAction *entry)
{
    resControls->setControl1Visible(true);
    entry->setChecked(true);
    for (QAction *other : {mnuTreeApi, mnuSearch, mnuAnalyse}) {
        if (other != entry)
            other->setChecked(false);
    }
    const QRect working = TwipLayout::rect(resControls);
    TwipLayout::setTop(panel, working.top());
    TwipLayout::setLeft(panel, working.left());
    panel->show();
    panel->raise();
    (panel == picSearch ? static_cast<QWidget *>(picAnalyse) : picSearch)->hide();
    resControls_ResizeItems();
    cmdSearchBar->setText(Texts::cmdSearchBarFunctions);
    // The user opened the search to type into it.
    if (panel == picSearch)
        picSearch->focusInput();
}

void frmMain::cmdCloseSearch_Click()
{
    picSearch->hide();
    mnuSearch->setChecked(false);
    mnuTreeApi->setChecked(true);
    trvApi->setVisible(true);
    m_savedTreeSize = TwipLayout::rect(picSearch).width();
    cmdSearchBar->setText(Texts::cmdSearchBarPlain);
}

void frmMain::cmdCloseAnalyse_Click()
{
    picAnalyse->hide();
    mnuAnalyse->setChecked(false);
    mnuTreeApi->setChecked(true);
    trvApi->setVisible(true);
    m_savedTreeSize = TwipLayout::rect(picAnalyse).width();
    cmdSearchBar->setText(Texts::cmdSearchBarPlain);
}

void frmMain::cmdCloseTree_Click()
{
    mnuTreeApi->setChecked(!mnuTreeApi->isChecked());
    mnuTreeApi_Click();
    m_savedTreeSize = TwipLayout::rect(picTree).width();
}

void frmMain::cmdSearchBar_Click()
{
    if (mnuTreeApi->isChecked()) {
        mnuSearch_Click();
    } else {
        mnuTreeApi->setChecked(!mnuTreeApi->isChecked());
        mnuTreeApi_Click();
    }
}

void frmMain::mnuOptions_Click()
{
    frmSet dialog(*this, this);
    dialog.exec();
}

void frmMain::dockBottom()
{
    const QRect client = TwipLayout::rect(m_client);
    int bottom = client.height();
    if (!StatusBar->isHidden()) {
        const int height = TwipLayout::rect(StatusBar).height();
        bottom -= height;
        TwipLayout::place(StatusBar, 0, bottom, client.width(), height);
    }
    if (!picColtrols->isHidden()) {
        const int height = TwipLayout::rect(picColtrols).height();
        TwipLayout::place(picColtrols, 0, bottom - height, client.width(), height);
    }
}

void frmMain::Form_Resize()
{
    dockBottom();
    const QRect client = TwipLayout::rect(m_client);
    const QRect label = TwipLayout::rect(lblFunctionName);
    const int fnH = lblFunctionName->isHidden() ? 0 : label.height();
    const int sbH = StatusBar->isHidden() ? 0 : TwipLayout::rect(StatusBar).height();
    const int keysH = picColtrols->isHidden() ? 0 : TwipLayout::rect(picColtrols).height();

    TwipLayout::setWidth(lblFunctionName, client.width() - 300);
    TwipLayout::setTop(resControls, label.top() + fnH + 80);
    TwipLayout::setWidth(resControls, TwipLayout::rect(lblFunctionName).width());
    TwipLayout::setHeight(resControls, client.height() - fnH - label.top() - sbH - keysH - 300);
    const int top = TwipLayout::rect(resControls).top();
    TwipLayout::setTop(picSearch, top);
    TwipLayout::setTop(picAnalyse, top);
    resControls_ResizeItems();
}

void frmMain::resControls_ResizeItems()
{
    const QRect tree = TwipLayout::rect(picTree);
    TwipLayout::setWidth(picSearch, tree.width());
    TwipLayout::setHeight(picSearch, tree.height());
    TwipLayout::setWidth(picAnalyse, tree.width());
    TwipLayout::setHeight(picAnalyse, tree.height());
}

void frmMain::updateTime()
{
    StatusBar->setText(QStringLiteral("time"), QLocale().toString(QTime::currentTime(), QLocale::ShortFormat));
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_client && event->type() == QEvent::Resize)
        Form_Resize();
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::setFunctionFontSize(double points)
{
    QFont font = txtFunction->font();
    font.setPointSizeF(points);
    txtFunction->setFont(font);
}

void frmMain::setCommentFontSize(double points)
{
    QFont font = txtComment->font();
    font.setPointSizeF(points);
    txtComment->setFont(font);
}

void frmMain::setCaptionVisible(bool visible)
{
    mnuCaption->setChecked(visible);
    lblFunctionName->setVisible(visible);
    Form_Resize();
}

void frmMain::setStatusBarVisible(bool visible)
{
    mnuStatusBarView->setChecked(visible);
    StatusBar->setVisible(visible);
    Form_Resize();
}

void frmMain::setKeysVisible(bool visible)
{
    mnuKeys->setChecked(visible);
    picColtrols->setVisible(visible);
    Form_Resize();
}

bool frmMain::captionChecked() const
{
    return mnuCaption->isChecked();
}

bool frmMain::statusBarChecked() const
{
    return mnuStatusBarView->isChecked();
}

bool frmMain::keysChecked() const
{
    return mnuKeys->isChecked();
}

void frmMain::setTreeSize(int twips)
{
    resControls->setControl1Size(twips);
}

void frmMain::setFunctionTextHeight(int twips)
{
    resFunction->setControl1Size(twips);
}

int frmMain::treeSize() const
{
    return resControls->Control1Size();
}

int frmMain::functionTextHeight() const
{
    return resFunction->Control1Size();
}

void frmMain::mnuDayFun_Click()
{
    frmDayApi day(m_browser.recordset(), m_browser.functionCount(), {}, this);
    day.setVba7(m_browser.vba7());
    day.GetRandomApi();
    day.exec();
}

void frmMain::mnuAPIHelp_Click()
{
    showHelpPage(Texts::helpWapi);
}

void frmMain::mnuDeclare_Click()
{
    showHelpPage(Texts::helpDeclare);
}

void frmMain::showHelpPage(const QString &page)
{
    frmHelp help(m_programFolder, this);
    help.OpenHelpFile(page);
    help.exec();
}

void frmMain::mnuAbout_Click()
{
    // A window closed a moment ago is on its way out (it deletes itself on close); a new
    // one takes its place.
    if (!m_about || m_about->isHidden())
        m_about = new frmAbout(FunctionCount(), this);
    Transpart::FadeForm(m_about, true, 3);
}

frmAbout *frmMain::aboutWindow() const
{
    return qobject_cast<frmAbout *>(m_about.data());
}

void frmMain::cmdExit_Click()
{
    close();
}

void frmMain::showEvent(QShowEvent *event)
{
    m_shown = true;
    QMainWindow::showEvent(event);
}

void frmMain::closeEvent(QCloseEvent *event)
{
    unload();
    event->accept();
}
