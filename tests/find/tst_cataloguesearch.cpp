#include "support/TestCatalogue.h"
#include "find/CatalogueSearch.h"

#include <QTest>

namespace {

// Persian letters by code point, so that the variants stay visible in the source.
const QChar yeh(0x064A);
const QChar farsiYeh(0x06CC);
const QChar alefMaksura(0x0649);
const QChar kaf(0x0643);
const QChar keheh(0x06A9);
const QChar zwnj(0x200C);
const QChar feh(0x0641);
const QChar alef(0x0627);
const QChar lam(0x0644);
const QChar meem(0x0645);
const QChar heh(0x0647);

// "file" written with the given yeh: FEH ALEF YEH LAM.
QString file(QChar y) { return QString(feh) + alef + y + lam; }

Recordset catalogue()
{
    return recordsetOf({
        record(QStringLiteral("GetWindowText"), {}, {}, {}, QStringLiteral("reads a caption")),
        record(QStringLiteral("SetWindowTextA"), {}, {}, {}, QString()),
        record(QStringLiteral("CreateFileA"), {}, {}, {}, file(yeh) + QStringLiteral(" text")),
        record(QString(), {}, {}, {}, QStringLiteral("nameless")),
        record(QStringLiteral("lstrlenW"), {}, {}, {}, QString(meem) + heh + zwnj + meem),
    });
}

} // namespace

class tst_CatalogueSearch : public QObject
{
    Q_OBJECT

private:
    // The description search as the search panel runs it, with the folded descriptions
    // kept from search to search (and from one test's catalogue to the next, so that a
    // cache that outlives its catalogue shows), checked against folding anew.
    QStringList byDescription(Recordset &recordset, const QString &text)
    {
        const QStringList kept = CatalogueSearch::findNames(recordset, text, true, &m_folds);
        const QStringList anew = CatalogueSearch::findNames(recordset, text, true);
        if (kept != anew)
            return {QStringLiteral("cached %1, anew %2").arg(kept.join(u','), anew.join(u','))};
        return kept;
    }
    CatalogueSearch::FoldedDescriptions m_folds;

private slots:
    void matches_data();
    void matches();
    void findNames_mixedCaseByLowerAndUpper();
    void findNames_wordInTheMiddle();
    void findNames_emptyText_everyNonEmptyField();
    void findNames_byDescription_textOnlyInNames_nothing();
    void findNames_recordOrder_andWalkEndsAtEOF();
    void findNames_byDescription_yehVariants();
    void findNames_byDescription_zeroWidthNonJoiner();
    void foldForDescription_foldsVariants();
};

void tst_CatalogueSearch::matches_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("byDescription");
    QTest::addColumn<bool>("expected");
    QTest::newRow("lower finds mixed") << "GetWindowText" << "getwindowtext" << false << true;
    QTest::newRow("upper finds mixed") << "GetWindowText" << "GETWINDOWTEXT" << false << true;
    QTest::newRow("middle of a name") << "GetWindowText" << "window" << false << true;
    QTest::newRow("not there") << "GetWindowText" << "caption" << false << false;
    QTest::newRow("empty text, non-empty field") << "Beep" << "" << false << true;
    QTest::newRow("empty text, empty field") << "" << "" << false << false;
    QTest::newRow("empty text, null field") << QString() << "" << false << false;
    QTest::newRow("text with a blank is kept") << "GetWindowText" << " window" << false << false;
    QTest::newRow("name mode does not fold yeh") << file(yeh) << file(farsiYeh) << false << false;
    QTest::newRow("farsi yeh finds arabic yeh") << file(yeh) << file(farsiYeh) << true << true;
    QTest::newRow("arabic yeh finds farsi yeh") << file(farsiYeh) << file(yeh) << true << true;
    QTest::newRow("alef maksura is a yeh") << file(alefMaksura) << file(farsiYeh) << true << true;
    QTest::newRow("kaf finds keheh") << QString(keheh) + alef + lam << QString(kaf) << true << true;
    QTest::newRow("keheh finds kaf") << QString(kaf) + alef + lam << QString(keheh) << true << true;
    QTest::newRow("non-joiner in the text ignored") << QString(meem) + heh + meem << QString(meem) + zwnj + heh << true << true;
    QTest::newRow("non-joiner in the field ignored") << QString(meem) + zwnj + heh << QString(meem) + heh << true << true;
    QTest::newRow("latin still lower-cased in descriptions") << "Reads A Caption" << "a CAPTION" << true << true;
    QTest::newRow("empty description never matches") << "" << "" << true << false;
}

