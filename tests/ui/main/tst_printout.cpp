#include "platform/Texts.h"
#include "support/PdfText.h"
#include "ui/main/PrintOut.h"

#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

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

    void longLine_isNotWrapped()
    {
        QTemporaryDir dir;
        const QString shortPdf = dir.filePath(QStringLiteral("short.pdf"));
        const QString longPdf = dir.filePath(QStringLiteral("long.pdf"));
        QVERIFY(printToPdf(shortPdf, {{QStringLiteral("first"), courier, false}, {QStringLiteral("second"), courier, false}}));
        const QString longLine = QStringLiteral("first ") + QString(400, QLatin1Char('x'));
        QVERIFY(printToPdf(longPdf, {{longLine, courier, false}, {QStringLiteral("second"), courier, false}}));

        const std::optional<PdfText::Document> shortDocument = PdfText::words(shortPdf);
        const std::optional<PdfText::Document> longDocument = PdfText::words(longPdf);
        QVERIFY(shortDocument && longDocument);
        const PdfText::Word *secondShort = findWord(*shortDocument, QStringLiteral("second"));
        const PdfText::Word *secondLong = findWord(*longDocument, QStringLiteral("second"));
        QVERIFY(secondShort && secondLong);
        QCOMPARE(secondLong->page, 0);
        QVERIFY(qAbs(secondLong->box.top() - secondShort->box.top()) < 0.5);
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
