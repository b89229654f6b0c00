#include "catalogue/CatalogueTree.h"
#include "support/TestCatalogue.h"

#include <QAbstractItemModelTester>
#include <QGuiApplication>
#include <QSet>
#include <QTest>

#include <functional>

namespace {

const QChar sep(0x060C);

QStringList childTexts(const CatalogueTree &tree, const QModelIndex &parent)
{
    QStringList texts;
    for (int row = 0; row < tree.rowCount(parent); ++row)
        texts << tree.text(tree.index(row, 0, parent));
    return texts;
}

QStringList childKeys(const CatalogueTree &tree, const QModelIndex &parent)
{
    QStringList keys;
    for (int row = 0; row < tree.rowCount(parent); ++row)
        keys << tree.key(tree.index(row, 0, parent));
    return keys;
}

} // namespace

class tst_CatalogueTree : public QObject
{
    Q_OBJECT

private slots:
    void emptyCatalogue_givesFourRootsAndCountZero()
    {
        CatalogueTree tree;
        Recordset rs = recordsetOf({});
        tree.BuildCatalogueTree(rs);
        QCOMPARE(childKeys(tree, {}), QStringList({"Alphabet", "Library", "Work", "Search"}));
        QCOMPARE(childTexts(tree, {}),
                 QStringList({QStringLiteral("حروف الفبا"), QStringLiteral("کتابخانه"),
                              QStringLiteral("عملکرد"), QStringLiteral("نتايج جستجو")}));
        QCOMPARE(tree.FunctionCount(), 0);
        for (int row = 0; row < 4; ++row)
            QCOMPARE(tree.rowCount(tree.index(row, 0)), 0);
    }

    void rootImages()
    {
        CatalogueTree tree;
        const QStringList images = {"alpha", "dll", "note", "Search"};
        for (int row = 0; row < 4; ++row) {
            QCOMPARE(tree.data(tree.index(row, 0), CatalogueTree::ImageKeyRole).toString(), images.at(row));
            QCOMPARE(tree.data(tree.index(row, 0), CatalogueTree::SelectedImageKeyRole).toString(), QString());
        }
    }

    void threeRecords_keysTextsAndImages()
    {
        CatalogueTree tree;
        Recordset rs = recordsetOf({
            record("beta", "", "user32", QStringLiteral("X") + sep + QStringLiteral("Y")),
            record("Alpha", "", "kernel32", QString()),
            record("_hidden", "", "kernel32", QStringLiteral("Z") + sep),
        });
        tree.BuildCatalogueTree(rs);
        QCOMPARE(tree.FunctionCount(), 3);
        QVERIFY(rs.atEOF()); // the fill leaves the cursor after the last record

        // Letter groups: upper-cased first character; "_" keeps its own group.
        const QModelIndex alphabet = tree.indexForKey("Alphabet");
        QCOMPARE(childKeys(tree, alphabet), QStringList({"Alf__", "Alf_A", "Alf_B"}));
        QCOMPARE(childTexts(tree, alphabet), QStringList({"_", "A", "B"}));
        QCOMPARE(tree.text(tree.indexForKey("Alf_F_1")), QStringLiteral("beta"));
        QCOMPARE(tree.text(tree.indexForKey("Alf_F_2")), QStringLiteral("Alpha"));
        QCOMPARE(tree.text(tree.indexForKey("Alf_F_3")), QStringLiteral("_hidden"));
        QCOMPARE(tree.parent(tree.indexForKey("Alf_F_1")), tree.indexForKey("Alf_B"));

        // Library groups and their functions keyed by name.
        QCOMPARE(childKeys(tree, tree.indexForKey("Library")), QStringList({"Lib_kernel32", "Lib_user32"}));
        QCOMPARE(childKeys(tree, tree.indexForKey("Lib_kernel32")), QStringList({"Lib_F__hidden", "Lib_F_Alpha"}));

        // Work areas split at every Arabic comma, indexed from 0; a trailing comma gives
        // the group with empty text; an empty field gives none.
        QCOMPARE(tree.text(tree.indexForKey("Wor_F_0_beta")), QStringLiteral("beta"));
        QCOMPARE(tree.parent(tree.indexForKey("Wor_F_0_beta")), tree.indexForKey("Wor_X"));
        QCOMPARE(tree.parent(tree.indexForKey("Wor_F_1_beta")), tree.indexForKey("Wor_Y"));
        QVERIFY(tree.indexForKey("Wor_").isValid());
        QCOMPARE(tree.text(tree.indexForKey("Wor_")), QString());
        QCOMPARE(tree.parent(tree.indexForKey("Wor_F_1__hidden")), tree.indexForKey("Wor_"));
        QVERIFY(!tree.containsKey("Wor_F_0_Alpha"));
        QCOMPARE(tree.rowCount(tree.indexForKey("Work")), 4); // X, Y, Z and the empty one

        const QModelIndex function = tree.indexForKey("Lib_F_Alpha");
        QCOMPARE(tree.data(function, CatalogueTree::ImageKeyRole).toString(), QStringLiteral("close"));
        QCOMPARE(tree.data(function, CatalogueTree::SelectedImageKeyRole).toString(), QStringLiteral("open"));
        QCOMPARE(tree.data(tree.indexForKey("Lib_user32"), CatalogueTree::ImageKeyRole).toString(), QStringLiteral("dll"));
        QCOMPARE(tree.data(tree.indexForKey("Wor_X"), CatalogueTree::ImageKeyRole).toString(), QStringLiteral("note"));
        QCOMPARE(tree.data(tree.indexForKey("Alf_A"), CatalogueTree::ImageKeyRole).toString(), QStringLiteral("alpha"));
    }

