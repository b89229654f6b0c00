// Browsing the catalogue in the main window: picking a function in the tree with the mouse
// or the keys, and what the tree and the boxes show of it (right to left, with Latin runs).
#include "MainWindowTest.h"
#include "ui/controls/PersianStyle.h"
#include "ui/windows/frmDayApi.h"

#include <QAbstractButton>
#include <QGlyphRun>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextLayout>

namespace {

const QString declA = QStringLiteral("Private Declare Function GetTickCount Lib \"kernel32\" () As Long");
const QString declB = QStringLiteral(
    "Private Declare Function Beep Lib \"kernel32\" (ByVal dwFreq As Long, ByVal dwDuration As Long) As Long");
const QString continuedB = QStringLiteral(
    "Private Declare Function Beep Lib \"kernel32\" ( _\r\n    ByVal dwFreq As Long, _\r\n    ByVal dwDuration As Long) As Long");
const QString initialName = Texts::functionNameInitial;
// A Type block above the Declare line, as DirectInput8Create has.
const QString declT = QStringLiteral("Private Type GUID\r\n    Data1 As Long\r\n    Data2 As Integer\r\n    Data3 As Integer\r\n"
                                     "    Data4(0 To 7) As Byte\r\nEnd Type\r\n\r\nPrivate Declare Function CoGuid Lib \"ole32\" "
                                     "(ByVal lpFileName As String, ByVal dwShareMode As Long, pGuid As GUID) As Long");

// Where a piece of the box's first paragraph is drawn, and whether its characters run
// left to right on screen.
struct Drawn { qreal left = 0, right = 0; bool leftToRight = true; };

QRectF drawnRange(const QTextLayout *layout, qsizetype from, qsizetype length)
{
    QRectF rect;
    for (const QGlyphRun &run : layout->glyphRuns(int(from), int(length)))
        rect |= run.boundingRect();
    return rect;
}

// The piece is looked for in the text as read, without the direction marks the box adds.
Drawn drawnPiece(const TextBox *box, const QString &piece)
{
    const QTextBlock block = box->document()->firstBlock();
    const QString shown = block.text();
    QString read;
    QList<qsizetype> shownAt;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (shown.at(i).category() != QChar::Other_Format || shown.at(i) == QChar(0x200C)) { // ZWNJ is a letter's
            read += shown.at(i);
            shownAt.append(i);
        }
    }
    const qsizetype at = read.indexOf(piece);
    if (at < 0 || !block.layout())
        return {};
    const qsizetype end = shownAt[at + piece.size() - 1] + 1;
    const QRectF whole = drawnRange(block.layout(), shownAt[at], end - shownAt[at]);
    Drawn drawn{whole.left(), whole.right(), true};
    qreal previousCentre = -1e9;
    for (qsizetype i = 0; i < piece.size(); ++i) {
        if (piece.at(i).isSpace())
            continue;
        const qreal centre = drawnRange(block.layout(), shownAt[at + i], 1).center().x();
        drawn.leftToRight = drawn.leftToRight && centre > previousCentre;
        previousCentre = centre;
    }
    return drawn;
}

// The rightmost column with dark ink in the upper half of the image: letters, not an
// underscore, which lies below the line.
int rightmostInk(const QImage &image)
{
    for (int x = image.width() - 1; x >= 0; --x)
        for (int y = 0; y < image.height() / 2; ++y)
            if (qGray(image.pixel(x, y)) < 128)
                return x;
    return -1;
}

} // namespace

class tst_Browse : public QObject
{
    Q_OBJECT

    MainWindowTest t;

private slots:
    void init()
    {
        QVERIFY(t.open({
            record("GetTickCount", declA, "kernel32", QStringLiteral("زمان"), QStringLiteral("مدت روشن بودن\r\nبه ميلي ثانيه")),
            record("Beep", declB, "kernel32", QStringLiteral("صدا"), QStringLiteral("بوق")),
            record("Twin", "first", "user32", "", "one"),
            record("Twin", "second", "user32", "", "two"),
            record("DnsQuery", "", "dnsapi"),
            record("DnsQuery_", "", "dnsapi"),
            record("_DnsQuery", "", "dnsapi"),
            record("CoGuid", declT, "ole32", "", "x"),
        }));
    }

    void cleanup() { t.close(); }

