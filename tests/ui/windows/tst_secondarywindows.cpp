#include "catalogue/CatalogueStore.h"
#include "catalogue/ConstantTable.h"
#include "support/ScriptedPrompter.h"
#include "support/TestCatalogue.h"
#include "ui/main/TextBox.h"
#include "ui/main/frmMain.h"
#include "ui/windows/frmAbout.h"
#include "ui/windows/frmConst.h"
#include "ui/windows/frmDayApi.h"
#include "ui/windows/frmHelp.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QDialog>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <sqlite3.h>

#include <functional>

namespace {

const QString beepText = QStringLiteral("بوق\r\nبا بلندگوي سيستم");
const QString tickText = QStringLiteral("مدت روشن بودن");
const QString constText = QStringLiteral("با WM_SETTEXT متن پنجره را بگذاريد؛ SW_SHOWNORMAL هم هست.");
const QString wapiHeading = QStringLiteral("توابع API چيست");
const QString declareHeading = QStringLiteral("نحوه فراخواني توابع");

std::vector<CatalogueRecord> threeFunctions()
{
    return {record("Beep", "Private Declare Function Beep Lib \"kernel32\" (ByVal dwFreq As Long, ByVal dwDuration As Long) As Long",
                   "kernel32", "", beepText),
            record("GetTickCount", "Private Declare Function GetTickCount Lib \"kernel32\" () As Long", "kernel32", "", tickText),
            record("SetWindowText", "Private Declare Function SetWindowText Lib \"user32\" () As Long", "user32", "", constText)};
}

Constant constant(const QString &name, qint32 value, const QString &literal)
{
    return Constant{name, QStringLiteral("Private Const %1 As Long = %2").arg(name, literal), value,
                    name.section(QLatin1Char('_'), 0, 0), QStringLiteral("winuser.h"), QString()};
}

QWidget *focus()
{
    return QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
}

// Alt and the letter after the "&" of a caption, typed where the focus is.
void accessKey(const QString &caption)
{
    const qsizetype amp = caption.indexOf(QLatin1Char('&'));
    const QChar letter = caption.at(amp + 1);
    QTest::sendKeyEvent(QTest::Click, focus(), Qt::Key(letter.toUpper().unicode()), QString(letter), Qt::AltModifier);
}

// The help page's text; its headings carry their anchor on an invisible non-joiner.
QString pageText(frmHelp *help)
{
    return help->wbHelp->toPlainText().remove(QChar(0x200C));
}

// Runs the check on the blocking window that open() brings up; the check closes it. A
// guard closes any blocking window left open, so no test can wait for ever.
void whileBlocking(const std::function<void()> &open, const std::function<void(QWidget *)> &check)
{
    bool seen = false;
    QTimer::singleShot(0, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        seen = modal != nullptr;
        if (modal) {
            modal->activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), modal);
            check(modal);
            QVERIFY2(!modal->isVisible(), "the window did not close");
            modal->close();
        }
    });
    QTimer guard;
    guard.callOnTimeout([] { QApplication::activeModalWidget() && QApplication::activeModalWidget()->close(); });
    guard.start(5000);
    open();
    QVERIFY2(seen, "nothing opened a blocking window");
}

} // namespace

class tst_SecondaryWindows : public QObject
{
    Q_OBJECT

private:
    ScriptedPrompter m_prompter;
    QTemporaryDir m_dir;
    std::unique_ptr<frmMain> m_main;

    // The main window over a real API.mdb: three functions and a table of constants.
    void openMain()
    {
        const QString file = CatalogueStore::databasePath(m_dir.path());
        writeCatalogue(m_dir.path(), threeFunctions());
        ConstantTable table;
        table.constants = {constant("WM_GETTEXT", 13, "&HD&"), constant("WM_SETTEXT", 12, "&HC&"),
                           constant("ERROR_INVALID_PARAMETER", 87, "87"), constant("SW_SHOWNORMAL", 1, "1"), constant("SW_HIDE", 0, "0")};
        table.familyNames.insert(QStringLiteral("WM"), QStringLiteral("پيام‌هاي پنجره"));
        QCOMPARE(ConstantStore::write(file, table), QString());
        showMain(file);
    }