    void namesDifferingInCaseOfFirstLetter_shareALetterGroup()
    {
        CatalogueTree tree;
        Recordset rs = recordsetOf({record("apple", "", "l"), record("Apple", "", "l")});
        tree.BuildCatalogueTree(rs);
        QCOMPARE(childKeys(tree, tree.indexForKey("Alphabet")), QStringList({"Alf_A"}));
        QCOMPARE(tree.rowCount(tree.indexForKey("Alf_A")), 2);
    }

    void areasAreTakenExactly_spacesBelongToTheName()
    {
        CatalogueTree tree;
        Recordset rs = recordsetOf({record("f", "", "l", QStringLiteral("A ") + sep + QStringLiteral(" A"))});
        tree.BuildCatalogueTree(rs);
        QVERIFY(tree.containsKey("Wor_A "));
        QVERIFY(tree.containsKey("Wor_ A"));
        QVERIFY(!tree.containsKey("Wor_A"));
    }

    void childrenAreSortedWhateverTheArrivalOrder()
    {
        CatalogueTree tree;
        Recordset rs = recordsetOf({record("b", "", "lib"), record("a", "", "lib"), record("C", "", "lib")});
        tree.BuildCatalogueTree(rs);
        QCOMPARE(childTexts(tree, tree.indexForKey("Lib_lib")), QStringList({"a", "b", "C"}));
        QCOMPARE(childTexts(tree, tree.indexForKey("Alphabet")), QStringList({"A", "B", "C"}));
    }

