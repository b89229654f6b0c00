#pragma once

#include "catalogue/ConstantTable.h"

#include <QString>
#include <QStringList>

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

    // A text that reads as a number (87, &H57, -2147024809, 4294967295) finds the
    // constants of that 32-bit value; any other text the names holding it, letter case
    // aside. The empty text finds all. An empty family means every family.
    std::vector<int> find(const QString &text, const QString &family = QString()) const;

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
