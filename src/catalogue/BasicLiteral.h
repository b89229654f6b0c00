#pragma once

#include <QString>

#include <optional>

// Whole numbers as Basic writes them, held as its 32-bit Long.
namespace BasicLiteral {

// Hexadecimal as &H...& (the trailing & keeps &H8000 to &HFFFF a Long instead of a
// negative Integer), else decimal, negative where the high bit is set.
QString format(qint32 value, bool hexadecimal);

// Reads a number typed or written in Basic: decimal (with a minus sign, or up to
// 4294967295, which wraps into a Long as the API's unsigned values do), &H or &O with or
// without a trailing &. Spaces around are ignored. Nothing for anything else or a value
// beyond 32 bits.
std::optional<qint32> parse(const QString &text);

// The value Basic itself gives the literal that ends a Const line ("... = &H10&"): a
// decimal must lie within a Long; &H or &O without the trailing & and of at most four hex
// digits is an Integer, so &HFFFF is -1. Nothing where Basic would not compile the line.
std::optional<qint32> lineValue(const QString &line);

} // namespace BasicLiteral
