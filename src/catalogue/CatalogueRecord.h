#pragma once

#include "platform/Texts.h"

#include <QString>

#include <array>

// One row of the catalogue table API: nine text fields addressed by position. The sixth,
// the declaration for 64-bit Office (VBA7: PtrSafe, LongPtr), and the three after it,
// what Microsoft's metadata says of the function, are missing from an older catalogue and
// then read as the empty text:
// - FirstWindows: the first Windows that has the function ("2000", "XP", "Vista", "7",
//   "8", "8.1", "10"), empty where unknown;
// - LastDllError: "1" where Err.LastDllError tells why the call failed, "0" where it
//   means nothing, empty where unknown;
// - Obsolete: empty for a current function; else the functions that replace it, joined
//   by ", ", or "-" where none is named.
struct CatalogueRecord
{
    enum Field { FunctionName = 0, Declaration = 1, Library = 2, WorkAreas = 3, Description = 4,
                 Vba7Declaration = 5, FirstWindows = 6, LastDllError = 7, Obsolete = 8 };
    static constexpr int fieldCount = 9;
    // The columns of the older catalogues: without the VBA7 form, and with it alone.
    static constexpr int classicFieldCount = 5;
    static constexpr int vba7FieldCount = 6;

    std::array<QString, fieldCount> fields;

    const QString &operator[](int field) const { return fields.at(static_cast<size_t>(field)); }
    QString &operator[](int field) { return fields.at(static_cast<size_t>(field)); }

    // The declaration in the form asked for; a function that 64-bit Office cannot call
    // as the catalogue knows it gives a Basic comment line that says so, and so does one
    // that only 64-bit Office is shown calling (it has the VBA7 form alone).
    QString declaration(bool vba7) const
    {
        if (!vba7)
            return vba7Only() ? Texts::noClassicDeclaration : fields[Declaration];
        return fields[Vba7Declaration].isEmpty() ? Texts::noVba7Declaration : fields[Vba7Declaration];
    }

    // Whether the function has its VBA7 form alone: cdecl in 32 bits, which 32-bit Basic
    // cannot call, while 64-bit Windows has one calling convention for every function; or
    // exported by a 64-bit import library only, so that nothing checks a 32-bit form.
    // A saved module puts that form under "#If Win64 Then".
    bool vba7Only() const { return fields[Declaration].isEmpty() && !fields[Vba7Declaration].isEmpty(); }

    bool isObsolete() const { return !fields[Obsolete].isEmpty(); }

    bool operator==(const CatalogueRecord &) const = default;
};

// The separator of the areas of work inside WorkAreas: the Arabic comma U+060C.
inline constexpr QChar workAreaSeparator{0x060C};