    // The faults: Alt+ک was the Copy menu's, the Help menu's and the Copy button's, Alt+ت
    // the Function menu's and a button's; menu entries had no access keys. Within the menu
    // bar and the buttons of the window, and within each menu, every key is another.
    void accessKeysTakenTwice()
    {
        const auto keyOf = [](const QString &text) { return QKeySequence::mnemonic(text).toString(); };
        QStringList window;
        for (QAction *title : t.main->menuBar()->actions()) {
            window << keyOf(title->text());
            QStringList entries;
            for (const QAction *entry : title->menu()->actions()) {
                if (!entry->isSeparator())
                    entries << keyOf(entry->text());
            }
            QVERIFY2(!entries.contains(QString()) && entries.removeDuplicates() == 0, qPrintable(title->text() + ": " + entries.join(' ')));
        }
        const QList<QAbstractButton *> buttons = t.main->findChildren<QAbstractButton *>();
        for (const QAbstractButton *button : buttons)
            window << keyOf(button->text());
        for (const QString &text : {Texts::cmdSearchBarFunctions, Texts::cmdSearchBarSearch}) // the search key's two captions
            window << keyOf(text);
        window.removeAll(QString());
        QCOMPARE(window.removeDuplicates(), 1); // the search key's own caption, counted twice
    }

