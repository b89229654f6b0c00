// The property bag and the splitter's reading of it, over random writes of every type
// under keys in any letter case: nothing crashes, a value written is read back as it
// was, and the splitter's properties, whatever a damaged description holds, are saved and
// read back the same. The reading rules themselves are table rows of tests/ui/controls.
#include "ui/controls/PropertyBag.h"
#include "ui/controls/ResizerProperties.h"

#include "FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>

namespace {

const char *const knownKeys[] = {"SeparatorSize", "Orientation", "BorderStyle", "InvertControls", "BackColor",
                                 "Appearance", "Enabled", "ControlName1", "ControlName2", "MinControlSize1",
                                 "MinControlSize2", "Control1Visible", "Control2Visible", "Control1Size",
                                 "Control2Size", "AutoResize"};

QString keyFrom(FuzzedDataProvider &in)
{
    if (in.ConsumeIntegralInRange(0, 4) == 0)
        return QString::fromStdString(in.ConsumeRandomLengthString(12));
    const QString key = QString::fromLatin1(knownKeys[in.ConsumeIntegralInRange<size_t>(0, std::size(knownKeys) - 1)]);
    return in.ConsumeBool() ? key.toUpper() : key;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    PropertyBag bag;
    const int writes = in.ConsumeIntegralInRange(0, 40);
    for (int i = 0; i < writes && in.remaining_bytes() > 0; ++i) {
        const QString key = keyFrom(in);
        // Read back in other letter case, where that is the same key: keys compare by
        // simple case folding, and a few letters lower to more than one (U+0130 to i and
        // a combining dot), which is another key.
        const QString lower = key.toLower();
        const QString asked = key.compare(lower, Qt::CaseInsensitive) == 0 ? lower : key;
        switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0: {
            const bool value = in.ConsumeBool();
            bag.writeBoolean(key, value, !value);
            check(bag.readBoolean(asked, !value) == value, "Boolean read back");
            break;
        }
        case 1: {
            const auto value = in.ConsumeIntegral<qint16>();
            bag.writeInt16(key, value, qint16(~value));
            check(bag.readInt16(asked, qint16(~value)) == value, "Int16 read back");
            break;
        }
        case 2: {
            const auto value = in.ConsumeIntegral<qint32>();
            bag.writeInt32(key, value, ~value);
            check(bag.readInt32(asked, ~value) == value, "Int32 read back");
            break;
        }
        default: {
            const QString value = QString::fromStdString(in.ConsumeRandomLengthString(24));
            bag.writeString(key, value, QStringLiteral("\x01"));
            check(bag.readString(asked, QStringLiteral("\x01")) == value, "String read back");
            break;
        }
        }
    }
    const ResizerProperties read = ResizerProperties::read(bag);
    PropertyBag again;
    read.write(again);
    PropertyBag twice;
    ResizerProperties::read(again).write(twice);
    check(twice.keys() == again.keys(), "what was read did not survive a save and a load");
    for (const QString &key : again.keys())
        check(twice.readString(key, {}) == again.readString(key, {}), "what was read did not survive a save and a load");
    return 0;
}
