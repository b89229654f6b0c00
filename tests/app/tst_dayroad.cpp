#include "app/mdlMain.h"
#include "catalogue/Recordset.h"
#include "support/ScriptedPrompter.h"
#include "support/TestCatalogue.h"
#include "ui/main/TextBox.h"
#include "ui/main/frmMain.h"
#include "ui/windows/frmDayApi.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using mdlMain::Program;

namespace {

// Every file under the folder with its bytes, to see that a run stored nothing.
QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        files.insert(path, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>"));
    }
    return files;
}

struct Seen
{
    int visibleWindows = -1;
    bool dayWindowShown = false;
    bool modal = false;
    QString declaration;
    bool endedWithTheClose = false;
};

} // namespace

// The "-d" road: only the function-of-the-day window, blocking; closing it ends the run.
class tst_DayRoad : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_config;
    ScriptedPrompter m_prompter;

    mdlMain::Environment env()
    {
        return {m_dir.path(), m_dir.filePath(QStringLiteral("vorn.lock")), &m_prompter};
    }

    // Runs Main with the arguments; while the day window is up, looks at the screen and
    // closes the window the given way.
    Seen runClosingWith(Program &program, const QString &arguments, const QString &how, Program::Road &road)
    {
        Seen seen;
        QTimer::singleShot(0, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            auto *day = qobject_cast<frmDayApi *>(modal);
            seen.dayWindowShown = day && day->isVisible();
            seen.modal = day && day->isModal();
            seen.visibleWindows = 0;
            for (QWidget *w : QApplication::topLevelWidgets())
                seen.visibleWindows += w->isVisible() ? 1 : 0;
            if (!day) {
                if (modal)
                    modal->close();
                return;
            }
            seen.declaration = day->txtFunction->text();
            if (how == QLatin1String("cmdOK"))
                QTest::mouseClick(day->cmdOK, Qt::LeftButton);
            else if (how == QLatin1String("Escape"))
                QTest::keyClick(day, Qt::Key_Escape);
            else
                day->close();
            // The window's unload step ended the program, before Main got control back.
            seen.endedWithTheClose = program.mainWindow() == nullptr;
        });
        road = program.Main(arguments);
        return seen;
    }

private slots:
    void initTestCase()
    {
        // The user's settings live here for this test; the day road must leave them alone.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        QDir(m_config.path()).mkpath(QStringLiteral("Kel"));
        QFile settings(m_config.filePath(QStringLiteral("Kel/Vorn.ini")));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[General]\r\nCodeFontSize=10\r\n[Position]\r\nfrmMain_Left=1200\r\n");
        settings.close();
        writeCatalogue(m_dir.path(), {record("Beep", "Private Declare Function Beep Lib \"kernel32\" ()"),
                                      record("Sleep", "Private Declare Sub Sleep Lib \"kernel32\" ()")});
    }

    void init()
    {
        m_prompter = ScriptedPrompter();
        // EndProgram ends the application's event loops for good, as the process it ends
        // would; a short run of the main loop lets each case start as a new process does.
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        QCoreApplication::exec();
    }

    void dayRoad_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("how");
        QTest::newRow("-d, cmdOK") << "-d" << "cmdOK";
        QTest::newRow("-D, cmdOK") << "-D" << "cmdOK";
        QTest::newRow("-d, frame") << "-d" << "frame";
        QTest::newRow("-D, frame") << "-D" << "frame";
        QTest::newRow("-d, Escape") << "-d" << "Escape";
    }

    void dayRoad()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, how);
        const QMap<QString, QByteArray> before = snapshot(m_config.path());
        Program program(env());
        Program::Road road = Program::Road::MainWindow;
        const Seen seen = runClosingWith(program, arguments, how, road);

        // The day window was the only window on screen, blocking, and filled.
        QVERIFY(seen.dayWindowShown);
        QVERIFY(seen.modal);
        QCOMPARE(seen.visibleWindows, 1);
        QVERIFY(seen.declaration.startsWith(QLatin1String("Private Declare")));
        QVERIFY(seen.endedWithTheClose);
        // Closing it ended the run in order: no main window, nothing left on screen.
        QCOMPARE(road, Program::Road::Ended);
        QVERIFY(program.DayFunctionMode());
        QCOMPARE(program.mainWindow(), nullptr);
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
        QVERIFY(m_prompter.messages.isEmpty());
        // Nothing stored: the settings are byte for byte what they were, and no file came.
        QCOMPARE(snapshot(m_config.path()), before);
    }

    // Anything but exactly -d is the normal road, where no day window opens.
    void otherArguments_showTheMainWindow()
    {
        Program program(env());
        QCOMPARE(program.Main(QStringLiteral("-d x")), Program::Road::MainWindow);
        QVERIFY(!program.DayFunctionMode());
        QVERIFY(program.mainWindow()->isVisible());
        QCOMPARE(program.dayWindow(), nullptr);
        program.EndProgram();
    }

    void emptyCatalogue_dayRoadStillEnds()
    {
        QTemporaryDir empty;
        writeCatalogue(empty.path(), {});
        Program program({empty.path(), empty.filePath(QStringLiteral("vorn.lock")), &m_prompter});
        bool stepsOff = false;
        QTimer::singleShot(0, [&] {
            auto *day = qobject_cast<frmDayApi *>(QApplication::activeModalWidget());
            if (!day)
                return;
            stepsOff = !day->cmdNext->isEnabled() && !day->cmdBack->isEnabled() && !day->cmdRandom->isEnabled();
            day->close();
        });
        QCOMPARE(program.Main(QStringLiteral("-d")), Program::Road::Ended);
        QVERIFY(stepsOff);
        QVERIFY(m_prompter.messages.isEmpty());
    }

    // EndProgram deletes the main window while the day window's own close is still
    // running; the day window is no child of it and goes only with the program.
    void dayWindow_outlivesTheMainWindowItEnds()
    {
        Program program(env());
        QPointer<frmDayApi> day;
        QTimer::singleShot(0, [&] {
            day = qobject_cast<frmDayApi *>(QApplication::activeModalWidget());
            if (day)
                day->close();
        });
        QCOMPARE(program.Main(QStringLiteral("-d")), Program::Road::Ended);
        QVERIFY(day);
        QVERIFY(!day->isVisible());
        QCOMPARE(program.dayWindow(), day.data());
    }
};

QTEST_MAIN(tst_DayRoad)
#include "tst_dayroad.moc"
