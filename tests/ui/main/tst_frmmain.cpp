#include "catalogue/CatalogueTree.h"
#include "support/ScriptedPrompter.h"
#include "support/TestCatalogue.h"
#include "ui/main/StatusPanels.h"
#include "ui/main/TextBox.h"
#include "ui/main/frmMain.h"
#include "ui/windows/frmDayApi.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QTest>
#include <QTextBlock>
#include <QGlyphRun>
#include <QTextLayout>
#include <QTreeView>

namespace {

const QString declA = QStringLiteral(
    "Private Declare Function GetTickCount Lib \"kernel32\" () As Long");
const QString declB = QStringLiteral(
    "Private Declare Function Beep Lib \"kernel32\" (ByVal dwFreq As Long, ByVal dwDuration As Long) As Long");
const QString continuedB = QStringLiteral(
    "Private Declare Function Beep Lib \"kernel32\" ( _\r\n\t\t\tByVal dwFreq As Long, _\r\n\t\t\tByVal dwDuration As Long) As Long");

// Where a piece of the box's first paragraph is drawn, and whether its characters run
// left to right on screen.
struct Drawn
{
    qreal left = 0;
    qreal right = 0;
    bool leftToRight = true;
};

QRectF drawnRange(const QTextLayout *layout, qsizetype from, qsizetype length)
{
    QRectF rect;
    for (const QGlyphRun &run : layout->glyphRuns(int(from), int(length)))
        rect |= run.boundingRect();
    return rect;
}

Drawn drawnPiece(const TextBox *box, const QString &piece)
{
    const QTextBlock block = box->document()->firstBlock();
    const qsizetype at = block.text().indexOf(piece);
    if (at < 0 || !block.layout())
        return {};
    const QRectF whole = drawnRange(block.layout(), at, piece.size());
    Drawn drawn{whole.left(), whole.right(), true};
    qreal previousCentre = -1e9;
    for (qsizetype i = 0; i < piece.size(); ++i) {
        if (piece.at(i).isSpace())
            continue;
        const qreal centre = drawnRange(block.layout(), at + i, 1).center().x();
        drawn.leftToRight = drawn.leftToRight && centre > previousCentre;
        previousCentre = centre;
    }
    return drawn;
}

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

    // The description boxes used to lay out a paragraph that starts with a Latin word left
    // to right: "wParam و lParam: ..." came out jumbled, "&H20019" as "H20019&".
    void descriptionBoxes_readRightToLeft_codeInItsOwnOrder_data()
    {
        QTest::addColumn<QString>("description");
        // The pieces in the order a reader meets them, from the right.
        QTest::addColumn<QStringList>("pieces");
        QTest::newRow("code first") << QStringLiteral("wParam و lParam: پارامترهاي پيام.")
                                    << QStringList{"wParam", "و", "lParam", "پارامترهاي", "پيام"};
        QTest::newRow("hex number") << QStringLiteral("MF_POPUP برابر &H10 و MF_SEPARATOR برابر &H800.")
                                    << QStringList{"MF_POPUP", "برابر", "&H10", "و", "MF_SEPARATOR", "&H800"};
        QTest::newRow("bracketed code") << QStringLiteral("اعلام (ByVal x As Long) در Basic")
                                        << QStringList{"اعلام", "(ByVal x As Long)", "در", "Basic"};
        QTest::newRow("Persian in brackets") << QStringLiteral("uFlags نوع (MF_STRING برابر 0) است")
                                             << QStringList{"uFlags", "نوع", "MF_STRING", "برابر", "است"};
        QTest::newRow("pointer type") << QStringLiteral("ppacc (IAccessible**، ورودي)")
                                      << QStringList{"ppacc", "IAccessible**", "ورودي"};
        QTest::newRow("name ending in _") << QStringLiteral("ساختار VARIANT_ با ارجاع (ByRef).")
                                          << QStringList{"ساختار", "VARIANT_", "با", "ارجاع", "(ByRef)"};
    }

    void descriptionBoxes_readRightToLeft_codeInItsOwnOrder()
    {
        QFETCH(QString, description);
        QFETCH(QStringList, pieces);
        m_main->setRecordset(recordsetOf({record("Demo", "Declare Function Demo Lib \"k\" () As Long", "k", "", description)}));
        m_main->ShowFunction(QStringLiteral("Demo"));
        m_main->show();
        frmDayApi day(m_main->ADO(), 1);
        day.GetRandomApi();
        day.show();
        QVERIFY(QTest::qWaitForWindowExposed(&day));
        for (TextBox *box : {m_main->txtComment, day.txtComment}) {
            QCOMPARE(box->text(), description);
            const QTextLine line = box->document()->firstBlock().layout()->lineAt(0);
            Drawn previous;
            for (qsizetype i = 0; i < pieces.size(); ++i) {
                const Drawn drawn = drawnPiece(box, pieces[i]);
                QVERIFY2(drawn.right > drawn.left, qPrintable(pieces[i]));
                if (i == 0) // right-aligned
                    QVERIFY(drawn.right >= line.x() + line.width() - 1);
                else
                    QVERIFY2(drawn.right <= previous.left + 0.5, qPrintable(pieces[i - 1] + " | " + pieces[i]));
                if (pieces[i].at(0).unicode() < 0x80)
                    QVERIFY2(drawn.leftToRight, qPrintable(pieces[i]));
                previous = drawn;
            }
        }
        // The declaration still reads left to right from the left edge.
        const Drawn declaration = drawnPiece(m_main->txtFunction, QStringLiteral("Declare Function"));
        QVERIFY(declaration.leftToRight);
        QVERIFY(declaration.left <= m_main->txtFunction->document()->firstBlock().layout()->lineAt(0).x() + 1);
        // Selected and copied, the text comes as stored, without the marks that order it.
        day.close();
        m_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
        QTest::mouseClick(m_main->txtComment->viewport(), Qt::LeftButton);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), description);
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
