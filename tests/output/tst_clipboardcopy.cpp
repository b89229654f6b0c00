#include "output/ClipboardCopy.h"

#include <QTest>

class tst_ClipboardCopy : public QObject
{
    Q_OBJECT

private slots:
    void eachIndexCopiesItsField_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::newRow("0 name") << 0 << "Beep";
        QTest::newRow("1 declaration as shown") << 1 << "Declare Function Beep ( _\r\n\t\t\tByVal a As Long)";
        QTest::newRow("2 description") << 2 << "line one\r\nline two";
    }

    void eachIndexCopiesItsField()
    {
        QFETCH(int, index);
        QFETCH(QString, text);
        const FunctionView view{QStringLiteral("Beep"),
                                QStringLiteral("Declare Function Beep ( _\r\n\t\t\tByVal a As Long)"),
                                QStringLiteral("line one\r\nline two")};
        QCOMPARE(ClipboardCopy::copiedText(view, index), std::optional<QString>(text));
    }

    void emptyDescription_copiesEmptyText()
    {
        const std::optional<QString> text = ClipboardCopy::copiedText({QStringLiteral("A"), QStringLiteral("B"), {}}, 2);
        QVERIFY(text.has_value());
        QVERIFY(text->isEmpty());
    }

    void indexOutsideTheGroup_copiesNothing()
    {
        const FunctionView view{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
        QVERIFY(!ClipboardCopy::copiedText(view, -1).has_value());
        QVERIFY(!ClipboardCopy::copiedText(view, 3).has_value());
    }
};

QTEST_APPLESS_MAIN(tst_ClipboardCopy)
#include "tst_clipboardcopy.moc"
