#include "StatusPanels.h"

#include "platform/Texts.h"

#include <QLabel>

StatusPanels::StatusPanels(QWidget *parent)
    : QStatusBar(parent)
{
    setSizeGripEnabled(false);
    const struct { const char *key; int stretch; } layout[] = {
        {"name", 3}, {"total", 2}, {"pick", 2}, {"prog", 3}, {"time", 1}};
    for (const auto &entry : layout) {
        auto *label = new QLabel(this);
        label->setObjectName(QLatin1String(entry.key));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setMinimumWidth(40);
        label->setTextFormat(Qt::PlainText);
        addPermanentWidget(label, entry.stretch);
        m_panels.insert(QLatin1String(entry.key), label);
    }
    setText(QStringLiteral("name"), Texts::statusNameInitial);
}

QLabel *StatusPanels::panel(const QString &key) const
{
    return m_panels.value(key);
}

QString StatusPanels::text(const QString &key) const
{
    const QLabel *label = panel(key);
    return label ? label->text() : QString();
}

void StatusPanels::setText(const QString &key, const QString &text)
{
    // A panel holds a few dozen characters; laying out a name of millions froze the window.
    constexpr qsizetype shownLimit = 200;
    if (QLabel *label = panel(key))
        label->setText(text.size() > shownLimit ? text.left(shownLimit - 1) + QChar(0x2026) : text);
}
