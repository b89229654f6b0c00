#include "support/TestCatalogue.h"
#include "ui/windows/DayWalk.h"

#include <QSet>
#include <QTest>

#include <cmath>
#include <limits>

namespace {

Recordset catalogueOf(int count)
{
    std::vector<CatalogueRecord> records;
    for (int i = 1; i <= count; ++i)
        records.push_back(record(QStringLiteral("F%1").arg(i)));
    return recordsetOf(std::move(records));
}

QString currentName(const Recordset &rs)
{
    const QString *name = rs.field(CatalogueRecord::FunctionName);
    return name ? *name : QStringLiteral("<none>");
}

const double justBelowOne = std::nextafter(1.0, 0.0);

} // namespace

class tst_DayWalk : public QObject
{
    Q_OBJECT

private slots:
    void randomPosition_data()
    {
        QTest::addColumn<double>("r");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<qint64>("position");
        QTest::newRow("zero draw is the first") << 0.0 << qint64(147) << qint64(1);
        QTest::newRow("highest draw is the last") << justBelowOne << qint64(147) << qint64(147);
        QTest::newRow("half") << 0.5 << qint64(10) << qint64(6);
        QTest::newRow("just below a boundary") << 0.0999 << qint64(10) << qint64(1);
        QTest::newRow("on a boundary") << 0.1 << qint64(10) << qint64(2);
        QTest::newRow("one record") << 0.999 << qint64(1) << qint64(1);
        // Wider than the 16 bits the count was once kept in.
        QTest::newRow("large catalogue") << justBelowOne << qint64(100000) << qint64(100000);
        QTest::newRow("large catalogue middle") << 0.5 << qint64(100000) << qint64(50001);
        QTest::newRow("empty catalogue") << 0.5 << qint64(0) << qint64(0);
        // A draw out of its range never reaches outside the catalogue.
        QTest::newRow("draw of one") << 1.0 << qint64(10) << qint64(10);
        QTest::newRow("negative draw") << -0.5 << qint64(10) << qint64(1);
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << qint64(10) << qint64(1);
    }

    void randomPosition()
    {
        QFETCH(double, r);
        QFETCH(qint64, count);
        QFETCH(qint64, position);
        QCOMPARE(DayWalk::randomPosition(r, count), position);
    }

    void drawsFromTheClock_stayWithinTheCatalogueAndRepeat()
    {
        const qint64 count = 5;
        QSet<qint64> seen;
        bool repeated = false;
        qint64 previous = 0;
        for (int i = 0; i < 2000; ++i) {
            const double r = DayWalk::drawFromClock();
            QVERIFY(r >= 0.0 && r < 1.0);
            const qint64 n = DayWalk::randomPosition(r, count);
            QVERIFY(n >= 1 && n <= count);
            repeated = repeated || n == previous;
            previous = n;
            seen.insert(n);
        }
        // Every record can come up, and a pick may repeat the one before it.
        QCOMPARE(seen.size(), 5);
        QVERIFY(repeated);
    }

    void next_wrapsFromTheLastToTheFirst()
    {
        Recordset rs = catalogueOf(3);
        QVERIFY(rs.setAbsolutePosition(2));
        DayWalk::next(rs);
        QCOMPARE(currentName(rs), QStringLiteral("F3"));
        DayWalk::next(rs);
        QCOMPARE(currentName(rs), QStringLiteral("F1"));
        QCOMPARE(rs.AbsolutePosition(), 1);
    }

    void previous_wrapsFromTheFirstToTheLast()
    {
        Recordset rs = catalogueOf(3);
        QVERIFY(rs.setAbsolutePosition(2));
        DayWalk::previous(rs);
        QCOMPARE(currentName(rs), QStringLiteral("F1"));
        DayWalk::previous(rs);
        QCOMPARE(currentName(rs), QStringLiteral("F3"));
        QCOMPARE(rs.AbsolutePosition(), 3);
    }

    void oneRecord_nextAndPreviousStayOnIt()
    {
        Recordset rs = catalogueOf(1);
        QVERIFY(rs.setAbsolutePosition(1));
        for (int i = 0; i < 3; ++i) {
            DayWalk::next(rs);
            QCOMPARE(currentName(rs), QStringLiteral("F1"));
            DayWalk::previous(rs);
            QCOMPARE(currentName(rs), QStringLiteral("F1"));
        }
    }

    // Another walk may have left the cursor past either end (a name lookup runs to EOF).
    void fromPastTheEnds_stepsOntoARecord()
    {
        Recordset rs = catalogueOf(3);
        rs.MoveLast();
        rs.MoveNext();
        QVERIFY(rs.atEOF());
        DayWalk::next(rs);
        QCOMPARE(currentName(rs), QStringLiteral("F1"));
        rs.MoveFirst();
        rs.MovePrevious();
        QVERIFY(rs.atBOF());
        DayWalk::previous(rs);
        QCOMPARE(currentName(rs), QStringLiteral("F3"));
    }

    void emptyCatalogue_walksNowhere()
    {
        Recordset rs = catalogueOf(0);
        DayWalk::next(rs);
        QVERIFY(!rs.current());
        DayWalk::previous(rs);
        QVERIFY(!rs.current());
    }
};

QTEST_APPLESS_MAIN(tst_DayWalk)
#include "tst_daywalk.moc"
