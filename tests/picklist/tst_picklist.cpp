#include "picklist/PickCatalogue.h"
#include "picklist/PickModule.h"
#include "support/PickModuleRows.h"

#include <QTest>

class tst_PickList : public QObject
{
    Q_OBJECT

private slots:
    void module_data() { PickModuleRows::addRows(); }
    void module()
    {
        QFETCH(QStringList, functions);
        QFETCH(QStringList, constants);
        QFETCH(QStringList, families);
        QFETCH(int, form);
        QFETCH(bool, isPrivate);
        QFETCH(bool, comments);
        QFETCH(QByteArray, bytes);
        const Recordset recordset(PickModuleRows::records());
        const ConstantTable table = PickModuleRows::constants();
        const PickCatalogue catalogue(recordset, &table);
        std::vector<const CatalogueRecord *> records;
        for (const QString &name : functions) {
            records.push_back(catalogue.function(name));
            QVERIFY(records.back());
        }
        std::vector<const Constant *> chosen;
        for (const QString &name : constants) {
            chosen.push_back(catalogue.constant(name));
            QVERIFY(chosen.back());
        }
        for (const QString &name : families) {
            const std::vector<const Constant *> family = catalogue.family(name);
            chosen.insert(chosen.end(), family.begin(), family.end());
        }
        const PickModule::Module module =
            PickModule::build(records, chosen, {PickModule::defaultName, PickModule::Form(form), isPrivate, comments});
        QVERIFY(module.conflicts.isEmpty());
        QCOMPARE(PickModule::bytes(module), bytes);
    }

    // Two functions that declare one Type differently cannot share a module.
    void conflictingTypes()
    {
        const QString rect = QStringLiteral("Private Type RECT\r\n    Left As %1\r\nEnd Type\r\n\r\nPrivate Declare Sub %2 Lib \"a\" (r As RECT)");
        const Recordset recordset({record("A", rect.arg("Long", "A")), record("B", rect.arg("Long", "B")),
                                   record("C", rect.arg("Integer", "C"))});
        const PickModule::Module module = PickModule::build({&recordset.at(1), &recordset.at(2), &recordset.at(3)}, {}, {});
        QCOMPARE(module.conflicts, QStringList{"RECT: A, C"});
        QVERIFY(module.text.isEmpty());
    }

    void moduleName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::newRow("default") << PickModule::defaultName << true;
        QTest::newRow("digits and underscore") << "Api_2" << true;
        QTest::newRow("31 characters") << QString(31, u'a') << true;
        QTest::newRow("32 characters") << QString(32, u'a') << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("digit first") << "2Api" << false;
        QTest::newRow("underscore first") << "_Api" << false;
        QTest::newRow("space") << "Api Calls" << false;
        QTest::newRow("dot") << "Api.Calls" << false;
        QTest::newRow("a word of the language") << "declare" << false;
        QTest::newRow("Persian letters") << QString::fromUtf8("\u062A\u0648\u0627\u0628\u0639") << false;
    }
    void moduleName()
    {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        QCOMPARE(PickModule::isModuleName(name), valid);
    }
};

QTEST_GUILESS_MAIN(tst_PickList)
#include "tst_picklist.moc"
