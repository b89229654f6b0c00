#include "frmMain.h"

#include "ImageList.h"
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

    QMenu *mnuFunction = menuBar()->addMenu(Texts::mnuFunction);
    mnuFunction->setObjectName(QStringLiteral("mnuFunction"));
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
