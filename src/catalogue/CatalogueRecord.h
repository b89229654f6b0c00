#pragma once

#include <QString>

#include <array>

// One row of the catalogue table API: five text fields addressed by position.
struct CatalogueRecord
{
    enum Field { FunctionName = 0, Declaration = 1, Library = 2, WorkAreas = 3, Description = 4 };
    static constexpr int fieldCount = 5;

    std::array<QString, fieldCount> fields;

    const QString &operator[](int field) const { return fields.at(static_cast<size_t>(field)); }
    QString &operator[](int field) { return fields.at(static_cast<size_t>(field)); }

    bool operator==(const CatalogueRecord &) const = default;
};

// The separator of the areas of work inside WorkAreas: the Arabic comma U+060C.
inline constexpr QChar workAreaSeparator{0x060C};
