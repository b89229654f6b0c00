#include "frmMain.h"

#include "AnalysePanel.h"
#include "ImageList.h"
#include "SearchPanel.h"
#include "StatusPanels.h"
#include "TextBox.h"
#include "catalogue/CatalogueTree.h"
#include "catalogue/DeclarationLayout.h"
#include "platform/Texts.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

QString versionCaption()
{
    return Texts::windowCaptionPrefix + QString::number(VORN_VERSION_MAJOR) + QLatin1Char('.')
        + QString::number(VORN_VERSION_MINOR) + QLatin1Char('.') + QString::number(VORN_VERSION_PATCH);
}

} // namespace

frmMain::frmMain(Prompter &prompter, QWidget *parent)
    : QMainWindow(parent)
    , m_prompter(prompter)
{
    setObjectName(QStringLiteral("frmMain"));
    setLayoutDirection(Qt::RightToLeft);
    createControls();
    createMenus();
    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::createControls()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);

    lblFunctionName = new QLabel(Texts::functionNameInitial, central);
    lblFunctionName->setObjectName(QStringLiteral("lblFunctionName"));
    lblFunctionName->setTextFormat(Qt::PlainText);
    QFont titleFont(QStringLiteral("Times New Roman"), 12);
    titleFont.setBold(true);
    lblFunctionName->setFont(titleFont);
    lblFunctionName->setAutoFillBackground(true);
    lblFunctionName->setStyleSheet(QStringLiteral("background-color: #E7E7EF;"));
    lblFunctionName->setVisible(false);
    layout->addWidget(lblFunctionName);

    resControls = new QSplitter(Qt::Horizontal, central);
    resControls->setObjectName(QStringLiteral("resControls"));
    resControls->setChildrenCollapsible(false);

    m_tree = new CatalogueTree(this);
    m_tree->setImageList(makeTreeImageList());
    trvApi = new QTreeView(resControls);
    trvApi->setObjectName(QStringLiteral("trvApi"));
    trvApi->setHeaderHidden(true);
    trvApi->setUniformRowHeights(true);
    trvApi->setModel(m_tree);
    trvApi->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(trvApi, &QTreeView::clicked, this, &frmMain::nodeClick);
    // The keyboard walks the tree as well as the pointer does. Only a node that becomes
    // selected counts: the tree makes its first row current (unselected) when it first
    // takes the focus, and that is no click of the user's.
    connect(trvApi->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (trvApi->hasFocus() && !(QGuiApplication::mouseButtons() & Qt::LeftButton)
                    && trvApi->selectionModel()->isSelected(current))
                    nodeClick(current);
            });

    resFunction = new QSplitter(Qt::Vertical, resControls);
    resFunction->setObjectName(QStringLiteral("resFunction"));
    resFunction->setChildrenCollapsible(false);
    txtFunction = new TextBox(resFunction);
    txtFunction->setObjectName(QStringLiteral("txtFunction"));
    txtFunction->setFont(QFont(QStringLiteral("Courier New"), 8));
    // Code reads left to right even in a right-to-left window.
    txtFunction->setLayoutDirection(Qt::LeftToRight);
    txtFunction->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtFunction->setStyleSheet(QStringLiteral("background-color: #FFFFC0;"));
    txtComment = new TextBox(resFunction);
    txtComment->setObjectName(QStringLiteral("txtComment"));
    txtComment->setFont(QFont(QStringLiteral("Tahoma"), 8));
    txtComment->setStyleSheet(QStringLiteral("background-color: #FFFFC0;"));
    resFunction->setStretchFactor(0, 1);
    resFunction->setStretchFactor(1, 1);
    resControls->setStretchFactor(0, 2);
    resControls->setStretchFactor(1, 3);
    layout->addWidget(resControls, 1);
    layout->addWidget(createKeyRow(central));
    setCentralWidget(central);

    StatusBar = new StatusPanels(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    setStatusBar(StatusBar);

    // The search and analysis panels lie over the tree side when shown.
    picSearch = new SearchPanel(*this, m_prompter, central);
    picSearch->setOverlayTarget(trvApi);
    picAnalyse = new AnalysePanel(*this, m_prompter, central);
    picAnalyse->setOverlayTarget(trvApi);
    // Laid over the status bar's "prog" panel while an analysis runs.
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setTextVisible(false);
    ProgressBar->hide();

    resize(662, 503); // 9930 x 7545 twips at 96 dpi
}

