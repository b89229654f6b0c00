// What the tree and the declaration box show a user: rows repainted whole after keyboard
// moves, function names in their own order, long declarations wrapped.
#include "catalogue/CatalogueTree.h"
#include "support/ScriptedPrompter.h"
#include "support/TestCatalogue.h"
#include "ui/main/TextBox.h"
#include "ui/main/frmMain.h"

#include <QApplication>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTreeView>

namespace {

const QString beepDeclaration = QStringLiteral(
    "Private Declare Function Beep Lib \"kernel32\" (ByVal dwFreq As Long, ByVal dwDuration As Long) As Long");

// The rightmost column with dark ink in the upper half of the image: letters, not an
// underscore, which lies below the line.
int rightmostInk(const QImage &image)
{
    for (int x = image.width() - 1; x >= 0; --x) {
        for (int y = 0; y < image.height() / 2; ++y) {
            if (qGray(image.pixel(x, y)) < 128)
                return x;
        }
    }
    return -1;
}

} // namespace

class tst_TreeLook : public QObject
{
    Q_OBJECT

private:
    ScriptedPrompter m_prompter;
    std::unique_ptr<frmMain> m_main;

    QModelIndex node(const QString &key) const { return m_main->catalogueTree()->indexForKey(key); }
    void click(const QString &key)
    {
        QTreeView *tree = m_main->trvApi;
        const QModelIndex index = node(key);
        for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
            tree->expand(up);
        tree->scrollTo(index);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(index).center());
    }

private slots:
    void init()
    {
        m_main = std::make_unique<frmMain>(m_prompter);
        m_main->setRecordset(recordsetOf({record("DnsQuery", "", "dnsapi"), record("DnsQuery_", "", "dnsapi"),
                                          record("_DnsQuery", "", "dnsapi"), record("Beep", beepDeclaration, "kernel32")}));
        m_main->BuildCatalogueTree();
        m_main->show();
        m_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
    }

    // The fault: right to left, a row whose selection changed was repainted only up to its
    // item, and the selection colour right of the icons stayed behind.
    void keyboardMovesLeaveColouredBars()
    {
        QTreeView *tree = m_main->trvApi;
        click(QStringLiteral("Library"));
        QCOMPARE(QApplication::focusWidget(), tree);
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Down, Qt::Key_Down})
            QTest::keyClick(QApplication::focusWidget(), key);
        const auto onScreen = [tree] {
            QCoreApplication::processEvents();
            const QPoint at = tree->viewport()->mapTo(tree->window(), QPoint());
            return tree->screen()->grabWindow(tree->window()->winId(), at.x(), at.y(),
                                              tree->viewport()->width(), tree->viewport()->height()).toImage();
        };
        const QImage afterMoves = onScreen();
        tree->viewport()->repaint();
        QVERIFY(afterMoves == onScreen());
    }

    // The fault: "DnsQuery_" showed as "_DnsQuery" in the right-to-left tree. The letters of
    // each name are compared with those of "DnsQuery" in the row beside it.
    void namesWithUnderscoreShownMirrored_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("lettersMoveLeft");
        QTest::newRow("trailing") << "DnsQuery_" << true;
        QTest::newRow("leading") << "_DnsQuery" << false;
    }

    void namesWithUnderscoreShownMirrored()
    {
        QFETCH(QString, name);
        QFETCH(bool, lettersMoveLeft);
        QTreeView *tree = m_main->trvApi;
        tree->expand(node(QStringLiteral("Library")));
        tree->expand(node(QStringLiteral("Lib_dnsapi")));
        const auto ink = [this, tree](const QString &key) {
            QRect row = tree->visualRect(node(key));
            // Right to left, the icon stands at the right end of the item.
            row.setRight(row.right() - tree->style()->pixelMetric(QStyle::PM_SmallIconSize) - 8);
            return rightmostInk(tree->viewport()->grab(row).toImage());
        };
        const int plain = ink(QStringLiteral("Lib_F_DnsQuery"));
        const int shown = ink("Lib_F_" + name);
        QVERIFY(plain > 0);
        if (lettersMoveLeft)
            QVERIFY2(shown < plain, qPrintable(QStringLiteral("%1 against %2").arg(shown).arg(plain)));
        else
            QCOMPARE(shown, plain);
        // The node keeps its text.
        QCOMPARE(m_main->catalogueTree()->text(node("Lib_F_" + name)), name);
    }

    // The fault: txtFunction did not wrap and grew a horizontal scroll bar.
    void declarationBoxDoesNotWrap()
    {
        click(QStringLiteral("Lib_F_Beep"));
        QCOMPARE(m_main->txtFunction->text(), beepDeclaration);
        QTRY_VERIFY(m_main->txtFunction->document()->firstBlock().layout()->lineCount() > 1);
        QCOMPARE(m_main->txtFunction->horizontalScrollBar()->maximum(), 0);
        QVERIFY(!m_main->txtFunction->horizontalScrollBar()->isVisible());
    }
};

QTEST_MAIN(tst_TreeLook)
#include "tst_treelook.moc"
