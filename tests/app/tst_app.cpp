// Whole runs of the program: start-up and its command line, whatever the catalogue and the
// settings store hold, the function-of-the-day road, the Persian look, and the view and
// window places that one run leaves to the next.
#include "app/CommandLine.h"
#include "app/PersianLook.h"
#include "app/ScaleFactor.h"
#include "app/mdlMain.h"
#include "browse/CatalogueBrowser.h"
#include "catalogue/CatalogueStore.h"
#include "catalogue/CatalogueTree.h"
#include "platform/InstanceLock.h"
#include "platform/Texts.h"
#include "settings/RegKeys.h"
#include "support/FileSizeLimit.h"
#include "support/Named.h"
#include "support/ScriptedPrompter.h"
#include "support/TempSettings.h"
#include "support/TestCatalogue.h"
#include "support/UnwritableFolder.h"
#include "ui/controls/Resizer.h"
#include "ui/main/StatusPanels.h"
#include "ui/controls/TextBox.h"
#include "ui/main/TwipPanel.h"
#include "ui/main/frmMain.h"
#include "ui/windows/frmDayApi.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSettings>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>

#include <csignal>

#include <sqlite3.h>
#include <sys/stat.h>

using mdlMain::Program;
using namespace Qt::StringLiterals;

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray randomBytes(int size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(seed);
    for (char &c : bytes)
        c = static_cast<char>(random.bounded(256));
    return bytes;
}

QString stored(const QString &name, const QString &key = QStringLiteral("Software\\Kel\\Vorn"))
{
    return RegKeys::ReadKeyValue(RegKeys::Hive::CurrentUser, key, name, QStringLiteral("<none>"));
}

QStringList entriesBeside(const QString &path)
{
    return QDir(QFileInfo(path).absolutePath())
        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden);
}

const QString classic = QStringLiteral("Private Declare Function GetDC Lib \"user32\" (ByVal hWnd As Long) As Long");
const QString vba7 = QStringLiteral("Private Declare PtrSafe Function GetDC Lib \"user32\" (ByVal hWnd As LongPtr) As LongPtr");

} // namespace

class tst_App : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ScriptedPrompter m_prompter;

    QString catalogue() const { return CatalogueStore::databasePath(m_dir.path()); }
    QString lock() const { return m_dir.filePath(QStringLiteral("vorn.lock")); }
    std::unique_ptr<Program> program()
    {
        return std::make_unique<Program>(mdlMain::Environment{m_dir.path(), lock(), &m_prompter});
    }
    // EndProgram ends the event loops for good, as the process it ends would; a short run
    // of the main loop lets the next run start as a new process does.
    static void freshLoop()
    {
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        QCoreApplication::exec();
    }
    // A run on the given road (its window active where asked), or none when it took the other.
    std::unique_ptr<Program> start(Program::Road expected = Program::Road::MainWindow, const QString &arguments = {},
                                   bool active = false)
    {
        auto run = program();
        if (run->Main(arguments) != expected)
            return nullptr;
        if (active)
            run->mainWindow()->activateWindow();
        return !active || QTest::qWaitForWindowActive(run->mainWindow()) ? std::move(run) : nullptr;
    }
    void execSql(const char *sql)
    {
        sqlite3 *db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(catalogue()).constData(), &db), SQLITE_OK);
        const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
        sqlite3_close(db);
        QCOMPARE(rc, SQLITE_OK);
    }

