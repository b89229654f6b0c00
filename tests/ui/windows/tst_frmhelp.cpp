#include "catalogue/CatalogueStore.h"
#include "ui/windows/frmHelp.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>

#include <sys/stat.h>

namespace {

// The headings carry their anchor on a zero-width non-joiner, so that no letter of the
// heading itself is set apart from the others.
const QChar invisibleAnchor(0x200C);

QString binDir()
{
    return qEnvironmentVariable("VORN_BIN_DIR");
}

QString readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool copyFile(const QString &from, const QString &to)
{
    QDir().mkpath(QFileInfo(to).absolutePath());
    return QFile::copy(from, to);
}

} // namespace

class tst_frmHelp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(binDir() + QStringLiteral("/help/WAPI.htm")), "the build copies the help pages");
        QVERIFY(QFile::exists(binDir() + QStringLiteral("/help/DECLARE.htm")));
    }

    void design()
    {
        frmHelp help(binDir());
        QCOMPARE(help.windowTitle(), QStringLiteral("Vorn - کمک"));
        QCOMPARE(help.cmdOK->text(), QStringLiteral("&برگشت"));
        QCOMPARE(help.font().family(), QStringLiteral("Tahoma"));
        QCOMPARE(help.cmdOK->parentWidget(), help.picKeys);
        // 15 twips to the pixel at 96 dpi.
        if (help.logicalDpiX() == 96 && help.logicalDpiY() == 96) {
            QCOMPARE(help.wbHelp->geometry(), QRect(8, 16, 521, 321));
            QCOMPARE(help.cmdOK->geometry(), QRect(0, 0, 81, 25));
            QCOMPARE(help.size(), QSize(534, 388));
        }
    }

    void helpFilePath_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("relative");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "/opt/vorn" << "help\\WAPI.htm" << "/opt/vorn/help/WAPI.htm";
        QTest::newRow("spaces") << "/home/a b/my vorn" << "help\\DECLARE.htm" << "/home/a b/my vorn/help/DECLARE.htm";
        QTest::newRow("persian") << QStringLiteral("/home/کاربر/برنامه ها") << "help\\WAPI.htm"
                                 << QStringLiteral("/home/کاربر/برنامه ها/help/WAPI.htm");
        QTest::newRow("trailing slash") << "/opt/vorn/" << "help\\WAPI.htm" << "/opt/vorn/help/WAPI.htm";
    }

    void helpFilePath()
    {
        QFETCH(QString, folder);
        QFETCH(QString, relative);
        QFETCH(QString, expected);
        QCOMPARE(frmHelp::HelpFilePath(folder, relative), expected);
    }

    void openHelpFile_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("heading");
        QTest::newRow("WAPI") << "help\\WAPI.htm" << QStringLiteral("توابع API چيست");
        QTest::newRow("DECLARE") << "help\\DECLARE.htm" << QStringLiteral("نحوه فراخواني توابع");
    }

    // The page's text is shown, not an empty browser, and it does not show the window.
    void openHelpFile()
    {
        QFETCH(QString, page);
        QFETCH(QString, heading);
        frmHelp help(binDir());
        help.OpenHelpFile(page);
        QVERIFY(!help.isVisible());
        QCOMPARE(help.wbHelp->source(), QUrl::fromLocalFile(binDir() + QLatin1Char('/') + page.replace(QLatin1Char('\\'), QLatin1Char('/'))));
        const QString text = help.wbHelp->toPlainText().remove(invisibleAnchor);
        QVERIFY2(text.startsWith(heading), qPrintable(text.left(80)));
        QVERIFY(text.size() > 3000);
        QCOMPARE(help.wbHelp->documentTitle(), heading);
    }

    void folderWithSpacesAndPersianLetters_stillOpensThePage()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("برنامه های من/Vorn 1.3"));
        QVERIFY(copyFile(binDir() + QStringLiteral("/help/WAPI.htm"), folder + QStringLiteral("/help/WAPI.htm")));
        frmHelp help(folder);
        help.OpenHelpFile(QStringLiteral("help\\WAPI.htm"));
        QVERIFY(help.wbHelp->toPlainText().remove(invisibleAnchor).startsWith(QStringLiteral("توابع API چيست")));
    }

    void missingPage_isNotChecked()
    {
        QTemporaryDir dir;
        frmHelp help(dir.path());
        help.OpenHelpFile(QStringLiteral("help\\WAPI.htm"));
        QVERIFY(help.wbHelp->toPlainText().remove(invisibleAnchor).isEmpty());
    }

    // Persian paragraphs run right to left, the code examples left to right.
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
        QTemporaryDir dir;
        const QString help = dir.filePath(QStringLiteral("help"));
        QVERIFY(QDir().mkpath(help));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), help + QStringLiteral("/zero.png")));
        QCOMPARE(::mkfifo(QFile::encodeName(help + QStringLiteral("/pipe.png")).constData(), 0600), 0);
        QVERIFY(copyFile(binDir() + QStringLiteral("/help/WAPI.htm"), dir.filePath(QStringLiteral("outside.png"))));
        QFile large(help + QStringLiteral("/large.png"));
        QVERIFY(large.open(QIODevice::WriteOnly) && large.resize(64LL * 1024 * 1024));
        QFile page(help + QStringLiteral("/P.htm"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<html><body><p>page text</p><img src=\"" + picture.toUtf8() + "\"></body></html>");
        page.close();

        frmHelp window(dir.path());
        window.OpenHelpFile(QStringLiteral("help\\P.htm"));
        QCOMPARE(window.wbHelp->toPlainText().trimmed().left(9), QStringLiteral("page text"));
        const QUrl url = window.wbHelp->source().resolved(QUrl(picture));
        QVERIFY(window.wbHelp->document()->resource(QTextDocument::ImageResource, url).toByteArray().isEmpty());
    }

    void pages_readRightToLeft_data()
    {
        QTest::addColumn<QString>("page");
        QTest::newRow("WAPI") << "help\\WAPI.htm";
        QTest::newRow("DECLARE") << "help\\DECLARE.htm";
    }

    void pages_readRightToLeft()
    {
        QFETCH(QString, page);
        frmHelp help(binDir());
        help.OpenHelpFile(page);
        int persian = 0;
        int code = 0;
        for (QTextBlock block = help.wbHelp->document()->begin(); block.isValid(); block = block.next()) {
            const QString text = block.text();
            if (text.isEmpty())
                continue;
            const bool startsPersian = text.at(0).script() == QChar::Script_Arabic;
            if (startsPersian) {
                QCOMPARE(block.textDirection(), Qt::RightToLeft);
                ++persian;
            }
            if (text.startsWith(QLatin1String("Private Declare"))) {
                QCOMPARE(block.textDirection(), Qt::LeftToRight);
                ++code;
            }
        }
        QVERIFY(persian > 20);
        QVERIFY(code > 0);
    }

    // Long declarations wrap: the page reads without scrolling sideways, at the window's
    // first size as at a smaller one.
    void pages_needNoSidewaysScrolling_data() { pages_readRightToLeft_data(); }

    void pages_needNoSidewaysScrolling()
    {
        QFETCH(QString, page);
        frmHelp help(binDir());
        help.OpenHelpFile(page);
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        QTRY_COMPARE(help.wbHelp->horizontalScrollBar()->maximum(), 0);
        help.resize(400, 300);
        // The page is laid out again when the event loop comes round.
        QTRY_COMPARE(help.wbHelp->horizontalScrollBar()->maximum(), 0);
    }

    // No word is cut in two: a change of format inside a Persian word (a named anchor on
    // its first letter, say) breaks the joining of its letters.
    void pages_keepPersianWordsWhole_data() { pages_readRightToLeft_data(); }

    void pages_keepPersianWordsWhole()
    {
        QFETCH(QString, page);
        frmHelp help(binDir());
        help.OpenHelpFile(page);
        const auto isArabicLetter = [](QChar c) { return c.isLetter() && c.script() == QChar::Script_Arabic; };
        for (QTextBlock block = help.wbHelp->document()->begin(); block.isValid(); block = block.next()) {
            QString previous;
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QString text = it.fragment().text();
                if (!previous.isEmpty() && !text.isEmpty())
                    QVERIFY2(!(isArabicLetter(previous.back()) && isArabicLetter(text.front())),
                             qPrintable(block.text().left(40)));
                previous = text;
            }
        }
    }

    // The fault: tables kept their columns left to right, and Latin words with only "·" or
    // "،" between them ran together left to right ("Public و Sub"). Each row: a text read
    // before another on the same line stands to the right of it.
    void helpPagesMixUpLatinTermsAndTableColumns_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("then");
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
        QFETCH(QString, page);
        QFETCH(QString, first);
        QFETCH(QString, then);
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
                QTextCursor first(at);
                first.setPosition(at.selectionStart() + 1);
                QTextCursor last(at);
                last.setPosition(at.selectionEnd() - 1);
                found << browser->cursorRect(first).united(browser->cursorRect(last));
            }
            return found;
        };
        // The first place where both stand on one line.
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

    // The table of contents at the top leads into the page.
    void anchors_scrollThePage()
    {
        frmHelp help(binDir());
        help.OpenHelpFile(QStringLiteral("help\\DECLARE.htm"));
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        QCOMPARE(help.wbHelp->verticalScrollBar()->value(), 0);
        help.wbHelp->scrollToAnchor(QStringLiteral("trouble"));
        QVERIFY(help.wbHelp->verticalScrollBar()->value() > 0);
    }

    // Every link leads to a page that exists and an anchor that the page carries.
    void links_leadSomewhere_data() { pages_readRightToLeft_data(); }

    void links_leadSomewhere()
    {
        QFETCH(QString, page);
        const QString folder = binDir() + QStringLiteral("/help/");
        const QString own = page.mid(5);
        const QString html = readText(folder + own);
        static const QRegularExpression href(QStringLiteral("href=\"([^\"]*)\""));
        int links = 0;
        for (const QRegularExpressionMatch &m : href.globalMatch(html)) {
            const QString target = m.captured(1);
            const QString file = target.section(QLatin1Char('#'), 0, 0);
            const QString anchor = target.section(QLatin1Char('#'), 1);
            const QString targetHtml = readText(folder + (file.isEmpty() ? own : file));
            QVERIFY2(!targetHtml.isEmpty(), qPrintable(target));
            if (!anchor.isEmpty())
                QVERIFY2(targetHtml.contains(QStringLiteral("name=\"%1\"").arg(anchor)), qPrintable(target));
            ++links;
        }
        QVERIFY(links >= 8);
        // The two pages lead to each other.
        QVERIFY(html.contains(own == QLatin1String("WAPI.htm") ? QLatin1String("href=\"DECLARE.htm\"")
                                                               : QLatin1String("href=\"WAPI.htm\"")));
    }

    // Following a link in the browser shows the other page.
    void linkToTheOtherPage_opensIt()
    {
        frmHelp help(binDir());
        help.OpenHelpFile(QStringLiteral("help\\WAPI.htm"));
        help.wbHelp->setSource(help.wbHelp->source().resolved(QUrl(QStringLiteral("DECLARE.htm"))));
        QVERIFY(help.wbHelp->toPlainText().remove(invisibleAnchor).startsWith(QStringLiteral("نحوه فراخواني توابع")));
        help.wbHelp->backward();
        QVERIFY(help.wbHelp->toPlainText().remove(invisibleAnchor).startsWith(QStringLiteral("توابع API چيست")));
    }

    // The examples quote the shipped catalogue's declarations word for word, with the
    // structure types that come with them; a PtrSafe one quotes the VBA7 form.
    void declarationsInThePages_matchTheCatalogue()
    {
        CatalogueStore::OpenResult opened = CatalogueStore::open(CatalogueStore::databasePath(binDir()));
        QVERIFY(opened.recordset);
        QHash<QString, QString> declarations;
        QHash<QString, QString> vba7;
        Recordset &rs = *opened.recordset;
        for (qsizetype i = 1; i <= rs.RecordCount(); ++i) {
            declarations.insert(rs.at(i)[CatalogueRecord::FunctionName], rs.at(i)[CatalogueRecord::Declaration]);
            vba7.insert(rs.at(i)[CatalogueRecord::FunctionName], rs.at(i)[CatalogueRecord::Vba7Declaration]);
        }

        static const QRegularExpression declare(QStringLiteral("^Private Declare (PtrSafe )?(?:Function|Sub) (\\w+) .*$"),
                                                QRegularExpression::MultilineOption);
        int quoted = 0;
        for (const QString &page : {QStringLiteral("WAPI.htm"), QStringLiteral("DECLARE.htm")}) {
            QTextDocument document;
            document.setHtml(readText(binDir() + QStringLiteral("/help/") + page));
            const QString text = document.toPlainText();
            for (const QRegularExpressionMatch &m : declare.globalMatch(text)) {
                const QString name = m.captured(2);
                QVERIFY2(declarations.contains(name), qPrintable(name));
                QString declaration = (m.hasCaptured(1) ? vba7 : declarations).value(name);
                declaration.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
                QVERIFY2(text.contains(declaration), qPrintable(name + QStringLiteral(": ") + declaration));
                // The declaration line itself is the catalogue's last line.
                QCOMPARE(m.captured(0), declaration.section(QLatin1Char('\n'), -1));
                ++quoted;
            }
        }
        QCOMPARE(quoted, 18);
    }

    void pages_useTheProgramsLetters()
    {
        for (const QString &page : {QStringLiteral("WAPI.htm"), QStringLiteral("DECLARE.htm")}) {
            const QString html = readText(binDir() + QStringLiteral("/help/") + page);
            QVERIFY(!html.contains(QChar(0x06CC))); // FARSI YEH: the program writes ARABIC YEH
            QVERIFY(!html.contains(QChar(0x0643))); // ARABIC KAF: the program writes KEHEH
            QVERIFY(html.contains(QChar(0x064A)));
        }
    }

    // A window made very small keeps the browser at its last valid size.
    void tinyWindow_keepsTheBrowsersLastValidSize()
    {
        frmHelp help(binDir());
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        help.resize(600, 450);
        const QRect before = help.wbHelp->geometry();
        QCOMPARE(before.width(), help.width() - qRound(200 * help.logicalDpiX() / 1440.0));
        help.resize(5, 5);
        QCOMPARE(help.wbHelp->geometry(), before);
        // The keys still move: centred (so off to the left) and under the browser's last height.
        QVERIFY(help.picKeys->x() < 0);
        QCOMPARE(help.picKeys->y(), before.height() + qRound(480 * help.logicalDpiY() / 1440.0));
    }

    void resize_followsTheRules()
    {
        frmHelp help(binDir());
        if (help.logicalDpiX() != 96 || help.logicalDpiY() != 96)
            QSKIP("pixel figures assume 96 dpi");
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        help.resize(800, 600);
        // 12000 x 9000 twips: browser 11800 x 8000 twips, keys centred at 8480.
        QCOMPARE(help.wbHelp->geometry(), QRect(8, 16, 787, 533));
        QCOMPARE(help.picKeys->geometry(), QRect(358, 565, 84, 49));
        help.resize(10, 600);
        QCOMPARE(help.wbHelp->geometry(), QRect(8, 16, 787, 533));
        QCOMPARE(help.picKeys->x(), -37);
    }

    void cmdOK_closesTheWindow()
    {
        frmHelp help(binDir());
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        QTest::mouseClick(help.cmdOK, Qt::LeftButton);
        QVERIFY(!help.isVisible());
    }
};

QTEST_MAIN(tst_frmHelp)
#include "tst_frmhelp.moc"
