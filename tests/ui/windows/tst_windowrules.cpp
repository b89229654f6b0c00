#include "ui/windows/DayWalk.h"
#include "ui/windows/FadeSteps.h"
#include "ui/windows/frmHelp.h"

#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include <cmath>
#include <limits>

#include <sys/stat.h>

namespace {

QString binDir()
{
    return qEnvironmentVariable("VORN_BIN_DIR");
}

// The page's text; its headings carry their anchor on an invisible non-joiner.
QString pageText(const frmHelp &help)
{
    return help.wbHelp->toPlainText().remove(QChar(0x200C));
}

const QString wapiHeading = QStringLiteral("توابع API چيست");
const QString declareHeading = QStringLiteral("نحوه فراخواني توابع");

} // namespace

class tst_WindowRules : public QObject
{
    Q_OBJECT

private slots:
    // The function of the day: a draw in [0, 1) picks 1 to count; a draw out of its range
    // never reaches outside the catalogue.
    void dayPosition_data()
    {
        QTest::addColumn<double>("r");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<qint64>("position");
        const double justBelowOne = std::nextafter(1.0, 0.0);
        QTest::newRow("zero draw is the first") << 0.0 << qint64(147) << qint64(1);
        QTest::newRow("highest draw is the last") << justBelowOne << qint64(147) << qint64(147);
        QTest::newRow("on a boundary") << 0.1 << qint64(10) << qint64(2);
        QTest::newRow("beyond 16 bits") << 0.5 << qint64(100000) << qint64(50001);
        QTest::newRow("empty catalogue") << 0.5 << qint64(0) << qint64(0);
        QTest::newRow("draw of one") << 1.0 << qint64(10) << qint64(10);
        QTest::newRow("negative draw") << -0.5 << qint64(10) << qint64(1);
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << qint64(10) << qint64(1);
    }

    void dayPosition()
    {
        QFETCH(double, r);
        QFETCH(qint64, count);
        QFETCH(qint64, position);
        QCOMPARE(DayWalk::randomPosition(r, count), position);
    }

    // The about window's fade: opacities from one end to the other in equal steps, the
    // last one exact; a step of 0 (which would loop for ever) jumps to the end.
    void fadeSteps()
    {
        const struct { bool fadeIn; int step; int count; int last; } rows[] = {
            {true, 3, 86, 255}, {false, 3, 86, 0}, {true, 4, 64, 252}, {false, 4, 64, 3}, {true, 1, 256, 255},
            {true, 254, 2, 254}, {false, 255, 2, 0}, {true, 0, 1, 255}, {false, 0, 1, 0}};
        for (const auto &row : rows) {
            const std::vector<quint8> steps = FadeSteps::opacities(row.fadeIn, quint8(row.step));
            QCOMPARE(int(steps.size()), row.count);
            QCOMPARE(int(steps.back()), row.last);
            QCOMPARE(int(steps.front()), row.count == 1 ? row.last : row.fadeIn ? 0 : 255);
            for (size_t i = 1; i < steps.size(); ++i)
                QCOMPARE(qAbs(steps[i] - steps[i - 1]), row.step);
        }
    }

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
        // In a program folder with spaces and Persian letters.
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("برنامه های من/Vorn 1.3"));
        const QString help = folder + QStringLiteral("/help");
        QVERIFY(QDir().mkpath(help));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), help + QStringLiteral("/zero.png")));
        QCOMPARE(::mkfifo(QFile::encodeName(help + QStringLiteral("/pipe.png")).constData(), 0600), 0);
        QVERIFY(QFile::copy(binDir() + QStringLiteral("/help/WAPI.htm"), folder + QStringLiteral("/outside.png")));
        QFile large(help + QStringLiteral("/large.png"));
        QVERIFY(large.open(QIODevice::WriteOnly) && large.resize(64LL * 1024 * 1024));
        QFile page(help + QStringLiteral("/P.htm"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<html><body><p>page text</p><img src=\"" + picture.toUtf8() + "\"></body></html>");
        page.close();

        frmHelp window(folder);
        window.OpenHelpFile(QStringLiteral("help\\P.htm"));
        QCOMPARE(window.wbHelp->toPlainText().trimmed().left(9), QStringLiteral("page text"));
        const QUrl url = window.wbHelp->source().resolved(QUrl(picture));
        QVERIFY(window.wbHelp->document()->resource(QTextDocument::ImageResource, url).toByteArray().isEmpty());
    }

    // Each shipped page: its heading first; Persian paragraphs right to left and the code
    // left to right; no Persian word cut in two by a change of format (which breaks the
    // joining of its letters); the program's letters (ARABIC YEH,
    // KEHEH); and it reads without sideways scrolling.
    void helpPages_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("heading");
        QTest::newRow("WAPI") << "WAPI.htm" << wapiHeading;
        QTest::newRow("DECLARE") << "DECLARE.htm" << declareHeading;
    }

    void helpPages()
    {
        QFETCH(QString, page);
        QFETCH(QString, heading);
        frmHelp help(binDir());
        help.OpenHelpFile(QStringLiteral("help\\") + page);
        QVERIFY2(pageText(help).startsWith(heading), qPrintable(pageText(help).left(80)));
        QCOMPARE(help.wbHelp->documentTitle(), heading);
        const auto isArabicLetter = [](QChar c) { return c.isLetter() && c.script() == QChar::Script_Arabic; };
        int persian = 0;
        int code = 0;
        for (QTextBlock block = help.wbHelp->document()->begin(); block.isValid(); block = block.next()) {
            const QString text = block.text();
            if (!text.isEmpty() && text.at(0).script() == QChar::Script_Arabic) {
                QCOMPARE(block.textDirection(), Qt::RightToLeft);
                ++persian;
            }
            if (text.startsWith(QLatin1String("Private Declare"))) {
                QCOMPARE(block.textDirection(), Qt::LeftToRight);
                ++code;
            }
            QString previous;
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QString piece = it.fragment().text();
                if (!previous.isEmpty() && !piece.isEmpty())
                    QVERIFY2(!(isArabicLetter(previous.back()) && isArabicLetter(piece.front())), qPrintable(text.left(40)));
                previous = piece;
            }
        }
        QVERIFY(persian > 20 && code > 0);
        QFile file(binDir() + QStringLiteral("/help/") + page);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        QVERIFY(!html.contains(QChar(0x06CC)) && !html.contains(QChar(0x0643)) && html.contains(QChar(0x064A)));
        help.resize(400, 300);
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        QTRY_COMPARE(help.wbHelp->horizontalScrollBar()->maximum(), 0);
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
                QTextCursor start(at);
                start.setPosition(at.selectionStart() + 1);
                QTextCursor end(at);
                end.setPosition(at.selectionEnd() - 1);
                found << browser->cursorRect(start).united(browser->cursorRect(end));
            }
            return found;
        };
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

};

QTEST_MAIN(tst_WindowRules)
#include "tst_windowrules.moc"