private slots:
    void initTestCase() { PersianLook::apply(); } // as main() does before any window is made

    void init()
    {
        m_prompter = ScriptedPrompter();
        QFile::remove(catalogue());
        QFile::remove(lock());
        freshLoop();
    }

    // The whole argument string after the program's path, compared with -d exactly (the
    // day road itself is run below).
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments"); QTest::addColumn<bool>("day");
        QTest::newRow("-D") << QStringList{"vorn", "-D"} << true;
        QTest::newRow("-d x") << QStringList{"vorn", "-d", "x"} << false;
        QTest::newRow("/d") << QStringList{"vorn", "/d"} << false;
        QTest::newRow("-dd") << QStringList{"vorn", "-dd"} << false;
        QTest::newRow("space before") << QStringList{"vorn", " -d"} << false;
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments); QFETCH(bool, day);
        QCOMPARE(mdlMain::isDayRoad(mdlMain::argumentString(arguments)), day);
    }

    // Whatever the catalogue file holds, Vorn starts with it or says why it cannot, once,
    // and shows no half-built window.
    // QT_SCALE_FACTOR of 0, 1e-9, nan or -1 gave no usable window, and the next start
    // said "already running". Such a factor is taken out before the application is made.
    void scaleFactor_noWindowThenAlreadyRunning_data()
    {
        QTest::addColumn<QByteArray>("factor"); QTest::addColumn<bool>("kept");
        for (const char *bad : {"0", "1e-9", "nan", "-1", "inf", "0.24", "8.1", "two"})
            QTest::newRow(bad) << QByteArray(bad) << false;
        for (const char *sound : {"0.25", "1", "1.5", " 2", "8"})
            QTest::newRow(sound) << QByteArray(sound) << true;
    }
    void scaleFactor_noWindowThenAlreadyRunning()
    {
        QFETCH(QByteArray, factor); QFETCH(bool, kept);
        const QByteArray before = qgetenv("QT_SCALE_FACTOR");
        qputenv("QT_SCALE_FACTOR", factor);
        const QString warning = ScaleFactor::sanitize();
        QCOMPARE(qgetenv("QT_SCALE_FACTOR"), kept ? factor : QByteArray());
        QCOMPARE(warning, kept ? QString() : Texts::scaleFactorIgnored.arg(QString::fromUtf8(factor)).arg(0.25).arg(8));
        QCOMPARE(qEnvironmentVariableIsSet("QT_SCALE_FACTOR"), kept);
        before.isNull() ? qunsetenv("QT_SCALE_FACTOR") : qputenv("QT_SCALE_FACTOR", before);
    }

    // SIGTERM and SIGHUP (the session ends) killed the program: the settings and the
    // window's place were lost. The real program now ends as a close ends it.
    void endSignal_settingsLost_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void endSignal_settingsLost()
    {
        QFETCH(int, signal);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("run"));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        environment.insert("XDG_RUNTIME_DIR", dir.filePath("run"));
        QProcess vorn;
        vorn.setProcessEnvironment(environment);
        vorn.start(qEnvironmentVariable("VORN_BIN_DIR") + "/vorn");
        QVERIFY(vorn.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dir.filePath("run/vorn.lock")), 30000);
        QCOMPARE(::kill(vorn.processId(), signal), 0);
        // The signal is taken once the start has read the catalogue: with the sanitizers
        // on a busy machine, after more than half a minute.
        QVERIFY(vorn.waitForFinished(120000));
        QCOMPARE(vorn.exitStatus(), QProcess::NormalExit);
        QFile store(dir.filePath("config/Kel/Vorn.ini"));
        QVERIFY(store.open(QIODevice::ReadOnly));
        QVERIFY(store.readAll().contains("Position\\"));
    }

    // Constants of 900,000 rows of 20,000 characters were read until memory ran out; past
    // a limit the run now starts without them and says which limit.
    void constantsPastALimit_abortedAtFourGigabytes()
    {
        TempSettings settings;
        execSql("CREATE TABLE API (a, b, c, d, e); INSERT INTO API VALUES ('Beep', '', '', '', '');"
                "CREATE TABLE Const (ConstName, Line, Value, Family, Header, Meaning);"
                "INSERT INTO Const VALUES (printf('%.*c', 20000, 'n'), '', 1, '', '', '');");
        QVERIFY(start());
        QCOMPARE(m_prompter.messages.size(), 1);
        QCOMPARE(m_prompter.messages[0].text, Texts::constantsLeftOut + "\n" + Texts::constantRowTooLong.arg(16384));
    }

    void badCatalogue_data()
    {
        QTest::addColumn<QString>("kind"); // missing, bytes or sql
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("text"); // ending in CR LF: only its start is known
        QTest::addColumn<QString>("caption");
        QByteArray header("SQLite format 3");
        header.append('\0').append(QByteArray(100, '\x01'));
        QTest::newRow("missing") << "missing" << QByteArray() << "!فايل پايگاه داده ها پيدا نشد\r\nلطفاً نرم افزار را مجدداً نصب کنيد" << "خطا";
        QTest::newRow("zero bytes") << "bytes" << QByteArray() << "Runtime Error '1'\r\nno such table: API" << "Vorn";
        QTest::newRow("random bytes") << "bytes" << randomBytes(64 * 1024, 7)
                                      << "Runtime Error '26'\r\nfile is not a database" << "Vorn";
        QTest::newRow("damaged header") << "bytes" << header << "Runtime Error '" << "Vorn";
        QTest::newRow("no table API") << "sql" << QByteArray("CREATE TABLE Other (a TEXT);")
                                      << "Runtime Error '1'\r\nno such table: API" << "Vorn";
        QTest::newRow("a second copy") << "locked" << QByteArray() << "اين برنامه در حال اجراست" << "Vorn";
        QTest::newRow("too few columns") << "sql" << QByteArray("CREATE TABLE API (Name TEXT, Declaration TEXT);")
                                         << "Runtime Error '3265'\r\n" << "Vorn";
    }
    void badCatalogue()
    {
        QFETCH(QString, kind); QFETCH(QByteArray, content); QFETCH(QString, text); QFETCH(QString, caption);
        TempSettings settings;
        writeFile(settings.storeFile(), "[Software]\nKel\\Vorn\\TreeSize=3300\n");
        InstanceLock first(lock());
        if (kind == QLatin1String("bytes"))
            writeFile(catalogue(), content);
        else if (kind == QLatin1String("sql"))
            execSql(content.constData());
        else if (kind == QLatin1String("locked"))
            QVERIFY(first.tryAcquire());
        auto run = start(Program::Road::Ended);
        QVERIFY(run);
        QCOMPARE(fileBytes(settings.storeFile()), QByteArray("[Software]\nKel\\Vorn\\TreeSize=3300\n"));
        if (kind == QLatin1String("locked")) // and the first copy keeps its lock
            QVERIFY(!InstanceLock(lock()).tryAcquire());
        QCOMPARE(m_prompter.messages.size(), 1);
        const ScriptedPrompter::Message &told = m_prompter.messages.constFirst();
        QCOMPARE(text.endsWith(QLatin1Char('\'')) || text.endsWith(QLatin1Char('\n')) ? told.text.left(text.size()) : told.text, text);
        QCOMPARE(told.caption, caption);
        QCOMPARE(told.icon, Prompter::Icon::Critical);
        QCOMPARE(run->mainWindow(), nullptr);
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    }

    // Fields of any type show as text, and the catalogue is only ever read.
    void oddFieldTypes_startAndShowAsText()
    {
        execSql("CREATE TABLE API (a, b, c, d, e);"
                "INSERT INTO API VALUES ('Beep', 12, NULL, x'e2', NULL);"
                "INSERT INTO API VALUES (42, 'decl', 'lib', 'w', 'd');"
                "INSERT INTO API VALUES (NULL, NULL, NULL, NULL, NULL);");
        const QByteArray before = fileBytes(catalogue());
        auto run = start();
        QVERIFY(run);
        frmMain *main = run->mainWindow();
        QCOMPARE(main->FunctionCount(), 3);
        run->browser().show(1);
        QCOMPARE(named<TextBox>(main, "txtFunction")->text(), QStringLiteral("12"));
        QCOMPARE(named<TextBox>(main, "txtComment")->text(), QString());
        named<QAction>(main, "mnuExit")->trigger();
        QCOMPARE(fileBytes(catalogue()), before);
    }

    // Forty thousand rows are all counted; a name of a million characters went whole into
    // the status panel, whose layout froze the window for a minute (now its start, elided),
    // and a description of 10 MB is laid out to its first 100000 letters.
    void hugeCatalogue_frozeTheWindowInTheStatusPanel()
    {
        std::vector<CatalogueRecord> records;
        for (int i = 0; i < 40000; ++i)
            records.push_back(record(QStringLiteral("Fn%1").arg(i), "d", QStringLiteral("lib%1").arg(i % 7), "w", "x"));
        const QString name(1024 * 1024, QLatin1Char('N'));
        const QString description(5 * 1024 * 1024, QChar(0x0628));
        records.push_back(record(name, "d", "l", "w", description));
        writeCatalogue(m_dir.path(), records);
        auto run = start();
        QVERIFY(run);
        frmMain *main = run->mainWindow();
        QCOMPARE(named<StatusPanels>(main, "StatusBar")->text(QStringLiteral("total")), QStringLiteral("تعداد کل : 40001"));
        QVERIFY(main->catalogueTree()->indexForKey(QStringLiteral("Lib_F_") + name).isValid());
        run->browser().show(40001);
        const QString shown = named<StatusPanels>(main, "StatusBar")->text(QStringLiteral("name"));
        QVERIFY(shown.size() <= 200);
        QVERIFY(name.startsWith(shown.chopped(1)));
        QCOMPARE(shown.back(), QChar(0x2026));
        QCOMPARE(named<QLabel>(main, "lblFunctionName")->text(), name); // what save and copy take
        QCOMPARE(named<TextBox>(main, "txtComment")->text().size(), description.size());
        QCOMPARE(named<TextBox>(main, "txtComment")->toPlainText().size(), 100001);
        QCOMPARE(named<TextBox>(main, "txtComment")->toPlainText().back(), QChar(0x2026));
    }

    // The -d road: only the day window, blocking, filled; closing it (Escape: in the walk through)
    // ends the run before Main gets control back, nothing left on screen and nothing stored.
    void dayRoad_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<bool>("byKey"); // the Back key, else the frame
        QTest::addColumn<int>("records");
        QTest::newRow("-d, Back key") << "-d" << true << 2;
        QTest::newRow("-D, frame") << "-D" << false << 2;
        QTest::newRow("empty catalogue") << "-d" << false << 0;
    }
    void dayRoad()
    {
        QFETCH(QString, arguments); QFETCH(bool, byKey); QFETCH(int, records);
        TempSettings settings;
        writeFile(settings.storeFile(), "[Software]\nKel\\Vorn\\TreeSize=3300\n");
        const std::vector<CatalogueRecord> two = {record("Beep", "Private Declare Function Beep Lib \"kernel32\" ()"),
                                                  record("Sleep", "Private Declare Sub Sleep Lib \"kernel32\" ()")};
        writeCatalogue(m_dir.path(), {two.begin(), two.begin() + records});
        auto run = program();
        bool modal = false, stepsOn = false, endedWithTheClose = false, noMainWindow = true;
        QString declaration;
        QPointer<frmDayApi> day;
        QTimer::singleShot(0, [&] {
            day = qobject_cast<frmDayApi *>(QApplication::activeModalWidget());
            if (!day)
                return;
            modal = day->isVisible() && day->isModal();
            declaration = named<TextBox>(day, "txtFunction")->text();
            stepsOn = named<QPushButton>(day, "cmdNext")->isEnabled() && named<QPushButton>(day, "cmdBack")->isEnabled();
            byKey ? QTest::mouseClick(named<QPushButton>(day, "cmdOK"), Qt::LeftButton) : void(day->close());
            endedWithTheClose = !run->browser().recordset().isOpen();
            for (QWidget *w : QApplication::topLevelWidgets())
                noMainWindow = noMainWindow && !qobject_cast<frmMain *>(w);
        });
        QCOMPARE(run->Main(arguments), Program::Road::Ended);
        QVERIFY(day && modal && endedWithTheClose && noMainWindow);
        QCOMPARE(declaration.startsWith(QLatin1String("Private Declare")), records > 0);
        QCOMPARE(stepsOn, records > 0);
        QVERIFY(run->DayFunctionMode());
        // EndProgram closed the catalogue while the day window's close still ran: the day
        // window goes only with the program.
        QCOMPARE(run->dayWindow(), day.data());
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
        QVERIFY(m_prompter.messages.isEmpty());
        QCOMPARE(entriesBeside(settings.storeFile()), QStringList{QStringLiteral("Vorn.ini")});
        QCOMPARE(fileBytes(settings.storeFile()), QByteArray("[Software]\nKel\\Vorn\\TreeSize=3300\n"));
    }

    // Whatever the settings store holds, runs start (with the defaults where a value cannot be
    // used), say nothing of the store's failures, and never leave a store that lost values. A
    // pipe in place of Vorn.ini hung start-up: now the defaults, told once, nothing written.
    void badStore_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("treeSize");   // as the run shows it
        QTest::addColumn<QString>("warning"); // told once, and nothing written
        QTest::newRow("lines without sense") << "corrupt" << 3300 << "";
        QTest::newRow("binary junk") << "junk" << 4000 << "";
        QTest::newRow("values of the wrong type") << "types" << 4000 << "";
        QTest::newRow("a pipe") << "pipe" << 4000 << Texts::settingsNotAFile;
        QTest::newRow("a file where its folder should be") << "file-folder" << 4000 << "";
        // Written by an earlier run, then not writable at exit: the run ends quietly, the store as it was.
        QTest::newRow("read-only folder at exit") << "read-only" << 4000 << "";
        QTest::newRow("full disk at exit") << "full" << 4000 << "";
    }
    void badStore()
    {
        QFETCH(QString, kind); QFETCH(int, treeSize); QFETCH(QString, warning);
        TempSettings settings;
        writeCatalogue(m_dir.path(), {record("Beep", "d", "kernel32", "w", "x")});
        const QString store = settings.storeFile();
        QDir().mkpath(QFileInfo(store).absolutePath());
        if (kind == QLatin1String("corrupt")) {
            writeFile(store, "[Software]\nthis line has no equals sign\n=a value without a name\nKel\\Vorn\\TreeSize=3300\n"
                             "[[[\n[Software\n\x01\x02\x03=\xff\xfe\nKel\\Vorn\\Fn%20Font%20Size=\n[]\n");
        } else if (kind == QLatin1String("junk")) {
            writeFile(store, randomBytes(64 * 1024, 11));
        } else if (kind == QLatin1String("types")) {
            QSettings raw(store, QSettings::IniFormat);
            raw.beginGroup(QStringLiteral("Software/Kel/Vorn"));
            raw.setValue(QStringLiteral("TreeSize"), QByteArray("\x00\x01\x02", 3));
            raw.setValue(QStringLiteral("FunctionTextHeight"), QStringLiteral("99999999999"));
            raw.setValue(QStringLiteral("Fn Font Size"), QRect(1, 2, 3, 4));
            raw.setValue(QStringLiteral("Cm Font Size"), QStringLiteral("-8"));
        } else if (kind == QLatin1String("pipe")) {
            QCOMPARE(::mkfifo(QFile::encodeName(store).constData(), 0600), 0);
        } else if (kind == QLatin1String("file-folder")) {
            QVERIFY(QDir(QFileInfo(store).absolutePath()).removeRecursively());
            writeFile(QFileInfo(store).absolutePath(), "not a folder");
        } else {
            auto run = start();
            QVERIFY(run);
            named<QAction>(run->mainWindow(), "mnuKeys")->trigger();
            named<QAction>(run->mainWindow(), "mnuExit")->trigger();
        }
        const bool unwritable = kind == QLatin1String("read-only") || kind == QLatin1String("full");
        const QByteArray before = unwritable ? fileBytes(store) : QByteArray(); // a pipe would block
        {
            auto run = start();
            QVERIFY(run);
            frmMain *main = run->mainWindow();
            QCOMPARE(named<Resizer>(main, "resControls")->Control1Size(), treeSize);
            QCOMPARE(named<Resizer>(main, "resFunction")->Control1Size(), 2000);
            QCOMPARE(named<TextBox>(main, "txtFunction")->font().pointSizeF(), 8.0);
            QCOMPARE(named<TextBox>(main, "txtComment")->font().pointSizeF(), 8.0);
            QVERIFY(named<StatusPanels>(main, "StatusBar")->isVisible());
            named<QAction>(main, "mnuKeys")->trigger();
            named<Resizer>(main, "resControls")->setControl1Size(3000);
            named<Resizer>(main, "resControls")->setControl1Size(treeSize);
            std::optional<UnwritableFolder> locked;
            std::optional<FileSizeLimit> limit;
            if (kind == QLatin1String("full"))
                QVERIFY(limit.emplace(before.size() / 2).isSet());
            else if (kind == QLatin1String("read-only") && !locked.emplace(settings.folder(), QFileInfo(store).absolutePath()).isUnwritable())
                QSKIP("the folder stays writable for this user");
            named<QAction>(main, "mnuExit")->trigger();
        }
        if (kind == QLatin1String("file-folder")) { // the writes failed quietly, the file is as it was
            QCOMPARE(m_prompter.messages.size(), 0);
            QCOMPARE(fileBytes(QFileInfo(store).absolutePath()), QByteArray("not a folder"));
            return;
        }
        if (unwritable)
            QCOMPARE(fileBytes(store), before);
        QCOMPARE(entriesBeside(store), QStringList{QStringLiteral("Vorn.ini")});
        QCOMPARE(m_prompter.messages.size(), int(!warning.isEmpty()));
        if (!warning.isEmpty()) {
            QCOMPARE(m_prompter.messages.constFirst().text, warning + QStringLiteral("\r\n") + store);
            return;
        }
        QCOMPARE(stored(QStringLiteral("TreeSize")), QString::number(treeSize));
        QCOMPARE(stored(QStringLiteral("Keys Vis")), QStringLiteral("False"));
        auto again = start();
        QVERIFY(again);
        QCOMPARE(named<Resizer>(again->mainWindow(), "resControls")->Control1Size(), treeSize);
        QVERIFY(named<QWidget>(again->mainWindow(), "picColtrols")->isHidden());
    }

    // What one run's view leaves to the next: hidden rows, the caption, the window's place
    // and the pane sizes. The splitters were sized from the store while the window still
    // had its default size, which cut down sizes only a larger window has room for.
    void viewAndPlace_surviveARestart()
    {
        TempSettings settings;
        writeCatalogue(m_dir.path(), {record("Beep", "d", "kernel32", "w", "x")});
        int treeSize = 0, functionTextHeight = 0;
        {
            auto run = start();
            QVERIFY(run);
            frmMain *main = run->mainWindow();
            named<QAction>(main, "mnuStatusBarView")->trigger();
            named<QAction>(main, "mnuKeys")->trigger();
            named<QAction>(main, "mnuCaption")->trigger();
            named<Resizer>(main, "resControls")->setControl1Size(100000);
            named<Resizer>(main, "resFunction")->setControl1Size(100000);
            const int defaultTree = named<Resizer>(main, "resControls")->Control1Size();
            const int defaultHeight = named<Resizer>(main, "resFunction")->Control1Size();
            main->resize(main->width() + 120, main->height() + 60);
            named<Resizer>(main, "resControls")->setControl1Size(100000);
            named<Resizer>(main, "resFunction")->setControl1Size(100000);
            treeSize = named<Resizer>(main, "resControls")->Control1Size();
            functionTextHeight = named<Resizer>(main, "resFunction")->Control1Size();
            QVERIFY(treeSize > defaultTree);
            QVERIFY(functionTextHeight > defaultHeight);
            named<QAction>(main, "mnuExit")->trigger();
        }
        QCOMPARE(stored(QStringLiteral("frmMain"), QStringLiteral("Software\\Kel\\Vorn\\Position")),
                 QStringLiteral("frmMain"));
        for (int restart = 0; restart < 2; ++restart) {
            auto run = start();
            QVERIFY(run);
            frmMain *main = run->mainWindow();
            QVERIFY(named<StatusPanels>(main, "StatusBar")->isHidden());
            QVERIFY(!named<QAction>(main, "mnuStatusBarView")->isChecked());
            QVERIFY(named<QWidget>(main, "picColtrols")->isHidden());
            QVERIFY(named<QLabel>(main, "lblFunctionName")->isVisible());
            QCOMPARE(TwipLayout::rect(named<Resizer>(main, "resControls")).top(), 500);
            QCOMPARE(named<Resizer>(main, "resControls")->Control1Size(), treeSize);
            QCOMPARE(named<Resizer>(main, "resFunction")->Control1Size(), functionTextHeight);
            main->close();
        }
    }

    // The VBA7 entry, clicked in the Function menu, shows the catalogue's sixth column and
    // is remembered; an older catalogue of five columns disables it and keeps the choice.
    void vba7Entry_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<QString>("before"); // as stored by the last run
        QTest::addColumn<QString>("after");  // with the entry clicked where it is enabled
        QTest::newRow("first run") << int(CatalogueRecord::fieldCount) << "" << "True";
        QTest::newRow("chosen before") << int(CatalogueRecord::fieldCount) << "True" << "False";
        QTest::newRow("five columns") << int(CatalogueRecord::classicFieldCount) << "True" << "True";
    }
    void vba7Entry()
    {
        QFETCH(int, columns); QFETCH(QString, before); QFETCH(QString, after);
        TempSettings settings;
        if (!before.isEmpty())
            RegKeys::WriteKeyValue(RegKeys::Hive::CurrentUser, QStringLiteral("Software\\Kel\\Vorn"),
                                   QStringLiteral("VBA7 Declaration"), before);
        writeCatalogue(m_dir.path(), {record("GetDC", classic, "user32", "w", "x", vba7)}, columns);
        const bool six = columns == CatalogueRecord::fieldCount;
        const bool on = six && !before.isEmpty();
        auto run = start(Program::Road::MainWindow, {}, true);
        QVERIFY(run);
        frmMain &main = *run->mainWindow();
        run->browser().show(1);
        QCOMPARE(named<QAction>(&main, "mnuVba7")->isEnabled(), six);
        QCOMPARE(named<QAction>(&main, "mnuVba7")->isChecked(), on);
        QCOMPARE(named<TextBox>(&main, "txtFunction")->text(), on ? vba7 : classic);
        if (six) {
            QMenuBar *bar = main.menuBar();
            QMenu *menu = main.findChild<QMenu *>(QStringLiteral("mnuFunction"));
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
            QTRY_VERIFY(menu->isVisible());
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(named<QAction>(&main, "mnuVba7")).center());
            QTRY_VERIFY(!menu->isVisible());
            QCOMPARE(named<TextBox>(&main, "txtFunction")->text(), on ? classic : vba7);
        }
        named<QAction>(&main, "mnuExit")->trigger();
        QCOMPARE(stored(QStringLiteral("VBA7 Declaration")), after);
    }

    // The underlined letter of an access key was drawn on its own, so every menu title
    // showed disjoined Persian letters: whole words now, underlines while Alt is down (the
    // keys themselves are pressed in the walk through the real program).
    void accessKeyUnderlinesBrokePersianWords()
    {
        writeCatalogue(m_dir.path(), {record("Beep", classic, "kernel32")});
        auto run = start(Program::Road::MainWindow, {}, true);
        QVERIFY(run);
        QMenuBar *bar = run->mainWindow()->menuBar();
        const QImage plain = bar->grab().toImage();
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus);
        QTest::keyPress(focus, Qt::Key_Alt);
        QCoreApplication::processEvents();
        const QImage held = bar->grab().toImage();
        QTest::keyRelease(focus, Qt::Key_Alt, Qt::AltModifier);
        QCoreApplication::processEvents();
        QVERIFY2(held != plain, "Alt held shows the access keys");
        QVERIFY2(bar->grab().toImage() == plain, "Alt let go hides them again");
        // The declaration box reads left to right; its context menu took that direction.
        frmMain *main = run->mainWindow();
        QWidget *box = named<TextBox>(main, "txtFunction")->viewport();
        QTest::mouseClick(main->windowHandle(), Qt::RightButton, {}, box->mapTo(main, box->rect().center()));
        QTRY_VERIFY(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
        auto *menu = static_cast<QMenu *>(QApplication::activePopupWidget());
        QStringList texts;
        for (const QAction *action : menu->actions())
            texts << action->text();
        menu->close();
        QVERIFY(menu->isRightToLeft());
        QVERIFY2(texts.join(QLatin1Char(' ')).trimmed().isRightToLeft(), qPrintable(texts.join(QLatin1Char('|'))));
    }

    // Qt's own texts (message-box buttons, the text boxes' menu, the file dialog) stayed English.
    void qtOwnTextsStayedEnglish()
    {
        for (const auto &[context, text] : {std::pair("QPlatformTheme", "Cancel"), std::pair("QWidgetTextControl", "&Copy"),
                                            std::pair("QFileDialog", "Look in:")}) {
            const QString shown = QCoreApplication::translate(context, text);
            QVERIFY2(shown != QLatin1String(text) && shown.isRightToLeft(), qPrintable(shown));
        }
    }

    // The options for scripts, on a catalogue of four functions: what each prints, to which
    // stream, and the exit status.
    void scriptOptions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        const auto row = [](const char *tag, const QStringList &arguments, int status, const QString &out, const QString &err = {}) {
            QTest::newRow(tag) << arguments << status << out << err;
        };
        row("name, best first", {"--find", "sendmessage"}, CommandLine::Done, "SendMessage\nSendMessageA\nICSendMessage\n");
        row("value after =", {"--find=Beep"}, CommandLine::Done, "Beep\n");
        row("description, words", {"--find-description", u"فايل\u200cها"_s}, CommandLine::Done, "ICSendMessage\n");
        row("nothing found", {"--find", "zzz"}, CommandLine::NothingFound, "");
        row("two searches in order", {"--find", "Beep", "--find", "zzz", "--find", "ICS"}, CommandLine::NothingFound,
            "Beep\nICSendMessage\n");
        row("unknown option, nothing done", {"--find", "Beep", "--fnd", "x"}, CommandLine::Failed, "", "--fnd");
        row("value missing", {"--find"}, CommandLine::Failed, "", "TEXT");
        row("value where none is taken", {"--help=x"}, CommandLine::Failed, "", "--help");
        row("help lists every option", {"--help"}, CommandLine::Done, "--find TEXT|--find-description TEXT|--version|-d");
    }
    void scriptOptions()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QTemporaryDir folder;
        writeCatalogue(folder.path(), {record("Beep", "", "", "", "صدا"), record("ICSendMessage", "", "", "", u"پيام به فايل\u200cها"_s),
                                       record("SendMessage", "", "", "", "فايل"), record("SendMessageA")});
        QString written, complained;
        QTextStream outStream(&written), errStream(&complained);
        QVERIFY(CommandLine::wanted(QStringList{"vorn"} + arguments));
        QCOMPARE(CommandLine::run(QStringList{"vorn"} + arguments, folder.path(), outStream, errStream), status);
        if (arguments == QStringList{"--help"}) {
            for (const QString &option : out.split(u'|'))
                QVERIFY2(written.contains(option), qPrintable(option));
        } else {
            QCOMPARE(written, out);
        }
        QVERIFY2(err.isEmpty() ? complained.isEmpty() : complained.contains(err), qPrintable(complained));
    }

    // The real program with no display at all, as a script runs it: the shipped catalogue,
    // best first, and the exit status; a missing catalogue said on the error stream.
    void scriptOptions_needNoDisplay()
    {
        for (const QStringList &windows : {QStringList{"vorn"}, {"vorn", "-d"}, {"vorn", "-D", "--find"}})
            QVERIFY(!CommandLine::wanted(windows));
        const QString program = qEnvironmentVariable("VORN_BIN_DIR") + QStringLiteral("/vorn");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        const auto run = [&](const QString &path, const QStringList &arguments, QByteArray *errors = nullptr) {
            QProcess vorn;
            vorn.setProcessEnvironment(environment);
            vorn.start(path, arguments);
            vorn.waitForFinished(60000);
            if (errors)
                *errors = vorn.readAllStandardError();
            return std::make_pair(vorn.exitStatus() == QProcess::NormalExit ? vorn.exitCode() : -1,
                                  QString::fromUtf8(vorn.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts));
        };
        const auto [found, names] = run(program, {"--find", "SendMessage"});
        QCOMPARE(found, 0);
        QCOMPARE(names.value(0), QStringLiteral("SendMessage"));
        QVERIFY(names.indexOf("ICSendMessage") > names.indexOf("SendMessageTimeout"));
        QCOMPARE(run(program, {"--find-description", "zzqx"}), std::make_pair(1, QStringList{}));
        QTemporaryDir elsewhere; // the program without its catalogue beside it
        QVERIFY(QFile::copy(program, elsewhere.filePath("vorn")));
        QByteArray errors;
        QCOMPARE(run(elsewhere.filePath("vorn"), {"--find", "a"}, &errors).first, 2);
        QVERIFY2(errors.contains("API.mdb"), errors.constData());
    }
};

QTEST_MAIN(tst_App)
#include "tst_app.moc"
