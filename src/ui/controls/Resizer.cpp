#include "Resizer.h"

#include "PropertyBag.h"
#include "ResizerGeometry.h"
#include "ResizerProperties.h"
#include "ResizerWidgetItem.h"
#include "TwipPlacement.h"

#include "platform/Prompter.h"
#include "platform/Texts.h"
#include "platform/Twips.h"

#include <QChildEvent>
#include <QLabel>
#include "ButtonState.h"

#include <QMouseEvent>
#include <QResizeEvent>

#include <optional>

// The geometry rules bound to the splitter's current controls and size. Built afresh for
// every operation: nothing about the contained controls is kept between operations.
class Resizer::Bound
{
public:
    explicit Bound(const Resizer &resizer)
    {
        const QPoint origin = resizer.innerOrigin();
        if (QWidget *first = resizer.slotControl(0))
            m_items[0].emplace(first, origin);
        if (QWidget *second = resizer.slotControl(1))
            m_items[1].emplace(second, origin);
        m_geometry.emplace(resizer.m_state, resizer.extent(), item(0), item(1));
    }
    Q_DISABLE_COPY_MOVE(Bound)

    const ResizerGeometry &geometry() const { return *m_geometry; }

private:
    ResizerItem *item(int slot) { return m_items[slot] ? &*m_items[slot] : nullptr; }

    std::optional<ResizerWidgetItem> m_items[2];
    std::optional<ResizerGeometry> m_geometry;
};

namespace {


int shiftState(Qt::KeyboardModifiers modifiers)
{
    int state = 0;
    if (modifiers & Qt::ShiftModifier)
        state |= 1;
    if (modifiers & Qt::ControlModifier)
        state |= 2;
    if (modifiers & Qt::AltModifier)
        state |= 4;
    return state;
}

} // namespace

Resizer::Resizer(QWidget *parent)
    : QFrame(parent)
{
    // The bar is made before it becomes a child, so that it never counts as a contained
    // control.
    m_bar = new QLabel;
    m_bar->setObjectName(QStringLiteral("lblResizer"));
    m_bar->setParent(this);
    m_bar->lower();
    m_bar->setMouseTracking(true);
    m_bar->installEventFilter(this);
    applyFrame();
    applyBackColor();
    setBarCursor();
}

Resizer::~Resizer() = default;

void Resizer::setControls(QWidget *first, QWidget *second)
{
    for (QWidget *control : {first, second}) {
        if (!control || control == m_bar || control->parentWidget() == this)
            continue;
        const bool wasHidden = control->isHidden()
                               && control->testAttribute(Qt::WA_WState_ExplicitShowHide);
        control->setParent(this);
        control->setVisible(!wasHidden);
    }
    QList<QPointer<QWidget>> ordered;
    for (QWidget *control : {first, second}) {
        if (control && control != m_bar && !ordered.contains(control))
            ordered.append(control);
    }
    for (const QPointer<QWidget> &control : std::as_const(m_contained)) {
        if (control && !ordered.contains(control))
            ordered.append(control);
    }
    m_contained = ordered;
    if (isVisible())
        LayoutControls();
}

QList<QWidget *> Resizer::containedControls() const
{
    QList<QWidget *> controls;
    for (const QPointer<QWidget> &control : m_contained) {
        if (control && control->parentWidget() == this && !control->isWindow())
            controls.append(control);
    }
    return controls;
}

QWidget *Resizer::slotControl(int slot) const
{
    const QList<QWidget *> controls = containedControls();
    return slot < controls.size() ? controls[slot] : nullptr;
}

QWidget *Resizer::controlAt(int position) const
{
    if (position != 1 && position != 2)
        return nullptr;
    return slotControl(m_state.slotAt(position));
}

QPoint Resizer::innerOrigin() const
{
    return contentsRect().topLeft();
}

ResizerExtent Resizer::extent() const
{
    const QSize outer = TwipPlacement::size(this);
    const QRect inner = contentsRect();
    ResizerExtent e;
    e.width = outer.width();
    e.height = outer.height();
    e.innerWidth = e.width - Twips::fromPixels(width() - inner.width(), logicalDpiX());
    e.innerHeight = e.height - Twips::fromPixels(height() - inner.height(), logicalDpiY());
    return e;
}

void Resizer::LayoutControls()
{
    const ResizerExtent e = extent();
    TwipPlacement::place(m_bar, QRect(0, 0, e.width, e.height), innerOrigin());
    const Bound bound(*this);
    bound.geometry().layoutControls();
}

void Resizer::resizeHandling()
{
    LayoutControls();
    emit Resize();
}

void Resizer::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    // A changed border sends a resize of the same size; the splitter itself has not
    // changed size then, and a border change lays nothing out.
    if (event->size() == event->oldSize())
        return;
    resizeHandling();
}

