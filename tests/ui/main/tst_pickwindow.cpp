// The pick list through the window: adding from the tree (Insert, its context menu entry,
// the list window's button), from the search results (selected rows, all), from the
// analysis results (all, imported only) and from the constants window; Delete, the clear
// command's question, a click that shows, the status panel, a restart, a damaged file.
#include "MainWindowTest.h"
#include "catalogue/ConstantTable.h"
#include "picklist/PickList.h"
#include "support/TempSettings.h"
#include "support/WideScreen.h"
#include "ui/controls/NameList.h"
#include "ui/main/AnalysePanel.h"
#include "ui/main/SearchPanel.h"
#include "ui/main/frmPick.h"
#include "ui/windows/frmConst.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

namespace {

std::vector<CatalogueRecord> fourFunctions()
{
    return {record("Beep", "Private Declare Function Beep Lib \"kernel32\" (ByVal dwFreq As Long, ByVal dwDuration As Long) As Long", "kernel32"),
            record("GetTickCount", "Private Declare Function GetTickCount Lib \"kernel32\" () As Long", "kernel32"),
            record("ShowWindow", "Private Declare Function ShowWindow Lib \"user32\" (ByVal hwnd As Long, ByVal nCmdShow As Long) As Long", "user32"),
            record("Sleep", "Private Declare Sub Sleep Lib \"kernel32\" (ByVal dwMilliseconds As Long)", "kernel32")};
}

Constant constant(const char *name, qint32 value)
{
    const QString text = QLatin1String(name);
    return {text, QStringLiteral("Private Const %1 As Long = %2").arg(text).arg(value), value, text.section(QLatin1Char('_'), 0, 0), {}, {}};
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("?");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

class tst_PickWindow : public QObject
{
    Q_OBJECT

    MainWindowTest t;
    QTemporaryDir m_data;
    TempSettings m_settings;
    QString m_file;

    // The window over the records and three constants, as a start of the program opens it.
    void open(std::vector<CatalogueRecord> records = fourFunctions())
    {
        t.main.reset();
        t.prompter = std::make_unique<ScriptedPrompter>();
        t.browser = std::make_unique<CatalogueBrowser>();
        t.browser->setRecordset(recordsetOf(std::move(records)));
        ConstantTable table;
        table.constants = {constant("SW_HIDE", 0), constant("SW_SHOWNORMAL", 1), constant("WM_SETTEXT", 12)};
        t.browser->setConstants(table);
        t.main = std::make_unique<frmMain>(*t.browser, *t.prompter);
        t.main->BuildCatalogueTree();
        t.main->show();
        t.main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(t.main.get()));
    }
    QString pickStatus() const { return named<StatusPanels>(t.main.get(), "StatusBar")->text(QStringLiteral("pick")); }
    frmPick *openList()
    {
        press(Qt::Key_L);
        frmPick *window = t.main->pickWindow();
        return window && QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }) ? window : nullptr;
    }

