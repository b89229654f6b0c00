#include "catalogue/BasicLiteral.h"
#include "catalogue/ConstantTable.h"

#include <QTemporaryDir>
#include <QTest>

#include <optional>

using OptionalLong = std::optional<qint32>;
Q_DECLARE_METATYPE(OptionalLong)

class tst_BasicLiteral : public QObject
{
    Q_OBJECT

private slots:
    void format_data()
    {
        QTest::addColumn<qint32>("value");
        QTest::addColumn<bool>("hexadecimal");
        QTest::addColumn<QString>("literal");
        QTest::newRow("small hex keeps the trailing &") << 13 << true << "&HD&";
        QTest::newRow("&H8000 would be a negative Integer without &") << 0x8000 << true << "&H8000&";
        QTest::newRow("&HFFFF likewise") << 0xFFFF << true << "&HFFFF&";
        QTest::newRow("high bit: HKEY_CURRENT_USER") << qint32(0x80000001u) << true << "&H80000001&";
        QTest::newRow("-1 in hex") << -1 << true << "&HFFFFFFFF&";
        QTest::newRow("decimal") << 87 << false << "87";
        QTest::newRow("negative decimal") << -2 << false << "-2";
        QTest::newRow("lowest Long") << INT32_MIN << false << "-2147483648";
    }
    void format()
    {
        QFETCH(qint32, value);
        QFETCH(bool, hexadecimal);
        QFETCH(QString, literal);
        QCOMPARE(BasicLiteral::format(value, hexadecimal), literal);
        QCOMPARE(BasicLiteral::lineValue(QStringLiteral("Private Const X As Long = ") + literal), OptionalLong(value));
    }

    // What Basic itself makes of the literal at the end of a Const line.
    void lineValue_data()
    {
        QTest::addColumn<QString>("literal");
        QTest::addColumn<OptionalLong>("value");
        QTest::newRow("&HFFFF without & is Integer -1") << "&HFFFF" << OptionalLong(-1);
        QTest::newRow("&H8000 without & is -32768") << "&H8000" << OptionalLong(-32768);
        QTest::newRow("&H7FFF without & stays") << "&H7FFF" << OptionalLong(0x7FFF);
        QTest::newRow("&H10000 without & is a Long") << "&H10000" << OptionalLong(0x10000);
        QTest::newRow("decimal past a Long overflows") << "2147483648" << OptionalLong();
        QTest::newRow("unsigned decimal overflows") << "4294967295" << OptionalLong();
        QTest::newRow("nine hex digits") << "&H100000000&" << OptionalLong();
        QTest::newRow("not a number") << "WM_USER" << OptionalLong();
        QTest::newRow("empty") << "" << OptionalLong();
    }
    void lineValue()
    {
        QFETCH(QString, literal);
        QFETCH(OptionalLong, value);
        QCOMPARE(BasicLiteral::lineValue(QStringLiteral("Private Const X As Long = ") + literal), value);
    }

    // What a user types in the constants window's search line.
    void parse_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<OptionalLong>("value");
        QTest::newRow("Err.LastDllError") << "87" << OptionalLong(87);
        QTest::newRow("hex, small letters, no &") << "&h57" << OptionalLong(87);
        QTest::newRow("negative Long of an HRESULT") << "-2147467259" << OptionalLong(qint32(0x80004005u));
        QTest::newRow("unsigned decimal wraps") << "4294967295" << OptionalLong(-1);
        QTest::newRow("spaces around") << " 5 " << OptionalLong(5);
        QTest::newRow("octal") << "&O17" << OptionalLong(15);
        QTest::newRow("past 32 bits") << "4294967296" << OptionalLong();
        QTest::newRow("below a Long") << "-2147483649" << OptionalLong();
        QTest::newRow("hex digit in decimal") << "8A" << OptionalLong();
        QTest::newRow("Arabic-Indic digits are no number") << QString::fromUtf8("٨٧") << OptionalLong();
        QTest::newRow("bare &H") << "&H" << OptionalLong();
        QTest::newRow("minus alone") << "-" << OptionalLong();
    }
    void parse()
    {
        QFETCH(QString, typed);
        QFETCH(OptionalLong, value);
        QCOMPARE(BasicLiteral::parse(typed), value);
    }

    // The build stops on a source line whose Basic literal reads back as another value.
    void source_lineThatDoesNotReadBack_isAnError()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("const-a.tsv"));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("A_GOOD\t32768\tPrivate Const A_GOOD As Long = &H8000&\tA\ta.h\t\n"
                  "A_BAD\t32768\tPrivate Const A_BAD As Long = &H8000\tA\ta.h\t\n"
                  "A_GOOD\t1\tPrivate Const A_GOOD As Long = 1\tA\ta.h\t\n");
        out.close();
        const ConstantSource::ParseResult result = ConstantSource::parseFiles({file});
        QCOMPARE(result.errors.size(), 2);
        QVERIFY(result.errors.at(0).contains(QStringLiteral(":2: the Basic line does not read back")));
        QVERIFY(result.errors.at(1).contains(QStringLiteral(":3: A_GOOD given twice")));
    }
};

QTEST_GUILESS_MAIN(tst_BasicLiteral)
#include "tst_basicliteral.moc"
