// The declaration layout: switching to the continued layout and back gives the stored
// text again, unless the text held a continuation of its own; only Declare statements are
// continued, so a text without the word leaves the layout unchanged, and the continued
// layout only ever adds characters. The text comes as UTF-8 or as raw UTF-16 units (a
// catalogue field may hold a lone surrogate).
#include "catalogue/DeclarationLayout.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString text;
    if (size > 0 && data[0] == 0xFF) {
        for (size_t i = 1; i + 1 < size; i += 2)
            text.append(QChar(char16_t(data[i] | data[i + 1] << 8)));
    } else {
        text = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    }
    const QString continued = DeclarationLayout::continued(text);
    const QString back = DeclarationLayout::stored(continued);

    const bool heldContinuation = text.contains(QStringLiteral(" _\r\n"));
    if (!heldContinuation && back != text)
        std::abort();
    if (!text.contains(QStringLiteral("declare"), Qt::CaseInsensitive) ? continued != text
                                                                        : continued.size() < text.size())
        std::abort();
    if (DeclarationLayout::layOut(text, true) != continued || DeclarationLayout::layOut(continued, false) != back)
        std::abort();
    return 0;
}
