#include "catalogue/DeclarationLayout.h"

#include <QTest>

using namespace DeclarationLayout;

namespace {
const QString brk = QStringLiteral(" _\r\n\t\t\t");
}

class tst_DeclarationLayout : public QObject
{
    Q_OBJECT

private slots:
    void continuationTexts_areEightCharacters()
    {
        QCOMPARE(openingContinuation(), QStringLiteral("( _\r\n\t\t\t"));
        QCOMPARE(openingContinuation().size(), 8);
        QCOMPARE(separatorContinuation(), QStringLiteral(", _\r\n\t\t\t"));
    }

    void workedExamples_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("continuedText");
        QTest::newRow("no parameters")
            << QStringLiteral("Private Declare Function GetTickCount Lib \"kernel32\" () As Long")
            << QStringLiteral("Private Declare Function GetTickCount Lib \"kernel32\" ( _\r\n\t\t\t) As Long");
        QTest::newRow("two parameters")
            << QStringLiteral("Declare Function F Lib \"x\" (ByVal a As Long, ByVal b As Long) As Long")
            << QStringLiteral("Declare Function F Lib \"x\" ( _\r\n\t\t\tByVal a As Long, _\r\n\t\t\tByVal b As Long) As Long");
        QTest::newRow("nothing to break") << QStringLiteral("Const X = 1") << QStringLiteral("Const X = 1");
        QTest::newRow("comma without space untouched")
            << QStringLiteral("a(b,c)") << QStringLiteral("a( _\r\n\t\t\tb,c)");
        QTest::newRow("two spaces: only the first taken")
            << QStringLiteral("(a,  b)") << QStringLiteral("( _\r\n\t\t\ta, _\r\n\t\t\t b)");
        QTest::newRow("parenthesis in a quoted text and an array")
            << QStringLiteral("Lib \"a(b)\" (x() As Byte)")
            << QStringLiteral("Lib \"a( _\r\n\t\t\tb)\" ( _\r\n\t\t\tx( _\r\n\t\t\t) As Byte)");
        QTest::newRow("empty") << QString() << QString();
    }

    void workedExamples()
    {
        QFETCH(QString, stored);
        QFETCH(QString, continuedText);
        QCOMPARE(continued(stored), continuedText);
        QCOMPARE(DeclarationLayout::stored(continuedText), stored);
        QCOMPARE(layOut(stored, true), continuedText);
        QCOMPARE(layOut(continuedText, false), stored);
    }

    void storedLayoutOfStoredText_isUnchanged()
    {
        const QString text = QStringLiteral("Declare Sub S Lib \"k\" (ByVal a As Long, b As Any)");
        QCOMPARE(stored(text), text);
    }

    void continuingTwice_breaksAgain()
    {
        // The text that is already continued holds "( _" whose "(" is found again: the
        // layout is meant to be switched, not applied twice.
        const QString once = continued(QStringLiteral("f(a)"));
        QCOMPARE(continued(once), QStringLiteral("f( _\r\n\t\t\t _\r\n\t\t\ta)"));
    }

    void storedLayout_undoesContinuationsTheTextAlreadyHeld()
    {
        const QString text = QStringLiteral("x, _\r\n\t\t\ty");
        QCOMPARE(stored(text), QStringLiteral("x, y"));
    }
};

QTEST_APPLESS_MAIN(tst_DeclarationLayout)
#include "tst_declarationlayout.moc"
