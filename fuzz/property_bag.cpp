// The property bag and the splitter's reading of it, against a plain model of what a
// stored description holds: random writes of every type under keys in any letter case,
// then every read of every key in every type, each compared with the rules (a missing
// key or a value that does not convert gives the default; Booleans count as -1 and 0;
// text converts to a number only when it is one). The splitter's properties survive a
// save and a load whole, and whatever a damaged description holds, what is read from it
// is saved and read back the same.
#include "ui/controls/PropertyBag.h"
#include "ui/controls/ResizerProperties.h"

#include <QString>
#include <QStringList>

#include "FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace {

const char *const knownKeys[] = {"SeparatorSize", "Orientation", "BorderStyle", "InvertControls", "BackColor",
                                 "Appearance", "Enabled", "ControlName1", "ControlName2", "MinControlSize1",
                                 "MinControlSize2", "Control1Visible", "Control2Visible", "Control1Size",
                                 "Control2Size", "AutoResize"};

struct ModelEntry
{
    QString key;
    PropertyBag::Type type;
    qint64 number = 0; // Boolean (0 or 1), Int16, Int32
    QString text;      // String
};

using Model = std::vector<ModelEntry>;

ModelEntry *find(Model &model, const QString &key)
{
    for (ModelEntry &entry : model) {
        if (entry.key.compare(key, Qt::CaseInsensitive) == 0)
            return &entry;
    }
    return nullptr;
}

void store(Model &model, const ModelEntry &value, bool isDefault)
{
    for (auto it = model.begin(); it != model.end(); ++it) {
        if (it->key.compare(value.key, Qt::CaseInsensitive) != 0)
            continue;
        if (isDefault)
            model.erase(it);
        else
            *it = value;
        return;
    }
    if (!isDefault)
        model.push_back(value);
}

// A number written as text: blanks around it, an optional sign, decimal digits, within
// 64 bits.
std::optional<qint64> numberOf(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    const bool negative = i < t.size() && t[i] == QLatin1Char('-');
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+')))
        ++i;
    if (i == t.size())
        return std::nullopt;
    unsigned long long magnitude = 0;
    for (; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        if (magnitude > (std::numeric_limits<unsigned long long>::max() - (c - u'0')) / 10)
            return std::nullopt;
        magnitude = magnitude * 10 + (c - u'0');
    }
    if (!negative && magnitude > static_cast<unsigned long long>(std::numeric_limits<qint64>::max()))
        return std::nullopt;
    if (negative && magnitude > static_cast<unsigned long long>(std::numeric_limits<qint64>::max()) + 1)
        return std::nullopt;
    return negative ? static_cast<qint64>(0 - magnitude) : static_cast<qint64>(magnitude);
}

std::optional<qint64> integerOf(const ModelEntry &entry)
{
    switch (entry.type) {
    case PropertyBag::Type::Boolean: return entry.number ? -1 : 0;
    case PropertyBag::Type::Int16:
    case PropertyBag::Type::Int32: return entry.number;
    case PropertyBag::Type::String: return numberOf(entry.text);
    }
    return std::nullopt;
}

QString keyFrom(FuzzedDataProvider &in)
{
    if (in.ConsumeIntegralInRange(0, 4) == 0)
        return QString::fromStdString(in.ConsumeRandomLengthString(12));
    QString key = QString::fromLatin1(knownKeys[in.ConsumeIntegralInRange<size_t>(0, std::size(knownKeys) - 1)]);
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: return key.toLower();
    case 1: return key.toUpper();
    default: return key;
    }
}

QString textFrom(FuzzedDataProvider &in)
{
    static const char *const words[] = {"True", "false", " TRUE ", "-1", "0", "+7", " 90 ", "32768", "-32769",
                                        "2147483648", "9223372036854775808", "-9223372036854775808", "1e3",
                                        "0x10", "1.5", "", " ", "\t12\n", "\u0661\u0662", "picTree"};
    if (in.ConsumeBool())
        return QString::fromUtf8(words[in.ConsumeIntegralInRange<size_t>(0, std::size(words) - 1)]);
    return QString::fromStdString(in.ConsumeRandomLengthString(24));
}

qint32 int32From(FuzzedDataProvider &in)
{
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: return in.PickValueInArray<qint32>({0, 1, -1, 15, 45, 80, 90, std::numeric_limits<qint32>::min(),
                                                 std::numeric_limits<qint32>::max(), qint32(0x8000000F)});
    case 1: return in.ConsumeIntegralInRange(-40000, 40000);
    default: return in.ConsumeIntegral<qint32>();
    }
}