void frmMain::createMenus()
{
    QMenu *mnuFile = menuBar()->addMenu(Texts::mnuFile);
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuSave = mnuFile->addAction(Texts::mnuSave);
    mnuSave->setObjectName(QStringLiteral("mnuSave"));
    mnuSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuSave->setEnabled(false);
    connect(mnuSave, &QAction::triggered, this, [this] { SaveModule(false); });
    mnuFullSave = mnuFile->addAction(Texts::mnuFullSave);
    mnuFullSave->setObjectName(QStringLiteral("mnuFullSave"));
    mnuFullSave->setEnabled(false);
    connect(mnuFullSave, &QAction::triggered, this, [this] { SaveModule(true); });
    mnuFile->addSeparator();
    mnuPrint = mnuFile->addAction(Texts::mnuPrint);
    mnuPrint->setObjectName(QStringLiteral("mnuPrint"));
    mnuPrint->setEnabled(false);
    connect(mnuPrint, &QAction::triggered, this, &frmMain::mnuPrint_Click);
    mnuFile->addSeparator();
    mnuExit = mnuFile->addAction(Texts::mnuExit);
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    connect(mnuExit, &QAction::triggered, this, &frmMain::cmdExit_Click);

    QMenu *mnuView = menuBar()->addMenu(Texts::mnuView);
    mnuView->setObjectName(QStringLiteral("mnuView"));
    mnuCaption = mnuView->addAction(Texts::mnuCaption);
    mnuCaption->setObjectName(QStringLiteral("mnuCaption"));
    mnuCaption->setCheckable(true);
    mnuCaption->setChecked(false);
    connect(mnuCaption, &QAction::triggered, this, &frmMain::mnuCaption_Click);
    mnuView->addSeparator();
    mnuTreeApi = mnuView->addAction(Texts::mnuTreeApi);
    mnuTreeApi->setObjectName(QStringLiteral("mnuTreeApi"));
    mnuTreeApi->setCheckable(true);
    mnuTreeApi->setChecked(true);
    connect(mnuTreeApi, &QAction::triggered, this, &frmMain::mnuTreeApi_Click);
    mnuSearch = mnuView->addAction(Texts::mnuSearch);
    mnuSearch->setObjectName(QStringLiteral("mnuSearch"));
    mnuSearch->setCheckable(true);
    connect(mnuSearch, &QAction::triggered, this, &frmMain::mnuSearch_Click);
    mnuAnalyse = mnuView->addAction(Texts::mnuAnalyse);
    mnuAnalyse->setObjectName(QStringLiteral("mnuAnalyse"));
    mnuAnalyse->setCheckable(true);
    connect(mnuAnalyse, &QAction::triggered, this, &frmMain::mnuAnalyse_Click);

    QMenu *mnuFunction = menuBar()->addMenu(Texts::mnuFunction);
    mnuFunction->setObjectName(QStringLiteral("mnuFunction"));
    const QString searchTypeCaptions[] = {QString(), Texts::mnuSearchType1, Texts::mnuSearchType2};
    for (int index = 1; index <= 2; ++index) {
        QAction *entry = mnuFunction->addAction(searchTypeCaptions[index]);
        entry->setObjectName(QStringLiteral("mnuSearchType%1").arg(index));
        entry->setCheckable(true);
        entry->setChecked(index == 1);
        connect(entry, &QAction::triggered, this, [this, index] { mnuSearchType_Click(index); });
        mnuSearchType[static_cast<size_t>(index)] = entry;
    }
    mnuFunction->addSeparator();
    mnuFormat = mnuFunction->addAction(Texts::mnuFormat);
    mnuFormat->setObjectName(QStringLiteral("mnuFormat"));
    mnuFormat->setCheckable(true);
    mnuFormat->setChecked(false);
    connect(mnuFormat, &QAction::triggered, this, &frmMain::mnuFormat_Click);

    createCopyMenu();
}

