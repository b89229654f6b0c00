#include "OverlayPanel.h"

#include "platform/Twips.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>

OverlayPanel::OverlayPanel(QWidget *parent)
    : QWidget(parent)
{
    setAutoFillBackground(true);
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(8.25);
    setFont(font);
    hide();
}

void OverlayPanel::setOverlayTarget(QWidget *target)
{
    m_target = target;
    // The target moves when any widget between it and this panel's parent moves.
    for (QWidget *w = target; w && w != parentWidget(); w = w->parentWidget())
        w->installEventFilter(this);
    followTarget();
}

QWidget *OverlayPanel::makeCaptionStrip(QLabel *caption, const QString &closePlaceName)
{
    const double dpi = logicalDpiY();
    auto *strip = new QWidget(this);
    auto *row = new QHBoxLayout(strip);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(Twips::toPixels(80, dpi));
    caption->setAutoFillBackground(true);
    caption->setStyleSheet(QStringLiteral("background-color: #E7E7EF; border: 1px solid #C0C0C0;"));
    caption->setFixedHeight(Twips::toPixels(255, dpi));
    row->addWidget(caption, 1);
    auto *closePlace = new QWidget(strip);
    closePlace->setObjectName(closePlaceName);
    closePlace->setFixedSize(Twips::toPixels(255, dpi), Twips::toPixels(255, dpi));
    row->addWidget(closePlace);
    return strip;
}

bool OverlayPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize || event->type() == QEvent::Move)
        followTarget();
    return QWidget::eventFilter(watched, event);
}

void OverlayPanel::showEvent(QShowEvent *event)
{
    followTarget();
    raise();
    QWidget::showEvent(event);
}

void OverlayPanel::followTarget()
{
    if (!m_target || !parentWidget())
        return;
    setGeometry(QRect(m_target->mapTo(parentWidget(), QPoint(0, 0)), m_target->size()));
}
