#pragma once

#include "FunctionView.h"

#include <optional>

// The three copy commands mnuCopy 0, 1, 2: the function's name, its declaration as shown
// and its description.
namespace ClipboardCopy {

inline constexpr int functionName = 0;
inline constexpr int declaration = 1;
inline constexpr int description = 2;

// The text the copy command of that index puts on the clipboard; nothing for an index
// that names no command.
std::optional<QString> copiedText(const FunctionView &view, int index);

} // namespace ClipboardCopy
