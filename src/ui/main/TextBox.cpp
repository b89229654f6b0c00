#include "TextBox.h"

TextBox::TextBox(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

namespace {

// Laying out one paragraph of several million joined letters takes minutes; no
// declaration or description comes near this, so a larger one is shown cut (the box
// still hands out the whole text).
constexpr qsizetype shownLimit = 100000;

} // namespace

void TextBox::setText(const QString &text)
{
    m_text = text;
    QString shown = text.size() > shownLimit ? text.left(shownLimit) + QChar(0x2026) : text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    setPlainText(shown);
}
