#include "support/ScriptedPrompter.h"

#include "ui/controls/PropertyBag.h"
#include "ui/controls/Resizer.h"
#include "ui/controls/TwipPlacement.h"

#include "platform/Texts.h"

#include <QLabel>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>

namespace {

// A shown host window with a splitter placed in it by twips, and two plain controls.
struct Host
{
    explicit Host(const QRect &twips = QRect(120, 600, 9255, 3135))
    {
        window.resize(800, 600);
        resizer = new Resizer(&window);
        first = new QWidget(resizer);
        first->setObjectName(QStringLiteral("picTree"));
        second = new QWidget(resizer);
        second->setObjectName(QStringLiteral("resFunction"));
        TwipPlacement::place(resizer, twips);
        window.show();
        exposed = QTest::qWaitForWindowExposed(&window);
    }

    QRect twipsOf(const QWidget *control) const { return TwipPlacement::geometry(control); }

    QWidget window;
    bool exposed = false;
    Resizer *resizer = nullptr;
    QWidget *first = nullptr;
    QWidget *second = nullptr;
};

void makeResControls(Resizer *r)
{
    r->setSeparatorSize(80);
    r->setMinControlSize1(1430);
    r->setMinControlSize2(2000);
    r->setAutoResize(false);
}

QStringList names(const QSignalSpy &spy)
{
    QStringList result;
    for (const QList<QVariant> &arguments : spy)
        result << arguments.at(0).toString();
    return result;
}

} // namespace

