#include "SearchFold.h"

namespace {

constexpr char16_t zeroWidthNonJoiner = 0x200C;

// What a character of the Arabic block becomes: itself, another, or nothing (0).
char16_t arabicLetter(char16_t c)
{
    switch (c) {
    case 0x0622: // alef with madda
    case 0x0623: // alef with hamza above
    case 0x0625: // alef with hamza below
    case 0x0671: // alef wasla
        return 0x0627;
    case 0x0629: // teh marbuta
    case 0x06C0: // heh with yeh above
    case 0x06C1: // heh goal
    case 0x06C2: // heh goal with hamza above
    case 0x06D5: // ae
        return 0x0647;
    case 0x06CC: // Persian yeh
    case 0x0649: // alef maksura
    case 0x0626: // yeh with hamza above
        return 0x064A;
    case 0x0643: // Arabic kaf
    case 0x06AA: // swash kaf
        return 0x06A9;
    case 0x0624: // waw with hamza above
        return 0x0648;
    case 0x0621: // hamza on its own: written or left out at will (اشياء, اشيا)
    case 0x0640: // tatweel
    case 0x0670: // superscript alef
        return 0;
    default:
        break;
    }
    if (c >= 0x064B && c <= 0x065F) // harakat, and hamza above or below as marks
        return 0;
    if (c >= 0x06D6 && c <= 0x06ED) // Quranic marks
        return 0;
    if (c >= 0x06F0 && c <= 0x06F9) // Persian digits
        return u'0' + (c - 0x06F0);
    if (c >= 0x0660 && c <= 0x0669) // Arabic-Indic digits
        return u'0' + (c - 0x0660);
    return c;
}

bool isPresentationForm(char16_t c) { return (c >= 0xFB50 && c <= 0xFDFF) || (c >= 0xFE70 && c <= 0xFEFF); }

QString fold(QStringView input, bool joinerParts)
{
    // Text pasted from an old document may carry the Arabic presentation forms, one code
    // point for each shape of a letter: compatibility decomposition gives the letters.
    QString normalized;
    if (std::any_of(input.begin(), input.end(), [](QChar c) { return isPresentationForm(c.unicode()); })) {
        normalized = input.toString().normalized(QString::NormalizationForm_KC);
        input = normalized;
    }
    QString out(input.size(), Qt::Uninitialized);
    QChar *to = out.data();
    QChar *const begin = to;
    const auto blank = [&] {
        if (to != begin && to[-1] != u' ' && to[-1] != u'\n')
            *to++ = u' ';
    };
    for (const QChar ch : input) {
        char16_t c = ch.unicode();
        if (c < 0x80) {
            if (c >= u'A' && c <= u'Z')
                *to++ = QChar(c + (u'a' - u'A'));
            else if (c == u'\n') {
                if (to != begin && to[-1] == u' ')
                    --to;
                *to++ = u'\n';
            } else if (c == u'\r')
                continue;
            else if (c <= 0x20 || c == 0x7F) // a blank, a TAB; other control characters part words too
                blank();
            else
                *to++ = ch;
            continue;
        }
        if (c == zeroWidthNonJoiner) {
            if (joinerParts)
                blank();
            continue;
        }
        if (c >= 0x0600 && c <= 0x06FF) {
            c = arabicLetter(c);
            if (c)
                *to++ = QChar(c);
            continue;
        }
        // Other invisible marks: zero-width space and joiner, direction marks, soft hyphen,
        // byte order mark.
        if ((c >= 0x200B && c <= 0x200F) || c == 0x00AD || c == 0xFEFF || (c >= 0x202A && c <= 0x202E)
            || (c >= 0x2066 && c <= 0x2069))
            continue;
        if (ch.isSpace()) {
            blank();
            continue;
        }
        *to++ = ch.isHighSurrogate() || ch.isLowSurrogate() ? ch : ch.toLower();
    }
    out.truncate(to - begin);
    return out;
}

} // namespace

namespace SearchFold {

QString text(QStringView text) { return fold(text, false); }

QString query(QStringView text) { return fold(text, true); }

bool isPersian(QStringView word)
{
    return std::any_of(word.begin(), word.end(), [](QChar c) { return c.unicode() >= 0x0600 && c.unicode() <= 0x06FF; });
}

} // namespace SearchFold
