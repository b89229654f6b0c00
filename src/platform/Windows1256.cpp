#include "Windows1256.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

// The characters of bytes 0x80 to 0xFF; bytes below 0x80 are ASCII.
constexpr std::array<char16_t, 128> upperHalf = {
    0x20AC, 0x067E, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x02C6, 0x2030, 0x0679, 0x2039, 0x0152, 0x0686, 0x0698, 0x0688, // 0x88
    0x06AF, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0x06A9, 0x2122, 0x0691, 0x203A, 0x0153, 0x200C, 0x200D, 0x06BA, // 0x98
    0x00A0, 0x060C, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7, // 0xA0
    0x00A8, 0x00A9, 0x06BE, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF, // 0xA8
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7, // 0xB0
    0x00B8, 0x00B9, 0x061B, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x061F, // 0xB8
    0x06C1, 0x0621, 0x0622, 0x0623, 0x0624, 0x0625, 0x0626, 0x0627, // 0xC0
    0x0628, 0x0629, 0x062A, 0x062B, 0x062C, 0x062D, 0x062E, 0x062F, // 0xC8
    0x0630, 0x0631, 0x0632, 0x0633, 0x0634, 0x0635, 0x0636, 0x00D7, // 0xD0
    0x0637, 0x0638, 0x0639, 0x063A, 0x0640, 0x0641, 0x0642, 0x0643, // 0xD8
    0x00E0, 0x0644, 0x00E2, 0x0645, 0x0646, 0x0647, 0x0648, 0x00E7, // 0xE0
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x0649, 0x064A, 0x00EE, 0x00EF, // 0xE8
    0x064B, 0x064C, 0x064D, 0x064E, 0x00F4, 0x064F, 0x0650, 0x00F7, // 0xF0
    0x0651, 0x00F9, 0x0652, 0x00FB, 0x00FC, 0x200E, 0x200F, 0x06D2, // 0xF8
};

// Every character of the upper half lies below U+2200.
constexpr char16_t tableEnd = 0x2200;
static_assert(std::all_of(upperHalf.begin(), upperHalf.end(), [](char16_t c) { return c < tableEnd; }));

// The upper half turned round: the byte of each character below tableEnd, 0 where the
// code page has none. Looked up once a character: a module of thousands of functions
// with their Persian descriptions is megabytes of text.
const std::array<unsigned char, tableEnd> &byCharacter()
{
    static const std::array<unsigned char, tableEnd> table = [] {
        std::array<unsigned char, tableEnd> bytes{};
        for (std::size_t i = 0; i < upperHalf.size(); ++i)
            bytes[upperHalf[i]] = static_cast<unsigned char>(0x80 + i);
        return bytes;
    }();
    return table;
}

// The byte of a character, or -1 when the code page has none.
int byteOf(char16_t character)
{
    if (character < 0x80)
        return character;
    if (character >= tableEnd)
        return -1;
    const unsigned char byte = byCharacter()[character];
    return byte == 0 ? -1 : byte;
}

} // namespace

namespace Windows1256 {

QByteArray encode(const QString &text)
{
    // Written into a buffer of the greatest size, rather than appended a byte at a time:
    // a module of thousands of functions is megabytes.
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char *out = bytes.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            // One character beyond the Basic Multilingual Plane: never in a single-byte page.
            *out++ = '?';
            ++i;
        } else if (c.isSurrogate()) {
            *out++ = '?';
        } else {
            const int byte = byteOf(c.unicode());
            *out++ = byte < 0 ? '?' : static_cast<char>(byte);
        }
    }
    bytes.truncate(out - bytes.constData());
    return bytes;
}

std::optional<QByteArray> encodeStrict(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        // A surrogate is half of a character beyond the Basic Multilingual Plane.
        const int byte = c.isSurrogate() ? -1 : byteOf(c.unicode());
        if (byte < 0)
            return std::nullopt;
        bytes.append(static_cast<char>(byte));
    }
    return bytes;
}

char16_t toUnicode(unsigned char byte)
{
    return byte < 0x80 ? char16_t(byte) : upperHalf[byte - 0x80];
}

QString decode(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes)
        text.append(QChar(toUnicode(static_cast<unsigned char>(byte))));
    return text;
}

} // namespace Windows1256
