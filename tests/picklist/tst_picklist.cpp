#include "picklist/PickCatalogue.h"
#include "picklist/PickList.h"
#include "picklist/PickModule.h"
#include "support/FileBytes.h"
#include "support/PickModuleRows.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Kind = PickList::Kind;

} // namespace

class tst_PickList : public QObject
{
    Q_OBJECT

private slots:
    void module_data() { PickModuleRows::addRows(); }
    void module()
    {
        const auto [functions, constants, families, form, isPrivate, comments, bytes] = PickModuleRows::currentRow();
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

    // The list as the next run finds it: each entry once, in the order added, less what
    // was removed; names the catalogue has lost dropped with one warning naming them.
    void restart()
    {
        const QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Kel/Vorn.picklist"));
        const Recordset recordset(PickModuleRows::records());
        const ConstantTable table = PickModuleRows::constants();
        const PickCatalogue catalogue(recordset, &table);
        {
            PickList list(file, catalogue);
            QVERIFY(list.entries().empty() && list.warnings().isEmpty());
            QVERIFY(list.add(Kind::Function, "GetVersion"));
            QVERIFY(list.add(Kind::Function, "GetCursorPos"));
            QVERIFY(list.add(Kind::Constant, "WM_CLOSE"));
            QVERIFY(!list.add(Kind::Function, "GetCursorPos"));
            QVERIFY(list.add(Kind::Function, "PeekMessage"));
            list.remove({0, 3, 3});
        }
        const std::vector<PickList::Entry> kept{{Kind::Function, "GetCursorPos"}, {Kind::Constant, "WM_CLOSE"}};
        PickList again(file, catalogue);
        QVERIFY(again.entries() == kept);
        QVERIFY(again.warnings().isEmpty());

        QFile edited(file);
        QVERIFY(edited.open(QIODevice::Append));
        edited.write("function\tGone\nconstant\twm_close\nconstant\tWM_GONE\n");
        edited.close();
        PickList pruned(file, catalogue);
        QVERIFY(pruned.entries() == kept);
        QCOMPARE(pruned.warnings().size(), 1);
        QVERIFY(pruned.warnings().front().endsWith("\nGone, WM_GONE"));
    }

    // A file that is not a whole pick list gives an empty list and one warning, and is
    // never written over, whatever the list does afterwards.
    void unusableFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("another program's file") << QByteArray("[General]\nsize=3\n");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("cut short") << QByteArray("Vorn pick list 1\nfunction\tGetCursorPos");
        QTest::newRow("unknown kind") << QByteArray("Vorn pick list 1\nmacro\tGetCursorPos\n");
        QTest::newRow("no name") << QByteArray("Vorn pick list 1\nfunction\t\n");
        QTest::newRow("not UTF-8") << QByteArray("Vorn pick list 1\nfunction\tGet\xff\n");
        QTest::newRow("a later format") << QByteArray("Vorn pick list 2\nfunction\tGetCursorPos\n");
        QTest::newRow("a folder") << QByteArray("<dir>");
    }
    void unusableFile()
    {
        QFETCH(QByteArray, content);
        const QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Vorn.picklist"));
        if (content == "<dir>") {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Vorn.picklist")));
        } else {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly) && out.write(content) == content.size());
        }
        const Recordset recordset(PickModuleRows::records());
        const PickCatalogue catalogue(recordset, nullptr);
        PickList list(file, catalogue);
        QVERIFY(list.entries().empty());
        QCOMPARE(list.warnings().size(), 1);
        QVERIFY(list.warnings().front().endsWith(file));
        QVERIFY(list.add(Kind::Function, "GetCursorPos"));
        list.clear();
        QCOMPARE(fileBytes(file), content == "<dir>" ? QByteArray("<none>") : content);
    }
};

QTEST_GUILESS_MAIN(tst_PickList)
#include "tst_picklist.moc"
