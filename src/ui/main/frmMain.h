#pragma once

#include "catalogue/CatalogueRecord.h"
#include "catalogue/ParameterConstants.h"
#include "output/FunctionView.h"
#include "settings/MainView.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>
#include <vector>

class AnalysePanel;
class CatalogueBrowser;
class CatalogueTree;
class CloseKey;
class QFrame;
class QTimer;
class Resizer;
class TwipPanel;
class Prompter;
class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QProgressBar;
class QPushButton;
class QTreeView;
class SearchPanel;
class StatusPanels;
class TextBox;
class frmAbout;
class frmConst;
class frmPick;
class PickCatalogue;
class PickList;

// The main window: the function title, the working area (the tree side and the function
// area under one splitter, the declaration and the description under another), the key
// row and the status bar. Every place and size is kept in twips, as the window was
// designed, and turned into pixels where a widget is placed. It draws what the browser
// (the catalogue and the function shown) says, and each of its roads asks the browser to
// show a function.
class frmMain : public QMainWindow, public MainView
{
    Q_OBJECT

public:
    // The browser outlives the window. A catalogue given to the browser later (a test's)
    // takes effect when the tree is built.
    frmMain(CatalogueBrowser &browser, Prompter &prompter, QWidget *parent = nullptr);
    ~frmMain() override;

    // Builds the four roots and fills the catalogue branches from the browser's
    // catalogue; writes the total.
    void BuildCatalogueTree();
    qint64 FunctionCount() const;

    // The constants window while it is open.
    frmConst *constantsWindow() const;

    // The pick list's window while it is open; the list while a catalogue is built.
    frmPick *pickWindow() const;
    PickList *pickList() const { return m_pickList.get(); }
    // Where the pick list is kept; PickList::defaultFile() unless set before the tree is
    // built (empty: for the run only).
    void setPickListFile(const QString &file) { m_pickFile = file; }

    // The unload step runs only in a run in which the window has been shown.
    bool hasBeenShown() const { return m_shown; }
    // Runs the unload step (when the window has been shown) exactly once.
    void unload();

    // The folder the help pages lie under; the running program's own folder by default.
    void setProgramFolder(const QString &folder) { m_programFolder = folder; }
    // The about window while it is open.
    frmAbout *aboutWindow() const;

    // The tree's model, whose keys and roles tell its nodes apart.
    CatalogueTree *catalogueTree() const { return m_tree; }

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

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
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
    // Opens the constants window on the family of the parameter at that row of lstParams.
    void showParameterConstants(int row);

    // Opens (or brings forward) the pick list's window.
    void mnuPick_Click();

    // A random function in the function-of-the-day window, blocking; the view stays.
    void mnuDayFun_Click();
    // Help pages, each in a fresh blocking window.
    void mnuAPIHelp_Click();
    void mnuDeclare_Click();
    // Opens the about window (the key-row button cmdAbout runs the same).
    void mnuAbout_Click();

private:
    // Controls, named as the user's world knows them; found by their object names.
    QTreeView *trvApi = nullptr;
    QLabel *lblFunctionName = nullptr;
    TextBox *txtFunction = nullptr;
    QLabel *lblFacts = nullptr;
    // The parameters that take constants, under the declaration; hidden where none does.
    QListWidget *lstParams = nullptr;
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

    void createControls();
    void setReadingTabOrder();
    void createMenus();
    void createCopyMenu();
    void createConstantCommands();
    void createParameterList();
    // Lists the shown function's parameters that take constants, and its result's.
    void ShowParameters(const CatalogueRecord &record);
    // The list's height in twips within the room given: nothing when it is empty.
    int parameterListHeight(int room) const;
    // The pick list's commands: its menu entry, the tree's and the result lists' entries
    // and keys that add to it.
    void createPickCommands();
    // Reads the list for the catalogue just built; tells what could not be kept.
    void loadPickList();
    // Adds the functions (record positions) or the constants (names); the status and the
    // window follow.
    void pickFunctions(const std::vector<qsizetype> &positions);
    void pickConstants(const QStringList &names);
    void pickListChanged();
    void createKeyRow();
    void createPanels();
    // Lays the shown declaration out as mnuFormat's check mark asks.
    void FormatDeclaration();
    // Fills the view with the record the browser shows, and enables what takes it away.
    void ShowCurrentRecord(qsizetype position);
    void updateFunctionCommands();
    void treeSelectionChanged();
    // Takes the browser's catalogue: the entries that need its VBA7 declarations or its
    // constants follow what it has.
    void takeCatalogue();
    void dockBottom();
    void updateTime();
    void reportRuntimeError(qint64 number, const QString &description);
    void Form_Load();
    void Form_Unload();
    void showFirstSidePanel(QWidget *panel, QAction *entry);
    void showHelpPage(const QString &page);

    CatalogueBrowser &m_browser;
    Prompter &m_prompter;
    CatalogueTree *m_tree = nullptr;
    // The client area (below the menu bar): every place of the window is counted from it.
    QWidget *m_client = nullptr;
    QTimer *m_clock = nullptr;
    bool m_shown = false;
    bool m_unloaded = false;
    // The tree side's size to give back when the tree is shown again, in twips.
    int m_savedTreeSize = 0;
    QString m_programFolder;
    QPointer<QWidget> m_about;
    QPointer<frmConst> m_constWindow;
    QAction *m_descriptionConstants = nullptr;
    // What each row of lstParams stands for.
    std::vector<ParameterFamily> m_parameterLinks;
    QAction *mnuPick = nullptr;
    QString m_pickFile;
    std::unique_ptr<PickCatalogue> m_pickCatalogue;
    std::unique_ptr<PickList> m_pickList;
    QPointer<frmPick> m_pickWindow;
};
