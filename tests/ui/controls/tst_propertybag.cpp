#include "ui/controls/PropertyBag.h"

#include <QTest>

class tst_PropertyBag : public QObject
{
    Q_OBJECT

private slots:
    // Text stored where a number is read (a hand-edited or damaged description): converted
    // when it is a number in range, else the default (-1 here; false for Booleans).
    void storedText_readAsNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("asInt32");
        QTest::addColumn<int>("asInt16");
        QTest::addColumn<bool>("asBoolean");
        QTest::newRow("number") << "80" << 80 << 80 << true;
        QTest::newRow("spaces around") << " 80 " << 80 << 80 << true;
        QTest::newRow("zero") << "0" << 0 << 0 << false;
        QTest::newRow("largest 16-bit") << "32767" << 32767 << 32767 << true;
        QTest::newRow("beyond 16 bits") << "32768" << 32768 << -1 << true;
        QTest::newRow("smallest 16-bit") << "-32768" << -32768 << -32768 << true;
        QTest::newRow("largest 32-bit") << "2147483647" << 2147483647 << -1 << true;
        // Once read as -2147483648: a negative size.
        QTest::newRow("above 2147483647") << "2147483648" << -1 << -1 << true;
        QTest::newRow("far above") << "4294967376" << -1 << -1 << true;
        QTest::newRow("smallest 32-bit") << "-2147483648" << int(-2147483648LL) << -1 << true;
        QTest::newRow("below -2147483648") << "-2147483649" << -1 << -1 << true;
        QTest::newRow("beyond 64 bits") << "99999999999999999999" << -1 << -1 << false;
        QTest::newRow("not a number") << "abc" << -1 << -1 << false;
        QTest::newRow("empty") << "" << -1 << -1 << false;
        QTest::newRow("True") << "True" << -1 << -1 << true;
        QTest::newRow("false in lower case") << "false" << -1 << -1 << false;
        // Qt's conversion stopped at a NUL and took the 44 before it.
        QTest::newRow("NUL inside") << QStringLiteral("44") + QChar(0) + QStringLiteral("junk") << -1 << -1 << false;
    }

    void storedText_readAsNumbers()
    {
        QFETCH(QString, text);
        QFETCH(int, asInt32);
        QFETCH(int, asInt16);
        QFETCH(bool, asBoolean);
        PropertyBag bag;
        bag.writeString(QStringLiteral("K"), text, QStringLiteral("<none>"));
        QCOMPARE(bag.readInt32(QStringLiteral("K"), -1), asInt32);
        QCOMPARE(int(bag.readInt16(QStringLiteral("K"), -1)), asInt16);
        QCOMPARE(bag.readBoolean(QStringLiteral("K"), false), asBoolean);
        QCOMPARE(bag.readString(QStringLiteral("K"), QString()), text);
    }

    // A value equal to its default is not stored, and writing the default again takes a
    // stored value out: the next read gives the default, not the old value.
    void writingTheDefault_removesTheKey()
    {
        PropertyBag bag;
        bag.writeInt32(QStringLiteral("A"), 1, 0);
        bag.writeBoolean(QStringLiteral("B"), false, true);
        bag.writeInt32(QStringLiteral("a"), 3, 0);
        bag.writeInt16(QStringLiteral("C"), 1, 1);
        QCOMPARE(bag.keys(), QStringList({"a", "B"}));
        QCOMPARE(bag.readInt32(QStringLiteral("A"), 0), 3);
        QCOMPARE(bag.readInt32(QStringLiteral("B"), 0), 0);
        QCOMPARE(bag.readString(QStringLiteral("B"), QString()), QStringLiteral("False"));
        bag.writeInt32(QStringLiteral("A"), 0, 0);
        bag.writeBoolean(QStringLiteral("B"), true, true);
        QVERIFY(bag.isEmpty());
        QCOMPARE(bag.readInt32(QStringLiteral("A"), 7), 7);
        QCOMPARE(bag.readBoolean(QStringLiteral("B"), true), true);
    }
};

QTEST_APPLESS_MAIN(tst_PropertyBag)
#include "tst_propertybag.moc"