void frmMain::Form_Load()
{
    setWindowTitle(versionCaption());
    const QList<int> sizes = resControls->sizes();
    m_savedTreeSize = sizes.isEmpty() ? 0 : sizes.first();
}

void frmMain::Form_Unload()
{
}

void frmMain::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (m_shown)
        Form_Unload();
}

void frmMain::setRecordset(Recordset recordset)
{
    m_recordset = std::move(recordset);
}

void frmMain::BuildCatalogueTree()
{
    m_tree->BuildCatalogueTree(m_recordset);
    StatusBar->setText(QStringLiteral("total"), Texts::totalCount + QString::number(FunctionCount()));
}

qint64 frmMain::FunctionCount() const
{
    return m_tree->FunctionCount();
}

void frmMain::ShowFunction(const QString &name)
{
    bool found = false;
    Recordset &recordset = m_recordset;
    recordset.MoveFirst();
    while (!recordset.atEOF()) {
        const QString *field = recordset.field(CatalogueRecord::FunctionName);
        if (field && *field == name) {
            ShowCurrentRecord();
            found = true;
        }
        recordset.MoveNext();
    }
    if (found)
        FormatDeclaration();
}

void frmMain::ShowCurrentRecord()
{
    if (const QString *name = m_recordset.field(CatalogueRecord::FunctionName))
        lblFunctionName->setText(*name);
    if (const QString *declaration = m_recordset.field(CatalogueRecord::Declaration))
        txtFunction->setText(*declaration);
    if (const QString *description = m_recordset.field(CatalogueRecord::Description))
        txtComment->setText(*description);
    if (const QString *name = m_recordset.field(CatalogueRecord::FunctionName))
        StatusBar->setText(QStringLiteral("name"), *name);
}

void frmMain::FormatDeclaration()
{
    txtFunction->setText(DeclarationLayout::layOut(txtFunction->text(), mnuFormat->isChecked()));
}

void frmMain::nodeClick(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    ShowFunction(m_tree->text(index));
    mnuSave->setEnabled(true);
    mnuFullSave->setEnabled(true);
    mnuPrint->setEnabled(true);
}

void frmMain::mnuFormat_Click()
{
    // The action has already flipped its check mark when triggered from the menu.
    FormatDeclaration();
}

void frmMain::mnuCaption_Click()
{
    lblFunctionName->setVisible(mnuCaption->isChecked());
    layoutWindow();
}

void frmMain::mnuSearchType_Click(int index)
{
    // The chosen entry has already flipped its own check mark; the other one follows, so
    // choosing either entry, even the checked one, swaps the mode.
    QAction *other = mnuSearchType[index == 1 ? 2 : 1];
    other->setChecked(!other->isChecked());
    m_searchByDescription = mnuSearchType[2]->isChecked();
}

void frmMain::mnuTreeApi_Click()
{
    // The entry has already flipped its own check mark.
    mnuSearch->setChecked(false);
    mnuAnalyse->setChecked(false);
    const bool show = mnuTreeApi->isChecked();
    if (!trvApi->isHidden()) {
        m_savedTreeSize = resControls->sizes().value(0);
        trvApi->setVisible(show);
    } else {
        trvApi->setVisible(show);
        QList<int> sizes = resControls->sizes();
        if (show && sizes.size() == 2 && m_savedTreeSize > 0) {
            const int total = sizes[0] + sizes[1];
            sizes = {m_savedTreeSize, std::max(total - m_savedTreeSize, 0)};
            resControls->setSizes(sizes);
        }
    }
    picSearch->hide();
    picAnalyse->hide();
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
    trvApi->setVisible(true);
    mnuTreeApi->setChecked(false);
    mnuSearch->setChecked(entry == mnuSearch);
    mnuAnalyse->setChecked(entry == mnuAnalyse);
    (panel == picSearch ? static_cast<QWidget *>(picAnalyse) : picSearch)->hide();
    layoutWindow();
    panel->show();
    panel->raise();
}

void frmMain::layoutWindow()
{
    if (QWidget *central = centralWidget(); central && central->layout())
        central->layout()->activate();
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
