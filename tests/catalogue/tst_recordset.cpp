#include "support/TestCatalogue.h"

#include <QTest>

class tst_Recordset : public QObject
{
    Q_OBJECT

private slots:
    void emptyTable_moveFirstIsAtEnd()
    {
        Recordset rs = recordsetOf({});
        rs.MoveFirst();
        QVERIFY(rs.atEOF());
        QCOMPARE(rs.field(0), nullptr);
        rs.MoveNext();
        QVERIFY(rs.atEOF());
        rs.MoveLast();
        QVERIFY(rs.atEOF());
    }

    void walk_givesPositionsInStoredOrder()
    {
        Recordset rs = recordsetOf({record("c"), record("a"), record("b")});
        QStringList names;
        QList<qsizetype> positions;
        for (rs.MoveFirst(); !rs.atEOF(); rs.MoveNext()) {
            names << *rs.field(0);
            positions << rs.AbsolutePosition();
        }
        QCOMPARE(names, QStringList({"c", "a", "b"}));
        QCOMPARE(positions, QList<qsizetype>({1, 2, 3}));
        QVERIFY(rs.atEOF());
        QCOMPARE(rs.field(0), nullptr); // reading past the end fails
    }

    void movePreviousBeforeFirst_isAtBeginningAndReadingFails()
    {
        Recordset rs = recordsetOf({record("a"), record("b")});
        rs.MoveFirst();
        rs.MovePrevious();
        QVERIFY(rs.atBOF());
        QCOMPARE(rs.field(0), nullptr);
        rs.MoveNext();
        QCOMPARE(*rs.field(0), QStringLiteral("a"));
    }

    void moveLastAndAbsolutePosition()
    {
        Recordset rs = recordsetOf({record("a"), record("b"), record("c")});
        rs.MoveLast();
        QCOMPARE(*rs.field(0), QStringLiteral("c"));
        QVERIFY(rs.setAbsolutePosition(2));
        QCOMPARE(*rs.field(0), QStringLiteral("b"));
        QVERIFY(!rs.setAbsolutePosition(0));
        QVERIFY(!rs.setAbsolutePosition(4));
        QCOMPARE(rs.AbsolutePosition(), qsizetype(2));
        rs.MoveNext();
        rs.MoveNext();
        QVERIFY(rs.atEOF());
        rs.MovePrevious();
        QCOMPARE(*rs.field(0), QStringLiteral("c"));
    }

    void fieldOutOfRange_fails()
    {
        Recordset rs = recordsetOf({record("a", "d", "l", "w", "x", "v")});
        rs.MoveFirst();
        QCOMPARE(*rs.field(5), QStringLiteral("v"));
        QCOMPARE(rs.field(6), nullptr);
        QCOMPARE(rs.field(-1), nullptr);
    }

    void close_leavesNothingToRead()
    {
        Recordset rs = recordsetOf({record("a")});
        rs.Close();
        rs.MoveFirst();
        QVERIFY(rs.atEOF());
        QCOMPARE(rs.current(), nullptr);
    }
};

QTEST_APPLESS_MAIN(tst_Recordset)
#include "tst_recordset.moc"
