#pragma once

#include <QString>

#include <optional>

// Stored settings are text; these turn it back into what it stands for. Each returns
// nothing for text that does not convert, and the caller then keeps its default.
namespace SettingText {

// A whole number in decimal digits, optionally signed and surrounded by blanks, within the
// 32-bit range: "4000", " -15 ". Not "", "-", "12px", "1,000" or "99999999999".
std::optional<int> toWholeNumber(const QString &text);

// "True" or "False" in any letter case, or a number, which is true unless it is zero,
// as Basic converts text to a Boolean.
std::optional<bool> toBoolean(const QString &text);
QString fromBoolean(bool value);

// A font size in points: a number with an optional decimal point ("8", "10.5"), above
// zero and at most 2160, the largest size a Basic form gives a font.
std::optional<double> toFontSize(const QString &text);

} // namespace SettingText
