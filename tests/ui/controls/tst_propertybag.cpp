#include "ui/controls/PropertyBag.h"
#include "ui/controls/ResizerProperties.h"

#include <QTest>

class tst_PropertyBag : public QObject
{
    Q_OBJECT

private slots:
    void missingKey_givesTheDefault()
    {
        const PropertyBag bag;
        QCOMPARE(bag.readInt32(QStringLiteral("SeparatorSize"), 45), 45);
        QCOMPARE(bag.readInt16(QStringLiteral("BorderStyle"), 1), qint16(1));
        QCOMPARE(bag.readBoolean(QStringLiteral("Enabled"), true), true);
        QCOMPARE(bag.readString(QStringLiteral("ControlName1"), QStringLiteral("x")), QStringLiteral("x"));
    }

    void valueEqualToDefault_isNotStored()
    {
        PropertyBag bag;
        bag.writeInt32(QStringLiteral("SeparatorSize"), 45, 45);
        bag.writeInt16(QStringLiteral("BorderStyle"), 1, 1);
        bag.writeBoolean(QStringLiteral("Enabled"), true, true);
        bag.writeString(QStringLiteral("ControlName1"), QString(), QString());
        QVERIFY(bag.isEmpty());
        QVERIFY(bag.keys().isEmpty());
    }

    void typedValues_keepTheirTypeAndOrder()
    {
        PropertyBag bag;
        bag.writeInt32(QStringLiteral("SeparatorSize"), 80, 45);
        bag.writeInt16(QStringLiteral("BorderStyle"), 0, 1);
        bag.writeBoolean(QStringLiteral("AutoResize"), false, true);
        bag.writeString(QStringLiteral("ControlName1"), QStringLiteral("picTree"), QString());
        QCOMPARE(bag.keys(), QStringList({"SeparatorSize", "BorderStyle", "AutoResize", "ControlName1"}));
        QCOMPARE(bag.typeOf(QStringLiteral("SeparatorSize")), PropertyBag::Type::Int32);
        QCOMPARE(bag.typeOf(QStringLiteral("BorderStyle")), PropertyBag::Type::Int16);
        QCOMPARE(bag.typeOf(QStringLiteral("AutoResize")), PropertyBag::Type::Boolean);
        QCOMPARE(bag.typeOf(QStringLiteral("ControlName1")), PropertyBag::Type::String);
        QVERIFY(!bag.typeOf(QStringLiteral("Orientation")));
        QCOMPARE(bag.readInt32(QStringLiteral("SeparatorSize"), 45), 80);
        QCOMPARE(bag.readInt16(QStringLiteral("BorderStyle"), 1), qint16(0));
        QCOMPARE(bag.readBoolean(QStringLiteral("AutoResize"), true), false);
        QCOMPARE(bag.readString(QStringLiteral("ControlName1"), QString()), QStringLiteral("picTree"));
    }

    void keys_ignoreLetterCase()
    {
        PropertyBag bag;
        bag.writeInt32(QStringLiteral("SeparatorSize"), 80, 45);
        QVERIFY(bag.contains(QStringLiteral("separatorsize")));
        QCOMPARE(bag.readInt32(QStringLiteral("SEPARATORSIZE"), 45), 80);
    }

    void rewriting_replacesInPlace_andADefaultRemoves()
    {
        PropertyBag bag;
        bag.writeInt32(QStringLiteral("A"), 1, 0);
        bag.writeInt32(QStringLiteral("B"), 2, 0);
        bag.writeInt32(QStringLiteral("A"), 3, 0);
        QCOMPARE(bag.keys(), QStringList({"A", "B"}));
        QCOMPARE(bag.readInt32(QStringLiteral("A"), 0), 3);
        bag.writeInt32(QStringLiteral("A"), 0, 0);
        QCOMPARE(bag.keys(), QStringList({"B"}));
        QCOMPARE(bag.readInt32(QStringLiteral("A"), 7), 7);
    }

