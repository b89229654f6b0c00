#include "find/AnsiCodePage.h"

#include <QTest>

class tst_AnsiCodePage : public QObject
{
    Q_OBJECT

private slots:
    void ascii_staysAsItIs();
    void persianLetters_haveTheirBytes();
    void everyByte_decodesAndEncodesBack();
    void characterWithoutByte_cannotBeEncoded();
};

void tst_AnsiCodePage::ascii_staysAsItIs()
{
    QCOMPARE(AnsiCodePage::encode(u"GetProcAddress").value(), QByteArray("GetProcAddress"));
    QCOMPARE(AnsiCodePage::encode(u"").value(), QByteArray());
}

void tst_AnsiCodePage::persianLetters_haveTheirBytes()
{
    // YEH, KEHEH, PEH, the Arabic comma and ZERO WIDTH NON-JOINER.
    const QString text = QString(QChar(0x064A)) + QChar(0x06A9) + QChar(0x067E) + QChar(0x060C) + QChar(0x200C);
    QCOMPARE(AnsiCodePage::encode(text).value(), QByteArray("\xED\x98\x81\xA1\x9D"));
    QCOMPARE(AnsiCodePage::decode("\xED\x98\x81\xA1\x9D"), text);
}

void tst_AnsiCodePage::everyByte_decodesAndEncodesBack()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString text = AnsiCodePage::decode(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(AnsiCodePage::encode(text).value(), all);
}

void tst_AnsiCodePage::characterWithoutByte_cannotBeEncoded()
{
    QVERIFY(!AnsiCodePage::encode(u"A\u0100").has_value());
    QVERIFY(!AnsiCodePage::encode(QString(QChar(0x06CC))).has_value()); // FARSI YEH
    QVERIFY(!AnsiCodePage::encode(QStringLiteral("\U0001F600")).has_value());
}

QTEST_GUILESS_MAIN(tst_AnsiCodePage)
#include "tst_ansicodepage.moc"