void Resizer::showEvent(QShowEvent *event)
{
    QFrame::showEvent(event);
    LayoutControls();
}

void Resizer::childEvent(QChildEvent *event)
{
    QFrame::childEvent(event);
    QObject *child = event->child();
    if (event->added()) {
        // The child may still be under construction; only its widget part is looked at.
        if (!child->isWidgetType() || child == m_bar)
            return;
        QWidget *widget = static_cast<QWidget *>(child);
        if (!m_contained.contains(widget))
            m_contained.append(widget);
    } else if (event->removed()) {
        m_contained.removeIf([child](const QPointer<QWidget> &control) {
            return !control || static_cast<QObject *>(control.data()) == child;
        });
    }
}

void Resizer::setBarCursor()
{
    if (m_state.orientation == 0)
        m_bar->setCursor(Qt::SizeVerCursor);
    else if (m_state.orientation == 1)
        m_bar->setCursor(Qt::SizeHorCursor);
}

void Resizer::applyFrame()
{
    if (m_borderStyle == 0) {
        setFrameStyle(QFrame::NoFrame);
    } else if (m_appearance == 0) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
    } else {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(2);
    }
}

void Resizer::applyBackColor()
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, OleColor::toColor(m_backColor, QPalette()));
    setPalette(pal);
    setAutoFillBackground(true);
}

void Resizer::setSeparatorSize(qint32 twips)
{
    if (twips >= ResizerState::smallestSeparatorSize) {
        m_state.separatorSize = twips;
        LayoutControls();
    }
    emit PropertyChanged(QStringLiteral("SeparatorSize"));
}

void Resizer::setOrientation(qint32 orientation)
{
    m_state.orientation = orientation;
    emit PropertyChanged(QStringLiteral("Orientation"));
    setBarCursor();
    LayoutControls();
}

void Resizer::setBorderStyle(qint32 style)
{
    if (style != 0 && style != 1)
        return;
    m_borderStyle = qint16(style);
    applyFrame();
    emit PropertyChanged(QStringLiteral("BorderStyle"));
}

void Resizer::setInvertControls(bool invert)
{
    m_state.invertControls = invert;
    emit PropertyChanged(QStringLiteral("InvertControls"));
    LayoutControls();
}

void Resizer::setBackColor(qint32 color)
{
    m_backColor = color;
    applyBackColor();
    emit PropertyChanged(QStringLiteral("BackColor"));
}

void Resizer::setAppearance(qint32 appearance)
{
    if (appearance != 0 && appearance != 1)
        return;
    m_appearance = qint16(appearance);
    applyFrame();
    emit PropertyChanged(QStringLiteral("Appearance"));
}

bool Resizer::Enabled() const
{
    return !testAttribute(Qt::WA_ForceDisabled);
}

void Resizer::setEnabledProperty(bool enabled)
{
    setEnabled(enabled);
    for (QWidget *control : containedControls())
        control->setEnabled(enabled);
    emit PropertyChanged(QStringLiteral("Enabled"));
}

QString Resizer::ControlName1() const
{
    const QWidget *control = controlAt(1);
    return control ? control->objectName() : QString();
}

void Resizer::setControlName1(const QString &name)
{
    if (QWidget *control = controlAt(1))
        control->setObjectName(name);
    emit PropertyChanged(QStringLiteral("ControlName1"));
}

QString Resizer::ControlName2() const
{
    const QWidget *control = controlAt(2);
    return control ? control->objectName() : QString();
}

void Resizer::setControlName2(const QString &name)
{
    if (QWidget *control = controlAt(2))
        control->setObjectName(name);
    emit PropertyChanged(QStringLiteral("ControlName2"));
}

qint32 Resizer::MinControlSize1() const
{
    return m_state.minControlSize[m_state.slotAt(1)];
}

qint32 Resizer::MinControlSize2() const
{
    return m_state.minControlSize[m_state.slotAt(2)];
}

void Resizer::setSlotMinimum(int position, qint32 twips, const QString &propertyName)
{
    if (twips >= ResizerState::smallestMinControlSize)
        m_state.minControlSize[m_state.slotAt(position)] = twips;
    emit PropertyChanged(propertyName);
}

void Resizer::setMinControlSize1(qint32 twips)
{
    setSlotMinimum(1, twips, QStringLiteral("MinControlSize1"));
}

void Resizer::setMinControlSize2(qint32 twips)
{
    setSlotMinimum(2, twips, QStringLiteral("MinControlSize2"));
}

bool Resizer::Control1Visible() const
{
    return m_state.controlVisible[m_state.slotAt(1)];
}

bool Resizer::Control2Visible() const
{
    return m_state.controlVisible[m_state.slotAt(2)];
}

