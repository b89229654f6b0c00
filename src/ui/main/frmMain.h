#pragma once

#include "catalogue/ConstantTable.h"
#include "catalogue/Recordset.h"
#include "output/FunctionView.h"
#include "settings/MainView.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>
#include <optional>

class AnalysePanel;
class CatalogueTree;
class CloseKey;
class QFrame;
class QTimer;
class Resizer;
class TwipPanel;
class Prompter;
class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QTreeView;
class SearchPanel;
class StatusPanels;
class TextBox;
class frmAbout;
class frmConst;
class ConstantFinder;

// The main window: the function title, the working area (the tree side and the function
// area under one splitter, the declaration and the description under another), the key
// row and the status bar. Every place and size is kept in twips, as the window was
// designed, and turned into pixels where a widget is placed. It holds the one shared
// catalogue recordset for the whole run.
class frmMain : public QMainWindow, public MainView
{
    Q_OBJECT

public:
    explicit frmMain(Prompter &prompter, QWidget *parent = nullptr);
    ~frmMain() override;

    // The catalogue data control: the one shared recordset.
    Recordset &ADO() { return m_recordset; }
    void setRecordset(Recordset recordset);

    // Builds the four roots and fills the catalogue branches; writes the total.
    void BuildCatalogueTree();
    qint64 FunctionCount() const;

    // Shows the function whose name is exactly that text; the last match wins. A text
    // no record carries leaves the view as it was.
    void ShowFunction(const QString &name);
    // Copies the current record of the recordset into the view.
    void ShowCurrentRecord();
    // Lays the shown declaration out as mnuFormat's check mark asks.
    void FormatDeclaration();

    // The catalogue's constants; without them (an older catalogue) the constants entry
    // stays disabled.
    void setConstants(std::optional<ConstantTable> constants);
    // The constants window while it is open.
    frmConst *constantsWindow() const;

    // The tree's node click: shows the node's function and enables save and print.
    void nodeClick(const QModelIndex &index);

    // The unload step runs only in a run in which the window has been shown.
    bool hasBeenShown() const { return m_shown; }
    // Runs the unload step (when the window has been shown) exactly once.
    void unload();

    // The folder the help pages lie under; the running program's own folder by default.
    void setProgramFolder(const QString &folder) { m_programFolder = folder; }
    QString programFolder() const { return m_programFolder; }
    // The about window while it is open.
    frmAbout *aboutWindow() const;

    CatalogueTree *catalogueTree() const { return m_tree; }
    StatusPanels *statusPanels() const { return StatusBar; }

    // Controls, named as the user's world knows them.
    QTreeView *trvApi = nullptr;
    QLabel *lblFunctionName = nullptr;
    TextBox *txtFunction = nullptr;
    QLabel *lblFacts = nullptr;
    TextBox *txtComment = nullptr;
    StatusPanels *StatusBar = nullptr;
    Resizer *resControls = nullptr;
    Resizer *resFunction = nullptr;
    TwipPanel *picTree = nullptr;
    QLabel *lblTree = nullptr;
    QFrame *shpWT = nullptr;
    CloseKey *cmdCloseTree = nullptr;
    TwipPanel *picFn = nullptr;
    QLabel *lblFunction = nullptr;
    QFrame *shpWC = nullptr;
    SearchPanel *picSearch = nullptr;
    AnalysePanel *picAnalyse = nullptr;
    QProgressBar *ProgressBar = nullptr;

    QAction *mnuSave = nullptr;
    QAction *mnuFullSave = nullptr;
    QAction *mnuPrint = nullptr;
    QAction *mnuExit = nullptr;
    QAction *mnuCaption = nullptr;
    QAction *mnuStatusBarView = nullptr;
    QAction *mnuKeys = nullptr;
    QAction *mnuOptions = nullptr;
    QAction *mnuFormat = nullptr;
    QAction *mnuVba7 = nullptr;
    QAction *mnuTreeApi = nullptr;
    QAction *mnuSearch = nullptr;
    QAction *mnuAnalyse = nullptr;
    // The search mode entries, indices 1 (by name) and 2 (by description); 0 is unused.
    std::array<QAction *, 3> mnuSearchType{};
    // Opens the constants window; after the search type entries.
    QAction *mnuConst = nullptr;
    QMenu *mnuCopyRoot = nullptr;
    std::array<QAction *, 3> mnuCopy{};
    QAction *mnuDayFun = nullptr;
    QAction *mnuAPIHelp = nullptr;
    QAction *mnuDeclare = nullptr;
    QAction *mnuAbout = nullptr;

