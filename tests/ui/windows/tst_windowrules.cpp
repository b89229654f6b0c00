#include "catalogue/CatalogueStore.h"
#include "support/TestCatalogue.h"
#include "ui/windows/DayWalk.h"
#include "ui/windows/FadeSteps.h"
#include "ui/windows/WindowLayout.h"
#include "ui/windows/frmHelp.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include <cmath>
#include <limits>

#include <sys/stat.h>

using WindowLayout::Placement;
Q_DECLARE_METATYPE(WindowLayout::Placement)

namespace {

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
        QTest::newRow("just below a boundary") << 0.0999 << qint64(10) << qint64(1);
        QTest::newRow("on a boundary") << 0.1 << qint64(10) << qint64(2);
        QTest::newRow("one record") << 0.999 << qint64(1) << qint64(1);
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

    // Next and Previous wrap at the ends, also from a cursor another walk left past
    // either end (a name lookup runs to the end).
    void dayWalk_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("start"); // 0: before the first, count + 1: past the last
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("expected");
        QTest::newRow("next from the last") << 3 << 3 << "N" << "F1";
        QTest::newRow("previous from the first") << 3 << 1 << "P" << "F3";
        QTest::newRow("previous twice from the second") << 3 << 2 << "PP" << "F3";
        QTest::newRow("next from past the end") << 3 << 4 << "N" << "F1";
        QTest::newRow("previous from before the first") << 3 << 0 << "P" << "F3";
        QTest::newRow("one record") << 1 << 1 << "NPNP" << "F1";
        QTest::newRow("empty") << 0 << 0 << "NP" << "";
    }

    void dayWalk()
    {
        QFETCH(int, count);
        QFETCH(int, start);
        QFETCH(QString, steps);
        QFETCH(QString, expected);
        std::vector<CatalogueRecord> records;
        for (int i = 1; i <= count; ++i)
            records.push_back(record(QStringLiteral("F%1").arg(i)));
        Recordset rs = recordsetOf(std::move(records));
        if (start == 0) {
            rs.MoveFirst();
            rs.MovePrevious();
        } else if (start > count) {
            rs.MoveLast();
            rs.MoveNext();
        } else {
            QVERIFY(rs.setAbsolutePosition(start));
        }
        for (const QChar step : steps)
            step == u'N' ? DayWalk::next(rs) : DayWalk::previous(rs);
        const QString *name = rs.field(CatalogueRecord::FunctionName);
        QCOMPARE(name ? *name : QString(), expected);
    }

    // The about window's fade: opacities from one end to the other in equal steps, the
    // last one exact; a step of 0 (which would loop for ever) jumps to the end.
    void fadeSteps_data()
    {
        QTest::addColumn<bool>("fadeIn");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("last");
        QTest::newRow("in 3") << true << 3 << 86 << 255;
        QTest::newRow("out 3") << false << 3 << 86 << 0;
        QTest::newRow("in 4") << true << 4 << 64 << 252;
        QTest::newRow("out 4") << false << 4 << 64 << 3;
        QTest::newRow("in 1") << true << 1 << 256 << 255;
        QTest::newRow("in 254") << true << 254 << 2 << 254;
        QTest::newRow("out 255") << false << 255 << 2 << 0;
        QTest::newRow("in 0") << true << 0 << 1 << 255;
        QTest::newRow("out 0") << false << 0 << 1 << 0;
    }

    void fadeSteps()
    {
        QFETCH(bool, fadeIn);
        QFETCH(int, step);
        QFETCH(int, count);
        QFETCH(int, last);
        const std::vector<quint8> steps = FadeSteps::opacities(fadeIn, quint8(step));
        QCOMPARE(int(steps.size()), count);
        QCOMPARE(int(steps.back()), last);
        if (count > 1)
            QCOMPARE(int(steps.front()), fadeIn ? 0 : 255);
        for (size_t i = 1; i < steps.size(); ++i)
            QCOMPARE(qAbs(steps[i] - steps[i - 1]), step);
    }

    // Resizing: a length that would fall below zero is refused and the last valid one
    // stays, while the keys still follow (centred, under the body).
    void windowLayout_data()
    {
        QTest::addColumn<bool>("help");
        QTest::addColumn<int>("innerWidth");
        QTest::addColumn<int>("innerHeight");
        QTest::addColumn<Placement>("expected");
        QTest::newRow("help, larger") << true << 12000 << 9000 << Placement{QRect(120, 240, 11800, 8000), QRect(5370, 8480, 1260, 735)};
        QTest::newRow("help, zero body") << true << 200 << 1000 << Placement{QRect(120, 240, 0, 0), QRect(-530, 480, 1260, 735)};
        QTest::newRow("help, too narrow") << true << 150 << 6000 << Placement{QRect(120, 240, 7815, 5000), QRect(-555, 5480, 1260, 735)};
        QTest::newRow("help, too low") << true << 9000 << 900 << Placement{QRect(120, 240, 8800, 4815), QRect(3870, 5295, 1260, 735)};
        QTest::newRow("day, larger") << false << 9000 << 7000 << Placement{QRect(240, 240, 8520, 6000), QRect(1770, 6480, 5460, 495)};
        QTest::newRow("day, narrower than both margins") << false << 479 << 5000
                                                         << Placement{QRect(240, 240, 5325, 4000), QRect(-2490, 4480, 5460, 495)};
        QTest::newRow("day, exactly both margins") << false << 480 << 5000 << Placement{QRect(240, 240, 0, 4000), QRect(-2490, 4480, 5460, 495)};
        QTest::newRow("day, too low") << false << 5805 << 999 << Placement{QRect(240, 240, 5325, 3255), QRect(172, 3735, 5460, 495)};
    }

    void windowLayout()
    {
        QFETCH(bool, help);
        QFETCH(int, innerWidth);
        QFETCH(int, innerHeight);
        QFETCH(Placement, expected);
        const Placement design = help ? Placement{{120, 240, 7815, 4815}, {3480, 5280, 1260, 735}}
                                      : Placement{{240, 240, 5325, 3255}, {480, 4680, 5460, 495}};
        QCOMPARE(help ? WindowLayout::helpWindow(design, innerWidth, innerHeight)
                      : WindowLayout::dayWindow(design, innerWidth, innerHeight),
                 expected);
    }

    // The program's folder may hold spaces and Persian letters; a missing page shows nothing.
    void helpPage_opensFromAnyFolder()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("برنامه های من/Vorn 1.3"));
        QVERIFY(copyFile(binDir() + QStringLiteral("/help/WAPI.htm"), folder + QStringLiteral("/help/WAPI.htm")));
        frmHelp help(folder);
        help.OpenHelpFile(QStringLiteral("help\\WAPI.htm"));
        QVERIFY(!help.isVisible());
        QVERIFY(pageText(help).startsWith(wapiHeading));
        frmHelp missing(dir.path());
        missing.OpenHelpFile(QStringLiteral("help\\DECLARE.htm"));
        QVERIFY(pageText(missing).isEmpty());
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

    // Each shipped page: its heading first; Persian paragraphs right to left and the code
    // left to right; no Persian word cut in two by a change of format (which breaks the
    // joining of its letters); the program's letters (ARABIC YEH, KEHEH); every link leads
    // to a page and an anchor that exist; and it reads without sideways scrolling.
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
        QVERIFY(persian > 20);
        QVERIFY(code > 0);

        const QString folder = binDir() + QStringLiteral("/help/");
        const QString html = readText(folder + page);
        QVERIFY(!html.contains(QChar(0x06CC)) && !html.contains(QChar(0x0643)) && html.contains(QChar(0x064A)));
        static const QRegularExpression href(QStringLiteral("href=\"([^\"]*)\""));
        int links = 0;
        for (const QRegularExpressionMatch &m : href.globalMatch(html)) {
            const QString file = m.captured(1).section(QLatin1Char('#'), 0, 0);
            const QString anchor = m.captured(1).section(QLatin1Char('#'), 1);
            const QString target = readText(folder + (file.isEmpty() ? page : file));
            QVERIFY2(!target.isEmpty(), qPrintable(m.captured(1)));
            QVERIFY2(anchor.isEmpty() || target.contains(QStringLiteral("name=\"%1\"").arg(anchor)), qPrintable(m.captured(1)));
            ++links;
        }
        QVERIFY(links >= 8);

        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        QTRY_COMPARE(help.wbHelp->horizontalScrollBar()->maximum(), 0);
        help.resize(400, 300);
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

    // The examples quote the shipped catalogue's declarations word for word; a PtrSafe one
    // quotes the VBA7 form.
    void declarationsInThePages_matchTheCatalogue()
    {
        CatalogueStore::OpenResult opened = CatalogueStore::open(CatalogueStore::databasePath(binDir()));
        QVERIFY(opened.recordset);
        QHash<QString, const CatalogueRecord *> byName;
        Recordset &rs = *opened.recordset;
        for (qsizetype i = 1; i <= rs.RecordCount(); ++i)
            byName.insert(rs.at(i)[CatalogueRecord::FunctionName], &rs.at(i));
        static const QRegularExpression declare(QStringLiteral("^Private Declare (PtrSafe )?(?:Function|Sub) (\\w+) .*$"),
                                                QRegularExpression::MultilineOption);
        int quoted = 0;
        for (const QString &page : {QStringLiteral("WAPI.htm"), QStringLiteral("DECLARE.htm")}) {
            QTextDocument document;
            document.setHtml(readText(binDir() + QStringLiteral("/help/") + page));
            const QString text = document.toPlainText();
            for (const QRegularExpressionMatch &m : declare.globalMatch(text)) {
                const CatalogueRecord *found = byName.value(m.captured(2));
                QVERIFY2(found, qPrintable(m.captured(2)));
                QString declaration = (*found)[m.hasCaptured(1) ? CatalogueRecord::Vba7Declaration : CatalogueRecord::Declaration];
                declaration.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
                QVERIFY2(text.contains(declaration), qPrintable(declaration));
                QCOMPARE(m.captured(0), declaration.section(QLatin1Char('\n'), -1));
                ++quoted;
            }
        }
        QCOMPARE(quoted, 18);
    }
};

QTEST_MAIN(tst_WindowRules)
#include "tst_windowrules.moc"
