#include "ClipboardCopy.h"

namespace ClipboardCopy {

std::optional<QString> copiedText(const FunctionView &view, int index)
{
    switch (index) {
    case functionName: return view.name;
    case declaration: return view.declaration;
    case description: return view.description;
    default: return std::nullopt;
    }
}

} // namespace ClipboardCopy
