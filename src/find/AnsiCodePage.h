#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

// The single-byte code page in which Windows programs of the user's world store their
// texts: Windows-1256 (Persian and Arabic letters above 0x7F, ASCII below).
namespace AnsiCodePage {

// The bytes of the text, one per character; nothing when a character has no byte in the
// code page (such a text can never occur in a file written in it).
std::optional<QByteArray> encode(QStringView text);

// The text of the bytes, one character per byte.
QString decode(QByteArrayView bytes);

} // namespace AnsiCodePage
