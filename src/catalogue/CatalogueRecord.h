#pragma once

#include "platform/Texts.h"

#include <QString>

#include <array>

// One row of the catalogue table API: six text fields addressed by position. The sixth,
// the declaration for 64-bit Office (VBA7: PtrSafe, LongPtr), is missing from an older
// catalogue and then reads as the empty text.
struct CatalogueRecord
{
    enum Field { FunctionName = 0, Declaration = 1, Library = 2, WorkAreas = 3, Description = 4,
                 Vba7Declaration = 5 };
    static constexpr int fieldCount = 6;
    // The columns an older catalogue has.
    static constexpr int classicFieldCount = 5;

    std::array<QString, fieldCount> fields;

    const QString &operator[](int field) const { return fields.at(static_cast<size_t>(field)); }
    QString &operator[](int field) { return fields.at(static_cast<size_t>(field)); }

    // The declaration in the form asked for; a function that 64-bit Office cannot call
    // as the catalogue knows it gives a Basic comment line that says so.
    QString declaration(bool vba7) const
    {
        if (!vba7)
            return fields[Declaration];
        return fields[Vba7Declaration].isEmpty() ? Texts::noVba7Declaration : fields[Vba7Declaration];
    }

    bool operator==(const CatalogueRecord &) const = default;
};

// The separator of the areas of work inside WorkAreas: the Arabic comma U+060C.
inline constexpr QChar workAreaSeparator{0x060C};
