// Finding functions in the main window: the search box (keys typed where the focus is, by
// name or by description) and the analysis of an executable, with its progress bar. The
// matching itself is tested in tests/find; here the roads to it and what the window shows.
#include "MainWindowTest.h"
#include "find/ExecutableAnalysis.h"
#include "ui/main/AnalysePanel.h"
#include "ui/main/QtPrompter.h"
#include "ui/main/SearchPanel.h"
#include "output/ModuleExport.h"
#include "ui/controls/NameList.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMimeDatabase>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

// imports.exe imports CreateFileA, CloseThreadpoolWait, GetProcAddress, MessageBoxA...
QString importsExe() { return qEnvironmentVariable("VORN_TEST_DATA") + "/../../find/data/imports.exe"; }
QString found(int n) { return Texts::foundPrefix + QString::number(n) + Texts::foundSuffix; }
// What imports.exe uses: its one import of the catalogue with its DLL first, then the names
// found only as strings, in record order; not getprocaddress, in another letter case.
const QStringList analysed = {"CreateFileA  KERNEL32.dll", "MessageBox", "CreateFile", "CloseThreadpool"};
// "imported 1, exported 0, string 3"
const QString analysedKinds = QStringLiteral("\u0648\u0627\u0631\u062F \u0634\u062F\u0647 1\u060C \u0635\u0627\u062F\u0631 "
                                             "\u0634\u062F\u0647 0\u060C \u0631\u0634\u062A\u0647 3");

} // namespace

class tst_Find : public QObject
{
    Q_OBJECT

    MainWindowTest t;
    std::unique_ptr<QTemporaryDir> m_dir;
    int m_files = 0;

    SearchPanel *search() const { return named<SearchPanel>(t.main.get(), "picSearch"); }
    AnalysePanel *analyse() const { return named<AnalysePanel>(t.main.get(), "picAnalyse"); }
    void browse() { QTest::mouseClick(named<QPushButton>(analyse(), "cmdBrowse"), Qt::LeftButton); }

    // Types the text over what the focused search box holds and presses Enter.
    void searchFor(const QString &text)
    {
        QCOMPARE(QApplication::focusWidget(), named<QComboBox>(search(), "cboSearch"));
        press(Qt::Key_A);
        press(Qt::Key_Delete, {});
        type(text);
        press(Qt::Key_Return, {});
    }

