#include "output/PrintJob.h"
#include "platform/Texts.h"

#include <QTest>

using Line = PrintJob::Line;

class tst_PrintJob : public QObject
{
    Q_OBJECT

private slots:
    void fonts()
    {
        QCOMPARE(PrintJob::declarationFont, QStringLiteral("Courier New"));
        QCOMPARE(PrintJob::descriptionFont, QStringLiteral("Tahoma"));
    }

    void declarationTwoEmptyLinesDescription_notTheName()
    {
        const FunctionView view{QStringLiteral("GetTickCount"),
                                QStringLiteral("Private Declare Function GetTickCount Lib \"kernel32\" () As Long"),
                                Texts::mnuCopy0 + QStringLiteral("\r\n") + Texts::mnuCopy2};
        const QList<Line> expected = {
            {QStringLiteral("Private Declare Function GetTickCount Lib \"kernel32\" () As Long"),
             QStringLiteral("Courier New"), false},
            {QString(), QStringLiteral("Courier New"), false},
            {QString(), QStringLiteral("Courier New"), false},
            {Texts::mnuCopy0, QStringLiteral("Tahoma"), true},
            {Texts::mnuCopy2, QStringLiteral("Tahoma"), true},
        };
        QCOMPARE(PrintJob::lines(view), expected);
    }

    void formattedDeclaration_printsOneLinePerLine()
    {
        // The declaration is printed as shown: "Private" is not changed on paper.
        const FunctionView view{QStringLiteral("Beep"),
                                QStringLiteral("Private Declare Function Beep Lib \"kernel32\" ( _\r\n\t\t\t"
                                               "ByVal dwFreq As Long, _\r\n\t\t\tByVal dwDuration As Long) As Long"),
                                QStringLiteral("x")};
        const QList<Line> lines = PrintJob::lines(view);
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines.at(0).text, QStringLiteral("Private Declare Function Beep Lib \"kernel32\" ( _"));
        QCOMPARE(lines.at(1).text, QString(12, QLatin1Char(' ')) + QStringLiteral("ByVal dwFreq As Long, _"));
        QCOMPARE(lines.at(2).text, QString(12, QLatin1Char(' ')) + QStringLiteral("ByVal dwDuration As Long) As Long"));
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(lines.at(i).fontName, QStringLiteral("Courier New"));
            QVERIFY(!lines.at(i).rightToLeft);
        }
        QCOMPARE(lines.at(5), (Line{QStringLiteral("x"), QStringLiteral("Tahoma"), true}));
    }

    void emptyView_stillPrintsTheFrame()
    {
        const QList<Line> expected = {
            {QString(), QStringLiteral("Courier New"), false},
            {QString(), QStringLiteral("Courier New"), false},
            {QString(), QStringLiteral("Courier New"), false},
            {QString(), QStringLiteral("Tahoma"), true},
        };
        QCOMPARE(PrintJob::lines(FunctionView{}), expected);
    }

    void expandTabs_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("expanded");
        QTest::newRow("none") << "abc" << "abc";
        QTest::newRow("leading") << "\tx" << "    x";
        QTest::newRow("three leading") << "\t\t\tx" << "            x";
        QTest::newRow("after one character") << "a\tx" << "a   x";
        QTest::newRow("after three characters") << "abc\tx" << "abc x";
        QTest::newRow("after four characters") << "abcd\tx" << "abcd    x";
        QTest::newRow("trailing") << "ab\t" << "ab  ";
        QTest::newRow("empty") << "" << "";
    }

    void expandTabs()
    {
        QFETCH(QString, line);
        QFETCH(QString, expanded);
        QCOMPARE(PrintJob::expandTabs(line), expanded);
    }

    void descriptionTabs_areExpandedToo()
    {
        const QList<Line> lines = PrintJob::lines({QString(), QString(), QStringLiteral("\tx")});
        QCOMPARE(lines.constLast().text, QStringLiteral("    x"));
    }

    void loneBreaks_startNewLines()
    {
        const QList<Line> lines = PrintJob::lines({QString(), QStringLiteral("a\nb"), QStringLiteral("c\rd\r\n")});
        QStringList texts;
        for (const Line &line : lines)
            texts << line.text;
        QCOMPARE(texts, QStringList({"a", "b", "", "", "c", "d", ""}));
    }
};

QTEST_APPLESS_MAIN(tst_PrintJob)
#include "tst_printjob.moc"