    // The key row along the bottom, with its button group on the right.
    TwipPanel *picColtrols = nullptr;
    QPushButton *cmdAbout = nullptr;
    QWidget *picKeys = nullptr;
    QPushButton *cmdSearchBar = nullptr;
    QPushButton *cmdCopy = nullptr;
    QPushButton *cmdExit = nullptr;

    // The three fields of the function view that saving, copying and printing read.
    FunctionView shownFunction() const;

    // Saves the shown function as a Basic module, with its description or not.
    void SaveModule(bool withDescription);

    // The search mode: false searches names, true descriptions. Set only by the
    // mnuSearchType entries; every run starts searching names.
    bool SearchByDescription() const { return m_searchByDescription; }

    // The tree side's size to give back when the tree is shown again, in twips.
    int SavedTreeSize() const { return m_savedTreeSize; }
    // The client area (below the menu bar): every place of the window is counted from it.
    QWidget *clientArea() const { return m_client; }

    // MainView: what the program settings read and write.
    void setFunctionFontSize(double points) override;
    void setCommentFontSize(double points) override;
    void setCaptionVisible(bool visible) override;
    void setStatusBarVisible(bool visible) override;
    void setKeysVisible(bool visible) override;
    bool captionChecked() const override;
    bool statusBarChecked() const override;
    bool keysChecked() const override;
    void setTreeSize(int twips) override;
    void setFunctionTextHeight(int twips) override;
    int treeSize() const override;
    int functionTextHeight() const override;
    void setVba7Checked(bool checked) override;
    bool vba7Checked() const override;

public slots:
    void cmdExit_Click();
    void mnuCopy_Click(int index);
    void cmdCopy_Click();
    void mnuPrint_Click();
    void mnuFormat_Click();
    // Shows the function again in the form the entry's check mark asks for.
    void mnuVba7_Click();
    void mnuCaption_Click();
    // The first side of the working area: tree (shown or hidden), search or analysis panel.
    void mnuTreeApi_Click();
    void mnuSearch_Click();
    void mnuAnalyse_Click();
    // Either entry swaps the two check marks and the mode with them.
    void mnuSearchType_Click(int index);
    void mnuStatusBarView_Click();
    void mnuKeys_Click();
    void mnuOptions_Click();
    void cmdCloseTree_Click();
    void cmdCloseSearch_Click();
    void cmdCloseAnalyse_Click();
    // Switches between the tree and the search panel; its caption says what it will show.
    void cmdSearchBar_Click();

    // The window's resize handling: docks the key row and the status bar at the bottom,
    // then sizes the title and the working area.
    void Form_Resize();
    // Keeps the search and analysis panels the size of the tree panel.
    void resControls_ResizeItems();

    // Opens (or brings forward) the constants window, as it was left.
    void mnuConst_Click();
    // Opens the constants window on the constants the shown description names.
    void showDescriptionConstants();

    // A random function in the function-of-the-day window, blocking; the view stays.
    void mnuDayFun_Click();
    // Help pages, each in a fresh blocking window.
    void mnuAPIHelp_Click();
    void mnuDeclare_Click();
    // Opens the about window (the key-row button cmdAbout runs the same).
    void mnuAbout_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    void setReadingTabOrder();
    void createMenus();
    void createCopyMenu();
    void createConstantCommands();
    void createKeyRow();
    void createPanels();
    void dockBottom();
    void updateTime();
    void reportRuntimeError(qint64 number, const QString &description);
    void Form_Load();
    void Form_Unload();
    void showFirstSidePanel(QWidget *panel, QAction *entry);
    void showHelpPage(const QString &page);

    Prompter &m_prompter;
    Recordset m_recordset;
    CatalogueTree *m_tree = nullptr;
    QWidget *m_client = nullptr;
    QTimer *m_clock = nullptr;
    bool m_shown = false;
    bool m_unloaded = false;
    int m_savedTreeSize = 0;
    bool m_searchByDescription = false;
    QString m_programFolder;
    QPointer<QWidget> m_about;
    std::unique_ptr<ConstantFinder> m_constants;
    QPointer<frmConst> m_constWindow;
    QAction *m_descriptionConstants = nullptr;
    // The record the function view shows (its position), 0 before the first.
    qsizetype m_shownPosition = 0;
    // The VBA7 entry's check mark as the user left it, kept while an older catalogue
    // disables the entry.
    bool m_vba7Choice = false;
};