void compareReads(const PropertyBag &bag, Model &model, const QString &key, FuzzedDataProvider &in)
{
    const ModelEntry *entry = find(model, key);
    check(bag.contains(key) == (entry != nullptr), "contains");
    check(bag.typeOf(key) == (entry ? std::optional(entry->type) : std::nullopt), "typeOf");

    const qint32 default32 = int32From(in);
    const auto default16 = static_cast<qint16>(int32From(in));
    const bool defaultBoolean = in.ConsumeBool();
    const QString defaultText = textFrom(in);

    const std::optional<qint64> number = entry ? integerOf(*entry) : std::nullopt;
    const bool fits32 = number && *number >= std::numeric_limits<qint32>::min() && *number <= std::numeric_limits<qint32>::max();
    const bool fits16 = number && *number >= std::numeric_limits<qint16>::min() && *number <= std::numeric_limits<qint16>::max();
    if (bag.readInt32(key, default32) != (fits32 ? qint32(*number) : default32)) {
        std::fprintf(stderr, "key %s type %d number %lld text \"%s\" default %d read %d\n", qPrintable(key),
                     entry ? int(entry->type) : -1, entry ? entry->number : 0LL, entry ? entry->text.toUtf8().toHex(' ').constData() : "",
                     default32, bag.readInt32(key, default32));
        check(false, "readInt32");
    }
    check(bag.readInt16(key, default16) == (fits16 ? qint16(*number) : default16), "readInt16");

    bool boolean = number ? *number != 0 : defaultBoolean;
    if (entry && entry->type == PropertyBag::Type::String) {
        const QString t = entry->text.trimmed();
        if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            boolean = true;
        else if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            boolean = false;
    }
    check(bag.readBoolean(key, defaultBoolean) == boolean, "readBoolean");

    QString text = defaultText;
    if (entry) {
        switch (entry->type) {
        case PropertyBag::Type::Boolean: text = entry->number ? QStringLiteral("True") : QStringLiteral("False"); break;
        case PropertyBag::Type::Int16:
        case PropertyBag::Type::Int32: text = QString::number(entry->number); break;
        case PropertyBag::Type::String: text = entry->text; break;
        }
    }
    check(bag.readString(key, defaultText) == text, "readString");
}

bool same(const ResizerProperties &a, const ResizerProperties &b)
{
    return a.layout.orientation == b.layout.orientation && a.layout.separatorSize == b.layout.separatorSize
        && a.layout.invertControls == b.layout.invertControls && a.layout.minControlSize == b.layout.minControlSize
        && a.layout.controlVisible == b.layout.controlVisible && a.layout.autoResize == b.layout.autoResize
        && a.borderStyle == b.borderStyle && a.backColor == b.backColor && a.appearance == b.appearance
        && a.enabled == b.enabled && a.controlName1 == b.controlName1 && a.controlName2 == b.controlName2
        && a.control1Size == b.control1Size && a.control2Size == b.control2Size;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);

    // A splitter's own values, any of them: saved and loaded, they come back whole.
    ResizerProperties own;
    own.layout.orientation = int32From(in);
    own.layout.separatorSize = int32From(in);
    own.layout.invertControls = in.ConsumeBool();
    own.layout.minControlSize = {int32From(in), int32From(in)};
    own.layout.controlVisible = {in.ConsumeBool(), in.ConsumeBool()};
    own.layout.autoResize = in.ConsumeBool();
    own.borderStyle = in.ConsumeIntegral<qint16>();
    own.backColor = int32From(in);
    own.appearance = in.ConsumeIntegral<qint16>();
    own.enabled = in.ConsumeBool();
    own.controlName1 = textFrom(in);
    own.controlName2 = textFrom(in);
    own.control1Size = int32From(in);
    own.control2Size = int32From(in);
    PropertyBag saved;
    own.write(saved);
    check(same(ResizerProperties::read(saved), own), "a splitter's values did not survive a save and a load");
    check(saved.keys().size() <= 16, "more keys than properties");

    // A description as anything may have left it.
    PropertyBag bag;
    Model model;
    const int writes = in.ConsumeIntegralInRange(0, 40);
    for (int i = 0; i < writes && in.remaining_bytes() > 0; ++i) {
        ModelEntry entry;
        entry.key = keyFrom(in);
        bool isDefault = false;
        switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0: {
            const bool value = in.ConsumeBool(), byDefault = in.ConsumeBool();
            bag.writeBoolean(entry.key, value, byDefault);
            entry = {entry.key, PropertyBag::Type::Boolean, value ? 1 : 0, {}};
            isDefault = value == byDefault;
            break;
        }
        case 1: {
            const auto value = in.ConsumeIntegral<qint16>();
            const auto byDefault = in.ConsumeBool() ? value : in.ConsumeIntegral<qint16>();
            bag.writeInt16(entry.key, value, byDefault);
            entry = {entry.key, PropertyBag::Type::Int16, value, {}};
            isDefault = value == byDefault;
            break;
        }
        case 2: {
            const qint32 value = int32From(in);
            const qint32 byDefault = in.ConsumeBool() ? value : int32From(in);
            bag.writeInt32(entry.key, value, byDefault);
            entry = {entry.key, PropertyBag::Type::Int32, value, {}};
            isDefault = value == byDefault;
            break;
        }
        default: {
            const QString value = textFrom(in);
            const QString byDefault = in.ConsumeBool() ? QString() : textFrom(in);
            bag.writeString(entry.key, value, byDefault);
            entry = {entry.key, PropertyBag::Type::String, 0, value};
            isDefault = value == byDefault;
            break;
        }
        }
        store(model, entry, isDefault);
    }

    QStringList modelKeys;
    for (const ModelEntry &entry : model)
        modelKeys << entry.key;
    check(bag.keys() == modelKeys, "keys or their order");
    check(bag.isEmpty() == model.empty(), "isEmpty");
    for (const char *const key : knownKeys)
        compareReads(bag, model, QString::fromLatin1(key), in);
    for (const ModelEntry &entry : model)
        compareReads(bag, model, entry.key.toUpper(), in);

    const ResizerProperties read = ResizerProperties::read(bag);
    PropertyBag again;
    read.write(again);
    check(same(ResizerProperties::read(again), read), "what was read did not survive a save and a load");
    return 0;
}
