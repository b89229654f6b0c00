#pragma once

#include "catalogue/ConstantTable.h"

#include <QString>
#include <QStringList>

#include <optional>

#include <vector>

// Finds the catalogue's constants as the constants window asks: by a piece of the name
// or by value, within one family or all, and the constants a function's description
// names. Results are positions in the table, in table order.
class ConstantFinder
{
public:
    explicit ConstantFinder(const ConstantTable &table);

    const ConstantTable &table() const { return m_table; }
    const Constant &at(int position) const { return m_table.constants.at(static_cast<size_t>(position)); }

    // A text that reads as a number (87, &H57, 0x57, -2147024809, 4294967295) finds the
    // constants of that 32-bit value; any other text the names holding it, letter case
    // aside. The empty text finds all. An empty family means every family. A string
    // constant has no number and is found by its name only.
    std::vector<int> find(const QString &text, const QString &family = QString()) const;
    // Like find, within the given positions only, in their order.
    std::vector<int> findAmong(const QString &text, const std::vector<int> &positions) const;

    // The number a typed text stands for: what Basic reads (87, -5, &H57, &H57&), also as C
    // writes it (0x57, 0X57, -0x1, with a U, L, UL or LL suffix), and a 64-bit hex value
    // that is a negative Long widened (0xFFFFFFFF80070005). Nothing for anything else or a
    // value beyond 32 bits.
    static std::optional<qint32> typedValue(const QString &text);
    // The value as the Basic line writes it: &H80070005&, 87, "SeShutdownPrivilege".
    static QString valueText(const Constant &constant);
    static bool isString(const Constant &constant);

    // The positions of a family's members, in the family's order; a member the table
    // lacks is left out.
    std::vector<int> members(const ConstantFamily &family) const;

    // Every family that has constants, in name order.
    QStringList families() const;
    // The family and its Persian name where it has one: "WM  پيام‌هاي پنجره".
    QString familyCaption(const QString &family) const;

    // The constants that a description names, in the order it names them, each once.
    std::vector<int> namedIn(const QString &description) const;

    // The Basic lines of the constants, one a line, CR LF between them.
    QString lines(const std::vector<int> &positions) const;
    // The positions of the whole family of the constant at that position.
    std::vector<int> familyOf(int position) const;

private:
    ConstantTable m_table;
    QHash<QString, int> m_byName;
};
