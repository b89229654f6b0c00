// The browsing model: which record a road may show, what a new or closed catalogue does
// to the function shown, and the declaration in the chosen form.
#include "browse/CatalogueBrowser.h"
#include "support/TestCatalogue.h"

#include <QSignalSpy>
#include <QTest>

class tst_Browser : public QObject
{
    Q_OBJECT

    static void openTwo(CatalogueBrowser &browser, bool vba7Column = true)
    {
        browser.setRecordset(Recordset({record("Beep", "classic Beep", "", "", "", "vba7 Beep"),
                                        record("Sleep", "classic Sleep", "", "", "", "vba7 Sleep")},
                                       vba7Column));
    }

private slots:
    // A position that is no record's (a root's or a group's 0, past either end) leaves
    // the function shown as it was and says nothing.
    void show_onlyARecordsPosition_data()
    {
        QTest::addColumn<qsizetype>("position");
        QTest::addColumn<qsizetype>("shown");
        QTest::newRow("first") << qsizetype(1) << qsizetype(1);
        QTest::newRow("last") << qsizetype(2) << qsizetype(2);
        QTest::newRow("a group's 0") << qsizetype(0) << qsizetype(2);
        QTest::newRow("before the first") << qsizetype(-1) << qsizetype(2);
        QTest::newRow("past the last") << qsizetype(3) << qsizetype(2);
    }
    void show_onlyARecordsPosition()
    {
        QFETCH(qsizetype, position);
        QFETCH(qsizetype, shown);
        CatalogueBrowser browser;
        openTwo(browser);
        QVERIFY(browser.show(2));
        QSignalSpy said(&browser, &CatalogueBrowser::functionShown);
        QCOMPARE(browser.show(position), position == shown);
        QCOMPARE(browser.shownPosition(), shown);
        QCOMPARE(said.size(), int(position == shown));
        QCOMPARE(browser.shownRecord()->fields[CatalogueRecord::FunctionName], shown == 1 ? "Beep" : "Sleep");
    }

    // Nothing of a new catalogue is shown yet, and nothing of a closed one can be.
    void newOrClosedCatalogue_showsNothing()
    {
        CatalogueBrowser browser;
        QVERIFY(!browser.show(1) && !browser.isFunctionShown() && !browser.shownRecord());
        openTwo(browser);
        QVERIFY(browser.show(1));
        QSignalSpy changed(&browser, &CatalogueBrowser::catalogueChanged);
        openTwo(browser);
        QCOMPARE(changed.size(), 1);
        QVERIFY(!browser.isFunctionShown() && !browser.shownRecord());
        browser.recordset().Close();
        QVERIFY(!browser.show(1));
        QCOMPARE(browser.functionCount(), 0);
    }

    // The VBA7 form only where the catalogue has it; the choice is kept meanwhile.
    void declaration_inTheChosenForm_data()
    {
        QTest::addColumn<bool>("column");
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<QString>("declaration");
        QTest::newRow("classic") << true << false << "classic Sleep";
        QTest::newRow("VBA7") << true << true << "vba7 Sleep";
        QTest::newRow("VBA7 chosen, older catalogue") << false << true << "classic Sleep";
    }
    void declaration_inTheChosenForm()
    {
        QFETCH(bool, column);
        QFETCH(bool, chosen);
        QFETCH(QString, declaration);
        CatalogueBrowser browser;
        browser.setVba7Choice(chosen);
        openTwo(browser, column);
        QCOMPARE(browser.declaration(2), declaration);
        QCOMPARE(browser.vba7Choice(), chosen);
        QCOMPARE(browser.declaration(3), QString());
    }
};

QTEST_MAIN(tst_Browser)
#include "tst_browser.moc"
