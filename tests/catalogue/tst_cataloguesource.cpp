#include "catalogue/CatalogueSource.h"
#include "support/TestCatalogue.h"

#include <QTest>

using namespace CatalogueSource;

class tst_CatalogueSource : public QObject
{
    Q_OBJECT

private slots:
    void escapes_roundTrip()
    {
        const QString field = QStringLiteral("a\tb\r\nc\\d\\ne\n");
        const QString escaped = escapeField(field);
        QVERIFY(!escaped.contains(QLatin1Char('\t')));
        QVERIFY(!escaped.contains(QLatin1Char('\n')));
        bool ok = false;
        QCOMPARE(unescapeField(escaped, &ok), field);
        QVERIFY(ok);
    }

    void formatThenParse_givesTheRecords()
    {
        const std::vector<CatalogueRecord> records = {
            record("GetTickCount", "Private Declare Function GetTickCount Lib \"kernel32\" () As Long",
                   "kernel32", QStringLiteral("زمان،سيستم"), QStringLiteral("خط اول\r\nخط دوم")),
            record("Empty", "", "", "", ""),
        };
        QString text = QStringLiteral("# comment\n\n");
        for (const auto &r : records)
            text += formatLine(r) + QLatin1Char('\n');
        const ParseResult result = parse(text, QStringLiteral("x.tsv"));
        QVERIFY(result.errors.isEmpty());
        QCOMPARE(result.records.size(), size_t(2));
        QVERIFY(result.records[0] == records[0]);
        QVERIFY(result.records[1] == records[1]);
    }

    void badLines_areReportedWithTheirPlace()
    {
        const ParseResult result = parse(QStringLiteral("a\tb\tc\n\nx\ty\tz\tw\tv\\q\tu\n"), QStringLiteral("f.tsv"));
        QCOMPARE(result.errors.size(), 2);
        QVERIFY(result.errors.at(0).startsWith(QStringLiteral("f.tsv:1: 3 fields")));
        QVERIFY(result.errors.at(1).startsWith(QStringLiteral("f.tsv:3: bad backslash")));
    }

    void crlfSourceLines_areAccepted()
    {
        const ParseResult result = parse(QStringLiteral("a\tb\tc\td\te\tf\r\n"));
        QVERIFY(result.errors.isEmpty());
        QCOMPARE(result.records.at(0)[4], QStringLiteral("e"));
        QCOMPARE(result.records.at(0)[CatalogueRecord::Vba7Declaration], QStringLiteral("f"));
    }

    void missingFile_isAnError()
    {
        const ParseResult result = parseFiles({QStringLiteral("/nonexistent/x.tsv")});
        QCOMPARE(result.errors.size(), 1);
    }
};

QTEST_APPLESS_MAIN(tst_CatalogueSource)
#include "tst_cataloguesource.moc"
