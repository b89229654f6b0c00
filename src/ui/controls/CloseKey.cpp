#include "CloseKey.h"

#include "OleColor.h"

#include "platform/Twips.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetricsF>
#include "ButtonState.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

namespace {

// The design's 255 twips, square.
constexpr int designSize = 255;

} // namespace

CloseKey::CloseKey(QWidget *parent)
    : QWidget(parent)
    , Timer(new QTimer(this))
{
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(CloseKeyState::timerInterval);
    connect(Timer, &QTimer::timeout, this, &CloseKey::Timer_Timer);

    // A small bold sans face; the classic dialog font is asked for first. Drawn without
    // smoothing, so the "X" stays crisp at this size.
    QFont xFont(QStringLiteral("MS Sans Serif"));
    xFont.setPointSizeF(8.25);
    xFont.setWeight(QFont::Bold);
    xFont.setStyleStrategy(QFont::NoAntialias);
    setFont(xFont);

    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_state.initialise();
    PrintX();
}

double CloseKey::twipsPerPixelX() const
{
    return double(Twips::perInch) / logicalDpiX();
}

double CloseKey::twipsPerPixelY() const
{
    return double(Twips::perInch) / logicalDpiY();
}

QSize CloseKey::sizeHint() const
{
    return QSize(Twips::toPixels(designSize, logicalDpiX()),
                 Twips::toPixels(designSize, logicalDpiY()));
}

CloseKey::Look CloseKey::look() const
{
    switch (m_state.look()) {
    case CloseKeyState::Look::Pressed:
        return Look::Pressed;
    case CloseKeyState::Look::Lit:
        return Look::Lit;
    case CloseKeyState::Look::Normal:
        break;
    }
    return Look::Normal;
}

bool CloseKey::isTimerActive() const
{
    return Timer->isActive();
}

QColor CloseKey::backColor() const
{
    return OleColor::toColor(m_state.backColor(), palette());
}

void CloseKey::PrintX()
{
    const qreal ratio = devicePixelRatioF();
    QImage face(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    face.setDevicePixelRatio(ratio);
    face.fill(backColor());

    QPainter painter(&face);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetricsF metrics(font(), &face);
    const double tx = twipsPerPixelX();
    const double ty = twipsPerPixelY();
    const QSizeF inner(width() * tx, height() * ty);
    const QSizeF text(metrics.horizontalAdvance(QStringLiteral("X")) * tx, metrics.height() * ty);
    const QPointF at = CloseKeyState::textPosition(inner, text, m_state.offsetX(), m_state.offsetY());
    painter.drawText(QPointF(at.x() / tx, at.y() / ty + metrics.ascent()), QStringLiteral("X"));

    // The frame lies on the last pixel column and row: one pixel in from the right and
    // bottom edges, as the outline's far corner is the size less one pixel.
    painter.setPen(OleColor::toColor(CloseKeyState::frameColor, palette()));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(0, 0, width() - 1, height() - 1));
    painter.end();

    m_face = face;
    update();
}

void CloseKey::syncTimer()
{
    if (!m_state.timerEnabled())
        Timer->stop();
    else if (!Timer->isActive())
        Timer->start();
}

void CloseKey::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), m_face);
}

void CloseKey::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    PrintX();
}

void CloseKey::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_leftDown = true;
    m_state.pointerDown();
    PrintX();
    syncTimer();
    event->accept();
}

void CloseKey::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF at = event->position();
    const bool inside = CloseKeyState::isInside(at.x() * twipsPerPixelX(), at.y() * twipsPerPixelY(),
                                                width() * twipsPerPixelX(),
                                                height() * twipsPerPixelY());
    m_state.pointerMove(buttonState(event->buttons()), inside);
    syncTimer();
    PrintX();
    event->accept();
}

void CloseKey::mouseReleaseEvent(QMouseEvent *event)
{
    m_state.pointerUp();
    PrintX();
    syncTimer();
    event->accept();
    if (event->button() != Qt::LeftButton || !m_leftDown)
        return;
    m_leftDown = false;
    // A click is a press and a release on the button; a press dragged off and let go
    // elsewhere is no click.
    const QPointF at = event->position();
    if (CloseKeyState::isInside(at.x(), at.y(), width(), height()))
        emit Click();
}

void CloseKey::Timer_Timer()
{
    const bool over = QApplication::widgetAt(QCursor::pos()) == this;
    if (m_state.timerTick(over))
        PrintX();
    syncTimer();
}
