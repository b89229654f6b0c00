#include "ui/windows/FadeSteps.h"

#include <QTest>

class tst_FadeSteps : public QObject
{
    Q_OBJECT

private slots:
    void fadeIn_stepThree_reaches255In86Settings()
    {
        const std::vector<quint8> steps = FadeSteps::opacities(true, 3);
        QCOMPARE(steps.size(), size_t(86));
        QCOMPARE(steps.front(), quint8(0));
        QCOMPARE(steps[1], quint8(3));
        QCOMPARE(steps[84], quint8(252));
        QCOMPARE(steps.back(), quint8(255));
        for (size_t i = 1; i < steps.size(); ++i)
            QCOMPARE(steps[i] - steps[i - 1], 3);
    }

    void fadeOut_stepThree_endsFullyClear()
    {
        const std::vector<quint8> steps = FadeSteps::opacities(false, 3);
        QCOMPARE(steps.size(), size_t(86));
        QCOMPARE(steps.front(), quint8(255));
        QCOMPARE(steps[1], quint8(252));
        QCOMPARE(steps.back(), quint8(0));
        for (size_t i = 1; i < steps.size(); ++i)
            QCOMPARE(steps[i - 1] - steps[i], 3);
    }

    void stepThatDoesNotDivide255_data()
    {
        QTest::addColumn<bool>("fadeIn");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("last");
        QTest::newRow("in 4") << true << 4 << 64 << 252;
        QTest::newRow("out 4") << false << 4 << 64 << 3;
        QTest::newRow("in 100") << true << 100 << 3 << 200;
        QTest::newRow("out 100") << false << 100 << 3 << 55;
        QTest::newRow("in 1") << true << 1 << 256 << 255;
        QTest::newRow("out 1") << false << 1 << 256 << 0;
        QTest::newRow("in 255") << true << 255 << 2 << 255;
        QTest::newRow("out 255") << false << 255 << 2 << 0;
        QTest::newRow("in 254") << true << 254 << 2 << 254;
    }

    void stepThatDoesNotDivide255()
    {
        QFETCH(bool, fadeIn);
        QFETCH(int, step);
        QFETCH(int, count);
        QFETCH(int, last);
        const std::vector<quint8> steps = FadeSteps::opacities(fadeIn, quint8(step));
        QCOMPARE(int(steps.size()), count);
        QCOMPARE(int(steps.back()), last);
        QCOMPARE(int(steps.front()), fadeIn ? 0 : 255);
    }

    // A step of 0 would loop for ever; the fade jumps to its end instead.
    void stepZero_endsAtOnce()
    {
        QCOMPARE(FadeSteps::opacities(true, 0), std::vector<quint8>{255});
        QCOMPARE(FadeSteps::opacities(false, 0), std::vector<quint8>{0});
    }
};

QTEST_APPLESS_MAIN(tst_FadeSteps)
#include "tst_fadesteps.moc"
