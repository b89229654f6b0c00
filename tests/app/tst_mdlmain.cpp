#include "app/mdlMain.h"
#include "catalogue/CatalogueStore.h"
#include "catalogue/CatalogueTree.h"
#include "platform/InstanceLock.h"
#include "platform/Texts.h"
#include "support/ScriptedPrompter.h"
#include "support/TestCatalogue.h"
#include "ui/main/StatusPanels.h"
#include "ui/main/frmMain.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using mdlMain::Program;

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_mdlMain : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ScriptedPrompter m_prompter;

    QString lockPath() const { return m_dir.filePath(QStringLiteral("vorn.lock")); }
    mdlMain::Environment env(const QString &folder) { return {folder, lockPath(), &m_prompter}; }

private slots:
    void init()
    {
        m_prompter = ScriptedPrompter();
        QFile::remove(lockPath());
        QFile::remove(CatalogueStore::databasePath(m_dir.path()));
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("day");
        QTest::newRow("-d") << QStringList{"vorn", "-d"} << true;
        QTest::newRow("-D") << QStringList{"vorn", "-D"} << true;
        QTest::newRow("none") << QStringList{"vorn"} << false;
        QTest::newRow("-d x") << QStringList{"vorn", "-d", "x"} << false;
        QTest::newRow("/d") << QStringList{"vorn", "/d"} << false;
        QTest::newRow("d") << QStringList{"vorn", "d"} << false;
        QTest::newRow("-dd") << QStringList{"vorn", "-dd"} << false;
        QTest::newRow("space before") << QStringList{"vorn", " -d"} << false;
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, day);
        QCOMPARE(mdlMain::isDayRoad(mdlMain::argumentString(arguments)), day);
    }

    void argumentString_joinsWhatFollowsTheProgram()
    {
        QCOMPARE(mdlMain::argumentString({"/usr/bin/vorn", "-d", "x"}), QStringLiteral("-d x"));
        QCOMPARE(mdlMain::argumentString({"/usr/bin/vorn"}), QString());
    }

    void missingCatalogue_reportsAndShowsNoWindow()
    {
        Program program(env(m_dir.path()));
        QCOMPARE(program.Main(QString()), Program::Road::Ended);
        QCOMPARE(m_prompter.messages.size(), 1);
        const auto &m = m_prompter.messages.first();
        QCOMPARE(m.text, QStringLiteral("!فايل پايگاه داده ها پيدا نشد\r\nلطفاً نرم افزار را مجدداً نصب کنيد"));
        QCOMPARE(m.caption, QStringLiteral("خطا"));
        QCOMPARE(m.icon, Prompter::Icon::Critical);
        QCOMPARE(program.mainWindow(), nullptr);
        QVERIFY(QApplication::topLevelWidgets().isEmpty() || !QApplication::activeWindow());
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY(!w->isVisible());
    }

    void brokenCatalogue_reportsRuntimeError_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("text");
        QTest::newRow("not a database")
            << QByteArray(200, 'x') << QStringLiteral("Runtime Error '26'\r\nfile is not a database");
        QTest::newRow("no table API")
            << QByteArray() << QStringLiteral("Runtime Error '1'\r\nno such table: API");
    }

    void brokenCatalogue_reportsRuntimeError()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, text);
        QFile file(CatalogueStore::databasePath(m_dir.path()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        Program program(env(m_dir.path()));
        QCOMPARE(program.Main(QString()), Program::Road::Ended);
        QCOMPARE(m_prompter.messages.size(), 1);
        QCOMPARE(m_prompter.messages.first().text, text);
        QCOMPARE(m_prompter.messages.first().caption, QStringLiteral("Vorn"));
        QCOMPARE(m_prompter.messages.first().icon, Prompter::Icon::Critical);
        QCOMPARE(program.mainWindow(), nullptr);
    }

    void emptyCatalogue_startsWithFourRootsAndZeroTotal()
    {
        writeCatalogue(m_dir.path(), {});
        Program program(env(m_dir.path()));
        QCOMPARE(program.Main(QString()), Program::Road::MainWindow);
        QVERIFY(m_prompter.messages.isEmpty());
        frmMain *main = program.mainWindow();
        QVERIFY(main && main->isVisible());
        QCOMPARE(main->catalogueTree()->rowCount(), 4);
        QCOMPARE(main->statusPanels()->text(QStringLiteral("total")), QStringLiteral("تعداد کل : 0"));
        QCOMPARE(main->windowTitle(), QStringLiteral("Vorn - Zentrix -v1.3.15"));
    }

    void normalStart_showsCountAndInitialView()
    {
        writeCatalogue(m_dir.path(), {record("Beep"), record("GetTickCount"), record("Sleep")});
        const QString catalogue = CatalogueStore::databasePath(m_dir.path());
        const QByteArray before = fileBytes(catalogue);
        Program program(env(m_dir.path()));
        QCOMPARE(program.Main(QStringLiteral("d")), Program::Road::MainWindow);
        frmMain *main = program.mainWindow();
        QCOMPARE(main->FunctionCount(), 3);
        QCOMPARE(main->statusPanels()->text(QStringLiteral("total")), QStringLiteral("تعداد کل : 3"));
        QCOMPARE(main->statusPanels()->text(QStringLiteral("name")), QStringLiteral("Zentrix"));
        QVERIFY(!program.DayFunctionMode());
        main->ShowFunction(QStringLiteral("Sleep"));
        main->mnuExit->trigger();
        program.EndProgram();
        // The catalogue is only ever read.
        QCOMPARE(fileBytes(catalogue), before);
    }

    void secondInstance_isRefusedAndTouchesNothing()
    {
        writeCatalogue(m_dir.path(), {record("Beep")});
        InstanceLock first(lockPath());
        QVERIFY(first.tryAcquire());
        Program program(env(m_dir.path()));
        QCOMPARE(program.Main(QString()), Program::Road::Ended);
        QCOMPARE(m_prompter.messages.size(), 1);
        QCOMPARE(m_prompter.messages.first().text, QStringLiteral("اين برنامه در حال اجراست"));
        QCOMPARE(m_prompter.messages.first().caption, QStringLiteral("Vorn"));
        QCOMPARE(m_prompter.messages.first().icon, Prompter::Icon::Critical);
        QCOMPARE(program.mainWindow(), nullptr);
        // The first instance still holds its lock.
        InstanceLock third(lockPath());
        QVERIFY(!third.tryAcquire());
    }

    void staleLockOfACrashedRun_doesNotBlock()
    {
        writeCatalogue(m_dir.path(), {record("Beep")});
        // A lock file left by a process that has gone.
        QProcess gone;
        gone.start(QStringLiteral("true"));
        QVERIFY(gone.waitForFinished());
        const qint64 deadPid = gone.processId() ? gone.processId() : 999999;
        QFile lock(lockPath());
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(QByteArray::number(deadPid) + "\n" + QCoreApplication::applicationName().toUtf8() + "\n"
                   + QSysInfo::machineHostName().toUtf8() + "\n");
        lock.close();
        Program program(env(m_dir.path()));
        QCOMPARE(program.Main(QString()), Program::Road::MainWindow);
        QVERIFY(m_prompter.messages.isEmpty());
    }

    // Without any display the program aborted with the platform's advice to reinstall.
    void noDisplay_abortedWithReinstallAdvice()
    {
        QProcess vorn;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QLatin1String(name));
        vorn.setProcessEnvironment(environment);
        vorn.start(qEnvironmentVariable("VORN_BIN_DIR") + QStringLiteral("/vorn"), {});
        QVERIFY(vorn.waitForFinished(60000));
        QCOMPARE(vorn.exitStatus(), QProcess::NormalExit);
        QCOMPARE(vorn.exitCode(), 1);
        QCOMPARE(QString::fromUtf8(vorn.readAllStandardError()), Texts::noGraphicalSession + QLatin1Char('\n'));
    }

    void dayRoad_neverShowsTheMainWindow()
    {
        writeCatalogue(m_dir.path(), {record("Beep")});
        Program program(env(m_dir.path()));
        // Earlier cases ended their programs, and with them the event loops.
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        QCoreApplication::exec();
        // The day window blocks until it is closed.
        bool closed = false;
        QTimer::singleShot(0, [&closed] {
            if (QWidget *day = QApplication::activeModalWidget())
                closed = day->close();
        });
        QCOMPARE(program.Main(QStringLiteral("-D")), Program::Road::Ended);
        QVERIFY(closed);
        QVERIFY(program.DayFunctionMode());
        QCOMPARE(program.mainWindow(), nullptr);
        QVERIFY(m_prompter.messages.isEmpty());
    }

    void exitCommand_closesTheMainWindow()
    {
        writeCatalogue(m_dir.path(), {record("Beep")});
        Program program(env(m_dir.path()));
        QCOMPARE(program.Main(QString()), Program::Road::MainWindow);
        frmMain *main = program.mainWindow();
        QVERIFY(main->hasBeenShown());
        main->mnuExit->trigger();
        QVERIFY(!main->isVisible());
    }
};

QTEST_MAIN(tst_mdlMain)
#include "tst_mdlmain.moc"