void tst_CatalogueSearch::matches()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(bool, byDescription);
    QFETCH(bool, expected);
    QCOMPARE(CatalogueSearch::matches(field, text, byDescription), expected);
}

void tst_CatalogueSearch::findNames_mixedCaseByLowerAndUpper()
{
    Recordset recordset = catalogue();
    QCOMPARE(CatalogueSearch::findNames(recordset, QStringLiteral("setwindowtexta"), false),
             QStringList{QStringLiteral("SetWindowTextA")});
    QCOMPARE(CatalogueSearch::findNames(recordset, QStringLiteral("SETWINDOWTEXTA"), false),
             QStringList{QStringLiteral("SetWindowTextA")});
}

void tst_CatalogueSearch::findNames_wordInTheMiddle()
{
    Recordset recordset = catalogue();
    QCOMPARE(CatalogueSearch::findNames(recordset, QStringLiteral("window"), false),
             (QStringList{QStringLiteral("GetWindowText"), QStringLiteral("SetWindowTextA")}));
    QCOMPARE(CatalogueSearch::findNames(recordset, QStringLiteral("a"), false),
             (QStringList{QStringLiteral("SetWindowTextA"), QStringLiteral("CreateFileA")}));
}

void tst_CatalogueSearch::findNames_emptyText_everyNonEmptyField()
{
    Recordset recordset = catalogue();
    QCOMPARE(CatalogueSearch::findNames(recordset, QString(), false),
             (QStringList{QStringLiteral("GetWindowText"), QStringLiteral("SetWindowTextA"),
                          QStringLiteral("CreateFileA"), QStringLiteral("lstrlenW")}));
    // The nameless record has a description and is listed, by its (empty) name.
    const QStringList described = byDescription(recordset, QString());
    QCOMPARE(described.size(), 4);
    QVERIFY(!described.contains(QStringLiteral("SetWindowTextA")));
    QCOMPARE(described.at(2), QString());
}

void tst_CatalogueSearch::findNames_byDescription_textOnlyInNames_nothing()
{
    Recordset recordset = catalogue();
    QCOMPARE(byDescription(recordset, QStringLiteral("GetWindow")), QStringList{});
    QCOMPARE(byDescription(recordset, QStringLiteral("CAPTION")),
             QStringList{QStringLiteral("GetWindowText")});
}

void tst_CatalogueSearch::findNames_recordOrder_andWalkEndsAtEOF()
{
    Recordset recordset = recordsetOf({record(QStringLiteral("Zeta")), record(QStringLiteral("Alpha")),
                                       record(QStringLiteral("Beta"))});
    recordset.setAbsolutePosition(2);
    QCOMPARE(CatalogueSearch::findNames(recordset, QStringLiteral("ta"), false),
             (QStringList{QStringLiteral("Zeta"), QStringLiteral("Beta")}));
    QVERIFY(recordset.atEOF());
}

void tst_CatalogueSearch::findNames_byDescription_yehVariants()
{
    Recordset recordset = catalogue();
    QCOMPARE(byDescription(recordset, file(farsiYeh)),
             QStringList{QStringLiteral("CreateFileA")});
    Recordset other = recordsetOf({record(QStringLiteral("A"), {}, {}, {}, file(farsiYeh))});
    QCOMPARE(byDescription(other, file(yeh)), QStringList{QStringLiteral("A")});
}

void tst_CatalogueSearch::findNames_byDescription_zeroWidthNonJoiner()
{
    Recordset recordset = catalogue();
    // The catalogue writes MEEM HEH ZWNJ MEEM; the user types it with and without.
    QCOMPARE(byDescription(recordset, QString(meem) + heh + meem),
             QStringList{QStringLiteral("lstrlenW")});
    QCOMPARE(byDescription(recordset, QString(meem) + heh + zwnj + meem),
             QStringList{QStringLiteral("lstrlenW")});
}

void tst_CatalogueSearch::foldForDescription_foldsVariants()
{
    const QString text = QString(farsiYeh) + alefMaksura + yeh + kaf + keheh + zwnj + QStringLiteral("AB");
    QCOMPARE(CatalogueSearch::foldForDescription(text), QString(yeh) + yeh + yeh + keheh + keheh + QStringLiteral("ab"));
}

QTEST_GUILESS_MAIN(tst_CatalogueSearch)
#include "tst_cataloguesearch.moc"
