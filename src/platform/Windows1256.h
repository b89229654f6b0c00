#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

// The Arabic code page of Windows, in which a Basic IDE on Persian Windows reads module
// files. Done by table here rather than through the platform's converters: those are not
// always built with this code page, and where they are, they put a control character (SUB)
// where a character has no place in it, which a Basic IDE would show as garbage.
namespace Windows1256 {

// One byte per character. A character the code page cannot hold becomes "?", once per
// character (a character outside the Basic Multilingual Plane too, and a lone surrogate).
QByteArray encode(const QString &text);

// One byte per character, or nothing when a character has no byte in the code page:
// such a text can never stand in a file written in it.
std::optional<QByteArray> encodeStrict(QStringView text);

// Every byte has a character in this code page, so decoding never fails.
QString decode(const QByteArray &bytes);

// The character of one byte.
char16_t toUnicode(unsigned char byte);

} // namespace Windows1256
