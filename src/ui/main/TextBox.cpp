#include "TextBox.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include <limits>
#include <vector>

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

constexpr QChar leftToRightIsolate(0x2066);
constexpr QChar popDirectionalIsolate(0x2069);

bool isWordChar(QChar c)
{
    return c.unicode() < 0x80 && (c.isLetterOrNumber() || c == QLatin1Char('_'));
}

// Printable ASCII: what Latin code is written in. A Persian letter, a Persian comma or a
// line break ends a stretch of code.
bool isCodeChar(QChar c)
{
    return c.unicode() >= 0x20 && c.unicode() < 0x7F;
}

// Signs that belong to the word after them: &H10, -1, .dll, #If.
bool isPrefix(QChar c)
{
    return QStringView(u"&-.#$\\").contains(c);
}

// Signs that belong to the word before them: Basic's type suffixes (&H8000&, Name$) and
// the stars of a C pointer type (IUnknown**).
bool isSuffix(QChar c)
{
    return QStringView(u"&%$#*").contains(c);
}

// Marks the brackets and double quotes of text[begin, end) that have no partner inside it.
std::vector<bool> unpairedMarks(const QString &text, qsizetype begin, qsizetype end)
{
    std::vector<bool> unpaired(size_t(end - begin), false);
    std::vector<qsizetype> open;
    qsizetype quote = -1;
    for (qsizetype i = begin; i < end; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == u'(' || c == u'[' || c == u'{') {
            open.push_back(i);
        } else if (c == u')' || c == u']' || c == u'}') {
            const char16_t opener = c == u')' ? u'(' : c == u']' ? u'[' : u'{';
            if (!open.empty() && text.at(open.back()).unicode() == opener)
                open.pop_back();
            else
                unpaired[size_t(i - begin)] = true;
        } else if (c == u'"') {
            quote = quote < 0 ? i : -1;
        }
    }
    for (const qsizetype i : open)
        unpaired[size_t(i - begin)] = true;
    if (quote >= 0)
        unpaired[size_t(quote - begin)] = true;
    return unpaired;
}

// Appends text[begin, end), one piece of code without unpaired brackets, with its Latin
// core isolated: leading and trailing spaces and punctuation stay outside and take the
// paragraph's direction.
void appendPiece(QString &out, const QString &text, qsizetype begin, qsizetype end)
{
    const auto opensCore = [&](qsizetype i) {
        const QChar c = text.at(i);
        return isWordChar(c) || QStringView(u"([{\"").contains(c)
            || (isPrefix(c) && i + 1 < end && (isWordChar(text.at(i + 1)) || isPrefix(text.at(i + 1))));
    };
    const auto closesCore = [&](qsizetype i) {
        const QChar c = text.at(i);
        return isWordChar(c) || QStringView(u")]}\"").contains(c)
            || (isSuffix(c) && i > begin && (isWordChar(text.at(i - 1)) || text.at(i - 1) == QLatin1Char('*')));
    };
    qsizetype first = begin;
    while (first < end && !opensCore(first))
        ++first;
    qsizetype last = end;
    while (last > first && !closesCore(last - 1))
        --last;
    out += QStringView(text).mid(begin, first - begin);
    if (first < last) {
        out += leftToRightIsolate;
        out += QStringView(text).mid(first, last - first);
        out += popDirectionalIsolate;
    }
    out += QStringView(text).mid(last, end - last);
}

} // namespace

QString TextBox::isolateLatinRuns(const QString &text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    qsizetype i = 0;
    while (i < text.size()) {
        if (!isCodeChar(text.at(i))) {
            out += text.at(i++);
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && isCodeChar(text.at(end)))
            ++end;
        // A bracket whose partner lies outside the stretch belongs to the Persian around
        // it: it splits the stretch and stays outside the isolates.
        const std::vector<bool> unpaired = unpairedMarks(text, i, end);
        qsizetype piece = i;
        for (qsizetype k = i; k < end; ++k) {
            if (unpaired[size_t(k - i)]) {
                appendPiece(out, text, piece, k);
                out += text.at(k);
                piece = k + 1;
            }
        }
        appendPiece(out, text, piece, end);
        i = end;
    }
    return out;
}

void TextBox::setPersianProse()
{
    m_persianProse = true;
    setLayoutDirection(Qt::RightToLeft);
    QTextOption option = document()->defaultTextOption();
    option.setTextDirection(Qt::RightToLeft);
    option.setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
    document()->setDefaultTextOption(option);
    setText(m_text);
}

void TextBox::setText(const QString &text)
{
    m_text = text;
    QString shown = text.size() > shownLimit ? text.left(shownLimit) + QChar(0x2026) : text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    setPlainText(m_persianProse ? isolateLatinRuns(shown) : shown);
}

void TextBox::revealLine(qsizetype line)
{
    if (line < 0 || line > std::numeric_limits<int>::max())
        return;
    const QTextBlock block = document()->findBlockByNumber(int(line));
    if (!block.isValid())
        return;
    // From the end back up to the line: the smallest scroll that shows it puts it at the top.
    moveCursor(QTextCursor::End);
    ensureCursorVisible();
    setTextCursor(QTextCursor(block));
    ensureCursorVisible();
}

bool TextBox::event(QEvent *event)
{
    // Ctrl+C with text selected copies the selection, as in every program; only without
    // a selection does it go on to the window's own copy command.
    if (event->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)
        && textCursor().hasSelection()) {
        event->accept();
        return true;
    }
    return QPlainTextEdit::event(event);
}

QMimeData *TextBox::createMimeDataFromSelection() const
{
    // Plain text as the user reads it, without the marks that only order it on screen.
    QString selected = textCursor().selection().toPlainText();
    selected.remove(leftToRightIsolate);
    selected.remove(popDirectionalIsolate);
    auto *data = new QMimeData;
    data->setText(selected);
    return data;
}