    void conversions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("asInt32");
        QTest::addColumn<int>("asInt16");
        QTest::addColumn<bool>("asBoolean");
        QTest::newRow("number") << "80" << 80 << 80 << true;
        QTest::newRow("zero") << "0" << 0 << 0 << false;
        QTest::newRow("beyond 16 bits") << "40000" << 40000 << -1 << true;
        QTest::newRow("not a number") << "abc" << -1 << -1 << false;
        QTest::newRow("True") << "True" << -1 << -1 << true;
    }

    void conversions()
    {
        // Text that was stored where a number is read: converted when it is one, else the
        // default (-1 here; false for Booleans).
        QFETCH(QString, text);
        QFETCH(int, asInt32);
        QFETCH(int, asInt16);
        QFETCH(bool, asBoolean);
        PropertyBag bag;
        bag.writeString(QStringLiteral("K"), text, QString());
        QCOMPARE(bag.readInt32(QStringLiteral("K"), -1), asInt32);
        QCOMPARE(int(bag.readInt16(QStringLiteral("K"), -1)), asInt16);
        QCOMPARE(bag.readBoolean(QStringLiteral("K"), false), asBoolean);
    }

    // The text-to-number conversion stopped at a NUL character: "44", NUL, "junk" read
    // as 44 where text that is no number must give the default.
    void textWithNulInside_readAsTheNumberBeforeIt()
    {
        PropertyBag bag;
        bag.writeString(QStringLiteral("K"), QStringLiteral("44") + QChar(0) + QStringLiteral("junk"), QString());
        bag.writeString(QStringLiteral("Z"), QStringLiteral("0") + QChar(0) + QStringLiteral("0"), QString());
        QCOMPARE(bag.readInt32(QStringLiteral("K"), -1), -1);
        QCOMPARE(int(bag.readInt16(QStringLiteral("K"), -1)), -1);
        QCOMPARE(bag.readBoolean(QStringLiteral("K"), false), false);
        QCOMPARE(bag.readBoolean(QStringLiteral("Z"), true), true);
        QCOMPARE(bag.readString(QStringLiteral("K"), QString()).size(), 7);
    }

    void booleans_asNumbersAndText()
    {
        PropertyBag bag;
        bag.writeBoolean(QStringLiteral("T"), true, false);
        bag.writeInt32(QStringLiteral("N"), 5, 0);
        QCOMPARE(bag.readInt32(QStringLiteral("T"), 0), -1);
        QCOMPARE(bag.readString(QStringLiteral("T"), QString()), QStringLiteral("True"));
        QCOMPARE(bag.readBoolean(QStringLiteral("N"), false), true);
        QCOMPARE(bag.readString(QStringLiteral("N"), QString()), QStringLiteral("5"));
    }

    void splitterDefaults_writeNoKeys()
    {
        PropertyBag bag;
        ResizerProperties().write(bag);
        QVERIFY(bag.isEmpty());
    }

    void splitterProperties_writeEveryKeyInOrder_withTheirTypes()
    {
        ResizerProperties p;
        p.layout.separatorSize = 80;
        p.layout.orientation = 0;
        p.borderStyle = 0;
        p.layout.invertControls = true;
        p.backColor = 255;
        p.appearance = 0;
        p.enabled = false;
        p.controlName1 = QStringLiteral("picFn");
        p.controlName2 = QStringLiteral("txtComment");
        p.layout.minControlSize = {1000, 640};
        p.layout.controlVisible = {false, true};
        p.control1Size = 1815;
        p.control2Size = 1240;
        p.layout.autoResize = false;
        PropertyBag bag;
        p.write(bag);
        QCOMPARE(bag.keys(),
                 QStringList({"SeparatorSize", "Orientation", "BorderStyle", "InvertControls", "BackColor",
                              "Appearance", "Enabled", "ControlName1", "ControlName2", "MinControlSize1",
                              "MinControlSize2", "Control1Visible", "Control1Size", "Control2Size",
                              "AutoResize"}));
        QCOMPARE(bag.typeOf(QStringLiteral("BorderStyle")), PropertyBag::Type::Int16);
        QCOMPARE(bag.typeOf(QStringLiteral("Appearance")), PropertyBag::Type::Int16);
        QCOMPARE(bag.typeOf(QStringLiteral("BackColor")), PropertyBag::Type::Int32);
        QCOMPARE(bag.typeOf(QStringLiteral("InvertControls")), PropertyBag::Type::Boolean);
        QCOMPARE(bag.typeOf(QStringLiteral("ControlName2")), PropertyBag::Type::String);
        // Per slot, not per position, although inverted.
        QCOMPARE(bag.readInt32(QStringLiteral("MinControlSize1"), 90), 1000);
        QCOMPARE(bag.readInt32(QStringLiteral("MinControlSize2"), 90), 640);
        QCOMPARE(bag.readBoolean(QStringLiteral("Control1Visible"), true), false);

        const ResizerProperties back = ResizerProperties::read(bag);
        QCOMPARE(back.layout.separatorSize, 80);
        QCOMPARE(back.layout.orientation, 0);
        QCOMPARE(back.borderStyle, qint16(0));
        QCOMPARE(back.layout.invertControls, true);
        QCOMPARE(back.backColor, 255);
        QCOMPARE(back.appearance, qint16(0));
        QCOMPARE(back.enabled, false);
        QCOMPARE(back.controlName1, QStringLiteral("picFn"));
        QCOMPARE(back.controlName2, QStringLiteral("txtComment"));
        QCOMPARE(back.layout.minControlSize[0], 1000);
        QCOMPARE(back.layout.minControlSize[1], 640);
        QCOMPARE(back.layout.controlVisible[0], false);
        QCOMPARE(back.layout.controlVisible[1], true);
        QCOMPARE(back.control1Size, 1815);
        QCOMPARE(back.control2Size, 1240);
        QCOMPARE(back.layout.autoResize, false);
    }

    void read_takesValuesWithoutRangeChecks()
    {
        PropertyBag bag;
        bag.writeInt32(QStringLiteral("SeparatorSize"), 3, 45);
        bag.writeInt32(QStringLiteral("MinControlSize2"), 10, 90);
        bag.writeInt32(QStringLiteral("Orientation"), 7, 1);
        const ResizerProperties p = ResizerProperties::read(bag);
        QCOMPARE(p.layout.separatorSize, 3);
        QCOMPARE(p.layout.minControlSize[0], 90);
        QCOMPARE(p.layout.minControlSize[1], 10);
        QCOMPARE(p.layout.orientation, 7);
        QCOMPARE(p.backColor, qint32(0x8000000F));
        QCOMPARE(p.borderStyle, qint16(1));
    }
};

QTEST_APPLESS_MAIN(tst_PropertyBag)
#include "tst_propertybag.moc"
