// The VBA7 entry of the Function menu over whole runs: chosen with the pointer, it shows
// the catalogue's sixth column and is remembered; an older catalogue disables it.
#include "app/mdlMain.h"
#include "settings/RegKeys.h"
#include "support/ScriptedPrompter.h"
#include "support/TempSettings.h"
#include "support/TestCatalogue.h"
#include "ui/main/TextBox.h"
#include "ui/main/frmMain.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

using mdlMain::Program;

namespace {

const QString classic = QStringLiteral("Private Declare Function GetDC Lib \"user32\" (ByVal hWnd As Long) As Long");
const QString vba7 = QStringLiteral("Private Declare PtrSafe Function GetDC Lib \"user32\" (ByVal hWnd As LongPtr) As LongPtr");

QString stored()
{
    return RegKeys::ReadKeyValue(RegKeys::Hive::CurrentUser, QStringLiteral("Software\\Kel\\Vorn"),
                                 QStringLiteral("VBA7 Declaration"), QStringLiteral("-"));
}

// Opens the Function menu from the menu bar and clicks the entry, as a user does.
void clickVba7Entry(frmMain &main)
{
    QMenuBar *bar = main.menuBar();
    QMenu *menu = main.findChild<QMenu *>(QStringLiteral("mnuFunction"));
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    QTRY_VERIFY(menu->isVisible());
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(main.mnuVba7).center());
    QTRY_VERIFY(!menu->isVisible());
}

} // namespace

class tst_Vba7Run : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ScriptedPrompter m_prompter;

    std::unique_ptr<Program> start(int columns)
    {
        writeCatalogue(m_dir.path(), {record("GetDC", classic, "user32", "w", "x", vba7)}, columns);
        auto run = std::make_unique<Program>(
            mdlMain::Environment{m_dir.path(), m_dir.filePath(QStringLiteral("lock")), &m_prompter});
        if (run->Main(QString()) != Program::Road::MainWindow)
            return nullptr;
        run->mainWindow()->activateWindow();
        if (!QTest::qWaitForWindowActive(run->mainWindow()))
            return nullptr;
        run->mainWindow()->ShowFunction(QStringLiteral("GetDC"));
        return run;
    }

private slots:
    void entry_showsTheSixthColumn_andSurvivesARestart()
    {
        TempSettings settings;
        {
            auto run = start(CatalogueRecord::fieldCount);
            QVERIFY(run);
            frmMain &main = *run->mainWindow();
            QCOMPARE(main.txtFunction->text(), classic);
            clickVba7Entry(main);
            QCOMPARE(main.txtFunction->text(), vba7);
            main.mnuExit->trigger();
        }
        QCOMPARE(stored(), QStringLiteral("True"));
        {
            auto run = start(CatalogueRecord::fieldCount);
            QVERIFY(run);
            frmMain &main = *run->mainWindow();
            QVERIFY(main.mnuVba7->isChecked());
            QCOMPARE(main.txtFunction->text(), vba7);
            clickVba7Entry(main);
            QCOMPARE(main.txtFunction->text(), classic);
            main.mnuExit->trigger();
        }
        QCOMPARE(stored(), QStringLiteral("False"));
    }

    void fiveColumnCatalogue_disablesTheEntry_andKeepsTheChoice()
    {
        TempSettings settings;
        RegKeys::WriteKeyValue(RegKeys::Hive::CurrentUser, QStringLiteral("Software\\Kel\\Vorn"),
                               QStringLiteral("VBA7 Declaration"), QStringLiteral("True"));
        auto run = start(CatalogueRecord::classicFieldCount);
        QVERIFY(run);
        frmMain &main = *run->mainWindow();
        QVERIFY(!main.mnuVba7->isEnabled());
        QVERIFY(!main.mnuVba7->isChecked());
        QCOMPARE(main.txtFunction->text(), classic);
        main.mnuExit->trigger();
        QCOMPARE(stored(), QStringLiteral("True"));
    }
};

QTEST_MAIN(tst_Vba7Run)
#include "tst_vba7run.moc"
