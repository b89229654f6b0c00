#include "find/ExecutableTest.h"

#include <QTest>

class tst_ExecutableTest : public QObject
{
    Q_OBJECT

private slots:
    void isExecutable_data();
    void isExecutable();
};

void tst_ExecutableTest::isExecutable_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<bool>("executable");
    QTest::newRow("empty file") << QByteArray() << false;
    QTest::newRow("just MZ") << QByteArray("MZ") << true;
    QTest::newRow("M alone") << QByteArray("M") << false;
    QTest::newRow("ZM is not MZ") << QByteArray("ZM") << false;
    QTest::newRow("mz in lower case") << QByteArray("mz") << false;
    QTest::newRow("text whose third character is Z") << QByteArray("abZ plain text") << true;
    QTest::newRow("z in lower case third") << QByteArray("abz plain text") << false;
    QTest::newRow("0x03 at offset 4 alone") << QByteArray("\0\0\0\0\x03", 5) << true;
    QTest::newRow("0x03 at offset 3") << QByteArray("\0\0\0\x03\0", 5) << false;
    QTest::newRow("0x04 at offset 8 alone") << QByteArray("\0\0\0\0\0\0\0\0\x04", 9) << true;
    QTest::newRow("0xFF at 12 and 13") << QByteArray("............\xFF\xFF", 14) << true;
    QTest::newRow("0xFF at 12 only") << QByteArray("............\xFF", 13) << false;
    QTest::newRow("0xFF at 13 only") << QByteArray("............\x00\xFF", 14) << false;
    QTest::newRow("plain text") << QByteArray("Hello, world: no header here") << false;
    QTest::newRow("standard header") << QByteArray("MZ\x90\0\x03\0\0\0\x04\0\0\0\xFF\xFF", 14) << true;
    QTest::newRow("ELF") << QByteArray("\x7F" "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0", 16) << false;
}

void tst_ExecutableTest::isExecutable()
{
    QFETCH(QByteArray, head);
    QFETCH(bool, executable);
    QCOMPARE(ExecutableTest::isExecutable(head), executable);
}

QTEST_GUILESS_MAIN(tst_ExecutableTest)
#include "tst_executabletest.moc"
