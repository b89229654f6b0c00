#pragma once

#include <QHash>
#include <QString>

#include <vector>

class Recordset;
struct CatalogueRecord;
struct Constant;
struct ConstantTable;

// The catalogue's functions and constants by name, for what the user names: the pick
// list and the command line. A name matches exactly, or in other letter case where only
// one function (constant, family) has it so, as Basic reads names.
class PickCatalogue
{
public:
    // constants: nullptr for a catalogue without them. Both must outlive this.
    PickCatalogue(const Recordset &recordset, const ConstantTable *constants);

    // The record position of the function of that name; 0 where none has it.
    qsizetype functionPosition(const QString &name) const;
    const CatalogueRecord *function(const QString &name) const;
    const Constant *constant(const QString &name) const;
    // Every constant of the family, in table order; none for a family that has none.
    std::vector<const Constant *> family(const QString &name) const;

private:
    // Exact names, and names in small letters (-1 where two differ only in case).
    struct Index
    {
        QHash<QString, qsizetype> exact;
        QHash<QString, qsizetype> folded;
        void insert(const QString &name, qsizetype at);
        qsizetype find(const QString &name) const; // -1 where none
    };

    const Recordset &m_recordset;
    const ConstantTable *m_constants;
    Index m_functions;
    Index m_constantNames;
    Index m_families; // to the family's first constant
};
