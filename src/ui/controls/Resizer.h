#pragma once

#include "OleColor.h"
#include "ResizerExtent.h"
#include "ResizerState.h"

#include <QFrame>
#include <QList>
#include <QPointF>
#include <QPointer>
#include <QString>

class Prompter;
class PropertyBag;
class QLabel;

// A container that shares its room between two controls, one above the other
// (Orientation 0) or side by side (Orientation 1), with a strip between them that the
// user drags to share the room differently.
//
// The contained controls are the splitter's child widgets in the order they came in
// (setControls puts two of them first); the first is slot 0, the second slot 1, and any
// further ones take no part except in Enabled. Position 1 (top or left) holds slot 0 and
// position 2 slot 1, or the other way round with InvertControls. Properties whose names
// end in 1 or 2 address positions; minimum sizes and visibility flags belong to slots
// and so travel with their control.
//
// Every size and position is in twips; the widgets are placed in pixels through
// TwipPlacement. Writing a property raises PropertyChanged with its name, which tells the
// host that the stored description needs saving.
class Resizer : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(int SeparatorSize READ SeparatorSize WRITE setSeparatorSize)
    Q_PROPERTY(int Orientation READ Orientation WRITE setOrientation)
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(bool InvertControls READ InvertControls WRITE setInvertControls)
    Q_PROPERTY(int BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(int Appearance READ Appearance WRITE setAppearance)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabledProperty)
    Q_PROPERTY(QString ControlName1 READ ControlName1 WRITE setControlName1)
    Q_PROPERTY(QString ControlName2 READ ControlName2 WRITE setControlName2)
    Q_PROPERTY(int MinControlSize1 READ MinControlSize1 WRITE setMinControlSize1)
    Q_PROPERTY(int MinControlSize2 READ MinControlSize2 WRITE setMinControlSize2)
    Q_PROPERTY(bool Control1Visible READ Control1Visible WRITE setControl1Visible)
    Q_PROPERTY(bool Control2Visible READ Control2Visible WRITE setControl2Visible)
    Q_PROPERTY(int Control1Size READ Control1Size WRITE setControl1Size)
    Q_PROPERTY(int Control2Size READ Control2Size WRITE setControl2Size)
    Q_PROPERTY(bool AutoResize READ AutoResize WRITE setAutoResize)