    // Real key presses reach the menus: F10 whatever the keyboard layout, and the Persian
    // access keys (Alt and the letter, as a Persian layout gives it).
    void keysReachTheMenus_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("opened"); // the menu, or the panel a button shows
        QTest::newRow("F10") << int(Qt::Key_F10) << int(Qt::NoModifier) << "mnuFile";
        QTest::newRow("Alt+KEHEH: Copy") << 0x06A9 << int(Qt::AltModifier) << "mnuCopyRoot";
        QTest::newRow("Alt+MEEM: Help") << 0x0645 << int(Qt::AltModifier) << "mnuHelp";
        QTest::newRow("Alt+TEH: Function") << 0x062A << int(Qt::AltModifier) << "mnuFunction";
        QTest::newRow("Alt+SEEN: the search key") << 0x0633 << int(Qt::AltModifier) << "picSearch";
    }
    void keysReachTheMenus()
    {
        QFETCH(int, key); QFETCH(int, modifiers); QFETCH(QString, opened);
        named<QTreeView>(t.main.get(), "trvApi")->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), named<QTreeView>(t.main.get(), "trvApi"));
        // With the letter's own text, as a Persian layout gives it (QTest knows only ASCII's).
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key(key),
                            key < 0x100 || key > 0xFFFF ? QString() : QString(QChar(char16_t(key))),
                            Qt::KeyboardModifiers(modifiers));
        if (opened.startsWith(QLatin1String("mnu"))) {
            QTRY_VERIFY(QApplication::activePopupWidget());
            QCOMPARE(QApplication::activePopupWidget()->objectName(), opened);
            press(Qt::Key_Escape, {});
        } else {
            QTRY_VERIFY(t.main->findChild<QWidget *>(opened)->isVisible()); // a button clicks after its press shows
        }
    }

    // The fault: Tab jumped from the key row to the boxes, the search panel and back. It
    // goes right to left and top to bottom, and every stop shows that it has the focus
    // (the fault: the boxes by a blinking caret alone), in the program's own look.
    void tabOrderJumped()
    {
        PersianStyle::install();
        const auto plainAgain = qScopeGuard([] { QApplication::setStyle(QStringLiteral("Fusion")); });
        t.click(QStringLiteral("Lib_F_Beep"));
        QWidget *stop = t.main->findChild<QWidget *>(QStringLiteral("txtFunction"));
        stop->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), stop);
        QStringList stops;
        for (int i = 0; i < 7; ++i) {
            const QImage focused = stop->grab().toImage();
            press(Qt::Key_Tab, {});
            QVERIFY2(stop->grab().toImage() != focused, qPrintable(stop->objectName() + " shows no focus"));
            stop = QApplication::focusWidget();
            stops << stop->objectName();
        }
        QCOMPARE(stops, (QStringList{"txtComment", "trvApi", "cmdExit", "cmdCopy", "cmdSearchBar", "cmdAbout", "txtFunction"}));
    }

    // A function under any branch is shown: a letter node its own record, a node that
    // stands for a name the last record of it. A group leaves the view, and Ctrl+S saves
    // nothing: it offered a module named after the caption "Vorn - Zentrix", without a
    // declaration.
    void treeClick_showsAFunctionUnderEveryBranch_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("declaration");
        QTest::newRow("letter") << "Alf_F_2" << "Beep" << declB;
        QTest::newRow("library") << "Lib_F_Beep" << "Beep" << declB;
        QTest::newRow("area") << "Wor_F_0_Beep" << "Beep" << declB;
        QTest::newRow("first of two of a name") << "Alf_F_3" << "Twin" << "first";
        QTest::newRow("second of two of a name") << "Alf_F_4" << "Twin" << "second";
        QTest::newRow("a name under its library") << "Lib_F_Twin" << "Twin" << "second";
        QTest::newRow("root") << "Alphabet" << initialName << "";
        QTest::newRow("letter group") << "Alf_B" << initialName << "";
        QTest::newRow("library group") << "Lib_kernel32" << initialName << "";
        QTest::newRow("area group") << QStringLiteral("Wor_صدا") << initialName << "";
        QTest::newRow("search root") << "Search" << initialName << "";
    }

    void treeClick_showsAFunctionUnderEveryBranch()
    {
        QFETCH(QString, key);
        QFETCH(QString, shown);
        QFETCH(QString, declaration);
        QVERIFY(!named<QAction>(t.main.get(), "mnuSave")->isEnabled() && !named<QAction>(t.main.get(), "mnuPrint")->isEnabled());
        t.click(key);
        QCOMPARE(named<QLabel>(t.main.get(), "lblFunctionName")->text(), shown);
        QCOMPARE(named<TextBox>(t.main.get(), "txtFunction")->text(), declaration);
        const bool function = shown != initialName;
        QCOMPARE(named<QAction>(t.main.get(), "mnuSave")->isEnabled() && named<QAction>(t.main.get(), "mnuFullSave")->isEnabled() && named<QAction>(t.main.get(), "mnuPrint")->isEnabled(), function);
        press(Qt::Key_S);
        QCOMPARE(t.prompter->fileDialogs.size(), int(function));
    }

    // The fault: a group whose text is a function's name showed that function, which was
    // looked up again by the node's text.
    void groupNamedLikeAFunction_showedThatFunction_data()
    {
        QTest::addColumn<QString>("group");
        QTest::newRow("library") << "Lib_user32";
        QTest::newRow("letter") << "Alf_B";
        QTest::newRow("area") << "Wor_Beep";
    }
    void groupNamedLikeAFunction_showedThatFunction()
    {
        QFETCH(QString, group);
        QVERIFY(t.open({record("user32", "Declare Function user32", "kernel32"),
                        record("B", "Declare Function B", "user32", "Beep"), record("Beep", "Declare Function Beep")}));
        t.click(group);
        QCOMPARE(named<QLabel>(t.main.get(), "lblFunctionName")->text(), initialName);
        press(Qt::Key_S);
        QVERIFY(t.prompter->fileDialogs.isEmpty());
    }

    // The tree taking the focus at start is no pick; a key move onto a function is. The
    // fault: right to left, a row whose selection changed was repainted only up to its
    // item, and the selection colour right of the icons stayed behind.
    void keyboardMovesLeftColouredBars()
    {
        QTreeView *tree = named<QTreeView>(t.main.get(), "trvApi");
        tree->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), tree);
        QTRY_VERIFY(tree->currentIndex().isValid());
        QVERIFY(!named<QAction>(t.main.get(), "mnuSave")->isEnabled());
        QCOMPARE(named<QLabel>(t.main.get(), "lblFunctionName")->text(), initialName);
        const QModelIndex letter = t.node(QStringLiteral("Alf_G"));
        tree->expand(letter.parent());
        tree->expand(letter);
        tree->setCurrentIndex(letter);
        press(Qt::Key_Down, {});
        QCOMPARE(named<QLabel>(t.main.get(), "lblFunctionName")->text(), QStringLiteral("GetTickCount"));
        QVERIFY(named<QAction>(t.main.get(), "mnuSave")->isEnabled() && named<QAction>(t.main.get(), "mnuPrint")->isEnabled());
        for (const Qt::Key key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_Down})
            press(key, {});
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

    // The fault: the declaration box did not wrap and grew a horizontal scroll bar. The
    // format entry lays the shown declaration out, once.
    void declarationBoxDidNotWrap()
    {
        t.click(QStringLiteral("Lib_F_Beep"));
        QTRY_VERIFY(named<TextBox>(t.main.get(), "txtFunction")->document()->firstBlock().layout()->lineCount() > 1);
        QCOMPARE(named<TextBox>(t.main.get(), "txtFunction")->horizontalScrollBar()->maximum(), 0);
        QVERIFY(!named<TextBox>(t.main.get(), "txtFunction")->horizontalScrollBar()->isVisible());
        named<QAction>(t.main.get(), "mnuFormat")->trigger();
        t.click(QStringLiteral("Lib_kernel32")); // a group lays nothing out again
        QCOMPARE(named<TextBox>(t.main.get(), "txtFunction")->text(), continuedB);
        named<QAction>(t.main.get(), "mnuFormat")->trigger();
        QCOMPARE(named<TextBox>(t.main.get(), "txtFunction")->text(), declB);
    }

    // The faults: a Type block filled the declaration box and hid the Declare line below
    // it; Format broke a Type member's bounds as a parameter list, and indented with three
    // tabs, so that at the default font the parameters wrapped. On the box and in what
    // Ctrl+D copies.
    void typeBlockHidTheDeclareLine()
    {
        auto *box = t.main->findChild<TextBox *>(QStringLiteral("txtFunction"));
        QAction *format = t.main->findChild<QAction *>(QStringLiteral("mnuFormat"));
        const auto declareInView = [box] {
            const QTextBlock line = box->document()->findBlockByNumber(7);
            return line.text().startsWith(QStringLiteral("Private Declare"))
                && box->viewport()->rect().contains(box->cursorRect(QTextCursor(line)));
        };
        t.click(QStringLiteral("Lib_F_CoGuid"));
        QVERIFY(box->viewport()->height() < 8 * box->fontMetrics().lineSpacing()); // the Type fills the box
        QVERIFY(declareInView());
        format->trigger();
        QVERIFY(declareInView());
        press(Qt::Key_D);
        QCOMPARE(QGuiApplication::clipboard()->text(), box->text());
        QVERIFY(box->text().contains(QStringLiteral("\r\n    Data4(0 To 7) As Byte\r\n")));
        for (QTextBlock line = box->document()->findBlockByNumber(8); line.isValid(); line = line.next())
            QVERIFY2(line.layout()->lineCount() == 1, qPrintable(line.text()));
        format->trigger();
        QCOMPARE(box->text(), declT);
    }

    // The fault: the description boxes laid a paragraph that starts with a Latin word out
    // left to right: "wParam و lParam: ..." came out jumbled, "&H20019" as "H20019&".
    void descriptionBoxesLaidOutLeftToRight_data()
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
        // A sign at an edge of a Latin stretch stays on its side of it: "-1", not "1-".
        QTest::newRow("sign before a number") << QStringLiteral("INVALID_HANDLE_VALUE يعني -1 برمي‌گرداند")
                                              << QStringList{"INVALID_HANDLE_VALUE", "يعني", "-1", "برمي‌گرداند"};
        QTest::newRow("dot before a name") << QStringLiteral("پسوند پيش‌فرض .dll باشد و صفر براي .exe")
                                           << QStringList{"پسوند", ".dll", "باشد", ".exe"};
        QTest::newRow("star after a name") << QStringLiteral("پيام‌هاي ICM_* انجام")
                                           << QStringList{"پيام‌هاي", "ICM_*", "انجام"};
    }

    void descriptionBoxesLaidOutLeftToRight()
    {
        QFETCH(QString, description);
        QFETCH(QStringList, pieces);
        t.browser->setRecordset(recordsetOf({record("Demo", "Declare Function Demo Lib \"k\" () As Long", "k", "", description)}));
        t.browser->show(1);
        frmDayApi day(t.browser->recordset(), 1);
        day.GetRandomApi();
        day.show();
        QVERIFY(QTest::qWaitForWindowExposed(&day));
        for (TextBox *box : {named<TextBox>(t.main.get(), "txtComment"), named<TextBox>(&day, "txtComment")}) {
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
        const Drawn declaration = drawnPiece(named<TextBox>(t.main.get(), "txtFunction"), QStringLiteral("Declare Function"));
        QVERIFY(declaration.leftToRight);
        QVERIFY(declaration.left <= named<TextBox>(t.main.get(), "txtFunction")->document()->firstBlock().layout()->lineAt(0).x() + 1);
        // Selected and copied, the text comes as stored, without the marks that order it.
        day.close();
        t.main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(t.main.get()));
        QTest::mouseClick(named<TextBox>(t.main.get(), "txtComment")->viewport(), Qt::LeftButton);
        press(Qt::Key_A);
        press(Qt::Key_C);
        QCOMPARE(QGuiApplication::clipboard()->text(), description);
    }

    // The fault: a facts line starting with "Err.LastDllError" was laid out left to right,
    // at the left edge of the right-to-left window.
    void factsLineStartingLatinReadLeftToRight()
    {
        CatalogueRecord r = record("Demo", "Declare Function Demo Lib \"k\" () As Long", "k", "", "x");
        r[CatalogueRecord::LastDllError] = QStringLiteral("0");
        QVERIFY(t.open({r}));
        t.browser->show(1);
        const QLabel *facts = named<QLabel>(t.main.get(), "lblFacts");
        QVERIFY(facts->text().endsWith(QStringLiteral("Err.LastDllError پس از آن معنايي ندارد")));
        QVERIFY(facts->text().isRightToLeft());
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
        QTreeView *tree = named<QTreeView>(t.main.get(), "trvApi");
        tree->expand(t.node(QStringLiteral("Library")));
        tree->expand(t.node(QStringLiteral("Lib_dnsapi")));
        const auto ink = [this, tree](const QString &key) {
            QRect row = tree->visualRect(t.node(key));
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
        QCOMPARE(t.main->catalogueTree()->text(t.node("Lib_F_" + name)), name);
    }

};

QTEST_MAIN(tst_Browse)
#include "tst_browse.moc"