    void showMain(const QString &file)
    {
        m_main = std::make_unique<frmMain>(m_prompter);
        m_main->setProgramFolder(qEnvironmentVariable("VORN_BIN_DIR"));
        CatalogueStore::OpenResult opened = CatalogueStore::open(file);
        QVERIFY(opened.recordset);
        m_main->setRecordset(std::move(*opened.recordset));
        m_main->setConstants(ConstantStore::open(file));
        m_main->BuildCatalogueTree();
        m_main->ShowFunction(QStringLiteral("SetWindowText"));
        m_main->show();
        m_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
    }

    frmConst *openConstants()
    {
        QTest::keyClick(focus(), Qt::Key_T, Qt::ControlModifier);
        frmConst *window = m_main->constantsWindow();
        if (window && !QTest::qWaitFor([window] { return window->isActiveWindow(); }))
            return nullptr;
        return window;
    }

private slots:
    void cleanup()
    {
        if (m_main && m_main->aboutWindow())
            delete m_main->aboutWindow();
        m_main.reset();
    }

    // The captions the user reads, to the code point.
    void texts_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("text");
        QTest::newRow("function menu") << "main" << "mnuFunction" << QStringLiteral("&تابع");
        QTest::newRow("function of the day") << "main" << "mnuDayFun" << QStringLiteral("تابع روز");
        QTest::newRow("help menu") << "main" << "mnuHelp" << QStringLiteral("&کمک");
        QTest::newRow("what API functions are") << "main" << "mnuAPIHelp" << wapiHeading;
        QTest::newRow("how to call them") << "main" << "mnuDeclare" << declareHeading;
        QTest::newRow("about entry") << "main" << "mnuAbout" << QStringLiteral("درباره Vorn");
        QTest::newRow("about key") << "main" << "cmdAbout" << QStringLiteral("&درباره");
        QTest::newRow("day window") << "day" << "" << QStringLiteral("تابع روز");
        QTest::newRow("next function") << "day" << "cmdNext" << QStringLiteral("تابع بعدي");
        QTest::newRow("previous function") << "day" << "cmdBack" << QStringLiteral("تابع قبلي");
        QTest::newRow("random") << "day" << "cmdRandom" << QStringLiteral("تصادفي");
        QTest::newRow("day window back") << "day" << "cmdOK" << QStringLiteral("برگشت");
        QTest::newRow("help window") << "help" << "" << QStringLiteral("Vorn - کمک");
        QTest::newRow("help window back") << "help" << "cmdOK" << QStringLiteral("&برگشت");
    }

    void texts()
    {
        QFETCH(QString, window);
        QFETCH(QString, object);
        QFETCH(QString, text);
        Recordset rs = recordsetOf(threeFunctions());
        const std::unique_ptr<QWidget> made(window == QLatin1String("main")  ? static_cast<QWidget *>(new frmMain(m_prompter))
                                            : window == QLatin1String("day") ? static_cast<QWidget *>(new frmDayApi(rs, 3))
                                                                             : new frmHelp(QString()));
        QObject *found = object.isEmpty() ? made.get() : made->findChild<QObject *>(object);
        QVERIFY(found);
        if (auto *menu = qobject_cast<QMenu *>(found))
            found = menu->menuAction();
        QCOMPARE(found->property(object.isEmpty() ? "windowTitle" : "text").toString(), text);
    }

    // Each entry opens its blocking window over the main window, whose view stays as it
    // was; Escape or the window's Back key closes it, and it is gone.
    void entries_openTheirWindow_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("shown"); // the help page's heading; empty: the day's function
        QTest::addColumn<bool>("escape");
        QTest::newRow("mnuAPIHelp, Escape") << "mnuAPIHelp" << wapiHeading << true;
        QTest::newRow("mnuDeclare, Back key") << "mnuDeclare" << declareHeading << false;
        QTest::newRow("mnuDayFun, Escape") << "mnuDayFun" << "" << true;
        QTest::newRow("mnuDayFun, Back key") << "mnuDayFun" << "" << false;
    }

    void entries_openTheirWindow()
    {
        QFETCH(QString, entry);
        QFETCH(QString, shown);
        QFETCH(bool, escape);
        openMain();
        const QString description = m_main->txtComment->text();
        QAction *action = m_main->findChild<QAction *>(entry);
        QVERIFY(action);
        whileBlocking([&] { action->trigger(); }, [&](QWidget *modal) {
            const QString *drawn = m_main->ADO().field(CatalogueRecord::Description);
            QVERIFY(shown.isEmpty() ? drawn && qobject_cast<frmDayApi *>(modal) : bool(qobject_cast<frmHelp *>(modal)));
            if (auto *help = qobject_cast<frmHelp *>(modal))
                QVERIFY(pageText(help).startsWith(shown));
            else
                QCOMPARE(static_cast<frmDayApi *>(modal)->txtComment->text(), *drawn);
            if (escape)
                QTest::keyClick(focus(), Qt::Key_Escape);
            else
                QTest::mouseClick(modal->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
        });
        QVERIFY(m_main->findChildren<QDialog *>().isEmpty());
        QCOMPARE(m_main->txtComment->text(), description);
    }

    // Next and Previous step through the catalogue and wrap at both ends.
    void dayWindow_steps_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("clicks"); // N: Next, B: Previous (Back), R: Random onto the start
        QTest::addColumn<QString>("shown");
        QTest::newRow("next from the last wraps") << 3 << "N" << beepText;
        QTest::newRow("previous from the first wraps") << 1 << "B" << constText;
        QTest::newRow("twice back from the first") << 1 << "BB" << tickText;
        QTest::newRow("round the catalogue") << 2 << "NNN" << tickText;
        QTest::newRow("there and back") << 3 << "NB" << constText;
        // The highest draw is the last function, never one past it.
        QTest::newRow("random onto the last") << 3 << "R" << constText;
    }

    void dayWindow_steps()
    {
        QFETCH(int, start);
        QFETCH(QString, clicks);
        QFETCH(QString, shown);
        Recordset rs = recordsetOf(threeFunctions());
        frmDayApi day(rs, 3);
        const double draw = start == 3 ? std::nextafter(1.0, 0.0) : (start - 0.5) / 3;
        day.setDraw([draw] { return draw; });
        day.GetRandomApi();
        day.show();
        QVERIFY(QTest::qWaitForWindowExposed(&day));
        for (const QChar key : clicks) {
            QPushButton *button = key == u'N' ? day.cmdNext : key == u'B' ? day.cmdBack : day.cmdRandom;
            QTest::mouseClick(button, Qt::LeftButton);
        }
        QCOMPARE(day.txtComment->text(), shown);
        QVERIFY(rs.current());
        QCOMPARE(day.txtFunction->text(), rs.current()->declaration(false));
    }

    // In a day run (vorn -d) every way of closing the day window ends the program; opened
    // from the menu, closing only closes. An empty catalogue shows nothing and still closes.
    void dayWindow_closing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("dayRun");
        QTest::addColumn<int>("count");
        for (const bool dayRun : {true, false}) {
            const QString run = dayRun ? QStringLiteral("day run, ") : QStringLiteral("from the menu, ");
            QTest::addRow("%sBack key", qPrintable(run)) << "cmdOK" << dayRun << 3;
            QTest::addRow("%sframe", qPrintable(run)) << "frame" << dayRun << 3;
            QTest::addRow("%sEscape", qPrintable(run)) << "Escape" << dayRun << 3;
        }
        QTest::newRow("empty catalogue, Escape") << "Escape" << true << 0;
    }

    void dayWindow_closing()
    {
        QFETCH(QString, how);
        QFETCH(bool, dayRun);
        QFETCH(int, count);
        Recordset rs = count ? recordsetOf(threeFunctions()) : recordsetOf({});
        int ended = 0;
        frmDayApi day(rs, count, {[dayRun] { return dayRun; }, [&ended] { ++ended; }});
        day.GetRandomApi();
        QCOMPARE(day.cmdNext->isEnabled(), count > 0);
        QCOMPARE(day.cmdBack->isEnabled(), count > 0);
        day.show();
        day.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&day));
        if (how == QLatin1String("cmdOK"))
            QTest::mouseClick(day.cmdOK, Qt::LeftButton);
        else if (how == QLatin1String("frame"))
            day.close();
        else
            QTest::keyClick(focus(), Qt::Key_Escape);
        QVERIFY(!day.isVisible());
        QCOMPARE(ended, dayRun ? 1 : 0);
    }

    // F1 (or the About key) opens the about window and disables the main window; Enter
    // on its Back key, which has the focus, or Back's access key give the main window back.
    void about_opensAndCloses_data()
    {
        QTest::addColumn<bool>("byF1");
        QTest::newRow("F1, Enter") << true;
        QTest::newRow("About key, Alt+B") << false;
    }

    void about_opensAndCloses()
    {
        QFETCH(bool, byF1);
        openMain();
        if (byF1)
            QTest::keyClick(focus(), Qt::Key_F1);
        else
            QTest::mouseClick(m_main->cmdAbout, Qt::LeftButton);
        QPointer<frmAbout> about = m_main->aboutWindow();
        QVERIFY(about);
        QVERIFY(!m_main->isEnabled());
        QCOMPARE(about->lblCount->text(), QStringLiteral("Function Count : 3"));
        about->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(about));
        QTRY_COMPARE(focus(), about->cmdBack);
        // Only one about window.
        QTest::keyClick(focus(), Qt::Key_F1);
        QCOMPARE(m_main->aboutWindow(), about.data());
        if (byF1)
            QTest::keyClick(focus(), Qt::Key_Return);
        else
            accessKey(about->cmdBack->text());
        QTRY_VERIFY(m_main->isEnabled());
        QTRY_VERIFY(!about);
    }

    // Ctrl+T opens the constants window with the focus in its search box; what is typed
    // there and in the family box (after a Tab) filters the list.
    void constants_searchAsTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("family");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("all") << "" << "" << QStringList{"WM_GETTEXT", "WM_SETTEXT", "ERROR_INVALID_PARAMETER", "SW_SHOWNORMAL", "SW_HIDE"};
        QTest::newRow("error number") << "87" << "" << QStringList{"ERROR_INVALID_PARAMETER"};
        QTest::newRow("hex value") << "&HD" << "" << QStringList{"WM_GETTEXT"};
        QTest::newRow("family") << "" << "SW" << QStringList{"SW_SHOWNORMAL", "SW_HIDE"};
        QTest::newRow("family without the value") << "87" << "WM" << QStringList{};
    }

    void constants_searchAsTyped()
    {
        QFETCH(QString, typed);
        QFETCH(QString, family);
        QFETCH(QStringList, listed);
        openMain();
        frmConst *window = openConstants();
        QVERIFY(window);
        QCOMPARE(focus(), window->txtSearch);
        QTest::keyClicks(focus(), typed);
        if (!family.isEmpty()) {
            QTest::keyClick(focus(), Qt::Key_Tab);
            QCOMPARE(focus(), window->cboFamily);
            QTest::keyClicks(focus(), family);
        }
        const QAbstractItemModel *model = window->lstConst->model();
        for (int row = 0; row < model->rowCount(); ++row)
            QCOMPARE(model->index(row, 0).data().toString(), listed.value(row));
        QCOMPARE(model->rowCount(), listed.size());
    }

    // Down from the search box into the list, Shift+Down, Ctrl+C: the selected lines.
    void constants_copyTheSelectedLines()
    {
        openMain();
        QVERIFY(openConstants());
        QTest::keyClicks(focus(), QStringLiteral("_"));
        QTest::keyClick(focus(), Qt::Key_Down);
        QTest::keyClick(focus(), Qt::Key_Down, Qt::ShiftModifier);
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(focus(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Private Const WM_GETTEXT As Long = &HD&\r\n"
                                                                      "Private Const WM_SETTEXT As Long = &HC&\r\n"));
    }

    // An older catalogue has no table Const; a damaged one may have it with other columns
    // or empty. The entry is off and Ctrl+T opens nothing.
    void constants_offWithoutTheirTable_data()
    {
        QTest::addColumn<QByteArray>("sql");
        QTest::newRow("no table Const") << QByteArray();
        QTest::newRow("other columns") << QByteArray("CREATE TABLE Const (Name TEXT); INSERT INTO Const VALUES ('A');");
        QTest::newRow("empty") << QByteArray("CREATE TABLE Const (ConstName TEXT, Line TEXT, Value INTEGER,"
                                             " Family TEXT, Header TEXT, Meaning TEXT);");
    }

    void constants_offWithoutTheirTable()
    {
        QFETCH(QByteArray, sql);
        QTemporaryDir dir;
        writeCatalogue(dir.path(), threeFunctions());
        const QString file = CatalogueStore::databasePath(dir.path());
        if (!sql.isEmpty()) {
            sqlite3 *db = nullptr;
            QCOMPARE(sqlite3_open(QFile::encodeName(file).constData(), &db), SQLITE_OK);
            QCOMPARE(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
            sqlite3_close(db);
        }
        showMain(file);
        QVERIFY(!m_main->mnuConst->isEnabled());
        QTest::keyClick(focus(), Qt::Key_T, Qt::ControlModifier);
        QVERIFY(!m_main->constantsWindow());
    }
};

QTEST_MAIN(tst_SecondaryWindows)
#include "tst_secondarywindows.moc"
