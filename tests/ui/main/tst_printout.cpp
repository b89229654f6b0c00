#include "platform/Texts.h"
#include "support/PdfText.h"
#include "ui/main/PrintOut.h"

#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {

using Line = PrintJob::Line;

const QString courier = QStringLiteral("Courier New");
const QString tahoma = QStringLiteral("Tahoma");

bool printToPdf(const QString &path, const QList<Line> &lines)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    return PrintOut::print(printer, lines);
}

// The words of the page whose text is one of the given texts, in reading order.
QList<PdfText::Word> wordsOn(const PdfText::Document &document, double top, double bottom)
{
    QList<PdfText::Word> found;
    for (const PdfText::Word &word : document.words)
        if (word.page == 0 && word.box.center().y() > top && word.box.center().y() < bottom)
            found.append(word);
    return found;
}

const PdfText::Word *findWord(const PdfText::Document &document, const QString &text)
{
    for (const PdfText::Word &word : document.words)
        if (word.text == text)
            return &word;
    return nullptr;
}

} // namespace

class tst_PrintOut : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        if (!PdfText::available())
            QSKIP("pdftotext (poppler-utils) is not installed");
    }

    void linesArePrintedInOrder()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
        const FunctionView view{QStringLiteral("Beep"),
                                QStringLiteral("Private Declare Function Beep Lib \"kernel32\" ( _\r\n\t\t\t"
                                               "ByVal dwFreq As Long, _\r\n\t\t\tByVal dwDuration As Long) As Long"),
                                Texts::alreadyRunning + QStringLiteral("\r\n") + Texts::mnuCopy2};
        QVERIFY(printToPdf(pdf, PrintJob::lines(view)));

        const std::optional<QString> text = PdfText::text(pdf);
        QVERIFY(text);
        const QStringList expectedInOrder = {
            QStringLiteral("Private Declare Function Beep Lib \"kernel32\" ( _"),
            QStringLiteral("ByVal dwFreq As Long, _"),
            QStringLiteral("ByVal dwDuration As Long) As Long"),
            Texts::alreadyRunning,
            Texts::mnuCopy2,
        };
        qsizetype from = 0;
        for (const QString &expected : expectedInOrder) {
            const qsizetype at = text->indexOf(expected, from);
            QVERIFY2(at >= 0, qPrintable(QStringLiteral("missing or out of order: ") + expected + QStringLiteral("\n") + *text));
            from = at + expected.size();
        }
    }

    void indentedLines_stayOnThePage_indentedUnderTheFirst()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
        QVERIFY(printToPdf(pdf, PrintJob::lines({QString(), QStringLiteral("Declare ( _\r\n\t\t\tByVal"), QString()})));
        const std::optional<PdfText::Document> document = PdfText::words(pdf);
        QVERIFY(document);
        const PdfText::Word *declare = findWord(*document, QStringLiteral("Declare"));
        const PdfText::Word *byVal = findWord(*document, QStringLiteral("ByVal"));
        QVERIFY(declare && byVal);
        const double characterWidth = declare->box.width() / 7;
        // Three tabs of four characters each in a fixed-pitch font.
        QVERIFY2(qAbs(byVal->box.left() - declare->box.left() - 12 * characterWidth) < characterWidth / 2,
                 qPrintable(QString::number(byVal->box.left())));
        QVERIFY(byVal->box.top() > declare->box.top());
    }

    void description_isLaidRightToLeft_fromTheRightEdge()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
        const QList<Line> lines = {{QStringLiteral("Declare"), courier, false},
                                   {QString(), courier, false},
                                   {QString(), courier, false},
                                   {Texts::alreadyRunning, tahoma, true}};
        QVERIFY(printToPdf(pdf, lines));
        const std::optional<PdfText::Document> document = PdfText::words(pdf);
        QVERIFY(document);
        QCOMPARE(document->pageSizes.size(), 1);
        const double pageWidth = document->pageSizes.constFirst().width();

        const PdfText::Word *declare = findWord(*document, QStringLiteral("Declare"));
        QVERIFY(declare);
        const double leftEdge = declare->box.left();
        QVERIFY(leftEdge < pageWidth / 4);

        const QList<PdfText::Word> description = wordsOn(*document, declare->box.bottom() + 1, 10000);
        QVERIFY(!description.isEmpty());
        const PdfText::Word *rightmost = &description.constFirst();
        const PdfText::Word *leftmost = &description.constFirst();
        for (const PdfText::Word &word : description) {
            if (word.box.right() > rightmost->box.right())
                rightmost = &word;
            if (word.box.left() < leftmost->box.left())
                leftmost = &word;
        }
        // The line ends at the right edge of the printable area, as far in as the left
        // one starts (the margins are even), and its first letters are the rightmost.
        const double rightEdge = pageWidth - leftEdge;
        QVERIFY2(qAbs(rightmost->box.right() - rightEdge) < 2.0, qPrintable(QString::number(rightmost->box.right())));
        QVERIFY(leftmost->box.left() > pageWidth / 2);
        QVERIFY2(Texts::alreadyRunning.startsWith(rightmost->text), qPrintable(rightmost->text));
        QVERIFY2(Texts::alreadyRunning.endsWith(leftmost->text), qPrintable(leftmost->text));
    }

    // Long lines ran past the page edge and were lost on paper. Now every word is printed,
    // in order, inside margins of at least 10 mm; a description stays right to left.
    void longLine_wasCutAtThePageEdge_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("font");
        QTest::addColumn<bool>("rightToLeft");
        QTest::newRow("declaration") << QStringLiteral("ByVal") << courier << false;
        QTest::newRow("description") << QStringLiteral("پيام") << tahoma << true;
        QTest::newRow("one long word") << QString(300, QLatin1Char('x')) << courier << false;
    }

    void longLine_wasCutAtThePageEdge()
    {
        QFETCH(QString, word);
        QFETCH(QString, font);
        QFETCH(bool, rightToLeft);
        QStringList words;
        for (int i = 0; i < (word.size() > 100 ? 1 : 60); ++i)
            words << (i == 0 && rightToLeft ? QStringLiteral("تابع") : word + QString::number(i));
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
        QVERIFY(printToPdf(pdf, {{words.join(QLatin1Char(' ')), font, rightToLeft}}));
        const std::optional<PdfText::Document> document = PdfText::words(pdf);
        QVERIFY(document);
        const double margin = 10 / 25.4 * 72 - 0.5;
        const double pageWidth = document->pageSizes.constFirst().width();
        QString printed;
        double firstTop = 1e9;
        const PdfText::Word *first = nullptr;
        for (const PdfText::Word &w : document->words) {
            QVERIFY2(w.box.left() >= margin && w.box.right() <= pageWidth - margin, qPrintable(w.text));
            printed += w.text;
            if (w.box.top() < firstTop - 1 || (qAbs(w.box.top() - firstTop) <= 1 && rightToLeft
                                                 && w.box.right() > first->box.right())) {
                firstTop = w.box.top();
                first = &w;
            }
        }
        QVERIFY(document->words.size() >= 2); // wrapped onto more than one line
        // Every letter is on paper (right-to-left lines come back in the order they are seen).
        const auto letters = [rightToLeft](QString text) {
            text.remove(QLatin1Char(' '));
            if (rightToLeft)
                std::sort(text.begin(), text.end());
            return text;
        };
        QCOMPARE(letters(printed), letters(PdfText::folded(words.join(QString()))));
        if (rightToLeft) // the first word stands at the right of the first line
            QVERIFY2(!first->text.isEmpty() && PdfText::folded(words.constFirst()).startsWith(first->text),
                     qPrintable(first->text));
    }

    void manyLines_goOnToANewPage()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
        QList<Line> lines;
        for (int i = 1; i <= 200; ++i)
            lines.append({QStringLiteral("line%1").arg(i), courier, false});
        QVERIFY(printToPdf(pdf, lines));
        const std::optional<PdfText::Document> document = PdfText::words(pdf);
        QVERIFY(document);
        QVERIFY(document->pageSizes.size() >= 2);
        const PdfText::Word *first = findWord(*document, QStringLiteral("line1"));
        const PdfText::Word *last = findWord(*document, QStringLiteral("line200"));
        QVERIFY(first && last);
        QCOMPARE(first->page, 0);
        QCOMPARE(last->page, int(document->pageSizes.size()) - 1);
        // Every line is there once, none lost at a page break.
        int count = 0;
        for (const PdfText::Word &word : document->words)
            count += word.text.startsWith(QLatin1String("line")) ? 1 : 0;
        QCOMPARE(count, 200);
    }

    void fileThatCannotBeCreated_failsThePrint()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("no such folder/out.pdf"));
        QVERIFY(!printToPdf(pdf, {{QStringLiteral("x"), courier, false}}));
        QVERIFY(!QFile::exists(pdf));
    }
};

QTEST_MAIN(tst_PrintOut)
#include "tst_printout.moc"
