#include "platform/Windows1256.h"
#include "platform/Texts.h"

#include <QStringDecoder>
#include <QTest>

class tst_Windows1256 : public QObject
{
    Q_OBJECT

private slots:
    void strict_asciiAndPersianHaveTheirBytes()
    {
        QCOMPARE(Windows1256::encodeStrict(u"GetProcAddress").value(), QByteArray("GetProcAddress"));
        QCOMPARE(Windows1256::encodeStrict(u"").value(), QByteArray());
        // YEH, KEHEH, PEH, the Arabic comma and ZERO WIDTH NON-JOINER.
        const QString text = QString(QChar(0x064A)) + QChar(0x06A9) + QChar(0x067E) + QChar(0x060C) + QChar(0x200C);
        QCOMPARE(Windows1256::encodeStrict(text).value(), QByteArray("\xED\x98\x81\xA1\x9D"));
    }

    void strict_everyByteEncodesBack()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(static_cast<char>(b));
        QCOMPARE(Windows1256::encodeStrict(Windows1256::decode(all)).value(), all);
    }

    void strict_characterWithoutByte_cannotBeEncoded()
    {
        QVERIFY(!Windows1256::encodeStrict(u"A\u0100").has_value());
        QVERIFY(!Windows1256::encodeStrict(QString(QChar(0x06CC))).has_value()); // FARSI YEH
        QVERIFY(!Windows1256::encodeStrict(QStringLiteral("\U0001F600")).has_value());
        QVERIFY(!Windows1256::encodeStrict(QString(QChar(0xD800))).has_value()); // a lone half
    }

    void ascii_isItsOwnByte()
    {
        QString all;
        for (char16_t c = 0; c < 0x80; ++c)
            all.append(QChar(c));
        const QByteArray bytes = Windows1256::encode(all);
        QCOMPARE(bytes.size(), 128);
        for (int i = 0; i < 128; ++i)
            QCOMPARE(static_cast<unsigned char>(bytes.at(i)), static_cast<unsigned char>(i));
    }

    void knownBytes_data()
    {
        QTest::addColumn<int>("codePoint");
        QTest::addColumn<int>("byte");
        QTest::newRow("euro") << 0x20AC << 0x80;
        QTest::newRow("peh") << 0x067E << 0x81;
        QTest::newRow("tcheh") << 0x0686 << 0x8D;
        QTest::newRow("jeh") << 0x0698 << 0x8E;
        QTest::newRow("gaf") << 0x06AF << 0x90;
        QTest::newRow("keheh") << 0x06A9 << 0x98;
        QTest::newRow("zero width non-joiner") << 0x200C << 0x9D;
        QTest::newRow("arabic comma") << 0x060C << 0xA1;
        QTest::newRow("arabic semicolon") << 0x061B << 0xBA;
        QTest::newRow("arabic question mark") << 0x061F << 0xBF;
        QTest::newRow("hamza") << 0x0621 << 0xC1;
        QTest::newRow("alef") << 0x0627 << 0xC7;
        QTest::newRow("multiplication sign") << 0x00D7 << 0xD7;
        QTest::newRow("tatweel") << 0x0640 << 0xDC;
        QTest::newRow("lam") << 0x0644 << 0xE1;
        QTest::newRow("alef maksura") << 0x0649 << 0xEC;
        QTest::newRow("arabic yeh") << 0x064A << 0xED;
        QTest::newRow("shadda") << 0x0651 << 0xF8;
        QTest::newRow("left-to-right mark") << 0x200E << 0xFD;
        QTest::newRow("right-to-left mark") << 0x200F << 0xFE;
        QTest::newRow("yeh barree") << 0x06D2 << 0xFF;
    }

    void knownBytes()
    {
        QFETCH(int, codePoint);
        QFETCH(int, byte);
        const QByteArray bytes = Windows1256::encode(QString(QChar(char16_t(codePoint))));
        QCOMPARE(bytes.size(), 1);
        QCOMPARE(static_cast<unsigned char>(bytes.at(0)), static_cast<unsigned char>(byte));
        QCOMPARE(int(Windows1256::toUnicode(static_cast<unsigned char>(byte))), codePoint);
    }

    void persianMenuTexts_encodeToKnownBytes()
    {
        QCOMPARE(Windows1256::encode(Texts::mnuCopy0),
                 QByteArray::fromHex("98 81 ed 20 e4 c7 e3 20 ca c7 c8 da"));
        QCOMPARE(Windows1256::encode(Texts::mnuCopy2), QByteArray::fromHex("98 81 ed 20 ca e6 d6 ed cd c7 ca"));
        QCOMPARE(Windows1256::encode(Texts::mnuSave), QByteArray::fromHex("d0 ce ed d1 e5 20 ca c7 c8 da"));
    }

    void everyUpperByte_roundTrips()
    {
        for (int byte = 0x80; byte <= 0xFF; ++byte) {
            const QByteArray one(1, static_cast<char>(byte));
            const QString text = Windows1256::decode(one);
            QCOMPARE(text.size(), 1);
            QVERIFY2(text.at(0).unicode() >= 0x80, qPrintable(QString::number(byte, 16)));
            QCOMPARE(Windows1256::encode(text), one);
        }
    }

    void table_agreesWithThePlatformConverter_whereThereIsOne()
    {
        QStringDecoder decoder("windows-1256");
        if (!decoder.isValid())
            QSKIP("this Qt has no converter for windows-1256 to compare with");
        QByteArray upper;
        for (int byte = 0x80; byte <= 0xFF; ++byte)
            upper.append(static_cast<char>(byte));
        const QString expected = decoder.decode(upper);
        QCOMPARE(Windows1256::decode(upper), expected);
    }

    void unmappable_becomesQuestionMark_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("farsi yeh") << QString(QChar(0x06CC)) << QByteArray("?");
        QTest::newRow("white smiling face") << QString(QChar(0x263A)) << QByteArray("?");
        QTest::newRow("latin small a with acute") << QString(QChar(0x00E1)) << QByteArray("?");
        QTest::newRow("cyrillic") << QStringLiteral("x") + QChar(0x0416) + QStringLiteral("y") << QByteArray("x?y");
        QTest::newRow("beyond the basic plane is one character")
            << QStringLiteral("a") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("b") << QByteArray("a?b");
        QTest::newRow("lone high surrogate") << QStringLiteral("a") + QChar(0xD83D) + QStringLiteral("b")
                                             << QByteArray("a?b");
        QTest::newRow("lone low surrogate") << QString(QChar(0xDE00)) << QByteArray("?");
        QTest::newRow("high surrogate at the end") << QStringLiteral("a") + QChar(0xD83D) << QByteArray("a?");
    }

    void unmappable_becomesQuestionMark()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(Windows1256::encode(text), bytes);
    }

    void empty_givesNoBytes()
    {
        QCOMPARE(Windows1256::encode(QString()), QByteArray());
        QCOMPARE(Windows1256::decode(QByteArray()), QString());
    }
};

QTEST_APPLESS_MAIN(tst_Windows1256)
#include "tst_windows1256.moc"
