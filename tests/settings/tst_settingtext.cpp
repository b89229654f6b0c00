#include "settings/SettingText.h"

#include <QTest>

class tst_SettingText : public QObject
{
    Q_OBJECT

private slots:
    void wholeNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("converts");
        QTest::addColumn<int>("value");
        QTest::newRow("4000") << "4000" << true << 4000;
        QTest::newRow("zero") << "0" << true << 0;
        QTest::newRow("negative") << "-15" << true << -15;
        QTest::newRow("plus") << "+15" << true << 15;
        QTest::newRow("blanks around") << " 2000 " << true << 2000;
        QTest::newRow("int max") << "2147483647" << true << 2147483647;
        QTest::newRow("int min") << "-2147483648" << true << int(-2147483647 - 1);
        QTest::newRow("past int max") << "2147483648" << false << 0;
        QTest::newRow("99999999999") << "99999999999" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("blank") << " " << false << 0;
        QTest::newRow("minus alone") << "-" << false << 0;
        QTest::newRow("letters") << "abc" << false << 0;
        QTest::newRow("trailing letters") << "12px" << false << 0;
        QTest::newRow("thousands separator") << "1,000" << false << 0;
        QTest::newRow("fraction") << "12.5" << false << 0;
        QTest::newRow("inner blank") << "1 2" << false << 0;
        QTest::newRow("persian digits") << "۱۲" << false << 0;
    }

    void wholeNumber()
    {
        QFETCH(QString, text);
        QFETCH(bool, converts);
        QFETCH(int, value);
        const std::optional<int> result = SettingText::toWholeNumber(text);
        QCOMPARE(result.has_value(), converts);
        if (converts)
            QCOMPARE(*result, value);
    }

    void boolean_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected"); // -1: does not convert
        QTest::newRow("True") << "True" << 1;
        QTest::newRow("False") << "False" << 0;
        QTest::newRow("lower") << "true" << 1;
        QTest::newRow("upper") << "FALSE" << 0;
        QTest::newRow("blanks") << " True " << 1;
        QTest::newRow("one") << "1" << 1;
        QTest::newRow("minus one") << "-1" << 1;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("fraction") << "0.5" << 1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("blank") << " " << -1;
        QTest::newRow("yes") << "yes" << -1;
        QTest::newRow("Truth") << "Truth" << -1;
    }

    void boolean()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        const std::optional<bool> result = SettingText::toBoolean(text);
        QCOMPARE(result.has_value(), expected >= 0);
        if (result)
            QCOMPARE(int(*result), expected);
    }

    void booleanWords_areTheStoredOnes()
    {
        QCOMPARE(SettingText::fromBoolean(true), QStringLiteral("True"));
        QCOMPARE(SettingText::fromBoolean(false), QStringLiteral("False"));
    }

    void fontSize_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected"); // 0: does not convert
        QTest::newRow("8") << "8" << 8.0;
        QTest::newRow("72") << "72" << 72.0;
        QTest::newRow("fraction") << "10.5" << 10.5;
        QTest::newRow("blanks") << " 12 " << 12.0;
        QTest::newRow("largest") << "2160" << 2160.0;
        QTest::newRow("too large") << "2161" << 0.0;
        QTest::newRow("huge") << "99999999999" << 0.0;
        QTest::newRow("zero") << "0" << 0.0;
        QTest::newRow("negative") << "-8" << 0.0;
        QTest::newRow("letters") << "abc" << 0.0;
        QTest::newRow("unit") << "12pt" << 0.0;
        QTest::newRow("comma") << "10,5" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("blank") << " " << 0.0;
        QTest::newRow("point alone") << "." << 0.0;
    }

    void fontSize()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        const std::optional<double> result = SettingText::toFontSize(text);
        QCOMPARE(result.has_value(), expected > 0);
        if (result)
            QCOMPARE(*result, expected);
    }
};

QTEST_GUILESS_MAIN(tst_SettingText)
#include "tst_settingtext.moc"