    // The fault: every first character went through a full upper-casing ("дом" under "Д").
    void letterGroupUpperCasesOnlyLatinLetters_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("group");
        QTest::newRow("a") << "apple" << "A";
        QTest::newRow("z") << "zed" << "Z";
        QTest::newRow("capital") << "Apple" << "A";
        QTest::newRow("underscore") << "_x" << "_";
        QTest::newRow("digit") << "1x" << "1";
        QTest::newRow("cyrillic small") << QStringLiteral("дом") << QStringLiteral("д");
        QTest::newRow("cyrillic capital") << QStringLiteral("Дом") << QStringLiteral("Д");
        QTest::newRow("latin-1 small") << QStringLiteral("éclair") << QStringLiteral("é");
        QTest::newRow("y diaeresis") << QStringLiteral("ÿ") << QStringLiteral("ÿ");
        QTest::newRow("micro sign") << QStringLiteral("µs") << QStringLiteral("µ");
        QTest::newRow("persian") << QStringLiteral("پ") << QStringLiteral("پ");
    }

    void letterGroupUpperCasesOnlyLatinLetters()
    {
        QFETCH(QString, name);
        QFETCH(QString, group);
        CatalogueTree tree;
        Recordset rs = recordsetOf({record(name, "", "l")});
        tree.BuildCatalogueTree(rs);
        QCOMPARE(childTexts(tree, tree.indexForKey("Alphabet")), QStringList({group}));
        QCOMPARE(childKeys(tree, tree.indexForKey("Alphabet")), QStringList({"Alf_" + group}));
    }

    // The fault: the work-area groups stood in character-code order, "پ" and "چ" after "ه".
    void workAreaGroupsFollowPersianCollation()
    {
        const QStringList areas = {QStringLiteral("همگام سازي"), QStringLiteral("چاپ"),
                                   QStringLiteral("پنجره ها"), QStringLiteral("پايگاه داده"),
                                   QStringLiteral("باز")};
        CatalogueTree tree;
        Recordset rs = recordsetOf({record("b", "", "l", areas.join(sep)), record("_a", "", "l", areas[0]),
                                    record("a", "", "l", areas[0]), record("A", "", "l", areas[0])});
        tree.BuildCatalogueTree(rs);
        const QStringList expected = {areas[4], areas[3], areas[2], areas[1], areas[0]};
        const QModelIndex work = tree.indexForKey("Work");
        QCOMPARE(childTexts(tree, work), expected);
        QStringList keys;
        for (const QString &area : expected)
            keys << "Wor_" + area;
        QCOMPARE(childKeys(tree, work), keys);
        // Function names under a group keep their plain order.
        QCOMPARE(childTexts(tree, tree.indexForKey("Wor_" + areas[0])), QStringList({"_a", "A", "a", "b"}));
    }

    void duplicateName_keepsLetterNodeAndSkipsTheOthers()
    {
        CatalogueTree tree;
        Recordset rs = recordsetOf({record("Dup", "", "l", "w"), record("Dup", "", "m", "w")});
        tree.BuildCatalogueTree(rs);
        QCOMPARE(tree.FunctionCount(), 2);
        QCOMPARE(tree.rowCount(tree.indexForKey("Alf_D")), 2);
        QCOMPARE(tree.rowCount(tree.indexForKey("Lib_l")), 1);
        QVERIFY(tree.indexForKey("Lib_m").isValid());
        QCOMPARE(tree.rowCount(tree.indexForKey("Lib_m")), 0);
        QCOMPARE(tree.rowCount(tree.indexForKey("Wor_w")), 1);
    }

    void searchResults_replaceTheBranchAtTheEnd()
    {
        CatalogueTree tree;
        QAbstractItemModelTester tester(&tree, QAbstractItemModelTester::FailureReportingMode::QtTest);
        Recordset rs = recordsetOf({record("b"), record("a")});
        tree.BuildCatalogueTree(rs);
        tree.replaceSearchResults({"b", "a"});
        QCOMPARE(childKeys(tree, {}).last(), QStringLiteral("Search"));
        QCOMPARE(childKeys(tree, tree.indexForKey("Search")), QStringList({"Ser_F_a", "Ser_F_b"}));
        tree.replaceSearchResults({});
        QCOMPARE(tree.rowCount(), 4);
        QCOMPARE(tree.rowCount(tree.indexForKey("Search")), 0);
        QVERIFY(!tree.containsKey("Ser_F_a"));
        tree.replaceSearchResults({"a", "a"}); // a repeated name is listed once
        QCOMPARE(tree.rowCount(tree.indexForKey("Search")), 1);
    }

    void modelIsConsistent()
    {
        CatalogueTree tree;
        QAbstractItemModelTester tester(&tree, QAbstractItemModelTester::FailureReportingMode::QtTest);
        Recordset rs = recordsetOf({record("x1", "", "a", "p" + QString(sep) + "q"), record("y2", "", "b", "q")});
        tree.BuildCatalogueTree(rs);
        QCOMPARE(tree.rowCount(tree.indexForKey("Wor_q")), 2);
    }

    void groupsNamedLikeFunctionKeys_shareTheKeyAsTheTreeAlwaysDid()
    {
        // "Lib_" + "F_Beep" is the key of Beep's library node: whichever comes first holds
        // the key, and the other is skipped (or, for a group, taken to be that node).
        CatalogueTree tree;
        Recordset rs = recordsetOf({
            record("Beep", "", "kernel32", QStringLiteral("F_0_Beep")),
            record("Sleep", "", "F_Beep", "w"),
            record("Idle", "", "F_Idle"),
            record("Idle2", "", "x", "F_1_Late"),
            record("Late", "", "x", "a" + QString(sep) + "b"),
        });
        tree.BuildCatalogueTree(rs);
        // Sleep's library group is Beep's node under kernel32.
        QCOMPARE(tree.parent(tree.indexForKey("Lib_F_Sleep")), tree.indexForKey("Lib_F_Beep"));
        QCOMPARE(tree.parent(tree.indexForKey("Lib_F_Beep")), tree.indexForKey("Lib_kernel32"));
        // A group "F_Idle" made before any function Idle keeps the key: Idle gets no node.
        QCOMPARE(tree.key(tree.indexForKey("Lib_F_Idle")), QStringLiteral("Lib_F_Idle"));
        QCOMPARE(tree.text(tree.indexForKey("Lib_F_Idle")), QStringLiteral("F_Idle"));
        QCOMPARE(tree.rowCount(tree.indexForKey("Lib_F_Idle")), 0);
        // Beep's own area "F_0_Beep" is made first, so Beep's area node is skipped.
        QCOMPARE(tree.text(tree.indexForKey("Wor_F_0_Beep")), QStringLiteral("F_0_Beep"));
        QCOMPARE(tree.rowCount(tree.indexForKey("Wor_F_0_Beep")), 0);
        // The group "F_1_Late" exists before Late's second area node would: that one is skipped.
        QCOMPARE(tree.text(tree.indexForKey("Wor_F_1_Late")), QStringLiteral("F_1_Late"));
        QCOMPARE(tree.text(tree.indexForKey("Wor_F_0_Late")), QStringLiteral("Late"));
    }

    void keysAreUniqueAndFindTheirNodes()
    {
        CatalogueTree tree;
        Recordset rs = recordsetOf({record("a1", "", "L", "x" + QString(sep) + "y"), record("A2", "", "F_a1", "F_0_a1"),
                                    record("a1", "", "M", "y" + QString(sep) + sep + "x")});
        tree.BuildCatalogueTree(rs);
        tree.replaceSearchResults({"a1", "A2"});
        QSet<QString> keys;
        std::function<void(const QModelIndex &)> walk = [&](const QModelIndex &parent) {
            for (int row = 0; row < tree.rowCount(parent); ++row) {
                const QModelIndex child = tree.index(row, 0, parent);
                const QString key = tree.key(child);
                QVERIFY2(!keys.contains(key), qPrintable(key));
                keys.insert(key);
                QCOMPARE(tree.indexForKey(key), child);
                QCOMPARE(tree.data(child, CatalogueTree::KeyRole).toString(), key);
                walk(child);
            }
        };
        walk(QModelIndex());
        QVERIFY(keys.size() > 10);
        QVERIFY(!tree.indexForKey("Alf_F_0").isValid());
        QVERIFY(!tree.indexForKey("Alf_F_04").isValid());
        QVERIFY(!tree.indexForKey("nothing").isValid());
    }

    void branchesFilledOnFirstUse_leaveTheSharedCursorAlone()
    {
        CatalogueTree tree;
        Recordset rs = recordsetOf({record("b", "", "L", "x"), record("a", "", "L", ""), record("c", "", "M", "")});
        tree.BuildCatalogueTree(rs);
        QVERIFY(rs.atEOF());
        // A walk of another part is in progress at record 2 when the user opens a root.
        QVERIFY(rs.setAbsolutePosition(2));
        QVERIFY(tree.hasChildren(tree.index(0, 0)));
        QVERIFY(tree.hasChildren(tree.index(2, 0)));
        QCOMPARE(childTexts(tree, tree.index(1, 0)), QStringList({"L", "M"}));
        QCOMPARE(childTexts(tree, tree.index(2, 0)), QStringList({"x"}));
        QCOMPARE(rs.AbsolutePosition(), qsizetype(2));
    }

    void workRootWithoutAnyArea_hasNoChildren()
    {
        CatalogueTree tree;
        QAbstractItemModelTester tester(&tree, QAbstractItemModelTester::FailureReportingMode::QtTest);
        Recordset rs = recordsetOf({record("a", "", "L", ""), record("b", "", "L", "")});
        tree.BuildCatalogueTree(rs);
        QVERIFY(!tree.hasChildren(tree.indexForKey("Work")));
        QVERIFY(tree.hasChildren(tree.indexForKey("Alphabet")));
        QCOMPARE(tree.rowCount(tree.indexForKey("Work")), 0);
    }

    void countGoesBeyondSixteenBits()
    {
        std::vector<CatalogueRecord> records;
        records.reserve(40000);
        for (int i = 0; i < 40000; ++i)
            records.push_back(record(QStringLiteral("F%1").arg(i), "", "lib", "w"));
        Recordset rs = recordsetOf(std::move(records));
        CatalogueTree tree;
        tree.BuildCatalogueTree(rs);
        QCOMPARE(tree.FunctionCount(), qint64(40000));
        QCOMPARE(tree.rowCount(tree.indexForKey("Lib_lib")), 40000);
        QVERIFY(tree.containsKey("Alf_F_40000"));
    }
};

QTEST_MAIN(tst_CatalogueTree)
#include "tst_cataloguetree.moc"
