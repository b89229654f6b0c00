#include "support/TestCatalogue.h"
#include "ui/controls/Resizer.h"
#include "ui/controls/TwipPlacement.h"
#include "ui/main/TextBox.h"
#include "ui/windows/frmDayApi.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// Three functions with their declaration and description, in catalogue order.
Recordset threeFunctions()
{
    return recordsetOf({
        record("Beep", "Private Declare Function Beep Lib \"kernel32\" (ByVal dwFreq As Long, ByVal dwDuration As Long) As Long",
               "kernel32", "", QStringLiteral("بوق\r\nبا بلندگوي سيستم")),
        record("GetTickCount", "Private Declare Function GetTickCount Lib \"kernel32\" () As Long", "kernel32", "",
               QStringLiteral("مدت روشن بودن")),
        record("Sleep", "Private Declare Sub Sleep Lib \"kernel32\" (ByVal dwMilliseconds As Long)", "kernel32", "",
               QStringLiteral("درنگ")),
    });
}

// A draw that lands on the record at that 1-based position of a catalogue of count records.
std::function<double()> drawFor(qint64 position, qint64 count)
{
    return [=] { return (position - 0.5) / count; };
}

} // namespace

class tst_frmDayApi : public QObject
{
    Q_OBJECT

private slots:
    void design()
    {
        Recordset rs = threeFunctions();
        frmDayApi day(rs, 3);
        QCOMPARE(day.windowTitle(), QStringLiteral("تابع روز"));
        QCOMPARE(day.cmdNext->text(), QStringLiteral("تابع بعدي"));
        QCOMPARE(day.cmdBack->text(), QStringLiteral("تابع قبلي"));
        QCOMPARE(day.cmdRandom->text(), QStringLiteral("تصادفي"));
        QCOMPARE(day.cmdOK->text(), QStringLiteral("برگشت"));
        QCOMPARE(day.font().family(), QStringLiteral("Tahoma"));
        QCOMPARE(day.txtFunction->font().family(), QStringLiteral("Courier New"));
        QCOMPARE(day.txtFunction->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(day.txtComment->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        // The window's own splitter: stacked, declaration above description.
        QCOMPARE(day.resFunction->objectName(), QStringLiteral("resFunction"));
        QCOMPARE(day.resFunction->Orientation(), 0);
        QCOMPARE(day.resFunction->SeparatorSize(), 80);
        QCOMPARE(day.resFunction->BorderStyle(), 0);
        QCOMPARE(day.resFunction->MinControlSize1(), 500);
        QCOMPARE(day.resFunction->MinControlSize2(), 500);
        QVERIFY(day.resFunction->AutoResize());
        QCOMPARE(day.resFunction->controlAt(1), day.txtFunction);
        QCOMPARE(day.resFunction->controlAt(2), day.txtComment);
        QCOMPARE(TwipPlacement::geometry(day.resFunction), QRect(240, 240, 5325, 3255));
        for (QPushButton *b : {day.cmdNext, day.cmdBack, day.cmdRandom, day.cmdOK})
            QCOMPARE(b->parentWidget(), day.picKeys);
        QCOMPARE(TwipPlacement::geometry(day.cmdNext), QRect(0, 0, 1215, 375));
        QCOMPARE(TwipPlacement::geometry(day.cmdBack), QRect(1320, 0, 1215, 375));
        QCOMPARE(TwipPlacement::geometry(day.cmdRandom), QRect(2880, 0, 1215, 375));
        QCOMPARE(TwipPlacement::geometry(day.cmdOK), QRect(4200, 0, 1215, 375));
    }

    void getRandomApi_showsDeclarationAndDescription()
    {
        Recordset rs = threeFunctions();
        frmDayApi day(rs, 3);
        day.setDraw(drawFor(1, 3));
        day.GetRandomApi();
        QCOMPARE(rs.AbsolutePosition(), 1);
        QCOMPARE(day.txtFunction->text(), rs.at(1)[CatalogueRecord::Declaration]);
        // The description keeps its Windows line breaks exactly.
        QCOMPARE(day.txtComment->text(), QStringLiteral("بوق\r\nبا بلندگوي سيستم"));
        day.setDraw(drawFor(3, 3));
        day.cmdRandom->click();
        QCOMPARE(rs.AbsolutePosition(), 3);
        QCOMPARE(day.txtComment->text(), QStringLiteral("درنگ"));
    }

    void randomPicks_stayWithin1ToCount_andCanRepeat()
    {
        Recordset rs = threeFunctions();
        frmDayApi day(rs, 3);
        QList<qsizetype> picks;
        for (int i = 0; i < 300; ++i) {
            day.GetRandomApi();
            const qsizetype n = rs.AbsolutePosition();
            QVERIFY(n >= 1 && n <= 3);
            QCOMPARE(day.txtFunction->text(), rs.at(n)[CatalogueRecord::Declaration]);
            picks << n;
        }
        bool repeated = false;
        for (qsizetype i = 1; i < picks.size(); ++i)
            repeated = repeated || picks[i] == picks[i - 1];
        QVERIFY(repeated);
        QVERIFY(picks.contains(1) && picks.contains(2) && picks.contains(3));
    }

    void next_wrapsFromTheLastToTheFirst()
    {
        Recordset rs = threeFunctions();
        frmDayApi day(rs, 3);
        day.setDraw(drawFor(2, 3));
        day.GetRandomApi();
        QTest::mouseClick(day.cmdNext, Qt::LeftButton);
        QCOMPARE(day.txtComment->text(), QStringLiteral("درنگ"));
        QTest::mouseClick(day.cmdNext, Qt::LeftButton);
        QCOMPARE(day.txtComment->text(), QStringLiteral("بوق\r\nبا بلندگوي سيستم"));
        QCOMPARE(rs.AbsolutePosition(), 1);
    }

    void previous_wrapsFromTheFirstToTheLast()
    {
        Recordset rs = threeFunctions();
        frmDayApi day(rs, 3);
        day.setDraw(drawFor(1, 3));
        day.GetRandomApi();
        QTest::mouseClick(day.cmdBack, Qt::LeftButton);
        QCOMPARE(rs.AbsolutePosition(), 3);
        QCOMPARE(day.txtComment->text(), QStringLiteral("درنگ"));
        QTest::mouseClick(day.cmdBack, Qt::LeftButton);
        QCOMPARE(day.txtComment->text(), QStringLiteral("مدت روشن بودن"));
    }

    void oneRecord_nextAndPreviousAlwaysShowIt()
    {
        Recordset rs = recordsetOf({record("Beep", "decl", "kernel32", "", QStringLiteral("بوق"))});
        frmDayApi day(rs, 1);
        for (int i = 0; i < 20; ++i) {
            day.GetRandomApi();
            QCOMPARE(rs.AbsolutePosition(), 1);
        }
        for (QPushButton *step : {day.cmdNext, day.cmdBack, day.cmdNext, day.cmdNext, day.cmdBack, day.cmdBack}) {
            QTest::mouseClick(step, Qt::LeftButton);
            QCOMPARE(day.txtFunction->text(), QStringLiteral("decl"));
            QCOMPARE(day.txtComment->text(), QStringLiteral("بوق"));
        }
    }

    // Nothing to pick: empty boxes, the step buttons off, and the window still closes.
    void emptyCatalogue_neitherCrashesNorHangs()
    {
        Recordset rs = recordsetOf({});
        frmDayApi day(rs, 0);
        day.GetRandomApi();
        QVERIFY(day.txtFunction->text().isEmpty());
        QVERIFY(day.txtComment->text().isEmpty());
        QVERIFY(!day.cmdNext->isEnabled());
        QVERIFY(!day.cmdBack->isEnabled());
        QVERIFY(!day.cmdRandom->isEnabled());
        QVERIFY(day.cmdOK->isEnabled());
        day.cmdNext_Click();
        day.cmdBack_Click();
        day.cmdRandom_Click();
        QVERIFY(day.txtFunction->text().isEmpty());
        QTimer::singleShot(0, &day, [&day] { day.cmdOK->click(); });
        day.exec();
        QVERIFY(!day.isVisible());
    }

    void close_inADayRun_endsTheProgram_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("cmdOK") << "cmdOK";
        QTest::newRow("frame") << "frame";
        QTest::newRow("Escape") << "Escape";
    }

    // In a "-d" run every way of closing ends the program.
    void close_inADayRun_endsTheProgram()
    {
        QFETCH(QString, how);
        Recordset rs = threeFunctions();
        int ended = 0;
        frmDayApi day(rs, 3, {[] { return true; }, [&ended] { ++ended; }});
        day.GetRandomApi();
        QTimer::singleShot(0, &day, [&] {
            if (how == QLatin1String("cmdOK"))
                QTest::mouseClick(day.cmdOK, Qt::LeftButton);
            else if (how == QLatin1String("frame"))
                day.close();
            else
                QTest::keyClick(&day, Qt::Key_Escape);
        });
        day.exec();
        QCOMPARE(ended, 1);
        QVERIFY(!day.isVisible());
    }

    // Opened from the menu, closing only closes.
    void close_outsideADayRun_onlyCloses_data() { close_inADayRun_endsTheProgram_data(); }

    void close_outsideADayRun_onlyCloses()
    {
        QFETCH(QString, how);
        Recordset rs = threeFunctions();
        int ended = 0;
        frmDayApi day(rs, 3, {[] { return false; }, [&ended] { ++ended; }});
        day.GetRandomApi();
        QTimer::singleShot(0, &day, [&] {
            if (how == QLatin1String("cmdOK"))
                QTest::mouseClick(day.cmdOK, Qt::LeftButton);
            else if (how == QLatin1String("frame"))
                day.close();
            else
                QTest::keyClick(&day, Qt::Key_Escape);
        });
        day.exec();
        QCOMPARE(ended, 0);
        QVERIFY(!day.isVisible());
    }

    void resize_followsTheRules()
    {
        Recordset rs = threeFunctions();
        frmDayApi day(rs, 3);
        day.show();
        QVERIFY(QTest::qWaitForWindowExposed(&day));
        if (day.logicalDpiX() != 96 || day.logicalDpiY() != 96)
            QSKIP("pixel figures assume 96 dpi");
        day.resize(600, 466); // 9000 x 6990 twips
        QCOMPARE(TwipPlacement::geometry(day.resFunction), QRect(240, 240, 8520, 5990));
        QCOMPARE(TwipPlacement::geometry(day.picKeys), QRect(1770, 6470, 5460, 495));
        // The splitter lays out its two boxes: the declaration keeps its height, the
        // description takes the rest below the 80-twip strip.
        const QRect function = TwipPlacement::geometry(day.txtFunction);
        const QRect comment = TwipPlacement::geometry(day.txtComment);
        QCOMPARE(function.width(), 8520);
        QCOMPARE(comment.top(), function.height() + 80);
        QCOMPARE(comment.top() + comment.height(), 5990);
    }

    // Narrower than twice the splitter's left margin: the splitter keeps its last width.
    void narrowWindow_keepsTheSplittersLastValidWidth()
    {
        Recordset rs = threeFunctions();
        frmDayApi day(rs, 3);
        day.show();
        QVERIFY(QTest::qWaitForWindowExposed(&day));
        day.resize(500, 400);
        const int width = day.resFunction->width();
        QCOMPARE(width, 500 - 2 * day.resFunction->x());
        day.resize(day.resFunction->x() * 2 - 1, 400);
        QCOMPARE(day.resFunction->width(), width);
        day.resize(3, 3);
        QCOMPARE(day.resFunction->width(), width);
        QVERIFY(day.picKeys->x() < 0);
    }
};

QTEST_MAIN(tst_frmDayApi)
#include "tst_frmdayapi.moc"