public:
    // A new splitter: separator 45, side by side, not inverted, minimums 90, both
    // controls visible, auto-resize on; no border, the button-face colour, enabled. The
    // bar already shows the resize cursor of the orientation.
    explicit Resizer(QWidget *parent = nullptr);
    ~Resizer() override;

    // Makes first and second the splitter's slot 0 and slot 1, taking them in from
    // wherever they are (a control that was not hidden stays visible). Lays out at once
    // when the splitter is visible.
    void setControls(QWidget *first, QWidget *second);
    // The contained controls in collection order; the bar is not one of them.
    QList<QWidget *> containedControls() const;
    // The control at position 1 or 2, or null when there is none.
    QWidget *controlAt(int position) const;
    // The bar under the contained controls; the part of it between them is the strip.
    QLabel *lblResizer() const { return m_bar; }

    // Strip thickness. Values below 15 are ignored; accepted ones relayout.
    qint32 SeparatorSize() const { return m_state.separatorSize; }
    void setSeparatorSize(qint32 twips);
    // 0 stacked, 1 side by side; any value is kept, other ones lay nothing out beyond
    // visibility and leave the bar's cursor as it was. Relayouts.
    qint32 Orientation() const { return m_state.orientation; }
    void setOrientation(qint32 orientation);
    // 0 no border, 1 a fixed single border (sunken with Appearance 1, flat with 0).
    // Other values are refused: nothing changes and nothing is notified. No relayout.
    qint32 BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(qint32 style);
    bool InvertControls() const { return m_state.invertControls; }
    void setInvertControls(bool invert);
    // A Basic colour value (see OleColor); default the button-face system colour.
    qint32 BackColor() const { return m_backColor; }
    void setBackColor(qint32 color);
    // 0 flat, 1 three-dimensional; other values are refused like BorderStyle's.
    qint32 Appearance() const { return m_appearance; }
    void setAppearance(qint32 appearance);
    // The splitter's own enabled state. Writing it sets every contained control, all of
    // them, to the same state.
    bool Enabled() const;
    void setEnabledProperty(bool enabled);
    // The object name of the control at the position; empty when there is none.
    QString ControlName1() const;
    void setControlName1(const QString &name);
    QString ControlName2() const;
    void setControlName2(const QString &name);
    // Minimum extent of the slot at the position. Values below 90 are ignored. No relayout.
    qint32 MinControlSize1() const;
    void setMinControlSize1(qint32 twips);
    qint32 MinControlSize2() const;
    void setMinControlSize2(qint32 twips);
    // Whether the slot at the position takes part in the layout. Hiding one while the
    // other is hidden shows the other again, so one side always stays.
    bool Control1Visible() const;
    void setControl1Visible(bool visible);
    bool Control2Visible() const;
    void setControl2Visible(bool visible);
    // Height (stacked) or width (otherwise) of the control at the position, 0 when none.
    qint32 Control1Size() const;
    qint32 Control2Size() const;
    // Gives the control at the position that extent, kept between the minimum m of the
    // first (Control1Size) or second (Control2Size) contained control and the splitter's
    // outer extent less m; the other position gets the rest, then the splitter lays out.
    // False, with no layout and no notification, when the other position is empty while
    // this one is filled, or a control refuses its extent.
    bool setControl1Size(qint32 twips);
    bool setControl2Size(qint32 twips);
    // Kept only: it shows at the next layout. No notification.
    bool AutoResize() const { return m_state.autoResize; }
    void setAutoResize(bool autoResize) { m_state.autoResize = autoResize; }

    // Stretches the bar over the splitter, applies the visibility flags and places both
    // controls with the strip between them, the first keeping its extent.
    void LayoutControls();
    // The splitter's about box.
    void About(Prompter &prompter) const;

    // Back to the values of a new splitter; the surface and the bar's cursor stay.
    void InitProperties();
    // Restores the splitter from a host's stored description. Values are taken as
    // stored, without the setters' checks; border, colour, appearance and enabled state
    // go to the surface without notification, and the bar's cursor follows the
    // orientation. No layout: that comes with the next show or resize.
    void ReadProperties(const PropertyBag &bag);
    // Saves the splitter into a host's stored description.
    void WriteProperties(PropertyBag &bag) const;

    // The bar's pointer handlers, as the bar's mouse events call them. button is the
    // button state (1 left, 2 right, 4 middle, added up), shift the modifier state (1
    // shift, 2 control, 4 alt), x and y twips from the splitter's inner corner.
    void lblResizer_MouseDown(int button, int shift, float x, float y);
    void lblResizer_MouseMove(int button, int shift, float x, float y);

    // Where the last press or move of a drag left off, in twips.
    QPointF dragAnchor() const { return QPointF(m_anchorX, m_anchorY); }
    // True while a pointer move over the bar is being handled.
    bool isBusy() const { return m_busy; }
    // The splitter's own size, outer and inner, in twips.
    ResizerExtent extent() const;
    // The settings that the layout works from.
    const ResizerState &state() const { return m_state; }

signals:
    // After every pointer move over the bar, dragging or not.
    void ResizeItems();
    // After the splitter's own resize handling has laid it out: when it is resized, and
    // at the start of every pointer move over the bar.
    void Resize();
    // A property was written through its setter.
    void PropertyChanged(const QString &propertyName);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void childEvent(QChildEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class Bound;

    QWidget *slotControl(int slot) const;
    QPoint innerOrigin() const;
    void resizeHandling();
    void setBarCursor();
    void applyFrame();
    void applyBackColor();
    void setSlotMinimum(int position, qint32 twips, const QString &propertyName);
    void setPositionVisible(int position, bool visible);

    QLabel *m_bar = nullptr;
    QList<QPointer<QWidget>> m_contained;
    ResizerState m_state;
    qint16 m_borderStyle = 0;
    qint32 m_backColor = OleColor::buttonFace;
    qint16 m_appearance = 1;
    QString m_savedName1;
    QString m_savedName2;
    qint32 m_savedSize1 = 0;
    qint32 m_savedSize2 = 0;
    float m_anchorX = 0;
    float m_anchorY = 0;
    bool m_busy = false;
};
