#include "catalogue/CatalogueTree.h"
#include "support/ScriptedPrompter.h"
#include "support/TestCatalogue.h"
#include "ui/main/StatusPanels.h"
#include "ui/main/TextBox.h"
#include "ui/main/frmMain.h"

#include <QAction>
#include <QLabel>
#include <QTest>
#include <QTreeView>

namespace {

const QString declA = QStringLiteral(
    "Private Declare Function GetTickCount Lib \"kernel32\" () As Long");
const QString declB = QStringLiteral(
    "Private Declare Function Beep Lib \"kernel32\" (ByVal dwFreq As Long, ByVal dwDuration As Long) As Long");
const QString continuedB = QStringLiteral(
    "Private Declare Function Beep Lib \"kernel32\" ( _\r\n\t\t\tByVal dwFreq As Long, _\r\n\t\t\tByVal dwDuration As Long) As Long");

} // namespace

class tst_frmMain : public QObject
{
    Q_OBJECT

private:
    ScriptedPrompter m_prompter;
    std::unique_ptr<frmMain> m_main;

    QModelIndex node(const QString &key) { return m_main->catalogueTree()->indexForKey(key); }

private slots:
    void init()
    {
        m_main = std::make_unique<frmMain>(m_prompter);
        m_main->setRecordset(recordsetOf({
            record("GetTickCount", declA, "kernel32", QStringLiteral("زمان"), QStringLiteral("مدت روشن بودن\r\nبه ميلي ثانيه")),
            record("Beep", declB, "kernel32", QStringLiteral("صدا"), QStringLiteral("بوق")),
            record("Twin", "first", "user32", "", "one"),
            record("Twin", "second", "user32", "", "two"),
        }));
        m_main->BuildCatalogueTree();
    }

    void startState()
    {
        QCOMPARE(m_main->lblFunctionName->text(), QStringLiteral("Vorn - Zentrix"));
        QVERIFY(m_main->txtFunction->text().isEmpty());
        QVERIFY(!m_main->mnuSave->isEnabled());
        QVERIFY(!m_main->mnuFullSave->isEnabled());
        QVERIFY(!m_main->mnuPrint->isEnabled());
        QVERIFY(!m_main->mnuFormat->isChecked());
        QVERIFY(!m_main->mnuCaption->isChecked());
        QCOMPARE(m_main->statusPanels()->text(QStringLiteral("total")), QStringLiteral("تعداد کل : 4"));
        QCOMPARE(m_main->txtFunction->font().family(), QStringLiteral("Courier New"));
    }

    void showFunction_fillsTheView()
    {
        m_main->ShowFunction(QStringLiteral("GetTickCount"));
        QCOMPARE(m_main->lblFunctionName->text(), QStringLiteral("GetTickCount"));
        QCOMPARE(m_main->txtFunction->text(), declA);
        QCOMPARE(m_main->txtComment->text(), QStringLiteral("مدت روشن بودن\r\nبه ميلي ثانيه"));
        QCOMPARE(m_main->statusPanels()->text(QStringLiteral("name")), QStringLiteral("GetTickCount"));
        QVERIFY(m_main->ADO().atEOF()); // the walk always runs to the end
    }

    void showFunction_isExactAndCaseSensitive()
    {
        m_main->ShowFunction(QStringLiteral("Beep"));
        m_main->ShowFunction(QStringLiteral("beep"));
        m_main->ShowFunction(QStringLiteral("Beep "));
        QCOMPARE(m_main->lblFunctionName->text(), QStringLiteral("Beep"));
        QCOMPARE(m_main->txtFunction->text(), declB);
    }

    void showFunction_lastOfSeveralMatchesWins()
    {
        m_main->ShowFunction(QStringLiteral("Twin"));
        QCOMPARE(m_main->txtFunction->text(), QStringLiteral("second"));
        QCOMPARE(m_main->txtComment->text(), QStringLiteral("two"));
    }

