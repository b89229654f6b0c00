// What the settings and window places do over whole runs of the program.
#include "app/mdlMain.h"
#include "platform/InstanceLock.h"
#include "settings/RegKeys.h"
#include "support/ScriptedPrompter.h"
#include "support/TempSettings.h"
#include "support/TestCatalogue.h"
#include "ui/controls/Resizer.h"
#include "ui/main/StatusPanels.h"
#include "ui/main/TextBox.h"
#include "ui/main/TwipPanel.h"
#include "ui/main/frmMain.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

using mdlMain::Program;

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

} // namespace

class tst_SettingsRun : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ScriptedPrompter m_prompter;

    std::unique_ptr<Program> program()
    {
        return std::make_unique<Program>(
            mdlMain::Environment{m_dir.path(), m_dir.filePath(QStringLiteral("lock")), &m_prompter});
    }

private slots:
    void initTestCase() { writeCatalogue(m_dir.path(), {record("Beep", "d", "kernel32", "w", "x")}); }
    void init() { m_prompter = ScriptedPrompter(); }

    void emptyStore_startsWithTheDefaults()
    {
        TempSettings settings;
        auto run = program();
        QCOMPARE(run->Main(QString()), Program::Road::MainWindow);
        frmMain *main = run->mainWindow();
        QCOMPARE(main->txtFunction->font().pointSizeF(), 8.0);
        QCOMPARE(main->txtComment->font().pointSizeF(), 8.0);
        QVERIFY(main->lblFunctionName->isHidden());
        QVERIFY(!main->mnuCaption->isChecked());
        QVERIFY(main->StatusBar->isVisible());
        QVERIFY(main->picColtrols->isVisible());
        QCOMPARE(main->resControls->Control1Size(), 4000);
        QCOMPARE(main->resFunction->Control1Size(), 2000);
        // The load step remembered the tree side as designed, before the settings came.
        QCOMPARE(main->SavedTreeSize(), 4095);
    }

    void firstRun_storesPlaceAndViewOnExit()
    {
        TempSettings settings;
        {
            auto run = program();
            QCOMPARE(run->Main(QString()), Program::Road::MainWindow);
            run->mainWindow()->mnuExit->trigger();
        }
        const QString position = QStringLiteral("Software\\Kel\\Vorn\\Position");
        for (const char *name : {"frmMain.Width", "frmMain.Height", "frmMain.Top", "frmMain.Left"})
            QVERIFY2(RegKeys::ReadKeyValue(RegKeys::Hive::CurrentUser, position, QLatin1String(name), "-") != "-", name);
        QCOMPARE(RegKeys::ReadKeyValue(RegKeys::Hive::CurrentUser, position, "frmMain", "-"), QStringLiteral("frmMain"));
        QCOMPARE(RegKeys::ReadKeyValue(RegKeys::Hive::CurrentUser, "Software\\Kel\\Vorn", "TreeSize", "-"),
                 QStringLiteral("4000"));
        QCOMPARE(RegKeys::ReadKeyValue(RegKeys::Hive::CurrentUser, "Software\\Kel\\Vorn", "StatusBar Vis", "-"),
                 QStringLiteral("True"));
    }

    void hiddenRowsAndSizes_surviveARestart()
    {
        TempSettings settings;
        {
            auto run = program();
            QCOMPARE(run->Main(QString()), Program::Road::MainWindow);
            frmMain *main = run->mainWindow();
            main->mnuStatusBarView->trigger();
            main->mnuKeys->trigger();
            main->mnuCaption->trigger();
            main->resControls->setControl1Size(3300);
            main->resize(main->width() + 90, main->height() + 45);
            main->close();
        }
        auto run = program();
        QCOMPARE(run->Main(QString()), Program::Road::MainWindow);
        frmMain *main = run->mainWindow();
        QVERIFY(main->StatusBar->isHidden());
        QVERIFY(!main->mnuStatusBarView->isChecked());
        QVERIFY(main->picColtrols->isHidden());
        QVERIFY(!main->mnuKeys->isChecked());
        QVERIFY(main->lblFunctionName->isVisible());
        QCOMPARE(main->resControls->Control1Size(), 3300);
        QCOMPARE(TwipLayout::rect(main->resControls).top(), 500);
    }

    // The splitters used to be sized from the stored settings while the window still had
    // its default size, which cut down sizes that only a larger window has room for.
    void paneSizesOfALargerWindow_surviveARestart()
    {
        TempSettings settings;
        int treeSize = 0;
        int functionTextHeight = 0;
        {
            auto run = program();
            QCOMPARE(run->Main(QString()), Program::Road::MainWindow);
            frmMain *main = run->mainWindow();
            // As large as each side can be in the default window...
            main->resControls->setControl1Size(100000);
            main->resFunction->setControl1Size(100000);
            const int defaultTree = main->resControls->Control1Size();
            const int defaultHeight = main->resFunction->Control1Size();
            // ... and larger in a larger one.
            main->resize(main->width() + 120, main->height() + 60);
            main->resControls->setControl1Size(100000);
            main->resFunction->setControl1Size(100000);
            treeSize = main->resControls->Control1Size();
            functionTextHeight = main->resFunction->Control1Size();
            QVERIFY(treeSize > defaultTree);
            QVERIFY(functionTextHeight > defaultHeight);
            main->close();
        }
        for (int restart = 0; restart < 2; ++restart) {
            auto run = program();
            QCOMPARE(run->Main(QString()), Program::Road::MainWindow);
            QCOMPARE(run->mainWindow()->resControls->Control1Size(), treeSize);
            QCOMPARE(run->mainWindow()->resFunction->Control1Size(), functionTextHeight);
            run->mainWindow()->close();
        }
    }

    void runsThatNeverShowTheMainWindow_leaveTheStoreAlone()
    {
        TempSettings settings;
        {
            auto run = program();
            QCOMPARE(run->Main(QString()), Program::Road::MainWindow);
            run->mainWindow()->mnuKeys->trigger();
            run->mainWindow()->close();
        }
        const QByteArray before = fileBytes(settings.storeFile());
        QVERIFY(before != "<none>");

        {   // another instance is running
            InstanceLock first(m_dir.filePath(QStringLiteral("lock")));
            QVERIFY(first.tryAcquire());
            auto run = program();
            QCOMPARE(run->Main(QString()), Program::Road::Ended);
        }
        {   // the day road
            auto run = program();
            QCOMPARE(run->Main(QStringLiteral("-d")), Program::Road::Ended);
        }
        {   // no catalogue
            QTemporaryDir empty;
            Program run({empty.path(), m_dir.filePath(QStringLiteral("lock")), &m_prompter});
            QCOMPARE(run.Main(QString()), Program::Road::Ended);
        }
        QCOMPARE(fileBytes(settings.storeFile()), before);
    }
};

QTEST_MAIN(tst_SettingsRun)
#include "tst_settingsrun.moc"
