// The secondary windows (function of the day, help, about, constants) and their rules.
#include "catalogue/CatalogueStore.h"
#include "catalogue/ConstantTable.h"
#include "support/ScriptedPrompter.h"
#include "support/TestCatalogue.h"
#include "ui/main/TextBox.h"
#include "ui/main/frmMain.h"
#include "ui/windows/DayWalk.h"
#include "ui/windows/FadeSteps.h"
#include "ui/windows/frmAbout.h"
#include "ui/windows/frmConst.h"
#include "ui/windows/frmDayApi.h"
#include "ui/windows/frmHelp.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>

#include <sqlite3.h>

#include <cmath>
#include <functional>
#include <limits>

#include <sys/stat.h>

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

QWidget *focus() { return QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow(); }

// The help page's text; its headings carry their anchor on an invisible non-joiner.
QString pageText(const frmHelp &help) { return help.wbHelp->toPlainText().remove(QChar(0x200C)); }

QString binDir() { return qEnvironmentVariable("VORN_BIN_DIR"); }

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

class tst_Windows : public QObject
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
        m_main->setProgramFolder(binDir());
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
        return window && QTest::qWaitFor([window] { return window->isActiveWindow(); }) ? window : nullptr;
    }

private slots:
    void cleanup()
    {
        if (m_main && m_main->aboutWindow())
            delete m_main->aboutWindow();
        m_main.reset();
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
        QTest::newRow("mnuDayFun, Back key") << "mnuDayFun" << "" << false;
    }
    void entries_openTheirWindow()
    {
        QFETCH(QString, entry); QFETCH(QString, shown); QFETCH(bool, escape);
        openMain();
        const QString description = m_main->txtComment->text();
        QAction *action = m_main->findChild<QAction *>(entry);
        QVERIFY(action);
        whileBlocking([&] { action->trigger(); }, [&](QWidget *modal) {
            const QString *drawn = m_main->ADO().field(CatalogueRecord::Description);
            QVERIFY(shown.isEmpty() ? drawn && qobject_cast<frmDayApi *>(modal) : bool(qobject_cast<frmHelp *>(modal)));
            if (auto *help = qobject_cast<frmHelp *>(modal))
                QVERIFY(pageText(*help).startsWith(shown));
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

    // Next and Previous step through the catalogue and wrap at both ends. The function's
    // name stands above its declaration (the fault: the window showed none).
    void dayWindow_steps_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("clicks"); // N: Next, B: Previous (Back), R: Random onto the start
        QTest::addColumn<QString>("shown");
        QTest::newRow("next from the last wraps") << 3 << "N" << beepText;
        QTest::newRow("previous from the first wraps") << 1 << "B" << constText;
        QTest::newRow("twice back from the first") << 1 << "BB" << tickText;
        QTest::newRow("there and back") << 3 << "NB" << constText;
        // The highest draw is the last function, never one past it.
        QTest::newRow("random onto the last") << 3 << "R" << constText;
    }
    void dayWindow_steps()
    {
        QFETCH(int, start); QFETCH(QString, clicks); QFETCH(QString, shown);
        Recordset rs = recordsetOf(threeFunctions());
        frmDayApi day(rs, 3);
        const double draw = start == 3 ? std::nextafter(1.0, 0.0) : (start - 0.5) / 3;
        day.setDraw([draw] { return draw; });
        day.GetRandomApi();
        day.show();
        QVERIFY(QTest::qWaitForWindowExposed(&day));
        for (const QChar key : clicks)
            QTest::mouseClick(key == u'N' ? day.cmdNext : key == u'B' ? day.cmdBack : day.cmdRandom, Qt::LeftButton);
        QCOMPARE(day.txtComment->text(), shown);
        QVERIFY(rs.current());
        QCOMPARE(day.txtFunction->text(), rs.current()->declaration(false));
        const auto *name = day.findChild<QLabel *>(QStringLiteral("lblFunctionName"));
        QVERIFY(name && name->isVisible());
        QCOMPARE(name->text(), *rs.field(CatalogueRecord::FunctionName));
        QVERIFY(name->mapTo(&day, name->rect().bottomLeft()).y() <= day.txtFunction->mapTo(&day, QPoint(0, 0)).y());
    }

    // The About key opens the about window and disables the main window (F1 and Enter are in
    // the walk through); F1 there opens no second one, and Back's access key or Escape (the
    // fault: it did nothing) gives it back.
    void about_opensAndCloses_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Alt+B, &Back") << int(Qt::Key_B) << int(Qt::AltModifier);
        QTest::newRow("Escape") << int(Qt::Key_Escape) << int(Qt::NoModifier);
    }
    void about_opensAndCloses()
    {
        QFETCH(int, key); QFETCH(int, modifiers);
        openMain();
        QTest::mouseClick(m_main->cmdAbout, Qt::LeftButton);
        QPointer<frmAbout> about = m_main->aboutWindow();
        QVERIFY(about);
        QVERIFY(!m_main->isEnabled());
        QCOMPARE(about->lblCount->text(), QStringLiteral("Function Count : 3"));
        about->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(about));
        QTRY_COMPARE(focus(), about->cmdBack);
        QTest::keyClick(focus(), Qt::Key_F1);
        QCOMPARE(m_main->aboutWindow(), about.data());
        QTest::keyClick(focus(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTRY_VERIFY(m_main->isEnabled());
        QTRY_VERIFY(!about);
    }

    // Ctrl+T opens the constants window with the focus in its search box; what is typed
    // there and in the family box (after a Tab) filters the list.
    void constants_searchAsTyped_data()
    {
        QTest::addColumn<QString>("typed"); QTest::addColumn<QString>("family"); QTest::addColumn<QStringList>("listed");
        QTest::newRow("all") << "" << "" << QStringList{"WM_GETTEXT", "WM_SETTEXT", "ERROR_INVALID_PARAMETER", "SW_SHOWNORMAL", "SW_HIDE"};
        QTest::newRow("error number") << "87" << "" << QStringList{"ERROR_INVALID_PARAMETER"};
        QTest::newRow("hex value") << "&HD" << "" << QStringList{"WM_GETTEXT"};
        QTest::newRow("family") << "" << "SW" << QStringList{"SW_SHOWNORMAL", "SW_HIDE"};
        QTest::newRow("family without the value") << "87" << "WM" << QStringList{};
    }
    void constants_searchAsTyped()
    {
        QFETCH(QString, typed); QFETCH(QString, family); QFETCH(QStringList, listed);
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
        sqlite3 *db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(file).constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        showMain(file);
        QVERIFY(!m_main->mnuConst->isEnabled());
        QTest::keyClick(focus(), Qt::Key_T, Qt::ControlModifier);
        QVERIFY(!m_main->constantsWindow());
    }

    // The function of the day: a draw in [0, 1) picks 1 to count; a draw out of its range
    // never reaches outside the catalogue.
    void dayPosition_data()
    {
        QTest::addColumn<double>("r"); QTest::addColumn<qint64>("count"); QTest::addColumn<qint64>("position");
        const double justBelowOne = std::nextafter(1.0, 0.0);
        QTest::newRow("zero draw is the first") << 0.0 << qint64(147) << qint64(1);
        QTest::newRow("highest draw is the last") << justBelowOne << qint64(147) << qint64(147);
        QTest::newRow("on a boundary") << 0.1 << qint64(10) << qint64(2);
        QTest::newRow("beyond 16 bits") << 0.5 << qint64(100000) << qint64(50001);
        QTest::newRow("empty catalogue") << 0.5 << qint64(0) << qint64(0);
        QTest::newRow("draw of one") << 1.0 << qint64(10) << qint64(10);
        QTest::newRow("negative draw") << -0.5 << qint64(10) << qint64(1);
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << qint64(10) << qint64(1);
    }
    void dayPosition()
    {
        QFETCH(double, r); QFETCH(qint64, count); QFETCH(qint64, position);
        QCOMPARE(DayWalk::randomPosition(r, count), position);
    }

    // The about window's fade: opacities from one end to the other in equal steps, the
    // last one exact; a step of 0 (which would loop for ever) jumps to the end.
    void fadeSteps()
    {
        const struct { bool fadeIn; int step; int count; int last; } rows[] = {
            {true, 3, 86, 255}, {false, 3, 86, 0}, {true, 4, 64, 252}, {false, 4, 64, 3}, {true, 1, 256, 255},
            {true, 254, 2, 254}, {false, 255, 2, 0}, {true, 0, 1, 255}, {false, 0, 1, 0}};
        for (const auto &row : rows) {
            const std::vector<quint8> steps = FadeSteps::opacities(row.fadeIn, quint8(row.step));
            QCOMPARE(int(steps.size()), row.count);
            QCOMPARE(int(steps.back()), row.last);
            QCOMPARE(int(steps.front()), row.count == 1 ? row.last : row.fadeIn ? 0 : 255);
            for (size_t i = 1; i < steps.size(); ++i)
                QCOMPARE(qAbs(steps[i] - steps[i - 1]), row.step);
        }
    }

    // A picture that is /dev/zero (or a link to it) aborted the program, one that is a
    // pipe hung the help window for ever. Only regular files of bounded size inside the
    // help folder are loaded; the page itself still shows.
    void endlessOrBlockingPicture_hungOrAborted_data()
    {
        QTest::addColumn<QString>("picture");
        QTest::newRow("/dev/zero") << "/dev/zero";
        QTest::newRow("link to /dev/zero") << "zero.png";
        QTest::newRow("pipe") << "pipe.png";
        QTest::newRow("outside the help folder") << "../outside.png";
        QTest::newRow("too large") << "large.png";
    }
    void endlessOrBlockingPicture_hungOrAborted()
    {
        QFETCH(QString, picture);
        // In a program folder with spaces and Persian letters.
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("برنامه های من/Vorn 1.3"));
        const QString help = folder + QStringLiteral("/help");
        QVERIFY(QDir().mkpath(help));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), help + QStringLiteral("/zero.png")));
        QCOMPARE(::mkfifo(QFile::encodeName(help + QStringLiteral("/pipe.png")).constData(), 0600), 0);
        QVERIFY(QFile::copy(binDir() + QStringLiteral("/help/WAPI.htm"), folder + QStringLiteral("/outside.png")));
        QFile large(help + QStringLiteral("/large.png"));
        QVERIFY(large.open(QIODevice::WriteOnly) && large.resize(64LL * 1024 * 1024));
        QFile page(help + QStringLiteral("/P.htm"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<html><body><p>page text</p><img src=\"" + picture.toUtf8() + "\"></body></html>");
        page.close();

        frmHelp window(folder);
        window.OpenHelpFile(QStringLiteral("help\\P.htm"));
        QCOMPARE(window.wbHelp->toPlainText().trimmed().left(9), QStringLiteral("page text"));
        const QUrl url = window.wbHelp->source().resolved(QUrl(picture));
        QVERIFY(window.wbHelp->document()->resource(QTextDocument::ImageResource, url).toByteArray().isEmpty());
    }

    // A page of 30 tables inside each other (a kilobyte) kept the window from opening for
    // minutes at full CPU, lists and blocks the same; an empty or missing page showed an
    // empty window. Each is shown as a message; nesting up to the limit is laid out.
    void helpPageNesting_frozeTheWindow_data()
    {
        QTest::addColumn<QByteArray>("page"); QTest::addColumn<QString>("shown");
        const QString tooDeep = Texts::helpPageTooDeep.arg(8);
        QTest::newRow("30 tables") << QByteArray("<table><tr><td>").repeated(30) + "x" << tooDeep;
        QTest::newRow("9 lists") << QByteArray("<ul><li>").repeated(9) + "x" << tooDeep;
        QTest::newRow("9 blocks, closed") << QByteArray("<div>").repeated(9) + "x" + QByteArray("</div>").repeated(9) << tooDeep;
        QTest::newRow("8 tables, closed") << QByteArray("<table><tr><td>").repeated(8) + "x" + QByteArray("</td></tr></table>").repeated(8) << "x";
        QTest::newRow("1000 blocks one after another") << QByteArray("<div>y</div>").repeated(1000) << QString(1000, 'y');
        QTest::newRow("empty") << QByteArray("") << Texts::helpPageMissing;
        QTest::newRow("missing") << QByteArray() << Texts::helpPageMissing;
    }
    void helpPageNesting_frozeTheWindow()
    {
        QFETCH(QByteArray, page); QFETCH(QString, shown);
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath("help")));
        QFile file(dir.filePath("help/P.htm"));
        QVERIFY(page.isNull() || (file.open(QIODevice::WriteOnly) && file.write(page) == page.size()));
        file.close();
        frmHelp window(dir.path());
        window.OpenHelpFile(QStringLiteral("help\\P.htm"));
        const QString text = shown.simplified().remove(' ');
        QCOMPARE(window.wbHelp->toPlainText().simplified().remove(' ').left(text.size()), text);
    }

    // Each shipped page: its heading first; Persian paragraphs right to left and the code left to
    // right; no Persian word cut in two by a change of format (which breaks the joining of its
    // letters); the program's letters (ARABIC YEH, KEHEH); and no sideways scrolling.
    void helpPages_data()
    {
        QTest::addColumn<QString>("page"); QTest::addColumn<QString>("heading");
        QTest::newRow("WAPI") << "WAPI.htm" << wapiHeading;
        QTest::newRow("DECLARE") << "DECLARE.htm" << declareHeading;
    }
    void helpPages()
    {
        QFETCH(QString, page); QFETCH(QString, heading);
        frmHelp help(binDir());
        help.OpenHelpFile(QStringLiteral("help\\") + page);
        QVERIFY2(pageText(help).startsWith(heading), qPrintable(pageText(help).left(80)));
        QCOMPARE(help.wbHelp->documentTitle(), heading);
        const auto isArabicLetter = [](QChar c) { return c.isLetter() && c.script() == QChar::Script_Arabic; };
        int persian = 0;
        int code = 0;
        for (QTextBlock block = help.wbHelp->document()->begin(); block.isValid(); block = block.next()) {
            const QString text = block.text();
            if (!text.isEmpty() && text.at(0).script() == QChar::Script_Arabic) {
                QCOMPARE(block.textDirection(), Qt::RightToLeft);
                ++persian;
            }
            if (text.startsWith(QLatin1String("Private Declare"))) {
                QCOMPARE(block.textDirection(), Qt::LeftToRight);
                ++code;
            }
            QString previous;
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QString piece = it.fragment().text();
                if (!previous.isEmpty() && !piece.isEmpty())
                    QVERIFY2(!(isArabicLetter(previous.back()) && isArabicLetter(piece.front())), qPrintable(text.left(40)));
                previous = piece;
            }
        }
        QVERIFY(persian > 20 && code > 0);
        QFile file(binDir() + QStringLiteral("/help/") + page);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        QVERIFY(!html.contains(QChar(0x06CC)) && !html.contains(QChar(0x0643)) && html.contains(QChar(0x064A)));
        help.resize(400, 300);
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        QTRY_COMPARE(help.wbHelp->horizontalScrollBar()->maximum(), 0);
    }

    // The fault: tables kept their columns left to right, and Latin words with only "·" or
    // "،" between them ran together left to right ("Public و Sub"). Each row: a text read
    // before another on the same line stands to the right of it.
    void helpPagesMixUpLatinTermsAndTableColumns_data()
    {
        QTest::addColumn<QString>("page"); QTest::addColumn<QString>("first"); QTest::addColumn<QString>("then");
        QTest::newRow("contents") << "help\\DECLARE.htm" << "Private" << "Sub";
        QTest::newRow("contents, single terms") << "help\\DECLARE.htm" << "Lib" << "Alias";
        QTest::newRow("table heading") << "help\\DECLARE.htm" << QStringLiteral("بخش") << QStringLiteral("معنا");
        QTest::newRow("table row") << "help\\DECLARE.htm" << "Private" << QStringLiteral("دامنه");
        QTest::newRow("list in a sentence") << "help\\WAPI.htm" << "Open" << "Shell";
        QTest::newRow("table heading, libraries") << "help\\WAPI.htm" << QStringLiteral("کتابخانه") << QStringLiteral("کار توابع آن");
        QTest::newRow("types in brackets") << "help\\DECLARE.htm" << "DWORD" << "HWND";
    }
    void helpPagesMixUpLatinTermsAndTableColumns()
    {
        QFETCH(QString, page); QFETCH(QString, first); QFETCH(QString, then);
        frmHelp help(binDir());
        help.OpenHelpFile(page);
        help.resize(1000, 700);
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        QTextBrowser *browser = help.wbHelp;
        const auto places = [browser](const QString &word) {
            QList<QRect> found;
            QTextCursor at(browser->document());
            while (!(at = browser->document()->find(word, at, QTextDocument::FindWholeWords | QTextDocument::FindCaseSensitively)).isNull()) {
                // Between letters, not at the word's ends, where the place of a cursor
                // between a Latin and a Persian run is a matter of choice.
                QTextCursor start(at);
                start.setPosition(at.selectionStart() + 1);
                QTextCursor end(at);
                end.setPosition(at.selectionEnd() - 1);
                found << browser->cursorRect(start).united(browser->cursorRect(end));
            }
            return found;
        };
        for (const QRect &a : places(first)) {
            for (const QRect &b : places(then)) {
                if (qAbs(a.center().y() - b.center().y()) < a.height() / 2) {
                    QVERIFY2(a.left() > b.right(), qPrintable(QStringLiteral("%1 at %2, %3 at %4").arg(first).arg(a.left()).arg(then).arg(b.left())));
                    return;
                }
            }
        }
        QFAIL("no line holds both");
    }
};

QTEST_MAIN(tst_Windows)
#include "tst_windows.moc"
