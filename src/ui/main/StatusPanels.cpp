#include "StatusPanels.h"

#include "platform/Texts.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>

#include <algorithm>

namespace {

// A panel's text, cut with an ellipsis where the panel is narrower than the text (a long
// function name, the counts of an analysis in a small window), the whole of it then in
// the panel's tip, unless a tip of its own was given (the path of a saved file). Its size
// asks for nothing: the panels share the bar by their stretch alone.
class PanelLabel : public QLabel
{
public:
    explicit PanelLabel(QWidget *parent) : QLabel(parent) {}

    const QString &wholeText() const { return m_whole; }
    void setWholeText(const QString &text)
    {
        m_whole = text;
        m_tipOfItsOwn = false;
        showWhatFits();
    }
    QSize sizeHint() const override { return {minimumWidth(), QLabel::sizeHint().height()}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QLabel::resizeEvent(event);
        showWhatFits();
    }
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::ToolTipChange && !m_settingTip)
            m_tipOfItsOwn = true;
        return QLabel::event(event);
    }

private:
    void showWhatFits()
    {
        const int room = contentsRect().width() - 2 * margin() - 2 * std::max(indent(), 0);
        const QString shown = fontMetrics().horizontalAdvance(m_whole) <= room
                                  ? m_whole
                                  : fontMetrics().elidedText(m_whole, Qt::ElideRight, std::max(room, 0));
        QLabel::setText(shown);
        if (!m_tipOfItsOwn) {
            m_settingTip = true;
            setToolTip(shown == m_whole ? QString() : m_whole);
            m_settingTip = false;
        }
    }

    QString m_whole;
    bool m_tipOfItsOwn = false;
    bool m_settingTip = false;
};

} // namespace

StatusPanels::StatusPanels(QWidget *parent)
    : QStatusBar(parent)
{
    setSizeGripEnabled(false);
    const struct { const char *key; int stretch; } layout[] = {
        {"name", 3}, {"total", 2}, {"pick", 2}, {"prog", 3}, {"time", 1}};
    for (const auto &entry : layout) {
        auto *label = new PanelLabel(this);
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
    const auto *label = static_cast<const PanelLabel *>(panel(key));
    return label ? label->wholeText() : QString();
}

void StatusPanels::setText(const QString &key, const QString &text)
{
    // A panel holds a few dozen characters; laying out a name of millions froze the window.
    constexpr qsizetype shownLimit = 200;
    if (auto *label = static_cast<PanelLabel *>(panel(key)))
        label->setWholeText(text.size() > shownLimit ? text.left(shownLimit - 1) + QChar(0x2026) : text);
}