void Resizer::setPositionVisible(int position, bool visible)
{
    const int other = 3 - position;
    m_state.controlVisible[m_state.slotAt(position)] = visible;
    if (!visible && !m_state.controlVisible[m_state.slotAt(other)]) {
        // One side always stays.
        m_state.controlVisible[m_state.slotAt(other)] = true;
        emit PropertyChanged(other == 1 ? QStringLiteral("Control1Visible")
                                        : QStringLiteral("Control2Visible"));
    }
    LayoutControls();
    emit PropertyChanged(position == 1 ? QStringLiteral("Control1Visible")
                                       : QStringLiteral("Control2Visible"));
}

void Resizer::setControl1Visible(bool visible)
{
    setPositionVisible(1, visible);
}

void Resizer::setControl2Visible(bool visible)
{
    setPositionVisible(2, visible);
}

qint32 Resizer::Control1Size() const
{
    const Bound bound(*this);
    return bound.geometry().control1Size();
}

qint32 Resizer::Control2Size() const
{
    const Bound bound(*this);
    return bound.geometry().control2Size();
}

bool Resizer::setControl1Size(qint32 twips)
{
    {
        const Bound bound(*this);
        if (!bound.geometry().setControl1Size(twips))
            return false;
    }
    LayoutControls();
    emit PropertyChanged(QStringLiteral("Control1Size"));
    return true;
}

bool Resizer::setControl2Size(qint32 twips)
{
    {
        const Bound bound(*this);
        if (!bound.geometry().setControl2Size(twips))
            return false;
    }
    LayoutControls();
    emit PropertyChanged(QStringLiteral("Control2Size"));
    return true;
}

void Resizer::About(Prompter &prompter) const
{
    prompter.message(Texts::resizerAboutText, Texts::resizerAboutCaption,
                     Prompter::Icon::Information);
}

void Resizer::InitProperties()
{
    m_state = ResizerState();
    m_savedName1.clear();
    m_savedName2.clear();
    m_savedSize1 = 0;
    m_savedSize2 = 0;
}

void Resizer::ReadProperties(const PropertyBag &bag)
{
    const ResizerProperties p = ResizerProperties::read(bag);
    m_state = p.layout;
    m_savedName1 = p.controlName1;
    m_savedName2 = p.controlName2;
    m_savedSize1 = p.control1Size;
    m_savedSize2 = p.control2Size;
    // The surface knows only these two border styles and looks; another stored value
    // leaves it as it is.
    if (p.borderStyle == 0 || p.borderStyle == 1)
        m_borderStyle = p.borderStyle;
    if (p.appearance == 0 || p.appearance == 1)
        m_appearance = p.appearance;
    applyFrame();
    m_backColor = p.backColor;
    applyBackColor();
    setEnabled(p.enabled);
    setBarCursor();
}

void Resizer::WriteProperties(PropertyBag &bag) const
{
    ResizerProperties p;
    p.layout = m_state;
    p.borderStyle = m_borderStyle;
    p.backColor = m_backColor;
    p.appearance = m_appearance;
    p.enabled = Enabled();
    p.controlName1 = m_savedName1;
    p.controlName2 = m_savedName2;
    p.control1Size = m_savedSize1;
    p.control2Size = m_savedSize2;
    p.write(bag);
}

void Resizer::lblResizer_MouseDown(int button, int shift, float x, float y)
{
    Q_UNUSED(shift)
    if (button != 1)
        return;
    m_anchorX = x;
    m_anchorY = y;
}

void Resizer::lblResizer_MouseMove(int button, int shift, float x, float y)
{
    Q_UNUSED(shift)
    // A move that comes in while another is being handled (a host's handler let pending
    // events through) is dropped whole.
    if (m_busy)
        return;
    m_busy = true;
    const QPointer<Resizer> alive(this);
    resizeHandling();
    if (!alive)
        return;
    if (button == 1 && controlAt(1) && controlAt(2)) {
        const Bound bound(*this);
        if (m_state.orientation == 0)
            bound.geometry().drag(m_anchorY, y);
        else if (m_state.orientation == 1)
            bound.geometry().drag(m_anchorX, x);
    }
    m_busy = false;
    emit ResizeItems();
}

bool Resizer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_bar)
        return QFrame::eventFilter(watched, event);
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseMove)
        return false;
    const auto *mouse = static_cast<QMouseEvent *>(event);
    // Bar coordinates are the splitter's inner coordinates: the bar lies at 0, 0.
    const QPointF at = mouse->position();
    const float x = float(at.x() * Twips::perInch / logicalDpiX());
    const float y = float(at.y() * Twips::perInch / logicalDpiY());
    const int buttons = buttonState(mouse->buttons());
    const int shift = shiftState(mouse->modifiers());
    if (event->type() == QEvent::MouseButtonPress)
        lblResizer_MouseDown(buttons, shift, x, y);
    else
        lblResizer_MouseMove(buttons, shift, x, y);
    return true;
}