class tst_Resizer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QWidget probe;
        if (probe.logicalDpiX() != 96 || probe.logicalDpiY() != 96)
            QSKIP("the pixel figures here are for 96 dpi");
    }

    void newInstance_hasTheDefaults()
    {
        Resizer r;
        QCOMPARE(r.SeparatorSize(), 45);
        QCOMPARE(r.Orientation(), 1);
        QCOMPARE(r.InvertControls(), false);
        QCOMPARE(r.MinControlSize1(), 90);
        QCOMPARE(r.MinControlSize2(), 90);
        QCOMPARE(r.Control1Visible(), true);
        QCOMPARE(r.Control2Visible(), true);
        QCOMPARE(r.AutoResize(), true);
        QCOMPARE(r.BackColor(), qint32(0x8000000F));
        QCOMPARE(r.Appearance(), 1);
        QCOMPARE(r.BorderStyle(), 0);
        QCOMPARE(r.Enabled(), true);
        QCOMPARE(r.lblResizer()->objectName(), QStringLiteral("lblResizer"));
        QCOMPARE(r.lblResizer()->text(), QString());
        QCOMPARE(r.lblResizer()->cursor().shape(), Qt::SizeHorCursor);
        QVERIFY(r.containedControls().isEmpty());
        QVERIFY(!r.isBusy());
    }

    void fewerThanTwoControls_keepsWorking()
    {
        Host host;
        delete host.second;
        Resizer *r = host.resizer;
        QCOMPARE(r->containedControls(), QList<QWidget *>({host.first}));
        QCOMPARE(r->ControlName1(), QStringLiteral("picTree"));
        QCOMPARE(r->ControlName2(), QString());
        QCOMPARE(r->Control2Size(), 0);
        const QRect before = host.twipsOf(host.first);
        r->LayoutControls();
        QCOMPARE(host.twipsOf(host.first), before);
        QCOMPARE(host.twipsOf(r->lblResizer()), QRect(0, 0, 9255, 3135));
        // Position 2 is empty: the first control takes its width, then the setter fails.
        QSignalSpy changed(r, &Resizer::PropertyChanged);
        QVERIFY(!r->setControl1Size(3000));
        QCOMPARE(r->Control1Size(), 3000);
        QVERIFY(changed.isEmpty());
        QVERIFY(r->setControl2Size(3000));
        QCOMPARE(names(changed), QStringList({"Control2Size"}));
        r->setControlName2(QStringLiteral("nothing"));
        QCOMPARE(r->ControlName2(), QString());
        delete host.first;
        QCOMPARE(r->ControlName1(), QString());
        QCOMPARE(r->Control1Size(), 0);
        r->LayoutControls();
    }

    void resControls_layout_inTwipsAndPixels()
    {
        Host host;
        Resizer *r = host.resizer;
        makeResControls(r);
        TwipPlacement::place(host.first, QRect(0, 0, 4095, 100));
        r->LayoutControls();
        QCOMPARE(host.twipsOf(host.first), QRect(0, 0, 4095, 3135));
        QCOMPARE(host.twipsOf(host.second), QRect(4175, 0, 5080, 3135));
        QCOMPARE(host.first->geometry(), QRect(0, 0, 273, 209));
        QCOMPARE(host.second->geometry(), QRect(278, 0, 339, 209));
        QCOMPARE(r->Control1Size(), 4095);
        QCOMPARE(r->Control2Size(), 5080);
        QCOMPARE(host.twipsOf(r->lblResizer()), QRect(0, 0, 9255, 3135));
    }

    void nestedSplitter_laysOutFromItsExactTwips()
    {
        // The main window's working area: the tree at the left, the function area at the
        // right, itself a stacked splitter of declaration and description.
        Host host;
        Resizer *outer = host.resizer;
        makeResControls(outer);
        delete host.second;
        auto *inner = new Resizer(outer);
        inner->setObjectName(QStringLiteral("resFunction"));
        inner->setOrientation(0);
        inner->setSeparatorSize(80);
        inner->setMinControlSize1(1000);
        inner->setMinControlSize2(640);
        inner->setAutoResize(false);
        auto *picFn = new QWidget(inner);
        auto *txtComment = new QWidget(inner);
        inner->show();
        TwipPlacement::place(picFn, QRect(0, 0, 5085, 1815));
        TwipPlacement::place(host.first, QRect(0, 0, 4095, 3135));
        outer->LayoutControls();
        QCOMPARE(TwipPlacement::geometry(inner), QRect(4175, 0, 5080, 3135));
        QCOMPARE(inner->extent().width, 5080);
        QCOMPARE(TwipPlacement::geometry(picFn), QRect(0, 0, 5080, 1815));
        QCOMPARE(TwipPlacement::geometry(txtComment), QRect(0, 1895, 5080, 1240));
    }

    void wideSplitter_beyond16Bits()
    {
        Host host(QRect(0, 0, 45000, 3000));
        Resizer *r = host.resizer;
        makeResControls(r);
        TwipPlacement::place(host.first, QRect(0, 0, 36000, 3000));
        r->LayoutControls();
        QCOMPARE(host.twipsOf(host.second), QRect(36080, 0, 8920, 3000));
        QCOMPARE(host.second->geometry(), QRect(2405, 0, 595, 200));
    }

    void listView_isPlacedBeyondTheEdges()
    {
        Host host;
        Resizer *r = host.resizer;
        r->setOrientation(0);
        r->setSeparatorSize(90);
        r->setAutoResize(false);
        delete host.first;
        delete host.second;
        // Made after the window was shown, so shown explicitly.
        auto *list = new QListWidget(r);
        auto *text = new QWidget(r);
        list->show();
        text->show();
        TwipPlacement::place(list, QRect(0, 0, 9255, 1500));
        r->LayoutControls();
        QCOMPARE(host.twipsOf(list), QRect(-15, -15, 9285, 1500));
        // The list's height less the two overlaps, then the strip.
        QCOMPARE(host.twipsOf(text), QRect(0, 1560, 9255, 1575));
    }

    void separatorSize_belowFifteenIsIgnored_butNotified()
    {
        Host host;
        Resizer *r = host.resizer;
        r->setAutoResize(false);
        r->LayoutControls();
        QSignalSpy changed(r, &Resizer::PropertyChanged);
        // Move the second control away: a relayout would put it back.
        TwipPlacement::place(host.second, QRect(1, 2, 3, 4));
        r->setSeparatorSize(14);
        QCOMPARE(r->SeparatorSize(), 45);
        QCOMPARE(host.twipsOf(host.second), QRect(1, 2, 3, 4));
        r->setSeparatorSize(15);
        QCOMPARE(r->SeparatorSize(), 15);
        const int firstWidth = r->Control1Size();
        QCOMPARE(host.twipsOf(host.second), QRect(firstWidth + 15, 0, 9255 - firstWidth - 15, 3135));
        QCOMPARE(names(changed), QStringList({"SeparatorSize", "SeparatorSize"}));
    }

    void minControlSize_belowNinetyIsIgnored_andNeverRelayouts()
    {
        Host host;
        Resizer *r = host.resizer;
        r->LayoutControls();
        QSignalSpy changed(r, &Resizer::PropertyChanged);
        TwipPlacement::place(host.second, QRect(1, 2, 3, 4));
        r->setMinControlSize1(89);
        QCOMPARE(r->MinControlSize1(), 90);
        r->setMinControlSize1(90);
        r->setMinControlSize2(2000);
        QCOMPARE(r->MinControlSize2(), 2000);
        QCOMPARE(host.twipsOf(host.second), QRect(1, 2, 3, 4));
        QCOMPARE(names(changed), QStringList({"MinControlSize1", "MinControlSize1", "MinControlSize2"}));
    }

    void invertControls_movesMinimumsWithTheirSlots_bagStaysPerSlot()
    {
        Host host;
        Resizer *r = host.resizer;
        r->setMinControlSize1(1000);
        r->setMinControlSize2(640);
        r->setBorderStyle(1);
        QSignalSpy changed(r, &Resizer::PropertyChanged);
        r->setInvertControls(true);
        QCOMPARE(names(changed), QStringList({"InvertControls"}));
        QCOMPARE(r->MinControlSize1(), 640);
        QCOMPARE(r->MinControlSize2(), 1000);
        QCOMPARE(r->controlAt(1), host.second);
        QCOMPARE(r->ControlName1(), QStringLiteral("resFunction"));
        // Writing position 1 now sets the second control's minimum.
        r->setMinControlSize1(700);
        PropertyBag bag;
        r->WriteProperties(bag);
        QCOMPARE(bag.readInt32(QStringLiteral("MinControlSize1"), 90), 1000);
        QCOMPARE(bag.readInt32(QStringLiteral("MinControlSize2"), 90), 700);
        QCOMPARE(bag.readBoolean(QStringLiteral("InvertControls"), false), true);
    }

    void invertControls_relayoutSwapsTheSides()
    {
        Host host;
        Resizer *r = host.resizer;
        makeResControls(r);
        TwipPlacement::place(host.first, QRect(0, 0, 4095, 3135));
        TwipPlacement::place(host.second, QRect(4175, 0, 5080, 3135));
        r->setInvertControls(true);
        // The second control is now at the left and keeps its width.
        QCOMPARE(host.twipsOf(host.second), QRect(0, 0, 5080, 3135));
        QCOMPARE(host.twipsOf(host.first), QRect(5160, 0, 4095, 3135));
    }

    void orientation_setsTheCursor_notifiesAndRelayouts()
    {
        Host host;
        Resizer *r = host.resizer;
        r->setAutoResize(false);
        QSignalSpy changed(r, &Resizer::PropertyChanged);
        TwipPlacement::place(host.first, QRect(0, 0, 9255, 1000));
        r->setOrientation(0);
        QCOMPARE(r->lblResizer()->cursor().shape(), Qt::SizeVerCursor);
        QCOMPARE(host.twipsOf(host.second), QRect(0, 1045, 9255, 2090));
        r->setOrientation(2);
        QCOMPARE(r->Orientation(), 2);
        QCOMPARE(r->lblResizer()->cursor().shape(), Qt::SizeVerCursor);
        r->setOrientation(1);
        QCOMPARE(r->lblResizer()->cursor().shape(), Qt::SizeHorCursor);
        QCOMPARE(names(changed), QStringList({"Orientation", "Orientation", "Orientation"}));
    }

    void otherOrientation_appliesOnlyTheBarAndVisibility()
    {
        Host host(QRect(0, 0, 3000, 1500));
        Resizer *r = host.resizer;
        r->setOrientation(2);
        TwipPlacement::place(host.first, QRect(15, 30, 45, 60));
        TwipPlacement::place(host.second, QRect(75, 90, 105, 120));
        host.second->hide();
        r->LayoutControls();
        QVERIFY(!host.second->isHidden());
        QCOMPARE(host.twipsOf(host.first), QRect(15, 30, 45, 60));
        QCOMPARE(host.twipsOf(host.second), QRect(75, 90, 105, 120));
        QCOMPARE(host.twipsOf(r->lblResizer()), QRect(0, 0, 3000, 1500));
    }

    void control1Visible_false_hidesTheFirstSlot_andTheSecondFillsTheArea()
    {
        Host host;
        Resizer *r = host.resizer;
        makeResControls(r);
        TwipPlacement::place(host.first, QRect(0, 0, 4095, 3135));
        r->LayoutControls();
        QSignalSpy changed(r, &Resizer::PropertyChanged);
        r->setControl1Visible(false);
        QCOMPARE(names(changed), QStringList({"Control1Visible"}));
        QVERIFY(host.first->isHidden());
        QCOMPARE(host.twipsOf(host.first), QRect(9255, 0, 4095, 3135));
        QCOMPARE(host.first->x(), 617);
        QCOMPARE(host.twipsOf(host.second), QRect(0, 0, 9255, 3135));
        QVERIFY(host.second->isVisible());

        // Back again: both share the room, each (9255 - 80) \ 2 = 4587 wide.
        r->setControl1Visible(true);
        QVERIFY(host.first->isVisible());
        QCOMPARE(host.twipsOf(host.first), QRect(0, 0, 4587, 3135));
        QCOMPARE(host.twipsOf(host.second), QRect(4667, 0, 4588, 3135));
    }

    void hidingBothSides_keepsTheOtherVisible()
    {
        Host host;
        Resizer *r = host.resizer;
        r->setControl2Visible(false);
        QVERIFY(host.second->isHidden());
        QSignalSpy changed(r, &Resizer::PropertyChanged);
        r->setControl1Visible(false);
        QCOMPARE(r->Control1Visible(), false);
        QCOMPARE(r->Control2Visible(), true);
        QCOMPARE(names(changed), QStringList({"Control2Visible", "Control1Visible"}));
        QVERIFY(host.first->isHidden());
        QVERIFY(!host.second->isHidden());

        changed.clear();
        r->setControl2Visible(false);
        QCOMPARE(r->Control1Visible(), true);
        QCOMPARE(names(changed), QStringList({"Control1Visible", "Control2Visible"}));
        QVERIFY(!host.first->isHidden());
        QVERIFY(host.second->isHidden());
    }

    void control1Size_setter_clampsToTheMinimum_andRelayouts()
    {
        Host host;
        Resizer *r = host.resizer;
        r->setAutoResize(false);
        QSignalSpy changed(r, &Resizer::PropertyChanged);
        QVERIFY(r->setControl1Size(50));
        QCOMPARE(r->Control1Size(), 90);
        QVERIFY(r->setControl1Size(9255));
        QCOMPARE(r->Control1Size(), 9165);
        QVERIFY(r->setControl1Size(4000));
        QCOMPARE(r->Control1Size(), 4000);
        QCOMPARE(host.twipsOf(host.second), QRect(4045, 0, 5210, 3135));
        QCOMPARE(names(changed), QStringList({"Control1Size", "Control1Size", "Control1Size"}));
        // Writing the second size leaves it that size less the strip.
        QVERIFY(r->setControl2Size(5000));
        QCOMPARE(r->Control2Size(), 4955);
    }

    void enabled_reachesEveryContainedControl()
    {
        Host host;
        Resizer *r = host.resizer;
        auto *third = new QWidget(r);
        QSignalSpy changed(r, &Resizer::PropertyChanged);
        r->setEnabledProperty(false);
        QCOMPARE(r->Enabled(), false);
        for (QWidget *control : {host.first, host.second, third})
            QVERIFY(control->testAttribute(Qt::WA_ForceDisabled));
        r->setEnabledProperty(true);
        for (QWidget *control : {host.first, host.second, third})
            QVERIFY(control->isEnabled());
        QCOMPARE(names(changed), QStringList({"Enabled", "Enabled"}));
    }

    void furtherControls_takeNoPart()
    {
        Host host;
        Resizer *r = host.resizer;
        auto *third = new QWidget(r);
        TwipPlacement::place(third, QRect(15, 15, 30, 30));
        r->LayoutControls();
        QCOMPARE(host.twipsOf(third), QRect(15, 15, 30, 30));
    }

    void controlNames_readAndWriteTheControlsAtThePositions()
    {
        Host host;
        Resizer *r = host.resizer;
        QSignalSpy changed(r, &Resizer::PropertyChanged);
        r->setControlName1(QStringLiteral("picFn"));
        r->setControlName2(QStringLiteral("txtComment"));
        QCOMPARE(host.first->objectName(), QStringLiteral("picFn"));
        QCOMPARE(host.second->objectName(), QStringLiteral("txtComment"));
        QCOMPARE(r->ControlName1(), QStringLiteral("picFn"));
        QCOMPARE(names(changed), QStringList({"ControlName1", "ControlName2"}));
        // The stored names are not the controls' names.
        PropertyBag bag;
        r->WriteProperties(bag);
        QVERIFY(!bag.contains(QStringLiteral("ControlName1")));
    }

    void autoResize_isKeptWithoutNotificationOrLayout()
    {
        Host host;
        Resizer *r = host.resizer;
        QSignalSpy changed(r, &Resizer::PropertyChanged);
        TwipPlacement::place(host.first, QRect(0, 0, 9000, 3135));
        TwipPlacement::place(host.second, QRect(1, 2, 3, 4));
        r->setMinControlSize2(2000);
        changed.clear();
        r->setAutoResize(false);
        r->setAutoResize(true);
        QVERIFY(changed.isEmpty());
        QCOMPARE(host.twipsOf(host.second), QRect(1, 2, 3, 4));
        r->LayoutControls();
        QCOMPARE(host.twipsOf(host.first), QRect(0, 0, 7210, 3135));
    }

    void borderStyle_setsTheSurface_withoutRelayout()
    {
        Host host;
        Resizer *r = host.resizer;
        QSignalSpy changed(r, &Resizer::PropertyChanged);
        r->setBorderStyle(1);
        QCOMPARE(r->BorderStyle(), 1);
        QCOMPARE(r->frameWidth(), 2);
        QCOMPARE(r->extent().width, 9255);
        QCOMPARE(r->extent().innerWidth, 9195);
        r->setAppearance(0);
        QCOMPARE(r->frameWidth(), 1);
        QCOMPARE(r->extent().innerHeight, 3105);
        r->setBorderStyle(2);
        r->setAppearance(5);
        QCOMPARE(r->BorderStyle(), 1);
        QCOMPARE(r->Appearance(), 0);
        r->setBackColor(0x0000FF);
        QCOMPARE(r->palette().color(QPalette::Window), QColor(255, 0, 0));
        QCOMPARE(names(changed), QStringList({"BorderStyle", "Appearance", "BackColor"}));
    }

    void innerArea_isWithinTheBorder()
    {
        Host host(QRect(0, 0, 3060, 1560));
        Resizer *r = host.resizer;
        r->setBorderStyle(1);
        r->setOrientation(0);
        r->setAutoResize(false);
        TwipPlacement::place(host.first, QRect(0, 0, 10, 600));
        r->LayoutControls();
        // Two pixels of sunken border: 30 twips each side; children sit inside it.
        QCOMPARE(host.first->geometry(), QRect(2, 2, 200, 40));
        QCOMPARE(host.second->geometry(), QRect(2, 45, 200, 57));
        QCOMPARE(r->Control2Size(), 1500 - 645);
    }

    void allDefaults_writeNoKeys()
    {
        Resizer r;
        PropertyBag bag;
        r.WriteProperties(bag);
        // A new splitter has no border, which differs from the stored default.
        QCOMPARE(bag.keys(), QStringList({"BorderStyle"}));
        r.setBorderStyle(1);
        PropertyBag defaults;
        r.WriteProperties(defaults);
        QVERIFY(defaults.isEmpty());
    }

    void bag_roundTrip()
    {
        Host host;
        Resizer *r = host.resizer;
        PropertyBag stored;
        stored.writeString(QStringLiteral("ControlName1"), QStringLiteral("picFn"), QString());
        stored.writeInt32(QStringLiteral("Control1Size"), 1815, 0);
        r->ReadProperties(stored);
        r->setSeparatorSize(80);
        r->setOrientation(0);
        r->setInvertControls(true);
        r->setBackColor(15722471);
        r->setAppearance(0);
        r->setMinControlSize1(1000);
        r->setMinControlSize2(640);
        r->setControl2Visible(false);
        r->setAutoResize(false);
        r->setEnabledProperty(false);
        PropertyBag bag;
        r->WriteProperties(bag);

        Resizer copy;
        copy.ReadProperties(bag);
        PropertyBag again;
        copy.WriteProperties(again);
        QCOMPARE(again.keys(), bag.keys());
        for (const QString &key : bag.keys())
            QCOMPARE(again.readString(key, QString()), bag.readString(key, QString()));
        QCOMPARE(copy.SeparatorSize(), 80);
        QCOMPARE(copy.Orientation(), 0);
        QCOMPARE(copy.InvertControls(), true);
        QCOMPARE(copy.BackColor(), 15722471);
        QCOMPARE(copy.Appearance(), 0);
        QCOMPARE(copy.BorderStyle(), 1);
        QCOMPARE(copy.Enabled(), false);
        QCOMPARE(copy.MinControlSize1(), 1000);
        QCOMPARE(copy.MinControlSize2(), 640);
        QCOMPARE(copy.Control1Visible(), true);
        QCOMPARE(copy.Control2Visible(), false);
        QCOMPARE(copy.AutoResize(), false);
        QCOMPARE(bag.readString(QStringLiteral("ControlName1"), QString()), QStringLiteral("picFn"));
        QCOMPARE(bag.readInt32(QStringLiteral("Control1Size"), 0), 1815);
    }

    void readProperties_noChecks_noNotification_noLayout()
    {
        Host host;
        Resizer *r = host.resizer;
        r->LayoutControls();
        TwipPlacement::place(host.second, QRect(1, 2, 3, 4));
        PropertyBag bag;
        bag.writeInt32(QStringLiteral("SeparatorSize"), 3, 45);
        bag.writeInt32(QStringLiteral("MinControlSize1"), 10, 90);
        bag.writeInt32(QStringLiteral("Orientation"), 0, 1);
        bag.writeBoolean(QStringLiteral("Enabled"), false, true);
        QSignalSpy changed(r, &Resizer::PropertyChanged);
        r->ReadProperties(bag);
        QVERIFY(changed.isEmpty());
        QCOMPARE(r->SeparatorSize(), 3);
        QCOMPARE(r->MinControlSize1(), 10);
        QCOMPARE(r->BorderStyle(), 1);
        QCOMPARE(r->lblResizer()->cursor().shape(), Qt::SizeVerCursor);
        QCOMPARE(host.twipsOf(host.second), QRect(1, 2, 3, 4));
        QCOMPARE(r->Enabled(), false);
        // The enabled state is not pushed to the contained controls here.
        QVERIFY(!host.first->testAttribute(Qt::WA_ForceDisabled));
    }

    void initProperties_restoresTheNewInstanceState()
    {
        Resizer r;
        r.setSeparatorSize(80);
        r.setOrientation(0);
        r.setMinControlSize2(640);
        r.setControl1Visible(false);
        r.setAutoResize(false);
        r.InitProperties();
        QCOMPARE(r.SeparatorSize(), 45);
        QCOMPARE(r.Orientation(), 1);
        QCOMPARE(r.MinControlSize2(), 90);
        QCOMPARE(r.Control1Visible(), true);
        QCOMPARE(r.AutoResize(), true);
        // The bar's cursor is left for the next read or orientation write.
        QCOMPARE(r.lblResizer()->cursor().shape(), Qt::SizeVerCursor);
    }

    void setControls_takesThemInFirst()
    {
        QWidget window;
        auto *r = new Resizer(&window);
        auto *extra = new QWidget(r);
        auto *a = new QWidget(&window);
        auto *b = new QWidget;
        b->hide();
        r->setControls(a, b);
        QCOMPARE(r->containedControls(), QList<QWidget *>({a, b, extra}));
        QCOMPARE(a->parentWidget(), r);
        QVERIFY(!a->isHidden());
        QVERIFY(b->isHidden());
        // Both flags are on, so the first layout shows it.
        window.show();
        QVERIFY(!b->isHidden());
        // Raising a control does not change its slot.
        a->raise();
        b->raise();
        QCOMPARE(r->controlAt(1), a);
        r->setControls(b, a);
        QCOMPARE(r->controlAt(1), b);
    }

    void resizingTheSplitter_laysOutAndRaisesResize()
    {
        Host host;
        Resizer *r = host.resizer;
        r->setAutoResize(false);
        TwipPlacement::place(host.first, QRect(0, 0, 4095, 3135));
        QSignalSpy resized(r, &Resizer::Resize);
        QSignalSpy items(r, &Resizer::ResizeItems);
        TwipPlacement::place(r, QRect(120, 600, 6000, 1500));
        QCOMPARE(resized.count(), 1);
        QCOMPARE(items.count(), 0);
        QCOMPARE(host.twipsOf(host.second), QRect(4140, 0, 1860, 1500));
        QCOMPARE(host.twipsOf(r->lblResizer()), QRect(0, 0, 6000, 1500));
    }

    void moveWithoutButton_laysOutAndRaisesResizeThenResizeItems()
    {
        Host host;
        Resizer *r = host.resizer;
        r->setAutoResize(false);
        TwipPlacement::place(host.first, QRect(0, 0, 4095, 3135));
        TwipPlacement::place(host.second, QRect(1, 2, 3, 4));
        QStringList events;
        connect(r, &Resizer::Resize, r, [&] { events << QStringLiteral("Resize"); });
        connect(r, &Resizer::ResizeItems, r, [&] { events << QStringLiteral("ResizeItems"); });
        // The strip lies from 273 to 278 pixels.
        QTest::mouseMove(r->lblResizer(), QPoint(275, 100));
        QTRY_COMPARE(events, QStringList({"Resize", "ResizeItems"}));
        QCOMPARE(host.twipsOf(host.first), QRect(0, 0, 4095, 3135));
        QCOMPARE(host.twipsOf(host.second), QRect(4140, 0, 5115, 3135));
    }

    void drag_withTheMouse_movesTheStrip()
    {
        // 300 x 200 pixels, stacked, strip of 6 pixels under a first control 100 high.
        Host host(QRect(0, 0, 4500, 3000));
        Resizer *r = host.resizer;
        r->setOrientation(0);
        r->setSeparatorSize(90);
        r->setAutoResize(false);
        QVERIFY(r->setControl1Size(1500));
        QCOMPARE(host.second->geometry(), QRect(0, 106, 300, 94));
        QSignalSpy items(r, &Resizer::ResizeItems);
        QWidget *bar = r->lblResizer();
        QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(150, 103));
        QCOMPARE(r->dragAnchor(), QPointF(2250, 1545));
        QTest::mouseMove(bar, QPoint(150, 113));
        QTRY_COMPARE(items.count(), 1);
        QCOMPARE(host.first->geometry(), QRect(0, 0, 300, 110));
        QCOMPARE(host.second->geometry(), QRect(0, 116, 300, 84));
        QCOMPARE(r->dragAnchor().y(), 1695.0);
        QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(150, 113));
        // After the release a move is only a layout.
        QTest::mouseMove(bar, QPoint(150, 114));
        QTRY_COMPARE(items.count(), 2);
        QCOMPARE(host.first->geometry(), QRect(0, 0, 300, 110));
    }

    void drag_workedExamples_data()
    {
        QTest::addColumn<int>("min2");
        QTest::addColumn<float>("pointer");
        QTest::addColumn<QRect>("expectedFirst");
        QTest::addColumn<QRect>("expectedSecond");
        QTest::addColumn<double>("expectedAnchor");
        QTest::newRow("to 1140") << 90 << 1140.0f << QRect(0, 0, 5000, 1100) << QRect(0, 1180, 5000, 1900) << 1140.0;
        QTest::newRow("to 3100, minimum 640")
            << 640 << 3100.0f << QRect(0, 0, 5000, 2360) << QRect(0, 2440, 5000, 640) << 2400.0;
    }

    void drag_workedExamples()
    {
        QFETCH(int, min2);
        QFETCH(float, pointer);
        QFETCH(QRect, expectedFirst);
        QFETCH(QRect, expectedSecond);
        QFETCH(double, expectedAnchor);
        Host host(QRect(0, 0, 5000, 3080));
        Resizer *r = host.resizer;
        r->setOrientation(0);
        r->setSeparatorSize(80);
        r->setMinControlSize2(min2);
        QVERIFY(r->setControl1Size(1000));
        QCOMPARE(host.twipsOf(host.second), QRect(0, 1080, 5000, 2000));
        r->lblResizer_MouseDown(1, 0, 2500, 1040);
        r->lblResizer_MouseMove(1, 0, 2500, pointer);
        QCOMPARE(host.twipsOf(host.first), expectedFirst);
        QCOMPARE(host.twipsOf(host.second), expectedSecond);
        QCOMPARE(r->dragAnchor().y(), expectedAnchor);
    }

    void drag_onlyWithTheLeftButtonAlone_data()
    {
        QTest::addColumn<int>("downButton");
        QTest::addColumn<int>("moveButton");
        QTest::newRow("left and right held") << 1 << 3;
        QTest::newRow("right") << 1 << 2;
        QTest::newRow("no button") << 1 << 0;
    }

    void drag_onlyWithTheLeftButtonAlone()
    {
        QFETCH(int, downButton);
        QFETCH(int, moveButton);
        Host host(QRect(0, 0, 5000, 3080));
        Resizer *r = host.resizer;
        r->setOrientation(0);
        r->setSeparatorSize(80);
        QVERIFY(r->setControl1Size(1000));
        r->lblResizer_MouseDown(downButton, 0, 2500, 1040);
        QSignalSpy resized(r, &Resizer::Resize);
        QSignalSpy items(r, &Resizer::ResizeItems);
        r->lblResizer_MouseMove(moveButton, 0, 2500, 1140);
        QCOMPARE(host.twipsOf(host.first), QRect(0, 0, 5000, 1000));
        QCOMPARE(resized.count(), 1);
        QCOMPARE(items.count(), 1);
    }

    void pressWithOtherButtons_leavesTheAnchor()
    {
        Resizer r;
        r.lblResizer_MouseDown(1, 0, 10, 20);
        r.lblResizer_MouseDown(3, 0, 30, 40);
        r.lblResizer_MouseDown(2, 0, 50, 60);
        QCOMPARE(r.dragAnchor(), QPointF(10, 20));
    }

    void moveWhileBusy_isDropped()
    {
        Host host(QRect(0, 0, 5000, 3080));
        Resizer *r = host.resizer;
        r->setOrientation(0);
        r->setSeparatorSize(80);
        QVERIFY(r->setControl1Size(1000));
        r->lblResizer_MouseDown(1, 0, 2500, 1040);
        int nested = 0;
        bool busyInside = false;
        QSignalSpy items(r, &Resizer::ResizeItems);
        // A host handler that lets another move through while the first is handled.
        connect(r, &Resizer::Resize, r, [&] {
            busyInside = r->isBusy();
            if (nested++ == 0)
                r->lblResizer_MouseMove(1, 0, 2500, 2000);
        });
        r->lblResizer_MouseMove(1, 0, 2500, 1140);
        QVERIFY(busyInside);
        QCOMPARE(nested, 1);
        QCOMPARE(items.count(), 1);
        QVERIFY(!r->isBusy());
        QCOMPARE(host.twipsOf(host.first), QRect(0, 0, 5000, 1100));
    }

    void moveWithAMissingControl_onlyLaysOutAndRaisesBoth()
    {
        Host host;
        Resizer *r = host.resizer;
        delete host.second;
        const QRect before = host.twipsOf(host.first);
        QSignalSpy resized(r, &Resizer::Resize);
        QSignalSpy items(r, &Resizer::ResizeItems);
        r->lblResizer_MouseDown(1, 0, 100, 100);
        r->lblResizer_MouseMove(1, 0, 500, 100);
        QCOMPARE(host.twipsOf(host.first), before);
        QCOMPARE(resized.count(), 1);
        QCOMPARE(items.count(), 1);
    }

    void about_showsItsBox()
    {
        Resizer r;
        ScriptedPrompter prompter;
        r.About(prompter);
        QCOMPARE(prompter.messages.size(), 1);
        QCOMPARE(prompter.messages[0].caption, QStringLiteral("About Resizer"));
        QCOMPARE(prompter.messages[0].icon, Prompter::Icon::Information);
        const QStringList lines = prompter.messages[0].text.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QStringLiteral("Resizer"));
    }

    void properties_throughTheMetaObject()
    {
        Resizer r;
        QVERIFY(r.setProperty("SeparatorSize", 80));
        QCOMPARE(r.SeparatorSize(), 80);
        QCOMPARE(r.property("Orientation").toInt(), 1);
        QVERIFY(r.setProperty("Control1Visible", false));
        QCOMPARE(r.Control1Visible(), false);
    }
};

QTEST_MAIN(tst_Resizer)
#include "tst_resizer.moc"