private slots:
    void initTestCase() { qputenv("XDG_DATA_HOME", QFile::encodeName(m_data.path())); }
    void init()
    {
        m_file = PickList::defaultFile();
        QFile::remove(m_file);
        open();
    }
    void cleanup() { t.close(); }

    // The status panel's text, as the user reads it.
    void statusText_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("status");
        QTest::newRow("none") << QByteArray() << QStringLiteral("فهرست: ۰ تابع، ۰ ثابت");
        QTest::newRow("one function") << QByteArray("Vorn pick list 1\nfunction\tBeep\n") << QStringLiteral("فهرست: ۱ تابع، ۰ ثابت");
        QTest::newRow("both") << QByteArray("Vorn pick list 1\nfunction\tBeep\nfunction\tSleep\nfunction\tShowWindow\nconstant\tSW_HIDE\nconstant\tWM_SETTEXT\n")
                              << QStringLiteral("فهرست: ۳ تابع، ۲ ثابت");
    }
    void statusText()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, status);
        if (!file.isEmpty()) {
            writeFile(m_file, file);
            open(); // a restart reads it
        }
        QCOMPARE(pickStatus(), status);
        QCOMPARE(t.prompter->messages.size(), 0);
    }

    void treeInsertMenuAndButton()
    {
        t.click(QStringLiteral("Alf_F_2")); // GetTickCount
        QCOMPARE(QApplication::focusWidget(), named<QTreeView>(t.main.get(), "trvApi"));
        press(Qt::Key_Insert, Qt::NoModifier);
        press(Qt::Key_Insert, Qt::NoModifier); // again: nothing changes
        QCOMPARE(pickStatus(), QStringLiteral("فهرست: ۱ تابع، ۰ ثابت"));
        t.click(QStringLiteral("Alf_F_4")); // Sleep, by the tree's context menu entry
        named<QAction>(named<QTreeView>(t.main.get(), "trvApi"), "mnuTreePick")->trigger();
        t.click(QStringLiteral("Alf_F_1")); // Beep, by the list window's button
        frmPick *window = openList();
        QVERIFY(window);
        QTest::mouseClick(named<QPushButton>(window, "cmdPickAdd"), Qt::LeftButton);
        QCOMPARE(texts(named<QListWidget>(window, "lstPickFunctions")), (QStringList{"GetTickCount", "Sleep", "Beep"}));
        QCOMPARE(contentOf(m_file), QByteArray("Vorn pick list 1\nfunction\tGetTickCount\nfunction\tSleep\nfunction\tBeep\n"));
    }

    void searchSelectedAndAll()
    {
        named<QAction>(t.main.get(), "mnuSearch")->trigger();
        QTRY_COMPARE(QApplication::focusWidget(), named<QComboBox>(t.main.get(), "cboSearch"));
        type(QStringLiteral("e"));
        press(Qt::Key_Return, Qt::NoModifier);
        auto *results = named<NameList>(t.main.get(), "lstRearchResult");
        QTRY_COMPARE(results->count(), 3); // Beep, Sleep, ShowWindow (best first)
        const QStringList shown = texts(results);
        QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, results->rowRect(0).center());
        QTest::mouseClick(results->viewport(), Qt::LeftButton, Qt::ControlModifier, results->rowRect(2).center());
        QCOMPARE(QApplication::focusWidget(), results);
        press(Qt::Key_Insert, Qt::NoModifier);
        QCOMPARE(t.main->pickList()->names(PickList::Kind::Function), (QStringList{shown[0], shown[2]}));
        named<QAction>(results, "mnuSearchPickAll")->trigger();
        QCOMPARE(t.main->pickList()->names(PickList::Kind::Function), (QStringList{shown[0], shown[2], shown[1]}));
        QCOMPARE(pickStatus(), QStringLiteral("فهرست: ۳ تابع، ۰ ثابت"));
    }

    // imports.exe imports CreateFileA and holds the other three names as strings only.
    void analysisAllAndImported()
    {
        open({record("MessageBox", "Declare Function MessageBox"), record("CreateFileA", "Declare Function CreateFileA"),
              record("CreateFile", "Declare Function CreateFile"), record("CloseThreadpool", "Declare Function CloseThreadpool")});
        named<QAction>(t.main.get(), "mnuAnalyse")->trigger();
        t.prompter->messages.clear(); // the notice of the first opening
        t.prompter->fileAnswers = {qEnvironmentVariable("VORN_TEST_DATA") + "/../../find/data/imports.exe"};
        QTest::mouseClick(named<QPushButton>(t.main.get(), "cmdBrowse"), Qt::LeftButton);
        auto *results = named<NameList>(t.main.get(), "lstAnalyseApi");
        QTRY_COMPARE(results->count(), 4);
        named<QAction>(results, "mnuAnalysePickImported")->trigger();
        QCOMPARE(t.main->pickList()->names(PickList::Kind::Function), QStringList{"CreateFileA"});
        QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, results->rowRect(1).center());
        QTest::mouseClick(results->viewport(), Qt::LeftButton, Qt::ShiftModifier, results->rowRect(2).center());
        QCOMPARE(QApplication::focusWidget(), results);
        press(Qt::Key_Insert, Qt::NoModifier);
        QCOMPARE(t.main->pickList()->names(PickList::Kind::Function), (QStringList{"CreateFileA", "MessageBox", "CreateFile"}));
        named<QAction>(results, "mnuAnalysePickAll")->trigger();
        QCOMPARE(t.main->pickList()->names(PickList::Kind::Function),
                 (QStringList{"CreateFileA", "MessageBox", "CreateFile", "CloseThreadpool"}));
        QCOMPARE(t.prompter->messages.size(), 0);
    }

    void constantsSelectedAndFamily()
    {
        press(Qt::Key_T);
        frmConst *window = t.main->constantsWindow();
        QVERIFY(window);
        QVERIFY(QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }));
        auto *list = named<QTableView>(window, "lstConst");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(2, 0)).center());
        QCOMPARE(QApplication::focusWidget(), list);
        press(Qt::Key_Insert, Qt::NoModifier); // WM_SETTEXT
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(0, 0)).center());
        named<QAction>(list, "mnuConstPickFamily")->trigger(); // SW_HIDE, SW_SHOWNORMAL
        named<QAction>(list, "mnuConstPickFamily")->trigger(); // again: nothing changes
        QCOMPARE(t.main->pickList()->names(PickList::Kind::Constant), (QStringList{"WM_SETTEXT", "SW_HIDE", "SW_SHOWNORMAL"}));
        QCOMPARE(pickStatus(), QStringLiteral("فهرست: ۰ تابع، ۳ ثابت"));
    }

    void deleteClearAndShow()
    {
        writeFile(m_file, "Vorn pick list 1\nfunction\tBeep\nfunction\tSleep\nfunction\tShowWindow\nconstant\tSW_HIDE\n");
        open();
        frmPick *window = openList();
        QVERIFY(window);
        auto *functions = named<QListWidget>(window, "lstPickFunctions");
        QTest::mouseClick(functions->viewport(), Qt::LeftButton, {}, functions->visualItemRect(functions->item(2)).center());
        QCOMPARE(t.browser->shownPosition(), qsizetype(3)); // ShowWindow shown by the click
        QCOMPARE(QApplication::focusWidget(), functions);
        QTest::keyClick(functions, Qt::Key_Up);
        press(Qt::Key_Return, Qt::NoModifier);
        QCOMPARE(t.browser->shownPosition(), qsizetype(4)); // Sleep, by Enter
        press(Qt::Key_Delete, Qt::NoModifier);
        QCOMPARE(texts(functions), (QStringList{"Beep", "ShowWindow"}));
        QCOMPARE(pickStatus(), QStringLiteral("فهرست: ۲ تابع، ۱ ثابت"));
        QCOMPARE(contentOf(m_file), QByteArray("Vorn pick list 1\nfunction\tBeep\nfunction\tShowWindow\nconstant\tSW_HIDE\n"));

        // The clear command asks first: no keeps the list, yes empties it.
        t.prompter->questionAnswers = {false, true};
        QTest::mouseClick(named<QPushButton>(window, "cmdPickClear"), Qt::LeftButton);
        QCOMPARE(pickStatus(), QStringLiteral("فهرست: ۲ تابع، ۱ ثابت"));
        QTest::mouseClick(named<QPushButton>(window, "cmdPickClear"), Qt::LeftButton);
        QCOMPARE(t.prompter->questions.size(), 2);
        QCOMPARE(t.prompter->questions.at(0).text, QStringLiteral("همه فهرست پاک شود؟"));
        QCOMPARE(pickStatus(), QStringLiteral("فهرست: ۰ تابع، ۰ ثابت"));
        QCOMPARE(contentOf(m_file), QByteArray("Vorn pick list 1\n"));
    }

    // Saving asks the module's name until it is one Basic takes; the copy is the same text.
    void saveAndCopy()
    {
        writeFile(m_file, "Vorn pick list 1\nfunction\tSleep\nconstant\tSW_HIDE\nfunction\tGetTickCount\n");
        open();
        frmPick *window = openList();
        QVERIFY(window);
        const QString saved = m_data.filePath(QStringLiteral("Timing.bas"));
        t.prompter->textAnswers = {QStringLiteral("End"), QStringLiteral("Timing")};
        t.prompter->fileAnswers = {saved};
        QTest::mouseClick(named<QPushButton>(window, "cmdPickSave"), Qt::LeftButton);
        QCOMPARE(t.prompter->textPrompts.value(0), (QStringList{"نام ماژول:", "فهرست انتخاب", "ApiDeclarations"}));
        QCOMPARE(t.prompter->messages.size(), 1);
        QCOMPARE(t.prompter->messages.at(0).text, QStringLiteral("«End» نام درستي براي ماژول نيست: يک حرف، سپس حرف، رقم يا _ (حداکثر ۳۱ نويسه) و نه واژه‌اي از زبان Basic."));
        const QByteArray module = "Attribute VB_Name = \"Timing\"\r\n' Created by Vorn\r\n\r\n"
                                  "Public Const SW_HIDE As Long = 0\r\n\r\n"
                                  "Public Declare Sub Sleep Lib \"kernel32\" (ByVal dwMilliseconds As Long)\r\n"
                                  "Public Declare Function GetTickCount Lib \"kernel32\" () As Long\r\n";
        QCOMPARE(contentOf(saved), module);
        QTest::mouseClick(named<QPushButton>(window, "cmdPickCopy"), Qt::LeftButton);
        QCOMPARE(QApplication::clipboard()->text().toUtf8(), QByteArray(module).replace("\"Timing\"", "\"ApiDeclarations\""));
    }

    void restartKeepsTheList()
    {
        t.click(QStringLiteral("Alf_F_3"));
        press(Qt::Key_Insert, Qt::NoModifier);
        open();
        QCOMPARE(t.main->pickList()->names(PickList::Kind::Function), QStringList{"ShowWindow"});
        QCOMPARE(pickStatus(), QStringLiteral("فهرست: ۱ تابع، ۰ ثابت"));
    }

    // A damaged file: one warning, an empty list, and the file never written over.
    void damagedFileIsKept()
    {
        const QByteArray damaged("Vorn pick list 1\nfunction Beep\n\xff\xfe");
        writeFile(m_file, damaged);
        open();
        QCOMPARE(t.prompter->messages.size(), 1);
        QVERIFY(t.prompter->messages.at(0).text.startsWith(QStringLiteral("فايل فهرست انتخاب خراب است")));
        QCOMPARE(pickStatus(), QStringLiteral("فهرست: ۰ تابع، ۰ ثابت"));
        t.click(QStringLiteral("Alf_F_1"));
        press(Qt::Key_Insert, Qt::NoModifier);
        QCOMPARE(pickStatus(), QStringLiteral("فهرست: ۱ تابع، ۰ ثابت"));
        QCOMPARE(contentOf(m_file), damaged);
    }

    // The list window first stood at the screen's corner, over the main window: now
    // beside it, and after a restart where the user moved it.
    void firstPlace_overTheMainWindow()
    {
        QFile::remove(m_settings.storeFile());
        t.main->move(40, 30);
        QVERIFY(QTest::qWaitFor([this] { return t.main->pos() == QPoint(40, 30); }));
        frmPick *window = openList();
        QVERIFY(window);
        QVERIFY2(!window->frameGeometry().intersects(t.main->frameGeometry()), "the list window lies over the main window");
        QCOMPARE(window->frameGeometry().top(), t.main->frameGeometry().top());
        window->move(window->pos() + QPoint(15, 25));
        const QPoint moved = window->pos();
        window->close();
        open(); // a restart
        frmPick *again = openList();
        QVERIFY(again);
        QCOMPARE(again->pos(), moved);
    }

    void goneNameIsDropped()
    {
        writeFile(m_file, "Vorn pick list 1\nfunction\tBeep\nfunction\tGoneFunction\n");
        open();
        QCOMPARE(t.prompter->messages.size(), 1);
        QCOMPARE(t.prompter->messages.at(0).text,
                 QStringLiteral("اين نام‌ها ديگر در فهرست توابع نيستند و از فهرست انتخاب برداشته شدند:\nGoneFunction"));
        QCOMPARE(pickStatus(), QStringLiteral("فهرست: ۱ تابع، ۰ ثابت"));
    }
};

VORN_WIDE_SCREEN_TEST_MAIN(tst_PickWindow)
#include "tst_pickwindow.moc"
