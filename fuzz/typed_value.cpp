// A value typed into the constants window: whatever the text, reading it ends; a value
// read back from any of the forms it may be written in (decimal, Basic hex, C hex, C hex
// widened to 64 bits where negative) is the same value; a C hex of up to eight digits
// reads as the same digits after &H.
#include "catalogue/BasicLiteral.h"
#include "find/ConstantFinder.h"

#include <QString>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <optional>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const std::optional<qint32> value = ConstantFinder::typedValue(text);
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) && trimmed.size() <= 10) {
        const QString digits = trimmed.mid(2);
        bool hex = !digits.isEmpty();
        for (const QChar c : digits)
            hex = hex && c.unicode() < 0x80 && std::isxdigit(static_cast<unsigned char>(c.unicode()));
        if (hex && value != BasicLiteral::parse(QStringLiteral("&H") + digits))
            std::abort();
    }
    if (!value)
        return 0;
    const quint32 bits = static_cast<quint32>(*value);
    const QString forms[] = {QString::number(*value), BasicLiteral::format(*value, true),
                             QStringLiteral("0x") + QString::number(bits, 16),
                             *value < 0 ? QStringLiteral("0xFFFFFFFF") + QString::number(bits, 16).rightJustified(8, QLatin1Char('0'))
                                        : QStringLiteral("0X%1UL").arg(bits, 0, 16)};
    for (const QString &form : forms) {
        if (ConstantFinder::typedValue(form) != value)
            std::abort();
    }
    return 0;
}