    // Types the text key by key, each character as the text of its key event (as a
    // Persian keyboard layout gives it), over what the box holds, and presses Enter.
    void searchForKeys(const QString &text)
    {
        press(Qt::Key_A);
        press(Qt::Key_Delete, {});
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), c == u' ' ? Qt::Key_Space : Qt::Key_unknown,
                                QString(c), Qt::NoModifier);
        press(Qt::Key_Return, {});
    }

    void openSearch()
    {
        named<QAction>(t.main.get(), "mnuSearch")->trigger();
        QTRY_COMPARE(QApplication::focusWidget(), named<QComboBox>(search(), "cboSearch"));
    }

    // The panel shown and its notice, once a run, answered.
    void openAnalysis()
    {
        named<QAction>(t.main.get(), "mnuAnalyse")->trigger();
        named<QAction>(t.main.get(), "mnuTreeApi")->trigger();
        named<QAction>(t.main.get(), "mnuAnalyse")->trigger();
        QCOMPARE(t.prompter->messages.size(), 1);
        QCOMPARE(t.prompter->messages[0].text, Texts::analyseNoticeLine1 + "\r\n" + Texts::analyseNoticeLine2);
        t.prompter->messages.clear();
    }

    QString write(const QByteArray &content)
    {
        const QString path = m_dir->filePath(QStringLiteral("file%1.exe").arg(++m_files));
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() ? path : QString();
    }

    // Several pieces of the reader, with one name near the very end.
    QString writeLarge()
    {
        QByteArray content(5 * 1024 * 1024 + 123, Qt::Uninitialized);
        QRandomGenerator random(7);
        for (char &c : content)
            c = static_cast<char>(random.bounded(256));
        content.replace(0, 2, "MZ");
        content.replace(content.size() - 6, 4, "Beep");
        return write(content);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY2(QFile::exists(importsExe()), "run under ctest, which tells where the test data is");
        QVERIFY(t.open({
            record("SetWindowTextA", "Declare Function SetWindowTextA", "user32", {}, "sets a caption"),
            record("GetWindowText", "Declare Function GetWindowText", "user32", {}, "gets a caption"),
            record("MessageBox", "Declare Function MessageBox"),
            record("CreateFileA", "Declare Function CreateFileA"),
            record("CreateFile", "Declare Function CreateFile"),
            record("getprocaddress", "Declare Function getprocaddress"),
            // With a zero-width non-joiner, which description search looks through.
            record("Beep", "Declare Function Beep", "kernel32", {}, QStringLiteral("a sou\u200Cnd")),
            record("CloseThreadpool", "Declare Function CloseThreadpool"),
            record("LoadImage", "Declare Function LoadImage", "user32", {}, u"بيت مپ يا آيکن را مي‌خواند."_s),
            record("CreateBitmap", "Declare Function CreateBitmap", "gdi32", {}, u"يک بيت\u200cمپ مي‌سازد."_s),
        }));
    }

    void cleanup() { t.close(); }

    // The fault: Enter in the search box did nothing: the key filter sat on the line edit
    // while the keys go to the combo box. And the box took no focus when shown.
    void enterInTheSearchBoxDidNothing_data()
    {
        QTest::addColumn<bool>("byButton");
        QTest::addColumn<int>("key");
        QTest::newRow("view entry, Return") << false << int(Qt::Key_Return);
        QTest::newRow("search bar button, keypad Enter") << true << int(Qt::Key_Enter);
    }

    void enterInTheSearchBoxDidNothing()
    {
        QFETCH(bool, byButton);
        QFETCH(int, key);
        named<QTreeView>(t.main.get(), "trvApi")->setFocus();
        if (byButton)
            QTest::mouseClick(named<QPushButton>(t.main.get(), "cmdSearchBar"), Qt::LeftButton);
        else
            named<QAction>(t.main.get(), "mnuSearch")->trigger();
        QTRY_COMPARE(QApplication::focusWidget(), named<QComboBox>(search(), "cboSearch"));
        type(QStringLiteral("file"));
        press(Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QCOMPARE(texts(named<NameList>(search(), "lstRearchResult")), (QStringList{"CreateFile", "CreateFileA"}));
        QCOMPARE(texts(named<QComboBox>(search(), "cboSearch")), QStringList{"file"});
        press(Qt::Key_Backspace, {}); // other keys do not search
        press(Qt::Key_Tab, {});
        QCOMPARE(texts(named<QComboBox>(search(), "cboSearch")), QStringList{"file"});
    }

    void nameSearch_fillsListTreeStatusAndHistory()
    {
        openSearch();
        searchFor(QStringLiteral("window"));
        QCOMPARE(texts(named<NameList>(search(), "lstRearchResult")), (QStringList{"GetWindowText", "SetWindowTextA"}));
        QCOMPARE(t.status(), found(2));
        CatalogueTree *tree = t.main->catalogueTree();
        QCOMPARE(tree->rowCount(t.node(QStringLiteral("Search"))), 2);
        QVERIFY(t.prompter->messages.isEmpty());
        // Blanks are part of the text; the same text twice is kept twice.
        searchFor(QStringLiteral(" Window "));
        QTest::mouseClick(named<QPushButton>(search(), "cmdSearch"), Qt::LeftButton);
        QCOMPARE(t.prompter->messages.size(), 2);
        QCOMPARE(t.prompter->messages[0].text, Texts::noSearchResult);
        QVERIFY(t.prompter->messages[0].caption == Texts::searchResultCaption
                && t.prompter->messages[0].icon == Prompter::Icon::Information);
        QCOMPARE(named<NameList>(search(), "lstRearchResult")->count(), 0);
        QCOMPARE(tree->rowCount(t.node(QStringLiteral("Search"))), 0);
        QCOMPARE(t.status(), found(2)); // kept from the last search that found something
        QTRY_COMPARE(QApplication::focusWidget(), named<QComboBox>(search(), "cboSearch")); // back from the button
        QCOMPARE(named<QComboBox>(search(), "cboSearch")->currentText(), QStringLiteral(" Window "));
        searchFor(QString());
        QCOMPARE(named<NameList>(search(), "lstRearchResult")->count(), 10);
        QCOMPARE(texts(named<QComboBox>(search(), "cboSearch")), (QStringList{"window", " Window ", " Window ", ""}));
    }

    // Choosing the checked entry switches to the other mode, as choosing the other does.
    void searchTypeEntries_swapTheMode_descriptionSearchReadsDescriptions()
    {
        QAction *byName = named<QAction>(t.main.get(), "mnuSearchType1");
        QAction *byDescription = named<QAction>(t.main.get(), "mnuSearchType2");
        for (QAction *entry : {byName, byName, byDescription, byDescription, byName}) {
            const bool was = t.browser->searchByDescription();
            entry->trigger();
            QCOMPARE(t.browser->searchByDescription(), !was);
            QCOMPARE(byDescription->isChecked(), !was);
            QCOMPARE(byName->isChecked(), was);
        }
        openSearch();
        searchFor(QStringLiteral("CAPTION"));
        QCOMPARE(texts(named<NameList>(search(), "lstRearchResult")), (QStringList{"GetWindowText", "SetWindowTextA"}));
        searchFor(QStringLiteral("sound"));
        QCOMPARE(texts(named<NameList>(search(), "lstRearchResult")), QStringList{"Beep"});
        searchFor(QStringLiteral("Window")); // in names only
        QCOMPARE(named<NameList>(search(), "lstRearchResult")->count(), 0);
    }

    // A result shows the function and, as the tree does, enables saving it. The faults:
    // Ctrl+S did nothing after a result was picked; and back in the tree, the node picked
    // before stayed selected while Ctrl+S saved the result.
    void searchResultPicked_notSaved_orSavedWhileTheTreeSelectedAnother()
    {
        openSearch();
        searchFor(QStringLiteral("createfile"));
        NameList *list = named<NameList>(search(), "lstRearchResult");
        QCOMPARE(list->names(), (QStringList{"CreateFile", "CreateFileA"})); // the name itself first
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->rowRect(0).center());
        QCOMPARE(named<TextBox>(t.main.get(), "txtFunction")->text(), QStringLiteral("Declare Function CreateFile"));
        QCOMPARE(t.status(), QStringLiteral("CreateFile"));
        press(Qt::Key_S);
        QCOMPARE(t.prompter->fileDialogs.size(), 1);
        QCOMPARE(t.prompter->fileDialogs[0].initialName, ModuleExport::fileName(QStringLiteral("CreateFile")));
        named<QAction>(t.main.get(), "mnuTreeApi")->trigger();
        t.click(QStringLiteral("Alf_F_2"));
        QCOMPARE(named<QLabel>(t.main.get(), "lblFunctionName")->text(), QStringLiteral("GetWindowText"));
        named<QAction>(t.main.get(), "mnuSearch")->trigger();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->rowRect(1).center());
        QCOMPARE(named<QLabel>(t.main.get(), "lblFunctionName")->text(), QStringLiteral("CreateFileA"));
        named<QAction>(t.main.get(), "mnuTreeApi")->trigger(); // the same results under the tree's search root
        QVERIFY(named<QTreeView>(t.main.get(), "trvApi")->selectionModel()->selectedIndexes().isEmpty());
        press(Qt::Key_S);
        QCOMPARE(t.prompter->fileDialogs.size(), 2);
        QCOMPARE(t.prompter->fileDialogs[1].initialName, ModuleExport::fileName(QStringLiteral("CreateFileA")));
        t.click(QStringLiteral("Ser_F_CreateFile"));
        QCOMPARE(named<QLabel>(t.main.get(), "lblFunctionName")->text(), QStringLiteral("CreateFile"));
    }

    // Typed as a user types: a zero-width non-joiner (Shift+Space on a Persian layout) and
    // a blank between the parts of a word find the same, best first; Down goes on from
    // the box to the first row, then to the next.
    void typedWithJoinerOrBlank_sameResults_downFromTheBoxReachesRowOne()
    {
        named<QAction>(t.main.get(), "mnuSearchType2")->trigger();
        openSearch();
        QStringList found[2];
        for (const QString &query : {u"بيت\u200cمپ"_s, u"بيت مپ"_s}) {
            searchForKeys(query);
            QCOMPARE(named<QComboBox>(search(), "cboSearch")->currentText(), query);
            found[query.contains(u' ')] = texts(named<NameList>(search(), "lstRearchResult"));
        }
        QCOMPARE(found[0], (QStringList{"CreateBitmap", "LoadImage"})); // "bitmap" in its name
        QCOMPARE(found[1], found[0]);
        NameList *list = named<NameList>(search(), "lstRearchResult");
        press(Qt::Key_Down, {});
        QCOMPARE(QApplication::focusWidget(), list);
        QVERIFY(list->currentRow() == 0 && list->isRowSelected(0));
        QCOMPARE(named<QLabel>(t.main.get(), "lblFunctionName")->text(), QStringLiteral("CreateBitmap"));
        press(Qt::Key_Down, {});
        QCOMPARE(named<QLabel>(t.main.get(), "lblFunctionName")->text(), QStringLiteral("LoadImage"));
    }

    // The fault: the list made its first row current when it took the focus, and the
    // first Down went on from there to the second row.
    void firstDownInTheListSkippedRowOne()
    {
        openSearch();
        searchFor(QStringLiteral("create"));
        NameList *list = named<NameList>(search(), "lstRearchResult");
        for (int tab = 0; tab < 4 && QApplication::focusWidget() != list; ++tab)
            press(Qt::Key_Tab, {});
        QCOMPARE(QApplication::focusWidget(), list);
        QCOMPARE(named<QLabel>(t.main.get(), "lblFunctionName")->text(), Texts::functionNameInitial); // taking the focus picks nothing
        press(Qt::Key_Home, {}); // staying on the row picks it
        QCOMPARE(list->currentRow(), 0);
        QCOMPARE(named<QLabel>(t.main.get(), "lblFunctionName")->text(), list->names().first());
        press(Qt::Key_Down, {});
        QCOMPARE(named<QLabel>(t.main.get(), "lblFunctionName")->text(), list->names().at(1));
        openSearch(); // a new search: no row current
        searchFor(QStringLiteral("create"));
        for (int tab = 0; tab < 4 && QApplication::focusWidget() != list; ++tab)
            press(Qt::Key_Tab, {});
        press(Qt::Key_Down, {});
        QCOMPARE(list->currentRow(), 0);
        QCOMPARE(named<QLabel>(t.main.get(), "lblFunctionName")->text(), list->names().first());
    }

    // A file that is no executable, or cannot be read, is reported; the list keeps the
    // names of the last analysis, the status its count.
    void analysis_listsTheFunctionsTheFileUses()
    {
        openAnalysis();
        const QString error75 = QStringLiteral("Runtime Error '75'\r\nPath/File access error");
        t.prompter->fileAnswers = {write("MZ nothing of the catalogue"), importsExe(), std::nullopt, write({}), m_dir->path()};
        browse();
        QCOMPARE(named<NameList>(analyse(), "lstAnalyseApi")->count(), 0);
        QCOMPARE(t.status(), Texts::noFunctionFound);
        browse();
        QCOMPARE(t.prompter->fileDialogs[1].filter, AnalysePanel::browseFilter);
        QCOMPARE(named<QLineEdit>(analyse(), "txtFileName")->text(), importsExe());
        QCOMPARE(texts(named<NameList>(analyse(), "lstAnalyseApi")), analysed);
        QCOMPARE(t.status(), analysedKinds);
        QVERIFY(named<QProgressBar>(t.main.get(), "ProgressBar")->isHidden());
        QCOMPARE(named<QProgressBar>(t.main.get(), "ProgressBar")->value(), 10); // the catalogue's records
        for (const QString &message : {QString(), Texts::notExecutable, error75}) { // cancelled first
            named<StatusPanels>(t.main.get(), "StatusBar")->setText(QStringLiteral("name"), QStringLiteral("CreateFile"));
            browse();
            t.saidOnly(message);
            QCOMPARE(texts(named<NameList>(analyse(), "lstAnalyseApi")), analysed);
            QCOMPARE(t.status(), analysedKinds);
            QVERIFY(named<QProgressBar>(t.main.get(), "ProgressBar")->isHidden());
        }
    }

    // The fault: in the window at its first size the counts of an analysis ran past their
    // status panel, the last count cut off mid-word. Text that does not fit ends in an
    // ellipsis, the whole of it in the panel's tip; text that fits is shown whole, without
    // a tip; a tip of the panel's own (a saved module's path) stays as the panel narrows.
    void statusPanel_cutTheCounts_endsInAnEllipsisWithTheWholeInItsTip()
    {
        openAnalysis();
        t.prompter->fileAnswers = {importsExe()};
        browse();
        auto *status = named<StatusPanels>(t.main.get(), "StatusBar");
        QLabel *name = status->panel(QStringLiteral("name"));
        for (const int width : {60, 3000}) {
            name->setFixedWidth(width);
            QTRY_COMPARE(name->width(), width);
            const int room = name->contentsRect().width();
            const bool fits = name->fontMetrics().horizontalAdvance(analysedKinds) <= room;
            QCOMPARE(fits, width == 3000);
            QCOMPARE(name->text() == analysedKinds, fits);
            QCOMPARE(name->toolTip(), fits ? QString() : analysedKinds);
            QVERIFY(fits || name->text().endsWith(QChar(0x2026)));
            QVERIFY(name->fontMetrics().horizontalAdvance(name->text()) <= room);
            QCOMPARE(status->text(QStringLiteral("name")), analysedKinds);
        }
        QLabel *prog = status->panel(QStringLiteral("prog"));
        status->setText(QStringLiteral("prog"), analysedKinds);
        prog->setToolTip(QStringLiteral("/home/user/Module1.bas"));
        prog->setFixedWidth(60);
        QTRY_COMPARE(prog->width(), 60);
        QVERIFY(prog->text().endsWith(QChar(0x2026)));
        QCOMPARE(prog->toolTip(), QStringLiteral("/home/user/Module1.bas"));
    }

    // The fault: the bar was placed in the window's coordinates while its parent is the
    // client area below the menu bar, so it stood off the status bar's "prog" panel.
    void progressBarStoodOffItsPanel()
    {
        openAnalysis();
        t.prompter->fileAnswers = {writeLarge(), writeLarge()};
        // Pieces that take a moment to read, as from a disk: the bar then moves with them
        // (from the page cache a helper thread may scan most of the file between two looks
        // of the window's thread).
        ExecutableAnalysis::setReadDelay([](qint64) { std::this_thread::sleep_for(std::chrono::milliseconds(1)); });
        const auto noDelay = qScopeGuard([] { ExecutableAnalysis::setReadDelay({}); });
        QList<int> values;
        bool overProgPanel = true;
        bool closing = false;
        QProgressBar *bar = named<QProgressBar>(t.main.get(), "ProgressBar");
        connect(bar, &QProgressBar::valueChanged, this, [&](int value) {
            values.append(value);
            const QWidget *status = named<StatusPanels>(t.main.get(), "StatusBar");
            const QWidget *prog = named<StatusPanels>(t.main.get(), "StatusBar")->panel(QStringLiteral("prog"));
            const QRect barRect(bar->mapToGlobal(QPoint()), bar->size());
            const QRect progRect(prog->mapToGlobal(QPoint()), prog->size());
            const QRect statusRect(status->mapToGlobal(QPoint()), status->size());
            overProgPanel = overProgPanel && bar->isVisible() && barRect.left() == progRect.left()
                && barRect.width() == progRect.width() && statusRect.contains(barRect)
                && qAbs(barRect.center().y() - statusRect.center().y()) <= 1;
            if (values.size() == 2 && closing)
                t.main->close();
            else if (values.size() == 2) { // meanwhile browse takes no click, and the user moves about
                QVERIFY(!named<QPushButton>(analyse(), "cmdBrowse")->isEnabled());
                t.browser->show(5); // CreateFile
                t.browser->recordset().setAbsolutePosition(3);
            }
        });
        bool ranDuringScan = false; // a call queued before the scan runs while it goes on
        QTimer::singleShot(0, this, [&] { ranDuringScan = analyse()->isAnalysing(); });
        browse();
        QVERIFY(ranDuringScan && overProgPanel);
        QVERIFY2(values.size() >= 5, qPrintable(QString::number(values.size())));
        QVERIFY(std::is_sorted(values.cbegin(), values.cend()));
        QCOMPARE(values.constLast(), 10);
        QCOMPARE(texts(named<NameList>(analyse(), "lstAnalyseApi")), QStringList{"Beep"});
        QCOMPARE(named<QLabel>(t.main.get(), "lblFunctionName")->text(), QStringLiteral("CreateFile"));
        QVERIFY(bar->isHidden() && named<QPushButton>(analyse(), "cmdBrowse")->isEnabled());
        // Closing the window stops a scan at the next piece; the list keeps its names.
        values.clear();
        closing = true;
        browse();
        QVERIFY(values.size() < 6);
        QCOMPARE(texts(named<NameList>(analyse(), "lstAnalyseApi")), QStringList{"Beep"});
        QVERIFY(t.prompter->messages.isEmpty());
    }

    // With the reads held up (a network share, a failing disk) the window froze: the scan
    // waited for each piece on the window's thread, and closing waited for the read. Keys
    // are now answered while the read hangs, and closing ends the scan before the read;
    // so too while the PE tables are read after the scan.
    void slowDisk_frozeTheWindow_data()
    {
        QTest::addColumn<bool>("tablesOnly");
        QTest::newRow("every read") << false;
        QTest::newRow("the tables after the scan") << true;
    }
    void slowDisk_frozeTheWindow()
    {
        QFETCH(bool, tablesOnly);
        openAnalysis();
        struct Gate { std::mutex mutex; std::condition_variable opened; bool open = false; bool readDone = false; };
        const auto gate = std::make_shared<Gate>();
        ExecutableAnalysis::setReadDelay([gate, tablesOnly](qint64 offset) {
            if (tablesOnly && offset >= 0)
                return;
            std::unique_lock<std::mutex> lock(gate->mutex);
            gate->opened.wait_for(lock, std::chrono::seconds(10), [&] { return gate->open; });
            gate->readDone = true;
        });
        t.prompter->fileAnswers = {importsExe()};
        bool answered = false;
        QTimer::singleShot(200, this, [&] {
            named<QLineEdit>(analyse(), "txtFileName")->setFocus();
            press(Qt::Key_End, {});
            type(QStringLiteral("x"));
            answered = analyse()->isAnalysing() && named<QProgressBar>(t.main.get(), "ProgressBar")->isVisible()
                && named<QLineEdit>(analyse(), "txtFileName")->text() == importsExe() + "x";
            t.main->close();
        });
        browse();
        ExecutableAnalysis::setReadDelay({});
        const std::lock_guard<std::mutex> lock(gate->mutex);
        QVERIFY(answered && !gate->readDone);
        gate->open = true;
        gate->opened.notify_all();
        QCOMPARE(named<NameList>(analyse(), "lstAnalyseApi")->count(), 0);
    }

    // As root, typing /proc/ paths into the open dialog hung the window on /proc/kmsg: the
    // dialog read each file's first bytes to tell its kind. It now goes by the name.
    void openDialog_readTheFilesItListed()
    {
        QFileDialog dialog;
        QtPrompter::neverReadFiles(dialog);
        const QString path = m_dir->filePath("program");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray("\x7f" "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x02\0\x3e\0", 20)) == 20);
        file.close();
        const QString sniffed = QMimeDatabase().mimeTypeForFile(path).comment();
        QVERIFY(sniffed != QMimeDatabase().mimeTypeForName("application/octet-stream").comment());
        dialog.setDirectory(m_dir->path());
        const auto *model = dialog.findChild<QFileSystemModel *>();
        QTRY_VERIFY(!model->type(model->index(path)).isEmpty());
        QVERIFY2(model->type(model->index(path)) != sniffed, qPrintable(sniffed));
    }

    // The fault: the browse button, disabled for the scan, passed the focus on to the list,
    // which made its first row current, and that showed a function nobody picked.
    void secondScanShowedAFunctionNobodyPicked()
    {
        openAnalysis();
        t.prompter->fileAnswers = {importsExe(), importsExe()};
        for (int scan = 0; scan < 2; ++scan) {
            browse();
            QCOMPARE(named<NameList>(analyse(), "lstAnalyseApi")->count(), 4);
            QCOMPARE(named<QLabel>(t.main.get(), "lblFunctionName")->text(), Texts::functionNameInitial);
            QVERIFY(!named<QAction>(t.main.get(), "mnuSave")->isEnabled());
        }
        // A key move in the list is the user's: it shows the function and enables save. The
        // list is the next stop after the file's name, where the focus went.
        NameList *list = named<NameList>(analyse(), "lstAnalyseApi");
        QTRY_COMPARE(QApplication::focusWidget(), named<QLineEdit>(analyse(), "txtFileName"));
        press(Qt::Key_Tab, {});
        QCOMPARE(QApplication::focusWidget(), list);
        press(Qt::Key_Down, {});
        QCOMPARE(named<QLabel>(t.main.get(), "lblFunctionName")->text(), list->currentName());
        QVERIFY(named<QAction>(t.main.get(), "mnuSave")->isEnabled() && named<QAction>(t.main.get(), "mnuFullSave")->isEnabled() && named<QAction>(t.main.get(), "mnuPrint")->isEnabled());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->rowRect(2).center());
        QCOMPARE(named<TextBox>(t.main.get(), "txtFunction")->text(), QStringLiteral("Declare Function CreateFile"));
    }

    void emptyCatalogue_barNotBusy()
    {
        QVERIFY(t.open({}));
        openAnalysis();
        t.prompter->fileAnswers = {importsExe()};
        browse();
        QVERIFY(named<NameList>(analyse(), "lstAnalyseApi")->count() == 0 && named<QProgressBar>(t.main.get(), "ProgressBar")->maximum() > 0);
    }

    // The fault: the open dialog started where the last dialog of any kind had been (a
    // module saved elsewhere), not in the folder the user last opened a file from; its
    // filters were English, their patterns doubled.
    void openDialogForgotItsFolder()
    {
        for (const char *folder : {"apps", "modules"})
            QVERIFY(QDir(m_dir->path()).mkpath(QLatin1String(folder)));
        const QString exe = m_dir->filePath(QStringLiteral("apps/a.exe"));
        QVERIFY(QFile(exe).open(QIODevice::WriteOnly));
        QtPrompter prompter;
        QStringList folders;
        QStringList filters;
        const auto answer = [&](const QString &file) {
            QTimer::singleShot(0, [&, file] {
                auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                folders << dialog->directory().absolutePath();
                filters = dialog->nameFilters();
                dialog->selectFile(file);
                static_cast<QDialog *>(dialog)->accept(); // QFileDialog hides it, for its own checks
            });
        };
        answer(exe);
        QCOMPARE(prompter.openFile(AnalysePanel::browseFilter), std::make_optional(exe));
        const QString module = m_dir->filePath(QStringLiteral("modules/Beep.bas"));
        answer(module);
        QCOMPARE(prompter.saveFile(QStringLiteral("Module File(*.bas)|*.bas"), QStringLiteral("bas"), QStringLiteral("Beep")), std::make_optional(module));
        answer(exe);
        QCOMPARE(prompter.openFile(AnalysePanel::browseFilter), std::make_optional(exe));
        QCOMPARE(folders.value(2), QFileInfo(exe).absolutePath());
        QCOMPARE(filters.value(0), QStringLiteral("همه فايل هاي پشتيباني شده \u2066(*.exe *.ocx *.dll)"));
    }

};

QTEST_MAIN(tst_Find)
#include "tst_find.moc"