    void nodeClickOnFunction_showsItUnderEveryBranch_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("letter") << "Alf_F_2";
        QTest::newRow("library") << "Lib_F_Beep";
        QTest::newRow("area") << "Wor_F_0_Beep";
    }

    void nodeClickOnFunction_showsItUnderEveryBranch()
    {
        QFETCH(QString, key);
        m_main->nodeClick(node(key));
        QCOMPARE(m_main->lblFunctionName->text(), QStringLiteral("Beep"));
        QCOMPARE(m_main->txtFunction->text(), declB);
        QVERIFY(m_main->mnuSave->isEnabled());
        QVERIFY(m_main->mnuFullSave->isEnabled());
        QVERIFY(m_main->mnuPrint->isEnabled());
    }

    void nodeClickOnGroup_enablesSaveButLeavesTheView_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("root") << "Alphabet";
        QTest::newRow("letter") << "Alf_B";
        QTest::newRow("library") << "Lib_kernel32";
        QTest::newRow("area") << QStringLiteral("Wor_صدا");
        QTest::newRow("search root") << "Search";
    }

    void nodeClickOnGroup_enablesSaveButLeavesTheView()
    {
        QFETCH(QString, key);
        m_main->nodeClick(node(key));
        QCOMPARE(m_main->lblFunctionName->text(), QStringLiteral("Vorn - Zentrix"));
        QVERIFY(m_main->txtFunction->text().isEmpty());
        QVERIFY(m_main->mnuSave->isEnabled());
        QVERIFY(m_main->mnuPrint->isEnabled());
    }

    void formatOn_thenFunctionClick_showsTheContinuedLayout()
    {
        m_main->mnuFormat->trigger();
        QVERIFY(m_main->mnuFormat->isChecked());
        m_main->nodeClick(node("Lib_F_Beep"));
        QCOMPARE(m_main->txtFunction->text(), continuedB);
    }

    void formatOn_thenGroupClick_doesNotLayOutTwice()
    {
        m_main->nodeClick(node("Lib_F_Beep"));
        m_main->mnuFormat->trigger();
        QCOMPARE(m_main->txtFunction->text(), continuedB);
        m_main->nodeClick(node("Lib_kernel32"));
        QCOMPARE(m_main->txtFunction->text(), continuedB);
    }

    void formatToggle_givesBackTheStoredText()
    {
        m_main->ShowFunction(QStringLiteral("GetTickCount"));
        m_main->mnuFormat->trigger();
        QCOMPARE(m_main->txtFunction->text(),
                 QStringLiteral("Private Declare Function GetTickCount Lib \"kernel32\" ( _\r\n\t\t\t) As Long"));
        m_main->mnuFormat->trigger();
        QVERIFY(!m_main->mnuFormat->isChecked());
        QCOMPARE(m_main->txtFunction->text(), declA);
    }

    void treeClickWithThePointer_showsTheFunction()
    {
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
        QTreeView *tree = m_main->trvApi;
        const QModelIndex beep = node("Lib_F_Beep");
        tree->expand(beep.parent().parent());
        tree->expand(beep.parent());
        tree->scrollTo(beep);
        const QRect rect = tree->visualRect(beep);
        QVERIFY(rect.isValid());
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(m_main->lblFunctionName->text(), QStringLiteral("Beep"));
        QVERIFY(m_main->mnuSave->isEnabled());
    }

    void captionToggle_showsAndHidesTheNameLabel()
    {
        m_main->show();
        QVERIFY(!m_main->lblFunctionName->isVisible());
        const int treeTop = m_main->trvApi->mapTo(m_main.get(), QPoint()).y();
        m_main->mnuCaption->trigger();
        QVERIFY(m_main->lblFunctionName->isVisible());
        QVERIFY(m_main->trvApi->mapTo(m_main.get(), QPoint()).y() > treeTop);
        m_main->mnuCaption->trigger();
        QVERIFY(!m_main->lblFunctionName->isVisible());
        QCOMPARE(m_main->trvApi->mapTo(m_main.get(), QPoint()).y(), treeTop);
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmmain.moc"
